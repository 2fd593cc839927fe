// The main window: the profile list (quick_scan, unreadable profiles, the
// sort rule and its clicks), which actions may run in each state and during
// a scan, Delete's question, Help, the request to come forward, and the
// one-time conversion of the settings store.
#include "ui/Main.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>

#include "base/HUtils.h"
#include "base/platform/u_registrystore.h"
#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "scripted_prompts.h"
#include "ui/u_progress.h"
#include "ui/u_scanmailbox.h"
#include "ui_test_main.h"

namespace {

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
    profile.DirPath = {"/music"};
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

// A scan that runs until it is asked to stop.
class TEndlessWorker : public TScanWorker {
public:
    void Start(const std::vector<std::string>&, ScanMailbox&) override {}
    bool Finished() const override { return stopped_; }
    void RequestStop() override { stopped_ = true; }
    std::string Error() const override { return {}; }
    std::uint64_t StepCount() const override { return 0; }
    TBWDupeFileList& Results() override { return results_; }

private:
    bool stopped_ = false;
    TBWDupeFileList results_;
};

} // namespace

class TestMain : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { InitAppPaths("Brindlewick", "Corvella", "corvella_help.chm"); }
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

    void anUnreadableProfileIsDeletedSilently()
    {
        StoreProfile("good");
        QFile bad(DataFolder() + "profiles/bad.xml");
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("<bwprofile><unclosed>");
        bad.close();
        ScriptedPrompts prompts;  // no question, no message
        TfCorvella4 window;
        QCOMPARE(Names(window.Profiles()), QStringList({"good"}));
        QVERIFY(!QFile::exists(DataFolder() + "profiles/bad.xml"));
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
        TfCorvella4 window([](const TBWCVProfile&) { return std::make_unique<TEndlessWorker>(); });
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

    void deleteAsksFirst()
    {
        StoreProfile("keep_me");
        TfCorvella4 window;
        ScriptedPrompts prompts;
        prompts.ExpectYesNo(false, "Do you really want to delete the profile \"keep_me\"?");
        Action(window, "aDeleteProfile")->trigger();
        QCOMPARE(Names(window.Profiles()), QStringList({"keep_me"}));
        prompts.ExpectYesNo(true);
        Action(window, "aDeleteProfile")->trigger();
        QVERIFY(!QFile::exists(DataFolder() + "profiles/keep_me.xml"));
        QCOMPARE(Names(window.Profiles()), QStringList({"quick_scan"}));
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
        {
            TfCorvella4 window;
            QCOMPARE(Names(window.Profiles()), QStringList({"from_store"}));
            QCOMPARE(window.Profiles().Row(0).comment, std::string("old days"));
        }
        TRegistryStore store(AppPaths().registryFile);
        QVERIFY(store.Load());
        QVERIFY(store.FindValue(key, "ConvertedToXML"));
        QVERIFY(QFile::exists(DataFolder() + "settings.xml"));

        // Done once: the profile deleted since stays deleted.
        QFile::remove(DataFolder() + "profiles/from_store.xml");
        TfCorvella4 again;
        QCOMPARE(Names(again.Profiles()), QStringList({"quick_scan"}));
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
