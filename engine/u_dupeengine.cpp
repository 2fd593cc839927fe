#include "engine/u_dupeengine.h"

#include "engine/u_contentwords.h"
#include "engine/u_readahead.h"
#include "engine/u_workthreads.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <unordered_set>

#include "base/u_bwfunc.h"
#include "base/u_bwstop.h"
#include "model/u_bwfs.h"
#include "model/u_bwfolderlisting.h"
#include "model/u_bwfsmp3.h"
#include "tags/u_musichandler.h"

namespace {

// Steps are handed on in batches: a report per word pair would cost more
// than the pair. A few steps can take long (a word of the matching may cost
// thousands of pairs), so they are handed on at least this often too, the
// pace at which the window takes them.
constexpr std::uint64_t kStepBatch = 4096;
constexpr std::chrono::milliseconds kStepInterval{50};

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
    return TagLine(file, ComparesAlbumToo(compType));
}

// The words of a file compared by tags. Every "." becomes a blank, since the
// words are split like a file name and a dot would start an extension.
std::string WordsTagText(TBWMp3File& file, TBWCompType compType)
{
    std::string text = TagLine(file, ComparesAlbumToo(compType) && !file.Album().empty());
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
    worker_.reset();
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
    worker_.emplace(1);
    worker_->Post([this] { Execute(); });
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

std::vector<TBWDupeEngine::TJob> TBWDupeEngine::JobsOf(const TBWCVProfile& profile)
{
    if (profile.ResultType > rsNegative)
        return {TJob::AddFiles, TJob::AnalyseBanlist};
    std::vector<TJob> jobs{TJob::AddFiles};
    if (ComparesByContent(profile.CompType))
        jobs.push_back(TJob::ReadFileInfo);
    jobs.push_back(TJob::GroupByWords);
    if (ComparesSimilarWords(profile.CompType, profile.SimWord))
        jobs.push_back(TJob::LinkSimilarWords);
    jobs.push_back(TJob::MatchGroups);
    if (profile.ResultType == rsNegative)
        jobs.push_back(TJob::NegativeResults);
    return jobs;
}

void TBWDupeEngine::Run()
{
    Prepare();
    for (const TJob job : JobsOf(profile_))
        RunJob(job);
}

void TBWDupeEngine::RunJob(TJob job)
{
    switch (job) {
    case TJob::AddFiles:
        SetStatus("Adding files to the scan list", 0);
        FillPool();
        // A banlist looks at every file as it is; a comparison only at files with words.
        if (profile_.ResultType <= rsNegative)
            PrunePool();
        return;
    case TJob::AnalyseBanlist: return AnalyseBanlist();
    case TJob::ReadFileInfo: return ReadContentWords();
    case TJob::GroupByWords: return GroupByWords();
    case TJob::LinkSimilarWords: return LinkSimilarWords();
    case TJob::MatchGroups: return MatchGroups();
    case TJob::NegativeResults: return KeepNegativeResults();
    }
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
    index_->Field = ComparesFieldsInOrder(profile_.CompType, profile_.NoFieldOrder) ? 0 : -1;
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
            ReadThreadsOf(Tuning.ReadThreads),
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
        if (Tuning.ListingThreads != 1 && dynamic_cast<TBWDirWin*>(directory)) {
            const auto* files = dynamic_cast<const TBWFileListWin*>(directory->Files());
            listing.emplace(directory->RealPath(), Tuning.ListingThreads, files ? files->Mask() : std::string());
        }
        CollectOnce(*directory, listing ? &*listing : nullptr, seen, met);
    }
    if (ahead)
        ahead->TakeAll(store);
}

