// The Mp3 List editor over a new (unsaved) list of two volumes, with a
// folder chosen by a mouse click: its files shown, the actions enabled.
#include "gallery.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/mpleditor/u_mpleditor.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>

#include "model/u_bwfsmp3.h"
#include "model/u_bwfsmpl.h"

namespace {

void AddTrack(TBWDirectory& dir, const std::string& name, std::int64_t sizeKB, std::int32_t duration,
              std::int32_t bitrate)
{
    auto* file = static_cast<TBWMp3File*>(dir.Files()->AddFileTouch(name));
    file->SetLoadedInfo(TBWInfoKinds().set(ikBasic).set(ikDigest).set(ikTags));
    file->SetSize(sizeKB);
    file->SetDuration(duration);
    file->SetBitrate(bitrate);
}

// A left click on the node, as the mouse gives it to the tree.
void Click(QTreeView& tree, const QModelIndex& node)
{
    const QPointF at = tree.visualRect(node).center();
    const QPointF global = tree.viewport()->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(tree.viewport(), &event);
    }
}

GalleryEntry editor("mpleditor", [] {
    static QTemporaryDir lists;
    MplManager().SetFolder(lists.path().toStdString());
    MplManager().Reload();
    TBWDirMpl* list = MplManager().NewList("Rock Collection", false);
    TBWDirectory* summer = list->AddSubDirTouch("Summer Hits");
    TBWDirectory* album = summer->AddSubDirTouch("Blue Harbour");
    const char* titles[] = {"01 Morning Tide.mp3", "02 Salt and Sun.mp3", "03 The Long Pier.ogg",
                            "04 Lantern Bay.mp3", "05 Driftwood.m4a", "06 Night Ferry.wma"};
    for (int i = 0; i < 6; ++i)
        AddTrack(*album, titles[i], 3800 + 610 * i, 186 + 23 * i, i % 3 == 2 ? 160 : 192);
    list->AddSubDirTouch("Winter Live")->AddSubDirTouch("Disc 1");
    auto window = std::make_unique<TfMPLEditor>();
    window->resize(860, 460);
    window->show();
    // The tree hears of the new list through a queued notice.
    QApplication::processEvents();
    auto* tree = window->findChild<TBWMPLTV*>("mpl");
    const QModelIndex albumNode = tree->FindNode({}, album, false);
    tree->expandAll();
    Click(*tree, albumNode);
    return std::unique_ptr<QWidget>(std::move(window));
});

}  // namespace
