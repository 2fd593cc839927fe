#include "ui/progress/u_progress.h"
#include "tests/ui/ui_test_main.h"

#include <QDialog>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

using namespace std::chrono_literals;

namespace {

// A monotonic clock the test moves by hand.
struct FakeClock {
    std::chrono::steady_clock::time_point now{std::chrono::hours(1)};
    TProgressTracker::Clock Reader()
    {
        return [this] { return now; };
    }
};

// A tracker that has just repainted, so the next steps are held back.
struct Tracked {
    FakeClock clock;
    TProgressTracker tracker{clock.Reader()};
    void PaintNextStep(std::int64_t count = 1)
    {
        clock.now += 600ms;
        QVERIFY(tracker.Step(count));
    }
};

QImage SlotPart(const QLabel* image, int x)
{
    return image->pixmap().toImage().copy(x, 2, kAnimFrameSide, kAnimFrameSide);
}

bool AllWhite(const QImage& part)
{
    for (int y = 0; y < part.height(); ++y)
        for (int x = 0; x < part.width(); ++x)
            if (part.pixelColor(x, y) != Qt::white)
                return false;
    return true;
}

} // namespace

class TestProgress : public QObject {
    Q_OBJECT

private slots:
    void aNegativeItemCountShowsTheAnimationLikeNone_data()
    {
        QTest::addColumn<int>("itemCount");
        QTest::newRow("none") << 0;
        QTest::newRow("negative") << -7;
    }

    void aNegativeItemCountShowsTheAnimationLikeNone()
    {
        QFETCH(int, itemCount);
        TProgressTracker tracker;
        tracker.Reset(3, 0, true);
        tracker.StartJob(itemCount);
        QVERIFY(tracker.ShowsAnimation());
        QCOMPARE(tracker.JobBar().maximum, 0);
        QCOMPARE(tracker.OverallBar().maximum, 3);
        QCOMPARE(tracker.OverallBar().position, 0);
    }

    void everyJobIsAnEqualSegmentOfTheOverallBar()
    {
        Tracked t;
        t.tracker.Reset(4, 0, false);
        t.tracker.StartJob(50);
        t.PaintNextStep(20);
        QCOMPARE(t.tracker.OverallBar().position, 20);
        t.tracker.StartJob(50);
        QCOMPARE(t.tracker.OverallBar().maximum, 200);
        QCOMPARE(t.tracker.OverallBar().position, 50);
        QCOMPARE(t.tracker.JobIndex(), 1);
        t.tracker.StartJob(0);
        QCOMPARE(t.tracker.OverallBar().maximum, 4);
        QCOMPARE(t.tracker.OverallBar().position, 2);
    }

    void stepsWithinHalfASecondWaitForOneRepaint()
    {
        Tracked t;
        t.tracker.Reset(2, 0, false);
        t.tracker.StartJob(5000);
        QVERIFY2(t.tracker.Step(1), "the first step of a window always paints");
        for (int step = 0; step < 1000; ++step) {
            t.clock.now += 300us;
            QVERIFY(!t.tracker.Step(1));
        }
        QCOMPARE(t.tracker.JobBar().position, 1);
        QCOMPARE(t.tracker.PendingSteps(), 1000);
        t.clock.now += 200ms;  // exactly half a second after the repaint: still held back
        QVERIFY(!t.tracker.Step(0));
        t.clock.now += 1ms;
        QVERIFY(t.tracker.Step(1));
        QCOMPARE(t.tracker.JobBar().position, 1002);
        QCOMPARE(t.tracker.OverallBar().position, 1002);
        QCOMPARE(t.tracker.PendingSteps(), 0);
    }

    void aJobReportingMoreThanItsCountStaysInItsSegment()
    {
        Tracked t;
        t.tracker.Reset(2, 0, false);
        t.tracker.StartJob(10);
        t.PaintNextStep(25);
        QCOMPARE(t.tracker.JobBar().position, 10);
        QCOMPARE(t.tracker.OverallBar().position, 10);
        t.tracker.StartJob(10);
        QCOMPARE(t.tracker.OverallBar().position, 10);
    }

    void theAnimationCyclesItsFramesAndWrapsAfter18Positions()
    {
        Tracked t;
        t.tracker.Reset(1, 3, false);
        t.tracker.StartJob(0);
        for (int step = 0; step < 40; ++step) {
            t.PaintNextStep();
            QCOMPARE(t.tracker.LastPlacement().frame, step % 9);
            QCOMPARE(t.tracker.LastPlacement().x, step % 18 * 16 + 2);
            QCOMPARE(t.tracker.LastPlacement().y, 2);
        }
        t.tracker.StartJob(0);
        t.PaintNextStep();
        QCOMPARE(t.tracker.LastPlacement().x, 2);
        QCOMPARE(t.tracker.JobBar().position, 0);
    }

