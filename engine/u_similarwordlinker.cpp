#include "engine/u_similarwordlinker.h"

#include <algorithm>
#include <string_view>

#include "base/u_bwfunc.h"

namespace {

// Two words within edit distance t can both be turned into one common text
// by deleting at most t characters from each (a substitution is one deletion
// on either side). So words that share no such "deletion variant" are never
// similar, and only words that share one need the exact test.
struct TVariantEntry {
    std::uint64_t hash;
    std::uint32_t word;
    bool operator<(const TVariantEntry& other) const
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

// The folded code points of every word, side by side in one array: the
// exact tests read two words at random, and apart they would each cost a
// miss of the cache.
class TFoldedWords {
public:
    explicit TFoldedWords(const std::vector<std::string>& words)
    {
        starts_.reserve(words.size() + 1);
        starts_.push_back(0);
        std::u32string word;
        for (const std::string& text : words) {
            word.clear();
            WordFoldCodePoints(text, word);
            codePoints_.insert(codePoints_.end(), word.begin(), word.end());
            starts_.push_back(codePoints_.size());
        }
    }

    std::size_t Count() const { return starts_.size() - 1; }
    std::u32string_view operator[](std::size_t word) const
    {
        return {codePoints_.data() + starts_[word], starts_[word + 1] - starts_[word]};
    }

private:
    std::vector<char32_t> codePoints_;
    std::vector<std::size_t> starts_;
};

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
class TVariantHasher {
public:
    explicit TVariantHasher(std::int32_t tolerance) : tolerance_(tolerance) {}

    const std::vector<std::uint64_t>& HashesOf(std::u32string_view word)
    {
        word_ = word;
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
        for (std::size_t position = from; position < word_.size(); ++position) {
            skipped_.push_back(position);
            Delete(position + 1, deleted + 1);
            skipped_.pop_back();
        }
    }

    std::uint64_t HashOfVariant()
    {
        variant_.clear();
        std::size_t next = 0;
        for (std::size_t i = 0; i < word_.size(); ++i) {
            if (next < skipped_.size() && skipped_[next] == i)
                ++next;
            else
                variant_.push_back(word_[i]);
        }
        return HashCodePoints(variant_.data(), variant_.size());
    }

    std::int32_t tolerance_;
    std::u32string_view word_;
    std::u32string variant_;
    std::vector<std::size_t> skipped_;
    std::vector<std::uint64_t> hashes_;
};

// Hands the engine's stop request a chance while words are prepared or
// compared: a report comes at least every kReportEvery pairs or checks.
class TProgressReporter {
public:
    explicit TProgressReporter(const TSimilarWordLinker::Progress& progress) : progress_(progress) {}

    void WordDone(std::uint64_t pairs)
    {
        pairsDone_ += pairs;
        if (pairsDone_ - lastReported_ >= kReportEvery)
            Report();
    }
    // Work that deals with no pair yet, or within one word's pairs.
    void Worked(std::uint64_t items)
    {
        unreportedWork_ += items;
        if (unreportedWork_ >= kReportEvery)
            Report();
    }
    void Finish()
    {
        if (lastReported_ != pairsDone_)
            Report();
    }

private:
    static constexpr std::uint64_t kReportEvery = 1u << 16;

    void Report()
    {
        if (progress_)
            progress_(pairsDone_);
        lastReported_ = pairsDone_;
        unreportedWork_ = 0;
    }

