#include "ui/selection/u_wizselectduration.h"

#include "ui/selection/u_selectioncriteria.h"

TfrWizSelectDuration::TfrWizSelectDuration(QWidget* parent)
    : TfrpWizSelectComparison(QStringLiteral("%s duplicate with duration between these values:"), ValueModes(), parent)
{
    setObjectName("frWizSelectDuration");
    SetPageTitle(QStringLiteral("Duration"));
    AddSpinEdits({&SelectionCriteria.SelDurationRelative, &SelectionCriteria.SelDurationMin, &SelectionCriteria.SelDurationMax},
                 QStringLiteral("The maximum duration can't be lower than the minimum."), buMinutesSeconds, {0, 600}, {-3, 3});
}
