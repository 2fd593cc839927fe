#include "engine/u_wordclasses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine/worded_files.h"

namespace {

std::vector<std::uint32_t> Members(const TBWWordClasses& classes, std::uint32_t leader)
{
    const auto members = classes.MembersOf(leader);
    return {members.begin(), members.end()};
}

}  // namespace

// A class holds files whose words are the same, field by field; its leader
// is the first of them in pool order, and its members come in pool order.
TEST(WordClasses, FilesOfTheSameWordsFieldByFieldShareTheFirstAsLeader)
{
    const TWordedFiles pool({
        "Artist - Song",     // 0
        "artist - SONG",     // 1: the same words once folded
        "Artist Song",       // 2: the same words in one field
        "Song - Artist",     // 3: another order
        "Artist - Song",     // 4
        "Ärtist - Sóng",     // 5: folded to plain Latin letters, like 0
        "Артист - Песня",    // 6
        "артист - песня",    // 7
        "歌手 - 歌",          // 8
        "歌手 - 歌",          // 9
    });
    for (unsigned threads : {1u, 4u}) {
        const TBWWordClasses classes(pool.files, std::vector<bool>(pool.files.size(), true), threads);
        EXPECT_EQ(Members(classes, 0), (std::vector<std::uint32_t>{0, 1, 4, 5})) << threads;
        EXPECT_TRUE(classes.Leads(0));
        EXPECT_FALSE(classes.Leads(4));
        EXPECT_EQ(classes.LeaderOf(5), 0u);
        EXPECT_EQ(Members(classes, 2), (std::vector<std::uint32_t>{2})) << "fields differ";
        EXPECT_EQ(Members(classes, 3), (std::vector<std::uint32_t>{3})) << "order differs";
        EXPECT_EQ(Members(classes, 6), (std::vector<std::uint32_t>{6, 7}));
        EXPECT_EQ(classes.LeaderOf(9), 8u);
    }
}

// A file with no word of the index meets no other file: it leads a class of
// its own even when its words equal another's.
TEST(WordClasses, FileWithoutIndexedWordsStaysAlone)
{
    const TWordedFiles pool({"Artist - Song", "Artist - Song", "Artist - Song"});
    const TBWWordClasses classes(pool.files, {true, false, true}, 1);
    EXPECT_TRUE(classes.Leads(1));
    EXPECT_EQ(Members(classes, 1), (std::vector<std::uint32_t>{1}));
    EXPECT_EQ(Members(classes, 0), (std::vector<std::uint32_t>{0, 2}));
}

// Many files: the table of first places grows with them, and classes stay
// exact whatever lands in one slot.
TEST(WordClasses, ManyFilesFormExactlyTheirClasses)
{
    std::vector<std::string> texts;
    for (int i = 0; i < 3000; ++i)
        texts.push_back("word" + std::to_string(i % 1000) + " - other");
    const TWordedFiles pool(texts);
    const TBWWordClasses classes(pool.files, std::vector<bool>(texts.size(), true), 0);
    for (std::uint32_t place = 0; place < texts.size(); ++place) {
        ASSERT_EQ(classes.LeaderOf(place), place % 1000) << place;
        if (place < 1000)
            ASSERT_EQ(Members(classes, place), (std::vector<std::uint32_t>{place, place + 1000, place + 2000}));
    }
}
