#include "ui/selection/u_wizselectcomparison.h"
#include "tests/ui/ui_test_main.h"

#include "engine/u_cvprofile.h"
#include "tags/u_musichandler.h"
#include "ui/selection/u_wizselectbitrate.h"
#include "ui/selection/u_wizselectduration.h"
#include "ui/selection/u_wizselectextension.h"
#include "ui/selection/u_wizselectpriority.h"
#include "ui/selection/u_wizselectrelevance.h"
#include "ui/selection/u_wizselectsize.h"
#include "ui/selection/u_wizseqselect.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTreeWidget>

#include <functional>

namespace {

// The fields a range page with number bounds writes.
struct TSavedRange {
    bool relative;
    std::int32_t min;
    std::int32_t max;
};

using TPageMaker = std::function<std::unique_ptr<TfrpWizSelectComparison>()>;
using TSavedReader = std::function<TSavedRange()>;

template <class Page>
TPageMaker Make()
{
    return [] { return std::make_unique<Page>(); };
}

}  // namespace

Q_DECLARE_METATYPE(TPageMaker)
Q_DECLARE_METATYPE(TSavedReader)

class TestSelectComparison : public QObject {
    Q_OBJECT

private slots:
    void init() { SelectionCriteria = {}; }

    void numberPagesOpenWithTheirModesDefaultsAndChecks_data()
    {
        QTest::addColumn<TPageMaker>("make");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<int>>("defaults");  // absolute min, max, relative min, max
        QTest::addColumn<int>("farValue");         // a value the page must take
        QTest::addColumn<QString>("orderMessage");
        QTest::addColumn<TSavedReader>("saved");
        QTest::newRow("size") << Make<TfrWizSelectSize>() << "Toggle duplicate with size between these values:"
                              << QList<int>{0, 99999, -10, 10} << 8 * 1024 * 1024
                              << "The maximum size can't be lower than the minimum."
                              << TSavedReader([] {
                                  const auto& c = SelectionCriteria;
                                  return TSavedRange{c.SelSizeRelative, c.SelSizeMin, c.SelSizeMax};
                              });
        QTest::newRow("duration") << Make<TfrWizSelectDuration>()
                                  << "Toggle duplicate with duration between these values:"
                                  << QList<int>{0, 600, -3, 3} << 5 * 3600
                                  << "The maximum duration can't be lower than the minimum."
                                  << TSavedReader([] {
                                         const auto& c = SelectionCriteria;
                                         return TSavedRange{c.SelDurationRelative, c.SelDurationMin, c.SelDurationMax};
                                     });
        QTest::newRow("bitrate") << Make<TfrWizSelectBitrate>() << "Toggle duplicate with bitrate between these values:"
                                 << QList<int>{0, 400, -10, 10} << -320
                                 << "The maximum bitrate can't be lower than the minimum"
                                 << TSavedReader([] {
                                        const auto& c = SelectionCriteria;
                                        return TSavedRange{c.SelBitrateRelative, c.SelBitrateMin, c.SelBitrateMax};
                                    });
    }
    void numberPagesOpenWithTheirModesDefaultsAndChecks()
    {
        QFETCH(TPageMaker, make);
        QFETCH(QList<int>, defaults);
        QFETCH(int, farValue);
        QFETCH(TSavedReader, saved);
        SelectionCriteria.SelAction = saToggle;
        std::unique_ptr<TfrpWizSelectComparison> page = make();
        page->Refresh();
        QTEST(page->lblMsg->text(), "message");
        QCOMPARE(QList<int>({page->seMin->value(), page->seMax->value()}), defaults.mid(0, 2));
        page->cbComp->setCurrentIndex(1);
        QVERIFY(page->IsRelative());
        QCOMPARE(QList<int>({page->seMin->value(), page->seMax->value()}), defaults.mid(2, 2));
        QVERIFY(page->Validate().isEmpty());

        page->seMin->setValue(farValue);
        QCOMPARE(page->seMin->value(), farValue);
        page->seMin->setValue(defaults[3] + 1);
        QTEST(page->Validate(), "orderMessage");
        page->seMin->setValue(defaults[2] - 5);
        page->SaveToProfile();
        const TSavedRange range = saved();
        QVERIFY(range.relative);
        QCOMPARE(range.min, defaults[2] - 5);
        QCOMPARE(range.max, defaults[3]);

        page->cbComp->setCurrentIndex(0);
        QCOMPARE(QList<int>({page->seMin->value(), page->seMax->value()}), defaults.mid(0, 2));
    }

