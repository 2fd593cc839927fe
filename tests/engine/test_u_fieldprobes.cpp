#include "engine/u_fieldprobes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "engine/u_prefixfilter.h"
#include "tests/engine/worded_files.h"

namespace {

std::set<std::uint32_t> Candidates(const TBWFieldProbes& probes, std::uint32_t file,
                                   const TBWFieldProbes::Excluded& excluded = {})
{
    TBWCandidateMarks seen;
    std::vector<std::uint32_t> candidates;
    // The caller leaves the file itself out, as the matching does.
    probes.Candidates(file, candidates, seen,
                      [&](std::uint32_t other) { return other == file || (excluded && excluded(other)); });
    const std::set<std::uint32_t> unique(candidates.begin(), candidates.end());
    EXPECT_EQ(unique.size(), candidates.size()) << "a candidate came twice";
    return unique;
}

bool ReachesInOrder(const TBWFile& a, const TBWFile& b, std::int32_t tolerance, double threshold)
{
    return a.SimilarAtLeast(b, true, false, tolerance, threshold) || b.SimilarAtLeast(a, true, false, tolerance, threshold);
}

}  // namespace

// Files on both sides come, and only those that every field lets through: a
// shared artist alone does not make a song a candidate at a high threshold.
TEST(FieldProbes, LaterFilesThatEveryFieldAllowsAreCandidates)
{
    const TWordedFiles pool({
        "Artist - Song",           // 0
        "Artist - Other Tune",     // 1: the artist only
        "Artist - Song",           // 2
        "Stranger - Song",         // 3: the title only
        "artist - song live",      // 4
    });
    const TBWFieldProbes probes(pool.files, 0, 0.8, {}, 1);
    const std::set<std::uint32_t> ofFirst = Candidates(probes, 0);
    EXPECT_TRUE(ofFirst.contains(2));
    EXPECT_FALSE(ofFirst.contains(1)) << "the title field cannot reach the threshold";
    EXPECT_FALSE(ofFirst.contains(3)) << "the artist field cannot reach the threshold";
    EXPECT_TRUE(Candidates(probes, 2).contains(0)) << "earlier files are candidates too";
    EXPECT_FALSE(Candidates(probes, 4).contains(1));
    EXPECT_FALSE(Candidates(probes, 0, [](std::uint32_t other) { return other == 2; }).contains(2))
        << "what the caller excludes is left out";
}

// With a tolerance a word one letter off counts, in every script.
TEST(FieldProbes, SimilarWordsOpenAField)
{
    const TWordedFiles pool({"Артист - Песня", "Артисты - Песня", "Artist - Song", "Artist - Sang", "Artist - Tune"});
    const TBWFieldProbes exact(pool.files, 0, 1.0, {}, 1);
    EXPECT_TRUE(Candidates(exact, 0).empty());
    EXPECT_TRUE(Candidates(exact, 2).empty());
    const TBWFieldProbes similar(pool.files, 1, 1.0, {}, 1);
    EXPECT_EQ(Candidates(similar, 0), (std::set<std::uint32_t>{1}));
    EXPECT_EQ(Candidates(similar, 2), (std::set<std::uint32_t>{3}));
}

// Random names against scoring every pair: no pair that reaches the
// threshold in field order is ever missing among the candidates, whatever
// the threads.
TEST(FieldProbes, NeverMissAPairThatReachesTheThreshold)
{
    const std::vector<std::string> vocabulary = {"love", "lové", "dove", "song", "sang", "the", "a", "night",
                                                 "ночь", "ночи", "夜", "live", "mix", "one", "two"};
    std::mt19937 random(44);
    for (int round = 0; round < 60; ++round) {
        std::vector<std::string> texts;
        const int files = 2 + static_cast<int>(random() % 30);
        for (int f = 0; f < files; ++f) {
            std::string text;
            const int fields = 1 + static_cast<int>(random() % 5);
            for (int field = 0; field < fields; ++field) {
                if (field > 0)
                    text += " - ";
                const int words = 1 + static_cast<int>(random() % 3);
                for (int w = 0; w < words; ++w)
                    text += vocabulary[random() % vocabulary.size()] + " ";
            }
            texts.push_back(text);
        }
        const TWordedFiles pool(texts);
        const std::int32_t tolerance = static_cast<std::int32_t>(random() % 2);
        const double threshold = std::vector<double>{0.5, 0.75, 1.0}[random() % 3];
        const TBWFieldProbes probes(pool.files, tolerance, threshold, {}, 1 + random() % 3);
        for (std::uint32_t a = 0; a < pool.files.size(); ++a) {
            const std::set<std::uint32_t> candidates = Candidates(probes, a);
            for (std::uint32_t b = 0; b < pool.files.size(); ++b) {
                if (b != a && ReachesInOrder(*pool.files[a], *pool.files[b], tolerance, threshold)) {
                    ASSERT_TRUE(candidates.contains(b)) << round << ": \"" << texts[a] << "\" and \"" << texts[b]
                                                        << "\", tolerance " << tolerance << ", threshold " << threshold;
                }
            }
        }
    }
}
