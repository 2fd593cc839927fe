#include "tags/WMAfile.h"

#include <gtest/gtest.h>

#include "tests/support/tag_bytes.h"

namespace {

const TBytes kContentDescriptionGuid = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                        0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
const TBytes kExtendedContentGuid = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                     0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
const TBytes kVideoMediaGuid = {0xC0, 0xEF, 0x19, 0xBC, 0x4D, 0x5B, 0xCF, 0x11,
                                0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

enum TValueType : std::uint16_t { vtString = 0, vtBytes = 1, vtBool = 2, vtDword = 3, vtQword = 4, vtWord = 5 };

TBytes ContentDescription(const TBytes& title, const TBytes& author, const TBytes& description)
{
    const TBytes copyright = Utf16LE(u"(c)");
    return AsfObject(kContentDescriptionGuid,
                     LittleEndian(title.size(), 2) + LittleEndian(author.size(), 2) +
                         LittleEndian(copyright.size(), 2) + LittleEndian(description.size(), 2) +
                         LittleEndian(0, 2) + title + author + copyright + description);
}

TBytes Descriptor(std::u16string_view name, std::uint16_t type, const TBytes& value)
{
    const TBytes nameBytes = Utf16LE(name) + TBytes{0, 0};
    return LittleEndian(nameBytes.size(), 2) + nameBytes + LittleEndian(type, 2) + LittleEndian(value.size(), 2) +
           value;
}

TBytes ExtendedContent(const std::vector<TBytes>& descriptors)
{
    TBytes body = LittleEndian(descriptors.size(), 2);
    for (const TBytes& descriptor : descriptors)
        body = body + descriptor;
    return AsfObject(kExtendedContentGuid, body);
}

TBytes Text(std::u16string_view text)
{
    return Utf16LE(text) + TBytes{0, 0};
}

const TBytes kStream = AsfStreamProperties(2, 44100, 16000);

TEST(WMAfile, StreamValuesComeFromTheFileAndStreamProperties)
{
    TWMAfile wma;
    ASSERT_TRUE(LoadBytes(wma, AsfFile({AsfFileProperties(128000), kStream}, 1'600'000)));
    EXPECT_TRUE(wma.Valid());
    EXPECT_EQ(wma.FileLength(), 1'600'000);
    EXPECT_EQ(wma.Channels(), 2);
    EXPECT_EQ(wma.SampleRate(), 44100);
    EXPECT_DOUBLE_EQ(wma.Duration(), 100.0);
    EXPECT_EQ(wma.BitRate(), 128);
}

TEST(WMAfile, DurationIsThePlayDurationLessThePreroll)
{
    constexpr std::uint32_t kBroadcast = 1;
    const struct {
        const char* what;
        std::uint64_t playDuration;  // 100 ns units
        std::uint64_t preroll;       // ms
        std::uint32_t flags;
        double seconds;
    } cases[] = {
        {"12.03 s after a preroll of 3.1 s", 151'300'000, 3100, 2, 12.03},
        {"no preroll", 20'000'000, 0, 2, 2.0},
        {"no play duration: size over byte rate", 0, 0, 2, 100.0},
        {"a preroll longer than the play duration", 10'000'000, 3100, 2, 100.0},
        {"a broadcast, whose play duration is not valid", 151'300'000, 3100, kBroadcast, 100.0},
    };
    for (const auto& test : cases) {
        TWMAfile wma;
        ASSERT_TRUE(LoadBytes(wma, AsfFile({AsfFileProperties(128000, test.playDuration, test.preroll, test.flags),
                                            kStream},
                                           1'600'000)))
            << test.what;
        EXPECT_NEAR(wma.Duration(), test.seconds, 1e-9) << test.what;
        EXPECT_EQ(wma.BitRate(), 128) << test.what;
    }
}

TEST(WMAfile, ImplausibleStreamValuesLeaveEverythingCleared)
{
    struct TCase {
        std::uint32_t maxBitRate;
        std::uint16_t channels;
        std::uint32_t sampleRate;
        std::uint32_t byteRate;
        bool valid;
    };
    const TCase cases[] = {
        {128000, 1, 8000, 1000, true},   {128000, 2, 96000, 1000, true}, {128000, 6, 44100, 1000, false},
        {128000, 0, 44100, 1000, false}, {128000, 2, 7999, 1000, false}, {128000, 2, 96001, 1000, false},
        {0, 2, 44100, 1000, false},      {128000, 2, 44100, 0, false},
    };
    for (const TCase& test : cases) {
        TWMAfile wma;
        const TBytes file = AsfFile({AsfFileProperties(test.maxBitRate),
                                     AsfStreamProperties(test.channels, test.sampleRate, test.byteRate),
                                     ContentDescription(Text(u"Title"), {}, {})});
        ASSERT_TRUE(LoadBytes(wma, file));
        EXPECT_EQ(wma.Valid(), test.valid) << test.channels << " channels, " << test.sampleRate << " Hz";
        EXPECT_EQ(wma.Title(), test.valid ? "Title" : "");
        EXPECT_EQ(wma.SampleRate(), test.valid ? std::int32_t(test.sampleRate) : 0);
        EXPECT_EQ(wma.FileLength(), test.valid ? std::int64_t(file.size()) : 0);
    }
}

TEST(WMAfile, ContentDescriptionGivesTitleArtistAndComment)
{
    TWMAfile wma;
    ASSERT_TRUE(LoadBytes(wma, AsfFile({AsfFileProperties(1), kStream,
                                        ContentDescription(Text(u" Caf\u00E9 \U0001D11E "), Text(u"Ørjan"),
                                                           Text(u"Notes\r\n"))})));
    EXPECT_EQ(wma.Title(), "Café 𝄞");
    EXPECT_EQ(wma.Artist(), "Ørjan");
    EXPECT_EQ(wma.Comment(), "Notes");
}

TEST(WMAfile, TextsKeepTheirFirst250Characters)
{
    const std::u16string title(300, u'x');
    TWMAfile wma;
    ASSERT_TRUE(LoadBytes(wma, AsfFile({AsfFileProperties(1), kStream,
                                        ContentDescription(Utf16LE(title), Text(u"After"), {})})));
    EXPECT_EQ(wma.Title(), std::string(250, 'x'));
    EXPECT_EQ(wma.Artist(), "After");  // the rest of the long text was passed over
}

TEST(WMAfile, ExtendedDescriptorsByNameAndValueType)
{
    struct TCase {
        const char* what;
        TBytes descriptor;
        std::int32_t track;
        std::string title;
    };
    const TCase cases[] = {
        {"name in lower case with a blank", Descriptor(u"wm/title ", vtString, Text(u"Lower")), 0, "Lower"},
        {"track as a 32-bit number", Descriptor(u"WM/Track", vtDword, LittleEndian(5, 4)), 5, ""},
        {"track as text with a zero", Descriptor(u"WM/Track", vtString, Text(u"05")), 5, ""},
        {"track as a 64-bit number", Descriptor(u"WM/Track", vtQword, LittleEndian(7, 8)), 7, ""},
        {"track as a 16-bit number", Descriptor(u"WM/Track", vtWord, LittleEndian(9, 2)), 9, ""},
        {"track as a truth value", Descriptor(u"WM/Track", vtBool, LittleEndian(1, 4)), 0, ""},
        {"title as bytes", Descriptor(u"WM/Title", vtBytes, Bytes("raw")), 0, ""},
        {"unknown name", Descriptor(u"WM/Titles", vtString, Text(u"No")), 0, ""},
    };
    for (const TCase& test : cases) {
        TWMAfile wma;
        ASSERT_TRUE(LoadBytes(wma, AsfFile({AsfFileProperties(1), kStream, ExtendedContent({test.descriptor})})))
            << test.what;
        EXPECT_EQ(wma.Track(), test.track) << test.what;
        EXPECT_EQ(wma.Title(), test.title) << test.what;
    }
}

TEST(WMAfile, ExtendedDescriptorsFillEverySlotAndLaterObjectsWin)
{
    TWMAfile wma;
    ASSERT_TRUE(LoadBytes(
        wma, AsfFile({AsfFileProperties(1), kStream, ContentDescription(Text(u"Plain"), Text(u"Author"), {}),
                      ExtendedContent({Descriptor(u"WM/Title", vtString, Text(u"Extended")),
                                       Descriptor(u"WM/AlbumTitle", vtString, Text(u"Album")),
                                       Descriptor(u"WM/Year", vtString, Text(u"1999")),
                                       Descriptor(u"WM/Genre", vtString, Text(u"Jazz")),
                                       Descriptor(u"WM/Description", vtString, Text(u"Comment")),
                                       Descriptor(u"WM/Picture", vtBytes, Filled(5000, 0xAB)),
                                       Descriptor(u"WM/Author", vtString, Text(u"Extended author"))})})));
    EXPECT_EQ(wma.Title(), "Extended");
    EXPECT_EQ(wma.Artist(), "Extended author");
    EXPECT_EQ(wma.Album(), "Album");
    EXPECT_EQ(wma.Year(), "1999");
    EXPECT_EQ(wma.Genre(), "Jazz");
    EXPECT_EQ(wma.Comment(), "Comment");
}

TEST(WMAfile, OnlyAnAudioStreamGivesTheStreamValues)
{
    TWMAfile wma;
    ASSERT_TRUE(LoadBytes(wma, AsfFile({AsfFileProperties(1), AsfStreamProperties(1, 22050, 4000),
                                        AsfStreamProperties(2, 90000, 50000, kVideoMediaGuid)})));
    EXPECT_EQ(wma.Channels(), 1);
    EXPECT_EQ(wma.SampleRate(), 22050);
}

TEST(WMAfile, AnObjectSmallerThanItsHeaderEndsTheWalk)
{
    for (const std::uint64_t size : {0, 1, 23}) {
        TBytes file = AsfFile({AsfFileProperties(1), kStream, kAsfDataGuid + LittleEndian(size, 8) + Filled(8),
                               ContentDescription(Text(u"Never read"), {}, {})});
        file = Patched(file, 24, LittleEndian(0xFFFFFFFF, 4));  // and an absurd object count
        TWMAfile wma;
        ASSERT_TRUE(LoadBytes(wma, file)) << size;
        EXPECT_TRUE(wma.Valid()) << size;
        EXPECT_EQ(wma.Title(), "") << size;
    }
}

TEST(WMAfile, AnObjectCountBeyondTheHeaderStopsAtItsEnd)
{
    TBytes file = AsfFile({AsfFileProperties(1), kStream});
    file = Patched(file, 24, LittleEndian(1000, 4));
    TWMAfile wma;
    ASSERT_TRUE(LoadBytes(wma, file));
    EXPECT_TRUE(wma.Valid());
}

TEST(WMAfile, DamagedHeadersFailWithClearedValues)
{
    const TBytes whole = AsfFile({AsfFileProperties(1), kStream, ContentDescription(Text(u"Title"), {}, {})});
    // Cut inside the content description's strings.
    const TBytes cut(whole.begin(), whole.end() - 26 - 24 - 8);
    // A string longer than its object.
    const TBytes overlong = AsfFile(
        {AsfFileProperties(1), kStream, AsfObject(kContentDescriptionGuid, LittleEndian(200, 2) + Filled(8) + Text(u"x"))});
    for (const TBytes& file : {cut, overlong}) {
        TWMAfile wma;
        EXPECT_FALSE(LoadBytes(wma, file));
        EXPECT_FALSE(wma.Valid());
        EXPECT_EQ(wma.Channels(), 0);
    }
}

TEST(WMAfile, OtherFilesAreReadButNotValid)
{
    for (const TBytes& file : {Bytes("RIFF....WAVEfmt "), TBytes{}, kAsfHeaderGuid}) {
        TWMAfile wma;
        EXPECT_TRUE(LoadBytes(wma, file));
        EXPECT_FALSE(wma.Valid());
    }
    TWMAfile wma;
    EXPECT_FALSE(wma.LoadFile("/nonexistent/file.wma"));
}

}  // namespace
