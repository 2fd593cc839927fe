#include "model/u_bwfs.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "base/u_bwdatetime.h"
#include "tests/model/fake_model.h"
#include "tests/support/live_objects.h"

namespace {

using Names = std::vector<std::string>;
using Notice = TFakeSource::Notice;

// A tree under "/" with music (its own file, rock, jazz) and other.
class FakeTree : public ::testing::Test {
protected:
    FakeTree()
    {
        root.source = &source;
        source.Add("/music/", {"top.mp3"});
        source.Add("/music/rock/", {"a.mp3", "b.mp3"});
        source.Add("/music/jazz/", {"c.mp3"});
        source.Add("/other/", {"d.mp3"});
    }

    TBWDirectory* Dir(const std::string& path) { return root.FindDir(path, false); }
    TBWFile* File(const std::string& path) { return root.FindFileByPath(path); }

    TFakeSource source;
    TFakeDir root;
};

Names PathsOf(const std::vector<TBWComparable*>& items)
{
    Names paths;
    for (TBWComparable* item : items)
        if (auto* file = dynamic_cast<TBWFile*>(item))
            paths.push_back(file->DirPath() + file->Name());
    return paths;
}

Names ChainPaths(TBWChain& chain)
{
    std::vector<TBWComparable*> items;
    for (TBWChainNode* node = chain.Head(); node; node = node->Next())
        items.push_back(node->Item());
    return PathsOf(items);
}

}  // namespace

// ------------------------------------------------------------ lazy loading

TEST_F(FakeTree, NothingIsReadBeforeItIsLookedAt)
{
    EXPECT_EQ(source.TotalDirLoads(), 0);
    ASSERT_NE(Dir("/music/rock/"), nullptr);
    // Only the directories on the way were read, each once.
    EXPECT_EQ(source.dirLoads, (std::map<std::string, int>{{"", 1}, {"/", 1}, {"/music/", 1}}));
    EXPECT_EQ(source.TotalFileLoads(), 0);
    Dir("/music/jazz/");
    Dir("/music/");
    EXPECT_EQ(source.dirLoads["/music/"], 1);
}

TEST_F(FakeTree, FileListReadsAgainOnlyAfterItsDirectoryChanged)
{
    struct Case {
        const char* what;
        void (*between)(TBWDirectory& dir);
        int loads;
    };
    const Case cases[] = {
        {"nothing", [](TBWDirectory&) {}, 1},
        // The first load stamps the directory after the list; a source that
        // cannot tell the list is still current reads it again.
        {"subdirectories looked at the first time", [](TBWDirectory& dir) { dir.DirCount(); }, 2},
        {"directory refreshed", [](TBWDirectory& dir) { dir.Refresh(); }, 2},
        {"directory refreshed after a look", [](TBWDirectory& dir) { dir.DirCount(); dir.Refresh(); }, 2},
        {"subdirectory added with touch", [](TBWDirectory& dir) { dir.AddSubDirTouch("new"); }, 2},
        {"subdirectory added without touch", [](TBWDirectory& dir) { dir.AddSubDir("new"); }, 1},
        {"directory emptied by Reload", [](TBWDirectory& dir) { dir.Reload(); }, 2},
        {"subdirectory deleted", [](TBWDirectory& dir) { dir.FirstDir()->Delete(); }, 2},
        {"file added with touch", [](TBWDirectory& dir) { dir.Files()->AddFileTouch("new.mp3"); }, 1},
        {"file removed", [](TBWDirectory& dir) { dir.Files()->FirstFile()->RemoveFromList(); }, 1},
    };
    for (const Case& c : cases) {
        TFakeSource fresh;
        fresh.Add("/music/rock/", {"a.mp3"});
        fresh.Add("/music/", {"top.mp3", "more.mp3"});
        TFakeDir tree;
        tree.source = &fresh;
        TBWDirectory* music = tree.FindDir("/music/", false);
        ASSERT_NE(music, nullptr);
        EXPECT_EQ(music->Files()->Count(), 2) << c.what;
        c.between(*music);
        music->Files()->FirstFile();
        music->Files()->Count();
        EXPECT_EQ(fresh.fileLoads["/music/"], c.loads) << c.what;
    }
}

