#include "engine/u_fieldprobes.h"

#include <algorithm>
#include <unordered_map>

#include "engine/SimilarWordLinker.h"
#include "engine/u_prefixfilter.h"
#include "model/u_bwfs.h"

TBWFieldProbes::TBWFieldProbes(const std::vector<TBWFile*>& files, std::int32_t tolerance, double threshold,
                               const Progress& progress)
    : threshold_(threshold), exact_(tolerance <= 0)
{
    ReadWords(files);
    LinkSimilar(tolerance, progress);
    CountLookups();
    ChoosePrefixes();
}

void TBWFieldProbes::ReadWords(const std::vector<TBWFile*>& files)
{
    std::unordered_map<std::string, std::uint32_t> numberOf;
    fieldCount_.reserve(files.size());
    fieldBegin_.reserve(files.size() * kProbedFields + 1);
    for (const TBWFile* file : files) {
        fieldCount_.push_back(file->FieldCount());
        for (std::int32_t field = 0; field < kProbedFields; ++field) {
            fieldBegin_.push_back(static_cast<std::uint32_t>(words_.size()));
            if (field >= file->FieldCount())
                continue;
            const TBWWords::TView words = file->WordView();
            const std::int32_t start = file->FieldStart(field);
            for (std::int32_t i = start; i < start + file->WordCount(field); ++i)
                words_.push_back(
                    numberOf.try_emplace(std::string(words[i]), static_cast<std::uint32_t>(numberOf.size()))
                        .first->second);
        }
    }
    fieldBegin_.push_back(static_cast<std::uint32_t>(words_.size()));
    NumberInByteOrder(numberOf);
}

void TBWFieldProbes::NumberInByteOrder(const std::unordered_map<std::string, std::uint32_t>& numberOf)
{
    // The linker wants the words in byte order.
    vocabulary_.resize(numberOf.size());
    for (const auto& [word, number] : numberOf)
        vocabulary_[number] = word;
    std::vector<std::uint32_t> byText(vocabulary_.size());
    for (std::uint32_t w = 0; w < byText.size(); ++w)
        byText[w] = w;
    std::sort(byText.begin(), byText.end(),
              [&](std::uint32_t a, std::uint32_t b) { return vocabulary_[a] < vocabulary_[b]; });
    std::vector<std::uint32_t> renumbered(byText.size());
    std::vector<std::string> sorted(byText.size());
    for (std::uint32_t rank = 0; rank < byText.size(); ++rank) {
        renumbered[byText[rank]] = rank;
        sorted[rank] = std::move(vocabulary_[byText[rank]]);
    }
    vocabulary_ = std::move(sorted);
    for (std::uint32_t& word : words_)
        word = renumbered[word];
}

void TBWFieldProbes::LinkSimilar(std::int32_t tolerance, const Progress& progress)
{
    const auto later = SimilarWordLinker::LinkLaterWords(vocabulary_, tolerance, [&](std::uint64_t) {
        if (progress)
            progress();
    });
    similarOf_ = later.Mirrored();
}

void TBWFieldProbes::CountLookups()
{
    filesOf_.assign(kProbedFields, std::vector<std::vector<std::uint32_t>>(vocabulary_.size()));
    for (std::uint32_t file = 0; file < fieldCount_.size(); ++file)
        for (std::int32_t field = 0; field < kProbedFields; ++field)
            for (const std::uint32_t* word = FieldBegin(file, field); word != FieldEnd(file, field); ++word) {
                std::vector<std::uint32_t>& files = filesOf_[field][*word];
                if (files.empty() || files.back() != file)
                    files.push_back(file);
            }
    lookupCost_.assign(kProbedFields, std::vector<std::uint64_t>(vocabulary_.size()));
    for (std::size_t field = 0; field < filesOf_.size(); ++field)
        for (std::size_t word = 0; word < vocabulary_.size(); ++word) {
            std::uint64_t cost = filesOf_[field][word].size();
            for (std::uint32_t similar : similarOf_[word])
                cost += filesOf_[field][similar].size();
            lookupCost_[field][word] = cost;
        }
}

void TBWFieldProbes::ChoosePrefixes()
{
    // Each file leaves out of a field's prefix the words that cost most to
    // look up. One order for all files (by cost, then word) lets two files
    // with exact words meet in their prefixes too.
    prefixFilesOf_.assign(kProbedFields, std::vector<std::vector<std::uint32_t>>(vocabulary_.size()));
    prefixBegin_.reserve(fieldBegin_.size());
    std::vector<std::uint32_t> prefix;
    for (std::uint32_t file = 0; file < fieldCount_.size(); ++file)
        for (std::int32_t field = 0; field < kProbedFields; ++field) {
            prefixBegin_.push_back(static_cast<std::uint32_t>(prefixes_.size()));
            const std::vector<std::uint64_t>& cost = lookupCost_[field];
            prefix.assign(FieldBegin(file, field), FieldEnd(file, field));
            std::sort(prefix.begin(), prefix.end(), [&](std::uint32_t a, std::uint32_t b) {
                return cost[a] != cost[b] ? cost[a] < cost[b] : a < b;
            });
            prefix.resize(std::min(prefix.size(), TBWPrefixFilter::PrefixLength(prefix.size(), threshold_)));
            std::sort(prefix.begin(), prefix.end());
            prefix.erase(std::unique(prefix.begin(), prefix.end()), prefix.end());
            prefixes_.insert(prefixes_.end(), prefix.begin(), prefix.end());
            for (std::uint32_t word : prefix)
                prefixFilesOf_[field][word].push_back(file);
        }
    prefixBegin_.push_back(static_cast<std::uint32_t>(prefixes_.size()));
}

