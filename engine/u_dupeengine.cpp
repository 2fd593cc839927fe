#include "engine/u_dupeengine.h"

#include "engine/u_classlinks.h"
#include "engine/u_contentwords.h"
#include "engine/u_fieldprobes.h"
#include "engine/u_prefixfilter.h"
#include "engine/u_readahead.h"
#include "engine/u_walkorder.h"
#include "engine/u_wordclasses.h"
#include "engine/u_workthreads.h"

#include <sys/stat.h>

#include <algorithm>
#include <deque>
#include <optional>
#include <unordered_set>

#include "base/u_bwfunc.h"
#include "base/u_bwstop.h"
#include "base/u_bwtextcase.h"
#include "model/u_bwfs.h"
#include "model/u_bwfolderlisting.h"
#include "model/u_bwfsmp3.h"
#include "tags/u_musichandler.h"

namespace {

// Steps are handed on in batches: a report per word pair would cost more
// than the pair.
constexpr std::uint64_t kStepBatch = 4096;

// Files read ahead whose information the walk stores at a time.
constexpr std::size_t kStoreBatch = 256;

std::string TagLine(TBWMp3File& file, bool withAlbum)
{
    std::string text = file.Title() + " - " + file.Artist();
    if (withAlbum)
        text += " - " + file.Album();
    return text;
}

// The banlist's patterns are tested against the tags exactly as they hold
// them, the album included when it is empty.
std::string BanlistTagText(TBWMp3File& file, TBWCompType compType)
{
    return TagLine(file, compType == ctTagsWithAlbum);
}

// The words of a file compared by tags. Every "." becomes a blank, since the
// words are split like a file name and a dot would start an extension.
std::string WordsTagText(TBWMp3File& file, TBWCompType compType)
{
    std::string text = TagLine(file, compType == ctTagsWithAlbum && !file.Album().empty());
    std::replace(text.begin(), text.end(), '.', ' ');
    return text;
}

}  // namespace

TBWDupeEngine::TBWDupeEngine(TBWDirectory& root, const TBWCVProfile& profile)
    : root_(root),
      results_(std::make_unique<TBWDupeFileList>()),
      index_(std::make_unique<TBWGrpChFilename>()),
      pool_(std::make_unique<TBWSelChain>())
{
    profile_.AssignSettings(profile);
    results_->SetProfile(profile_);
    for (const std::string& pattern : profile_.Exclusions())
        exclusions_.emplace_back(pattern);
    for (TBWKey key : {TBWKey{fkName}, TBWKey{fkDirPath}, TBWKey{fkSize}, TBWKey{fkDuration},
                       TBWKey{fkBitrate}})
        pool_->SetSortKeys(key, {key});
    index_->MinWordLength = profile_.MinWordLength;
    index_->MaxDistance = 0;
}

TBWDupeEngine::~TBWDupeEngine()
{
    RequestStop();
    // A finished scan no longer touches its results: they go while the
    // worker still frees what only the scan needed.
    if (Finished())
        results_.reset();
    if (worker_.joinable())
        worker_.join();
}

void TBWDupeEngine::AddDirectories(const std::vector<std::string>& directories)
{
    directories_.insert(directories_.end(), directories.begin(), directories.end());
}

void TBWDupeEngine::AddDirectory(const std::string& directory)
{
    directories_.push_back(directory);
}

void TBWDupeEngine::Start()
{
    worker_ = std::jthread([this] { Execute(); });
}

void TBWDupeEngine::Execute()
{
    try {
        const TBWStopScope stopReads(stopRequested_);
        Run();
        FlushSteps();
    } catch (const TBWStopped&) {
        stopped_ = true;
    } catch (const std::exception& error) {
        error_ = error.what();
    } catch (...) {
        error_ = "The scan failed.";
    }
    finished_.store(true, std::memory_order_release);
    // The window thread takes the results from here on. What only the scan
    // needed goes meanwhile, on this thread, so that freeing the engine
    // once the results window has closed frees only the results; none of
    // it touches the files or the results.
    index_.reset();
    pool_.reset();
}

