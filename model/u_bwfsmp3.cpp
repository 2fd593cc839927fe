#include "model/u_bwfsmp3.h"

#include <memory>

#include "base/u_bwfunc.h"
#include "tags/u_musichandler.h"

namespace {

// The reader the music handler gives for the file's extension, made for this
// one reading. Every reader opens its file without blocking and reads only a
// regular file, so a FIFO named like an audio file never waits for a writer,
// with no look at the path first, which would cost a call into the kernel
// for every file of a scan. What cannot be read gives the empty values.
std::unique_ptr<TInfoFetcher> ReaderFor(const std::string& path)
{
    return MusicHandler().CreateFetcher(path);
}

}  // namespace

// ---------------------------------------------------------------- TBWDirMp3

BW_IMPLEMENT_CLASS(TBWDirMp3, TBWDirWin)

TBWDirMp3::TBWDirMp3(TBWObject* owner) : TBWDirWin(owner)
{
    SetFileListClass(TBWFileListMp3::StaticClass());
    SetSortOrder(0);
}

// ----------------------------------------------------------- TBWFileListMp3

BW_IMPLEMENT_CLASS(TBWFileListMp3, TBWFileListWin)

TBWFileListMp3::TBWFileListMp3(TBWObject* owner) : TBWFileListWin(owner)
{
    SetFileClass(TBWMp3File::StaticClass());
    static const auto sets = [] {
        TBWKeySets all = *PlainKeySets();
        all.resize(fkGenre + 1);
        for (TBWKey key = fkBitrate; key <= fkGenre; ++key)
            all[key] = {key};
        return std::make_shared<const TBWKeySets>(std::move(all));
    }();
    ShareSortKeys(sets);
}

std::string TBWFileListMp3::Mask() const
{
    return MusicHandler().Mask();
}

// --------------------------------------------------------------- TBWMp3File

BW_IMPLEMENT_CLASS(TBWMp3File, TBWFile)

TBWKeyKind TBWMp3File::KeyKind(TBWKey key) const
{
    switch (key) {
    case fkBitrate:
    case fkDuration:
        return kkInteger;
    case fkTitle:
    case fkArtist:
    case fkAlbum:
    case fkComment:
    case fkGenre:
        return kkTextNoCase;
    default:
        return TBWFile::KeyKind(key);
    }
}

std::string TBWMp3File::KeyText(TBWKey key) const
{
    // Reading the tags on demand is still a read.
    auto& self = const_cast<TBWMp3File&>(*this);
    switch (key) {
    case fkTitle: return self.Title();
    case fkArtist: return self.Artist();
    case fkAlbum: return self.Album();
    case fkComment: return self.Comment();
    case fkGenre: return self.Genre();
    default: return TBWFile::KeyText(key);
    }
}

std::int64_t TBWMp3File::KeyInt(TBWKey key) const
{
    auto& self = const_cast<TBWMp3File&>(*this);
    switch (key) {
    case fkBitrate: return self.Bitrate();
    case fkDuration: return self.Duration();
    default: return TBWFile::KeyInt(key);
    }
}

void TBWMp3File::Assign(const TBWComparable& source)
{
    TBWFile::Assign(source);
    const auto* file = dynamic_cast<const TBWMp3File*>(&source);
    if (!file)
        return;
    // The source reads what it had not read yet: copying it is a read.
    auto* from = const_cast<TBWMp3File*>(file);
    from->EnsureInfo(ikTags);
    tags_ = from->tags_ ? std::make_unique<TTags>(*from->tags_) : nullptr;
    bitrate_ = from->Bitrate();
    duration_ = from->Duration();
    SetLoadedInfo(from->LoadedInfo());
}

void TBWMp3File::LoadInfo(std::int32_t kind)
{
    if (kind != ikBasic && kind != ikTags) {
        TBWFile::LoadInfo(kind);
        return;
    }
    StoreInfo(kind, ReadInfo(FullPath(), kind));
}

TBWMp3File::TReadInfo TBWMp3File::ReadInfo(const std::string& path, std::int32_t kind)
{
    return InfoOf(*ReaderFor(path), kind);
}

TBWMp3File::TReadInfo TBWMp3File::ReadInfo(const std::string& path, std::int32_t kind,
                                           std::span<const std::uint8_t> content)
{
    TMemorySource bytes(content);
    return InfoOf(*MusicHandler().CreateFetcher(path, bytes), kind);
}

TBWMp3File::TReadInfo TBWMp3File::InfoOf(TInfoFetcher& reader, std::int32_t kind)
{
    TReadInfo info;
    if (kind == ikBasic) {
        info.sizeKB = reader.SizeKB();
        info.bitrate = reader.Bitrate();
        info.duration = reader.Duration();
    } else if (kind == ikTags) {
        info.artist = reader.Artist();
        info.title = reader.Title();
        info.album = reader.Album();
        info.genre = reader.Genre();
        info.comment = reader.Comment();
    }
    return info;
}

void TBWMp3File::StoreInfo(std::int32_t kind, const TReadInfo& info)
{
    if (kind == ikBasic) {
        SetSize(info.sizeKB);
        SetBitrate(info.bitrate);
        SetDuration(info.duration);
    } else if (kind == ikTags) {
        SetArtist(info.artist);
        SetTitle(info.title);
        SetAlbum(info.album);
        SetGenre(info.genre);
        SetComment(info.comment);
    }
    MarkLoaded(kind);
}

const std::string& TBWMp3File::Title()
{
    return Tag(&TTags::title);
}

const std::string& TBWMp3File::Artist()
{
    return Tag(&TTags::artist);
}

const std::string& TBWMp3File::Album()
{
    return Tag(&TTags::album);
}

const std::string& TBWMp3File::Comment()
{
    return Tag(&TTags::comment);
}

const std::string& TBWMp3File::Genre()
{
    return Tag(&TTags::genre);
}

std::int32_t TBWMp3File::Bitrate()
{
    EnsureInfo(ikBasic);
    return bitrate_;
}

std::int32_t TBWMp3File::Duration()
{
    EnsureInfo(ikBasic);
    return duration_;
}

const std::string& TBWMp3File::Tag(TTagText tag)
{
    EnsureInfo(ikTags);
    return StoredTag(tag);
}

const std::string& TBWMp3File::StoredTag(TTagText tag) const
{
    static const std::string none;
    return tags_ ? (*tags_).*tag : none;
}

void TBWMp3File::SetTag(TTagText tag, const std::string& text)
{
    // Compared as given: the same words with blanks around them differ, so
    // they are stored trimmed and count as a change.
    if (text == StoredTag(tag))
        return;
    if (!tags_)
        tags_ = std::make_unique<TTags>();
    (*tags_).*tag = TrimBlanksAndControls(text);
    Changed();
}

void TBWMp3File::SetTitle(const std::string& text)
{
    SetTag(&TTags::title, text);
}

void TBWMp3File::SetArtist(const std::string& text)
{
    SetTag(&TTags::artist, text);
}

void TBWMp3File::SetAlbum(const std::string& text)
{
    SetTag(&TTags::album, text);
}

void TBWMp3File::SetComment(const std::string& text)
{
    SetTag(&TTags::comment, text);
}

void TBWMp3File::SetGenre(const std::string& text)
{
    SetTag(&TTags::genre, text);
}

void TBWMp3File::SetBitrate(std::int32_t bitrate)
{
    if (bitrate == bitrate_)
        return;
    bitrate_ = bitrate;
    Changed();
}

void TBWMp3File::SetDuration(std::int32_t duration)
{
    if (duration == duration_)
        return;
    duration_ = duration;
    Changed();
}
