#include "ui/trees/u_bwdirtv.h"

#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QResizeEvent>
#include <QThread>
#include <vector>

#include "base/HUtils.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/common/u_pictures.h"

BW_IMPLEMENT_CLASS(TBWDirLink, TBWDirectory)

namespace {

// Where parent lists dir now, -1 when it does not; compares addresses only
// and loads nothing, so a directory named in a late notice is never touched
// before it is known to be in the model.
int PlaceInParent(const TBWDirectory* parent, const TBWDirectory* dir)
{
    int place = 0;
    for (TBWChainNode* node = parent->SubDirs()->Head(); node; node = node->Next(), ++place)
        if (node->Item() == dir)
            return place;
    return -1;
}

int DriveImage(TBWFSDrive& modelRoot, const std::string& root)
{
    for (const TBWDrive& drive : modelRoot.Drives()) {
        if (drive.root != root)
            continue;
        switch (drive.kind) {
        case dkRemovable: return diRemovableDrive;
        case dkFixed:
        case dkRamDisk: return diFixedDrive;
        case dkOptical: return diCDROMDrive;
        default: return diFolder;
        }
    }
    return diFolder;
}

bool IsDriveName(const std::string& name)
{
    return !name.empty() && name.front() == '/';
}

}  // namespace

// A change as raised, with what can only be read safely on the raising
// thread.
struct TBWDirTV::TNotice {
    TBWDirectory* dir;
    TBWDirectory* parent;
    TBWChangeKind kind;
    bool listRoot;
    bool whileBusy;
};

TBWDirTV::TBWDirTV(QWidget* parent, TBWFSDrive* modelRoot)
    : QTreeView(parent), modelRoot_(modelRoot ? *modelRoot : FSDrive()), roots_(std::make_unique<TBWDirLink>()),
      model_(new TDirTreeModel(
          [this](TBWDirectory* dir, int& image, int& stateImage) {
              image = GetDirImage(dir, itImage);
              stateImage = GetDirImage(dir, itState);
          },
          this))
{
    model_->SetTop(roots_.get());
    setModel(model_);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setEditTriggers(NoEditTriggers);
    setSelectionMode(SingleSelection);
    setAcceptDrops(true);
    setDropIndicatorShown(false);
    // A long name scrolls sideways instead of ending in "…".
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    // The selection, not the current item: a mouse press moves the current
    // item first and the selection only after it, so a listener told of the
    // current item's change would still read the old selection.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit selectionChange(this); });
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& node) { model_->FillAgainIfStale(node); });
    modelRoot_.AddListener(this, [this](TBWDirectory* dir, TBWChangeKind kind) { NoticeRaised(dir, kind); });
}

bool TBWDirTV::viewportEvent(QEvent* event)
{
    // The one column is as wide as the tree, so a selection spans it, and
    // wider for a long name, which then scrolls sideways.
    if (event->type() == QEvent::Resize)
        header()->setMinimumSectionSize(static_cast<QResizeEvent*>(event)->size().width());
    return QTreeView::viewportEvent(event);
}

TBWDirTV::~TBWDirTV()
{
    // Before anything goes: once this returns, no thread calls the listener.
    modelRoot_.RemoveListener(this);
}

void TBWDirTV::SetImages(const TImageList* images)
{
    images_ = images;
    model_->SetImageLists(images_, stateImages_);
    if (images)
        setIconSize(images->Size());
}

void TBWDirTV::SetStateImages(const TImageList* images)
{
    stateImages_ = images;
    model_->SetImageLists(images_, stateImages_);
}

void TBWDirTV::Rebuild()
{
    FillRoots();
    model_->SetTop(roots_.get());
}

template <class Reading>
auto TBWDirTV::WhileBusy(const Reading& reading)
{
    const bool wasBusy = busy_;
    busy_ = true;
    auto result = reading();
    busy_ = wasBusy;
    return result;
}

void TBWDirTV::TakeRootsFromModel()
{
    roots_->Reload();
    for (TBWDirectory* dir : WhileBusy([this] { return SubDirectories(&modelRoot_); }))
        if (AcceptsRoot(dir))
            roots_->AddDir(dir);
}

bool TBWDirTV::AddDirectory(TBWDirectory* dir)
{
    if (!dir)
        return false;
    const QModelIndex shown = FindNode({}, dir, false);
    if (shown.isValid()) {
        SelectNode(shown);
        return false;
    }
    roots_->AddDir(dir);
    emit dirChange(this);
    return true;
}

bool TBWDirTV::AddPath(const std::string& path)
{
    return AddDirectory(WhileBusy([&] { return modelRoot_.FindDir(path, true); }));
}

void TBWDirTV::RemoveSelectedRoot()
{
    QModelIndex top = SelectedNode();
    if (!top.isValid())
        return;
    while (top.parent().isValid())
        top = top.parent();
    roots_->RemoveDir(DirectoryAt(top));
    emit dirChange(this);
}

