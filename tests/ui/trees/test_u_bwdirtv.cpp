#include "model/u_bwfsmpl.h"
#include "tests/ui/item_clicks.h"
#include "tests/ui/model_root_fixture.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/common/u_pictures.h"
#include "tests/ui/ui_test_main.h"

#include <QAbstractItemModelTester>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QThread>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace {

QStringList Captions(const QAbstractItemModel* model, const QModelIndex& parent = {})
{
    QStringList captions;
    for (int row = 0; row < model->rowCount(parent); ++row)
        captions << model->index(row, 0, parent).data().toString();
    return captions;
}

QModelIndex ChildNamed(const QAbstractItemModel* model, const QString& caption, const QModelIndex& parent = {})
{
    for (int row = 0; row < model->rowCount(parent); ++row)
        if (model->index(row, 0, parent).data().toString() == caption)
            return model->index(row, 0, parent);
    return {};
}

// The trees hear of changes through queued calls.
void DeliverNotices()
{
    QCoreApplication::processEvents();
}

// Offers the source's node to the target as a drag and drop would.
bool DropOnto(TBWDirTV& target, const QMimeData* data)
{
    const QPoint point(5, 5);
    QDragEnterEvent enter(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target.viewport(), &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(point, Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target.viewport(), &drop);
    return drop.isAccepted();
}

// The image indexes a tree's rules gave, by caption.
std::map<QString, std::pair<int, int>> ImagesByCaption(TBWDirTV& tree)
{
    std::map<QString, std::pair<int, int>> images;
    tree.OnDirImage = [&images](TBWDirectory* dir, TImageIndexType type, int& index) {
        auto& entry = images[QString::fromStdString(dir->DisplayName())];
        (type == itImage ? entry.first : entry.second) = index;
    };
    tree.UpdateImages({});
    tree.OnDirImage = nullptr;
    return images;
}

// The list "Discs" with volumes copied from the folder disk/cd (which holds
// Album when asked), shown expanded in a list tree.
struct ListOnScreen {
    ListOnScreen(std::initializer_list<const char*> volumes, bool withAlbum)
    {
        model.MakeFolders({withAlbum ? "disk/cd/Album" : "disk/cd"});
        list = model.Manager().NewList("Discs", false);
        cd = model.Dir("disk/cd");
        for (const char* name : volumes)
            list->AddVolume(name, cd);
        lists = std::make_unique<TBWMPLTV>(nullptr, &model.Root());
        discs = lists->model()->index(0, 0);
        lists->expand(discs);
    }

    QStringList Volumes() const { return Captions(lists->model(), discs); }

    TestModelRoot model;
    TBWDirMpl* list;
    TBWDirectory* cd;
    std::unique_ptr<TBWMPLTV> lists;
    QModelIndex discs;
};

}  // namespace

class TestDirTreeViews : public QObject {
    Q_OBJECT

    // The user folders the desktop made, by their XDG names in the test's home.
    static void MakeUserFolders(const QStringList& names)
    {
        for (const char* name : {"Desktop", "Documents", "Music", "Musik"})
            QDir(QDir::homePath() + "/" + name).removeRecursively();
        for (const QString& name : names)
            QVERIFY(QDir().mkpath(QDir::homePath() + "/" + name));
    }

private slots:
    void init() { MakeUserFolders({"Desktop", "Documents", "Music"}); }

