#pragma once
// What the progress window decides, without a widget: the values of its job
// and overall bars, which animation frame goes where, when it may repaint,
// and what Cancel and a close request do. TfProgress shows this state; tests
// drive it with a fake clock.
#include "ui/progress/u_animframes.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

struct TBarValues {
    std::int64_t maximum = 1;
    std::int64_t position = 0;
};

// The same fill in the range a progress bar widget holds (int): the job of
// linking similar words can count billions of pairs.
struct TWidgetBar {
    int maximum = 1;
    int position = 0;
};
TWidgetBar FitToWidget(const TBarValues& bar);

class TProgressTracker {
public:
    // Monotonic, so that a wall clock set back cannot stop the repaints.
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    // The animation slot is this wide: 18 positions.
    static constexpr int kAnimSlotWidth = 305;
    // Repaints are at least this far apart.
    static constexpr std::chrono::milliseconds kRepaintInterval{500};

    explicit TProgressTracker(Clock clock = std::chrono::steady_clock::now);

    // A new operation of jobCount jobs. True when the frames of animType are
    // to be loaded, that is when another type was loaded before.
    bool Reset(int jobCount, int animType, bool showCancel);
    // The next job; a negative count is 0, a job without count shows the animation.
    void StartJob(std::int64_t itemCount);
    // count more items are done. True when the window is to repaint now: the
    // bars have advanced by every step since the last repaint, or the
    // animation by one frame (see LastPlacement).
    bool Step(std::int64_t count);

    // The Cancel button: sets Cancelled and disables the button.
    void Cancel();
    // A close request is always refused; it cancels only an operation that
    // can be cancelled, so it cannot cancel the next one reusing the window.
    void RequestClose();

    bool Cancelled() const { return cancelled_; }
    bool CancelShown() const { return cancelShown_; }
    bool CancelEnabled() const { return cancelEnabled_; }
    // The animation takes the job bar's place while the job has no item count.
    bool ShowsAnimation() const { return job_.maximum == 0; }
    const TBarValues& JobBar() const { return job_; }
    const TBarValues& OverallBar() const { return overall_; }
    int JobCount() const { return jobCount_; }
    int JobIndex() const { return jobIndex_; }
    int AnimType() const { return animType_; }
    int FrameCounter() const { return frameCounter_; }
    std::int64_t PendingSteps() const { return pendingSteps_; }
    // Where the animation's last painted step goes.
    const TAnimPlacement& LastPlacement() const { return placement_; }

private:
    bool RepaintDue() const;
    void AdvanceBars();

    Clock clock_;
    bool cancelled_ = false;
    bool cancelShown_ = false;
    bool cancelEnabled_ = true;
    TBarValues job_;
    TBarValues overall_;
    int jobCount_ = 0;
    int jobIndex_ = -1;
    int frameCounter_ = 0;
    std::int64_t pendingSteps_ = 0;
    int animType_ = -1;
    TAnimPlacement placement_;
    // Empty until the first repaint, which is therefore never held back.
    std::optional<std::chrono::steady_clock::time_point> lastRepaint_;
};
