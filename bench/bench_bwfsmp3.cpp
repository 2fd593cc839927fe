// How fast the model takes in an audio collection on disk: 10,000 real MP3
// files (copies of the test fixtures) in 100 folders, listed from a fresh
// audio folder and asked for their tags, bitrate and duration, as a tag
// comparison asks; printed as files per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/u_bwchain.h"
#include "model/u_bwfsmp3.h"
#include "tags/u_musichandler.h"

namespace {

constexpr int kFolderCount = 100;
constexpr int kFilesPerFolder = 100;

// The copies live as long as the program; the folder goes when it ends.
class TCopiedCollection {
public:
    TCopiedCollection()
    {
        const std::filesystem::path fixtures =
            std::filesystem::path(__FILE__).parent_path().parent_path() / "tests/fixtures/audio";
        std::vector<std::filesystem::path> originals;
        for (const auto& entry : std::filesystem::directory_iterator(fixtures))
            if (entry.path().extension() == ".mp3")
                originals.push_back(entry.path());
        folder_ = std::filesystem::temp_directory_path() / ("corvella_bench_fsmp3_" + std::to_string(::getpid()));
        for (int folder = 0; folder < kFolderCount && !originals.empty(); ++folder) {
            const std::filesystem::path album = folder_ / ("Album " + std::to_string(folder));
            std::filesystem::create_directories(album);
            for (int track = 0; track < kFilesPerFolder; ++track) {
                const std::filesystem::path& original =
                    originals[static_cast<std::size_t>(folder + track) % originals.size()];
                const std::string name = std::to_string(track) + " " + original.filename().string();
                std::filesystem::copy_file(original, album / name);
            }
        }
    }
    ~TCopiedCollection() { std::filesystem::remove_all(folder_); }

    std::string Folder() const { return folder_.string(); }

private:
    std::filesystem::path folder_;
};

void BM_ListAndReadAudioFolder(benchmark::State& state)
{
    static const TCopiedCollection collection;
    MusicHandler().SetMask("");
    std::int64_t fileCount = 0;
    for (auto _ : state) {
        TBWDirMp3 root;
        root.SetName(collection.Folder());
        TBWChain files;
        root.CollectFiles(&files, false);
        std::int64_t total = 0;
        for (TBWChainNode* node = files.Head(); node; node = node->Next()) {
            auto* file = static_cast<TBWMp3File*>(node->Item());
            total += static_cast<std::int64_t>(file->Title().size() + file->Artist().size() + file->Album().size());
            total += file->Bitrate() + file->Duration() + file->Size();
        }
        benchmark::DoNotOptimize(total);
        fileCount += files.Count();
    }
    state.counters["files_per_second"] =
        benchmark::Counter(static_cast<double>(fileCount), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ListAndReadAudioFolder)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
