// Mp3 Lists in the model: a list is a tree of TBWDirMpl directories read on
// demand from its .mpl file (u_mplio), the list root's children being the
// catalogued discs (volumes). TMplManager holds the lists of the list folder.
// The model root shows them, the engine scans them, the list editor changes,
// saves, imports and deletes them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/u_bwchain.h"
#include "model/u_bwfs.h"
#include "model/u_mplio.h"

class TMplManager;

// Names the user gives to lists and volumes: one file or folder name, that
// is not empty, not "." or "..", without "/" and without control characters,
// so that a list file always lies in the list folder and a volume is one
// component of a model path. "Best..Of" is a name like any other.
bool IsValidListName(std::string_view name);
// Whether a model path lies in an Mp3 List (it begins with "@").
bool IsMplPath(std::string_view path);

// Below this many levels under its list root a directory read from a file
// lists no subdirectories, however the file nests them.
inline constexpr std::int32_t kMaxListDepth = 256;

class TBWDirMpl : public TBWDirectory {
    BW_CLASS(TBWDirMpl)
public:
    explicit TBWDirMpl(TBWObject* owner = nullptr);
    ~TBWDirMpl() override;

    // Any change of the tree makes the list modified first.
    TBWDirectory* AddSubDirTouch(const std::string& name, const std::string& caption = {}) override;
    // Reads the directory's record of the list file (loaded or just saved).
    void LoadSubDirs() override;
    // A list root is deleted with its file; any other directory leaves the
    // list modified.
    void Detach() override;
    // Notices go to the list's manager, not up the parents.
    void DirChanged(TBWDirectory* dir, TBWChangeKind kind) override;
    // Only while the list is loaded from its file, or was just saved.
    void Refresh() override;

    TBWDirMpl* ListRoot();
    // The list's state (the root's).
    TMplState State();
    // Becoming modified reads every part of the tree not yet read first, so
    // that nothing is read from the file afterwards.
    void SetState(TMplState state);
    void ReadWholeTree();
    // The name as set, without extension; may begin with a folder.
    const std::string& ListName();
    // Names the list after a file name or path (its extension goes) and
    // loads it.
    void SetListName(const std::string& name);
    // Checks the list file and reads the volumes; without a folder in the
    // list name the file lies in the manager's folder.
    void Load();
    // Where the list is saved: always the manager's folder.
    std::string FileName();
    TMplIO& ListIO();
    // Why the list's file, which is there, could not be read: it cannot be
    // opened or read, is empty, is no list, is damaged or of another
    // version. Empty when it was read, or when there is no file. Such a
    // list shows empty and is read-only: what the user catalogued may still
    // be got out of its file, so no volume is added to it and it is never
    // saved over that file.
    const std::string& ReadProblem();
    bool ReadOnly() { return !ReadProblem().empty(); }
    // Writes a modified list to its file. False when the file could not be
    // written, the list is read-only or its name is not valid (SaveFailure
    // says why): the list then stays modified. A list that is not modified
    // needs no writing: true.
    bool Save();
    // Why the last Save failed; empty after one that did not.
    const std::string& SaveFailure();
    // A new volume named name holding a copy of source's tree (with every
    // file's information read now); none when the name is taken, not valid,
    // there is no source or the list is read-only.
    TBWDirMpl* AddVolume(const std::string& name, TBWDirectory* source);

    // The name as the list file holds it, written back on saving. A stored
    // name that cannot be one component of a model path ("CD 1/2", "." or
    // "..", from lists written on other systems) is shown as it is, while
    // the model reaches the directory under the name with "%", "/" and "."
    // written as %25, %2F and %2E (the empty name as %00): "@Rock/CD 1%2F2/".
    void SetStoredName(const std::string& stored);
    std::string StoredName() const;

    // Offset of the directory's record in the list file; -1 for a directory
    // that has none (made in memory), which then reads nothing.
    std::int32_t RecordOffset() const { return recordOffset_; }
    // The manager that made the list, or none.
    TMplManager* Manager();

private:
    friend class TMplManager;
    friend class TBWFileListMpl;

