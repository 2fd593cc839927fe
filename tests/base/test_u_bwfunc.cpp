#include "base/u_bwfunc.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>

TEST(PathHelpers, TrailingSeparator)
{
    EXPECT_EQ(AddTrailingBackslash(""), "");
    EXPECT_EQ(AddTrailingBackslash("/music"), "/music/");
    EXPECT_EQ(AddTrailingBackslash("/music/"), "/music/");
    EXPECT_EQ(AddTrailingBackslash("/music/name ending in a blank "), "/music/name ending in a blank /");
    EXPECT_EQ(StripTrailingBackslash("/music/"), "/music");
    EXPECT_EQ(StripTrailingBackslash("/music"), "/music");
    EXPECT_EQ(AppendCharIfMissing("  text \t", ';'), "text;");
    EXPECT_EQ(AppendCharIfMissing("text;", ';'), "text;");
    EXPECT_EQ(AppendCharIfMissing("", ';'), "");
}

TEST(PathHelpers, PartsWithTheRootAsPartZero)
{
    struct Case {
        std::string path;
        std::int32_t count;
        std::vector<std::string> parts;
        std::string last;
    };
    const Case cases[] = {
        {"/music/rock/", 3, {"/", "music", "rock"}, "rock"},
        {"/music/rock", 3, {"/", "music", "rock"}, "rock"},
        {"/", 1, {"/"}, "/"},
        {"music/rock", 2, {"music", "rock"}, "rock"},
        {"", 0, {}, ""},
        {"/a b /c", 3, {"/", "a b ", "c"}, "c"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PathPartCount(c.path), c.count) << c.path;
        for (std::size_t i = 0; i < c.parts.size(); ++i)
            EXPECT_EQ(GetPathPart(c.path, static_cast<std::int32_t>(i)), c.parts[i]) << c.path;
        EXPECT_EQ(GetPathPart(c.path, c.count), "") << c.path;
        EXPECT_EQ(GetPathPart(c.path, -1), "") << c.path;
        EXPECT_EQ(LastPathPart(c.path), c.last) << c.path;
    }
}

TEST(PathHelpers, RelationIsCaseSensitiveAndWholeNamed)
{
    struct Case {
        std::string a, b;
        TBWPathRelation relation;
    };
    const Case cases[] = {
        {"/music/rock", "/music/", prAInsideB},
        {"/music", "/music/rock", prBInsideA},
        {"/music", "/music/", prEqual},
        {"/music", "/musicals", prUnrelated},
        {"/Music", "/music", prUnrelated},  // two folders on Linux
        {"", "/music", prBInsideA},
        {"/a", "/b", prUnrelated},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PathRelation(c.a, c.b), c.relation) << c.a << " | " << c.b;
}

TEST(PathHelpers, RebaseKeepsTheCaseItReturns)
{
    EXPECT_EQ(RebasePath("/Music/Rock/A/", "/Backup/"), "/Backup/Music/Rock/A/");
    EXPECT_EQ(RebasePath("/Music/Rock", "/music/"), "/music/Rock/");
    EXPECT_EQ(RebasePath("/music/rock", "/Music/Rock"), "/Music/Rock/");
}

TEST(PathHelpers, NamesAndExtensions)
{
    EXPECT_EQ(FileNameWithoutExt("/my.dir/song.live.mp3"), "song.live");
    EXPECT_EQ(FileNameWithoutExt("song"), "song");
    EXPECT_EQ(FileNameWithoutExt("AC-DC: Live.mp3"), "AC-DC: Live");
    EXPECT_EQ(StripExtension("a.b.c", true), "a.b");
    EXPECT_EQ(StripExtension("a.b.c", false), "a");
    EXPECT_EQ(StripExtension("abc", true), "abc");
    EXPECT_EQ(ExtensionUpper("song.live.mp3"), "MP3");
    EXPECT_EQ(ExtensionUpper("/my.dir/song"), "");
    EXPECT_EQ(ExtensionUpper("song"), "");
}