    void aTypeWithoutFramesAnimatesAnEmptyBox()
    {
        Tracked t;
        QVERIFY(t.tracker.Reset(1, 9, false));
        t.tracker.StartJob(0);
        t.PaintNextStep();
        QCOMPARE(t.tracker.LastPlacement().frame, -1);
    }

    void resetWithTheLoadedTypeKeepsTheFramesButStartsOver()
    {
        Tracked t;
        QVERIFY(t.tracker.Reset(2, 5, true));
        t.tracker.StartJob(8);
        t.PaintNextStep(3);
        QVERIFY(!t.tracker.Reset(6, 5, false));
        QCOMPARE(t.tracker.JobBar().maximum, 1);
        QCOMPARE(t.tracker.JobBar().position, 0);
        QCOMPARE(t.tracker.JobIndex(), -1);
        QCOMPARE(t.tracker.JobCount(), 6);
        QVERIFY(!t.tracker.CancelShown());
        QVERIFY(t.tracker.Reset(6, 2, true));
        QCOMPARE(t.tracker.AnimType(), 2);
    }

    void cancelAndCloseRequests()
    {
        TProgressTracker shown;
        shown.Reset(1, 0, true);
        shown.RequestClose();
        QVERIFY(shown.Cancelled());
        QVERIFY2(shown.CancelEnabled(), "a close request leaves Cancel enabled");
        shown.Reset(1, 0, true);
        QVERIFY2(shown.Cancelled(), "Reset never clears Cancelled");

        TProgressTracker hidden;
        hidden.Reset(1, 0, false);
        hidden.RequestClose();
        QVERIFY2(!hidden.Cancelled(), "an operation that cannot be cancelled ignores a close request");
        hidden.Reset(1, 0, true);
        QVERIFY(!hidden.Cancelled());
    }

