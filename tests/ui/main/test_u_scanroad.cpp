// The road of a scan with a fake engine: the job count the progress window
// is reset with, the folder asked for when the profile has none, cancel,
// error, and the finish steps in their order with what each one stores.
#include "ui/main/u_scanroad.h"

#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include "engine/u_cvprofile.h"
#include "engine/u_dupeengine.h"
#include "engine/u_dupefiles.h"
#include "model/u_bwfs.h"
#include "model/u_bwfsmpl.h"
#include "tests/support/live_objects.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/progress/u_progress.h"
#include "ui/progress/u_scanmailbox.h"
#include "tests/ui/ui_test_main.h"

namespace {

// An engine that ends after a few polls of the wait loop (or, when told to
// run on, only when asked to stop) with the results and error it is given.
class TFakeWorker : public TScanWorker {
public:
    struct Script {
        bool runsOn = false;
        std::string error;
        std::vector<TBWFile*> linked;  // linked to the first one
        TBWUnreadFiles uncompared;
    };

    TFakeWorker(Script script, bool& alive, std::vector<std::string>& scanned)
        : script_(std::move(script)), alive_(alive), scanned_(scanned)
    {
        alive_ = true;
    }
    ~TFakeWorker() override { alive_ = false; }

    void Start(const std::vector<std::string>& directories, TScanMailbox& mailbox) override
    {
        scanned_ = directories;
        mailbox.StartJob("Adding files to the scan list", 0);
        for (std::size_t i = 1; i < script_.linked.size(); ++i)
            results_.AddPair(script_.linked[0], script_.linked[i]);
        results_.ResolveReferences();
    }
    bool Finished() const override { return stopped_ || (!script_.runsOn && ++polls_ > 3); }
    void RequestStop() override { stopped_ = true; }
    std::string Error() const override { return script_.error; }
    std::uint64_t StepCount() const override { return 0; }
    TBWDupeFileList& Results() override { return results_; }
    TBWUnreadFiles UncomparedFiles() const override { return script_.uncompared; }

    bool stopped_ = false;

private:
    Script script_;
    bool& alive_;
    std::vector<std::string>& scanned_;
    mutable int polls_ = 0;
    TBWDupeFileList results_;
};

// A folder tree held in memory.
class TMemoryDir : public TBWDirectory {
public:
    using TBWDirectory::TBWDirectory;
    TBWDirectory* NewChildDir() override { return new TMemoryDir(this); }
    void LoadSubDirs() override {}
};

// Records the calls of the road, with what the stores held at each.
class TRecordingHost : public TScanRoadHost {
public:
    std::function<QString()> observe = [] { return QString(); };
    QStringList calls;

    void MinimiseMain() override { Record("minimise"); }
    void ShowResults(TBWDupeFileList& results) override
    {
        Record(QStringLiteral("results %1").arg(results.Count()));
    }
    void RestoreMain() override { Record("restore"); }
    void RefreshProfileList() override { Record("refresh"); }

private:
    void Record(const QString& call) { calls << call + observe(); }
};

QString ReadText(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString("(none)");
}

} // namespace

class TestScanRoad : public QObject {
    Q_OBJECT

    QTemporaryDir folder_;
    QString data_;
    std::unique_ptr<TBWCVProfile> profile_;
    std::unique_ptr<TMplManager> lists_;
    std::unique_ptr<TMemoryDir> root_;
    TRecordingHost host_;
    bool workerAlive_ = false;
    std::vector<std::string> scanned_;
    TFakeWorker::Script script_;
    TFakeWorker* worker_ = nullptr;
    int workersMade_ = 0;
    int clockReads_ = 0;
    int testCount_ = 0;

