#include "base/platform/u_trash.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <regex>

#include "tests/support/fake_system.h"

namespace {

const std::string kHomeTrash = "home/.local/share/Trash";

std::string Uid()
{
    return std::to_string(::getuid());
}

bool Trash(const TFakeSystem& system, const std::string& relative, std::string* reason = nullptr)
{
    std::string ignored;
    return MoveToTrash(system.Path(relative), PlatformSources(), reason ? *reason : ignored);
}

void ExpectRecord(const TFakeSystem& system, const std::string& record, const std::string& path)
{
    const std::regex layout("\\[Trash Info\\]\nPath=(.*)\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n");
    std::smatch match;
    const std::string text = system.ReadFile(record);
    ASSERT_TRUE(std::regex_match(text, match, layout)) << text;
    EXPECT_EQ(match[1], path);
}

TEST(Trash, FileOnTheHomeMountGoesToTheHomeTrashWithItsRecord)
{
    TFakeSystem system;
    system.WriteMountTable("");
    system.WriteFile("music/a b%.mp3", "tune");
    ASSERT_TRUE(Trash(system, "music/a b%.mp3"));
    EXPECT_FALSE(system.Exists("music/a b%.mp3"));
    EXPECT_EQ(system.ReadFile(kHomeTrash + "/files/a b%.mp3"), "tune");
    ExpectRecord(system, kHomeTrash + "/info/a b%.mp3.trashinfo", system.Path("music/a%20b%25.mp3"));
}

TEST(Trash, TakenNamesGetANumberBeforeTheExtension)
{
    TFakeSystem system;
    system.WriteMountTable("");
    for (const char* folder : {"one", "two", "three"})
        system.WriteFile(std::string(folder) + "/song.mp3", folder);
    system.WriteFile(kHomeTrash + "/files/.hidden", "left without a record");
    system.WriteFile("one/.hidden", "hidden");

    for (const char* file : {"one/song.mp3", "two/song.mp3", "three/song.mp3", "one/.hidden"})
        ASSERT_TRUE(Trash(system, file)) << file;
    EXPECT_EQ(system.ReadFile(kHomeTrash + "/files/song.mp3"), "one");
    EXPECT_EQ(system.ReadFile(kHomeTrash + "/files/song.2.mp3"), "two");
    EXPECT_EQ(system.ReadFile(kHomeTrash + "/files/song.3.mp3"), "three");
    ExpectRecord(system, kHomeTrash + "/info/song.2.mp3.trashinfo", system.Path("two/song.mp3"));
    EXPECT_EQ(system.ReadFile(kHomeTrash + "/files/.hidden.2"), "hidden");
    EXPECT_EQ(system.ReadFile(kHomeTrash + "/files/.hidden"), "left without a record");
}

TEST(Trash, FileOnAnotherVolumeGoesToThatVolumesTrashWithARelativePath)
{
    const struct {
        bool sharedTrash;
        mode_t sharedMode;
        std::string trash;
    } cases[] = {
        {false, 0, "vol/.Trash-" + Uid()},
        {true, 01777, "vol/.Trash/" + Uid()},
        {true, 0777, "vol/.Trash-" + Uid()},  // no sticky bit: not to be trusted
    };
    for (const auto& c : cases) {
        TFakeSystem system;
        system.WriteMountTable(TFakeSystem::MountLine("8:17", system.Path("vol"), "vfat", "/dev/fakestick1"));
        system.WriteFile("vol/sub/t.mp3", "tune");
        if (c.sharedTrash) {
            system.MakeFolder("vol/.Trash");
            ::chmod(system.Path("vol/.Trash").c_str(), c.sharedMode);
        }
        ASSERT_TRUE(Trash(system, "vol/sub/t.mp3")) << c.trash;
        EXPECT_EQ(system.ReadFile(c.trash + "/files/t.mp3"), "tune") << c.trash;
        ExpectRecord(system, c.trash + "/info/t.mp3.trashinfo", "sub/t.mp3");
        EXPECT_FALSE(system.Exists(kHomeTrash)) << c.trash;
    }
}

TEST(Trash, FailureKeepsTheFileAndLeavesNoRecord)
{
    const struct {
        const char* name;
        std::string file;
        std::string blocker;  // a plain file where the trash needs a folder
        std::string record;   // must not be left behind
        const char* reason;
    } cases[] = {
        {"missing file", "music/none.mp3", "", "", "No such file"},
        {"home trash blocked", "music/a.mp3", kHomeTrash, "", "cannot be made"},
        {"volume trash blocked", "vol/a.mp3", "vol/.Trash-" + Uid(), "", "No trash folder"},
        // Claimed, then the rename fails: a folder cannot move into itself.
        {"rename refused", "home/.local/share", "", kHomeTrash + "/info/share.trashinfo",
         "Invalid argument"},
    };
    for (const auto& c : cases) {
        TFakeSystem system;
        system.WriteMountTable(TFakeSystem::MountLine("8:17", system.Path("vol"), "vfat", "/dev/fakestick1"));
        system.MakeFolder("home/.local/share");
        if (c.file.ends_with(".mp3") && c.file != "music/none.mp3")
            system.WriteFile(c.file, "tune");
        if (!c.blocker.empty())
            system.WriteFile(c.blocker, "in the way");
        std::string reason;
        EXPECT_FALSE(Trash(system, c.file, &reason)) << c.name;
        EXPECT_NE(reason.find(c.reason), std::string::npos) << c.name << ": " << reason;
        EXPECT_EQ(system.Exists(c.file), c.file != "music/none.mp3") << c.name;
        if (!c.record.empty()) {
            EXPECT_FALSE(system.Exists(c.record)) << c.name;
        }
    }
}

// A volume's trash made by someone else, or open to others, could hand
// what is trashed to another user: it is refused and the file stays.
TEST(Trash, AVolumeTrashThatIsNotTheUsersOwnPrivateFolderIsRefused)
{
    const struct {
        const char* name;
        std::string folder;
        mode_t mode;
        uid_t owner;
    } cases[] = {
        {"open to everyone", "vol/.Trash-" + Uid(), 0777, ::getuid()},
        {"its files open to the group", "vol/.Trash-" + Uid() + "/files", 0770, ::getuid()},
        {"another user's", "vol/.Trash-" + Uid(), 0700, ::getuid() + 1},
    };
    for (const auto& c : cases) {
        if (c.owner != ::getuid() && ::geteuid() != 0)
            continue;  // only root can give a folder away
        TFakeSystem system;
        system.WriteMountTable(TFakeSystem::MountLine("8:17", system.Path("vol"), "vfat", "/dev/fakestick1"));
        system.WriteFile("vol/a.mp3", "tune");
        system.MakeFolder(c.folder);
        for (std::string folder = system.Path(c.folder); folder.size() > system.Path("vol").size();
             folder = folder.substr(0, folder.rfind('/')))
            ::chmod(folder.c_str(), 0700);
        ::chmod(system.Path(c.folder).c_str(), c.mode);
        ASSERT_EQ(::chown(system.Path(c.folder).c_str(), c.owner, static_cast<gid_t>(-1)), 0) << c.name;
        std::string reason;
        EXPECT_FALSE(Trash(system, "vol/a.mp3", &reason)) << c.name;
        EXPECT_NE(reason.find("belongs to another user or is open to others"), std::string::npos) << reason;
        EXPECT_EQ(system.ReadFile("vol/a.mp3"), "tune") << c.name;
        EXPECT_FALSE(system.Exists("vol/.Trash-" + Uid() + "/info/a.mp3.trashinfo")) << c.name;
    }

    // A shared ".Trash" whose user folder is open to others is passed over.
    TFakeSystem system;
    system.WriteMountTable(TFakeSystem::MountLine("8:17", system.Path("vol"), "vfat", "/dev/fakestick1"));
    system.WriteFile("vol/a.mp3", "tune");
    system.MakeFolder("vol/.Trash/" + Uid());
    ::chmod(system.Path("vol/.Trash").c_str(), 01777);
    ::chmod(system.Path("vol/.Trash/" + Uid()).c_str(), 0777);
    ASSERT_TRUE(Trash(system, "vol/a.mp3"));
    EXPECT_EQ(system.ReadFile("vol/.Trash-" + Uid() + "/files/a.mp3"), "tune");
}

TEST(Trash, ALongNameIsShortenedInTheTrashAndKeptWholeInTheRecord)
{
    TFakeSystem system;
    system.WriteMountTable("");
    const std::string longName = std::string(242, 'x') + ".mp3";
    system.WriteFile("one/" + longName, "one");
    system.WriteFile("two/" + longName, "two");
    std::string reason;
    ASSERT_TRUE(Trash(system, "one/" + longName, &reason)) << reason;
    ASSERT_TRUE(Trash(system, "two/" + longName, &reason)) << reason;
    const std::string shortened = std::string(233, 'x');
    EXPECT_EQ(system.ReadFile(kHomeTrash + "/files/" + shortened + ".mp3"), "one");
    EXPECT_EQ(system.ReadFile(kHomeTrash + "/files/" + shortened + ".2.mp3"), "two");
    ExpectRecord(system, kHomeTrash + "/info/" + shortened + ".2.mp3.trashinfo", system.Path("two/" + longName));
}

}  // namespace
