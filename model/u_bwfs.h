// The file-system model: a tree of directories whose subdirectories, files
// and file information are read only when first asked for. Disk folders, Mp3
// Lists and the model root derive from it; the engine and the views walk it.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/u_bwbaseclass.h"
#include "base/u_bwchain.h"
#include "base/u_bwselchain.h"
#include "base/u_bwslots.h"
#include "model/u_bwnameindex.h"
#include "model/u_digesttype.h"

class TBWFileList;
class TBWFile;
class TBWListingAhead;

// What changed in the tree. A notice is (directory, kind): for files the
// directory whose list changed, for directories the one added or removed.
enum TBWChangeKind : std::int32_t {
    ckFileAdded = 0,
    ckDirAdded = 1,
    ckDirRemoved = 2,
    ckFileRemoved = 3,
};

// When a directory or a file list was last loaded or touched: a number from
// one counter that only grows, so a later load always has a larger stamp,
// however close together two loads come or however the clock is set.
// 0 = never.
using TBWLoadStamp = std::uint64_t;
TBWLoadStamp NextLoadStamp();

// The names of the objects a chain lists, indexed on the first lookup and
// kept up to date from then on. A walk lists every folder and file and looks
// up few of their names; filing each name as it was listed cost it an entry
// and a hash per file.
class TBWListedNames {
public:
    // The key an object of the item class is filed under.
    using TKeyOf = std::string_view (*)(const TBWObject& item);

    TBWListedNames(const TBWChain& chain, const TBWClass& itemClass, TKeyOf keyOf)
        : chain_(chain), itemClass_(itemClass), keyOf_(keyOf) {}

    // An object about to be linked into the chain or out of it, and the
    // notice of that. During the notice the chain still lists it as before:
    // an index made then is brought up to date after it.
    template <class Notice>
    void Listing(TBWObject* item, const Notice& notice)
    {
        Around([this, item] { index_.Add(keyOf_(*item), item); }, notice);
    }
    template <class Notice>
    void Unlisting(TBWObject* item, const Notice& notice)
    {
        Around([this, item] { index_.Remove(keyOf_(*item), item); }, notice);
    }
    // The object was filed under oldKey, if listed.
    void Renamed(std::string_view oldKey, TBWObject* item)
    {
        if (built_)
            index_.Rename(oldKey, keyOf_(*item), item);
    }
    // As TBWNameIndex::Candidates.
    std::vector<TBWObject*> Candidates(std::string_view key);

private:
    template <class Change, class Notice>
    void Around(const Change& change, const Notice& notice)
    {
        const bool built = built_;
        if (built)
            change();
        notice();
        if (!built && built_)
            change();
    }

    const TBWChain& chain_;
    const TBWClass& itemClass_;
    TKeyOf keyOf_;
    TBWNameIndex index_;
    bool built_ = false;
};

class TBWDirectory : public TBWComparable {
    BW_CLASS(TBWDirectory)
public:
    explicit TBWDirectory(TBWObject* owner = nullptr);
    ~TBWDirectory() override;

    // Every key is the caption, compared without regard to case.
    TBWKeyKind KeyKind(TBWKey) const override { return kkTextNoCase; }
    std::string KeyText(TBWKey) const override { return displayName_; }
    void Assign(const TBWComparable&) override {}

    // A new directory of this directory's own class, owned by it.
    virtual TBWDirectory* NewChildDir();
    // Makes, names and lists a subdirectory; the caption, when given,
    // replaces the one the name gives. No check for a name already listed.
    virtual TBWDirectory* AddSubDir(const std::string& name, const std::string& caption = {});
    // AddSubDir, then the directory counts as loaded with what it holds.
    virtual TBWDirectory* AddSubDirTouch(const std::string& name, const std::string& caption = {});
    // Fills SubDirs from the source.
    virtual void LoadSubDirs() = 0;
    // Loads the subdirectories and the files at once where one reading of
    // the source serves both, as walks over the tree want them; else
    // nothing, and each loads on its first look. Folders on disk take their
    // listing from ahead when given one.
    virtual void LoadForWalk(TBWListingAhead* /*ahead*/) {}
    // The caption becomes the last path component of name.
    virtual void SetName(const std::string& name);
    // The parent's Path followed by Name with a trailing "/"; the root's
    // empty name gives the empty path.
    virtual std::string Path() const;
    // The path on disk; Path here.
    virtual std::string RealPath() const;
    // Takes the directory out of its parent's subdirectories.
    virtual void Detach();
    // Passes a notice up to the parent.
    virtual void DirChanged(TBWDirectory* dir, TBWChangeKind kind);
    virtual void RefreshIfNeeded();
    // Reads the subdirectories again. The old ones are only unlisted: they
    // stay alive, owned by this directory, so references to them hold.
    virtual void Refresh();
    // Frees what refreshes and removals left alive in the subtree: the
    // directories and file entries it owns but lists no more, with all they
    // own. Every scan refreshes the model, so without this the memory grew
    // by a whole tree a scan. Call it only where nothing refers to them: no
    // scan runs, no result list and no view holds their entries. Loads
    // nothing; directories listed here but owned elsewhere (the Mp3 Lists
    // under the model root) are their owner's to free.
    void FreeRetired();

