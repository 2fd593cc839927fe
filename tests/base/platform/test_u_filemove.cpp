#include "base/platform/u_filemove.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "tests/base/platform/fake_system.h"

namespace {

int RefuseNoReplaceFlag(const char*, const char*)
{
    errno = EINVAL;  // what NFS and CIFS answer
    return -1;
}

int RefuseLinks(const char*, const char*)
{
    errno = EPERM;  // a file system without hard links
    return -1;
}

const TRenameCalls kNetworkFileSystem{RefuseNoReplaceFlag, ::link, ::unlink, ::rename};
const TRenameCalls kNoLinksEither{RefuseNoReplaceFlag, RefuseLinks, ::unlink, ::rename};

struct TRoad {
    const char* name;
    const TRenameCalls* calls;
};
const TRoad kRoads[] = {
    {"no-replace rename", &SystemRenameCalls()},
    {"link and unlink", &kNetworkFileSystem},
    {"check and rename", &kNoLinksEither},
};

TEST(FileMove, EveryRoadRenamesAndNoneReplacesAFile)
{
    for (const TRoad& road : kRoads) {
        TFakeSystem system;
        system.WriteFile("a.mp3", "a");
        system.WriteFile("b.mp3", "b");
        EXPECT_EQ(RenameNoReplace(system.Path("a.mp3"), system.Path("b.mp3"), *road.calls),
                  TRenameOutcome::NameTaken) << road.name;
        EXPECT_EQ(system.ReadFile("a.mp3"), "a") << road.name;
        EXPECT_EQ(system.ReadFile("b.mp3"), "b") << road.name;

        EXPECT_EQ(RenameNoReplace(system.Path("a.mp3"), system.Path("c.mp3"), *road.calls),
                  TRenameOutcome::Renamed) << road.name;
        EXPECT_FALSE(system.Exists("a.mp3")) << road.name;
        EXPECT_EQ(system.ReadFile("c.mp3"), "a") << road.name;

        EXPECT_EQ(RenameNoReplace(system.Path("gone.mp3"), system.Path("d.mp3"), *road.calls),
                  TRenameOutcome::Failed) << road.name;
        EXPECT_EQ(errno, ENOENT) << road.name;
    }
}

TEST(FileMove, MoveOnANetworkFileSystemFallsBackAndSaysWhenTheNameIsTaken)
{
    TFakeSystem system;
    system.WriteFile("from/song.mp3", "song");
    system.WriteFile("to/taken.mp3", "other");
    std::string reason;
    EXPECT_FALSE(MoveNoReplace(system.Path("from/song.mp3"), system.Path("to/taken.mp3"), reason, kNetworkFileSystem));
    EXPECT_EQ(reason, kNameTakenReason);
    EXPECT_EQ(system.ReadFile("to/taken.mp3"), "other");
    EXPECT_TRUE(MoveNoReplace(system.Path("from/song.mp3"), system.Path("to/song.mp3"), reason, kNetworkFileSystem));
    EXPECT_EQ(system.ReadFile("to/song.mp3"), "song");
    EXPECT_FALSE(system.Exists("from/song.mp3"));
}

}  // namespace
