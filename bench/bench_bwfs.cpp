// Figures of the directory model at the size of a large collection: 100,000
// files in 5,000 folders collected from the root, as a scan fills its pool,
// and a single folder of many files loaded, which must stay linear.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

#include "base/u_bwchain.h"
#include "model/u_bwfs.h"

namespace {

constexpr int kArtists = 50;
constexpr int kAlbumsPerArtist = 100;
constexpr int kTracksPerAlbum = 20;

int PathDepth(const std::string& path)
{
    int depth = 0;
    for (char c : path)
        depth += c == '/';
    return depth;
}

std::string Numbered(const char* format, int number)
{
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// A generated tree: the root holds "/", which holds the artists, each
// holding its albums, each holding its tracks.
class TBenchDir : public TBWDirectory {
    BW_CLASS(TBenchDir)
public:
    explicit TBenchDir(TBWObject* owner = nullptr);
    void LoadSubDirs() override
    {
        switch (PathDepth(Path())) {
        case 0: AddSubDir("/"); break;
        case 1:
            for (int i = 0; i < kArtists; ++i)
                AddSubDir(Numbered("Artist %02d", i));
            break;
        case 2:
            for (int i = 0; i < kAlbumsPerArtist; ++i)
                AddSubDir(Numbered("Album %03d", i));
            break;
        default: break;
        }
    }
    // Set on a folder that stands alone with this many tracks.
    int tracks = kTracksPerAlbum;
};
BW_IMPLEMENT_CLASS(TBenchDir, TBWDirectory)

class TBenchFileList : public TBWFileList {
    BW_CLASS(TBenchFileList)
public:
    using TBWFileList::TBWFileList;
    void LoadFiles() override
    {
        auto* dir = static_cast<TBenchDir*>(Directory());
        if (dir->ParentDir() && PathDepth(dir->Path()) < 3)
            return;
        for (int i = 0; i < dir->tracks; ++i)
            AddFile(Numbered("%06d Some Artist - A Song Title.mp3", i));
    }
};
BW_IMPLEMENT_CLASS(TBenchFileList, TBWFileList)

TBenchDir::TBenchDir(TBWObject* owner) : TBWDirectory(owner)
{
    SetFileListClass(TBenchFileList::StaticClass());
}

void BM_CollectFilesFromAFreshTree(benchmark::State& state)
{
    for (auto _ : state) {
        auto root = std::make_unique<TBenchDir>();
        TBWChain pool;
        root->CollectFiles(&pool, false);
        benchmark::DoNotOptimize(pool.Count());
        // Freeing the tree is not part of the figure.
        state.PauseTiming();
        root.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kArtists * kAlbumsPerArtist * kTracksPerAlbum);
}
BENCHMARK(BM_CollectFilesFromAFreshTree)->Unit(benchmark::kMillisecond);

void BM_CollectFilesFromALoadedTree(benchmark::State& state)
{
    TBenchDir root;
    TBWChain warmUp;
    root.CollectFiles(&warmUp, false);
    for (auto _ : state) {
        TBWChain pool;
        root.CollectFiles(&pool, false);
        benchmark::DoNotOptimize(pool.Count());
    }
    state.SetItemsProcessed(state.iterations() * kArtists * kAlbumsPerArtist * kTracksPerAlbum);
}
BENCHMARK(BM_CollectFilesFromALoadedTree)->Unit(benchmark::kMillisecond);

// One folder of n files: every AddFile looks for the name first.
void BM_LoadOneLargeFolder(benchmark::State& state)
{
    for (auto _ : state) {
        TBenchDir folder;
        folder.SetName("/big/folder/of/files");
        folder.tracks = static_cast<int>(state.range(0));
        benchmark::DoNotOptimize(folder.Files()->Count());
    }
    state.SetComplexityN(state.range(0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadOneLargeFolder)->RangeMultiplier(4)->Range(2500, 160000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
