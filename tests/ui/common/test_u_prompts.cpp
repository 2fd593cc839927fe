// The Qt boxes behind the prompts: what Enter answers.
#include "tests/ui/modal_dialogs.h"
#include "ui/common/u_prompts.h"
#include "tests/ui/ui_test_main.h"

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
};

CORVELLA_UI_TEST_MAIN(TestPrompts)
#include "test_u_prompts.moc"
