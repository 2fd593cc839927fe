#include "ui/common/u_screenplace.h"

#include <QGuiApplication>
#include <QScreen>

#include <algorithm>

QRect WithinScreen(const QRect& place)
{
    const QScreen* screen = QGuiApplication::screenAt(place.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return place;
    const QRect room = screen->availableGeometry();
    const QSize size = place.size().boundedTo(room.size());
    return {QPoint(std::clamp(place.left(), room.left(), room.right() - size.width() + 1),
                   std::clamp(place.top(), room.top(), room.bottom() - size.height() + 1)),
            size};
}
