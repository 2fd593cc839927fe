#pragma once
// The configuration wizard's page that names the new profile: the profile
// editor's general page under a wizard title.
#include "ui/profile/uc_frProCVGeneral.h"

class TfrWizProfileName : public TfrcProCVGeneral {
    Q_OBJECT
public:
    explicit TfrWizProfileName(QWidget* parent = nullptr);

    QLabel* Label1;
};
