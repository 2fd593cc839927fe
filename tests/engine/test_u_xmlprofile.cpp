#include "engine/u_xmlprofile.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/base/platform/fifo_in_place.h"
#include "tests/engine/temp_folder.h"

namespace {

using TNumbered = std::vector<TBWNumberedText>;
using TTexts = std::vector<std::string>;

class XmlProfileStorage : public ::testing::Test {
protected:
    TTempFolder folder;
    TXMLProfileInterface storage{"profiles", folder.Path()};

    // Loads a file written by hand; true when the storage took it.
    bool LoadText(const std::string& text)
    {
        folder.WriteFile("profiles/hand.xml", text);
        return storage.Load("hand", [] {});
    }
};

TEST_F(XmlProfileStorage, WritesOneElementPerValueInTheFileLayout)
{
    ASSERT_TRUE(storage.Save("Rock", [this] {
        storage.WriteFloat("CreationDate", 45000.75);
        storage.WriteInteger("MinPerc", 80);
        storage.WriteString("ProfileComment", "");
        storage.WriteString("Exclusions", "*a&b*;*<c>*;");
        storage.WriteStrings("DirPath", TTexts{"/music/Rock", ""});
        storage.WriteStrings("DirPri", TNumbered{{"/music/rock", 5}});
        storage.WriteStrings("Empty", TTexts{});
        storage.WriteInteger("MinPerc", 70);  // a second write replaces the value in its place
    }));
    EXPECT_EQ(folder.ReadFile("profiles/Rock.xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
              "<bwprofile>\r\n"
              "<CreationDate>45000</CreationDate>\r\n"
              "<MinPerc>70</MinPerc>\r\n"
              "<ProfileComment>\r\n</ProfileComment>\r\n"
              "<Exclusions>*a&amp;b*;*&lt;c&gt;*;</Exclusions>\r\n"
              "<DirPath>\r\n<item>/music/Rock</item>\r\n<item>\r\n</item>\r\n</DirPath>\r\n"
              "<DirPri>\r\n<item intval=\"5\">/music/rock</item>\r\n</DirPri>\r\n"
              "<Empty>\r\n</Empty>\r\n"
              "</bwprofile>\r\n");
}

TEST_F(XmlProfileStorage, ReadsBackEveryKindOfValue)
{
    const TTexts texts{" padded ", "", "a<b>&c", "line\nbreak", "cr\rhere", "\xC3\x9C" "ber", "\t"};
    const TNumbered numbered{{"/a", -3}, {"", 0}, {"/b", 2147483647}};
    ASSERT_TRUE(storage.Save("all", [&] {
        storage.WriteString("Text", "  <say> \"hi\" & 'bye'\r\nnext line  ");
        storage.WriteString("Empty", "");
        storage.WriteString("Control", "a\x01" "b\x1F" "c\x7F");
        storage.WriteInteger("Negative", -12);
        storage.WriteFloat("Float", -2.9);
        storage.WriteFloat("Huge", 1e30);
        storage.WriteStrings("Texts", texts);
        storage.WriteStrings("Numbered", numbered);
    }));
    ASSERT_TRUE(storage.Load("all", [] {}));
    // Single values are trimmed; XML cannot hold control characters, so
    // they are dropped on writing rather than making the file unreadable.
    EXPECT_EQ(storage.ReadString("Text", "x"), "<say> \"hi\" & 'bye'\r\nnext line");
    EXPECT_EQ(storage.ReadString("Empty", "x"), "");
    EXPECT_EQ(storage.ReadString("Control", "x"), "abc\x7F");
    EXPECT_EQ(storage.ReadInteger("Negative", 0), -12);
    EXPECT_EQ(storage.ReadFloat("Float", 0), -2);
    EXPECT_EQ(storage.ReadInteger("Huge", 0), 2147483647);
    TTexts readTexts{"stale"};
    storage.ReadStrings("Texts", readTexts);
    EXPECT_EQ(readTexts, texts);
    TNumbered readNumbered;
    storage.ReadStrings("Numbered", readNumbered);
    EXPECT_EQ(readNumbered, numbered);
    EXPECT_TRUE(storage.ValueExists("Empty"));
    EXPECT_FALSE(storage.ValueExists("Missing"));
    EXPECT_EQ(storage.ReadString("Missing", "default"), "default");
}

TEST_F(XmlProfileStorage, ReadsAnyWellFormedLayout)
{
    // Line feeds only, another root name, blanks and nesting of the hand.
    ASSERT_TRUE(LoadText("<settings>\n  <MinPerc> 42 </MinPerc>\n  <minword>7</minword>\n"
                         "  <Nested>a<b>b<c>c</c></b>d</Nested>\n  <MinPerc>99</MinPerc>\n"
                         "  <List><item intval=\"x\">one</item><other>no</other>"
                         "<item intval=\" 4 \"> two </item><item/></List>\n</settings>\n"));
    EXPECT_EQ(storage.ReadInteger("MinPerc", 0), 42);  // the first element of the name
    EXPECT_EQ(storage.ReadInteger("MinWord", -1), -1);  // names keep their case
    EXPECT_EQ(storage.ReadString("Nested", ""), "abcd");
    TNumbered list;
    storage.ReadStrings("List", list);
    EXPECT_EQ(list, (TNumbered{{"one", 0}, {" two ", 4}, {"", 0}}));
}

TEST_F(XmlProfileStorage, DeeplyNestedTextIsReadWithoutExhaustingTheStack)
{
    constexpr int kDepth = 200000;
    std::string nested;
    for (int i = 0; i < kDepth; ++i)
        nested += "<n>";
    nested += "deep";
    for (int i = 0; i < kDepth; ++i)
        nested += "</n>";
    ASSERT_TRUE(LoadText("<bwprofile><Deep>" + nested + "</Deep></bwprofile>"));
    EXPECT_EQ(storage.ReadString("Deep", ""), "deep");
}

TEST_F(XmlProfileStorage, NumbersThatAreNoNumbersGiveTheDefault)
{
    struct TNumberCase {
        const char* stored;
        std::int32_t integer;  // read with default -1
        double floating;       // read with default 0.5
    };
    const TNumberCase cases[] = {
        {"17", 17, 17},       {"+17", 17, 17},          {"-17", -17, -17},
        {"0", 0, 0.5},        {"", -1, 0.5},            {"1.5", -1, 0.5},
        {"4x", -1, 0.5},      {"0x10", -1, 0.5},        {"2147483648", -1, 0.5},
        {"-2147483648", -2147483647 - 1, -2147483648.0},
    };
    for (const TNumberCase& c : cases) {
        ASSERT_TRUE(LoadText(std::string("<bwprofile><N>") + c.stored + "</N></bwprofile>"));
        EXPECT_EQ(storage.ReadInteger("N", -1), c.integer) << c.stored;
        EXPECT_EQ(storage.ReadFloat("N", 0.5), c.floating) << c.stored;
    }
}

TEST_F(XmlProfileStorage, MalformedOrMissingFilesFailAndLeaveNoValues)
{
    const char* malformed[] = {
        "",
        "plain text",
        "<bwprofile><MinPerc>80</bwprofile>",
        "<bwprofile><MinPerc>80</MinPerc>",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n",
        "<bwprofile><MinPerc>80</MinPerc></bwprofile><second/>",
        "<bwprofile>\x01\x02</bwprofile",
    };
    for (const char* text : malformed) {
        ASSERT_TRUE(LoadText("<bwprofile><MinPerc>80</MinPerc></bwprofile>"));
        bool called = false;
        folder.WriteFile("profiles/bad.xml", text);
        EXPECT_FALSE(storage.Load("bad", [&called] { called = true; })) << text;
        EXPECT_FALSE(called);
        EXPECT_EQ(storage.ReadInteger("MinPerc", 1), 1);
        EXPECT_EQ(folder.ReadFile("profiles/bad.xml"), text);
    }
    EXPECT_FALSE(storage.Load("missing", [] {}));
}

TEST_F(XmlProfileStorage, ListsTheXmlFilesOfItsFolderOnly)
{
    for (const char* name : {"b.xml", "A.XML", "a.xml", "notes.txt", "xml", ".xml", "c.xml.bak"})
        folder.WriteFile(std::string("profiles/") + name, "<bwprofile/>");
    std::filesystem::create_directories(folder.Path("profiles/folder.xml"));
    // Names that differ in case only name one profile.
    EXPECT_EQ(storage.ListProfiles(), (TTexts{"A", "b"}));

    // The general settings live in the data folder itself.
    TXMLProfileInterface settings("", folder.Path());
    EXPECT_EQ(settings.FolderPath(), folder.Path());
    ASSERT_TRUE(settings.Save("settings", [] {}));
    EXPECT_EQ(settings.ListProfiles(), TTexts{"settings"});
}

// Files whose names differ in letter case only are one profile to the
// program and two files to the system: saving one never removes the other.
TEST_F(XmlProfileStorage, SavingNeverRemovesATwinAndARenameInCaseLeavesOneFile)
{
    folder.WriteFile("profiles/rock.xml", "<bwprofile><V>lower</V></bwprofile>");
    folder.WriteFile("profiles/ROCK.xml", "<bwprofile><V>upper</V></bwprofile>");
    ASSERT_TRUE(storage.Load("ROCK", [] {}));
    ASSERT_TRUE(storage.Save("ROCK", [this] { storage.WriteString("V", "saved"); }, "ROCK"));
    EXPECT_EQ(folder.Names("profiles"), (TTexts{"ROCK.xml", "rock.xml"}));
    EXPECT_EQ(folder.ReadFile("profiles/rock.xml"), "<bwprofile><V>lower</V></bwprofile>");

    // The old spelling of the profile saved goes, and only that.
    ASSERT_TRUE(storage.Save("Rock", [this] { storage.WriteString("V", "renamed"); }, "ROCK"));
    EXPECT_EQ(folder.Names("profiles"), (TTexts{"Rock.xml", "rock.xml"}));
    ASSERT_TRUE(storage.Load("Rock", [] {}));
    EXPECT_EQ(storage.ReadString("V", ""), "renamed");

    // A new profile of a name taken in another case replaces nothing.
    ASSERT_TRUE(storage.Save("ROCK", [] {}));
    EXPECT_EQ(folder.Names("profiles"), (TTexts{"ROCK.xml", "Rock.xml", "rock.xml"}));
}

TEST_F(XmlProfileStorage, TwinsInOtherLetterCaseAreSetAsideAndTheListedOneStays)
{
    // Letter case of every script: Ёлка and ёлка are one name, Björk and
    // Bjork two.
    for (const char* name : {"Rock.xml", "rock.xml", "ROCK.xml", "Jazz.xml", "Ёлка.xml", "ёлка.xml", "Björk.xml",
                             "Bjork.xml"})
        folder.WriteFile(std::string("profiles/") + name, std::string("<bwprofile><V>") + name + "</V></bwprofile>");
    folder.WriteFile("profiles/rock.xml.bad", "older");
    EXPECT_EQ(storage.ListProfiles(), (TTexts{"Bjork", "Björk", "Jazz", "ROCK", "Ёлка"}));
    const std::vector<TBWSetAside> setAside = storage.SetAsideCaseTwins();
    ASSERT_EQ(setAside.size(), 3u);
    EXPECT_EQ(setAside[0].file, folder.Path("profiles/Rock.xml"));
    EXPECT_EQ(setAside[0].movedTo, folder.Path("profiles/Rock.xml.bad"));
    EXPECT_EQ(setAside[1].file, folder.Path("profiles/rock.xml"));
    EXPECT_EQ(setAside[1].movedTo, folder.Path("profiles/rock.xml.bad2"));
    EXPECT_EQ(setAside[2].file, folder.Path("profiles/ёлка.xml"));
    EXPECT_EQ(folder.Names("profiles"), (TTexts{"Bjork.xml", "Björk.xml", "Jazz.xml", "ROCK.xml", "Rock.xml.bad",
                                                "rock.xml.bad", "rock.xml.bad2", "Ёлка.xml", "ёлка.xml.bad"}));
    ASSERT_TRUE(storage.Load("rock", [] {}));
    EXPECT_EQ(storage.ReadString("V", ""), "ROCK.xml");
    ASSERT_TRUE(storage.Load("ЁЛКА", [] {}));
    EXPECT_EQ(storage.ReadString("V", ""), "Ёлка.xml");
    EXPECT_TRUE(storage.SetAsideCaseTwins().empty());
}

TEST_F(XmlProfileStorage, AFolderThatCannotBeListedSaysWhy)
{
    EXPECT_TRUE(storage.ListProfiles().empty());
    EXPECT_EQ(storage.LastListFailure(), "") << "a folder not made yet holds no profile";
    // A link to itself: no user, not even root, can read it.
    std::filesystem::create_symlink("profiles", folder.Path("profiles"));
    EXPECT_TRUE(storage.ListProfiles().empty());
    EXPECT_NE(storage.LastListFailure().find(folder.Path("profiles/")), std::string::npos)
        << storage.LastListFailure();
    EXPECT_TRUE(storage.SetAsideCaseTwins().empty());
}

TEST_F(XmlProfileStorage, LoadPrefersTheFileOfTheExactName)
{
    folder.WriteFile("profiles/Jazz.xml", "<bwprofile><V>exact</V></bwprofile>");
    folder.WriteFile("profiles/JAZZ.xml", "<bwprofile><V>other</V></bwprofile>");
    ASSERT_TRUE(storage.Load("Jazz", [] {}));
    EXPECT_EQ(storage.ReadString("V", ""), "exact");
}

TEST_F(XmlProfileStorage, NamesLeavingTheFolderAreRefused)
{
    folder.WriteFile("outside.xml", "<bwprofile/>");
    for (const char* name : {"", "../outside", "a/b"}) {
        EXPECT_FALSE(storage.Save(name, [] {})) << name;
        EXPECT_FALSE(storage.Load(name, [] {})) << name;
        storage.Delete(name);
    }
    EXPECT_EQ(folder.Names(""), (TTexts{"outside.xml"}));
}

TEST_F(XmlProfileStorage, AFailedWriteKeepsTheOldFile)
{
    std::filesystem::create_directories(folder.Path("profiles/Blocked.xml"));
    EXPECT_FALSE(storage.Save("Blocked", [] {}));
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path("profiles/Blocked.xml")));
    EXPECT_EQ(folder.Names("profiles"), TTexts{"Blocked.xml"});
}

