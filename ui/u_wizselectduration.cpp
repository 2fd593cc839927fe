#include "ui/u_wizselectduration.h"

#include <QSpinBox>

#include "ui/u_wizseqselect.h"

TfrWizSelectDuration::TfrWizSelectDuration(QWidget* parent)
    : TfrpWizSelectComparison(QStringLiteral("%s duplicate with duration between these values:"),
                              ValueModes(), parent)
{
    setObjectName("frWizSelectDuration");
    SetPageTitle(QStringLiteral("Duration"));
    AddSpinEdits({0, 600}, {-3, 3});
}

void TfrWizSelectDuration::SaveToProfile()
{
    SelectionCriteria.SelDurationRelative = IsRelative();
    SelectionCriteria.SelDurationMin = seMin->value();
    SelectionCriteria.SelDurationMax = seMax->value();
}

QString TfrWizSelectDuration::Validate()
{
    return BoundsOrder(QStringLiteral("The maximum duration can't be lower than the minimum."));
}
