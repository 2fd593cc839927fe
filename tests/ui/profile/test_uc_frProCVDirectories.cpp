#include "engine/u_cvprofile.h"
#include "tests/ui/model_root_fixture.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/common/u_pictures.h"
#include "ui/profile/uc_frProCVDirectories.h"
#include "tests/ui/ui_test_main.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

namespace {

// The page over a disk with Rock (A, B), Jazz and Pop, the profile holding
// Rock and Jazz; the current profile starts empty for every test.
struct PageOnScreen {
    PageOnScreen()
    {
        CurrentProfile().AssignSettings(TBWCVProfile());
        CurrentProfile().ClearDirPriorities();
        model.MakeFolders({"disk/Rock/A", "disk/Rock/B", "disk/Jazz", "disk/Pop"});
        CurrentProfile().DirPath = {model.PathOf("disk/Rock"), model.PathOf("disk/Jazz")};
        page = std::make_unique<TfrcProCVDirectories>(nullptr, &model.Root());
        changes = std::make_unique<QSignalSpy>(page.get(), &TfrpProfile::pageChanged);
        page->Refresh();
    }

    int Role(const std::string& folder) const { return CurrentProfile().GetDirPriority(model.PathOf(folder)); }

    // Selects the folder in the computer's tree, filling the way to it.
    void PickOnComputer(const std::string& folder) { page->de->SelectNode(page->de->FindNode({}, model.Dir(folder), false)); }

    QModelIndex Shown(const std::string& folder)
    {
        return page->tvAdd->FindNode({}, model.Dir(folder), false);
    }

    void SelectShown(const std::string& folder) { page->tvAdd->SelectNode(Shown(folder)); }

    QImage ShownImage(const std::string& folder)
    {
        return Shown(folder).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
    }

    void Trigger(QMenu* menu, const char* item) { menu->findChild<QAction*>(item)->trigger(); }

    std::vector<std::string> Roots() const
    {
        std::vector<std::string> roots;
        for (int index = 0; index < page->tvAdd->Roots().DirCount(); ++index)
            roots.push_back(page->tvAdd->Roots().DirAt(index)->Path());
        return roots;
    }

    TestModelRoot model;
    std::unique_ptr<TfrcProCVDirectories> page;
    std::unique_ptr<QSignalSpy> changes;
};

QImage RoleMark(int role)
{
    return dmCentral->PriIL.Pixmap(RoleImage(role)).toImage();
}

}  // namespace

class TestDirectoriesPage : public QObject {
    Q_OBJECT

private slots:
    void loadingShowsTheProfilesDirectoriesWithoutAChange()
    {
        PageOnScreen shown;
        QCOMPARE(shown.page->helpTopic(), QString("directories.htm"));
        QCOMPARE(shown.Roots(), std::vector<std::string>({shown.model.PathOf("disk/Rock"), shown.model.PathOf("disk/Jazz")}));
        QCOMPARE(shown.changes->count(), 0);
        // The computer shows the drive; a second load shows the same roots.
        QCOMPARE(shown.page->de->Roots().DirCount() > 0, true);
        shown.page->Refresh();
        QCOMPARE(shown.Roots().size(), std::size_t(2));
    }

    void theAddButtonAddsAnUncoveredDirectoryAndRescuesAnExcludedOne()
    {
        PageOnScreen shown;
        CurrentProfile().SetDirPriority(shown.model.PathOf("disk/Pop"), dtExcluded);
        shown.PickOnComputer("disk/Pop");
        shown.page->BitBtn1->click();
        QCOMPARE(shown.Roots().back(), shown.model.PathOf("disk/Pop"));
        QCOMPARE(shown.Role("disk/Pop"), int(dtPriority3));
        QCOMPARE(shown.changes->count(), 1);
        shown.page->SaveToProfile();
        QCOMPARE(CurrentProfile().DirPath.size(), std::size_t(3));
    }

