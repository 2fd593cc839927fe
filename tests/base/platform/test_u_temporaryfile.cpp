#include "base/platform/u_temporaryfile.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "base/platform/u_filemove.h"
#include "base/platform/u_wholefile.h"
#include "tests/support/fake_system.h"

namespace {

std::vector<std::string> NamesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs work in a child process that the system kills as soon as it writes
// past 64 KiB (SIGXFSZ), the way a kill -9 lands in the middle of a save.
// Gives the child's process id once it is dead and reaped.
pid_t KilledHalfWay(const std::function<void()>& work)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit noCore{0, 0}, small{64 * 1024, 64 * 1024};
        ::setrlimit(RLIMIT_CORE, &noCore);
        ::setrlimit(RLIMIT_FSIZE, &small);
        work();
        ::_exit(0);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "the child was not killed";
    return child;
}

const std::string kBig(1024 * 1024, 'x');

TEST(TemporaryFile, AKilledSaveLeavesTheOldFileAndNothingElse)
{
    TFakeSystem system;
    system.WriteFile("data/settings.xml", "old");
    KilledHalfWay([&] { ReplaceWholeFile(system.Path("data/settings.xml"), kBig); });
    EXPECT_EQ(NamesIn(system.Path("data")), std::vector<std::string>{"settings.xml"});
    EXPECT_EQ(system.ReadFile("data/settings.xml"), "old");
}

TEST(TemporaryFile, AKilledMoveAcrossFileSystemsLeavesTheSourceAndNothingAtTheTarget)
{
    TFakeSystem system;
    const std::string otherFileSystem = "/dev/shm";
    struct stat here {}, there {};
    if (::stat(system.Path().c_str(), &here) != 0 || ::stat(otherFileSystem.c_str(), &there) != 0 ||
        here.st_dev == there.st_dev || ::access(otherFileSystem.c_str(), W_OK) != 0)
        GTEST_SKIP() << "no second writable file system";
    const std::string source = otherFileSystem + "/corvella-move-test-" + std::to_string(::getpid());
    ASSERT_TRUE(ReplaceWholeFile(source, kBig));
    system.MakeFolder("target");
    KilledHalfWay([&] {
        std::string reason;
        MoveNoReplace(source, system.Path("target/song.mp3"), reason);
    });
    EXPECT_EQ(NamesIn(system.Path("target")), std::vector<std::string>{});
    std::string contents;
    EXPECT_TRUE(ReadWholeFile(source, contents) && contents == kBig);
    ::unlink(source.c_str());
}

// Where the file system has no unnamed files, a killed save leaves a hidden
// file named after its process; the next start removes it once that
// process is gone, and leaves the files of running processes alone.
TEST(TemporaryFile, HiddenTemporariesOfDeadProcessesAreRemoved)
{
    TFakeSystem system;
    system.WriteFile("data/settings.xml", "old");
    const pid_t dead = KilledHalfWay([&] {
        TTemporaryFile file(system.Path("data/settings.xml"), TTemporaryFile::tpSave, false);
        // Writes up to the limit; the write past it is the one that kills.
        if (file.Open())
            while (::write(file.Descriptor(), kBig.data(), kBig.size()) > 0)
                continue;
    });
    const std::vector<std::string> left = NamesIn(system.Path("data"));
    ASSERT_EQ(left.size(), 2u);
    EXPECT_TRUE(left[0].starts_with(".settings.xml.tmp" + std::to_string(dead) + "-")) << left[0];

    const std::string ours = ".profile.xml.tmp" + std::to_string(::getpid()) + "-7";
    const std::string deadMove = ".song.mp3.unfinished-move-" + std::to_string(dead) + "-0";
    system.WriteFile("data/" + ours, "");
    system.WriteFile("data/" + deadMove, "");
    system.WriteFile("data/.notes.tmp", "");
    EXPECT_EQ(RemoveStaleTemporaries(system.Path("data")), 2);
    EXPECT_EQ(NamesIn(system.Path("data")), (std::vector<std::string>{".notes.tmp", ours, "settings.xml"}));
}

