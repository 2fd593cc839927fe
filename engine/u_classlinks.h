// The links of a matching that scores files class by class (a class: files
// of identical words, named by its leader): from the pairs of classes found
// similar, every file is linked to its partners in the order in which the
// walk over every word would link them. Used by the engine's matching.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

class TBWDupeFileList;
class TBWFile;
class TBWWalkOrder;
class TBWWordClasses;

class TBWClassLinks {
public:
    // Two classes by their leaders, first <= second (equal for the files of
    // one class among themselves), and whether a file of first scores
    // similar enough against one of second (forth) and the other way round
    // (back). Of two classes of one file each, a way round that the walk
    // never scores, or that it scores only after the other way linked
    // them, may be left false.
    struct TPair {
        std::uint32_t first;
        std::uint32_t second;
        bool forth;
        bool back;
        auto operator<=>(const TPair&) const = default;
    };

    // wordsOf: per file (by pool place) its indexed words, ascending. All
    // are read, not copied, and must outlive this.
    TBWClassLinks(const TBWWordClasses& classes, const TBWWalkOrder& walk,
                  const std::vector<std::vector<std::uint32_t>>& wordsOf, unsigned threads)
        : classes_(classes), walk_(walk), wordsOf_(wordsOf), threads_(threads)
    {
    }

    // How far the linking has come, a share up to 1, told now and then on
    // the calling thread while no other thread works for it; may throw to
    // stop.
    using Progress = std::function<void(double done)>;

    // Links the files (by pool place) of every pair, each pair once, in
    // results. The pairs are let go as soon as their links are listed.
    void Link(std::vector<TPair> pairs, const std::vector<TBWFile*>& files, TBWDupeFileList& results,
              const Progress& progress) const;

private:
    struct TMeetingWord;
    struct TPartner;
    class TLists;

    TMeetingWord WordOf(const TPair& pair) const;
    void AddPartners(std::uint32_t owner, std::uint32_t other, bool ownerScores, bool otherScores,
                     const TMeetingWord& word, const std::vector<bool>& byFile, TLists& lists) const;

    const TBWWordClasses& classes_;
    const TBWWalkOrder& walk_;
    const std::vector<std::vector<std::uint32_t>>& wordsOf_;
    unsigned threads_;
};
