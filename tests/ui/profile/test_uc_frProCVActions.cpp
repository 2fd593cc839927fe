#include "ui/profile/uc_frProCVActions.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QSignalSpy>

#include "tests/ui/current_profile.h"
#include "ui/common/u_radiogroup.h"
#include "tests/ui/ui_test_main.h"

class TestResultTypePage : public QObject {
    Q_OBJECT

private slots:
    void init() { FreshCurrentProfile(); }

    void eachResultTypeIsItsItem()
    {
        for (int type = rsDuplicates; type <= rsBanlist; ++type) {
            CurrentProfile().ResultType = static_cast<TBWResultType>(type);
            TfrcProCVActions page;
            page.Refresh();
            QCOMPARE(page.rgTarget->ItemIndex(), type);
            const int other = (type + 1) % 3;
            QSignalSpy changes(&page, &TfrpProfile::pageChanged);
            page.rgTarget->Buttons()->button(other)->click();
            QCOMPARE(changes.count(), 1);
            page.SaveToProfile();
            QCOMPARE(int(CurrentProfile().ResultType), other);
        }
    }

    void aValueThatIsNoResultTypeStaysUntilOneIsChosen()
    {
        CurrentProfile().ResultType = static_cast<TBWResultType>(9);
        TfrcProCVActions page;
        page.Refresh();
        QCOMPARE(page.rgTarget->ItemIndex(), -1);
        page.SaveToProfile();
        QCOMPARE(int(CurrentProfile().ResultType), 9);
    }
};

CORVELLA_UI_TEST_MAIN(TestResultTypePage)
#include "test_uc_frProCVActions.moc"
