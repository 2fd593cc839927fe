#include "ui/results/u_renamefile.h"
#include "tests/ui/ui_test_main.h"

#include <QLineEdit>

class TestRenameFile : public QObject {
    Q_OBJECT

private slots:
    void typingReplacesTheNameAndKeepsTheExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::newRow("one extension") << "Best Song.mp3" << "New.mp3";
        QTest::newRow("dots in the name") << "A.B. Band - Live.ogg" << "New.ogg";
        QTest::newRow("no extension") << "README" << "New";
        QTest::newRow("hidden file") << ".hidden" << "New";
    }
    void typingReplacesTheNameAndKeepsTheExtension()
    {
        QFETCH(QString, name);
        TfRenameFile dialog(name);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        auto* edit = dialog.findChild<QLineEdit*>("edtName");
        QCOMPARE(QApplication::focusWidget(), edit);
        QTest::keyClicks(edit, "New");
        QTEST(dialog.NewName(), "typed");
    }

    void aLongNameFitsTheBox()
    {
        const QString name = "Harbour Lights - Northern Line (Live at the Old Pier, Remastered 2019 Deluxe).mp3";
        TfRenameFile dialog(name);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto* edit = dialog.findChild<QLineEdit*>("edtName");
        QVERIFY(edit->width() > edit->fontMetrics().horizontalAdvance(name));
    }
};

CORVELLA_UI_TEST_MAIN(TestRenameFile)
#include "test_u_renamefile.moc"
