#include "ui/profile/uc_frProCVGeneral.h"

#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "engine/u_cvprofile.h"

TfrcProCVGeneral::TfrcProCVGeneral(QWidget* parent)
    : TfrpProfile(parent),
      lblProfileName(new QLabel(tr("Profile Name:"), this)),
      edtProfileName(new QLineEdit(this)),
      Label2(new QLabel(tr("Profile Comment:"), this)),
      edtComment(new QLineEdit(this))
{
    lblProfileName->setObjectName("lblProfileName");
    edtProfileName->setObjectName("edtProfileName");
    edtProfileName->setMaxLength(kMostNameCharacters);
    Label2->setObjectName("Label2");
    edtComment->setObjectName("edtComment");
    edtComment->setMaxLength(kMostCommentCharacters);

    auto* layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addRow(lblProfileName, edtProfileName);
    layout->addRow(Label2, edtComment);
    SetHelpTopic("general_settings.htm");
}

void TfrcProCVGeneral::LoadFromProfile()
{
    edtProfileName->setText(QString::fromStdString(Profile().ProfileName()));
    edtComment->setText(QString::fromStdString(Profile().ProfileComment));
}

void TfrcProCVGeneral::SaveToProfile()
{
    Profile().SetProfileName(edtProfileName->text().toStdString());
    Profile().ProfileComment = edtComment->text().toStdString();
    // Showing the name the profile took is no change of the user's.
    const QSignalBlocker quiet(edtProfileName);
    edtProfileName->setText(QString::fromStdString(Profile().ProfileName()));
}
