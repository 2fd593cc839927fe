#include "engine/u_bwprofile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/u_bwdatetime.h"
#include "engine/u_xmlprofile.h"
#include "tests/support/temp_tree.h"

namespace {

using TTexts = std::vector<std::string>;

// A profile of three settings that records what the base asked of it.
class TNoteProfile : public TBWProfile {
public:
    TNoteProfile(const std::string& dataFolder, std::int32_t version)
        : TBWProfile(std::make_unique<TXMLProfileInterface>("notes", dataFolder)), version_(version)
    {
    }

    std::string Note;
    std::int32_t Count = 0;
    bool Flag = false;
    std::vector<std::int32_t> upgradedFrom;
    int newProfiles = 0;

protected:
    void ReadSettings() override
    {
        Note = ReadString("Note", Note);
        Count = ReadInteger("Count", Count);
        Flag = ReadBool("Flag", Flag);
    }
    void WriteSettings() override
    {
        WriteString("Note", Note);
        WriteInteger("Count", Count);
        WriteBool("Flag", Flag);
    }
    void ResetDefaults() override
    {
        Note = "default";
        Count = 1;
        Flag = true;
    }
    void AfterNew() override { ++newProfiles; }
    void Upgrade(std::int32_t oldVersion) override
    {
        upgradedFrom.push_back(oldVersion);
        Note += " (upgraded)";
    }
    std::int32_t CurrentVersion() const override { return version_; }

private:
    std::int32_t version_;
};

class Profile : public ::testing::Test {
protected:
    TTempTree folder;
    TNoteProfile profile{folder.Path(), 2};

