#include "ui/main/u_profilelistmodel.h"

#include "tests/ui/ui_test_main.h"

#include <QAbstractItemModelTester>
#include <QObject>
#include <QTest>

namespace {

QStringList Names(const TProfileListModel& model)
{
    QStringList names;
    for (int row = 0; row < model.rowCount(); ++row)
        names << QString::fromStdString(model.Row(row).name);
    return names;
}

std::vector<TProfileRow> SomeProfiles()
{
    return {{"Ёлка", "b", 45001.9, 0.5},
            {"alpha", "C", 0, 0},
            {"音楽", "a", 45001.1, 0.25},
            {"Beta", "", 45000.5, 1.5}};
}

}  // namespace

// The main window's profile list as a model, without the window.
class TestProfileListModel : public QObject {
    Q_OBJECT

private slots:
    void theModelHoldsUpUnderTheModelTesterThroughRefillsAndSorts()
    {
        TProfileListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.SetRows(SomeProfiles());
        for (int column = 0; column < TProfileListModel::colCount; ++column) {
            model.ColumnClick(column);
            model.ColumnClick(column);
        }
        model.SetRows({});
        QCOMPARE(model.rowCount(), 0);
        model.SetRows(SomeProfiles());
        QCOMPARE(model.columnCount(), int(TProfileListModel::colCount));
        QCOMPARE(model.headerData(TProfileListModel::colLastRun, Qt::Horizontal, Qt::DisplayRole).toString(),
                 QString("Last Run"));
    }

    void aColumnSortsAscendingThenTheOtherWayWithNeverRunLast()
    {
        TProfileListModel model;
        model.SetRows(SomeProfiles());
        model.ColumnClick(TProfileListModel::colName);
        QCOMPARE(Names(model), QStringList({"音楽", "Ёлка", "Beta", "alpha"}));
        QCOMPARE(model.Tag(), int(TProfileListModel::colName) + TProfileListModel::kDescending);
        model.ColumnClick(TProfileListModel::colLastRun);
        QCOMPARE(Names(model), QStringList({"Beta", "音楽", "Ёлка", "alpha"}));
        model.ColumnClick(TProfileListModel::colLastRun);
        // Runs of one day tie and keep their order; never run is the exact reverse's first.
        QCOMPARE(Names(model), QStringList({"alpha", "音楽", "Ёлка", "Beta"}));
        model.ColumnClick(TProfileListModel::colComment);
        QCOMPARE(Names(model), QStringList({"Beta", "音楽", "Ёлка", "alpha"}));
        QCOMPARE(model.data(model.index(3, TProfileListModel::colLastRun), Qt::DisplayRole).toString(),
                 QString("Never"));
        QCOMPARE(model.data(model.index(0, TProfileListModel::colTimeTaken), Qt::DisplayRole).toString(),
                 QString("36:00:00"));
    }
};

CORVELLA_UI_TEST_MAIN(TestProfileListModel)
#include "test_u_profilelistmodel.moc"
