// The Qt boxes behind the prompts: what Enter answers.
#include "tests/ui/modal_dialogs.h"
#include "ui/common/u_prompts.h"
#include "tests/ui/ui_test_main.h"

#include <QApplication>
#include <QFontMetrics>

class TestPrompts : public QObject {
    Q_OBJECT

private slots:
    void enterNeverConfirmsADestructiveQuestion_data()
    {
        QTest::addColumn<bool>("destructive");
        QTest::addColumn<bool>("enterAnswers");
        QTest::newRow("plain question") << false << true;
        QTest::newRow("destructive question") << true << false;
    }
    void enterNeverConfirmsADestructiveQuestion()
    {
        QFETCH(bool, destructive);
        WhenModal([](QWidget& box) { QTest::keyClick(&box, Qt::Key_Return); });
        const bool answer = destructive ? Prompts().ConfirmDestructive("Confirm", "Delete it?")
                                        : Prompts().AskYesNo("Confirm", "Go on?");
        QTEST(answer, "enterAnswers");
    }

    // A short question with a long caption: the window is wide enough for
    // its whole title.
    void aTextQuestionIsWideEnoughForItsTitle()
    {
        const QString caption = "New Mp3 List name";
        int width = 0;
        WhenModal([&width](QWidget& box) {
            width = box.width();
            QTest::keyClicks(QApplication::focusWidget(), "Rock");
            QTest::keyClick(&box, Qt::Key_Return);
        });
        const std::optional<QString> answer = Prompts().AskText(caption, "Name:", "");
        QCOMPARE(answer, std::optional<QString>("Rock"));
        QVERIFY2(width >= QFontMetrics(QApplication::font()).horizontalAdvance(caption) + 120,
                 qPrintable(QString("%1 wide").arg(width)));
    }
};

CORVELLA_UI_TEST_MAIN(TestPrompts)
#include "test_u_prompts.moc"
