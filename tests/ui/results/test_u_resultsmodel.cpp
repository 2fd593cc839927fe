#include "ui/results/u_resultsmodel.h"

#include "engine/u_dupefiles.h"
#include "tests/ui/ui_test_main.h"

#include <QObject>
#include <QTest>

// The decisions of the results list that need no window.
class TestResultsModel : public QObject {
    Q_OBJECT

private slots:
    void headerClickSortsByTheColumnOrTurnsTheOrderRound_data()
    {
        QTest::addColumn<int>("tag");
        QTest::addColumn<int>("shownSet");
        QTest::addColumn<bool>("shownDescending");
        QTest::addColumn<bool>("sorts");
        QTest::addColumn<int>("keySet");
        QTest::addColumn<bool>("descending");
        using L = TBWDupeFileList;
        QTest::newRow("another column starts ascending")
            << int(rcSize) << L::kNameSet << true << true << L::kSizeSet << false;
        QTest::newRow("the sorted column turns round")
            << int(rcSize) << L::kSizeSet << false << true << L::kSizeSet << true;
        QTest::newRow("and back") << int(rcSize) << L::kSizeSet << true << true << L::kSizeSet << false;
        QTest::newRow("the file name") << int(rcFileName) << L::kArtistSet << false << true << L::kNameSet << false;
        QTest::newRow("the path") << int(rcPath) << L::kIdentitySet << false << true << L::kPathSet << false;
        QTest::newRow("a tag") << int(rcGenre) << L::kNameSet << false << true << L::kGenreSet << false;
        QTest::newRow("relevance does not sort") << int(rcRelevance) << L::kNameSet << false << false << 0 << false;
        QTest::newRow("words do not sort") << int(rcWords) << L::kNameSet << true << false << 0 << false;
    }

    void headerClickSortsByTheColumnOrTurnsTheOrderRound()
    {
        QFETCH(int, tag);
        QFETCH(int, shownSet);
        QFETCH(bool, shownDescending);
        QFETCH(bool, sorts);
        QFETCH(int, keySet);
        QFETCH(bool, descending);
        const std::optional<TListOrder> order = OrderAfterHeaderClick(tag, {shownSet, shownDescending});
        QCOMPARE(order.has_value(), sorts);
        if (sorts)
            QVERIFY(*order == (TListOrder{keySet, descending}));
    }
};

CORVELLA_UI_TEST_MAIN(TestResultsModel)
#include "test_u_resultsmodel.moc"
