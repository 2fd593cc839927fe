#include "ui/configwizard/u_wizprofilename.h"

#include <QFormLayout>
#include <QLabel>

TfrWizProfileName::TfrWizProfileName(QWidget* parent)
    : TfrcProCVGeneral(parent), Label1(new QLabel(QStringLiteral("Change the profile name and/or comment if you wish"), this))
{
    setObjectName("frWizProfileName");
    SetPageTitle(QStringLiteral("Profile Name"));
    SetHelpTopic(QStringLiteral("finish.htm"));
    Label1->setObjectName("Label1");
    static_cast<QFormLayout*>(layout())->insertRow(0, Label1);
}
