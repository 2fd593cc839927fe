#include "engine/SimilarWordLinker.h"

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
        }
        words.insert(word);
    }
    return {words.begin(), words.end()};  // byte order
}

}  // namespace

TEST(SimilarWordLinker, GivesTheLinksOfTheWalkOverEveryPair)
{
    for (std::int32_t tolerance = 1; tolerance <= 3; ++tolerance) {
        const std::vector<std::string> words = RandomVocabulary(3000, 11 + tolerance);
        const auto fast = SimilarWordLinker::LinkLaterWords(words, tolerance, {});
        const auto plain = LinkEveryPair(words, tolerance);
        ASSERT_EQ(fast.size(), plain.size());
        std::size_t linked = 0;
        for (std::size_t i = 0; i < words.size(); ++i) {
            ASSERT_EQ(fast[i], plain[i]) << words[i] << " tolerance " << tolerance;
            linked += plain[i].size();
        }
        EXPECT_GT(linked, 0u);
    }
}

TEST(SimilarWordLinker, LengthAndDistanceRules)
{
    const std::vector<std::string> words = {"abcd", "abce", "abcdef", "xabcd", "zzzz"};
    const auto links = SimilarWordLinker::LinkLaterWords(words, 1, {});
    EXPECT_EQ(links[0], (std::vector<std::uint32_t>{1, 3}));  // one letter changed, one added
    EXPECT_TRUE(links[1].empty());                            // abcdef: two letters more
    EXPECT_TRUE(SimilarWordLinker::LinkLaterWords(words, 0, {})[0].empty());
}

TEST(SimilarWordLinker, ReportsEveryPairAsDone)
{
    const std::vector<std::string> words = RandomVocabulary(2000, 5);
    std::uint64_t last = 0;
    int reports = 0;
    SimilarWordLinker::LinkLaterWords(words, 1, [&](std::uint64_t done) {
        EXPECT_GE(done, last);
        last = done;
        ++reports;
    });
    EXPECT_EQ(last, SimilarWordLinker::PairCount(words.size()));
    EXPECT_GE(reports, 1);

    reports = 0;
    SimilarWordLinker::LinkLaterWords({"single"}, 1, [&](std::uint64_t) { ++reports; });
    SimilarWordLinker::LinkLaterWords(words, 0, [&](std::uint64_t) { ++reports; });
    EXPECT_EQ(reports, 0);
}
