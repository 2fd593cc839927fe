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
    fieldBegin_.reserve(files.size() * kStride + 1);
    for (const TBWFile* file : files) {
        fieldCount_.push_back(file->FieldCount());
        for (std::int32_t field = 1; field <= kProbedFields; ++field) {
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
        for (std::int32_t field = 1; field <= kProbedFields; ++field)
            for (const std::uint32_t* word = FieldBegin(file, field); word != FieldEnd(file, field); ++word) {
                std::vector<std::uint32_t>& files = filesOf_[field - 1][*word];
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

void TBWFieldProbes::ProbeWords(std::uint32_t file, std::int32_t field, std::vector<std::uint32_t>& probes) const
{
    const std::vector<std::uint64_t>& cost = lookupCost_[field - 1];
    std::vector<std::uint32_t> prefix(FieldBegin(file, field), FieldEnd(file, field));
    std::stable_sort(prefix.begin(), prefix.end(), [&](std::uint32_t a, std::uint32_t b) { return cost[a] < cost[b]; });
    prefix.resize(std::min(prefix.size(), TBWPrefixFilter::PrefixLength(prefix.size(), threshold_)));
    probes = prefix;
    for (std::uint32_t word : prefix)
        probes.insert(probes.end(), similarOf_[word].begin(), similarOf_[word].end());
    std::sort(probes.begin(), probes.end());
    probes.erase(std::unique(probes.begin(), probes.end()), probes.end());
}

void TBWFieldProbes::Keep(std::uint32_t file, std::vector<std::uint32_t>& candidates) const
{
    // Each candidate climbs one level per field that lets it through; those
    // at the top level are kept. Levels of one call never meet another's.
    thread_local std::vector<std::uint64_t> level;
    thread_local std::uint64_t call = 0;
    thread_local std::vector<std::uint32_t> probes;
    if (level.size() < fieldCount_.size())
        level.resize(fieldCount_.size(), 0);
    const std::uint64_t base = ++call * (kProbedFields + 1);
    const std::int32_t fieldCount = fieldCount_[file];
    for (std::uint32_t other : candidates)
        if (fieldCount_[other] == fieldCount)  // in order, fields must pair up one to one
            level[other] = base;
    const std::int32_t probed = std::min(fieldCount - 1, kProbedFields);
    for (std::int32_t field = 1; field <= probed; ++field) {
        auto climb = [&](std::uint32_t other) {
            if (level[other] == base + field - 1)
                level[other] = base + field;
        };
        if (FieldBegin(file, field) == FieldEnd(file, field)) {
            // No word to look up: an empty field tells nothing here.
            for (std::uint32_t other : candidates)
                climb(other);
            continue;
        }
        ProbeWords(file, field, probes);
        for (std::uint32_t word : probes) {
            const std::vector<std::uint32_t>& files = filesOf_[field - 1][word];
            for (auto at = std::upper_bound(files.begin(), files.end(), file); at != files.end(); ++at)
                climb(*at);
        }
    }
    const std::uint64_t kept = base + static_cast<std::uint64_t>(std::max(probed, 0));
    std::erase_if(candidates, [&](std::uint32_t other) { return level[other] != kept; });
}
