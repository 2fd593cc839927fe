#include "engine/u_contentwords.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <tuple>

#include "model/u_bwdigest.h"
#include "model/u_bwfsmp3.h"
#include "model/u_md5lanes.h"

namespace {

// What a comparison by content reads of a file: the model's window, which
// the file keeps, and the digest compared, which is the whole file's when
// the file ends before the window does; none when neither can be read.
struct TContentDigest {
    TBWDigest window{};
    std::optional<TBWDigest> compared;
    bool wholeFile = false;
};

// Ends the word of a file compared whole, so that it never meets a window
// of a file whose size the reader could not tell either.
constexpr const char* kWholeFileMark = "w";

const TBWDigest& EmptyWindow()
{
    static const TBWDigest empty = Md5Of({});
    return empty;
}

// The content digest of a part read and digested.
TContentDigest PartDigest(const TBWDigest& digest, bool wholeFile)
{
    return {wholeFile ? EmptyWindow() : digest, digest, wholeFile};
}

// What is read of a file whose content is digested: the digests, and for a
// file compared whole, what its headers give (size, bitrate, duration),
// read from the same bytes rather than from the file once more.
struct TPartRead {
    TContentDigest digest;
    std::optional<TBWMp3File::TReadInfo> info;
};

// What the headers of a file compared whole give, from the bytes read for
// its digest; none for a window.
std::optional<TBWMp3File::TReadInfo> InfoOfWhole(bool wholeFile, const std::string& path,
                                                 std::span<const std::uint8_t> content)
{
    if (!wholeFile)
        return std::nullopt;
    return TBWMp3File::ReadInfo(path, ikBasic, content);
}

// What is read of a file alone: its window, else the whole file.
TPartRead ReadContentDigest(const std::string& path)
{
    thread_local std::vector<std::uint8_t> part;
    for (const bool wholeFile : {false, true})
        if (ReadFileWindow(path, wholeFile ? 0 : DigestOffset, wholeFile ? 0 : DigestLength, part))
            return {PartDigest(Md5OfEach({part}).front(), wholeFile), InfoOfWhole(wholeFile, path, part)};
    return {{EmptyWindow(), std::nullopt, true}, std::nullopt};
}

void SetContentWord(TBWMp3File& file, const TBWDigest& digest, bool wholeFile)
{
    file.SetText(DigestHexOf(digest) + std::to_string(file.Size()) + (wholeFile ? kWholeFileMark : ""));
}

// Windows of a group kept to compare the others with: a group mostly holds
// copies of one window.
constexpr std::size_t kKeptWindows = 4;

// Groups read by one job: the windows they keep are digested together,
// eight side by side where the processor can.
constexpr std::size_t kGroupsPerJob = 8;

// Files whose content parts may be equal: all windows, or all whole files.
struct TGroupToRead {
    std::vector<const std::string*> paths;
    bool wholeFiles = false;
};

// The windows a job keeps, in buffers that the thread uses again.
class TKeptWindows {
public:
    static constexpr std::size_t kNone = SIZE_MAX;

