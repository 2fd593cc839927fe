#include "ui/selection/u_wizselectbitrate.h"

#include "ui/selection/u_selectioncriteria.h"

TfrWizSelectBitrate::TfrWizSelectBitrate(QWidget* parent)
    : TfrpWizSelectComparison(QStringLiteral("%s duplicate with bitrate between these values:"), ValueModes(), parent)
{
    setObjectName("frWizSelectBitrate");
    SetPageTitle(QStringLiteral("Bitrate"));
    AddSpinEdits({&SelectionCriteria.SelBitrateRelative, &SelectionCriteria.SelBitrateMin, &SelectionCriteria.SelBitrateMax},
                 QStringLiteral("The maximum bitrate can't be lower than the minimum"), buKbitPerSecond, {0, 400}, {-10, 10});
}
