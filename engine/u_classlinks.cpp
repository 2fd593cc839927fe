#include "engine/u_classlinks.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <span>
#include <tuple>

#include "engine/u_dupefiles.h"
#include "engine/u_prefixfilter.h"
#include "engine/u_walkorder.h"
#include "engine/u_wordclasses.h"
#include "engine/u_workthreads.h"

namespace {

constexpr std::uint32_t kNoWord = UINT32_MAX;

// Pairs or owners linked between two reports of progress, and pairs whose
// words are found on every processor between two reports.
constexpr std::size_t kProgressEvery = 1024;
constexpr std::size_t kPairsPerRound = 1 << 16;

// Where the stages of the linking end, as shares of the whole: finding the
// words pairs meet under (on every processor), listing each file's
// partners, and linking the lists in the result list.
constexpr double kWordsFound = 0.5;
constexpr double kPartnersListed = 0.85;

// Tells progress how far the loop of count items that spans the shares from
// and to has come, every kProgressEvery items.
void ReportLoop(const TBWClassLinks::Progress& progress, std::size_t done, std::size_t count, double from,
                double to)
{
    if (done % kProgressEvery == 0)
        progress(from + (to - from) * static_cast<double>(done) / static_cast<double>(count));
}

}  // namespace

// Where the walk first links the files of a pair of classes: under one word
// for every two of them, or, where a word both classes have is scored one
// way round only, under a word that depends on which file comes first in
// the pool.
struct TBWClassLinks::TMeetingWord {
    std::uint32_t word = kNoWord;
    bool byPlace = false;
};

// A partner in an owner's list, with the key that places it there: the
// word of the meeting, then the partner's rank under it, which orders the
// partners alike for every file of a class; or, for a file linked on its
// own because the pool's order decides, the walk's first meeting itself,
// its row before its place there (places among the files a row scores are
// counts of files and stay below 2^32).
struct TBWClassLinks::TPartner {
    std::uint32_t word;
    std::uint32_t partner;
    std::uint64_t rank;

    bool operator<(const TPartner& other) const
    {
        return std::tie(word, rank, partner) < std::tie(other.word, other.rank, other.partner);
    }
};

// The partners of every owner (a class whose files share one list, by its
// leader, or a file linked on its own), kept owner by owner in one array:
// counted first, then filled.
class TBWClassLinks::TLists {
public:
    explicit TLists(std::size_t owners) : starts_(owners + 1) {}

    void Count(std::uint32_t owner, std::size_t partners) { starts_[owner + 1] += partners; }
    void EndCounting()
    {
        for (std::size_t owner = 1; owner < starts_.size(); ++owner)
            starts_[owner] += starts_[owner - 1];
        // Filled before it is read: not cleared first.
        partners_ = std::make_unique_for_overwrite<TPartner[]>(starts_.back());
        filled_.assign(starts_.begin(), starts_.end() - 1);
    }
    void Add(std::uint32_t owner, const TPartner& partner) { partners_[filled_[owner]++] = partner; }

    std::size_t Owners() const { return filled_.size(); }
    std::span<TPartner> Of(std::uint32_t owner)
    {
        return {partners_.get() + starts_[owner], partners_.get() + filled_[owner]};
    }

private:
    std::vector<std::size_t> starts_;  // of each owner's room once counted, and the end of the last
    std::vector<std::size_t> filled_;  // up to where each owner's room is filled
    std::unique_ptr<TPartner[]> partners_;
};

// Under a word both classes have, the earlier file in the pool is scored
// against the later one; under a word whose later similar word the other
// class has, a file of the word's class is scored against the other's, in
// whatever order the pool holds them. Scored both ways alike, the first word
// that meets them at all links every two files; scored alike one way only,
// a word both have links only the files that the pool orders that way.
// Two files alone are in one order: only where the later one, scored first
// under a similar word, links them under a word both have does the walk
// place the link apart from the word's own files.
TBWClassLinks::TMeetingWord TBWClassLinks::WordOf(const TPair& pair) const
{
    const std::uint32_t shared = TBWPrefixFilter::FirstSharedWord(wordsOf_[pair.first], wordsOf_[pair.second]);
    const auto similar = [&](bool scores, std::uint32_t scored, std::uint32_t other) {
        return scores ? walk_.FirstSimilarWord(scored, other).value_or(kNoWord) : kNoWord;
    };
    const std::uint32_t forth = similar(pair.forth, pair.first, pair.second);
    const std::uint32_t back = similar(pair.back, pair.second, pair.first);
    if (classes_.MembersOf(pair.first).size() == 1 && classes_.MembersOf(pair.second).size() == 1) {
        if (pair.forth)
            return {std::min({shared, forth, back}), false};
        const std::vector<std::uint32_t>& words = wordsOf_[pair.first];
        return {back, std::binary_search(words.begin(), words.end(), back)};
    }
    if (pair.forth && pair.back)
        return {std::min({shared, forth, back}), false};
    const std::uint32_t oneWay = std::min(forth, back);
    if (shared != kNoWord && shared <= oneWay)
        return {kNoWord, true};
    return {oneWay, false};
}

