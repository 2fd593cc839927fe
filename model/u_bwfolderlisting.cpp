#include "model/u_bwfolderlisting.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>

#include "base/u_bwbaseclass.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtoken.h"

namespace {

// Kernel views of the running system, not files anybody keeps music in;
// walking them from "/" would never end or would read devices.
constexpr std::array<std::string_view, 4> kPseudoFileSystems = {"proc", "sys", "dev", "run"};

// Listings kept waiting for the walk; each is a few names, so this bounds
// the memory while keeping every thread busy.
constexpr std::size_t kMaxReady = 1024;

thread_local TBWListingAhead* tListingAhead = nullptr;

bool IsHidden(std::string_view name)
{
    return name.starts_with('.');
}

// What the entry is after following links. The listing's own type spares a
// status call for plain files and folders, the usual case.
TBWEntryKind KindOf(int folder, const char* name, unsigned char type)
{
    switch (type) {
    case DT_REG: return ekFile;
    case DT_DIR: return ekFolder;
    case DT_LNK:
    case DT_UNKNOWN: break;
    default: return ekOther;
    }
    struct stat status {};
    if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return ekOther;
    const bool isLink = S_ISLNK(status.st_mode);
    if (isLink && ::fstatat(folder, name, &status, 0) != 0)
        return ekOther;
    if (S_ISREG(status.st_mode))
        return ekFile;
    if (S_ISDIR(status.st_mode))
        return isLink ? ekLinkedFolder : ekFolder;
    return ekOther;
}

class TDescriptor {
public:
    explicit TDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~TDescriptor()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    TDescriptor(const TDescriptor&) = delete;
    TDescriptor& operator=(const TDescriptor&) = delete;
    int Get() const { return descriptor_; }

private:
    int descriptor_;
};

// The kernel's records straight into the entries: no stream over the
// descriptor (which would check its flags once per folder), one buffer per
// thread for every folder it lists.
void ReadEntries(int folder, bool isSystemRoot, TBWFolderListing& listing)
{
    constexpr std::size_t kBufferSize = 1 << 16;
    thread_local const std::unique_ptr<char[]> buffer(new char[kBufferSize]);
    for (;;) {
        const ssize_t filled = ::getdents64(folder, buffer.get(), kBufferSize);
        if (filled <= 0)
            return;
        for (ssize_t at = 0; at < filled;) {
            const auto* entry = reinterpret_cast<const dirent64*>(buffer.get() + at);
            at += entry->d_reclen;
            const std::string_view name = entry->d_name;
            if (IsHidden(name))
                continue;
            if (isSystemRoot &&
                std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), name) != kPseudoFileSystems.end())
                continue;
            listing.followedLinks |= entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN;
            const TBWEntryKind kind = KindOf(folder, entry->d_name, entry->d_type);
            if (kind != ekOther)
                listing.entries.push_back({std::string(name), kind});
        }
    }
}

// "*.*" asks the file system for every file, also one without an extension.
TBWMask FileMask(const std::string& pattern)
{
    return TBWMask(pattern == "*.*" ? "*" : pattern);
}

// In the order of the names without regard to case (the order the file
// systems the lists were first made on list them in), so the same folder
// always gives the same order. Names stay the bytes they are.
TBWFolderListing ReadFolder(const std::string& path)
{
    TBWFolderListing listing;
    const TDescriptor folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC));
    if (folder.Get() < 0 || ::fstat(folder.Get(), &listing.state) != 0) {
        listing.state = {};
        return listing;
    }
    ReadEntries(folder.Get(), path == "/", listing);
    std::sort(listing.entries.begin(), listing.entries.end(), [](const TBWFolderEntry& a, const TBWFolderEntry& b) {
        const std::int32_t blind = CompareTexts(a.name, b.name, true);
        return blind != 0 ? blind < 0 : a.name < b.name;
    });
    return listing;
}

}  // namespace

TBWFileMasks::TBWFileMasks(const std::string& maskList) : maskList_(maskList)
{
    TBWToken token;
    token.delimiters = CharSetOf(";");
    token.SetText(maskList);
    for (std::string pattern = token.First(); !pattern.empty(); pattern = token.Next())
        masks_.push_back(FileMask(pattern));
}

