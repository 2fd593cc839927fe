#include "ui/selection/u_wizselectsize.h"

#include "ui/selection/u_selectioncriteria.h"

TfrWizSelectSize::TfrWizSelectSize(QWidget* parent)
    : TfrpWizSelectComparison(QStringLiteral("%s duplicate with size between these values:"), ValueModes(), parent)
{
    setObjectName("frWizSelectSize");
    SetPageTitle(QStringLiteral("Size"));
    AddSpinEdits({&SelectionCriteria.SelSizeRelative, &SelectionCriteria.SelSizeMin, &SelectionCriteria.SelSizeMax},
                 QStringLiteral("The maximum size can't be lower than the minimum."), buMegabytes, {0, 99999}, {-10, 10});
}
