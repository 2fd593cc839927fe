#include "ui/main/u_scanroad.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "base/HUtils.h"
#include "base/u_bwdatetime.h"
#include "base/u_bwfunc.h"
#include "engine/u_cvprofile.h"
#include "engine/u_dupeengine.h"
#include "model/u_bwfsmpl.h"
#include "ui/progress/u_progress.h"
#include "ui/common/u_counttext.h"
#include "ui/common/u_prompts.h"
#include "ui/common/u_visibletext.h"
#include "ui/progress/u_scanmailbox.h"

namespace {

class TEngineWorker : public TScanWorker {
public:
    TEngineWorker(TBWDirectory& root, const TBWCVProfile& profile) : engine_(root, profile) {}

    void Start(const std::vector<std::string>& directories, TScanMailbox& mailbox) override
    {
        engine_.Progress = &mailbox;
        engine_.AddDirectories(directories);
        engine_.Start();
    }
    bool Finished() const override { return engine_.Finished(); }
    void RequestStop() override { engine_.RequestStop(); }
    std::string Error() const override { return engine_.Error(); }
    std::uint64_t StepCount() const override { return engine_.StepCount(); }
    TBWDupeFileList& Results() override { return engine_.Results(); }
    TBWUnreadFiles UncomparedFiles() const override { return engine_.UncomparedFiles(); }

private:
    TBWDupeEngine engine_;
};

constexpr double kSecondsPerDay = 24 * 60 * 60;
// A message names this many files at most; a longer list would outgrow the screen.
constexpr std::size_t kFilesNamed = 10;

// The first of the paths, each on a line of its own as the user can read
// it, and how many more of count there are.
QString NamedFiles(const std::vector<std::string>& paths, std::uint64_t count, std::size_t named = kFilesNamed)
{
    QString text;
    const std::size_t shown = std::min(paths.size(), named);
    for (std::size_t i = 0; i < shown; ++i)
        text += "\n" + VisibleText(paths[i]);
    if (count > shown)
        text += QStringLiteral("\nand %1 more.").arg(count - shown);
    return text;
}

// The result file holds one path per ";"-ended piece and one group per line,
// so a path with ";" or a line break cannot be stored: the user learns what
// "Load last results" will lack, and when nothing could be written.
void SaveResultFile(TBWDupeFileList& results, const std::string& fileName)
{
    std::vector<std::string> leftOut;
    if (!results.SaveToFile(fileName, &leftOut))
        Prompts().ShowWarning(QStringLiteral("Corvella"),
                              QStringLiteral("The results could not be written to %1, so \"Load last results\" "
                                             "will not show them.")
                                  .arg(QString::fromStdString(fileName)));
    else if (!leftOut.empty())
        Prompts().ShowWarning(QStringLiteral("Corvella"), LeftOutText(leftOut));
}

} // namespace

QString LeftOutText(const std::vector<std::string>& paths)
{
    return ByCount(paths.size(),
                   QStringLiteral("1 file was left out of the result file: its path holds \";\" or a line break, "
                                  "which the file cannot store, so \"Load last results\" will not show it:"),
                   QStringLiteral("%1 files were left out of the result file: their paths hold \";\" or a line "
                                  "break, which the file cannot store, so \"Load last results\" will not show them:")) +
           NamedFiles(paths, paths.size());
}

QString UncomparedText(const TBWUnreadFiles& files)
{
    return ByCount(files.count,
                   QStringLiteral("1 file is empty or could not be read, so it was not compared by content:"),
                   QStringLiteral("%1 files are empty or could not be read, so they were not compared by content:")) +
           NamedFiles(files.paths, files.count);
}

QString UncomparedDetails(const TBWUnreadFiles& files)
{
    if (files.count <= kFilesNamed)
        return {};
    return NamedFiles(files.paths, files.count, files.paths.size()).mid(1);
}

