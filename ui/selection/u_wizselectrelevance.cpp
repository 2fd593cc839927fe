#include "ui/selection/u_wizselectrelevance.h"

#include <QComboBox>

#include "ui/selection/u_selectioncriteria.h"

TfrWizSelectRelevance::TfrWizSelectRelevance(QWidget* parent)
    : TfrpWizSelectComparison(QStringLiteral("%s duplicate with relevance between these values:"), ValueModes(),
                              parent)
{
    setObjectName("frWizSelectRelevance");
    SetPageTitle(QStringLiteral("Relevance"));
    cbComp->hide();
    AddSpinEdits({nullptr, &SelectionCriteria.SelRelevanceMin, &SelectionCriteria.SelRelevanceMax},
                 QStringLiteral("The maximum relevance can't be lower than the minimum."), buPercent, {0, 100}, {0, 100}, 0, 100);
}
