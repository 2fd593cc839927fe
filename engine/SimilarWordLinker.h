// Finds every pair of words of a word index that lie within a small edit
// distance of each other. Gives exactly the links of comparing every pair,
// without visiting every pair: a scan of 100,000 files has tens of thousands
// of distinct words. Used by the word index.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class SimilarWordLinker {
public:
    // Called now and then with the number of word pairs dealt with so far;
    // the last call reports all n(n-1)/2 pairs.
    using Progress = std::function<void(std::uint64_t pairsDone)>;

    // words: distinct, in byte order. For each word, the indexes of the later
    // words whose length differs by at most tolerance and whose EditDistance
    // (unit costs) is at most tolerance, ascending. Nothing with tolerance <= 0.
    static std::vector<std::vector<std::uint32_t>> LinkLaterWords(
        const std::vector<std::string>& words, std::int32_t tolerance, const Progress& progress);

    static std::uint64_t PairCount(std::uint64_t wordCount)
    {
        return wordCount < 2 ? 0 : wordCount * (wordCount - 1) / 2;
    }
};
