#include "tests/ui/modal_dialogs.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/results/u_discneeded.h"
#include "tests/ui/ui_test_main.h"

#include <QApplication>
#include <QLabel>

namespace {

QString Request(QWidget& dialog)
{
    return dialog.findChild<QLabel*>("lblDisc")->text();
}

} // namespace

class TestDiscNeeded : public QObject {
    Q_OBJECT

private slots:
    void changePathNamesTheChosenFolderAndOkAnswersIt()
    {
        TfDiscNeeded window;
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, std::nullopt, "/media/cd/")
            .ExpectChoice(PromptKind::Folder, QString("/mnt/usb"), "/media/cd/");
        QStringList shown;
        WhenModal([&shown](QWidget& dialog) {
            shown << dialog.windowTitle() << Request(dialog);
            ClickButton(dialog, "bChangePath");
            shown << Request(dialog);
            ClickButton(dialog, "bChangePath");
            shown << Request(dialog);
            ClickButton(dialog, "bOK");
        });
        std::string folder = "/media/cd/";
        QVERIFY(window.AskForDisc("Rock CD1", folder));
        QCOMPARE(folder, std::string("/mnt/usb"));
        QCOMPARE(shown, (QStringList{"Disc needed", "Please, insert a CD labeled \"Rock CD1\" in drive\n/media/cd/",
                                     "Please, insert a CD labeled \"Rock CD1\" in drive\n/media/cd/",
                                     "Please, insert a CD labeled \"Rock CD1\" in drive\n/mnt/usb"}));
    }

    void aLongPathStandsOnItsOwnLineElidedInTheMiddle()
    {
        TfDiscNeeded window;
        const QString longPath = "/media/ann/" + QString(60, 'x') + "/Summer CD 1/";
        WhenModal([](QWidget& dialog) { ClickButton(dialog, "bCancel"); });
        std::string folder = longPath.toStdString();
        window.AskForDisc("Summer CD 1", folder);
        auto* label = window.findChild<QLabel*>("lblDisc");
        const QStringList lines = label->text().split('\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QString("Please, insert a CD labeled \"Summer CD 1\" in drive"));
        QVERIFY(lines[1].startsWith("/media/") && lines[1].endsWith("/Summer CD 1/"));
        QVERIFY(lines[1].contains(QChar(0x2026)));
        QVERIFY(label->fontMetrics().horizontalAdvance(lines[1]) <= label->width());
        // The folder answered is the whole one.
        QCOMPARE(folder, longPath.toStdString());
    }

    void afterAFolderIsChosenEnterAnswersOk()
    {
        TfDiscNeeded window;
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, std::nullopt).ExpectChoice(PromptKind::Folder, QString("/mnt/usb"));
        QStringList focused;
        WhenModal([&focused](QWidget& dialog) {
            auto focus = [] {
                return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString("none");
            };
            ClickButton(dialog, "bChangePath");
            focused << focus();
            ClickButton(dialog, "bChangePath");
            focused << focus();
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &dialog, Qt::Key_Return);
        });
        std::string folder = "/media/cd/";
        QVERIFY(window.AskForDisc("Rock CD1", folder));
        QCOMPARE(folder, std::string("/mnt/usb"));
        QCOMPARE(focused, (QStringList{"bChangePath", "bOK"}));
    }

    void cancelCopyAnswersNoAndKeepsTheFolder()
    {
        TfDiscNeeded window;
        WhenModal([](QWidget& dialog) { ClickButton(dialog, "bCancel"); });
        std::string folder = "/media/cd/";
        QVERIFY(!window.AskForDisc("Jazz", folder));
        QCOMPARE(folder, std::string("/media/cd/"));
    }

    void messagesAndQuestionsGoThroughThePrompts()
    {
        TfDiscNeeded window;
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "The source is invalid")
            .ExpectYesNo(true, "Copy Anyway?");
        window.ShowMessage("The source is invalid, choose a new source.");
        QVERIFY(window.AskYesNo("7 of 10 files exist in the source directory. Copy Anyway?"));
    }
};

CORVELLA_UI_TEST_MAIN(TestDiscNeeded)
#include "test_u_discneeded.moc"
