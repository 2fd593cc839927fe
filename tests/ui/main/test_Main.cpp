// The main window: the profile list (quick_scan, unreadable profiles, the
// sort rule and its clicks), which actions may run in each state and during
// a scan, New Profile's three endings, Delete's question, Help, the request
// to come forward, and the one-time conversion of the settings store.
#include "ui/main/Main.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>

#include "base/HUtils.h"
#include "base/platform/u_registrystore.h"
#include "ui/main/u_loadproblems.h"
#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "engine/u_registryconversion.h"
#include "model/u_bwfs.h"
#include "model/u_bwfsmpl.h"
#include "model/u_bwfsdrive.h"
#include "tests/ui/item_clicks.h"
#include "tests/ui/modal_dialogs.h"
#include "tests/ui/mpl_test_folders.h"
#include "tests/ui/scripted_prompts.h"
#include "tests/support/fifo_in_place.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/common/u_helpwindow.h"
#include "ui/common/u_prompts.h"
#include "ui/progress/u_progress.h"
#include "ui/progress/u_scanmailbox.h"
#include "ui/results/u_scanresults.h"
#include "ui/profile/uc_fProfileCV.h"
#include "ui/profile/uc_frProCVActions.h"
#include "ui/profile/uc_frProCVCompParam.h"
#include "ui/profile/uc_frProCVDirectories.h"
#include "ui/profile/uc_frProCVFilePri.h"
#include "ui/profile/uc_frProCVGeneral.h"
#include "ui/profile/uc_frProCVPoolExclusions.h"
#include "ui/profile/uc_frProCVSummary.h"
#include "ui/wizard/u_wizdirsel.h"
#include "ui/configwizard/u_wizoperation.h"
#include "ui/configwizard/u_wiztextpages.h"
#include "tests/ui/ui_test_main.h"
#include "tests/ui/wizard_road.h"

namespace {

QString ReadText(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString DataFolder()
{
    return QString::fromStdString(AppPaths().dataFolder);
}

void StoreProfile(const std::string& name, double lastRun = 0, double lastTime = 0, const std::string& comment = {})
{
    TBWCVProfile profile;
    profile.NewProfile();
    profile.SetProfileName(name);
    profile.LastRun = lastRun;
    profile.LastTime = lastTime;
    profile.ProfileComment = comment;
    // A folder that is there: a missing one is asked about before a scan.
    profile.DirPath = {QDir::homePath().toStdString()};
    QVERIFY(profile.SaveProfile());
}

QStringList Names(TProfileListModel& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << QString::fromStdString(model.Row(row).name);
    return names;
}

QAction* Action(QWidget& window, const char* name)
{
    return window.findChild<QAction*>(name);
}

// The paths of the rows the results window shows, with R for a reference.
QStringList ShownResults(QWidget& dialog)
{
    auto* window = qobject_cast<TfScanResults*>(&dialog);
    QStringList rows;
    if (!window)
        return {"not the results window"};
    for (int row = 0; row < window->Model().RowCount(); ++row) {
        const TBWDupeFile* entry = window->Model().EntryAt(row);
        rows << QString(entry->State() == dsReference ? "R " : "D ") + QString::fromStdString(entry->File()->Name());
    }
    return rows;
}

// Every cell of every row the results window shows, a row's cells parted by "|".
QStringList ShownCells(QWidget& dialog)
{
    auto* window = qobject_cast<TfScanResults*>(&dialog);
    if (!window)
        return {"not the results window"};
    const QAbstractItemModel& model = window->Model();
    QStringList rows;
    for (int row = 0; row < model.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < model.columnCount(); ++column)
            cells << model.index(row, column).data().toString();
        rows << cells.join(" | ");
    }
    return rows;
}

// A scan that finds nothing: it runs until it is asked to stop, or, when
// not endless, has ended as soon as it started.
class TIdleWorker : public TScanWorker {
public:
    explicit TIdleWorker(bool endless = true) : stopped_(!endless) {}
    void Start(const std::vector<std::string>&, TScanMailbox&) override {}
    bool Finished() const override { return stopped_; }
    void RequestStop() override { stopped_ = true; }
    std::string Error() const override { return {}; }
    std::uint64_t StepCount() const override { return 0; }
    TBWDupeFileList& Results() override { return results_; }

private:
    bool stopped_ = false;
    TBWDupeFileList results_;
};

QString ShownEditorPage(QWidget& dialog)
{
    auto* editor = qobject_cast<TfcProfileCV*>(&dialog);
    return editor && editor->CurrentPage() ? editor->CurrentPage()->metaObject()->className() : QString();
}

} // namespace

