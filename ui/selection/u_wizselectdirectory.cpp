#include "ui/selection/u_wizselectdirectory.h"

#include <QLabel>

#include "ui/selection/u_selectioncriteria.h"

TfrWizSelectDir::TfrWizSelectDir(QWidget* parent, TBWFSDrive* modelRoot) : TfrWizDirSel(parent, modelRoot)
{
    setObjectName("frWizSelectDir");
    SetHelpTopic(QStringLiteral("criteria.htm"));
    Label1->setText(QStringLiteral("Select a directory:"));
}

std::string TfrWizSelectDir::ChosenBefore() const
{
    return SelectionCriteria.SelDirectory;
}

void TfrWizSelectDir::SaveToProfile()
{
    SelectionCriteria.SelDirectory = SelectedPath();
}
