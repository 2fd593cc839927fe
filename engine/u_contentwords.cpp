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

TContentDigest ReadContentDigest(const std::string& path)
{
    TContentDigest digest{DigestFileWindow(path, DigestOffset, DigestLength), {}};
    digest.wholeFile = digest.window == EmptyWindow();
    digest.compared = digest.wholeFile ? WholeFileDigest(path) : std::optional(digest.window);
    return digest;
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

using TGroupPaths = std::vector<const std::string*>;

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

// Reads the windows of a group of files whose windows may be equal. A window
// equal byte for byte to one the group kept before is that window; each file
// gets the place of its window among those kept. A file whose window cannot
// be read is read as any file alone, and a window beyond the few a group
// keeps is digested at once: those get kNone and their digest.
void ReadGroupWindows(const TGroupPaths& paths, TKeptWindows& kept, std::vector<std::size_t>& places,
                      std::vector<TContentDigest>& digests)
{
    const std::size_t first = kept.Count();
    // Read into one buffer per thread: only the few windows kept are copied.
    thread_local std::vector<std::uint8_t> window;
    for (const std::string* path : paths) {
        places.push_back(TKeptWindows::kNone);
        digests.emplace_back();
        if (!ReadFileWindow(*path, DigestOffset, DigestLength, window)) {
            digests.back() = ReadContentDigest(*path);
        } else if (const std::size_t same = kept.Find(window, first); same != TKeptWindows::kNone) {
            places.back() = same;
        } else if (kept.Count() - first < kKeptWindows) {
            places.back() = kept.Keep(window);
        } else {
            const TBWDigest digest = Md5OfEach({window}).front();
            digests.back() = {digest, digest, false};
        }
    }
}

// The content digests of a few groups of files whose windows may be equal;
// a file alone in its group is read as any file alone.
std::vector<std::vector<TContentDigest>> ReadContentDigests(const std::vector<TGroupPaths>& groups)
{
    std::vector<std::vector<TContentDigest>> digests(groups.size());
    std::vector<std::vector<std::size_t>> places(groups.size());
    thread_local TKeptWindows kept;
    kept.Clear();
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (groups[g].size() == 1)
            digests[g].push_back(ReadContentDigest(*groups[g].front()));
        else
            ReadGroupWindows(groups[g], kept, places[g], digests[g]);
    }
    const std::vector<TBWDigest> made = kept.Digests();
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (std::size_t i = 0; i < places[g].size(); ++i)
            if (const std::size_t place = places[g][i]; place != TKeptWindows::kNone)
                digests[g][i] = {made[place], made[place], false};
    return digests;
}

// The first bytes of a window that tell most windows apart: a small part of
// the window, so that looking at it costs little beside its digest.
constexpr std::uint32_t kFirstLookBytes = 4096;

std::optional<std::uint64_t> ReadFirstLook(const std::string* path)
{
    return FileWindowStartHash(*path, DigestOffset, DigestLength, kFirstLookBytes);
}

// The sizes in KB that more than one of the files has.
std::unordered_set<std::int64_t> SharedSizes(const std::vector<TBWMp3File*>& files)
{
    std::unordered_set<std::int64_t> seen, shared;
    for (TBWMp3File* file : files)
        if (!seen.insert(file->Size()).second)
            shared.insert(file->Size());
    return shared;
}

void StoreContentDigest(TBWMp3File& file, const TContentDigest& digest, std::uint64_t& uncompared)
{
    if (!file.LoadedInfo().test(ikDigest)) {
        file.SetDigest(digest.window);
        file.MarkLoaded(ikDigest);
    }
    if (digest.compared)
        SetContentWord(file, *digest.compared, digest.wholeFile);
    else
        ++uncompared;
}

}  // namespace

