// The configuration wizard: its first page, the sensitivity presets of a
// simple duplicate scan, and the last page.
#include "gallery.h"

#include <QPushButton>

#include "engine/u_cvprofile.h"
#include "ui/configwizard/u_wizseqmain.h"

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

GalleryEntry first("config_wizard_first", [] { return WizardAfter(0); });
GalleryEntry presets("config_wizard_presets", [] { return WizardAfter(2); });
GalleryEntry finish("config_wizard_finish", [] { return WizardAfter(4); });

}  // namespace
