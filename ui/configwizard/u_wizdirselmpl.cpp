#include "ui/configwizard/u_wizdirselmpl.h"

#include <QLabel>

#include "ui/trees/u_bwdirtv.h"

TfrWizDirSelMPL::TfrWizDirSelMPL(QWidget* parent, TBWFSDrive* modelRoot)
    : TfrWizDirSelMPL(QStringLiteral("New CD"),
                      QStringLiteral("Insert a new CD of your collection in your CD-ROM drive, and select that drive "
                                     "below."),
                      parent, modelRoot)
{
}

TfrWizDirSelMPL::TfrWizDirSelMPL(const QString& title, const QString& prompt, QWidget* parent,
                                 TBWFSDrive* modelRoot)
    : TfrWizDirSel(parent, modelRoot)
{
    setObjectName("frWizDirSelMPL");
    SetHelpTopic(QStringLiteral("mp3list.htm"));
    SetPageTitle(title);
    Label1->setText(prompt);
    Label1->setWordWrap(true);
    dir->SetDriveOptions(doDrives);
}

QString TfrWizDirSelMPL::Validate()
{
    if (SelectedPath().empty())
        return QStringLiteral("Please select the drive that holds the CD.");
    return {};
}

TfrWizCDSel::TfrWizCDSel(QWidget* parent, TBWFSDrive* modelRoot)
    : TfrWizDirSelMPL(QStringLiteral("CD-ROM drive selection"),
                      QStringLiteral("Select the CD-ROM drive you will insert your CD with new songs in."), parent,
                      modelRoot)
{
    setObjectName("frWizCDSel");
    SetHelpTopic(QStringLiteral("cdcopy.htm"));
}
