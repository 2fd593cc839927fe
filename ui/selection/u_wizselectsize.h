#pragma once
// The selection wizard's "Size" page: the size range (in KB), absolute or
// relative to the reference's size.
#include "ui/selection/u_wizselectcomparison.h"

class TfrWizSelectSize : public TfrpWizSelectComparison {
    Q_OBJECT
public:
    explicit TfrWizSelectSize(QWidget* parent = nullptr);
};
