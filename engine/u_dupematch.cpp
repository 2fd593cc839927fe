#include "engine/u_dupematch.h"

#include <algorithm>
#include <atomic>
#include <deque>
#include <span>
#include <thread>
#include <unordered_map>

#include "base/u_bwselchain.h"
#include "engine/u_bwgroup.h"
#include "engine/u_dupefiles.h"
#include "engine/u_fieldprobes.h"
#include "engine/u_prefixfilter.h"
#include "engine/u_walkorder.h"
#include "engine/u_wordclasses.h"
#include "engine/u_workthreads.h"
#include "model/u_bwfs.h"

bool IsSimilarEnough(const TBWFile& a, const TBWFile& b, const TBWCVProfile& profile)
{
    return a.SimilarAtLeast(b, ComparesByFields(profile.CompType),
                            ComparesFieldsInAnyOrder(profile.CompType, profile.NoFieldOrder), profile.SimWord,
                            std::max(0, profile.MinPerc) / 100.0);
}

TBWDupeMatch::TBWDupeMatch(const TBWCVProfile& profile, const TBWScanTuning& tuning, TBWMatchSteps& steps,
                           std::unique_ptr<TBWGrpChFilename> index, TBWSelChain& pool, TBWDupeFileList& results)
    : profile_(profile), tuning_(tuning), steps_(steps), index_(std::move(index)), pool_(pool), results_(results)
{
}

TBWDupeMatch::~TBWDupeMatch() = default;

void TBWDupeMatch::Link()
{
    if (!tuning_.FilterCandidates)
        WalkEveryPair();
    else if (ExactPrefixesFindEveryPair())
        MatchByPrefixes();
    else
        MatchByClassPairs();
}

// Words of the index taken together so that their pairs can be scored on
// several threads. Each row is one file of a word against the later files of
// that word and the files of its similar words; rows are linked afterwards
// in their order, so the result list is the one a single thread makes.
class TWalkBatch {
public:
    struct TRow {
        TBWFile* file;
        std::uint32_t word;
        std::uint32_t from;  // the later files of the word start here
        std::vector<TBWFile*> similar;  // the files found similar, in order
    };
    struct TWord {
        std::vector<TBWFile*> files;
        std::vector<TBWFieldPrefixSignature> signatures;  // per file, when filtering; copied to stay close
        std::vector<TBWFile*> similarFiles;
    };

    // With exact word matching and fields compared in order, two files whose
    // signatures tell they cannot reach the threshold are dropped without
    // scoring; a threshold of 0 drops none.
    // linked: the index's entries by number, for their similar words.
    TWalkBatch(double threshold, const std::vector<TBWGrpItString*>& linked)
        : filterByFields_(threshold > 0), threshold_(threshold), linked_(linked)
    {
    }

    void AddWord(TBWGrpItString& entry)
    {
        TWord& word = words_.emplace_back();
        CollectFiles(entry.ObjectList(), word.files);
        if (filterByFields_)
            for (TBWFile* file : word.files)
                word.signatures.push_back(SignatureOf(*file));
        for (std::uint32_t similar : entry.SimilarWordNumbers())
            CollectFiles(linked_[similar]->ObjectList(), word.similarFiles);
        const auto index = static_cast<std::uint32_t>(words_.size() - 1);
        for (std::uint32_t i = 0; i < word.files.size(); ++i) {
            rows_.push_back({word.files[i], index, i + 1, {}});
            pairs_ += word.files.size() - i - 1 + word.similarFiles.size();
        }
    }

    // Enough to be worth the threads.
    bool Full() const { return pairs_ >= 1u << 20 || rows_.size() >= 1u << 14; }
    std::uint64_t WordCount() const { return words_.size(); }

    // Scores every row, spread over threads.
    template <class Similar>
    void Score(const Similar& similar, unsigned threads)
    {
        ForEachIndexOnThreads(rows_.size(), pairs_ < 4096 ? 1 : threads,
                              [&](std::size_t r) { ScoreRow(rows_[r], similar); });
    }

