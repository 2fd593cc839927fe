#include "ui/profile/uc_frProCVCompParam.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QSignalSpy>
#include <QSpinBox>

#include "tests/ui/current_profile.h"
#include "ui/common/u_radiogroup.h"
#include "tests/ui/ui_test_main.h"

Q_DECLARE_METATYPE(TCompParamStates)

class TestCompParamPage : public QObject {
    Q_OBJECT

private slots:
    void init() { FreshCurrentProfile(); }

    void comparisonTypesMapToItemsBothWays_data()
    {
        QTest::addColumn<int>("compType");
        QTest::addColumn<int>("item");
        QTest::addColumn<TCompParamStates>("states");
        QTest::newRow("file name with fields") << 0 << 0 << TCompParamStates{true, true, true};
        QTest::newRow("file name as one field") << 1 << 1 << TCompParamStates{true, true, false};
        QTest::newRow("tags with album") << 2 << 3 << TCompParamStates{true, true, false};
        QTest::newRow("file content") << 3 << 4 << TCompParamStates{false, false, false};
        QTest::newRow("tags title and artist") << 4 << 2 << TCompParamStates{true, true, false};
    }

    void comparisonTypesMapToItemsBothWays()
    {
        QFETCH(int, compType);
        QFETCH(int, item);
        QFETCH(TCompParamStates, states);
        QCOMPARE(CompTypeItem(compType), item);
        QCOMPARE(int(ItemCompType(item).value()), compType);

        CurrentProfile().CompType = static_cast<TBWCompType>(compType);
        TfrcProCVCompParam page;
        page.Refresh();
        QCOMPARE(page.rgCompType->ItemIndex(), item);
        QCOMPARE(page.seMinPerc->isEnabled(), states.minPerc);
        QCOMPARE(page.seSimilar->isEnabled(), states.similar);
        QCOMPARE(page.cbNoFieldOrder->isEnabled(), states.noFieldOrder);
        page.SaveToProfile();
        QCOMPARE(int(CurrentProfile().CompType), compType);

        // Choosing it on a page loaded with another type stores it too.
        CurrentProfile().CompType = compType == ctContent ? ctFileName : ctContent;
        TfrcProCVCompParam other;
        other.Refresh();
        other.rgCompType->Buttons()->button(item)->click();
        QCOMPARE(other.seMinPerc->isEnabled(), states.minPerc);
        QCOMPARE(other.cbNoFieldOrder->isEnabled(), states.noFieldOrder);
        other.SaveToProfile();
        QCOMPARE(int(CurrentProfile().CompType), compType);
    }

    void aStoredValueThatIsNoTypeIsKept()
    {
        QCOMPARE(CompTypeItem(7), -1);
        QVERIFY(!ItemCompType(-1));
        QVERIFY(!ItemCompType(5));
        CurrentProfile().CompType = static_cast<TBWCompType>(7);
        TfrcProCVCompParam page;
        page.Refresh();
        QCOMPARE(page.rgCompType->ItemIndex(), -1);
        page.SaveToProfile();
        QCOMPARE(int(CurrentProfile().CompType), 7);
    }

    void thresholdsLoadAndSaveAndAChoiceIsAChange()
    {
        TBWCVProfile& profile = CurrentProfile();
        profile.MinPerc = 65;
        profile.SimWord = 2;
        profile.NoFieldOrder = true;
        TfrcProCVCompParam page;
        QSignalSpy changes(&page, &TfrpProfile::pageChanged);
        page.Refresh();
        QCOMPARE(changes.count(), 0);
        QCOMPARE(page.seMinPerc->value(), 65);
        QCOMPARE(page.seSimilar->value(), 2);
        QCOMPARE(page.seSimilar->maximum(), 4);
        QVERIFY(page.cbNoFieldOrder->isChecked());

        page.rgCompType->Buttons()->button(1)->click();
        QCOMPARE(changes.count(), 1);
        page.seMinPerc->setValue(90);
        page.seSimilar->setValue(1);
        page.cbNoFieldOrder->setChecked(false);
        QCOMPARE(changes.count(), 4);
        page.SaveToProfile();
        QCOMPARE(profile.MinPerc, 90);
        QCOMPARE(profile.SimWord, 1);
        QCOMPARE(profile.NoFieldOrder, false);
        QCOMPARE(profile.CompType, ctFileName);
    }
};

CORVELLA_UI_TEST_MAIN(TestCompParamPage)
#include "test_uc_frProCVCompParam.moc"
