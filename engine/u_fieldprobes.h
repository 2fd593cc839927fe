// For names compared field by field in order: a pair reaches the minimum
// relevance only when every field does, and a field only when a word of
// each file's prefix of that field (or, with a tolerance, a word similar to
// it) is among the other file's words of that field. So the files that
// can reach a file are found through whichever field, and whichever
// side's prefix, has the fewest files to look at, and each is kept only
// when every field tells so both ways: of the many files that share an
// artist or a common word, few are ever scored.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/u_similarwordlinker.h"

class TBWFile;
class TBWCandidateMarks;
class TBWWordMarks;

class TBWFieldProbes {
public:
    // Called now and then while similar words are linked; may throw to stop.
    using Progress = std::function<void()>;

    // files: the pool in order. The first few fields of each are looked at;
    // tolerance 0 links no similar words. The preparations run on threads
    // threads (0 for one per processor).
    TBWFieldProbes(const std::vector<TBWFile*>& files, std::int32_t tolerance, double threshold,
                   const Progress& progress, unsigned threads = 0);

    // Tells early, and cheaply, of some files that they cannot reach a file.
    using Excluded = std::function<bool(std::uint32_t other)>;

    // The files on either side of file that may reach the threshold with it,
    // each once (file itself too: the caller leaves it out),
    // in no particular order; those that excluded tells of are left out,
    // and so is every file numbered below from.
    void Candidates(std::uint32_t file, std::vector<std::uint32_t>& candidates, TBWCandidateMarks& seen,
                    const Excluded& excluded = {}, std::uint32_t from = 0) const;

private:
    static constexpr std::int32_t kProbedFields = 4;
    using TFilesOf = TWordLinks;  // by word

    // What one file looks for in one field of another: a word among its
    // prefix words and their similar words, and a prefix word among all
    // its words and their similar words (both ascending).
    struct TFieldProbe {
        std::vector<std::uint32_t> fromPrefix;
        std::vector<std::uint32_t> fromAll;
    };
    using TProbes = std::array<TFieldProbe, kProbedFields>;

    // One way of finding the files that may meet a file: the lists of
    // some words, and how many files they hold.
    struct TWay {
        const TFilesOf* lists = nullptr;
        const std::vector<std::uint32_t>* words = nullptr;
        std::uint64_t files = UINT64_MAX;
        std::uint32_t from = 0;  // the files numbered below are not looked at
    };
    // Below this many files, each is looked at; otherwise the files of the
    // next ways are taken too, those with at most this many times as many.
    static constexpr std::uint64_t kFewToLookAt = 16;
    static constexpr std::uint64_t kMoreToMark = 4;

    struct TBlockWords;
    void CountWords(const std::vector<TBWFile*>& files);
    void ReadWords(const std::vector<TBWFile*>& files);
    void NumberBlock(const std::vector<TBWFile*>& files, std::size_t from, std::size_t to, TBlockWords& block);
    void NumberInByteOrder(const std::vector<std::string_view>& vocabulary);
    void LinkSimilar(std::int32_t tolerance, const Progress& progress);
    void CountLookups();
    void ChoosePrefixes();
    // The words of one file's field as numbers, once per occurrence; its
    // prefix words, each once.
    const std::uint32_t* FieldBegin(std::uint32_t file, std::int32_t field) const { return words_.data() + Begin(file, field); }
    const std::uint32_t* FieldEnd(std::uint32_t file, std::int32_t field) const { return words_.data() + Begin(file, field + 1); }
    const std::uint32_t* PrefixBegin(std::uint32_t file, std::int32_t field) const { return prefixes_.data() + Begin(file, field); }
    const std::uint32_t* PrefixEnd(std::uint32_t file, std::int32_t field) const
    {
        return PrefixBegin(file, field) + prefixLength_[file * kProbedFields + static_cast<std::size_t>(field)];
    }
    std::uint32_t Begin(std::uint32_t file, std::int32_t field) const
    {
        return fieldBegin_[file * kProbedFields + static_cast<std::size_t>(field)];
    }
    // How many files the words have in one of the lists.
    static std::uint64_t FilesOf(const TFilesOf& filesOf, const std::vector<std::uint32_t>& words);
    template <class Visit>
    void ForEachFile(const TWay& way, const Visit& visit) const;
    // Calls keep for the files that the cheapest ways (by field,
    // cheapest first) all give, each once.
    template <class Keep>
    void TakeCandidates(const std::array<TWay, kProbedFields>& cheapest, TBWCandidateMarks& seen,
                        const Keep& keep) const;
    // With exact words, two files meet in a field only when their prefixes
    // share a word: a hash of each field's prefix words, a few bits per
    // field, tells cheaply of most pairs that they do not.
    static constexpr std::int32_t kBitsPerField = 16;
    static std::uint64_t PrefixBits(std::int32_t field, std::span<const std::uint32_t> prefix);
    bool PrefixesApart(std::uint32_t file, std::uint32_t other) const;
    bool MeetsEveryField(std::uint32_t other, std::int32_t fieldCount, const TProbes& probes,
                         const TBWWordMarks& marks) const;

    double threshold_;
    // Words match only themselves: two prefixes taken in one order meet.
    bool exact_;
    unsigned threads_;
    std::vector<std::int32_t> fieldCount_;  // per file
    // Word numbers of the probed fields, file after file, field after field;
    // where each file's fields begin, kProbedFields entries per file, then
    // the end.
    std::vector<std::uint32_t> words_;
    std::vector<std::uint32_t> fieldBegin_;
    std::size_t vocabularySize_ = 0;
    std::vector<std::string> vocabulary_;  // by word number, in byte order; with a tolerance only
    // Each field's prefix where its words are in words_, and its length.
    std::vector<std::uint32_t> prefixes_;
    std::vector<std::uint32_t> prefixLength_;
    std::vector<std::uint64_t> prefixBits_;  // per file, with exact words only
    std::vector<TFilesOf> filesOf_;        // [field]
    std::vector<TFilesOf> prefixFilesOf_;  // [field]: whose prefix has each word
    TWordLinks similarOf_;                  // [word], both ways
    std::vector<std::vector<std::uint64_t>> lookupCost_;  // [field][word]
};