    const TSimilarWordLinker::Progress& progress_;
    std::uint64_t pairsDone_ = 0;
    std::uint64_t lastReported_ = 0;
    std::uint64_t unreportedWork_ = 0;
};

// Sorts the variants by hash and, for one hash, by word: in slices of the
// hashes' top bits, so that the work is reported slice by slice.
void SortByHash(std::vector<TVariantEntry>& entries, TProgressReporter& reporter)
{
    constexpr int kSliceBits = 16;
    std::vector<std::size_t> sliceStarts((1u << kSliceBits) + 1, 0);
    auto sliceOf = [](const TVariantEntry& entry) { return entry.hash >> (64 - kSliceBits); };
    for (const TVariantEntry& entry : entries)
        ++sliceStarts[sliceOf(entry) + 1];
    for (std::size_t s = 1; s < sliceStarts.size(); ++s)
        sliceStarts[s] += sliceStarts[s - 1];
    std::vector<TVariantEntry> sorted(entries.size());
    std::vector<std::size_t> next(sliceStarts.begin(), sliceStarts.end() - 1);
    for (const TVariantEntry& entry : entries)
        sorted[next[sliceOf(entry)]++] = entry;
    reporter.Worked(entries.size());
    for (std::size_t s = 0; s + 1 < sliceStarts.size(); ++s) {
        std::sort(sorted.begin() + sliceStarts[s], sorted.begin() + sliceStarts[s + 1]);
        reporter.Worked(sliceStarts[s + 1] - sliceStarts[s] + 1);
    }
    entries = std::move(sorted);
}

// Finds, word by word, the later words that may be similar to it (a
// superset): those sharing a deletion variant, and for long words every
// word of a close length. Holds the variants once, by hash, and where each
// word's own ones lie among them, never the pairs: its memory grows with
// the words and not with their pairs.
class TCandidateFinder {
public:
    TCandidateFinder(const TFoldedWords& folded, std::int32_t tolerance, TProgressReporter& reporter)
        : folded_(folded), tolerance_(tolerance), firstVariant_(folded.Count() + 1, 0), seenBy_(folded.Count(), 0)
    {
        TVariantHasher hasher(tolerance);
        for (std::uint32_t i = 0; i < folded.Count(); ++i) {
            const std::size_t length = folded[i].size();
            if (length >= byLength_.size()) {
                byLength_.resize(length + 1);
                longByLength_.resize(length + 1);
            }
            byLength_[length].push_back(i);
            if (VariantCount(length, tolerance) > kMaxVariantsPerWord) {
                longByLength_[length].push_back(i);
            } else {
                const std::vector<std::uint64_t>& hashes = hasher.HashesOf(folded[i]);
                for (std::uint64_t hash : hashes)
                    byHash_.push_back({hash, i});
                reporter.Worked(hashes.size() * length);
            }
            firstVariant_[i + 1] = byHash_.size();
        }
        SortByHash(byHash_, reporter);
        // A word's variants in the sorted order, so that the later words
        // sharing one are those right after it, found without a search.
        placesOfWord_.resize(byHash_.size());
        std::vector<std::size_t> next(firstVariant_.begin(), firstVariant_.end() - 1);
        for (std::size_t place = 0; place < byHash_.size(); ++place)
            placesOfWord_[next[byHash_[place].word]++] = place;
        reporter.Worked(byHash_.size());
    }

    // Each once, in no order.
    void LaterCandidates(std::uint32_t word, std::vector<std::uint32_t>& candidates)
    {
        candidates.clear();
        const std::size_t length = folded_[word].size();
        const bool isLong = VariantCount(length, tolerance_) > kMaxVariantsPerWord;
        const std::size_t from = length > static_cast<std::size_t>(tolerance_) ? length - tolerance_ : 0;
        const std::size_t to = std::min(byLength_.size() - 1, length + tolerance_);
        for (std::size_t l = from; l <= to; ++l)
            AddLater(isLong ? byLength_[l] : longByLength_[l], word, candidates);
        for (std::size_t v = firstVariant_[word]; v < firstVariant_[word + 1]; ++v) {
            const std::size_t own = placesOfWord_[v];
            for (std::size_t at = own + 1; at < byHash_.size() && byHash_[at].hash == byHash_[own].hash; ++at)
                if (const std::uint32_t later = byHash_[at].word; seenBy_[later] != word + 1) {
                    seenBy_[later] = word + 1;
                    candidates.push_back(later);
                }
        }
    }

private:
    static void AddLater(const std::vector<std::uint32_t>& words, std::uint32_t word,
                         std::vector<std::uint32_t>& candidates)
    {
        candidates.insert(candidates.end(), std::upper_bound(words.begin(), words.end(), word), words.end());
    }

