#include "model/u_bwfsdrive.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/engine/temp_folder.h"
#include "tests/model/audio_tree.h"
#include "tests/model/fake_model.h"
#include "tests/model/mpl_bytes.h"

namespace {

using Names = std::vector<std::string>;

using THeard = TFakeSource::Notice;

std::vector<TBWDrive> MachineDrives()
{
    return {{"/", dkFixed, "ROOTFS", "/dev/sda1"},
            {"/media/usb/", dkRemovable, "Music", "/dev/sdb1"},
            {"/mnt/nolabel/", dkFixed, "", "/dev/sdc1"}};
}

// A root over a list folder of its own and a machine with three drives.
class Root : public ::testing::Test {
protected:
    Root()
    {
        manager.SetFolder(folder.Path());
        drive = std::make_unique<TBWFSDrive>(manager, MachineDrives);
    }

    void Listen(const void* owner = nullptr)
    {
        drive->AddListener(owner, [this](TBWDirectory* dir, TBWChangeKind kind) {
            heard.push_back({dir->Path(), kind});
        });
    }

    Names Captions()
    {
        Names captions;
        for (TBWDirectory* dir = drive->FirstDir(); dir; dir = drive->NextDir())
            captions.push_back(dir->DisplayName());
        return captions;
    }

    TTempFolder folder;
    TMplManager manager;
    std::unique_ptr<TBWFSDrive> drive;
    std::vector<THeard> heard;
};

}  // namespace

TEST_F(Root, ListsSpecialFoldersThenDrivesThenLists)
{
    folder.WriteFile("Rock.mpl", TestDataFile("model/golden.mpl"));
    manager.Reload();
    EXPECT_EQ(drive->Path(), "");
    EXPECT_EQ(Captions(), (Names{"Start Menu", "Desktop", "Application Data", "Program Files", "Common Files",
                                 "My Documents", "My Music", "My Pictures", "/ [ROOTFS]", "/media/usb/ [Music]",
                                 "/mnt/nolabel/", "Rock"}));
    EXPECT_EQ(drive->DirAt(6)->Path(), "%mymusic%/");
    EXPECT_EQ(drive->DirAt(9)->Path(), "/media/usb/");
    EXPECT_EQ(drive->DirAt(11), manager.FindList("Rock")) << "the manager's own list";
    EXPECT_EQ(drive->Files()->Count(), 0);
}

TEST_F(Root, APathOnAMountedVolumeResolvesToTheVolume)
{
    TBWDirectory* rock = drive->FindDir("/media/usb/Music/Rock/", true);
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(rock->Path(), "/media/usb/Music/Rock/");
    EXPECT_EQ(rock->ParentDir()->ParentDir(), drive->DirAt(9));
    EXPECT_EQ(drive->FindDir("/media/usb/music/rock", false), rock);
    // A name that only begins like the volume's is no path on it.
    TBWDirectory* other = drive->FindDir("/media/usbstick/x/", true);
    ASSERT_NE(other, nullptr);
    EXPECT_NE(other->ParentDir()->ParentDir(), drive->DirAt(9));
}

TEST_F(Root, ListPathsResolveIntoTheLists)
{
    folder.WriteFile("Rock.mpl", TestDataFile("model/golden.mpl"));
    manager.Reload();
    TBWFile* file = drive->FindFileByPath("@Rock/CD1/02 Beta.mp3");
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->Size(), 3500);
    EXPECT_EQ(drive->FindDir("@rock/cd1/", false), manager.FindList("Rock")->FindChild("CD1"));
}

TEST_F(Root, ListsMadeBeforeOrWhileTheRootIsLoadedAreItsChildren)
{
    manager.NewList("Before", false);
    EXPECT_EQ(drive->DirCount(), 12);
    Listen();
    TBWDirMpl* during = manager.NewList("During", false);
    EXPECT_EQ(drive->DirCount(), 13);
    EXPECT_EQ(drive->DirAt(12), during) << "the last child at once";
    EXPECT_EQ(heard, (std::vector<THeard>{{"@During/", ckDirAdded}}));
    heard.clear();
    manager.DeleteList(during);
    EXPECT_EQ(drive->DirCount(), 12);
    EXPECT_EQ(heard, (std::vector<THeard>{{"@During/", ckDirRemoved}}));
}

