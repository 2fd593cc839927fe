#include "engine/u_wordclasses.h"

#include <functional>
#include <string_view>
#include <algorithm>

#include "engine/u_workthreads.h"
#include "model/u_bwfs.h"

namespace {

std::uint64_t HashOfWords(const TBWFile& file)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    const auto mix = [&hash](std::uint64_t value) { hash = (hash ^ value) * 0x100000001b3ull; };
    for (const std::int32_t end : file.FieldEnds())
        mix(static_cast<std::uint64_t>(end));
    const TBWWords::TView words = file.WordView();
    for (std::int32_t i = 0; i < file.WordCount(); ++i)
        mix(std::hash<std::string_view>{}(words[i]));
    // The table takes the low bits: every bit of the hash must reach them.
    hash ^= hash >> 32;
    return hash * 0x9E3779B97F4A7C15ull ^ (hash >> 29);
}

bool SameWords(const TBWFile& a, const TBWFile& b)
{
    if (a.WordCount() != b.WordCount() || a.FieldCount() != b.FieldCount())
        return false;
    const auto endsA = a.FieldEnds(), endsB = b.FieldEnds();
    if (!std::equal(endsA.begin(), endsA.end(), endsB.begin(), endsB.end()))
        return false;
    const TBWWords::TView wordsA = a.WordView(), wordsB = b.WordView();
    for (std::int32_t i = 0; i < a.WordCount(); ++i)
        if (wordsA[i] != wordsB[i])
            return false;
    return true;
}

}  // namespace

TBWWordClasses::TBWWordClasses(const std::vector<TBWFile*>& files, const std::vector<bool>& indexed,
                               unsigned threads)
    : leaderOf_(files.size()), classOf_(files.size(), kAlone)
{
    std::vector<std::uint64_t> hashes(files.size());
    ForEachIndexOnThreads(files.size(), threads, [&](std::size_t place) {
        if (indexed[place])
            hashes[place] = HashOfWords(*files[place]);
    }, kLightWork);
    // The first place of each hash, in a table of open addressing at most
    // half full: a million files are looked up here. A file whose hash an
    // unlike file took first stays alone: a class missed costs only time.
    std::size_t size = 16;
    while (size < 2 * files.size())
        size *= 2;
    std::vector<std::uint32_t> firstOf(size, kAlone);
    for (std::uint32_t place = 0; place < files.size(); ++place) {
        leaderOf_[place] = place;
        if (!indexed[place])
            continue;
        std::size_t slot = hashes[place] & (size - 1);
        while (firstOf[slot] != kAlone && hashes[firstOf[slot]] != hashes[place])
            slot = (slot + 1) & (size - 1);
        if (firstOf[slot] == kAlone) {
            firstOf[slot] = place;
            continue;
        }
        const std::uint32_t leader = firstOf[slot];
        if (!SameWords(*files[leader], *files[place]))
            continue;
        leaderOf_[place] = leader;
        if (classOf_[leader] == kAlone) {
            classOf_[leader] = static_cast<std::uint32_t>(classes_.size());
            classes_.push_back({leader});
        }
        classes_[classOf_[leader]].push_back(place);
    }
}

std::span<const std::uint32_t> TBWWordClasses::MembersOf(std::uint32_t leader) const
{
    if (classOf_[leader] == kAlone)
        return {&leaderOf_[leader], 1};
    return classes_[classOf_[leader]];
}
