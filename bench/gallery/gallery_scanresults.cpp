// The results window with a few groups, once as it opens, once at its first
// size with the details pane, once with every column at 1600x1000 and once
// with the details pane open on a duplicate, and the warning shown before a
// replace.
#include "gallery.h"

#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "model/u_bwfsmp3.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/results/u_scanresults.h"
#include "ui/results/u_warningreplace.h"

#include <QTreeView>

namespace {

struct TSampleSong {
    const char* folder;
    const char* name;
    std::int64_t sizeKB;
    std::int32_t seconds;
    std::int32_t bitrate;
    const char* artist;
    const char* title;
};

// Each group: the first song is linked with the ones after it.
const std::vector<std::vector<TSampleSong>> kGroups = {
    {{"Collection/Rock", "Harbour Lights - Northern Line.mp3", 7420, 291, 256, "Harbour Lights", "Northern Line"},
     {"Downloads", "harbour lights - northern line (1).mp3", 4630, 290, 128, "Harbour Lights", "Northern Line"},
     {"Downloads/old", "Northern Line - Harbour Lights.mp3", 3712, 289, 96, "Harbour Lights", "Northern Line"}},
    {{"Collection/Jazz", "Mira Solen - Blue Hour.ogg", 5210, 333, 192, "Mira Solen", "Blue Hour"},
     {"Downloads", "Mira Solen - Blue Hour.mp3", 5008, 334, 160, "Mira Solen", "Blue Hour"}},
    {{"Collection/Pop", "The Tallow Set - Paper Crowns.mp3", 6144, 245, 192, "The Tallow Set", "Paper Crowns"},
     {"Desktop", "Paper Crowns.mp3", 5980, 245, 192, "The Tallow Set", "Paper Crowns"},
     {"Downloads", "The Tallow Set - Paper Crowns (live).mp3", 8820, 301, 256, "The Tallow Set", "Paper Crowns"},
     {"Downloads/phone", "tallow set paper crowns.mp3", 2048, 244, 64, "The Tallow Set", "Paper Crowns"}},
    // Names with a line break and a tab, which Linux allows.
    {{"Collection/Rock", "Ёлка - Зима.mp3", 4410, 201, 192, "Ёлка", "Зима"},
     {"Downloads", "Ёлка\nЗима.mp3", 4410, 201, 192, "Ёлка", "Зима"},
     {"Downloads/old\tcopies", "ёлка - зима.mp3", 4410, 201, 192, "Ёлка", "Зима"}}};

// Songs held in memory: the folders count as loaded as they stand, nothing is read.
struct TSampleResults {
    TBWDirMp3 root;
    TBWCVProfile profile;
    TBWDupeFileList list;

    TSampleResults()
    {
        profile.NewProfile();
        profile.SetDirPriority("/home/ann/collection", dtReference);
        profile.SetDirPriority("/home/ann/downloads", dtPriority2);
        list.SetProfile(profile);
        root.AddSubDirTouch("/")->AddSubDirTouch("home")->AddSubDirTouch("ann");
        for (const std::vector<TSampleSong>& group : kGroups) {
            TBWFile* first = Song(group.front());
            for (std::size_t other = 1; other < group.size(); ++other)
                list.AddPair(first, Song(group[other]));
        }
        list.ResolveReferences();
        list.SetSelected(list.GoTo(1), true);
        list.SetSelected(list.GoTo(7), true);
    }

    TBWFile* Song(const TSampleSong& song)
    {
        TBWDirectory* folder = root.FindDir(std::string("/home/ann/") + song.folder, true);
        folder->Touch();
        auto* file = static_cast<TBWMp3File*>(folder->Files()->AddFileTouch(song.name));
        TBWInfoKinds loaded;
        file->SetLoadedInfo(loaded.set(ikBasic).set(ikTags));
        file->SetSize(song.sizeKB);
        file->SetDuration(song.seconds);
        file->SetBitrate(song.bitrate);
        file->SetArtist(song.artist);
        file->SetTitle(song.title);
        file->SetAlbum("Songs of the Harbour");
        file->SetGenre("Rock");
        file->SetComment("ripped from CD");
        return file;
    }
};

TSampleResults& Sample()
{
    static TSampleResults sample;
    return sample;
}

std::unique_ptr<QWidget> ResultsWindow(bool details, bool everyColumn = false, bool firstSize = false)
{
    static TBWCVGenSettings settings;
    settings.NewProfile();
    settings.ScanResMaximized = false;
    settings.ScanResDetails = details;
    if (everyColumn)
        settings.ColShow.fill(true);
    auto window = std::make_unique<TfScanResults>(settings);
    window->SetResults(&Sample().list);
    window->RefreshList();
    if (everyColumn)
        window->resize(1600, 1000);
    else if (!firstSize)
        window->resize(900, details ? 620 : 420);
    if (details) {
        auto* view = window->findChild<QTreeView*>("lvResults");
        view->selectionModel()->select(view->model()->index(1, 0),
                                       QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    return window;
}

GalleryEntry groups("scanresults_groups", [] { return ResultsWindow(false); });
// The size it takes the first time, on the gallery's screen.
GalleryEntry firstSize("scanresults_first_size", [] { return ResultsWindow(true, false, true); });
GalleryEntry everyColumn("scanresults_every_column", [] { return ResultsWindow(false, true); });
GalleryEntry detailsOpen("scanresults_details", [] { return ResultsWindow(true); });
GalleryEntry replaceWarning("warning_replace", [] {
    return std::make_unique<TfWarningReplace>("/home/ann/Downloads/Harbour Lights - Northern Line (192 kbit).mp3",
                                              "/home/ann/Collection/Rock/Harbour Lights - Northern Line.mp3");
});

} // namespace
