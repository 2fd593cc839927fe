#include "model/u_bwfsmp3.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tags/u_musichandler.h"
#include "tests/support/temp_tree.h"
#include "tests/model/fake_model.h"

namespace {

using Names = std::vector<std::string>;

// An audio folder on disk, with the handler's mask put back to every
// registered extension before and after.
class AudioFolder : public ::testing::Test {
protected:
    AudioFolder() { MusicHandler().SetMask(""); }
    ~AudioFolder() override { MusicHandler().SetMask(""); }

    TBWDirMp3& Open(const std::string& relative)
    {
        dir.SetName(tree.Path(relative));
        return dir;
    }
    TBWMp3File* Entry(const std::string& name)
    {
        return dynamic_cast<TBWMp3File*>(dir.Files()->FindByName(name));
    }

    TTempTree tree;
    TBWDirMp3 dir;
};

// Counts its change signals; stands alone, without a list.
class TCountingMp3File : public TBWMp3File {
public:
    using TBWMp3File::TBWMp3File;
    void Changed() override { ++changes; }
    int changes = 0;
};

}  // namespace

TEST_F(AudioFolder, EntriesReadTheirTagsAndStreamThroughTheMusicHandler)
{
    struct Case {
        const char* fixture;
        const char* name;  // as the file lies in the folder
        const char *title, *artist, *album, *genre, *comment;
        std::int32_t duration, sizeKB;
    };
    const Case cases[] = {
        {"cbr128_stereo_44k_id3v23.mp3", "a.mp3", "Crème brûlée", "Les Gourmets", "Desserts", "Rock", "Sweet",
         2, 34},
        {"cbr320_stereo_32k.mp3", "b.mp3", "", "", "", "", "", 1, 42},
        {"cbr32_mono_22k_both.mp3", "c.MP3", "Deux étés", "Both Ways", "Côté à côté", "Pop", "v1 and v2", 2, 10},
        {"cbr8_mono_8k_id3v1.mp3", "d.mp3", "Tiny bitrate", "Low Band", "Whispers", "Jazz", "Only an ID3v1 tag",
         3, 3},
        {"ffmpeg_cbr24_mono_22k_id3v23.mp3", "e.Mp3", "Ελληνικά", "Plain Artist", "Ünïcode", "", "", 2, 6},
        {"aac_mono_22k_faststart.m4a", "f.m4a", "Mutagen Ääc", "Früh Artist", "Faststart", "Blues",
         "moov before mdat", 2, 14},
        {"vorbis_mono_22k_ffmpeg.ogg", "g.OGG", "Ffmpeg Vorbis", "Xiph Players", "Pages", "Folk",
         "Written by ffmpeg", 2, 14},
        {"wmav2_mono_22k_ffmpeg.wma", "h.wma", "Ffmpeg WMA", "Muxer Band", "ASF Tags", "Ambient", "", 2, 10},
    };
    for (const Case& c : cases)
        tree.CopyFixture(c.fixture, std::string("music/") + c.name);
    Open("music");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        TBWMp3File* file = Entry(c.name);
        ASSERT_NE(file, nullptr);
        EXPECT_EQ(file->Title(), c.title);
        EXPECT_EQ(file->Artist(), c.artist);
        EXPECT_EQ(file->Album(), c.album);
        EXPECT_EQ(file->Genre(), c.genre);
        EXPECT_EQ(file->Comment(), c.comment);
        // The reader's own figure: for frames with an Info header it is
        // the average over the file, not the frames' nominal rate.
        EXPECT_EQ(file->Bitrate(), MusicHandler().CreateFetcher(file->FullPath())->Bitrate());
        EXPECT_GT(file->Bitrate(), 0);
        EXPECT_EQ(file->Duration(), c.duration);
        // Kilobytes, and no file times for audio entries.
        EXPECT_EQ(file->Size(), c.sizeKB);
        EXPECT_EQ(file->KeyInt(fkModified), 0);
        EXPECT_EQ(file->Created(), 0);
    }
}

