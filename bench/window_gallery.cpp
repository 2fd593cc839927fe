// Saves a picture of every registered window, under the offscreen platform,
// for people to look at: window_gallery OUTDIR.
#include "gallery/gallery.h"
#include "ui/common/u_pictures.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <cstdio>

std::map<std::string, GalleryBuilder>& GalleryEntries()
{
    static std::map<std::string, GalleryBuilder> entries;
    return entries;
}

std::unique_ptr<QWidget> Overlaid(QWidget& under, QWidget& over, const QPoint& at)
{
    under.show();
    over.show();
    QApplication::processEvents();
    QPixmap picture = under.grab();
    QPainter painter(&picture);
    const QPixmap shown = over.grab();
    painter.drawPixmap(at, shown);
    painter.setPen(QColor(60, 60, 60));  // the edge a window manager would draw
    painter.drawRect(QRect(at, shown.size()).adjusted(-1, -1, 0, 0));
    over.hide();
    auto label = std::make_unique<QLabel>();
    label->setPixmap(picture);
    label->resize(picture.size());
    return label;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: window_gallery OUTDIR\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TPictureModules pictures;
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(out.path());
    int failures = 0;
    for (const auto& [name, build] : GalleryEntries()) {
        std::unique_ptr<QWidget> widget = build();
        widget->show();
        QApplication::processEvents();
        const QString file = out.filePath(QString::fromStdString(name) + ".png");
        if (!widget->grab().save(file)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
            ++failures;
        }
    }
    return failures ? 1 : 0;
}
