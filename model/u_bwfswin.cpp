#include "model/u_bwfswin.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string_view>
#include <utility>
#include <vector>

#include "base/HUtils.h"
#include "base/u_bwfunc.h"

namespace {

// A listing may stand in for a later one while the folder's change time
// stays. The time is kept in coarse clock ticks, so a change made in the
// same tick as the last one may leave it as it was: a folder changed in the
// last second is listed again instead.
bool MayStandInLater(const TBWFolderListing& listing)
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return listing.state.st_ino != 0 && listing.state.st_mtim.tv_sec + 1 < now.tv_sec;
}

}  // namespace

bool IsRegularFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// ---------------------------------------------------------------- TBWDirWin

BW_IMPLEMENT_CLASS(TBWDirWin, TBWDirectory)

TBWDirWin::TBWDirWin(TBWObject* owner) : TBWDirectory(owner)
{
    SetFileListClass(TBWFileListWin::StaticClass());
}

void TBWDirWin::LoadSubDirs()
{
    if (walkListing_) {
        AddListedSubDirs(walkListing_->entries);
        return;
    }
    const std::string folder = RealPath();
    std::vector<TBWFolderEntry> entries;
    auto* files = dynamic_cast<TBWFileListWin*>(FileList());
    filesStillCurrent_ = files && files->TakeListedFolders(folder, entries);
    if (!filesStillCurrent_)
        entries = ListFolder(folder).entries;
    AddListedSubDirs(entries);
}

void TBWDirWin::AddListedSubDirs(const std::vector<TBWFolderEntry>& entries)
{
    for (const TBWFolderEntry& entry : entries)
        if (entry.kind == ekFolder)
            AddSubDir(entry.name);
}

void TBWDirWin::RefreshIfNeeded()
{
    filesStillCurrent_ = false;
    TBWDirectory::RefreshIfNeeded();
    // Only then: a list read before a change of the folder must be read
    // again, or files added on disk in between would never appear.
    if (std::exchange(filesStillCurrent_, false))
        FileList()->Touch();
}

void TBWDirWin::LoadForWalk(TBWListingAhead* ahead)
{
    TBWFileList* files = Files();
    if (LoadedAt() != 0 || files->LoadedAt() != 0)
        return;
    TBWFolderListing listing = ahead ? ahead->Take(RealPath()) : ListFolder(RealPath());
    if (listing.state.st_ino != 0)
        identity_ = TBWFolderIdentity{listing.state.st_dev, listing.state.st_ino};
    walkListing_ = &listing;
    try {
        // The subfolders first: a file list read before them would count as
        // stale, its directory being loaded after it.
        DirCount();
        files->Count();
    } catch (...) {
        walkListing_ = nullptr;
        throw;
    }
    walkListing_ = nullptr;
}

void TBWDirWin::SetName(const std::string& name)
{
    TBWDirectory::SetName(name);
    if (!name.starts_with('%'))
        return;
    if (const TBWSpecialFolder type = FolderMacroType(name); type != sfNone)
        SetDisplayName(SpecialFolderCaption[type]);
}

std::string TBWDirWin::RealPath() const
{
    return ExpandPathMacros(Path());
}

// ----------------------------------------------------------- TBWFileListWin

BW_IMPLEMENT_CLASS(TBWFileListWin, TBWFileList)

TBWFileListWin::TBWFileListWin(TBWObject* owner) : TBWFileList(owner) {}

void TBWFileListWin::LoadFiles()
{
    const TBWDirectory* dir = Directory();
    if (!dir)
        return;
    const auto* disk = dynamic_cast<const TBWDirWin*>(dir);
    if (disk && disk->walkListing_) {
        AddMatching(*disk->walkListing_);
        return;
    }
    listedFolders_.clear();
    listedInode_ = 0;
    TBWFolderListing listing = ListFolder(dir->RealPath());
    if (MayStandInLater(listing)) {
        std::copy_if(listing.entries.begin(), listing.entries.end(), std::back_inserter(listedFolders_),
                     [](const TBWFolderEntry& entry) { return entry.kind == ekFolder; });
        listedDevice_ = listing.state.st_dev;
        listedInode_ = listing.state.st_ino;
        listedChange_ = listing.state.st_mtim;
    }
    AddMatching(listing);
}

void TBWFileListWin::AddMatching(TBWFolderListing& listing)
{
    // A listing read ahead has its files tried already, when against these
    // very masks.
    const std::string maskList = Mask();
    std::optional<TBWFileMasks> masks;
    if (listing.maskedWith != maskList)
        masks.emplace(maskList);
    // A name is tried only until a mask takes it; sorting by that mask, then
    // by place in the listing, gives the order of listing mask by mask.
    std::vector<TBWFolderEntry>& entries = listing.entries;
    std::vector<std::pair<std::int32_t, std::size_t>> taken;  // mask, entry
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].kind != ekFile)
            continue;
        const std::int32_t mask = masks ? masks->FirstTaking(entries[i].name) : entries[i].mask;
        if (mask != TBWFileMasks::kNone)
            taken.emplace_back(mask, i);
    }
    std::sort(taken.begin(), taken.end());
    for (const auto& [mask, entry] : taken) {
        if (masks)
            AppendFile(std::move(entries[entry].name));
        else
            AppendListedFile(std::move(entries[entry].name), std::move(entries[entry].words));
    }
}

bool TBWFileListWin::TakeListedFolders(const std::string& path, std::vector<TBWFolderEntry>& folders)
{
    struct stat state {};
    if (listedInode_ == 0 || ::stat(path.c_str(), &state) != 0 || state.st_dev != listedDevice_ ||
        state.st_ino != listedInode_ || state.st_mtim.tv_sec != listedChange_.tv_sec ||
        state.st_mtim.tv_nsec != listedChange_.tv_nsec)
        return false;
    folders = std::move(listedFolders_);
    listedFolders_.clear();
    listedInode_ = 0;
    return true;
}
