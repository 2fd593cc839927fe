#include "tests/ui/item_clicks.h"
#include "tests/ui/modal_dialogs.h"
#include "tests/ui/mpl_test_folders.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/mpleditor/u_mpleditor.h"
#include "ui/mpleditor/u_mplfiletable.h"
#include "tests/ui/ui_test_main.h"

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QPushButton>
#include <QHeaderView>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/common/u_pictures.h"
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

    static TBWMPLTV& Tree(TfMPLEditor& editor) { return *editor.findChild<TBWMPLTV*>("mpl"); }

    // The node of dir, shown with its ancestors expanded, not selected.
    static QModelIndex ShownNode(TfMPLEditor& editor, TBWDirectory* dir)
    {
        QCoreApplication::processEvents();
        const QModelIndex node = Tree(editor).FindNode({}, dir, false);
        for (QModelIndex above = node.parent(); above.isValid(); above = above.parent())
            Tree(editor).expand(above);
        return node;
    }

    static void Click(TfMPLEditor& editor, TBWDirectory* dir) { ClickItem(Tree(editor), ShownNode(editor, dir)); }

    // The progress window of the last operation may have taken the
    // activation, which a window manager gives back when it closes.
    static void Press(TfMPLEditor& editor, const QKeySequence& keys)
    {
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        QWidget* focused = editor.focusWidget() ? editor.focusWidget() : &editor;
        QTest::keyClick(focused, keys[0].key(), keys[0].keyboardModifiers());
    }

    // A list made with Ctrl+N and clicked, so that it takes the commands;
    // none when it was not made.
    static TBWDirMpl* NewClickedList(TfMPLEditor& editor, ScriptedPrompts& prompts, const char* name)
    {
        prompts.ExpectChoice(PromptKind::Text, name);
        Press(editor, QKeySequence("Ctrl+N"));
        TBWDirMpl* list = MplManager().FindList(name);
        if (list)
            Click(editor, list);
        return list;
    }

    // Whether the list's node carries the modified mark left of its image.
    static bool ShowsModifiedMark(TfMPLEditor& editor, TBWDirectory* list)
    {
        const QIcon icon = ShownNode(editor, list).data(Qt::DecorationRole).value<QIcon>();
        return !icon.availableSizes().isEmpty() &&
               icon.availableSizes().front().width() > dmCommonPics->dirIL.Size().width();
    }

    // Shown and active, so that clicks and shortcuts reach it as a user's do.
    static void Show(TfMPLEditor& editor)
    {
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
    }

    TempDisc disc_;

