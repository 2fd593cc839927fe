#include "ui/common/u_rangespinbox.h"
#include "tests/ui/ui_test_main.h"

#include <QLineEdit>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

// A box from 0 to 100 holding 30, beside another widget to move the focus to.
struct TBoxOnScreen {
    QWidget window;
    TRangeSpinBox* box = new TRangeSpinBox(0, 100, &window);
    QLineEdit* other = new QLineEdit(&window);

    TBoxOnScreen()
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(box);
        layout->addWidget(other);
        box->setValue(30);
        window.show();
        window.activateWindow();
    }
    void Type(const QString& text)
    {
        box->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(box));
        box->findChild<QLineEdit*>()->selectAll();
        QTest::keyClicks(box, text);
    }
};

} // namespace

class TestRangeSpinBox : public QObject {
    Q_OBJECT

private slots:
    void aValueOutOfRangeIsShownThenRefusedAndTheRangeSaid_data()
    {
        QTest::addColumn<bool>("byEnter");
        QTest::newRow("leaving the box") << false;
        QTest::newRow("Enter") << true;
    }
    void aValueOutOfRangeIsShownThenRefusedAndTheRangeSaid()
    {
        QFETCH(bool, byEnter);
        TBoxOnScreen shown;
        QVERIFY(QTest::qWaitForWindowActive(&shown.window));
        QCOMPARE(shown.box->toolTip(), QString("From 0 to 100"));
        shown.Type("500");
        QCOMPARE(shown.box->text(), QString("500"));
        if (byEnter)
            QTest::keyClick(shown.box, Qt::Key_Return);
        else
            QTest::keyClick(shown.box, Qt::Key_Tab);
        QCOMPARE(shown.box->value(), 30);
        QCOMPARE(shown.box->text(), QString("30"));
        QTRY_COMPARE(QToolTip::text(), QString("From 0 to 100"));
    }

    void aValueInRangeIsTaken()
    {
        TBoxOnScreen shown;
        QVERIFY(QTest::qWaitForWindowActive(&shown.window));
        shown.Type("75");
        QTest::keyClick(shown.box, Qt::Key_Tab);
        QCOMPARE(shown.box->value(), 75);
        // Letters are no number: they are dropped as they are typed.
        shown.Type("7x");
        QCOMPARE(shown.box->text(), QString("7"));
    }
};

CORVELLA_UI_TEST_MAIN(TestRangeSpinBox)
#include "test_u_rangespinbox.moc"
