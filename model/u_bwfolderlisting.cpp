#include "model/u_bwfolderlisting.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string_view>
#include <utility>

#include "base/u_bwbaseclass.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtoken.h"
#include "model/u_bwfs.h"

namespace {

// Kernel views of the running system, not files anybody keeps music in;
// walking them from "/" would never end or would read devices.
constexpr std::array<std::string_view, 4> kPseudoFileSystems = {"proc", "sys", "dev", "run"};

// Listings kept waiting for the walk; each is a few names, so this bounds
// the memory while keeping every thread busy.
constexpr std::size_t kMaxReady = 1024;

bool IsHidden(std::string_view name)
{
    return name.starts_with('.');
}

// What the entry is; a link is never followed. The listing's own type
// spares a status call, except on file systems that do not give it.
TBWEntryKind KindOf(int folder, const char* name, unsigned char type)
{
    switch (type) {
    case DT_REG: return ekFile;
    case DT_DIR: return ekFolder;
    case DT_UNKNOWN: break;
    default: return ekOther;
    }
    struct stat status {};
    if (::fstatat(folder, name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return ekOther;
    if (S_ISREG(status.st_mode))
        return ekFile;
    if (S_ISDIR(status.st_mode))
        return ekFolder;
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
            const TBWEntryKind kind = KindOf(folder, entry->d_name, entry->d_type);
            if (kind != ekOther)
                listing.entries.push_back({std::string(name), kind, TBWFileMasks::kNone, {}});
        }
    }
}

// "*.*" asks the file system for every file, also one without an extension.
TBWMask FileMask(const std::string& pattern)
{
    return TBWMask(pattern == "*.*" ? "*" : pattern);
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

// In the order of the names without regard to case (the order the file
// systems the lists were first made on list them in), so the same folder
// always gives the same order. Names stay the bytes they are.
TBWFolderListing ListFolder(const std::string& path)
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

TBWListingAhead::TBWListingAhead(const std::string& root, unsigned threads, const std::string& maskList)
    : pool_(threads)
{
    if (!maskList.empty())
        masks_.emplace(maskList);
    auto first = std::make_unique<TFolder>();
    first->path = root;
    waiting_.insert(first.get());
    folders_.emplace(first->path, std::move(first));
    for (std::size_t t = pool_.Threads(); t > 0; --t)
        pool_.Post([this] { Work(); });
}

TBWListingAhead::~TBWListingAhead()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    workWaiting_.notify_all();
}

void TBWListingAhead::Work()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        workWaiting_.wait(lock, [this] { return stopping_ || (!waiting_.empty() && !full_); });
        if (stopping_)
            return;
        TFolder& folder = **waiting_.begin();
        waiting_.erase(waiting_.begin());
        ListTaken(lock, folder);
        folder.stage = stReady;
        full_ = ++ready_ >= kMaxReady;
        if (awaited_ == &folder)
            awaitedReady_.notify_one();
    }
}

void TBWListingAhead::ListTaken(std::unique_lock<std::mutex>& lock, TFolder& folder)
{
    folder.stage = stListing;
    lock.unlock();
    folder.listing = Read(folder.path);
    TFolders subfolders = Subfolders(folder);
    lock.lock();
    Offer(std::move(subfolders));
}

TBWFolderListing TBWListingAhead::Read(const std::string& path) const
{
    TBWFolderListing listing = ListFolder(path);
    if (!masks_)
        return listing;
    for (TBWFolderEntry& entry : listing.entries) {
        if (entry.kind != ekFile)
            continue;
        entry.mask = masks_->FirstTaking(entry.name);
        if (entry.mask != TBWFileMasks::kNone)
            entry.words = TBWFile::NameWords(entry.name);
    }
    listing.maskedWith = masks_->MaskList();
    return listing;
}

TBWListingAhead::TFolders TBWListingAhead::Subfolders(const TFolder& folder) const
{
    TFolders subfolders;
    std::uint32_t place = 0;
    for (const TBWFolderEntry& entry : folder.listing.entries) {
        if (entry.kind != ekFolder)
            continue;
        auto subfolder = std::make_unique<TFolder>();
        subfolder->path.reserve(folder.path.size() + entry.name.size() + 1);
        subfolder->path.append(folder.path).append(entry.name).append("/");
        subfolder->place.reserve(folder.place.size() + 1);
        subfolder->place = folder.place;
        subfolder->place.push_back(place++);
        subfolders.push_back(std::move(subfolder));
    }
    return subfolders;
}

void TBWListingAhead::Offer(TFolders subfolders)
{
    bool offered = false;
    for (std::unique_ptr<TFolder>& subfolder : subfolders) {
        TFolder* waiting = subfolder.get();
        if (folders_.try_emplace(waiting->path, std::move(subfolder)).second) {
            waiting_.insert(waiting);
            offered = true;
        }
    }
    if (offered && !full_)
        workWaiting_.notify_all();
}

TBWFolderListing TBWListingAhead::Hand(std::unique_lock<std::mutex>& lock, TFolder& folder)
{
    TBWFolderListing listing = std::move(folder.listing);
    const auto known = folders_.find(folder.path);
    const std::unique_ptr<TFolder> gone = std::move(known->second);
    folders_.erase(known);
    lock.unlock();
    return listing;
}

TBWFolderListing TBWListingAhead::Take(const std::string& path)
{
    std::unique_lock lock(mutex_);
    const auto known = folders_.find(path);
    if (known == folders_.end()) {
        lock.unlock();
        return Read(path);
    }
    // Other threads add folders meanwhile: the folder stays where it is,
    // the iterator would not.
    TFolder& folder = *known->second;
    if (folder.stage == stWaiting) {
        waiting_.erase(&folder);
        ListTaken(lock, folder);
        return Hand(lock, folder);
    }
    awaited_ = &folder;
    awaitedReady_.wait(lock, [&folder] { return folder.stage == stReady; });
    awaited_ = nullptr;
    if (--ready_ <= kMaxReady / 2 && std::exchange(full_, false))
        workWaiting_.notify_all();
    return Hand(lock, folder);
}
