#include "tags/u_mp4file.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/support/tag_bytes.h"

namespace {

// "\xA9" is closed off so that a following hex letter stays a letter.
const std::string kName = "\xA9" "nam";
const std::string kArtist = "\xA9" "ART";
const std::string kAlbum = "\xA9" "alb";
const std::string kComment = "\xA9" "cmt";
const std::string kGenreText = "\xA9" "gen";

TBytes TextItem(std::string_view type, std::string_view text)
{
    return Atom(type, Atom("data", BigEndian(1, 4) + BigEndian(0, 4) + Bytes(text)));
}

TBytes GenreNumber(std::uint16_t number)
{
    return Atom("gnre", Atom("data", BigEndian(0, 4) + BigEndian(0, 4) + BigEndian(number, 2)));
}

TBytes Tags(const TBytes& items)
{
    const TBytes handler = Atom("hdlr", Filled(8) + Bytes("mdirappl") + Filled(9));
    return Atom("udta", Atom("meta", BigEndian(0, 4) + handler + Atom("ilst", items)));
}

TBytes MediaHeader(std::uint8_t version, std::uint32_t timeScale, std::uint64_t duration)
{
    if (version == 0)
        return Atom("mdhd", TBytes{0, 0, 0, 0} + Filled(8) + BigEndian(timeScale, 4) + BigEndian(duration, 4) +
                                Filled(4));
    return Atom("mdhd", TBytes{1, 0, 0, 0} + Filled(16) + BigEndian(timeScale, 4) + BigEndian(duration, 8) +
                            Filled(4));
}

// A descriptor length in one byte, or padded to four as many muxers write it.
TBytes DescriptorLength(std::size_t length, bool padded)
{
    const auto byte = static_cast<std::uint8_t>(length);
    return padded ? TBytes{0x80, 0x80, 0x80, byte} : TBytes{byte};
}

TBytes Esds(std::uint32_t averageBitRate, bool padded = true)
{
    const TBytes config = TBytes{0x40, 0x15} + Filled(3) + BigEndian(averageBitRate + 1000, 4) +
                          BigEndian(averageBitRate, 4) + TBytes{0x05, 2, 0x12, 0x10};
    const TBytes decoder = TBytes{0x04} + DescriptorLength(config.size(), padded) + config;
    const TBytes stream = BigEndian(1, 2) + TBytes{0} + decoder + TBytes{0x06, 1, 2};
    return Atom("esds", BigEndian(0, 4) + TBytes{0x03} + DescriptorLength(stream.size(), padded) + stream);
}

// A track whose first sample entry has the given format and child atoms.
TBytes Track(const TBytes& mdhd, std::string_view format, const TBytes& entryChildren)
{
    const std::size_t fields = format == "mp4a" ? 28 : format == "avc1" ? 78 : 8;
    const TBytes entry = Atom(format, Filled(fields) + entryChildren);
    const TBytes stsd = Atom("stsd", BigEndian(0, 4) + BigEndian(1, 4) + entry);
    return Atom("trak", Atom("tkhd", Filled(84)) +
                            Atom("mdia", mdhd + Atom("minf", Atom("stbl", stsd + Atom("stts", Filled(8))))));
}

const TBytes kFtyp = Atom("ftyp", Bytes("M4A ") + BigEndian(0, 4) + Bytes("M4A isom"));
const TBytes kTrack = Track(MediaHeader(0, 44100, 44100 * 215 + 40000), "mp4a", Esds(128000));

TBytes Mp4File(const TBytes& moovChildren, const TBytes& before = {}, const TBytes& after = {})
{
    return kFtyp + before + Atom("moov", Atom("mvhd", Filled(100)) + moovChildren) + after;
}

struct TLoaded {
    explicit TLoaded(TBytes file) : bytes(std::move(file)), source(TBinaryView(bytes)) { mp4.LoadFromSource(source); }
    TBytes bytes;
    TMemorySource source;
    TMp4File mp4;
};

TEST(Mp4File, TagsDurationAndBitrateWhereverMoovLies)
{
    const TBytes items = TextItem(kName, "Song") + TextItem(kArtist, "Caf\xC3\xA9") + TextItem(kAlbum, "Album") +
                         TextItem(kComment, "Comment") + GenreNumber(1);
    const TBytes mdat = Atom("mdat", Filled(5000, 0x11));
    for (const bool moovFirst : {true, false}) {
        TLoaded file(moovFirst ? Mp4File(kTrack + Tags(items), {}, mdat) : Mp4File(kTrack + Tags(items), mdat));
        EXPECT_EQ(file.mp4.Title(), "Song");
        EXPECT_EQ(file.mp4.Artist(), "Café");
        EXPECT_EQ(file.mp4.Album(), "Album");
        EXPECT_EQ(file.mp4.Comment(), "Comment");
        EXPECT_EQ(file.mp4.Genre(), "Blues");
        EXPECT_EQ(file.mp4.Duration(), 215);
        EXPECT_EQ(file.mp4.Bitrate(), 128);
        EXPECT_EQ(file.mp4.FileSize(), static_cast<std::int64_t>(file.bytes.size()));
    }
}

TEST(Mp4File, GenreFromItsNumberOrItsText)
{
    struct TCase {
        TBytes items;
        std::string genre;
    };
    const TCase cases[] = {
        {GenreNumber(1), "Blues"},
        {GenreNumber(148), "Synthpop"},
        {GenreNumber(0), ""},
        {GenreNumber(149), ""},
        {Atom("gnre", Atom("data", BigEndian(1, 4) + BigEndian(0, 4) + Bytes("Text in gnre"))), "Text in gnre"},
        {TextItem(kGenreText, "Free text"), "Free text"},
        {GenreNumber(9) + TextItem(kGenreText, "Free text"), "Jazz"},
        {TextItem(kName, "No genre"), ""},
    };
    for (const TCase& test : cases) {
        TLoaded file(Mp4File(Tags(test.items)));
        EXPECT_EQ(file.mp4.Genre(), test.genre);
    }
}

TEST(Mp4File, DataValuesByTheirTypeIndicator)
{
    struct TCase {
        TBytes data;
        std::string text;
    };
    const TCase cases[] = {
        {BigEndian(1, 4) + BigEndian(0, 4) + Bytes("Cut") + TBytes{0} + Bytes("here"), "Cut"},
        {BigEndian(0, 4) + BigEndian(0, 4) + BigEndian(0xFFFFFFFE, 4), "-2"},
        {BigEndian(21, 4) + BigEndian(0, 4) + BigEndian(5, 4), ""},
        {BigEndian(1, 4), ""},  // shorter than its indicator and locale
        {{}, ""},
    };
    for (const TCase& test : cases) {
        TLoaded file(Mp4File(Tags(Atom(kName, Atom("data", test.data)))));
        EXPECT_EQ(file.mp4.Title(), test.text);
        EXPECT_EQ(file.mp4.TagText("moov.udta.meta.ilst." + kName + ".data"), test.text);
    }
}

TEST(Mp4File, DurationFromEitherVersionOfTheMediaHeader)
{
    struct TCase {
        TBytes mdhd;
        std::int32_t seconds;
    };
    const TCase cases[] = {
        {MediaHeader(0, 100, 999), 9},
        {MediaHeader(0, 0, 999), 0},
        {MediaHeader(1, 1000, 0x300000000), 12884901},
        {MediaHeader(1, 1, 0xFFFFFFFFFFFF), 2147483647},  // held at the largest number
    };
    for (const TCase& test : cases) {
        TLoaded file(Mp4File(Track(test.mdhd, "mp4a", Esds(96000))));
        EXPECT_EQ(file.mp4.Duration(), test.seconds);
    }
}

TEST(Mp4File, BitrateFromTheDecoderConfiguration)
{
    struct TCase {
        TBytes track;
        std::int32_t kbits;
    };
    const TBytes mdhd = MediaHeader(0, 100, 100);
    const TCase cases[] = {
        {Track(mdhd, "mp4a", Esds(128000)), 128},
        {Track(mdhd, "mp4a", Esds(128000, false)), 128},
        {Track(mdhd, "mp4a", Esds(999)), 0},
        {Track(mdhd, "avc1", Esds(64000)), 64},
        {Track(mdhd, "text", Esds(32000)), 32},  // after the fields all entries share
        {Track(mdhd, "mp4a", Atom("esds", Filled(4) + TBytes{0x07})), 0},
        {Track(mdhd, "mp4a", {}), 0},
    };
    for (const TCase& test : cases) {
        TLoaded file(Mp4File(test.track));
        EXPECT_EQ(file.mp4.Bitrate(), test.kbits);
    }
}

TEST(Mp4File, OnlyValidAtomTypesAreInTheTree)
{
    TLoaded file(kFtyp + Atom("free", Filled(10)) + Atom("a b!", Filled(4)) + Atom(std::string("x\x01yz", 4), {}) +
                 Atom("----", {}));
    EXPECT_NE(file.mp4.FindAtom("free"), nullptr);
    EXPECT_EQ(file.mp4.FindAtom("free")->Size(), 18);
    EXPECT_EQ(file.mp4.FindAtom("a b!"), nullptr);
    EXPECT_EQ(file.mp4.FindAtom(std::string("x\x01yz", 4)), nullptr);
    EXPECT_NE(file.mp4.FindAtom("----"), nullptr);
}

TEST(Mp4File, PathsOfEightCharactersStopAtTheFirstAtom)
{
    TLoaded file(Mp4File(Tags(TextItem(kName, "Song"))));
    ASSERT_NE(file.mp4.FindAtom("moov.udt"), nullptr);
    EXPECT_EQ(file.mp4.FindAtom("moov.udt")->AtomType(), "moov");
    EXPECT_EQ(file.mp4.FindAtom("moov.udta")->AtomType(), "udta");
    EXPECT_EQ(file.mp4.FindAtom("moov.xxxx"), nullptr);
}

TEST(Mp4File, DegenerateSizesEndTheScanSafely)
{
    const TBytes tags = Tags(TextItem(kName, "Song"));
    const TBytes moov = Atom("moov", tags);
    struct TCase {
        const char* what;
        TBytes file;
        std::string title;
    };
    const TCase cases[] = {
        {"size 0 reaches to the end", kFtyp + BigEndian(0, 4) + Bytes("free") + moov, ""},
        {"size 0 on the last atom", kFtyp + Patched(moov, 0, BigEndian(0, 4)), "Song"},
        {"64-bit size", kFtyp + BigEndian(1, 4) + Bytes("moov") + BigEndian(16 + tags.size(), 8) + tags, "Song"},
        {"64-bit size below its header", kFtyp + BigEndian(1, 4) + Bytes("free") + BigEndian(15, 8) + moov, ""},
        {"64-bit size cut off", kFtyp + BigEndian(1, 4) + Bytes("moov"), ""},
        {"size below the header", kFtyp + BigEndian(7, 4) + Bytes("free") + moov, ""},
        {"mdat past the end of the file", kFtyp + moov + BigEndian(1'000'000, 4) + Bytes("mdat"), "Song"},
        {"moov past the end of the file", kFtyp + Patched(moov, 0, BigEndian(moov.size() + 500, 4)), "Song"},
        {"child past its parent", kFtyp + Atom("moov", Patched(tags, 0, BigEndian(0x7FFFFFF0, 4))), "Song"},
        {"huge 64-bit size", kFtyp + BigEndian(1, 4) + Bytes("moov") + BigEndian(~0ull, 8) + tags, "Song"},
        {"no moov", kFtyp + Atom("mdat", Filled(100)), ""},
        {"empty file", {}, ""},
    };
    for (const TCase& test : cases) {
        TLoaded file(test.file);
        EXPECT_EQ(file.mp4.Title(), test.title) << test.what;
        EXPECT_EQ(file.mp4.Duration(), 0) << test.what;
        EXPECT_EQ(file.mp4.Genre(), "") << test.what;
    }
}

// A file of more than 4 GB that is zeros except where bytes were placed.
class TSparseSource : public TByteSource {
public:
    TSparseSource(std::int64_t size, std::map<std::int64_t, TBytes> parts) : size_(size), parts_(std::move(parts)) {}
    std::int64_t Size() const override { return size_; }

protected:
    std::int64_t ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer) override
    {
        std::fill(buffer.begin(), buffer.end(), 0);
        for (const auto& [start, bytes] : parts_) {
            for (std::size_t i = 0; i < bytes.size(); ++i) {
                const std::int64_t at = start + static_cast<std::int64_t>(i) - offset;
                if (at >= 0 && at < static_cast<std::int64_t>(buffer.size()))
                    buffer[static_cast<std::size_t>(at)] = bytes[i];
            }
        }
        return static_cast<std::int64_t>(buffer.size());
    }

private:
    std::int64_t size_;
    std::map<std::int64_t, TBytes> parts_;
};

