#include "ui/common/u_screenplace.h"
#include "tests/ui/ui_test_main.h"

#include <QScreen>

class TestScreenPlace : public QObject {
    Q_OBJECT

private slots:
    void aPlaceIsKeptWholeOnItsScreen_data()
    {
        const QRect room = QGuiApplication::primaryScreen()->availableGeometry();
        QTest::addColumn<QRect>("place");
        QTest::addColumn<QRect>("kept");
        QTest::newRow("within") << QRect(room.topLeft() + QPoint(10, 20), QSize(100, 80))
                                << QRect(room.topLeft() + QPoint(10, 20), QSize(100, 80));
        QTest::newRow("a screen that has gone")
            << QRect(room.right() + 500, room.top() + 5, 100, 80)
            << QRect(room.right() - 99, room.top() + 5, 100, 80);
        QTest::newRow("too large") << QRect(room.topLeft() - QPoint(30, 30), room.size() + QSize(200, 100))
                                   << room;
    }
    void aPlaceIsKeptWholeOnItsScreen()
    {
        QFETCH(QRect, place);
        QTEST(WithinScreen(place), "kept");
    }
};

CORVELLA_UI_TEST_MAIN(TestScreenPlace)
#include "test_u_screenplace.moc"
