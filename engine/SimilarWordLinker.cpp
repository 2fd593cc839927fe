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

// Every choice of up to tolerance deleted positions of a word, as hashes,
// each once.
class VariantHasher {
public:
    explicit VariantHasher(std::int32_t tolerance) : tolerance_(tolerance) {}

    const std::vector<std::uint64_t>& HashesOf(const std::u32string& word)
    {
        word_ = &word;
        hashes_.clear();
        Delete(0, 0);
        std::sort(hashes_.begin(), hashes_.end());
        hashes_.erase(std::unique(hashes_.begin(), hashes_.end()), hashes_.end());
        return hashes_;
    }

private:
    // In increasing order of the deleted positions.
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
    const std::u32string* word_ = nullptr;
    std::u32string variant_;
    std::vector<std::size_t> skipped_;
    std::vector<std::uint64_t> hashes_;
};

// Finds, word by word, the later words that may be similar to it (a
// superset): those sharing a deletion variant, and for long words every
// word of a close length. Holds the variants once, in two orders, and never
// the pairs, so its memory grows with the words and not with their pairs.
class CandidateFinder {
public:
    CandidateFinder(const std::vector<std::u32string>& folded, std::int32_t tolerance)
        : folded_(folded), tolerance_(tolerance), firstVariant_(folded.size() + 1, 0)
    {
        VariantHasher hasher(tolerance);
        for (std::uint32_t i = 0; i < folded.size(); ++i) {
            const std::size_t length = folded[i].size();
            if (length >= byLength_.size()) {
                byLength_.resize(length + 1);
                longByLength_.resize(length + 1);
            }
            byLength_[length].push_back(i);
            if (VariantCount(length, tolerance) > kMaxVariantsPerWord) {
                longByLength_[length].push_back(i);
            } else {
                for (std::uint64_t hash : hasher.HashesOf(folded[i])) {
                    variantsOfWord_.push_back(hash);
                    byHash_.push_back({hash, i});
                }
            }
            firstVariant_[i + 1] = variantsOfWord_.size();
        }
        std::sort(byHash_.begin(), byHash_.end());
    }

    // Ascending, each once.
    void LaterCandidates(std::uint32_t word, std::vector<std::uint32_t>& candidates) const
    {
        candidates.clear();
        const std::size_t length = folded_[word].size();
        const bool isLong = VariantCount(length, tolerance_) > kMaxVariantsPerWord;
        const std::size_t from = length > static_cast<std::size_t>(tolerance_) ? length - tolerance_ : 0;
        const std::size_t to = std::min(byLength_.size() - 1, length + tolerance_);
        for (std::size_t l = from; l <= to; ++l)
            AddLater(isLong ? byLength_[l] : longByLength_[l], word, candidates);
        for (std::size_t v = firstVariant_[word]; v < firstVariant_[word + 1]; ++v) {
            const auto first = std::upper_bound(byHash_.begin(), byHash_.end(), VariantEntry{variantsOfWord_[v], word});
            for (auto at = first; at != byHash_.end() && at->hash == variantsOfWord_[v]; ++at)
                candidates.push_back(at->word);
        }
        std::sort(candidates.begin(), candidates.end());
        candidates.erase(std::unique(candidates.begin(), candidates.end()), candidates.end());
    }

private:
    static void AddLater(const std::vector<std::uint32_t>& words, std::uint32_t word,
                         std::vector<std::uint32_t>& candidates)
    {
        candidates.insert(candidates.end(), std::upper_bound(words.begin(), words.end(), word), words.end());
    }

    const std::vector<std::u32string>& folded_;
    std::int32_t tolerance_;
    std::vector<std::size_t> firstVariant_;     // per word, into variantsOfWord_
    std::vector<std::uint64_t> variantsOfWord_;  // the hashes of each word, word by word
    std::vector<VariantEntry> byHash_;           // the same, by hash, then word
    std::vector<std::vector<std::uint32_t>> byLength_;
    std::vector<std::vector<std::uint32_t>> longByLength_;
};

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
    std::vector<std::u32string> folded;
    folded.reserve(words.size());
    for (const std::string& word : words)
        folded.push_back(FoldedCodePoints(word));
    const CandidateFinder finder(folded, tolerance);

    // Reported often enough that a stop request, which the engine answers
    // in its report, is answered at once even for words with many candidates.
    constexpr std::uint64_t kReportEvery = 1u << 16;
    std::uint64_t pairsDone = 0, lastReported = 0;
    std::vector<std::uint32_t> later;
    for (std::uint32_t i = 0; i < words.size(); ++i) {
        finder.LaterCandidates(i, later);
        for (std::uint32_t j : later)
            if (LengthsClose(words[i], words[j], tolerance) &&
                WithinEditDistance(words[i], words[j], tolerance))
                links[i].push_back(j);
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
