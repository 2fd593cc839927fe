#include "tags/MPEGaudio.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

#include "tests/support/tag_bytes.h"

namespace {

// Second header bytes: sync, version, layer, no CRC.
constexpr std::uint8_t kMpeg1Layer3 = 0xFB;
constexpr std::uint8_t kMpeg1Layer2 = 0xFD;
constexpr std::uint8_t kMpeg1Layer1 = 0xFF;
constexpr std::uint8_t kMpeg2Layer3 = 0xF3;
constexpr std::uint8_t kMpeg2Layer1 = 0xF7;
constexpr std::uint8_t kMpeg25Layer2 = 0xE5;
constexpr std::uint8_t kMpeg25Layer1 = 0xE7;
constexpr std::uint8_t kStereo = 0x00;
constexpr std::uint8_t kMono = 0xC0;

constexpr std::uint8_t Rates(int bitRateID, int sampleRateID, int padding = 0)
{
    return static_cast<std::uint8_t>(bitRateID << 4 | sampleRateID << 2 | padding << 1);
}

// MPEG-1 Layer III, 128 kbit/s at 44.1 kHz: 417 bytes a frame.
const TBytes kFrame128 = MpegFrame(kMpeg1Layer3, Rates(9, 0), kStereo, 417);
const TBytes kTag = ID3v1Tag("", "", "", "", Filled(30), 0);

TMPEGaudio Loaded(const TBytes& file)
{
    TMPEGaudio mpeg;
    EXPECT_TRUE(LoadBytes(mpeg, file));
    return mpeg;
}

// The Xing or Info header of a frame: flags, then the fields they announce.
TBytes XingHeader(std::string_view kind, std::uint32_t flags, std::uint32_t frames, std::uint32_t bytes)
{
    TBytes header = Bytes(kind) + BigEndian(flags, 4);
    if (flags & 1)
        header = header + BigEndian(frames, 4);
    if (flags & 2)
        header = header + BigEndian(bytes, 4);
    if (flags & 4)
        header = header + Filled(100);
    if (flags & 8)
        header = header + BigEndian(57, 4);
    return header + Bytes("LAME3.99");
}

TBytes VbriHeader(std::uint32_t frames, std::uint32_t bytes)
{
    return Bytes("VBRI") + BigEndian(1, 2) + BigEndian(0, 2) + BigEndian(75, 2) + BigEndian(bytes, 4) +
           BigEndian(frames, 4);
}

TEST(MPEGaudio, FrameLengthsFollowEachVersionAndLayer)
{
    struct TCase {
        const char* name;
        std::uint8_t b1;
        std::uint8_t b2;
        std::size_t length;
    };
    const TCase cases[] = {
        {"MPEG-1 Layer III 128k 44.1k", kMpeg1Layer3, Rates(9, 0), 417},
        {"... padded", kMpeg1Layer3, Rates(9, 0, 1), 418},
        {"MPEG-1 Layer III 320k 48k", kMpeg1Layer3, Rates(14, 1), 960},
        {"MPEG-2 Layer III 8k 16k", kMpeg2Layer3, Rates(1, 2), 36},
        {"MPEG-1 Layer I 32k 44.1k", kMpeg1Layer1, Rates(1, 0), 32},
        {"... padded by a slot", kMpeg1Layer1, Rates(1, 0, 1), 36},
        {"MPEG-2 Layer I 32k 22.05k", kMpeg2Layer1, Rates(1, 0), 68},
        {"... padded by a slot", kMpeg2Layer1, Rates(1, 0, 1), 72},
        {"MPEG-2.5 Layer I 256k 8k padded", kMpeg25Layer1, Rates(14, 2, 1), 1540},
        {"MPEG-1 Layer II 384k 32k padded", kMpeg1Layer2, Rates(14, 2, 1), 1729},
        {"MPEG-2.5 Layer II 160k 8k padded", kMpeg25Layer2, Rates(14, 2, 1), 2881},
    };
    for (const TCase& test : cases) {
        // Enough frames to be longer than an ID3v1 tag: shorter files fail.
        const int count = static_cast<int>(std::max<std::size_t>(3, 200 / test.length + 1));
        const TMPEGaudio mpeg = Loaded(Repeated(MpegFrame(test.b1, test.b2, kStereo, test.length), count));
        EXPECT_TRUE(mpeg.FrameHeader().Found) << test.name;
        EXPECT_EQ(mpeg.FrameHeader().Size, test.length) << test.name;
        EXPECT_EQ(mpeg.AudioStart(), 0) << test.name;
    }
}

TEST(MPEGaudio, FindsTheFirstFrameAtAnyPosition)
{
    // Around the block and window edges a search of half blocks would miss.
    for (const std::size_t junk : {0, 1, 1729, 1730, 3457, 3458, 13497, 13499, 13501, 16380, 16384, 40000}) {
        const TMPEGaudio mpeg = Loaded(Filled(junk, 0x20) + Repeated(kFrame128, 3));
        EXPECT_EQ(mpeg.AudioStart(), static_cast<std::int64_t>(junk)) << junk;
        EXPECT_EQ(mpeg.FrameHeader().Position, static_cast<std::int64_t>(junk)) << junk;
    }
}

TEST(MPEGaudio, SkipsAHeaderThatNoFrameFollows)
{
    const TBytes lonely = MpegFrame(kMpeg1Layer3, Rates(9, 0), kStereo, 104);
    const TMPEGaudio mpeg = Loaded(lonely + Repeated(kFrame128, 3));
    EXPECT_EQ(mpeg.AudioStart(), 104);
}

TEST(MPEGaudio, SearchStartsAfterTheID3v2Tag)
{
    // Frames inside the tag's padding are not the stream.
    TBytes tag = ID3v2Tag(3, ID3v2Frame(3, "TIT2", ID3v2Text(0, Bytes("Title"))), 4096 - 10 - 16);
    tag = Patched(tag, 1000, Repeated(kFrame128, 2));
    ASSERT_EQ(tag.size(), 4096u);
    const TMPEGaudio mpeg = Loaded(tag + Filled(5) + Repeated(kFrame128, 3));
    EXPECT_EQ(mpeg.ID3v2().Title(), "Title");
    EXPECT_EQ(mpeg.AudioStart(), 4101);
}

TEST(MPEGaudio, ConstantBitRateDurationComesFromTheAudioSize)
{
    // 128 kbit/s at 48 kHz: 384-byte frames; 1,600,000 bytes of audio.
    const TBytes frames = Repeated(MpegFrame(kMpeg1Layer3, Rates(9, 1), kStereo, 384), 2);
    const TBytes file = frames + Filled(1'600'000 - frames.size()) + kTag;
    const TMPEGaudio mpeg = Loaded(file);
    EXPECT_TRUE(mpeg.ID3v1().Exists());
    EXPECT_EQ(mpeg.FileLength(), static_cast<std::int64_t>(file.size()));
    EXPECT_EQ(mpeg.AudioEnd(), 1'600'000);
    EXPECT_DOUBLE_EQ(mpeg.Duration(), 100.0);
    EXPECT_EQ(mpeg.BitRate(), 128);
    EXPECT_EQ(mpeg.SampleRate(), 48000);
}

TEST(MPEGaudio, XingAndInfoHeadersGiveFramesAndBytes)
{
    for (const std::string_view kind : {"Xing", "Info"}) {
        const TBytes first = Patched(kFrame128, 36, XingHeader(kind, 0x0F, 1000, 418'000));
        const TMPEGaudio mpeg = Loaded(first + Repeated(kFrame128, 2));
        const TVbrHeader& vbr = mpeg.VbrHeader();
        EXPECT_TRUE(vbr.Found) << kind;
        EXPECT_EQ(vbr.Kind, kind);
        EXPECT_EQ(vbr.Frames, 1000);
        EXPECT_EQ(vbr.Bytes, 418'000);
        EXPECT_EQ(vbr.Quality, 57);
        EXPECT_EQ(vbr.EncoderText, "LAME3.99");
        EXPECT_DOUBLE_EQ(mpeg.Duration(), 1000.0 * 1152 / 44100);
        EXPECT_EQ(mpeg.BitRate(), 128);  // 418 bytes a frame at 44.1 kHz
    }
}

TEST(MPEGaudio, InfoFrameOfAHigherBitRateDoesNotSetTheDuration)
{
    // MPEG-2 mono at 22.05 kHz: a 64 kbit/s Info frame (208 bytes) in front of
    // 24 kbit/s frames (78 bytes), as encoders write it at low bitrates.
    const TBytes info =
        Patched(MpegFrame(kMpeg2Layer3, Rates(8, 0), kMono, 208), 13, XingHeader("Info", 0x0F, 100, 7800));
    const TBytes stream = Repeated(MpegFrame(kMpeg2Layer3, Rates(3, 0), kMono, 78), 100);
    const TMPEGaudio mpeg = Loaded(info + stream);
    EXPECT_DOUBLE_EQ(mpeg.Duration(), 100.0 * 576 / 22050);
    EXPECT_EQ(mpeg.BitRate(), 24);
}

// LAME's Info header counts its own frame among the bytes: bytes over
// frames would give 321.
TEST(MPEGaudio, AnInfoHeaderGivesTheStreamsTableBitRate)
{
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.LoadFile(std::string(CORVELLA_FIXTURES) + "/audio/cbr320_stereo_32k.mp3"));
    ASSERT_EQ(mpeg.VbrHeader().Kind, "Info");
    EXPECT_EQ(mpeg.BitRate(), 320);
    EXPECT_NEAR(mpeg.Duration(), 1.044, 1152.0 / 32000);
}

TEST(MPEGaudio, XingWithoutAFrameCountFallsBackToConstantBitRate)
{
    for (const std::uint32_t flags : {0x0Fu, 0x02u}) {
        const std::uint32_t frames = flags == 0x02 ? 999 : 0;
        const TBytes first = Patched(kFrame128, 36, XingHeader("Xing", flags, frames, 50'000));
        const TBytes file = first + Repeated(kFrame128, 9);
        const TMPEGaudio mpeg = Loaded(file);
        EXPECT_TRUE(mpeg.VbrHeader().Found);
        EXPECT_EQ(mpeg.VbrHeader().Frames, 0) << flags;
        EXPECT_EQ(mpeg.BitRate(), 128);
        EXPECT_DOUBLE_EQ(mpeg.Duration(), file.size() * 8.0 / 128000);
    }
}

TEST(MPEGaudio, XingWithoutAByteCountTakesTheAudioSpan)
{
    const TBytes first = Patched(kFrame128, 36, XingHeader("Xing", 0x01, 10, 0));
    const TMPEGaudio mpeg = Loaded(first + Repeated(kFrame128, 9));
    EXPECT_EQ(mpeg.VbrHeader().Frames, 10);
    EXPECT_EQ(mpeg.BitRate(), 128);
}

TEST(MPEGaudio, VbriHeaderSitsThirtySixBytesIntoTheFrame)
{
    struct TCase {
        const char* name;
        TBytes frame;
    };
    // Neither frame has its side information end at 36.
    const TCase cases[] = {
        {"MPEG-1 mono", MpegFrame(kMpeg1Layer3, Rates(9, 0), kMono, 417)},
        {"MPEG-2 stereo", MpegFrame(kMpeg2Layer3, Rates(8, 2), kStereo, 288)},
    };
    for (const TCase& test : cases) {
        const TBytes first = Patched(test.frame, 36, VbriHeader(500, 123'456));
        const TMPEGaudio mpeg = Loaded(first + Repeated(test.frame, 2));
        EXPECT_EQ(mpeg.VbrHeader().Kind, "VBRI") << test.name;
        EXPECT_EQ(mpeg.VbrHeader().Frames, 500);
        EXPECT_EQ(mpeg.VbrHeader().Bytes, 123'456);
        EXPECT_EQ(mpeg.VbrHeader().Quality, 75);
        EXPECT_EQ(mpeg.VbrHeader().EncoderText, "");
    }
}

TEST(MPEGaudio, EncoderMarkIsFoundNearTheStartOrTheEnd)
{
    const TBytes stream = Repeated(kFrame128, 20);
    const TBytes nearStart = Patched(stream, 3458 - 8 - 100, Bytes("LAME3.99"));
    EXPECT_EQ(Loaded(nearStart + kTag).Encoder(), "LAME3.99");
    const TBytes gogo = Patched(stream, 3458 - 8 - 100, Bytes("GOGO-no-"));
    EXPECT_EQ(Loaded(gogo).Encoder(), "GOGO");
    const TBytes nearEnd = Patched(stream, stream.size() - 8 - 50, Bytes("LAME3.98"));
    EXPECT_EQ(Loaded(nearEnd + kTag).Encoder(), "LAME3.98");
    EXPECT_EQ(Loaded(stream).Encoder(), "");
}

TEST(MPEGaudio, FilesWithoutFramesFailWithEverythingCleared)
{
    TMPEGaudio mpeg;
    EXPECT_FALSE(LoadBytes(mpeg, Filled(10'000)));
    EXPECT_EQ(mpeg.FileLength(), 0);

    const TBytes tagged = ID3v2Tag(3, ID3v2Frame(3, "TIT2", ID3v2Text(0, Bytes("T")))) +
                          Bytes("Plain text, not audio. \xFF\xFB\x90") + kTag;
    EXPECT_FALSE(LoadBytes(mpeg, tagged));
    EXPECT_FALSE(mpeg.ID3v2().Exists());
    EXPECT_FALSE(mpeg.ID3v1().Exists());
    EXPECT_EQ(mpeg.BitRate(), 0);
    EXPECT_EQ(mpeg.Duration(), 0);
    EXPECT_EQ(mpeg.FrameHeader().VersionID, mvReserved);
    EXPECT_EQ(mpeg.FrameHeader().ModeID, 4);

    EXPECT_FALSE(mpeg.LoadFile("/nonexistent/file.mp3"));
    EXPECT_FALSE(LoadBytes(mpeg, Bytes("ID3")));
}

TEST(MPEGaudio, DamagedTagsDoNotHideTheStream)
{
    // An ID3v2 size past the end of the file: the search starts at 0.
    TBytes header = ID3v2Tag(3, {}, 0);
    header = Patched(header, 6, Synchsafe(100'000));
    const TMPEGaudio mpeg = Loaded(header + Repeated(kFrame128, 3));
    EXPECT_TRUE(mpeg.ID3v2().Exists());
    EXPECT_EQ(mpeg.AudioStart(), 10);
}

// Six gigabytes, all zeros but for the parts given.
class TSparseSource : public TByteSource {
public:
    TSparseSource(std::int64_t size, std::vector<std::pair<std::int64_t, TBytes>> parts)
        : size_(size), parts_(std::move(parts))
    {
    }
    std::int64_t Size() const override { return size_; }

protected:
    std::int64_t ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer) override
    {
        std::fill(buffer.begin(), buffer.end(), 0);
        const std::int64_t end = offset + static_cast<std::int64_t>(buffer.size());
        for (const auto& [start, bytes] : parts_) {
            for (std::int64_t at = std::max(start, offset);
                 at < std::min(end, start + static_cast<std::int64_t>(bytes.size())); ++at)
                buffer[static_cast<std::size_t>(at - offset)] = bytes[static_cast<std::size_t>(at - start)];
        }
        return static_cast<std::int64_t>(buffer.size());
    }

private:
    std::int64_t size_;
    std::vector<std::pair<std::int64_t, TBytes>> parts_;
};

TEST(MPEGaudio, PositionsAndSizesBeyondFourGigabytes)
{
    const std::int64_t size = std::int64_t{6} << 30;
    TSparseSource source(
        size, {{0, Repeated(kFrame128, 3)}, {size - 128, ID3v1Tag("Long", "", "", "", Filled(30), 0)}});
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.LoadFromSource(source));
    EXPECT_EQ(mpeg.FileLength(), size);
    EXPECT_EQ(mpeg.AudioEnd(), size - 128);
    EXPECT_EQ(mpeg.ID3v1().Title(), "Long");
    EXPECT_DOUBLE_EQ(mpeg.Duration(), (size - 128) * 8.0 / 128000);
}

// Counts what the reader takes from the source.
class TCountingSource : public TSparseSource {
public:
    using TSparseSource::TSparseSource;
    std::int64_t bytesRead = 0;

protected:
    std::int64_t ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer) override
    {
        bytesRead += static_cast<std::int64_t>(buffer.size());
        return TSparseSource::ReadAt(offset, buffer);
    }
};

TEST(MPEGaudio, TheFrameSearchEndsFourMebibytesAfterTheID3v2Tag)
{
    const std::int64_t size = std::int64_t{64} << 30;
    const TBytes tag = ID3v2Tag(3, ID3v2Frame(3, "TIT2", ID3v2Text(0, Bytes("T"))), 1000);
    struct TCase {
        std::int64_t frameAt;
        bool found;
    };
    for (const TCase c : {TCase{static_cast<std::int64_t>(tag.size()) + 4'000'000, true},
                          TCase{static_cast<std::int64_t>(tag.size()) + 4'300'000, false}}) {
        TCountingSource source(size, {{0, tag}, {c.frameAt, Repeated(kFrame128, 3)}});
        TMPEGaudio mpeg;
        EXPECT_EQ(mpeg.LoadFromSource(source), c.found) << c.frameAt;
        EXPECT_EQ(mpeg.AudioStart(), c.found ? c.frameAt : 0);
        EXPECT_LT(source.bytesRead, 2 * (4 << 20));  // the search windows overlap
    }
}

TEST(MPEGaudio, ASparseFileWithoutFramesIsReadAtOnceAndGivesEmptyValues)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("corvella_sparse_" + std::to_string(::getpid()) + ".mp3");
    const int descriptor = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600);
    ASSERT_GE(descriptor, 0);
    const bool sized = ::ftruncate(descriptor, std::int64_t{64} << 30) == 0;
    ::close(descriptor);
    ASSERT_TRUE(sized);
    TMPEGaudio mpeg;
    EXPECT_FALSE(mpeg.LoadFile(path.string()));
    std::filesystem::remove(path);
    EXPECT_EQ(mpeg.FileLength(), 0);
    EXPECT_EQ(mpeg.BitRate(), 0);
    EXPECT_EQ(mpeg.Duration(), 0);
}

}  // namespace
