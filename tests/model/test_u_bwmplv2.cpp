#include "model/u_bwmplv2.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "model/u_bwfsmp3.h"
#include "model/u_bwfsmpl.h"
#include "model/u_bwdigest.h"
#include "tests/support/temp_tree.h"
#include "tests/model/audio_tree.h"
#include "tests/model/fake_model.h"
#include "tests/support/mpl_bytes.h"

namespace {

using Names = std::vector<std::string>;

std::string U16(std::uint16_t value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8)};
}

std::string DirRecord(const std::string& name, std::uint8_t depth)
{
    return U16(static_cast<std::uint16_t>(name.size())) + static_cast<char>(depth) + name;
}

const std::string kDigestText = "0123456789abcdef0123456789abcdef";

std::string FileRecord(std::uint16_t duration, std::uint16_t sizeKB, std::uint16_t bitrate, const std::string& name,
                       const std::string& digestText = kDigestText)
{
    return U16(duration) + U16(sizeKB) + U16(bitrate) + U16(static_cast<std::uint16_t>(name.size())) + name +
           digestText;
}

std::string Magic()
{
    return "\x5C\x02";
}

}  // namespace

TEST(MplV2Parser, ChecksTheMagicFirst)
{
    const struct {
        std::string bytes;
        TMplV2Result result;
    } cases[] = {
        {"", mvBadMagic},
        {"\x5C", mvBadMagic},
        {"\x5C\x03", mvBadMagic},
        {std::string("\x5C\x03\0\0\0\0", 6), mvBadMagic},
        {Magic(), mvRead},
        {Magic() + "\x01\x00", mvRead},
    };
    for (const auto& test : cases) {
        TMplV2Content content;
        EXPECT_EQ(ParseMplV2(test.bytes, content), test.result);
        EXPECT_TRUE(content.dirs.empty());
    }
}

TEST(MplV2Parser, ReadsDirectoriesThenTheirFileSections)
{
    const std::string bytes = Magic() + Words({2}) + DirRecord("A", 0) + DirRecord("B", 1) + Words({1, 2}) +
                              FileRecord(245, 4096, 128, "one.mp3") + FileRecord(60, 900, 192, "two.mp3") +
                              Words({0, 0});
    TMplV2Content content;
    ASSERT_EQ(ParseMplV2(bytes, content), mvRead);
    ASSERT_EQ(content.dirs.size(), 2u);
    EXPECT_EQ(content.dirs[1].name, "B");
    EXPECT_EQ(content.dirs[1].depth, 1);
    ASSERT_EQ(content.sections.size(), 2u);
    EXPECT_EQ(content.sections[0].dirNumber, 1);
    ASSERT_EQ(content.sections[0].files.size(), 2u);
    const TMplV2File& first = content.sections[0].files[0];
    EXPECT_EQ(first.fieldsRead, TMplV2File::kDigest);
    EXPECT_EQ(first.duration, 245);
    EXPECT_EQ(first.sizeKB, 4096);
    EXPECT_EQ(first.bitrate, 128);
    EXPECT_EQ(first.name, "one.mp3");
    EXPECT_EQ(first.digestText, kDigestText);
    EXPECT_TRUE(content.sections[1].files.empty());
}

TEST(MplV2Parser, AFileCutShortKeepsTheFieldsReadBeforeTheEnd)
{
    const std::string head = Magic() + Words({1}) + DirRecord("A", 0) + Words({0, 1});
    const std::string record = FileRecord(1, 2, 3, "n.mp3");
    const struct {
        std::size_t kept;  // bytes of the record left in the file
        std::int32_t fieldsRead;
    } cases[] = {
        {0, 0}, {1, 0}, {2, TMplV2File::kDuration}, {4, TMplV2File::kSize}, {6, TMplV2File::kBitrate},
        {8, TMplV2File::kBitrate}, {12, TMplV2File::kBitrate}, {13, TMplV2File::kName},
        {44, TMplV2File::kName}, {45, TMplV2File::kDigest},
    };
    for (const auto& test : cases) {
        TMplV2Content content;
        ASSERT_EQ(ParseMplV2(head + record.substr(0, test.kept), content), mvRead);
        ASSERT_EQ(content.sections.size(), 1u) << test.kept;
        ASSERT_EQ(content.sections[0].files.size(), 1u) << "the file stays with what it has";
        EXPECT_EQ(content.sections[0].files[0].fieldsRead, test.fieldsRead) << test.kept;
    }
}