QString NothingFoundText(std::int32_t resultType, std::size_t leftOut)
{
    if (leftOut > 0)
        return ByCount(leftOut,
                       QStringLiteral("Nothing was found in what was scanned. One folder or list of the profile could "
                                      "not be found and was left out, so this says nothing about it."),
                       QStringLiteral("Nothing was found in what was scanned. %1 folders and lists of the profile "
                                      "could not be found and were left out, so this says nothing about them."));
    switch (resultType) {
    case rsNegative: return QStringLiteral("No new files were found: every file is in the collection already.");
    case rsBanlist: return QStringLiteral("No files matching the banlist were found.");
    default: return QStringLiteral("No duplicates were found.");
    }
}

std::vector<TMissingDirectory> MissingDirectories(const std::vector<std::string>& scanList, TBWDirectory& modelRoot)
{
    std::vector<TMissingDirectory> missing;
    for (const std::string& path : scanList) {
        if (IsMplPath(path)) {
            if (!modelRoot.FindDir(path, false))
                missing.push_back({path, QStringLiteral("no Mp3 List holds it")});
            continue;
        }
        std::error_code error;
        if (!std::filesystem::is_directory(ExpandPathMacros(path), error))
            missing.push_back({path, error && error != std::errc::no_such_file_or_directory
                                         ? QString::fromStdString(error.message())
                                         : QStringLiteral("no such folder")});
    }
    return missing;
}

std::unique_ptr<TScanWorker> MakeEngineWorker(TBWDirectory& root, const TBWCVProfile& profile)
{
    return std::make_unique<TEngineWorker>(root, profile);
}

TScanRoad::TScanRoad(TScanStores stores, TScanRoadHost& host, WorkerFactory makeWorker, Clock clock)
    : stores_(std::move(stores)), host_(host), makeWorker_(std::move(makeWorker)), clock_(std::move(clock))
{
}

TScanOutcome TScanRoad::Run(const std::string& profileName)
{
    TBWCVProfile& profile = stores_.profile;
    if (profileName.empty() || !profile.LoadProfile(profileName))
        return TScanOutcome::NotRun;
    std::vector<std::string> scanList = ScanList();
    if (scanList.empty() || !GoOnWithoutMissing(profileName, scanList))
        return TScanOutcome::NotRun;

    const auto start = clock_();
    TfProgress& progress = ShowProgress();
    progress.SetProfileName(QString::fromStdString(profileName));
    progress.Reset(TBWDupeEngine::JobCount(profile), profile.AnimNo, true);

    // The worker keeps a copy of the profile: the windows may load another
    // one into the current profile while it runs.
    std::unique_ptr<TScanWorker> worker = makeWorker_(profile);
    TScanMailbox mailbox;
    bool cancelled = false;
    {
        TScanMailboxPump pump(mailbox);
        worker->Start(scanList, mailbox);
        cancelled = WaitForWorker(*worker);
    }
    if (!worker->Finished())
        worker->RequestStop();
    CloseProgress();
    if (cancelled)
        return TScanOutcome::Cancelled;

    // Freeing the worker waits for its thread, which has ended here.
    const std::string error = worker->Error();
    if (!error.empty()) {
        worker.reset();
        Prompts().ShowError(QStringLiteral("Corvella"),
                            QStringLiteral("The scan failed: %1").arg(QString::fromStdString(error)));
        return TScanOutcome::Failed;
    }
    Finish(std::move(worker), profileName, clock_() - start);
    return TScanOutcome::Finished;
}

std::vector<std::string> TScanRoad::ScanList()
{
    std::vector<std::string> scanList = stores_.profile.DirPath;
    if (scanList.empty()) {
        // A folder chosen here is scanned once; it does not become part of the
        // profile. The browser opens at the top of the user's own files.
        if (const auto folder = Prompts().BrowseFolder(QStringLiteral("Select a directory to scan"), QDir::homePath()))
            if (!folder->isEmpty())
                scanList.push_back(folder->toStdString());
    }
    return scanList;
}

