#include "engine/u_prefixfilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "base/u_bwbaseclass.h"
#include "base/u_bwfunc.h"

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

// Every file that can reach the threshold with it, fields compared in
// any order, is a candidate: of the two, the one with fewer fields (with as
// many, the earlier) reaches it in each of its fields with some field of
// the other. Repeated words, fields of every length, frequent words.
TEST(PrefixFilter, MissesNoPairThatReachesTheThreshold)
{
    std::mt19937 random(3);
    for (int fieldsAtMost : {1, 3}) {
        for (double threshold : {0.3, 0.5, 2.0 / 3.0, 0.8, 1.0}) {
            std::vector<TBWPrefixFilter::TFields> fields(300);
            std::vector<std::vector<std::uint32_t>> words(fields.size());
            std::vector<std::uint32_t> filesOfWord(40, 0);
            for (std::size_t file = 0; file < fields.size(); ++file) {
                for (int f = 1 + static_cast<int>(random() % fieldsAtMost); f > 0; --f) {
                    std::vector<std::uint32_t>& list = fields[file].emplace_back();
                    for (int n = 1 + static_cast<int>(random() % 5); n > 0; --n)
                        list.push_back(random() % 3 == 0 ? random() % 4 : random() % 40);
                    std::sort(list.begin(), list.end());
                    words[file].insert(words[file].end(), list.begin(), list.end());
                }
                std::sort(words[file].begin(), words[file].end());
                std::vector<std::uint32_t> distinct = words[file];
                distinct.erase(std::unique(distinct.begin(), distinct.end()), distinct.end());
                for (std::uint32_t w : distinct)
                    ++filesOfWord[w];
            }
            const TBWPrefixFilter filter(fields, filesOfWord, threshold);
            std::size_t reaching = 0, candidates = 0;
            std::vector<std::uint32_t> later;
            TBWCandidateMarks seen;
            for (std::uint32_t a = 0; a < fields.size(); ++a) {
                later.clear();
                filter.ForEachCandidate(a, seen, [&](std::uint32_t b) { later.push_back(b); });
                std::sort(later.begin(), later.end());
                ASSERT_TRUE(std::adjacent_find(later.begin(), later.end()) == later.end()) << "a file twice";
                candidates += later.size();
                for (std::uint32_t b = 0; b < fields.size(); ++b) {
                    if (b == a)
                        continue;
                    const bool bReachesInEach = fields[b].size() < fields[a].size() ||
                                                (fields[b].size() == fields[a].size() && b < a);
                    const auto& every = bReachesInEach ? fields[b] : fields[a];
                    const auto& some = &every == &fields[a] ? fields[b] : fields[a];
                    const bool reaches = std::all_of(every.begin(), every.end(), [&](const auto& field) {
                        return std::any_of(some.begin(), some.end(),
                                           [&](const auto& other) { return Dice(field, other) >= threshold; });
                    });
                    if (!reaches)
                        continue;
                    ++reaching;
                    EXPECT_TRUE(std::binary_search(later.begin(), later.end(), b)) << a << " " << b;
                    EXPECT_LT(TBWPrefixFilter::FirstSharedWord(words[a], words[b]), 40u);
                }
            }
            EXPECT_GT(reaching, 0u) << threshold;
            EXPECT_LT(candidates, fields.size() * (fields.size() - 1)) << threshold;
        }
    }
}

// No pair of names that reaches the threshold field by field is told it
// cannot: fields of one to five words, repeated words, other field counts.
TEST(FieldPrefixSignature, NeverDropsAPairThatReachesTheThreshold)
{
    static const char* vocabulary[] = {"love", "live", "night", "star", "moon", "ray", "sun", "dor"};
    std::mt19937 random(11);
    std::vector<TBWWordedComparable> names(400);
    for (TBWWordedComparable& name : names) {
        std::string text;
        for (int field = 1 + static_cast<int>(random() % 3); field > 0; --field) {
            for (int n = 1 + static_cast<int>(random() % 5); n > 0; --n)
                text += std::string(vocabulary[random() % std::size(vocabulary)]) + " ";
            text += field > 1 ? "- " : "";
        }
        name.SetText(text);
    }
    for (double threshold : {0.3, 0.5, 2.0 / 3.0, 0.8, 1.0}) {
        std::vector<TBWFieldPrefixSignature> signatures;
        for (const TBWWordedComparable& name : names)
            signatures.emplace_back(name, threshold);
        std::size_t reaching = 0, dropped = 0;
        for (std::size_t a = 0; a < names.size(); ++a)
            for (std::size_t b = a + 1; b < names.size(); ++b) {
                const bool cannot = signatures[a].CannotReach(signatures[b]);
                dropped += cannot;
                if (names[a].SimilarAtLeast(names[b], true, false, 0, threshold)) {
                    ++reaching;
                    EXPECT_FALSE(cannot) << names[a].WordsText() << " " << names[b].WordsText() << " " << threshold;
                }
            }
        EXPECT_GT(reaching, 0u) << threshold;
        EXPECT_GT(dropped, 0u) << threshold;
    }
}

