// Files whose word lists are identical, field by field: scored with exact
// words, each such file scores 1 with the others and the same as they do
// with any third file, so the matching scores one file of each class, its
// leader (the first in pool order), for all of them.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

class TBWFile;

class TBWWordClasses {
public:
    // files in pool order; indexed: whether each has a word of the index
    // (a file with none meets no other and stays alone). Spread over
    // threads (0 for one per processor).
    TBWWordClasses(const std::vector<TBWFile*>& files, const std::vector<bool>& indexed, unsigned threads);

    bool Leads(std::uint32_t place) const { return leaderOf_[place] == place; }
    std::uint32_t LeaderOf(std::uint32_t place) const { return leaderOf_[place]; }
    // The places of the class that leader leads, in pool order.
    std::span<const std::uint32_t> MembersOf(std::uint32_t leader) const;

private:
    static constexpr std::uint32_t kAlone = UINT32_MAX;

    std::vector<std::uint32_t> leaderOf_;
    std::vector<std::uint32_t> classOf_;  // by leader: into classes_, or kAlone
    std::vector<std::vector<std::uint32_t>> classes_;  // of more than one file
};
