// Listings of folders on disk, read with as few system calls as the file
// system allows, and read ahead on other threads while a walk builds the
// model from them. The disk folders (u_bwfswin) list through here; the scan
// reads ahead while it fills its pool.
#pragma once

#include <sys/stat.h>

#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

// What a listing found under one name, links followed.
enum TBWEntryKind { ekOther, ekFile, ekFolder, ekLinkedFolder };

struct TBWFolderEntry {
    std::string name;
    TBWEntryKind kind;
};

struct TBWFolderListing {
    // Not hidden, folders and regular files only, in the order of their
    // names without regard to case, then by their bytes.
    std::vector<TBWFolderEntry> entries;
    // The folder as it was listed; st_ino 0 when it could not be.
    struct stat state {};
    // Whether some kind came from following a link: a link can come to lead
    // elsewhere without the folder changing.
    bool followedLinks = false;
};

// The listing of the folder at path (ending in "/"). While a TBWListingAhead
// lives on the calling thread, it comes from there.
TBWFolderListing ListFolder(const std::string& path);

// Lists the folders below a root on threads of its own, ahead of a walk of
// the model that takes the listings one by one on the thread that made it.
// Folders are listed in the order a depth-first walk over names reaches
// them, so the next ones the walk asks for are the ones ready; a folder
// asked for before a thread took it up is listed by the asker. Links to
// folders are left to the walk, which decides whether it follows them. At
// most a bounded number of listings waits to be taken.
class TBWListingAhead {
public:
    // threads: 0 for one per processor.
    TBWListingAhead(const std::string& root, unsigned threads);
    ~TBWListingAhead();
    TBWListingAhead(const TBWListingAhead&) = delete;
    TBWListingAhead& operator=(const TBWListingAhead&) = delete;

    TBWFolderListing Take(const std::string& path);

private:
    // Where a folder stands in the depth-first walk: the place of each
    // folder on the way down among its siblings.
    using TPlace = std::vector<std::uint32_t>;
    enum TStage { stWaiting, stListing, stReady };
    struct TFolder {
        TStage stage;
        TPlace place;
        TBWFolderListing listing;
    };

    void Work();
    // Lists a folder taken out of the waiting ones, then offers its subfolders.
    TBWFolderListing ListTaken(std::unique_lock<std::mutex>& lock, const std::string& path, TPlace place);
    void Offer(const std::string& path, const TPlace& place, const TBWFolderListing& listing);

    std::mutex mutex_;
    // Two conditions, so that a change wakes only who waits for it: every
    // wake-up of every thread would cost more than the listing.
    std::condition_variable workWaiting_;
    std::condition_variable awaitedReady_;
    const TFolder* awaited_ = nullptr;
    std::unordered_map<std::string, TFolder> folders_;
    std::map<TPlace, std::string> waiting_;
    std::size_t ready_ = 0;
    bool stopping_ = false;
    TBWListingAhead* outer_;
    std::vector<std::jthread> threads_;
};
