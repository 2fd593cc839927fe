#include "engine/u_cvprofile.h"
#include "ui/profile/uc_frProCVSummary.h"
#include "tests/ui/ui_test_main.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTreeView>

namespace {

QString ValueOf(const TBWCVProfile& profile, int row)
{
    return SummaryRows(profile)[static_cast<std::size_t>(row)].second;
}

}  // namespace

class TestSummary : public QObject {
    Q_OBJECT

private slots:
    void rowsComeInTheOrderTheMainWindowMapsToPages()
    {
        const TBWCVProfile profile;
        QStringList parameters;
        for (const auto& [parameter, value] : SummaryRows(profile))
            parameters << parameter;
        QCOMPARE(parameters, QStringList({"Directories", "Comparison type", "Minimum matching %",
                                          "Similar words threshold", "Minimum word count", "Minimum word length",
                                          "Excluded patterns", "Priority criteria", "Extension priority",
                                          "Result type"}));
    }

    void comparisonAndResultTypesShowTheirNames_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("file name with fields") << 1 << 0 << "Filename - With fields";
        QTest::newRow("file name one field") << 1 << 1 << "Filename - One field";
        QTest::newRow("tags with album") << 1 << 2 << "ID3 Tag: Artist + Title + Album";
        QTest::newRow("content") << 1 << 3 << "File content comparison";
        QTest::newRow("tags") << 1 << 4 << "ID3 Tag: Artist + Title";
        QTest::newRow("comparison type out of range") << 1 << 9 << "";
        QTest::newRow("duplicates") << 9 << 0 << "Normal";
        QTest::newRow("negative") << 9 << 1 << "Negative";
        QTest::newRow("banlist") << 9 << 2 << "Excluded";
        QTest::newRow("result type out of range") << 9 << 7 << "";
    }

    void comparisonAndResultTypesShowTheirNames()
    {
        QFETCH(int, row);
        QFETCH(int, value);
        QFETCH(QString, text);
        TBWCVProfile profile;
        if (row == 1)
            profile.CompType = static_cast<TBWCompType>(value);
        else
            profile.ResultType = static_cast<TBWResultType>(value);
        QCOMPARE(ValueOf(profile, row), text);
    }

    void settingsShowAsStored()
    {
        TBWCVProfile profile;
        QCOMPARE(ValueOf(profile, 0), QString());
        profile.DirPath = {"/music/", "%mymusic%/Rock/"};
        profile.MinPerc = 85;
        profile.SimWord = 2;
        profile.MinWordCount = 3;
        profile.MinWordLength = 4;
        profile.SetExclusions("*Live*;*Demo*;");
        profile.SetPriorityList("BDES");
        profile.ExtPri = "MP3;OGG;";
        QCOMPARE(ValueOf(profile, 0), QString("/music/;%mymusic%/Rock/;"));
        QCOMPARE(ValueOf(profile, 2), QString("85"));
        QCOMPARE(ValueOf(profile, 3), QString("2"));
        QCOMPARE(ValueOf(profile, 4), QString("3"));
        QCOMPARE(ValueOf(profile, 5), QString("4"));
        QCOMPARE(ValueOf(profile, 6), QString("*live*;*demo*;"));
        QCOMPARE(ValueOf(profile, 7), QString("BDES"));
        QCOMPARE(ValueOf(profile, 8), QString("MP3;OGG;"));
    }

    void thePageShowsTheCurrentProfileAndReportsDoubleClicks()
    {
        CurrentProfile().MinPerc = 66;
        TfrcPCVSummary page;
        QAbstractItemModelTester tester(page.lv->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy changes(&page, &TfrpProfile::pageChanged);
        QSignalSpy clicks(&page, &TfrcPCVSummary::summaryDblClick);
        page.Refresh();
        page.show();
        QAbstractItemModel* rows = page.lv->model();
        QCOMPARE(rows->rowCount(), 10);
        QCOMPARE(rows->columnCount(), 2);
        QCOMPARE(rows->headerData(0, Qt::Horizontal).toString(), QString("Parameter"));
        QCOMPARE(rows->headerData(1, Qt::Horizontal).toString(), QString("Value"));
        QCOMPARE(rows->index(2, 1).data().toString(), QString("66"));
        QCOMPARE(page.SelectedRow(), -1);

        const QRect cell = page.lv->visualRect(rows->index(2, 0));
        QTest::mouseClick(page.lv->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(page.lv->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(clicks.first().first().value<TfrcPCVSummary*>(), &page);
        QCOMPARE(page.SelectedRow(), 2);
        QCOMPARE(changes.count(), 0);
    }
};

CORVELLA_UI_TEST_MAIN(TestSummary)
#include "test_uc_frProCVSummary.moc"