    const std::vector<TRow>& Rows() const { return rows_; }

    void Clear()
    {
        words_.clear();
        rows_.clear();
        pairs_ = 0;
    }

private:
    static void CollectFiles(const std::vector<TBWComparable*>& objects, std::vector<TBWFile*>& files)
    {
        for (TBWComparable* f : objects)
            files.push_back(static_cast<TBWFile*>(f));
    }

    const TBWFieldPrefixSignature& SignatureOf(const TBWFile& file)
    {
        auto [place, added] = signatures_.try_emplace(&file);
        if (added)
            place->second = TBWFieldPrefixSignature(file, threshold_);
        return place->second;
    }

    template <class Similar>
    void ScoreRow(TRow& row, const Similar& similar) const
    {
        const TWord& word = words_[row.word];
        for (std::size_t j = row.from; j < word.files.size(); ++j) {
            if (filterByFields_ && word.signatures[row.from - 1].CannotReach(word.signatures[j]))
                continue;
            if (similar(*row.file, *word.files[j]))
                row.similar.push_back(word.files[j]);
        }
        for (TBWFile* other : word.similarFiles)
            if (similar(*row.file, *other))
                row.similar.push_back(other);
    }

    std::deque<TWord> words_;
    std::vector<TRow> rows_;
    std::uint64_t pairs_ = 0;
    bool filterByFields_;
    double threshold_;
    const std::vector<TBWGrpItString*>& linked_;
    // Kept from batch to batch: a file shows up under several words.
    std::unordered_map<const TBWFile*, TBWFieldPrefixSignature> signatures_;
};

void TBWDupeMatch::ScoreWalkBatch(TWalkBatch& batch)
{
    batch.Score([this](const TBWFile& a, const TBWFile& b) {
        return !steps_.StopRequested() && IsSimilar(a, b);
    }, tuning_.MatchThreads);
    steps_.DoSteps(0);  // a stop during scoring ends the scan here, before any linking
    for (const TWalkBatch::TRow& row : batch.Rows())
        for (TBWFile* other : row.similar)
            results_.AddPair(row.file, other);
    steps_.DoSteps(batch.WordCount());
    batch.Clear();
}

void TBWDupeMatch::WalkEveryPair()
{
    TWalkBatch batch(tuning_.DropHopelessPairs && FieldsInOrder() && profile_.SimWord <= 0 ? Threshold() : 0.0,
                     index_->LinkedEntries());
    for (TBWComparable* item = index_->First(); item; item = index_->Next()) {
        batch.AddWord(*static_cast<TBWGrpItString*>(item));
        if (batch.Full())
            ScoreWalkBatch(batch);
    }
    ScoreWalkBatch(batch);
}

// The steps of the matching are its words. A fast road hands them out over
// its stages, in shares measured on collections of names: preparing the
// words and filters, scoring the candidates (in proportion to the files
// scored), and linking the pairs found, which takes longer than the scoring
// where files have many partners. So the job bar moves through the whole
// job, not only while pairs are scored.
constexpr double kPreparedShare = 0.1;
constexpr double kScoredShare = 0.45;

class TBWDupeMatch::TWordSteps {
public:
    TWordSteps(TBWMatchSteps& steps, std::uint64_t words) : steps_(steps), words_(words) {}

    // The job has come this far (a share up to 1): the words due since the
    // last call are counted, without answering a stop.
    void Reach(double share)
    {
        const auto due = static_cast<std::uint64_t>(std::min(share, 1.0) * static_cast<double>(words_));
        if (due > done_) {
            steps_.CountSteps(due - done_);
            done_ = due;
        }
    }
    // Reach on the one thread at work, which may answer a stop.
    void Advance(double share)
    {
        Reach(share);
        steps_.DoSteps(0);
    }
    // A stage has ended: its words are handed on at once.
    void EndStage(double share)
    {
        Advance(share);
        steps_.FlushSteps();
    }

private:
    TBWMatchSteps& steps_;
    std::uint64_t words_;
    std::uint64_t done_ = 0;
};

