#include "engine/SimilarWordLinker.h"

#include <algorithm>
#include <string_view>

#include "base/u_bwfunc.h"

namespace {

// Two words within edit distance t can both be turned into one common text
// by deleting at most t characters from each (a substitution is one deletion
// on either side). So words that share no such "deletion variant" are never
// similar, and only words that share one need the exact test.
struct VariantEntry {
    std::uint64_t hash;
    std::uint32_t word;
    bool operator<(const VariantEntry& other) const
    {
        return hash != other.hash ? hash < other.hash : word < other.word;
    }
};

std::uint64_t HashCodePoints(const char32_t* begin, std::size_t length)
{
    std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
    for (std::size_t i = 0; i < length; ++i) {
        hash ^= static_cast<std::uint64_t>(begin[i]);
        hash *= 1099511628211ull;
    }
    return hash ^ (static_cast<std::uint64_t>(length) << 56);
}

// Words with more deletion variants than this are compared directly with
// every word of a close length instead: long words are rare, and their
// variants would grow with the cube of their length.
constexpr std::uint64_t kMaxVariantsPerWord = 4096;

std::uint64_t VariantCount(std::size_t length, std::int32_t tolerance)
{
    std::uint64_t count = 0, choose = 1;
    for (std::int32_t k = 0; k <= tolerance && static_cast<std::size_t>(k) <= length; ++k) {
        count += choose;
        choose = choose * (length - k) / (k + 1);
    }
    return count;
}

class VariantCollector {
public:
    VariantCollector(std::int32_t tolerance, std::vector<VariantEntry>& out)
        : tolerance_(tolerance), out_(out) {}

    void Collect(const std::u32string& word, std::uint32_t index)
    {
        word_ = &word;
        hashes_.clear();
        Delete(0, 0);
        std::sort(hashes_.begin(), hashes_.end());
        hashes_.erase(std::unique(hashes_.begin(), hashes_.end()), hashes_.end());
        for (std::uint64_t hash : hashes_)
            out_.push_back({hash, index});
    }

private:
    // Every choice of up to tolerance deleted positions, in increasing order.
    void Delete(std::size_t from, std::int32_t deleted)
    {
        hashes_.push_back(HashOfVariant());
        if (deleted == tolerance_)
            return;
        for (std::size_t position = from; position < word_->size(); ++position) {
            skipped_.push_back(position);
            Delete(position + 1, deleted + 1);
            skipped_.pop_back();
        }
    }

    std::uint64_t HashOfVariant()
    {
        variant_.clear();
        std::size_t next = 0;
        for (std::size_t i = 0; i < word_->size(); ++i) {
            if (next < skipped_.size() && skipped_[next] == i)
                ++next;
            else
                variant_.push_back((*word_)[i]);
        }
        return HashCodePoints(variant_.data(), variant_.size());
    }

    std::int32_t tolerance_;
    std::vector<VariantEntry>& out_;
    const std::u32string* word_ = nullptr;
    std::u32string variant_;
    std::vector<std::size_t> skipped_;
    std::vector<std::uint64_t> hashes_;
};

using Candidates = std::vector<std::vector<std::uint32_t>>;

void AddPairsSharingAVariant(std::vector<VariantEntry>& variants, Candidates& candidates)
{
    std::sort(variants.begin(), variants.end());
    for (std::size_t start = 0; start < variants.size();) {
        std::size_t end = start + 1;
        while (end < variants.size() && variants[end].hash == variants[start].hash)
            ++end;
        for (std::size_t a = start; a < end; ++a)
            for (std::size_t b = a + 1; b < end; ++b)
                candidates[variants[a].word].push_back(variants[b].word);
        start = end;
    }
}

void AddPairsOfLongWords(const std::vector<std::u32string>& folded,
                         const std::vector<std::uint32_t>& longWords, std::int32_t tolerance,
                         Candidates& candidates)
{
    std::vector<std::vector<std::uint32_t>> byLength;
    for (std::uint32_t i = 0; i < folded.size(); ++i) {
        if (folded[i].size() >= byLength.size())
            byLength.resize(folded[i].size() + 1);
        byLength[folded[i].size()].push_back(i);
    }
    for (std::uint32_t word : longWords) {
        const std::size_t length = folded[word].size();
        const std::size_t from = length > static_cast<std::size_t>(tolerance) ? length - tolerance : 0;
        const std::size_t to = std::min(byLength.size() - 1, length + tolerance);
        for (std::size_t l = from; l <= to; ++l)
            for (std::uint32_t other : byLength[l])
                if (other != word)
                    candidates[std::min(word, other)].push_back(std::max(word, other));
    }
}

// For each word, the later words that may be similar to it (a superset).
Candidates CandidatePairs(const std::vector<std::string>& words, std::int32_t tolerance)
{
    std::vector<std::u32string> folded;
    folded.reserve(words.size());
    for (const std::string& word : words)
        folded.push_back(FoldedCodePoints(word));

    Candidates candidates(words.size());
    std::vector<VariantEntry> variants;
    std::vector<std::uint32_t> longWords;
    VariantCollector collector(tolerance, variants);
    for (std::uint32_t i = 0; i < words.size(); ++i) {
        if (VariantCount(folded[i].size(), tolerance) > kMaxVariantsPerWord)
            longWords.push_back(i);
        else
            collector.Collect(folded[i], i);
    }
    AddPairsSharingAVariant(variants, candidates);
    AddPairsOfLongWords(folded, longWords, tolerance, candidates);
    return candidates;
}

bool LengthsClose(const std::string& a, const std::string& b, std::int32_t tolerance)
{
    const auto difference = static_cast<std::int64_t>(a.size()) - static_cast<std::int64_t>(b.size());
    return difference <= tolerance && -difference <= tolerance;
}

}  // namespace

std::vector<std::vector<std::uint32_t>> SimilarWordLinker::LinkLaterWords(
    const std::vector<std::string>& words, std::int32_t tolerance, const Progress& progress)
{
    std::vector<std::vector<std::uint32_t>> links(words.size());
    if (tolerance <= 0 || words.size() < 2)
        return links;
    std::vector<std::vector<std::uint32_t>> candidates = CandidatePairs(words, tolerance);

    constexpr std::uint64_t kReportEvery = 1u << 20;
    std::uint64_t pairsDone = 0, lastReported = 0;
    for (std::uint32_t i = 0; i < words.size(); ++i) {
        std::vector<std::uint32_t>& later = candidates[i];
        std::sort(later.begin(), later.end());
        later.erase(std::unique(later.begin(), later.end()), later.end());
        for (std::uint32_t j : later)
            if (LengthsClose(words[i], words[j], tolerance) &&
                WithinEditDistance(words[i], words[j], tolerance))
                links[i].push_back(j);
        std::vector<std::uint32_t>().swap(later);
        pairsDone += words.size() - 1 - i;
        if (progress && pairsDone - lastReported >= kReportEvery) {
            progress(pairsDone);
            lastReported = pairsDone;
        }
    }
    if (progress && lastReported != pairsDone)
        progress(pairsDone);
    return links;
}
