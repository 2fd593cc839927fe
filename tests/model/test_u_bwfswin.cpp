#include "model/u_bwfswin.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/u_bwchain.h"
#include "tests/model/disk_tree.h"
#include "tests/model/fake_model.h"

namespace {

using Names = std::vector<std::string>;

// A disk folder whose files are matched by a mask the test chooses.
class TMaskedFileList : public TBWFileListWin {
    BW_CLASS(TMaskedFileList)
public:
    using TBWFileListWin::TBWFileListWin;
    std::string Mask() const override { return mask; }
    static inline std::string mask;
};
BW_IMPLEMENT_CLASS(TMaskedFileList, TBWFileListWin)

class TMaskedDir : public TBWDirWin {
    BW_CLASS(TMaskedDir)
public:
    explicit TMaskedDir(TBWObject* owner = nullptr) : TBWDirWin(owner)
    {
        SetFileListClass(TMaskedFileList::StaticClass());
    }
};
BW_IMPLEMENT_CLASS(TMaskedDir, TBWDirWin)

// A disk folder standing alone, named by its path on disk.
class DiskFolder : public ::testing::Test {
protected:
    TBWDirWin& Open(const std::string& relative)
    {
        dir.SetName(tree.Path(relative));
        return dir;
    }

    TDiskTree tree;
    TBWDirWin dir;
};

std::size_t CollectedCount(TBWDirectory& dir)
{
    TBWChain files;
    dir.CollectFiles(&files, false);
    return static_cast<std::size_t>(files.Count());
}

}  // namespace

// ------------------------------------------------------------------ listing

TEST_F(DiskFolder, ListsVisibleFoldersAndRegularFilesOnly)
{
    tree.WriteFile("top/Rock/a.mp3", "a");
    tree.MakeFolder("top/jazz");
    tree.MakeFolder("top/.hidden");
    tree.MakeLink("top/linked", tree.Path("outside"));
    tree.MakeFolder("outside");
    tree.WriteFile("top/song.mp3", "s");
    tree.WriteFile("top/Other.MP3", "o");
    tree.WriteFile("top/readme", "r");
    tree.WriteFile("top/.secret.mp3", "h");
    tree.MakeFifo("top/x.mp3");
    tree.MakeLink("top/link.mp3", tree.Path("top/song.mp3"));
    tree.MakeLink("top/dangling.mp3", tree.Path("top/gone.mp3"));
    tree.MakeFolder("top/folder.mp3");

    TBWDirWin& top = Open("top");
    // Folders are folders however they are named; names in the order of
    // their letters without regard to case; a link to a folder is none.
    EXPECT_EQ(SubDirNames(top), (Names{"folder.mp3", "jazz", "Rock"}));
    // "*.*" takes names without an extension too; the FIFO, the folder and
    // the links are no files.
    EXPECT_EQ(FileNames(top), (Names{"Other.MP3", "readme", "song.mp3"}));
    EXPECT_EQ(top.FindDir(top.Path() + "Rock/", false)->Files()->FirstFile()->FullPath(),
              tree.Path("top/Rock/a.mp3"));
}

TEST_F(DiskFolder, LinksToFoldersAreNotFollowedButAFolderOpenedByALinkIsRead)
{
    tree.WriteFile("top/a/one.mp3", "1");
    tree.WriteFile("top/b/two.mp3", "2");
    tree.MakeLink("top/a/self", ".");
    tree.MakeLink("top/a/up", "..");
    tree.MakeLink("top/a/root", "/");
    // Two links pointing at each other's folders.
    tree.MakeLink("top/a/to-b", tree.Path("top/b"));
    tree.MakeLink("top/b/to-a", tree.Path("top/a"));

    TBWDirWin& top = Open("top");
    TBWDirectory* a = top.FindDir(top.Path() + "a/", false);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(SubDirNames(*a), Names{});
    EXPECT_EQ(CollectedCount(top), 2u);
    // A folder the user chose by a link's path.
    TBWDirWin chosen;
    chosen.SetName(tree.Path("top/a/to-b"));
    EXPECT_EQ(FileNames(chosen), Names{"two.mp3"});
    EXPECT_EQ(CollectedCount(chosen), 1u);
}