struct TBWDupeMatch::TIndexedWords {
    std::vector<TBWGrpItString*> entries;  // by word number
    std::vector<std::uint32_t> filesOfWord;
    std::vector<TBWFile*> files;  // by pool place
    std::vector<std::vector<std::uint32_t>> words;
    std::vector<TBWPrefixFilter::TFields> fields;
    TWordLinks laterSimilar;  // empty lists without similar words
};

bool TBWDupeMatch::FieldsInOrder() const
{
    return ComparesFieldsInOrder(profile_.CompType, profile_.NoFieldOrder);
}

double TBWDupeMatch::Threshold() const
{
    return std::max(0, profile_.MinPerc) / 100.0;
}

// Whether the walk links every pair one way round only, under the first
// word they share, so that a class scored by its leader stands for every
// file of it: with exact words, as long as two files score alike whichever
// is scored first, which fields compared in any order do not (a field of
// the one is matched among the fields of the other). With a minimum
// relevance of 0 every pair sharing a word is linked: of words in one
// field, the prefix filter then passes each such pair; with fields the
// filters look only for pairs above 0.
bool TBWDupeMatch::ExactPrefixesFindEveryPair() const
{
    return !WithSimilarWords() && !ComparesFieldsInAnyOrder(profile_.CompType, profile_.NoFieldOrder) &&
           (profile_.MinPerc > 0 || !ComparesByFields(profile_.CompType));
}

bool TBWDupeMatch::WithSimilarWords() const
{
    return ComparesSimilarWords(profile_.CompType, profile_.SimWord);
}

// The words each pool file was indexed under, by their number in word
// order: all of them distinct and ascending, and (unless fields go in
// order) by field once per occurrence, ascending; the files in pool order.
// Compared in any field order, each field counts on its own.
void TBWDupeMatch::IndexedWords(TIndexedWords& indexed)
{
    std::unordered_map<const TBWGrpItString*, std::uint32_t> numberOf;
    for (TBWComparable* item = index_->First(); item; item = index_->Next()) {
        auto* entry = static_cast<TBWGrpItString*>(item);
        numberOf.emplace(entry, static_cast<std::uint32_t>(indexed.filesOfWord.size()));
        indexed.filesOfWord.push_back(static_cast<std::uint32_t>(entry->ObjectList().size()));
        indexed.entries.push_back(entry);
    }
    for (TBWComparable* item = pool_.First(); item; item = pool_.Next())
        indexed.files.push_back(static_cast<TBWFile*>(item));
    const bool byEachField = ComparesFieldsInAnyOrder(profile_.CompType, profile_.NoFieldOrder);
    // Fields in order are found by the field probes, which read the words
    // themselves.
    const bool keepFields = !FieldsInOrder();
    indexed.fields.resize(keepFields ? indexed.files.size() : 0);
    indexed.words.resize(indexed.files.size());
    // The index and the numbers are only read here.
    ForEachIndexOnThreads(indexed.files.size(), tuning_.MatchThreads, [&](std::size_t place) {
        const TBWFile* file = indexed.files[place];
        thread_local TBWPrefixFilter::TFields scratch;
        scratch.clear();
        TBWPrefixFilter::TFields& own = keepFields ? indexed.fields[place] : scratch;
        const std::int32_t fieldCount = byEachField ? file->FieldCount() : 1;
        for (std::int32_t f = 0; f < fieldCount; ++f) {
            const std::int32_t field = byEachField ? f : index_->Field;
            std::vector<std::uint32_t>& list = own.emplace_back();
            for (std::int32_t i = 0; i < file->WordCount(field); ++i)
                if (const TBWGrpItString* entry = index_->FindWord(file->GetWord(i, field)))
                    list.push_back(numberOf.at(entry));
            std::sort(list.begin(), list.end());
        }
        std::vector<std::uint32_t>& all = indexed.words[place];
        for (const std::vector<std::uint32_t>& list : own)
            all.insert(all.end(), list.begin(), list.end());
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
    }, kLightWork);
    for (TBWGrpItString* entry : indexed.entries) {
        // Numbered in word order by the linking, as here.
        for (std::uint32_t similar : entry->SimilarWordNumbers())
            indexed.laterSimilar.Add(similar);
        indexed.laterSimilar.EndWord();
    }
}

