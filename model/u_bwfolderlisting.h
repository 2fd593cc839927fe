// Listings of folders on disk, read with as few system calls as the file
// system allows, and read ahead on other threads while a walk builds the
// model from them. The disk folders (u_bwfswin) list through here; the scan
// reads ahead while it fills its pool.
#pragma once

#include <sys/stat.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/u_bwbaseclass.h"
#include "base/u_bwmask.h"
#include "base/u_bwthreadpool.h"

// What a listing found under one name. A symbolic link is another name of
// a file or folder listed elsewhere, or of one outside the folders walked:
// it is neither a file nor a folder of the listing, so that no file is ever
// its own duplicate and no walk leaves the folders it was given.
enum TBWEntryKind { ekOther, ekFile, ekFolder };

// File masks as a file list gives them: patterns separated by ";", matched
// without regard to case, "*.*" for every file, also one without an
// extension. Compiled once, then tried on many names, from any thread.
class TBWFileMasks {
public:
    static constexpr std::int32_t kNone = -1;

    explicit TBWFileMasks(const std::string& maskList);

    const std::string& MaskList() const { return maskList_; }
    // The place of the first mask that takes the name, else kNone.
    std::int32_t FirstTaking(std::string_view name) const;

private:
    std::string maskList_;
    std::vector<TBWMask> masks_;
};

struct TBWFolderEntry {
    std::string name;
    TBWEntryKind kind;
    // For a file of a listing read with masks, FirstTaking of its name,
    // and when a mask takes it, the words of its name (TBWFile::NameWords):
    // the threads that list ahead spare the walk that work too.
    std::int32_t mask = TBWFileMasks::kNone;
    TBWWords words;
};

struct TBWFolderListing {
    // Not hidden, folders and regular files only, in the order of their
    // names without regard to case, then by their bytes.
    std::vector<TBWFolderEntry> entries;
    // The folder as it was listed; st_ino 0 when it could not be.
    struct stat state {};
    // The masks its files were tried against, as their mask list; empty
    // when they were not.
    std::string maskedWith;
};

// The listing of the folder at path (ending in "/").
TBWFolderListing ListFolder(const std::string& path);

// Lists the folders below a root on threads of its own, ahead of a walk of
// the model that takes the listings one by one.
// Folders are listed in the order a depth-first walk over names reaches
// them, so the next ones the walk asks for are the ones ready; a folder
// asked for before a thread took it up is listed by the asker. At most a bounded number of listings waits to be taken. Given the masks of
// the walk's file lists, the threads try the files against them too, which
// spares the walk the folding of every name.
class TBWListingAhead {
public:
    // threads: 0 for one per processor.
    TBWListingAhead(const std::string& root, unsigned threads, const std::string& maskList = {});
    ~TBWListingAhead();
    TBWListingAhead(const TBWListingAhead&) = delete;
    TBWListingAhead& operator=(const TBWListingAhead&) = delete;

    // The listing of the folder at path (ending in "/"), as ListFolder
    // gives it, the files tried against the masks.
    TBWFolderListing Take(const std::string& path);

private:
    // Where a folder stands in the depth-first walk: the place of each
    // folder on the way down among its siblings.
    using TPlace = std::vector<std::uint32_t>;
    enum TStage { stWaiting, stListing, stReady };
    struct TFolder {
        std::string path;
        TPlace place;
        TStage stage = stWaiting;
        TBWFolderListing listing;
    };
    struct TEarlierInWalk {
        bool operator()(const TFolder* a, const TFolder* b) const { return a->place < b->place; }
    };
    using TFolders = std::vector<std::unique_ptr<TFolder>>;

    void Work();
    // Lists a folder taken out of the waiting ones, then offers its
    // subfolders. The lock is left while the folder is read and its
    // subfolders are made, so that the walk and the other threads only
    // ever wait for a few lookups.
    void ListTaken(std::unique_lock<std::mutex>& lock, TFolder& folder);
    TBWFolderListing Read(const std::string& path) const;
    TFolders Subfolders(const TFolder& folder) const;
    void Offer(TFolders subfolders);
    // The listing moves to the walk and the folder is forgotten; the lock
    // is left before the folder's memory goes.
    TBWFolderListing Hand(std::unique_lock<std::mutex>& lock, TFolder& folder);

    std::mutex mutex_;
    // Two conditions, so that a change wakes only who waits for it: every
    // wake-up of every thread would cost more than the listing.
    std::condition_variable workWaiting_;
    std::condition_variable awaitedReady_;
    const TFolder* awaited_ = nullptr;
    // By path, the keys viewing the folders' own paths.
    std::unordered_map<std::string_view, std::unique_ptr<TFolder>> folders_;
    std::set<TFolder*, TEarlierInWalk> waiting_;
    std::size_t ready_ = 0;
    // Set when the most listings wait to be taken; the threads start again
    // only once the walk took half of them, so that they are not woken for
    // each folder the walk takes.
    bool full_ = false;
    bool stopping_ = false;
    std::optional<TBWFileMasks> masks_;
    TBWThreadPool pool_;  // last: joined before the rest goes
};