    void theModelHoldsUpUnderTheModelTester()
    {
        TestModelRoot model;
        model.MakeFolders({"disk/Rock/A/x", "disk/Rock/B", "disk/Jazz", "disk/cd"});
        TBWDirMpl* list = model.Manager().NewList("Discs", false);
        TBWDirectory* cd = model.Dir("disk/cd");
        list->AddVolume("Vol1", cd);
        TBWDriveTV tree(nullptr, &model.Root());
        tree.SetDriveOptions(doDrives | doMPL);
        // Attached after the first fill, and later volumes hold no folders:
        // this Qt's tester fetches new children while their insertion is still
        // being announced, and then takes its own fetch for a nested change.
        QAbstractItemModelTester tester(tree.model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        tree.expandAll();
        list->AddVolume("Vol2", cd);
        model.Manager().NewList("Second", false);
        DeliverNotices();
        tree.collapseAll();
        list->AddVolume("Vol3", cd);
        DeliverNotices();
        tree.expandAll();
        list->FindChild("Vol1")->Delete();
        DeliverNotices();
        model.Manager().DeleteList(list);
        DeliverNotices();
        QCOMPARE(Captions(tree.model()).last(), QString("Second"));
    }

    void aNodeFillsOnceWhenExpandedAndAFolderNamedLikeAPlaceholderOpens()
    {
        TestModelRoot model;
        model.MakeFolders({"disk/Rock/A", "disk/Rock/B", "disk/Jazz", "disk/bidon/inside"});
        TBWDirTV tree(nullptr, &model.Root());
        QAbstractItemModel* nodes = tree.model();
        QVERIFY(tree.AddDirectory(model.Dir("disk")));
        tree.Rebuild();
        const QModelIndex disk = nodes->index(0, 0);
        tree.expand(disk);
        QCOMPARE(Captions(nodes, disk), QStringList({"bidon", "Jazz", "Rock"}));

        const QModelIndex rock = ChildNamed(nodes, "Rock", disk);
        QVERIFY(nodes->hasChildren(rock));
        QCOMPARE(nodes->rowCount(rock), 0);
        QVERIFY(!nodes->hasChildren(ChildNamed(nodes, "Jazz", disk)));
        QSignalSpy fills(nodes, &QAbstractItemModel::rowsInserted);
        tree.expand(rock);
        tree.collapse(rock);
        tree.expand(rock);
        QCOMPARE(fills.count(), 1);
        QCOMPARE(Captions(nodes, rock), QStringList({"A", "B"}));

        const QModelIndex bidon = ChildNamed(nodes, "bidon", disk);
        tree.expand(bidon);
        QCOMPARE(Captions(nodes, bidon), QStringList({"inside"}));
    }

    void addingACoveredDirectorySelectsItAndAddsNothing()
    {
        TestModelRoot model;
        model.MakeFolders({"disk/Rock/A/Live", "disk/Jazz"});
        TBWDirTV tree(nullptr, &model.Root());
        QSignalSpy rootChanges(&tree, &TBWDirTV::dirChange);
        QVERIFY(tree.AddPath(model.PathOf("disk/Rock")));
        tree.Rebuild();
        QCOMPARE(rootChanges.count(), 1);

        QVERIFY(!tree.AddDirectory(model.Dir("disk/Rock/A/Live")));
        QCOMPARE(rootChanges.count(), 1);
        QCOMPARE(tree.SelectedPath(), model.PathOf("disk/Rock/A/Live"));
        QCOMPARE(tree.SelectedDirectory(), model.Dir("disk/Rock/A/Live"));
        QVERIFY(!tree.AddDirectory(nullptr));

        // A path not yet in the model is made there.
        QVERIFY(tree.AddPath(model.PathOf("disk/Jazz/Cool")));
        QCOMPARE(tree.Roots().DirCount(), 2);
        QCOMPARE(tree.Roots().DirAt(1)->Path(), model.PathOf("disk/Jazz/Cool"));

        // Removing a subdirectory's selection removes its root.
        tree.RemoveSelectedRoot();
        QCOMPARE(rootChanges.count(), 3);
        QCOMPARE(tree.Roots().DirCount(), 1);
        QCOMPARE(tree.Roots().DirAt(0)->Path(), model.PathOf("disk/Jazz/Cool"));
    }

    void driveOptionsChooseTheRoots_data()
    {
        QTest::addColumn<int>("options");
        QTest::addColumn<QStringList>("roots");
        QTest::newRow("drives") << int(doDrives) << QStringList({"disk"});
        QTest::newRow("user folders, no other special folder") << int(doUser)
                                                              << QStringList({"Desktop", "Documents", "Music"});
        QTest::newRow("lists") << int(doMPL) << QStringList({"Rock"});
        QTest::newRow("all") << int(doUser | doDrives | doMPL)
                             << QStringList({"Desktop", "Documents", "Music", "disk", "Rock"});
    }

    void driveOptionsChooseTheRoots()
    {
        QFETCH(int, options);
        QFETCH(QStringList, roots);
        TestModelRoot model;
        model.Manager().NewList("Rock", false);
        TBWDriveTV tree(nullptr, &model.Root());
        tree.SetDriveOptions(options);
        QStringList shown = Captions(tree.model());
        for (QString& caption : shown)
            if (caption == QString::fromStdString(model.PathOf("disk") + " [LABEL]"))
                caption = "disk";
        QCOMPARE(shown, roots);
    }

    void onlyUserFoldersThatExistAreOfferedUnderTheirOwnNames()
    {
        MakeUserFolders({"Desktop", "Musik"});
        QFile dirs(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME")) + "/user-dirs.dirs");
        QVERIFY(dirs.open(QIODevice::WriteOnly));
        dirs.write("XDG_MUSIC_DIR=\"$HOME/Musik\"\n");
        dirs.close();
        TestModelRoot model;
        TBWDriveTV tree(nullptr, &model.Root());
        tree.SetDriveOptions(doUser);
        QCOMPARE(Captions(tree.model()), QStringList({"Desktop", "Musik"}));
        QCOMPARE(tree.model()->index(1, 0).data(Qt::ToolTipRole).toString(), QDir::homePath() + "/Musik");
        QVERIFY(dirs.remove());
    }

    void aRootShowsItsWholePathAndALongNameScrollsSideways()
    {
        TestModelRoot model;
        const std::string longName(120, 'x');
        model.MakeFolders({"disk/music/" + longName});
        TBWDirTV tree(nullptr, &model.Root());
        QVERIFY(tree.AddDirectory(model.Dir("disk/music")));
        QVERIFY(tree.AddPath("%mymusic%/"));
        tree.Rebuild();
        // A user folder chosen as a root shows where it is, too.
        QCOMPARE(tree.model()->index(1, 0).data().toString(), QDir::homePath() + "/Music");
        tree.resize(500, 300);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        const QModelIndex root = tree.model()->index(0, 0);
        const QString path = QString::fromStdString(model.PathOf("disk/music"));
        QCOMPARE(root.data().toString() + "/", path);
        QCOMPARE(root.data(Qt::ToolTipRole).toString() + "/", path);
        // Short names: the one column spans the tree, and nothing scrolls.
        QTRY_COMPARE(tree.columnWidth(0), tree.viewport()->width());
        QCOMPARE(tree.horizontalScrollBar()->maximum(), 0);
        tree.expand(root);
        const QModelIndex child = tree.model()->index(0, 0, root);
        QCOMPARE(child.data().toString(), QString::fromStdString(longName));
        QTRY_VERIFY(tree.horizontalScrollBar()->maximum() > 0);
        QVERIFY(tree.columnWidth(0) > tree.fontMetrics().horizontalAdvance(QString::fromStdString(longName)));
    }

    // A line break or a tab in a folder's name shows as its mark, in the
    // caption and the tooltip; a click still gives the folder's real path.
    void controlCharactersInNamesShowAsMarksWhileThePathKeepsThem()
    {
        TestModelRoot model;
        model.MakeFolders({"disk/music/bad\nname", "disk/music/Ёлка\t東京"});
        TBWDirTV tree(nullptr, &model.Root());
        QVERIFY(tree.AddDirectory(model.Dir("disk/music")));
        tree.Rebuild();
        tree.resize(400, 300);
        tree.show();
        QVERIFY(QTest::qWaitForWindowExposed(&tree));
        const QModelIndex root = tree.model()->index(0, 0);
        tree.expand(root);
        QCOMPARE(Captions(tree.model(), root), QStringList({"bad\u23CEname", "Ёлка\u21E5東京"}));
        const QModelIndex odd = ChildNamed(tree.model(), "bad\u23CEname", root);
        QVERIFY(odd.data(Qt::ToolTipRole).toString().endsWith("/music/bad\u23CEname"));
        ClickItem(tree, odd);
        QCOMPARE(tree.SelectedPath(), model.PathOf("disk/music/bad\nname"));
    }

    void imagesFollowTheKindOfEachDirectory()
    {
        TestModelRoot model;
        model.AddDrive("stick", dkRemovable);
        model.AddDrive("dvd", dkOptical);
        model.MakeFolders({"disk/Rock"});
        TBWDirMpl* list = model.Manager().NewList("Discs", false);
        model.MakeFolders({"disk/cd/Album"});
        list->AddVolume("Vol1", model.Dir("disk/cd"));

        TBWDriveTV drives(nullptr, &model.Root());
        drives.SetDriveOptions(doUser | doDrives | doMPL);
        drives.expand(drives.model()->index(3, 0));
        auto images = ImagesByCaption(drives);
        QCOMPARE(images["Desktop"].first, int(diDesktop));
        QCOMPARE(images["My Documents"].first, int(diDocuments));
        QCOMPARE(images["My Music"].first, int(diFolder));
        QCOMPARE(images[QString::fromStdString(model.PathOf("disk") + " [LABEL]")].first, int(diFixedDrive));
        QCOMPARE(images[QString::fromStdString(model.PathOf("stick") + " [LABEL]")].first, int(diRemovableDrive));
        QCOMPARE(images[QString::fromStdString(model.PathOf("dvd") + " [LABEL]")].first, int(diCDROMDrive));
        QCOMPARE(images["Rock"].first, int(diFolder));
        QCOMPARE(images["Discs"], std::make_pair(int(diMp3List), -1));

        TBWMPLTV lists(nullptr, &model.Root());
        lists.expandAll();
        images = ImagesByCaption(lists);
        QCOMPARE(images["Discs"], std::make_pair(int(diMp3List), int(siModified)));
        QCOMPARE(images["Vol1"], std::make_pair(int(diVolume), -1));
        QCOMPARE(images["Album"], std::make_pair(int(diFolder), -1));
    }

    void listsComeAndGoInEveryListTreeAndTheSelectionMovesToANeighbour()
    {
        TestModelRoot model;
        model.Manager().NewList("Jazz", false);
        TBWMPLTV lists(nullptr, &model.Root());
        TBWDriveTV drives(nullptr, &model.Root());
        drives.SetDriveOptions(doDrives | doMPL);

        TBWDirMpl* rock = model.Manager().NewList("Rock", false);
        DeliverNotices();
        QCOMPARE(Captions(lists.model()), QStringList({"Jazz", "Rock"}));
        QCOMPARE(Captions(drives.model()).last(), QString("Rock"));

        lists.SelectNode(lists.model()->index(1, 0));
        model.Manager().DeleteList(rock);
        DeliverNotices();
        QCOMPARE(Captions(lists.model()), QStringList({"Jazz"}));
        QCOMPARE(Captions(drives.model()).contains("Rock"), false);
        QCOMPARE(lists.SelectedPath(), std::string("@Jazz/"));
        QCOMPARE(lists.Roots().DirCount(), 1);
    }

    void aRemovedListLeavesNoRootPointingIntoIt()
    {
        TestModelRoot model;
        model.MakeFolders({"disk/cd/Album"});
        TBWDirMpl* list = model.Manager().NewList("Discs", false);
        TBWDirectory* volume = list->AddVolume("Vol1", model.Dir("disk/cd"));
        TBWDirTV tree(nullptr, &model.Root());
        tree.AddDirectory(volume);
        tree.AddPath(model.PathOf("disk"));
        tree.Rebuild();
        model.Manager().DeleteList(list);
        DeliverNotices();
        QCOMPARE(tree.Roots().DirCount(), 1);
        QCOMPARE(tree.Roots().DirAt(0)->Path(), model.PathOf("disk"));
        QCOMPARE(tree.model()->rowCount(), 1);
    }

    void aDirectoryAddedUnderACollapsedNodeLeavesItCollapsedAndUnfilled()
    {
        ListOnScreen shown({"Vol1"}, true);
        shown.lists->collapse(shown.discs);
        shown.list->AddVolume("Vol2", shown.cd);
        DeliverNotices();
        QVERIFY(!shown.lists->isExpanded(shown.discs));
        QCOMPARE(shown.lists->model()->rowCount(shown.discs), 0);
        QVERIFY(shown.lists->model()->hasChildren(shown.discs));
        shown.lists->expand(shown.discs);
        QCOMPARE(shown.Volumes(), QStringList({"Vol1", "Vol2"}));
    }

    void betweenBeginAndEndUpdateTheTreeIgnoresTheModelAndRebuildsOnceAtTheEnd()
    {
        ListOnScreen shown({"Vol1"}, false);
        shown.lists->BeginUpdate();
        QVERIFY(shown.lists->Busy());
        shown.list->AddVolume("Vol2", shown.cd);
        DeliverNotices();
        QCOMPARE(shown.Volumes(), QStringList({"Vol1"}));
        shown.lists->EndUpdate();
        QVERIFY(!shown.lists->Busy());
        const QModelIndex discs = shown.lists->model()->index(0, 0);
        shown.lists->expand(discs);
        QCOMPARE(Captions(shown.lists->model(), discs), QStringList({"Vol1", "Vol2"}));
    }

    void aRightClickSelectsTheNodeUnderTheMouseBeforeTheMenuOpens()
    {
        ListOnScreen shown({"Vol1", "Vol2"}, false);
        QMenu menu;
        menu.addAction("act");
        shown.lists->SetPopupMenu(&menu);
        shown.lists->resize(200, 200);
        shown.lists->show();
        const QModelIndex second = shown.lists->model()->index(1, 0, shown.discs);
        const QPoint point = shown.lists->visualRect(second).center();
        QContextMenuEvent click(QContextMenuEvent::Mouse, point, shown.lists->viewport()->mapToGlobal(point));
        QApplication::sendEvent(shown.lists->viewport(), &click);
        QCOMPARE(shown.lists->SelectedPath(), std::string("@Discs/Vol2/"));
        QVERIFY(menu.isVisible());
        menu.hide();
    }

    void aClickReportsTheClickedNodeAsTheSelection()
    {
        ListOnScreen shown({"Vol1", "Vol2"}, false);
        TBWMPLTV& lists = *shown.lists;
        lists.resize(200, 200);
        lists.show();
        // What a listener reads when it hears of the change, as the editor
        // and the wizards' pages do.
        std::vector<std::string> reported;
        connect(&lists, &TBWDirTV::selectionChange, this, [&] { reported.push_back(lists.SelectedPath()); });
        ClickItem(lists, ChildNamed(lists.model(), "Vol1", shown.discs));
        ClickItem(lists, ChildNamed(lists.model(), "Discs"));
        ClickItem(lists, ChildNamed(lists.model(), "Vol2", shown.discs));
        QCOMPARE(reported, (std::vector<std::string>{"@Discs/Vol1/", "@Discs/", "@Discs/Vol2/"}));
    }

    void aNoticeFromAnotherThreadUpdatesTheTreeOnTheWindowThread()
    {
        ListOnScreen shown({"Vol1"}, true);
        QThread* insertedOn = nullptr;
        connect(shown.lists->model(), &QAbstractItemModel::rowsInserted, this,
                [&insertedOn] { insertedOn = QThread::currentThread(); }, Qt::DirectConnection);

        std::thread worker([&] { shown.list->AddVolume("Vol2", shown.cd); });
        worker.join();
        QCOMPARE(shown.Volumes(), QStringList({"Vol1"}));
        QTRY_COMPARE(shown.Volumes(), QStringList({"Vol1", "Vol2"}));
        QCOMPARE(insertedOn, QThread::currentThread());
    }

    void removingTheSelectedNodeSelectsTheNextElseThePreviousSibling()
    {
        ListOnScreen shown({"V1", "V2", "V3"}, false);
        TBWMPLTV& lists = *shown.lists;
        lists.SelectNode(ChildNamed(lists.model(), "V1", shown.discs));
        shown.list->FindChild("V1")->Delete();
        DeliverNotices();
        QCOMPARE(lists.SelectedPath(), std::string("@Discs/V2/"));
        lists.SelectNode(ChildNamed(lists.model(), "V3", shown.discs));
        shown.list->FindChild("V3")->Delete();
        DeliverNotices();
        QCOMPARE(lists.SelectedPath(), std::string("@Discs/V2/"));
        QCOMPARE(shown.Volumes(), QStringList({"V2"}));
    }

    void aDirectoryDraggedFromOneTreeBecomesARootOfAnother()
    {
        TestModelRoot model;
        model.MakeFolders({"disk/Rock/A"});
        TBWDriveTV source(nullptr, &model.Root());
        source.SetDriveOptions(doDrives);
        const QModelIndex disk = source.model()->index(0, 0);
        source.expand(disk);
        const std::unique_ptr<QMimeData> dragged(source.model()->mimeData({ChildNamed(source.model(), "Rock", disk)}));

        TBWDirTV target(nullptr, &model.Root());
        QVERIFY(!DropOnto(target, dragged.get()));
        QCOMPARE(target.Roots().DirCount(), 0);
        TBWDriveTV drives(nullptr, &model.Root());
        drives.SetAcceptDrag(true);
        QVERIFY(!DropOnto(drives, dragged.get()));

        target.SetAcceptDrag(true);
        QSignalSpy rootChanges(&target, &TBWDirTV::dirChange);
        QVERIFY(DropOnto(target, dragged.get()));
        QCOMPARE(rootChanges.count(), 1);
        QCOMPARE(Captions(target.model()), QStringList({QString::fromStdString(model.PathOf("disk/Rock")).chopped(1)}));
        QCOMPARE(target.DirectoryAt(target.model()->index(0, 0)), model.Dir("disk/Rock"));

        QMimeData foreign;
        foreign.setText(QString::fromStdString(model.PathOf("disk")));
        QVERIFY(!DropOnto(target, &foreign));
    }
};

CORVELLA_UI_TEST_MAIN(TestDirTreeViews)
#include "test_u_bwdirtv.moc"