// Everything the matching needs of the word index is in indexed now; the
// index goes before the matching's own memory grows.
void TBWDupeMatch::ReleaseIndex(TIndexedWords& indexed)
{
    std::vector<TBWGrpItString*>().swap(indexed.entries);
    index_.reset();
}

// Scores the pairs that the candidates of each file give, a round of files
// at a time on every processor; judge(a, b, found) keeps what it finds.
template <class Candidates, class Judge, class Found>
void TBWDupeMatch::ScoreCandidates(const TIndexedWords& indexed, const Candidates& candidates, const Judge& judge,
                                   std::vector<std::vector<Found>>& found, TWordSteps& progress)
{
    const std::size_t count = indexed.files.size();
    found.assign(count, {});
    // A round's threads are new, and each sets up its scratch space of a
    // few bytes per file: rounds are large, yet short enough to show progress.
    constexpr std::size_t kRound = 1 << 16;
    // The stage's words are handed out in proportion to the files scored
    // by every thread. Only this thread reports them, while it scores too,
    // so the job bar moves during a round rather than at its end.
    const std::thread::id reporter = std::this_thread::get_id();
    std::atomic<std::size_t> scored{0};
    const auto reportScored = [&] {
        progress.Reach(kPreparedShare + (kScoredShare - kPreparedShare) *
                                            static_cast<double>(scored.load(std::memory_order_relaxed)) /
                                            static_cast<double>(count));
    };
    for (std::size_t from = 0; from < count; from += kRound) {
        const std::size_t to = std::min(count, from + kRound);
        ForEachIndexOnThreads(to - from, tuning_.MatchThreads, [&](std::size_t i) {
            const auto a = static_cast<std::uint32_t>(from + i);
            if (steps_.StopRequested())
                return;
            candidates(a, [&](std::uint32_t b) { judge(a, b, found[a]); });
            scored.fetch_add(1, std::memory_order_relaxed);
            if (std::this_thread::get_id() == reporter)
                reportScored();
        });
        reportScored();
        steps_.DoSteps(0);
    }
    progress.EndStage(kScoredShare);
}

namespace {

// The pairs found from each file in one list, each once, with room for the
// classes among themselves.
std::vector<TBWClassLinks::TPair> ClassPairsOf(std::vector<std::vector<TBWClassLinks::TPair>>& found,
                                               bool foundBothWays)
{
    std::vector<TBWClassLinks::TPair> pairs;
    std::size_t total = 0;
    for (const std::vector<TBWClassLinks::TPair>& own : found)
        total += own.size();
    pairs.reserve(total + found.size());
    for (std::vector<TBWClassLinks::TPair>& own : found) {
        pairs.insert(pairs.end(), own.begin(), own.end());
        std::vector<TBWClassLinks::TPair>().swap(own);
    }
    if (foundBothWays) {
        std::sort(pairs.begin(), pairs.end());
        pairs.erase(std::unique(pairs.begin(), pairs.end()), pairs.end());
    }
    return pairs;
}

// Per word its files, in pool order.
std::vector<std::vector<std::uint32_t>> FilesOfWords(const std::vector<std::vector<std::uint32_t>>& wordsOf,
                                                     std::size_t vocabulary)
{
    std::vector<std::vector<std::uint32_t>> filesOf(vocabulary);
    for (std::uint32_t file = 0; file < wordsOf.size(); ++file)
        for (std::uint32_t word : wordsOf[file])
            filesOf[word].push_back(file);
    return filesOf;
}

}  // namespace

