// How fast content digests come for a collection: the model's window of
// 10,000 files of 200 kB each, read while the files are in the page cache
// (they were just written), printed as digests per second.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "model/u_bwdigest.h"

namespace {

constexpr int kFileCount = 10'000;
constexpr std::size_t kFileSize = 200'000;

// The files live as long as the program; the folder goes when it ends.
class TDigestCollection {
public:
    TDigestCollection()
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("corvella_bench_digest_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        std::string bytes(kFileSize, '\0');
        for (int i = 0; i < kFileCount; ++i) {
            // Files that differ, as songs do.
            for (std::size_t at = 0; at < bytes.size(); at += 4096)
                bytes[at] = static_cast<char>(i + static_cast<int>(at));
            const std::string path = (folder_ / (std::to_string(i) + ".mp3")).string();
            std::ofstream(path, std::ios::binary) << bytes;
            files_.push_back(path);
        }
    }
    ~TDigestCollection() { std::filesystem::remove_all(folder_); }

    const std::vector<std::string>& Files() const { return files_; }

private:
    std::filesystem::path folder_;
    std::vector<std::string> files_;
};

void BM_DigestCollection(benchmark::State& state)
{
    static const TDigestCollection collection;
    for (auto _ : state) {
        unsigned checksum = 0;
        for (const std::string& file : collection.Files())
            checksum += DigestFileWindow(file, DigestOffset, DigestLength)[0];
        benchmark::DoNotOptimize(checksum);
    }
    const auto files =
        static_cast<double>(state.iterations()) * static_cast<double>(collection.Files().size());
    state.counters["digests_per_second"] = benchmark::Counter(files, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DigestCollection)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
