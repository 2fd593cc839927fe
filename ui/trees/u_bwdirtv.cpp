#include "ui/trees/u_bwdirtv.h"

#include <QAbstractItemModel>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QResizeEvent>
#include <QThread>
#include <unordered_map>
#include <vector>

#include "base/HUtils.h"
#include "base/u_bwfunc.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/common/u_pictures.h"
#include "ui/common/u_visibletext.h"

BW_IMPLEMENT_CLASS(TBWDirLink, TBWDirectory)

namespace {

// The directories dir lists, in the model's order; loads them first.
std::vector<TBWDirectory*> SubDirectories(TBWDirectory* dir)
{
    std::vector<TBWDirectory*> dirs;
    dirs.reserve(static_cast<std::size_t>(dir->DirCount()));
    for (TBWChainNode* node = dir->SubDirs()->Head(); node; node = node->Next())
        if (auto* sub = dynamic_cast<TBWDirectory*>(node->Item()))
            dirs.push_back(sub);
    return dirs;
}

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

// A folder's whole path as the user knows it: folder macros expanded, no
// trailing "/" but on the root.
QString FullPathOf(const TBWDirectory& dir)
{
    std::string path = ExpandPathMacros(dir.Path());
    if (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return VisibleText(path);
}

// A top-level node is told apart from the others: a drive or an Mp3 List as
// the model names it, a special folder among the drives by the user's own
// name of it (the last part of the XDG folder, "Music"), any other folder by
// its whole path.
QString RootCaption(const TBWDirectory& dir, bool userFolderNames)
{
    if (FolderMacroType(dir.Name()) != sfNone)
        return userFolderNames ? QString::fromStdString(LastPathPart(FullPathOf(dir).toStdString())) : FullPathOf(dir);
    const bool childOfModelRoot = !dir.ParentDir() || dynamic_cast<const TBWFSDrive*>(dir.ParentDir());
    return childOfModelRoot ? VisibleText(dir.DisplayName()) : FullPathOf(dir);
}

}  // namespace

// One node of a tree: its directory (the tree's roots for the invisible top)
// and, once filled, its children. Caption and images are kept here so that
// painting never reads the model.
struct TDirNode {
    TBWDirectory* dir = nullptr;
    TDirNode* parent = nullptr;
    int row = 0;
    QString caption;
    QString toolTip;  // the whole path
    int image = -1;
    int stateImage = -1;
    bool filled = false;
    // Whether the directory has subdirectories: unknown (-1) until the view
    // first asks, so that a level is read only when it is about to be seen.
    mutable int hasSubDirs = -1;
    std::vector<std::unique_ptr<TDirNode>> children;
};

// The lazy tree model of one view: a node's children are made when the view
// fetches them (on expansion), and only their count is asked before.
class TDirTreeModel : public QAbstractItemModel {
public:
    using ImagesOf = std::function<void(TBWDirectory* dir, int& image, int& stateImage)>;

    TDirTreeModel(ImagesOf imagesOf, QObject* parent) : QAbstractItemModel(parent), imagesOf_(std::move(imagesOf)) {}

    // True while the model reads directories: what that loading announces is
    // already in what the model reads.
    bool Filling() const { return filling_ > 0; }
    // Special folders at the top are named as the user's folders are, not by their paths.
    void SetUserFolderNames(bool on) { userFolderNames_ = on; }
    void SetImageLists(const TImageList* images, const TImageList* stateImages)
    {
        images_ = images;
        stateImages_ = stateImages;
    }

    void SetTop(TBWDirectory* top)
    {
        beginResetModel();
        top_.children.clear();
        shown_.clear();
        top_.dir = top;
        top_.filled = false;
        MakeChildren(top_);
        endResetModel();
    }

    TBWDirectory* DirAt(const QModelIndex& index) const { return index.isValid() ? NodeAt(index)->dir : nullptr; }

    QModelIndex ChildOf(const QModelIndex& parent, const TBWDirectory* dir) const
    {
        for (const auto& child : NodeAt(parent)->children)
            if (child->dir == dir)
                return IndexOf(child.get());
        return {};
    }

