// Figures of the results window on a large result list: 100,000 entries in
// 20,000 groups of five. Opening the window (model filled, first paint),
// sorting by size, flipping the direction, Check All with the status line,
// Space on 1,000 selected rows and removing the checked entries must each
// feel immediate; the list model must stay small per row. Runs offscreen.
#include <malloc.h>

#include <QApplication>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "model/u_bwfsmp3.h"
#include "ui/common/u_pictures.h"
#include "ui/common/u_prompts.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/results/u_scanresults.h"

namespace {

constexpr int kGroups = 20000;
constexpr int kGroupSize = 5;

// Every question is answered Yes: the benchmark times the work, not a dialog.
class TYesPrompts : public TSilentPrompts {
public:
    bool AskYesNo(const QString&, const QString&) override { return true; }
};

// Audio entries held in memory: every folder and list counts as loaded as
// it stands, so nothing is read from disk; the values come from the number.
struct TLargeResults {
    TBWDirMp3 root;
    TBWCVProfile profile;
    TBWDupeFileList list;

    TLargeResults()
    {
        profile.NewProfile();
        list.SetProfile(profile);
        TBWDirectory* music = root.AddSubDirTouch("/")->AddSubDirTouch("music");
        std::vector<TBWFileList*> folders;
        for (int folder = 0; folder < 1000; ++folder)
            folders.push_back(music->AddSubDirTouch("Album " + std::to_string(folder))->Files());
        std::vector<TBWFile*> files;
        for (int i = 0; i < kGroups * kGroupSize; ++i) {
            TBWFileList* folder = folders[static_cast<std::size_t>(i % 1000)];
            auto* file = static_cast<TBWMp3File*>(folder->AddFileTouch("Artist " + std::to_string(i % kGroups)
                                                                       + " - Song " + std::to_string(i) + ".mp3"));
            TBWInfoKinds loaded;
            file->SetLoadedInfo(loaded.set(ikBasic).set(ikTags));
            file->SetSize(3000 + (i * 7919) % 2000);
            file->SetDuration(180 + i % 90);
            file->SetBitrate(128 + 64 * (i % 4));
            files.push_back(file);
        }
        // Every pair of a group is linked, so whichever file is best takes all four others.
        const auto member = [&](int group, int index) { return files[static_cast<std::size_t>(group + index * kGroups)]; };
        for (int group = 0; group < kGroups; ++group)
            for (int a = 0; a < kGroupSize; ++a)
                for (int b = a + 1; b < kGroupSize; ++b)
                    list.AddPair(member(group, a), member(group, b));
        list.ResolveReferences();
    }
};

double Seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(const char* what, double seconds, double target)
{
    std::printf("%-44s %8.3f s   (target under %.1f s)\n", what, seconds, target);
}

std::size_t HeapInUse()
{
    return mallinfo2().uordblks;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TPictureModules pictures;
    TYesPrompts prompts;
    ReplacePrompts(&prompts);

    TLargeResults results;
    std::printf("%d entries in %d groups\n", results.list.Count(), kGroups);

    const std::size_t heapBefore = HeapInUse();
    auto model = std::make_unique<TResultsModel>();
    model->SetResults(&results.list);
    std::printf("%-44s %8.1f bytes per row (target under 100)\n", "list model",
                static_cast<double>(HeapInUse() - heapBefore) / model->RowCount());
    model.reset();

    TBWCVGenSettings settings;
    settings.NewProfile();
    settings.ScanResMaximized = false;
    std::unique_ptr<TfScanResults> window;
    QTreeView* view = nullptr;
    const auto paint = [&] {
        view->viewport()->repaint();
        QApplication::processEvents();
    };
    Report("open (model filled, first paint)", Seconds([&] {
               window = std::make_unique<TfScanResults>(settings);
               window->resize(1200, 800);
               window->SetResults(&results.list);
               window->RefreshList();
               window->show();
               view = window->findChild<QTreeView*>("lvResults");
               paint();
           }),
           0.5);
    const auto click = [&](int tag) {
        for (int column = 0; column < view->model()->columnCount(); ++column)
            if (window->Model().ColumnTag(column) == tag)
                emit view->header()->sectionClicked(column);
        paint();
    };
    Report("sort by size", Seconds([&] { click(rcSize); }), 0.3);
    Report("flip the direction", Seconds([&] { click(rcSize); }), 0.3);
    QAction* checkAll = window->findChild<QAction*>("aSelectAll");
    Report("Check All with the status line", Seconds([&] {
               checkAll->trigger();
               paint();
           }),
           0.3);
    view->selectionModel()->select(QItemSelection(view->model()->index(0, 0), view->model()->index(999, 0)),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    view->setFocus();
    Report("Space on 1,000 selected rows", Seconds([&] {
               QTest::keyClick(view, Qt::Key_Space);
               paint();
           }),
           0.3);
    checkAll->trigger();
    QAction* removeChecked = window->findChild<QAction*>("aRemoveChecked");
    Report("remove the checked entries after Check All", Seconds([&] {
               removeChecked->trigger();
               paint();
           }),
           0.3);
    std::printf("%d entries left\n", results.list.Count());
    window.reset();
    ReplacePrompts(nullptr);
    return 0;
}
