#include "ui/progress/u_progresstracker.h"

#include <algorithm>
#include <climits>

TWidgetBar FitToWidget(const TBarValues& bar)
{
    // A widget with maximum 0 shows a busy bar; an operation of no jobs shows an empty one.
    const std::int64_t maximum = std::max<std::int64_t>(bar.maximum, 1);
    const std::int64_t divisor = maximum / INT_MAX + 1;
    return {static_cast<int>(maximum / divisor),
            static_cast<int>(std::clamp<std::int64_t>(bar.position, 0, maximum) / divisor)};
}

TProgressTracker::TProgressTracker(Clock clock) : clock_(std::move(clock)) {}

bool TProgressTracker::Reset(int jobCount, int animType, bool showCancel)
{
    jobCount_ = jobCount;
    jobIndex_ = -1;
    job_ = {};
    pendingSteps_ = 0;
    cancelShown_ = showCancel;
    if (animType == animType_)
        return false;
    animType_ = animType;
    return true;
}

void TProgressTracker::StartJob(std::int64_t itemCount)
{
    frameCounter_ = 0;
    itemCount = std::max<std::int64_t>(itemCount, 0);
    job_ = {itemCount, 0};
    pendingSteps_ = 0;
    ++jobIndex_;
    // Every job is one equal segment of the overall bar, counted in the job's own items.
    const std::int64_t segment = std::max<std::int64_t>(itemCount, 1);
    overall_ = {segment * jobCount_, std::min(segment * jobIndex_, segment * jobCount_)};
}

bool TProgressTracker::Step(std::int64_t count)
{
    pendingSteps_ += count;
    if (!RepaintDue())
        return false;
    if (job_.maximum > 0) {
        AdvanceBars();
    } else {
        placement_ = PlaceAnimStep(frameCounter_, AnimFrameCount(animType_), kAnimSlotWidth);
        ++frameCounter_;
    }
    lastRepaint_ = clock_();
    pendingSteps_ = 0;
    return true;
}

bool TProgressTracker::RepaintDue() const
{
    return !lastRepaint_ || clock_() - *lastRepaint_ > kRepaintInterval;
}

void TProgressTracker::AdvanceBars()
{
    // A job reporting more items than it announced shows a full bar, no more:
    // the overall bar stays within the job's segment.
    const std::int64_t before = job_.position;
    job_.position = std::clamp<std::int64_t>(before + pendingSteps_, 0, job_.maximum);
    overall_.position = std::clamp<std::int64_t>(overall_.position + job_.position - before, 0, overall_.maximum);
}

void TProgressTracker::Cancel()
{
    cancelled_ = true;
    cancelEnabled_ = false;
}

void TProgressTracker::RequestClose()
{
    if (cancelShown_)
        cancelled_ = true;
}