    TScanRoad MakeRoad()
    {
        return TScanRoad({*profile_, *lists_, *root_, data_.toStdString()}, host_,
                         [this](const TBWCVProfile&) {
                             ++workersMade_;
                             auto worker = std::make_unique<TFakeWorker>(script_, workerAlive_, scanned_);
                             worker_ = worker.get();
                             return worker;
                         },
                         // A run of 25 hours and 3 seconds.
                         [this] {
                             return std::chrono::steady_clock::time_point(std::chrono::seconds(clockReads_++ ? 90003 : 0));
                         });
    }
    // A folder on disk, as the profile's one directory.
    std::string MusicFolder() const { return data_.toStdString() + "music"; }
    void StoreProfile(const std::string& name) { StoreProfile(name, {MusicFolder()}); }
    void StoreProfile(const std::string& name, std::vector<std::string> dirs)
    {
        profile_->NewProfile();
        profile_->SetProfileName(name);
        profile_->DirPath = std::move(dirs);
        QVERIFY(profile_->SaveProfile());
    }
    QString ProfileFile(const QString& name) const { return ReadText(data_ + "profiles/" + name + ".xml"); }
    QString ResultFile() const { return data_ + TScanRoad::ResultFileName; }
    // Two files of one folder, to be found as duplicates.
    std::vector<TBWFile*> TwoFiles()
    {
        TBWDirectory* music = root_->AddSubDirTouch("music");
        return {music->Files()->AddFile("song.mp3"), music->Files()->AddFile("song (copy).mp3")};
    }

private slots:
    void init()
    {
        QVERIFY(folder_.isValid());
        data_ = folder_.path() + "/" + QString::number(++testCount_) + "/";
        QDir().mkpath(data_ + "music");
        profile_ = std::make_unique<TBWCVProfile>(data_.toStdString());
        lists_ = std::make_unique<TMplManager>();
        root_ = std::make_unique<TMemoryDir>();
        lists_->SetFolder(data_.toStdString());
        host_ = TRecordingHost();
        script_ = {};
        scanned_.clear();
        clockReads_ = 0;
        workersMade_ = 0;
    }

    void jobCountFollowsTheEnginesJobs_data()
    {
        QTest::addColumn<int>("resultType");
        QTest::addColumn<int>("compType");
        QTest::addColumn<int>("simWord");
        QTest::addColumn<int>("jobs");
        QTest::newRow("banlist") << int(rsBanlist) << int(ctFileName) << 2 << 2;
        QTest::newRow("duplicates by names") << int(rsDuplicates) << int(ctFileNameFields) << 0 << 3;
        QTest::newRow("names with similar words") << int(rsDuplicates) << int(ctFileNameFields) << 1 << 4;
        QTest::newRow("content ignores similar words") << int(rsDuplicates) << int(ctContent) << 1 << 4;
        QTest::newRow("negative by content") << int(rsNegative) << int(ctContent) << 0 << 5;
        QTest::newRow("negative by tags, similar words") << int(rsNegative) << int(ctTags) << 2 << 5;
    }
    void jobCountFollowsTheEnginesJobs()
    {
        QFETCH(int, resultType);
        QFETCH(int, compType);
        QFETCH(int, simWord);
        QFETCH(int, jobs);
        StoreProfile("p");
        profile_->ResultType = static_cast<TBWResultType>(resultType);
        profile_->CompType = static_cast<TBWCompType>(compType);
        profile_->SimWord = simWord;
        profile_->AnimNo = 3;
        QVERIFY(profile_->SaveProfile());
        QCOMPARE(TBWDupeEngine::JobCount(*profile_), jobs);

        // The progress window the road brings up is reset with that count.
        int shownJobs = -1;
        int shownAnim = -1;
        host_.observe = [] { return QString(); };
        script_.runsOn = true;
        QTimer::singleShot(0, [&] {
            shownJobs = ShowProgress().Tracker().JobCount();
            shownAnim = ShowProgress().Tracker().AnimType();
            ShowProgress().findChild<QPushButton*>("bCancel")->click();
        });
        QCOMPARE(MakeRoad().Run("p"), TScanOutcome::Cancelled);
        QCOMPARE(shownJobs, jobs);
        QCOMPARE(shownAnim, 3);
    }

    void noProfileOrNoFolderRunsNothing()
    {
        ScriptedPrompts prompts;
        QCOMPARE(MakeRoad().Run(""), TScanOutcome::NotRun);
        QCOMPARE(MakeRoad().Run("missing"), TScanOutcome::NotRun);
        StoreProfile("quick_scan", {});
        prompts.ExpectChoice(PromptKind::Folder, std::nullopt);
        QCOMPARE(MakeRoad().Run("quick_scan"), TScanOutcome::NotRun);
        QCOMPARE(prompts.Asked().back().caption, QString("Select a directory to scan"));
        QCOMPARE(workersMade_, 0);
        QVERIFY(!ProgressActive());
    }

