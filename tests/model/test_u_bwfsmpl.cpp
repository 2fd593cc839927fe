#include "model/u_bwfsmpl.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/platform/u_wholefile.h"
#include "model/u_bwfsmp3.h"
#include "tests/support/temp_tree.h"
#include "tests/model/audio_tree.h"
#include "tests/model/fake_model.h"
#include "tests/support/mpl_bytes.h"

namespace {

using Names = std::vector<std::string>;

using TNotice = TFakeSource::Notice;

// A manager over a temporary list folder, recording the notices it passes on.
class ListFolder : public ::testing::Test {
protected:
    ListFolder()
    {
        manager.SetFolder(folder.Path("lists"));
        manager.OnListChanged = [this](TBWDirectory* dir, TBWChangeKind kind) {
            notices.push_back({dir->Path(), kind});
        };
    }

    std::string ListFile(const std::string& name) const { return folder.Path("lists/" + name); }
    std::string ListBytes(const std::string& name) const { return folder.ReadFile("lists/" + name); }
    void PutList(const std::string& name, const std::string& bytes) const { folder.WriteFile("lists/" + name, bytes); }

    // A disc "CD1" holding the golden entries in its top folder and one
    // more in its folder "Live".
    TAudioMemoryDir& Disc()
    {
        disc = std::make_unique<TAudioMemoryDir>();
        for (const TMplFileRecord& record : GoldenFiles())
            disc->AddAudio(record);
        auto* live = static_cast<TAudioMemoryDir*>(disc->AddSubDirTouch("Live"));
        live->AddAudio({"03 Gamma.mp3", 5000, 300, 256, "Gamma", "The Band", "Live", "Rock", "", {}});
        return *disc;
    }

    TBWDirMpl* Dir(TBWDirMpl* list, const std::string& below)
    {
        return static_cast<TBWDirMpl*>(list->FindDir(list->Path() + below, false));
    }

    TTempTree folder;
    TMplManager manager;
    std::vector<TNotice> notices;
    std::unique_ptr<TAudioMemoryDir> disc;
};

Names ListNames(TMplManager& manager)
{
    Names names;
    for (TBWDirMpl* list : manager.Lists())
        names.push_back(list->ListName());
    return names;
}

}  // namespace

// ------------------------------------------------------------------- names

TEST(ListNames, RefuseOnlyWhatCannotBeOneFileOrFolderName)
{
    const struct {
        const char* name;
        bool valid;
    } cases[] = {
        {"Rock", true},     {"My Discs 2", true}, {"Caf\xC3\xA9", true}, {".hidden", true},
        {"a..b", true},     {"Best..Of", true},   {"Vol..2", true},      {"...", true},
        {"", false},        {"a/b", false},       {"/abs", false},       {"..", false},
        {".", false},       {"tab\there", false}, {"bell\x07", false},   {"del\x7F", false},
    };
    for (const auto& test : cases)
        EXPECT_EQ(IsValidListName(test.name), test.valid) << test.name;
    EXPECT_TRUE(IsMplPath("@Rock/CD1/"));
    EXPECT_FALSE(IsMplPath("/music/"));
    EXPECT_FALSE(IsMplPath(""));
}

// ---------------------------------------------------------- the file format

TEST_F(ListFolder, AListSavedFromTheModelIsTheGoldenFile)
{
    TBWDirMpl* list = manager.NewList("Golden.mpl", false);
    ASSERT_NE(list, nullptr);
    auto disc = std::make_unique<TAudioMemoryDir>();
    for (const TMplFileRecord& record : GoldenFiles())
        disc->AddAudio(record);
    ASSERT_NE(list->AddVolume("CD1", disc.get()), nullptr);
    EXPECT_EQ(list->State(), msModified);
    ASSERT_TRUE(list->Save());
    EXPECT_EQ(list->State(), msNone);
    EXPECT_EQ(ListBytes("Golden.mpl"), TestDataFile("model/golden.mpl"));
}

