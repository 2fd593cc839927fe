#include "ui/trees/u_dirtreemodel.h"

#include <QCursor>
#include <QGuiApplication>
#include <QIcon>
#include <QMimeData>
#include <QPainter>
#include <algorithm>

#include "base/HUtils.h"
#include "base/u_bwfunc.h"
#include "model/u_bwfs.h"
#include "model/u_bwfsdrive.h"
#include "ui/common/u_pictures.h"
#include "ui/common/u_visibletext.h"

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

namespace {

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

TDirTreeModel::TDirTreeModel(ImagesOf imagesOf, QObject* parent)
    : QAbstractItemModel(parent), imagesOf_(std::move(imagesOf))
{
}

template <class Reading>
auto TDirTreeModel::Read(const Reading& reading) const -> decltype(reading())
{
    ++filling_;
    auto result = reading();
    --filling_;
    return result;
}

void TDirTreeModel::SetImageLists(const TImageList* images, const TImageList* stateImages)
{
    images_ = images;
    stateImages_ = stateImages;
}

void TDirTreeModel::SetTop(TBWDirectory* top)
{
    beginResetModel();
    top_.children.clear();
    shown_.clear();
    top_.dir = top;
    top_.filled = false;
    MakeChildren(top_);
    endResetModel();
}

TBWDirectory* TDirTreeModel::DirAt(const QModelIndex& index) const
{
    return index.isValid() ? NodeAt(index)->dir : nullptr;
}

QModelIndex TDirTreeModel::ChildOf(const QModelIndex& parent, const TBWDirectory* dir) const
{
    for (const auto& child : NodeAt(parent)->children)
        if (child->dir == dir)
            return IndexOf(child.get());
    return {};
}

QModelIndex TDirTreeModel::NodeOf(const TBWDirectory* dir) const
{
    const auto found = shown_.find(dir);
    return found == shown_.end() ? QModelIndex() : IndexOf(found->second);
}

void TDirTreeModel::Fill(const QModelIndex& index)
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

void TDirTreeModel::FillAgainIfStale(const QModelIndex& index)
{
    TDirNode& node = *NodeAt(index);
    if (node.filled && static_cast<int>(node.children.size()) != CountOf(node.dir)) {
        RemoveChildren(index);
        node.filled = false;
    }
    Fill(index);
}

void TDirTreeModel::Unfill(const QModelIndex& index)
{
    RemoveChildren(index);
    TDirNode& node = *NodeAt(index);
    node.filled = false;
    node.hasSubDirs = 1;
    emit dataChanged(index, index);
}

void TDirTreeModel::InsertDir(const QModelIndex& parent, TBWDirectory* dir, int row)
{
    TDirNode& node = *NodeAt(parent);
    row = std::clamp(row, 0, static_cast<int>(node.children.size()));
    beginInsertRows(parent, row, row);
    AddNode(node, dir, row);
    endInsertRows();
}

void TDirTreeModel::RemoveNode(const QModelIndex& index)
{
    TDirNode& parent = *NodeAt(index.parent());
    beginRemoveRows(index.parent(), index.row(), index.row());
    Forget(*parent.children[static_cast<std::size_t>(index.row())]);
    parent.children.erase(parent.children.begin() + index.row());
    Renumber(parent, index.row());
    endRemoveRows();
}

void TDirTreeModel::RefreshImages(const QModelIndex& index)
{
    TDirNode& node = *NodeAt(index);
    imagesOf_(node.dir, node.image, node.stateImage);
    emit dataChanged(index, index, {Qt::DecorationRole});
}

QModelIndex TDirTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    const TDirNode& node = *NodeAt(parent);
    if (column != 0 || row < 0 || row >= static_cast<int>(node.children.size()))
        return {};
    return createIndex(row, 0, node.children[static_cast<std::size_t>(row)].get());
}

QModelIndex TDirTreeModel::parent(const QModelIndex& index) const
{
    if (!index.isValid())
        return {};
    return IndexOf(NodeAt(index)->parent);
}

int TDirTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0)
        return 0;
    return static_cast<int>(NodeAt(parent)->children.size());
}

bool TDirTreeModel::hasChildren(const QModelIndex& parent) const
{
    const TDirNode& node = *NodeAt(parent);
    return node.filled ? !node.children.empty() : HasSubDirs(node);
}

bool TDirTreeModel::canFetchMore(const QModelIndex& parent) const
{
    const TDirNode& node = *NodeAt(parent);
    return !node.filled && HasSubDirs(node);
}

void TDirTreeModel::fetchMore(const QModelIndex& parent)
{
    if (!canFetchMore(parent))
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    Fill(parent);
    QGuiApplication::restoreOverrideCursor();
}

QVariant TDirTreeModel::data(const QModelIndex& index, int role) const
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

Qt::ItemFlags TDirTreeModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList TDirTreeModel::mimeTypes() const
{
    return {QString::fromLatin1(DirectoryMimeType)};
}

QMimeData* TDirTreeModel::mimeData(const QModelIndexList& indexes) const
{
    if (indexes.isEmpty() || !indexes.first().isValid())
        return nullptr;
    auto* data = new QMimeData;
    data->setData(DirectoryMimeType, QByteArray::fromStdString(DirAt(indexes.first())->Path()));
    return data;
}

int TDirTreeModel::CountOf(TBWDirectory* dir) const
{
    return Read([dir] { return dir->DirCount(); });
}

bool TDirTreeModel::HasSubDirs(const TDirNode& node) const
{
    if (node.hasSubDirs < 0)
        node.hasSubDirs = CountOf(node.dir) > 0 ? 1 : 0;
    return node.hasSubDirs == 1;
}

void TDirTreeModel::MakeChildren(TDirNode& node)
{
    for (TBWDirectory* dir : Read([&] { return SubDirectories(node.dir); }))
        AddNode(node, dir);
    node.filled = true;
}

void TDirTreeModel::AddNode(TDirNode& parent, TBWDirectory* dir, int row)
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

void TDirTreeModel::RemoveChildren(const QModelIndex& index)
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

void TDirTreeModel::Forget(const TDirNode& node)
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

void TDirTreeModel::Renumber(TDirNode& parent, int from)
{
    for (std::size_t row = static_cast<std::size_t>(from); row < parent.children.size(); ++row)
        parent.children[row]->row = static_cast<int>(row);
}

TDirNode* TDirTreeModel::NodeAt(const QModelIndex& index) const
{
    return index.isValid() ? static_cast<TDirNode*>(index.internalPointer()) : const_cast<TDirNode*>(&top_);
}

QModelIndex TDirTreeModel::IndexOf(TDirNode* node) const
{
    return !node || node == &top_ ? QModelIndex() : createIndex(node->row, 0, node);
}

QVariant TDirTreeModel::Decoration(const TDirNode& node) const
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
