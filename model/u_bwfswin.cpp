#include "model/u_bwfswin.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string_view>
#include <vector>

#include "base/HUtils.h"
#include "base/u_bwfunc.h"
#include "base/u_bwmask.h"
#include "base/u_bwtoken.h"

namespace {

enum TEntryKind { ekOther, ekFile, ekFolder, ekLinkedFolder };

struct TFolderEntry {
    std::string name;
    TEntryKind kind;
};

// Kernel views of the running system, not files anybody keeps music in;
// walking them from "/" would never end or would read devices.
constexpr std::array<std::string_view, 4> kPseudoFileSystems = {"proc", "sys", "dev", "run"};

bool IsHidden(std::string_view name)
{
    return name.starts_with('.');
}

// What the entry is after following links. The listing's own type saves a
// status call for plain files and folders, the usual case.
TEntryKind KindOf(int folder, const dirent& entry)
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
struct TFolderListing {
    DIR* handle;
    ~TFolderListing()
    {
        if (handle)
            ::closedir(handle);
    }
};

// The entries of a folder that are not hidden, folders and regular files
// only, in the order of their names without regard to case (the order the
// file systems the lists were first made on list them in), so the same
// folder always gives the same order. Names stay the bytes they are.
std::vector<TFolderEntry> ListFolder(const std::string& path)
{
    std::vector<TFolderEntry> entries;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return entries;
    const TFolderListing listing{::fdopendir(descriptor)};
    if (!listing.handle) {
        ::close(descriptor);
        return entries;
    }
    const bool isSystemRoot = path == "/";
    while (const dirent* entry = ::readdir(listing.handle)) {
        const std::string_view name = entry->d_name;
        if (IsHidden(name))
            continue;
        if (isSystemRoot && std::find(kPseudoFileSystems.begin(), kPseudoFileSystems.end(), name) !=
                                kPseudoFileSystems.end())
            continue;
        const TEntryKind kind = KindOf(descriptor, *entry);
        if (kind != ekOther)
            entries.push_back({std::string(name), kind});
    }
    std::sort(entries.begin(), entries.end(), [](const TFolderEntry& a, const TFolderEntry& b) {
        const std::int32_t blind = CompareTexts(a.name, b.name, true);
        return blind != 0 ? blind < 0 : a.name < b.name;
    });
    return entries;
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
    TLinkLoopGuard loopGuard(*this);
    for (const TFolderEntry& entry : ListFolder(folder)) {
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
    std::vector<TFolderEntry> entries = ListFolder(dir->RealPath());
    std::erase_if(entries, [](const TFolderEntry& entry) { return entry.kind != ekFile; });
    std::vector<std::u32string> folded(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i)
        FoldCodePoints(entries[i].name, folded[i]);
    for (const TBWMask& mask : masks)
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (mask.MatchesFolded(folded[i]))
                AddFile(entries[i].name);
}