// The subfolders come from the listing the files were read from only while
// the folder has not changed since: a change made in between is seen.
TEST_F(DiskFolder, SubfoldersListedAfterTheFilesSeeChangesMadeInBetween)
{
    struct Case {
        const char* change;
        bool withLink;
        void (*apply)(const TDiskTree&);
        Names folders;
    };
    const Case cases[] = {
        {"none", false, [](const TDiskTree&) {}, {"a"}},
        {"folder made", false, [](const TDiskTree& t) { t.MakeFolder("top/b"); }, {"a", "b"}},
        {"folder removed", false, [](const TDiskTree& t) { ::rmdir(t.Path("top/a").c_str()); }, {}},
        // A link is no folder of the listing, whatever its target.
        {"link target made", true, [](const TDiskTree& t) { t.MakeFolder("x"); }, {"a"}},
    };
    for (const Case& c : cases) {
        TDiskTree disk;
        disk.WriteFile("top/song.mp3", "s");
        disk.MakeFolder("top/a");
        if (c.withLink)
            disk.MakeLink("top/to-x", disk.Path("x"));
        // Changed long ago, as the folders of a collection are.
        const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        ::utimensat(AT_FDCWD, disk.Path("top").c_str(), old, 0);
        TBWDirWin top;
        top.SetName(disk.Path("top"));
        EXPECT_EQ(FileNames(top), Names{"song.mp3"}) << c.change;
        c.apply(disk);
        EXPECT_EQ(SubDirNames(top), c.folders) << c.change;
    }
}

// A disk folder that keeps the notices of its files.
class TNoticedDir : public TBWDirWin {
public:
    void DirChanged(TBWDirectory*, TBWChangeKind kind) override
    {
        if (kind == ckFileAdded)
            ++filesAdded;
    }
    int filesAdded = 0;
};

// The file list stays as read across the first look at the subfolders only
// when the folder is unchanged since; a file added in between appears, with
// its notice.
TEST_F(DiskFolder, AFileAddedBeforeTheFirstLookAtTheSubfoldersAppears)
{
    struct Case {
        const char* change;
        bool addFile;
        Names files;
        bool selectionKept;
    };
    const Case cases[] = {
        {"none", false, {"song.mp3"}, true},
        {"file added", true, {"new.mp3", "song.mp3"}, false},
    };
    for (const Case& c : cases) {
        TDiskTree disk;
        disk.WriteFile("top/song.mp3", "s");
        disk.MakeFolder("top/a");
        const timespec old[2] = {{1000000000, 0}, {1000000000, 0}};
        ::utimensat(AT_FDCWD, disk.Path("top").c_str(), old, 0);
        TNoticedDir top;
        top.SetName(disk.Path("top"));
        EXPECT_EQ(FileNames(top), Names{"song.mp3"}) << c.change;
        top.Files()->FirstFile()->SetSelected(true);
        const int noticesBefore = top.filesAdded;
        if (c.addFile)
            disk.WriteFile("top/new.mp3", "n");
        EXPECT_EQ(SubDirNames(top), Names{"a"}) << c.change;
        EXPECT_EQ(FileNames(top), c.files) << c.change;
        EXPECT_EQ(top.Files()->FindByName("song.mp3")->IsSelected(), c.selectionKept) << c.change;
        EXPECT_EQ(top.filesAdded - noticesBefore, c.addFile ? 2 : 0) << c.change;
    }
}

TEST_F(DiskFolder, TheSystemRootLeavesOutThePseudoFileSystems)
{
    dir.SetName("/");
    const Names names = SubDirNames(dir);
    for (const char* pseudo : {"proc", "sys", "dev", "run"})
        EXPECT_EQ(std::count(names.begin(), names.end(), pseudo), 0) << pseudo;
    EXPECT_EQ(std::count(names.begin(), names.end(), "usr"), 1);
}

