#include "ui/progress/u_progress.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

QPointer<TfProgress> gProgress;
// The window that had the keyboard when the progress window came up; it gets
// it back when the progress window goes.
QPointer<QWidget> gFocusBefore;

template <class Widget>
Widget* Named(Widget* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

// Lines that come and go keep their room, so the window never changes size.
void KeepRoomWhenHidden(QWidget* widget)
{
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

void ShowBar(QProgressBar* widget, const TBarValues& values)
{
    const TWidgetBar bar = FitToWidget(values);
    widget->setRange(0, bar.maximum);
    widget->setValue(bar.position);
}

} // namespace

TfProgress::TfProgress(QWidget* parent, TProgressTracker::Clock clock)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint), tracker_(std::move(clock))
{
    setObjectName("fProgress");
    setWindowTitle(tr("Working..."));
    BuildForm();
    FillAnimImages(animIL_);
    animCanvas_ = QPixmap(TProgressTracker::kAnimSlotWidth, 20);
    animCanvas_.fill(palette().color(QPalette::Window));
    PaintAnimStep(animCanvas_, {}, {});
    imAnim->setPixmap(animCanvas_);
    SetProfileName({});
    Reset(0, 0, false);
    alive_ = true;

    adjustSize();
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

TfProgress::~TfProgress() = default;

void TfProgress::BuildForm()
{
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    lblProfile = Named(new QLabel(this), "lblProfile");
    lblProfile->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblProfile->setFixedHeight(17);
    KeepRoomWhenHidden(lblProfile);
    lblCurrJob = Named(new QLabel(this), "lblCurrJob");
    lblCurrJob->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    lblCurrJob->setFixedHeight(24);
    Label1 = Named(new QLabel(tr("Job progress:"), this), "Label1");

    // The job bar and the animation share one place: a job shows one of them.
    auto* slot = new QWidget(this);
    slot->setFixedSize(TProgressTracker::kAnimSlotWidth, 20);
    pbJob = Named(new QProgressBar(slot), "pbJob");
    pbJob->setGeometry(0, 0, TProgressTracker::kAnimSlotWidth, 17);
    pbJob->setTextVisible(false);
    imAnim = Named(new QLabel(slot), "imAnim");
    imAnim->setGeometry(0, 0, TProgressTracker::kAnimSlotWidth, 20);

    Label2 = Named(new QLabel(tr("Overall progress:"), this), "Label2");
    pbOverall = Named(new QProgressBar(this), "pbOverall");
    pbOverall->setFixedSize(TProgressTracker::kAnimSlotWidth, 17);
    pbOverall->setTextVisible(false);
    bCancel = Named(new QPushButton(tr("&Cancel"), this), "bCancel");
    KeepRoomWhenHidden(bCancel);
    connect(bCancel, &QPushButton::clicked, this, &TfProgress::bCancelClick);

    layout->addWidget(lblProfile);
    layout->addWidget(lblCurrJob);
    layout->addWidget(Label1);
    layout->addWidget(slot);
    layout->addWidget(Label2);
    layout->addWidget(pbOverall);
    layout->addSpacing(6);
    layout->addWidget(bCancel, 0, Qt::AlignHCenter);
}

void TfProgress::Reset(int jobCount, int animType, bool showCancel)
{
    if (tracker_.Reset(jobCount, animType, showCancel))
        LoadFrames();
    ShowBars();
    ShowCancel();
}

void TfProgress::SetProfileName(const QString& name)
{
    shownProfileName_ = name;
    lblProfile->setVisible(!name.isEmpty());
    lblProfile->setText(tr("Processing profile \"%1\"").arg(name));
}

void TfProgress::SetJobCaption(const QString& caption)
{
    lblCurrJob->setText(tr("Current job: %1").arg(caption));
}

void TfProgress::StartJob(const QString& caption, std::int64_t itemCount)
{
    SetJobCaption(caption);
    tracker_.StartJob(itemCount);
    ShowBars();
    QCoreApplication::processEvents();
}

void TfProgress::Step(std::int64_t count)
{
    if (!tracker_.Step(count))
        return;
    if (tracker_.ShowsAnimation())
        ShowAnimation();
    else
        ShowBars();
    QCoreApplication::processEvents();
}

void TfProgress::LoadFrames()
{
    animFrames_.clear();
    const int first = AnimFirstImage(tracker_.AnimType());
    for (int frame = 0; frame < AnimFrameCount(tracker_.AnimType()); ++frame)
        animFrames_.push_back(animIL_.Pixmap(first + frame));
}

void TfProgress::ShowBars()
{
    ShowBar(pbJob, tracker_.JobBar());
    ShowBar(pbOverall, tracker_.OverallBar());
    pbJob->setVisible(!tracker_.ShowsAnimation());
    imAnim->setVisible(tracker_.ShowsAnimation());
}

void TfProgress::ShowAnimation()
{
    const TAnimPlacement& placement = tracker_.LastPlacement();
    const bool hasFrame = placement.frame >= 0 && placement.frame < static_cast<int>(animFrames_.size());
    PaintAnimStep(animCanvas_, hasFrame ? animFrames_[static_cast<size_t>(placement.frame)] : QPixmap(), placement);
    imAnim->setPixmap(animCanvas_);
}

void TfProgress::ShowCancel()
{
    bCancel->setVisible(tracker_.CancelShown());
    bCancel->setEnabled(tracker_.CancelEnabled());
}

void TfProgress::bCancelClick()
{
    tracker_.Cancel();
    ShowCancel();
}

void TfProgress::closeEvent(QCloseEvent* event)
{
    // The window never closes itself: its caller sees Cancelled and calls CloseProgress.
    tracker_.RequestClose();
    event->ignore();
}

void TfProgress::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && bCancel->isVisibleTo(this) && bCancel->isEnabled())
        bCancel->click();
    else
        QWidget::keyPressEvent(event);
}

TfProgress& ShowProgress()
{
    if (!gProgress) {
        gProgress = new TfProgress(QApplication::activeModalWidget());
        gProgress->Reset(1, 0, false);
    }
    if (!gProgress->isVisible()) {
        if (QWidget* active = QApplication::activeWindow(); active && active != gProgress)
            gFocusBefore = active;
        gProgress->show();
        gProgress->raise();
        // Esc must reach Cancel, so the window takes the keyboard.
        gProgress->activateWindow();
    }
    return *gProgress;
}

void CloseProgress()
{
    if (gProgress) {
        gProgress->alive_ = false;
        delete gProgress.data();
    }
    gProgress = nullptr;
    if (gFocusBefore && gFocusBefore->isVisible())
        gFocusBefore->activateWindow();
    gFocusBefore = nullptr;
}

bool ProgressActive()
{
    return gProgress && gProgress->Alive();
}

void TProgressWindowSink::Begin(std::int32_t jobCount, bool cancellable)
{
    ShowProgress().Reset(jobCount, animType_, cancellable);
}

void TProgressWindowSink::StartJob(const std::string& caption, std::uint64_t itemCount)
{
    ShowProgress().StartJob(QString::fromStdString(caption), static_cast<std::int64_t>(itemCount));
}

void TProgressWindowSink::Step(std::uint64_t count)
{
    ShowProgress().Step(static_cast<std::int64_t>(count));
}

bool TProgressWindowSink::Cancelled()
{
    QCoreApplication::processEvents();
    return ShowProgress().Cancelled();
}

void TProgressWindowSink::Close()
{
    CloseProgress();
}
