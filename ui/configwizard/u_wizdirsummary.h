#pragma once
// The configuration wizard's summary of the directories the new profile
// scans, each with the image of its role.
#include "ui/profile/up_frprofile.h"

class QLabel;
class TBWDirTV;
class TBWFSDrive;

class TfrWizDirSummary : public TfrpProfile {
    Q_OBJECT
public:
    // The tree shows modelRoot (none: the program's model root).
    explicit TfrWizDirSummary(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);

    // The profile's directories become the tree's roots.
    void LoadFromProfile() override;

    QLabel* Label1;
    TBWDirTV* tvAdd;
};
