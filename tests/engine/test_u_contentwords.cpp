#include "engine/u_contentwords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "model/u_bwdigest.h"
#include "model/u_bwfsmp3.h"
#include "tests/support/temp_tree.h"
#include "tests/support/tag_bytes.h"

namespace {

constexpr std::size_t kWindowStart = 65536;

// The file system under "/", as the model's root shows it.
class TDiskRoot : public TBWDirMp3 {
public:
    void LoadSubDirs() override { AddSubDir("/"); }
};

// MPEG frames of 417 bytes, so that the size in KB is the frames' own, with
// the byte at each place given changed.
std::string AudioFrames(int count, const std::vector<std::size_t>& marks = {})
{
    const TBytes bytes = Repeated(MpegFrame(0xFB, 0x90, 0x00, 417), count);
    std::string text(bytes.begin(), bytes.end());
    for (std::size_t at : marks)
        text[at] = '!';
    return text;
}

// Files whose windows are alike in every way the reading can tell apart,
// some of them named in other scripts, as a collection's are.
struct TCollection {
    TCollection()
    {
        Add("a/song.mp3", AudioFrames(480));
        Add("b/его копия.mp3", AudioFrames(480));
        Add("b/another copy.mp3", AudioFrames(480));
        // Start like the song, differ inside the window.
        Add("c/differs late.mp3", AudioFrames(480, {kWindowStart + 60000}));
        Add("c/differs late too.mp3", AudioFrames(480, {kWindowStart + 60000}));
        Add("c/differs elsewhere.mp3", AudioFrames(480, {kWindowStart + 30000}));
        // The song's window, in files of another size in KB.
        Add("d/longer.mp3", AudioFrames(600));
        Add("d/plus longue, copie été.mp3", AudioFrames(600));
        Add("d/longer, starts apart.mp3", AudioFrames(600, {kWindowStart + 10}));
        // Files too short for the window, compared whole.
        Add("e/short.mp3", AudioFrames(160));
        Add("e/短い コピー.mp3", AudioFrames(160));
        Add("e/short other.mp3", AudioFrames(160, {30000}));
        Add("e/short, starts apart.mp3", AudioFrames(160, {10}));
        // Of the same size in KB, a byte longer: another whole.
        Add("e/short and a byte.mp3", AudioFrames(160) + "!");
        Add("e/short and a byte, copy.mp3", AudioFrames(160) + "!");
        Add("f/lone size.mp3", AudioFrames(220));
        // More windows of one start than a group keeps to compare with.
        for (std::size_t i = 0; i < 6; ++i)
            Add("g/variant " + std::to_string(i) + ".mp3", AudioFrames(700, {kWindowStart + 50000 + i}));
        Add("g/copy of the last variant.mp3", AudioFrames(700, {kWindowStart + 50005}));
        root.Refresh();
    }

    void Add(const std::string& relative, const std::string& bytes) { paths.push_back(tree.WriteFile(relative, bytes)); }

    std::vector<TBWMp3File*> Files()
    {
        std::vector<TBWMp3File*> files;
        for (const std::string& path : paths)
            files.push_back(dynamic_cast<TBWMp3File*>(root.FindFileByPath(path)));
        return files;
    }