TEST_F(AudioFolder, KeysAndSortSetsOfTheAudioValues)
{
    tree.CopyFixture("cbr8_mono_8k_id3v1.mp3", "music/a.mp3");
    tree.CopyFixture("cbr128_stereo_44k_id3v23.mp3", "music/b.mp3");
    tree.CopyFixture("cbr320_stereo_32k.mp3", "music/c.mp3");
    Open("music");
    TBWMp3File* a = Entry("a.mp3");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->KeyInt(fkBitrate), 8);
    EXPECT_EQ(a->KeyInt(fkDuration), 3);
    EXPECT_EQ(a->KeyText(fkTitle), "Tiny bitrate");
    EXPECT_EQ(a->KeyText(fkArtist), "Low Band");
    EXPECT_EQ(a->KeyText(fkAlbum), "Whispers");
    EXPECT_EQ(a->KeyText(fkComment), "Only an ID3v1 tag");
    EXPECT_EQ(a->KeyText(fkGenre), "Jazz");
    EXPECT_EQ(a->KeyKind(fkTitle), kkTextNoCase);
    EXPECT_EQ(a->KeyKind(fkDuration), kkInteger);
    EXPECT_EQ(a->KeyKind(fkName), kkTextNoCase);

    struct Case {
        TBWKey set;
        Names order;
    };
    // c has no tags: empty texts sort first.
    const Case cases[] = {
        {fkBitrate, {"a.mp3", "b.mp3", "c.mp3"}},  {fkDuration, {"c.mp3", "b.mp3", "a.mp3"}},
        {fkTitle, {"c.mp3", "b.mp3", "a.mp3"}},    {fkArtist, {"c.mp3", "b.mp3", "a.mp3"}},
        {fkAlbum, {"c.mp3", "b.mp3", "a.mp3"}},    {fkComment, {"c.mp3", "a.mp3", "b.mp3"}},
        {fkGenre, {"c.mp3", "a.mp3", "b.mp3"}},
    };
    for (const Case& c : cases) {
        dir.Files()->Items()->SetActiveKeys(c.set);
        EXPECT_EQ(NamesIn(*dir.Files()->Items()), c.order) << "set " << c.set;
    }
}

TEST_F(AudioFolder, EachKindIsReadOnceAndOnlyWhenAskedFor)
{
    tree.CopyFixture("cbr8_mono_8k_id3v1.mp3", "music/a.mp3");
    Open("music");
    TBWMp3File* a = Entry("a.mp3");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->Title(), "Tiny bitrate");
    EXPECT_TRUE(a->LoadedInfo().test(ikTags));
    EXPECT_FALSE(a->LoadedInfo().test(ikBasic));
    EXPECT_FALSE(a->LoadedInfo().test(ikDigest));
    EXPECT_EQ(a->Bitrate(), 8);
    // Read once: the file replaced on disk is not read again.
    tree.CopyFixture("cbr128_stereo_44k_id3v23.mp3", "music/a.mp3");
    EXPECT_EQ(a->Title(), "Tiny bitrate");
    EXPECT_EQ(a->Duration(), 3);
}

TEST_F(AudioFolder, ListsTheFilesOfTheHandlersMaskOnce)
{
    tree.CopyFixture("cbr8_mono_8k_id3v1.mp3", "music/quiet.mp3");
    tree.CopyFixture("cbr8_mono_8k_id3v1.mp3", "music/LOUD.MP3");
    tree.CopyFixture("cbr8_mono_8k_id3v1.mp3", "music/.hidden.mp3");
    tree.CopyFixture("layer2_stereo_48k.mp2", "music/broadcast.mp2");
    tree.WriteFile("music/notes.txt", "n");
    tree.WriteFile("music/tune.ogg", "o");
    tree.MakeFifo("music/x.mp3");
    tree.MakeFolder("music/b");
    tree.MakeFolder("music/A");
    tree.MakeFolder("music/c");

    struct Case {
        const char* extensions;
        Names files;
    };
    const Case cases[] = {
        {"", {"LOUD.MP3", "quiet.mp3", "tune.ogg"}},
        {"mp3;MP3;Mp3", {"LOUD.MP3", "quiet.mp3"}},
        {"OGG;MP3", {"tune.ogg", "LOUD.MP3", "quiet.mp3"}},
        {"wma", {}},
    };
    for (const Case& c : cases) {
        MusicHandler().SetMask(c.extensions);
        TBWDirMp3 music;
        music.SetName(tree.Path("music"));
        EXPECT_EQ(FileNames(music), c.files) << c.extensions;
    }
    // Subdirectories in the order of their captions without regard to case.
    EXPECT_EQ(SubDirNames(Open("music")), (Names{"A", "b", "c"}));
    dir.AddSubDir("Ab");
    EXPECT_EQ(SubDirNames(dir), (Names{"A", "Ab", "b", "c"}));
    EXPECT_STREQ(dir.FirstDir()->ClassName(), "TBWDirMp3");
}

