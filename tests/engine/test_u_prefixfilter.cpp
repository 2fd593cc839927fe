#include "engine/u_prefixfilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

// Twice the shared words (with repeats) over all words.
double Dice(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    std::vector<std::uint32_t> shared;
    std::set_intersection(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(shared));
    return 2.0 * static_cast<double>(shared.size()) / static_cast<double>(a.size() + b.size());
}

}  // namespace

TEST(PrefixFilter, PrefixLengthLeavesOutOnlyWordsNoMatchNeeds)
{
    struct Case {
        std::size_t words;
        double threshold;
        std::size_t prefix;
    };
    const Case cases[] = {
        {1, 0.8, 1}, {2, 0.8, 1}, {4, 0.8, 2}, {5, 0.8, 2}, {10, 0.5, 7},
        {3, 1.0, 1}, {6, 0.6, 4}, {1, 0.01, 1}, {0, 0.5, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TBWPrefixFilter::PrefixLength(c.words, c.threshold), c.prefix)
            << c.words << " words at " << c.threshold;
}

// Every later list that reaches the threshold is a candidate, with repeated
// words, lists of every length and frequent words.
TEST(PrefixFilter, MissesNoPairThatReachesTheThreshold)
{
    std::mt19937 random(3);
    for (double threshold : {0.3, 0.5, 2.0 / 3.0, 0.8, 1.0}) {
        std::vector<std::vector<std::uint32_t>> words(300);
        std::vector<std::uint32_t> filesOfWord(40, 0);
        for (std::vector<std::uint32_t>& list : words) {
            for (int n = 1 + static_cast<int>(random() % 6); n > 0; --n)
                list.push_back(random() % 3 == 0 ? random() % 4 : random() % 40);
            std::sort(list.begin(), list.end());
            std::vector<std::uint32_t> distinct = list;
            distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
            for (std::uint32_t w : distinct)
                ++filesOfWord[w];
        }
        const TBWPrefixFilter filter(words, filesOfWord, threshold);
        std::size_t reaching = 0, candidates = 0;
        std::vector<std::uint32_t> later;
        for (std::uint32_t a = 0; a < words.size(); ++a) {
            filter.LaterCandidates(a, later);
            candidates += later.size();
            for (std::uint32_t b = a + 1; b < words.size(); ++b)
                if (Dice(words[a], words[b]) >= threshold) {
                    ++reaching;
                    EXPECT_TRUE(std::binary_search(later.begin(), later.end(), b)) << a << " " << b;
                    EXPECT_LT(TBWPrefixFilter::FirstSharedWord(words[a], words[b]), 40u);
                }
        }
        EXPECT_GT(reaching, 0u) << threshold;
        EXPECT_LT(candidates, words.size() * (words.size() - 1) / 2) << threshold;
    }
}
