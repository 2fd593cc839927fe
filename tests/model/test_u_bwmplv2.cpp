#include "model/u_bwmplv2.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/model/mpl_bytes.h"

namespace {

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
