#include "tests/engine/fake_audio.h"

namespace {

constexpr TBWKey kBitrate = 10;
constexpr TBWKey kDuration = 11;
constexpr TBWKey kFirstTag = 12;
constexpr TBWKey kLastTag = 16;

bool IsTag(TBWKey key)
{
    return key >= kFirstTag && key <= kLastTag;
}

}  // namespace

BW_IMPLEMENT_CLASS(TFakeAudioFile, TBWFile)

TBWKeyKind TFakeAudioFile::KeyKind(TBWKey key) const
{
    if (key == kBitrate || key == kDuration)
        return kkInteger;
    return IsTag(key) ? kkTextNoCase : TBWFile::KeyKind(key);
}

std::string TFakeAudioFile::KeyText(TBWKey key) const
{
    return IsTag(key) ? tags[static_cast<std::size_t>(key - kFirstTag)] : TBWFile::KeyText(key);
}

std::int64_t TFakeAudioFile::KeyInt(TBWKey key) const
{
    if (key == kBitrate)
        return bitrate;
    if (key == kDuration)
        return duration;
    return TBWFile::KeyInt(key);
}

BW_IMPLEMENT_CLASS(TFakeAudioList, TBWFileList)

TFakeAudioList::TFakeAudioList(TBWObject* owner) : TBWFileList(owner)
{
    SetFileClass(TFakeAudioFile::StaticClass());
}

BW_IMPLEMENT_CLASS(TFakeAudioDir, TBWDirectory)

TFakeAudioDir::TFakeAudioDir(TBWObject* owner) : TBWDirectory(owner)
{
    SetFileListClass(TFakeAudioList::StaticClass());
}

TFakeCollection::TFakeCollection() : root_(std::make_unique<TFakeAudioDir>())
{
    root_->AddSubDirTouch("/");
}

TFakeAudioFile* TFakeCollection::Add(const std::string& fullPath, const TFakeAudio& audio)
{
    const std::size_t slash = fullPath.rfind('/');
    TBWDirectory* dir = root_->FindDir(fullPath.substr(0, slash + 1), true);
    auto* file = static_cast<TFakeAudioFile*>(dir->Files()->AddFileTouch(fullPath.substr(slash + 1)));
    file->SetSize(audio.size);
    file->bitrate = audio.bitrate;
    file->duration = audio.duration;
    return file;
}
