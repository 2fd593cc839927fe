#include "engine/u_walkorder.h"

#include <algorithm>

bool TBWWalkOrder::HasWord(std::uint32_t file, std::uint32_t word) const
{
    return std::binary_search(wordsOf_[file].begin(), wordsOf_[file].end(), word);
}

std::uint32_t TBWWalkOrder::PlaceOf(std::uint32_t file, std::uint32_t word) const
{
    const std::vector<std::uint32_t>& files = filesOf_[word];
    return static_cast<std::uint32_t>(std::lower_bound(files.begin(), files.end(), file) - files.begin());
}

std::size_t TBWWalkOrder::SimilarWordOf(std::uint32_t file, std::uint32_t word) const
{
    const std::span<const std::uint32_t> similar = laterSimilar_[word];
    std::size_t from = 0;
    while (from < similar.size() && !HasWord(file, similar[from]))
        ++from;
    return from;
}

std::uint64_t TBWWalkOrder::SimilarPlace(std::uint32_t word, std::size_t similar, std::uint32_t file) const
{
    // Counted only once met: most similar words never meet, and their file
    // counts lie all over memory.
    const std::span<const std::uint32_t> words = laterSimilar_[word];
    std::uint64_t place = filesOf_[word].size();
    for (std::size_t earlier = 0; earlier < similar; ++earlier)
        place += filesOf_[words[earlier]].size();
    return place + PlaceOf(file, words[similar]);
}

std::optional<TBWWalkOrder::TMeeting> TBWWalkOrder::FirstMeeting(std::uint32_t scored, std::uint32_t other) const
{
    // Under one word the scored file's row is the same for every meeting,
    // and the word's own later files come before its similar words' files:
    // the first word that meets them at all holds the first meeting.
    for (std::uint32_t word : wordsOf_[scored]) {
        if (scored < other && HasWord(other, word))
            return TMeeting{word, PlaceOf(scored, word), PlaceOf(other, word)};
        if (const std::size_t similar = SimilarWordOf(other, word); similar < laterSimilar_[word].size())
            return TMeeting{word, PlaceOf(scored, word), SimilarPlace(word, similar, other)};
    }
    return std::nullopt;
}
