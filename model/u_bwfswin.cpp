#include "model/u_bwfswin.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "base/HUtils.h"
#include "base/u_bwfunc.h"
#include "base/u_bwmask.h"
#include "base/u_bwtoken.h"

namespace {

// Kernel views of the running system, not files anybody keeps music in;
// walking them from "/" would never end or would read devices.
constexpr std::array<std::string_view, 4> kPseudoFileSystems = {"proc", "sys", "dev", "run"};

bool IsHidden(std::string_view name)
{
    return name.starts_with('.');
}

// What the entry is after following links. The listing's own type saves a
// status call for plain files and folders, the usual case.
TBWEntryKind KindOf(int folder, const dirent& entry)
{
    switch (entry.d_type) {
    case DT_REG: return ekFile;
    case DT_DIR: return ekFolder;
    case DT_LNK:
    case DT_UNKNOWN: break;
    default: return ekOther;
    }
    struct stat status {};
    if (::fstatat(folder, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0)
        return ekOther;
    const bool isLink = S_ISLNK(status.st_mode);
    if (isLink && ::fstatat(folder, entry.d_name, &status, 0) != 0)
        return ekOther;
    if (S_ISREG(status.st_mode))
        return ekFile;
    if (S_ISDIR(status.st_mode))
        return isLink ? ekLinkedFolder : ekFolder;
    return ekOther;
}

// Closes the listing on every path out.
struct TFolderHandle {
    DIR* handle;
    ~TFolderHandle()
    {
        if (handle)
            ::closedir(handle);
    }
};

struct TFolderListing {
    std::vector<TBWFolderEntry> entries;
    // The folder as it was listed.
    struct stat state {};
    // Whether some kind came from following a link: a link can come to lead
    // elsewhere without the folder changing.
    bool followedLinks = false;
};

// The entries of a folder that are not hidden, folders and regular files
// only, in the order of their names without regard to case (the order the
// file systems the lists were first made on list them in), so the same
// folder always gives the same order. Names stay the bytes they are.
TFolderListing ListFolder(const std::string& path)
{
    TFolderListing listing;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return listing;
    const TFolderHandle folder{::fdopendir(descriptor)};
    if (!folder.handle) {
        ::close(descriptor);
        return listing;
    }
    ::fstat(descriptor, &listing.state);
    const bool isSystemRoot = path == "/";
    while (const dirent* entry = ::readdir(folder.handle)) {
        const std::string_view name = entry->d_name;
        if (IsHidden(name))
            continue;
        if (isSystemRoot && std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), name) !=
                                kPseudoFileSystems.end())
            continue;
        listing.followedLinks |= entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN;
        const TBWEntryKind kind = KindOf(descriptor, *entry);
        if (kind != ekOther)
            listing.entries.push_back({std::string(name), kind});
    }
    std::sort(listing.entries.begin(), listing.entries.end(), [](const TBWFolderEntry& a, const TBWFolderEntry& b) {
        const std::int32_t blind = CompareTexts(a.name, b.name, true);
        return blind != 0 ? blind < 0 : a.name < b.name;
    });
    return listing;
}

// A listing may stand in for a later one while the folder's change time
// stays. The time is kept in coarse clock ticks, so a change made in the
// same tick as the last one may leave it as it was: a folder changed in the
// last second is listed again instead.
bool MayStandInLater(const TFolderListing& listing)
{
    timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return listing.state.st_ino != 0 && !listing.followedLinks && listing.state.st_mtim.tv_sec + 1 < now.tv_sec;
}

std::string ResolvedPath(const std::string& path)
{
    std::error_code failed;
    const std::filesystem::path resolved = std::filesystem::canonical(path, failed);
    return failed ? std::string() : resolved.string();
}

// Tells which links to folders lead back up the tree: to the folder being
// listed, to a folder it lies in on disk, or to a folder above it in the
// model (two links pointing at each other's folders). Following one would
// make the tree, and every walk over it, endless. The folders above are
// resolved only when the first link is met.
class TLinkLoopGuard {
public:
    explicit TLinkLoopGuard(const TBWDirWin& dir) : dir_(dir) {}

    bool LeadsBack(const std::string& linkPath)
    {
        const std::string target = ResolvedPath(linkPath);
        if (target.empty())
            return true;
        return std::any_of(FoldersAbove().begin(), FoldersAbove().end(), [&target](const std::string& folder) {
            const TBWPathRelation relation = PathRelation(folder, target);
            return relation == prEqual || relation == prAInsideB;
        });
    }

private:
    const std::vector<std::string>& FoldersAbove()
    {
        if (!resolved_) {
            for (const TBWDirectory* dir = &dir_; dir && dir->InheritsFrom(TBWDirWin::StaticClass());
                 dir = dir->ParentDir())
                if (std::string folder = ResolvedPath(dir->RealPath()); !folder.empty())
                    folders_.push_back(std::move(folder));
            resolved_ = true;
        }
        return folders_;
    }

    const TBWDirWin& dir_;
    std::vector<std::string> folders_;
    bool resolved_ = false;
};

// "*.*" asks the file system for every file, also one without an extension.
TBWMask FileMask(const std::string& pattern)
{
    return TBWMask(pattern == "*.*" ? "*" : pattern);
}

std::vector<TBWMask> MasksOf(const std::string& maskList)
{
    std::vector<TBWMask> masks;
    TBWToken token;
    token.delimiters = CharSetOf(";");
    token.SetText(maskList);
    for (std::string pattern = token.First(); !pattern.empty(); pattern = token.Next())
        masks.push_back(FileMask(pattern));
    return masks;
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
    const std::string folder = RealPath();
    std::vector<TBWFolderEntry> entries;
    auto* files = dynamic_cast<TBWFileListWin*>(FileList());
    if (!files || !files->TakeListedFolders(folder, entries))
        entries = ListFolder(folder).entries;
    TLinkLoopGuard loopGuard(*this);
    for (const TBWFolderEntry& entry : entries) {
        if (entry.kind == ekFolder || (entry.kind == ekLinkedFolder && !loopGuard.LeadsBack(folder + entry.name)))
            AddSubDir(entry.name);
    }
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
    const std::vector<TBWMask> masks = MasksOf(Mask());
    if (masks.empty())
        return;
    TFolderListing listing = ListFolder(dir->RealPath());
    std::vector<TBWFolderEntry>& entries = listing.entries;
    const auto firstFile = std::stable_partition(entries.begin(), entries.end(),
                                                 [](const TBWFolderEntry& entry) { return entry.kind != ekFile; });
    listedFolders_.clear();
    listedInode_ = 0;
    if (MayStandInLater(listing)) {
        listedFolders_.assign(std::make_move_iterator(entries.begin()), std::make_move_iterator(firstFile));
        listedDevice_ = listing.state.st_dev;
        listedInode_ = listing.state.st_ino;
        listedChange_ = listing.state.st_mtim;
    }
    entries.erase(entries.begin(), firstFile);
    // A name is tried only until a mask takes it; sorting by that mask, then
    // by place in the listing, gives the order of listing mask by mask.
    std::vector<std::pair<std::size_t, std::size_t>> taken;  // mask, entry
    std::u32string folded;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        FoldCodePoints(entries[i].name, folded);
        const auto mask = std::find_if(masks.begin(), masks.end(),
                                       [&folded](const TBWMask& m) { return m.MatchesFolded(folded); });
        if (mask != masks.end())
            taken.emplace_back(static_cast<std::size_t>(mask - masks.begin()), i);
    }
    std::sort(taken.begin(), taken.end());
    for (const auto& [mask, entry] : taken)
        AddFile(entries[entry].name);
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
