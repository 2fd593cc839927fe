// Where the matching's walk over every word first meets a pair of files, and
// which way round it scores them there. The walk goes word by word in word
// order; under a word, each of its files in pool order is scored against the
// later files of the word, then against the files of the word's later
// similar words, word by word. A pair is linked at the first meeting whose
// way round scores similar enough, so a scan that scores fewer pairs still
// links what the walk links, in the walk's order.
#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <vector>

#include "engine/u_similarwordlinker.h"

class TBWWalkOrder {
public:
    struct TMeeting {
        std::uint32_t word;   // the word it is met under
        std::uint32_t row;    // the place of the scored file among the word's files
        std::uint64_t place;  // the place of the other among all it is scored against there
        auto operator<=>(const TMeeting&) const = default;
    };

    // wordsOf: per file its words, distinct and ascending; filesOf: per word
    // its files, ascending; laterSimilar: per word its later similar words,
    // ascending. All are read, not copied, and must outlive this.
    TBWWalkOrder(const TWordLinks& wordsOf, const std::vector<std::vector<std::uint32_t>>& filesOf,
                 const TWordLinks& laterSimilar)
        : wordsOf_(wordsOf), filesOf_(filesOf), laterSimilar_(laterSimilar)
    {
    }

    // The first meeting at which scored is scored against other; none when
    // the walk never scores them that way round.
    std::optional<TMeeting> FirstMeeting(std::uint32_t scored, std::uint32_t other) const;

private:
    // Which of word's later similar words file has first; their count when
    // none.
    std::size_t SimilarWordOf(std::uint32_t file, std::uint32_t word) const;
    std::uint64_t SimilarPlace(std::uint32_t word, std::size_t similar, std::uint32_t file) const;
    bool HasWord(std::uint32_t file, std::uint32_t word) const;
    std::uint32_t PlaceOf(std::uint32_t file, std::uint32_t word) const;

    const TWordLinks& wordsOf_;
    const std::vector<std::vector<std::uint32_t>>& filesOf_;
    const TWordLinks& laterSimilar_;
};