void TBWDupeEngine::Run()
{
    Prepare();
    SetStatus("Adding files to the scan list", 0);
    FillPool();
    if (profile_.ResultType > rsNegative) {
        AnalyseBanlist();
        return;
    }
    PrunePool();
    if (profile_.CompType == ctContent)
        ReadContentWords();
    GroupByWords();
    if (profile_.CompType != ctContent && profile_.SimWord > 0)
        LinkSimilarWords();
    MatchGroups();
    if (profile_.ResultType == rsNegative)
        KeepNegativeResults();
}

void TBWDupeEngine::Prepare()
{
    MusicHandler().SetMask(profile_.ExtPri);
    results_->SetExtensionOrder(MusicHandler().Mask());
    root_.Refresh();
    results_->Clear();
    pool_->Clear();
    index_->Clear();
    pool_->SetActiveKeys(-1);
    index_->MinWordLength = profile_.MinWordLength;
    index_->MaxDistance = profile_.SimWord;
    // Any field order needs every field indexed, or "Title - Artist" could
    // never meet "Artist - Title".
    const bool firstFieldOnly =
        profile_.CompType == ctTagsWithAlbum || profile_.CompType == ctTags ||
        (profile_.CompType == ctFileNameFields && !profile_.NoFieldOrder);
    index_->Field = firstFieldOnly ? 0 : -1;
    PruneDirectories(directories_);
}

void TBWDupeEngine::PruneDirectories(std::vector<std::string>& directories)
{
    for (std::size_t i = 0; i < directories.size(); ++i) {
        const std::string entry = directories[i];
        if (entry.empty())
            continue;
        for (std::size_t j = i + 1; j < directories.size() && !directories[i].empty(); ++j) {
            if (directories[j].empty())
                continue;
            const TBWPathRelation relation = PathRelation(entry, directories[j]);
            if (relation == prBInsideA)
                directories[j].clear();
            else if (relation == prAInsideB || relation == prEqual)
                directories[i].clear();
        }
    }
    std::erase_if(directories, [](const std::string& d) { return d.empty(); });
}

void TBWDupeEngine::FillPool()
{
    // What the scan will need of every file is read on other threads while
    // the walk goes on, and stored once the walk is done.
    const std::optional<std::int32_t> kind = InfoReadAhead();
    using TInfoAhead = TBWReadAhead<TBWMp3File*, TBWMp3File::TReadInfo>;
    std::optional<TInfoAhead> ahead;
    if (kind)
        ahead.emplace(
            ReadThreadsOf(ReadThreads),
            [kind = *kind](const std::string& path) { return TBWMp3File::ReadInfo(path, kind); }, stopRequested_);
    const auto store = [&](TBWMp3File* file, const TBWMp3File::TReadInfo& info) { file->StoreInfo(*kind, info); };
    std::size_t queued = 0;
    TBWFullPaths paths;
    const TMetFile met = [&](TBWFile& file) {
        if (!ahead)
            return;
        if (auto* audio = dynamic_cast<TBWMp3File*>(&file); audio && !audio->LoadedInfo().test(*kind))
            ahead->Add(audio, paths.Of(*audio));
        if (++queued % kStoreBatch == 0)
            ahead->TakeDone(store);
    };
    TFolderIdentities seen;
    for (const std::string& path : directories_) {
        TBWDirectory* directory = root_.FindDir(AddTrailingBackslash(path), true);
        if (!directory)
            continue;
        // Folders on disk are listed ahead on other threads, their files
        // tried against the masks of the folder's file list there; the
        // model takes the listings in the order of its own walk, so the
        // pool's order does not depend on them.
        std::optional<TBWListingAhead> listing;
        if (ListingThreads != 1 && dynamic_cast<TBWDirWin*>(directory)) {
            const auto* files = dynamic_cast<const TBWFileListWin*>(directory->Files());
            listing.emplace(directory->RealPath(), ListingThreads, files ? files->Mask() : std::string());
        }
        CollectOnce(*directory, seen, met);
    }
    if (ahead)
        ahead->TakeAll(store);
}

