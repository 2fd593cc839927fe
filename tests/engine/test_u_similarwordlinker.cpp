#include "engine/u_similarwordlinker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "tests/engine/plain_links.h"

namespace {

std::vector<std::string> RandomVocabulary(std::size_t count, std::uint32_t seed)
{
    static const std::string letters = "aeioulnrst";
    std::mt19937 random(seed);
    std::set<std::string> words;
    while (words.size() < count) {
        const int kind = random() % 20;
        std::string word;
        if (kind == 0) {  // a long word, past the variant limit
            word.assign(30 + random() % 10, 'a');
            for (char& c : word)
                c = letters[random() % 3];
        } else {
            word.assign(1 + random() % 8, 'a');
            for (char& c : word)
                c = letters[random() % letters.size()];
            if (kind == 1)
                word += "\xC3\xA9";  // an accented letter: one character, two bytes
            if (kind == 2)
                word[0] = 'E';       // letters compare without regard to case
            if (kind == 3)
                word += "\u5149";    // an ideograph: one character, three bytes
            if (kind == 4)
                word = "\u0414" + word;  // a Cyrillic capital, folded to its small letter
        }
        words.insert(word);
    }
    return {words.begin(), words.end()};  // byte order
}

std::vector<std::uint32_t> LinksOf(const TWordLinks& links, std::uint32_t word)
{
    const auto linked = links[word];
    return {linked.begin(), linked.end()};
}

}  // namespace

TEST(TSimilarWordLinker, GivesTheLinksOfTheWalkOverEveryPair)
{
    for (std::int32_t tolerance = 1; tolerance <= 3; ++tolerance) {
        const std::vector<std::string> words = RandomVocabulary(3000, 11 + tolerance);
        const auto fast = TSimilarWordLinker::LinkLaterWords(words, tolerance, {});
        const auto plain = LinkEveryPair(words, tolerance);
        ASSERT_EQ(fast.size(), plain.size());
        std::size_t linked = 0;
        for (std::uint32_t i = 0; i < words.size(); ++i) {
            ASSERT_EQ(LinksOf(fast, i), plain[i]) << words[i] << " tolerance " << tolerance;
            linked += plain[i].size();
        }
        EXPECT_EQ(fast.LinkCount(), linked);
        EXPECT_GT(linked, 0u);
    }
}

TEST(TSimilarWordLinker, LengthAndDistanceRules)
{
    const std::vector<std::string> words = {"abcd", "abce", "abcdef", "xabcd", "zzzz"};
    const auto links = TSimilarWordLinker::LinkLaterWords(words, 1, {});
    EXPECT_EQ(LinksOf(links, 0), (std::vector<std::uint32_t>{1, 3}));  // one letter changed, one added
    EXPECT_TRUE(links[1].empty());                                  // abcdef: two letters more
    const TWordLinks none = TSimilarWordLinker::LinkLaterWords(words, 0, {});
    EXPECT_EQ(none.size(), words.size());
    EXPECT_EQ(none.LinkCount(), 0u);
}

// Numbers of one length share a deletion variant with dozens of others, most
// of them two edits apart: the candidates far outnumber the links.
TEST(TSimilarWordLinker, WordsCrowdedWithinOneEditGiveTheLinksOfTheWalk)
{
    std::vector<std::string> words;
    for (int n = 0; n < 1500; ++n)
        words.push_back(std::to_string(1000 + n * 7 % 9000));
    for (const char* extra : {"100", "10000", "1O00", "l000"})
        words.push_back(extra);
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
    const auto fast = TSimilarWordLinker::LinkLaterWords(words, 1, {});
    const auto plain = LinkEveryPair(words, 1);
    for (std::uint32_t i = 0; i < words.size(); ++i)
        ASSERT_EQ(LinksOf(fast, i), plain[i]) << words[i];
}

// The links each way, each word's list in word order, as the index keeps them
// for a walk that meets every pair from both sides.
TEST(TSimilarWordLinker, MirroredLinksListTheEarlierWordsThenTheLater)
{
    const std::vector<std::string> words = {"abc", "abcd", "abd", "xyz", "xyzz"};
    const TWordLinks both = TSimilarWordLinker::LinkLaterWords(words, 1, {}).Mirrored();
    ASSERT_EQ(both.size(), words.size());
    EXPECT_EQ(LinksOf(both, 0), (std::vector<std::uint32_t>{1, 2}));
    EXPECT_EQ(LinksOf(both, 1), (std::vector<std::uint32_t>{0, 2}));
    EXPECT_EQ(LinksOf(both, 2), (std::vector<std::uint32_t>{0, 1}));
    EXPECT_EQ(LinksOf(both, 3), (std::vector<std::uint32_t>{4}));
    EXPECT_EQ(LinksOf(both, 4), (std::vector<std::uint32_t>{3}));
}

TEST(TSimilarWordLinker, ReportsEveryPairAsDone)
{
    const std::vector<std::string> words = RandomVocabulary(2000, 5);
    std::uint64_t last = 0;
    int reports = 0;
    TSimilarWordLinker::LinkLaterWords(words, 1, [&](std::uint64_t done) {
        EXPECT_GE(done, last);
        last = done;
        ++reports;
    });
    EXPECT_EQ(last, TSimilarWordLinker::PairCount(words.size()));
    EXPECT_GE(reports, 1);

    reports = 0;
    TSimilarWordLinker::LinkLaterWords({"single"}, 1, [&](std::uint64_t) { ++reports; });
    TSimilarWordLinker::LinkLaterWords(words, 0, [&](std::uint64_t) { ++reports; });
    EXPECT_EQ(reports, 0);
}