// A move to a file system without unnamed files (FUSE, vfat, network
// shares) killed half-way left ".NAME.unfinished-move-PID-N" in the user's
// folder for ever. Its record in the data folder lets the next start remove
// it; a record removes only the file it was made for, and the files of
// running processes stay.
TEST(TemporaryFile, RecordedTemporariesOfDeadProcessesAreRemovedWhereverTheyLie)
{
    TFakeSystem system;
    const std::string music = "music/Ærø Квартет 日本/";
    system.MakeFolder(music);
    system.MakeFolder("data");
    const std::string records = system.Path("data/temporaries");
    RecordTemporariesIn(records);
    const pid_t dead = KilledHalfWay([&] {
        TTemporaryFile file(system.Path(music + "Song.mp3"), TTemporaryFile::tpMove, false);
        if (file.Open())
            while (::write(file.Descriptor(), kBig.data(), kBig.size()) > 0)
                continue;
    });
    TTemporaryFile running(system.Path(music + "Other.mp3"), TTemporaryFile::tpMove, false);
    ASSERT_TRUE(running.Open());
    RecordTemporariesIn("");
    std::vector<std::string> left = NamesIn(system.Path(music));
    ASSERT_EQ(left.size(), 2u);
    EXPECT_TRUE(left[0].starts_with(".Other.mp3.unfinished-move-" + std::to_string(::getpid()) + "-")) << left[0];
    EXPECT_TRUE(left[1].starts_with(".Song.mp3.unfinished-move-" + std::to_string(dead) + "-")) << left[1];
    ASSERT_EQ(NamesIn(records).size(), 2u);

    system.WriteFile(music + "keep.mp3", "music");
    system.WriteFile("data/temporaries/" + std::to_string(dead) + "-999", system.Path(music + "keep.mp3"));
    EXPECT_EQ(RemoveRecordedTemporaries(records), 1);
    EXPECT_EQ(NamesIn(system.Path(music)), (std::vector<std::string>{left[0], "keep.mp3"}));
    EXPECT_EQ(NamesIn(records).size(), 1u);

    ASSERT_TRUE(running.Replace());
    EXPECT_EQ(NamesIn(system.Path(music)), (std::vector<std::string>{"Other.mp3", "keep.mp3"}));
    EXPECT_EQ(NamesIn(records), std::vector<std::string>{});
}

TEST(TemporaryFile, PlaceNewNeverReplacesAndLeavesNoTemporaryBehind)
{
    TFakeSystem system;
    system.WriteFile("data/taken.mp3", "old");
    for (const bool unnamed : {true, false}) {
        for (const char* name : {"taken.mp3", "free.mp3"}) {
            TTemporaryFile file(system.Path("data/") + name, TTemporaryFile::tpMove, unnamed);
            ASSERT_TRUE(file.Open());
            ASSERT_EQ(::write(file.Descriptor(), "new", 3), 3);
            const TRenameOutcome expected =
                std::string(name) == "taken.mp3" ? TRenameOutcome::NameTaken : TRenameOutcome::Renamed;
            EXPECT_EQ(file.PlaceNew(), expected) << name << " unnamed " << unnamed;
        }
        EXPECT_EQ(system.ReadFile("data/taken.mp3"), "old");
        EXPECT_EQ(system.ReadFile("data/free.mp3"), "new");
        EXPECT_EQ(NamesIn(system.Path("data")), (std::vector<std::string>{"free.mp3", "taken.mp3"}));
        ::unlink(system.Path("data/free.mp3").c_str());
    }
}

TEST(TemporaryFile, HiddenNamesOfLongFileNamesStayWithinTheNameLimit)
{
    TFakeSystem system;
    const std::string longName(250, 'n');
    system.MakeFolder("data");
    TTemporaryFile file(system.Path("data/") + longName, TTemporaryFile::tpSave, false);
    ASSERT_TRUE(file.Open());
    EXPECT_TRUE(file.Replace());
    EXPECT_EQ(NamesIn(system.Path("data")), std::vector<std::string>{longName});
}

}  // namespace
