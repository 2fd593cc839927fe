#include "engine/u_prefixfilter.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>

#include "base/u_bwbaseclass.h"

void WithSimilarWords(std::span<const std::uint32_t> own, const TWordLinks& similarOf, std::vector<std::uint32_t>& words)
{
    words.assign(own.begin(), own.end());
    for (std::uint32_t word : own)
        words.insert(words.end(), similarOf[word].begin(), similarOf[word].end());
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
}

TBWPrefixFilter::TBWPrefixFilter(const std::vector<TFields>& fields, const std::vector<std::uint32_t>& filesOfWord,
                                 double threshold)
    : prefixes_(fields.size()), narrowestCount_(fields.size()), fieldCount_(fields.size()),
      tokenCount_(fields.size()), threshold_(threshold)
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
            FieldPrefix(list, rank, threshold, tokens);
            prefix.insert(prefix.end(), tokens.begin(), tokens.end());
        }
        std::sort(prefix.begin(), prefix.end());
        prefix.erase(std::unique(prefix.begin(), prefix.end()), prefix.end());
        // Of one field, the prefix is the first of its tokens in order.
        for (std::uint32_t position = 0; position < prefix.size(); ++position)
            filesOfToken_[prefix[position]].push_back({file, position});
        tokenCount_[file] = fields[file].size() == 1 ? static_cast<std::uint32_t>(fields[file][0].size()) : 0;
        fieldCount_[file] = static_cast<std::uint32_t>(fields[file].size());
    }
    for (std::uint32_t file = 0; file < fields.size(); ++file)
        PutNarrowestFirst(file, fields[file], rank, threshold);
}

void TBWPrefixFilter::FieldPrefix(const std::vector<std::uint32_t>& list, const std::vector<std::uint32_t>& rank,
                                  double threshold, std::vector<TToken>& tokens)
{
    tokens.clear();
    for (std::size_t i = 0; i < list.size(); ++i) {
        // Words come ascending, so repeats stand together.
        const std::uint32_t occurrence =
            i > 0 && list[i - 1] == list[i] ? static_cast<std::uint32_t>(tokens.back() & 0xffffffffu) + 1 : 0;
        tokens.push_back(TToken{rank[list[i]]} << 32 | occurrence);
    }
    std::sort(tokens.begin(), tokens.end());
    tokens.resize(std::min(tokens.size(), PrefixLength(tokens.size(), threshold)));
}

