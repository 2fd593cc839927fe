#include "tests/ui/item_clicks.h"

#include <QTest>

void ClickItem(QAbstractItemView& view, const QModelIndex& item)
{
    QVERIFY2(item.isValid(), "no item to click");
    view.scrollTo(item);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, view.visualRect(item).center());
}
