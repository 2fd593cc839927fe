// A worker reports 10,000,000 steps through the scan mailbox while the window
// thread drains it into the progress window: the cost of a step on the worker,
// and how often the window's bar repainted. Run once flat out, and once with
// items that take as long as a job of a few seconds.
#include "ui/common/u_pictures.h"
#include "ui/progress/u_progress.h"
#include "ui/progress/u_scanmailbox.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint64_t kSteps = 10'000'000;

// When a widget repainted.
class PaintLog : public QObject {
public:
    std::vector<Clock::time_point> paints;

    double ShortestGap() const
    {
        Clock::duration shortest = Clock::duration::max();
        for (size_t index = 1; index < paints.size(); ++index)
            shortest = std::min(shortest, paints[index] - paints[index - 1]);
        return paints.size() < 2 ? 0 : std::chrono::duration<double>(shortest).count();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            paints.push_back(Clock::now());
        return QObject::eventFilter(watched, event);
    }
};

// itemTime: how long each item's own work takes before its step is reported.
void Run(const char* title, std::chrono::nanoseconds itemTime)
{
    TfProgress& window = ShowProgress();
    window.Reset(1, 0, true);
    PaintLog log;

    TScanMailbox mailbox;
    TScanMailboxPump pump(mailbox);
    std::atomic<bool> done{false};
    Clock::duration stepping{};
    const Clock::time_point start = Clock::now();
    mailbox.StartJob("Matching groups", kSteps);
    pump.DrainNow();
    // Only the repaints that steps cause count: the job's start paints at once.
    QApplication::processEvents();
    window.findChild<QProgressBar*>("pbJob")->installEventFilter(&log);
    std::thread worker([&] {
        const Clock::time_point begin = Clock::now();
        for (std::uint64_t item = 0; item < kSteps; ++item) {
            if (itemTime.count() > 0)
                while (Clock::now() < begin + itemTime * static_cast<std::int64_t>(item + 1)) {
                }
            mailbox.Step(1);
        }
        stepping = Clock::now() - begin;
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done)
            loop.quit();
    });
    poll.start(10);
    loop.exec();
    worker.join();
    pump.DrainNow();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();

    std::printf("%s\n", title);
    std::printf("  worker: %.2f ns per item, its Step(1) included (%.3f s for %llu steps)\n",
                std::chrono::duration<double, std::nano>(stepping).count() / kSteps,
                std::chrono::duration<double>(stepping).count(), static_cast<unsigned long long>(kSteps));
    std::printf("  window: job bar repainted %zu times in %.2f s, the closest %.3f s apart; bar at %lld of %lld\n",
                log.paints.size(), seconds, log.ShortestGap(),
                static_cast<long long>(window.Tracker().JobBar().position + window.Tracker().PendingSteps()),
                static_cast<long long>(window.Tracker().JobBar().maximum));
    CloseProgress();
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TPictureModules pictures;
    Run("Flat out: nothing but steps", std::chrono::nanoseconds(0));
    Run("A job of about 3 s: 300 ns of work per item", std::chrono::nanoseconds(300));
    return 0;
}
