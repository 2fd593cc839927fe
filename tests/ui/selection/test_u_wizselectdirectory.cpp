#include "ui/selection/u_wizselectdirectory.h"
#include "tests/ui/model_root_fixture.h"
#include "tests/ui/ui_test_main.h"

#include "ui/trees/u_bwdirtv.h"
#include "ui/selection/u_wizseqselect.h"

#include <QLabel>
#include <QLineEdit>

class TestSelectDirectory : public QObject {
    Q_OBJECT

private slots:
    void theSelectedFolderIsShownAndSavedAsItsModelPath()
    {
        TestModelRoot model;
        model.MakeFolders({"disk/Rock/Live", "disk/Pop"});
        TfrWizSelectDir page(nullptr, &model.Root());
        page.Refresh();
        QCOMPARE(page.Label1->text(), QString("Select a directory:"));
        QCOMPARE(page.pageTitle(), QString("Directory selection"));
        QVERIFY(page.dir->DriveOptions() == (doUser | doDrives | doMPL));

        page.dir->SelectNode(page.dir->FindNode({}, model.Dir("disk/Rock/Live"), false));
        QCOMPARE(page.edtCurrPath->text(), QString::fromStdString(model.PathOf("disk/Rock/Live")));
        QVERIFY(page.edtCurrPath->isReadOnly());
        page.SaveToProfile();
        QCOMPARE(SelectionCriteria.SelDirectory, model.PathOf("disk/Rock/Live"));

        // Loading again reads the model anew: a folder made since shows up.
        model.MakeFolders({"disk/Jazz"});
        page.Refresh();
        QVERIFY(page.dir->FindNode({}, model.Dir("disk/Jazz"), false).isValid());
    }
};

CORVELLA_UI_TEST_MAIN(TestSelectDirectory)
#include "test_u_wizselectdirectory.moc"
