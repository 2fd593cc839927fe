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

std::optional<TBWWalkOrder::TMeeting> TBWWalkOrder::FirstMeeting(std::uint32_t scored, std::uint32_t other) const
{
    // Under one word the scored file's row is the same for every meeting,
    // and the word's own later files come before its similar words' files:
    // the first word that meets them at all holds the first meeting.
    for (std::uint32_t word : wordsOf_[scored]) {
        if (scored < other && HasWord(other, word))
            return TMeeting{word, PlaceOf(scored, word), PlaceOf(other, word)};
        const std::span<const std::uint32_t> similar = laterSimilar_[word];
        for (std::size_t i = 0; i < similar.size(); ++i) {
            if (!HasWord(other, similar[i]))
                continue;
            // Counted only once met: most similar words never meet, and
            // their file counts lie all over memory.
            std::uint64_t place = filesOf_[word].size();
            for (std::size_t earlier = 0; earlier < i; ++earlier)
                place += filesOf_[similar[earlier]].size();
            return TMeeting{word, PlaceOf(scored, word), place + PlaceOf(other, similar[i])};
        }
    }
    return std::nullopt;
}