TEST_F(FakeTree, ListOfTheRootWithItsEmptyNameNeverReads)
{
    source.folders[""].files = {"stray.mp3"};
    EXPECT_EQ(root.Files()->Count(), 0);
    root.Refresh();
    EXPECT_EQ(root.Files()->Count(), 0);
    EXPECT_EQ(source.TotalFileLoads(), 0);
}

TEST_F(FakeTree, ReloadLeavesTheDirectoryLoadedAndEmpty)
{
    TBWDirectory* music = Dir("/music/");
    music->Reload();
    EXPECT_EQ(music->DirCount(), 0);
    EXPECT_GT(music->LoadedAt(), 0u);
    EXPECT_EQ(source.dirLoads.count("/music/"), 0u);
}

// ----------------------------------------------- refresh keeps old entries

TEST_F(FakeTree, EntriesHeldBeforeARefreshStayAliveAndKeepTheirValues)
{
    TBWDirectory* rock = Dir("/music/rock/");
    TBWFile* before = File("/music/rock/a.mp3");
    ASSERT_NE(before, nullptr);
    const std::string digest = before->DigestHex();
    const std::int64_t size = before->Size();

    root.Refresh();
    Dir("/music/")->Refresh();
    TBWFile* after = File("/music/rock/a.mp3");

    ASSERT_NE(after, nullptr);
    EXPECT_NE(after, before);
    EXPECT_NE(Dir("/music/rock/"), rock);
    // The old objects still answer (ASan would catch a freed one).
    EXPECT_EQ(before->Name(), "a.mp3");
    EXPECT_EQ(before->Size(), size);
    EXPECT_EQ(before->DigestHex(), digest);
    EXPECT_EQ(before->DirPath(), "/music/rock/");
    EXPECT_EQ(rock->Path(), "/music/rock/");
    EXPECT_EQ(source.InfoLoads("a.mp3", ikBasic), 1);
}

// Refreshes retire whole trees; freeing them keeps exactly what is listed,
// reads nothing, and leaves alone a directory listed but owned elsewhere.
TEST_F(FakeTree, FreeingRetiredFoldersKeepsOnlyWhatIsListed)
{
    root.FindFileByPath("/music/top.mp3");
    for (const char* path : {"/music/rock/", "/music/jazz/", "/other/"})
        Dir(path)->Files()->Count();
    // "/", music, rock, jazz, other; top, a, b, c, d.
    EXPECT_EQ(LiveFoldersAndFiles(root), std::make_pair(5, 5));

    for (int scan = 0; scan < 3; ++scan) {
        root.Refresh();
        Dir("/music/")->Files()->Count();
        Dir("/music/rock/")->Files()->Count();
        Dir("/music/rock/")->Refresh();  // its file list reads again on the next look
        Dir("/music/rock/")->Files()->Count();
        const int loads = source.TotalDirLoads() + source.TotalFileLoads();
        root.FreeRetired();
        EXPECT_EQ(source.TotalDirLoads() + source.TotalFileLoads(), loads);
        // "/", music, rock, jazz, other; top, a, b.
        EXPECT_EQ(LiveFoldersAndFiles(root), std::make_pair(5, 3)) << scan;
    }
    EXPECT_EQ(ChainPaths(*Dir("/music/rock/")->Files()->Items()), (Names{"/music/rock/a.mp3", "/music/rock/b.mp3"}));

    // Listed here, owned elsewhere: what it retired is its owner's to free.
    TMemoryDir elsewhere;
    elsewhere.SetName("elsewhere");
    elsewhere.AddSubDirTouch("retired");
    elsewhere.Reload();
    root.AddDir(&elsewhere);
    root.FreeRetired();
    EXPECT_EQ(LiveFoldersAndFiles(elsewhere), std::make_pair(1, 0));
    EXPECT_EQ(root.FindChild("elsewhere"), &elsewhere);
    root.RemoveDir(&elsewhere);
}

TEST_F(FakeTree, RefreshedListNoLongerFindsItsOldEntries)
{
    TBWFileList* rock = Dir("/music/rock/")->Files();
    TBWFile* old = rock->FindByName("a.mp3");
    Dir("/music/rock/")->Refresh();
    TBWFile* fresh = rock->FindByName("a.mp3");
    EXPECT_NE(fresh, old);
    EXPECT_EQ(rock->Count(), 2);
    old->RemoveFromList();  // an unlisted entry: nothing to take out
    EXPECT_EQ(rock->Count(), 2);
}

// ---------------------------------------------------------------- FindDir

