#pragma once
// The road of a scan that the main window's "Run Profile" takes: the profile
// is loaded, its directories (or one the user picks) go to a worker on its
// own thread, the progress window follows it through the scan mailbox while
// the window thread keeps its events flowing, and a finished scan shows its
// results and stores what the run produced. The windows it needs come in
// through TScanRoadHost and the worker through a factory, so a test drives
// the road with a fake engine.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QString>

#include "engine/u_contentwords.h"

class TScanMailbox;
class TBWCVProfile;
class TBWDirectory;
class TBWDupeFileList;
class TMplManager;

// What the user is told of files the result file cannot hold, naming them
// (the first ten), and of files that could not be read, each in the grammar
// of its number.
QString LeftOutText(const std::vector<std::string>& paths);
QString UncomparedText(const TBWUnreadFiles& files);
// Every path kept of them, when the text cannot name them all; else empty.
QString UncomparedDetails(const TBWUnreadFiles& files);

// What a scan that found nothing says instead of an empty results window,
// by result type. Only a scan of everything its profile names may say that
// nothing is there: with leftOut folders and lists of the profile missing,
// it says that they were not scanned instead.
QString NothingFoundText(std::int32_t resultType, std::size_t leftOut = 0);

// The directories of the scan list that cannot be found, each with why:
// a folder that is not on disk (a disc not mounted), or an Mp3 List path
// that the model does not hold (a list deleted or damaged).
struct TMissingDirectory {
    std::string path;
    QString why;
};
std::vector<TMissingDirectory> MissingDirectories(const std::vector<std::string>& scanList, TBWDirectory& modelRoot);

// The engine as the road sees it.
class TScanWorker {
public:
    virtual ~TScanWorker() = default;
    // Starts the scan of directories on the worker thread; its reports go to mailbox.
    virtual void Start(const std::vector<std::string>& directories, TScanMailbox& mailbox) = 0;
    // True once the worker has ended, whether it completed, stopped or failed.
    virtual bool Finished() const = 0;
    virtual void RequestStop() = 0;
    // Why the worker failed; empty when it did not.
    virtual std::string Error() const = 0;
    // The current job's item count, 0 when it gives none.
    virtual std::uint64_t StepCount() const = 0;
    // Only once Finished.
    virtual TBWDupeFileList& Results() = 0;
    // Files a scan by content could not read, and so compared with no
    // other file. Only once Finished.
    virtual TBWUnreadFiles UncomparedFiles() const { return {}; }
};

// The program's engine over the model root, with its own copy of the profile.
std::unique_ptr<TScanWorker> MakeEngineWorker(TBWDirectory& root, const TBWCVProfile& profile);

// What the road asks of the windows.
class TScanRoadHost {
public:
    virtual ~TScanRoadHost() = default;
    virtual void MinimiseMain() = 0;
    // Modal; returns when the user closed the results window.
    virtual void ShowResults(TBWDupeFileList& results) = 0;
    virtual void RestoreMain() = 0;
    virtual void RefreshProfileList() = 0;
};

// What a run reads and writes.
struct TScanStores {
    TBWCVProfile& profile;  // the current profile
    TMplManager& lists;
    TBWDirectory& modelRoot;
    std::string dataFolder;  // ends in "/"
};

enum class TScanOutcome {
    NotRun,     // no such profile, or no directory to scan
    Cancelled,  // nothing of the run is kept
    Failed,     // the error was shown; nothing of the run is kept
    Finished,
};

class TScanRoad {
public:
    using WorkerFactory = std::function<std::unique_ptr<TScanWorker>(const TBWCVProfile& profile)>;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr const char* ResultFileName = "last_results.txt";

    TScanRoad(TScanStores stores, TScanRoadHost& host, WorkerFactory makeWorker,
              Clock clock = std::chrono::steady_clock::now);

    // The whole road for the stored profile of that name, run to its end.
    TScanOutcome Run(const std::string& profileName);

private:
    std::vector<std::string> ScanList();
    // Asks whether to go on without the directories that cannot be found,
    // and takes them out of the scan list. False when the scan stops.
    bool GoOnWithoutMissing(const std::string& profileName, std::vector<std::string>& scanList);
    // Waits, with the window thread's events flowing, until the worker ends
    // or the user cancels; true when cancelled.
    bool WaitForWorker(TScanWorker& worker);
    void Finish(std::unique_ptr<TScanWorker> worker, const std::string& profileName,
                std::chrono::steady_clock::duration taken);
    void ReloadLists();
    static void TellUncomparedFiles(const TBWUnreadFiles& files);

    TScanStores stores_;
    // Directories of the profile that could not be found and were not scanned.
    std::size_t leftOut_ = 0;
    TScanRoadHost& host_;
    WorkerFactory makeWorker_;
    Clock clock_;
};