std::int32_t TBWFileMasks::FirstTaking(std::string_view name) const
{
    thread_local std::u32string folded;
    FoldCodePoints(name, folded);
    const auto mask = std::find_if(masks_.begin(), masks_.end(),
                                   [](const TBWMask& m) { return m.MatchesFolded(folded); });
    return mask == masks_.end() ? kNone : static_cast<std::int32_t>(mask - masks_.begin());
}

TBWFolderListing ListFolder(const std::string& path)
{
    return tListingAhead ? tListingAhead->Take(path) : ReadFolder(path);
}

TBWListingAhead::TBWListingAhead(const std::string& root, unsigned threads, const std::string& maskList)
    : outer_(tListingAhead)
{
    if (!maskList.empty())
        masks_.emplace(maskList);
    tListingAhead = this;
    folders_[root] = {stWaiting, {}, {}};
    waiting_[{}] = root;
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    for (unsigned t = 0; t < threads; ++t)
        threads_.emplace_back([this] { Work(); });
}

TBWListingAhead::~TBWListingAhead()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workWaiting_.notify_all();
    threads_.clear();
    tListingAhead = outer_;
}

void TBWListingAhead::Work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        workWaiting_.wait(lock, [this] { return stopping_ || (!waiting_.empty() && ready_ < kMaxReady); });
        if (stopping_)
            return;
        auto first = waiting_.begin();
        const std::string path = first->second;
        TPlace place = std::move(waiting_.extract(first).key());
        TBWFolderListing listing = ListTaken(lock, path, std::move(place));
        TFolder& folder = folders_[path];
        folder.listing = std::move(listing);
        folder.stage = stReady;
        ++ready_;
        if (awaited_ == &folder)
            awaitedReady_.notify_one();
    }
}

TBWFolderListing TBWListingAhead::ListTaken(std::unique_lock<std::mutex>& lock, const std::string& path,
                                            TPlace place)
{
    folders_[path].stage = stListing;
    lock.unlock();
    TBWFolderListing listing = Read(path);
    lock.lock();
    Offer(path, place, listing);
    return listing;
}

TBWFolderListing TBWListingAhead::Read(const std::string& path) const
{
    TBWFolderListing listing = ReadFolder(path);
    if (!masks_)
        return listing;
    for (TBWFolderEntry& entry : listing.entries)
        if (entry.kind == ekFile)
            entry.mask = masks_->FirstTaking(entry.name);
    listing.maskedWith = masks_->MaskList();
    return listing;
}

void TBWListingAhead::Offer(const std::string& path, const TPlace& place, const TBWFolderListing& listing)
{
    TPlace childPlace = place;
    childPlace.push_back(0);
    for (const TBWFolderEntry& entry : listing.entries) {
        if (entry.kind != ekFolder)
            continue;
        const std::string childPath = path + entry.name + "/";
        if (folders_.try_emplace(childPath, TFolder{stWaiting, childPlace, {}}).second) {
            waiting_.emplace(childPlace, childPath);
            workWaiting_.notify_one();
        }
        ++childPlace.back();
    }
}

TBWFolderListing TBWListingAhead::Take(const std::string& path)
{
    std::unique_lock lock(mutex_);
    const auto known = folders_.find(path);
    if (known == folders_.end()) {
        lock.unlock();
        return Read(path);
    }
    if (known->second.stage == stWaiting) {
        TPlace place = known->second.place;
        waiting_.erase(place);
        TBWFolderListing listing = ListTaken(lock, path, std::move(place));
        folders_.erase(path);
        return listing;
    }
    // Other threads add folders meanwhile: the element stays where it is,
    // the iterator would not.
    TFolder& folder = known->second;
    awaited_ = &folder;
    awaitedReady_.wait(lock, [&folder] { return folder.stage == stReady; });
    awaited_ = nullptr;
    TBWFolderListing listing = std::move(folder.listing);
    folders_.erase(path);
    if (ready_-- == kMaxReady)
        workWaiting_.notify_one();
    return listing;
}
