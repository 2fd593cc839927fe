// Figures of the result list at the size of a large collection: 100,000
// entries in 20,000 groups of five files spread over 1,000 folders. Linking
// every pair of each group, choosing the references, sorting by a column,
// and writing and reading the result file must all stay near linear.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "model/u_bwfs.h"

namespace {

constexpr int kGroups = 20000;
constexpr int kGroupSize = 5;
constexpr int kFiles = kGroups * kGroupSize;
constexpr int kFolders = 1000;

// An audio entry whose bitrate and duration come from its number.
class TBenchAudioFile : public TBWFile {
    BW_CLASS(TBenchAudioFile)
public:
    using TBWFile::TBWFile;
    std::int64_t KeyInt(TBWKey key) const override
    {
        if (key == 10)
            return 128 + 64 * (number % 4);
        if (key == 11)
            return 180 + number % 90;
        return TBWFile::KeyInt(key);
    }
    void LoadInfo(std::int32_t) override {}
    int number = 0;
};
BW_IMPLEMENT_CLASS(TBenchAudioFile, TBWFile)

class TBenchFileList : public TBWFileList {
    BW_CLASS(TBenchFileList)
public:
    explicit TBenchFileList(TBWObject* owner = nullptr) : TBWFileList(owner)
    {
        SetFileClass(TBenchAudioFile::StaticClass());
    }
    void Refresh() override { Touch(); }
};
BW_IMPLEMENT_CLASS(TBenchFileList, TBWFileList)

class TBenchDir : public TBWDirectory {
    BW_CLASS(TBenchDir)
public:
    explicit TBenchDir(TBWObject* owner = nullptr) : TBWDirectory(owner)
    {
        SetFileListClass(TBenchFileList::StaticClass());
    }
    void LoadSubDirs() override {}
};
BW_IMPLEMENT_CLASS(TBenchDir, TBWDirectory)

std::string Numbered(const char* format, int number)
{
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// The collection: file i lies in folder i % 1000; group g holds the files
// g, g + 20,000, g + 40,000 ... so every group spans five folders.
struct TBenchCollection {
    TBenchDir root;
    std::vector<TBWFile*> files;

    TBenchCollection()
    {
        TBWDirectory* music = root.AddSubDirTouch("/")->AddSubDirTouch("music");
        std::vector<TBWFileList*> folders;
        for (int i = 0; i < kFolders; ++i)
            folders.push_back(music->AddSubDirTouch(Numbered("Album %04d", i))->Files());
        for (int i = 0; i < kFiles; ++i) {
            const std::string name = Numbered("%06d Some Artist - A Song Title.mp3", i);
            auto* file = static_cast<TBenchAudioFile*>(folders[i % kFolders]->AddFileTouch(name));
            file->number = i;
            file->SetSize(3000 + (i * 7919) % 2000);
            files.push_back(file);
        }
    }

    void LinkGroups(TBWDupeFileList& list) const
    {
        for (int g = 0; g < kGroups; ++g)
            for (int a = 0; a < kGroupSize; ++a)
                for (int b = a + 1; b < kGroupSize; ++b)
                    list.AddPair(files[g + a * kGroups], files[g + b * kGroups]);
    }
};

TBenchCollection& Collection()
{
    static TBenchCollection collection;
    return collection;
}

void UseBenchProfile(TBWDupeFileList& list)
{
    CurrentProfile().SetPriorityList(TBWCVProfile::DefaultPriorityList);
    CurrentProfile().ExtPri = TBWCVProfile::DefaultExtPri;
    list.SetProfile(CurrentProfile());
}

class TBenchFolder {
public:
    TBenchFolder()
    {
        std::string name = (std::filesystem::temp_directory_path() / "corvella-bench-XXXXXX").string();
        if (::mkdtemp(name.data()))
            folder_ = name;
    }
    ~TBenchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string ResultFile() const { return folder_ + "/last_results.txt"; }

private:
    std::string folder_;
};

void BM_AddPairs(benchmark::State& state)
{
    const TBenchCollection& collection = Collection();
    for (auto _ : state) {
        auto list = std::make_unique<TBWDupeFileList>();
        UseBenchProfile(*list);
        collection.LinkGroups(*list);
        benchmark::DoNotOptimize(list->Count());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kGroups * kGroupSize * (kGroupSize - 1) / 2);
}
BENCHMARK(BM_AddPairs)->Unit(benchmark::kMillisecond);

// Includes the sort by name that ends it.
void BM_ResolveReferences(benchmark::State& state)
{
    const TBenchCollection& collection = Collection();
    for (auto _ : state) {
        state.PauseTiming();
        auto list = std::make_unique<TBWDupeFileList>();
        UseBenchProfile(*list);
        collection.LinkGroups(*list);
        state.ResumeTiming();
        list->ResolveReferences();
        benchmark::DoNotOptimize(list->DupeCount());
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ResolveReferences)->Unit(benchmark::kMillisecond);

// A click on a column header: the size column, then the name column again.
void BM_SortByColumn(benchmark::State& state)
{
    TBWDupeFileList list;
    UseBenchProfile(list);
    Collection().LinkGroups(list);
    list.ResolveReferences();
    for (auto _ : state) {
        list.SetActiveKeys(TBWDupeFileList::kSizeSet);
        list.SetActiveKeys(TBWDupeFileList::kNameSet);
    }
    state.SetItemsProcessed(state.iterations() * 2 * kFiles);
}
BENCHMARK(BM_SortByColumn)->Unit(benchmark::kMillisecond);

void BM_SaveToFile(benchmark::State& state)
{
    TBenchFolder folder;
    TBWDupeFileList list;
    UseBenchProfile(list);
    Collection().LinkGroups(list);
    list.ResolveReferences();
    for (auto _ : state)
        benchmark::DoNotOptimize(list.SaveToFile(folder.ResultFile()));
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_SaveToFile)->Unit(benchmark::kMillisecond);

// Reading finds every path in the model and chooses the references anew.
void BM_LoadFromFile(benchmark::State& state)
{
    TBenchFolder folder;
    TBenchCollection& collection = Collection();
    {
        TBWDupeFileList list;
        UseBenchProfile(list);
        collection.LinkGroups(list);
        list.ResolveReferences();
        list.SaveToFile(folder.ResultFile());
    }
    for (auto _ : state) {
        auto list = std::make_unique<TBWDupeFileList>();
        UseBenchProfile(*list);
        list->LoadFromFile(folder.ResultFile(), &collection.root);
        if (list->Count() != kFiles)
            state.SkipWithError("the result file did not read back whole");
        state.PauseTiming();
        list.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_LoadFromFile)->Unit(benchmark::kMillisecond);

}  // namespace