TEST_F(Root, ListsComingAndGoingBeforeTheRootLoadsAreToldToTheListeners)
{
    Listen();
    TBWDirMpl* list = manager.NewList("Early", false);
    EXPECT_EQ(heard, (std::vector<THeard>{{"@Early/", ckDirAdded}}));
    EXPECT_EQ(drive->LoadedAt(), 0u);
    EXPECT_EQ(drive->DirAt(11), list);
}

TEST_F(Root, ChangesAnywhereReachTheListenersInOrderUntilRemoved)
{
    auto disc = std::make_unique<TAudioMemoryDir>();
    disc->AddAudio(GoldenFiles()[0]);
    TBWDirMpl* list = manager.NewList("Rock", false);
    drive->DirCount();
    std::vector<int> order;
    int first = 0, second = 0;
    drive->AddListener(&first, [&order](TBWDirectory*, TBWChangeKind) { order.push_back(1); });
    drive->AddListener(&second, [&order](TBWDirectory*, TBWChangeKind) { order.push_back(2); });
    Listen(&second);
    list->AddVolume("CD1", disc.get());
    EXPECT_EQ(order, (std::vector<int>{1, 2, 1, 2}));
    EXPECT_EQ(heard, (std::vector<THeard>{{"@Rock/CD1/", ckDirAdded}, {"@Rock/CD1/", ckFileAdded}}));

    heard.clear();
    drive->FindDir("/mnt/nolabel/new/", true);
    EXPECT_EQ(heard, (std::vector<THeard>{{"/mnt/nolabel/new/", ckDirAdded}}));

    drive->RemoveListener(&second);
    drive->RemoveListener(&second);
    heard.clear();
    order.clear();
    drive->FindDir("/mnt/nolabel/newer/", true);
    EXPECT_EQ(order, (std::vector<int>{1}));
    EXPECT_TRUE(heard.empty());
}

TEST_F(Root, ARefreshReplacesTheChildrenAndKeepsTheOldOnesAlive)
{
    manager.NewList("Rock", false);
    TBWDirectory* oldMusic = drive->DirAt(6);
    Listen();
    drive->Refresh();
    EXPECT_EQ(drive->DirCount(), 12);
    EXPECT_NE(drive->DirAt(6), oldMusic);
    EXPECT_EQ(oldMusic->Path(), "%mymusic%/") << "still alive, owned by the root";
    EXPECT_EQ(drive->DirAt(11), manager.FindList("Rock"));
    ASSERT_EQ(heard.size(), 24u);
    for (std::size_t i = 0; i < heard.size(); ++i)
        EXPECT_EQ(heard[i].kind, i < 12 ? ckDirRemoved : ckDirAdded) << i;
    EXPECT_EQ(heard.back(), (THeard{"@Rock/", ckDirAdded}));
}

TEST_F(Root, SavingAllWhileLoadedSwapsTheListChildren)
{
    TBWDirMpl* list = manager.NewList("Rock", false);
    drive->DirCount();
    manager.SaveAll();
    EXPECT_EQ(drive->DirCount(), 12);
    EXPECT_NE(drive->DirAt(11), list);
    EXPECT_EQ(drive->DirAt(11), manager.FindList("Rock"));
    // The old list is freed at a safe point; the root, which unlisted it,
    // then refreshes without touching it.
    manager.FreeRetiredLists();
    drive->Refresh();
    EXPECT_EQ(drive->DirAt(11), manager.FindList("Rock"));
}

// The listeners hear a notice on the thread that raised it, a scan's
// worker say; a window passes it on to its own thread itself.
TEST_F(Root, NoticesRaisedOnAnotherThreadReachTheListenersThere)
{
    std::vector<std::thread::id> heardOn;
    drive->AddListener(nullptr, [&heardOn](TBWDirectory*, TBWChangeKind) {
        heardOn.push_back(std::this_thread::get_id());
    });

    std::thread worker([this] { drive->Refresh(); });
    const std::thread::id workerId = worker.get_id();
    worker.join();
    EXPECT_EQ(heardOn, std::vector<std::thread::id>(11, workerId));

    heardOn.clear();
    manager.NewList("Direct", false);
    EXPECT_EQ(heardOn, std::vector<std::thread::id>(1, std::this_thread::get_id()));
}