TEST(Mp4File, AtomsBeyondFourGigabytesAreFound)
{
    const std::int64_t mdatSize = 0x140000000;  // 5 GB
    const TBytes moov = Atom("moov", kTrack + Tags(TextItem(kName, "Far away")));
    const TBytes mdatHeader = BigEndian(1, 4) + Bytes("mdat") + BigEndian(static_cast<std::uint64_t>(mdatSize), 8);
    const auto moovAt = static_cast<std::int64_t>(kFtyp.size()) + mdatSize;
    TSparseSource source(moovAt + static_cast<std::int64_t>(moov.size()),
                         {{0, kFtyp}, {static_cast<std::int64_t>(kFtyp.size()), mdatHeader}, {moovAt, moov}});
    TMp4File mp4;
    mp4.LoadFromSource(source);
    EXPECT_EQ(mp4.Title(), "Far away");
    EXPECT_EQ(mp4.Duration(), 215);
    ASSERT_NE(mp4.FindAtom("moov"), nullptr);
    EXPECT_EQ(mp4.FindAtom("moov")->Offset(), moovAt);
}

TEST(Mp4File, AFileThatCannotBeOpenedGivesNothing)
{
    TMp4File mp4;
    EXPECT_FALSE(mp4.LoadFile("/nonexistent/file.m4a"));
    EXPECT_EQ(mp4.Title(), "");
    EXPECT_EQ(mp4.Bitrate(), 0);
    EXPECT_EQ(mp4.FileSize(), 0);
}

}  // namespace