// Comparing by tags needs the tags; by content the size, which tells whose
// digests to read.
std::optional<std::int32_t> TBWDupeEngine::InfoReadAhead() const
{
    switch (profile_.CompType) {
    case ctTags:
    case ctTagsWithAlbum:
        return ikTags;
    case ctContent:
        return profile_.ResultType > rsNegative ? std::nullopt : std::optional<std::int32_t>(ikBasic);
    default:
        return std::nullopt;
    }
}

namespace {

std::optional<TBWFolderIdentity> IdentityOf(const TBWDirectory& directory)
{
    if (const auto* disk = dynamic_cast<const TBWDirWin*>(&directory); disk && disk->Identity())
        return disk->Identity();
    struct stat status {};
    if (::stat(directory.RealPath().c_str(), &status) != 0)
        return std::nullopt;
    return TBWFolderIdentity{status.st_dev, status.st_ino};
}

}  // namespace

// A folder reached twice (through a link to it) would put each of its files
// in the pool twice, and a file would then be offered for deletion as the
// duplicate of itself.
void TBWDupeEngine::CollectOnce(TBWDirectory& directory, TFolderIdentities& seen, const TMetFile& met)
{
    DoSteps(0);  // a stop is answered between folders too: a walk can be long
    directory.LoadForWalk();
    if (const auto identity = IdentityOf(directory); identity && !seen.insert(*identity).second)
        return;
    TBWFileList* files = directory.Files();
    for (TBWFile* file = files->FirstFile(); file; file = files->NextFile()) {
        pool_->Add(file);
        met(*file);
    }
    for (std::int32_t i = 0; i < directory.DirCount(); ++i)
        CollectOnce(*directory.DirAt(i), seen, met);
}

bool TBWDupeEngine::IsExcluded(const std::string& text) const
{
    if (exclusions_.empty())
        return false;
    const std::string lower = LowerCaseAscii(text);
    return std::any_of(exclusions_.begin(), exclusions_.end(),
                       [&](const TBWMask& mask) { return mask.IsValid() && mask.Matches(lower); });
}

void TBWDupeEngine::AnalyseBanlist()
{
    SetStatus("Analysing banlist", pool_->Count());
    results_->SetSingleMode(true);
    const bool byTags = profile_.CompType == ctTagsWithAlbum || profile_.CompType == ctTags;
    for (TBWComparable* item = pool_->First(); item; item = pool_->Next()) {
        auto* file = static_cast<TBWMp3File*>(item);
        if ((byTags && IsExcluded(BanlistTagText(*file, profile_.CompType))) ||
            IsExcluded(file->Name()))
            results_->AddPair(file, nullptr);
        DoStep();
    }
    results_->ResolveReferences();
}

bool TBWDupeEngine::PrepareWords(TBWMp3File& file)
{
    if (profile_.CompType == ctTagsWithAlbum || profile_.CompType == ctTags) {
        if (file.Title().empty() || file.Artist().empty())
            return false;
        file.SetText(WordsTagText(file, profile_.CompType));
    }
    // A comparison by content gives every file the word of its content: the
    // words of its name take no part, however few or short they are.
    if (profile_.CompType != ctContent) {
        file.DropShortWords(profile_.MinWordLength);
        if (file.WordCount() < profile_.MinWordCount)
            return false;
    }
    return !IsExcluded(file.Name()) && RoleOf(file) != dtExcluded;
}

std::int32_t TBWDupeEngine::RoleOf(const TBWFile& file)
{
    // Every file of a folder has its folder's role: worked out once per folder.
    const TBWDirectory* directory = file.Directory();
    const auto known = roles_.find(directory);
    if (known != roles_.end())
        return known->second;
    return roles_[directory] = profile_.GetDirPriority(file.DirPath());
}

