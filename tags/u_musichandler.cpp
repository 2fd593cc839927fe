#include "tags/u_musichandler.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>

#include "base/u_bwfunc.h"
#include "base/u_bwstop.h"
#include "base/u_bwtextcase.h"
#include "tags/MPEGaudio.h"
#include "tags/OggVorbis.h"
#include "tags/WMAfile.h"
#include "tags/u_mp4file.h"

namespace {

std::int32_t WholeSeconds(double seconds)
{
    if (!(seconds > 0))
        return 0;
    return static_cast<std::int32_t>(std::min(seconds, double{std::numeric_limits<std::int32_t>::max()}));
}

std::int32_t KiloBytes(std::int64_t bytes)
{
    return static_cast<std::int32_t>(std::min<std::int64_t>(bytes / 1024, std::numeric_limits<std::int32_t>::max()));
}

// Loads a reader from the bytes of the file read already, else from the file.
template <class TReader>
void LoadReader(TReader& reader, const std::string& fileName, TByteSource* bytes)
{
    if (bytes)
        reader.LoadFromSource(*bytes);
    else
        reader.LoadFile(fileName);
}

// The texts of the ID3v2 tag when the file has one, even empty ones; else
// those of the ID3v1 tag.
class TMp3Fetcher : public TInfoFetcher {
public:
    TMp3Fetcher(const std::string& fileName, TByteSource* bytes) : TInfoFetcher(fileName)
    {
        LoadReader(reader_, fileName, bytes);
    }

    std::string Album() override { return TagText(&TID3v2::Album, &TID3v1::Album); }
    std::string Artist() override { return TagText(&TID3v2::Artist, &TID3v1::Artist); }
    std::int32_t Bitrate() override { return reader_.BitRate(); }
    std::string Comment() override { return TagText(&TID3v2::Comment, &TID3v1::Comment); }
    std::int32_t Duration() override { return WholeSeconds(reader_.Duration()); }
    std::string Genre() override { return TagText(&TID3v2::Genre, &TID3v1::Genre); }
    std::int32_t SizeKB() override { return KiloBytes(reader_.FileLength()); }
    std::string Title() override { return TagText(&TID3v2::Title, &TID3v1::Title); }

private:
    template <class TV2Getter, class TV1Getter>
    std::string TagText(TV2Getter v2, TV1Getter v1) const
    {
        if (reader_.ID3v2().Exists())
            return std::invoke(v2, reader_.ID3v2());
        if (reader_.ID3v1().Exists())
            return std::invoke(v1, reader_.ID3v1());
        return {};
    }

    TMPEGaudio reader_;
};

// The WMA and Ogg Vorbis readers answer alike: texts, their bitrate in
// kbit/s, their duration in seconds and the file's length.
template <class TReader>
class TStreamFetcher : public TInfoFetcher {
public:
    TStreamFetcher(const std::string& fileName, TByteSource* bytes) : TInfoFetcher(fileName)
    {
        LoadReader(reader_, fileName, bytes);
    }

    std::string Album() override { return reader_.Album(); }
    std::string Artist() override { return reader_.Artist(); }
    std::int32_t Bitrate() override { return reader_.BitRate(); }
    std::string Comment() override { return reader_.Comment(); }
    std::int32_t Duration() override { return WholeSeconds(reader_.Duration()); }
    std::string Genre() override { return reader_.Genre(); }
    std::int32_t SizeKB() override { return KiloBytes(reader_.FileLength()); }
    std::string Title() override { return reader_.Title(); }

private:
    TReader reader_;
};
using TWmaFetcher = TStreamFetcher<TWMAfile>;
using TOggFetcher = TStreamFetcher<TOggVorbis>;

// The MP4 reader reads as it is asked, so each getter keeps its own errors:
// a file that vanished or was cut short gives empty values, never an error
// that would end a scan.
class TAacFetcher : public TInfoFetcher {
public:
    TAacFetcher(const std::string& fileName, TByteSource* bytes) : TInfoFetcher(fileName)
    {
        LoadReader(reader_, fileName, bytes);
    }

    std::string Album() override { return Guarded(&TMp4File::Album); }
    std::string Artist() override { return Guarded(&TMp4File::Artist); }
    std::int32_t Bitrate() override { return Guarded(&TMp4File::Bitrate); }
    std::string Comment() override { return Guarded(&TMp4File::Comment); }
    std::int32_t Duration() override { return Guarded(&TMp4File::Duration); }
    std::string Genre() override { return Guarded(&TMp4File::Genre); }
    std::int32_t SizeKB() override { return KiloBytes(reader_.FileSize()); }
    std::string Title() override { return Guarded(&TMp4File::Title); }

private:
    template <class TGetter>
    auto Guarded(TGetter getter) -> decltype(std::invoke(getter, std::declval<TMp4File&>()))
    {
        try {
            return std::invoke(getter, reader_);
        } catch (const TBWStopped&) {
            throw;  // not a failure of the file: the scan leaves
        } catch (...) {
            return {};
        }
    }

