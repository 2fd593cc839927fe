#pragma once
// The special selection of the results window as a wizard: the first page,
// a page per chosen criterion (u_selectioncriteria holds what they gather
// and the test of an entry against it) and the summary; then the selection
// made on the list.
#include <QString>

#include "ui/selection/u_selectioncriteria.h"
#include "ui/wizard/up_wizard.h"

class QWidget;
class TBWDupeFileList;

// The first page, one page per chosen criterion, and the summary.
class TWSSelectMain : public TWizSequence {
public:
    TWSSelectMain();
    TWizStepClass ClassForStep() override;
    QString HelpFolder() const override { return QStringLiteral("corvella/selection/"); }
};

// Runs the wizard modally; true when it ended with Finish.
bool RunSelectionWizard(QWidget* parent = nullptr);
// The results window's "Special selection...": the wizard, then the
// selection on the list; true when the list's check marks may have changed.
bool SpecialSelection(TBWDupeFileList& list, QWidget* parent = nullptr);
