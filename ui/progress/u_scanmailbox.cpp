#include "ui/progress/u_scanmailbox.h"

#include "ui/progress/u_progress.h"

void TScanMailbox::StartJob(const std::string& caption, std::uint64_t itemCount)
{
    std::lock_guard lock(mutex_);
    jobs_.push_back({caption, itemCount, steps_.exchange(0, std::memory_order_relaxed)});
}

void TScanMailbox::Drain(const JobReport& onJob, const StepReport& onSteps)
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
            onSteps(job.stepsBefore);
        onJob(job.caption, job.itemCount);
    }
    if (stepsOfLastJob > 0)
        onSteps(stepsOfLastJob);
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
    mailbox_.Drain(
        [](const std::string& caption, std::uint64_t itemCount) {
            ShowProgress().StartJob(QString::fromStdString(caption), static_cast<std::int64_t>(itemCount));
        },
        [](std::uint64_t items) { ShowProgress().Step(static_cast<std::int64_t>(items)); });
    draining_ = false;
}
