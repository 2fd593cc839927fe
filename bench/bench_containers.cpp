// Figures of the containers at the sizes the program meets: a file list of
// 200,000 entries and a word index fed 100,000 words.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/u_bwchain.h"
#include "base/u_bwselchain.h"
#include "base/u_bwstrlist.h"

namespace {

constexpr int kItems = 200000;
// Out of order each insertion is a search through scattered nodes, bound by
// memory latency; a big directory read in listing order is this size.
constexpr int kShuffledItems = 50000;
constexpr int kWords = 100000;

// A file-like item: a case-insensitive name (key 0) and a size (key 1).
class TBenchItem : public TBWComparable {
    BW_CLASS(TBenchItem)
public:
    using TBWComparable::TBWComparable;
    TBWKeyKind KeyKind(TBWKey key) const override { return key == 0 ? kkTextNoCase : kkInteger; }
    std::string KeyText(TBWKey) const override { return name; }
    std::int64_t KeyInt(TBWKey) const override { return size; }

    std::string name;
    std::int64_t size = 0;
};
BW_IMPLEMENT_CLASS(TBenchItem, TBWComparable)

// Items in ascending name order.
const std::vector<std::unique_ptr<TBenchItem>>& SortedItems()
{
    static const auto items = [] {
        std::vector<std::unique_ptr<TBenchItem>> made;
        char name[16];
        for (int i = 0; i < kItems; ++i) {
            std::snprintf(name, sizeof name, "track%07d", i);
            made.push_back(std::make_unique<TBenchItem>());
            made.back()->name = name;
            made.back()->size = 1000 + i % 5000;
        }
        return made;
    }();
    return items;
}

std::vector<TBenchItem*> ItemsInOrder(bool shuffled)
{
    std::vector<TBenchItem*> items;
    for (const auto& item : SortedItems())
        items.push_back(item.get());
    if (shuffled) {
        std::shuffle(items.begin(), items.end(), std::mt19937(42));
        items.resize(kShuffledItems);
    }
    return items;
}

void SortedChain(TBWChain& chain)
{
    chain.SetSortKeys(0, {0});
    chain.SetActiveKeys(0);
}

void ChainSortedInsert(benchmark::State& state)
{
    const auto items = ItemsInOrder(state.range(0) != 0);
    for (auto _ : state) {
        TBWChain chain;
        SortedChain(chain);
        for (TBenchItem* item : items)
            chain.Add(item);
        benchmark::DoNotOptimize(chain.Count());
        state.counters["items"] = static_cast<double>(items.size());
        state.PauseTiming();
        chain.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(ChainSortedInsert)->ArgName("shuffled")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void ChainSortOfSortedInput(benchmark::State& state)
{
    const auto items = ItemsInOrder(false);
    for (auto _ : state) {
        state.PauseTiming();
        TBWChain chain;
        for (TBenchItem* item : items)
            chain.Add(item);
        state.ResumeTiming();
        SortedChain(chain);
        benchmark::DoNotOptimize(chain.First());
        state.PauseTiming();
        chain.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(ChainSortOfSortedInput)->Unit(benchmark::kMillisecond);

// Select all, unselect every other item, invert, and remove what is
// selected in one walk.
void SelChainSelectInvertRemove(benchmark::State& state)
{
    const auto items = ItemsInOrder(false);
    for (auto _ : state) {
        state.PauseTiming();
        TBWSelChain chain;
        chain.SetValueCount(1);
        chain.OnGetValue = [](TBWComparable* item, std::int32_t, std::int64_t& value) {
            value = static_cast<TBenchItem*>(item)->size;
        };
        for (TBenchItem* item : items)
            chain.Add(item);
        state.ResumeTiming();
        chain.SelectAll();
        for (std::size_t i = 0; i < items.size(); i += 2)
            chain.ToggleSelected(items[i]);
        chain.InvertSelection();
        for (chain.First(); !chain.Eof();) {
            if (chain.IsCurrentSelected())
                chain.DeleteCurrent();
            else
                chain.Next();
        }
        benchmark::DoNotOptimize(chain.SelectedTotal(0));
        state.PauseTiming();
        chain.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(SelChainSelectInvertRemove)->Unit(benchmark::kMillisecond);

// Words as a scan meets them: a vocabulary of 40,000, drawn 100,000 times.
std::vector<std::string> Words()
{
    std::mt19937 random(5);
    std::vector<std::string> words;
    for (int i = 0; i < kWords; ++i) {
        std::string word;
        for (unsigned n = random() % 40000; ; n /= 26) {
            word += static_cast<char>('a' + n % 26);
            if (n < 26)
                break;
        }
        words.push_back(word + "s");
    }
    return words;
}

void TreeFindOrAddWords(benchmark::State& state)
{
    const auto words = Words();
    for (auto _ : state) {
        TBWStrList index;
        std::int32_t offset = 0;
        for (const std::string& word : words)
            index.AddUnique(word, offset++);
        benchmark::DoNotOptimize(index.Count());
        state.counters["distinct"] = index.Count();
        state.PauseTiming();
        index.Clear();
        state.ResumeTiming();
    }
}
BENCHMARK(TreeFindOrAddWords)->Unit(benchmark::kMillisecond);

}  // namespace