    void Clear() { count_ = 0; }
    std::size_t Count() const { return count_; }
    // The place of the window among those kept from first on, or kNone.
    std::size_t Find(const std::vector<std::uint8_t>& window, std::size_t first) const
    {
        const auto end = buffers_.begin() + static_cast<std::ptrdiff_t>(count_);
        const auto same = std::find(buffers_.begin() + static_cast<std::ptrdiff_t>(first), end, window);
        return same == end ? kNone : static_cast<std::size_t>(same - buffers_.begin());
    }
    std::size_t Keep(const std::vector<std::uint8_t>& window)
    {
        if (count_ == buffers_.size())
            buffers_.emplace_back();
        buffers_[count_] = window;
        return count_++;
    }
    std::vector<TBWDigest> Digests() const
    {
        return Md5OfEach(std::vector<std::span<const std::uint8_t>>(
            buffers_.begin(), buffers_.begin() + static_cast<std::ptrdiff_t>(count_)));
    }

private:
    std::vector<std::vector<std::uint8_t>> buffers_;
    std::size_t count_ = 0;
};

// Reads the parts of a group of files whose parts may be equal. A part
// equal byte for byte to one the group kept before is that part; each file
// gets the place of its part among those kept. A file whose part cannot be
// read is read as any file alone, and a part beyond the few a group keeps
// is digested at once: those get kNone and their digest.
void ReadGroupParts(const TGroupToRead& group, TKeptWindows& kept, std::vector<std::size_t>& places,
                    std::vector<TPartRead>& reads)
{
    const std::size_t first = kept.Count();
    const std::uint64_t offset = group.wholeFiles ? 0 : DigestOffset;
    const std::uint32_t maxLength = group.wholeFiles ? 0 : DigestLength;
    // Read into one buffer per thread: only the few parts kept are copied.
    thread_local std::vector<std::uint8_t> part;
    for (const std::string* path : group.paths) {
        places.push_back(TKeptWindows::kNone);
        if (!ReadFileWindow(*path, offset, maxLength, part)) {
            reads.push_back(ReadContentDigest(*path));
            continue;
        }
        // The digest of a part kept comes once the kept parts are digested.
        TContentDigest digest{};
        if (const std::size_t same = kept.Find(part, first); same != TKeptWindows::kNone)
            places.back() = same;
        else if (kept.Count() - first < kKeptWindows)
            places.back() = kept.Keep(part);
        else
            digest = PartDigest(Md5OfEach({part}).front(), group.wholeFiles);
        reads.push_back({digest, InfoOfWhole(group.wholeFiles, *path, part)});
    }
}

// The content digests of a few groups of files whose parts may be equal;
// a file alone in its group is read as any file alone. The parts kept are
// digested together, eight side by side where the processor can.
std::vector<std::vector<TPartRead>> ReadContentDigests(const std::vector<TGroupToRead>& groups)
{
    std::vector<std::vector<TPartRead>> reads(groups.size());
    std::vector<std::vector<std::size_t>> places(groups.size());
    thread_local TKeptWindows kept;
    kept.Clear();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (groups[g].paths.size() == 1)
            reads[g].push_back(ReadContentDigest(*groups[g].paths.front()));
        else
            ReadGroupParts(groups[g], kept, places[g], reads[g]);
    }
    const std::vector<TBWDigest> made = kept.Digests();
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (std::size_t i = 0; i < places[g].size(); ++i)
            if (const std::size_t place = places[g][i]; place != TKeptWindows::kNone)
                reads[g][i].digest = PartDigest(made[place], groups[g].wholeFiles);
    return reads;
}

// The first bytes of a part that tell most parts apart: a small part of a
// window, so that looking at it costs little beside its digest.
constexpr std::uint32_t kFirstLookBytes = 4096;

std::optional<TBWContentPart> ReadFirstLook(const std::string* path)
{
    return LookAtContentPart(*path, DigestOffset, DigestLength, kFirstLookBytes);
}

// What tells parts apart at a first look: parts of different keys differ.
using TPartKey = std::tuple<bool, std::uint64_t, std::uint64_t>;

TPartKey KeyOf(const TBWContentPart& part)
{
    return {part.wholeFile, part.length, part.startHash};
}

// A window digest the model holds already (an Mp3 List keeps one for a
// disc that may not be there) is taken as it stands.
bool HoldsWindowDigest(TBWMp3File& file)
{
    return file.LoadedInfo().test(ikDigest) && file.GetDigest() != EmptyWindow();
}

void StoreContentDigest(TBWMp3File& file, const std::string& path, const TPartRead& read, TBWUnreadFiles& unread)
{
    if (read.info && !file.LoadedInfo().test(ikBasic))
        file.StoreInfo(ikBasic, *read.info);
    const TContentDigest& digest = read.digest;
    if (!file.LoadedInfo().test(ikDigest)) {
        file.SetDigest(digest.window);
        file.MarkLoaded(ikDigest);
    }
    if (digest.compared)
        SetContentWord(file, *digest.compared, digest.wholeFile);
    else
        unread.Add(path);
}

}  // namespace

void TBWUnreadFiles::Add(const std::string& path)
{
    if (paths.size() < kPathsKept)
        paths.push_back(path);
    ++count;
}

