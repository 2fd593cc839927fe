#pragma once
// The item model behind the directory trees (u_bwdirtv): a node per shown
// directory, its children made only when the view fetches them, so that a
// level of the file system is read just before it is seen. The tree view
// tells it of the model's changes; it reads nothing on its own otherwise.
#include <QAbstractItemModel>
#include <functional>
#include <memory>
#include <unordered_map>
#include <vector>

class TBWDirectory;
class TImageList;

// The private MIME type of a dragged directory: its model path, UTF-8.
inline constexpr const char* DirectoryMimeType = "application/x-corvella-model-path";

// The directories dir lists, in the model's order; loads them first.
std::vector<TBWDirectory*> SubDirectories(TBWDirectory* dir);

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
    // The image indexes of a directory, asked when its node is made.
    using ImagesOf = std::function<void(TBWDirectory* dir, int& image, int& stateImage)>;

    TDirTreeModel(ImagesOf imagesOf, QObject* parent);

    // True while the model reads directories: what that loading announces is
    // already in what the model reads.
    bool Filling() const { return filling_ > 0; }
    // Special folders at the top are named as the user's folders are, not by their paths.
    void SetUserFolderNames(bool on) { userFolderNames_ = on; }
    void SetImageLists(const TImageList* images, const TImageList* stateImages);

    // Shows the directories top lists as the roots, unexpanded.
    void SetTop(TBWDirectory* top);
    TBWDirectory* DirAt(const QModelIndex& index) const;
    // The child node of parent that shows dir; invalid when none does.
    QModelIndex ChildOf(const QModelIndex& parent, const TBWDirectory* dir) const;
    // A node of dir, expanded or not; compares addresses only.
    QModelIndex NodeOf(const TBWDirectory* dir) const;
    // Reads the node's children, once.
    void Fill(const QModelIndex& index);
    // Fills the node, or reads its children again when the directory now
    // has another number of them than the node shows.
    void FillAgainIfStale(const QModelIndex& index);
    // Drops the children, so that the next expansion reads them again.
    void Unfill(const QModelIndex& index);
    void InsertDir(const QModelIndex& parent, TBWDirectory* dir, int row);
    void RemoveNode(const QModelIndex& index);
    // Asks the node's images again.
    void RefreshImages(const QModelIndex& index);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& index) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& = {}) const override { return 1; }
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::CopyAction; }

private:
    template <class Reading>
    auto Read(const Reading& reading) const -> decltype(reading());
    int CountOf(TBWDirectory* dir) const;
    bool HasSubDirs(const TDirNode& node) const;
    void MakeChildren(TDirNode& node);
    void AddNode(TDirNode& parent, TBWDirectory* dir, int row = -1);
    void RemoveChildren(const QModelIndex& index);
    // Takes the node and its descendants out of shown_.
    void Forget(const TDirNode& node);
    static void Renumber(TDirNode& parent, int from);
    TDirNode* NodeAt(const QModelIndex& index) const;
    QModelIndex IndexOf(TDirNode* node) const;
    // The state image left of the image, as one picture.
    QVariant Decoration(const TDirNode& node) const;

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