    void Store(const std::string& name, const std::string& values)
    {
        folder.WriteFile("notes/" + name + ".xml", "<bwprofile>" + values + "</bwprofile>");
    }
    TTexts Files() const { return folder.Names("notes"); }
};

TEST_F(Profile, NamesAreCleanedAndMadeUnique)
{
    for (const char* name : {"new_profile", "Rock", "rock1"})
        Store(name, "");
    struct TNameCase {
        const char* loaded;  // the profile loaded before, "" for a new one
        const char* given;
        const char* expected;
    };
    const TNameCase cases[] = {
        {"", "My Rock!", "MyRock"},
        {"", "Jazz", "Jazz"},
        {"", "#&*", "new_profile1"},
        {"", "", "new_profile1"},
        {"", "ROCK", "ROCK2"},  // Rock and rock1 are taken, whatever the case
        {"", "\xC3\xBC" "ber_Mix", "\xC3\xBC" "ber_Mix"},  // letters of every script stay
        {"", "M\xC3\xBCsik Scan", "M\xC3\xBCsikScan"},
        {"", "\xE6\x97\xA5\xE6\x9C\xAC/Rock", "\xE6\x97\xA5\xE6\x9C\xAC" "Rock"},
        {"Rock", "ROCK", "ROCK"},  // its own name in other letters
        {"Rock", "rock1", "rock11"},
    };
    for (const TNameCase& c : cases) {
        if (*c.loaded)
            ASSERT_TRUE(profile.LoadProfile(c.loaded));
        else
            profile.NewProfile();
        profile.SetProfileName(c.given);
        EXPECT_EQ(profile.ProfileName(), c.expected) << c.given;
        EXPECT_EQ(profile.LoadedName(), c.loaded);
    }
    EXPECT_EQ(profile.GetProfileList(), (TTexts{"new_profile", "Rock", "rock1"}));
}

TEST_F(Profile, NewProfileIsUniqueFreshAndUnwritten)
{
    Store("new_profile", "<Note>stored</Note>");
    ASSERT_TRUE(profile.LoadProfile("new_profile"));
    const double before = DaysNow();
    profile.NewProfile();
    EXPECT_EQ(profile.ProfileName(), "new_profile1");
    EXPECT_EQ(profile.LoadedName(), "");
    EXPECT_GE(profile.CreationDate(), before);
    EXPECT_LE(profile.CreationDate(), DaysNow());
    EXPECT_EQ(profile.ProfileVersion(), 2);
    EXPECT_EQ(profile.Note, "default");
    EXPECT_EQ(profile.newProfiles, 1);
    EXPECT_EQ(Files(), TTexts{"new_profile.xml"});
}

TEST_F(Profile, SavedValuesLoadBackWithWholeCreationDays)
{
    profile.NewProfile();
    profile.SetProfileName("Mix");
    profile.SetCreationDate(45000.5);  // noon
    profile.Note = "a <note> & more";
    profile.Count = -7;
    profile.Flag = false;
    ASSERT_TRUE(profile.SaveProfile());
    EXPECT_EQ(profile.LoadedName(), "Mix");

    TNoteProfile other(folder.Path(), 2);
    ASSERT_TRUE(other.LoadProfile("Mix"));
    EXPECT_EQ(other.CreationDate(), 45000);
    EXPECT_EQ(other.ProfileVersion(), 2);
    EXPECT_EQ(other.Note, "a <note> & more");
    EXPECT_EQ(other.Count, -7);
    EXPECT_FALSE(other.Flag);
    EXPECT_TRUE(other.upgradedFrom.empty());
    EXPECT_EQ(folder.ReadFile("notes/Mix.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<bwprofile>\r\n"
              "<CreationDate>45000</CreationDate>\r\n<profile_version>2</profile_version>\r\n"
              "<Note>a &lt;note&gt; &amp; more</Note>\r\n<Count>-7</Count>\r\n<Flag>0</Flag>\r\n"
              "</bwprofile>\r\n");
}

TEST_F(Profile, MissingValuesTakeTheDefaults)
{
    Store("Sparse", "<profile_version>2</profile_version><Count>5</Count><Flag>7</Flag>");
    ASSERT_TRUE(profile.LoadProfile("Sparse"));
    EXPECT_EQ(profile.Note, "default");
    EXPECT_EQ(profile.Count, 5);
    EXPECT_TRUE(profile.Flag);  // any number but 0 is true
}

TEST_F(Profile, RenamingMovesTheProfileToItsNewFile)
{
    Store("Rock", "<profile_version>2</profile_version><Note>mine</Note>");
    ASSERT_TRUE(profile.LoadProfile("Rock"));
    profile.SetProfileName("Jazz");
    ASSERT_TRUE(profile.SaveProfile());
    EXPECT_EQ(Files(), TTexts{"Jazz.xml"});
    EXPECT_EQ(profile.LoadedName(), "Jazz");

    profile.SetProfileName("JAZZ");
    ASSERT_TRUE(profile.SaveProfile());
    EXPECT_EQ(Files(), TTexts{"JAZZ.xml"});
    ASSERT_TRUE(profile.LoadProfile("JAZZ"));
    EXPECT_EQ(profile.Note, "mine");
}

TEST_F(Profile, AFailedSaveKeepsTheOldFileAndName)
{
    Store("Rock", "<profile_version>2</profile_version>");
    ASSERT_TRUE(profile.LoadProfile("Rock"));
    profile.SetProfileName("Target");
    std::filesystem::create_directories(folder.Path("notes/Target.xml"));  // cannot be replaced
    EXPECT_FALSE(profile.SaveProfile());
    EXPECT_EQ(profile.LoadedName(), "Rock");
    EXPECT_EQ(Files(), (TTexts{"Rock.xml", "Target.xml"}));
}

TEST_F(Profile, DeletingItsOwnNameResetsTheProfile)
{
    Store("Rock", "<profile_version>2</profile_version><Note>rock</Note>");
    Store("Pop", "");
    ASSERT_TRUE(profile.LoadProfile("Rock"));
    profile.DeleteProfile("Pop");
    EXPECT_EQ(profile.Note, "rock");
    EXPECT_EQ(Files(), TTexts{"Rock.xml"});

    profile.DeleteProfile("Rock");
    EXPECT_EQ(profile.Note, "default");
    EXPECT_EQ(profile.ProfileName(), "");
    EXPECT_EQ(profile.LoadedName(), "");
    EXPECT_EQ(Files(), TTexts{});
}

TEST_F(Profile, AnUnreadableFileGivesANewProfileAndStaysAsItWas)
{
    folder.WriteFile("notes/Bad.xml", "<bwprofile><Note>cut off");
    EXPECT_FALSE(profile.LoadProfile("Bad"));
    EXPECT_EQ(profile.ProfileName(), "new_profile");
    EXPECT_EQ(profile.LoadedName(), "");
    EXPECT_EQ(profile.Note, "default");
    EXPECT_EQ(profile.newProfiles, 1);
    EXPECT_EQ(folder.ReadFile("notes/Bad.xml"), "<bwprofile><Note>cut off");
    EXPECT_EQ(Files(), TTexts{"Bad.xml"});

    EXPECT_FALSE(profile.LoadProfile("Missing"));
    EXPECT_EQ(profile.ProfileName(), "new_profile");
}

TEST_F(Profile, OlderLayoutsAreUpgradedAndRewrittenAtOnce)
{
    Store("Old", "<CreationDate>40000</CreationDate><Note>old</Note>");
    Store("One", "<profile_version>1</profile_version><Note>one</Note>");
    Store("Newer", "<profile_version>3</profile_version><Note>newer</Note>");
    for (const char* name : {"Old", "One", "Newer"})
        ASSERT_TRUE(profile.LoadProfile(name));
    EXPECT_EQ(profile.upgradedFrom, (std::vector<std::int32_t>{0, 1}));
    EXPECT_EQ(profile.ProfileVersion(), 3);

    TNoteProfile reader(folder.Path(), 2);
    ASSERT_TRUE(reader.LoadProfile("Old"));
    EXPECT_TRUE(reader.upgradedFrom.empty());
    EXPECT_EQ(reader.Note, "old (upgraded)");
    EXPECT_EQ(reader.CreationDate(), 40000);
    EXPECT_EQ(reader.ProfileVersion(), 2);
    EXPECT_EQ(folder.ReadFile("notes/Newer.xml"),
              "<bwprofile><profile_version>3</profile_version><Note>newer</Note></bwprofile>")
        << "a newer layout is read as it is, not rewritten";
}

TEST_F(Profile, FlatListsUseCountTextAndIntegerKeys)
{
    TXMLProfileInterface& storage = static_cast<TXMLProfileInterface&>(profile.Storage());
    const std::vector<TBWNumberedText> numbered{{"/a", 5}, {"/b", 0}};
    ASSERT_TRUE(storage.Save("Flat", [&] {
        storage.WriteFlatStrings("DirPri", numbered);
        storage.WriteFlatStrings("DirPath", TTexts{"/x"});
    }));
    EXPECT_EQ(folder.ReadFile("notes/Flat.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<bwprofile>\r\n"
              "<DirPriCount>2</DirPriCount>\r\n<DirPri0>/a</DirPri0>\r\n<DirPriInt0>5</DirPriInt0>\r\n"
              "<DirPri1>/b</DirPri1>\r\n<DirPriInt1>0</DirPriInt1>\r\n"
              "<DirPathCount>1</DirPathCount>\r\n<DirPath0>/x</DirPath0>\r\n</bwprofile>\r\n");

    Store("Gaps", "<DirPriCount>3</DirPriCount><DirPri0>/a</DirPri0><DirPriInt2>4</DirPriInt2>"
                  "<ListCount>-2</ListCount>");
    ASSERT_TRUE(storage.Load("Gaps", [] {}));
    std::vector<TBWNumberedText> read{{"stale", 1}};
    storage.ReadFlatStrings("DirPri", read);
    EXPECT_EQ(read, (std::vector<TBWNumberedText>{{"/a", 0}, {"", 0}, {"", 4}}));
    TTexts texts{"stale"};
    storage.ReadFlatStrings("List", texts);
    EXPECT_TRUE(texts.empty());
}

}  // namespace
