// The special selection wizard: its first page, the size page in relative
// mode, the duration page, and the summary of a selection by priority, duration, extension and
// relevance.
#include "gallery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <vector>

#include "ui/selection/u_wizselectsize.h"
#include "ui/selection/u_wizseqselect.h"

namespace {

// The wizard on its first page with the given boxes ticked, then moved on
// the given number of pages.
std::unique_ptr<TfpWizard> WizardAfter(const std::vector<const char*>& ticked, int pages)
{
    SelectionCriteria = {};
    auto wizard = std::make_unique<TfpWizard>();
    wizard->Start(std::make_unique<TWSSelectMain>());
    for (const char* box : ticked)
        wizard->findChild<QCheckBox*>(box)->setChecked(true);
    for (int page = 0; page < pages; ++page)
        wizard->bNext->click();
    return wizard;
}

GalleryEntry first("selection_wizard_first", [] {
    return std::unique_ptr<QWidget>(WizardAfter({"cbSize", "cbExtension"}, 0));
});

GalleryEntry range("selection_wizard_size", [] {
    std::unique_ptr<TfpWizard> wizard = WizardAfter({"cbSize"}, 1);
    static_cast<TfrWizSelectSize*>(wizard->CurrentPageFrame())->cbComp->setCurrentIndex(1);
    return std::unique_ptr<QWidget>(std::move(wizard));
});

GalleryEntry duration("selection_wizard_duration", [] {
    return std::unique_ptr<QWidget>(WizardAfter({"cbDuration"}, 1));
});

GalleryEntry summary("selection_wizard_summary", [] {
    std::unique_ptr<TfpWizard> wizard = WizardAfter({"cbPriority", "cbDuration", "cbExtension", "cbRelevance"}, 0);
    for (QRadioButton* action : wizard->findChildren<QRadioButton*>())
        if (action->text() == "Toggle selection")
            action->setChecked(true);
    wizard->bNext->click();  // priority
    wizard->bNext->click();  // duration
    wizard->findChild<QComboBox*>("cbComp")->setCurrentIndex(1);
    for (int page = 0; page < 3; ++page)  // extension, relevance, summary
        wizard->bNext->click();
    return std::unique_ptr<QWidget>(std::move(wizard));
});

}  // namespace
