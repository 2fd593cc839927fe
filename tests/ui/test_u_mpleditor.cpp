#include "mpl_test_folders.h"
#include "scripted_prompts.h"
#include "ui/u_mpleditor.h"
#include "ui_test_main.h"

#include <QPushButton>
#include <QTimer>

#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/u_progress.h"

class TestMplEditor : public QObject {
    Q_OBJECT

    TempDisc disc_;

private slots:
    void aDiscIsReadWithTheProgressWindowWhoseCancelAddsNothing()
    {
        TempListFolder lists;
        TBWDirMpl* list = MplManager().NewList("Rock", false);
        TBWDirectory* disc = FSDrive().FindDir(disc_.Path() + "/", true);
        QVERIFY(AddVolumeToMpl(list, disc, "CD1"));
        QVERIFY(!ProgressActive());
        QCOMPARE(list->FindChild("CD1")->FindChild("Live")->Files()->Count(), 3);

        // Cancel is pressed as soon as the progress window offers it.
        bool pressed = false;
        QTimer pressCancel;
        connect(&pressCancel, &QTimer::timeout, [&] {
            auto* cancel = ProgressActive() ? ShowProgress().findChild<QPushButton*>("bCancel") : nullptr;
            if (cancel && cancel->isVisible() && !pressed) {
                pressed = true;
                cancel->click();
            }
        });
        pressCancel.start(0);
        QVERIFY(!AddVolumeToMpl(list, disc, "CD2"));
        QVERIFY(pressed);
        QVERIFY(!ProgressActive());
        QCOMPARE(list->DirCount(), 1);
    }
};

CORVELLA_UI_TEST_MAIN(TestMplEditor)
#include "test_u_mpleditor.moc"