// A file without an indexed word meets no other and stays alone.
TBWWordClasses TBWDupeMatch::ClassesOf(const TIndexedWords& indexed) const
{
    std::vector<bool> hasWords(indexed.files.size());
    for (std::size_t place = 0; place < hasWords.size(); ++place)
        hasWords[place] = !indexed.words[place].empty();
    return TBWWordClasses(indexed.files, hasWords, tuning_.MatchThreads);
}

// Links the pairs of classes found, and the files of each class that are
// alike among themselves, in the walk's order.
void TBWDupeMatch::LinkClassPairs(const TIndexedWords& indexed, const TBWWordClasses& classes,
                                   const std::vector<std::vector<std::uint32_t>>& filesOf,
                                  std::vector<TBWClassLinks::TPair> pairs, TWordSteps& progress)
{
    const std::vector<TBWFile*>& files = indexed.files;
    for (std::uint32_t leader = 0; leader < files.size(); ++leader)
        if (const std::span<const std::uint32_t> members = classes.MembersOf(leader);
            classes.Leads(leader) && members.size() > 1 && IsSimilar(*files[members[0]], *files[members[1]]))
            pairs.push_back({leader, leader, true, true});
    const TBWWalkOrder walk(indexed.words, filesOf, indexed.laterSimilar);
    TBWClassLinks(classes, walk, indexed.words, tuning_.MatchThreads)
        .Link(std::move(pairs), files, results_,
              [&](double done) { progress.Advance(kScoredShare + (1 - kScoredShare) * done); });
    progress.EndStage(1);
}

// Scores only the pairs that can reach the minimum relevance, and links
// those found similar in the order of the walk over every word. With exact
// words, the walk meets a pair first under the first word they share, the
// earlier file of the pool scored against the later one. Of a class of
// files with identical words only the leader is scored: its pairs stand
// for those of every member, and the members are alike to each other.
void TBWDupeMatch::MatchByPrefixes()
{
    TWordSteps progress(steps_, index_->Count());
    TIndexedWords indexed;
    IndexedWords(indexed);
    ReleaseIndex(indexed);
    const TBWWordClasses classes = ClassesOf(indexed);
    std::vector<TBWFieldPrefixSignature> signatures;
    std::optional<TBWFieldProbes> inOrder;
    std::optional<TBWPrefixFilter> filter;
    if (FieldsInOrder()) {
        signatures.resize(indexed.files.size());
        ForEachIndexOnThreads(indexed.files.size(), tuning_.MatchThreads, [&](std::size_t place) {
            signatures[place] = TBWFieldPrefixSignature(*indexed.files[place], Threshold());
        }, kLightWork);
        inOrder.emplace(indexed.files, 0, Threshold(), [this] { steps_.DoSteps(0); }, tuning_.MatchThreads);
    } else {
        filter.emplace(indexed.fields, indexed.filesOfWord, Threshold());
    }
    std::vector<TBWPrefixFilter::TFields>().swap(indexed.fields);
    progress.EndStage(kPreparedShare);
    const std::vector<TBWFile*>& files = indexed.files;
    std::vector<std::vector<TBWClassLinks::TPair>> found;
    ScoreCandidates(
        indexed,
        [&](std::uint32_t a, const auto& visit) {
            thread_local TBWCandidateMarks seen;
            thread_local std::vector<std::uint32_t> candidates;
            if (!classes.Leads(a))
                return;
            const auto visitLeader = [&](std::uint32_t b) {
                if (classes.Leads(b))
                    visit(b);
            };
            if (filter) {
                filter->ForEachLaterCandidate(a, seen, visitLeader);
                return;
            }
            inOrder->LaterCandidates(a, candidates, seen,
                                     [&](std::uint32_t b) { return signatures[a].CannotReach(signatures[b]); });
            for (std::uint32_t b : candidates)
                visitLeader(b);
        },
        [&](std::uint32_t a, std::uint32_t b, std::vector<TBWClassLinks::TPair>& own) {
            // Found through another field, a pair may share no indexed word:
            // the walk never meets it. Met, it scores alike either way round.
            if (TBWPrefixFilter::FirstSharedWord(indexed.words[a], indexed.words[b]) != UINT32_MAX &&
                IsSimilar(*files[a], *files[b]))
                own.push_back({a, b, true, true});
        },
        found, progress);
    LinkClassPairs(indexed, classes, FilesOfWords(indexed.words, indexed.filesOfWord.size()),
                   ClassPairsOf(found, false), progress);
}

