#include "engine/u_walkorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <utility>

namespace {

using TLists = std::vector<std::vector<std::uint32_t>>;
using TMeeting = TBWWalkOrder::TMeeting;

TWordLinks Linked(const TLists& lists)
{
    TWordLinks links;
    for (const std::vector<std::uint32_t>& list : lists) {
        for (std::uint32_t linked : list)
            links.Add(linked);
        links.EndWord();
    }
    return links;
}

// Files by their words, and the lists the walk reads.
struct TPool {
    TLists wordsOf;
    TLists filesOf;
    TLists laterSimilar;

    TPool(TLists words, TLists similar, std::size_t wordCount)
        : wordsOf(std::move(words)), filesOf(wordCount), laterSimilar(std::move(similar))
    {
        for (std::uint32_t file = 0; file < wordsOf.size(); ++file)
            for (std::uint32_t word : wordsOf[file])
                filesOf[word].push_back(file);
    }
};

// The walk itself, meeting after meeting, of which each pair keeps its first.
std::map<std::pair<std::uint32_t, std::uint32_t>, TMeeting> PlainWalk(const TPool& pool)
{
    std::map<std::pair<std::uint32_t, std::uint32_t>, TMeeting> first;
    auto meet = [&](std::uint32_t scored, std::uint32_t other, const TMeeting& meeting) {
        if (scored != other)
            first.try_emplace({scored, other}, meeting);
    };
    for (std::uint32_t word = 0; word < pool.filesOf.size(); ++word) {
        const std::vector<std::uint32_t>& files = pool.filesOf[word];
        for (std::uint32_t row = 0; row < files.size(); ++row) {
            for (std::uint32_t place = row + 1; place < files.size(); ++place)
                meet(files[row], files[place], {word, row, place});
            std::uint64_t place = files.size();
            for (std::uint32_t similar : pool.laterSimilar[word])
                for (std::uint32_t other : pool.filesOf[similar])
                    meet(files[row], other, {word, row, place++});
        }
    }
    return first;
}

// Words 0-3; 1 is similar to 3. File 2 has word 3 only.
TPool SmallPool()
{
    return TPool({{0, 1}, {0}, {3}, {1, 2}}, {{}, {3}, {}, {}}, 4);
}

}  // namespace

TEST(WalkOrder, FirstMeetingIsUnderTheFirstSharedWordOrItsSimilarWords)
{
    const TPool pool = SmallPool();
    const TWordLinks similar = Linked(pool.laterSimilar), wordsOf = Linked(pool.wordsOf);
    const TBWWalkOrder walk(wordsOf, pool.filesOf, similar);
    // 0 and 1 share word 0: 0, the earlier, is scored there against 1.
    EXPECT_EQ(walk.FirstMeeting(0, 1), (TMeeting{0, 0, 1}));
    // The later file of a shared word is not scored against the earlier one.
    EXPECT_EQ(walk.FirstMeeting(1, 0), std::nullopt);
    // Under word 1, file 3 meets file 2 through the similar word 3: after word 1's own two files.
    EXPECT_EQ(walk.FirstMeeting(3, 2), (TMeeting{1, 1, 2}));
    // A similar word meets both ways round, whichever file comes first.
    EXPECT_EQ(walk.FirstMeeting(0, 2), (TMeeting{1, 0, 2}));
    EXPECT_EQ(walk.FirstMeeting(2, 0), std::nullopt) << "word 3 has no later similar word";
}

// Random pools against the plain walk: the first meeting of every way round
// of every pair.
TEST(WalkOrder, AgreesWithThePlainWalk)
{
    std::mt19937 random(44);
    for (int round = 0; round < 300; ++round) {
        const std::uint32_t words = 1 + random() % 8;
        const std::uint32_t files = 1 + random() % 10;
        TLists wordsOf(files);
        for (std::vector<std::uint32_t>& own : wordsOf) {
            for (std::uint32_t word = 0; word < words; ++word)
                if (random() % 3 == 0)
                    own.push_back(word);
            if (own.empty())
                own.push_back(random() % words);
        }
        TLists similar(words);
        for (std::uint32_t word = 0; word < words; ++word)
            for (std::uint32_t later = word + 1; later < words; ++later)
                if (random() % 4 == 0)
                    similar[word].push_back(later);
        const TPool pool(wordsOf, similar, words);
        const TWordLinks links = Linked(pool.laterSimilar), wordsOfFiles = Linked(pool.wordsOf);
        const TBWWalkOrder walk(wordsOfFiles, pool.filesOf, links);
        const auto plain = PlainWalk(pool);

        for (std::uint32_t scored = 0; scored < files; ++scored)
            for (std::uint32_t other = 0; other < files; ++other) {
                if (scored == other)
                    continue;
                const auto found = plain.find({scored, other});
                const std::optional<TMeeting> expected =
                    found == plain.end() ? std::nullopt : std::optional(found->second);
                ASSERT_EQ(walk.FirstMeeting(scored, other), expected) << round << ": " << scored << "→" << other;
            }
    }
}
