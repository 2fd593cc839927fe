#include "base/platform/u_wholefile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "tests/base/platform/fake_system.h"

namespace {

TEST(WholeFile, ReadsFilesOfUnknownSize)
{
    std::string contents;
    ASSERT_TRUE(ReadWholeFile("/proc/self/status", contents));
    EXPECT_NE(contents.find("Name:"), std::string::npos);
    EXPECT_FALSE(ReadWholeFile("/nonexistent/file", contents));
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

}  // namespace
