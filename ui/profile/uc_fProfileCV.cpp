#include "ui/profile/uc_fProfileCV.h"

#include "ui/common/u_cvgensettings.h"
#include "ui/common/u_prompts.h"
#include "ui/profile/uc_frProCVActions.h"
#include "ui/profile/uc_frProCVAnims.h"
#include "ui/profile/uc_frProCVCompParam.h"
#include "ui/profile/uc_frProCVDirectories.h"
#include "ui/profile/uc_frProCVFilePri.h"
#include "ui/profile/uc_frProCVGeneral.h"
#include "ui/profile/uc_frProCVPoolExclusions.h"
#include "ui/profile/uc_frProCVSummary.h"
#include "ui/profile/uc_frProfileText.h"

#include <algorithm>

namespace {

const QSize kMinimumSize(642, 380);

} // namespace

TfcProfileCV::TfcProfileCV(QWidget* parent) : TfpProfile(parent)
{
    setObjectName("TfcProfileCV");
    // It grows for long paths (the trees and lists take the room) and opens as the user left it.
    setMinimumSize(kMinimumSize);
    setSizeGripEnabled(true);
    const TBWCVGenSettings& settings = GenSettings();
    resize(std::max(settings.ProfileEditorWidth, kMinimumSize.width()),
           std::max(settings.ProfileEditorHeight, kMinimumSize.height()));

    AddSection<TfrcProCVGeneral>(tr("General settings"));
    TBWProfileSection* scanning = AddSection<TfrcPCVSummary>(tr("Duplicate scanning"));
    TBWProfileSection* pooling = scanning->AddSubSection<TfrcProfileText>(tr("File Pooling"));
    pooling->Text = tr("File Pooling is when Corvella determines what files will be compared, and which role they "
                       "will play in the process.");
    pooling->AddSubSection<TfrcProCVDirectories>(tr("Directories"));
    pooling->AddSubSection<TfrcProCVPoolExclusions>(tr("Exclusions"));
    TBWProfileSection* comparison = scanning->AddSubSection<TfrcProfileText>(tr("File Comparison"));
    comparison->Text = tr("File Comparison is the real stuff. All files in the file pool will be compared to each "
                          "others. Specify how they will be in this section.");
    comparison->AddSubSection<TfrcProCVCompParam>(tr("Parameters"));
    comparison->AddSubSection<TfrcProCVFilePri>(tr("File priority"));
    scanning->AddSubSection<TfrcProCVActions>(tr("Result type"));
    AddSection<TfrcProCVAnims>(tr("Funny Animations"));

    RememberProfile();
}

TfcProfileCV::~TfcProfileCV()
{
    GenSettings().ProfileEditorWidth = width();
    GenSettings().ProfileEditorHeight = height();
}

bool TfcProfileCV::SaveCurrentProfile()
{
    if (!CurrentProfile().SaveProfile()) {
        Prompts().ShowError(MessageCaption(), tr("The profile \"%1\" could not be saved.")
                                                  .arg(QString::fromStdString(CurrentProfile().ProfileName())));
        return false;
    }
    RememberProfile();
    return true;
}

void TfcProfileCV::RestoreProfile()
{
    CurrentProfile().AssignSettings(saved_);
    CurrentProfile().SetProfileName(savedName_);
}

QString TfcProfileCV::HelpPrefix() const
{
    return QStringLiteral("corvella/profile/");
}

void TfcProfileCV::RememberProfile()
{
    saved_.AssignSettings(CurrentProfile());
    savedName_ = CurrentProfile().ProfileName();
}
