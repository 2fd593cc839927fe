// Similar-word linking over a vocabulary the size of a large collection's:
// 60,000 distinct words made of English-like syllables, tolerance 1 and 2;
// and over the worst cases, 100,000 words each one edit from dozens of
// others, tolerance 1.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <set>

#include "engine/u_similarwordlinker.h"
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

// "00000" to "99999": each one substitution from 45 others.
std::vector<std::string> Numbers(std::size_t count)
{
    std::vector<std::string> words;
    for (std::size_t i = 0; i < count; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, "%05zu", i);
        words.emplace_back(number);
    }
    return words;
}

// Every word of 3, then 4 letters out of 18: each one edit from 70 to 120
// others. In byte order, as the index gives them.
std::vector<std::string> DenseWords(std::size_t count)
{
    std::set<std::string> words;
    for (std::size_t length = 3; words.size() < count; ++length)
        for (std::string word(length, 'a'); words.size() < count;) {
            words.insert(word);
            std::size_t at = length;
            while (at > 0 && word[at - 1] == 'r')
                word[--at] = 'a';
            if (at == 0)
                break;
            ++word[at - 1];
        }
    return {words.begin(), words.end()};
}

const std::vector<std::string>& WorstCase(std::int64_t which)
{
    static const std::vector<std::string> numbers = Numbers(100000), dense = DenseWords(100000);
    return which == 0 ? numbers : dense;
}

void LinkSixtyThousandWords(benchmark::State& state)
{
    static const std::vector<std::string> words = RealisticWords(60000);
    const auto tolerance = static_cast<std::int32_t>(state.range(0));
    std::size_t links = 0;
    for (auto _ : state)
        links = TSimilarWordLinker::LinkLaterWords(words, tolerance, {}).LinkCount();
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

// The worst cases: numbers (case 0) and the dense short words (case 1).
void LinkWorstCase(benchmark::State& state)
{
    const std::vector<std::string>& words = WorstCase(state.range(0));
    std::size_t links = 0;
    for (auto _ : state)
        links = TSimilarWordLinker::LinkLaterWords(words, 1, {}).LinkCount();
    state.counters["links"] = static_cast<double>(links);
}
BENCHMARK(LinkWorstCase)->Arg(0)->Arg(1)->ArgName("case")->Unit(benchmark::kMillisecond);

// The same through the word index, as a scan links them.
void LinkWorstCaseOfAnIndex(benchmark::State& state)
{
    const std::vector<std::string>& words = WorstCase(state.range(0));
    TBWGrpChString index;
    for (const std::string& word : words)
        index.FindOrAddWord(word);
    for (auto _ : state)
        index.LinkSimilarWords({});
    std::size_t links = 0;
    for (TBWComparable* item = index.First(); item; item = index.Next())
        links += static_cast<std::size_t>(static_cast<TBWGrpItString*>(item)->SimilarWords()->Count());
    state.counters["links"] = static_cast<double>(links);
}
BENCHMARK(LinkWorstCaseOfAnIndex)->Arg(0)->Arg(1)->ArgName("case")->Unit(benchmark::kMillisecond);

}  // namespace
