#include "engine/u_dupematch.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <deque>
#include <optional>
#include <span>
#include <unordered_map>

#include "base/u_bwselchain.h"
#include "engine/u_bwgroup.h"
#include "engine/u_dupefiles.h"
#include "engine/u_fieldprobes.h"
#include "engine/u_prefixfilter.h"
#include "engine/u_walkorder.h"
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

void TBWDupeMatch::Group()
{
    if (tuning_.FilterCandidates) {
        GroupAsFound();
        return;
    }
    WalkEveryPair();
    LoadInfoOfLinkedFiles();
    results_.ResolveReferences();
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
// its stages: a share for preparing the words and filters, the rest as the
// files take their turns to find their links. So the job bar moves through
// the whole job.
constexpr double kPreparedShare = 0.1;

// Links recorded of the files whose turn has passed, at most, per file.
constexpr std::size_t kKeptPerFile = 16;

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
    std::vector<TBWFile*> files;  // in pool order, those with words
    TWordLinks words;  // by file
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

bool TBWDupeMatch::WithSimilarWords() const
{
    return ComparesSimilarWords(profile_.CompType, profile_.SimWord);
}

// The words each pool file with words was indexed under, by their number
// in word order: all of them distinct and ascending, and (unless fields go
// in order) by field once per occurrence, ascending; the files in pool
// order. Compared in any field order, each field counts on its own.
void TBWDupeMatch::IndexedWords(TIndexedWords& indexed)
{
    TWordNumbers numberOf;
    for (TBWComparable* item = index_->First(); item; item = index_->Next()) {
        auto* entry = static_cast<TBWGrpItString*>(item);
        numberOf.emplace(entry, static_cast<std::uint32_t>(indexed.filesOfWord.size()));
        indexed.filesOfWord.push_back(static_cast<std::uint32_t>(entry->ObjectList().size()));
        indexed.entries.push_back(entry);
    }
    // A file without words meets no other: it takes no turn. A scan by
    // content leaves most files without a word.
    for (TBWComparable* item = pool_.First(); item; item = pool_.Next())
        if (static_cast<TBWFile*>(item)->WordCount() > 0)
            indexed.files.push_back(static_cast<TBWFile*>(item));
    // Fields in order are found by the field probes, which read the words
    // themselves.
    indexed.fields.resize(FieldsInOrder() ? 0 : indexed.files.size());
    NumberWordsOfFiles(numberOf, indexed);
    for (TBWGrpItString* entry : indexed.entries) {
        // Numbered in word order by the linking, as here.
        for (std::uint32_t similar : entry->SimilarWordNumbers())
            indexed.laterSimilar.Add(similar);
        indexed.laterSimilar.EndWord();
    }
}

// The words of each block of files are numbered on a thread; the blocks
// are then laid end to end. The index and the numbers are only read
// meanwhile.
void TBWDupeMatch::NumberWordsOfFiles(const TWordNumbers& numberOf, TIndexedWords& indexed) const
{
    constexpr std::size_t kBlock = 1 << 12;
    struct TBlockWords {
        std::vector<std::uint32_t> counts;  // per file
        std::vector<std::uint32_t> words;
    };
    std::vector<TBlockWords> blocks((indexed.files.size() + kBlock - 1) / kBlock);
    ForEachIndexOnThreads(blocks.size(), tuning_.ThreadsForFiles(indexed.files.size()), [&](std::size_t block) {
        TBlockWords& numbered = blocks[block];
        std::vector<std::uint32_t> words;
        TBWPrefixFilter::TFields scratch;
        for (std::size_t place = block * kBlock; place < std::min(indexed.files.size(), (block + 1) * kBlock);
             ++place) {
            scratch.clear();
            NumberWords(*indexed.files[place], numberOf, indexed.fields.empty() ? scratch : indexed.fields[place],
                        words);
            numbered.counts.push_back(static_cast<std::uint32_t>(words.size()));
            numbered.words.insert(numbered.words.end(), words.begin(), words.end());
        }
    });
    for (const TBlockWords& block : blocks) {
        auto word = block.words.begin();
        for (const std::uint32_t count : block.counts) {
            for (std::uint32_t i = 0; i < count; ++i)
                indexed.words.Add(*word++);
            indexed.words.EndWord();
        }
    }
}

// The numbers of a file's words, by field, and all of them once.
void TBWDupeMatch::NumberWords(const TBWFile& file, const TWordNumbers& numberOf, TBWPrefixFilter::TFields& fields,
                               std::vector<std::uint32_t>& all) const
{
    const bool byEachField = ComparesFieldsInAnyOrder(profile_.CompType, profile_.NoFieldOrder);
    const std::int32_t fieldCount = byEachField ? file.FieldCount() : 1;
    for (std::int32_t f = 0; f < fieldCount; ++f) {
        const std::int32_t field = byEachField ? f : index_->Field;
        std::vector<std::uint32_t>& list = fields.emplace_back();
        for (std::int32_t i = 0; i < file.WordCount(field); ++i)
            if (const TBWGrpItString* entry = index_->FindWord(file.GetWord(i, field)))
                list.push_back(numberOf.at(entry));
        std::sort(list.begin(), list.end());
    }
    all.clear();
    for (const std::vector<std::uint32_t>& list : fields)
        all.insert(all.end(), list.begin(), list.end());
    std::sort(all.begin(), all.end());
    all.erase(std::unique(all.begin(), all.end()), all.end());
}

// Everything the matching needs of the word index is in indexed now; the
// index goes before the matching's own memory grows.
void TBWDupeMatch::ReleaseIndex(TIndexedWords& indexed)
{
    std::vector<TBWGrpItString*>().swap(indexed.entries);
    index_.reset();
}

namespace {

// Per word its files, in pool order.
std::vector<std::vector<std::uint32_t>> FilesOfWords(const TWordLinks& wordsOf, std::size_t vocabulary)
{
    std::vector<std::vector<std::uint32_t>> filesOf(vocabulary);
    for (std::uint32_t file = 0; file < wordsOf.size(); ++file)
        for (std::uint32_t word : wordsOf[file])
            filesOf[word].push_back(file);
    return filesOf;
}

}  // namespace

void TBWDupeMatch::LoadInfoOfLinkedFiles()
{
    std::vector<TBWFile*> files;
    for (TBWComparable* item = results_.First(); item; item = results_.Next())
        files.push_back(static_cast<TBWDupeFile*>(item)->File());
    steps_.LoadInfo(files);
}

// The links of the files whose turn comes when the references are chosen:
// each file is scored against the files still open that may reach the
// minimum relevance with it, each way round the walk over every word
// scores them, and its links are ordered by the walk's first meeting that
// scores similar enough. So the references, their duplicates and their
// order are those of the walk, while no more than the links of a few
// files are held at a time.
class TBWDupeMatch::TLinkSearch : public TBWLinkFinder {
public:
    TLinkSearch(const TBWDupeMatch& match, TIndexedWords& indexed, TWordSteps& progress, unsigned threads)
        : match_(match),
          progress_(progress),
          indexed_(indexed),
          filesOf_(FilesOfWords(indexed.words, indexed.filesOfWord.size())),
          similarOf_(indexed.laterSimilar.Mirrored()),
          walk_(indexed.words, filesOf_, indexed.laterSimilar),
          infoRead_(indexed.files.size()),
          threads_(threads ? threads : Processors()),
          turnTaken_(indexed.files.size()),
          linksRecorded_(indexed.files.size())
    {
        // Kept for every turn: what each thread keeps to look up candidates
        // is as large as the pool.
        if (threads_ > 1)
            helpers_.emplace(threads_ - 1);
        const double threshold = match.Threshold();
        if (threshold == 0)
            return;  // none met can be left out
        const std::int32_t tolerance = match.WithSimilarWords() ? match.profile_.SimWord : 0;
        if (match.FieldsInOrder())
            inOrder_.emplace(indexed.files, tolerance, threshold, [&match] { match.steps_.DoSteps(0); }, threads_);
        else if (tolerance > 0)
            similar_.emplace(indexed.fields, filesOf_, similarOf_, threshold);
        else
            exact_.emplace(indexed.fields, indexed.filesOfWord, threshold);
    }

    const std::vector<TBWFile*>& Files() const override { return indexed_.files; }
    std::size_t Batch() const override { return 2 * threads_; }

    void LinksOf(std::span<const std::uint32_t> files, const TOpen& open,
                 std::vector<std::vector<std::uint32_t>>& links) override
    {
        RecordLastTurns(open);
        // Files mostly take their turns in pool order: those below the
        // first one still unsettled need not even be looked at.
        while (settledBelow_ < indexed_.files.size() && Settled(settledBelow_, open))
            ++settledBelow_;
        std::vector<std::vector<TLink>> found(files.size());
        const auto find = [&](std::size_t i) {
            if (match_.steps_.StopRequested())
                return;
            FindLinks(files[i], open, found[i]);
            if (!found[i].empty()) {
                ReadInfo(files[i]);
                for (const TLink& link : found[i])
                    ReadInfo(link.other);
            }
        };
        if (helpers_)
            ForEachIndexOnThreads(*helpers_, files.size(), find);
        else
            ForEachIndexOnThreads(files.size(), 1, find);
        for (std::size_t i = 0; i < files.size(); ++i) {
            std::sort(found[i].begin(), found[i].end(),
                      [](const TLink& a, const TLink& b) { return a.meeting < b.meeting; });
            links[i].clear();
            for (const TLink& link : found[i])
                links[i].push_back(link.other);
            turnTaken_[files[i]] = true;
            if (const auto met = metEarlier_.find(files[i]); met != metEarlier_.end()) {
                recorded_ -= met->second.size();
                metEarlier_.erase(met);
            }
        }
        lastTurns_.assign(files.begin(), files.end());
        lastFound_ = std::move(found);
        // The files asked about, of all, tell how far the job has come;
        // each tenth is handed on at once, also in a short job.
        const double before = Share();
        asked_ += files.size();
        if (std::floor(Share() * 10) > std::floor(before * 10))
            progress_.EndStage(Share());
        else
            progress_.Advance(Share());
    }

private:
    // A linked file and the walk's meeting that links the two.
    struct TLink {
        std::uint32_t other;
        TBWWalkOrder::TMeeting meeting;
    };

    double Share() const
    {
        const auto files = static_cast<double>(std::max<std::size_t>(indexed_.files.size(), 1));
        return kPreparedShare + (1 - kPreparedShare) * std::min(1.0, static_cast<double>(asked_) / files);
    }

    // A file whose turn has passed and whose links were recorded is not
    // looked at again: the files it links to that still wait for their
    // turn find it among the links met earlier. Files no longer open are
    // never linked.
    bool Settled(std::uint32_t file, const TOpen& open) const { return linksRecorded_[file] || !open(file); }

    void FindLinks(std::uint32_t file, const TOpen& open, std::vector<TLink>& found) const
    {
        thread_local std::vector<std::uint32_t> candidates;
        thread_local TBWCandidateMarks seen;
        const auto settled = [&](std::uint32_t other) { return other == file || Settled(other, open); };
        Candidates(file, settled, candidates, seen);
        for (std::uint32_t other : candidates)
            if (!settled(other))
                if (const auto meeting = LinkedAt(file, other))
                    found.push_back({other, *meeting});
        if (const auto met = metEarlier_.find(file); met != metEarlier_.end())
            std::copy_if(met->second.begin(), met->second.end(), std::back_inserter(found),
                         [&](const TLink& link) { return open(link.other); });
    }

    // The links of the files of the last turns that are still open are
    // handed to the linked files whose turn is still to come, while they
    // take little room: a file left open after its turn is met by every
    // later file it may reach, which need not score it again. Links to
    // files grouped since go when room is short.
    void RecordLastTurns(const TOpen& open)
    {
        std::size_t needed = 0;
        for (std::size_t i = 0; i < lastTurns_.size(); ++i) {
            std::erase_if(lastFound_[i],
                          [&](const TLink& link) { return turnTaken_[link.other] || !open(link.other); });
            needed += lastFound_[i].size();
        }
        const std::size_t room = kKeptPerFile * indexed_.files.size();
        // Looked for now and then only: it walks every recorded link.
        if (recorded_ + needed > room && asked_ >= purgedAt_ + indexed_.files.size() / 16) {
            purgedAt_ = asked_;
            recorded_ = 0;
            for (auto& [file, met] : metEarlier_) {
                std::erase_if(met, [&](const TLink& link) { return !open(link.other); });
                recorded_ += met.size();
            }
        }
        for (std::size_t i = 0; i < lastTurns_.size(); ++i) {
            const std::uint32_t file = lastTurns_[i];
            if (!open(file) || recorded_ + lastFound_[i].size() > room)
                continue;
            linksRecorded_[file] = true;
            recorded_ += lastFound_[i].size();
            for (const TLink& link : lastFound_[i])
                metEarlier_[link.other].push_back({file, link.meeting});
        }
        lastTurns_.clear();
        lastFound_.clear();
    }

    // The files that may reach the minimum relevance with file, either way
    // round, each once; file itself may be among them, and files settled
    // tells of may be left out.
    void Candidates(std::uint32_t file, const TBWFieldProbes::Excluded& settled, std::vector<std::uint32_t>& candidates,
                    TBWCandidateMarks& seen) const
    {
        candidates.clear();
        if (inOrder_) {
            inOrder_->Candidates(file, candidates, seen, settled, settledBelow_);
        } else if (similar_) {
            similar_->Candidates(file, candidates, seen);
        } else if (exact_) {
            exact_->ForEachCandidate(file, seen, [&](std::uint32_t other) { candidates.push_back(other); });
        } else {
            seen.Begin(indexed_.files.size());
            const auto take = [&](std::uint32_t word) {
                for (std::uint32_t other : filesOf_[word])
                    if (seen.Take(other))
                        candidates.push_back(other);
            };
            for (std::uint32_t word : indexed_.words[file]) {
                take(word);
                for (std::uint32_t similar : similarOf_[word])
                    take(similar);
            }
        }
    }

    // Where the walk links two files: at its first meeting of them whose
    // way round scores similar enough; none when it never links them.
    std::optional<TBWWalkOrder::TMeeting> LinkedAt(std::uint32_t a, std::uint32_t b) const
    {
        std::optional<TBWWalkOrder::TMeeting> forth = walk_.FirstMeeting(a, b);
        std::optional<TBWWalkOrder::TMeeting> back = walk_.FirstMeeting(b, a);
        if (back && (!forth || *back < *forth)) {
            std::swap(a, b);
            std::swap(forth, back);
        }
        const std::vector<TBWFile*>& files = indexed_.files;
        if (forth && match_.IsSimilar(*files[a], *files[b]))
            return forth;
        if (back && match_.IsSimilar(*files[b], *files[a]))
            return back;
        return std::nullopt;
    }

    // The files to be compared by priority have their information read,
    // each once, by the thread that finds it linked first.
    void ReadInfo(std::uint32_t file)
    {
        if (!infoRead_[file].exchange(true, std::memory_order_relaxed))
            match_.steps_.ReadInfo(*indexed_.files[file]);
    }

    const TBWDupeMatch& match_;
    TWordSteps& progress_;
    std::size_t asked_ = 0;
    TIndexedWords& indexed_;
    std::vector<std::vector<std::uint32_t>> filesOf_;
    TWordLinks similarOf_;
    TBWWalkOrder walk_;
    std::vector<std::atomic<bool>> infoRead_;
    unsigned threads_;
    std::optional<TBWThreadPool> helpers_;
    std::vector<bool> turnTaken_;  // by file
    // By file: its links are in metEarlier_ of the files whose turn comes later.
    std::vector<bool> linksRecorded_;
    // By file still to take its turn: its links found at earlier turns.
    std::unordered_map<std::uint32_t, std::vector<TLink>> metEarlier_;
    std::size_t recorded_ = 0;  // links in metEarlier_
    std::uint32_t settledBelow_ = 0;  // every file numbered below is settled
    std::size_t purgedAt_ = 0;  // files asked about when the links to grouped files last went
    // The files of the last turns and their links, recorded at the next.
    std::vector<std::uint32_t> lastTurns_;
    std::vector<std::vector<TLink>> lastFound_;
    std::optional<TBWFieldProbes> inOrder_;
    std::optional<TBWSimilarPrefixFilter> similar_;
    std::optional<TBWPrefixFilter> exact_;
};

// Threads for the link search where the files meet many others through
// their words, one where they meet few.
unsigned TBWDupeMatch::ThreadsToFindLinks(const TIndexedWords& indexed) const
{
    const auto filesOf = [&](std::uint32_t word) { return std::uint64_t{indexed.filesOfWord[word]}; };
    std::uint64_t meetings = 0;
    for (std::uint32_t word = 0; word < indexed.filesOfWord.size(); ++word) {
        meetings += filesOf(word) * filesOf(word);
        for (std::uint32_t similar : indexed.laterSimilar[word])
            meetings += 2 * filesOf(word) * filesOf(similar);
    }
    return meetings < tuning_.ManyMeetings ? 1 : tuning_.MatchThreads;
}

void TBWDupeMatch::GroupAsFound()
{
    TWordSteps progress(steps_, index_->Count());
    TIndexedWords indexed;
    IndexedWords(indexed);
    ReleaseIndex(indexed);
    progress.EndStage(kPreparedShare / 2);
    TLinkSearch search(*this, indexed, progress, ThreadsToFindLinks(indexed));
    progress.EndStage(kPreparedShare);
    results_.ResolveReferences(search);
    progress.EndStage(1);
}