    void addingACoveredDirectoryOnlySelectsItAndKeepsItsRole_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("add button") << "";
        QTest::newRow("add with priority 5") << "Adddirectorywithpriority51";
    }

    void addingACoveredDirectoryOnlySelectsItAndKeepsItsRole()
    {
        QFETCH(QString, action);
        PageOnScreen shown;
        CurrentProfile().SetDirPriority(shown.model.PathOf("disk/Rock/A"), dtExcluded);
        const auto rolesBefore = CurrentProfile().DirPri();
        shown.PickOnComputer("disk/Rock/A");
        if (action.isEmpty())
            shown.page->BitBtn1->click();
        else
            shown.Trigger(shown.page->pmDrive, qPrintable(action));
        QCOMPARE(shown.Roots().size(), std::size_t(2));
        QCOMPARE(CurrentProfile().DirPri(), rolesBefore);
        QCOMPARE(shown.page->tvAdd->SelectedPath(), shown.model.PathOf("disk/Rock/A"));
        QCOMPARE(shown.changes->count(), 0);
    }

    void theMenusAndTheHelpLineSayWhichPriorityIsHighest()
    {
        PageOnScreen shown;
        QCOMPARE(shown.page->findChild<QAction*>("Adddirectorywithpriority51")->text(),
                 QString("Add directory with priority &5 (highest)"));
        QCOMPARE(shown.page->findChild<QAction*>("Adddirectorywithpriority11")->text(),
                 QString("Add directory with priority &1 (lowest)"));
        QCOMPARE(shown.page->findChild<QAction*>("MenuItem5")->text(), QString("Set directory to priority &5 (highest)"));
        QCOMPARE(shown.page->findChild<QAction*>("MenuItem1")->text(), QString("Set directory to priority &1 (lowest)"));
        QVERIFY(shown.page->findChild<QLabel*>("Label4")->text().contains("Priority 5 is the highest, 1 the lowest"));
    }

    void theAddMenuGivesTheRoleOfItsItem_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<int>("role");
        QTest::newRow("priority 1") << "Adddirectorywithpriority11" << int(dtPriority1);
        QTest::newRow("priority 5") << "Adddirectorywithpriority51" << int(dtPriority5);
        QTest::newRow("reference") << "Adddirectorywithreferencepriority1" << int(dtReference);
    }

    void theAddMenuGivesTheRoleOfItsItem()
    {
        QFETCH(QString, item);
        QFETCH(int, role);
        PageOnScreen shown;
        shown.PickOnComputer("disk/Pop");
        shown.Trigger(shown.page->pmDrive, qPrintable(item));
        QCOMPARE(shown.Roots().back(), shown.model.PathOf("disk/Pop"));
        QCOMPARE(shown.Role("disk/Pop"), role);
        QCOMPARE(shown.ShownImage("disk/Pop"), RoleMark(role));
    }

    void rolesAreSetByMenuAndByKeyAndShownByTheirMarks_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("role");
        QTest::newRow("key 1") << "1" << int(dtPriority1);
        QTest::newRow("key 5") << "5" << int(dtPriority5);
        QTest::newRow("key r") << "r" << int(dtReference);
        QTest::newRow("key X") << "X" << int(dtExcluded);
        QTest::newRow("menu priority 2") << "MenuItem2" << int(dtPriority2);
        QTest::newRow("menu reference") << "MenuItem6" << int(dtReference);
        QTest::newRow("menu exclude") << "Excludedirectory1" << int(dtExcluded);
        QTest::newRow("remove button below a root") << "BitBtn2" << int(dtExcluded);
    }

    void rolesAreSetByMenuAndByKeyAndShownByTheirMarks()
    {
        QFETCH(QString, input);
        QFETCH(int, role);
        PageOnScreen shown;
        shown.SelectShown("disk/Rock/A");
        shown.page->tvAdd->expand(shown.Shown("disk/Rock/A"));
        if (input.size() == 1)
            QTest::keyClicks(shown.page->tvAdd, input);
        else if (input == "BitBtn2")
            shown.page->BitBtn2->click();
        else
            shown.Trigger(shown.page->pmDir, qPrintable(input));
        QCOMPARE(shown.Role("disk/Rock/A"), role);
        QCOMPARE(shown.Role("disk/Rock/B"), int(dtPriority3));
        QCOMPARE(shown.ShownImage("disk/Rock/A"), RoleMark(role));
        QCOMPARE(shown.changes->count(), 1);
        QCOMPARE(shown.Roots().size(), std::size_t(2));
    }

    void anotherKeyDoesNothingAndKeepsTheSelection()
    {
        PageOnScreen shown;
        shown.SelectShown("disk/Rock/B");
        QTest::keyClicks(shown.page->tvAdd, "aj");
        QCOMPARE(shown.page->tvAdd->SelectedPath(), shown.model.PathOf("disk/Rock/B"));
        QCOMPARE(shown.changes->count(), 0);
        QCOMPARE(CurrentProfile().DirPri().size(), std::size_t(0));
    }

    void removingARootDropsItAndItsRoles()
    {
        PageOnScreen shown;
        CurrentProfile().SetDirPriority(shown.model.PathOf("disk/Rock/A"), dtReference);
        CurrentProfile().SetDirPriority(shown.model.PathOf("disk/Jazz"), dtPriority5);
        shown.SelectShown("disk/Rock");
        shown.page->BitBtn2->click();
        QCOMPARE(shown.Roots(), std::vector<std::string>({shown.model.PathOf("disk/Jazz")}));
        QCOMPARE(shown.changes->count(), 1);
        shown.page->SaveToProfile();
        QCOMPARE(CurrentProfile().DirPath, std::vector<std::string>({shown.model.PathOf("disk/Jazz")}));
        QCOMPARE(shown.Role("disk/Rock/A"), int(dtPriority3));
        QCOMPARE(shown.Role("disk/Jazz"), int(dtPriority5));
    }

    void resettingForgetsEveryRole()
    {
        PageOnScreen shown;
        CurrentProfile().SetDirPriority(shown.model.PathOf("disk/Jazz"), dtExcluded);
        shown.Trigger(shown.page->pmDir, "Resetallprioritytodefault1");
        QCOMPARE(CurrentProfile().DirPri().size(), std::size_t(0));
        QCOMPARE(shown.ShownImage("disk/Jazz"), RoleMark(dtPriority3));
        QCOMPARE(shown.changes->count(), 1);
    }

    void directoriesAndRolesAreStoredInTheProfileFileAndReadBack()
    {
        QTemporaryDir data;
        std::string pop;
        {
            PageOnScreen shown;
            shown.PickOnComputer("disk/Pop");
            shown.Trigger(shown.page->pmDrive, "Adddirectorywithreferencepriority1");
            shown.SelectShown("disk/Rock/B");
            QTest::keyClicks(shown.page->tvAdd, "x");
            shown.page->SaveToProfile();
            pop = shown.model.PathOf("disk/Pop");
            TBWCVProfile stored(data.path().toStdString());
            stored.NewProfile();
            stored.AssignSettings(CurrentProfile());
            stored.SetProfileName("dirs");
            QVERIFY(stored.SaveProfile());
        }
        TBWCVProfile read(data.path().toStdString());
        QVERIFY(read.LoadProfile("dirs"));
        QCOMPARE(read.DirPath.size(), std::size_t(3));
        QCOMPARE(read.DirPath.back(), pop);
        QCOMPARE(read.GetDirPriority(pop), int(dtReference));
        QCOMPARE(read.DirPri().size(), std::size_t(2));
        QCOMPARE(read.DirPri().back().number, int(dtExcluded));
    }
};

CORVELLA_UI_TEST_MAIN(TestDirectoriesPage)
#include "test_uc_frProCVDirectories.moc"
