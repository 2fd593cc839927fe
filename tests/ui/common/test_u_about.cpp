#include "tests/ui/scripted_prompts.h"
#include "ui/common/u_about.h"
#include "tests/ui/ui_test_main.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

class TestAbout : public QObject {
    Q_OBJECT

private slots:
    void theVersionLineDropsTheLastPart_data()
    {
        QTest::addColumn<QString>("version");
        QTest::addColumn<QString>("line");
        QTest::newRow("four parts") << "4.2.6.1" << "Version: 4.2.6";
        QTest::newRow("two digits after the dot") << "1.00" << "Version: 1";
        QTest::newRow("a long last part") << "4.2.6.123" << "Version: 4.2.6";
        QTest::newRow("no dot") << "4" << "Version: 4";
        QTest::newRow("no version information") << "" << "Version: ";
    }

    void theVersionLineDropsTheLastPart()
    {
        QFETCH(QString, version);
        QFETCH(QString, line);
        QCOMPARE(VersionLine(version), line);
    }

    void theWindowShowsTheBuildsVersionAndOpensTheMakersPage()
    {
        TfAbout about;
        QCOMPARE(about.windowTitle(), QString("About Corvella"));
        QCOMPARE(about.findChild<QLabel*>("lblVersion")->text(), VersionLine(ProgramVersion()));
        QVERIFY(!ProgramVersion().isEmpty());
        auto* link = about.findChild<QLabel*>("Comments");
        {
            ScriptedPrompts prompts;
            prompts.ExpectOpen(true, "https://");
            QTest::mouseClick(link, Qt::LeftButton);
        }
        {
            ScriptedPrompts prompts;
            prompts.ExpectOpen(false).ExpectMessage(PromptKind::Warning, "could not be opened");
            QTest::mouseClick(link, Qt::LeftButton);
        }
        QTimer::singleShot(0, &about, [&about] { QTest::keyClick(&about, Qt::Key_Return); });
        QCOMPARE(about.exec(), int(QDialog::Accepted));
    }
};

CORVELLA_UI_TEST_MAIN(TestAbout)
#include "test_u_about.moc"
