#include "model/u_bwfsdrive.h"

#include <algorithm>
#include <numeric>

#include "base/HUtils.h"
#include "model/u_bwfsmp3.h"

BW_IMPLEMENT_CLASS(TBWFSDrive, TBWDirectory)

TBWFSDrive::TBWFSDrive(TBWObject* owner)
    : TBWFSDrive(MplManager(), [] { return ListUserDrives(PlatformSources()); }, owner)
{
}

TBWFSDrive::TBWFSDrive(TMplManager& manager, TBWDriveLister drives, TBWObject* owner)
    : TBWDirectory(owner), manager_(manager), drives_(std::move(drives))
{
    manager_.OnListChanged = [this](TBWDirectory* dir, TBWChangeKind kind) { MplListChanged(dir, kind); };
}

TBWFSDrive::~TBWFSDrive()
{
    manager_.OnListChanged = nullptr;
}

TBWDirectory* TBWFSDrive::NewChildDir()
{
    return new TBWDirMp3(this);
}

void TBWFSDrive::LoadSubDirs()
{
    AddSpecialFolders();
    AddDrives();
    AddLists();
}

void TBWFSDrive::AddSpecialFolders()
{
    for (TBWSpecialFolder folder : SpecialFolderOrder)
        AddSubDir(SpecialFolderMacro[folder]);
}

void TBWFSDrive::AddDrives()
{
    const std::vector<TBWDrive> drives = Drives();
    // Where two drive names open a path alike ("/" and "/media/usb/" both
    // open "/media/usb/x/"), the search tries the older node first; so the
    // nodes are made deepest root first and listed afterwards in the order
    // of the drives.
    std::vector<std::size_t> deepestFirst(drives.size());
    std::iota(deepestFirst.begin(), deepestFirst.end(), 0);
    std::stable_sort(deepestFirst.begin(), deepestFirst.end(), [&drives](std::size_t a, std::size_t b) {
        return drives[a].root.size() > drives[b].root.size();
    });
    std::vector<TBWDirectory*> nodes(drives.size());
    for (std::size_t i : deepestFirst) {
        nodes[i] = NewChildDir();
        nodes[i]->SetName(drives[i].root);
        nodes[i]->SetDisplayName(DriveCaption(drives[i]));
    }
    for (TBWDirectory* node : nodes)
        SubDirs()->Add(node);
}

std::vector<TBWDrive> TBWFSDrive::Drives() const
{
    return drives_ ? drives_() : std::vector<TBWDrive>();
}

void TBWFSDrive::AddLists()
{
    for (TBWDirMpl* list : manager_.Lists())
        AddDir(list);
}

void TBWFSDrive::MplListChanged(TBWDirectory* dir, TBWChangeKind kind)
{
    auto* list = dynamic_cast<TBWDirMpl*>(dir);
    // Taking a list in or out raises the root's own notice.
    if (list && !list->ParentDir() && LoadedAt() > 0 && (kind == ckDirAdded || kind == ckDirRemoved)) {
        if (kind == ckDirAdded)
            AddDir(list);
        else
            RemoveDir(list);
        return;
    }
    DirChanged(dir, kind);
}

void TBWFSDrive::DirChanged(TBWDirectory* dir, TBWChangeKind kind)
{
    // Held while calling, so that a listener removed on another thread is
    // never called after its removal; recursive, so that a listener may add
    // or remove listeners itself.
    std::lock_guard guard(lock_);
    for (std::size_t i = 0; i < listeners_.size(); ++i) {
        const TBWChangeListener listener = listeners_[i].listener;
        listener(dir, kind);
    }
}

void TBWFSDrive::AddListener(const void* owner, TBWChangeListener listener)
{
    std::lock_guard guard(lock_);
    listeners_.push_back({owner, std::move(listener)});
}

void TBWFSDrive::RemoveListener(const void* owner)
{
    std::lock_guard guard(lock_);
    std::erase_if(listeners_, [owner](const TListenerRecord& record) { return record.owner == owner; });
}

TBWFSDrive& FSDrive()
{
    static TBWFSDrive drive;
    return drive;
}
