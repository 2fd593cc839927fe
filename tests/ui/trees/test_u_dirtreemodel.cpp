#include "ui/trees/u_dirtreemodel.h"

#include "tests/ui/model_root_fixture.h"
#include "tests/ui/ui_test_main.h"
#include "ui/trees/u_bwdirtv.h"

#include <QAbstractItemModelTester>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

namespace {

QStringList Captions(const QAbstractItemModel& model, const QModelIndex& parent = {})
{
    QStringList captions;
    for (int row = 0; row < model.rowCount(parent); ++row)
        captions << model.index(row, 0, parent).data().toString();
    return captions;
}

// A model over roots of its own, without a view: only what the test fetches
// is read.
struct ShownRoots {
    TestModelRoot disk;
    TBWDirLink roots;
    int imagesAsked = 0;
    TDirTreeModel model{[this](TBWDirectory*, int& image, int& stateImage) {
                            ++imagesAsked;
                            image = 1;
                            stateImage = -1;
                        },
                        nullptr};

    explicit ShownRoots(const std::vector<std::string>& folders)
    {
        disk.MakeFolders(folders);
        roots.AddDir(disk.Dir("disk"));
        model.SetTop(&roots);
    }
    QModelIndex Child(const QModelIndex& parent, const std::string& folder)
    {
        return model.ChildOf(parent, disk.Dir(folder));
    }
};

}  // namespace

// The model of the directory trees without a tree view.
class TestDirTreeModel : public QObject {
    Q_OBJECT

private slots:
    void theModelHoldsUpUnderTheModelTesterThroughEveryChange()
    {
        ShownRoots shown({"disk/Rock/A", "disk/Rock/B", "disk/Jazz"});
        const QModelIndex disk = shown.model.index(0, 0);
        shown.model.Fill(disk);
        const QModelIndex rock = shown.Child(disk, "disk/Rock");
        shown.model.fetchMore(rock);
        QCOMPARE(Captions(shown.model, rock), QStringList({"A", "B"}));
        // Attached after the first fills, and later insertions hold no
        // folders: this Qt's tester fetches new children while their
        // insertion is still being announced.
        QAbstractItemModelTester tester(&shown.model, QAbstractItemModelTester::FailureReportingMode::QtTest);

        shown.model.InsertDir(rock, shown.disk.Dir("disk/Jazz"), 1);
        QCOMPARE(Captions(shown.model, rock), QStringList({"A", "Jazz", "B"}));
        shown.model.RemoveNode(shown.model.index(0, 0, rock));
        QCOMPARE(Captions(shown.model, rock), QStringList({"Jazz", "B"}));
        // The directory still lists two: nothing to read again.
        shown.model.FillAgainIfStale(rock);
        QCOMPARE(Captions(shown.model, rock), QStringList({"Jazz", "B"}));
        shown.model.RefreshImages(rock);
    }

    void aLevelIsReadOnlyWhenFetchedAndCountedBefore()
    {
        ShownRoots shown({"disk/Rock/A", "disk/Jazz"});
        const QModelIndex disk = shown.model.index(0, 0);
        QCOMPARE(shown.model.rowCount(disk), 0);
        QVERIFY(shown.model.hasChildren(disk));
        QVERIFY(shown.model.canFetchMore(disk));
        QSignalSpy inserted(&shown.model, &QAbstractItemModel::rowsInserted);
        shown.model.fetchMore(disk);
        shown.model.fetchMore(disk);
        QCOMPARE(inserted.count(), 1);
        QVERIFY(!shown.model.canFetchMore(disk));
        const QModelIndex jazz = shown.Child(disk, "disk/Jazz");
        QVERIFY(!shown.model.hasChildren(jazz));
        QVERIFY(!shown.model.canFetchMore(jazz));
        QVERIFY(!shown.model.Filling());

        // Dropped, the level is read again on the next fetch. (Not under the
        // tester: this Qt's tester fetches while the removal is announced.)
        const QModelIndex rock = shown.Child(disk, "disk/Rock");
        shown.model.fetchMore(rock);
        QSignalSpy removed(&shown.model, &QAbstractItemModel::rowsRemoved);
        shown.model.Unfill(rock);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(shown.model.rowCount(rock), 0);
        QVERIFY(shown.model.canFetchMore(rock));
        shown.model.FillAgainIfStale(rock);
        QCOMPARE(Captions(shown.model, rock), QStringList({"A"}));
    }

    void aRootShowsItsWholePathAndAChildItsNameWithThePathAsTip()
    {
        const std::string folderName = "disk/Ünïcode Ёлка 音楽";
        ShownRoots shown({folderName + "/Ж"});
        shown.roots.AddDir(shown.disk.Dir(folderName));
        shown.model.SetTop(&shown.roots);
        // A drive is named as the model names it.
        QCOMPARE(shown.model.index(0, 0).data().toString(),
                 QString::fromStdString(shown.disk.Dir("disk")->DisplayName()));
        const QModelIndex folder = shown.model.index(1, 0);
        QString folderPath = QString::fromStdString(shown.disk.PathOf(folderName));
        folderPath.chop(1);
        QCOMPARE(folder.data().toString(), folderPath);
        shown.model.Fill(folder);
        const QModelIndex child = shown.model.index(0, 0, folder);
        QCOMPARE(child.data().toString(), QString("Ж"));
        QCOMPARE(child.data(Qt::ToolTipRole).toString(), folderPath + "/Ж");
        QCOMPARE(shown.model.NodeOf(shown.disk.Dir(folderName + "/Ж")), child);
    }

    void aDraggedNodeCarriesItsModelPath()
    {
        ShownRoots shown({"disk/Rock"});
        const QModelIndex disk = shown.model.index(0, 0);
        QVERIFY(shown.model.flags(disk) & Qt::ItemIsDragEnabled);
        std::unique_ptr<QMimeData> data(shown.model.mimeData({disk}));
        QCOMPARE(data->data(DirectoryMimeType).toStdString(), shown.disk.Dir("disk")->Path());
        QVERIFY(!shown.model.mimeData({QModelIndex()}));
    }
};

CORVELLA_UI_TEST_MAIN(TestDirTreeModel)
#include "test_u_dirtreemodel.moc"