namespace {

// The classes whose files may reach the minimum relevance with a class's
// files, each named by its leader and found from the class's leader:
// through the filters, or, at a minimum of 0, every class the walk meets
// it with.
class TLaterClasses {
public:
    // How the files are compared and what is known of their words: words
    // and fields by file, files by word, all read, not copied.
    struct TSetting {
        double threshold;
        bool inOrder;
        std::int32_t tolerance;
        const std::vector<TBWFile*>& files;
        const std::vector<std::vector<std::uint32_t>>& wordsOf;
        const std::vector<TBWPrefixFilter::TFields>& fields;
        const std::vector<std::vector<std::uint32_t>>& filesOf;
        const std::vector<std::uint32_t>& filesOfWord;
        const TWordLinks& similarOf;
    };

    TLaterClasses(const TSetting& setting, const TBWWordClasses& classes, const TBWFieldProbes::Progress& progress,
                  unsigned threads)
        : setting_(setting), classes_(classes)
    {
        if (setting.threshold == 0)
            LeadersByWord();
        else if (setting.inOrder)
            inOrder_.emplace(setting.files, setting.tolerance, setting.threshold, progress, threads);
        else if (setting.tolerance > 0)
            similar_.emplace(setting.fields, setting.filesOf, setting.similarOf, setting.threshold);
        else
            exact_.emplace(setting.fields, setting.filesOfWord, setting.threshold);
    }

    // Calls visit(leader) for the classes found from leader, each once;
    // others may find the same class pair from the other side.
    template <class Visit>
    void Find(std::uint32_t leader, const Visit& visit) const
    {
        thread_local std::vector<std::uint32_t> later;
        thread_local TBWCandidateMarks seen, seenClasses;
        if (exact_) {
            // The exact filter finds a pair only the way round the pool
            // orders it: a later file of another class stands for its
            // class, whose leader may come before this one.
            seenClasses.Begin(setting_.files.size());
            exact_->ForEachLaterCandidate(leader, seen, [&](std::uint32_t file) {
                if (const std::uint32_t other = classes_.LeaderOf(file); other != leader && seenClasses.Take(other))
                    visit(other);
            });
            return;
        }
        if (similar_)
            similar_->LaterCandidates(leader, later, seen);  // finds pairs either way round
        else if (inOrder_)
            inOrder_->LaterCandidates(leader, later, seen);
        else
            EveryLaterMeeting(leader, later, seen);
        for (std::uint32_t file : later)
            if (classes_.Leads(file))
                visit(file);
    }

    // Whether a class pair may be found from both sides.
    bool FindsBothWays() const { return exact_.has_value(); }

private:
    void LeadersByWord()
    {
        leadersOf_.resize(setting_.filesOf.size());
        for (std::uint32_t word = 0; word < setting_.filesOf.size(); ++word)
            for (std::uint32_t file : setting_.filesOf[word])
                if (classes_.Leads(file))
                    leadersOf_[word].push_back(file);
    }

    // Every later leader that has one of the leader's words or a word
    // similar to one, each once: at a minimum relevance of 0 the walk links
    // them all.
    void EveryLaterMeeting(std::uint32_t leader, std::vector<std::uint32_t>& later, TBWCandidateMarks& seen) const
    {
        later.clear();
        seen.Begin(setting_.files.size());
        const auto takeLater = [&](std::uint32_t word) {
            const std::vector<std::uint32_t>& leaders = leadersOf_[word];
            for (auto at = std::upper_bound(leaders.begin(), leaders.end(), leader); at != leaders.end(); ++at)
                if (seen.Take(*at))
                    later.push_back(*at);
        };
        for (std::uint32_t word : setting_.wordsOf[leader]) {
            takeLater(word);
            for (std::uint32_t similar : setting_.similarOf[word])
                takeLater(similar);
        }
    }

