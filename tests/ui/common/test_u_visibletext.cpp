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
        QTest::newRow("line breaks of every kind")
            << QByteArray("a\nb\rc\x0b" "d\u0085e\u2028f\u2029g") << "a\u23CEb\u23CEc\u23CEd\u23CEe\u23CEf\u23CEg";
        QTest::newRow("tab") << QByteArray("a\tb.mp3") << "a\u21E5b.mp3";
        QTest::newRow("other C0, DEL and C1 controls") << QByteArray("a\x1b\x7f\u009bb") << "a\uFFFD\uFFFD\uFFFDb";
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
