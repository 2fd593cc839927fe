// Reads every real audio file made by tools no one here wrote and compares
// with what ffprobe and mutagen said of it (tests/fixtures/make_audio.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "base/u_bwfunc.h"
#include "tags/MPEGaudio.h"
#include "tags/OggVorbis.h"
#include "tags/TagText.h"
#include "tags/WMAfile.h"
#include "tags/u_mp4file.h"
#include "tags/u_musichandler.h"

namespace {

const std::string kFixtures = CORVELLA_FIXTURES;

using TExpected = std::map<std::string, std::string>;

std::string Unescaped(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result.push_back(text[i]);
            continue;
        }
        const char next = text[++i];
        result.push_back(next == 't' ? '\t' : next == 'n' ? '\n' : next);
    }
    return result;
}

// file name -> key -> value, from lines "file<TAB>key<TAB>value".
const std::map<std::string, TExpected>& AllExpected()
{
    static const std::map<std::string, TExpected> all = [] {
        std::map<std::string, TExpected> result;
        std::ifstream in(kFixtures + "/audio_expected.tsv");
        std::string line;
        while (std::getline(in, line)) {
            const std::size_t first = line.find('\t');
            const std::size_t second = line.find('\t', first + 1);
            if (first == std::string::npos || second == std::string::npos)
                continue;
            result[line.substr(0, first)][line.substr(first + 1, second - first - 1)] =
                Unescaped(line.substr(second + 1));
        }
        return result;
    }();
    return all;
}

// The fixtures with one of the extensions, or all of them.
std::vector<std::string> FixtureNames(const std::vector<std::string>& extensions = {})
{
    std::vector<std::string> names;
    for (const auto& [name, values] : AllExpected()) {
        const std::string extension = std::filesystem::path(name).extension().string();
        if (extensions.empty() || std::find(extensions.begin(), extensions.end(), extension) != extensions.end())
            names.push_back(name);
    }
    return names;
}

std::string PathOf(const std::string& name)
{
    return kFixtures + "/audio/" + name;
}

std::string ParamName(const testing::TestParamInfo<std::string>& info)
{
    std::string name = info.param;
    for (char& character : name) {
        if (!std::isalnum(static_cast<unsigned char>(character)))
            character = '_';
    }
    return name;
}

double Number(const TExpected& expected, const std::string& key)
{
    return std::stod(expected.at(key));
}

// Samples per frame of the stream, from the version and layer the tools saw.
double SamplesPerFrame(const TExpected& expected)
{
    const double layer = Number(expected, "mutagen.layer");
    if (layer == 1)
        return 384;
    return layer == 3 && Number(expected, "mutagen.version") != 1 ? 576 : 1152;
}

class AudioFixture : public testing::TestWithParam<std::string> {};
class WmaFixture : public testing::TestWithParam<std::string> {};
class OggFixture : public testing::TestWithParam<std::string> {};
class Mp4Fixture : public testing::TestWithParam<std::string> {};
class HandlerFixture : public testing::TestWithParam<std::string> {};

TEST(AudioFixtures, EveryFileInTheFolderHasExpectedValues)
{
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kFixtures + "/audio")) {
        EXPECT_TRUE(AllExpected().contains(entry.path().filename().string())) << entry.path();
        ++files;
    }
    EXPECT_EQ(files, AllExpected().size());
    EXPECT_GE(files, 10u);
}

