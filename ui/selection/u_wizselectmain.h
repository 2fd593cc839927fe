#pragma once
// The selection wizard's first page: what to do to the entries (check,
// uncheck, toggle) and which criteria they must meet.
#include <array>

#include "ui/profile/up_frprofile.h"
#include "ui/selection/u_selectioncriteria.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;

class TfrWizSelectMain : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrWizSelectMain(QWidget* parent = nullptr);

    void SaveToProfile() override;
    QString Validate() override;

    QGroupBox* rgAction;
    QButtonGroup* rgActionButtons;
    QLabel* lblPerform;
    // In criterion order: cbDirectory, cbPriority ... cbRelevance.
    std::array<QCheckBox*, scCount> criteria;
};

// The note under the criteria, also on the summary page.
QString AllCriteriaNote();
