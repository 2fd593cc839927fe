#include "engine/u_dupeengine.h"

#include <algorithm>
#include <unordered_set>

#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"
#include "model/u_bwfs.h"
#include "model/u_bwfsmp3.h"
#include "tags/u_musichandler.h"

namespace {

// Steps are handed on in batches: a report per word pair would cost more
// than the pair.
constexpr std::uint64_t kStepBatch = 4096;

// The digest of a file whose window could not be read: two such files are
// not alike just because their sizes round to the same kilobytes.
constexpr const char* kEmptyDigest = "d41d8cd98f00b204e9800998ecf8427e";

std::string TagText(TBWMp3File& file, TBWCompType compType)
{
    std::string text = file.Title() + " - " + file.Artist();
    if (compType == ctTagsWithAlbum && !file.Album().empty())
        text += " - " + file.Album();
    std::replace(text.begin(), text.end(), '.', ' ');
    return text;
}

std::string NameWithExtension(const TBWFile& file)
{
    return file.Name();
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
        Run();
        FlushSteps();
    } catch (const TStopped&) {
        stopped_ = true;
    } catch (const std::exception& error) {
        error_ = error.what();
    } catch (...) {
        error_ = "The scan failed.";
    }
    finished_.store(true, std::memory_order_release);
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
    for (const std::string& path : directories_)
        if (TBWDirectory* directory = root_.FindDir(AddTrailingBackslash(path), true))
            directory->CollectFiles(pool_.get(), false);
}

bool TBWDupeEngine::IsExcluded(const std::string& text) const
{
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
        if ((byTags && IsExcluded(TagText(*file, profile_.CompType))) ||
            IsExcluded(NameWithExtension(*file)))
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
        file.SetText(TagText(file, profile_.CompType));
    }
    file.DropShortWords(profile_.MinWordLength);
    return file.WordCount() >= profile_.MinWordCount && !IsExcluded(NameWithExtension(file)) &&
           profile_.GetDirPriority(file.DirPath()) != dtExcluded;
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

void TBWDupeEngine::ReadContentWords()
{
    SetStatus("Read necessary file info", pool_->Count());
    TBWComparable* item = pool_->First();
    while (item) {
        auto* file = static_cast<TBWMp3File*>(item);
        const std::string digest = file->DigestHex();
        DoStep();
        if (digest == kEmptyDigest) {
            pool_->DeleteCurrent();
            item = pool_->GetCurrent();
            continue;
        }
        file->SetText(digest + std::to_string(file->Size()));
        item = pool_->Next();
    }
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

void TBWDupeEngine::ComparePair(TBWFile* a, TBWFile* b)
{
    const TBWCompType type = profile_.CompType;
    const bool byField = type == ctFileNameFields || type == ctTagsWithAlbum || type == ctTags;
    const bool anyOrder = type == ctFileNameFields && profile_.NoFieldOrder;
    if (a->Similarity(b, byField, anyOrder, profile_.SimWord) >= profile_.MinPerc / 100.0)
        results_->AddPair(a, b);
}

void TBWDupeEngine::MatchGroups()
{
    SetStatus("Matching groups", index_->Count());
    std::vector<TBWFile*> files, similar;
    for (TBWComparable* item = index_->First(); item; item = index_->Next()) {
        auto* word = static_cast<TBWGrpItString*>(item);
        files.clear();
        TBWChain* objects = word->Objects();
        for (TBWComparable* f = objects->First(); f; f = objects->Next())
            files.push_back(static_cast<TBWFile*>(f));
        similar.clear();
        TBWChain* similarWords = word->SimilarWords();
        for (TBWComparable* s = similarWords->First(); s; s = similarWords->Next()) {
            TBWChain* others = static_cast<TBWGrpItString*>(s)->Objects();
            for (TBWComparable* g = others->First(); g; g = others->Next())
                similar.push_back(static_cast<TBWFile*>(g));
        }
        for (std::size_t i = 0; i < files.size(); ++i) {
            for (std::size_t j = i + 1; j < files.size(); ++j)
                ComparePair(files[i], files[j]);
            for (TBWFile* other : similar)
                ComparePair(files[i], other);
        }
        DoStep();
    }
    results_->ResolveReferences();
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
        if (profile_.GetDirPriority(file->DirPath()) != dtReference && !matched.contains(file))
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
        throw TStopped();
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
