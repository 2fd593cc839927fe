#include "ui/u_wizselectsize.h"

#include <QSpinBox>

#include "ui/u_wizseqselect.h"

TfrWizSelectSize::TfrWizSelectSize(QWidget* parent)
    : TfrpWizSelectComparison(QStringLiteral("%s duplicate with size between these values:"),
                              ValueModes(), parent)
{
    setObjectName("frWizSelectSize");
    SetPageTitle(QStringLiteral("Size"));
    AddSpinEdits({0, 99999}, {-10, 10});
}

void TfrWizSelectSize::SaveToProfile()
{
    SelectionCriteria.SelSizeRelative = IsRelative();
    SelectionCriteria.SelSizeMin = seMin->value();
    SelectionCriteria.SelSizeMax = seMax->value();
}

QString TfrWizSelectSize::Validate()
{
    return BoundsOrder(QStringLiteral("The maximum size can't be lower than the minimum."));
}
