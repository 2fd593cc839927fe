#pragma once
// The selection wizard's "Bitrate" page: the bitrate range (in kbit/s), absolute or
// relative to the reference's bitrate.
#include "ui/selection/u_wizselectcomparison.h"

class TfrWizSelectBitrate : public TfrpWizSelectComparison {
    Q_OBJECT
public:
    explicit TfrWizSelectBitrate(QWidget* parent = nullptr);
};
