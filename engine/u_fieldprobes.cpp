#include "engine/u_fieldprobes.h"

#include <algorithm>
#include <unordered_map>

#include "engine/SimilarWordLinker.h"
#include "engine/u_prefixfilter.h"
#include "model/u_bwfs.h"

TBWFieldProbes::TBWFieldProbes(const std::vector<TBWFile*>& files, std::int32_t tolerance, double threshold,
                               const Progress& progress)
    : threshold_(threshold)
{
    ReadWords(files);
    LinkSimilar(tolerance, progress);
    CountLookups();
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
            for (std::int32_t i = 0; i < file->WordCount(field); ++i) {
                const auto [place, added] =
                    numberOf.try_emplace(file->GetWord(i, field), static_cast<std::uint32_t>(numberOf.size()));
                words_.push_back(place->second);
            }
        }
    }
    fieldBegin_.push_back(static_cast<std::uint32_t>(words_.size()));
    // Numbered in byte order, as the linker wants them.
    vocabulary_.resize(numberOf.size());
    for (auto& [word, number] : numberOf)
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
    similarOf_.assign(vocabulary_.size(), {});
    for (std::uint32_t word = 0; word < later.size(); ++word)
        for (std::uint32_t other : later[word]) {
            similarOf_[word].push_back(other);
            similarOf_[other].push_back(word);
        }
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

std::uint64_t TBWFieldProbes::ProbeWords(std::uint32_t file, std::int32_t field,
                                         std::vector<std::uint32_t>& probes) const
{
    const std::vector<std::uint64_t>& cost = lookupCost_[field];
    std::vector<std::uint32_t> prefix(FieldBegin(file, field), FieldEnd(file, field));
    std::stable_sort(prefix.begin(), prefix.end(), [&](std::uint32_t a, std::uint32_t b) { return cost[a] < cost[b]; });
    prefix.resize(std::min(prefix.size(), TBWPrefixFilter::PrefixLength(prefix.size(), threshold_)));
    probes = prefix;
    for (std::uint32_t word : prefix)
        probes.insert(probes.end(), similarOf_[word].begin(), similarOf_[word].end());
    std::sort(probes.begin(), probes.end());
    probes.erase(std::unique(probes.begin(), probes.end()), probes.end());
    std::uint64_t files = 0;
    for (std::uint32_t word : probes)
        files += filesOf_[field][word].size();
    return files;
}

bool TBWFieldProbes::Meets(std::uint32_t other, std::int32_t field, const std::vector<std::uint32_t>& probes) const
{
    return std::any_of(FieldBegin(other, field), FieldEnd(other, field),
                       [&](std::uint32_t word) { return std::binary_search(probes.begin(), probes.end(), word); });
}

void TBWFieldProbes::LaterCandidates(std::uint32_t file, std::vector<std::uint32_t>& candidates,
                                     TBWCandidateMarks& seen) const
{
    candidates.clear();
    thread_local TProbes probes;
    const std::int32_t fieldCount = fieldCount_[file];
    const std::int32_t probed = std::min(fieldCount, kProbedFields);
    // An empty field tells nothing here; a file without words meets no other.
    std::int32_t cheapest = -1;
    std::uint64_t fewest = UINT64_MAX;
    for (std::int32_t field = 0; field < probed; ++field) {
        probes[field].clear();
        if (FieldBegin(file, field) == FieldEnd(file, field))
            continue;
        if (const std::uint64_t files = ProbeWords(file, field, probes[field]); files < fewest) {
            fewest = files;
            cheapest = field;
        }
    }
    if (cheapest < 0)
        return;
    auto meetsEveryField = [&](std::uint32_t other) {
        // In order, fields pair up one to one.
        if (fieldCount_[other] != fieldCount)
            return false;
        for (std::int32_t field = 0; field < probed; ++field)
            if (field != cheapest && !probes[field].empty() && !Meets(other, field, probes[field]))
                return false;
        return true;
    };
    seen.Begin(fieldCount_.size());
    for (std::uint32_t word : probes[cheapest]) {
        const std::vector<std::uint32_t>& files = filesOf_[cheapest][word];
        for (auto at = std::upper_bound(files.begin(), files.end(), file); at != files.end(); ++at)
            if (seen.Take(*at) && meetsEveryField(*at))
                candidates.push_back(*at);
    }
}