TEST_P(AudioFixture, StreamMatchesWhatTheToolsMeasured)
{
    const TExpected& expected = AllExpected().at(GetParam());
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.LoadFile(PathOf(GetParam())));

    EXPECT_EQ(mpeg.SampleRate(), Number(expected, "ffprobe.sample_rate"));
    EXPECT_EQ(mpeg.FrameHeader().ModeID == mmMono, Number(expected, "ffprobe.channels") == 1);
    EXPECT_EQ(4 - mpeg.FrameHeader().LayerID, Number(expected, "mutagen.layer"));
    const double version = Number(expected, "mutagen.version");
    const std::uint8_t versionID = version == 1 ? mvMpeg1 : version == 2 ? mvMpeg2 : mvMpeg25;
    EXPECT_EQ(mpeg.FrameHeader().VersionID, versionID);
    EXPECT_EQ(mpeg.FileLength(), std::filesystem::file_size(kFixtures + "/audio/" + GetParam()));

    // The tools count the frames they decode; a VBR header's count may
    // include its own frame, and a size-derived count is off by a fraction.
    const double frameSeconds = SamplesPerFrame(expected) / mpeg.SampleRate();
    const double decoded = Number(expected, "ffprobe.frames") * frameSeconds;
    EXPECT_NEAR(mpeg.Duration(), decoded, frameSeconds + 1e-9);

    // Bytes over frames may count the header frame among the bytes only.
    const double kbits = Number(expected, "ffprobe.bit_rate") / 1000;
    const double frames = static_cast<double>(mpeg.VbrHeader().Frames);
    const double slack = mpeg.VbrHeader().Found ? 1 + kbits / frames : 0;
    EXPECT_NEAR(mpeg.BitRate(), kbits, slack);
}

TEST_P(AudioFixture, ID3v2TextsMatchMutagen)
{
    const TExpected& expected = AllExpected().at(GetParam());
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.LoadFile(PathOf(GetParam())));
    const TID3v2& tag = mpeg.ID3v2();
    const double version = Number(expected, "id3v2.version");
    ASSERT_EQ(tag.Exists(), version != 0);
    if (!tag.Exists())
        return;
    EXPECT_EQ(tag.VersionID(), version);
    EXPECT_EQ(tag.Title(), expected.at("id3v2.title"));
    EXPECT_EQ(tag.Artist(), expected.at("id3v2.artist"));
    EXPECT_EQ(tag.Album(), expected.at("id3v2.album"));
    EXPECT_EQ(tag.TrackText(), expected.at("id3v2.track"));
    EXPECT_EQ(tag.Track(), std::atoi(expected.at("id3v2.track").c_str()));
    EXPECT_EQ(tag.Year(), expected.at("id3v2.year"));
    EXPECT_EQ(tag.Genre(), expected.at("id3v2.genre"));
    EXPECT_EQ(tag.Comment(), expected.at("id3v2.comment"));
    EXPECT_EQ(tag.Composer(), expected.at("id3v2.composer"));
}

TEST_P(AudioFixture, ID3v1TextsMatchMutagen)
{
    const TExpected& expected = AllExpected().at(GetParam());
    TMPEGaudio mpeg;
    ASSERT_TRUE(mpeg.LoadFile(PathOf(GetParam())));
    const TID3v1& tag = mpeg.ID3v1();
    ASSERT_EQ(tag.Exists(), expected.at("id3v1.present") == "1");
    if (!tag.Exists())
        return;
    EXPECT_EQ(tag.Title(), expected.at("id3v1.title"));
    EXPECT_EQ(tag.Artist(), expected.at("id3v1.artist"));
    EXPECT_EQ(tag.Album(), expected.at("id3v1.album"));
    EXPECT_EQ(tag.Year(), expected.at("id3v1.year"));
    EXPECT_EQ(tag.Comment(), expected.at("id3v1.comment"));
    EXPECT_EQ(tag.Track(), Number(expected, "id3v1.track"));
    EXPECT_EQ(tag.Genre(), expected.at("id3v1.genre"));
    EXPECT_EQ(mpeg.AudioEnd(), mpeg.FileLength() - 128);
}

// The texts a reader keeps: at most this many characters, trimmed.
std::string Kept(const std::string& text, std::int64_t characters)
{
    std::string kept;
    std::int64_t count = 0;
    for (const char character : text) {
        const bool starts = (static_cast<unsigned char>(character) & 0xC0) != 0x80;
        if (starts && ++count > characters)
            break;
        kept.push_back(character);
    }
    return TrimBlanksAndControls(kept);
}

