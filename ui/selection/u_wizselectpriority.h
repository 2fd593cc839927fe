#pragma once
// The selection wizard's "Priority" page: the range of directory roles,
// from "Lowest" up to "Reference", of the entry's own directory or of its
// reference's.
#include "ui/selection/u_wizselectcomparison.h"

class TfrWizSelectPriority : public TfrpWizSelectComparison {
    Q_OBJECT
public:
    explicit TfrWizSelectPriority(QWidget* parent = nullptr);

    void SaveToProfile() override;
    QString Validate() override;

    QComboBox* cbMin;
    QComboBox* cbMax;
};

// The directory role of a position in the lists, "Reference" (0) down to
// "Lowest" (5).
std::uint8_t RoleOfPriorityPosition(int position);
// The name of a directory role in the lists; any role but the priorities
// is "Reference".
QString PriorityName(int role);