TEST_F(DiskFolder, AFolderThatCannotBeListedIsLoadedAndEmpty)
{
    TBWDirWin& missing = Open("no-such-folder");
    EXPECT_EQ(missing.DirCount(), 0);
    EXPECT_EQ(missing.Files()->Count(), 0);
    EXPECT_GT(missing.LoadedAt(), 0u);
    // A file given as a folder lists nothing either.
    tree.MakeFifo("pipe");
    TBWDirWin pipe;
    pipe.SetName(tree.Path("pipe"));
    EXPECT_EQ(pipe.DirCount(), 0);
    EXPECT_EQ(pipe.Files()->Count(), 0);
}

TEST_F(DiskFolder, NamesThatAreNoUtf8KeepTheirBytes)
{
    const std::string name = "caf\xe9 \xff.mp3";
    const std::string folder = "d\xe9j\xe0";
    tree.WriteFile("top/" + name, PatternBytes(200000));
    tree.MakeFolder("top/" + folder);
    TBWDirWin& top = Open("top");
    EXPECT_EQ(FileNames(top), Names{name});
    EXPECT_EQ(SubDirNames(top), Names{folder});
    TBWFile* file = top.Files()->FirstFile();
    EXPECT_EQ(file->Size(), 200000);
    EXPECT_EQ(file->FullPath(), tree.Path("top/" + name));
}

TEST_F(DiskFolder, AFileThatCannotBeReadGivesEmptyValues)
{
    tree.WriteFile("top/gone.mp3", PatternBytes(200000));
    tree.WriteFile("top/locked.mp3", PatternBytes(200000));
    ::chmod(tree.Path("top/locked.mp3").c_str(), 0);
    TBWDirWin& top = Open("top");
    TBWFile* gone = top.Files()->FindByName("gone.mp3");
    TBWFile* locked = top.Files()->FindByName("locked.mp3");
    ASSERT_NE(gone, nullptr);
    ASSERT_NE(locked, nullptr);
    std::filesystem::remove(tree.Path("top/gone.mp3"));

    EXPECT_EQ(gone->Size(), -1);
    EXPECT_EQ(gone->DigestHex(), "d41d8cd98f00b204e9800998ecf8427e");
    // Who may read anything (root) reads it all the same.
    if (::access(tree.Path("top/locked.mp3").c_str(), R_OK) != 0) {
        EXPECT_EQ(locked->DigestHex(), "d41d8cd98f00b204e9800998ecf8427e");
    }
}

// -------------------------------------------------------------------- masks

TEST(DiskFileMask, EachFileIsListedOnceInTheOrderOfTheFirstMaskThatMatches)
{
    struct Case {
        const char* mask;
        Names files;
    };
    const Case cases[] = {
        {"*.mp3", {"a.Mp3", "b.mp3", "C.MP3"}},
        {"*.MP3;*.mp3;*.Mp3", {"a.Mp3", "b.mp3", "C.MP3"}},
        {"*.OGG;*.MP3;", {"d.ogg", "a.Mp3", "b.mp3", "C.MP3"}},
        {"*.mp3;*.*", {"a.Mp3", "b.mp3", "C.MP3", "d.ogg", "e.wma.txt", "f"}},
        {"*.wma", {}},
        {"", {}},
        {";;", {}},
    };
    TDiskTree tree;
    for (const char* name : {"a.Mp3", "b.mp3", "C.MP3", "d.ogg", "e.wma.txt", "f"})
        tree.WriteFile(std::string("music/") + name, "x");
    for (const Case& c : cases) {
        TMaskedFileList::mask = c.mask;
        TMaskedDir music;
        music.SetName(tree.Path("music"));
        EXPECT_EQ(FileNames(music), c.files) << c.mask;
        // Read ahead, tried against these masks or against others.
        for (const char* aheadMask : {c.mask, "*.ogg"}) {
            TBWListingAhead ahead(tree.Path("music") + "/", 2, aheadMask);
            TMaskedDir walked;
            walked.SetName(tree.Path("music"));
            walked.LoadForWalk(&ahead);
            EXPECT_EQ(FileNames(walked), c.files) << c.mask << " read ahead with " << aheadMask;
        }
    }
}

