// The Qt boxes behind the prompts: what Enter answers.
#include "tests/ui/modal_dialogs.h"
#include "ui/common/u_prompts.h"
#include "tests/ui/ui_test_main.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTextEdit>

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

    // A list of names too long for the box opens below it with a click.
    void detailsOpenBelowTheTextWithAClick()
    {
        QString text;
        bool hiddenFirst = false;
        QString details;
        WhenModal([&](QWidget& box) {
            text = box.findChild<QLabel*>("qt_msgbox_label")->text();
            auto* list = box.findChild<QTextEdit*>();
            hiddenFirst = list && !list->isVisible();
            QAbstractButton* show = nullptr;
            for (QAbstractButton* button : box.findChildren<QAbstractButton*>())
                if (button->text().startsWith("Show Details"))
                    show = button;
            QVERIFY(show);
            QTest::mouseClick(show, Qt::LeftButton);
            QVERIFY(list->isVisible());
            details = list->toPlainText();
            QTest::keyClick(&box, Qt::Key_Return);
        });
        Prompts().ShowInformationWithDetails("Corvella", "12 files are empty", "/m/Ёлка.mp3\n/m/東京.mp3");
        QCOMPARE(text, QString("12 files are empty"));
        QVERIFY(hiddenFirst);
        QCOMPARE(details, QString("/m/Ёлка.mp3\n/m/東京.mp3"));
    }
};

CORVELLA_UI_TEST_MAIN(TestPrompts)
#include "test_u_prompts.moc"
