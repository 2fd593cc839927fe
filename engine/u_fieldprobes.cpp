#include "engine/u_fieldprobes.h"

#include <algorithm>
#include <unordered_map>

#include "engine/u_similarwordlinker.h"
#include "engine/u_prefixfilter.h"
#include "engine/u_workthreads.h"
#include "model/u_bwfs.h"

TBWFieldProbes::TBWFieldProbes(const std::vector<TBWFile*>& files, std::int32_t tolerance, double threshold,
                               const Progress& progress, unsigned threads)
    : threshold_(threshold), exact_(tolerance <= 0), threads_(threads)
{
    ReadWords(files);
    LinkSimilar(tolerance, progress);
    CountLookups();
    ChoosePrefixes();
}

void TBWFieldProbes::CountWords(const std::vector<TBWFile*>& files)
{
    fieldCount_.resize(files.size());
    fieldBegin_.resize(files.size() * kProbedFields + 1);
    ForEachIndexOnThreads(files.size(), threads_, [&](std::size_t place) {
        const TBWFile& file = *files[place];
        fieldCount_[place] = file.FieldCount();
        for (std::int32_t field = 0; field < kProbedFields; ++field)
            fieldBegin_[place * kProbedFields + static_cast<std::size_t>(field) + 1] =
                field < file.FieldCount() ? static_cast<std::uint32_t>(file.WordCount(field)) : 0;
    }, kLightWork);
    for (std::size_t i = 1; i < fieldBegin_.size(); ++i)
        fieldBegin_[i] += fieldBegin_[i - 1];
}

// The words of one block of files, numbered in the order they first come;
// by the part of the words their hash falls in, which of them are there.
struct TBWFieldProbes::TBlockWords {
    static constexpr std::size_t kParts = 64;
    static std::size_t PartOf(std::string_view word) { return std::hash<std::string_view>{}(word) % kParts; }

    std::vector<std::string_view> words;
    std::array<std::vector<std::uint32_t>, kParts> inPart;
    std::vector<std::uint32_t> numbers;  // of the words in the whole vocabulary
};

void TBWFieldProbes::ReadWords(const std::vector<TBWFile*>& files)
{
    CountWords(files);
    words_.resize(fieldBegin_.back());
    // Each block of files numbers its own words; then each part of the
    // words is numbered across the blocks, in block order, so that the
    // numbers do not depend on the threads and no one table holds them all.
    constexpr std::size_t kBlock = 1 << 14;
    const std::size_t blocks = (files.size() + kBlock - 1) / kBlock;
    std::vector<TBlockWords> wordsOf(blocks);
    ForEachIndexOnThreads(blocks, threads_, [&](std::size_t block) {
        NumberBlock(files, block * kBlock, std::min(files.size(), (block + 1) * kBlock), wordsOf[block]);
    });
    std::array<std::vector<std::string_view>, TBlockWords::kParts> vocabularyOf;
    ForEachIndexOnThreads(TBlockWords::kParts, threads_, [&](std::size_t part) {
        std::unordered_map<std::string_view, std::uint32_t> numberOf;
        for (TBlockWords& block : wordsOf)
            for (std::uint32_t own : block.inPart[part]) {
                const auto [at, added] = numberOf.try_emplace(block.words[own], vocabularyOf[part].size());
                if (added)
                    vocabularyOf[part].push_back(block.words[own]);
                block.numbers[own] = at->second;
            }
    });
    std::vector<std::string_view> vocabulary;
    std::array<std::uint32_t, TBlockWords::kParts> partStart{};
    for (std::size_t part = 0; part < TBlockWords::kParts; ++part) {
        partStart[part] = static_cast<std::uint32_t>(vocabulary.size());
        vocabulary.insert(vocabulary.end(), vocabularyOf[part].begin(), vocabularyOf[part].end());
    }
    ForEachIndexOnThreads(blocks, threads_, [&](std::size_t block) {
        TBlockWords& own = wordsOf[block];
        for (std::size_t part = 0; part < TBlockWords::kParts; ++part)
            for (std::uint32_t word : own.inPart[part])
                own.numbers[word] += partStart[part];
        const std::size_t last = std::min(files.size(), (block + 1) * kBlock);
        for (std::uint32_t i = fieldBegin_[block * kBlock * kProbedFields]; i < fieldBegin_[last * kProbedFields]; ++i)
            words_[i] = own.numbers[words_[i]];
    });
    vocabularySize_ = vocabulary.size();
    if (!exact_)
        NumberInByteOrder(vocabulary);
}

