#pragma once
// The selection wizard's "Relevance" page: the range of the relevance to
// the reference, in percent; always measured against the reference.
#include "ui/selection/u_wizselectcomparison.h"

class TfrWizSelectRelevance : public TfrpWizSelectComparison {
    Q_OBJECT
public:
    explicit TfrWizSelectRelevance(QWidget* parent = nullptr);
};
