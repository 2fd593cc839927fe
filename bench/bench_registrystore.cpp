// Figures of the settings store at start-up: loading a store of many keys
// from its file, as the program does before it reads the conversion marker.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/platform/u_registrystore.h"

namespace {

std::string StoreFile(int keys)
{
    const std::string fileName =
        (std::filesystem::temp_directory_path() / ("bench_registry_" + std::to_string(keys) + ".txt")).string();
    TRegistryStore store(fileName);
    for (int i = 0; i < keys; ++i)
        store.WriteValue("Software\\Brindlewick\\Corvella\\profiles\\P" + std::to_string(i),
                         RegistryDword("MinPerc", i));
    store.Save();
    return fileName;
}

void BM_LoadStore(benchmark::State& state)
{
    const std::string fileName = StoreFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TRegistryStore store(fileName);
        benchmark::DoNotOptimize(store.Load());
    }
    std::remove(fileName.c_str());
}
BENCHMARK(BM_LoadStore)->Arg(1000)->Arg(40000)->Unit(benchmark::kMillisecond);

}  // namespace
