// Reads every real audio file made by tools no one here wrote and compares
// with what ffprobe and mutagen said of it (tests/fixtures/make_audio.sh).
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "tags/MPEGaudio.h"

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

std::vector<std::string> FixtureNames()
{
    std::vector<std::string> names;
    for (const auto& [name, values] : AllExpected())
        names.push_back(name);
    return names;
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
    ASSERT_TRUE(mpeg.LoadFile(kFixtures + "/audio/" + GetParam()));

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
    ASSERT_TRUE(mpeg.LoadFile(kFixtures + "/audio/" + GetParam()));
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
    ASSERT_TRUE(mpeg.LoadFile(kFixtures + "/audio/" + GetParam()));
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

INSTANTIATE_TEST_SUITE_P(RealFiles, AudioFixture, testing::ValuesIn(FixtureNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                             std::string name = info.param;
                             for (char& character : name) {
                                 if (!std::isalnum(static_cast<unsigned char>(character)))
                                     character = '_';
                             }
                             return name;
                         });

}  // namespace
