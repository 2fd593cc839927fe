#include "ui/configwizard/u_wizoperation.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "ui/common/u_radiogroup.h"
#include "ui/wizard/up_frwizmsg.h"

TfrWizOperation::TfrWizOperation(QWidget* parent)
    : TfrpProfile(parent),
      Label1(WizPageLabel("Label1", QStringLiteral(
                            "Welcome to Corvella profile wizard. This wizard will help you to design a profile that "
                            "fits your need quickly and easily. Do not forget that once the profile is created, you "
                            "can fine tune it with the \"Edit profile\" button."),
                        this)),
      rgOp(new TRadioGroup(QStringLiteral("Choose an operation"),
                           {QStringLiteral("Scan for duplicates in my collection."),
                            QStringLiteral("Copy new songs from a CD to my collection."),
                            QStringLiteral("Create a banlist."),
                            QStringLiteral("Close this wizard and open the profile edition window.")},
                           this)),
      cbAdvanced(new QCheckBox(QStringLiteral("Advanced settings"), this))
{
    setObjectName("frWizOperation");
    SetPageTitle(QStringLiteral("Profile operation"));
    rgOp->setObjectName("rgOp");
    rgOp->SetItemIndex(opScan);
    cbAdvanced->setObjectName("cbAdvanced");
    connect(rgOp->Buttons(), &QButtonGroup::idToggled, this, &TfrWizOperation::rgOpClick);

    QVBoxLayout* page = WizPageLayout(this);
    page->addWidget(Label1);
    page->addWidget(rgOp);
    page->addWidget(cbAdvanced);
    page->addStretch();
}

TWizOperation TfrWizOperation::Operation() const
{
    const int item = rgOp->ItemIndex();
    return item >= opCopyFromCD && item <= opEdit ? static_cast<TWizOperation>(item) : opScan;
}

bool TfrWizOperation::Advanced() const
{
    return cbAdvanced->isChecked() && cbAdvanced->isEnabled();
}

void TfrWizOperation::rgOpClick()
{
    cbAdvanced->setEnabled(rgOp->ItemIndex() == opScan);
}