// Leaves in words_ the numbers of the block's own words.
void TBWFieldProbes::NumberBlock(const std::vector<TBWFile*>& files, std::size_t from, std::size_t to,
                                 TBlockWords& block)
{
    std::unordered_map<std::string_view, std::uint32_t> numberOf;
    for (std::size_t place = from; place < to; ++place) {
        const TBWFile& file = *files[place];
        const TBWWords::TView words = file.WordView();
        std::uint32_t* number = words_.data() + fieldBegin_[place * kProbedFields];
        for (std::int32_t field = 0; field < std::min(file.FieldCount(), kProbedFields); ++field)
            for (std::int32_t i = file.FieldStart(field); i < file.FieldStart(field) + file.WordCount(field); ++i) {
                const auto [at, added] = numberOf.try_emplace(words[i], static_cast<std::uint32_t>(block.words.size()));
                if (added) {
                    block.inPart[TBlockWords::PartOf(words[i])].push_back(at->second);
                    block.words.push_back(words[i]);
                }
                *number++ = at->second;
            }
    }
    block.numbers.resize(block.words.size());
}

void TBWFieldProbes::NumberInByteOrder(const std::vector<std::string_view>& vocabulary)
{
    // The linker wants the words in byte order.
    std::vector<std::uint32_t> byText(vocabulary.size());
    for (std::uint32_t w = 0; w < byText.size(); ++w)
        byText[w] = w;
    std::sort(byText.begin(), byText.end(),
              [&](std::uint32_t a, std::uint32_t b) { return vocabulary[a] < vocabulary[b]; });
    std::vector<std::uint32_t> renumbered(byText.size());
    vocabulary_.resize(byText.size());
    for (std::uint32_t rank = 0; rank < byText.size(); ++rank) {
        renumbered[byText[rank]] = rank;
        vocabulary_[rank] = vocabulary[byText[rank]];
    }
    ForEachIndexOnThreads(words_.size(), threads_, [&](std::size_t i) { words_[i] = renumbered[words_[i]]; },
                          kLightWork * 16);
}

void TBWFieldProbes::LinkSimilar(std::int32_t tolerance, const Progress& progress)
{
    if (exact_) {
        similarOf_ = TWordLinks::Gathered(vocabularySize_, [](const auto&) {});
        return;
    }
    const auto later = TSimilarWordLinker::LinkLaterWords(vocabulary_, tolerance, [&](std::uint64_t) {
        if (progress)
            progress();
    });
    similarOf_ = later.Mirrored();
}

void TBWFieldProbes::CountLookups()
{
    filesOf_.resize(kProbedFields);
    lookupCost_.assign(kProbedFields, std::vector<std::uint64_t>(vocabularySize_));
    ForEachIndexOnThreads(kProbedFields, threads_, [&](std::size_t at) {
        const auto field = static_cast<std::int32_t>(at);
        filesOf_[at] = TWordLinks::Gathered(vocabularySize_, [&](const auto& add) {
            for (std::uint32_t file = 0; file < fieldCount_.size(); ++file)
                for (const std::uint32_t* word = FieldBegin(file, field); word != FieldEnd(file, field); ++word)
                    if (std::find(FieldBegin(file, field), word, *word) == word)  // each file once
                        add(*word, file);
        });
        for (std::uint32_t word = 0; word < vocabularySize_; ++word) {
            std::uint64_t cost = filesOf_[at][word].size();
            for (std::uint32_t similar : similarOf_[word])
                cost += filesOf_[at][similar].size();
            lookupCost_[at][word] = cost;
        }
    });
}

