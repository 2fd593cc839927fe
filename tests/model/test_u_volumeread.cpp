#include "model/u_volumeread.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include "model/u_bwfsmp3.h"
#include "tags/u_musichandler.h"
#include "tests/model/disk_tree.h"

namespace {

// A disc of a few audio files of every kind the fixtures hold, in two
// folders, and a file whose read fails.
class VolumeRead : public ::testing::Test {
protected:
    VolumeRead()
    {
        MusicHandler().SetMask("");
        tree.CopyFixture("cbr128_stereo_44k_id3v23.mp3", "disc/01 Кино.mp3");
        tree.CopyFixture("vorbis_stereo_44k_long_comment.ogg", "disc/02 東京.ogg");
        tree.CopyFixture("wmav2_stereo_44k_mutagen.wma", "disc/sub/03 Émilie.wma");
        tree.WriteFile("disc/sub/04 broken.mp3", PatternBytes(3000));
    }

    // The disc read afresh on threads, each file as "name size title digest".
    std::vector<std::string> ReadOn(unsigned threads)
    {
        TBWDirMp3 disc;
        disc.SetName(tree.Path("disc"));
        const std::vector<TBWFile*> files = FilesBelow(disc);
        std::vector<std::size_t> told;
        EXPECT_TRUE(ReadVolumeFiles(files, threads, [&](std::size_t read) {
            told.push_back(read);
            return true;
        }));
        EXPECT_FALSE(told.empty());
        if (!told.empty()) {
            EXPECT_EQ(told.back(), files.size());
        }
        std::vector<std::string> read;
        for (TBWFile* file : files) {
            auto* audio = static_cast<TBWMp3File*>(file);
            // Nothing is read again: every kind is loaded already.
            EXPECT_TRUE(audio->LoadedInfo().test(ikBasic) && audio->LoadedInfo().test(ikTags)) << file->Name();
            read.push_back(file->Name() + " " + std::to_string(audio->Size()) + " " + audio->Title() + " " +
                           audio->DigestHex());
        }
        return read;
    }

    TDiskTree tree;
};

TEST_F(VolumeRead, EveryFileIsReadTheSameWhateverTheNumberOfThreads)
{
    const std::vector<std::string> alone = ReadOn(1);
    ASSERT_EQ(alone.size(), 4u);
    EXPECT_EQ(alone[0].rfind("01 Кино.mp3 ", 0), 0u);
    EXPECT_EQ(alone[2].rfind("04 broken.mp3 ", 0), 0u) << "audio files of the handler's first extension first";
    EXPECT_EQ(ReadOn(3), alone);
    EXPECT_EQ(ReadOn(0), alone);
}

TEST_F(VolumeRead, ACancelEndsTheReadAtOnce)
{
    TBWDirMp3 disc;
    disc.SetName(tree.Path("disc"));
    const std::vector<TBWFile*> files = FilesBelow(disc);
    int told = 0;
    EXPECT_FALSE(ReadVolumeFiles(files, 2, [&](std::size_t) {
        ++told;
        return false;
    }));
    EXPECT_EQ(told, 1);
}

TEST_F(VolumeRead, NoFilesIsReadAtOnce)
{
    std::vector<std::size_t> told;
    EXPECT_TRUE(ReadVolumeFiles({}, 0, [&](std::size_t read) {
        told.push_back(read);
        return true;
    }));
    EXPECT_EQ(told, std::vector<std::size_t>{0});
}

}  // namespace
