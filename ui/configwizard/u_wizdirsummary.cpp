#include "ui/configwizard/u_wizdirsummary.h"

#include <QLabel>
#include <QVBoxLayout>

#include "engine/u_cvprofile.h"
#include "model/u_bwfs.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/common/u_pictures.h"
#include "ui/wizard/up_frwizmsg.h"
#include "ui/profile/uc_frProCVDirectories.h"

TfrWizDirSummary::TfrWizDirSummary(QWidget* parent, TBWFSDrive* modelRoot)
    : TfrpProfile(parent),
      Label1(WizPageLabel("Label1", QStringLiteral("You can easily correct any mistakes by manually editing your profile after "
                                       "its creation."),
                        this)),
      tvAdd(new TBWDirTV(this, modelRoot))
{
    setObjectName("frWizDirSummary");
    SetPageTitle(QStringLiteral("Directory summary"));
    SetHelpTopic(QStringLiteral("directories.htm"));
    tvAdd->setObjectName("tvAdd");
    tvAdd->SetImages(&dmCentral->PriIL);
    tvAdd->OnDirImage = [](TBWDirectory* dir, TImageIndexType, int& image) {
        if (const int role = RoleImage(Profile().GetDirPriority(dir->Path())); role >= 0)
            image = role;
    };

    QVBoxLayout* page = WizPageLayout(this);
    page->addWidget(Label1);
    page->addWidget(tvAdd, 1);
}

void TfrWizDirSummary::LoadFromProfile()
{
    tvAdd->Roots().Reload();
    for (const std::string& path : Profile().DirPath)
        tvAdd->AddPath(path);
    tvAdd->Rebuild();
}
