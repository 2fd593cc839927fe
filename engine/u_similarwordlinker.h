// Finds every pair of words of a word index that lie within a small edit
// distance of each other. Gives exactly the links of comparing every pair,
// without visiting every pair: a scan of 100,000 files has tens of thousands
// of distinct words. Used by the word index.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

// Links between words, by their numbers in word order: for each word the
// numbers of the words linked to it, held for all words in one array, four
// bytes a link. A worst case has millions of links. Read like a vector of
// lists: size() words, [word] the list of one. The files of each word are
// kept the same way.
class TWordLinks {
public:
    // Lists for words numbered below words: fill(add) calls add(word,
    // number) for every entry, each list's in the order it keeps. fill is
    // called twice, and must add the same both times.
    template <class Fill>
    static TWordLinks Gathered(std::size_t words, const Fill& fill);

    std::size_t size() const { return starts_.size() - 1; }
    std::size_t LinkCount() const { return linked_.size(); }
    std::span<const std::uint32_t> operator[](std::uint32_t word) const
    {
        return {linked_.data() + starts_[word], linked_.data() + starts_[word + 1]};
    }

    // Filled word by word: the links of the next word, then EndWord.
    void Add(std::uint32_t linked) { linked_.push_back(linked); }
    void EndWord() { starts_.push_back(linked_.size()); }

    // Every link both ways, from links that each go to a later word: for
    // each word first the earlier words linked to it, then its own later
    // ones, so each word's list stays in word order.
    TWordLinks Mirrored() const;

private:
    std::vector<std::size_t> starts_{0};  // the links of word w begin at starts_[w]
    std::vector<std::uint32_t> linked_;
};

template <class Fill>
TWordLinks TWordLinks::Gathered(std::size_t words, const Fill& fill)
{
    TWordLinks lists;
    lists.starts_.assign(words + 1, 0);
    fill([&](std::uint32_t word, std::uint32_t) { ++lists.starts_[word + 1]; });
    for (std::size_t w = 0; w < words; ++w)
        lists.starts_[w + 1] += lists.starts_[w];
    lists.linked_.resize(lists.starts_[words]);
    std::vector<std::size_t> next(lists.starts_.begin(), lists.starts_.end() - 1);
    fill([&](std::uint32_t word, std::uint32_t number) { lists.linked_[next[word]++] = number; });
    return lists;
}

class TSimilarWordLinker {
public:
    // Called now and then with the number of word pairs dealt with so far;
    // the last call reports all n(n-1)/2 pairs. Calls with no new pairs come
    // while the words are prepared, so that a stop request answered in the
    // report is answered at once.
    using Progress = std::function<void(std::uint64_t pairsDone)>;

    // words: distinct, in byte order. For each word, the numbers of the later
    // words whose length differs by at most tolerance and whose EditDistance
    // (unit costs) is at most tolerance, ascending. Nothing with tolerance <= 0.
    static TWordLinks LinkLaterWords(const std::vector<std::string>& words, std::int32_t tolerance,
                                    const Progress& progress);

    static std::uint64_t PairCount(std::uint64_t wordCount)
    {
        return wordCount < 2 ? 0 : wordCount * (wordCount - 1) / 2;
    }
};