    const TSetting& setting_;
    const TBWWordClasses& classes_;
    std::optional<TBWFieldProbes> inOrder_;
    std::optional<TBWPrefixFilter> exact_;
    std::optional<TBWSimilarPrefixFilter> similar_;
    std::vector<std::vector<std::uint32_t>> leadersOf_;  // by word, at a minimum relevance of 0
};

}  // namespace

// With similar words, with fields in any order, or at a minimum relevance
// of 0 with fields, classes of files with identical words are scored by
// their leaders too, but a pair can be met both ways round (a file of a
// word against a file of a later similar word, or, in a class, the earlier
// file of the pool against the later one), and the two ways may score
// apart: both are scored, and the links follow the walk's first meeting
// that scores similar enough.
void TBWDupeMatch::MatchByClassPairs()
{
    TWordSteps progress(steps_, index_->Count());
    TIndexedWords indexed;
    IndexedWords(indexed);
    ReleaseIndex(indexed);
    const std::vector<TBWFile*>& files = indexed.files;
    const std::vector<std::vector<std::uint32_t>> filesOf = FilesOfWords(indexed.words, indexed.filesOfWord.size());
    const TBWWalkOrder walk(indexed.words, filesOf, indexed.laterSimilar);
    const TBWWordClasses classes = ClassesOf(indexed);
    const TWordLinks similarOf = indexed.laterSimilar.Mirrored();
    const TLaterClasses::TSetting setting{
        Threshold(), FieldsInOrder(), WithSimilarWords() ? profile_.SimWord : 0,
        files, indexed.words, indexed.fields, filesOf, indexed.filesOfWord, similarOf};
    const TLaterClasses later(setting, classes, [this] { steps_.DoSteps(0); }, tuning_.MatchThreads);
    progress.EndStage(kPreparedShare);
    std::vector<std::vector<TBWClassLinks::TPair>> found;
    ScoreCandidates(
        indexed,
        [&](std::uint32_t a, const auto& visit) {
            if (classes.Leads(a))
                later.Find(a, visit);
        },
        [&](std::uint32_t a, std::uint32_t b, std::vector<TBWClassLinks::TPair>& own) {
            if (const auto pair = ScoreClassPair(std::min(a, b), std::max(a, b), walk, classes, files))
                own.push_back(*pair);
        },
        found, progress);
    LinkClassPairs(indexed, classes, filesOf, ClassPairsOf(found, later.FindsBothWays()), progress);
}

// Scores the classes of two leaders, first before second, each way round
// the walk meets some of their files; none when neither way is similar
// enough.
std::optional<TBWClassLinks::TPair> TBWDupeMatch::ScoreClassPair(std::uint32_t first, std::uint32_t second,
                                                                  const TBWWalkOrder& walk,
                                                                  const TBWWordClasses& classes,
                                                                  const std::vector<TBWFile*>& files) const
{
    TBWClassLinks::TPair pair{first, second, false, false};
    const bool forth = walk.Meets(first, second);
    // Without similar words the later file is never scored first.
    const bool back = WithSimilarWords() && walk.Meets(second, first);
    if (classes.MembersOf(first).size() > 1 || classes.MembersOf(second).size() > 1) {
        // Where the walk meets a class's files at all, it may score them
        // either way round: a file of the later class can come first.
        pair.forth = (forth || back) && IsSimilar(*files[first], *files[second]);
        pair.back = (forth || back) && IsSimilar(*files[second], *files[first]);
    } else {
        // Two files alone: the later is scored first only under a similar
        // word that comes before all the words meeting the other way round.
        pair.forth = forth && IsSimilar(*files[first], *files[second]);
        pair.back = back && (!pair.forth || *walk.FirstMeeting(second, first) < *walk.FirstMeeting(first, second)) &&
                    IsSimilar(*files[second], *files[first]);
    }
    if (!pair.forth && !pair.back)
        return std::nullopt;
    return pair;
}
