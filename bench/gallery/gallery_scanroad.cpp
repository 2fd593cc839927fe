// What a scan that found nothing says, what it says of files it could not
// read or store, in the message boxes the program shows them in.
#include "gallery.h"

#include "engine/u_cvprofile.h"
#include "ui/main/u_scanroad.h"

#include <QAbstractButton>
#include <QMessageBox>

namespace {

GalleryEntry nothingFound("scan_nothing_found", [] {
    return std::make_unique<QMessageBox>(QMessageBox::Information, "Corvella", NothingFoundText(rsDuplicates),
                                         QMessageBox::Ok);
});

// Unreadable files beyond those the text names: the details are open.
GalleryEntry unreadFiles("scan_unread_files", [] {
    TBWUnreadFiles files;
    for (const char* name : {"Harbour Lights - Northern Line.mp3", "Ёлка - Зима.mp3", "東京 - 夜.mp3",
                             "broken\nname.mp3", "tab\tin name.mp3"})
        for (int disc = 1; disc <= 3; ++disc)
            files.Add("/home/ann/Downloads/CD " + std::to_string(disc) + "/" + name);
    auto box = std::make_unique<QMessageBox>(QMessageBox::Information, "Corvella", UncomparedText(files),
                                             QMessageBox::Ok);
    box->setDetailedText(UncomparedDetails(files));
    for (QAbstractButton* button : box->buttons())
        if (box->buttonRole(button) == QMessageBox::ActionRole)
            button->click();
    return box;
});

GalleryEntry leftOut("scan_left_out", [] {
    return std::make_unique<QMessageBox>(QMessageBox::Warning, "Corvella",
                                         LeftOutText({"/home/ann/Music/Live; Paris.mp3"}), QMessageBox::Ok);
});

} // namespace
