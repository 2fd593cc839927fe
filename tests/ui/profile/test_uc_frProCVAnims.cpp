#include "ui/profile/uc_frProCVAnims.h"

#include <QLabel>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTimer>

#include "tests/ui/current_profile.h"
#include "tests/ui/ui_test_main.h"

namespace {

int CheckedButton(const TfrcProCVAnims& page)
{
    for (int animType = 0; animType < kAnimTypeCount; ++animType)
        if (page.buttons[static_cast<std::size_t>(animType)]->isChecked())
            return animType;
    return -1;
}

}  // namespace

class TestAnimationsPage : public QObject {
    Q_OBJECT

private slots:
    void init() { FreshCurrentProfile(); }

    void theStoredAnimationIsTheCheckedButton_data()
    {
        QTest::addColumn<int>("animNo");
        QTest::addColumn<int>("checked");
        QTest::addColumn<int>("saved");
        for (int animType = 0; animType < kAnimTypeCount; ++animType)
            QTest::addRow("animation %d", animType) << animType << animType << animType;
        QTest::newRow("no animation") << 9 << -1 << 0;
        QTest::newRow("negative") << -1 << -1 << 0;
    }

    void theStoredAnimationIsTheCheckedButton()
    {
        QFETCH(int, animNo);
        QFETCH(int, checked);
        QFETCH(int, saved);
        CurrentProfile().AnimNo = animNo;
        TfrcProCVAnims page;
        QSignalSpy changes(&page, &TfrpProfile::pageChanged);
        page.Refresh();
        QCOMPARE(changes.count(), 0);
        QCOMPARE(CheckedButton(page), checked);
        page.SaveToProfile();
        QCOMPARE(CurrentProfile().AnimNo, saved);

        page.buttons[5]->click();
        QCOMPARE(changes.count(), checked == 5 ? 0 : 1);
        page.SaveToProfile();
        QCOMPARE(CurrentProfile().AnimNo, 5);
    }

    // Each preview is drawn as the progress window draws its animation.
    void previewsStepEveryHalfSecondAsTheProgressWindowDraws()
    {
        TfrcProCVAnims page;
        QCOMPARE(page.Timer1->interval(), 500);
        QVERIFY(page.Timer1->isActive());
        QCOMPARE(page.StepCounter(), 1);
        page.Timer1Timer();
        QCOMPARE(page.StepCounter(), 2);
        for (int animType = 0; animType < kAnimTypeCount; ++animType) {
            QPixmap expected(TfrcProCVAnims::kPreviewWidth, TfrcProCVAnims::kPreviewHeight);
            expected.fill(Qt::transparent);
            for (int step = 0; step < 2; ++step) {
                const TAnimPlacement placement = PlaceAnimStep(step, AnimFrameCount(animType), expected.width());
                PaintAnimStep(expected, AnimFrame(animType, placement.frame), placement);
            }
            const QLabel* image = page.images[static_cast<std::size_t>(animType)];
            QCOMPARE(image->size(), expected.size());
            QCOMPARE(image->pixmap().toImage(), expected.toImage());
        }
    }
};

CORVELLA_UI_TEST_MAIN(TestAnimationsPage)
#include "test_uc_frProCVAnims.moc"
