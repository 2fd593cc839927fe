#include "engine/u_prefixfilter.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>

#include "base/u_bwbaseclass.h"

TBWPrefixFilter::TBWPrefixFilter(const std::vector<TFields>& fields, const std::vector<std::uint32_t>& filesOfWord,
                                 double threshold)
    : prefixes_(fields.size())
{
    // Rarest first; any one order serves, as long as every list uses it.
    std::vector<std::uint32_t> rank(filesOfWord.size());
    {
        std::vector<std::uint32_t> byRarity(filesOfWord.size());
        for (std::uint32_t w = 0; w < byRarity.size(); ++w)
            byRarity[w] = w;
        std::stable_sort(byRarity.begin(), byRarity.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return filesOfWord[a] < filesOfWord[b]; });
        for (std::uint32_t r = 0; r < byRarity.size(); ++r)
            rank[byRarity[r]] = r;
    }
    std::vector<TToken> tokens;
    for (std::uint32_t file = 0; file < fields.size(); ++file) {
        std::vector<TToken>& prefix = prefixes_[file];
        for (const std::vector<std::uint32_t>& list : fields[file]) {
            tokens.clear();
            for (std::size_t i = 0; i < list.size(); ++i) {
                // Words come ascending, so repeats stand together.
                const std::uint32_t occurrence =
                    i > 0 && list[i - 1] == list[i] ? static_cast<std::uint32_t>(tokens.back() & 0xffffffffu) + 1 : 0;
                tokens.push_back(TToken{rank[list[i]]} << 32 | occurrence);
            }
            std::sort(tokens.begin(), tokens.end());
            tokens.resize(std::min(tokens.size(), PrefixLength(tokens.size(), threshold)));
            prefix.insert(prefix.end(), tokens.begin(), tokens.end());
        }
        std::sort(prefix.begin(), prefix.end());
        prefix.erase(std::unique(prefix.begin(), prefix.end()), prefix.end());
        for (TToken token : prefix)
            filesOfToken_[token].push_back(file);
    }
}

std::size_t TBWPrefixFilter::PrefixLength(std::size_t words, double threshold)
{
    // Shared words needed: at least threshold * (n + m) / 2, and a list of m
    // words reaches threshold only with m >= threshold * n / (2 - threshold).
    // The margin keeps rounding from ever making the prefix too short.
    const double needed = std::ceil(threshold * static_cast<double>(words) / (2.0 - threshold) - 1e-9);
    const auto shared = static_cast<std::size_t>(std::max(1.0, needed));
    return shared > words ? 0 : words - shared + 1;
}

std::uint32_t TBWPrefixFilter::FirstSharedWord(const std::vector<std::uint32_t>& a, const std::vector<std::uint32_t>& b)
{
    auto i = a.begin(), j = b.begin();
    while (i != a.end() && j != b.end()) {
        if (*i == *j)
            return *i;
        if (*i < *j)
            ++i;
        else
            ++j;
    }
    return UINT32_MAX;
}

TBWSimilarPrefixFilter::TBWSimilarPrefixFilter(const std::vector<TFields>& fields,
                                               const std::vector<std::vector<std::uint32_t>>& filesOf,
                                               const WordLinks& similarOf,
                                               double threshold)
    : fields_(fields), filesOf_(filesOf), similarOf_(similarOf), threshold_(threshold), lookupCost_(filesOf.size())
{
    for (std::size_t word = 0; word < filesOf.size(); ++word) {
        lookupCost_[word] = filesOf[word].size();
        for (std::uint32_t similar : similarOf[word])
            lookupCost_[word] += filesOf[similar].size();
    }
}

void TBWSimilarPrefixFilter::ProbeWords(std::uint32_t file, std::vector<std::uint32_t>& probes) const
{
    probes.clear();
    std::vector<std::uint32_t> list;
    for (const std::vector<std::uint32_t>& field : fields_[file]) {
        // Occurrences of one word count apart, as they are matched apart;
        // which of them are left out makes no difference.
        list = field;
        std::stable_sort(list.begin(), list.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return lookupCost_[a] < lookupCost_[b]; });
        list.resize(std::min(list.size(), TBWPrefixFilter::PrefixLength(list.size(), threshold_)));
        probes.insert(probes.end(), list.begin(), list.end());
    }
    std::sort(probes.begin(), probes.end());
    probes.erase(std::unique(probes.begin(), probes.end()), probes.end());
}

void TBWCandidateMarks::Begin(std::size_t files)
{
    if (stamps_.size() < files)
        stamps_.resize(files, 0);
    if (++current_ == 0) {
        // The last round's files stay taken in it, for TakeMarked.
        for (std::uint32_t& stamp : stamps_)
            stamp = stamp == UINT32_MAX ? 1 : 0;
        current_ = 2;
    }
}

void TBWSimilarPrefixFilter::LaterCandidates(std::uint32_t file, std::vector<std::uint32_t>& candidates,
                                             TBWCandidateMarks& seen) const
{
    seen.Begin(fields_.size());
    candidates.clear();
    thread_local std::vector<std::uint32_t> probes;
    ProbeWords(file, probes);
    auto take = [&](std::uint32_t word) {
        const std::vector<std::uint32_t>& files = filesOf_[word];
        for (auto at = std::upper_bound(files.begin(), files.end(), file); at != files.end(); ++at)
            if (seen.Take(*at))
                candidates.push_back(*at);
    };
    for (std::uint32_t word : probes) {
        take(word);
        for (std::uint32_t similar : similarOf_[word])
            take(similar);
    }
}

TBWFieldPrefixSignature::TBWFieldPrefixSignature(const TBWWordedComparable& file, double threshold)
    : fieldCount_(file.FieldCount())
{
    const TBWWords::TView words = file.WordView();
    std::vector<std::uint64_t> tokens;
    for (std::int32_t field = 0; field < std::min<std::int32_t>(fieldCount_, kFields); ++field) {
        const std::int32_t start = file.FieldStart(field), end = start + file.WordCount(field);
        tokens.clear();
        for (std::int32_t i = start; i < end; ++i) {
            // The same word twice is two tokens, as it is matched twice. Two
            // words of one hash only make more tokens meet, never fewer.
            std::uint64_t occurrence = 0;
            for (std::int32_t j = start; j < i; ++j)
                occurrence += words[j] == words[i];
            tokens.push_back(std::hash<std::string_view>{}(words[i]) + occurrence * 0x9E3779B97F4A7C15ull);
        }
        std::sort(tokens.begin(), tokens.end());
        tokens.resize(std::min(tokens.size(), TBWPrefixFilter::PrefixLength(tokens.size(), threshold)));
        for (std::uint64_t token : tokens)
            bits_[field] |= std::uint64_t{1} << (token >> 58);
    }
}