class TestMain : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitAppPaths("Brindlewick", "Corvella", "corvella_help.chm");
        GenSettings().LoadOrCreate();
    }
    void init()
    {
        QDir(DataFolder()).removeRecursively();
        QDir().mkpath(DataFolder() + "profiles");
    }

    void timesAndDaysAreShownAsTheUserReadsThem()
    {
        QCOMPARE(TimeTakenText(0), QString("00:00:00"));
        QCOMPARE(TimeTakenText((25 * 3600 + 3) / 86400.0), QString("25:00:03"));
        QCOMPARE(LastRunText(0), QString("Never"));
        QCOMPARE(LastRunText(2.75), QLocale().toString(QDate(1900, 1, 1), QLocale::ShortFormat));
    }

    void anEmptyFolderGetsQuickScan()
    {
        TfCorvella4 window;
        auto* list = window.findChild<QTreeView*>("lvProfiles");
        QCOMPARE(list->model()->rowCount(), 1);
        const QStringList row = {list->model()->index(0, 0).data().toString(), list->model()->index(0, 1).data().toString(),
                                 list->model()->index(0, 2).data().toString(), list->model()->index(0, 3).data().toString()};
        QCOMPARE(row, QStringList({"quick_scan", "Quickly give Corvella a try!", "Never", "00:00:00"}));
        QVERIFY(QFile::exists(DataFolder() + "profiles/quick_scan.xml"));
        QCOMPARE(window.SelectedProfile(), std::string("quick_scan"));
    }

    // A damaged profile is moved aside (beside an older copy, never over it),
    // one that cannot be read is left; the window says so once after start-up.
    void profilesThatDoNotLoadAreKeptAndToldOnce()
    {
        StoreProfile("good");
        const QString profiles = DataFolder() + "profiles/";
        for (const auto& [name, contents] : {std::pair{"bad.xml", "<bwprofile><unclosed>"},
                                             std::pair{"bad.xml.bad", "an older copy"}}) {
            QFile file(profiles + name);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        QVERIFY(QFile::link(profiles + "nowhere", profiles + "gone.xml"));
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "The profile \"bad\" is damaged; it was moved to " +
                                                       profiles + "bad.xml.bad2.");
        TfCorvella4 window;
        QCOMPARE(Names(window.Profiles()), QStringList({"good"}));
        QTRY_VERIFY(prompts.Done());
        QVERIFY(prompts.Asked().back().text.contains("The profile \"gone\" cannot be read; its file was left"));
        QVERIFY(!QFile::exists(profiles + "bad.xml"));
        QCOMPARE(ReadText(profiles + "bad.xml.bad"), QString("an older copy"));
        QCOMPARE(ReadText(profiles + "bad.xml.bad2"), QString("<bwprofile><unclosed>"));

        // The profile left behind is met again by every refresh, and not told again.
        prompts.ExpectYesNo(true, "delete the profile \"good\"");
        Action(window, "aDeleteProfile")->trigger();
        QCOMPARE(Names(window.Profiles()), QStringList({"quick_scan"}));
        QVERIFY(QFileInfo(profiles + "gone.xml").isSymLink());
    }

    // Rock.xml, rock.xml and ROCK.xml are one profile: one is listed, the
    // twins are moved aside and told, not deleted by a later save.
    void profileFilesDifferingInCaseOnlyAreSetAsideAndTold()
    {
        const QString profiles = DataFolder() + "profiles/";
        StoreProfile("Rock", 0, 0, "one of three");
        for (const char* twin : {"rock.xml", "ROCK.xml"})
            QVERIFY(QFile::copy(profiles + "Rock.xml", profiles + twin));
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "The profile file " + profiles +
                                                       "Rock.xml differs from another profile's file in letter case "
                                                       "only, which names the same profile; it was moved to " +
                                                       profiles + "Rock.xml.bad.");
        TfCorvella4 window;
        QCOMPARE(Names(window.Profiles()), QStringList({"ROCK"}));
        QTRY_VERIFY(prompts.Done());
        QVERIFY(prompts.Asked().back().text.contains(profiles + "rock.xml differs"));
        QCOMPARE(QDir(profiles).entryList(QDir::Files, QDir::Name),
                 QStringList({"ROCK.xml", "Rock.xml.bad", "rock.xml.bad"}));
        QVERIFY(CurrentProfile().LoadProfile("ROCK"));
        QVERIFY(CurrentProfile().SaveProfile());
        QCOMPARE(QDir(profiles).entryList(QDir::Files, QDir::Name),
                 QStringList({"ROCK.xml", "Rock.xml.bad", "rock.xml.bad"}));
    }

    // A profiles folder that cannot be read is no empty list: it is told,
    // and no quick_scan is made in its place.
    void aProfilesFolderThatCannotBeReadIsTold()
    {
        const QString profiles = DataFolder() + "profiles";
        QVERIFY(QDir(profiles).removeRecursively());
        // A link to itself: unreadable even to root.
        QVERIFY(QFile::link("profiles", profiles));
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "The profiles cannot be listed (" + profiles + "/: ");
        TfCorvella4 window;
        QTRY_VERIFY(prompts.Done());
        QCOMPARE(window.Profiles().rowCount(), 0);
        QVERIFY(QFileInfo(profiles).isSymLink());
    }

    void resultsThatCannotBeReadAreToldNotShownEmpty()
    {
        QVERIFY(QDir().mkpath(DataFolder() + "last_results.txt"));
        TfCorvella4 window;
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "The last results could not be read from " + DataFolder() +
                                                       "last_results.txt");
        Action(window, "aLoadResults")->trigger();
        QVERIFY(!ProgressActive());
    }

    void sortRuleOfEachColumn_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("name ascending at first") << QList<int>{} << QStringList{"b_new", "a_old", "never", "c_mid"};
        QTest::newRow("name") << QList<int>{1, 0} << QStringList{"a_old", "b_new", "c_mid", "never"};
        QTest::newRow("name descending") << QList<int>{0} << QStringList{"never", "c_mid", "b_new", "a_old"};
        QTest::newRow("comment ignores case") << QList<int>{1} << QStringList{"never", "a_old", "b_new", "c_mid"};
        QTest::newRow("last run, never-run last") << QList<int>{2} << QStringList{"a_old", "c_mid", "b_new", "never"};
        QTest::newRow("last run descending") << QList<int>{2, 2} << QStringList{"never", "b_new", "c_mid", "a_old"};
        QTest::newRow("last run ascending again") << QList<int>{2, 2, 2} << QStringList{"a_old", "c_mid", "b_new", "never"};
        QTest::newRow("time taken as text") << QList<int>{3} << QStringList{"never", "b_new", "c_mid", "a_old"};
    }
    void sortRuleOfEachColumn()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(QStringList, order);
        TProfileListModel model;
        model.SetRows({{"b_new", "Banana", 45000.5, 3 / 86400.0},
                       {"a_old", "apple", 40000.9, 100.0 / 24},
                       {"never", "", 0, 0},
                       {"c_mid", "BERRY", 42000, 1 / 24.0}});
        for (int column : clicks)
            model.ColumnClick(column);
        QCOMPARE(Names(model), order);
        const int last = clicks.isEmpty() ? 0 : clicks.back();
        QCOMPARE(model.Tag() & 0xFFFF, last);
    }

    void aHeaderClickSortsAndKeepsTheSelection()
    {
        StoreProfile("old", 40000);
        StoreProfile("never");
        StoreProfile("recent", 45000);
        TfCorvella4 window;
        auto* list = window.findChild<QTreeView*>("lvProfiles");
        list->selectionModel()->setCurrentIndex(list->model()->index(Names(window.Profiles()).indexOf("recent"), 0),
                                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        emit list->header()->sectionClicked(TProfileListModel::colLastRun);
        QCOMPARE(Names(window.Profiles()), QStringList({"old", "recent", "never"}));
        QCOMPARE(window.SelectedProfile(), std::string("recent"));
        QCOMPARE(list->selectionModel()->selectedRows().front().row(), 1);
        QCOMPARE(list->model()->headerData(TProfileListModel::colLastRun, Qt::Horizontal, Qt::DecorationRole).isNull(),
                 false);
        QVERIFY(list->model()->headerData(TProfileListModel::colName, Qt::Horizontal, Qt::DecorationRole).isNull());
    }

    void theCommentTakesTheRoomLeftAndWidensWithTheWindow()
    {
        StoreProfile("a_rather_long_profile_name", 40000, 0.5, "A comment");
        TfCorvella4 window;
        window.resize(548, 400);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto* list = window.findChild<QTreeView*>("lvProfiles");
        QHeaderView* header = list->header();
        auto rightEdge = [&] {
            const int last = TProfileListModel::colTimeTaken;
            return header->sectionViewportPosition(last) + header->sectionSize(last);
        };
        QTRY_COMPARE(rightEdge(), list->viewport()->width());
        const int comment = header->sectionSize(TProfileListModel::colComment);
        window.resize(900, 400);
        QTRY_COMPARE(rightEdge(), list->viewport()->width());
        QVERIFY(header->sectionSize(TProfileListModel::colComment) > comment);
        QStyleOptionViewItem option;
        option.initFrom(list);
        option.decorationSize = list->iconSize();
        const QModelIndex name = list->model()->index(0, TProfileListModel::colName);
        QVERIFY(list->itemDelegate()->sizeHint(option, name).width() <= header->sectionSize(TProfileListModel::colName));
    }

    void actionStatesByState_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<bool>("newProfile");
        QTest::addColumn<bool>("profileActions");
        QTest::addColumn<bool>("idleOnly");
        QTest::newRow("selection") << int(msSelectionChanged) << true << true << true << true;
        QTest::newRow("no selection") << int(msSelectionChanged) << false << true << false << true;
        QTest::newRow("after a run, even without selection") << int(msAfterRun) << false << true << true << true;
        QTest::newRow("scanning") << int(msScanning) << true << false << false << false;
    }
    void actionStatesByState()
    {
        QFETCH(int, state);
        QFETCH(bool, selected);
        const TMainActionStates states = MainActionStates(static_cast<TMainState>(state), selected);
        QTEST(states.newProfile, "newProfile");
        QTEST(states.profileActions, "profileActions");
        QTEST(states.idleOnly, "idleOnly");
    }

    void whileAScanRunsOnlyTheHarmlessActionsWork()
    {
        StoreProfile("p");
        TfCorvella4 window([](const TBWCVProfile&) { return std::make_unique<TIdleWorker>(); });
        window.show();
        QStringList enabledDuringScan;
        bool closed = true;
        bool listEnabled = true;
        QTimer::singleShot(0, [&] {
            for (const char* name : {"aNewProfile", "aRunProfile", "aEditProfile", "aDeleteProfile", "aLoadResults",
                                     "aExit", "aEditMpl", "aHelp", "aShowTips", "aAbout"})
                if (Action(window, name)->isEnabled())
                    enabledDuringScan << name;
            listEnabled = window.findChild<QTreeView*>("lvProfiles")->isEnabled();
            closed = window.close();
            ShowProgress().findChild<QPushButton*>("bCancel")->click();
        });
        Action(window, "aRunProfile")->trigger();
        QCOMPARE(enabledDuringScan, QStringList({"aShowTips", "aAbout"}));
        QVERIFY(!listEnabled);
        QVERIFY(!closed);
        QVERIFY(Action(window, "aRunProfile")->isEnabled());
        QVERIFY(!window.Scanning());
        QVERIFY(!ProgressActive());
    }

    // New Profile: the wizard's last page decides whether the new profile
    // is scanned at once, opened in the editor, or only listed.
    void aNewProfileGoesOnAsTheWizardEnds()
    {
        QTemporaryDir music;
        const std::string folder = FSDrive().FindDir(music.path().toStdString() + "/", true)->Path();
        std::vector<std::string> scanned;
        TfCorvella4 window([&](const TBWCVProfile& profile) {
            scanned.push_back(profile.ProfileName());
            return std::make_unique<TIdleWorker>(false);
        });
        WhenModal([&](QWidget& dialog) {
            WizardRoad road(dialog);
            road.Choose(road.On<TfrWizOperation>("Profile operation")->rgOp, opScan);
            road.Next();
            QVERIFY(road.Select(road.On<TfrWizDirSel>("Directory selection")->dir, folder));
            road.Next();
            road.Next();
            road.Next();
            road.Choose(road.On<TfrWizTextFinish>("Congratulations")->rgPostWizAction, paRun);
            WhenModal([](QWidget&) {});  // the results window
            road.Next();
        });
        Action(window, "aNewProfile")->trigger();
        QCOMPARE(scanned, std::vector<std::string>{"dupe_scan"});
        QCOMPARE(window.SelectedProfile(), std::string("dupe_scan"));
        QVERIFY(window.Profiles().Row(0).lastRun > 0);

        QString shown;
        WhenModal([&](QWidget& dialog) {
            WizardRoad road(dialog);
            road.Choose(road.On<TfrWizOperation>("Profile operation")->rgOp, opEdit);
            WhenModal([&](QWidget& editor) { shown = ShownEditorPage(editor); });
            road.Next();
        });
        Action(window, "aNewProfile")->trigger();
        QCOMPARE(shown, QString(TfrcProCVGeneral::staticMetaObject.className()));
        QCOMPARE(window.SelectedProfile(), std::string("new_profile"));

        ScriptedPrompts prompts;
        prompts.ExpectYesNo(true, "Are you sure you want to cancel this wizard?");
        WhenModal([](QWidget& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); });
        Action(window, "aNewProfile")->trigger();
        QVERIFY(prompts.Done());
        QCOMPARE(Names(window.Profiles()), QStringList({"dupe_scan", "new_profile", "quick_scan"}));
        QCOMPARE(window.SelectedProfile(), std::string("new_profile"));
        QCOMPARE(scanned.size(), std::size_t(1));
    }

    void deleteAsksFirst()
    {
        StoreProfile("keep_me");
        TfCorvella4 window;
        ScriptedPrompts prompts;
        prompts.ExpectDestructive(false, "Do you really want to delete the profile \"keep_me\"?");
        Action(window, "aDeleteProfile")->trigger();
        QCOMPARE(Names(window.Profiles()), QStringList({"keep_me"}));
        prompts.ExpectYesNo(true);
        Action(window, "aDeleteProfile")->trigger();
        QVERIFY(!QFile::exists(DataFolder() + "profiles/keep_me.xml"));
        QCOMPARE(Names(window.Profiles()), QStringList({"quick_scan"}));
    }

    void ctrlEOpensTheEditorOnItsFirstSection()
    {
        StoreProfile("p");
        TfCorvella4 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QString shown;
        WhenModal([&](QWidget& editor) { shown = ShownEditorPage(editor); });
        QTest::keyClick(window.windowHandle(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(shown, QString(TfrcProCVGeneral::staticMetaObject.className()));
    }

    // The real help window: it neither keeps the program running nor stays.
    void closingTheWindowWithHelpOpenEndsTheProgram()
    {
        TfCorvella4 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        Action(window, "aHelp")->trigger();
        QTRY_COMPARE(QApplication::activeWindow(), HelpWindow());
        // Exit from the toolbar: the help stays up, above the main window.
        QTimer::singleShot(0, &window, [&] {
            auto* exit = window.findChild<QToolBar*>("tbMain")->widgetForAction(Action(window, "aExit"));
            QTest::mouseClick(exit, Qt::LeftButton);
        });
        // Only so that a broken close cannot hang the test run.
        QTimer safety;
        safety.setSingleShot(true);
        connect(&safety, &QTimer::timeout, [] { QCoreApplication::exit(1); });
        safety.start(10000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!HelpWindow() || !HelpWindow()->isVisible());
    }

    // A close request (SIGTERM, the end of the session) over windows that
    // would ask asks nothing and ends: the unsaved Mp3 List stays for the
    // save at exit instead of waiting on a question nobody answers.
    void aCloseRequestOverTheListEditorEndsWithoutAskingAndKeepsTheLists()
    {
        struct TEndsHere {
            ~TEndsHere()
            {
                SetEndingOnRequest(false);
                MplManager().Reload();
            }
        } restore;
        TfCorvella4 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        ScriptedPrompts prompts;
        WhenModal([&](QWidget&) {
            QVERIFY(MplManager().NewList("Unsaved", false));
            QVERIFY(MplManager().IsModified());
            window.CloseRequested();
        });
        Action(window, "aEditMpl")->trigger();
        QTRY_VERIFY(!window.isVisible());
        QVERIFY(prompts.Asked().empty());
        QVERIFY(MplManager().FindList("Unsaved"));
        QVERIFY(MplManager().IsModified());
    }

    void theWindowOpensWhereItWasClosed()
    {
        const QRect place(60, 40, 700, 500);
        {
            TfCorvella4 window;
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            window.setGeometry(place);
            QTRY_COMPARE(window.geometry(), place);
            QTest::keyClick(window.windowHandle(), Qt::Key_Q, Qt::ControlModifier);
            QTRY_VERIFY(!window.isVisible());
        }
        QVERIFY(GenSettings().SaveIfLoaded());
        GenSettings().LoadOrCreate();
        TfCorvella4 again;
        QCOMPARE(again.geometry(), place);
        GenSettings().MainWidth = 0;  // the other tests' windows open at their own size
    }

    void anEditedProfileStaysSelectedUnderItsNewName()
    {
        for (const char* name : {"aaa", "mmm", "zzz"})
            StoreProfile(name);
        TfCorvella4 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        auto* list = window.findChild<QTreeView*>("lvProfiles");
        const QModelIndex mmm = list->model()->index(Names(window.Profiles()).indexOf("mmm"), 0);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(mmm).center());
        QCOMPARE(window.SelectedProfile(), std::string("mmm"));
        WhenModal([](QWidget& dialog) {
            auto& editor = static_cast<TfcProfileCV&>(dialog);
            auto* name = editor.findChild<QLineEdit*>("edtProfileName");
            name->selectAll();
            QTest::keyClicks(name, "zzzz");
            QTest::mouseClick(editor.bOK, Qt::LeftButton);
        });
        QTest::keyClick(window.windowHandle(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(window.SelectedProfile(), std::string("zzzz"));
        const QModelIndexList selected = list->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), qsizetype(1));
        QCOMPARE(window.Profiles().Row(selected.front().row()).name, std::string("zzzz"));
    }

    void helpOpensTheProgramsPage()
    {
        TfCorvella4 window;
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::HelpTopic, "corvella/index.htm");
        Action(window, "aHelp")->trigger();
    }

    void aSecondStartBringsTheWindowForward()
    {
        TfCorvella4 window;
        window.showMinimized();
        QTRY_VERIFY(window.isMinimized());
        window.WMUser();
        QVERIFY(!window.isMinimized());
        QVERIFY(window.isVisible());
    }

    void summaryRowsOpenTheirPages_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("page");
        const std::pair<int, const QMetaObject*> pages[] = {
            {-1, &TfrcPCVSummary::staticMetaObject},         {0, &TfrcProCVDirectories::staticMetaObject},
            {1, &TfrcProCVCompParam::staticMetaObject},      {3, &TfrcProCVCompParam::staticMetaObject},
            {4, &TfrcProCVPoolExclusions::staticMetaObject}, {6, &TfrcProCVPoolExclusions::staticMetaObject},
            {7, &TfrcProCVFilePri::staticMetaObject},        {8, &TfrcProCVFilePri::staticMetaObject},
            {9, &TfrcProCVActions::staticMetaObject},        {10, &TfrcPCVSummary::staticMetaObject}};
        for (const auto& [row, page] : pages)
            QTest::newRow(qPrintable(QString::number(row))) << row << QString(page->className());
    }
    void summaryRowsOpenTheirPages()
    {
        QFETCH(int, row);
        QTEST(QString(SummaryRowPage(row).className()), "page");
    }

    void aSummaryDoubleClickOpensTheEditorAtThatPage()
    {
        StoreProfile("p");
        TfCorvella4 window;
        auto* summary = window.findChild<TfrcPCVSummary*>("frSummary");
        summary->lv->setCurrentIndex(summary->lv->model()->index(4, 0));
        QString shownPage;
        WhenModal([&](QWidget& dialog) {
            if (auto* editor = qobject_cast<TfcProfileCV*>(&dialog); editor && editor->CurrentPage())
                shownPage = editor->CurrentPage()->metaObject()->className();
        });
        emit summary->summaryDblClick(summary);
        QCOMPARE(shownPage, QString(TfrcProCVPoolExclusions::staticMetaObject.className()));
    }

    // A panel of a fixed height held the summary only in small fonts: in a
    // desktop's larger ones its last row sat on a sliver of scroll bar at
    // the window's bottom edge.
    void theSummaryShowsEveryRowInTheFontsAtHand()
    {
        StoreProfile("p");
        const struct TFontKept {
            QFont font = QApplication::font();
            ~TFontKept() { QApplication::setFont(font); }
        } kept;
        QFont larger = kept.font;
        larger.setPixelSize(16);
        QApplication::setFont(larger);
        TfCorvella4 window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const QTreeView& summary = *window.findChild<TfrcPCVSummary*>("frSummary")->lv;
        const int rows = summary.model()->rowCount();
        QVERIFY(rows > 0);
        QVERIFY(summary.viewport()->rect().contains(summary.visualRect(summary.model()->index(rows - 1, 1))));
        QVERIFY(!summary.verticalScrollBar()->isVisible());
    }

    void loadLastResultsWithoutAFileSaysSo()
    {
        TfCorvella4 window;
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "There are no previous results to load.");
        Action(window, "aLoadResults")->trigger();
        QVERIFY(!ProgressActive());
    }

    // The real windows and engine: a scan of fixture files, the duplicates
    // deleted to the Trash from the results window, the rest loaded again.
    void aScanEndToEnd()
    {
        QTemporaryDir music;
        const QString fixtures = QString(CORVELLA_TEST_DATA) + "/../fixtures/audio/";
        for (const auto& [fixture, names] :
             {std::pair{"cbr128_stereo_44k_id3v23.mp3", QStringList{"alpha song.mp3", "alpha song copy.mp3", "charlie beat.mp3"}},
              std::pair{"vbr_stereo_44k_picture.mp3", QStringList{"bravo tune.mp3", "bravo tune copy.mp3", "charlie beat copy.mp3"}}})
            for (const QString& name : names)
                QVERIFY(QFile::copy(fixtures + fixture, music.path() + "/" + name));
        {
            TBWCVProfile profile;
            profile.NewProfile();
            profile.SetProfileName("by_name");
            profile.CompType = ctFileName;
            profile.DirPath = {music.path().toStdString()};
            QVERIFY(profile.SaveProfile());
        }
        TfCorvella4 window;
        window.show();
        QCOMPARE(window.SelectedProfile(), std::string("by_name"));

        ScriptedPrompts prompts;
        prompts.ExpectYesNo(true, "delete 2 files");
        QStringList found;
        QStringList left;
        WhenModal([&](QWidget& dialog) {
            found = ShownResults(dialog);
            Action(dialog, "aSelectAll")->trigger();
            // One duplicate is kept: Space on its row takes its check mark off.
            auto* list = dialog.findChild<QAbstractItemView*>("lvResults");
            const int kept = found.indexOf(QRegularExpression("D .*"));
            list->setFocus();
            list->selectionModel()->select(list->model()->index(kept, 0),
                                           QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
            QTest::keyClick(list, Qt::Key_Space);
            Action(dialog, "aDelete")->trigger();
            left = ShownResults(dialog);
            Action(dialog, "aClose")->trigger();
        });
        Action(window, "aRunProfile")->trigger();
        // Which copy of a group stays is the engine's choice; each group keeps one.
        QStringList names;
        QStringList duplicates;
        for (const QString& row : found) {
            names << row.mid(2);
            if (row.startsWith("D "))
                duplicates << row.mid(2);
        }
        names.sort();
        QCOMPARE(names, QStringList({"alpha song copy.mp3", "alpha song.mp3", "bravo tune copy.mp3", "bravo tune.mp3",
                                     "charlie beat copy.mp3", "charlie beat.mp3"}));
        QCOMPARE(duplicates.size(), 3);
        QCOMPARE(left.size(), 2);
        const QString trash = qEnvironmentVariable("XDG_DATA_HOME") + "/Trash/files/";
        QVERIFY(QFile::exists(music.path() + "/" + duplicates.takeFirst()));
        for (const QString& name : duplicates) {
            QVERIFY(!QFile::exists(music.path() + "/" + name));
            QVERIFY(QFile::exists(trash + name));
        }
        QVERIFY(QFile::exists(DataFolder() + "last_results.txt"));
        QVERIFY(window.Profiles().Row(0).lastRun > 0);

        QStringList loaded;
        WhenModal([&](QWidget& dialog) { loaded = ShownResults(dialog); });
        Action(window, "aLoadResults")->trigger();
        QCOMPARE(loaded, left);
        QVERIFY(!loaded.isEmpty());
    }

    // "Copy new songs from a CD" with the disc not mounted, and a list deleted
    // since: what cannot be found is named, and the empty result never says
    // every file is in the collection already.
    void aMissingDiscOrListIsNeverReadAsAnAnswer()
    {
        QTemporaryDir collection;
        QVERIFY(QFile::copy(QString(CORVELLA_TEST_DATA) + "/../fixtures/audio/cbr128_stereo_44k_id3v23.mp3",
                            collection.path() + "/kept song.mp3"));
        const std::string disc = "/media/no such cd/Ёлка 東京";
        {
            TBWCVProfile profile;
            profile.NewProfile();
            profile.SetProfileName("new_from_cd");
            profile.ResultType = rsNegative;
            profile.DirPath = {collection.path().toStdString(), disc, "@deleted_list/CD 1"};
            profile.SetDirPriority(collection.path().toStdString(), dtReference);
            QVERIFY(profile.SaveProfile());
        }
        TfCorvella4 window;
        window.show();
        ScriptedPrompts prompts;
        prompts.ExpectYesNo(false, QString::fromStdString(disc) + " (no such folder)");
        Action(window, "aRunProfile")->trigger();
        QVERIFY(prompts.Asked().back().text.contains("@deleted_list/CD 1 (no Mp3 List holds it)"));
        QCOMPARE(window.Profiles().Row(0).lastRun, 0.0);

        prompts.ExpectYesNo(true, "Scan without them?");
        prompts.ExpectMessage(PromptKind::Information,
                              "2 folders and lists of the profile could not be found and were left out");
        Action(window, "aRunProfile")->trigger();
        QVERIFY(prompts.Done());
        QVERIFY(!prompts.Asked().back().text.contains("every file is in the collection already"));
    }

    // What "Load last results" shows after a restart with another profile
    // selected is what the scan showed: the rows, their relevances and
    // words; a result file without its scan record says it is recomputed.
    void lastResultsShowWhatTheScanShowed()
    {
        QTemporaryDir music;
        const QString fixture = QString(CORVELLA_TEST_DATA) + "/../fixtures/audio/cbr128_stereo_44k_id3v23.mp3";
        for (const char* name : {"alpha song.mp3", "alpha song 12.mp3", "Ёлка 東京 live tour.mp3", "ёлка 東京 live tour 07.mp3"})
            QVERIFY(QFile::copy(fixture, music.path() + "/" + name));
        for (const auto& [name, minWordLength] : {std::pair{"a_by_name", 3}, std::pair{"b_plain", 0}}) {
            TBWCVProfile profile;
            profile.NewProfile();
            profile.SetProfileName(name);
            profile.CompType = ctFileName;
            profile.MinWordLength = minWordLength;
            profile.MinPerc = 50;
            profile.DirPath = {music.path().toStdString()};
            QVERIFY(profile.SaveProfile());
        }
        const auto shownColumns = GenSettings().ColShow;
        GenSettings().ColShow.fill(false);
        GenSettings().ColShow[9] = GenSettings().ColShow[10] = true;  // "%" and "Words"
        QStringList scanned;
        {
            TfCorvella4 window;
            window.show();
            QCOMPARE(window.SelectedProfile(), std::string("a_by_name"));
            WhenModal([&](QWidget& dialog) {
                scanned = ShownCells(dialog);
                Action(dialog, "aClose")->trigger();
            });
            Action(window, "aRunProfile")->trigger();
        }
        QCOMPARE(scanned.size(), 4);
        QVERIFY2(scanned.filter("100 %").size() == 2, qPrintable(scanned.join(" | ")));

        // A restart: new file objects, the other profile chosen with a click.
        FSDrive().Refresh();
        TfCorvella4 window;
        window.show();
        auto* list = window.findChild<QTreeView*>("lvProfiles");
        ClickItem(*list, list->model()->index(1, 0));
        QCOMPARE(window.SelectedProfile(), std::string("b_plain"));
        QStringList loaded;
        WhenModal([&](QWidget& dialog) {
            loaded = ShownCells(dialog);
            Action(dialog, "aClose")->trigger();
        });
        Action(window, "aLoadResults")->trigger();
        QCOMPARE(loaded, scanned);

        QVERIFY(QFile::remove(DataFolder() + "last_results.scan"));
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Information, "chosen again with the profile \"b_plain\"");
        WhenModal([&](QWidget& dialog) {
            loaded = ShownCells(dialog);
            Action(dialog, "aClose")->trigger();
        });
        Action(window, "aLoadResults")->trigger();
        QCOMPARE(loaded.size(), 4);
        GenSettings().ColShow = shownColumns;
    }

    // "Load last results" shows every row with the role and picture the
    // scan gave it: references of a master folder, of a catalogued disc and
    // of the highest priority, and duplicates of each priority.
    void lastResultsShowTheRolesTheScanShowed()
    {
        QTemporaryDir music;
        const QString fixture = QString(CORVELLA_TEST_DATA) + "/../fixtures/audio/cbr128_stereo_44k_id3v23.mp3";
        for (const char* name : {"master/alpha song.mp3", "low/alpha song 12.mp3", "high/alpha song 7.mp3",
                                 "high/Ёлка 東京 tour.mp3", "low/ёлка 東京 tour 2.mp3", "mid/ёлка 東京 tour 3.mp3",
                                 "cd/gamma tune.mp3", "mid/gamma tune 2.mp3"}) {
            QVERIFY(QDir().mkpath(QFileInfo(music.path() + "/" + name).path()));
            QVERIFY(QFile::copy(fixture, music.path() + "/" + name));
        }
        const std::string root = music.path().toStdString();
        // A disc catalogued in an Mp3 List is the reference of its songs.
        TempListFolder lists;
        FSDrive().Refresh();
        TBWDirMpl* discs = MplManager().NewList("Discs", false);
        QVERIFY(discs);
        QVERIFY(discs->AddVolume("CD1", FSDrive().FindDir(root + "/cd/", false)));
        QVERIFY(MplManager().SaveAll());
        {
            TBWCVProfile profile;
            profile.NewProfile();
            profile.SetProfileName("roles");
            profile.CompType = ctFileName;
            profile.MinPerc = 50;
            profile.DirPath = {root + "/master", root + "/low", root + "/high", root + "/mid", "@Discs/CD1/"};
            profile.SetDirPriority("@Discs/CD1/", dtReference);
            profile.SetDirPriority(root + "/master", dtReference);
            profile.SetDirPriority(root + "/low", dtPriority1);
            profile.SetDirPriority(root + "/high", dtPriority5);
            QVERIFY(profile.SaveProfile());
        }
        const auto shownRoles = [](QWidget& dialog, QStringList& rows, QList<QImage>& pictures) {
            auto* window = qobject_cast<TfScanResults*>(&dialog);
            QVERIFY(window);
            for (int row = 0; row < window->Model().RowCount(); ++row) {
                const TBWDupeFile* entry = window->Model().EntryAt(row);
                rows << QString("%1 %2 %3")
                            .arg(entry->State() == dsReference ? "R" : "D")
                            .arg(entry->DirType())
                            .arg(QString::fromStdString(entry->File()->Name()));
                pictures << window->Model().index(row, 0).data(Qt::DecorationRole).value<QPixmap>().toImage();
            }
            QTest::keyClick(&dialog, Qt::Key_Escape);
        };
        QStringList scanned, loaded;
        QList<QImage> scannedPictures, loadedPictures;
        TfCorvella4 window;
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        WhenModal([&](QWidget& dialog) { shownRoles(dialog, scanned, scannedPictures); });
        QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(scanned.size(), 8);
        QVERIFY2(scanned.contains("R 5 alpha song.mp3") && scanned.contains("R 4 Ёлка 東京 tour.mp3"),
                 qPrintable(scanned.join(" | ")));

        FSDrive().Refresh();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        WhenModal([&](QWidget& dialog) { shownRoles(dialog, loaded, loadedPictures); });
        QTest::keyClick(&window, Qt::Key_L, Qt::ControlModifier);
        QCOMPARE(loaded, scanned);
        QVERIFY(loadedPictures == scannedPictures);
    }

    void theSettingsStoreIsConvertedOnce()
    {
        const std::string key = AppPaths().registryKey;
        {
            TRegistryStore store(AppPaths().registryFile);
            store.WriteValue(key + "\\profiles\\from_store", RegistryString("ProfileComment", "old days"));
            store.WriteValue(key + "\\profiles\\from_store", RegistryDword("MinPerc", 70));
            store.WriteValue(key + "\\settings", RegistryDword("ShowTips", 0));
            QVERIFY(store.Save());
        }
        GenSettings().TipsAtStartup = true;
        {
            TfCorvella4 window;
            QCOMPARE(Names(window.Profiles()), QStringList({"from_store"}));
            QCOMPARE(window.Profiles().Row(0).comment, std::string("old days"));
        }
        // The converted settings replace those loaded before, so the end of the run keeps them.
        QVERIFY(!GenSettings().TipsAtStartup);
        TRegistryStore store(AppPaths().registryFile);
        QVERIFY(store.Load());
        QVERIFY(store.FindValue(key, "ConvertedToXML"));
        QVERIFY(QFile::exists(DataFolder() + "settings.xml"));

        // Done once: the profile deleted since stays deleted.
        QFile::remove(DataFolder() + "profiles/from_store.xml");
        TfCorvella4 again;
        QCOMPARE(Names(again.Profiles()), QStringList({"quick_scan"}));
    }

    // A stored name is never a path out of the data folder, whatever the older settings hold.
    void aConvertedProfileNameWithAPathIsRefusedAndTold()
    {
        const std::string key = AppPaths().registryKey;
        for (const char* name : {"../../../../escaped_profile", "sub/inner", "Révolte_Ёлка_東京"}) {
            TRegistryStore store(AppPaths().registryFile);
            store.Load();
            store.WriteValue(key + "\\profiles\\" + name, RegistryString("ProfileComment", name));
            QVERIFY(store.Save());
        }
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning,
                              "The profile \"../../../../escaped_profile\" of the older settings was not converted");
        TfCorvella4 window;
        QTRY_VERIFY(prompts.Done());
        QVERIFY(prompts.Asked().back().text.contains("The profile \"sub/inner\" of the older settings was not converted"));
        QCOMPARE(Names(window.Profiles()), QStringList({"Révolte_Ёлка_東京"}));
        const QString profiles = DataFolder() + "profiles/";
        QVERIFY(!QFile::exists(profiles + "../../../../escaped_profile.xml"));
        QVERIFY(!QFile::exists(profiles + "sub/inner.xml"));
        QCOMPARE(QDir(profiles).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList({"Révolte_Ёлка_東京.xml"}));
    }

    // A FIFO there hung the start-up in open(), before any window.
    void aStoreThatIsNoFileIsNamedAndLeftAlone()
    {
        const TFifoInPlace fifo(AppPaths().registryFile);
        QVERIFY(fifo.Made());
        LoadProblems().TakeMessage();
        TfCorvella4 window;
        const QString message = QString::fromStdString(LoadProblems().TakeMessage());
        QVERIFY2(message.contains(QString::fromStdString(AppPaths().registryFile) +
                                  " cannot be read (it is a pipe, not a file)"),
                 qPrintable(message));
        QCOMPARE(Names(window.Profiles()), QStringList({"quick_scan"}));
    }

    void aStoreWithoutTheKeyIsLeftAlone()
    {
        TRegistryStore store(AppPaths().registryFile);
        QVERIFY(!ConvertRegistryProfiles(store, AppPaths().registryKey, AppPaths().dataFolder));
        QVERIFY(!QFile::exists(QString::fromStdString(AppPaths().registryFile)));
    }
};

CORVELLA_UI_TEST_MAIN(TestMain)
#include "test_Main.moc"