void TBWDupeEngine::PrunePool()
{
    TBWComparable* item = pool_->First();
    while (item) {
        const bool keep = PrepareWords(*static_cast<TBWMp3File*>(item));
        DoStep();
        if (keep) {
            item = pool_->Next();
        } else {
            pool_->DeleteCurrent();
            item = pool_->GetCurrent();
        }
    }
}

// A file whose content cannot be read gets no word: it is never linked, yet
// stays in the pool, so that negative results list it like any other file
// without a match.
void TBWDupeEngine::ReadContentWords()
{
    SetStatus("Read necessary file info", pool_->Count());
    std::vector<TBWMp3File*> files;
    for (TBWComparable* item = pool_->First(); item; item = pool_->Next())
        files.push_back(static_cast<TBWMp3File*>(item));
    TBWContentWords words(ReadThreadsOf(ReadThreads), stopRequested_);
    words.SkipLoneSizes = SkipLoneSizes;
    words.SkipDistinctStarts = SkipDistinctStarts;
    uncomparedFiles_ += words.SetWords(files);
    DoSteps(pool_->Count());
}

void TBWDupeEngine::GroupByWords()
{
    SetStatus("Grouping files by words", pool_->Count());
    for (TBWComparable* item = pool_->First(); item; item = pool_->Next()) {
        index_->AddObject(item);
        DoStep();
    }
}

void TBWDupeEngine::LinkSimilarWords()
{
    const std::uint64_t words = static_cast<std::uint64_t>(index_->Count());
    SetStatus("Linking similar words", words < 2 ? 0 : words * (words - 1) / 2);
    index_->LinkSimilarWords([this](TBWGrpChString&, std::uint64_t pairs) { DoSteps(pairs); });
}

bool TBWDupeEngine::IsSimilar(const TBWFile& a, const TBWFile& b) const
{
    const TBWCompType type = profile_.CompType;
    const bool byField = type == ctFileNameFields || type == ctTagsWithAlbum || type == ctTags;
    const bool anyOrder = type == ctFileNameFields && profile_.NoFieldOrder;
    return a.SimilarAtLeast(b, byField, anyOrder, profile_.SimWord, Threshold());
}

void TBWDupeEngine::ComparePair(TBWFile* a, TBWFile* b)
{
    if (IsSimilar(*a, *b))
        results_->AddPair(a, b);
}

