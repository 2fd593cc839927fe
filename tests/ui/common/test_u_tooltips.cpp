#include "tests/ui/modal_dialogs.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/common/u_helpwindow.h"
#include "ui/common/u_tooltips.h"
#include "tests/ui/ui_test_main.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QPlainTextEdit>

namespace {

QString TipShown(QWidget& dialog)
{
    return dialog.findChild<QPlainTextEdit*>("mmtips")->toPlainText();
}

} // namespace

class TestTooltips : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        folder_ = std::make_unique<QTemporaryDir>();
        QDir::setCurrent(folder_->path());
    }

    void linesOfATipsFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("CR LF") << QByteArray("one\r\ntwo\r\n") << QStringList{"one", "two"};
        QTest::newRow("LF, no final break") << QByteArray("one\ntwo") << QStringList{"one", "two"};
        QTest::newRow("CR") << QByteArray("one\rtwo\r") << QStringList{"one", "two"};
        QTest::newRow("mixed, with an empty tip") << QByteArray("one\r\n\ntwo\rthree") << QStringList{"one", "", "two", "three"};
        QTest::newRow("empty file") << QByteArray() << QStringList{};
        QTest::newRow("UTF-8") << QByteArray("Beyonc\xc3\xa9\n") << QStringList{QString::fromUtf8("Beyonc\xc3\xa9")};
    }

    void linesOfATipsFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, tips);
        QCOMPARE(ReadTipLines(WriteTips(contents)), tips);
    }

    // The start-up road: three tips, the next one 3, Next twice, the box unticked.
    void threeTipsWalkedThroughTheWindow()
    {
        WriteTips("zero\r\none\r\ntwo\r\n");
        TBWCVGenSettings settings;
        settings.TipsAtStartup = true;
        settings.LastTip = 3;
        QStringList seen;
        WhenModal([&seen](QWidget& dialog) {
            QCOMPARE(dialog.windowTitle(), QString("Corvella tips"));
            QVERIFY(dialog.findChild<QCheckBox*>("cbShowTips")->isChecked());
            seen << TipShown(dialog);
            ClickButton(dialog, "bNext");
            ClickButton(dialog, "bNext");
            seen << TipShown(dialog);
            dialog.findChild<QCheckBox*>("cbShowTips")->setChecked(false);
            ClickButton(dialog, "bClose");
        });
        ShowTips(settings, false);
        QCOMPARE(seen, (QStringList{"zero", "two"}));
        QCOMPARE(settings.LastTip, 3);
        QCOMPARE(settings.TipsAtStartup, false);

        ExpectNoModal();
        ShowTips(settings, false);
        QCoreApplication::processEvents();
        WhenModal([](QWidget& dialog) {
            QVERIFY(!dialog.findChild<QCheckBox*>("cbShowTips")->isChecked());
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        ShowTips(settings, true);
        QCOMPARE(settings.LastTip, 1);
    }

    void withoutATipsFileTheTipIsEmptyAndTheNextIsTheFirst()
    {
        qputenv("CORVELLA_DATA_DIR", folder_->path().toUtf8());
        TBWCVGenSettings settings;
        settings.TipsAtStartup = true;
        settings.LastTip = 2;
        WhenModal([](QWidget& dialog) {
            ClickButton(dialog, "bNext");
            QCOMPARE(TipShown(dialog), QString());
            ClickButton(dialog, "bClose");
        });
        ShowTips(settings, false);
        qunsetenv("CORVELLA_DATA_DIR");
        QCOMPARE(settings.LastTip, 0);
    }

    void anEmptyTipsFileStoresTheTipAfterTheFirst()
    {
        WriteTips("");
        TBWCVGenSettings settings;
        WhenModal([](QWidget& dialog) { ClickButton(dialog, "bClose"); });
        ShowTips(settings, true);
        QCOMPARE(settings.LastTip, 1);
    }

    void theShippedTipsAndPictureAreFoundOutsideTheCurrentFolder()
    {
        const QString tipsFile = TipsFilePath();
        QCOMPARE(tipsFile, ProgramDataFolder() + "/bwtips.txt");
        const QStringList tips = ReadTipLines(tipsFile);
        QVERIFY(tips.size() >= 12);
        QVERIFY(!tips.contains(QString()));
        QImageReader picture(ProgramDataFolder() + "/bwtips.jpg");
        QCOMPARE(picture.format(), QByteArray("jpeg"));
        QCOMPARE(picture.read().size(), QSize(44, 69));

        WriteTips("mine\n");
        QCOMPARE(ReadTipLines(TipsFilePath()), QStringList{"mine"});
    }

private:
    QString WriteTips(const QByteArray& contents)
    {
        QFile file(folder_->path() + "/bwtips.txt");
        file.open(QIODevice::WriteOnly);
        file.write(contents);
        return file.fileName();
    }

    std::unique_ptr<QTemporaryDir> folder_;
};

CORVELLA_UI_TEST_MAIN(TestTooltips)
#include "test_u_tooltips.moc"
