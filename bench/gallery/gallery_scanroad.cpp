// What a scan that found nothing says, in the message box the program shows it in.
#include "gallery.h"

#include "engine/u_cvprofile.h"
#include "ui/main/u_scanroad.h"

#include <QMessageBox>

namespace {

GalleryEntry nothingFound("scan_nothing_found", [] {
    return std::make_unique<QMessageBox>(QMessageBox::Information, "Corvella", NothingFoundText(rsDuplicates),
                                         QMessageBox::Ok);
});

} // namespace
