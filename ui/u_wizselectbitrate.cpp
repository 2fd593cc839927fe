#include "ui/u_wizselectbitrate.h"

#include <QSpinBox>

#include "ui/u_wizseqselect.h"

TfrWizSelectBitrate::TfrWizSelectBitrate(QWidget* parent)
    : TfrpWizSelectComparison(QStringLiteral("%s duplicate with bitrate between these values:"),
                              ValueModes(), parent)
{
    setObjectName("frWizSelectBitrate");
    SetPageTitle(QStringLiteral("Bitrate"));
    AddSpinEdits({0, 400}, {-10, 10});
}

void TfrWizSelectBitrate::SaveToProfile()
{
    SelectionCriteria.SelBitrateRelative = IsRelative();
    SelectionCriteria.SelBitrateMin = seMin->value();
    SelectionCriteria.SelBitrateMax = seMax->value();
}

QString TfrWizSelectBitrate::Validate()
{
    return BoundsOrder(QStringLiteral("The maximum bitrate can't be lower than the minimum"));
}
