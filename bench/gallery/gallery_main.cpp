// The main window over a few stored profiles, the first one selected with
// its summary, in a data folder of its own.
#include "gallery.h"
#include "ui/main/Main.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <utility>

#include "base/HUtils.h"
#include "base/u_bwdatetime.h"
#include "engine/u_cvprofile.h"
#include "ui/main/u_startup.h"

namespace {

void StoreSample(const char* name, const char* comment, double daysAgo, int seconds, TBWCompType compType)
{
    TBWCVProfile profile;
    profile.NewProfile();
    profile.SetProfileName(name);
    profile.ProfileComment = comment;
    profile.LastRun = daysAgo < 0 ? 0 : std::floor(DaysNow() - daysAgo);
    profile.LastTime = seconds / 86400.0;
    profile.CompType = compType;
    profile.DirPath = {"%mymusic%/", "/media/usb/Music/"};
    profile.SaveProfile();
}

void StoreSamples()
{
    static bool stored = false;
    if (std::exchange(stored, true))
        return;
    static QTemporaryDir data;
    const QByteArray dataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    InitAppPaths(kMakerName, kProductName, kHelpFileName);
    qputenv("XDG_DATA_HOME", dataHome);
    StoreSample("whole_collection", "Everything under My Music, by file name", 2, 754, ctFileNameFields);
    StoreSample("usb_stick", "The stick against the collection", 30, 48, ctTags);
    StoreSample("same_content", "Identical files, whatever their names", 5, 26 * 3600 + 61, ctContent);
    StoreSample("quick_scan", "Quickly give Corvella a try!", -1, 0, ctFileNameFields);
}

GalleryEntry mainWindow("main_window", [] {
    StoreSamples();
    return std::unique_ptr<QWidget>(std::make_unique<TfCorvella4>());
});

// The File menu open under its title, its mnemonics underlined.
GalleryEntry fileMenu("main_window_file_menu", [] {
    StoreSamples();
    TfCorvella4 window;
    window.show();
    QApplication::processEvents();
    QAction* title = window.menuBar()->actions().front();
    const QPoint at = window.menuBar()->mapTo(&window, window.menuBar()->actionGeometry(title).bottomLeft());
    window.menuBar()->setActiveAction(title);
    return Overlaid(window, *title->menu(), at);
});

} // namespace