void TBWPrefixFilter::PutNarrowestFirst(std::uint32_t file, const TFields& fields,
                                        const std::vector<std::uint32_t>& rank, double threshold)
{
    std::vector<TToken>& prefix = prefixes_[file];
    narrowestCount_[file] = static_cast<std::uint32_t>(prefix.size());
    if (fields.size() < 2)
        return;
    // A field without tokens meets nothing and is not a field to look up.
    std::vector<TToken> tokens, narrowest;
    std::uint64_t fewest = UINT64_MAX;
    for (const std::vector<std::uint32_t>& list : fields) {
        FieldPrefix(list, rank, threshold, tokens);
        std::uint64_t files = 0;
        for (TToken token : tokens)
            files += filesOfToken_.find(token)->second.size();
        if (!tokens.empty() && files < fewest) {
            fewest = files;
            narrowest = tokens;
        }
    }
    std::sort(narrowest.begin(), narrowest.end());
    narrowest.erase(std::unique(narrowest.begin(), narrowest.end()), narrowest.end());
    std::stable_partition(prefix.begin(), prefix.end(), [&](TToken token) {
        return std::binary_search(narrowest.begin(), narrowest.end(), token);
    });
    narrowestCount_[file] = static_cast<std::uint32_t>(narrowest.size());
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

TBWSimilarPrefixFilter::TBWSimilarPrefixFilter(const std::vector<TFields>& fields,
                                               const std::vector<std::vector<std::uint32_t>>& filesOf,
                                               const TWordLinks& similarOf,
                                               double threshold)
    : fields_(fields), filesOf_(filesOf), similarOf_(similarOf), threshold_(threshold), lookupCost_(filesOf.size())
{
    for (std::size_t word = 0; word < filesOf.size(); ++word) {
        lookupCost_[word] = filesOf[word].size();
        for (std::uint32_t similar : similarOf[word])
            lookupCost_[word] += filesOf[similar].size();
    }
    std::vector<std::uint32_t> prefix;
    for (std::uint32_t file = 0; file < fields.size(); ++file) {
        PrefixWords(file, prefix);
        for (std::uint32_t word : prefix)
            prefixOf_.Add(word);
        prefixOf_.EndWord();
    }
    prefixFilesOf_ = TWordLinks::Gathered(filesOf.size(), [&](const auto& add) {
        for (std::uint32_t file = 0; file < fields.size(); ++file)
            for (std::uint32_t word : prefixOf_[file])
                add(word, file);
    });
}

void TBWSimilarPrefixFilter::PrefixWords(std::uint32_t file, std::vector<std::uint32_t>& prefix) const
{
    prefix.clear();
    std::vector<std::uint32_t> list;
    for (const std::vector<std::uint32_t>& field : fields_[file]) {
        // Occurrences of one word count apart, as they are matched apart;
        // which of them are left out makes no difference.
        list = field;
        std::stable_sort(list.begin(), list.end(),
                         [&](std::uint32_t a, std::uint32_t b) { return lookupCost_[a] < lookupCost_[b]; });
        list.resize(std::min(list.size(), TBWPrefixFilter::PrefixLength(list.size(), threshold_)));
        prefix.insert(prefix.end(), list.begin(), list.end());
    }
    std::sort(prefix.begin(), prefix.end());
    prefix.erase(std::unique(prefix.begin(), prefix.end()), prefix.end());
}

bool TBWSimilarPrefixFilter::WordsMeet(std::uint32_t file, const TBWWordMarks& marks, std::uint8_t bit) const
{
    return std::any_of(fields_[file].begin(), fields_[file].end(), [&](const std::vector<std::uint32_t>& field) {
        return marks.Meets(field, bit);
    });
}

void TBWSimilarPrefixFilter::Candidates(std::uint32_t file, std::vector<std::uint32_t>& candidates,
                                        TBWCandidateMarks& seen) const
{
    seen.Begin(fields_.size());
    candidates.clear();
    thread_local std::vector<std::uint32_t> words, fromPrefix, fromAll;
    thread_local TBWWordMarks marks;
    WithSimilarWords(prefixOf_[file], similarOf_, fromPrefix);
    words.clear();
    for (const std::vector<std::uint32_t>& field : fields_[file])
        words.insert(words.end(), field.begin(), field.end());
    WithSimilarWords(words, similarOf_, fromAll);
    marks.Mark(fromPrefix, kFromPrefix, filesOf_.size());
    marks.Mark(fromAll, kFromAll, filesOf_.size());
    std::uint64_t byWords = 0, byPrefixes = 0;
    for (std::uint32_t word : fromPrefix)
        byWords += filesOf_[word].size();
    for (std::uint32_t word : fromAll)
        byPrefixes += prefixFilesOf_[word].size();
    const auto take = [&](const auto& files, const auto& meets) {
        for (std::uint32_t other : files)
            if (seen.Take(other) && meets(other))
                candidates.push_back(other);
    };
    if (byWords <= byPrefixes) {
        // Each has a word this prefix matches; its prefix must hold one of this file's.
        const auto prefixMeets = [&](std::uint32_t other) { return marks.Meets(prefixOf_[other], kFromAll); };
        for (std::uint32_t word : fromPrefix)
            take(filesOf_[word], prefixMeets);
    } else {
        const auto wordsMeet = [&](std::uint32_t other) { return WordsMeet(other, marks, kFromPrefix); };
        for (std::uint32_t word : fromAll)
            take(prefixFilesOf_[word], wordsMeet);
    }
    marks.Clear();
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
