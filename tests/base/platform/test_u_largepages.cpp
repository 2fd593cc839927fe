#include "base/platform/u_largepages.h"

#include <gtest/gtest.h>

#include <errno.h>
#include <sys/stat.h>

#include <filesystem>

#include <optional>
#include <string>

namespace {

const std::string kOurs = "glibc.malloc.hugetlb=1:glibc.malloc.top_pad=67108864";

struct TTunablesCase {
    const char* name;
    std::string userSet;
    std::optional<std::string> startedWith;  // none: not restarted
};

// The program restarts once with large pages, keeps what the user set
// beside them, and leaves the heap as the user asked where they asked;
// what it hands on to the programs it starts is what the user set.
TEST(LargePages, RestartsOnceKeepingTheUsersTunablesAndHandsThemOn)
{
    const TTunablesCase cases[] = {
        {"none set", "", kOurs},
        {"others set", "glibc.pthread.rseq=0", "glibc.pthread.rseq=0:" + kOurs},
        {"large pages refused", "glibc.malloc.hugetlb=0", std::nullopt},
        {"growth set", "glibc.malloc.top_pad=0", std::nullopt},
    };
    for (const TTunablesCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> startedWith = TunablesWithLargePages(c.userSet);
        EXPECT_EQ(startedWith, c.startedWith);
        const std::string running = startedWith.value_or(c.userSet);
        EXPECT_EQ(TunablesWithLargePages(running), std::nullopt) << "restarted again";
        EXPECT_EQ(TunablesAsTheUserSetThem(running), c.userSet);
    }
}

// A restart costs the loading of every library once more: only where the
// kernel gives large pages when asked.
TEST(LargePages, AreAskedForOnlyWhereTheKernelGivesThem)
{
    EXPECT_TRUE(GivesLargePages("always [madvise] never\n"));
    EXPECT_TRUE(GivesLargePages("[always] madvise never\n"));
    EXPECT_FALSE(GivesLargePages("always madvise [never]\n"));
    EXPECT_FALSE(GivesLargePages(""));
}

// Restarted from /proc/self/exe, the program was listed as "exe" by ps and
// top, and pkill corvella missed it.
TEST(LargePages, RestartFromTheProgramsOwnFileUnderItsName)
{
    const std::string file = ProgramFile();
    ASSERT_FALSE(file.empty());
    EXPECT_EQ(std::filesystem::path(file).filename(), program_invocation_short_name);
    struct stat own {}, running {};
    ASSERT_EQ(::stat(file.c_str(), &own), 0);
    ASSERT_EQ(::stat("/proc/self/exe", &running), 0);
    EXPECT_EQ(own.st_ino, running.st_ino);
    EXPECT_EQ(own.st_dev, running.st_dev);
}

}  // namespace