TEST_F(FakeTree, FindDirReachesEveryPath)
{
    source.Add("/music/Rock/");  // a sibling that differs only in case
    struct Case {
        const char* path;
        const char* found;  // Path of the answer, or nullptr for none
    };
    const Case cases[] = {
        {"", ""},
        {"/", "/"},
        {"/music/", "/music/"},
        {"/music", "/music/"},
        {"/music/rock/", "/music/rock/"},
        {"/music/rock", "/music/rock/"},
        {"/music/Rock/", "/music/Rock/"},
        {"/MUSIC/jazz/", "/music/jazz/"},
        {"/music/JAZZ", "/music/jazz/"},
        {"/music/ROCK/", "/music/rock/"},  // no exact match: the first made
        {"/music/blues/", nullptr},
        {"/nothing/", nullptr},
        {"music/", nullptr},
        {"//music/", nullptr},
        {"/music//rock/", nullptr},
    };
    for (const Case& c : cases) {
        TBWDirectory* found = root.FindDir(c.path, false);
        if (!c.found) {
            EXPECT_EQ(found, nullptr) << c.path;
            continue;
        }
        ASSERT_NE(found, nullptr) << c.path;
        EXPECT_EQ(found->Path(), c.found) << c.path;
    }
}

TEST_F(FakeTree, FindDirWithCreateMakesOnlyTheMissingLevels)
{
    struct Case {
        const char* path;
        const char* found;
        Names musicAfter;  // subdirectories of /music/ afterwards
    };
    const Case cases[] = {
        {"/music/rock/", "/music/rock/", {"rock", "jazz"}},
        {"/music/ROCK/", "/music/rock/", {"rock", "jazz"}},
        {"/music/new/deeper", "/music/new/deeper/", {"rock", "jazz", "new"}},
        {"/music/Rock/Live/", "/music/rock/Live/", {"rock", "jazz"}},
        {"/music//x/", nullptr, {"rock", "jazz"}},
        {"/music/new//", nullptr, {"rock", "jazz", "new"}},
    };
    for (const Case& c : cases) {
        TFakeSource fresh;
        fresh.Add("/music/rock/");
        fresh.Add("/music/jazz/");
        TFakeDir tree;
        tree.source = &fresh;
        TBWDirectory* found = tree.FindDir(c.path, true);
        if (c.found) {
            ASSERT_NE(found, nullptr) << c.path;
            EXPECT_EQ(found->Path(), c.found) << c.path;
            EXPECT_EQ(tree.FindDir(c.path, false), found) << c.path;
        } else {
            EXPECT_EQ(found, nullptr) << c.path;
        }
        EXPECT_EQ(SubDirNames(*tree.FindDir("/music/", false)), c.musicAfter) << c.path;
    }
}

TEST_F(FakeTree, FindDirWithCreateAnswersNoneForAPathNoChildOpens)
{
    // A root without "/": the path's first component is empty.
    TFakeSource bare;
    bare.folders[""];
    TFakeDir tree;
    tree.source = &bare;
    EXPECT_EQ(tree.FindDir("/x/", true), nullptr);
    EXPECT_EQ(tree.DirCount(), 0);
    // A relative path makes a child named by its first component.
    TBWDirectory* made = tree.FindDir("x/y/", true);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->Path(), "x/y/");
    EXPECT_EQ(SubDirNames(tree), Names{"x"});
}

TEST_F(FakeTree, FindDirFromADirectoryOnlyLooksBelowIt)
{
    TBWDirectory* music = Dir("/music/");
    EXPECT_EQ(music->FindDir("/music/", false), music);
    EXPECT_EQ(music->FindDir("/Music", false), music);
    EXPECT_EQ(music->FindDir("/music/jazz/", false), Dir("/music/jazz/"));
    EXPECT_EQ(music->FindDir("/", false), nullptr);
    EXPECT_EQ(music->FindDir("", false), nullptr);
    EXPECT_EQ(music->FindDir("/other/", true), nullptr);
    EXPECT_EQ(music->FindDir("/musical/", true), nullptr);
}