private slots:
    void actionsCarryTheirCaptionsShortcutsAndPlaces()
    {
        TempListFolder lists;
        TfMPLEditor editor;
        QCOMPARE(editor.windowTitle(), QString("Mp3 List Editor"));
        QCOMPARE(editor.windowIcon().pixmap(32).toImage(), dmCentral->BigIL.Pixmap(biEditMpl).toImage());
        const struct {
            const char* name;
            const char* caption;
            QKeySequence shortcut;
        } actions[] = {
            {"aNewList", "&New Mp3 List", QKeySequence("Ctrl+N")},  {"aAddVolume", "&Add Volume", QKeySequence("Ctrl+A")},
            {"aDelete", "&Delete dir", QKeySequence(Qt::Key_Delete)}, {"aSave", "&Save Changes", QKeySequence("Ctrl+S")},
            {"aClose", "&Close Window", QKeySequence("Ctrl+Q")},    {"aImport", "&Import List", QKeySequence("Ctrl+I")},
            {"aExport", "&Export List", QKeySequence("Ctrl+E")},    {"aHelp", "&Help", QKeySequence(Qt::Key_F1)},
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
        QCOMPARE(menu, QStringList({"&File", "aNewList", "aAddVolume", "aDelete", "aSave", "aClose", "&Tools",
                                    "aImport", "aExport", "&Help", "aHelp"}));
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

        prompts.ExpectYesNoCancel(true, "Changes has been made to your lists. Save?");
        Action(editor, "aClose")->trigger();
        QVERIFY(!MplManager().IsModified());
        QVERIFY(QFile::exists(QString::fromStdString(lists.File("Rock"))));
        QCOMPARE(files->model()->rowCount(), 0);
    }

    void aClickedListTakesTheCommandsAndAClickedFolderShowsItsFiles()
    {
        TempListFolder lists;
        TfMPLEditor editor;
        Show(editor);
        ScriptedPrompts prompts;
        TBWDirMpl* discs = NewClickedList(editor, prompts, "My Discs");
        QVERIFY(discs);
        for (const char* needsDir : {"aAddVolume", "aDelete", "aExport"})
            QVERIFY2(Action(editor, needsDir)->isEnabled(), needsDir);

        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(disc_.Path()))
            .ExpectChoice(PromptKind::Text, "Summer CD #1!");
        Press(editor, QKeySequence("Ctrl+A"));
        TBWDirectory* volume = discs->FindChild("Summer CD 1");
        QVERIFY(volume);
        // The new disc is highlighted, its commands ready.
        QCOMPARE(Tree(editor).SelectedDirectory(), volume);
        QVERIFY(Action(editor, "aAddVolume")->isEnabled());
        Click(editor, volume->FindChild("Live"));
        QCOMPARE(editor.findChild<QTableView*>("lvFiles")->model()->rowCount(), 3);
    }

    // A disc whose names hold a line break or a tab: the tree and the file
    // table show their marks, and the list keeps the names as they are.
    void controlCharactersInNamesShowAsMarksInTheTreeAndTable()
    {
        TempListFolder lists;
        QTemporaryDir disc;
        QVERIFY(QDir(disc.path()).mkpath("Live\tSet"));
        QVERIFY(QFile::copy(QStringLiteral(CORVELLA_TEST_DATA "/../fixtures/audio/cbr128_stereo_44k_id3v23.mp3"),
                            disc.path() + "/Live\tSet/bad\nname Ёлка.mp3"));
        TfMPLEditor editor;
        Show(editor);
        ScriptedPrompts prompts;
        TBWDirMpl* odd = NewClickedList(editor, prompts, "Odd");
        QVERIFY(odd);
        prompts.ExpectChoice(PromptKind::Folder, disc.path()).ExpectChoice(PromptKind::Text, "CD");
        Press(editor, QKeySequence("Ctrl+A"));
        TBWDirectory* live = odd->FindChild("CD") ? odd->FindChild("CD")->FindChild("Live\tSet") : nullptr;
        QVERIFY(live);
        const QModelIndex node = ShownNode(editor, live);
        QCOMPARE(node.data().toString(), QString("Live\u21E5Set"));
        Click(editor, live);
        QAbstractItemModel* table = editor.findChild<QTableView*>("lvFiles")->model();
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->index(0, TMplFileTableModel::colFilename).data().toString(), QString("bad\u23CEname Ёлка.mp3"));
        QVERIFY(table->index(0, TMplFileTableModel::colPath).data().toString().endsWith("CD/Live\u21E5Set/"));
        QVERIFY(live->Files()->FindByName("bad\nname Ёлка.mp3"));
    }

    void theListClickedLastIsTheOneAddedToAndDeleted()
    {
        TempListFolder lists;
        TBWDirMpl* discs = MplManager().NewList("My Discs", false);
        TBWDirMpl* second = MplManager().NewList("Second", false);
        QVERIFY(MplManager().SaveAll());
        discs = MplManager().FindList("My Discs");
        second = MplManager().FindList("Second");
        TfMPLEditor editor;
        Show(editor);
        ScriptedPrompts prompts;
        Click(editor, second);
        Click(editor, discs);
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(disc_.Path()))
            .ExpectChoice(PromptKind::Text, "CD1");
        Press(editor, QKeySequence("Ctrl+A"));
        QCOMPARE(discs->DirCount(), 1);
        QCOMPARE(second->DirCount(), 0);

        Click(editor, discs);
        Click(editor, second);
        prompts.ExpectYesNo(true, "The Mp3 List \"Second\" will be permanently deleted.");
        Press(editor, QKeySequence(Qt::Key_Delete));
        QVERIFY(prompts.Done());
        QVERIFY(!MplManager().FindList("Second"));
        QCOMPARE(MplManager().FindList("My Discs"), discs);
        QVERIFY(QFile::exists(QString::fromStdString(lists.File("My Discs"))));
        QVERIFY(!QFile::exists(QString::fromStdString(lists.File("Second"))));
    }

    void theModifiedMarkFollowsTheListsState()
    {
        TempListFolder lists;
        TBWDirMpl* rock = MplManager().NewList("Rock", false);
        QVERIFY(AddVolumeToMpl(rock, FSDrive().FindDir(disc_.Path() + "/", true), "CD1"));
        QVERIFY(MplManager().SaveAll());
        rock = MplManager().FindList("Rock");
        QTemporaryDir elsewhere;
        const QString exported = elsewhere.filePath("Imported.mpl");
        QVERIFY(QFile::copy(QString::fromStdString(lists.File("Rock")), exported));
        TfMPLEditor editor;
        Show(editor);
        QVERIFY(!ShowsModifiedMark(editor, rock));

        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::OpenFile, exported).ExpectMessage(PromptKind::Information, "Import complete.");
        Press(editor, QKeySequence("Ctrl+I"));
        TBWDirMpl* imported = MplManager().FindList("Imported");
        QVERIFY(imported);
        QVERIFY(!ShowsModifiedMark(editor, imported));
        QVERIFY(!Action(editor, "aSave")->isEnabled());

        Click(editor, rock->FindChild("CD1"));
        Press(editor, QKeySequence(Qt::Key_Delete));
        QVERIFY(ShowsModifiedMark(editor, rock));
        QVERIFY(!ShowsModifiedMark(editor, imported));
        QVERIFY(Action(editor, "aSave")->isEnabled());

        Press(editor, QKeySequence("Ctrl+S"));
        QVERIFY(!ShowsModifiedMark(editor, MplManager().FindList("Rock")));
        QVERIFY(!Action(editor, "aSave")->isEnabled());
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

    void anExportThatCannotBeDoneSaysWhy()
    {
        TempListFolder lists;
        TBWDirMpl* saved = MplManager().NewList("Rock", false);
        QVERIFY(MplManager().SaveAll());
        saved = MplManager().FindList("Rock");
        TBWDirMpl* unsaved = MplManager().NewList("Never Saved", false);
        QTemporaryDir elsewhere;
        TfMPLEditor editor;
        Show(editor);
        ScriptedPrompts prompts;
        Click(editor, unsaved);
        prompts.ExpectMessage(PromptKind::Warning, "\"Never Saved\" has not been saved yet");
        Press(editor, QKeySequence("Ctrl+E"));
        Click(editor, saved);
        prompts.ExpectChoice(PromptKind::SaveFile, elsewhere.filePath("listcopy.txt"), "Rock.mpl")
            .ExpectMessage(PromptKind::Warning, "only to files ending in \".mpl\"; nothing was written");
        Press(editor, QKeySequence("Ctrl+E"));
        QVERIFY(prompts.Done());
        QVERIFY(QDir(elsewhere.path()).isEmpty());
    }

    void anEmptyFolderIsAddedAsAVolumeOnlyWhenTheUserSaysSo()
    {
        TempListFolder lists;
        TBWDirMpl* rock = MplManager().NewList("Rock", false);
        QTemporaryDir empty;
        TfMPLEditor editor;
        Show(editor);
        Click(editor, rock);
        ScriptedPrompts prompts;
        for (const bool add : {false, true}) {
            prompts.ExpectChoice(PromptKind::Folder, empty.path())
                .ExpectChoice(PromptKind::Text, "Empty")
                .ExpectDestructive(add, "holds no audio files. Add it as an empty volume anyway?");
            Press(editor, QKeySequence("Ctrl+A"));
            QVERIFY(prompts.Done());
            QCOMPARE(rock->DirCount(), add ? 1 : 0);
            Click(editor, rock);
        }
    }

    void escOnTheSaveQuestionKeepsTheEditorAndItsChanges()
    {
        TempListFolder lists;
        MplManager().NewList("Rock", false);
        TfMPLEditor editor;
        Show(editor);
        QString asked;
        // The real question, as the user meets it.
        WhenModal([&](QWidget& box) {
            asked = static_cast<QMessageBox&>(box).text();
            QTest::keyClick(&box, Qt::Key_Escape);
        });
        Press(editor, QKeySequence("Ctrl+Q"));
        QCOMPARE(asked, QString("Changes has been made to your lists. Save?"));
        QVERIFY(editor.isVisible());
        QVERIFY(MplManager().IsModified());
        QVERIFY(MplManager().FindList("Rock"));

        ScriptedPrompts prompts;
        prompts.ExpectYesNoCancel(false, "Save?");
        Press(editor, QKeySequence("Ctrl+Q"));
        QVERIFY(!editor.isVisible());
        QVERIFY(!MplManager().FindList("Rock"));
    }
};

CORVELLA_UI_TEST_MAIN(TestMplEditor)
#include "test_u_mpleditor.moc"
