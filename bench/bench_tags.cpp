// How fast the tag readers get through a music collection: tags, bitrate and
// duration of 10,000 real files of each format (copies of the test fixtures
// in a temporary folder), printed as files per second; MP3 through its
// reader directly, every format through the music handler.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "tags/MPEGaudio.h"
#include "tags/u_musichandler.h"

namespace {

constexpr int kFileCount = 10'000;

// The copies live as long as the program; the folder goes when it ends.
class TCopiedCollection {
public:
    explicit TCopiedCollection(const std::string& extension)
    {
        const std::filesystem::path fixtures =
            std::filesystem::path(__FILE__).parent_path().parent_path() / "tests/fixtures/audio";
        std::vector<std::filesystem::path> originals;
        for (const auto& entry : std::filesystem::directory_iterator(fixtures)) {
            if (entry.path().extension() == extension)
                originals.push_back(entry.path());
        }
        folder_ =
            std::filesystem::temp_directory_path() / ("corvella_bench_tags_" + std::to_string(::getpid()) + extension);
        std::filesystem::create_directories(folder_);
        for (int i = 0; i < kFileCount && !originals.empty(); ++i) {
            const std::filesystem::path& original = originals[static_cast<std::size_t>(i) % originals.size()];
            const std::filesystem::path copy =
                folder_ / (std::to_string(i) + "_" + original.filename().string());
            std::filesystem::copy_file(original, copy, std::filesystem::copy_options::overwrite_existing);
            files_.push_back(copy.string());
        }
    }
    ~TCopiedCollection() { std::filesystem::remove_all(folder_); }

    const std::vector<std::string>& Files() const { return files_; }

private:
    std::filesystem::path folder_;
    std::vector<std::string> files_;
};

// One collection per extension, made on first use and kept to the end.
const TCopiedCollection& Collection(const std::string& extension)
{
    static std::map<std::string, std::unique_ptr<TCopiedCollection>> collections;
    auto& collection = collections[extension];
    if (!collection)
        collection = std::make_unique<TCopiedCollection>(extension);
    return *collection;
}

void BM_ReadMp3Collection(benchmark::State& state)
{
    const TCopiedCollection& collection = Collection(".mp3");
    for (auto _ : state) {
        std::int64_t total = 0;
        for (const std::string& file : collection.Files()) {
            // What the music handler asks of every MP3 file.
            TMPEGaudio mpeg;
            mpeg.LoadFile(file);
            const bool v2 = mpeg.ID3v2().Exists();
            total += static_cast<std::int64_t>((v2 ? mpeg.ID3v2().Title() : mpeg.ID3v1().Title()).size());
            total += static_cast<std::int64_t>((v2 ? mpeg.ID3v2().Artist() : mpeg.ID3v1().Artist()).size());
            total += static_cast<std::int64_t>(mpeg.Duration()) + mpeg.BitRate() + mpeg.FileLength() / 1024;
        }
        benchmark::DoNotOptimize(total);
    }
    const auto files =
        static_cast<double>(state.iterations()) * static_cast<double>(collection.Files().size());
    state.counters["files_per_second"] = benchmark::Counter(files, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadMp3Collection)->Unit(benchmark::kMillisecond)->UseRealTime();

// What a file entry of the model asks of every audio file.
void BM_ReadThroughHandler(benchmark::State& state, const std::string& extension)
{
    const TCopiedCollection& collection = Collection(extension);
    for (auto _ : state) {
        std::int64_t total = 0;
        for (const std::string& file : collection.Files()) {
            const std::unique_ptr<TInfoFetcher> info = MusicHandler().CreateFetcher(file);
            total += static_cast<std::int64_t>(info->Title().size() + info->Artist().size() + info->Album().size() +
                                               info->Comment().size() + info->Genre().size());
            total += info->Duration() + info->Bitrate() + info->SizeKB();
        }
        benchmark::DoNotOptimize(total);
    }
    const auto files =
        static_cast<double>(state.iterations()) * static_cast<double>(collection.Files().size());
    state.counters["files_per_second"] = benchmark::Counter(files, benchmark::Counter::kIsRate);
}
BENCHMARK_CAPTURE(BM_ReadThroughHandler, mp3, std::string(".mp3"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadThroughHandler, wma, std::string(".wma"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadThroughHandler, ogg, std::string(".ogg"))->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_ReadThroughHandler, m4a, std::string(".m4a"))->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
