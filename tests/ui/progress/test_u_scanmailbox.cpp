#include "ui/progress/u_progress.h"
#include "ui/progress/u_scanmailbox.h"
#include "tests/ui/ui_test_main.h"

#include <atomic>
#include <thread>

namespace {

// What a drain handed over: each job with the steps reported under it.
struct DrainedJob {
    std::string caption;
    std::uint64_t itemCount;
    std::uint64_t steps;
};

struct Recorder : TProgressSink {
    std::vector<DrainedJob> jobs;
    std::uint64_t stepsBeforeAnyJob = 0;

    void StartJob(const std::string& caption, std::uint64_t count) override { jobs.push_back({caption, count, 0}); }
    void Step(std::uint64_t items) override { (jobs.empty() ? stepsBeforeAnyJob : jobs.back().steps) += items; }
    void DrainFrom(TScanMailbox& mailbox) { mailbox.Drain(*this); }
};

// Jobs as a scan reports them: a caption, then one step per item.
const DrainedJob kScan[] = {
    {"Adding files to the scan list", 0, 0},
    {"Grouping files by words", 3000, 3000},
    {"Linking similar words", 0, 0},
    {"Matching groups", 20000, 20000},
    {"Processing negative results", 0, 0},
};

void ReportScan(TScanMailbox& mailbox)
{
    for (const DrainedJob& job : kScan) {
        mailbox.StartJob(job.caption, job.itemCount);
        for (std::uint64_t item = 0; item < job.steps; ++item)
            mailbox.Step(1);
    }
}

} // namespace

class TestScanMailbox : public QObject {
    Q_OBJECT

private slots:
    void stepsStayWithTheirJobWhileTheWorkerRuns()
    {
        TScanMailbox mailbox;
        Recorder recorder;
        std::atomic<bool> done{false};
        std::thread worker([&] {
            mailbox.Step(5);
            ReportScan(mailbox);
            done = true;
        });
        while (!done)
            recorder.DrainFrom(mailbox);
        worker.join();
        recorder.DrainFrom(mailbox);

        QCOMPARE(recorder.stepsBeforeAnyJob, 5u);
        QCOMPARE(recorder.jobs.size(), std::size(kScan));
        for (size_t index = 0; index < std::size(kScan); ++index) {
            QCOMPARE(recorder.jobs[index].caption, kScan[index].caption);
            QCOMPARE(recorder.jobs[index].itemCount, kScan[index].itemCount);
            QCOMPARE(recorder.jobs[index].steps, kScan[index].steps);
        }
    }

    void aDrainWithNothingNewReportsNothing()
    {
        TScanMailbox mailbox;
        mailbox.StartJob("Matching groups", 4);
        Recorder recorder;
        recorder.DrainFrom(mailbox);
        recorder.DrainFrom(mailbox);
        QCOMPARE(recorder.jobs.size(), size_t(1));
        QCOMPARE(recorder.jobs[0].steps, 0u);
    }

    void thePumpBringsAWorkersReportsToTheProgressWindow()
    {
        TScanMailbox mailbox;
        TScanMailboxPump pump(mailbox);
        ShowProgress().Reset(int(std::size(kScan)), 0, true);
        std::thread worker([&] { ReportScan(mailbox); });
        worker.join();
        const TProgressTracker& tracker = ShowProgress().Tracker();
        QTRY_COMPARE(tracker.JobIndex(), int(std::size(kScan)) - 1);
        pump.DrainNow();
        QCOMPARE(tracker.OverallBar().maximum, std::int64_t(std::size(kScan)));

        mailbox.StartJob("Matching groups", 500);
        for (int item = 0; item < 500; ++item)
            mailbox.Step();
        QTRY_COMPARE(tracker.JobBar().maximum, 500);
        QTRY_COMPARE(tracker.JobBar().position + tracker.PendingSteps(), 500);
        CloseProgress();
    }
};

CORVELLA_UI_TEST_MAIN(TestScanMailbox)
#include "test_u_scanmailbox.moc"