TEST(MplV2Parser, StopsAtASectionThatNamesNoDirectory)
{
    const std::string dirs = Magic() + Words({2}) + DirRecord("A", 0) + DirRecord("B", 0);
    const struct {
        std::int64_t dirNumber;
        std::size_t sections;
    } cases[] = {{-2, 0}, {-1, 2}, {0, 2}, {1, 2}, {2, 0}, {0x7FFFFFFF, 0}};
    for (const auto& test : cases) {
        TMplV2Content content;
        ParseMplV2(dirs + Words({test.dirNumber, 0, 0, 0}), content);
        EXPECT_EQ(content.sections.size(), test.sections) << test.dirNumber;
    }
}

TEST(MplV2Parser, HugeOrNegativeCountsEndWithTheBytes)
{
    const struct {
        std::string bytes;
        std::size_t dirs;
        std::size_t files;
    } cases[] = {
        {Magic() + Words({0x7FFFFFFF}) + DirRecord("A", 0), 1, 0},
        {Magic() + Words({-4}) + DirRecord("A", 0), 0, 0},
        {Magic() + Words({1}) + DirRecord("A", 0) + Words({0, 0x7FFFFFFF}) + FileRecord(1, 1, 1, "x"), 1, 2},
        {Magic() + Words({1}) + DirRecord("A", 0) + Words({0, -1}) + FileRecord(1, 1, 1, "x"), 1, 0},
        {Magic() + Words({1}) + U16(0xFFFF) + "\x00" "short", 0, 0},
    };
    for (const auto& test : cases) {
        TMplV2Content content;
        EXPECT_EQ(ParseMplV2(test.bytes, content), mvRead);
        EXPECT_EQ(content.dirs.size(), test.dirs);
        std::size_t files = 0;
        for (const TMplV2Section& section : content.sections)
            files += section.files.size();
        EXPECT_EQ(files, test.files);
    }
}

TEST(MplV2Parser, NamesInWindows1252BecomeUtf8)
{
    TMplV2Content content;
    ParseMplV2(Magic() + Words({1}) + DirRecord("Caf\xE9", 0) + Words({0, 1}) + FileRecord(1, 1, 1, "\xC0.mp3"),
               content);
    ASSERT_EQ(content.dirs.size(), 1u);
    EXPECT_EQ(content.dirs[0].name, "Caf\xC3\xA9");
    EXPECT_EQ(content.sections.at(0).files.at(0).name, "\xC3\x80.mp3");
}

// ------------------------------------------------------------- the tree

namespace {

// A root named after its file, in a folder of its own.
class OlderList : public ::testing::Test {
protected:
    OlderList()
    {
        SetMplV2BaseDir(folder.Path());
        root.SetListFile("/elsewhere/old.mpl");
    }

    TMplV2Result Load(const std::string& bytes)
    {
        folder.WriteFile("old.mpl", bytes);
        return root.LoadFromFile();
    }

    TTempTree folder;
    TBWMplDirChainV2 root;
};

}  // namespace

TEST_F(OlderList, AMagicAloneGivesAnEmptyRootNamedAfterTheFile)
{
    EXPECT_EQ(Load(Magic()), mvRead);
    EXPECT_EQ(root.FileName(), "old.mpl");
    EXPECT_EQ(root.Path(), "@old.mpl/");
    EXPECT_EQ(SubDirNames(root), Names{});
    EXPECT_EQ(MplV2BaseDir(), folder.Path());
}

TEST_F(OlderList, AnswersWhyAFileWasNotRead)
{
    EXPECT_EQ(root.LoadFromFile(), mvNoFile);
    folder.WriteFile("old.mpl/inside", "");
    EXPECT_EQ(root.LoadFromFile(), mvCannotOpen);
    root.SetListFile("pipe.mpl");
    ASSERT_EQ(::mkfifo(folder.Path("pipe.mpl").c_str(), 0600), 0);
    EXPECT_EQ(root.LoadFromFile(), mvCannotOpen) << "never opened, so never waited on";
    root.SetListFile("current.mpl");
    EXPECT_EQ(Load(TestDataFile("model/golden.mpl")), mvNoFile) << "still the name set";
    folder.WriteFile("current.mpl", TestDataFile("model/golden.mpl"));
    EXPECT_EQ(root.LoadFromFile(), mvBadMagic) << "the importer tries the current format then";
}

