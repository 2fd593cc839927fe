// Names as the windows show them: every character that would break or hide
// part of a row gets a visible mark, every other one stays.
#include "ui/common/u_visibletext.h"
#include "tests/ui/ui_test_main.h"

class TestVisibleText : public QObject {
    Q_OBJECT

private slots:
    void controlsAndOddBytesShowAsMarks_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letters of any script") << QByteArray("Beyoncé Ёлка 東京.mp3") << "Beyoncé Ёлка 東京.mp3";
        QTest::newRow("line break, tab, return, escape") << QByteArray("a\nb\tc\rd\x1b.mp3") << "a\u240Ab\u2409c\u240Dd\u241B.mp3";
        QTest::newRow("DEL") << QByteArray("a\x7f.mp3") << "a\u2421.mp3";
        QTest::newRow("next line and line separators")
            << QByteArray("a\u0085b\u2028c\u2029d") << "a\u2424b\u2424c\u2424d";
        QTest::newRow("other C1 control") << QByteArray("a\u009bb") << "a\uFFFDb";
        QTest::newRow("bytes that are no UTF-8") << QByteArray("a\xff\xfe" "b.mp3") << "a\uFFFD\uFFFDb.mp3";
    }
    void controlsAndOddBytesShowAsMarks()
    {
        QFETCH(QByteArray, name);
        QTEST(VisibleText(name.toStdString()), "shown");
    }
};

CORVELLA_UI_TEST_MAIN(TestVisibleText)
#include "test_u_visibletext.moc"