    void aChosenFolderIsScannedButNotAddedToTheProfile()
    {
        ScriptedPrompts prompts;
        StoreProfile("quick_scan", {});
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(MusicFolder()));
        prompts.ExpectMessage(PromptKind::Information, "No duplicates were found.");
        QCOMPARE(MakeRoad().Run("quick_scan"), TScanOutcome::Finished);
        QCOMPARE(scanned_, std::vector<std::string>{MusicFolder()});
        TBWCVProfile stored(data_.toStdString());
        QVERIFY(stored.LoadProfile("quick_scan"));
        QVERIFY(stored.DirPath.empty());
    }

    void cancelKeepsNothing()
    {
        StoreProfile("p");
        const QString before = ProfileFile("p");
        script_.runsOn = true;
        QTimer::singleShot(0, [] { ShowProgress().findChild<QPushButton*>("bCancel")->click(); });
        QCOMPARE(MakeRoad().Run("p"), TScanOutcome::Cancelled);
        QVERIFY(host_.calls.isEmpty());
        QVERIFY(!QFile::exists(ResultFile()));
        QCOMPARE(ProfileFile("p"), before);
        QVERIFY(!ProgressActive());
        QVERIFY(!workerAlive_);
    }

    void anErrorEndsTheWaitAndIsShown()
    {
        ScriptedPrompts prompts;
        StoreProfile("p");
        const QString before = ProfileFile("p");
        script_.error = "disk gone";
        script_.linked = TwoFiles();
        prompts.ExpectMessage(PromptKind::Error, "disk gone");
        QCOMPARE(MakeRoad().Run("p"), TScanOutcome::Failed);
        QVERIFY(!worker_ || !workerAlive_);
        QVERIFY(host_.calls.isEmpty());
        QVERIFY(!QFile::exists(ResultFile()));
        QCOMPARE(ProfileFile("p"), before);
    }

    void finishStepsComeInTheirOrder()
    {
        StoreProfile("p");
        script_.linked = TwoFiles();
        // A list changed while the results window was up is saved by the finish.
        QVERIFY(lists_->NewList("disc", false));
        host_.observe = [this] {
            return QStringLiteral(" progress=%1 resultfile=%2 engine=%3 list=%4 run=%5")
                .arg(ProgressActive())
                .arg(QFile::exists(ResultFile()))
                .arg(workerAlive_)
                .arg(QFile::exists(data_ + "disc.mpl"))
                .arg(ProfileFile("p").contains("<LastTime>90003</LastTime>"));
        };
        QCOMPARE(MakeRoad().Run("p"), TScanOutcome::Finished);
        const QStringList expected = {
            "minimise progress=0 resultfile=0 engine=1 list=0 run=0",
            "results 2 progress=0 resultfile=0 engine=1 list=0 run=0",
            "restore progress=0 resultfile=1 engine=1 list=0 run=0",
            "refresh progress=0 resultfile=1 engine=0 list=1 run=1",
        };
        QCOMPARE(host_.calls, expected);
        QVERIFY(!lists_->IsModified());
        QVERIFY(ReadText(ResultFile()).contains("song.mp3"));
        // The day of the run is stored as a whole day.
        TBWCVProfile stored(data_.toStdString());
        QVERIFY(stored.LoadProfile("p"));
        QCOMPARE(stored.LastRun, std::floor(stored.LastRun));
        QVERIFY(stored.LastRun > 40000);
    }

    void filesThatCouldNotBeComparedAreToldBeforeTheResults()
    {
        ScriptedPrompts prompts;
        StoreProfile("p");
        script_.linked = TwoFiles();
        script_.uncompared.Add("/m/Ёлка.mp3");
        script_.uncompared.Add("/m/東京.mp3");
        prompts.ExpectMessage(PromptKind::Information,
                              "2 files are empty or could not be read, so they were not compared by content:\n"
                              "/m/Ёлка.mp3\n/m/東京.mp3");
        host_.observe = [&prompts] { return QStringLiteral(" told=%1").arg(prompts.Asked().size()); };
        QCOMPARE(MakeRoad().Run("p"), TScanOutcome::Finished);
        QCOMPARE(host_.calls.first(), QString("minimise told=1"));
    }

    void filesLeftOutOfTheResultFileAreCounted()
    {
        ScriptedPrompts prompts;
        StoreProfile("p");
        TBWDirectory* music = root_->AddSubDirTouch("music");
        script_.linked = {music->Files()->AddFile("a;b.mp3"), music->Files()->AddFile("song.mp3"),
                          music->Files()->AddFile("song (copy).mp3")};
        prompts.ExpectMessage(PromptKind::Warning, "1 file was left out of the result file: its path holds");
        QCOMPARE(MakeRoad().Run("p"), TScanOutcome::Finished);
        QVERIFY(!ReadText(ResultFile()).contains("a;b.mp3"));
    }

    // Each text in the grammar of its number, naming the files, a line
    // break in a name shown as a mark rather than breaking the list.
    void textsOfFilesLeftOutNameThemInTheGrammarOfTheirNumber()
    {
        QCOMPARE(LeftOutText({"/m/a;b.mp3"}),
                 QString("1 file was left out of the result file: its path holds \";\" or a line break, which the "
                         "file cannot store, so \"Load last results\" will not show it:\n/m/a;b.mp3"));
        const QString two = LeftOutText({"/m/a;b.mp3", "/m/bad\nname.mp3"});
        QVERIFY(two.startsWith("2 files were left out of the result file: their paths hold"));
        QVERIFY(two.contains("will not show them:"));
        QVERIFY(two.endsWith("\n/m/a;b.mp3\n/m/bad\u23CEname.mp3"));
        const QString many = LeftOutText(std::vector<std::string>(12, "/m/x;y.mp3"));
        QCOMPARE(many.count("/m/x;y.mp3"), 10);
        QVERIFY(many.endsWith("\nand 2 more."));
    }

    // Unreadable files are named: the first in the text, every path kept
    // behind it, and how many more there were beyond those kept.
    void unreadFilesAreNamedInTheGrammarOfTheirNumber()
    {
        TBWUnreadFiles one;
        one.Add("/m/bad\x01name\xff.mp3");
        QCOMPARE(UncomparedText(one), QString("1 file is empty or could not be read, so it was not compared by "
                                              "content:\n/m/bad\uFFFDname\uFFFD.mp3"));
        QCOMPARE(UncomparedDetails(one), QString());
        TBWUnreadFiles many;
        for (std::size_t i = 0; i < TBWUnreadFiles::kPathsKept + 3; ++i)
            many.Add("/m/" + std::to_string(i) + ".mp3");
        const QString text = UncomparedText(many);
        QVERIFY(text.startsWith("1003 files are empty or could not be read, so they were not compared by content:"
                                "\n/m/0.mp3\n"));
        QVERIFY(text.endsWith("\n/m/9.mp3\nand 993 more."));
        const QStringList details = UncomparedDetails(many).split('\n');
        QCOMPARE(details.size(), 1001);
        QCOMPARE(details.first(), QString("/m/0.mp3"));
        QCOMPARE(details.last(), QString("and 3 more."));
    }

    void anEmptyResultSaysSoInsteadOfAnEmptyWindow_data()
    {
        QTest::addColumn<int>("resultType");
        QTest::addColumn<QString>("message");
        QTest::newRow("duplicates") << int(rsDuplicates) << "No duplicates were found.";
        QTest::newRow("negative") << int(rsNegative) << "No new files were found";
        QTest::newRow("banlist") << int(rsBanlist) << "No files matching the banlist were found.";
    }
    void anEmptyResultSaysSoInsteadOfAnEmptyWindow()
    {
        QFETCH(int, resultType);
        QFETCH(QString, message);
        ScriptedPrompts prompts;
        StoreProfile("p");
        profile_->ResultType = static_cast<TBWResultType>(resultType);
        QVERIFY(profile_->SaveProfile());
        QFile previous(ResultFile());
        QVERIFY(previous.open(QIODevice::WriteOnly));
        previous.write("/music/a.mp3;/music/b.mp3;\r\n");
        previous.close();
        prompts.ExpectMessage(PromptKind::Information, message);
        QCOMPARE(MakeRoad().Run("p"), TScanOutcome::Finished);
        QCOMPARE(host_.calls, QStringList{"refresh"});
        QCOMPARE(ReadText(ResultFile()), QString("/music/a.mp3;/music/b.mp3;\r\n"));
        // The run itself is still kept in the profile.
        QVERIFY(ProfileFile("p").contains("<LastTime>90003</LastTime>"));
    }

    // A disc not mounted or a list deleted must not scan as empty and read
    // as an answer: each is named first, and the user goes on without them
    // or stops; an empty result then says that part was left out.
    void missingFoldersAndListsAreNamedBeforeTheScan_data()
    {
        QTest::addColumn<QStringList>("dirs");
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QString>("told");
        QTest::addColumn<int>("scanned");
        const QString gone = "/no/such/disc Ёлка 東京";
        QTest::newRow("stop") << QStringList{"music", gone} << false << gone + " (no such folder)" << QString() << 0;
        QTest::newRow("go on without a folder")
            << QStringList{"music", gone} << true
            << "This folder or list of the profile \"p\" cannot be found:\n" + gone + " (no such folder)"
            << "One folder or list of the profile could not be found and was left out" << 1;
        QTest::newRow("go on without a folder and a list")
            << QStringList{"music", gone, "@deleted/vol"} << true
            << "These folders and lists of the profile \"p\" cannot be found:\n" + gone
            << "2 folders and lists of the profile could not be found and were left out" << 1;
        QTest::newRow("a list the model holds is there") << QStringList{"music", "@kept/vol"} << true << QString()
                                                         << "No duplicates were found." << 2;
        QTest::newRow("nothing there") << QStringList{gone, "@deleted/vol"} << false << QString()
                                       << "Nothing of the profile \"p\" can be found, so nothing was scanned" << 0;
    }
    void missingFoldersAndListsAreNamedBeforeTheScan()
    {
        QFETCH(QStringList, dirs);
        QFETCH(bool, goOn);
        QFETCH(QString, asked);
        QFETCH(QString, told);
        QFETCH(int, scanned);
        root_->AddSubDirTouch("@kept")->AddSubDirTouch("vol");
        std::vector<std::string> paths;
        for (const QString& dir : dirs)
            paths.push_back(dir == "music" ? MusicFolder() : dir.toStdString());
        StoreProfile("p", paths);
        ScriptedPrompts prompts;
        if (!asked.isEmpty())
            prompts.ExpectYesNo(goOn, asked);
        if (!told.isEmpty())
            prompts.ExpectMessage(scanned ? PromptKind::Information : PromptKind::Warning, told);
        const TScanOutcome outcome = MakeRoad().Run("p");
        QCOMPARE(outcome, scanned ? TScanOutcome::Finished : TScanOutcome::NotRun);
        QCOMPARE(int(scanned_.size()), scanned);
        QVERIFY(prompts.Done());
        if (!asked.isEmpty())
            QVERIFY(prompts.Asked().front().text.endsWith(dirs.size() == 2 ? "Scan without it?" : "Scan without them?"));
    }

    // Every scan refreshes the model; the folders of the scans before must
    // not stay alive until the program ends.
    void memoryStaysFlatAcrossScans()
    {
        StoreProfile("memory");
        for (int run = 0; run < 4; ++run) {
            TBWDirectory* music = root_->AddSubDirTouch("music");
            TBWDirectory* album = music->AddSubDirTouch("album");
            script_.linked = {album->Files()->AddFile("song.mp3"), album->Files()->AddFile("song (copy).mp3")};
            QCOMPARE(LiveFoldersAndFiles(*root_), std::make_pair(2, 2));
            QCOMPARE(MakeRoad().Run("memory"), TScanOutcome::Finished);
            QCOMPARE(LiveFoldersAndFiles(*root_), std::make_pair(0, 0));
        }
    }

    void theTimesGoToTheProfileThatRan()
    {
        StoreProfile("other");
        StoreProfile("p");
        // Another row was selected while the scan ran.
        host_.observe = [] { return QString(); };
        script_.runsOn = false;
        script_.linked = TwoFiles();
        TScanRoad road = MakeRoad();
        QTimer::singleShot(0, [this] { profile_->LoadProfile("other"); });
        QCOMPARE(road.Run("p"), TScanOutcome::Finished);
        QVERIFY(ProfileFile("p").contains("<LastTime>90003</LastTime>"));
        QVERIFY(ProfileFile("other").contains("<LastTime>0</LastTime>"));
    }
};

CORVELLA_UI_TEST_MAIN(TestScanRoad)
#include "test_u_scanroad.moc"