TEST_P(WmaFixture, HeaderMatchesWhatTheToolsSaw)
{
    const TExpected& expected = AllExpected().at(GetParam());
    TWMAfile wma;
    ASSERT_TRUE(wma.LoadFile(PathOf(GetParam())));
    ASSERT_TRUE(wma.Valid());
    EXPECT_EQ(wma.Channels(), Number(expected, "ffprobe.channels"));
    EXPECT_EQ(wma.SampleRate(), Number(expected, "ffprobe.sample_rate"));
    EXPECT_EQ(wma.BitRate(), Number(expected, "ffprobe.bit_rate") / 1000);
    EXPECT_NEAR(wma.Duration(), Number(expected, "mutagen.length"), 1e-6);
    EXPECT_EQ(wma.Title(), Kept(expected.at("tag.title"), 250));
    EXPECT_EQ(wma.Artist(), expected.at("tag.artist"));
    EXPECT_EQ(wma.Album(), expected.at("tag.album"));
    EXPECT_EQ(wma.Comment(), expected.at("tag.comment"));
    EXPECT_EQ(wma.Genre(), expected.at("tag.genre"));
    EXPECT_EQ(wma.Year(), expected.at("tag.year"));
    EXPECT_EQ(wma.Track(), Number(expected, "tag.track"));
}

TEST_P(OggFixture, HeadersMatchWhatTheToolsSaw)
{
    const TExpected& expected = AllExpected().at(GetParam());
    TOggVorbis ogg;
    ASSERT_TRUE(ogg.LoadFile(PathOf(GetParam())));
    EXPECT_EQ(ogg.Channels(), Number(expected, "ffprobe.channels"));
    EXPECT_EQ(ogg.SampleRate(), Number(expected, "ffprobe.sample_rate"));
    EXPECT_EQ(ogg.NominalBitRate(), Number(expected, "mutagen.bitrate") / 1000);
    EXPECT_DOUBLE_EQ(ogg.Duration(), Number(expected, "mutagen.length"));
    EXPECT_EQ(ogg.Title(), expected.at("tag.title"));
    EXPECT_EQ(ogg.Artist(), expected.at("tag.artist"));
    EXPECT_EQ(ogg.Album(), expected.at("tag.album"));
    EXPECT_EQ(ogg.Comment(), expected.at("tag.comment"));
    EXPECT_EQ(ogg.Genre(), expected.at("tag.genre"));
    EXPECT_EQ(ogg.Date(), expected.at("tag.year"));
    EXPECT_EQ(ogg.Track(), Number(expected, "tag.track"));
    EXPECT_EQ(ogg.Vendor(), expected.at("vorbis.vendor"));
}

TEST_P(Mp4Fixture, AtomsMatchWhatTheToolsSaw)
{
    const TExpected& expected = AllExpected().at(GetParam());
    TMp4File mp4;
    ASSERT_TRUE(mp4.LoadFile(PathOf(GetParam())));
    EXPECT_EQ(mp4.Title(), expected.at("tag.title"));
    EXPECT_EQ(mp4.Artist(), expected.at("tag.artist"));
    EXPECT_EQ(mp4.Album(), expected.at("tag.album"));
    EXPECT_EQ(mp4.Comment(), expected.at("tag.comment"));
    EXPECT_EQ(mp4.Genre(), expected.at("tag.genre"));
    EXPECT_EQ(mp4.Duration(), std::trunc(Number(expected, "mutagen.length")));
    // The decoder configuration's average, as the muxer measured it.
    EXPECT_NEAR(mp4.Bitrate(), Number(expected, "mutagen.bitrate") / 1000, 1);
}

// What the tools say the handler should answer: for MP3 the ID3v2 tag's
// texts when there is one, else the ID3v1 tag's.
std::string ExpectedText(const TExpected& expected, const std::string& field)
{
    if (expected.contains("tag." + field))
        return expected.at("tag." + field);
    if (Number(expected, "id3v2.version") != 0)
        return expected.at("id3v2." + field);
    return expected.at("id3v1.present") == "1" ? expected.at("id3v1." + field) : "";
}

