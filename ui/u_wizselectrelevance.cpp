#include "ui/u_wizselectrelevance.h"

#include <QComboBox>
#include <QSpinBox>

#include "ui/u_wizseqselect.h"

TfrWizSelectRelevance::TfrWizSelectRelevance(QWidget* parent)
    : TfrpWizSelectComparison(QStringLiteral("%s duplicate with relevance between these values:"), ValueModes(),
                              parent)
{
    setObjectName("frWizSelectRelevance");
    SetPageTitle(QStringLiteral("Relevance"));
    cbComp->hide();
    AddSpinEdits({0, 100}, {0, 100}, 0, 100);
    for (QSpinBox* spin : {seMin, seMax})
        spin->setSuffix(QStringLiteral(" %"));
}

void TfrWizSelectRelevance::SaveToProfile()
{
    SelectionCriteria.SelRelevanceMin = seMin->value();
    SelectionCriteria.SelRelevanceMax = seMax->value();
}

QString TfrWizSelectRelevance::Validate()
{
    return BoundsOrder(QStringLiteral("The maximum relevance can't be lower than the minimum."));
}