TEST_F(FakeTree, FindDirMatchesNamesThatHoldSeparators)
{
    TFakeSource bare;
    TFakeDir tree;
    tree.source = &bare;
    tree.Reload();
    TBWDirectory* drive = tree.AddSubDir("C:/");
    TBWDirectory* mount = tree.AddSubDir("/media/usb/");
    EXPECT_EQ(drive->DisplayName(), "C:");
    EXPECT_EQ(mount->Path(), "/media/usb/");
    EXPECT_EQ(tree.FindDir("c:/", false), drive);
    EXPECT_EQ(tree.FindDir("/media/usb", false), mount);
    EXPECT_EQ(tree.FindChild("C:/"), drive);
    EXPECT_EQ(tree.FindChild("C:"), nullptr);
}

TEST_F(FakeTree, FindChildPrefersTheExactName)
{
    source.Add("/music/Rock/");
    TBWDirectory* music = Dir("/music/");
    EXPECT_EQ(music->FindChild("Rock")->Name(), "Rock");
    EXPECT_EQ(music->FindChild("rock")->Name(), "rock");
    EXPECT_EQ(music->FindChild("ROCK")->Name(), "rock");
    EXPECT_EQ(music->FindChild("pop"), nullptr);
}

TEST_F(FakeTree, RenamedDirectoryIsFoundByItsNewName)
{
    TBWDirectory* music = Dir("/music/");
    TBWDirectory* rock = music->FindChild("rock");
    rock->SetName("metal");
    EXPECT_EQ(music->FindChild("metal"), rock);
    EXPECT_EQ(music->FindChild("rock"), nullptr);
    EXPECT_EQ(Dir("/music/metal/"), rock);
    rock->Delete();
    EXPECT_EQ(music->FindChild("metal"), nullptr);
}

// ------------------------------------------------- files by name and path

TEST_F(FakeTree, FindFileByPathPrefersTheExactName)
{
    source.folders["/music/rock/"].files.push_back("A.mp3");
    struct Case {
        const char* path;
        const char* found;  // the full model path of the answer, or nullptr
    };
    const Case cases[] = {
        {"/music/rock/a.mp3", "/music/rock/a.mp3"},
        {"/music/rock/A.mp3", "/music/rock/A.mp3"},
        {"/music/rock/B.MP3", "/music/rock/b.mp3"},
        {"/MUSIC/Rock/b.mp3", "/music/rock/b.mp3"},
        {"/music/top.mp3", "/music/top.mp3"},
        {"/music/rock/z.mp3", nullptr},
        {"/music/pop/a.mp3", nullptr},
        {"/music/rock/", nullptr},
        {"a.mp3", nullptr},
    };
    for (const Case& c : cases) {
        TBWFile* found = File(c.path);
        if (!c.found) {
            EXPECT_EQ(found, nullptr) << c.path;
            continue;
        }
        ASSERT_NE(found, nullptr) << c.path;
        EXPECT_EQ(found->DirPath() + found->Name(), c.found) << c.path;
    }
}

TEST_F(FakeTree, AddFileListsEachExactNameOnce)
{
    TBWFileList* rock = Dir("/music/rock/")->Files();
    // The list loads before the name is looked for.
    TBWFile* a = rock->AddFile("a.mp3");
    EXPECT_EQ(source.fileLoads["/music/rock/"], 1);
    EXPECT_EQ(rock->FindByName("a.mp3"), a);
    EXPECT_EQ(rock->AddFile("a.mp3"), a);
    TBWFile* upper = rock->AddFile("A.MP3");
    EXPECT_NE(upper, a);
    EXPECT_EQ(NamesIn(*rock->Items()), (Names{"a.mp3", "b.mp3", "A.MP3"}));
    EXPECT_EQ(rock->FindByName("A.MP3"), upper);
    EXPECT_EQ(rock->FindByName("a.Mp3"), a);
}

TEST_F(FakeTree, RenamedFileIsFoundByItsNewName)
{
    TBWFileList* rock = Dir("/music/rock/")->Files();
    TBWFile* a = rock->FindByName("a.mp3");
    a->SetName("z.mp3");
    EXPECT_EQ(rock->FindByName("z.mp3"), a);
    EXPECT_EQ(rock->FindByName("a.mp3"), nullptr);
    EXPECT_EQ(rock->AddFile("z.mp3"), a);
    a->RemoveFromList();
    EXPECT_EQ(rock->FindByName("z.mp3"), nullptr);
    EXPECT_EQ(rock->Count(), 1);
}