    const TFoldedWords& folded_;
    std::int32_t tolerance_;
    std::vector<std::size_t> firstVariant_;  // per word, into placesOfWord_
    std::vector<TVariantEntry> byHash_;       // every variant of every word, by hash, then word
    std::vector<std::size_t> placesOfWord_;  // each word's variants, word by word: their places in byHash_
    std::vector<std::vector<std::uint32_t>> byLength_;
    std::vector<std::vector<std::uint32_t>> longByLength_;
    // The word (plus one) whose candidates last took each word: a word
    // shares several variants with another, and takes it once.
    std::vector<std::uint32_t> seenBy_;
};

bool LengthsClose(std::u32string_view a, std::u32string_view b, std::int32_t tolerance)
{
    const auto difference = static_cast<std::int64_t>(a.size()) - static_cast<std::int64_t>(b.size());
    return difference <= tolerance && -difference <= tolerance;
}

// EditDistance <= 1 in one pass: past the common start, the rest must be
// equal once one character is skipped in the longer word (or in both).
// Words are short: a plain loop beats a call to compare memory.
bool WithinOneEdit(std::u32string_view a, std::u32string_view b)
{
    const std::u32string_view shorter = a.size() <= b.size() ? a : b;
    const std::u32string_view longer = a.size() <= b.size() ? b : a;
    if (longer.size() - shorter.size() > 1)
        return false;
    const std::size_t inserted = longer.size() - shorter.size();
    std::size_t i = 0;
    while (i < shorter.size() && shorter[i] == longer[i])
        ++i;
    // A substitution at i, or the longer word's insertion there.
    for (std::size_t j = i + 1 - inserted; j < shorter.size(); ++j)
        if (shorter[j] != longer[j + inserted])
            return false;
    return true;
}

// The exact test of a candidate pair. Tolerance 1, the usual one, goes
// without the distance table.
bool Similar(const std::string& a, const std::string& b, std::u32string_view foldedA,
             std::u32string_view foldedB, std::int32_t tolerance)
{
    if (!LengthsClose(foldedA, foldedB, tolerance))
        return false;
    return tolerance == 1 ? WithinOneEdit(foldedA, foldedB) : WithinEditDistance(a, b, tolerance);
}

}  // namespace

TWordLinks TWordLinks::Mirrored() const
{
    const std::size_t words = size();
    std::vector<std::size_t> earlier(words, 0);
    for (std::uint32_t later : linked_)
        ++earlier[later];
    TWordLinks both;
    both.starts_.resize(words + 1);
    for (std::size_t w = 0; w < words; ++w)
        both.starts_[w + 1] = both.starts_[w] + earlier[w] + (starts_[w + 1] - starts_[w]);
    both.linked_.resize(linked_.size() * 2);
    std::vector<std::size_t> next(both.starts_.begin(), both.starts_.end() - 1);
    for (std::uint32_t w = 0; w < words; ++w)
        for (std::uint32_t later : (*this)[w])
            both.linked_[next[later]++] = w;
    for (std::uint32_t w = 0; w < words; ++w)
        std::copy((*this)[w].begin(), (*this)[w].end(), both.linked_.begin() + static_cast<std::ptrdiff_t>(next[w]));
    return both;
}

TWordLinks TSimilarWordLinker::LinkLaterWords(const std::vector<std::string>& words, std::int32_t tolerance,
                                           const Progress& progress)
{
    TWordLinks links;
    if (tolerance <= 0 || words.size() < 2) {
        for (std::size_t i = 0; i < words.size(); ++i)
            links.EndWord();
        return links;
    }
    TProgressReporter reporter(progress);
    const TFoldedWords folded(words);
    reporter.Worked(words.size());
    TCandidateFinder finder(folded, tolerance, reporter);

    std::vector<std::uint32_t> candidates, similar;
    for (std::uint32_t i = 0; i < words.size(); ++i) {
        finder.LaterCandidates(i, candidates);
        similar.clear();
        for (std::uint32_t j : candidates) {
            if (Similar(words[i], words[j], folded[i], folded[j], tolerance))
                similar.push_back(j);
            reporter.Worked(words[i].size());
        }
        std::sort(similar.begin(), similar.end());
        for (std::uint32_t j : similar)
            links.Add(j);
        links.EndWord();
        reporter.WordDone(words.size() - 1 - i);
    }
    reporter.Finish();
    return links;
}