// Comparing by tags needs the tags. A scan by content reads the sizes of
// the files that may meet another as it gives them their words, but one for
// files without a match lists them all with their sizes.
std::optional<std::int32_t> TBWDupeEngine::InfoReadAhead() const
{
    if (ComparesByTags(profile_.CompType))
        return ikTags;
    if (ComparesByContent(profile_.CompType) && profile_.ResultType == rsNegative)
        return ikBasic;
    return std::nullopt;
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
void TBWDupeEngine::CollectOnce(TBWDirectory& directory, TBWListingAhead* ahead, TFolderIdentities& seen,
                                const TMetFile& met)
{
    DoSteps(0);  // a stop is answered between folders too: a walk can be long
    directory.LoadForWalk(ahead);
    if (const auto identity = IdentityOf(directory); identity && !seen.insert(*identity).second)
        return;
    TBWFileList* files = directory.Files();
    for (TBWFile* file = files->FirstFile(); file; file = files->NextFile()) {
        pool_->Add(file);
        met(*file);
    }
    for (std::int32_t i = 0; i < directory.DirCount(); ++i)
        CollectOnce(*directory.DirAt(i), ahead, seen, met);
}

bool TBWDupeEngine::IsExcluded(const std::string& text) const
{
    if (exclusions_.empty())
        return false;
    return std::any_of(exclusions_.begin(), exclusions_.end(),
                       [&](const TBWMask& mask) { return mask.IsValid() && mask.Matches(text); });
}

void TBWDupeEngine::AnalyseBanlist()
{
    SetStatus("Analysing banlist", pool_->Count());
    results_->SetSingleMode(true);
    const bool byTags = ComparesByTags(profile_.CompType);
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
    if (ComparesByTags(profile_.CompType)) {
        if (file.Title().empty() || file.Artist().empty())
            return false;
        file.SetText(WordsTagText(file, profile_.CompType));
    }
    // A comparison by content gives every file the word of its content: the
    // words of its name take no part, however few or short they are.
    if (!ComparesByContent(profile_.CompType)) {
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

// The roles of the files' folders worked out, so that threads only look
// them up.
void TBWDupeEngine::KnowRolesOf(const std::vector<TBWMp3File*>& files)
{
    const TBWDirectory* known = nullptr;
    for (const TBWMp3File* file : files)
        if (file->Directory() != known) {
            known = file->Directory();
            RoleOf(*file);
        }
}

void TBWDupeEngine::PrunePool()
{
    std::vector<TBWMp3File*> files;
    for (TBWComparable* item = pool_->First(); item; item = pool_->Next())
        files.push_back(static_cast<TBWMp3File*>(item));
    // Each file's words are prepared on their own, on every processor for
    // many names; tags may still be read, and are read by this thread.
    KnowRolesOf(files);
    const unsigned threads = ComparesByTags(profile_.CompType) ? 1 : Tuning.ThreadsForFiles(files.size());
    std::vector<std::uint8_t> keep(files.size());
    ForEachIndexOnThreads(files.size(), threads, [&](std::size_t at) {
        if (!StopRequested())
            keep[at] = PrepareWords(*files[at]);
    }, kLightWork);
    DoSteps(files.size());
    std::size_t at = 0;
    for (TBWComparable* item = pool_->First(); item; ++at) {
        if (keep[at]) {
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
    TBWContentWords words(ReadThreadsOf(Tuning.ReadThreads), stopRequested_);
    words.SkipLoneSizes = Tuning.SkipLoneSizes;
    words.SkipDistinctStarts = Tuning.SkipDistinctStarts;
    uncomparedFiles_ = words.SetWords(files);
    DoSteps(pool_->Count());
}

void TBWDupeEngine::GroupByWords()
{
    SetStatus("Grouping files by words", pool_->Count());
    // Some files at a time, so that the job bar moves and a stop is
    // answered between them.
    constexpr std::size_t kFilesAtOnce = 1 << 18;
    const unsigned threads = Tuning.ThreadsForFiles(static_cast<std::size_t>(pool_->Count()));
    std::vector<TBWWordedComparable*> files;
    const auto fileThem = [&] {
        index_->AddWords(files, threads);
        DoSteps(files.size());
        files.clear();
    };
    for (TBWComparable* item = pool_->First(); item; item = pool_->Next()) {
        files.push_back(static_cast<TBWFile*>(item));
        if (files.size() == kFilesAtOnce)
            fileThem();
    }
    fileThem();
}

void TBWDupeEngine::LinkSimilarWords()
{
    const std::uint64_t words = static_cast<std::uint64_t>(index_->Count());
    SetStatus("Linking similar words", words < 2 ? 0 : words * (words - 1) / 2);
    index_->LinkSimilarWords([this](TBWGrpChString&, std::uint64_t pairs) { DoSteps(pairs); });
}

void TBWDupeEngine::ComparePair(TBWFile* a, TBWFile* b)
{
    if (IsSimilarEnough(*a, *b, profile_))
        results_->AddPair(a, b);
}

void TBWDupeEngine::MatchGroups()
{
    SetStatus("Matching groups", index_->Count());
    TBWDupeMatch(profile_, Tuning, *this, std::move(index_), *pool_, *results_).Group();
}

void TBWDupeEngine::LoadInfo(const std::vector<TBWFile*>& files)
{
    // Choosing the files that remain compares sizes, durations and bitrates,
    // read from each file: read them for many files at once, on every
    // processor. Each file is read by one thread; its change notices only
    // climb its owners, which do nothing with them. A few are read at once
    // sooner than threads start.
    ForEachIndexOnThreads(files.size(), files.size() < 16 ? 1 : Tuning.MatchThreads,
                          [&](std::size_t i) { ReadInfo(*files[i]); });
    DoSteps(0);
}

void TBWDupeEngine::ReadInfo(TBWFile& file)
{
    const TBWStopScope stopReads(stopRequested_);
    try {
        if (!stopRequested_.load(std::memory_order_relaxed))
            file.EnsureInfo(ikBasic);
    } catch (const TBWStopped&) {
        // The worker leaves at its next step, once every helper is done.
    }
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
    {
        const std::lock_guard lock(captionMutex_);
        stepCaption_ = caption;
    }
    stepCount_.store(count, std::memory_order_relaxed);
    if (Progress)
        Progress->StartJob(caption, count);
}

std::string TBWDupeEngine::StepCaption() const
{
    const std::lock_guard lock(captionMutex_);
    return stepCaption_;
}

void TBWDupeEngine::DoSteps(std::uint64_t items)
{
    if (StopRequested())
        throw TBWStopped();
    CountSteps(items);
}

void TBWDupeEngine::CountSteps(std::uint64_t items)
{
    unreportedSteps_ += items;
    if (unreportedSteps_ >= kStepBatch ||
        (unreportedSteps_ > 0 && std::chrono::steady_clock::now() - lastFlush_ >= kStepInterval))
        FlushSteps();
}

void TBWDupeEngine::FlushSteps()
{
    if (unreportedSteps_ == 0)
        return;
    if (Progress)
        Progress->Step(unreportedSteps_);
    unreportedSteps_ = 0;
    lastFlush_ = std::chrono::steady_clock::now();
}