void TBWFieldProbes::ChoosePrefixes()
{
    // Each file leaves out of a field's prefix the words that cost most to
    // look up. One order for all files (by cost, then word) lets two files
    // with exact words meet in their prefixes too.
    prefixes_.resize(words_.size());
    prefixLength_.resize(fieldCount_.size() * kProbedFields);
    prefixBits_.assign(exact_ ? fieldCount_.size() : 0, 0);
    ForEachIndexOnThreads(fieldCount_.size(), threads_, [&](std::size_t place) {
        const auto file = static_cast<std::uint32_t>(place);
        for (std::int32_t field = 0; field < kProbedFields; ++field) {
            const std::vector<std::uint64_t>& cost = lookupCost_[field];
            std::uint32_t* prefix = prefixes_.data() + Begin(file, field);
            std::uint32_t* end = std::copy(FieldBegin(file, field), FieldEnd(file, field), prefix);
            std::sort(prefix, end, [&](std::uint32_t a, std::uint32_t b) {
                return cost[a] != cost[b] ? cost[a] < cost[b] : a < b;
            });
            const auto words = static_cast<std::size_t>(end - prefix);
            end = prefix + std::min(words, TBWPrefixFilter::PrefixLength(words, threshold_));
            std::sort(prefix, end);
            end = std::unique(prefix, end);
            prefixLength_[place * kProbedFields + static_cast<std::size_t>(field)] =
                static_cast<std::uint32_t>(end - prefix);
            if (exact_)
                prefixBits_[place] |= PrefixBits(field, {prefix, end});
        }
    }, kLightWork);
    prefixFilesOf_.resize(kProbedFields);
    ForEachIndexOnThreads(kProbedFields, threads_, [&](std::size_t at) {
        const auto field = static_cast<std::int32_t>(at);
        prefixFilesOf_[at] = TWordLinks::Gathered(vocabularySize_, [&](const auto& add) {
            for (std::uint32_t file = 0; file < fieldCount_.size(); ++file)
                for (const std::uint32_t* word = PrefixBegin(file, field); word != PrefixEnd(file, field); ++word)
                    add(*word, file);
        });
    });
}

std::uint64_t TBWFieldProbes::FilesOf(const TFilesOf& filesOf, const std::vector<std::uint32_t>& words)
{
    std::uint64_t files = 0;
    for (std::uint32_t word : words)
        files += filesOf[word].size();
    return files;
}

std::uint64_t TBWFieldProbes::PrefixBits(std::int32_t field, std::span<const std::uint32_t> prefix)
{
    std::uint64_t bits = 0;
    for (std::uint32_t word : prefix)
        bits |= std::uint64_t{1} << ((word * 0x9E3779B97F4A7C15ull) >> 60);
    return bits << (kBitsPerField * field);
}

bool TBWFieldProbes::PrefixesApart(std::uint32_t file, std::uint32_t other) const
{
    // A high bit in each field whose bits are not all clear.
    const auto fieldsWithBits = [](std::uint64_t bits) {
        constexpr std::uint64_t kHigh = 0x8000800080008000ull;
        return (bits | ((bits & ~kHigh) + ~kHigh)) & kHigh;
    };
    const std::uint64_t own = prefixBits_[file];
    return (fieldsWithBits(own) & ~fieldsWithBits(own & prefixBits_[other])) != 0;
}

bool TBWFieldProbes::MeetsEveryField(std::uint32_t other, std::int32_t fieldCount, const TProbes& probes,
                                     const TBWWordMarks& marks) const
{
    // In order, fields pair up one to one.
    if (fieldCount_[other] != fieldCount)
        return false;
    for (std::int32_t field = 0; field < std::min(fieldCount, kProbedFields); ++field) {
        if (probes[field].fromAll.empty())
            continue;  // an empty field tells nothing here
        const auto bit = static_cast<std::uint8_t>(1u << (2 * field));
        const std::span<const std::uint32_t> prefix(PrefixBegin(other, field), PrefixEnd(other, field));
        if (!marks.Meets({FieldBegin(other, field), FieldEnd(other, field)}, bit) ||
            !marks.Meets(prefix, static_cast<std::uint8_t>(bit << 1)) || (exact_ && !marks.Meets(prefix, bit)))
            return false;
    }
    return true;
}

