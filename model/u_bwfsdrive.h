// The root of the model: the user's special folders, "/" and the mounted
// volumes, then the Mp3 Lists, as one tree every model path is found from.
// It also tells the change listeners (the tree views) of every change in the
// tree, lists included. The engine refreshes it at the start of each scan and
// finds its directories through it; the windows register their listeners.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "base/platform/u_drives.h"
#include "model/u_bwfs.h"
#include "model/u_bwfsmpl.h"

// Told of one change: the directory and the kind (see TBWChangeKind).
using TBWChangeListener = std::function<void(TBWDirectory* dir, TBWChangeKind kind)>;
using TBWDriveLister = std::function<std::vector<TBWDrive>()>;

class TBWFSDrive : public TBWDirectory {
    BW_CLASS(TBWFSDrive)
public:
    // Over the program's list manager and the system's drives.
    explicit TBWFSDrive(TBWObject* owner = nullptr);
    TBWFSDrive(TMplManager& manager, TBWDriveLister drives, TBWObject* owner = nullptr);
    ~TBWFSDrive() override;

    // Audio folders on disk.
    TBWDirectory* NewChildDir() override;
    // The special folders, the drives, the lists, in this order.
    void LoadSubDirs() override;
    // Tells every listener, in registration order, on the thread that made
    // the change (during a scan its worker): a window passes it on to its
    // own thread.
    void DirChanged(TBWDirectory* dir, TBWChangeKind kind) override;

    void AddSpecialFolders();
    // "/" and the mounted volumes, captioned "<root> [<label>]". A path on
    // a mounted volume resolves to that volume's node, not to the folders
    // of "/" it is mounted on.
    void AddDrives();
    // The drives as the lister gives them now, with their kinds.
    std::vector<TBWDrive> Drives() const;
    // The list roots of the manager, which keeps them.
    void AddLists();
    // What the manager reports: lists added or taken out become children
    // added or removed while the root is loaded; the rest goes to the
    // listeners.
    void MplListChanged(TBWDirectory* dir, TBWChangeKind kind);

    // Listeners may be added and removed from any thread; once RemoveListener
    // returns, that owner's listeners are not called again.
    void AddListener(const void* owner, TBWChangeListener listener);
    void RemoveListener(const void* owner);

private:
    struct TListenerRecord {
        const void* owner;
        TBWChangeListener listener;
    };

    TMplManager& manager_;
    TBWDriveLister drives_;
    std::recursive_mutex lock_;
    std::vector<TListenerRecord> listeners_;
};

// The program's model root, made on first use (after MplManager) and freed
// at exit.
TBWFSDrive& FSDrive();
