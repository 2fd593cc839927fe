#include "ui/profile/uc_frProCVGeneral.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include "engine/u_cvprofile.h"

QString StoredNameNote(const TBWProfile& profile, const QString& typed)
{
    const std::string name = typed.toStdString();
    const QString stored = QString::fromStdString(profile.NameToStore(name));
    if (stored == typed)
        return {};
    if (TBWProfile::CleanProfileName(name) != name)
        return QCoreApplication::translate("TfrcProCVGeneral",
                                           "Stored as \"%1\": only letters, digits and \"_\" are kept.")
            .arg(stored);
    return QCoreApplication::translate("TfrcProCVGeneral", "Stored as \"%1\": another profile is named \"%2\".")
        .arg(stored, typed);
}

TfrcProCVGeneral::TfrcProCVGeneral(QWidget* parent)
    : TfrpProfile(parent),
      lblProfileName(new QLabel(tr("Profile Name:"), this)),
      edtProfileName(new QLineEdit(this)),
      lblStoredName(new QLabel(this)),
      Label2(new QLabel(tr("Profile Comment:"), this)),
      edtComment(new QLineEdit(this))
{
    lblProfileName->setObjectName("lblProfileName");
    edtProfileName->setObjectName("edtProfileName");
    edtProfileName->setMaxLength(kMostNameCharacters);
    lblStoredName->setObjectName("lblStoredName");
    lblStoredName->setWordWrap(true);
    connect(edtProfileName, &QLineEdit::textChanged, this, &TfrcProCVGeneral::edtProfileNameChange);
    Label2->setObjectName("Label2");
    edtComment->setObjectName("edtComment");
    edtComment->setMaxLength(kMostCommentCharacters);

    auto* layout = new QFormLayout(this);
    layout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    layout->addRow(lblProfileName, edtProfileName);
    layout->addRow(QString(), lblStoredName);
    layout->addRow(Label2, edtComment);
    SetHelpTopic("general_settings.htm");
}

void TfrcProCVGeneral::LoadFromProfile()
{
    edtProfileName->setText(QString::fromStdString(Profile().ProfileName()));
    edtComment->setText(QString::fromStdString(Profile().ProfileComment));
    // A text longer than its field is read from its start.
    edtProfileName->setCursorPosition(0);
    edtComment->setCursorPosition(0);
}

void TfrcProCVGeneral::SaveToProfile()
{
    Profile().SetProfileName(edtProfileName->text().toStdString());
    Profile().ProfileComment = edtComment->text().toStdString();
    // Showing the name the profile took is no change of the user's.
    const QSignalBlocker quiet(edtProfileName);
    edtProfileName->setText(QString::fromStdString(Profile().ProfileName()));
    // An empty note left shown would leave a gap when the page comes back.
    lblStoredName->clear();
    lblStoredName->hide();
}

void TfrcProCVGeneral::edtProfileNameChange()
{
    const QString note = StoredNameNote(Profile(), edtProfileName->text());
    lblStoredName->setText(note);
    lblStoredName->setVisible(!note.isEmpty());
}