// The threads that list ahead find the words of each name: a walk that
// takes their listings gives every file the words SetName gives it.
TEST(DiskFileMask, AWalkReadAheadGivesEachFileTheWordsOfItsName)
{
    const Names names = {"01 - Émilie Ünïcode - Ça va.mp3", "Кино - Группа крови.MP3", "東京事変 - 群青日和.mp3",
                         "no extension", "odd \xff\xfe bytes.mp3", "- .mp3", "a.b.c - d.ogg"};
    TDiskTree tree;
    for (const std::string& name : names)
        tree.WriteFile("music/" + name, "x");
    TMaskedFileList::mask = "*.*";
    TBWListingAhead ahead(tree.Path("music") + "/", 2, "*.*");
    TMaskedDir walked;
    walked.SetName(tree.Path("music"));
    walked.LoadForWalk(&ahead);
    TBWFileList* files = walked.Files();
    ASSERT_EQ(files->Count(), static_cast<std::int32_t>(names.size()));
    for (TBWFile* file = files->FirstFile(); file; file = files->NextFile()) {
        TBWFile named;
        named.SetName(file->Name());
        EXPECT_EQ(file->Words(), named.Words()) << file->Name();
        EXPECT_EQ(file->FieldCount(), named.FieldCount()) << file->Name();
    }
}

// ------------------------------------------------------------ folder macros

TEST(FolderMacros, AWholeMacroInAnyCaseTakesItsCaption)
{
    struct Case {
        const char* name;
        const char* caption;
    };
    const Case cases[] = {
        {"%startmenu%", "Start Menu"},     {"%desktop%", "Desktop"},
        {"%appdata%", "Application Data"}, {"%programfiles%", "Program Files"},
        {"%commonfiles%", "Common Files"}, {"%mydocuments%", "My Documents"},
        {"%mymusic%", "My Music"},         {"%MYMUSIC%", "My Music"},
        {"%MyPictures%", "My Pictures"},   {"%mymusic%x", "%mymusic%x"},
        {"%unknown%", "%unknown%"},        {"music", "music"},
    };
    for (const Case& c : cases) {
        TBWDirWin dir;
        dir.SetName(c.name);
        EXPECT_EQ(dir.DisplayName(), c.caption) << c.name;
        EXPECT_EQ(dir.Name(), c.name);
    }
}

TEST(FolderMacros, AMacroFolderReadsTheUsersSpecialFolder)
{
    TDiskTree tree;
    tree.WriteFile("home/Music/Rock/song.mp3", "s");
    tree.WriteFile("home/Tunes/Jazz/tune.mp3", "t");
    TBWDirWin macro;
    macro.SetName("%MYMUSIC%");
    EXPECT_EQ(macro.DisplayName(), "My Music");
    // Without user-dirs.dirs the folder is ~/Music.
    EXPECT_EQ(macro.RealPath(), tree.Path("home/Music/"));
    EXPECT_EQ(SubDirNames(macro), Names{"Rock"});
    TBWDirectory* rock = macro.FindDir("%mymusic%/rock", false);
    ASSERT_NE(rock, nullptr);
    EXPECT_EQ(rock->Path(), "%MYMUSIC%/Rock/");
    EXPECT_EQ(rock->RealPath(), tree.Path("home/Music/Rock/"));
    EXPECT_EQ(rock->Files()->FirstFile()->FullPath(), tree.Path("home/Music/Rock/song.mp3"));

    // The user's own music folder, as user-dirs.dirs names it.
    tree.WriteFile("home/.config/user-dirs.dirs", "XDG_MUSIC_DIR=\"$HOME/Tunes\"\n");
    TBWDirWin named;
    named.SetName("%mymusic%");
    EXPECT_EQ(named.RealPath(), tree.Path("home/Tunes/"));
    EXPECT_EQ(SubDirNames(named), Names{"Jazz"});
}