    // A node of dir, expanded or not; compares addresses only.
    QModelIndex NodeOf(const TBWDirectory* dir) const
    {
        const auto found = shown_.find(dir);
        return found == shown_.end() ? QModelIndex() : IndexOf(found->second);
    }

    // Reads the node's children, once.
    void Fill(const QModelIndex& index)
    {
        TDirNode& node = *NodeAt(index);
        if (node.filled)
            return;
        std::vector<TBWDirectory*> dirs = Read([&] { return SubDirectories(node.dir); });
        node.filled = true;
        node.hasSubDirs = dirs.empty() ? 0 : 1;
        if (dirs.empty())
            return;
        beginInsertRows(index, 0, static_cast<int>(dirs.size()) - 1);
        for (TBWDirectory* dir : dirs)
            AddNode(node, dir);
        endInsertRows();
    }

    // Fills the node, or reads its children again when the directory now
    // has another number of them than the node shows.
    void FillAgainIfStale(const QModelIndex& index)
    {
        TDirNode& node = *NodeAt(index);
        if (node.filled && static_cast<int>(node.children.size()) != CountOf(node.dir)) {
            RemoveChildren(index);
            node.filled = false;
        }
        Fill(index);
    }

    // Drops the children, so that the next expansion reads them again.
    void Unfill(const QModelIndex& index)
    {
        RemoveChildren(index);
        TDirNode& node = *NodeAt(index);
        node.filled = false;
        node.hasSubDirs = 1;
        emit dataChanged(index, index);
    }

    void InsertDir(const QModelIndex& parent, TBWDirectory* dir, int row)
    {
        TDirNode& node = *NodeAt(parent);
        row = std::clamp(row, 0, static_cast<int>(node.children.size()));
        beginInsertRows(parent, row, row);
        AddNode(node, dir, row);
        endInsertRows();
    }

    void RemoveNode(const QModelIndex& index)
    {
        TDirNode& parent = *NodeAt(index.parent());
        beginRemoveRows(index.parent(), index.row(), index.row());
        Forget(*parent.children[static_cast<std::size_t>(index.row())]);
        parent.children.erase(parent.children.begin() + index.row());
        Renumber(parent, index.row());
        endRemoveRows();
    }

    void RefreshImages(const QModelIndex& index)
    {
        TDirNode& node = *NodeAt(index);
        imagesOf_(node.dir, node.image, node.stateImage);
        emit dataChanged(index, index, {Qt::DecorationRole});
    }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override
    {
        const TDirNode& node = *NodeAt(parent);
        if (column != 0 || row < 0 || row >= static_cast<int>(node.children.size()))
            return {};
        return createIndex(row, 0, node.children[static_cast<std::size_t>(row)].get());
    }

    QModelIndex parent(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return {};
        return IndexOf(NodeAt(index)->parent);
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        if (parent.column() > 0)
            return 0;
        return static_cast<int>(NodeAt(parent)->children.size());
    }

    int columnCount(const QModelIndex& = {}) const override { return 1; }

    bool hasChildren(const QModelIndex& parent = {}) const override
    {
        const TDirNode& node = *NodeAt(parent);
        return node.filled ? !node.children.empty() : HasSubDirs(node);
    }

    bool canFetchMore(const QModelIndex& parent) const override
    {
        const TDirNode& node = *NodeAt(parent);
        return !node.filled && HasSubDirs(node);
    }

    void fetchMore(const QModelIndex& parent) override
    {
        if (!canFetchMore(parent))
            return;
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        Fill(parent);
        QGuiApplication::restoreOverrideCursor();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!checkIndex(index, CheckIndexOption::IndexIsValid))
            return {};
        const TDirNode& node = *NodeAt(index);
        if (role == Qt::DisplayRole)
            return node.caption;
        if (role == Qt::ToolTipRole)
            return node.toolTip;
        if (role == Qt::DecorationRole)
            return Decoration(node);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    }

    QStringList mimeTypes() const override { return {QString::fromLatin1(DirectoryMimeType)}; }