TEST_P(HandlerFixture, EveryFormatAnswersInTheProgramsUnits)
{
    const TExpected& expected = AllExpected().at(GetParam());
    TMusicHandler handler;
    const std::unique_ptr<TInfoFetcher> info = handler.CreateFetcher(PathOf(GetParam()));
    const std::string extension = ExtensionUpper(GetParam());
    if (!handler.GetFetcherClass(extension)) {
        // No reader for the extension: nothing at all, not another format's values.
        EXPECT_EQ(info->Title(), "");
        EXPECT_EQ(info->SizeKB(), 0);
        EXPECT_EQ(info->Duration(), 0);
        EXPECT_EQ(info->Bitrate(), 0);
        return;
    }
    const auto bytes = static_cast<double>(std::filesystem::file_size(PathOf(GetParam())));
    const double seconds = Number(expected, "ffprobe.duration");
    EXPECT_EQ(info->SizeKB(), static_cast<std::int32_t>(bytes / 1024));
    EXPECT_EQ(info->Title(), Kept(ExpectedText(expected, "title"), 250));
    EXPECT_EQ(info->Artist(), ExpectedText(expected, "artist"));
    EXPECT_EQ(info->Album(), ExpectedText(expected, "album"));
    EXPECT_EQ(info->Comment(), ExpectedText(expected, "comment"));
    EXPECT_EQ(info->Genre(), ExpectedText(expected, "genre"));
    if (extension == "MP3") {
        // The stream's own checks against the tools are above; here only
        // the units the handler gives them in.
        TMPEGaudio mpeg;
        mpeg.LoadFile(PathOf(GetParam()));
        EXPECT_EQ(info->Duration(), std::trunc(mpeg.Duration()));
        EXPECT_EQ(info->Bitrate(), mpeg.BitRate());
        return;
    }
    EXPECT_NEAR(info->Duration(), seconds, 1);
    if (extension == "OGG") {
        // The average over the whole file, headers and comments included.
        EXPECT_NEAR(info->Bitrate(), bytes / seconds / 125, 1);
    } else {
        EXPECT_NEAR(info->Bitrate(), Number(expected, "ffprobe.bit_rate") / 1000, 1);
    }
}

// A scan by content reads a short file whole for its digest and its headers
// from those bytes: they answer as the file read from disk does.
TEST_P(HandlerFixture, TheBytesOfAFileAnswerAsTheFile)
{
    const std::string path = PathOf(GetParam());
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    TMemorySource bytes{TBinaryView(content)};
    TMusicHandler handler;
    const std::unique_ptr<TInfoFetcher> fromDisk = handler.CreateFetcher(path);
    const std::unique_ptr<TInfoFetcher> fromBytes = handler.CreateFetcher(path, bytes);
    EXPECT_EQ(fromBytes->SizeKB(), fromDisk->SizeKB());
    EXPECT_EQ(fromBytes->Duration(), fromDisk->Duration());
    EXPECT_EQ(fromBytes->Bitrate(), fromDisk->Bitrate());
    EXPECT_EQ(fromBytes->Title(), fromDisk->Title());
    EXPECT_EQ(fromBytes->Artist(), fromDisk->Artist());
    EXPECT_EQ(fromBytes->Album(), fromDisk->Album());
    EXPECT_EQ(fromBytes->Comment(), fromDisk->Comment());
    EXPECT_EQ(fromBytes->Genre(), fromDisk->Genre());
}

INSTANTIATE_TEST_SUITE_P(RealFiles, AudioFixture, testing::ValuesIn(FixtureNames({".mp3", ".mp2"})), ParamName);
INSTANTIATE_TEST_SUITE_P(RealFiles, WmaFixture, testing::ValuesIn(FixtureNames({".wma"})), ParamName);
INSTANTIATE_TEST_SUITE_P(RealFiles, OggFixture, testing::ValuesIn(FixtureNames({".ogg"})), ParamName);
INSTANTIATE_TEST_SUITE_P(RealFiles, Mp4Fixture, testing::ValuesIn(FixtureNames({".m4a"})), ParamName);
INSTANTIATE_TEST_SUITE_P(RealFiles, HandlerFixture, testing::ValuesIn(FixtureNames()), ParamName);

}  // namespace