void TBWDirTV::EndUpdate()
{
    busy_ = false;
    Rebuild();
}

QModelIndex TBWDirTV::SelectedNode() const
{
    return selectionModel()->selectedIndexes().value(0);
}

TBWDirectory* TBWDirTV::SelectedDirectory() const
{
    return DirectoryAt(SelectedNode());
}

std::string TBWDirTV::SelectedPath() const
{
    const TBWDirectory* dir = SelectedDirectory();
    return dir ? dir->Path() : std::string();
}

TBWDirectory* TBWDirTV::DirectoryAt(const QModelIndex& node) const
{
    return model_->DirAt(node);
}

QModelIndex TBWDirTV::FindNode(const QModelIndex& start, TBWDirectory* dir, bool noLoad)
{
    if (!dir)
        return {};
    if (start.isValid() && !noLoad)
        model_->FillAgainIfStale(start);
    if (const QModelIndex node = model_->ChildOf(start, dir); node.isValid())
        return node;
    TBWDirectory* parentDir = dir->ParentDir();
    if (!parentDir)
        return {};
    const QModelIndex parentNode = FindNode(start, parentDir, noLoad);
    if (parentNode.isValid() && (!noLoad || isExpanded(parentNode)))
        return FindNode(parentNode, dir, noLoad);
    return {};
}

void TBWDirTV::SelectNode(const QModelIndex& node)
{
    for (QModelIndex above = node.parent(); above.isValid(); above = above.parent())
        expand(above);
    setCurrentIndex(node);
    scrollTo(node);
}

void TBWDirTV::UpdateImages(const QModelIndex& node)
{
    if (node.isValid())
        model_->RefreshImages(node);
    if (node.isValid() && !isExpanded(node))
        return;
    for (int row = 0; row < model_->rowCount(node); ++row)
        UpdateImages(model_->index(row, 0, node));
}

int TBWDirTV::GetDirImage(TBWDirectory* dir, TImageIndexType type)
{
    int image = DirImageIndex(dir, type);
    if (OnDirImage)
        OnDirImage(dir, type, image);
    return image;
}

int TBWDirTV::DirImageIndex(TBWDirectory* dir, TImageIndexType type)
{
    if (type == itState)
        return -1;
    const std::string& name = dir->Name();
    if (IsDriveName(name))
        return DriveImage(modelRoot_, name);
    if (!name.empty() && name.front() == '%') {
        switch (FolderMacroType(name)) {
        case sfDesktop: return diDesktop;
        case sfMyDocuments: return diDocuments;
        default: return diFolder;
        }
    }
    if (IsMplPath(name))
        return diMp3List;
    return diFolder;
}

void TBWDirTV::NoticeRaised(TBWDirectory* dir, TBWChangeKind kind)
{
    // On the raising thread: only what that thread may read. File notices
    // never concern a tree, so a storm of them costs the window thread
    // nothing.
    if (!dir || (kind != ckDirAdded && kind != ckDirRemoved))
        return;
    const bool windowThread = QThread::currentThread() == thread();
    const TNotice notice{dir, dir->ParentDir(), kind, dynamic_cast<TBWDirMpl*>(dir) && !dir->ParentDir(),
                         windowThread && Busy()};
    // Always queued, also from the window thread: a notice comes while the
    // model is still attaching or detaching the directory, and the receiver
    // checks the directory against the model as it stands afterwards. Qt
    // drops what is queued for a view with the view.
    QMetaObject::invokeMethod(this, [this, notice] { HandleNotice(notice); }, Qt::QueuedConnection);
}

void TBWDirTV::HandleNotice(const TNotice& notice)
{
    // A list that goes may be freed later: no root may still point into it.
    if (notice.kind == ckDirRemoved && notice.listRoot)
        DropRootsInList(notice.dir);
    // What the tree reads while filling is in what it fills.
    if (notice.whileBusy || Busy())
        return;
    if (notice.kind == ckDirRemoved)
        DirRemoved(notice.dir);
    else
        DirAdded(notice.dir, notice.parent);
}

bool TBWDirTV::Busy() const
{
    return busy_ || model_->Filling();
}

void TBWDirTV::DropRootsInList(TBWDirectory* list)
{
    std::vector<TBWDirectory*> dropped;
    for (TBWDirectory* root : SubDirectories(roots_.get()))
        if (auto* inList = dynamic_cast<TBWDirMpl*>(root); inList && inList->ListRoot() == list)
            dropped.push_back(root);
    for (TBWDirectory* root : dropped) {
        if (const QModelIndex node = model_->ChildOf({}, root); node.isValid())
            RemoveShownNode(node);
        else
            roots_->RemoveDir(root);
    }
}

