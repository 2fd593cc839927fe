#include "tags/ID3v1.h"

#include <gtest/gtest.h>

#include "tests/support/tag_bytes.h"

namespace {

const TBytes kAudio = Filled(1000, 0x55);

TBytes Comment(std::string_view text, std::uint8_t byte125, std::uint8_t byte126)
{
    return Patched(Field(text, 30), 28, {byte125, byte126});
}

TEST(ID3v1, TellsVersionOneFromOnePointOneByTheTrackBytes)
{
    struct TCase {
        std::uint8_t byte125;
        std::uint8_t byte126;
        std::uint8_t version;
        std::uint8_t track;
        std::string comment;
    };
    const std::string text28(28, 'c');
    const TCase cases[] = {
        {0, 7, 2, 7, text28},
        {0, 0, 1, 0, text28},  // trailing zeros belong to a 30-byte comment
        {' ', 9, 2, 9, text28},
        {' ', ' ', 1, 0, text28},
        {'x', 'y', 1, 0, text28 + "xy"},
    };
    for (const TCase& test : cases) {
        TID3v1 tag;
        ASSERT_TRUE(LoadBytes(
            tag, kAudio + ID3v1Tag("T", "A", "B", "1999", Comment(text28, test.byte125, test.byte126), 17)));
        EXPECT_TRUE(tag.Exists());
        EXPECT_EQ(tag.VersionID(), test.version) << int(test.byte125) << "/" << int(test.byte126);
        EXPECT_EQ(tag.Track(), test.track);
        EXPECT_EQ(tag.Comment(), test.comment);
    }
}

TEST(ID3v1, ReadsFieldsAsWindows1252WithoutTrailingBlanks)
{
    TID3v1 tag;
    ASSERT_TRUE(LoadBytes(tag, kAudio + ID3v1Tag("Caf\xE9 \x80  ", std::string_view("Artist\0junk", 11),
                                                 "  Album", "2004", Field("", 30), 0)));
    EXPECT_EQ(tag.Title(), "Café €");
    EXPECT_EQ(tag.Artist(), "Artist");
    EXPECT_EQ(tag.Album(), "  Album");
    EXPECT_EQ(tag.Year(), "2004");
    EXPECT_EQ(tag.Genre(), "Blues");
    EXPECT_EQ(tag.Size(), 128);
    EXPECT_TRUE(tag.LongTitle().empty());
}

TEST(ID3v1, GenreTableFollowsTheStandardListAndItsExtension)
{
    const std::pair<int, const char*> cases[] = {
        {0, "Blues"},        {7, "Hip-Hop"},    {29, "Jazz+Funk"}, {40, "AlternRock"}, {62, "Pop/Funk"},
        {67, "Psychadelic"}, {79, "Hard Rock"}, {80, "Folk"},      {85, "Bebob"},      {123, "A capella"},
        {146, "JPop"},       {147, "Synthpop"}, {148, ""},         {255, ""},          {-1, ""},
    };
    for (const auto& [id, name] : cases)
        EXPECT_EQ(GenreName(id), name) << id;
}

TEST(ID3v1, Lyrics3FieldsGiveLongTextsAndTheirOwnValues)
{
    const std::string title40(40, 't');
    const TBytes block =
        Lyrics3Block(Lyrics3Field("IND", "11") + Lyrics3Field("ETT", " " + title40 + " ") +
                     Lyrics3Field("EAR", "Short artist") + Lyrics3Field("AUT", " Author ") +
                     Lyrics3Field("IMG", " pic.jpg||\r\n") + Lyrics3Field("LYR", "one\rtwo\r\nthree\n") +
                     Lyrics3Field("XXX", "ends the fields") + Lyrics3Field("EAL", "never read"));
    TID3v1 tag;
    ASSERT_TRUE(LoadBytes(
        tag, kAudio + block + ID3v1Tag("Short title", "Tag artist", "Tag album", "", Field("", 30), 1)));
    EXPECT_TRUE(tag.Lyrics3Found());
    EXPECT_EQ(tag.Lyrics3Length(), static_cast<std::int32_t>(block.size() - 15));
    EXPECT_EQ(tag.Title(), title40);
    EXPECT_EQ(tag.LongTitle(), title40);
    EXPECT_EQ(tag.Artist(), "Short artist");
    EXPECT_TRUE(tag.LongArtist().empty());
    EXPECT_EQ(tag.Album(), "Tag album");
    EXPECT_EQ(tag.Author(), "Author");
    EXPECT_EQ(tag.Images(), " pic.jpg||\r\n");
    EXPECT_EQ(tag.Lyrics(), "one\r\ntwo\r\nthree");
    EXPECT_EQ(tag.Size(), 128 + static_cast<std::int64_t>(block.size()));
}

TEST(ID3v1, SizeCountsTheLyrics3BlockWithItsTrailer)
{
    // An IND field padded so that the block's size field reads 1000.
    const TBytes block = Lyrics3Block(Lyrics3Field("IND", std::string(1000 - 11 - 8, '1')));
    TID3v1 tag;
    ASSERT_TRUE(LoadBytes(tag, kAudio + block + ID3v1Tag("", "", "", "", Field("", 30), 1)));
    EXPECT_EQ(tag.Lyrics3Length(), 1000);
    EXPECT_EQ(tag.Size(), 1143);
}

TEST(ID3v1, Lyrics3WithoutATagIsReadAllTheSame)
{
    const TBytes block = Lyrics3Block(Lyrics3Field("ETT", "Lyrics title"));
    TID3v1 tag;
    ASSERT_TRUE(LoadBytes(tag, kAudio + block));
    EXPECT_FALSE(tag.Exists());
    EXPECT_EQ(tag.Title(), "Lyrics title");
    EXPECT_EQ(tag.Size(), static_cast<std::int64_t>(block.size()));
}

TEST(ID3v1, DamagedOrTooShortFilesFailWithClearedValues)
{
    TID3v1 tag;
    EXPECT_FALSE(LoadBytes(tag, Filled(100)));
    EXPECT_FALSE(tag.Exists());

    // A size that points before the start of the file.
    const TBytes tooLong =
        Bytes("LYRICSBEGIN") + Bytes("999999LYRICS200") + ID3v1Tag("Lost", "", "", "", Field("", 30), 1);
    EXPECT_FALSE(LoadBytes(tag, tooLong));
    EXPECT_FALSE(tag.Exists());
    EXPECT_EQ(tag.Title(), "");
    EXPECT_EQ(tag.GenreID(), kNoGenre);

    // A size that lands on something other than "LYRICSBEGIN" is no block.
    const TBytes misplaced =
        kAudio + Bytes("000020LYRICS200") + ID3v1Tag("Kept", "", "", "", Field("", 30), 1);
    EXPECT_TRUE(LoadBytes(tag, misplaced));
    EXPECT_FALSE(tag.Lyrics3Found());
    EXPECT_EQ(tag.Lyrics3Length(), 0);
    EXPECT_EQ(tag.Title(), "Kept");

    // A file that is nothing but a tag has no room for Lyrics3, and is fine.
    EXPECT_TRUE(LoadBytes(tag, ID3v1Tag("Alone", "", "", "", Field("", 30), 1)));
    EXPECT_EQ(tag.Title(), "Alone");
}

TEST(ID3v1, Lyrics3FieldLengthsPastTheBlockStopAtItsEnd)
{
    // The field claims more bytes than the block holds.
    TBytes fields = Lyrics3Field("ETT", "Clipped");
    fields[7] = '9';
    TID3v1 tag;
    ASSERT_TRUE(LoadBytes(tag, kAudio + Lyrics3Block(fields)));
    EXPECT_EQ(tag.Title(), "Clipped");
}

}  // namespace
