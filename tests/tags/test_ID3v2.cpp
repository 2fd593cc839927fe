#include "tags/ID3v2.h"

#include <gtest/gtest.h>

#include "tests/support/tag_bytes.h"

namespace {

const TBytes kAudio = Filled(64, 0x55);

TBytes Text(std::uint8_t encoding, std::string_view text)
{
    return ID3v2Text(encoding, Bytes(text));
}

TBytes Utf16LE(std::u16string_view text, bool byteOrderMark = true)
{
    TBytes bytes = byteOrderMark ? TBytes{0xFF, 0xFE} : TBytes{};
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return bytes;
}

TBytes Utf16BE(std::u16string_view text)
{
    TBytes bytes;
    for (const char16_t unit : text)
        bytes = bytes + BigEndian(unit, 2);
    return bytes;
}

TID3v2 Loaded(const TBytes& file)
{
    TID3v2 tag;
    EXPECT_TRUE(LoadBytes(tag, file));
    return tag;
}

TEST(ID3v2, DecodesAllFourTextEncodings)
{
    struct TCase {
        int version;
        TBytes content;
    };
    const TCase cases[] = {
        {3, Text(0, "Caf\xE9")},
        {3, ID3v2Text(1, Utf16LE(u"Café"))},
        {3, ID3v2Text(1, TBytes{0xFE, 0xFF} + Utf16BE(u"Café"))},
        {4, ID3v2Text(2, Utf16BE(u"Café"))},
        {4, Text(3, "Café")},
        {4, Text(3, std::string("Café\0Second value", 18))},
        {2, Text(0, "Caf\xE9")},
    };
    for (const TCase& test : cases) {
        const std::string id = test.version == 2 ? "TT2" : "TIT2";
        const TID3v2 tag =
            Loaded(ID3v2Tag(test.version, ID3v2Frame(test.version, id, test.content)) + kAudio);
        EXPECT_EQ(tag.Title(), "Café") << "version " << test.version << ", encoding "
                                       << int(test.content[0]);
    }
}

TEST(ID3v2, Utf16KeepsEveryCharacterButTheByteOrderMark)
{
    const TID3v2 tag = Loaded(
        ID3v2Tag(3, ID3v2Frame(3, "TIT2", ID3v2Text(1, Utf16LE(u"\u00FFes \U0001D11E")))) + kAudio);
    EXPECT_EQ(tag.Title(), "ÿes 𝄞");
}

TEST(ID3v2, ReadsVersionTwoPointTwoFrames)
{
    const TBytes frames =
        ID3v2Frame(2, "TT2", Text(0, "Title")) + ID3v2Frame(2, "TP1", Text(0, "Artist")) +
        ID3v2Frame(2, "TAL", Text(0, "Album")) + ID3v2Frame(2, "TRK", Text(0, "4/10")) +
        ID3v2Frame(2, "TYE", Text(0, "1994")) + ID3v2Frame(2, "TCO", Text(0, "(17)Rock")) +
        ID3v2Frame(2, "COM", Text(0, std::string("engdesc\0Comment", 15))) +
        ID3v2Frame(2, "WXX", Text(0, std::string("\0http://x.org", 13)));
    const TID3v2 tag = Loaded(ID3v2Tag(2, frames, 20) + kAudio);
    EXPECT_EQ(tag.VersionID(), 2);
    EXPECT_EQ(tag.Title(), "Title");
    EXPECT_EQ(tag.Artist(), "Artist");
    EXPECT_EQ(tag.Album(), "Album");
    EXPECT_EQ(tag.Track(), 4);
    EXPECT_EQ(tag.Year(), "1994");
    EXPECT_EQ(tag.Genre(), "Rock");
    EXPECT_EQ(tag.Comment(), "Comment");
    EXPECT_EQ(tag.Link(), "http://x.org");
}

TEST(ID3v2, VersionFourSizesAreSynchsafeWithAPlainFallback)
{
    // 200 bytes: synchsafe 00 00 01 48 reads 328 as a plain number.
    const std::string longTitle(199, 'x');
    for (const bool plainSize : {false, true}) {
        const TBytes frames = ID3v2Frame(4, "TIT2", Text(3, longTitle), 0, plainSize) +
                              ID3v2Frame(4, "TPE1", Text(3, "After"), 0, plainSize);
        const TID3v2 tag = Loaded(ID3v2Tag(4, frames, 100) + kAudio);
        EXPECT_EQ(tag.Title(), longTitle) << "plain sizes: " << plainSize;
        EXPECT_EQ(tag.Artist(), "After") << "plain sizes: " << plainSize;
    }
}

TEST(ID3v2, SkipsAnExtendedHeader)
{
    const TBytes v3Extended = BigEndian(6, 4) + TBytes{0, 0} + BigEndian(0, 4);  // size without itself
    const TBytes v4Extended = Synchsafe(6) + TBytes{1, 0};                       // size with itself
    const TBytes v3Frames = v3Extended + ID3v2Frame(3, "TIT2", Text(0, "Three"));
    EXPECT_EQ(Loaded(ID3v2Tag(3, v3Frames, 0, 0x40) + kAudio).Title(), "Three");
    const TBytes v4Frames = v4Extended + ID3v2Frame(4, "TIT2", Text(0, "Four"));
    const TID3v2 v4 = Loaded(ID3v2Tag(4, v4Frames, 0, 0x40) + kAudio);
    EXPECT_EQ(v4.Title(), "Four");
}

TEST(ID3v2, CommentAndLinkSkipTheirDescriptions)
{
    // The description 'A' U+0100 has a zero pair that straddles two characters.
    const TBytes comment =
        ID3v2Text(1, Bytes("eng") + Utf16LE(u"A\u0100") + TBytes{0, 0} + Utf16LE(u"Text"));
    const TBytes link = ID3v2Text(1, Utf16LE(u"Home") + TBytes{0, 0} + Bytes("http://example.org/\xE9"));
    const TID3v2 tag =
        Loaded(ID3v2Tag(3, ID3v2Frame(3, "COMM", comment) + ID3v2Frame(3, "WXXX", link)) + kAudio);
    EXPECT_EQ(tag.Comment(), "Text");
    EXPECT_EQ(tag.Link(), "http://example.org/é");

    const TBytes utf8 = Text(3, std::string("deuBeschreibung\0Kommentar", 25));
    EXPECT_EQ(Loaded(ID3v2Tag(4, ID3v2Frame(4, "COMM", utf8)) + kAudio).Comment(), "Kommentar");
}

TEST(ID3v2, GenreDropsNumericReferencesOrNamesThem)
{
    const std::pair<const char*, const char*> cases[] = {
        {"(13)", "Pop"}, {"(13)Pop", "Pop"}, {"Pop", "Pop"}, {"(17)(13)Rock Pop", "Rock Pop"},
        {"Rock (Live)", "Rock (Live)"}, {"(999)", ""}, {"(RX)", ""}, {"(13", "(13"},
    };
    for (const auto& [text, genre] : cases)
        EXPECT_EQ(Loaded(ID3v2Tag(3, ID3v2Frame(3, "TCON", Text(0, text))) + kAudio).Genre(), genre) << text;
}

TEST(ID3v2, TrackYearAndFallbackFrames)
{
    const TBytes frames =
        ID3v2Frame(3, "TRCK", Text(0, "3/12")) + ID3v2Frame(3, "TDRC", Text(0, "2004-05-01")) +
        ID3v2Frame(3, "TIT1", Text(0, "Group")) + ID3v2Frame(3, "TOPE", Text(0, "Original")) +
        ID3v2Frame(3, "TOAL", Text(0, "First album")) + ID3v2Frame(3, "TSIZ", Text(0, "1234")) +
        ID3v2Frame(3, "TCOM", Text(0, "Composer")) + ID3v2Frame(3, "TENC", Text(0, "Encoder")) +
        ID3v2Frame(3, "TCOP", Text(0, "(c)")) + ID3v2Frame(3, "TLAN", Text(0, "eng"));
    const TID3v2 tag = Loaded(ID3v2Tag(3, frames) + kAudio);
    EXPECT_EQ(tag.Track(), 3);
    EXPECT_EQ(tag.TrackText(), "3/12");
    EXPECT_EQ(tag.Year(), "2004");
    EXPECT_EQ(tag.Title(), "Group");
    EXPECT_EQ(tag.Artist(), "Original");
    EXPECT_EQ(tag.Album(), "First album");
    EXPECT_EQ(tag.SizeText(), "1234");
    EXPECT_EQ(tag.Composer(), "Composer");
    EXPECT_EQ(tag.EncodedBy(), "Encoder");
    EXPECT_EQ(tag.Copyright(), "(c)");
    EXPECT_EQ(tag.Language(), "eng");

    const TID3v2 letters = Loaded(ID3v2Tag(3, ID3v2Frame(3, "TRCK", Text(0, "A")) +
                                                  ID3v2Frame(3, "TYER", Text(0, "1999")) +
                                                  ID3v2Frame(3, "TDRC", Text(0, "2004"))) + kAudio);
    EXPECT_EQ(letters.Track(), 0);
    EXPECT_EQ(letters.Year(), "1999");
}

TEST(ID3v2, LongFramesAreCutToFiveHundredBytes)
{
    const TID3v2 latin = Loaded(ID3v2Tag(3, ID3v2Frame(3, "TIT2", Text(0, std::string(599, 'a')))) + kAudio);
    EXPECT_EQ(latin.Title(), std::string(499, 'a'));
    // 'é' takes two bytes: the 500-byte cut falls inside one and drops it.
    std::string accents;
    for (int i = 0; i < 300; ++i)
        accents += "é";
    const TID3v2 utf8 = Loaded(ID3v2Tag(4, ID3v2Frame(4, "TIT2", Text(3, accents))) + kAudio);
    EXPECT_EQ(utf8.Title(), accents.substr(0, 498));
}

TEST(ID3v2, LaterFramesReplaceEarlierOnesAndOpaqueFramesAreSkipped)
{
    const TBytes frames =
        ID3v2Frame(3, "TIT2", Text(0, "First")) + ID3v2Frame(3, "TIT2", Text(0, "Second")) +
        ID3v2Frame(3, "TPE1", Text(0, "Compressed"), 0x80) + ID3v2Frame(3, "TALB", Text(4, "Encoding 4"));
    const TID3v2 tag = Loaded(ID3v2Tag(3, frames) + kAudio);
    EXPECT_EQ(tag.Title(), "Second");
    EXPECT_EQ(tag.Artist(), "");
    EXPECT_EQ(tag.Album(), "");
}

TEST(ID3v2, HeaderSizesAndVersions)
{
    const TBytes body = ID3v2Frame(3, "TIT2", Text(0, "T"));
    TID3v2 tag = Loaded(ID3v2Tag(3, body, 5) + kAudio);
    EXPECT_TRUE(tag.Exists());
    EXPECT_EQ(tag.Size(), static_cast<std::int64_t>(10 + body.size() + 5));

    tag = Loaded(ID3v2Tag(4, ID3v2Frame(4, "TIT2", Text(0, "T")), 0, 0x10) + Filled(10) + kAudio);
    EXPECT_EQ(tag.Size(), static_cast<std::int64_t>(20 + body.size()));
    EXPECT_EQ(tag.Title(), "T");

    tag = Loaded(ID3v2Tag(5, body) + kAudio);
    EXPECT_TRUE(tag.Exists());
    EXPECT_EQ(tag.VersionID(), 5);
    EXPECT_EQ(tag.Size(), static_cast<std::int64_t>(10 + body.size()));
    EXPECT_EQ(tag.Title(), "");

    tag = Loaded(kAudio);
    EXPECT_FALSE(tag.Exists());
    EXPECT_EQ(tag.Size(), 0);
}

TEST(ID3v2, DamagedTagsGiveWhatCouldBeRead)
{
    // A tag that claims to run past the end of the file.
    TBytes truncated = ID3v2Tag(3, ID3v2Frame(3, "TIT2", Text(0, "T")), 1000);
    truncated.resize(200);
    TID3v2 tag = Loaded(truncated);
    EXPECT_TRUE(tag.Exists());
    EXPECT_EQ(tag.Size(), 0);
    EXPECT_EQ(tag.Title(), "");

    // A frame whose size runs far past the tag ends the frames; earlier ones stay.
    TBytes huge = ID3v2Frame(3, "TPE1", Text(0, "Kept")) + ID3v2Frame(3, "TIT2", Text(0, "Title"));
    huge = Patched(huge, 15 + 4, BigEndian(0xFFFFFFF0u, 4));
    tag = Loaded(ID3v2Tag(3, huge + ID3v2Frame(3, "TALB", Text(0, "Lost"))) + kAudio);
    EXPECT_EQ(tag.Artist(), "Kept");
    EXPECT_EQ(tag.Album(), "");

    // A frame id that does not begin with a letter ends the frames.
    tag = Loaded(ID3v2Tag(3, ID3v2Frame(3, "TPE1", Text(0, "Kept")) + ID3v2Frame(3, "1XYZ", Text(0, "x")) +
                                 ID3v2Frame(3, "TIT2", Text(0, "Lost"))) + kAudio);
    EXPECT_EQ(tag.Artist(), "Kept");
    EXPECT_EQ(tag.Title(), "");

    TID3v2 shortFile;
    EXPECT_FALSE(LoadBytes(shortFile, Bytes("ID3\3\0")));
    EXPECT_FALSE(shortFile.Exists());
}

}  // namespace
