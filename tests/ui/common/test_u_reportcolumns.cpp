#include "ui/common/u_reportcolumns.h"
#include "tests/ui/ui_test_main.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QStandardItemModel>
#include <QToolTip>
#include <QTreeView>

namespace {

enum { colName, colPath, colPercent, colCount };

// A report list as the windows build it: a name, a long folder, a short number.
struct TReportList {
    QStandardItemModel model{0, colCount};
    QTreeView view;
    TReportColumns* columns;

    TReportList()
    {
        model.setHorizontalHeaderLabels({"Filename", "Path", "%"});
        AddRow("01 - Intro.mp3", "/home/user/Music/Some Artist/Some Album (Deluxe Edition)/CD 1/", "100 %");
        AddRow("02 - A Longer Title.mp3", "/home/user/Music/", "--");
        view.setRootIsDecorated(false);
        view.setModel(&model);
        for (int column = 0; column < colCount; ++column)
            view.setColumnWidth(column, 40);
        columns = new TReportColumns(view, *view.header(), colPath, true);
        columns->Fit();
        view.resize(1600, 400);
        view.show();
    }
    void AddRow(const QString& name, const QString& path, const QString& percent)
    {
        model.appendRow({new QStandardItem(name), new QStandardItem(path), new QStandardItem(percent)});
    }
    int Width(int column) const { return view.columnWidth(column); }
    int SumOfWidths() const { return Width(colName) + Width(colPath) + Width(colPercent); }
    // The width a cell's text, picture and margins take.
    int CellNeed(int row, int column) const
    {
        QStyleOptionViewItem option;
        option.initFrom(&view);
        option.font = view.font();
        option.fontMetrics = view.fontMetrics();
        return view.itemDelegate()->sizeHint(option, model.index(row, column)).width();
    }
    QString ToolTipOver(int row, int column)
    {
        const QPoint at = view.visualRect(model.index(row, column)).center();
        QHelpEvent event(QEvent::ToolTip, at, view.viewport()->mapToGlobal(at));
        QApplication::sendEvent(view.viewport(), &event);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
};

} // namespace

class TestReportColumns : public QObject {
    Q_OBJECT

private slots:
    void everyValueAndCaptionWithSortMarkFits()
    {
        TReportList list;
        QVERIFY(QTest::qWaitForWindowExposed(&list.view));
        for (int row = 0; row < list.model.rowCount(); ++row)
            for (int column : {colName, colPercent})
                QVERIFY2(list.CellNeed(row, column) <= list.Width(column),
                         qPrintable(list.model.index(row, column).data().toString()));
        // A sort mark on a caption does not cut it: the room was kept.
        list.model.setHeaderData(colPercent, Qt::Horizontal, QIcon(dmCentral->IL.Icon(siAscending)),
                                 Qt::DecorationRole);
        QVERIFY(list.view.header()->sectionSizeHint(colPercent) <= list.Width(colPercent));
    }

    // A list that opens empty (the Mp3 List editor before a folder is
    // chosen) still shows its captions whole.
    void anEmptyListShowsItsCaptionsWhole()
    {
        QStandardItemModel model(0, colCount);
        model.setHorizontalHeaderLabels({"Filename", "Path", "Size (MB)"});
        QTreeView view;
        view.setModel(&model);
        new TReportColumns(view, *view.header(), colPath, false);
        view.resize(600, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        for (int column : {colName, colPercent})
            QTRY_VERIFY2(view.header()->sectionSizeHint(column) <= view.columnWidth(column),
                         qPrintable(model.headerData(column, Qt::Horizontal).toString()));
    }

    void pathTakesTheRoomLeftAsTheWindowChanges()
    {
        TReportList list;
        QVERIFY(QTest::qWaitForWindowExposed(&list.view));
        QTRY_COMPARE(list.SumOfWidths(), list.view.viewport()->width());
        const int wide = list.Width(colPath);
        list.view.resize(900, 400);
        QTRY_COMPARE(list.SumOfWidths(), list.view.viewport()->width());
        QVERIFY(list.Width(colPath) < wide);
        // A column the user widens keeps its width; the folder gives way.
        list.view.header()->resizeSection(colName, list.Width(colName) + 50);
        QCOMPARE(list.SumOfWidths(), list.view.viewport()->width());
        const int widened = list.Width(colName);
        list.columns->Fit();
        QCOMPARE(list.Width(colName), widened);
    }

    void aCutCellShowsItsWholeTextInATooltip()
    {
        TReportList list;
        list.view.resize(420, 400);
        QVERIFY(QTest::qWaitForWindowExposed(&list.view));
        QTRY_VERIFY(list.Width(colPath) < list.CellNeed(0, colPath));
        QCOMPARE(list.ToolTipOver(0, colPercent), QString());
        QCOMPARE(list.ToolTipOver(0, colPath), list.model.index(0, colPath).data().toString());
    }
};

CORVELLA_UI_TEST_MAIN(TestReportColumns)
#include "test_u_reportcolumns.moc"