// A listener of the change that lists an entry, or unlists one, may be the
// first to look names up in that list: what it finds then is no matter, but
// afterwards the lookups find exactly the entries listed.
TEST_F(FakeTree, NamesLookedUpWhileAChangeIsNoticedAreFoundAsListedAfterIt)
{
    const auto lookUpIn = [](TBWDirectory* dir, TBWChangeKind kind) {
        if (kind == ckFileAdded || kind == ckFileRemoved)
            dir->Files()->FindByName("any");
        else
            dir->ParentDir()->FindChild("any");
    };
    source.onNotice = lookUpIn;
    TBWDirectory* music = Dir("/music/");
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(music->FindChild("rock")->Name(), "rock");
    EXPECT_EQ(music->FindChild("jazz")->Name(), "jazz");
    TBWFileList* rock = music->FindChild("rock")->Files();
    EXPECT_EQ(rock->FindByName("a.mp3")->Name(), "a.mp3");
    EXPECT_EQ(rock->FindByName("b.mp3")->Name(), "b.mp3");


    // A tree whose lists were loaded but never looked into.
    TFakeSource unread;
    unread.Add("/music/rock/", {"a.mp3", "b.mp3"});
    unread.Add("/music/jazz/");
    TFakeDir unreadRoot;
    unreadRoot.source = &unread;
    TBWDirectory* unreadMusic = unreadRoot.FindDir("/music/", false);
    ASSERT_EQ(unreadMusic->DirCount(), 2);
    TBWFileList* unreadRock = unreadMusic->DirAt(0)->Files();
    ASSERT_EQ(unreadRock->Count(), 2);
    unread.onNotice = lookUpIn;
    unreadRock->FileAt(1)->RemoveFromList();
    unreadMusic->DirAt(1)->Detach();
    EXPECT_EQ(unreadRock->FindByName("b.mp3"), nullptr);
    EXPECT_EQ(unreadRock->FindByName("a.mp3")->Name(), "a.mp3");
    EXPECT_EQ(unreadMusic->FindChild("jazz"), nullptr);
    EXPECT_EQ(unreadMusic->FindChild("rock")->Name(), "rock");
}

// ------------------------------------------------------------ CollectFiles

TEST_F(FakeTree, CollectFilesTakesOwnFilesFirstThenEachSubtree)
{
    TBWChain pool;
    root.CollectFiles(&pool, false);
    EXPECT_EQ(ChainPaths(pool), (Names{"/music/top.mp3", "/music/rock/a.mp3", "/music/rock/b.mp3",
                                       "/music/jazz/c.mp3", "/other/d.mp3"}));
    EXPECT_EQ(source.fileLoads.size(), 5u);  // every list of the tree but the root's
    root.CollectFiles(nullptr, false);
}

TEST_F(FakeTree, CollectFilesCanTakeOnlyTheSelectedOnes)
{
    // Looked at first, so that no list goes stale under its selection.
    for (const char* path : {"/music/rock/", "/other/"})
        Dir(path)->DirCount();
    File("/music/rock/b.mp3")->SetSelected(true);
    Dir("/other/")->Files()->Items()->SelectAll();
    TBWChain pool;
    Dir("/music/")->CollectFiles(&pool, true);
    EXPECT_EQ(ChainPaths(pool), Names{"/music/rock/b.mp3"});
    root.CollectFiles(&pool, true);
    EXPECT_EQ(ChainPaths(pool), (Names{"/music/rock/b.mp3", "/music/rock/b.mp3", "/other/d.mp3"}));
}

TEST_F(FakeTree, SelectionsOfTheLoadedPartAreCountedAndClearedWithoutLoading)
{
    File("/music/rock/a.mp3")->SetSelected(true);
    File("/music/rock/b.mp3")->SetSelected(true);
    Dir("/music/")->Files()->ToggleSelected(File("/music/top.mp3"));
    File("/other/d.mp3")->SetSelected(true);
    // Rock's list is now stale, jazz was never loaded and the subfolders of
    // other were never looked at: none of them is read, all are counted.
    Dir("/music/rock/")->Touch();
    const int dirLoads = source.TotalDirLoads(), fileLoads = source.TotalFileLoads();

    EXPECT_EQ(root.SelectedCount(), 4);
    root.ClearSelections();
    EXPECT_EQ(root.SelectedCount(), 0);
    EXPECT_EQ(source.TotalDirLoads(), dirLoads);
    EXPECT_EQ(source.TotalFileLoads(), fileLoads);
}

// ---------------------------------------------------------------- CopyTree