// Two names that differ in case are two files here: deleting one profile
// must not take the other with it.
TEST_F(XmlProfileStorage, DeleteRemovesExactlyTheOneFileLoadReads)
{
    folder.WriteFile("profiles/Rock.xml", "<bwprofile><unclosed>");
    folder.WriteFile("profiles/rock.xml", "<bwprofile><V>valid</V></bwprofile>");
    storage.Delete("Rock");
    EXPECT_EQ(folder.Names("profiles"), TTexts{"rock.xml"});
    ASSERT_TRUE(storage.Load("Rock", [] {}));
    EXPECT_EQ(storage.ReadString("V", ""), "valid");
    storage.Delete("ROCK");  // no exact name: the one file of that name in another case
    EXPECT_EQ(folder.Names("profiles"), TTexts{});
}

TEST_F(XmlProfileStorage, AFailedLoadSaysWhyAndADamagedFileIsSetAsideNumbered)
{
    EXPECT_FALSE(storage.Load("none", [] {}));
    EXPECT_EQ(storage.LastLoadFailure(), TProfileLoadFailure::Missing);
    std::filesystem::create_directories(folder.Path("profiles"));
    std::filesystem::create_symlink(folder.Path("nowhere"), folder.Path("profiles/gone.xml"));
    EXPECT_FALSE(storage.Load("gone", [] {}));
    EXPECT_EQ(storage.LastLoadFailure(), TProfileLoadFailure::Unreadable);
    EXPECT_FALSE(LoadText("<bwprofile><cut"));
    EXPECT_EQ(storage.LastLoadFailure(), TProfileLoadFailure::Malformed);
    EXPECT_TRUE(LoadText("<bwprofile/>"));
    EXPECT_EQ(storage.LastLoadFailure(), TProfileLoadFailure::None);

    folder.WriteFile("profiles/hand.xml.bad", "older");
    folder.WriteFile("profiles/hand.xml", "<bwprofile><cut");
    EXPECT_EQ(storage.SetAside("hand"), folder.Path("profiles/hand.xml.bad2"));
    EXPECT_EQ(folder.ReadFile("profiles/hand.xml.bad"), "older");
    EXPECT_EQ(folder.ReadFile("profiles/hand.xml.bad2"), "<bwprofile><cut");
    EXPECT_EQ(storage.ListProfiles(), TTexts{"gone"});
    EXPECT_EQ(storage.SetAside("hand"), "");
}

// A FIFO at profiles/x.xml hung the start-up in open(); a link to /dev/zero
// would be read until the memory ran out.
TEST_F(XmlProfileStorage, AFifoOrADeviceIsUnreadableAtOnce)
{
    std::filesystem::create_directories(folder.Path("profiles"));
    const TFifoInPlace fifo(folder.Path("profiles/x.xml"));
    ASSERT_TRUE(fifo.Made());
    std::filesystem::create_symlink("/dev/zero", folder.Path("profiles/zero.xml"));
    for (const char* name : {"x", "zero"}) {
        EXPECT_FALSE(storage.Load(name, [] {})) << name;
        EXPECT_EQ(storage.LastLoadFailure(), TProfileLoadFailure::Unreadable) << name;
    }
}

}  // namespace
