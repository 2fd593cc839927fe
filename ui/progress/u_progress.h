#pragma once
// The one progress window of the program: scans, loading results, the file
// actions of the results window and the Mp3 List editor's long operations
// report through it. Callers reach it through ShowProgress, which makes it on
// first use, and end it with CloseProgress; it never closes itself.
#include "base/u_progresssink.h"
#include "ui/common/u_pictures.h"
#include "ui/progress/u_progresstracker.h"

#include <QWidget>
#include <cstdint>
#include <vector>

class QLabel;
class QProgressBar;
class QPushButton;

class TfProgress : public QWidget {
    Q_OBJECT

public:
    // A tool window over `parent`; without one it is a window of its own.
    explicit TfProgress(QWidget* parent = nullptr, TProgressTracker::Clock clock = std::chrono::steady_clock::now);
    ~TfProgress() override;

    // A new operation of jobCount jobs with animation type animType; Cancel
    // shows only when the operation can be cancelled. Cancelled stays as it was.
    void Reset(int jobCount, int animType, bool showCancel);
    // "Processing profile "name"" above the job; an empty name hides the line.
    void SetProfileName(const QString& name);
    void SetJobCaption(const QString& caption);
    // The next job; itemCount 0 (or less) shows the animation instead of the job bar.
    void StartJob(const QString& caption, std::int64_t itemCount);
    // count more items of the current job are done. Paints, and lets pending
    // window events run, at most every half second.
    void Step(std::int64_t count);

    // Set by Cancel, or by a close request while Cancel shows; never cleared.
    bool Cancelled() const { return tracker_.Cancelled(); }
    bool Alive() const { return alive_; }
    const QString& ShownProfileName() const { return shownProfileName_; }
    const TProgressTracker& Tracker() const { return tracker_; }
    // The frames of the loaded animation type, copied out of AnimIL.
    const std::vector<QPixmap>& AnimFrames() const { return animFrames_; }
    const TImageList& AnimIL() const { return animIL_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void bCancelClick();

private:
    friend void CloseProgress();

    void BuildForm();
    void LoadFrames();
    void ShowBars();
    void ShowAnimation();
    void ShowCancel();

    TProgressTracker tracker_;
    bool alive_ = false;
    QString shownProfileName_;
    TImageList animIL_{kAnimFrameSide};
    std::vector<QPixmap> animFrames_;
    QPixmap animCanvas_;

    QLabel* lblProfile = nullptr;
    QLabel* lblCurrJob = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* pbJob = nullptr;
    QProgressBar* pbOverall = nullptr;
    QLabel* imAnim = nullptr;
    QPushButton* bCancel = nullptr;
};

// The progress window, made (one job, animation type 0, Cancel hidden) and
// shown when there is none, and shown again when hidden. Made while a modal
// window is up, it belongs to that window, so that Cancel can be clicked.
TfProgress& ShowProgress();
// Frees the progress window, if there is one; the next ShowProgress makes a fresh one.
void CloseProgress();
// Whether the progress window exists and is alive: callers then bring it to the front.
bool ProgressActive();

// What long work reports, shown in the progress window (ShowProgress); Close
// frees the window (CloseProgress).
class TProgressWindowSink : public TProgressSink {
public:
    // animType: the animation of an operation begun here.
    explicit TProgressWindowSink(int animType = 0) : animType_(animType) {}

    void Begin(std::int32_t jobCount, bool cancellable) override;
    void StartJob(const std::string& caption, std::uint64_t itemCount) override;
    void Step(std::uint64_t count) override;
    // The window lets events run only every half second: Cancel is answered sooner.
    bool Cancelled() override;
    void Close() override;

private:
    int animType_;
};
