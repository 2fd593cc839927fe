#include "ui/selection/u_wizselectsummary.h"
#include "tests/ui/ui_test_main.h"

#include "engine/u_cvprofile.h"
#include "ui/selection/u_wizseqselect.h"

#include <QLabel>
#include <QTreeWidget>

namespace {

TSelectionCriteria EveryCriterion()
{
    TSelectionCriteria c;
    c.SelAction = saToggle;
    c.SelCriteria = (1U << scCount) - 1;
    c.SelDirectory = "%mymusic%/Rock/";
    c.SelPriorityRelative = true;
    c.SelPriorityMin = dtPriority3;
    c.SelPriorityMax = dtPriority5;
    c.SelSizeMin = 0;
    c.SelSizeMax = 99999;
    c.SelDurationRelative = true;
    c.SelDurationMin = -3;
    c.SelDurationMax = 3;
    c.SelBitrateRelative = true;
    c.SelBitrateMin = -10;
    c.SelBitrateMax = 10;
    c.SelExtensionMode = emUnlikeReference;
    c.SelExtensions = "MP3;";
    c.SelRelevanceMin = 90;
    c.SelRelevanceMax = 100;
    return c;
}

}  // namespace

class TestSelectSummary : public QObject {
    Q_OBJECT

private slots:
    void oneRowPerChosenCriterionInOrder()
    {
        const std::vector<TSummaryRow> expected = {
            {"Directory", "Absolute", "%mymusic%/Rock/"},
            {"Priority", "Reference", "[Normal,Highest]"},
            {"Size", "Absolute", "[0.00 MB,97.66 MB]"},
            {"Duration", "Reference", "[(00:03),00:03]"},
            {"Bitrate", "Reference", "[-10,10]"},
            {"Extension", "Unlike ref.", ""},
            {"Relevance", "Absolute", "[90 %,100 %]"},
        };
        QCOMPARE(SummaryRows(EveryCriterion()), expected);
    }

    void argumentsOfTheOtherModes()
    {
        TSelectionCriteria c = EveryCriterion();
        c.SelCriteria = (1U << scPriority) | (1U << scDuration) | (1U << scExtension);
        c.SelPriorityRelative = false;
        c.SelPriorityMin = dtPriority1;
        c.SelPriorityMax = dtReference;
        c.SelDurationRelative = false;
        c.SelDurationMin = 0;
        c.SelDurationMax = 3725;
        c.SelExtensionMode = emListed;
        c.SelExtensions = "MP3;WMA;";
        const std::vector<TSummaryRow> expected = {
            {"Priority", "Absolute", "[Lowest,Reference]"},
            {"Duration", "Absolute", "[00:00,62:05]"},
            {"Extension", "Absolute", "MP3;WMA;"},
        };
        QCOMPARE(SummaryRows(c), expected);
        c.SelExtensionMode = emLikeReference;
        QCOMPARE(SummaryRows(c)[2], (TSummaryRow{"Extension", "Like ref.", ""}));
    }

    void loadingThePageListsTheRowsAfresh()
    {
        SelectionCriteria = EveryCriterion();
        TfrWizSelectSummary page;
        page.Refresh();
        page.Refresh();
        QCOMPARE(page.pageTitle(), QString("Selection summary"));
        QCOMPARE(page.lblAction->text(), QString("Action: Toggle selection"));
        QCOMPARE(page.lv->topLevelItemCount(), int(scCount));
        QCOMPARE(page.lv->topLevelItem(3)->text(2), QString("[(00:03),00:03]"));
    }
};

CORVELLA_UI_TEST_MAIN(TestSelectSummary)
#include "test_u_wizselectsummary.moc"
