#pragma once
// The selection wizard's "Duration" page: the duration range (in seconds), absolute or
// relative to the reference's duration.
#include "ui/selection/u_wizselectcomparison.h"

class TfrWizSelectDuration : public TfrpWizSelectComparison {
    Q_OBJECT
public:
    explicit TfrWizSelectDuration(QWidget* parent = nullptr);
};
