#pragma once
// How a worker thread reports to the progress window without touching it:
// the worker posts each new job (caption and item count, under a mutex) and
// adds its steps to an atomic count; the window thread drains both on a short
// timer. No event is queued per item, however many items a job reports.
#include "base/u_progresssink.h"
#include "ui/progress/u_progress.h"

#include <QObject>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

class TScanMailbox : public TProgressSink {
public:
    // Worker side. A new job; steps reported before it stay with the job before.
    void StartJob(const std::string& caption, std::uint64_t itemCount) override;
    // Lock-free: a scan reports billions of items.
    void Step(std::uint64_t items = 1) override { steps_.fetch_add(items, std::memory_order_relaxed); }

    // Window side: every job begun and every step reported since the last
    // drain, in the order they were reported, go to into. No report is made
    // for no steps.
    void Drain(TProgressSink& into);

private:
    struct TPostedJob {
        std::string caption;
        std::uint64_t itemCount;
        std::uint64_t stepsBefore;  // steps of the job before this one, not yet drained
    };

    std::mutex mutex_;
    std::vector<TPostedJob> jobs_;
    // On a line of its own, so that the window thread taking the mutex does
    // not slow the worker's steps.
    alignas(64) std::atomic<std::uint64_t> steps_{0};
};

// Drains a mailbox into the progress window (ShowProgress) on the window
// thread, every kInterval while it lives; a report after CloseProgress would
// open a fresh window, so it is to end with the operation.
class TScanMailboxPump : public QObject {
    Q_OBJECT

public:
    static constexpr std::chrono::milliseconds kInterval{50};

    explicit TScanMailboxPump(TScanMailbox& mailbox, QObject* parent = nullptr);
    // Drains at once, for instance after the worker has ended.
    void DrainNow();

private:
    TScanMailbox& mailbox_;
    QTimer timer_;
    TProgressWindowSink window_;
    // The progress window lets pending events run, which may include a drain.
    bool draining_ = false;
};
