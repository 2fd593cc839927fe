#include "tests/ui/mpl_test_folders.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/mpleditor/u_mpleditor.h"
#include "ui/mpleditor/u_mplfiletable.h"
#include "tests/ui/ui_test_main.h"

#include <QAction>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QHeaderView>
#include <QTableView>
#include <QTimer>
#include <QToolBar>

#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/progress/u_progress.h"

class TestMplEditor : public QObject {
    Q_OBJECT

    static QAction* Action(TfMPLEditor& editor, const char* name)
    {
        auto* action = editor.findChild<QAction*>(name);
        if (!action)
            qFatal("no action %s", name);
        return action;
    }

    static void Select(TfMPLEditor& editor, TBWDirectory* dir)
    {
        auto* tree = editor.findChild<TBWMPLTV*>("mpl");
        // The trees hear of changes through queued notices.
        QCoreApplication::processEvents();
        tree->SelectNode(tree->FindNode({}, dir, false));
    }

    TempDisc disc_;

private slots:
    void actionsCarryTheirCaptionsShortcutsAndPlaces()
    {
        TempListFolder lists;
        TfMPLEditor editor;
        QCOMPARE(editor.windowTitle(), QString("Mp3 List Editor"));
        const struct {
            const char* name;
            const char* caption;
            QKeySequence shortcut;
        } actions[] = {
            {"aNewList", "New Mp3 List", QKeySequence("Ctrl+N")},  {"aAddVolume", "Add Volume", QKeySequence("Ctrl+A")},
            {"aDelete", "Delete dir", QKeySequence(Qt::Key_Delete)}, {"aSave", "Save Changes", QKeySequence("Ctrl+S")},
            {"aClose", "Close Window", QKeySequence("Ctrl+Q")},    {"aImport", "Import List", QKeySequence("Ctrl+I")},
            {"aExport", "Export List", QKeySequence("Ctrl+E")},    {"aHelp", "Help", QKeySequence(Qt::Key_F1)},
        };
        for (const auto& expected : actions) {
            QCOMPARE(Action(editor, expected.name)->text(), QString(expected.caption));
            QCOMPARE(Action(editor, expected.name)->shortcut(), expected.shortcut);
        }
        QStringList menu;
        for (QAction* title : editor.findChild<QMenuBar*>("mm")->actions()) {
            menu << title->text();
            for (QAction* item : title->menu()->actions())
                menu << item->objectName();
        }
        QCOMPARE(menu, QStringList({"File", "aNewList", "aAddVolume", "aDelete", "aSave", "aClose", "Tools",
                                    "aImport", "aExport", "Help", "aHelp"}));
        QStringList toolBar;
        for (QAction* item : editor.findChild<QToolBar*>("ToolBar1")->actions())
            toolBar << (item->isSeparator() ? QString("|") : item->objectName());
        QCOMPARE(toolBar, QStringList({"aNewList", "aAddVolume", "aDelete", "|", "aSave", "|", "aHelp", "aClose"}));
        QVERIFY(!Action(editor, "aAddVolume")->isEnabled());
        QVERIFY(!Action(editor, "aSave")->isEnabled());
    }

    void aListMadeFilledAndSavedThroughTheWindow()
    {
        TempListFolder lists;
        TfMPLEditor editor;
        auto* files = editor.findChild<QTableView*>("lvFiles");
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Text, "Rock");
        Action(editor, "aNewList")->trigger();
        TBWDirMpl* rock = MplManager().FindList("Rock");
        QVERIFY(rock);
        QVERIFY(Action(editor, "aSave")->isEnabled());

        Select(editor, rock);
        QVERIFY(Action(editor, "aAddVolume")->isEnabled());
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(disc_.Path()))
            .ExpectChoice(PromptKind::Text, "CD1");
        Action(editor, "aAddVolume")->trigger();
        QVERIFY(!ProgressActive());
        TBWDirectory* live = rock->FindChild("CD1") ? rock->FindChild("CD1")->FindChild("Live") : nullptr;
        QVERIFY(live);
        Select(editor, live);
        QCOMPARE(files->model()->rowCount(), 3);
        QCOMPARE(files->model()->index(0, 1).data().toString(), QString("@Rock/CD1/Live/"));
        // "B/R" ends at the table's right edge: the folder takes the room left, no scroll bar hides it.
        editor.resize(860, 460);
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QHeaderView* header = files->horizontalHeader();
        QTRY_COMPARE(header->sectionViewportPosition(TMplFileTableModel::colBitrate)
                         + header->sectionSize(TMplFileTableModel::colBitrate),
                     files->viewport()->width());
        QVERIFY(header->sectionSizeHint(TMplFileTableModel::colBitrate)
                <= header->sectionSize(TMplFileTableModel::colBitrate));

        prompts.ExpectYesNo(true, "Changes has been made to your lists. Save?");
        Action(editor, "aClose")->trigger();
        QVERIFY(!MplManager().IsModified());
        QVERIFY(QFile::exists(QString::fromStdString(lists.File("Rock"))));
        QCOMPARE(files->model()->rowCount(), 0);
    }

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
