// The configuration wizard: its first page, the sensitivity presets of a
// simple duplicate scan, the last page, the master directory road (the
// duplicates' page after the master was chosen, and the summary of both),
// and the help F1 opens on a page.
#include "gallery.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QPushButton>

#include "engine/u_cvprofile.h"
#include "model/u_bwfsdrive.h"
#include "ui/common/u_helpwindow.h"
#include "ui/common/u_radiogroup.h"
#include "ui/configwizard/u_wizchoices.h"
#include "ui/configwizard/u_wizseqmain.h"
#include "ui/wizard/u_wizdirsel.h"

namespace {

// The wizard of a new profile on its first page, moved on the given number
// of pages along the simple duplicate scan.
std::unique_ptr<QWidget> WizardAfter(int pages)
{
    CurrentProfile().NewProfile();
    auto wizard = std::make_unique<TfpWizard>();
    wizard->Start(std::make_unique<TWSMain>());
    for (int page = 0; page < pages; ++page)
        wizard->bNext->click();
    return wizard;
}

// Music folders of a user's home, to choose in the directory pages.
std::string MusicFolder(const char* name)
{
    static const QString home = [] {
        const QString folder = QDir::tempPath() + "/corvella_gallery_home";
        for (const char* sub : {"Music/Collection", "Music/Downloads"})
            QDir(folder).mkpath(sub);
        return folder;
    }();
    return FSDrive().FindDir((home + "/Music/" + name + "/").toStdString(), true)->Path();
}

// Chooses the folder in the directory page shown, as a click would.
void ChooseFolder(TfpWizard& wizard, const std::string& folder)
{
    auto* page = static_cast<TfrWizDirSel*>(wizard.CurrentPageFrame());
    page->SelectPath(folder);
}

// The master directory road up to the duplicates' directory page, then on
// the given number of pages with the downloads chosen there.
std::unique_ptr<QWidget> MasterRoadAfter(int pagesAfterDuplicates)
{
    CurrentProfile().NewProfile();
    auto wizard = std::make_unique<TfpWizard>();
    wizard->Start(std::make_unique<TWSMain>());
    wizard->findChild<QCheckBox*>("cbAdvanced")->setChecked(true);
    wizard->bNext->click();
    static_cast<TfrWizDupeType*>(wizard->CurrentPageFrame())->rgType->Buttons()->button(ctWithMasterDirectory)->click();
    wizard->bNext->click();  // master collection
    wizard->bNext->click();  // its directory
    ChooseFolder(*wizard, MusicFolder("Collection"));
    wizard->bNext->click();  // another?
    wizard->bNext->click();  // duplicates' directory
    wizard->bNext->click();  // its directory
    if (pagesAfterDuplicates > 0) {
        ChooseFolder(*wizard, MusicFolder("Downloads"));
        for (int page = 0; page < pagesAfterDuplicates; ++page)
            wizard->bNext->click();
    }
    return wizard;
}

GalleryEntry first("config_wizard_first", [] { return WizardAfter(0); });
GalleryEntry duplicatesPage("config_wizard_duplicates_page", [] { return MasterRoadAfter(0); });
GalleryEntry masterSummary("config_wizard_master_summary", [] { return MasterRoadAfter(2); });
// F1 on the directory page of a simple scan: its own help page over the wizard.
GalleryEntry pageHelp("config_wizard_help", [] {
    std::unique_ptr<QWidget> wizard = WizardAfter(1);
    THelpWindow help;
    help.OpenTopic("corvella/configwizard/directories.htm");
    help.resize(500, 290);
    return Overlaid(*wizard, help, QPoint(24, 40));
});
GalleryEntry presets("config_wizard_presets", [] { return WizardAfter(2); });
GalleryEntry finish("config_wizard_finish", [] { return WizardAfter(4); });

}  // namespace