    QMimeData* mimeData(const QModelIndexList& indexes) const override
    {
        if (indexes.isEmpty() || !indexes.first().isValid())
            return nullptr;
        auto* data = new QMimeData;
        data->setData(DirectoryMimeType, QByteArray::fromStdString(DirAt(indexes.first())->Path()));
        return data;
    }

    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    template <class Reading>
    auto Read(const Reading& reading) const -> decltype(reading())
    {
        ++filling_;
        auto result = reading();
        --filling_;
        return result;
    }

    int CountOf(TBWDirectory* dir) const
    {
        return Read([dir] { return dir->DirCount(); });
    }

    bool HasSubDirs(const TDirNode& node) const
    {
        if (node.hasSubDirs < 0)
            node.hasSubDirs = CountOf(node.dir) > 0 ? 1 : 0;
        return node.hasSubDirs == 1;
    }

    void MakeChildren(TDirNode& node)
    {
        for (TBWDirectory* dir : Read([&] { return SubDirectories(node.dir); }))
            AddNode(node, dir);
        node.filled = true;
    }

    void AddNode(TDirNode& parent, TBWDirectory* dir, int row = -1)
    {
        auto child = std::make_unique<TDirNode>();
        child->dir = dir;
        child->parent = &parent;
        // The parent of a root is the invisible top, which has none.
        child->caption =
            parent.parent ? VisibleText(dir->DisplayName()) : RootCaption(*dir, userFolderNames_);
        child->toolTip = FullPathOf(*dir);
        imagesOf_(dir, child->image, child->stateImage);
        shown_.emplace(dir, child.get());
        if (row < 0) {
            child->row = static_cast<int>(parent.children.size());
            parent.children.push_back(std::move(child));
            return;
        }
        parent.children.insert(parent.children.begin() + row, std::move(child));
        Renumber(parent, row);
    }

    void RemoveChildren(const QModelIndex& index)
    {
        TDirNode& node = *NodeAt(index);
        if (node.children.empty())
            return;
        beginRemoveRows(index, 0, static_cast<int>(node.children.size()) - 1);
        for (const auto& child : node.children)
            Forget(*child);
        node.children.clear();
        endRemoveRows();
    }

    // Takes the node and its descendants out of shown_.
    void Forget(const TDirNode& node)
    {
        for (const auto& child : node.children)
            Forget(*child);
        auto [first, last] = shown_.equal_range(node.dir);
        for (auto entry = first; entry != last; ++entry)
            if (entry->second == &node) {
                shown_.erase(entry);
                return;
            }
    }

    static void Renumber(TDirNode& parent, int from)
    {
        for (std::size_t row = static_cast<std::size_t>(from); row < parent.children.size(); ++row)
            parent.children[row]->row = static_cast<int>(row);
    }

    TDirNode* NodeAt(const QModelIndex& index) const
    {
        return index.isValid() ? static_cast<TDirNode*>(index.internalPointer()) : const_cast<TDirNode*>(&top_);
    }

    QModelIndex IndexOf(TDirNode* node) const
    {
        return !node || node == &top_ ? QModelIndex() : createIndex(node->row, 0, node);
    }

    // The state image left of the image, as one picture.
    QVariant Decoration(const TDirNode& node) const
    {
        const QPixmap image = images_ ? images_->Pixmap(node.image) : QPixmap();
        const QPixmap state = stateImages_ ? stateImages_->Pixmap(node.stateImage) : QPixmap();
        if (state.isNull())
            return image.isNull() ? QVariant() : QVariant(QIcon(image));
        QPixmap both(state.width() + image.width(), std::max(state.height(), image.height()));
        both.fill(Qt::transparent);
        QPainter painter(&both);
        painter.drawPixmap(0, 0, state);
        painter.drawPixmap(state.width(), 0, image);
        painter.end();
        return QIcon(both);
    }

    ImagesOf imagesOf_;
    TDirNode top_;
    // Every node by its directory, so that a notice finds its node at once
    // however many nodes are shown.
    std::unordered_multimap<const TBWDirectory*, TDirNode*> shown_;
    const TImageList* images_ = nullptr;
    const TImageList* stateImages_ = nullptr;
    mutable int filling_ = 0;
    bool userFolderNames_ = false;
};

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