TEST_F(ListFolder, AListReadAndWrittenAgainKeepsItsBytes)
{
    TBWDirMpl* list = manager.NewList("Round", false);
    list->AddVolume("CD1", &Disc());
    list->AddVolume("CD2", &Disc());
    ASSERT_TRUE(manager.SaveAll());
    const std::string first = ListBytes("Round.mpl");

    TBWDirMpl* read = manager.FindList("Round");
    ASSERT_NE(read, list) << "a reload makes new lists";
    EXPECT_EQ(read->State(), msLoaded);
    read->SetState(msModified);
    ASSERT_TRUE(read->Save());
    EXPECT_EQ(ListBytes("Round.mpl"), first);
}

TEST_F(ListFolder, ALoadedListReadsEachDirectoryOnFirstLook)
{
    PutList("golden.mpl", TestDataFile("model/golden.mpl"));
    manager.Reload();
    TBWDirMpl* list = manager.FindList("golden");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->State(), msLoaded);
    EXPECT_EQ(list->Path(), "@golden/");
    EXPECT_EQ(list->DisplayName(), "golden");
    EXPECT_EQ(NamesIn(*list->SubDirs()), Names{"CD1"}) << "the volumes come with the load";
    auto* volume = static_cast<TBWDirMpl*>(list->FindChild("CD1"));
    EXPECT_EQ(volume->FileList(), nullptr) << "files not read yet";
    EXPECT_EQ(RecordsIn(*volume), GoldenFiles());
    TBWFile* entry = volume->Files()->FileAt(0);
    EXPECT_TRUE(entry->LoadedInfo().test(ikBasic) && entry->LoadedInfo().test(ikDigest) &&
                entry->LoadedInfo().test(ikTags));
    EXPECT_EQ(entry->FullPath(), "@golden/CD1/01 Alpha.mp3");
    EXPECT_EQ(manager.FindList("golden")->FindFileByPath("@golden/CD1/02 Beta.mp3")->Size(), 3500);
}

TEST_F(ListFolder, AFileUnderAnotherNameLoadsUnderThatName)
{
    PutList("Other.mpl", TestDataFile("model/golden.mpl"));
    manager.Reload();
    EXPECT_EQ(ListNames(manager), Names{"Other"});
    EXPECT_NE(manager.FindList("other")->FindDir("@Other/CD1/", false), nullptr);
}

TEST_F(ListFolder, DamagedFilesGiveListsWithoutVolumes)
{
    std::string badDigest = TestDataFile("model/golden.mpl");
    badDigest.back() ^= 1;
    PutList("a.mpl", "");
    PutList("b.mpl", "not a list");
    PutList("c.mpl", badDigest);
    PutList("d.mpl", std::string("\x5C\x02") + badDigest.substr(2));
    PutList("e.mpl", TestDataFile("model/golden.mpl"));
    PutList("notes.txt", "");
    manager.Reload();
    ASSERT_EQ(ListNames(manager), (Names{"a", "b", "c", "d", "e"}));
    const TMplState states[] = {msMissing, msBadMagic, msBadDigest, msBadVersion, msLoaded};
    for (std::size_t i = 0; i < 5; ++i) {
        TBWDirMpl* list = manager.Lists()[i];
        EXPECT_EQ(list->State(), states[i]) << list->ListName();
        EXPECT_EQ(list->DirCount(), i == 4 ? 1 : 0) << list->ListName();
    }
}

TEST_F(ListFolder, TextsThatAreNotUtf8AreTakenAsWindows1252)
{
    const std::string strings = PoolEntry("@x/") + PoolEntry("Caf\xE9");
    PutList("w.mpl", SealedList(Words({0, 0, 1, 0, 20}) + Words({0, 7, 0, 0}), strings));
    manager.Reload();
    EXPECT_EQ(NamesIn(*manager.FindList("w")->SubDirs()), Names{"Caf\xC3\xA9"});
}