    TMp4File reader_;
};

// A reader that fails in any way leaves the file with the empty values of
// the base fetcher.
template <class TFetcher>
std::unique_ptr<TInfoFetcher> CreateFetcher(const std::string& fileName, TByteSource* bytes)
{
    try {
        return std::make_unique<TFetcher>(fileName, bytes);
    } catch (const TBWStopped&) {
        throw;  // not a failure of the file: the scan leaves
    } catch (...) {
        return std::make_unique<TInfoFetcher>(fileName);
    }
}

const TFetcherClass kAacFetcher{"TAacFetcher", &CreateFetcher<TAacFetcher>};
const TFetcherClass kMp3Fetcher{"TMp3Fetcher", &CreateFetcher<TMp3Fetcher>};
const TFetcherClass kOggFetcher{"TOggFetcher", &CreateFetcher<TOggFetcher>};
const TFetcherClass kWmaFetcher{"TWmaFetcher", &CreateFetcher<TWmaFetcher>};

struct TRegistration {
    std::string_view extension;
    const TFetcherClass* fetcherClass;
};

// Sorted: the order of GetExtension and of the mask made from the registry.
const std::array<TRegistration, 5> kRegistry = {{
    {"M4A", &kAacFetcher},
    {"M4P", &kAacFetcher},
    {"MP3", &kMp3Fetcher},
    {"OGG", &kOggFetcher},
    {"WMA", &kWmaFetcher},
}};

std::vector<std::string> RegisteredEntries()
{
    std::vector<std::string> entries;
    for (const TRegistration& registration : kRegistry)
        entries.push_back("*." + std::string(registration.extension));
    return entries;
}

// Split at ";": an empty entry between two ";" stays, a ";" at the very
// end adds none.
std::vector<std::string> MaskEntries(std::string_view extensions)
{
    std::vector<std::string> entries;
    while (!extensions.empty()) {
        const std::size_t semicolon = extensions.find(';');
        std::string entry(extensions.substr(0, semicolon));
        entries.push_back(entry.starts_with("*.") ? entry : "*." + entry);
        if (semicolon == std::string_view::npos)
            break;
        extensions.remove_prefix(semicolon + 1);
    }
    return entries;
}

}  // namespace

TMusicHandler::TMusicHandler()
{
    BuildMask(RegisteredEntries());
}

std::int32_t TMusicHandler::Count() const
{
    return static_cast<std::int32_t>(kRegistry.size());
}

std::string TMusicHandler::GetExtension(std::int32_t index) const
{
    if (index < 0 || index >= Count())
        return {};
    return std::string(kRegistry[static_cast<std::size_t>(index)].extension);
}

const TFetcherClass* TMusicHandler::GetFetcherClass(std::string_view extension)
{
    const auto found = std::find_if(kRegistry.begin(), kRegistry.end(), [extension](const TRegistration& entry) {
        return SameTextAscii(entry.extension, extension);
    });
    if (found == kRegistry.end())
        return nullptr;
    const std::lock_guard lock(mutex_);
    lastClass_ = found->fetcherClass;
    return lastClass_;
}

const TFetcherClass* TMusicHandler::LastFetcherClass() const
{
    const std::lock_guard lock(mutex_);
    return lastClass_;
}

std::unique_ptr<TInfoFetcher> TMusicHandler::CreateFetcher(const std::string& fileName)
{
    return CreateFetcherOf(fileName, nullptr);
}

std::unique_ptr<TInfoFetcher> TMusicHandler::CreateFetcher(const std::string& fileName, TByteSource& bytes)
{
    return CreateFetcherOf(fileName, &bytes);
}

std::unique_ptr<TInfoFetcher> TMusicHandler::CreateFetcherOf(const std::string& fileName, TByteSource* bytes)
{
    const TFetcherClass* fetcherClass = GetFetcherClass(ExtensionUpper(fileName));
    return fetcherClass ? fetcherClass->Create(fileName, bytes) : std::make_unique<TInfoFetcher>(fileName);
}

void TMusicHandler::SetMask(std::string_view extensions)
{
    BuildMask(extensions.empty() ? RegisteredEntries() : MaskEntries(extensions));
}

std::string TMusicHandler::Mask() const
{
    const std::lock_guard lock(mutex_);
    return mask_;
}

bool TMusicHandler::MatchesMask(std::string_view fileName) const
{
    const std::lock_guard lock(mutex_);
    return std::any_of(patterns_.begin(), patterns_.end(),
                       [fileName](const TBWMask& pattern) { return pattern.Matches(fileName); });
}

std::int32_t TMusicHandler::ExtensionRank(std::string_view extension) const
{
    if (extension.empty())
        return 0;
    // Whole entries only: "MP" must not rank where "*.MP3;" stands.
    const std::string entry = LowerCaseAscii("." + std::string(extension) + ";");
    const std::string mask = LowerCaseAscii(Mask());
    const std::size_t found = mask.find(entry);
    return found == std::string::npos ? 0 : static_cast<std::int32_t>(found + 2);
}

void TMusicHandler::BuildMask(const std::vector<std::string>& entries)
{
    std::string mask;
    std::vector<TBWMask> patterns;
    for (const std::string& entry : entries) {
        mask += entry + ";";
        patterns.emplace_back(entry);
    }
    const std::lock_guard lock(mutex_);
    mask_ = std::move(mask);
    patterns_ = std::move(patterns);
}

TMusicHandler& MusicHandler()
{
    static TMusicHandler handler;
    return handler;
}