// Words of the index taken together so that their pairs can be scored on
// several threads. Each row is one file of a word against the later files of
// that word and the files of its similar words; rows are linked afterwards
// in their order, so the result list is the one a single thread makes.
class TMatchBatch {
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
    TMatchBatch(double threshold, const std::vector<TBWGrpItString*>& linked)
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

void TBWDupeEngine::MatchBatch(TMatchBatch& batch)
{
    batch.Score([this](const TBWFile& a, const TBWFile& b) {
        return !stopRequested_.load(std::memory_order_relaxed) && IsSimilar(a, b);
    }, MatchThreads);
    DoSteps(0);  // a stop during scoring ends the scan here, before any linking
    for (const TMatchBatch::TRow& row : batch.Rows())
        for (TBWFile* other : row.similar)
            results_->AddPair(row.file, other);
    DoSteps(batch.WordCount());
    batch.Clear();
}

struct TBWDupeEngine::TIndexedWords {
    std::vector<TBWGrpItString*> entries;  // by word number
    std::vector<std::uint32_t> filesOfWord;
    std::vector<TBWFile*> files;  // by pool place
    std::vector<std::vector<std::uint32_t>> words;
    std::vector<TBWPrefixFilter::TFields> fields;
    WordLinks laterSimilar;  // empty lists without similar words
};

bool TBWDupeEngine::InOrderByFields() const
{
    const TBWCompType type = profile_.CompType;
    return type == ctTagsWithAlbum || type == ctTags || (type == ctFileNameFields && !profile_.NoFieldOrder);
}

double TBWDupeEngine::Threshold() const
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
bool TBWDupeEngine::ExactPrefixesFindEveryPair() const
{
    const bool oneField = profile_.CompType == ctFileName || profile_.CompType == ctContent;
    const bool anyOrder = profile_.CompType == ctFileNameFields && profile_.NoFieldOrder;
    return !WithSimilarWords() && !anyOrder && (profile_.MinPerc > 0 || oneField);
}

bool TBWDupeEngine::WithSimilarWords() const
{
    return profile_.SimWord > 0 && profile_.CompType != ctContent;
}

// The words each pool file was indexed under, by their number in word
// order: all of them distinct and ascending, and (unless fields go in
// order) by field once per occurrence, ascending; the files in pool order.
// Compared in any field order, each field counts on its own.
void TBWDupeEngine::IndexedWords(TIndexedWords& indexed)
{
    std::unordered_map<const TBWGrpItString*, std::uint32_t> numberOf;
    for (TBWComparable* item = index_->First(); item; item = index_->Next()) {
        auto* entry = static_cast<TBWGrpItString*>(item);
        numberOf.emplace(entry, static_cast<std::uint32_t>(indexed.filesOfWord.size()));
        indexed.filesOfWord.push_back(static_cast<std::uint32_t>(entry->ObjectList().size()));
        indexed.entries.push_back(entry);
    }
    for (TBWComparable* item = pool_->First(); item; item = pool_->Next())
        indexed.files.push_back(static_cast<TBWFile*>(item));
    const bool byEachField = profile_.CompType == ctFileNameFields && profile_.NoFieldOrder;
    // Fields in order are found by the field probes, which read the words
    // themselves.
    const bool keepFields = !InOrderByFields();
    indexed.fields.resize(keepFields ? indexed.files.size() : 0);
    indexed.words.resize(indexed.files.size());
    // The index and the numbers are only read here.
    ForEachIndexOnThreads(indexed.files.size(), MatchThreads, [&](std::size_t place) {
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
void TBWDupeEngine::ReleaseIndex(TIndexedWords& indexed)
{
    std::vector<TBWGrpItString*>().swap(indexed.entries);
    index_.reset();
}

// Scores the pairs that the candidates of each file give, a round of files
// at a time on every processor; judge(a, b, found) keeps what it finds.
template <class Candidates, class Judge, class Found>
void TBWDupeEngine::ScoreCandidates(const TIndexedWords& indexed, const Candidates& candidates, const Judge& judge,
                                    std::vector<std::vector<Found>>& found)
{
    const std::size_t count = indexed.files.size();
    found.assign(count, {});
    // A round's threads are new, and each sets up its scratch space of a
    // few bytes per file: rounds are large, yet short enough to show progress.
    constexpr std::size_t kRound = 1 << 16;
    // The steps are the words, handed out in proportion to the files scored
    // by every thread. Only this thread reports them, while it scores too,
    // so the job bar moves during a round rather than at its end.
    const std::thread::id reporter = std::this_thread::get_id();
    std::atomic<std::size_t> scored{0};
    std::uint64_t stepsDone = 0;
    const auto reportScored = [&] {
        const std::uint64_t stepsDue = indexed.filesOfWord.size() * scored.load(std::memory_order_relaxed) / count;
        unreportedSteps_ += stepsDue - stepsDone;
        stepsDone = stepsDue;
        if (unreportedSteps_ >= kStepBatch)
            FlushSteps();
    };
    for (std::size_t from = 0; from < count; from += kRound) {
        const std::size_t to = std::min(count, from + kRound);
        ForEachIndexOnThreads(to - from, MatchThreads, [&](std::size_t i) {
            const auto a = static_cast<std::uint32_t>(from + i);
            if (stopRequested_.load(std::memory_order_relaxed))
                return;
            candidates(a, [&](std::uint32_t b) { judge(a, b, found[a]); });
            scored.fetch_add(1, std::memory_order_relaxed);
            if (std::this_thread::get_id() == reporter)
                reportScored();
        });
        reportScored();
        DoSteps(0);
    }
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
TBWWordClasses TBWDupeEngine::ClassesOf(const TIndexedWords& indexed) const
{
    std::vector<bool> hasWords(indexed.files.size());
    for (std::size_t place = 0; place < hasWords.size(); ++place)
        hasWords[place] = !indexed.words[place].empty();
    return TBWWordClasses(indexed.files, hasWords, MatchThreads);
}

// Links the pairs of classes found, and the files of each class that are
// alike among themselves, in the walk's order.
void TBWDupeEngine::LinkClassPairs(const TIndexedWords& indexed, const TBWWordClasses& classes,
                                   const std::vector<std::vector<std::uint32_t>>& filesOf,
                                   std::vector<TBWClassLinks::TPair> pairs)
{
    const std::vector<TBWFile*>& files = indexed.files;
    for (std::uint32_t leader = 0; leader < files.size(); ++leader)
        if (const std::span<const std::uint32_t> members = classes.MembersOf(leader);
            classes.Leads(leader) && members.size() > 1 && IsSimilar(*files[members[0]], *files[members[1]]))
            pairs.push_back({leader, leader, true, true});
    const TBWWalkOrder walk(indexed.words, filesOf, indexed.laterSimilar);
    TBWClassLinks(classes, walk, indexed.words, MatchThreads).Link(std::move(pairs), files, *results_);
}

// Scores only the pairs that can reach the minimum relevance, and links
// those found similar in the order of the walk over every word. With exact
// words, the walk meets a pair first under the first word they share, the
// earlier file of the pool scored against the later one. Of a class of
// files with identical words only the leader is scored: its pairs stand
// for those of every member, and the members are alike to each other.
void TBWDupeEngine::MatchByPrefixes()
{
    TIndexedWords indexed;
    IndexedWords(indexed);
    ReleaseIndex(indexed);
    const TBWWordClasses classes = ClassesOf(indexed);
    std::vector<TBWFieldPrefixSignature> signatures;
    std::optional<TBWFieldProbes> inOrder;
    std::optional<TBWPrefixFilter> filter;
    if (InOrderByFields()) {
        signatures.resize(indexed.files.size());
        ForEachIndexOnThreads(indexed.files.size(), MatchThreads, [&](std::size_t place) {
            signatures[place] = TBWFieldPrefixSignature(*indexed.files[place], Threshold());
        }, kLightWork);
        inOrder.emplace(indexed.files, 0, Threshold(), [this] { DoSteps(0); }, MatchThreads);
    } else {
        filter.emplace(indexed.fields, indexed.filesOfWord, Threshold());
    }
    std::vector<TBWPrefixFilter::TFields>().swap(indexed.fields);
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
        found);
    LinkClassPairs(indexed, classes, FilesOfWords(indexed.words, indexed.filesOfWord.size()),
                   ClassPairsOf(found, false));
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
        const WordLinks& similarOf;
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
void TBWDupeEngine::MatchByClassPairs()
{
    TIndexedWords indexed;
    IndexedWords(indexed);
    ReleaseIndex(indexed);
    const std::vector<TBWFile*>& files = indexed.files;
    const std::vector<std::vector<std::uint32_t>> filesOf = FilesOfWords(indexed.words, indexed.filesOfWord.size());
    const TBWWalkOrder walk(indexed.words, filesOf, indexed.laterSimilar);
    const TBWWordClasses classes = ClassesOf(indexed);
    const WordLinks similarOf = indexed.laterSimilar.Mirrored();
    const TLaterClasses::TSetting setting{
        Threshold(), InOrderByFields(), WithSimilarWords() ? profile_.SimWord : 0,
        files, indexed.words, indexed.fields, filesOf, indexed.filesOfWord, similarOf};
    const TLaterClasses later(setting, classes, [this] { DoSteps(0); }, MatchThreads);
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
        found);
    LinkClassPairs(indexed, classes, filesOf, ClassPairsOf(found, later.FindsBothWays()));
}

// Scores the classes of two leaders, first before second, each way round
// the walk meets some of their files; none when neither way is similar
// enough.
std::optional<TBWClassLinks::TPair> TBWDupeEngine::ScoreClassPair(std::uint32_t first, std::uint32_t second,
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

void TBWDupeEngine::MatchGroups()
{
    SetStatus("Matching groups", index_->Count());
    if (FilterCandidates) {
        if (ExactPrefixesFindEveryPair())
            MatchByPrefixes();
        else
            MatchByClassPairs();
        LoadInfoOfLinkedFiles();
        results_->ResolveReferences();
        return;
    }
    TMatchBatch batch(DropHopelessPairs && InOrderByFields() && profile_.SimWord <= 0 ? Threshold() : 0.0,
                      index_->LinkedEntries());
    for (TBWComparable* item = index_->First(); item; item = index_->Next()) {
        batch.AddWord(*static_cast<TBWGrpItString*>(item));
        if (batch.Full())
            MatchBatch(batch);
    }
    MatchBatch(batch);
    LoadInfoOfLinkedFiles();
    results_->ResolveReferences();
}

void TBWDupeEngine::LoadInfoOfLinkedFiles()
{
    // Choosing the files that remain compares sizes, durations and bitrates,
    // read from each file: read them for all linked files at once, on every
    // processor. Each file is read by one thread; its change notices only
    // climb its owners, which do nothing with them.
    std::vector<TBWFile*> files;
    for (TBWComparable* item = results_->First(); item; item = results_->Next())
        files.push_back(static_cast<TBWDupeFile*>(item)->File());
    ForEachIndexOnThreads(files.size(), MatchThreads, [&](std::size_t i) {
        const TBWStopScope stopReads(stopRequested_);
        try {
            if (!stopRequested_.load(std::memory_order_relaxed))
                files[i]->EnsureInfo(ikBasic);
        } catch (const TBWStopped&) {
            // The worker leaves below, once every helper is done.
        }
    });
    DoSteps(0);
}

void TBWDupeEngine::KeepNegativeResults()
{
    SetStatus("Processing negative results", 0);
    // Files matched by a file of a reference directory are not new.
    std::unordered_set<const TBWComparable*> matched;
    for (TBWComparable* item = results_->First(); item; item = results_->Next()) {
        auto* entry = static_cast<TBWDupeFile*>(item);
        if (entry->State() == dsDuplicate && entry->Reference() &&
            entry->Reference()->DirType() == dtReference)
            matched.insert(entry->File());
    }
    std::vector<TBWFile*> singles;
    for (TBWComparable* item = pool_->First(); item; item = pool_->Next()) {
        auto* file = static_cast<TBWFile*>(item);
        if (RoleOf(*file) != dtReference && !matched.contains(file))
            singles.push_back(file);
    }
    results_->Clear();
    results_->SetSingleMode(true);
    for (TBWFile* file : singles)
        results_->AddPair(file, nullptr);
    results_->ResolveReferences();
}

void TBWDupeEngine::SetStatus(const std::string& caption, std::uint64_t count)
{
    FlushSteps();
    progress_.BeginJob(caption, count);
    if (OnStatus)
        OnStatus(*this);
}

void TBWDupeEngine::DoSteps(std::uint64_t items)
{
    if (stopRequested_.load(std::memory_order_relaxed))
        throw TBWStopped();
    unreportedSteps_ += items;
    if (unreportedSteps_ >= kStepBatch)
        FlushSteps();
}

void TBWDupeEngine::FlushSteps()
{
    if (unreportedSteps_ == 0)
        return;
    progress_.Advance(unreportedSteps_);
    if (OnStep)
        OnStep(*this, unreportedSteps_);
    unreportedSteps_ = 0;
}