// With similar words, every later name that scores at least the threshold
// with a name, either way round, is among its candidates: whole names and
// names compared field against field in any order, words one or two typos
// apart.
TEST(SimilarPrefixFilter, MissesNoPairThatReachesTheThreshold)
{
    static const std::vector<std::string> vocabulary = {"love", "lov", "live", "life", "night", "nigth", "star",
                                                         "stars", "moon", "mood", "sun", "son", "remix", "remax"};
    std::mt19937 random(5);
    std::vector<TBWWordedComparable> names(300);
    std::vector<std::vector<std::vector<std::uint32_t>>> fields(names.size());
    for (std::size_t file = 0; file < names.size(); ++file) {
        std::string text;
        for (int field = 1 + static_cast<int>(random() % 3); field > 0; --field) {
            std::vector<std::uint32_t>& list = fields[file].emplace_back();
            for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) {
                list.push_back(static_cast<std::uint32_t>(random() % vocabulary.size()));
                text += vocabulary[list.back()] + " ";
            }
            std::sort(list.begin(), list.end());
            text += field > 1 ? "- " : "";
        }
        names[file].SetText(text);
    }
    for (const bool byField : {false, true}) {
        std::vector<TBWPrefixFilter::TFields> compared = fields;
        if (!byField)
            for (TBWPrefixFilter::TFields& own : compared) {
                for (std::size_t f = 1; f < own.size(); ++f)
                    own[0].insert(own[0].end(), own[f].begin(), own[f].end());
                own.resize(1);
                std::sort(own[0].begin(), own[0].end());
            }
        std::vector<std::vector<std::uint32_t>> filesOf(vocabulary.size());
        for (std::uint32_t file = 0; file < compared.size(); ++file)
            for (const std::vector<std::uint32_t>& list : compared[file])
                for (std::uint32_t word : list)
                    if (filesOf[word].empty() || filesOf[word].back() != file)
                        filesOf[word].push_back(file);
        for (const std::int32_t tolerance : {1, 2}) {
            TWordLinks similarOf;
            for (std::uint32_t a = 0; a < vocabulary.size(); ++a) {
                for (std::uint32_t b = 0; b < vocabulary.size(); ++b)
                    if (a != b && WithinEditDistance(vocabulary[a], vocabulary[b], tolerance))
                        similarOf.Add(b);
                similarOf.EndWord();
            }
            for (double threshold : {0.5, 0.8, 1.0}) {
                const TBWSimilarPrefixFilter filter(compared, filesOf, similarOf, threshold);
                TBWCandidateMarks seen;
                std::vector<std::uint32_t> later;
                std::size_t reaching = 0, candidates = 0;
                for (std::uint32_t a = 0; a < names.size(); ++a) {
                    filter.Candidates(a, later, seen);
                    candidates += later.size();
                    std::sort(later.begin(), later.end());
                    for (std::uint32_t b = 0; b < names.size(); ++b) {
                        if (b == a)
                            continue;
                        const bool reaches =
                            names[a].SimilarAtLeast(names[b], byField, true, tolerance, threshold) ||
                            names[b].SimilarAtLeast(names[a], byField, true, tolerance, threshold);
                        reaching += reaches;
                        if (reaches) {
                            EXPECT_TRUE(std::binary_search(later.begin(), later.end(), b))
                                << names[a].WordsText() << " " << names[b].WordsText() << " " << threshold;
                        }
                    }
                }
                EXPECT_GT(reaching, 0u);
                EXPECT_LT(candidates, names.size() * (names.size() - 1)) << tolerance << " " << threshold;
            }
        }
    }
}
