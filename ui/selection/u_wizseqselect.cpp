#include "ui/selection/u_wizseqselect.h"

#include "ui/selection/u_wizselectbitrate.h"
#include "ui/selection/u_wizselectdirectory.h"
#include "ui/selection/u_wizselectduration.h"
#include "ui/selection/u_wizselectextension.h"
#include "ui/selection/u_wizselectmain.h"
#include "ui/selection/u_wizselectpriority.h"
#include "ui/selection/u_wizselectrelevance.h"
#include "ui/selection/u_wizselectsize.h"
#include "ui/selection/u_wizselectsummary.h"

TWSSelectMain::TWSSelectMain()
{
    // Steps 1 to 7 are the criteria's pages, chosen when they are reached.
    SetSteps({TWizStepClass::Page<TfrWizSelectMain>(), {}, {}, {}, {}, {}, {}, {},
              TWizStepClass::Page<TfrWizSelectSummary>()});
}

TWizStepClass TWSSelectMain::ClassForStep()
{
    const int step = Index();
    if (step < 1 || step > scCount || !SelectionCriteria.Chosen(static_cast<TSelCriterion>(step - 1)))
        return {};
    switch (static_cast<TSelCriterion>(step - 1)) {
    case scDirectory: return TWizStepClass::Page<TfrWizSelectDir>();
    case scPriority: return TWizStepClass::Page<TfrWizSelectPriority>();
    case scSize: return TWizStepClass::Page<TfrWizSelectSize>();
    case scDuration: return TWizStepClass::Page<TfrWizSelectDuration>();
    case scBitrate: return TWizStepClass::Page<TfrWizSelectBitrate>();
    case scExtension: return TWizStepClass::Page<TfrWizSelectExtension>();
    case scRelevance: return TWizStepClass::Page<TfrWizSelectRelevance>();
    case scCount: break;
    }
    return {};
}

bool RunSelectionWizard(QWidget* parent)
{
    TfpWizard wizard(parent);
    wizard.setWindowTitle(QStringLiteral("Special selection"));
    return wizard.Execute<TWSSelectMain>() == TfpWizard::mrOk;
}

bool SpecialSelection(TBWDupeFileList& list, QWidget* parent)
{
    if (!RunSelectionWizard(parent))
        return false;
    ApplySelection(list);
    return true;
}