TEST_F(FakeTree, CopyTreeCopiesFilesWithTheirInformationAndMergesByExactName)
{
    source.Add("/music/jazz/Live/", {"e.mp3"});
    source.Add("/music/jazz/live/", {"f.mp3"});
    TMemoryDir target;
    TBWDirectory* volume = target.AddSubDirTouch("disc");
    volume->AddSubDirTouch("jazz")->Files()->AddFileTouch("c.mp3");

    volume->CopyTree(Dir("/music/"));

    EXPECT_EQ(FileNames(*volume), Names{"top.mp3"});
    EXPECT_EQ(SubDirNames(*volume), (Names{"jazz", "rock"}));
    TBWDirectory* jazz = volume->FindChild("jazz");
    EXPECT_EQ(FileNames(*jazz), Names{"c.mp3"});
    EXPECT_EQ(SubDirNames(*jazz), (Names{"Live", "live"}));
    EXPECT_EQ(FileNames(*jazz->FindChild("live")), Names{"f.mp3"});
    TBWFile* copy = volume->FindFileByPath("disc/rock/b.mp3");
    ASSERT_NE(copy, nullptr);
    // Read from the source while copying, never again by the copy.
    EXPECT_EQ(source.InfoLoads("b.mp3", ikBasic), 1);
    EXPECT_EQ(source.InfoLoads("b.mp3", ikDigest), 1);
    EXPECT_EQ(copy->Size(), 500);
    EXPECT_EQ(copy->GetDigest(), TFakeFile::DigestOfName("b.mp3"));
    EXPECT_EQ(copy->WordsText(), File("/music/rock/b.mp3")->WordsText());
    EXPECT_EQ(source.InfoLoads("b.mp3", ikBasic), 1);
    volume->CopyTree(nullptr);
}

// ----------------------------------------------------------------- notices

TEST_F(FakeTree, ChangesReachTheRootAsNotices)
{
    const auto sortedPathsOf = [](std::vector<Notice> notices, TBWChangeKind kind) {
        Names paths;
        for (const Notice& n : notices)
            if (n.kind == kind)
                paths.push_back(n.path);
        std::sort(paths.begin(), paths.end());
        return paths;
    };
    Dir("/music/")->DirCount();
    EXPECT_EQ(source.notices, (std::vector<Notice>{{"/", ckDirAdded},
                                                   {"/music/", ckDirAdded},
                                                   {"/other/", ckDirAdded},
                                                   {"/music/rock/", ckDirAdded},
                                                   {"/music/jazz/", ckDirAdded}}));
    source.notices.clear();
    Dir("/music/rock/")->Files()->Count();
    EXPECT_EQ(source.notices, (std::vector<Notice>{{"/music/rock/", ckFileAdded}, {"/music/rock/", ckFileAdded}}));

    // A refresh: every old entry removed, then the new ones added.
    source.notices.clear();
    Dir("/music/")->Refresh();
    ASSERT_EQ(source.notices.size(), 4u);
    EXPECT_EQ(sortedPathsOf({source.notices.begin(), source.notices.begin() + 2}, ckDirRemoved),
              (Names{"/music/jazz/", "/music/rock/"}));
    EXPECT_EQ((std::vector<Notice>{source.notices.begin() + 2, source.notices.end()}),
              (std::vector<Notice>{{"/music/rock/", ckDirAdded}, {"/music/jazz/", ckDirAdded}}));

    source.notices.clear();
    TBWFile* top = File("/music/top.mp3");
    top->RemoveFromList();
    Dir("/other/")->Delete();
    EXPECT_EQ(source.notices, (std::vector<Notice>{{"/music/", ckFileAdded},
                                                   {"/music/", ckFileRemoved},
                                                   {"/other/", ckDirRemoved}}));
}

// ------------------------------------------------------------- info kinds

