// For names compared field by field in order: a pair reaches the minimum
// relevance only when every field does, and a field only when a word of one
// file's prefix of that field (or, with a tolerance, a word similar to it)
// is among the other file's words of that field. So the later files that
// can reach it are found through whichever field of a file has the fewest
// files to look at, and each is kept only when the other fields tell so
// too: of the many files that share an artist, few are ever scored.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TBWFile;
class TBWCandidateMarks;

class TBWFieldProbes {
public:
    // Called now and then while similar words are linked; may throw to stop.
    using Progress = std::function<void()>;

    // files: the pool in order. The first few fields of each are looked at;
    // tolerance 0 links no similar words.
    TBWFieldProbes(const std::vector<TBWFile*>& files, std::int32_t tolerance, double threshold,
                   const Progress& progress);

    // The files after file that may reach the threshold with it, each once,
    // in no particular order.
    void LaterCandidates(std::uint32_t file, std::vector<std::uint32_t>& candidates, TBWCandidateMarks& seen) const;

private:
    static constexpr std::int32_t kProbedFields = 4;
    using TProbes = std::array<std::vector<std::uint32_t>, kProbedFields>;

    void ReadWords(const std::vector<TBWFile*>& files);
    void LinkSimilar(std::int32_t tolerance, const Progress& progress);
    void CountLookups();
    // The words of one file's field as numbers, once per occurrence.
    const std::uint32_t* FieldBegin(std::uint32_t file, std::int32_t field) const
    {
        return words_.data() + fieldBegin_[file * kProbedFields + static_cast<std::size_t>(field)];
    }
    const std::uint32_t* FieldEnd(std::uint32_t file, std::int32_t field) const
    {
        return words_.data() + fieldBegin_[file * kProbedFields + static_cast<std::size_t>(field) + 1];
    }
    // The words of a field of file to look up, with their similar words,
    // ascending; and how many files they have.
    std::uint64_t ProbeWords(std::uint32_t file, std::int32_t field, std::vector<std::uint32_t>& probes) const;
    // Whether other has one of probes among its words of field.
    bool Meets(std::uint32_t other, std::int32_t field, const std::vector<std::uint32_t>& probes) const;

    double threshold_;
    std::vector<std::int32_t> fieldCount_;  // per file
    // Word numbers of the probed fields, file after file, field after field;
    // where each file's fields begin, kProbedFields entries per file, then
    // the end.
    std::vector<std::uint32_t> words_;
    std::vector<std::uint32_t> fieldBegin_;
    std::vector<std::string> vocabulary_;  // by word number, in byte order
    std::vector<std::vector<std::vector<std::uint32_t>>> filesOf_;  // [field][word]
    std::vector<std::vector<std::uint32_t>> similarOf_;             // [word], both ways
    std::vector<std::vector<std::uint64_t>> lookupCost_;            // [field][word]
};
