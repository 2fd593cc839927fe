// Cost of the word matcher on realistic file names: splitting a name into
// words, then scoring two names by field with and without a tolerance.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "base/u_bwbaseclass.h"

namespace {

std::vector<std::string> MakeFileNames(std::size_t count)
{
    static const char* artists[] = {"The Beatles", "Pink Floyd", "Led Zeppelin", "Queen",
                                    "Fleetwood Mac", "Simon & Garfunkel", "AC_DC", "Nirvana"};
    static const char* words[] = {"love", "night", "dancing", "heart", "yesterday", "dream",
                                  "river", "wish", "you", "were", "here", "stairway", "heaven",
                                  "bohemian", "rhapsody", "live", "remastered", "remix"};
    std::mt19937 random(42);
    std::vector<std::string> names;
    for (std::size_t i = 0; i < count; ++i) {
        std::string name = std::to_string(1 + random() % 20) + " - " + artists[random() % 8] + " - ";
        for (int w = 2 + random() % 4; w > 0; --w)
            name += std::string(words[random() % 18]) + (w > 1 ? " " : "");
        names.push_back(name + (random() % 3 == 0 ? " (Live).mp3" : ".mp3"));
    }
    return names;
}

void SetTextOfAFileName(benchmark::State& state)
{
    const std::vector<std::string> names = MakeFileNames(1024);
    TBWWordedComparable item;
    std::size_t i = 0;
    for (auto _ : state) {
        item.SetText(names[i++ % names.size()]);
        benchmark::DoNotOptimize(item.WordCount());
    }
}
BENCHMARK(SetTextOfAFileName);

// The same names with every word in another script: accented Latin,
// Cyrillic, or Japanese (no blanks between its words).
void SetTextOfANameOfAnotherScript(benchmark::State& state)
{
    static const char* const scripts[][6] = {
        {"Mötley Crüe", "Björk", "Céline Dion", "Ärzte", "Sigur Rós", "Æther Øst"},
        {"Кино", "Звезда по имени Солнце", "Пачка сигарет", "Ночь", "Группа крови", "Алюминиевые огурцы"},
        {"宇多田ヒカル", "風の谷", "夜明け", "メリークリスマス", "光", "花"},
    };
    const auto& words = scripts[state.range(0)];
    std::mt19937 random(42);
    std::vector<std::string> names;
    for (int i = 0; i < 1024; ++i)
        names.push_back(std::to_string(1 + random() % 20) + " - " + words[random() % 6] + " - " + words[random() % 6] +
                        (random() % 3 == 0 ? " (Live).mp3" : ".mp3"));
    TBWWordedComparable item;
    std::size_t i = 0;
    for (auto _ : state) {
        item.SetText(names[i++ % names.size()]);
        benchmark::DoNotOptimize(item.WordCount());
    }
}
BENCHMARK(SetTextOfANameOfAnotherScript)->Arg(0)->Arg(1)->Arg(2)->ArgName("script");

void SimilarityByField(benchmark::State& state)
{
    const std::vector<std::string> names = MakeFileNames(1024);
    std::vector<TBWWordedComparable> items(names.size());
    for (std::size_t k = 0; k < names.size(); ++k)
        items[k].SetText(names[k]);
    const auto tolerance = static_cast<std::int32_t>(state.range(0));
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& a = items[i % items.size()];
        const auto& b = items[(i * 7 + 3) % items.size()];
        benchmark::DoNotOptimize(a.Similarity(&b, true, false, tolerance));
        ++i;
    }
}
BENCHMARK(SimilarityByField)->Arg(0)->Arg(1)->Arg(2)->ArgName("tolerance");

}  // namespace
