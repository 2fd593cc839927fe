// Folders on disk as directories of the model: their subfolders and their
// files as the file system lists them, and the folder macros ("%mymusic%")
// that stand for the user's special folders in stored paths. The audio
// folders (u_bwfsmp3) and the model root build on these.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <vector>

#include "model/u_bwfolderlisting.h"
#include "model/u_bwfs.h"

// Which folder on disk a listing read, whatever path led there.
struct TBWFolderIdentity {
    dev_t device;
    ino_t inode;
    auto operator<=>(const TBWFolderIdentity&) const = default;
};

// A folder on disk. Folders whose names begin with "." are hidden and not
// listed; a link to a folder is not followed (the folder itself may be one:
// a folder the user chose by a link's path is read through it); the
// system's pseudo file systems under "/" are not listed. A folder that cannot be read
// lists nothing and counts as loaded.
class TBWDirWin : public TBWDirectory {
    BW_CLASS(TBWDirWin)
public:
    explicit TBWDirWin(TBWObject* owner = nullptr);

    void LoadSubDirs() override;
    // The first look at the subfolders keeps the file list current when the
    // files were read from a listing the folder has not changed since.
    void RefreshIfNeeded() override;
    // One listing gives both the subfolders and the files.
    void LoadForWalk(TBWListingAhead* ahead) override;
    // The folder as the last walk's load listed it; none before.
    std::optional<TBWFolderIdentity> Identity() const { return identity_; }
    // A name that is a folder macro, in any case, takes the special
    // folder's caption ("%MYMUSIC%" shows "My Music").
    void SetName(const std::string& name) override;
    // Path with its folder macro replaced by the special folder.
    std::string RealPath() const override;

private:
    // The listing that serves both halves of a walk's load, while it runs.
    TBWFolderListing* walkListing_ = nullptr;
    bool filesStillCurrent_ = false;
    std::optional<TBWFolderIdentity> identity_;

    friend class TBWFileListWin;
    void AddListedSubDirs(const std::vector<TBWFolderEntry>& entries);
};

// The files of a folder on disk that match the mask: regular files whose
// names do not begin with "."; a link to a file is not one of them, and a
// FIFO or a device is never listed, so nothing ever opens one.
class TBWFileListWin : public TBWFileList {
    BW_CLASS(TBWFileListWin)
public:
    explicit TBWFileListWin(TBWObject* owner = nullptr);

    // Patterns separated by ";", matched without regard to case; a file is
    // listed once however many match it, in the order of the first pattern
    // that does. "*.*" is every file, with or without an extension.
    virtual std::string Mask() const { return "*.*"; }
    void LoadFiles() override;
    // The subfolders the last listing found, once, if the folder at path is
    // still as it was then; else false. Walks load a folder's files and then
    // its subfolders, and this spares the second listing of each folder.
    bool TakeListedFolders(const std::string& path, std::vector<TBWFolderEntry>& folders);

private:
    // The names that are files and that a mask takes, in the order they
    // are listed, into the list emptied for loading. The names move into
    // the entries: the listing serves nothing else afterwards.
    void AddMatching(TBWFolderListing& listing);

    std::vector<TBWFolderEntry> listedFolders_;
    // The folder when listed; a change of its entries changes its time.
    dev_t listedDevice_ = 0;
    ino_t listedInode_ = 0;
    timespec listedChange_ {};
};

// Whether path names a regular file, links followed. Asked without opening
// anything, so that a FIFO or a device named like an audio file is never
// opened (opening one may block, or act on the device).
bool IsRegularFile(const std::string& path);