    // The bounds read in the list's units, typed as the user reads them, and
    // are kept in the criteria's units.
    void boundsShowAndTakeTheUnitsOfTheList_data()
    {
        QTest::addColumn<TPageMaker>("make");
        QTest::addColumn<QString>("unit");
        QTest::addColumn<QString>("shownMax");  // the absolute default maximum
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("kept");
        QTest::newRow("size") << Make<TfrWizSelectSize>() << "MB" << "97.66" << "4.5" << 4608;
        QTest::newRow("duration") << Make<TfrWizSelectDuration>() << "min:sec" << "10:00" << "3:25" << 205;
        QTest::newRow("negative duration") << Make<TfrWizSelectDuration>() << "min:sec" << "10:00" << "-0:03" << -3;
        QTest::newRow("bitrate") << Make<TfrWizSelectBitrate>() << "kbit/s" << "400" << "192" << 192;
        QTest::newRow("relevance") << Make<TfrWizSelectRelevance>() << "%" << "100" << "85" << 85;
    }
    void boundsShowAndTakeTheUnitsOfTheList()
    {
        QFETCH(TPageMaker, make);
        QFETCH(QString, typed);
        std::unique_ptr<TfrpWizSelectComparison> page = make();
        page->Refresh();
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        for (const char* name : {"lblMinUnit", "lblMaxUnit"}) {
            auto* unit = page->findChild<QLabel*>(name);
            QVERIFY(unit && unit->isVisible());
            QTEST(unit->text(), "unit");
        }
        QTEST(page->seMax->text(), "shownMax");
        page->seMin->setFocus();
        page->seMin->selectAll();
        QTest::keyClicks(page->seMin, typed);
        QTest::keyClick(page->seMin, Qt::Key_Tab);
        QTEST(page->seMin->value(), "kept");
    }

    void relevanceStaysWithinPercentsAgainstTheReference()
    {
        TfrWizSelectRelevance page;
        page.Refresh();
        QVERIFY(page.cbComp->isHidden());
        QCOMPARE(page.seMax->maximum(), 100);
        page.seMin->setValue(90);
        page.SaveToProfile();
        QCOMPARE(SelectionCriteria.SelRelevanceMin, 90);
        QCOMPARE(SelectionCriteria.SelRelevanceMax, 100);
        page.seMax->setValue(80);
        QCOMPARE(page.Validate(), QString("The maximum relevance can't be lower than the minimum."));
    }

    void priorityPositionsBecomeRolesAndAreChecked()
    {
        SelectionCriteria.SelAction = saUncheck;
        TfrWizSelectPriority page;
        page.Refresh();
        QCOMPARE(page.lblMsg->text(), QString("Uncheck duplicate with a priority..."));
        QCOMPARE(page.cbMin->currentText(), QString("Lowest"));
        QCOMPARE(page.cbMax->currentText(), QString("Reference"));
        page.cbMin->setCurrentText("High");
        page.cbMax->setCurrentText("Low");
        QCOMPARE(page.Validate(), QString("The maximum priority can't be lower than the minimum."));
        page.cbMin->setCurrentText("Normal");
        page.cbMax->setCurrentText("Highest");
        QVERIFY(page.Validate().isEmpty());
        page.cbComp->setCurrentIndex(1);
        page.SaveToProfile();
        QVERIFY(SelectionCriteria.SelPriorityRelative);
        QCOMPARE(int(SelectionCriteria.SelPriorityMin), int(dtPriority3));
        QCOMPARE(int(SelectionCriteria.SelPriorityMax), int(dtPriority5));
    }

    void extensionPageListsTheHandlersExtensionsAndSavesTheTicked()
    {
        TfrWizSelectExtension page;
        page.Refresh();
        const TMusicHandler& handler = MusicHandler();
        QCOMPARE(page.lvExt->topLevelItemCount(), handler.Count());
        for (int row = 0; row < handler.Count(); ++row) {
            QCOMPARE(page.lvExt->topLevelItem(row)->text(0), QString::fromStdString(handler.GetExtension(row)));
            QCOMPARE(page.lvExt->topLevelItem(row)->checkState(0), Qt::Unchecked);
        }
        page.lvExt->topLevelItem(handler.Count() - 1)->setCheckState(0, Qt::Checked);
        page.lvExt->topLevelItem(0)->setCheckState(0, Qt::Checked);
        page.SaveToProfile();
        QCOMPARE(SelectionCriteria.SelExtensionMode, int(emListed));
        QCOMPARE(SelectionCriteria.SelExtensions,
                 handler.GetExtension(0) + ";" + handler.GetExtension(handler.Count() - 1) + ";");

        page.rgCompButtons->button(emUnlikeReference)->click();
        QVERIFY(!page.lvExt->isEnabled());
        page.SaveToProfile();
        QCOMPARE(SelectionCriteria.SelExtensionMode, int(emUnlikeReference));
    }
};

CORVELLA_UI_TEST_MAIN(TestSelectComparison)
#include "test_u_wizselectcomparison.moc"