void TBWFieldProbes::WithSimilar(const std::uint32_t* begin, const std::uint32_t* end,
                                 std::vector<std::uint32_t>& words) const
{
    words.assign(begin, end);
    for (const std::uint32_t* word = begin; word != end; ++word)
        words.insert(words.end(), similarOf_[*word].begin(), similarOf_[*word].end());
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
}

std::uint64_t TBWFieldProbes::FilesOf(const std::vector<std::vector<std::uint32_t>>& filesOf,
                                      const std::vector<std::uint32_t>& words)
{
    std::uint64_t files = 0;
    for (std::uint32_t word : words)
        files += filesOf[word].size();
    return files;
}

// Which words one file looks for, as bits: 2f for a word of its field f's
// prefix or similar to one, 2f + 1 for a word of that field or similar to
// one. Set and cleared file by file on each thread.
class TBWFieldProbes::TMarks {
public:
    void Mark(const std::vector<std::uint32_t>& words, std::uint8_t bit, std::size_t vocabulary)
    {
        if (marks_.size() < vocabulary)
            marks_.resize(vocabulary, 0);
        for (std::uint32_t word : words) {
            if (marks_[word] == 0)
                marked_.push_back(word);
            marks_[word] |= bit;
        }
    }
    bool Meets(const std::uint32_t* begin, const std::uint32_t* end, std::uint8_t bit) const
    {
        return std::any_of(begin, end, [&](std::uint32_t word) { return (marks_[word] & bit) != 0; });
    }
    void Clear()
    {
        for (std::uint32_t word : marked_)
            marks_[word] = 0;
        marked_.clear();
    }

private:
    std::vector<std::uint8_t> marks_;
    std::vector<std::uint32_t> marked_;
};

bool TBWFieldProbes::MeetsEveryField(std::uint32_t other, std::int32_t fieldCount, const TProbes& probes,
                                     const TMarks& marks) const
{
    // In order, fields pair up one to one.
    if (fieldCount_[other] != fieldCount)
        return false;
    for (std::int32_t field = 0; field < std::min(fieldCount, kProbedFields); ++field) {
        if (probes[field].fromAll.empty())
            continue;  // an empty field tells nothing here
        const auto bit = static_cast<std::uint8_t>(1u << (2 * field));
        const std::uint32_t* prefix = PrefixBegin(other, field);
        const std::uint32_t* prefixEnd = PrefixEnd(other, field);
        if (!marks.Meets(FieldBegin(other, field), FieldEnd(other, field), bit) ||
            !marks.Meets(prefix, prefixEnd, static_cast<std::uint8_t>(bit << 1)) ||
            (exact_ && !marks.Meets(prefix, prefixEnd, bit)))
            return false;
    }
    return true;
}

void TBWFieldProbes::LaterCandidates(std::uint32_t file, std::vector<std::uint32_t>& candidates,
                                     TBWCandidateMarks& seen, const Excluded& excluded) const
{
    candidates.clear();
    thread_local TProbes probes;
    thread_local TMarks marks;
    const std::int32_t fieldCount = fieldCount_[file];
    // The other file's words are looked up among this one's prefix, or its
    // prefix among this one's words (or, with exact words, among this one's
    // prefix): whichever has the fewest files.
    const TFilesOf* lists = nullptr;
    const std::vector<std::uint32_t>* words = nullptr;
    std::uint64_t fewest = UINT64_MAX;
    for (std::int32_t field = 0; field < kProbedFields; ++field) {
        TFieldProbe& probe = probes[field];
        probe.fromPrefix.clear();
        probe.fromAll.clear();
        if (field >= fieldCount || FieldBegin(file, field) == FieldEnd(file, field))
            continue;
        WithSimilar(PrefixBegin(file, field), PrefixEnd(file, field), probe.fromPrefix);
        WithSimilar(FieldBegin(file, field), FieldEnd(file, field), probe.fromAll);
        const auto bit = static_cast<std::uint8_t>(1u << (2 * field));
        marks.Mark(probe.fromPrefix, bit, vocabulary_.size());
        marks.Mark(probe.fromAll, static_cast<std::uint8_t>(bit << 1), vocabulary_.size());
        const std::pair<const TFilesOf*, const std::vector<std::uint32_t>*> ways[] = {
            {&filesOf_[field], &probe.fromPrefix},
            {&prefixFilesOf_[field], &probe.fromAll},
            {&prefixFilesOf_[field], &probe.fromPrefix},
        };
        for (std::size_t way = 0; way < (exact_ ? 3u : 2u); ++way) {
            const auto [list, looked] = ways[way];
            if (const std::uint64_t files = FilesOf(*list, *looked); files < fewest) {
                fewest = files;
                lists = list;
                words = looked;
            }
        }
    }
    if (lists) {  // a file without words meets no other
        seen.Begin(fieldCount_.size());
        for (std::uint32_t word : *words) {
            const std::vector<std::uint32_t>& files = (*lists)[word];
            for (auto at = std::upper_bound(files.begin(), files.end(), file); at != files.end(); ++at)
                if (seen.Take(*at) && !(excluded && excluded(*at)) && MeetsEveryField(*at, fieldCount, probes, marks))
                    candidates.push_back(*at);
        }
    }
    marks.Clear();
}
