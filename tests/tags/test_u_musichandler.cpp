#include "tags/u_musichandler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include <unistd.h>

#include "tests/support/tag_bytes.h"

namespace {

const std::string kFixtures = CORVELLA_FIXTURES;

std::string ClassName(const TFetcherClass* fetcherClass)
{
    return fetcherClass ? fetcherClass->Name : "none";
}

TEST(MusicHandler, RegistryInSortedOrder)
{
    const TMusicHandler handler;
    ASSERT_EQ(handler.Count(), 5);
    const std::pair<std::int32_t, const char*> cases[] = {
        {0, "M4A"}, {1, "M4P"}, {2, "MP3"}, {3, "OGG"}, {4, "WMA"}, {5, ""}, {-1, ""},
    };
    for (const auto& [index, extension] : cases)
        EXPECT_EQ(handler.GetExtension(index), extension) << index;
    EXPECT_EQ(handler.Mask(), "*.M4A;*.M4P;*.MP3;*.OGG;*.WMA;");
}

TEST(MusicHandler, AnExtensionWithoutAReaderGetsNone)
{
    TMusicHandler handler;
    EXPECT_EQ(ClassName(handler.GetFetcherClass("FLAC")), "none");
    EXPECT_EQ(ClassName(handler.LastFetcherClass()), "none");
    const std::pair<const char*, const char*> lookups[] = {
        {"mp3", "TMp3Fetcher"}, {"m4p", "TAacFetcher"}, {"M4a", "TAacFetcher"}, {"OGG", "TOggFetcher"},
        {"FLAC", "none"},       {"", "none"},           {"WMA", "TWmaFetcher"}, {".MP3", "none"},
    };
    for (const auto& [extension, name] : lookups)
        EXPECT_EQ(ClassName(handler.GetFetcherClass(extension)), name) << extension;
    EXPECT_EQ(ClassName(handler.LastFetcherClass()), "TWmaFetcher");
}

TEST(MusicHandler, SetMaskKeepsOrderCaseAndEmptyEntries)
{
    const std::pair<const char*, const char*> cases[] = {
        {"MP3;WMA", "*.MP3;*.WMA;"},
        {"*.ogg", "*.ogg;"},
        {"MP3;;OGG", "*.MP3;*.;*.OGG;"},
        {"MP3;", "*.MP3;"},
        {"OGG;MP3;M4A", "*.OGG;*.MP3;*.M4A;"},
        {"", "*.M4A;*.M4P;*.MP3;*.OGG;*.WMA;"},
    };
    TMusicHandler handler;
    for (const auto& [list, mask] : cases) {
        handler.SetMask(list);
        EXPECT_EQ(handler.Mask(), mask) << list;
    }
}

TEST(MusicHandler, FilesMatchTheMaskWithoutRegardToCase)
{
    TMusicHandler handler;
    handler.SetMask("MP3;wma");
    const std::pair<const char*, bool> cases[] = {
        {"song.mp3", true},  {"Song.Mp3", true},   {"song.WMA", true},    {"song.ogg", false},
        {"mp3", false},      {"song.mp3.txt", false}, {"a.b.mp3", true}, {"song.mp", false},
    };
    for (const auto& [name, matches] : cases)
        EXPECT_EQ(handler.MatchesMask(name), matches) << name;
    handler.SetMask("");
    EXPECT_TRUE(handler.MatchesMask("tune.m4p"));
}

TEST(MusicHandler, ExtensionRankIsThePositionInTheMask)
{
    TMusicHandler handler;
    handler.SetMask("MP3;M4A;M4P;WMA;OGG");
    const std::pair<const char*, std::int32_t> cases[] = {
        {"MP3", 3}, {"M4A", 9}, {"m4p", 15}, {"WMA", 21}, {"ogg", 27},
        {"MP", 0},  {"P3", 0},  {"FLAC", 0}, {"", 0},
    };
    for (const auto& [extension, rank] : cases)
        EXPECT_EQ(handler.ExtensionRank(extension), rank) << extension;
}

TEST(MusicHandler, MaskChangesWhileAnotherThreadReadsIt)
{
    TMusicHandler handler;
    std::thread scan([&handler] {
        for (int i = 0; i < 2000; ++i)
            handler.SetMask(i % 2 ? "MP3" : "OGG;WMA");
    });
    for (int i = 0; i < 2000; ++i) {
        const std::string mask = handler.Mask();
        EXPECT_TRUE(mask == "*.MP3;" || mask == "*.OGG;*.WMA;" || mask == "*.M4A;*.M4P;*.MP3;*.OGG;*.WMA;")
            << mask;
        handler.MatchesMask("song.mp3");
        handler.GetFetcherClass(i % 2 ? "MP3" : "OGG");
    }
    scan.join();
}

class MusicHandlerFiles : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("corvella_handler_" + std::to_string(::getpid()) + "_" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Write(const std::string& name, const TBytes& bytes)
    {
        const std::filesystem::path path = folder_ / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                    static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }

    // The first bytes of a fixture, as a download cut short leaves it.
    std::string Truncated(const std::string& fixture, std::size_t length)
    {
        std::ifstream in(kFixtures + "/audio/" + fixture, std::ios::binary);
        TBytes bytes(length);
        in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
        return Write("cut_" + fixture, bytes);
    }

    std::filesystem::path folder_;
    TMusicHandler handler_;
};

void ExpectNothing(TInfoFetcher& info, const std::string& what)
{
    EXPECT_EQ(info.Title(), "") << what;
    EXPECT_EQ(info.Artist(), "") << what;
    EXPECT_EQ(info.Album(), "") << what;
    EXPECT_EQ(info.Comment(), "") << what;
    EXPECT_EQ(info.Genre(), "") << what;
    EXPECT_EQ(info.Duration(), 0) << what;
    EXPECT_EQ(info.Bitrate(), 0) << what;
}

TEST_F(MusicHandlerFiles, UnreadableFilesGiveEmptyValuesNotErrors)
{
    for (const char* name : {"gone.mp3", "gone.wma", "gone.ogg", "gone.m4a", "gone.m4p", "gone.flac"}) {
        const std::unique_ptr<TInfoFetcher> info = handler_.CreateFetcher((folder_ / name).string());
        ExpectNothing(*info, name);
        EXPECT_EQ(info->SizeKB(), 0);
    }
    for (const auto& [fixture, length] : std::vector<std::pair<std::string, std::size_t>>{
             {"vorbis_stereo_44k_long_comment.ogg", 40},
             {"aac_mono_22k_faststart.m4a", 40},
             {"wmav2_stereo_44k_mutagen.wma", 300}}) {
        const std::unique_ptr<TInfoFetcher> info = handler_.CreateFetcher(Truncated(fixture, length));
        ExpectNothing(*info, fixture);
    }
}

TEST_F(MusicHandlerFiles, AnExtensionWithoutAReaderIsNotReadAsTheLastOne)
{
    const std::string fixture = kFixtures + "/audio/vorbis_mono_22k_ffmpeg.ogg";
    EXPECT_EQ(handler_.CreateFetcher(fixture)->Title(), "Ffmpeg Vorbis");
    const std::string renamed = (folder_ / "same.flac").string();
    std::filesystem::copy_file(fixture, renamed);
    const std::unique_ptr<TInfoFetcher> info = handler_.CreateFetcher(renamed);
    ExpectNothing(*info, renamed);
    EXPECT_EQ(info->SizeKB(), 0);
    EXPECT_EQ(info->FileName(), renamed);
}

TEST_F(MusicHandlerFiles, Mp3TextsComeFromID3v2WhenItExistsEvenEmpty)
{
    const TBytes frames = Repeated(MpegFrame(0xFB, 0x90, 0x00, 417), 4);
    const TBytes v1 = ID3v1Tag("V1 title", "V1 artist", "", "", Filled(30), 8);
    const TBytes emptyTitle = ID3v2Tag(3, ID3v2Frame(3, "TIT2", ID3v2Text(0, {})) +
                                              ID3v2Frame(3, "TPE1", ID3v2Text(0, Bytes("V2 artist"))));
    struct TCase {
        const char* name;
        TBytes file;
        std::string title;
        std::string artist;
        std::string genre;
    };
    const TCase cases[] = {
        {"both.mp3", emptyTitle + frames + v1, "", "V2 artist", ""},
        {"v1.mp3", frames + v1, "V1 title", "V1 artist", "Jazz"},
        {"none.mp3", frames, "", "", ""},
    };
    for (const TCase& test : cases) {
        const std::unique_ptr<TInfoFetcher> info = handler_.CreateFetcher(Write(test.name, test.file));
        EXPECT_EQ(info->Title(), test.title) << test.name;
        EXPECT_EQ(info->Artist(), test.artist) << test.name;
        EXPECT_EQ(info->Genre(), test.genre) << test.name;
        EXPECT_EQ(info->Bitrate(), 128) << test.name;
    }
}

TEST_F(MusicHandlerFiles, SizesInKilobytesAndDurationsInWholeSeconds)
{
    // 5,000,000 bytes of 128 kbit/s frames: 312.5 s.
    TBytes mp3 = Repeated(MpegFrame(0xFB, 0x90, 0x00, 417), 4);
    mp3.resize(5'000'000, 0);
    const std::unique_ptr<TInfoFetcher> info = handler_.CreateFetcher(Write("long.mp3", mp3));
    EXPECT_EQ(info->SizeKB(), 4882);
    EXPECT_EQ(info->Duration(), 312);

    // A WMA file of 215,900 bytes at 1,000 bytes a second lasts 215.9 s.
    const TBytes wma = AsfFile({AsfFileProperties(8000), AsfStreamProperties(1, 8000, 1000)}, 215'900);
    const std::unique_ptr<TInfoFetcher> wmaInfo = handler_.CreateFetcher(Write("long.wma", wma));
    EXPECT_EQ(wmaInfo->Duration(), 215);
    EXPECT_EQ(wmaInfo->Bitrate(), 8);
    EXPECT_EQ(wmaInfo->SizeKB(), 210);
}

TEST(MusicHandler, OneGlobalHandler)
{
    EXPECT_EQ(&MusicHandler(), &MusicHandler());
    EXPECT_EQ(MusicHandler().Count(), 5);
}

}  // namespace
