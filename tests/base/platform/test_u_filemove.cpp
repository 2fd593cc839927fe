#include "base/platform/u_filemove.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "tests/support/fake_system.h"

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

TEST(FileMove, NumberedNamesGoBeforeTheExtensionAsFileManagersPutThem)
{
    const struct {
        const char* name;
        int number;
        const char* numbered;
    } cases[] = {
        {"01 - Intro.mp3", 1, "01 - Intro.mp3"},
        {"01 - Intro.mp3", 2, "01 - Intro (2).mp3"},
        {"Live.At.Leeds.ogg", 3, "Live.At.Leeds (3).ogg"},
        {"README", 2, "README (2)"},
        {".hidden", 2, ".hidden (2)"},
        {"Ça ira – Éluard.wma", 2, "Ça ira – Éluard (2).wma"},
        {"Кино - Группа крови.mp3", 10, "Кино - Группа крови (10).mp3"},
        {"残酷な天使のテーゼ.m4a", 2, "残酷な天使のテーゼ (2).m4a"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NumberedName(c.name, c.number), c.numbered) << c.name;
}

TEST(FileMove, AFileIsPlacedUnderTheFirstFreeNumberedName)
{
    TFakeSystem system;
    system.WriteFile("to/song.mp3", "mine");
    system.WriteFile("to/song (2).mp3", "mine too");
    system.WriteFile("from/song.mp3", "new");
    std::string placed;
    const TRenameOutcome outcome = PlaceUnderFreeName(
        system.Path("to") + "/", "song.mp3",
        [&](const std::string& path) { return RenameNoReplace(system.Path("from/song.mp3"), path); }, placed);
    EXPECT_EQ(outcome, TRenameOutcome::Renamed);
    EXPECT_EQ(placed, system.Path("to/song (3).mp3"));
    EXPECT_EQ(system.ReadFile("to/song.mp3"), "mine");
    EXPECT_EQ(system.ReadFile("to/song (2).mp3"), "mine too");
    EXPECT_EQ(system.ReadFile("to/song (3).mp3"), "new");
}

}  // namespace