void TBWDirTV::DirRemoved(TBWDirectory* dir)
{
    // A node exists only for a directory still alive; nothing is read
    // before one is found.
    QModelIndex node = model_->NodeOf(dir);
    if (!node.isValid() || !AcceptsRoot(dir))
        return;
    for (; node.isValid(); node = model_->NodeOf(dir))
        RemoveShownNode(node);
}

void TBWDirTV::RemoveShownNode(const QModelIndex& node)
{
    if (selectionModel()->isSelected(node)) {
        QModelIndex neighbour = node.siblingAtRow(node.row() + 1);
        if (!neighbour.isValid())
            neighbour = node.siblingAtRow(node.row() - 1);
        if (neighbour.isValid()) {
            collapse(neighbour);
            setCurrentIndex(neighbour);
        }
    }
    TBWDirectory* dir = DirectoryAt(node);
    const bool root = !node.parent().isValid();
    model_->RemoveNode(node);
    if (root)
        roots_->RemoveDir(dir);
}

void TBWDirTV::DirAdded(TBWDirectory* dir, TBWDirectory* parent)
{
    if (!parent || parent == &modelRoot_) {
        if (PlaceInParent(&modelRoot_, dir) < 0 || !AcceptsRoot(dir) || model_->ChildOf({}, dir).isValid())
            return;
        roots_->AddDir(dir);
        model_->InsertDir({}, dir, model_->rowCount());
        return;
    }
    const QModelIndex parentNode = model_->NodeOf(parent);
    if (!parentNode.isValid())
        return;
    const int place = PlaceInParent(parent, dir);
    if (place < 0 || !AcceptsRoot(dir))
        return;
    if (!isExpanded(parentNode)) {
        model_->Unfill(parentNode);
        return;
    }
    if (!model_->ChildOf(parentNode, dir).isValid())
        model_->InsertDir(parentNode, dir, place);
}

void TBWDirTV::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->reason() == QContextMenuEvent::Mouse)
        if (const QModelIndex node = indexAt(event->pos()); node.isValid())
            setCurrentIndex(node);
    if (popupMenu_)
        popupMenu_->popup(event->globalPos());
}

bool TBWDirTV::CarriesDirectory(const QDropEvent* event) const
{
    return TakesDrops() && event->mimeData() && event->mimeData()->hasFormat(DirectoryMimeType);
}

void TBWDirTV::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TBWDirTV::dragMoveEvent(QDragMoveEvent* event)
{
    if (CarriesDirectory(event))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TBWDirTV::dropEvent(QDropEvent* event)
{
    if (!CarriesDirectory(event)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    const std::string path = event->mimeData()->data(DirectoryMimeType).toStdString();
    if (AddDirectory(WhileBusy([&] { return modelRoot_.FindDir(path, false); })))
        Rebuild();
}

void TBWDirTV::SetUserFolderNames(bool on)
{
    model_->SetUserFolderNames(on);
}

TBWDriveTV::TBWDriveTV(QWidget* parent, TBWFSDrive* modelRoot) : TBWDirTV(parent, modelRoot)
{
    SetUserFolderNames(true);
}

void TBWDriveTV::SetDriveOptions(TDriveOptions options)
{
    driveOptions_ = options;
    Rebuild();
}

void TBWDriveTV::FillRoots()
{
    TakeRootsFromModel();
}

bool TBWDriveTV::AcceptsRoot(TBWDirectory* dir)
{
    const std::string& name = dir->Name();
    if (driveOptions_ & doUser) {
        const TBWSpecialFolder folder = FolderMacroType(name);
        // A user folder the desktop never made is not offered.
        if ((folder == sfDesktop || folder == sfMyDocuments || folder == sfMyMusic)
            && QFileInfo(QString::fromStdString(ExpandPathMacros(name))).isDir())
            return true;
    }
    if ((driveOptions_ & doDrives) && IsDriveName(name))
        return true;
    return (driveOptions_ & doMPL) && dynamic_cast<TBWDirMpl*>(dir);
}

TBWMPLTV::TBWMPLTV(QWidget* parent, TBWFSDrive* modelRoot) : TBWDirTV(parent, modelRoot)
{
    Rebuild();
}

void TBWMPLTV::FillRoots()
{
    TakeRootsFromModel();
}

int TBWMPLTV::DirImageIndex(TBWDirectory* dir, TImageIndexType type)
{
    auto* inList = dynamic_cast<TBWDirMpl*>(dir);
    if (type == itState)
        return inList && !inList->ParentDir() && inList->State() == msModified ? siModified : -1;
    if (inList && inList->ParentDir() && inList->ParentDir() == inList->ListRoot())
        return diVolume;
    return TBWDirTV::DirImageIndex(dir, type);
}

bool TBWMPLTV::AcceptsRoot(TBWDirectory* dir)
{
    return dynamic_cast<TBWDirMpl*>(dir) != nullptr;
}