TEST_F(ListFolder, NestingInAFileIsCappedAndNamesThatBreakPathsAreKeptUnderEscapedNames)
{
    // The root names directories called "", ".." and "a/b", then a chain of
    // 300 records each naming the next.
    const std::string pool = PoolEntry("..") + PoolEntry("a/b") + PoolEntry("d");
    std::string records = Words({0, -1, 4, 0, 32, 48, 64, 80});
    for (const std::int64_t name : {-1, 0, 6})
        records += Words({0, name, 0, 0});
    for (std::int64_t level = 0; level < 300; ++level)
        records += Words({0, 13, level < 299 ? 1 : 0, 0, 80 + 20 * (level + 1)});
    PutList("deep.mpl", SealedList(records, pool));
    manager.Reload();
    TBWDirMpl* list = manager.FindList("deep");
    EXPECT_EQ(SubDirNames(*list), (Names{"%00", "%2E%2E", "a%2Fb", "d"}));
    EXPECT_EQ(Dir(list, "a%2Fb/")->DisplayName(), "a/b");
    EXPECT_EQ(Dir(list, "%2E%2E/")->StoredName(), "..");
    TBWDirectory* dir = Dir(list, "d/");
    int depth = 1;
    while ((dir = dir->FirstDir()))
        ++depth;
    EXPECT_EQ(depth, kMaxListDepth);
}

// A list written elsewhere: the volume "CD 1/2" holding "song.mp3".
std::string ListWithASlashedVolume()
{
    const std::string pool = PoolEntry("@Hand/") + PoolEntry("CD 1/2") + PoolEntry("song.mp3");
    const std::string root = Words({0, 0, 1, 0, 20});
    const std::string volume = Words({0, 10, 0, 1}) + Words({0, 20, 4000, 250, 128, -1, -1, -1, -1, -1}) +
                               std::string(16, '\x5A');
    return SealedList(root + volume, pool);
}

TEST_F(ListFolder, AVolumeWhoseNameCannotBeAPathIsShownAndSavedAsStored)
{
    PutList("Hand.mpl", ListWithASlashedVolume());
    manager.Reload();
    TBWDirMpl* list = manager.FindList("Hand");
    TBWDirMpl* slashed = Dir(list, "CD 1%2F2/");
    ASSERT_NE(slashed, nullptr);
    EXPECT_EQ(slashed->DisplayName(), "CD 1/2");
    EXPECT_EQ(FileNames(*slashed), Names{"song.mp3"});

    ASSERT_NE(list->AddVolume("CD2", &Disc()), nullptr);
    ASSERT_TRUE(manager.SaveAll());
    EXPECT_NE(ListBytes("Hand.mpl").find(PoolEntry("CD 1/2")), std::string::npos);
    list = manager.FindList("Hand");
    EXPECT_EQ(SubDirNames(*list), (Names{"CD 1%2F2", "CD2"}));
    slashed = Dir(list, "CD 1%2F2/");
    ASSERT_NE(slashed, nullptr);
    EXPECT_EQ(slashed->StoredName(), "CD 1/2");
    ASSERT_EQ(FileNames(*slashed), Names{"song.mp3"});
    EXPECT_EQ(slashed->Files()->FileAt(0)->Size(), 4000);
}

TEST_F(ListFolder, ListFilesWithDoubleDotsInTheirNamesAreShown)
{
    // A list name loses its last extension, as a file name does.
    TBWDirMpl* list = manager.NewList("Best..Of.mpl", false);
    ASSERT_NE(list, nullptr);
    list->AddVolume("CD1", &Disc());
    ASSERT_TRUE(manager.SaveAll());
    EXPECT_EQ(ListNames(manager), Names{"Best..Of"});
    list = manager.FindList("Best..Of.mpl");
    ASSERT_NE(list, nullptr);
    EXPECT_NE(list->AddVolume("Vol..2", &Disc()), nullptr);
}

// ------------------------------------------------------------ the manager