    const std::string& Name() const { return name_; }
    const std::string& DisplayName() const { return displayName_; }
    void SetDisplayName(const std::string& caption) { displayName_ = caption; }
    TBWLoadStamp LoadedAt() const { return loadedAt_; }
    // Marks the directory loaded as it stands, so that a change made in
    // memory is not read over, and its file list reads again on next look.
    void Touch() { loadedAt_ = NextLoadStamp(); }
    TBWChain* SubDirs() const { return subDirs_; }

    // The cursor over the subdirectories; every move loads them first.
    TBWDirectory* FirstDir();
    TBWDirectory* NextDir();
    TBWDirectory* CurrentDir() const;
    bool EofDirs() const { return subDirs_->Eof(); }
    TBWDirectory* DirAt(std::int32_t index);
    std::int32_t DirCount() { return subDirs_->Count(); }

    // The file list, made on first use.
    TBWFileList* Files();
    // The file list when it was made, else none.
    TBWFileList* FileList() const { return fileList_; }
    TBWDirectory* ParentDir() const;
    TBWDirectory* Root();
    // The highest directory reached through parents of exactly this class
    // (for a directory of an Mp3 List, the list root).
    TBWDirectory* TopOfKind();
    bool IsTopOfKind() { return TopOfKind() == this; }

    // The subdirectory of that name, the exact name first, else one that
    // differs only in case; loads the subdirectories first.
    TBWDirectory* FindChild(const std::string& name);
    // Lists a directory made elsewhere without taking it over.
    void AddDir(TBWDirectory* dir);
    // Unlists a subdirectory without freeing it.
    void RemoveDir(TBWDirectory* dir);
    // Detaches the directory and marks its parent loaded as it stands.
    void Delete();
    // Loaded and empty, without reading anything.
    void Reload();
    void SetSortOrder(std::int32_t keySet) { subDirs_->SetActiveKeys(keySet); }

    // The directory at a model path, which may lack its trailing "/".
    // Components match with their case first, else without regard to it.
    // With create, missing levels are made in memory (a component that is
    // empty is never made: none is the answer).
    TBWDirectory* FindDir(const std::string& path, bool create);
    // Adds every file of the subtree to target, a directory's own files
    // before its subdirectories', depth first; loads the whole subtree.
    void CollectFiles(TBWStruct* target, bool selectedOnly);
    TBWFile* FindFileByPath(const std::string& path);
    // Copies source's files (with their information, read now) and its
    // subtree into this directory, merging with what is here by name.
    void CopyTree(TBWDirectory* source);
    // Over the part of the subtree already loaded; these never load anything.
    void ClearSelections();
    std::int32_t SelectedCount();
    // The files SelectedCount counts, each directory's before its
    // subdirectories'. A walk that loads (CollectFiles) may read a file list
    // again and lose its selection.
    std::vector<TBWFile*> SelectedFiles();

protected:
    const TBWClass& FileListClass() const { return *fileListClass_; }
    void SetFileListClass(const TBWClass& listClass) { fileListClass_ = &listClass; }

private:
    void OnSubDirNode(TBWStructNode* node, std::int32_t code);
    // The subdirectories, loaded first, in list order.
    std::vector<TBWDirectory*> ListedDirs();
    // The directory at rest, a path relative to this one ending in "/".
    TBWDirectory* FindBelow(std::string_view rest, bool create);
    // The same, for a subdirectory whose name opens rest.
    TBWDirectory* FindFrom(std::string_view rest, bool create);
    TBWDirectory* FindChildExact(const std::string& name);
    // Subdirectories whose name opens rest: exact matches, then the ones
    // that differ only in case.
    std::vector<TBWDirectory*> DirsOpening(std::string_view rest);
    // Loaded directories only, never loading.
    template <class Visit>
    void VisitLoadedSubtree(const Visit& visit);

