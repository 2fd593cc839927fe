// Figures of the Mp3 Lists at the size of a large catalogue: a list of
// 100,000 audio entries in 5,000 folders (10 discs of 500 albums of 20
// tracks, 50 artists) written to its file, and read back, every folder and
// entry, as a scan reads it.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/u_bwchain.h"
#include "model/u_bwfsmp3.h"
#include "model/u_bwfsmpl.h"

namespace {

constexpr int kDiscs = 10;
constexpr int kAlbumsPerDisc = 500;
constexpr int kTracksPerAlbum = 20;
constexpr int kArtists = 50;
constexpr int kFiles = kDiscs * kAlbumsPerDisc * kTracksPerAlbum;

std::string Numbered(const char* format, int number)
{
    char text[64];
    std::snprintf(text, sizeof text, format, number);
    return text;
}

// A list folder in the temporary folder, removed at the end.
class TBenchFolder {
public:
    TBenchFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvella-bench-XXXXXX").string();
        folder_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TBenchFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    const std::string& Path() const { return folder_; }

private:
    std::string folder_;
};

void FillAlbum(TBWDirectory& album, int artist, int albumNumber)
{
    TBWInfoKinds all;
    all.set(ikBasic).set(ikDigest).set(ikTags);
    for (int track = 0; track < kTracksPerAlbum; ++track) {
        const std::string title = Numbered("Song Title %02d", track);
        auto* file = static_cast<TBWMp3File*>(album.Files()->AddFileTouch(Numbered("%02d ", track) + title + ".mp3"));
        file->SetLoadedInfo(all);
        file->SetSize(4000 + track);
        file->SetDuration(200 + track);
        file->SetBitrate(192);
        file->SetTitle(title);
        file->SetArtist(Numbered("Artist %02d", artist));
        file->SetAlbum(Numbered("Album %03d", albumNumber));
        file->SetGenre("Rock");
        TBWDigest digest{};
        digest[0] = static_cast<std::uint8_t>(track);
        digest[1] = static_cast<std::uint8_t>(albumNumber);
        file->SetDigest(digest);
    }
}

TBWDirMpl* MakeCatalogue(TMplManager& manager)
{
    TBWDirMpl* list = manager.NewList("Catalogue", false);
    for (int disc = 0; disc < kDiscs; ++disc) {
        TBWDirectory* volume = list->AddSubDirTouch(Numbered("CD%02d", disc));
        for (int album = 0; album < kAlbumsPerDisc; ++album)
            FillAlbum(*volume->AddSubDirTouch(Numbered("Album %03d", album)), album % kArtists, album);
    }
    return list;
}

void BM_WriteList(benchmark::State& state)
{
    TBenchFolder folder;
    TMplManager manager;
    manager.SetFolder(folder.Path());
    TBWDirMpl* list = MakeCatalogue(manager);
    for (auto _ : state) {
        list->SetState(msModified);
        if (!list->Save())
            state.SkipWithError("the list was not saved");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
    state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(list->FileName())) / 1e6;
}
BENCHMARK(BM_WriteList)->Unit(benchmark::kMillisecond);

void BM_ReadListBack(benchmark::State& state)
{
    TBenchFolder folder;
    TMplManager manager;
    manager.SetFolder(folder.Path());
    MakeCatalogue(manager)->Save();
    for (auto _ : state) {
        manager.Reload();
        TBWChain pool;
        manager.FindList("Catalogue")->CollectFiles(&pool, false);
        if (pool.Count() != kFiles)
            state.SkipWithError("not every entry was read");
        // Freeing the lists read is not part of the figure.
        state.PauseTiming();
        manager.FreeRetiredLists();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(BM_ReadListBack)->Unit(benchmark::kMillisecond);

}  // namespace