TEST_F(OlderList, DepthsHangEachDirectoryUnderTheNearestShallowerOne)
{
    const std::string bytes = Magic() + Words({6}) + DirRecord("A", 0) + DirRecord("B", 1) + DirRecord("C", 1) +
                              DirRecord("D", 0) + DirRecord("E", 2) + DirRecord("F", 9);
    ASSERT_EQ(Load(bytes), mvRead);
    EXPECT_EQ(SubDirNames(root), (Names{"A", "D"}));
    EXPECT_EQ(SubDirNames(*root.FindDir("@old.mpl/A/", false)), (Names{"B", "C"}));
    auto* e = dynamic_cast<TBWMplDirChainV2*>(root.FindDir("@old.mpl/D/E/", false));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->DirIndex(), 5);
    EXPECT_NE(root.FindDir("@old.mpl/D/E/F/", false), nullptr) << "deeper than allowed: under the last";
}

TEST_F(OlderList, SectionsFillTheDirectoriesTheyName)
{
    const std::string bytes = Magic() + Words({2}) + DirRecord("A", 0) + DirRecord("B", 0) + Words({1, 1}) +
                              FileRecord(61, 900, 128, "last.mp3") + Words({0, 2}) +
                              FileRecord(245, 4096, 192, "one.mp3") + FileRecord(5, 6, 7, "two.mp3");
    ASSERT_EQ(Load(bytes), mvRead);
    EXPECT_EQ(FileNames(*root.FindChild("A")), (Names{"one.mp3", "two.mp3"}));
    EXPECT_EQ(FileNames(*root.FindChild("B")), Names{"last.mp3"});
    auto* one = dynamic_cast<TBWMp3File*>(root.FindFileByPath("@old.mpl/A/one.mp3"));
    ASSERT_NE(one, nullptr);
    EXPECT_EQ(one->Duration(), 245);
    EXPECT_EQ(one->Size(), 4096);
    EXPECT_EQ(one->Bitrate(), 192);
    // The digest is the MD5 of the 32 characters, not their hexadecimal value.
    EXPECT_EQ(one->GetDigest(), Md5Of(kDigestText));
    EXPECT_EQ(one->GetDigest(), root.FindFileByPath("@old.mpl/B/last.mp3")->GetDigest());
}

TEST_F(OlderList, ARecordWithoutANameGivesItsValuesToTheNextRecordsEntry)
{
    ASSERT_EQ(Load(Magic() + Words({1}) + DirRecord("A", 0) + Words({0, 2}) + FileRecord(1, 2, 3, "") +
                   FileRecord(9, 8, 7, "named.mp3")),
              mvRead);
    EXPECT_EQ(FileNames(*root.FindChild("A")), Names{"named.mp3"});
    EXPECT_EQ(root.FindFileByPath("@old.mpl/A/named.mp3")->Size(), 8);
}

TEST_F(OlderList, ATruncatedFileKeepsWhatWasRead)
{
    const std::string bytes = Magic() + Words({1}) + DirRecord("A", 0) + Words({0, 2}) +
                              FileRecord(245, 4096, 192, "one.mp3").substr(0, 4);
    ASSERT_EQ(Load(bytes), mvRead);
    TBWFile* partial = root.FindChild("A")->Files()->FileAt(0);
    ASSERT_NE(partial, nullptr);
    EXPECT_EQ(partial->Name(), "");
    EXPECT_EQ(partial->Size(), 4096);
}

TEST_F(OlderList, AnImportedTreeKeepsItsValuesInACurrentList)
{
    ASSERT_EQ(Load(Magic() + Words({1}) + DirRecord("Disc", 0) + Words({0, 1}) +
                   FileRecord(245, 4096, 192, "one.mp3")),
              mvRead);
    TMplManager manager;
    manager.SetFolder(folder.Path("lists"));
    TBWDirMpl* list = manager.NewList("old", true);
    list->CopyTree(&root);
    ASSERT_TRUE(manager.SaveAll());
    TBWFile* copied = manager.FindList("old")->FindFileByPath("@old/Disc/one.mp3");
    ASSERT_NE(copied, nullptr);
    const TMplFileRecord record = RecordOfEntry(*copied);
    EXPECT_EQ(record.sizeKB, 4096);
    EXPECT_EQ(record.duration, 245);
    EXPECT_EQ(record.bitrate, 192);
    EXPECT_EQ(record.digest, Md5Of(kDigestText));
}
