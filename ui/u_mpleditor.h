#pragma once
// The Mp3 List editor's side of the program's windows: its long operations
// report to the progress window. The configuration wizard reads discs
// through AddVolumeToMpl here.
#include "ui/u_mpleditorcommands.h"

// Reports to the program's progress window, with the current profile's
// animation.
class TProgressWindowReport : public TMplProgress {
public:
    void StartJob(const std::string& caption, std::int32_t itemCount, bool showCancel) override;
    void Step(std::int32_t count) override;
    bool Cancelled() override;
    void Close() override;
};

// AddVolumeToMpl reporting to the progress window, reading on one thread
// per processor.
TBWDirMpl* AddVolumeToMpl(TBWDirMpl* list, TBWDirectory* dir, const std::string& name);