    // The list name taken as it is, without removing an extension.
    void NameList(const std::string& listName);
    // Whether the list's records may be read: loaded, or saved from memory.
    bool Readable();
    std::int32_t DepthInList();
    void ReadFiles(TBWFileList& files);
    // This directory's record and its subtree's, in pre-order.
    std::int32_t WriteRecords(TMplIO& io, std::vector<TMplFileRecord>& scratch);
    std::string FolderOfManager();

    TMplState state_ = msNone;
    std::string readProblem_;
    std::string saveFailure_;
    std::unique_ptr<TMplIO> listIO_;
    std::int32_t recordOffset_ = -1;
    // Only where it differs from the model name.
    std::optional<std::string> storedName_;
    std::string listName_;
    // ".mpl" in the case the file was found with.
    std::string extension_ = ".mpl";
    TMplManager* manager_ = nullptr;
};

class TBWFileListMpl : public TBWFileList {
    BW_CLASS(TBWFileListMpl)
public:
    explicit TBWFileListMpl(TBWObject* owner = nullptr);

    void LoadFiles() override;
    // Only while the list is loaded from its file, or was just saved.
    void Refresh() override;
};

// The Mp3 Lists of the list folder. The lists belong to the manager but not
// to its chain: a reload or a deletion takes a list out of the chain and
// keeps it alive (retired), since result entries, the scan's pool and the
// views may still point into it; FreeRetiredLists frees them when nothing
// does any more, and the manager frees every list when it goes.
class TMplManager : public TBWChain {
    BW_CLASS(TMplManager)
public:
    using ListChangedEvent = std::function<void(TBWDirectory* dir, TBWChangeKind kind)>;

    explicit TMplManager(TBWObject* owner = nullptr);
    // Saves the modified lists.
    ~TMplManager() override;

    // Every change inside a list, and lists added to (1) or taken out of (2)
    // the manager. Set by the model root.
    ListChangedEvent OnListChanged;

    const std::string& Folder() const { return folder_; }
    // Creates the folder when missing.
    void SetFolder(const std::string& path);
    // One list per .mpl file of the folder, in name order; the lists held
    // before are retired, unsaved changes and all.
    void Reload();
    // By list name without regard to case, with or without ".mpl" or a
    // trailing "/".
    TBWDirMpl* FindList(const std::string& name);
    // A new modified list. When the name is taken: none, or with unique the
    // name followed by 0, 1, 2 ... None for a name that is not valid.
    TBWDirMpl* NewList(const std::string& name, bool unique);
    // Takes the list out and deletes its file; the list is retired.
    void DeleteList(TBWDirMpl* list);
    // Saves every modified list, then reloads the folder. A list that could
    // not be saved is kept as it is, still modified (a catalogued disc is
    // never dropped); the answer is false then.
    bool SaveAll();
    bool IsModified();
    std::int32_t SelectedCount();
    void ClearSelections();
    void DoDirChanged(TBWDirectory* dir, TBWChangeKind kind);
    // Frees the retired lists. Call it only where nothing refers to them:
    // no scan runs, no result list and no view holds their entries.
    void FreeRetiredLists();

    TBWDirMpl* FirstList();
    TBWDirMpl* NextList();
    TBWDirMpl* CurrentList() const;
    // The lists in order, without moving the cursor.
    std::vector<TBWDirMpl*> Lists() const;
    // Copies the selected files of every volume from its disc into the
    // destination folder, asking request for each disc; progress (if any)
    // steps by 1 for every file found. Gives what it did. See u_mplcopy.
    struct TDiscCopyResult CopySelectedFromDiscs(const std::string& destination, bool keepStructure, class TDiscRequest& request,
                               class TProgressSink* progress);

protected:
    void DoNodeEvent(TBWStructNode* node, std::int32_t code) override;

private:
    TBWDirMpl* MakeList();
    TBWDirMpl* ListNamed(const std::string& listName) const;
    // Retires every list but the kept ones and reads the folder's others.
    void ReloadKeeping(const std::vector<TBWDirMpl*>& kept);
    void Retire(TBWDirMpl* list);
    void SaveModified(std::vector<TBWDirMpl*>* unsaved);

    std::string folder_;
    // Owns every list the manager made, listed or retired.
    TBWObject listKeeper_;
    std::vector<TBWDirMpl*> retired_;
};

// The program's list manager, made on first use and freed at exit.
TMplManager& MplManager();
