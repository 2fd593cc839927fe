#pragma once
// Tree views of the file-system model: TBWDirTV shows a chosen set of root
// directories, TBWDriveTV the model root's special folders, drives and lists
// (by its drive options), TBWMPLTV the Mp3 Lists with their modified marks.
// Nodes are filled only when expanded; the trees follow the model's change
// notices, whatever thread raised them. The directories page, the Mp3 List
// editor and the wizards use them.
#include <QTreeView>
#include <functional>
#include <memory>
#include <string>

#include "model/u_bwfs.h"
#include "ui/trees/u_dirtreemodel.h"

class QMenu;
class TBWFSDrive;
class TImageList;

// The roots of one tree: a directory that only lists directories of the
// model, which stay owned where they are. It reads nothing by itself.
class TBWDirLink : public TBWDirectory {
    BW_CLASS(TBWDirLink)
public:
    using TBWDirectory::TBWDirectory;
    void LoadSubDirs() override {}
    void Refresh() override {}
};

enum TImageIndexType { itImage = 0, itState = 1 };
// May replace the image a tree chose for a directory (in and out).
using TImageNeededEvent = std::function<void(TBWDirectory* aDir, TImageIndexType aType, int& aImageIndex)>;

class TBWDirTV : public QTreeView {
    Q_OBJECT
public:
    // The tree follows modelRoot's changes as long as it lives.
    explicit TBWDirTV(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);
    ~TBWDirTV() override;

    // The top-level directories, in the order they were added. A root that
    // the model removes is dropped at once.
    TBWDirLink& Roots() { return *roots_; }
    TBWFSDrive& ModelRoot() const { return modelRoot_; }
    TImageNeededEvent OnDirImage;
    // While true the tree fills nodes, or an owner's long model operation
    // runs (BeginUpdate); model notices raised or arriving meanwhile are
    // ignored. Notices arrive through the window thread's event queue.
    bool Busy() const;
    // Whether directories dragged from a directory tree may be dropped here;
    // a drop offers the directory to AddDirectory and rebuilds when added.
    bool AcceptDrag() const { return acceptDrag_; }
    void SetAcceptDrag(bool accept) { acceptDrag_ = accept; }
    void SetImages(const TImageList* images);
    void SetStateImages(const TImageList* images);
    // Opened on a right click, after the node under the mouse was selected.
    void SetPopupMenu(QMenu* menu) { popupMenu_ = menu; }

    // Shows the roots again, collapsed.
    void Rebuild();
    // Selects the directory when the tree already shows it (filling the way
    // to it) and answers false; otherwise makes it a root and answers true.
    // The tree is not rebuilt: the caller does it.
    bool AddDirectory(TBWDirectory* dir);
    // The directory of a model path, made in the model when missing, given
    // to AddDirectory.
    bool AddPath(const std::string& path);
    // Takes the top-level ancestor of the selection out of the roots; not
    // rebuilt.
    void RemoveSelectedRoot();
    void BeginUpdate() { busy_ = true; }
    // Ends BeginUpdate and rebuilds once.
    void EndUpdate();

    // The highlighted node, which is what the user chose; the current item
    // (the focus frame) need not be selected.
    QModelIndex SelectedNode() const;
    TBWDirectory* SelectedDirectory() const;
    // The model path of the selected directory, empty without one.
    std::string SelectedPath() const;
    TBWDirectory* DirectoryAt(const QModelIndex& node) const;
    // The node of dir among the children of start (invalid: the top level)
    // or below them. With noLoad nothing is filled or expanded, and only
    // nodes under expanded parents are found; otherwise the way is filled.
    QModelIndex FindNode(const QModelIndex& start, TBWDirectory* dir, bool noLoad);
    // Selects the node, expanding its ancestors.
    void SelectNode(const QModelIndex& node);
    // Asks the images of the node again, and of its descendants under
    // expanded nodes; an invalid node: the whole visible tree.
    void UpdateImages(const QModelIndex& node);

signals:
    // A root was added or removed.
    void dirChange(TBWDirTV* sender);
    // The selected directory changed; SelectedDirectory already tells the
    // new one.
    void selectionChange(TBWDirTV* sender);

protected:
    // Fills Roots for Rebuild; the owner fills a plain tree's roots.
    virtual void FillRoots() {}
    virtual int DirImageIndex(TBWDirectory* dir, TImageIndexType type);
    // Whether the tree shows dir as a root and follows its changes.
    virtual bool AcceptsRoot(TBWDirectory*) { return false; }
    // Drive and list trees take their roots from the model: no drops.
    virtual bool TakesDrops() const { return acceptDrag_; }
    // Roots := the model root's children that AcceptsRoot takes, in order.
    void TakeRootsFromModel();
    // Special folders at the top show the user's name of the folder
    // ("Music") instead of its whole path; for the next Rebuild.
    void SetUserFolderNames(bool on);

    bool viewportEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct TNotice;
    int GetDirImage(TBWDirectory* dir, TImageIndexType type);
    // Called by the model root on the thread that made the change.
    void NoticeRaised(TBWDirectory* dir, TBWChangeKind kind);
    void HandleNotice(const TNotice& notice);
    void DirRemoved(TBWDirectory* dir);
    void DirAdded(TBWDirectory* dir, TBWDirectory* parent);
    void DropRootsInList(TBWDirectory* list);
    // Moves the selection off the node to a sibling, then deletes the node
    // (and the root, for a top-level node).
    void RemoveShownNode(const QModelIndex& node);
    // Runs reading with the tree busy: what the model announces while the
    // tree reads it is in what the tree reads.
    template <class Reading>
    auto WhileBusy(const Reading& reading);
    bool CarriesDirectory(const QDropEvent* event) const;

    TBWFSDrive& modelRoot_;
    std::unique_ptr<TBWDirLink> roots_;
    TDirTreeModel* model_;
    const TImageList* images_ = nullptr;
    const TImageList* stateImages_ = nullptr;
    QMenu* popupMenu_ = nullptr;
    bool busy_ = false;
    bool acceptDrag_ = false;
};

enum TDriveOption { doUser = 1, doDrives = 2, doMPL = 4 };
using TDriveOptions = int;

// The model root's children chosen by the options: doUser the desktop,
// documents and music folders that exist, doDrives "/" and the mounted
// volumes, doMPL the Mp3 Lists.
class TBWDriveTV : public TBWDirTV {
    Q_OBJECT
public:
    explicit TBWDriveTV(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);

    TDriveOptions DriveOptions() const { return driveOptions_; }
    // Stores the options and rebuilds.
    void SetDriveOptions(TDriveOptions options);

protected:
    void FillRoots() override;
    bool AcceptsRoot(TBWDirectory* dir) override;
    bool TakesDrops() const override { return false; }

private:
    TDriveOptions driveOptions_ = 0;
};

// The Mp3 Lists; a modified list carries the modified state image, a volume
// the volume image.
class TBWMPLTV : public TBWDirTV {
    Q_OBJECT
public:
    explicit TBWMPLTV(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);

protected:
    void FillRoots() override;
    int DirImageIndex(TBWDirectory* dir, TImageIndexType type) override;
    bool AcceptsRoot(TBWDirectory* dir) override;
    bool TakesDrops() const override { return false; }
};
