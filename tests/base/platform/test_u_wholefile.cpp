#include "base/platform/u_wholefile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include <sys/stat.h>

#include "tests/support/fake_system.h"
#include "tests/support/fifo_in_place.h"

namespace {

TEST(WholeFile, ReadsFilesOfUnknownSize)
{
    std::string contents;
    ASSERT_TRUE(ReadWholeFile("/proc/self/status", contents));
    EXPECT_NE(contents.find("Name:"), std::string::npos);
    EXPECT_FALSE(ReadWholeFile("/nonexistent/file", contents));
}

// What stands where a stored file belongs must never hang the program (a
// FIFO waits for a writer) nor fill the memory (/dev/zero never ends).
TEST(WholeFile, OnlyRegularFilesWithinTheLimitAreRead)
{
    TFakeSystem system;
    const TFifoInPlace fifo(system.Path("pipe.xml"));
    ASSERT_TRUE(fifo.Made());
    system.MakeLink("zero.xml", "/dev/zero");
    system.MakeFolder("folder.xml");
    system.WriteFile("big.xml", std::string(3000, 'x'));
    system.WriteFile("fits.xml", std::string(2048, 'x'));
    const struct {
        const char* name;
        std::int64_t limit;
        bool read;
        std::string reason;
    } cases[] = {
        {"pipe.xml", kWholeFileLimit, false, "it is a pipe, not a file"},
        {"zero.xml", kWholeFileLimit, false, "it is a device or socket, not a file"},
        {"folder.xml", kWholeFileLimit, false, "it is a folder, not a file"},
        {"big.xml", 2048, false, "it is larger than 2048 bytes"},
        {"fits.xml", 2048, true, ""},
        {"missing.xml", kWholeFileLimit, false, "No such file or directory"},
    };
    for (const auto& test : cases) {
        std::string contents = "left over";
        std::string reason;
        EXPECT_EQ(ReadWholeFile(system.Path(test.name), contents, reason, test.limit), test.read) << test.name;
        EXPECT_EQ(reason, test.reason) << test.name;
        EXPECT_EQ(contents.size(), test.read ? 2048U : 0U) << test.name;
    }
    std::string contents;
    EXPECT_FALSE(ReadWholeFile(system.Path("pipe.xml"), contents));
    EXPECT_EQ(errno, ENOTSUP);
    EXPECT_FALSE(ReadWholeFile(system.Path("folder.xml"), contents));
    EXPECT_EQ(errno, EISDIR);
}

TEST(WholeFile, ReplaceWritesTheNewContentsAndLeavesNoTemporaryFile)
{
    TFakeSystem system;
    system.WriteFile("data/file.txt", "old");
    ASSERT_TRUE(ReplaceWholeFile(system.Path("data/file.txt"), std::string("new\0bytes", 9)));
    EXPECT_EQ(system.ReadFile("data/file.txt"), std::string("new\0bytes", 9));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(system.Path("data")),
                            std::filesystem::directory_iterator()), 1);
}

TEST(WholeFile, FailedReplaceLeavesTheOldFileAndNoTemporaryFile)
{
    TFakeSystem system;
    system.MakeFolder("data/target.txt/inside");  // a folder the rename cannot replace
    EXPECT_FALSE(ReplaceWholeFile(system.Path("data/target.txt"), "new"));
    EXPECT_TRUE(system.Exists("data/target.txt/inside"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(system.Path("data")),
                            std::filesystem::directory_iterator()), 1);
    EXPECT_FALSE(ReplaceWholeFile(system.Path("missing/file.txt"), "new"));
}

TEST(WholeFile, CopyReplacesTheTargetKeepingTheModificationTime)
{
    TFakeSystem system;
    system.WriteFile("disc/song.mp3", "new bytes");
    system.WriteFile("out/song.mp3", "old");
    const auto time = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400);
    std::filesystem::last_write_time(system.Path("disc/song.mp3"), time);
    std::string reason;
    ASSERT_TRUE(CopyWholeFile(system.Path("disc/song.mp3"), system.Path("out/song.mp3"), reason)) << reason;
    EXPECT_EQ(system.ReadFile("out/song.mp3"), "new bytes");
    EXPECT_EQ(std::filesystem::last_write_time(system.Path("out/song.mp3")), time);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(system.Path("out")),
                            std::filesystem::directory_iterator()), 1);
}

TEST(WholeFile, FailedCopyLeavesTheTargetAsItWasAndSaysWhy)
{
    TFakeSystem system;
    system.WriteFile("out/song.mp3", "good");
    system.MakeLink("disc/unreadable.mp3", "/proc/self/mem");  // opens, but reading fails
    system.MakeFolder("disc/folder.mp3");
    const struct {
        const char* source;
        const char* reason;
    } cases[] = {
        {"disc/unreadable.mp3", "Input/output error"},
        {"disc/folder.mp3", "Is a directory"},
        {"disc/missing.mp3", "No such file or directory"},
    };
    for (const auto& test : cases) {
        std::string reason;
        EXPECT_FALSE(CopyWholeFile(system.Path(test.source), system.Path("out/song.mp3"), reason)) << test.source;
        EXPECT_EQ(reason, test.reason) << test.source;
        EXPECT_EQ(system.ReadFile("out/song.mp3"), "good") << test.source;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(system.Path("out")),
                                std::filesystem::directory_iterator()), 1) << test.source;
    }
}

// Run as root too: root may write any file, yet a read-only file stays.
TEST(WholeFile, ReplaceKeepsThePermissionBitsAndRefusesAFileTheUserMayNotWrite)
{
    namespace fs = std::filesystem;
    struct Case {
        fs::perms mode;
        bool replaced;
    };
    // The class the user belongs to decides: an owner without the write bit
    // may not write, whatever the others may.
    for (const Case& c : {Case{fs::perms(0640), true}, Case{fs::perms(0604), true},
                          Case{fs::perms(0444), false}, Case{fs::perms(0066), false}}) {
        SCOPED_TRACE(static_cast<int>(c.mode));
        TFakeSystem system;
        system.WriteFile("data/file.txt", "old");
        fs::permissions(system.Path("data/file.txt"), c.mode);
        EXPECT_EQ(ReplaceWholeFile(system.Path("data/file.txt"), "new"), c.replaced);
        EXPECT_EQ(fs::status(system.Path("data/file.txt")).permissions(), c.mode);
        fs::permissions(system.Path("data/file.txt"), fs::perms::owner_read, fs::perm_options::add);
        EXPECT_EQ(system.ReadFile("data/file.txt"), c.replaced ? "new" : "old");
        EXPECT_EQ(std::distance(fs::directory_iterator(system.Path("data")), fs::directory_iterator()), 1);
    }
}

TEST(WholeFile, ReplaceWritesThroughASymbolicLinkToItsTarget)
{
    TFakeSystem system;
    system.WriteFile("store/real.txt", "old");
    system.MakeLink("data/link.txt", system.Path("store/real.txt"));
    ASSERT_TRUE(ReplaceWholeFile(system.Path("data/link.txt"), "new"));
    EXPECT_TRUE(std::filesystem::is_symlink(system.Path("data/link.txt")));
    EXPECT_EQ(system.ReadFile("store/real.txt"), "new");
}

}  // namespace
