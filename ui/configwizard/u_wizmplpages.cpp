#include "ui/configwizard/u_wizmplpages.h"

#include <QButtonGroup>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/mpleditor/u_mpleditorcommands.h"
#include "ui/common/u_pictures.h"
#include "ui/common/u_radiogroup.h"
#include "ui/wizard/up_frwizmsg.h"

namespace {

TBWMPLTV* ListTree(QWidget* page, TBWFSDrive* modelRoot)
{
    auto* tree = new TBWMPLTV(page, modelRoot);
    tree->setObjectName("dir");
    tree->SetImages(&dmCommonPics->dirIL);
    return tree;
}

}  // namespace

TfrWizStatusMPL::TfrWizStatusMPL(QWidget* parent, TBWFSDrive* modelRoot)
    : TfrpProfile(parent),
      rgMPL(new TRadioGroup(QStringLiteral("Mp3 List status"),
                            {QStringLiteral("I have no Mp3 list built and I want to build one now"),
                             QStringLiteral("I already built a Mp3 List")},
                            this)),
      dir(ListTree(this, modelRoot))
{
    setObjectName("frWizStatusMPL");
    SetPageTitle(QStringLiteral("Mp3 list status"));
    SetHelpTopic(QStringLiteral("mp3list.htm"));
    rgMPL->setObjectName("rgMPL");
    rgMPL->SetItemIndex(0);
    dir->setVisible(false);
    connect(rgMPL->Buttons(), &QButtonGroup::idToggled, this, &TfrWizStatusMPL::rgMPLClick);

    QVBoxLayout* page = WizPageLayout(this);
    page->addWidget(rgMPL);
    page->addWidget(dir, 1);
    page->addStretch();
}

QString TfrWizStatusMPL::Validate()
{
    if (ListBuilt() && SelectedPath().empty())
        return QStringLiteral("Please select your Mp3 List in the tree.");
    return {};
}

bool TfrWizStatusMPL::ListBuilt() const
{
    return rgMPL->ItemIndex() == 1;
}

std::string TfrWizStatusMPL::SelectedPath() const
{
    return dir->SelectedPath();
}

void TfrWizStatusMPL::rgMPLClick()
{
    dir->setVisible(ListBuilt());
}

TfrWizMPLName::TfrWizMPLName(QWidget* parent, TBWFSDrive* modelRoot)
    : TfrpProfile(parent),
      Label1(WizPageLabel("Label1",
                          QStringLiteral("Either type a new name to create a Mp3 List of choose an existing one to "
                                         "edit it."),
                          this)),
      Label2(WizPageLabel("Label2", QStringLiteral("List name:"), this)), edtMPLName(new QLineEdit(this)),
      dir(ListTree(this, modelRoot))
{
    setObjectName("frWizMPLName");
    SetPageTitle(QStringLiteral("Mp3 list name"));
    SetHelpTopic(QStringLiteral("mp3list.htm"));
    edtMPLName->setObjectName("edtMPLName");
    edtMPLName->setMaxLength(kMostListNameCharacters);
    connect(dir, &TBWDirTV::selectionChange, this, &TfrWizMPLName::dirChange);

    QVBoxLayout* page = WizPageLayout(this);
    page->addWidget(Label1);
    page->addWidget(Label2);
    page->addWidget(edtMPLName);
    page->addWidget(dir, 1);
}

void TfrWizMPLName::LoadFromProfile()
{
    dir->Rebuild();
}

QString TfrWizMPLName::Validate()
{
    if (ListName().empty())
        return QStringLiteral("Please type a name for the Mp3 List, or choose an existing list.");
    return {};
}

std::string TfrWizMPLName::ListName() const
{
    return CleanedListName(edtMPLName->text().toStdString());
}

void TfrWizMPLName::dirChange()
{
    if (auto* inList = dynamic_cast<TBWDirMpl*>(dir->SelectedDirectory()))
        edtMPLName->setText(QString::fromStdString(inList->ListRoot()->ListName()));
}

TfrWizCDName::TfrWizCDName(QWidget* parent)
    : TfrpProfile(parent),
      Label1(WizPageLabel("Label1",
                          QStringLiteral("Type a name that uniquely identify your CD. The stuff written on the "
                                         "physical media should do. (Most people use \"CD 1\", \"CD 2\" etc..):"),
                          this)),
      edtCDName(new QLineEdit(this))
{
    setObjectName("frWizCDName");
    SetPageTitle(QStringLiteral("CD Name"));
    SetHelpTopic(QStringLiteral("mp3list.htm"));
    edtCDName->setObjectName("edtCDName");
    edtCDName->setMaxLength(kMostListNameCharacters);

    QVBoxLayout* page = WizPageLayout(this);
    page->addWidget(Label1);
    page->addWidget(edtCDName);
    page->addStretch();
}

QString TfrWizCDName::Validate()
{
    const std::string name = VolumeName();
    if (name.empty())
        return QStringLiteral("Please type a name for the CD.");
    if (list_ && list_->FindChild(name))
        return QStringLiteral("The Mp3 List already holds a CD named \"%1\". Please type another name.")
            .arg(QString::fromStdString(name));
    return {};
}

std::string TfrWizCDName::VolumeName() const
{
    return CleanedVolumeName(edtCDName->text().toStdString());
}
