// Figures of the Mp3 List editor's "Add Volume": a folder of 5,000 audio
// files (copies of the test fixtures, 50 folders of 100) read as a volume of
// a new list, the list saved and read back whole, on 1, 2, 4 threads and one
// per processor. Every run must write the same bytes as the run on one
// thread; "same_bytes" says whether it did.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "base/platform/u_wholefile.h"
#include "base/u_bwchain.h"
#include "base/u_progresssink.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/mpleditor/u_mpleditorcommands.h"

namespace {

constexpr int kFolders = 50;
constexpr int kFilesPerFolder = 100;
constexpr int kFiles = kFolders * kFilesPerFolder;

// The disc and the list folder, in the temporary folder, removed at the end.
class TBenchDisc {
public:
    TBenchDisc()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "corvella-bench-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
        const std::filesystem::path fixtures =
            std::filesystem::path(__FILE__).parent_path().parent_path() / "tests/fixtures/audio";
        std::vector<std::filesystem::path> originals;
        for (const auto& entry : std::filesystem::directory_iterator(fixtures))
            if (entry.path().extension() != ".mp2")
                originals.push_back(entry.path());
        std::sort(originals.begin(), originals.end());
        for (int i = 0; i < kFiles; ++i) {
            const std::filesystem::path folder = Disc() + "/Album " + std::to_string(i / kFilesPerFolder);
            std::filesystem::create_directories(folder);
            const std::filesystem::path& original = originals[static_cast<std::size_t>(i) % originals.size()];
            std::filesystem::copy_file(original, folder / (std::to_string(i) + " " + original.filename().string()));
        }
        MplManager().SetFolder(root_ + "/lists");
        MplManager().Reload();
    }
    ~TBenchDisc()
    {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    std::string Disc() const { return root_ + "/disc"; }

private:
    std::string root_;
};

class TSilentProgress : public TProgressSink {
public:
    void StartJob(const std::string&, std::uint64_t) override {}
    void Step(std::uint64_t) override {}
};

void BM_AddVolumeSaveAndReload(benchmark::State& state)
{
    static TBenchDisc disc;
    static std::string oneThreadBytes;
    const auto threads = static_cast<unsigned>(state.range(0));
    TSilentProgress progress;
    std::string bytes;
    for (auto _ : state) {
        TBWDirMpl* list = MplManager().NewList("Bench", false);
        TBWDirectory* folder = FSDrive().FindDir(disc.Disc() + "/", true);
        if (!AddVolumeToMpl(list, folder, "Disc", progress, threads) || !MplManager().SaveAll())
            state.SkipWithError("the volume was not added or saved");
        TBWChain entries;
        MplManager().FindList("Bench")->CollectFiles(&entries, false);
        if (entries.Count() != kFiles)
            state.SkipWithError("not every file came back");
        state.PauseTiming();
        ReadWholeFile(MplManager().FindList("Bench")->FileName(), bytes);
        MplManager().DeleteList(MplManager().FindList("Bench"));
        MplManager().FreeRetiredLists();
        state.ResumeTiming();
    }
    if (threads == 1)
        oneThreadBytes = bytes;
    state.SetItemsProcessed(state.iterations() * kFiles);
    state.counters["same_bytes"] = oneThreadBytes.empty() ? -1 : static_cast<double>(bytes == oneThreadBytes);
}
BENCHMARK(BM_AddVolumeSaveAndReload)->Arg(1)->Arg(2)->Arg(4)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
