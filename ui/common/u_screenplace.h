#pragma once
// Windows kept within reach: a window placed from the settings, or over the
// window that opened it, must lie whole on a screen. The main window and the
// help window use it.
#include <QRect>

// The place shrunk when too large and moved to lie within the available
// area of the screen under its centre (the primary screen when none is).
QRect WithinScreen(const QRect& place);
