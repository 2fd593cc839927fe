#pragma once
// The window gallery's registry: each bench/gallery/*.cpp registers the
// windows it can show with a static GalleryEntry, so adding a window to the
// gallery never means editing a shared file.
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>

using GalleryBuilder = std::function<std::unique_ptr<QWidget>()>;

// Name → builder of a widget filled with sample data; the gallery saves it as <name>.png.
std::map<std::string, GalleryBuilder>& GalleryEntries();

// A window shown with another over it at `at` (the popup menu or help
// window the offscreen platform would grab on its own), as one picture.
std::unique_ptr<QWidget> Overlaid(QWidget& under, QWidget& over, const QPoint& at);

struct GalleryEntry {
    GalleryEntry(const std::string& name, GalleryBuilder build) { GalleryEntries()[name] = std::move(build); }
};