    TBWChain* subDirs_;
    std::string name_;
    std::string displayName_;
    TBWFileList* fileList_ = nullptr;
    TBWLoadStamp loadedAt_ = 0;
    const TBWClass* fileListClass_;
    // The listed subdirectories by the first component of their names.
    TBWListedNames dirIndex_;
};

class TBWFileList : public TBWObject {
    BW_CLASS(TBWFileList)
public:
    explicit TBWFileList(TBWObject* owner = nullptr);
    ~TBWFileList() override;

    // The listed entry of exactly that name, else a new one, so that a
    // name is never listed twice. Names that differ in case are two files.
    virtual TBWFile* AddFile(const std::string& name);
    // AddFile, then the list counts as loaded as it stands.
    virtual TBWFile* AddFileTouch(const std::string& name);
    // Fills the list from the source; nothing here.
    virtual void LoadFiles() {}
    // Loads when never loaded or when the directory was loaded or touched
    // since.
    virtual void RefreshIfNeeded();
    // Reads the entries again, unless the directory has the empty name (the
    // model root has no files). Old entries are only unlisted and stay
    // alive, owned by the list.
    virtual void Refresh();

    // The cursor; every move loads first.
    TBWFile* FirstFile();
    TBWFile* NextFile();
    TBWFile* CurrentFile() const;
    bool EofFiles() const { return items_->Eof(); }
    TBWFile* FileAt(std::int32_t index);
    std::int32_t Count() { return items_->Count(); }

    // The entry of exactly that name, else one that differs only in case.
    TBWFile* FindByName(const std::string& name);
    // A new entry of the list's file class, owned by the list, not listed.
    TBWFile* NewFile();
    // Unlists the entry without freeing it.
    void RemoveFile(TBWFile* file);
    // Frees the entries the list owns but lists no more (see
    // TBWDirectory::FreeRetired).
    void FreeRetired();
    TBWDirectory* Directory() const;
    void ClearSelection() { items_->SelectNone(); }
    bool ToggleSelected(TBWFile* file);
    std::int32_t SelectedCount() { return items_->SelectedCount(); }
    void SetSortKeys(std::int32_t keySet, TBWKeySet keys) { items_->SetSortKeys(keySet, std::move(keys)); }

    TBWSelChain* Items() const { return items_; }
    TBWLoadStamp LoadedAt() const { return loadedAt_; }
    void Touch() { loadedAt_ = NextLoadStamp(); }

protected:
    // Sets 0 to 5: name and path, size, path and name, the three times.
    static std::shared_ptr<const TBWKeySets> PlainKeySets();
    // Every folder has a file list and all of them sort the same ways: the
    // sets are made once per class, not once per folder.
    void ShareSortKeys(std::shared_ptr<const TBWKeySets> sets) { items_->ShareSortKeys(std::move(sets)); }
    const TBWClass& FileClass() const { return *fileClass_; }
    // AddFile of a name known not to be listed: a loading list starts empty
    // and a folder never lists a name twice, so it looks nothing up.
    TBWFile* AppendFile(std::string name);
    // AppendFile of a name whose words were found with TBWFile::NameWords,
    // on the thread that listed the folder.
    TBWFile* AppendListedFile(std::string name, TBWWords words);
    void SetFileClass(const TBWClass& fileClass) { fileClass_ = &fileClass; }

private:
    friend class TBWFile;

    void OnItemNode(TBWStructNode* node, std::int32_t code);
    TBWFile* FindExact(const std::string& name);
    void NameChanged(TBWFile* file, const std::string& oldName);

    TBWSelChain* items_;
    TBWLoadStamp loadedAt_ = 0;
    const TBWClass* fileClass_;
    TBWListedNames nameIndex_;
};

