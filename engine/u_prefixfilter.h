// The pairs of files that can reach a minimum relevance, found without
// looking at every pair that shares a word. A score of twice the matched
// words over all words reaches t only when two word lists share at least
// t * n / (2 - t) words of a list of n; so, with the words of every list put
// in one order of rarity, two lists that can reach t share a word among the
// first few of each (prefix filtering, as in the AllPairs and PPJoin
// similarity joins). The engine scores only these pairs, exactly as before.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

#include "engine/u_similarwordlinker.h"

class TBWWordedComparable;

// Which files one look-up has taken already; kept from look-up to look-up
// (and filter to filter), so that a look-up costs what it takes, not the
// pool.
class TBWCandidateMarks {
public:
    void Begin(std::size_t files);
    bool Take(std::uint32_t file)
    {
        if (stamps_[file] == current_)
            return false;
        stamps_[file] = current_;
        return true;
    }
    // Takes, once, a file taken since the Begin before the last one.
    bool TakeMarked(std::uint32_t file)
    {
        if (stamps_[file] + 1 != current_)
            return false;
        stamps_[file] = current_;
        return true;
    }

private:
    std::vector<std::uint32_t> stamps_;
    std::uint32_t current_ = 0;
};

// Which words one file looks for, as bits of a byte per word (what each
// bit stands for is the caller's). Set and cleared file by file on each
// thread, so a file costs its own words, not the vocabulary.
class TBWWordMarks {
public:
    void Mark(std::span<const std::uint32_t> words, std::uint8_t bit, std::size_t vocabulary)
    {
        if (marks_.size() < vocabulary)
            marks_.resize(vocabulary, 0);
        for (std::uint32_t word : words) {
            if (marks_[word] == 0)
                marked_.push_back(word);
            marks_[word] |= bit;
        }
    }
    bool Meets(std::span<const std::uint32_t> words, std::uint8_t bit) const
    {
        return std::any_of(words.begin(), words.end(), [&](std::uint32_t word) { return (marks_[word] & bit) != 0; });
    }
    void Clear()
    {
        for (std::uint32_t word : marked_)
            marks_[word] = 0;
        marked_.clear();
    }

private:
    std::vector<std::uint8_t> marks_;
    std::vector<std::uint32_t> marked_;
};

// The words with their similar words, ascending, each once.
void WithSimilarWords(std::span<const std::uint32_t> own, const TWordLinks& similarOf, std::vector<std::uint32_t>& words);

class TBWPrefixFilter {
public:
    // The words of one file by field, each field's as index numbers
    // ascending, one per occurrence.
    using TFields = std::vector<std::vector<std::uint32_t>>;

    // fields: for each file (in pool order) the fields whose words its score
    // counts. Of a pair, the file with fewer fields reaches threshold only
    // when each of its fields reaches it with some field of the other, as
    // fields compared in any order do, so the prefixes of some two of their
    // fields share a word. filesOfWord: how many files each word has, which
    // orders the words by rarity. threshold in [0, 1]; at 0, files of one
    // field each are passed with every file sharing a word.
    TBWPrefixFilter(const std::vector<TFields>& fields, const std::vector<std::uint32_t>& filesOfWord,
                    double threshold);

    // Calls visit(other) for every file, earlier ones too and file itself,
    // that can reach the threshold with it, scored either way round, and
    // for others whose first words share one with its own. Of a pair, the
    // one that must reach in every field (with fewer fields, or with as
    // many the earlier) meets the other in its narrowest field. Each once,
    // in no particular order.
    template <class Visit>
    void ForEachCandidate(std::uint32_t file, TBWCandidateMarks& seen, const Visit& visit) const
    {
        seen.Begin(prefixes_.size());
        const std::vector<TToken>& prefix = prefixes_[file];
        const std::uint32_t fields = fieldCount_[file];
        // Beyond its narrowest field, a file meets only the files that must
        // reach in every field themselves.
        const auto mustReach = [&](std::uint32_t other) {
            return fieldCount_[other] < fields || (fieldCount_[other] == fields && other < file);
        };
        // Of two files of one field the first token they share is the first
        // for both: their tokens go in one order.
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            const bool narrowest = i < narrowestCount_[file];
            for (const TPlace& place : filesOfToken_.find(prefix[i])->second)
                if ((narrowest || mustReach(place.file)) && seen.Take(place.file) && MayShareEnough(file, i, place))
                    visit(place.file);
        }
    }

    // The lowest word number two files share (words ascending).
    static std::uint32_t FirstSharedWord(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b);

    // How many of a list's n words, taken in order of rarity, must hold one
    // that a list reaching threshold with it shares.
    static std::size_t PrefixLength(std::size_t words, double threshold);

