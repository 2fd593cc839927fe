#include "base/platform/u_wholefile.h"

#include <gtest/gtest.h>

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

}  // namespace
