#include "tags/OggVorbis.h"

#include <gtest/gtest.h>

#include "tests/support/tag_bytes.h"

namespace {

constexpr std::uint8_t kFirstPage = 0x02;
constexpr std::uint8_t kLastPage = 0x04;

TBytes Identification(std::uint8_t channels, std::uint32_t sampleRate, std::int32_t nominalBitRate)
{
    return TBytes{1} + Bytes("vorbis") + LittleEndian(0, 4) + TBytes{channels} + LittleEndian(sampleRate, 4) +
           LittleEndian(0, 4) + LittleEndian(static_cast<std::uint32_t>(nominalBitRate), 4) + LittleEndian(0, 4) +
           TBytes{0xB8, 1};
}

TBytes CommentString(std::string_view text)
{
    return LittleEndian(text.size(), 4) + Bytes(text);
}

TBytes CommentPacket(std::string_view vendor, const std::vector<std::string>& comments)
{
    TBytes packet = TBytes{3} + Bytes("vorbis") + CommentString(vendor) + LittleEndian(comments.size(), 4);
    for (const std::string& comment : comments)
        packet = packet + CommentString(comment);
    return packet + TBytes{1};
}

// The first page with the identification header, the comment header on
// pages of its own, audio filler, and a last page with the sample count.
TBytes OggFile(const TBytes& commentPages, std::uint64_t samples = 441000, std::size_t audioBytes = 1000,
               std::uint8_t channels = 2, std::int32_t nominalBitRate = 128000)
{
    const TBytes first = OggPage(kFirstPage, 0, {30}, Identification(channels, 44100, nominalBitRate));
    return first + commentPages + Filled(audioBytes, 0x55) + OggPage(kLastPage, samples, {4}, Bytes("last"));
}

TOggVorbis Loaded(const TBytes& file)
{
    TOggVorbis ogg;
    EXPECT_TRUE(LoadBytes(ogg, file));
    return ogg;
}

TOggVorbis WithComments(const std::vector<std::string>& comments)
{
    return Loaded(OggFile(OggPacketPages(CommentPacket("Vendor 1.0", comments))));
}

TEST(OggVorbis, CommentsFillTheirSlotsByName)
{
    const TOggVorbis ogg = WithComments({"TITLE=Title", "artist=Lower case name", "ALBUM=  Album  ",
                                         "TRACKNUMBER=3/12", "DATE=2011", "Genre=Folk", "COMMENT=Note",
                                         "unknown=ignored"});
    EXPECT_EQ(ogg.Vendor(), "Vendor 1.0");
    EXPECT_EQ(ogg.Title(), "Title");
    EXPECT_EQ(ogg.Artist(), "Lower case name");
    EXPECT_EQ(ogg.Album(), "Album");
    EXPECT_EQ(ogg.Track(), 3);
    EXPECT_EQ(ogg.Date(), "2011");
    EXPECT_EQ(ogg.Genre(), "Folk");
    EXPECT_EQ(ogg.Comment(), "Note");
}

TEST(OggVorbis, CommentRulesForNamesValuesAndFallbacks)
{
    struct TCase {
        std::vector<std::string> comments;
        std::string artist;
        std::string comment;
        std::uint8_t track;
    };
    const TCase cases[] = {
        {{"ARTIST =Blank before the sign"}, "", "", 0},
        {{"PERFORMER=Performer"}, "Performer", "", 0},
        {{"PERFORMER=Performer", "ARTIST=Artist"}, "Artist", "", 0},
        {{"ARTIST=First", "ARTIST=Second"}, "Second", "", 0},
        {{"DESCRIPTION=Description"}, "", "Description", 0},
        {{"DESCRIPTION=Description", "COMMENT=Comment"}, "", "Comment", 0},
        {{"ARTIST=Caf\xC3\xA9"}, "Café", "", 0},
        {{"ARTIST=Bad \xFF byte"}, "Bad \xEF\xBF\xBD byte", "", 0},
        {{"TRACKNUMBER=seven"}, "", "", 0},
        {{"TRACKNUMBER=258"}, "", "", 2},  // kept in eight bits
    };
    for (const TCase& test : cases) {
        const TOggVorbis ogg = WithComments(test.comments);
        EXPECT_EQ(ogg.Artist(), test.artist) << test.comments.front();
        EXPECT_EQ(ogg.Comment(), test.comment) << test.comments.front();
        EXPECT_EQ(ogg.Track(), test.track) << test.comments.front();
    }
}

TEST(OggVorbis, ACommentKeepsItsFirst250Bytes)
{
    const std::string value(290, 'v');
    EXPECT_EQ(WithComments({"TITLE=" + value, "ALBUM=After"}).Title(), std::string(244, 'v'));
    EXPECT_EQ(WithComments({"TITLE=" + value, "ALBUM=After"}).Album(), "After");
    // A character cut in two at the limit is dropped, not replaced.
    const std::string accents = std::string(243, 'a') + "\xC3\xA9\xC3\xA9";
    EXPECT_EQ(WithComments({"TITLE=" + accents}).Title(), std::string(243, 'a'));
}

TEST(OggVorbis, ACommentHeaderSpanningPagesIsReassembled)
{
    const std::string lyrics = "LYRICS=" + std::string(9000, 'l');
    const TBytes packet = CommentPacket("Vendor", {"TITLE=Before", lyrics, "ALBUM=Across the break", "GENRE=After"});
    for (const std::size_t segments : {1, 3, 16, 255}) {
        const TOggVorbis ogg = Loaded(OggFile(OggPacketPages(packet, segments)));
        EXPECT_EQ(ogg.Title(), "Before") << segments;
        EXPECT_EQ(ogg.Album(), "Across the break") << segments;
        EXPECT_EQ(ogg.Genre(), "After") << segments;
    }
}

TEST(OggVorbis, ACommentHeaderCutShortKeepsWhatWasRead)
{
    const TBytes pages = OggPacketPages(CommentPacket("Vendor", {"TITLE=Kept", "ALBUM=" + std::string(600, 'a')}), 1);
    const TBytes first = OggPage(kFirstPage, 0, {30}, Identification(2, 44100, 128000));
    const TBytes file = first + TBytes(pages.begin(), pages.begin() + 200);
    const TOggVorbis ogg = Loaded(file);
    EXPECT_EQ(ogg.Title(), "Kept");
    EXPECT_EQ(ogg.Album(), "");
    // An absurd count ends with the packet.
    TBytes counted = CommentPacket("Vendor", {"TITLE=Only"});
    counted = Patched(counted, 7 + 4 + 6, LittleEndian(0xFFFFFFFF, 4));
    EXPECT_EQ(Loaded(OggFile(OggPacketPages(counted))).Title(), "Only");
}

TEST(OggVorbis, DurationAndBitRateFromTheLastPage)
{
    TBytes file = OggFile(OggPacketPages(CommentPacket("V", {})));
    file = OggFile(OggPacketPages(CommentPacket("V", {})), 441000, 1000 + 160000 - file.size());
    ASSERT_EQ(file.size(), 160000u);
    const TOggVorbis ogg = Loaded(file);
    EXPECT_EQ(ogg.Samples(), 441000);
    EXPECT_DOUBLE_EQ(ogg.Duration(), 10.0);
    EXPECT_EQ(ogg.BitRate(), 128);
    EXPECT_EQ(ogg.NominalBitRate(), 128);
    EXPECT_EQ(ogg.Channels(), 2);
    EXPECT_EQ(ogg.SampleRate(), 44100);

    // Sample counts beyond 32 bits.
    EXPECT_EQ(Loaded(OggFile(OggPacketPages(CommentPacket("V", {})), 0x200000000)).Samples(), 0x200000000);
}

TEST(OggVorbis, WithoutALastPageTheNominalBitRateGivesTheDuration)
{
    for (const std::uint8_t channels : {1, 2}) {
        // The last "OggS" lies far before the end: 160,000 bytes at 128 kbit/s.
        TBytes file = OggFile(OggPacketPages(CommentPacket("V", {})), 441000, 0, channels);
        file.resize(160000, 0x55);
        const TOggVorbis ogg = Loaded(file);
        EXPECT_EQ(ogg.Samples(), 0);
        EXPECT_DOUBLE_EQ(ogg.Duration(), 10.0) << int(channels);
        EXPECT_EQ(ogg.BitRate(), 128);
    }
    TBytes unknownRate = OggFile(OggPacketPages(CommentPacket("V", {})), 0, 0, 2, 0);
    EXPECT_EQ(Loaded(unknownRate).Duration(), 0);
    EXPECT_EQ(Loaded(unknownRate).BitRate(), 0);
}

TEST(OggVorbis, ALeadingID3v2TagIsSkipped)
{
    const TBytes tag = ID3v2Tag(3, ID3v2Frame(3, "TIT2", ID3v2Text(0, Bytes("ID3 title"))), 100);
    TBytes ogg = OggFile(OggPacketPages(CommentPacket("V", {"TITLE=Vorbis title"})));
    ogg = OggFile(OggPacketPages(CommentPacket("V", {"TITLE=Vorbis title"})), 441000,
                  1000 + 160000 - ogg.size());
    const TOggVorbis read = Loaded(tag + ogg);
    EXPECT_EQ(read.ID3v2Size(), static_cast<std::int64_t>(tag.size()));
    EXPECT_EQ(read.Title(), "Vorbis title");
    EXPECT_EQ(read.FileLength(), static_cast<std::int64_t>(tag.size() + ogg.size()));
    EXPECT_EQ(read.BitRate(), 128);  // over the Ogg stream only
}

TEST(OggVorbis, OtherFilesFailWithClearedValues)
{
    const TBytes notVorbis = OggPage(kFirstPage, 0, {30}, TBytes{1} + Bytes("theora") + Filled(23));
    const TBytes whole = OggFile({});
    const TBytes cutPage(whole.begin(), whole.begin() + 20);
    for (const TBytes& file : {notVorbis, cutPage, Bytes("fLaC"), TBytes{}}) {
        TOggVorbis ogg;
        EXPECT_FALSE(LoadBytes(ogg, file));
        EXPECT_EQ(ogg.FileLength(), 0);
        EXPECT_EQ(ogg.Channels(), 0);
    }
    // No comment header: the stream is read, the texts stay empty.
    const TOggVorbis bare = Loaded(OggFile({}));
    EXPECT_EQ(bare.Title(), "");
    EXPECT_EQ(bare.Vendor(), "");
    EXPECT_EQ(bare.Samples(), 441000);
    TOggVorbis missing;
    EXPECT_FALSE(missing.LoadFile("/nonexistent/file.ogg"));
}

}  // namespace
