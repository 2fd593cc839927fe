#include "engine/u_cvprofile.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "base/HUtils.h"
#include "tests/support/temp_tree.h"

namespace {

using TTexts = std::vector<std::string>;
using TRoles = std::vector<TBWNumberedText>;

class ComparisonProfile : public ::testing::Test {
protected:
    TTempTree folder;
    TBWCVProfile profile{folder.Path()};

    void Store(const std::string& name, const std::string& text)
    {
        folder.WriteFile("profiles/" + name + ".xml", text);
    }
    // Every setting away from its default.
    void FillEverySetting()
    {
        profile.NewProfile();
        profile.SetProfileName("Golden");
        profile.SetCreationDate(45000.6);
        profile.LastRun = 45123.9;
        profile.LastTime = 90.9 / 86400;
        profile.ProfileComment = "Rock & <Pop>";
        profile.DirPath = {"/music/Rock", "/media/cdrom"};
        profile.SetDirPriority("/music/Rock/Live", dtReference);
        profile.SetDirPriority("/music", dtPriority1);
        profile.SetDirPriority("/elsewhere", dtPriority5);  // no scan directory is related
        profile.MinPerc = 75;
        profile.MinWordCount = 3;
        profile.MinWordLength = 4;
        profile.SetExclusions("*Live*;;*[0-9]*;");
        profile.CompType = ctTagsWithAlbum;
        profile.ResultType = rsNegative;
        profile.SetPriorityList("BDES");
        profile.ExtPri = "MP3;OGG;";
        profile.AnimNo = 2;
        profile.SimWord = 1;
        profile.NoFieldOrder = true;
    }
};

TEST_F(ComparisonProfile, WritesEveryKeyInItsOrder)
{
    FillEverySetting();
    ASSERT_TRUE(profile.SaveProfile());
    EXPECT_EQ(folder.ReadFile("profiles/Golden.xml"), TestDataFile("engine/cv_profile.xml"));
}

TEST_F(ComparisonProfile, ReadsBackEverySetting)
{
    Store("Golden", TestDataFile("engine/cv_profile.xml"));
    ASSERT_TRUE(profile.LoadProfile("Golden"));
    EXPECT_EQ(profile.CreationDate(), 45000);
    EXPECT_EQ(profile.ProfileVersion(), 1);
    EXPECT_EQ(profile.LastRun, 45123);
    EXPECT_DOUBLE_EQ(profile.LastTime, 90.0 / 86400);
    EXPECT_EQ(profile.ProfileComment, "Rock & <Pop>");
    EXPECT_EQ(profile.DirPath, (TTexts{"/music/Rock", "/media/cdrom"}));
    EXPECT_EQ(profile.DirPri(), (TRoles{{"/music/Rock/Live", 5}, {"/music", 0}}));
    EXPECT_EQ(profile.MinPerc, 75);
    EXPECT_EQ(profile.MinWordCount, 3);
    EXPECT_EQ(profile.MinWordLength, 4);
    EXPECT_EQ(profile.ExclusionText(), "*live*;;*[0-9]*;");
    EXPECT_EQ(profile.Exclusions(), (TTexts{"*live*", "", "*[0-9]*"}));
    EXPECT_EQ(profile.CompType, ctTagsWithAlbum);
    EXPECT_EQ(profile.ResultType, rsNegative);
    EXPECT_EQ(profile.PriorityList(), "BDES");
    EXPECT_EQ(profile.ExtPri, "MP3;OGG;");
    EXPECT_EQ(profile.AnimNo, 2);
    EXPECT_EQ(profile.SimWord, 1);
    EXPECT_TRUE(profile.NoFieldOrder);
    EXPECT_EQ(folder.ReadFile("profiles/Golden.xml"), TestDataFile("engine/cv_profile.xml"));
}

TEST_F(ComparisonProfile, MissingKeysTakeTheDefaults)
{
    FillEverySetting();  // what a profile held before must not leak through
    Store("Bare", "<bwprofile>\n<profile_version>1</profile_version>\n<CompType>7</CompType>\n</bwprofile>\n");
    ASSERT_TRUE(profile.LoadProfile("Bare"));
    EXPECT_EQ(profile.LastRun, 0);
    EXPECT_EQ(profile.LastTime, 0);
    EXPECT_EQ(profile.ProfileComment, "");
    EXPECT_TRUE(profile.DirPath.empty());
    EXPECT_TRUE(profile.DirPri().empty());
    EXPECT_EQ(profile.MinPerc, 80);
    EXPECT_EQ(profile.MinWordCount, 2);
    EXPECT_EQ(profile.MinWordLength, 3);
    EXPECT_EQ(profile.ExclusionText(), "");
    EXPECT_TRUE(profile.Exclusions().empty());
    EXPECT_EQ(profile.CompType, 7) << "stored as read, range unchecked";
    EXPECT_EQ(profile.ResultType, rsDuplicates);
    EXPECT_EQ(profile.PriorityList(), "SEDB");
    EXPECT_EQ(profile.ExtPri, "MP3;M4A;M4P;WMA;OGG;");
    EXPECT_EQ(profile.AnimNo, 0);
    EXPECT_EQ(profile.SimWord, 0);
    EXPECT_FALSE(profile.NoFieldOrder);
}

TEST_F(ComparisonProfile, TheFlatLayoutIsUpgradedAndRewritten)
{
    Store("Old", TestDataFile("engine/flat_layout_profile.xml"));
    ASSERT_TRUE(profile.LoadProfile("Old"));
    EXPECT_EQ(profile.ProfileVersion(), 1);
    EXPECT_EQ(profile.DirPath, (TTexts{"%mymusic%", "/media/cdrom"}));
    EXPECT_EQ(profile.DirPri(), (TRoles{{"%MyMusic%/Live", 5}, {"/media/cdrom", 6}}));
    EXPECT_EQ(profile.MinPerc, 90);
    EXPECT_DOUBLE_EQ(profile.LastTime, 1.0 / 24);
    EXPECT_EQ(folder.ReadFile("profiles/Old.xml"), TestDataFile("engine/flat_layout_upgraded.xml"));
}

TEST_F(ComparisonProfile, ANewProfileHasNoDirectoryRoles)
{
    FillEverySetting();
    profile.NewProfile();
    EXPECT_TRUE(profile.DirPri().empty());
    EXPECT_TRUE(profile.DirPath.empty());
    EXPECT_EQ(profile.PriorityList(), "SEDB");

    profile.SetDirPriority("/music", dtReference);
    Store("Broken", "<bwprofile><DirPri>");
    EXPECT_FALSE(profile.LoadProfile("Broken"));
    EXPECT_TRUE(profile.DirPri().empty());
}

TEST_F(ComparisonProfile, PriorityListIsAPermutationOfTheFourCriteria)
{
    const std::pair<const char*, const char*> cases[] = {
        {"BDES", "BDES"}, {"SEDB", "SEDB"}, {"DBSE", "DBSE"}, {"SEDBS", "SEDB"},
        {"SSDB", "SEDB"}, {"sedb", "SEDB"}, {"SED", "SEDB"},  {"", "SEDB"},
    };
    for (const auto& [given, kept] : cases) {
        profile.SetPriorityList("BDES");
        profile.SetPriorityList(given);
        EXPECT_EQ(profile.PriorityList(), kept) << given;
        Store("P", std::string("<bwprofile><profile_version>1</profile_version><PriorityList>") + given +
                       "</PriorityList></bwprofile>");
        ASSERT_TRUE(profile.LoadProfile("P"));
        EXPECT_EQ(profile.PriorityList(), kept) << given;
    }
}

TEST_F(ComparisonProfile, ExclusionsAreTheLowerCasedTextCutAtSemicolons)
{
    struct TExclusionCase {
        const char* text;
        const char* stored;
        TTexts patterns;
    };
    const TExclusionCase cases[] = {
        {"*Live*;;*DEMO*;", "*live*;;*demo*;", {"*live*", "", "*demo*"}},
        {"*Live*;;*DEMO*", "*live*;;*demo*", {"*live*", "", "*demo*"}},
        {"", "", {}},
        {";", ";", {""}},
        // Wholly lower-cased, letters of every script: never half.
        {"\xC3\x9C*", "\xC3\xBC*", {"\xC3\xBC*"}},
        {"*MOT\u00d6RHEAD*;*\u041a\u0418\u041d\u041e*", "*mot\u00f6rhead*;*\u043a\u0438\u043d\u043e*",
         {"*mot\u00f6rhead*", "*\u043a\u0438\u043d\u043e*"}},
    };
    for (const TExclusionCase& c : cases) {
        profile.SetExclusions(c.text);
        EXPECT_EQ(profile.ExclusionText(), c.stored) << c.text;
        EXPECT_EQ(profile.Exclusions(), c.patterns) << c.text;
    }
}

TEST_F(ComparisonProfile, TheDeepestRoleAboveADirectoryDecides)
{
    struct TRoleCase {
        TRoles roles;
        const char* path;
        std::int32_t role;
    };
    const TRoleCase cases[] = {
        {{{"/music", 5}, {"/music/rock", 0}}, "/music/rock/live", 0},
        {{{"/music/rock", 0}, {"/music", 5}}, "/music/rock/live", 0},
        {{{"/music", 5}}, "/music/rock/live", 5},
        {{{"/music", 5}}, "/music", 5},
        {{{"/music", 5}}, "/media/cdrom/rock", 2},
        {{{"/music/rock", 0}, {"/music", 5}}, "/music/rockabilly", 5},
        {{{"/music/rock", 0}, {"/music", 5}}, "/Music/ROCK/Live/", 0},
        {{{"/", 4}, {"/music", 6}}, "/media", 4},
        {{}, "/music", 2},
    };
    for (const TRoleCase& c : cases) {
        profile.ClearDirPriorities();
        for (const TBWNumberedText& role : c.roles)
            profile.SetDirPriority(role.text, role.number);
        EXPECT_EQ(profile.GetDirPriority(c.path), c.role) << c.path;
    }

    // A hand-edited file may repeat an entry: the first one counts.
    Store("Twice", "<bwprofile><profile_version>1</profile_version><DirPri><item intval=\"1\">/m</item>"
                   "<item intval=\"4\">/M</item></DirPri></bwprofile>");
    ASSERT_TRUE(profile.LoadProfile("Twice"));
    EXPECT_EQ(profile.GetDirPriority("/m/x"), 1);
}

TEST_F(ComparisonProfile, FoldersDifferingInCaseKeepRolesOfTheirOwn)
{
    profile.SetDirPriority("/music/Misc", dtPriority5);
    profile.SetDirPriority("/music/misc", dtPriority1);
    profile.SetDirPriority("/music/Misc", dtReference);
    EXPECT_EQ(profile.DirPri(), (TRoles{{"/music/Misc", dtReference}, {"/music/misc", dtPriority1}}));
    EXPECT_EQ(profile.GetDirPriority("/music/Misc/a"), dtReference);
    EXPECT_EQ(profile.GetDirPriority("/music/misc/a"), dtPriority1);
    // An entry with capitals holds only the paths that match it exactly.
    EXPECT_EQ(profile.GetDirPriority("/music/MISC"), dtPriority1);
    profile.ClearDirPriorities();
    profile.SetDirPriority("/music/Misc", dtReference);
    EXPECT_EQ(profile.GetDirPriority("/music/MISC"), dtPriority3);
}

// Older profiles stored every role lower-cased, whatever the folder's case.
TEST_F(ComparisonProfile, LowerCasedRolesOfOlderProfilesStillApply)
{
    Store("Older", "<bwprofile><profile_version>1</profile_version>"
                   "<DirPath><item>/music/Misc/</item></DirPath>"
                   "<DirPri><item intval=\"0\">/music</item><item intval=\"5\">/music/misc/</item>"
                   "<item intval=\"6\">/music/misc/live/</item></DirPri></bwprofile>");
    ASSERT_TRUE(profile.LoadProfile("Older"));
    EXPECT_EQ(profile.GetDirPriority("/music/Misc/"), dtReference);
    EXPECT_EQ(profile.GetDirPriority("/music/Misc/Live/x"), dtExcluded);
    EXPECT_EQ(profile.GetDirPriority("/music/Other"), dtPriority1);
    // An exact entry as deep as the old one takes its place.
    profile.SetDirPriority("/music/Misc/", dtPriority4);
    EXPECT_EQ(profile.GetDirPriority("/music/Misc/a"), dtPriority4);
    ASSERT_TRUE(profile.SaveProfile());
    EXPECT_EQ(profile.DirPri().size(), 4u);
}

TEST_F(ComparisonProfile, SavingDropsRolesUnrelatedToTheScanDirectories)
{
    profile.NewProfile();
    profile.DirPath = {"/Music/Rock"};
    profile.SetDirPriority("/media/usb", dtReference);
    profile.SetDirPriority("/music/rock/live", dtPriority5);
    profile.SetDirPriority("/music/jazz", dtPriority2);
    profile.SetDirPriority("/", dtExcluded);
    ASSERT_TRUE(profile.SaveProfile());
    EXPECT_EQ(profile.DirPri(), (TRoles{{"/music/rock/live", dtPriority5}, {"/", dtExcluded}}));
}

TEST_F(ComparisonProfile, LastTimeKeepsWholeSeconds)
{
    const std::pair<double, const char*> cases[] = {
        {90.9, "<LastTime>90</LastTime>"},
        {3601, "<LastTime>3601</LastTime>"},
        {0.5, "<LastTime>0</LastTime>"},
    };
    for (const auto& [seconds, stored] : cases) {
        profile.NewProfile();
        profile.SetProfileName("Timed");
        profile.LastTime = seconds / 86400;
        ASSERT_TRUE(profile.SaveProfile());
        const std::string file = folder.ReadFile("profiles/" + profile.ProfileName() + ".xml");
        EXPECT_NE(file.find(stored), std::string::npos) << seconds;
    }
}

TEST(DirTypeRank, ReferenceOutranksPrioritiesAndExcludedRanksLowest)
{
    const std::pair<std::int32_t, std::int32_t> ranks[] = {
        {dtPriority1, 1}, {dtPriority3, 3}, {dtPriority5, 5}, {dtReference, 6},
        {dtExcluded, 0},  {-1, 0},          {7, 0},
    };
    for (const auto& [role, rank] : ranks)
        EXPECT_EQ(DirTypeRank(role), rank) << role;
}

TEST(CurrentProfile, StoresInTheProgramsDataFolder)
{
    TTempTree home;
    const char* old = std::getenv("XDG_DATA_HOME");
    const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
    ::setenv("XDG_DATA_HOME", home.Path().c_str(), 1);
    InitAppPaths("Brindlewick", "Corvella", "corvella_help.chm");

    CurrentProfile().NewProfile();
    CurrentProfile().SetProfileName("Everyday");
    EXPECT_TRUE(CurrentProfile().SaveProfile());
    EXPECT_EQ(home.Names("Brindlewick/Corvella/profiles"), TTexts{"Everyday.xml"});
    EXPECT_EQ(&CurrentProfile(), &CurrentProfile());

    if (saved)
        ::setenv("XDG_DATA_HOME", saved->c_str(), 1);
    else
        ::unsetenv("XDG_DATA_HOME");
}

}  // namespace