void TBWClassLinks::AddPartners(std::uint32_t owner, std::uint32_t other, bool ownerScores, bool otherScores,
                                const TMeetingWord& word, const std::vector<bool>& byFile, TLists& lists) const
{
    if (!byFile[owner]) {
        for (std::uint32_t partner : classes_.MembersOf(other))
            lists.Add(owner, {word.word, partner, walk_.RankUnder(word.word, partner)});
        return;
    }
    for (std::uint32_t file : classes_.MembersOf(owner))
        for (std::uint32_t partner : classes_.MembersOf(other)) {
            if (file == partner)
                continue;
            std::optional<TBWWalkOrder::TMeeting> first;
            if (ownerScores)
                first = walk_.FirstMeeting(file, partner);
            if (const auto meeting = otherScores ? walk_.FirstMeeting(partner, file) : std::nullopt;
                meeting && (!first || *meeting < *first))
                first = meeting;
            if (first)
                lists.Add(file, {first->word, partner, std::uint64_t{first->row} << 32 | first->place});
        }
}

// Pairs whose files the pool's order decides (byFile) are linked file by
// file, with the walk's own meetings: a class with such a partner has
// lists that differ from file to file, at the cost of the square of its
// size, yet that needs two classes whose files score each other apart by
// which is scored first.
void TBWClassLinks::Link(std::vector<TPair> pairs, const std::vector<TBWFile*>& files, TBWDupeFileList& results,
                         const Progress& progress) const
{
    std::vector<TMeetingWord> words(pairs.size());
    // In rounds, so that progress is told between them.
    for (std::size_t from = 0; from < pairs.size(); from += kPairsPerRound) {
        const std::size_t to = std::min(pairs.size(), from + kPairsPerRound);
        ForEachIndexOnThreads(to - from, threads_, [&](std::size_t i) { words[from + i] = WordOf(pairs[from + i]); },
                              kLightWork);
        progress(kWordsFound * static_cast<double>(to) / static_cast<double>(pairs.size()));
    }
    std::vector<bool> byFile(files.size());
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if (words[i].byPlace)
            byFile[pairs[i].first] = byFile[pairs[i].second] = true;
    const auto linked = [&](std::size_t i) { return words[i].word != kNoWord || words[i].byPlace; };
    TLists lists(files.size());
    const auto count = [&](std::uint32_t owner, std::uint32_t other) {
        const std::size_t partners = classes_.MembersOf(other).size();
        if (!byFile[owner])
            lists.Count(owner, partners);
        else
            for (std::uint32_t file : classes_.MembersOf(owner))
                lists.Count(file, partners);
    };
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if (linked(i)) {
            count(pairs[i].first, pairs[i].second);
            if (pairs[i].first != pairs[i].second)
                count(pairs[i].second, pairs[i].first);
        }
    lists.EndCounting();
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        ReportLoop(progress, i, pairs.size(), kWordsFound, kPartnersListed);
        if (linked(i)) {
            const TPair& pair = pairs[i];
            AddPartners(pair.first, pair.second, pair.forth, pair.back, words[i], byFile, lists);
            if (pair.first != pair.second)
                AddPartners(pair.second, pair.first, pair.back, pair.forth, words[i], byFile, lists);
        }
    }
    std::vector<TPair>().swap(pairs);
    std::vector<TMeetingWord>().swap(words);
    ForEachIndexOnThreads(lists.Owners(), threads_, [&](std::size_t owner) {
        const std::span<TPartner> own = lists.Of(static_cast<std::uint32_t>(owner));
        std::sort(own.begin(), own.end());
    }, kLightWork);
    std::vector<bool> isLinked(files.size());
    std::vector<TBWFile*> entries;
    for (std::uint32_t owner = 0; owner < lists.Owners(); ++owner)
        for (const TPartner& partner : lists.Of(owner))
            if (!isLinked[partner.partner]) {
                isLinked[partner.partner] = true;
                entries.push_back(files[partner.partner]);
            }
    results.AddEntries(std::move(entries));
    std::vector<TBWFile*> members, partners;
    for (std::uint32_t owner = 0; owner < lists.Owners(); ++owner) {
        ReportLoop(progress, owner, lists.Owners(), kPartnersListed, 1);
        const std::span<const TPartner> own = lists.Of(owner);
        if (own.empty())
            continue;
        members.clear();
        if (byFile[owner] || !classes_.Leads(owner))
            members.push_back(files[owner]);
        else
            for (std::uint32_t member : classes_.MembersOf(owner))
                members.push_back(files[member]);
        partners.clear();
        for (const TPartner& partner : own)
            partners.push_back(files[partner.partner]);
        results.LinkAsClass(members, partners);
    }
}