TEST_F(FakeTree, EachKindOfInformationIsReadOnceOnFirstRequest)
{
    TBWFile* a = File("/music/rock/a.mp3");
    TBWFile* b = File("/music/rock/b.mp3");
    EXPECT_EQ(a->LoadedInfo().count(), 0u);
    // Time keys read nothing: they are 0 until the basic information is read.
    EXPECT_EQ(a->KeyInt(fkModified), 0);
    EXPECT_TRUE(source.infoLoads.empty());

    EXPECT_EQ(a->KeyInt(fkSize), 500);
    EXPECT_EQ(a->Size(), 500);
    EXPECT_LT(a->Compare(File("/music/top.mp3"), fkSize), 0);
    EXPECT_EQ(a->KeyText(fkDigest), "612e6d70330000000000000000000000");
    EXPECT_EQ(a->DigestHex(), a->KeyText(fkDigest));
    EXPECT_EQ(source.InfoLoads("a.mp3", ikBasic), 1);
    EXPECT_EQ(source.InfoLoads("a.mp3", ikDigest), 1);
    EXPECT_EQ(source.InfoLoads("b.mp3", ikBasic), 0);

    // Assigning reads what the source had not read yet.
    TFakeFile copy;
    copy.Assign(*b);
    EXPECT_EQ(source.InfoLoads("b.mp3", ikBasic), 1);
    EXPECT_EQ(source.InfoLoads("b.mp3", ikDigest), 1);
    EXPECT_EQ(copy.Name(), "b.mp3");
    EXPECT_TRUE(copy.LoadedInfo().test(ikBasic) && copy.LoadedInfo().test(ikDigest));
    EXPECT_EQ(copy.DigestHex(), b->DigestHex());
    // A digest of zeros copied over another one leaves zeros too.
    TFakeFile zeros;
    zeros.SetLoadedInfo(TBWInfoKinds().set());
    copy.Assign(zeros);
    EXPECT_EQ(copy.DigestHex(), std::string(32, '0'));
}

TEST_F(FakeTree, TimeKeysAreWholeSecondsBeyondThirtyTwoBits)
{
    auto* early = static_cast<TFakeFile*>(File("/music/rock/a.mp3"));
    auto* late = static_cast<TFakeFile*>(File("/music/rock/b.mp3"));
    // 2010 and 2100: the second is past 2^31 seconds since 1899.
    early->SetFileTimes(40179.5, 40179.25, 0);
    late->SetFileTimes(73051.5, 73051.25, -1.5);
    EXPECT_EQ(early->KeyInt(fkCreated), 3471508800);
    EXPECT_GT(late->KeyInt(fkCreated), static_cast<std::int64_t>(INT32_MAX) * 2);
    EXPECT_EQ(late->KeyInt(fkAccessed), -129600);
    EXPECT_LT(early->Compare(late, fkCreated), 0);
    EXPECT_LT(early->Compare(late, fkModified), 0);
}

// ------------------------------------------------------- names and words

TEST(FileNames, WordsLeaveOutTheExtension)
{
    struct Case {
        const char* name;
        const char* words;
        std::int32_t fields;
    };
    const Case cases[] = {
        {"Artist - Title.mp3", "[artist,title]", 2},
        {"track.01.mp3", "[track,01]", 1},
        {"no extension", "[no,extension]", 1},
        {"AC/DC - Back in Black", "[ac,dc,back,in,black]", 2},
        {".hidden", "[]", 0},
    };
    for (const Case& c : cases) {
        TBWFile file;
        file.SetName(c.name);
        EXPECT_EQ(file.WordsText(), c.words) << c.name;
        EXPECT_EQ(file.FieldCount(), c.fields) << c.name;
    }
}

TEST(FileNames, ExtensionKeyIsUpToFiveUpperCaseCharacters)
{
    struct Case {
        const char* name;
        const char* key;
    };
    const Case cases[] = {
        {"a.mp3", "MP3"}, {"a.b.Ogg", "OGG"}, {"a.flac12345", "FLAC1"}, {"noext", ""}, {"dot.", ""},
    };
    for (const Case& c : cases) {
        TBWFile file;
        file.SetName(c.name);
        EXPECT_EQ(file.ExtensionKey(), c.key) << c.name;
    }
}

TEST(DirectoryNames, PathAndCaptionFollowTheName)
{
    struct Case {
        const char* name;
        const char* caption;
        const char* childPath;  // of a child named "music"
    };
    const Case cases[] = {
        {"", "", "music/"},
        {"/", "/", "/music/"},
        {"C:/", "C:", "C:/music/"},
        {"%mymusic%", "%mymusic%", "%mymusic%/music/"},
        {"@Rock/", "@Rock", "@Rock/music/"},
    };
    for (const Case& c : cases) {
        TMemoryDir dir;
        dir.SetName(c.name);
        EXPECT_EQ(dir.DisplayName(), c.caption) << c.name;
        TBWDirectory* child = dir.AddSubDir("music", "My caption");
        EXPECT_EQ(child->Path(), c.childPath) << c.name;
        EXPECT_EQ(child->RealPath(), c.childPath) << c.name;
        EXPECT_EQ(child->DisplayName(), "My caption");
        EXPECT_EQ(child->KeyText(0), "My caption");
    }
}

