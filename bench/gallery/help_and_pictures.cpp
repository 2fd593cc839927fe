// The help window on its first page, and a sheet of every picture list.
#include "gallery.h"
#include "ui/common/u_helpwindow.h"
#include "ui/common/u_pictures.h"

#include <QLabel>
#include <QPainter>

namespace {

GalleryEntry help("help_index", [] {
    auto window = std::make_unique<THelpWindow>();
    window->OpenTopic("corvella/index.htm");
    // Tall enough for the contents under the introduction.
    window->resize(640, 820);
    return std::unique_ptr<QWidget>(std::move(window));
});

// One row per list, each image twice its size on a light and on a dark
// ground, so both transparency and detail can be judged.
QPixmap PictureSheet()
{
    const std::pair<const char*, const TImageList*> lists[] = {
        {"dirIL", &dmCommonPics->dirIL}, {"IL", &dmCentral->IL}, {"PriIL", &dmCentral->PriIL},
        {"testIL", &dmCentral->testIL}, {"BigIL", &dmCentral->BigIL}};
    const int cell = 90, label = 70;
    QPixmap sheet(label + cell * 15, cell * 2 * 7 + 10);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    int y = 5;
    for (const auto& [name, list] : lists) {
        for (int index = 0; index < list->Count(); ++index) {
            const int x = label + (index % 15) * cell;
            const int row = y + (index / 15) * cell;
            const QSize shown = list->Size() * 2;
            painter.fillRect(QRect(x, row, shown.width() + 8, shown.height() + 4), QColor(60, 60, 60));
            painter.drawPixmap(QRect(QPoint(x + 4, row + 2), shown), list->Pixmap(index));
            painter.drawText(x, row + shown.height() + 16, QString::number(index));
        }
        painter.drawText(5, y + 20, name);
        y += cell * ((list->Count() + 14) / 15);
    }
    return sheet.copy(0, 0, sheet.width(), y + 5);
}

GalleryEntry pictures("picture_lists", [] {
    auto label = std::make_unique<QLabel>();
    label->setPixmap(PictureSheet());
    label->resize(label->pixmap().size());
    return std::unique_ptr<QWidget>(std::move(label));
});

} // namespace