// A content word is the digest followed by the size in KB, so a file whose
// size no other file shares can meet none: its digest is not read, and it
// gets no word. Neither does a file whose content cannot be read.
const TBWUnreadFiles& TBWContentWords::SetWords(const std::vector<TBWMp3File*>& files)
{
    unread_ = {};
    std::vector<TToRead> mayMeet = ToRead(files, SkipLoneSizes || SkipDistinctStarts);
    if (SkipLoneSizes)
        mayMeet = OfPartsThatMayMeet(std::move(mayMeet));
    ReadSizes(mayMeet);
    const std::unordered_set<std::int64_t> shared = SharedSizes(mayMeet);
    std::vector<TToRead> unread;
    std::unordered_set<std::int64_t> heldSizes;
    for (TToRead& file : mayMeet) {
        if (SkipLoneSizes && !shared.contains(GroupingSize(file)))
            continue;
        if (HoldsWindowDigest(*file.file)) {
            SetContentWord(*file.file, file.file->GetDigest(), false);
            heldSizes.insert(file.file->Size());
        } else {
            unread.push_back(std::move(file));
        }
    }
    TGroups groups = SkipDistinctStarts ? GroupByPartStarts(unread, heldSizes) : OneGroupEach(unread);
    ReadGroups(groups);
    return unread_;
}

// Every file with its path, its word emptied, and when look is set, the
// first look at the part of every file whose digest is to be read, taken
// on other threads while the paths are made. The look tells the length of
// the part too, which for a file compared whole is the file's length.
std::vector<TBWContentWords::TToRead> TBWContentWords::ToRead(const std::vector<TBWMp3File*>& files, bool look)
{
    using TLooks = TBWReadAhead<TToRead*, std::optional<TBWContentPart>, const std::string*>;
    std::optional<TLooks> ahead;
    if (look)
        ahead.emplace(threads_, ReadFirstLook, stop_);
    std::vector<TToRead> toRead;
    toRead.reserve(files.size());  // the looks hold on to its elements
    TBWFullPaths paths;            // the pool holds files folder after folder
    for (TBWMp3File* file : files) {
        file->SetText(std::string());
        TToRead& added = toRead.emplace_back(TToRead{file, paths.Of(*file), std::nullopt});
        if (ahead && !HoldsWindowDigest(*file))
            ahead->Add(&added, &added.path);
    }
    if (ahead)
        ahead->TakeAll([](TToRead* file, const std::optional<TBWContentPart>& part) { file->look = part; });
    return toRead;
}

// Only files whose compared parts may be equal can meet, whatever their
// sizes in KB, which cost a read of each file's headers: a file too short
// for the window is compared whole, so it meets only files of its very
// length, and any file only files whose part starts as its own does. A
// window digest held already may equal any window, so one such file keeps
// every window. A file that could not be looked at is kept as it was: its
// part will be read again, and counted when it cannot be.
std::vector<TBWContentWords::TToRead> TBWContentWords::OfPartsThatMayMeet(std::vector<TToRead> files)
{
    std::vector<TPartKey> keys;  // sorted, so that files of one key lie side by side
    bool heldWindows = false;
    for (const TToRead& file : files) {
        if (file.look)
            keys.push_back(KeyOf(*file.look));
        heldWindows = heldWindows || HoldsWindowDigest(*file.file);
    }
    std::sort(keys.begin(), keys.end());
    const auto shared = [&](const TPartKey& key) {
        const auto [first, last] = std::equal_range(keys.begin(), keys.end(), key);
        return last - first > 1;
    };
    std::vector<TToRead> mayMeet;
    for (TToRead& file : files) {
        const bool meets = !file.look || shared(KeyOf(*file.look)) || (heldWindows && !file.look->wholeFile);
        if (meets)
            mayMeet.push_back(std::move(file));
    }
    return mayMeet;
}

// A file compared whole is read whole for its digest, and its headers are
// read from those bytes then.
bool TBWContentWords::ReadsSizeWithContent(const TToRead& file)
{
    return file.look && file.look->wholeFile;
}

// The size in KB files are told apart by before their digests are read:
// for a file compared whole, whose headers are not read yet, its length's,
// which files of equal content share as they share their headers.
std::int64_t TBWContentWords::GroupingSize(const TToRead& file)
{
    return ReadsSizeWithContent(file) ? static_cast<std::int64_t>(file.look->length / 1024) : file.file->Size();
}