TEST(DirectoryKinds, TopOfKindStopsWhereTheClassChanges)
{
    TFakeSource source;
    TFakeDir root;
    root.source = &source;
    root.Reload();
    auto* list = new TMemoryDir(&root);
    root.AddDir(list);
    TBWDirectory* volume = list->AddSubDir("volume");
    TBWDirectory* folder = volume->AddSubDir("folder");
    EXPECT_EQ(folder->TopOfKind(), list);
    EXPECT_TRUE(list->IsTopOfKind());
    EXPECT_FALSE(volume->IsTopOfKind());
    EXPECT_EQ(folder->Root(), &root);
    EXPECT_EQ(folder->ParentDir(), volume);
    EXPECT_EQ(root.ParentDir(), nullptr);
}

TEST(DirectoryKinds, SubdirectoriesTakeTheirParentsClass)
{
    TMemoryDir dir;
    TBWDirectory* child = dir.AddSubDir("x");
    EXPECT_STREQ(child->ClassName(), "TMemoryDir");
    EXPECT_STREQ(child->Files()->ClassName(), "TMemoryFileList");
    EXPECT_STREQ(child->Files()->AddFile("y")->ClassName(), "TFakeFile");
}

TEST(DirectoryKinds, AClassReferenceThatMakesTheWrongObjectsIsAClassError)
{
    struct TMisconfiguredDir : TMemoryDir {
        TMisconfiguredDir() { SetFileListClass(TBWFile::StaticClass()); }
    };
    TMisconfiguredDir dir;
    EXPECT_THROW(dir.Files(), EBWClassError);
    EXPECT_EQ(dir.FileList(), nullptr);
}

// ------------------------------------------------- basic information on disk

namespace {

// A folder of its own under the temporary folder, removed with its files.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = ::testing::TempDir() + "bwfs-XXXXXX";
        path_ = mkdtemp(pattern.data()) ? pattern + "/" : std::string();
    }
    ~TempFolder()
    {
        for (const std::string& name : made_)
            ::unlink((path_ + name).c_str());
        ::rmdir(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    std::string Write(const std::string& name, std::size_t bytes)
    {
        std::ofstream(path_ + name, std::ios::binary) << std::string(bytes, 'x');
        made_.push_back(name);
        return path_ + name;
    }

private:
    std::string path_;
    std::vector<std::string> made_;
};

// A directory whose real path is a folder on disk; its entries are plain
// file entries, so they read their basic information with the base rule.
class TDiskFolder : public TBWDirectory {
    BW_CLASS(TDiskFolder)
public:
    using TBWDirectory::TBWDirectory;
    void LoadSubDirs() override {}
    std::string RealPath() const override { return folder; }
    std::string folder;
};
BW_IMPLEMENT_CLASS(TDiskFolder, TBWDirectory)

}  // namespace

TEST(BasicInformation, SizeAndTimesComeFromTheFileOnDisk)
{
    TempFolder temp;
    ASSERT_FALSE(temp.Path().empty());
    const std::string path = temp.Write("song.bin", 12345);
    const std::time_t written = 1300000000;  // 2011-03-13
    const struct timespec times[2] = {{written - 60, 0}, {written, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);

    TDiskFolder dir;
    dir.SetName("disk");
    dir.folder = temp.Path();
    TBWFile* file = dir.Files()->AddFile("song.bin");
    TBWFile* missing = dir.Files()->AddFile("gone.bin");

    EXPECT_EQ(file->FullPath(), path);
    EXPECT_EQ(file->Size(), 12345);
    EXPECT_DOUBLE_EQ(file->Modified(), DaysFromTime(written));
    EXPECT_DOUBLE_EQ(file->Accessed(), DaysFromTime(written - 60));
    EXPECT_GT(file->Created(), 0);
    EXPECT_EQ(file->KeyInt(fkModified), static_cast<std::int64_t>(DaysFromTime(written) * 86400));
    EXPECT_EQ(missing->Size(), -1);
    EXPECT_EQ(missing->Modified(), 0);
    // Read once: a later change on disk is not seen by the entry.
    temp.Write("song.bin", 10);
    EXPECT_EQ(file->Size(), 12345);
}