    TTempTree tree;
    TDiskRoot root;
    std::vector<std::string> paths;
};

std::string WordsOf(const TBWMp3File& file)
{
    std::string text;
    for (const std::string& word : file.Words())
        text += (text.empty() ? "" : " ") + word;
    return text;
}

// The words of the files by path, keeping only those another file shares:
// a word no other file has meets nothing, whatever it is.
std::map<std::string, std::string> MeetingWords(const std::vector<TBWMp3File*>& files)
{
    std::map<std::string, int> counts;
    for (TBWMp3File* file : files)
        ++counts[WordsOf(*file)];
    std::map<std::string, std::string> words;
    for (TBWMp3File* file : files)
        if (const std::string text = WordsOf(*file); !text.empty() && counts[text] > 1)
            words[file->FullPath()] = text;
    return words;
}

struct TRoad {
    const char* name;
    bool skipLoneSizes;
    bool skipDistinctStarts;
    unsigned threads;
};

// Gives the files of a collection their words by the road; the words that
// meet, by the files' paths inside the collection.
std::map<std::string, std::string> MeetingWordsOfRoad(const TRoad& road, TCollection& collection)
{
    const std::atomic<bool> stop{false};
    std::vector<TBWMp3File*> files = collection.Files();
    TBWContentWords words(ReadThreadsOf(road.threads), stop);
    words.SkipLoneSizes = road.skipLoneSizes;
    words.SkipDistinctStarts = road.skipDistinctStarts;
    EXPECT_EQ(words.SetWords(files).count, 0u);
    // Whatever a file was given, its window digest is the window's own, and
    // what its headers give is theirs, however they were read.
    for (TBWMp3File* file : files) {
        if (file->LoadedInfo().test(ikDigest)) {
            EXPECT_EQ(file->GetDigest(), DigestFileWindow(file->FullPath(), DigestOffset, DigestLength))
                << file->FullPath();
        }
        if (file->LoadedInfo().test(ikBasic)) {
            const TBWMp3File::TReadInfo headers = TBWMp3File::ReadInfo(file->FullPath(), ikBasic);
            EXPECT_EQ(file->Size(), headers.sizeKB) << file->FullPath();
            EXPECT_EQ(file->Bitrate(), headers.bitrate) << file->FullPath();
            EXPECT_EQ(file->Duration(), headers.duration) << file->FullPath();
        }
    }
    std::map<std::string, std::string> inside;
    for (const auto& [path, word] : MeetingWords(files))
        inside[path.substr(collection.tree.Path().size())] = word;
    return inside;
}

TEST(ContentWords, EveryRoadGivesTheWordsThatMeetOfDigestingEveryFile)
{
    TCollection plainCollection;
    const std::map<std::string, std::string> expected = MeetingWordsOfRoad({"plain", false, false, 1}, plainCollection);
    // Copies meet, and so do the files that differ alike late in the window;
    // the song's window in longer files meets only its own size.
    ASSERT_EQ(expected.size(), 13u);
    EXPECT_NE(expected.at("e/short.mp3"), expected.at("e/short and a byte.mp3"));
    EXPECT_EQ(expected.at("g/variant 5.mp3"), expected.at("g/copy of the last variant.mp3"));
    EXPECT_NE(expected.at("a/song.mp3"), expected.at("d/longer.mp3"));
    EXPECT_NE(expected.at("a/song.mp3"), expected.at("c/differs late.mp3"));
    const TRoad roads[] = {
        {"lone sizes skipped", true, false, 1},
        {"distinct starts skipped", false, true, 1},
        {"both skipped, one thread", true, true, 1},
        {"both skipped, many threads", true, true, 8},
    };
    for (const TRoad& road : roads) {
        SCOPED_TRACE(road.name);
        TCollection collection;
        EXPECT_EQ(MeetingWordsOfRoad(road, collection), expected);
    }
}

TEST(ContentWords, AFileThatCannotBeReadIsNamedAndGetsNoWord)
{
    TCollection collection;
    std::vector<TBWMp3File*> files = collection.Files();
    // Gone after the walk met it; its size was read before.
    for (TBWMp3File* file : files)
        file->Size();
    std::remove(collection.paths[1].c_str());
    const std::atomic<bool> stop{false};
    TBWContentWords words(ReadThreadsOf(0), stop);
    const TBWUnreadFiles& unread = words.SetWords(files);
    EXPECT_EQ(unread.count, 1u);
    EXPECT_EQ(unread.paths, std::vector<std::string>{collection.paths[1]});
    EXPECT_EQ(WordsOf(*files[1]), "");
    EXPECT_EQ(WordsOf(*files[2]), WordsOf(*files[0]));
}

// Sizes in KB are read from the headers, which costs most of a scan by
// content: only files whose parts may equal another's are read. A window
// digest held already may equal any window, however the window read starts;
// a file gone blinds no other.
TEST(ContentWords, ReadsTheSizesOfTheFilesThatMayMeetOnly)
{
    const std::vector<std::string> apart = {"d/longer, starts apart.mp3", "e/short, starts apart.mp3",
                                            "f/lone size.mp3"};
    struct TCase {
        const char* name;
        const char* removed;
        const char* held;
        std::vector<std::string> unread;
    } cases[] = {
        {"every file there", nullptr, nullptr, apart},
        {"a window gone", "a/song.mp3", nullptr, apart},
        {"a short file gone", "e/short other.mp3", nullptr, apart},
        {"a window digest held", nullptr, "d/longer.mp3", {"e/short, starts apart.mp3", "f/lone size.mp3"}},
    };
    for (const TCase& test : cases) {
        SCOPED_TRACE(test.name);
        TCollection collection;
        std::vector<TBWMp3File*> files = collection.Files();
        const std::string root = collection.tree.Path();
        if (test.removed)
            std::remove((root + test.removed).c_str());
        // A list holds the digest of a window that has changed since.
        const std::string apartPath = root + "d/longer, starts apart.mp3";
        TBWMp3File* held = nullptr;
        for (TBWMp3File* file : files)
            if (test.held && file->FullPath() == root + test.held) {
                held = file;
                held->SetDigest(DigestFileWindow(apartPath, DigestOffset, DigestLength));
                held->MarkLoaded(ikDigest);
            }
        const std::atomic<bool> stop{false};
        TBWContentWords words(ReadThreadsOf(4), stop);
        words.SetWords(files);
        std::vector<std::string> unread;
        for (TBWMp3File* file : files)
            if (!file->LoadedInfo().test(ikBasic))
                unread.push_back(file->FullPath().substr(root.size()));
        std::sort(unread.begin(), unread.end());
        EXPECT_EQ(unread, test.unread);
        if (held) {
            const auto apart = std::find_if(files.begin(), files.end(),
                                            [&](TBWMp3File* file) { return file->FullPath() == apartPath; });
            EXPECT_EQ(WordsOf(**apart), WordsOf(*held));
        }
    }
}

// A collection of unreadable files is counted whole, but only the first
// paths are kept for the user.
TEST(ContentWords, UnreadFilesKeepTheFirstPathsAndCountAll)
{
    TBWUnreadFiles unread;
    for (std::size_t i = 0; i < TBWUnreadFiles::kPathsKept + 5; ++i)
        unread.Add("/m/" + std::to_string(i) + ".mp3");
    EXPECT_EQ(unread.count, TBWUnreadFiles::kPathsKept + 5);
    ASSERT_EQ(unread.paths.size(), TBWUnreadFiles::kPathsKept);
    EXPECT_EQ(unread.paths.front(), "/m/0.mp3");
    EXPECT_EQ(unread.paths.back(), "/m/999.mp3");
}

}  // namespace