    void barsBeyondTheWidgetRangeKeepTheirFill()
    {
        const TWidgetBar huge = FitToWidget({6'000'000'000LL, 4'500'000'000LL});
        QVERIFY(huge.maximum > 1'000'000'000);
        QCOMPARE(double(huge.position) / huge.maximum, 0.75);
        const TWidgetBar small = FitToWidget({200, 50});
        QCOMPARE(small.maximum, 200);
        QCOMPARE(small.position, 50);
        QCOMPARE(FitToWidget({0, 0}).maximum, 1);
    }

    void theFormHasItsNamedPartsAndTexts()
    {
        TfProgress window;
        QCOMPARE(window.windowTitle(), QString("Working..."));
        QVERIFY(!(window.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(window.findChild<QLabel*>("Label1")->text(), QString("Job progress:"));
        QCOMPARE(window.findChild<QLabel*>("Label2")->text(), QString("Overall progress:"));
        QCOMPARE(window.findChild<QPushButton*>("bCancel")->text(), QString("&Cancel"));
        const auto* job = window.findChild<QProgressBar*>("pbJob");
        const auto* anim = window.findChild<QLabel*>("imAnim");
        QCOMPARE(job->geometry(), QRect(0, 0, 305, 17));
        QCOMPARE(anim->geometry(), QRect(0, 0, 305, 20));
        QCOMPARE(job->parentWidget(), anim->parentWidget());
        QCOMPARE(window.findChild<QProgressBar*>("pbOverall")->size(), QSize(305, 17));

        auto* profile = window.findChild<QLabel*>("lblProfile");
        QVERIFY(profile->isHidden());
        window.SetProfileName("Rock_2");
        QCOMPARE(profile->text(), QString("Processing profile \"Rock_2\""));
        QVERIFY(!profile->isHidden());
        QCOMPARE(window.ShownProfileName(), QString("Rock_2"));
        window.StartJob("Matching groups", 4);
        QCOMPARE(window.findChild<QLabel*>("lblCurrJob")->text(), QString("Current job: Matching groups"));
        QVERIFY(window.Alive());
        QVERIFY(window.AnimIL().Count() == kAnimImageCount);
    }

    void theWindowShowsTheBarsItsTrackerDecides()
    {
        FakeClock clock;
        TfProgress window(nullptr, clock.Reader());
        window.Reset(3, 0, true);
        window.StartJob("Copying files", 10);
        window.Step(4);
        const auto* job = window.findChild<QProgressBar*>("pbJob");
        const auto* overall = window.findChild<QProgressBar*>("pbOverall");
        QCOMPARE(job->maximum(), 10);
        QCOMPARE(job->value(), 4);
        QCOMPARE(overall->maximum(), 30);
        QCOMPARE(overall->value(), 4);
        window.StartJob("Loading results", 0);
        QVERIFY(job->isHidden());
        QVERIFY(!window.findChild<QLabel*>("imAnim")->isHidden());
    }

    void theAnimationDrawsEachFrameOfItsTypeInTurn()
    {
        FakeClock clock;
        TfProgress window(nullptr, clock.Reader());
        window.Reset(1, 3, false);
        QCOMPARE(window.AnimFrames().size(), size_t(9));
        for (int frame = 0; frame < 9; ++frame)
            QCOMPARE(window.AnimFrames()[size_t(frame)].toImage(), window.AnimIL().Pixmap(7 + frame).toImage());
        window.StartJob("Adding files to the scan list", 0);
        const auto* anim = window.findChild<QLabel*>("imAnim");
        window.Step(1);
        clock.now += 1s;
        window.Step(1);
        QVERIFY2(AllWhite(SlotPart(anim, 2)), "the previous frame is erased");
        QVERIFY(!AllWhite(SlotPart(anim, 18)));
        QCOMPARE(anim->pixmap().toImage().pixelColor(1, 1), QColor(Qt::black));
    }

    void cancelByButtonEscapeOrCloseRequest()
    {
        TfProgress window;
        window.Reset(1, 0, true);
        window.show();
        auto* cancel = window.findChild<QPushButton*>("bCancel");
        QVERIFY(!window.close());
        QVERIFY(window.Cancelled());
        QVERIFY(cancel->isEnabled());

        TfProgress escaped;
        escaped.Reset(1, 0, true);
        escaped.show();
        QTest::keyClick(&escaped, Qt::Key_Escape);
        QVERIFY(escaped.Cancelled());
        QVERIFY(!escaped.findChild<QPushButton*>("bCancel")->isEnabled());

        TfProgress clicked;
        clicked.Reset(1, 0, true);
        clicked.show();
        auto* button = clicked.findChild<QPushButton*>("bCancel");
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(clicked.Cancelled());
        QVERIFY(!button->isEnabled());

        TfProgress uncancellable;
        uncancellable.Reset(1, 0, false);
        uncancellable.show();
        QVERIFY(!uncancellable.close());
        QTest::keyClick(&uncancellable, Qt::Key_Escape);
        QVERIFY(!uncancellable.Cancelled());
    }

    void showProgressMakesOneWindowUntilCloseProgress()
    {
        QVERIFY(!ProgressActive());
        TfProgress& window = ShowProgress();
        QVERIFY(window.isVisible());
        QVERIFY(ProgressActive());
        QCOMPARE(window.Tracker().JobCount(), 1);
        QVERIFY(!window.Tracker().CancelShown());
        QCOMPARE(&ShowProgress(), &window);
        window.Reset(2, 0, true);
        window.findChild<QPushButton*>("bCancel")->click();
        window.hide();
        QVERIFY(ShowProgress().isVisible());
        CloseProgress();
        QVERIFY(!ProgressActive());
        CloseProgress();
        QVERIFY2(!ShowProgress().Cancelled(), "a fresh window is not cancelled");
        CloseProgress();
    }

    void theProgressWindowTakesTheKeyboardAndGivesItBack()
    {
        QWidget caller;
        caller.show();
        caller.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&caller));
        TfProgress& window = ShowProgress();
        window.Reset(1, 0, true);
        QTRY_COMPARE(QApplication::activeWindow(), &window);
        QTest::keyClick(window.windowHandle(), Qt::Key_Escape);
        QVERIFY(window.Cancelled());
        CloseProgress();
        QTRY_COMPARE(QApplication::activeWindow(), &caller);
    }

    void underAModalWindowTheProgressWindowBelongsToIt()
    {
        QDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        dialog.show();
        QCOMPARE(QApplication::activeModalWidget(), &dialog);
        TfProgress& window = ShowProgress();
        QCOMPARE(window.parentWidget(), &dialog);
        QVERIFY(window.isWindow());
        CloseProgress();
    }
};

CORVELLA_UI_TEST_MAIN(TestProgress)
#include "test_u_progress.moc"