template <class Visit>
void TBWFieldProbes::ForEachFile(const TWay& way, const Visit& visit) const
{
    for (std::uint32_t word : *way.words) {
        const std::span<const std::uint32_t> files = (*way.lists)[word];
        for (auto at = std::lower_bound(files.begin(), files.end(), way.from); at != files.end(); ++at)
            visit(*at);
    }
}

// Every way is a condition of every candidate, so the files that several
// ways all give are all there are. Looking at each file of the cheapest way
// costs more than marking it, when the other ways do not have many more.
template <class Keep>
void TBWFieldProbes::TakeCandidates(const std::array<TWay, kProbedFields>& cheapest, TBWCandidateMarks& seen,
                                    const Keep& keep) const
{
    std::size_t ways = 1;
    while (cheapest[0].files >= kFewToLookAt && ways < cheapest.size() && cheapest[ways].lists &&
           cheapest[ways].files <= kMoreToMark * cheapest[0].files)
        ++ways;
    seen.Begin(fieldCount_.size());
    if (ways == 1) {
        ForEachFile(cheapest[0], [&](std::uint32_t other) {
            if (seen.Take(other))
                keep(other);
        });
        return;
    }
    ForEachFile(cheapest[0], [&](std::uint32_t other) { seen.Take(other); });
    for (std::size_t way = 1; way + 1 < ways; ++way) {
        seen.Begin(fieldCount_.size());
        ForEachFile(cheapest[way], [&](std::uint32_t other) { seen.TakeMarked(other); });
    }
    seen.Begin(fieldCount_.size());
    ForEachFile(cheapest[ways - 1], [&](std::uint32_t other) {
        if (seen.TakeMarked(other))
            keep(other);
    });
}

void TBWFieldProbes::Candidates(std::uint32_t file, std::vector<std::uint32_t>& candidates, TBWCandidateMarks& seen,
                                const Excluded& excluded, std::uint32_t from) const
{
    candidates.clear();
    thread_local TProbes probes;
    thread_local TBWWordMarks marks;
    const std::int32_t fieldCount = fieldCount_[file];
    // The other file's words are looked up among this one's prefix, or its
    // prefix among this one's words (or, with exact words, among this one's
    // prefix): the way with the fewest files of each field. Two ways of one
    // field give mostly the same files; ways of other fields narrow them.
    std::array<TWay, kProbedFields> cheapest;  // by field
    for (std::int32_t field = 0; field < kProbedFields; ++field) {
        TFieldProbe& probe = probes[field];
        probe.fromPrefix.clear();
        probe.fromAll.clear();
        if (field >= fieldCount || FieldBegin(file, field) == FieldEnd(file, field))
            continue;
        WithSimilarWords({PrefixBegin(file, field), PrefixEnd(file, field)}, similarOf_, probe.fromPrefix);
        WithSimilarWords({FieldBegin(file, field), FieldEnd(file, field)}, similarOf_, probe.fromAll);
        const auto bit = static_cast<std::uint8_t>(1u << (2 * field));
        marks.Mark(probe.fromPrefix, bit, vocabularySize_);
        marks.Mark(probe.fromAll, static_cast<std::uint8_t>(bit << 1), vocabularySize_);
        const TWay ways[] = {
            {&filesOf_[field], &probe.fromPrefix},
            {&prefixFilesOf_[field], &probe.fromAll},
            {&prefixFilesOf_[field], &probe.fromPrefix},
        };
        for (std::size_t way = 0; way < (exact_ ? 3u : 2u); ++way) {
            TWay counted = ways[way];
            counted.files = FilesOf(*counted.lists, *counted.words);
            counted.from = from;
            if (counted.files < cheapest[field].files)
                cheapest[field] = counted;
        }
    }
    std::sort(cheapest.begin(), cheapest.end(), [](const TWay& a, const TWay& b) { return a.files < b.files; });
    if (cheapest[0].lists)  // a file without words meets no other
        TakeCandidates(cheapest, seen, [&](std::uint32_t other) {
            if (!(exact_ && PrefixesApart(file, other)) && !(excluded && excluded(other)) &&
                MeetsEveryField(other, fieldCount, probes, marks))
                candidates.push_back(other);
        });
    marks.Clear();
}