std::unordered_set<std::int64_t> TBWContentWords::SharedSizes(const std::vector<TToRead>& files)
{
    std::unordered_set<std::int64_t> seen, shared;
    for (const TToRead& file : files)
        if (const std::int64_t size = GroupingSize(file); !seen.insert(size).second)
            shared.insert(size);
    return shared;
}

// The size in KB of the files that have not read it and are not read with
// their content, read on other threads.
void TBWContentWords::ReadSizes(const std::vector<TToRead>& files)
{
    TBWReadAhead<TBWMp3File*, TBWMp3File::TReadInfo, const std::string*> ahead(
        threads_, [](const std::string* path) { return TBWMp3File::ReadInfo(*path, ikBasic); }, stop_);
    for (const TToRead& file : files)
        if (!file.file->LoadedInfo().test(ikBasic) && !ReadsSizeWithContent(file))
            ahead.Add(file.file, &file.path);
    ahead.TakeAll([](TBWMp3File* file, const TBWMp3File::TReadInfo& info) { file->StoreInfo(ikBasic, info); });
}

TBWContentWords::TGroups TBWContentWords::OneGroupEach(const std::vector<TToRead>& files)
{
    TGroups groups;
    for (const TToRead& file : files)
        groups.push_back({{&file}, false});
    return groups;
}

void TBWContentWords::ReadGroups(const TGroups& groups)
{
    TBWReadAhead<std::size_t, std::vector<std::vector<TPartRead>>, std::vector<TGroupToRead>> digests(
        threads_, ReadContentDigests, stop_);
    for (std::size_t first = 0; first < groups.size(); first += kGroupsPerJob) {
        std::vector<TGroupToRead> job;
        for (std::size_t g = first; g < std::min(first + kGroupsPerJob, groups.size()); ++g) {
            job.push_back({{}, groups[g].wholeFiles});
            for (const TToRead* file : groups[g].files)
                job.back().paths.push_back(&file->path);
        }
        digests.Add(first, std::move(job));
    }
    digests.TakeAll([&](std::size_t first, const std::vector<std::vector<TPartRead>>& read) {
        for (std::size_t g = 0; g < read.size(); ++g)
            for (std::size_t i = 0; i < read[g].size(); ++i)
                StoreContentDigest(*groups[first + g].files[i]->file, groups[first + g].files[i]->path, read[g][i],
                                   unread_);
    });
}

// The files to digest, in groups whose parts may be equal: the files of a
// size in KB whose parts, windows or whole files of one length, start
// alike. A file whose part starts unlike that of every other file of its
// size can meet no other file: it is left out, and so is an empty file,
// which has nothing to compare. Where a file of a size has a digest
// already, or its part could not be looked at, every file of the size is
// digested on its own.
TBWContentWords::TGroups TBWContentWords::GroupByPartStarts(const std::vector<TToRead>& files,
                                                            const std::unordered_set<std::int64_t>& heldSizes)
{
    struct TLook {
        std::int64_t size;
        TBWContentPart part;
        const TToRead* file;
        auto Key() const { return std::tuple_cat(std::tie(size), KeyOf(part)); }
        bool operator<(const TLook& other) const { return Key() < other.Key(); }
        bool Meets(const TLook& other) const { return Key() == other.Key(); }
    };
    std::vector<TLook> looks;
    std::unordered_set<std::int64_t> blindSizes = heldSizes;
    for (const TToRead& file : files) {
        const std::int64_t size = GroupingSize(file);
        if (!file.look)
            blindSizes.insert(size);
        if (!file.look || file.look->length > 0)
            looks.push_back({size, file.look.value_or(TBWContentPart{}), &file});
        else
            StoreContentDigest(*file.file, file.path, {{EmptyWindow(), std::nullopt, true}, std::nullopt}, unread_);
    }
    std::stable_sort(looks.begin(), looks.end());
    TGroups groups;
    for (std::size_t i = 0; i < looks.size(); ++i) {
        const TLook& look = looks[i];
        if (blindSizes.contains(look.size))
            groups.push_back({{look.file}, false});
        else if (i > 0 && look.Meets(looks[i - 1]))
            groups.back().files.push_back(look.file);
        else if (i + 1 < looks.size() && look.Meets(looks[i + 1]))
            groups.push_back({{look.file}, look.part.wholeFile});
    }
    return groups;
}