TEST(PathHelpers, CreateDirectoryPathMakesEveryMissingFolder)
{
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("bwfunc_" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    CreateDirectoryPath(root.string() + "/a/b/c");
    EXPECT_TRUE(std::filesystem::is_directory(root / "a/b/c"));
    CreateDirectoryPath(root.string() + "/a/b/c/");  // existing folders are fine
    EXPECT_TRUE(std::filesystem::is_directory(root / "a/b/c"));
    std::filesystem::remove_all(root);
}

TEST(TextHelpers, WhitespaceAndCharacterSets)
{
    EXPECT_EQ(NormalizeWhitespace("a     b", wsSingleBlanks), "a b");
    EXPECT_EQ(NormalizeWhitespace("a\r\nb\rc\nd", wsRemoveCrLf), "ab\rc\nd");
    EXPECT_EQ(NormalizeWhitespace("a\t\tb", wsTabsToBlanks), "a  b");
    EXPECT_EQ(NormalizeWhitespace("a\r\n\t\t b", wsAll), "a b");
    const TBWCharSet digits = CharSetOf("0123456789");
    EXPECT_EQ(RestrictChars("a1b22c", digits, false, ' '), "1 22");
    EXPECT_EQ(RestrictChars("a1b22c", digits, true, '\0'), "abc");
    EXPECT_EQ(RestrictChars("  x  ", CharSetOf("x "), false, '_'), "x");
}

TEST(TextHelpers, Formatting)
{
    EXPECT_EQ(PluralCount("file", 1), "1 file");
    EXPECT_EQ(PluralCount("file", 2), "2 files");
    EXPECT_EQ(PluralCount("file", 0), "0 file");
    EXPECT_EQ(IfThenStr(true, "a", "b"), "a");
    EXPECT_EQ(IfThenStr(false, "a", "b"), "b");
    EXPECT_EQ(JoinBracketed({"a", "b"}), "[a,b]");
    EXPECT_EQ(JoinBracketed({}), "[]");
    EXPECT_EQ(SafeRatio(3, 0, 1.0), 1.0);
    EXPECT_EQ(SafeRatio(1, 4, 0.0), 0.25);
    EXPECT_EQ(SwapEndian32(0x11223344u), 0x44332211u);
}

TEST(EditDistance, WeightsAndCaseFolding)
{
    struct Case {
        std::string a, b;
        std::int32_t substitution, insertion, deletion, distance;
    };
    const Case cases[] = {
        {"abc", "ABD", 1, 1, 1, 1},
        {"", "abc", 1, 1, 1, 3},
        {"abc", "", 1, 1, 1, 3},
        {"ab", "abc", 1, 2, 5, 2},
        {"abc", "ab", 1, 2, 5, 5},
        {"kitten", "sitting", 1, 1, 1, 3},
        {"caf\xC3\xA9", "CAF\xC3\x89", 1, 1, 1, 0},  // accented letters fold too
        {"caf\xC3\xA9", "cafe", 1, 1, 1, 0},         // to their base letters
        {"caf\xC3\xA9", "caff", 1, 1, 1, 1},         // one character, not two bytes
    };
    for (const Case& c : cases)
        EXPECT_EQ(EditDistance(c.a, c.b, c.substitution, c.insertion, c.deletion), c.distance)
            << c.a << " | " << c.b;
}

TEST(EditDistance, BandedDecisionEqualsTheFullTable)
{
    std::mt19937 random(7);
    auto word = [&] {
        std::string w(random() % 9, 'a');
        for (char& c : w)
            c = static_cast<char>((random() % 3 ? 'a' : 'A') + random() % 4);
        return w;
    };
    for (int i = 0; i < 20000; ++i) {
        const std::string a = word(), b = word();
        const std::int32_t full = EditDistance(a, b, 1, 1, 1);
        for (std::int32_t t = 0; t <= 4; ++t)
            ASSERT_EQ(WithinEditDistance(a, b, t), full <= t) << a << " | " << b << " t " << t;
    }
    EXPECT_TRUE(WithinEditDistance("Remix", "remixx", 1));
    EXPECT_TRUE(WithinEditDistance("caf\xC3\xA9", "cafe", 1));
    EXPECT_FALSE(WithinEditDistance("a", "a", -1));
}