// A content word is the digest followed by the size in KB, so a file whose
// size no other file shares can meet none: its digest is not read, and it
// gets no word. Neither does a file whose content cannot be read.
std::uint64_t TBWContentWords::SetWords(const std::vector<TBWMp3File*>& files)
{
    uncompared_ = 0;
    const std::unordered_set<std::int64_t> shared = SharedSizes(files);
    std::vector<TToRead> unread;
    TBWFullPaths paths;  // the pool holds files folder after folder
    std::unordered_set<std::int64_t> heldSizes;
    for (TBWMp3File* file : files) {
        file->SetText(std::string());
        if (SkipLoneSizes && !shared.contains(file->Size()))
            continue;
        // A window digest the model holds already (an Mp3 List keeps one
        // for a disc that may not be there) is taken as it stands.
        if (file->LoadedInfo().test(ikDigest) && file->GetDigest() != EmptyWindow()) {
            SetContentWord(*file, file->GetDigest(), false);
            heldSizes.insert(file->Size());
        } else {
            unread.push_back({file, paths.Of(*file)});
        }
    }
    TGroups groups = SkipDistinctStarts ? GroupByWindowStarts(unread, heldSizes) : OneGroupEach(unread);
    ReadGroups(groups);
    return uncompared_;
}

TBWContentWords::TGroups TBWContentWords::OneGroupEach(const std::vector<TToRead>& files)
{
    TGroups groups;
    for (const TToRead& file : files)
        groups.push_back({&file});
    return groups;
}

void TBWContentWords::ReadGroups(const TGroups& groups)
{
    TBWReadAhead<std::size_t, std::vector<std::vector<TContentDigest>>, std::vector<TGroupPaths>> digests(
        threads_, ReadContentDigests, stop_);
    for (std::size_t first = 0; first < groups.size(); first += kGroupsPerJob) {
        std::vector<TGroupPaths> paths;
        for (std::size_t g = first; g < std::min(first + kGroupsPerJob, groups.size()); ++g) {
            paths.emplace_back();
            for (const TToRead* file : groups[g])
                paths.back().push_back(&file->path);
        }
        digests.Add(first, std::move(paths));
    }
    digests.TakeAll([&](std::size_t first, const std::vector<std::vector<TContentDigest>>& read) {
        for (std::size_t g = 0; g < read.size(); ++g)
            for (std::size_t i = 0; i < read[g].size(); ++i)
                StoreContentDigest(*groups[first + g][i]->file, read[g][i], uncompared_);
    });
}

// The files to digest, in groups whose windows may be equal: the files of
// a size in KB whose windows start alike. A file whose window starts unlike
// that of every other file of its size can meet no other file: it is left
// out. Where a file of a size has a digest already, or its window could not
// be looked at (it is compared whole, or cannot be read), every file of the
// size is digested on its own.
TBWContentWords::TGroups TBWContentWords::GroupByWindowStarts(const std::vector<TToRead>& files,
                                                              const std::unordered_set<std::int64_t>& heldSizes)
{
    struct TLook {
        std::int64_t size;
        std::uint64_t start;
        const TToRead* file;
        bool operator<(const TLook& other) const { return std::tie(size, start) < std::tie(other.size, other.start); }
        bool Meets(const TLook& other) const { return size == other.size && start == other.start; }
    };
    std::vector<TLook> looks;
    std::unordered_set<std::int64_t> blindSizes = heldSizes;
    TBWReadAhead<const TToRead*, std::optional<std::uint64_t>, const std::string*> ahead(threads_, ReadFirstLook,
                                                                                         stop_);
    for (const TToRead& file : files)
        ahead.Add(&file, &file.path);
    ahead.TakeAll([&](const TToRead* file, const std::optional<std::uint64_t>& start) {
        const std::int64_t size = file->file->Size();
        looks.push_back({size, start.value_or(0), file});
        if (!start)
            blindSizes.insert(size);
    });
    std::stable_sort(looks.begin(), looks.end());
    TGroups groups;
    for (std::size_t i = 0; i < looks.size(); ++i) {
        const TLook& look = looks[i];
        if (blindSizes.contains(look.size))
            groups.push_back({look.file});
        else if (i > 0 && look.Meets(looks[i - 1]))
            groups.back().push_back(look.file);
        else if (i + 1 < looks.size() && look.Meets(looks[i + 1]))
            groups.push_back({look.file});
    }
    return groups;
}
