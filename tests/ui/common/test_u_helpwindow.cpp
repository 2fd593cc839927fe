#include "tests/ui/modal_dialogs.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/common/u_helpwindow.h"
#include "ui/common/u_prompts.h"
#include "ui/profile/uc_fProfileCV.h"
#include "ui/results/u_scanresults.h"
#include "tests/ui/ui_test_main.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextBrowser>

namespace {

QString ShownTopic()
{
    return HelpWindow()->Page().source().toLocalFile();
}

} // namespace

class TestHelpWindow : public QObject {
    Q_OBJECT

private slots:
    void opensAShippedPage()
    {
        THelpWindow window;
        QVERIFY(window.OpenTopic("corvella/index.htm"));
        QVERIFY(window.Page().toPlainText().contains("duplicate audio files"));
    }

    void aMissingPageIsAnErrorNamingTheTopic()
    {
        QVERIFY(HelpPagePath("corvella/nothing.htm").isEmpty());
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Error, "corvella/nothing.htm");
        QVERIFY(!ShowHelpTopic("corvella/nothing.htm"));
        QVERIFY(!prompts.Done());
        // The program's own prompts, which a window asks for help, say it.
        TUserPrompts* scripted = ReplacePrompts(nullptr);
        TUserPrompts& programPrompts = Prompts();
        ReplacePrompts(scripted);
        programPrompts.ShowHelpTopic("corvella/nothing.htm");
        QVERIFY(prompts.Done());
    }

    void theDataFolderFollowsTheEnvironment()
    {
        QTemporaryDir data;
        QDir(data.path()).mkpath("help/x");
        QFile page(data.path() + "/help/x/a.htm");
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<p>own page</p>");
        page.close();
        qputenv("CORVELLA_DATA_DIR", data.path().toUtf8());
        QCOMPARE(ProgramDataFolder(), data.path());
        QCOMPARE(HelpPagePath("x/a.htm"), page.fileName());
        QVERIFY(HelpPagePath("corvella/index.htm").isEmpty());
        qunsetenv("CORVELLA_DATA_DIR");
    }

    // A page of four paragraphs in a window of its own size, with the way
    // back and forth and to the contents, closed from the keyboard.
    void helpGoesBackForwardToTheContentsAndClosesWithCtrlW()
    {
        QWidget owner;
        owner.show();
        owner.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&owner));
        QVERIFY(ShowHelpTopic("corvella/scanresult/index.htm"));
        THelpWindow* help = HelpWindow();
        QTRY_COMPARE(QApplication::activeWindow(), help);
        QVERIFY(!help->isMaximized());
        QVERIFY(help->width() <= 800 && help->height() <= 600);
        auto* back = help->findChild<QAction*>("aBack");
        auto* forward = help->findChild<QAction*>("aForward");
        QVERIFY(!back->isEnabled());
        help->findChild<QAction*>("aIndex")->trigger();
        QVERIFY(ShownTopic().endsWith(kHelpIndexTopic));
        QTest::keyClick(help->windowHandle(), Qt::Key_Left, Qt::AltModifier);
        QVERIFY(ShownTopic().endsWith("corvella/scanresult/index.htm"));
        QVERIFY(forward->isEnabled());
        forward->trigger();
        QVERIFY(ShownTopic().endsWith(kHelpIndexTopic));
        QTest::keyClick(help->windowHandle(), Qt::Key_W, Qt::ControlModifier);
        QTRY_VERIFY(!help->isVisible());
    }

    // Every page shipped is a link of the contents, and a click on a link
    // opens its page.
    void contentsLinkEveryTopic()
    {
        THelpWindow window;
        QVERIFY(window.OpenTopic(kHelpIndexTopic));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTextBrowser& page = window.Page();
        QStringList linked;
        int directoriesAt = -1;
        for (QTextBlock block = page.document()->begin(); block.isValid(); block = block.next())
            for (auto it = block.begin(); !it.atEnd(); ++it)
                if (const QTextFragment fragment = it.fragment(); fragment.charFormat().isAnchor()) {
                    linked << fragment.charFormat().anchorHref();
                    if (fragment.charFormat().anchorHref() == "configwizard/directories.htm")
                        directoriesAt = fragment.position() + 1;
                }
        const QString folder = ProgramDataFolder() + "/help/corvella/";
        QStringList shipped;
        for (QDirIterator it(folder, {"*.htm"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            if (const QString topic = QDir(folder).relativeFilePath(it.next()); topic != "index.htm")
                shipped << topic;
        shipped.sort();
        linked.sort();
        QCOMPARE(linked, shipped);

        QVERIFY(directoriesAt > 0);
        QTextCursor cursor(page.document());
        cursor.setPosition(directoriesAt);
        page.ensureCursorVisible();
        page.setTextCursor(cursor);
        page.ensureCursorVisible();
        QTest::mouseClick(page.viewport(), Qt::LeftButton, {}, page.cursorRect(cursor).center());
        QTRY_VERIFY(page.source().toLocalFile().endsWith("corvella/configwizard/directories.htm"));
    }

    // F1 in a modal window: the help goes over it, takes the keyboard, and
    // Esc gives the keyboard back to the modal window.
    void helpFromAModalWindowIsUsableAndEscClosesIt_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("results window") << "results";
        QTest::newRow("profile editor") << "profile";
    }
    void helpFromAModalWindowIsUsableAndEscClosesIt()
    {
        QFETCH(QString, window);
        TBWCVGenSettings settings;
        settings.NewProfile();
        settings.ScanResMaximized = false;
        std::unique_ptr<QDialog> dialog;
        if (window == "results")
            dialog = std::make_unique<TfScanResults>(settings);
        else
            dialog = std::make_unique<TfcProfileCV>();
        bool helpWasUsable = false;
        WhenModal([&](QWidget& modal) {
            QTRY_COMPARE(QApplication::activeWindow(), &modal);
            QTest::keyClick(modal.windowHandle(), Qt::Key_F1);
            QTRY_VERIFY(HelpWindow() && HelpWindow()->isVisible());
            QTRY_COMPARE(QApplication::activeWindow(), HelpWindow());
            // Sent through the window system, as a user's key: a blocked window never sees it.
            QTest::keyClick(HelpWindow()->windowHandle(), Qt::Key_Escape);
            QTRY_VERIFY(!HelpWindow()->isVisible());
            QTRY_COMPARE(QApplication::activeWindow(), &modal);
            helpWasUsable = true;
            QTest::keyClick(modal.windowHandle(), Qt::Key_Escape);
        });
        dialog->exec();
        QVERIFY(helpWasUsable);
    }
};

CORVELLA_UI_TEST_MAIN(TestHelpWindow)
#include "test_u_helpwindow.moc"
