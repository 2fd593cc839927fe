// The tip of the day on its first shipped tip, the about window, and the
// disc request of a copy from catalogued discs.
#include "gallery.h"
#include "ui/common/u_about.h"
#include "ui/results/u_discneeded.h"
#include "ui/common/u_tooltips.h"

#include <QCheckBox>

namespace {

GalleryEntry tips("tip_of_the_day", [] {
    auto window = std::make_unique<TfTooltips>();
    window->cbShowTips()->setChecked(true);
    window->ShowTip(TipsFilePath(), 0);
    return std::unique_ptr<QWidget>(std::move(window));
});

GalleryEntry about("about", [] { return std::unique_ptr<QWidget>(std::make_unique<TfAbout>()); });

GalleryEntry discNeeded("disc_needed", [] {
    auto window = std::make_unique<TfDiscNeeded>();
    window->SetDrive("/media/anna/ROCK_CD1/");
    window->SetDiscName("Rock CD1");
    return std::unique_ptr<QWidget>(std::move(window));
});

} // namespace