// A disc that is not mounted or a list that was deleted would scan as
// empty, and the results would read as an answer about them: files would
// look new or without duplicates.
bool TScanRoad::GoOnWithoutMissing(const std::string& profileName, std::vector<std::string>& scanList)
{
    const std::vector<TMissingDirectory> missing = MissingDirectories(scanList, stores_.modelRoot);
    leftOut_ = missing.size();
    if (missing.empty())
        return true;
    QString named;
    for (const TMissingDirectory& directory : missing)
        named += QStringLiteral("\n%1 (%2)").arg(VisibleText(directory.path), directory.why);
    const QString profile = QString::fromStdString(profileName);
    if (missing.size() == scanList.size()) {
        Prompts().ShowWarning(QStringLiteral("Corvella"),
                              QStringLiteral("Nothing of the profile \"%1\" can be found, so nothing was scanned:\n%2")
                                  .arg(profile, named));
        return false;
    }
    const QString question =
        ByCount(missing.size(), QStringLiteral("This folder or list"), QStringLiteral("These folders and lists")) +
        QStringLiteral(" of the profile \"%1\" cannot be found:%2\n\nA disc that is not mounted or a list that was "
                       "deleted is not scanned, so no file found can be compared with it. ")
            .arg(profile, named) +
        ByCount(missing.size(), QStringLiteral("Scan without it?"), QStringLiteral("Scan without them?"));
    if (!Prompts().AskYesNo(QStringLiteral("Corvella"), question))
        return false;
    std::erase_if(scanList, [&missing](const std::string& path) {
        return std::any_of(missing.begin(), missing.end(),
                           [&path](const TMissingDirectory& gone) { return gone.path == path; });
    });
    return true;
}

bool TScanRoad::WaitForWorker(TScanWorker& worker)
{
    while (!worker.Finished()) {
        TfProgress& progress = ShowProgress();
        if (progress.Cancelled())
            return true;
        // A job without a count shows the animation, which moves by steps.
        if (worker.StepCount() == 0)
            progress.Step(1);
        // The mailbox pump's timer wakes this wait at least every interval,
        // so the end of the worker is seen soon without spinning.
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return ShowProgress().Cancelled();
}

void TScanRoad::Finish(std::unique_ptr<TScanWorker> worker, const std::string& profileName,
                       std::chrono::steady_clock::duration taken)
{
    TBWCVProfile& profile = stores_.profile;
    // The times belong to the profile that ran, whatever was loaded meanwhile.
    if (profile.LoadedName() != profileName)
        profile.LoadProfile(profileName);
    profile.LastTime = std::chrono::duration<double>(taken).count() / kSecondsPerDay;
    profile.LastRun = std::floor(DaysNow());

    TellUncomparedFiles(worker->UncomparedFiles());
    TBWDupeFileList& results = worker->Results();
    if (results.Count() > 0) {
        host_.MinimiseMain();
        host_.ShowResults(results);
        SaveResultFile(results, stores_.dataFolder + ResultFileName);
        host_.RestoreMain();
    } else {
        // An empty window would say nothing; the previous result file stays for "Load last results".
        Prompts().ShowInformation(QStringLiteral("Corvella"), NothingFoundText(profile.ResultType, leftOut_));
    }

    // The result list points into the lists, so it goes before they are reloaded.
    worker.reset();
    ReloadLists();
    stores_.modelRoot.Refresh();
    // Neither the results nor the model point into the lists the reload
    // retired, nor into the folders the refreshes retired, any more.
    stores_.lists.FreeRetiredLists();
    stores_.modelRoot.FreeRetired();
    profile.SaveProfile();
    host_.RefreshProfileList();
}

void TScanRoad::TellUncomparedFiles(const TBWUnreadFiles& files)
{
    if (files.count == 0)
        return;
    const QString details = UncomparedDetails(files);
    if (details.isEmpty())
        Prompts().ShowInformation(QStringLiteral("Corvella"), UncomparedText(files));
    else
        Prompts().ShowInformationWithDetails(QStringLiteral("Corvella"), UncomparedText(files), details);
}

void TScanRoad::ReloadLists()
{
    if (stores_.lists.IsModified())
        stores_.lists.SaveAll();
    else
        stores_.lists.Reload();
}
