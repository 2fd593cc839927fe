#include "ui/progress/u_scanmailbox.h"


void TScanMailbox::StartJob(const std::string& caption, std::uint64_t itemCount)
{
    std::lock_guard lock(mutex_);
    jobs_.push_back({caption, itemCount, steps_.exchange(0, std::memory_order_relaxed)});
}

void TScanMailbox::Drain(TProgressSink& into)
{
    std::vector<TPostedJob> jobs;
    std::uint64_t stepsOfLastJob = 0;
    {
        // Both exchanges of the count happen under the mutex, so every step
        // lands either before the job that follows it or in this last share.
        std::lock_guard lock(mutex_);
        jobs.swap(jobs_);
        stepsOfLastJob = steps_.exchange(0, std::memory_order_relaxed);
    }
    for (const TPostedJob& job : jobs) {
        if (job.stepsBefore > 0)
            into.Step(job.stepsBefore);
        into.StartJob(job.caption, job.itemCount);
    }
    if (stepsOfLastJob > 0)
        into.Step(stepsOfLastJob);
}

TScanMailboxPump::TScanMailboxPump(TScanMailbox& mailbox, QObject* parent) : QObject(parent), mailbox_(mailbox)
{
    connect(&timer_, &QTimer::timeout, this, &TScanMailboxPump::DrainNow);
    timer_.start(kInterval);
}

void TScanMailboxPump::DrainNow()
{
    if (draining_)
        return;
    draining_ = true;
    mailbox_.Drain(window_);
    draining_ = false;
}
