// Similar-word linking over a vocabulary the size of a large collection's:
// 60,000 distinct words made of English-like syllables, tolerance 1 and 2.
#include <benchmark/benchmark.h>

#include <random>
#include <set>

#include "engine/SimilarWordLinker.h"
#include "engine/u_bwgroup.h"

namespace {

std::vector<std::string> RealisticWords(std::size_t count)
{
    static const char* syllables[] = {
        "a",   "be",  "ca",  "de",  "e",   "fa",  "go",  "ha",  "i",   "jo",  "ka",  "la",
        "lo",  "ma",  "mi",  "na",  "ne",  "o",   "pa",  "qu",  "ra",  "re",  "ri",  "ro",
        "sa",  "se",  "so",  "ta",  "te",  "ti",  "to",  "u",   "ve",  "wa",  "ya",  "ze",
        "ing", "er",  "ly",  "ed",  "tion", "ness", "st", "ch",  "sh",  "th",  "ck",  "ll"};
    std::mt19937 random(2024);
    std::geometric_distribution<int> extraSyllables(0.45);
    std::set<std::string> words;
    while (words.size() < count) {
        std::string word;
        for (int n = 1 + extraSyllables(random); n >= 0; --n)
            word += syllables[random() % std::size(syllables)];
        if (word.size() >= 3 && word.size() <= 18)
            words.insert(word);
    }
    return {words.begin(), words.end()};
}

void LinkSixtyThousandWords(benchmark::State& state)
{
    static const std::vector<std::string> words = RealisticWords(60000);
    const auto tolerance = static_cast<std::int32_t>(state.range(0));
    std::size_t links = 0;
    for (auto _ : state) {
        const auto result = SimilarWordLinker::LinkLaterWords(words, tolerance, {});
        links = 0;
        for (const auto& later : result)
            links += later.size();
    }
    state.counters["links"] = static_cast<double>(links);
    state.counters["words"] = static_cast<double>(words.size());
}
BENCHMARK(LinkSixtyThousandWords)->Arg(1)->Arg(2)->ArgName("tolerance")->Unit(benchmark::kMillisecond);

// The same through the word index: entries in a balanced tree, links in chains.
void LinkSixtyThousandWordsOfAnIndex(benchmark::State& state)
{
    static const std::vector<std::string> words = RealisticWords(60000);
    TBWGrpChString index;
    for (const std::string& word : words)
        index.FindOrAddWord(word);
    index.MaxDistance = static_cast<std::int32_t>(state.range(0));
    for (auto _ : state)
        index.LinkSimilarWords({});
}
BENCHMARK(LinkSixtyThousandWordsOfAnIndex)->Arg(1)->Arg(2)->ArgName("tolerance")->Unit(benchmark::kMillisecond);

}  // namespace
