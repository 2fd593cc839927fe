#include "tests/ui/scripted_prompts.h"
#include "ui/common/u_helpwindow.h"
#include "tests/ui/ui_test_main.h"

#include <QDir>

class TestHelpWindow : public QObject {
    Q_OBJECT

private slots:
    void opensAShippedPage()
    {
        THelpWindow window;
        QVERIFY(window.OpenTopic("corvella/index.htm"));
        QVERIFY(window.toPlainText().contains("duplicate audio files"));
        QVERIFY(ShowHelpTopic("corvella/index.htm"));
    }

    void aMissingPageIsAnErrorNamingTheTopic()
    {
        QVERIFY(HelpPagePath("corvella/nothing.htm").isEmpty());
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Error, "corvella/nothing.htm");
        QVERIFY(!ShowHelpTopic("corvella/nothing.htm"));
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
};

CORVELLA_UI_TEST_MAIN(TestHelpWindow)
#include "test_u_helpwindow.moc"
