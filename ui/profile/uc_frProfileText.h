#pragma once
// The page of a profile editor section that only explains what its
// subsections are about: the section's text, centred.
#include "ui/profile/up_frprofile.h"

class QLabel;

class TfrcProfileText : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrcProfileText(QWidget* parent = nullptr);

    void SetHelpText(const QString& text) override;

    QLabel* lblComment;
};
