// Every window of the program reached from the keyboard: its menu titles,
// menu items and push buttons carry mnemonics that do not clash, and F10
// opens the menus.
#include "tests/ui/mnemonics.h"
#include "ui/common/u_about.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/common/u_tooltips.h"
#include "ui/main/Main.h"
#include "ui/mpleditor/u_mpleditor.h"
#include "ui/profile/uc_fProfileCV.h"
#include "ui/progress/u_progress.h"
#include "ui/results/u_discneeded.h"
#include "ui/results/u_scanresults.h"
#include "ui/results/u_warningreplace.h"
#include "ui/wizard/up_wizard.h"
#include "base/HUtils.h"
#include "engine/u_cvprofile.h"
#include "tests/ui/ui_test_main.h"

#include <QMenu>
#include <QMenuBar>
#include <QTreeWidgetItemIterator>

namespace {

using WindowMaker = std::function<std::unique_ptr<QWidget>()>;

template <class Window, class... Arguments>
WindowMaker Make(Arguments&... arguments)
{
    return [&arguments...] { return std::unique_ptr<QWidget>(std::make_unique<Window>(arguments...)); };
}

} // namespace

Q_DECLARE_METATYPE(WindowMaker)

class TestMnemonics : public QObject {
    Q_OBJECT
    TBWCVGenSettings settings;
    QString replacedFile = "/music/Rock/song.mp3";
    QString referenceFile = "/music/Pop/song.mp3";

private slots:
    void initTestCase()
    {
        InitAppPaths("Brindlewick", "Corvella", "corvella_help.chm");
        settings.NewProfile();
        CurrentProfile().NewProfile();
    }

    void everyCaptionHasItsOwnMnemonic_data()
    {
        QTest::addColumn<WindowMaker>("make");
        QTest::newRow("main window") << Make<TfCorvella4>();
        QTest::newRow("results window") << Make<TfScanResults>(settings);
        QTest::newRow("Mp3 List editor") << Make<TfMPLEditor>();
        QTest::newRow("wizard") << Make<TfpWizard>();
        QTest::newRow("progress window") << Make<TfProgress>();
        QTest::newRow("tips") << Make<TfTooltips>();
        QTest::newRow("about") << Make<TfAbout>();
        QTest::newRow("disc needed") << Make<TfDiscNeeded>();
        QTest::newRow("replace warning") << Make<TfWarningReplace>(replacedFile, referenceFile);
    }
    void everyCaptionHasItsOwnMnemonic()
    {
        QFETCH(WindowMaker, make);
        const std::unique_ptr<QWidget> window = make();
        const QStringList faults = MnemonicFaults(*window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void f10OpensTheFirstMenu_data()
    {
        QTest::addColumn<WindowMaker>("make");
        QTest::newRow("main window") << Make<TfCorvella4>();
        QTest::newRow("results window") << Make<TfScanResults>(settings);
        QTest::newRow("Mp3 List editor") << Make<TfMPLEditor>();
    }
    void f10OpensTheFirstMenu()
    {
        QFETCH(WindowMaker, make);
        const std::unique_ptr<QWidget> window = make();
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window->windowHandle(), Qt::Key_F10);
        const QMenu* first = window->findChild<QMenuBar*>()->actions().front()->menu();
        QTRY_COMPARE(QApplication::activePopupWidget(), first);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    }

    // Each page sits beside the editor's own buttons.
    void everyPageOfTheProfileEditorToo()
    {
        TfcProfileCV editor;
        for (QTreeWidgetItemIterator node(editor.tv); *node; ++node) {
            editor.tv->setCurrentItem(*node);
            const QStringList faults = MnemonicFaults(editor);
            QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
        }
    }
};

CORVELLA_UI_TEST_MAIN(TestMnemonics)
#include "test_mnemonics.moc"
