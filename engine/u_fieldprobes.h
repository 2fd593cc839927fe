// For names compared field by field in order, with similar words: a pair
// reaches the minimum relevance only when every field does, and a field only
// when a word of one file's prefix of that field, or a word similar to it,
// is among the other file's words of that field. The candidates found
// through the first field (the indexed one) are kept only when the later
// fields tell so too, which leaves few of the many files that share an
// artist to be scored.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TBWFile;

class TBWFieldProbes {
public:
    // Called now and then while similar words are linked; may throw to stop.
    using Progress = std::function<void()>;

    // files: the pool in order. Fields past the first of each, up to a few,
    // are looked at.
    TBWFieldProbes(const std::vector<TBWFile*>& files, std::int32_t tolerance, double threshold,
                   const Progress& progress);

    // Keeps of candidates (later files of file) those that every probed field
    // lets through; the order of those kept stays.
    void Keep(std::uint32_t file, std::vector<std::uint32_t>& candidates) const;

private:
    static constexpr std::int32_t kProbedFields = 3;  // after the first

    static constexpr std::size_t kStride = kProbedFields;

    void ReadWords(const std::vector<TBWFile*>& files);
    void LinkSimilar(std::int32_t tolerance, const Progress& progress);
    void CountLookups();
    // The words of one file's field (1..) as numbers, once per occurrence.
    const std::uint32_t* FieldBegin(std::uint32_t file, std::int32_t field) const
    {
        return words_.data() + fieldBegin_[file * kStride + static_cast<std::size_t>(field) - 1];
    }
    const std::uint32_t* FieldEnd(std::uint32_t file, std::int32_t field) const
    {
        return words_.data() + fieldBegin_[file * kStride + static_cast<std::size_t>(field)];
    }
    // The words of a field of file to look up, with their similar words.
    void ProbeWords(std::uint32_t file, std::int32_t field, std::vector<std::uint32_t>& probes) const;

    double threshold_;
    std::vector<std::int32_t> fieldCount_;  // per file
    // Word numbers of the probed fields, file after file, field after field;
    // where each file's fields begin, kStride entries per file, then the end.
    std::vector<std::uint32_t> words_;
    std::vector<std::uint32_t> fieldBegin_;
    std::vector<std::string> vocabulary_;  // by word number, in byte order
    std::vector<std::vector<std::vector<std::uint32_t>>> filesOf_;  // [field - 1][word]
    std::vector<std::vector<std::uint32_t>> similarOf_;             // [word], both ways
    std::vector<std::vector<std::uint64_t>> lookupCost_;            // [field - 1][word]
};