TEST_F(AudioFolder, AFileThatCannotBeReadGivesEmptyValues)
{
    tree.WriteFile("music/noise.mp3", std::string(5000, '\x55'));
    tree.CopyFixture("cbr8_mono_8k_id3v1.mp3", "music/gone.mp3");
    Open("music");
    TBWMp3File* noise = Entry("noise.mp3");
    TBWMp3File* gone = Entry("gone.mp3");
    ASSERT_NE(noise, nullptr);
    ASSERT_NE(gone, nullptr);
    std::filesystem::remove(tree.Path("music/gone.mp3"));

    EXPECT_EQ(noise->Title(), "");
    EXPECT_EQ(noise->Bitrate(), 0);
    EXPECT_EQ(gone->Title(), "");
    EXPECT_EQ(gone->Duration(), 0);
    EXPECT_EQ(gone->Size(), 0);
    EXPECT_TRUE(gone->LoadedInfo().test(ikBasic) && gone->LoadedInfo().test(ikTags));

    // An entry of a FIFO is never opened, whoever made the entry.
    tree.MakeFifo("music/pipe.mp3");
    auto* pipe = dynamic_cast<TBWMp3File*>(dir.Files()->AddFile("pipe.mp3"));
    ASSERT_NE(pipe, nullptr);
    EXPECT_EQ(pipe->Title(), "");
    EXPECT_EQ(pipe->Size(), 0);
}

TEST(Mp3Entry, TagsAreStoredTrimmedAndAChangeIsSignalledWhenTheTextAsGivenDiffers)
{
    struct Case {
        const char* stored;
        const char* given;
        const char* result;
        int changes;
    };
    const Case cases[] = {
        {"Song", "Song", "Song", 0},
        {"Song", "  Song ", "Song", 1},
        {"Song", "song", "song", 1},
        {"", "\tNew\n", "New", 1},
        {"Old", "", "", 1},
    };
    using Setter = void (TBWMp3File::*)(const std::string&);
    using Getter = const std::string& (TBWMp3File::*)();
    const std::pair<Setter, Getter> tags[] = {
        {&TBWMp3File::SetTitle, &TBWMp3File::Title},     {&TBWMp3File::SetArtist, &TBWMp3File::Artist},
        {&TBWMp3File::SetAlbum, &TBWMp3File::Album},     {&TBWMp3File::SetComment, &TBWMp3File::Comment},
        {&TBWMp3File::SetGenre, &TBWMp3File::Genre},
    };
    for (const auto& [set, get] : tags) {
        for (const Case& c : cases) {
            TCountingMp3File file;
            // Marked loaded, so the getters read nothing.
            file.SetLoadedInfo(TBWInfoKinds().set());
            (file.*set)(c.stored);
            file.changes = 0;
            (file.*set)(c.given);
            EXPECT_EQ((file.*get)(), c.result) << "'" << c.given << "'";
            EXPECT_EQ(file.changes, c.changes) << "'" << c.given << "'";
        }
    }
    TCountingMp3File file;
    file.SetLoadedInfo(TBWInfoKinds().set());
    file.SetBitrate(128);
    file.SetBitrate(128);
    file.SetDuration(200);
    EXPECT_EQ(file.changes, 2);
}

TEST_F(AudioFolder, AnAssignedEntryCarriesEverythingAndNeverReadsTheDisk)
{
    tree.CopyFixture("cbr128_stereo_44k_id3v23.mp3", "music/song.mp3");
    Open("music");
    TBWMp3File* source = Entry("song.mp3");
    ASSERT_NE(source, nullptr);

    TCountingMp3File copy;
    copy.Assign(*source);
    // The source read all three kinds to be copied.
    EXPECT_TRUE(source->LoadedInfo().test(ikBasic) && source->LoadedInfo().test(ikDigest) &&
                source->LoadedInfo().test(ikTags));
    std::filesystem::remove(tree.Path("music/song.mp3"));
    EXPECT_EQ(copy.Name(), "song.mp3");
    EXPECT_EQ(copy.Title(), "Crème brûlée");
    EXPECT_EQ(copy.Artist(), "Les Gourmets");
    EXPECT_EQ(copy.Album(), "Desserts");
    EXPECT_EQ(copy.Comment(), "Sweet");
    EXPECT_EQ(copy.Genre(), "Rock");
    EXPECT_EQ(copy.Bitrate(), source->Bitrate());
    EXPECT_GT(copy.Bitrate(), 0);
    EXPECT_EQ(copy.Duration(), 2);
    EXPECT_EQ(copy.Size(), 34);
    EXPECT_EQ(copy.DigestHex(), source->DigestHex());
    EXPECT_EQ(copy.changes, 0);
    EXPECT_EQ(copy.WordsText(), source->WordsText());
    copy.SetTitle("Tarte");
    EXPECT_EQ(source->Title(), "Crème brûlée");

    TCountingMp3File untagged, copyOfUntagged;
    untagged.SetLoadedInfo(TBWInfoKinds().set());
    copyOfUntagged.Assign(untagged);
    copyOfUntagged.SetArtist("Somebody");
    EXPECT_EQ(untagged.Artist(), "");
    EXPECT_EQ(copyOfUntagged.Title(), "");
}