// Kinds of information of a file entry, each loaded once, on first request.
enum TBWInfoKind : std::int32_t {
    ikBasic = 0,   // size and times
    ikDigest = 1,  // content digest
    ikTags = 2,    // tags; audio entries only
};
// Room for the kinds there are and a few more: every file entry holds one.
using TBWInfoKinds = std::bitset<8>;

// Keys of a file entry (audio entries add 10 to 16; 65536 and up are words).
enum TBWFileKey : TBWKey {
    fkName = 0,
    fkDirPath = 1,
    fkSize = 2,
    fkDigest = 3,
    fkCreated = 4,
    fkModified = 5,
    fkAccessed = 6,
};

class TBWFile : public TBWWordedComparable {
    BW_CLASS(TBWFile)
public:
    using TBWWordedComparable::TBWWordedComparable;

    // A model holds an entry for every file of a scan: they are kept in slots.
    static void* operator new(std::size_t size) { return TBWSlots::Allocate(size); }
    static void operator delete(void* file, std::size_t size) { TBWSlots::Free(file, size); }

    TBWKeyKind KeyKind(TBWKey key) const override;
    std::string KeyText(TBWKey key) const override;
    std::int64_t KeyInt(TBWKey key) const override;
    // Whether the key is read from what the model holds, never from the
    // file: it may then be read on several threads at once.
    static bool KeyHeldInMemory(TBWKey key) { return key == fkName || key == fkDirPath; }
    // Words and name as they stand, size and digest read from the source
    // entry if it had not read them, then its loaded kinds. No change signal.
    void Assign(const TBWComparable& source) override;
    // The words of a file name leave out its extension.
    std::string_view WordedPart(std::string_view text) const override;

    // Reads one kind of information: kind 0 the size and times of FullPath
    // on disk, kind 1 the digest of its window; other kinds nothing here.
    virtual void LoadInfo(std::int32_t kind);
    void EnsureInfo(std::int32_t kind);
    const TBWInfoKinds& LoadedInfo() const { return loadedInfo_; }
    void SetLoadedInfo(const TBWInfoKinds& kinds) { loadedInfo_ = kinds; }
    // Counts a kind as loaded, its information stored by other means.
    void MarkLoaded(std::int32_t kind) { loadedInfo_.set(static_cast<std::size_t>(kind)); }

    const std::string& Name() const { return name_; }
    void SetName(std::string name);
    // The words SetName gives a file of that name; found on any thread.
    static TBWWords NameWords(std::string_view name);
    // SetName with the name's words found already by NameWords.
    void SetListedName(std::string name, TBWWords words);
    // Bytes for plain files, kilobytes for audio entries; -1 when the file
    // could not be read. Loads kind 0 first.
    std::int64_t Size();
    void SetSize(std::int64_t size);
    const TBWDigest& GetDigest();
    // 32 lower-case hexadecimal digits.
    std::string DigestHex();
    void SetDigest(const TBWDigest& digest);
    // Day counts as loaded; 0 until kind 0 was loaded (audio entries keep 0).
    double Created() const { return details_ ? details_->created : 0; }
    double Modified() const { return details_ ? details_->modified : 0; }
    double Accessed() const { return details_ ? details_->accessed : 0; }

    TBWFileList* FileList() const;
    TBWDirectory* Directory() const;
    // The directory's RealPath and the name.
    std::string FullPath() const;
    // The directory's model path, or empty.
    std::string DirPath() const;
    bool IsSelected();
    void SetSelected(bool selected);
    void RemoveFromList();
    // Up to five characters after the last "." of the name, upper-cased.
    std::string ExtensionKey() const;

protected:
    void SetFileTimes(double created, double modified, double accessed);

private:
    void StoreName(std::string name);

    std::string name_;
    std::int64_t size_ = 0;
    // What few files of a scan have: audio entries keep no times, and the
    // digest is read only to compare contents. Made when first stored.
    struct TDetails {
        double created = 0;
        double modified = 0;
        double accessed = 0;
        TBWDigest digest{};
    };
    TDetails& Details();
    std::unique_ptr<TDetails> details_;
    TBWInfoKinds loadedInfo_;
};

// Full paths of files met folder after folder, as a walk meets them: each
// folder's path is made once, not once for each of its files. The folders
// met must stay in the model while it is used.
class TBWFullPaths {
public:
    std::string Of(const TBWFile& file);

private:
    const TBWDirectory* folder_ = nullptr;
    std::string folderPath_;
};
