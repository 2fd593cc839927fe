#include "ui/u_mpleditor.h"

#include <QCoreApplication>

#include "engine/u_cvprofile.h"
#include "ui/u_progress.h"

// --------------------------------------------------- TProgressWindowReport

void TProgressWindowReport::StartJob(const std::string& caption, std::int32_t itemCount, bool showCancel)
{
    TfProgress& window = ShowProgress();
    window.Reset(1, CurrentProfile().AnimNo, showCancel);
    window.StartJob(QString::fromStdString(caption), itemCount);
}

void TProgressWindowReport::Step(std::int32_t count)
{
    ShowProgress().Step(count);
}

bool TProgressWindowReport::Cancelled()
{
    // The progress window lets events run only every half second; Cancel
    // must be answered sooner.
    QCoreApplication::processEvents();
    return ShowProgress().Cancelled();
}

void TProgressWindowReport::Close()
{
    CloseProgress();
}

TBWDirMpl* AddVolumeToMpl(TBWDirMpl* list, TBWDirectory* dir, const std::string& name)
{
    TProgressWindowReport progress;
    return AddVolumeToMpl(list, dir, name, progress);
}
