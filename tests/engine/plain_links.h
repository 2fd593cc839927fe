// The reference for similar-word linking: the plain walk over every pair of
// words with a full edit-distance table, as the index once did it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "base/u_bwfunc.h"

// For each word (distinct, in byte order), the later words within tolerance.
inline std::vector<std::vector<std::uint32_t>> LinkEveryPair(const std::vector<std::string>& words,
                                                             std::int32_t tolerance)
{
    std::vector<std::u32string> folded;
    for (const std::string& word : words)
        WordFoldCodePoints(word, folded.emplace_back());
    std::vector<std::int32_t> previous, current;
    auto distance = [&](const std::u32string& a, const std::u32string& b) {
        previous.resize(b.size() + 1);
        current.resize(b.size() + 1);
        for (std::size_t j = 0; j <= b.size(); ++j)
            previous[j] = static_cast<std::int32_t>(j);
        for (std::size_t i = 1; i <= a.size(); ++i) {
            current[0] = static_cast<std::int32_t>(i);
            for (std::size_t j = 1; j <= b.size(); ++j)
                current[j] = std::min({previous[j - 1] + (a[i - 1] != b[j - 1]), current[j - 1] + 1,
                                       previous[j] + 1});
            std::swap(previous, current);
        }
        return previous[b.size()];
    };
    std::vector<std::vector<std::uint32_t>> links(words.size());
    if (tolerance <= 0)
        return links;
    for (std::uint32_t a = 0; a < words.size(); ++a)
        for (std::uint32_t b = a + 1; b < words.size(); ++b) {
            // Lengths in characters: a letter of another script is one, of two to four bytes.
            const auto difference = static_cast<std::int64_t>(folded[a].size()) -
                                    static_cast<std::int64_t>(folded[b].size());
            if (difference <= tolerance && -difference <= tolerance &&
                distance(folded[a], folded[b]) <= tolerance)
                links[a].push_back(b);
        }
    return links;
}