private:
    // A word and which occurrence of it in its list: a word twice in a name
    // is matched twice.
    using TToken = std::uint64_t;

    // Where a prefix token stands in a file's tokens, rarest first.
    struct TPlace {
        std::uint32_t file;
        std::uint32_t position;
    };

    // Two files of one field each, first meeting at these places of their
    // token lists (in one order, so no token before either place is
    // shared), share at most the tokens after them plus this one; too few
    // for the threshold, they cannot reach it.
    bool MayShareEnough(std::uint32_t file, std::size_t position, const TPlace& other) const
    {
        if (fieldCount_[file] != 1 || fieldCount_[other.file] != 1)
            return true;
        const std::uint32_t mine = tokenCount_[file], theirs = tokenCount_[other.file];
        const std::uint32_t shared = 1 + std::min(mine - 1 - static_cast<std::uint32_t>(position), theirs - 1 - other.position);
        return shared >= std::ceil(threshold_ * (mine + theirs) / 2.0 - 1e-9);
    }

    // The tokens of one field's prefix, rarest first.
    static void FieldPrefix(const std::vector<std::uint32_t>& list, const std::vector<std::uint32_t>& rank,
                            double threshold, std::vector<TToken>& tokens);
    // Puts the tokens of the file's field with the fewest files first.
    void PutNarrowestFirst(std::uint32_t file, const TFields& fields, const std::vector<std::uint32_t>& rank,
                           double threshold);

    // Per file: the tokens of every field's prefix, each once, those of the
    // narrowest field first, and how many those are; its field count.
    std::vector<std::vector<TToken>> prefixes_;
    std::vector<std::uint32_t> narrowestCount_;
    std::vector<std::uint32_t> fieldCount_;
    std::vector<std::uint32_t> tokenCount_;  // of a file of one field
    double threshold_;
    std::unordered_map<TToken, std::vector<TPlace>> filesOfToken_;
};

// The same with similar words, where a matched word is the same word or one
// within the tolerance. Two prefixes then need not share a word; but the
// matched words of a pair that reaches t are at least t * n / (2 - t) of the
// n words of either list, so each file's prefix (whichever words it leaves
// out) still holds a word that the other file matches, both ways round.
// Each file looks up the files through the words of its prefix and
// their similar words, among their whole word lists, or through all its
// words and their similar words, among their prefixes, whichever has fewer
// files, and keeps those that meet it the other way too. A file leaves out
// of its prefix the words that would cost most to look up: those with the
// most files, counting the files of their similar words.
class TBWSimilarPrefixFilter {
public:
    using TFields = TBWPrefixFilter::TFields;

    // fields: as for TBWPrefixFilter; filesOf: for each word the files that
    // have it in a compared field, ascending; similarOf: for each word the
    // words within the tolerance, earlier and later ones. All are read, not
    // copied, and must outlive the filter.
    TBWSimilarPrefixFilter(const std::vector<TFields>& fields,
                           const std::vector<std::vector<std::uint32_t>>& filesOf,
                           const TWordLinks& similarOf, double threshold);

    // The files that may reach the threshold with file, scored either way
    // round, file itself among them; each once, in no particular order.
    void Candidates(std::uint32_t file, std::vector<std::uint32_t>& candidates, TBWCandidateMarks& seen) const;

private:
    static constexpr std::uint8_t kFromPrefix = 1;  // a word of the prefix or similar to one
    static constexpr std::uint8_t kFromAll = 2;     // any word of the file or similar to one

    // The words of the prefix of file, each once.
    void PrefixWords(std::uint32_t file, std::vector<std::uint32_t>& prefix) const;
    bool WordsMeet(std::uint32_t file, const TBWWordMarks& marks, std::uint8_t bit) const;

    const std::vector<TFields>& fields_;
    const std::vector<std::vector<std::uint32_t>>& filesOf_;
    const TWordLinks& similarOf_;
    double threshold_;
    std::vector<std::uint64_t> lookupCost_;  // per word: its files and those of its similar words
    TWordLinks prefixOf_;                     // per file
    TWordLinks prefixFilesOf_;                // per word: the files whose prefix holds it
};

// For files compared field by field in order with exact words: one bit per
// word among the first words of each field (in one fixed order of words,
// as many as the threshold leaves to look at). Each field must reach the
// threshold, so two files whose bits of some field do not meet cannot.
class TBWFieldPrefixSignature {
public:
    TBWFieldPrefixSignature() = default;
    TBWFieldPrefixSignature(const TBWWordedComparable& file, double threshold);

    // True only when the two files certainly do not reach the threshold.
    bool CannotReach(const TBWFieldPrefixSignature& other) const
    {
        if (fieldCount_ != other.fieldCount_)
            return true;
        for (int field = 0; field < kFields; ++field)
            if ((bits_[field] & other.bits_[field]) == 0 && (bits_[field] | other.bits_[field]) != 0)
                return true;
        return false;
    }

private:
    static constexpr int kFields = 4;
    std::int32_t fieldCount_ = 0;
    std::uint64_t bits_[kFields] = {};
};