// Root too: a read-only list stays as it is, though root could write it.
TEST_F(ListFolder, AReadOnlyListFileIsNotReplacedAndTheListStaysModified)
{
    manager.NewList("Rock", false)->AddVolume("CD1", &Disc());
    ASSERT_TRUE(manager.SaveAll());
    const std::string saved = ListBytes("Rock.mpl");
    ::chmod(ListFile("Rock.mpl").c_str(), 0444);
    TBWDirMpl* list = manager.FindList("Rock");
    list->AddVolume("CD2", &Disc());
    EXPECT_FALSE(manager.SaveAll());
    EXPECT_EQ(list->State(), msModified);
    EXPECT_EQ(SubDirNames(*list), (Names{"CD1", "CD2"}));
    EXPECT_EQ(ListBytes("Rock.mpl"), saved);

    ::chmod(ListFile("Rock.mpl").c_str(), 0640);
    ASSERT_TRUE(manager.SaveAll());
    struct stat status {};
    ASSERT_EQ(::stat(ListFile("Rock.mpl").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
}

TEST_F(ListFolder, AListFileThatIsALinkIsWrittenThroughToItsTarget)
{
    folder.WriteFile("elsewhere/Rock.mpl", TestDataFile("model/golden.mpl"));
    ASSERT_EQ(::symlink(folder.Path("elsewhere/Rock.mpl").c_str(), ListFile("Rock.mpl").c_str()), 0);
    manager.Reload();
    ASSERT_NE(manager.FindList("Rock")->AddVolume("CD2", &Disc()), nullptr);
    ASSERT_TRUE(manager.SaveAll());
    struct stat status {};
    ASSERT_EQ(::lstat(ListFile("Rock.mpl").c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    EXPECT_EQ(SubDirNames(*manager.FindList("Rock")), (Names{"CD1", "CD2"}));
    EXPECT_EQ(folder.ReadFile("elsewhere/Rock.mpl"), ListBytes("Rock.mpl"));
}

TEST_F(ListFolder, NewListsTakeUniqueNamesWhenAsked)
{
    ASSERT_NE(manager.NewList("Rock.mpl", false), nullptr);
    EXPECT_EQ(manager.NewList("rock", false), nullptr) << "taken, whatever the case";
    EXPECT_EQ(manager.NewList("Rock.mpl", true)->ListName(), "Rock0");
    EXPECT_EQ(manager.NewList("Rock.mpl", true)->ListName(), "Rock1");
    ASSERT_NE(manager.NewList("Best.Of.mpl", false), nullptr);
    EXPECT_EQ(manager.NewList("Best.Of.mpl", true)->ListName(), "Best.Of0") << "numbered names keep their dots";
    for (const char* name : {"", ".mpl", "a/b", "../up", "x\x01"})
        EXPECT_EQ(manager.NewList(name, true), nullptr) << name;
    EXPECT_EQ(ListNames(manager), (Names{"Rock", "Rock0", "Rock1", "Best.Of", "Best.Of0"}));
    EXPECT_TRUE(manager.IsModified());
}

TEST_F(ListFolder, FindsListsWhateverTheCaseExtensionOrTrailingSlash)
{
    TBWDirMpl* list = manager.NewList("Rock", false);
    for (const char* name : {"Rock", "ROCK", "rock.mpl", "Rock.MPL", "rock/", "Rock.mpl/"})
        EXPECT_EQ(manager.FindList(name), list) << name;
    EXPECT_EQ(manager.FindList("Roc"), nullptr);
}

TEST_F(ListFolder, VolumesNeedAFreeValidNameAndASource)
{
    TBWDirMpl* list = manager.NewList("L", false);
    ASSERT_NE(list->AddVolume("CD1", &Disc()), nullptr);
    EXPECT_EQ(list->AddVolume("cd1", &Disc()), nullptr) << "taken without regard to case";
    EXPECT_EQ(list->AddVolume("CD2", nullptr), nullptr);
    for (const char* name : {"", "a/b", "..", "x\ty"})
        EXPECT_EQ(list->AddVolume(name, &Disc()), nullptr) << name;
    EXPECT_EQ(NamesIn(*list->SubDirs()), Names{"CD1"});
    TBWDirectory* live = list->FindDir("@L/CD1/Live/", false);
    ASSERT_NE(live, nullptr);
    EXPECT_EQ(FileNames(*live), Names{"03 Gamma.mp3"});
}

TEST_F(ListFolder, SavingAListThatIsNotModifiedWritesNothing)
{
    PutList("golden.mpl", TestDataFile("model/golden.mpl"));
    manager.Reload();
    ::unlink(ListFile("golden.mpl").c_str());
    EXPECT_TRUE(manager.FindList("golden")->Save());
    EXPECT_EQ(folder.Names("lists"), Names{});
}

// A list whose file is there but gave nothing was shown empty and taken
// as empty: a volume added to it was saved over the file, or, where the
// file could not be written either, silently dropped at exit. It is
// read-only now, and says why.
TEST_F(ListFolder, AListWhoseFileCannotBeReadIsReadOnlyAndSaysWhy)
{
    std::string golden = TestDataFile("model/golden.mpl");
    const struct {
        const char* name;
        std::string bytes;
        const char* problem;
    } cases[] = {
        {"empty", "", "the file is empty"},
        {"cut", golden.substr(0, golden.size() / 2), "the file is damaged or cut short"},
        {"other", "not a list", "the file is no Mp3 List"},
        {"newer", std::string("\x5C\x04") + golden.substr(2), "the file is of another version"},
        {"Ærø Квартет 日本", "", "the file is empty"},
        {"good", golden, ""},
    };
    for (const auto& test : cases)
        PutList(std::string(test.name) + ".mpl", test.bytes);
    // Sparse: no byte of it is on the disk, nor is one read.
    PutList("huge.mpl", golden);
    std::filesystem::resize_file(ListFile("huge.mpl"), kWholeFileLimit + 1);
    manager.Reload();
    EXPECT_EQ(manager.FindList("huge")->ReadProblem(), "it is larger than 256 MB");
    EXPECT_EQ(manager.FindList("huge")->AddVolume("CD9", &Disc()), nullptr);
    for (const auto& test : cases) {
        TBWDirMpl* list = manager.FindList(test.name);
        ASSERT_NE(list, nullptr) << test.name;
        EXPECT_EQ(list->ReadProblem(), test.problem) << test.name;
        EXPECT_EQ(list->ReadOnly(), *test.problem != 0) << test.name;
        EXPECT_EQ(list->AddVolume("CD9", &Disc()) != nullptr, !list->ReadOnly()) << test.name;
    }
    ASSERT_FALSE(manager.FindList("cut")->AddVolume("CD9", &Disc()));
    // Changed anyway: never written over its file, and kept changed.
    manager.FindList("cut")->SetState(msModified);
    EXPECT_FALSE(manager.SaveAll());
    EXPECT_EQ(manager.FindList("cut")->SaveFailure(),
              "its file cannot be read (the file is damaged or cut short), so it is not written over");
    EXPECT_EQ(manager.FindList("cut")->State(), msModified);
    EXPECT_EQ(ListBytes("cut.mpl"), golden.substr(0, golden.size() / 2));
    EXPECT_EQ(ListBytes("empty.mpl"), "");
    EXPECT_EQ(SubDirNames(*manager.FindList("good")), (Names{"CD1", "CD9"}));
    EXPECT_EQ(manager.FindList("good")->SaveFailure(), "");
}

TEST_F(ListFolder, AListFileTheUserMayNotReadIsReadOnlyWithTheSystemsReason)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root reads every file";
    PutList("locked.mpl", TestDataFile("model/golden.mpl"));
    ::chmod(ListFile("locked.mpl").c_str(), 0);
    manager.Reload();
    TBWDirMpl* list = manager.FindList("locked");
    EXPECT_EQ(list->ReadProblem(), "Permission denied");
    EXPECT_EQ(list->AddVolume("CD9", &Disc()), nullptr);
    ::chmod(ListFile("locked.mpl").c_str(), 0644);
    EXPECT_EQ(ListBytes("locked.mpl"), TestDataFile("model/golden.mpl"));
    // A list made new has no file yet: nothing to protect.
    EXPECT_EQ(manager.NewList("Fresh", false)->ReadProblem(), "");
}

TEST_F(ListFolder, SaveAllSavesReloadsAndRetiresTheOldListsWithoutFreeingThem)
{
    TBWDirMpl* list = manager.NewList("Rock", false);
    TBWDirMpl* volume = list->AddVolume("CD1", &Disc());
    TBWFile* entry = volume->Files()->FileAt(0);
    notices.clear();
    ASSERT_TRUE(manager.SaveAll());
    EXPECT_FALSE(manager.IsModified());
    TBWDirMpl* read = manager.FindList("Rock");
    ASSERT_NE(read, nullptr);
    EXPECT_NE(read, list);
    EXPECT_EQ(read->State(), msLoaded);
    // The new list reads its volumes as it loads, before it joins the manager.
    EXPECT_EQ(notices, (std::vector<TNotice>{{"@Rock/", ckDirRemoved}, {"@Rock/CD1/", ckDirAdded},
                                             {"@Rock/", ckDirAdded}}));
    // What a result list or a view still holds stays valid.
    EXPECT_EQ(entry->Name(), "01 Alpha.mp3");
    EXPECT_EQ(entry->DirPath(), "@Rock/CD1/");
    manager.FreeRetiredLists();
    EXPECT_EQ(manager.FindList("Rock"), read);
}

TEST_F(ListFolder, AListThatCannotBeSavedStaysModifiedWithItsVolume)
{
    TBWDirMpl* blocked = manager.NewList("Blocked", false);
    blocked->AddVolume("CD1", &Disc());
    manager.NewList("Fine", false)->AddVolume("CD1", &Disc());
    // A folder in the list file's place makes the write fail, also for root.
    folder.WriteFile("lists/Blocked.mpl/in-the-way", "");
    EXPECT_FALSE(manager.SaveAll());
    EXPECT_EQ(ListNames(manager), (Names{"Blocked", "Fine"}));
    EXPECT_EQ(manager.FindList("Blocked"), blocked) << "not reloaded";
    EXPECT_EQ(blocked->State(), msModified);
    EXPECT_EQ(NamesIn(*blocked->SubDirs()), Names{"CD1"});
    EXPECT_EQ(manager.FindList("Fine")->State(), msLoaded);
    EXPECT_TRUE(manager.IsModified());

    ::unlink(ListFile("Blocked.mpl/in-the-way").c_str());
    ::rmdir(ListFile("Blocked.mpl").c_str());
    EXPECT_TRUE(manager.SaveAll());
    EXPECT_EQ(SubDirNames(*manager.FindList("Blocked")), Names{"CD1"});
}

TEST_F(ListFolder, AListInAReadOnlyFolderKeepsItsVolume)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root writes into read-only folders";
    TBWDirMpl* list = manager.NewList("Rock", false);
    list->AddVolume("CD1", &Disc());
    ::chmod(folder.Path("lists").c_str(), 0555);
    EXPECT_FALSE(manager.SaveAll());
    ::chmod(folder.Path("lists").c_str(), 0755);
    EXPECT_EQ(manager.FindList("Rock"), list);
    EXPECT_EQ(list->State(), msModified);
    EXPECT_EQ(NamesIn(*list->SubDirs()), Names{"CD1"});
}

TEST_F(ListFolder, DeletingAListDeletesItsFileEvenWhenReadOnly)
{
    manager.NewList("Rock", false)->AddVolume("CD1", &Disc());
    manager.SaveAll();
    TBWDirMpl* list = manager.FindList("Rock");
    ::chmod(ListFile("Rock.mpl").c_str(), 0444);
    notices.clear();
    manager.DeleteList(list);
    EXPECT_EQ(folder.Names("lists"), Names{});
    EXPECT_EQ(manager.FindList("Rock"), nullptr);
    EXPECT_EQ(notices, (std::vector<TNotice>{{"@Rock/", ckDirRemoved}}));
    EXPECT_EQ(list->ListName(), "Rock") << "retired, not freed";
    manager.DeleteList(nullptr);
    manager.DeleteList(list);
}

TEST_F(ListFolder, AListRootDetachedIsDeleted)
{
    manager.NewList("Rock", false);
    manager.FindList("Rock")->Detach();
    EXPECT_EQ(manager.Lists().size(), 0u);
}

TEST_F(ListFolder, RemovingAVolumeModifiesTheListAndTheSaveLeavesItOut)
{
    manager.NewList("Rock", false)->AddVolume("CD1", &Disc());
    manager.FindList("Rock")->AddVolume("CD2", &Disc());
    manager.SaveAll();
    TBWDirMpl* list = manager.FindList("Rock");
    TBWDirectory* live = list->FindDir("@Rock/CD2/Live/", false);
    list->FindChild("CD1")->Delete();
    EXPECT_EQ(list->State(), msModified);
    EXPECT_EQ(FileNames(*live), Names{"03 Gamma.mp3"}) << "the rest was read before the change";
    manager.SaveAll();
    EXPECT_EQ(SubDirNames(*manager.FindList("Rock")), Names{"CD2"});
}

TEST_F(ListFolder, ASavedListRefreshedReadsWhatWasSavedInsteadOfEmptying)
{
    TBWDirMpl* list = manager.NewList("Rock", false);
    list->AddVolume("CD1", &Disc());
    ASSERT_TRUE(list->Save());
    list->Refresh();
    EXPECT_EQ(NamesIn(*list->SubDirs()), Names{"CD1"});
    TBWDirectory* volume = list->FindChild("CD1");
    volume->Refresh();
    EXPECT_EQ(NamesIn(*volume->SubDirs()), Names{"Live"});
    volume->Files()->Refresh();
    EXPECT_EQ(RecordsIn(*volume), GoldenFiles());
}

TEST_F(ListFolder, ADirectoryMadeByFindDirReadsNoRecord)
{
    PutList("golden.mpl", TestDataFile("model/golden.mpl"));
    manager.Reload();
    TBWDirMpl* list = manager.FindList("golden");
    TBWDirectory* made = list->FindDir("@golden/Extra/Deeper/", true);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(list->State(), msLoaded) << "made in memory, not a change of the list";
    TBWDirectory* extra = list->FindChild("Extra");
    EXPECT_EQ(SubDirNames(*extra), Names{"Deeper"});
    EXPECT_EQ(SubDirNames(*made), Names{}) << "not the root's volumes";
    EXPECT_EQ(FileNames(*made), Names{});
    EXPECT_EQ(FileNames(*extra), Names{});
}

TEST_F(ListFolder, ChangesInsideListsReachTheManagersEvent)
{
    TBWDirMpl* list = manager.NewList("Rock", false);
    EXPECT_EQ(notices, (std::vector<TNotice>{{"@Rock/", ckDirAdded}}));
    notices.clear();
    auto disc = std::make_unique<TAudioMemoryDir>();
    disc->AddAudio(GoldenFiles()[0]);
    list->AddVolume("CD1", disc.get());
    EXPECT_EQ(notices, (std::vector<TNotice>{{"@Rock/CD1/", ckDirAdded}, {"@Rock/CD1/", ckFileAdded}}));
}

TEST_F(ListFolder, SelectionsAreCountedAndClearedOverEveryList)
{
    manager.NewList("A", false)->AddVolume("CD1", &Disc());
    manager.NewList("B", false)->AddVolume("CD1", &Disc());
    manager.FindList("A")->FindFileByPath("@A/CD1/01 Alpha.mp3")->SetSelected(true);
    manager.FindList("B")->FindFileByPath("@B/CD1/Live/03 Gamma.mp3")->SetSelected(true);
    EXPECT_EQ(manager.SelectedCount(), 2);
    manager.ClearSelections();
    EXPECT_EQ(manager.SelectedCount(), 0);
}

TEST_F(ListFolder, AFileFoundWithAnUpperCaseExtensionIsSavedUnderItsOwnName)
{
    PutList("Upper.MPL", TestDataFile("model/golden.mpl"));
    manager.Reload();
    TBWDirMpl* list = manager.FindList("upper");
    ASSERT_NE(list, nullptr);
    list->AddVolume("CD2", &Disc());
    ASSERT_TRUE(manager.SaveAll());
    EXPECT_EQ(folder.Names("lists"), Names{"Upper.MPL"});
    EXPECT_EQ(SubDirNames(*manager.FindList("Upper")), (Names{"CD1", "CD2"}));
}

TEST_F(ListFolder, AListOutsideTheManagerReadsAnyPathAndSavesOnlyIntoTheFolder)
{
    folder.WriteFile("elsewhere/Import.mpl", TestDataFile("model/golden.mpl"));
    TBWDirMpl probe;
    probe.SetListName(folder.Path("elsewhere/Import.mpl"));
    EXPECT_EQ(probe.State(), msLoaded);
    EXPECT_EQ(probe.Path(), "@Import/");
    EXPECT_EQ(probe.ListName(), folder.Path("elsewhere/Import"));

    TBWDirMpl* list = manager.NewList("Import", true);
    list->CopyTree(&probe);
    ASSERT_TRUE(list->Save());
    EXPECT_EQ(ListBytes("Import.mpl").substr(TMplIO::kHeaderSize + 20, 2 * 56 + 16),
              TestDataFile("model/golden.mpl").substr(TMplIO::kHeaderSize + 20, 2 * 56 + 16))
        << "the volume's record";
}
