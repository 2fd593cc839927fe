// The progress window in the middle of a scan, once with its job bar and once
// with the animation; and a sheet of all animation frames, by type.
#include "gallery.h"
#include "ui/progress/u_animframes.h"
#include "ui/progress/u_progress.h"

#include <QLabel>
#include <QPainter>

namespace {

// Every reading is a second later, so every step of the sample paints.
TProgressTracker::Clock SecondsApart()
{
    return [now = std::chrono::steady_clock::time_point{}]() mutable { return now += std::chrono::seconds(1); };
}

std::unique_ptr<QWidget> ScanInProgress(std::int64_t itemCount, int animType, int steps)
{
    auto window = std::make_unique<TfProgress>(nullptr, SecondsApart());
    window->Reset(4, animType, true);
    window->SetProfileName("My_Collection");
    window->StartJob("Adding files to the scan list", 0);
    window->StartJob(itemCount ? "Matching groups" : "Linking similar words", itemCount);
    for (int step = 0; step < steps; ++step)
        window->Step(itemCount / 10);
    return window;
}

GalleryEntry jobBar("progress_job", [] { return ScanInProgress(4200, 0, 6); });
GalleryEntry animation("progress_animation", [] { return ScanInProgress(0, 3, 7); });

// One row per type, each frame three times its size.
GalleryEntry frames("progress_frames", [] {
    const int cell = kAnimFrameSide * 3 + 8;
    QPixmap sheet(40 + cell * 9, cell * kAnimTypeCount + 8);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    for (int animType = 0; animType < kAnimTypeCount; ++animType) {
        const int y = 4 + animType * cell;
        painter.drawText(8, y + cell / 2, QString::number(animType));
        for (int frame = 0; frame < AnimFrameCount(animType); ++frame)
            painter.drawPixmap(QRect(40 + frame * cell, y, cell - 8, cell - 8), AnimFrame(animType, frame));
    }
    painter.end();
    auto label = std::make_unique<QLabel>();
    label->setPixmap(sheet);
    label->resize(sheet.size());
    return std::unique_ptr<QWidget>(std::move(label));
});

} // namespace
