#include "base/u_bwmask.h"

#include <algorithm>

#include "base/u_bwfunc.h"

TBWMask::TBWMask(std::string_view pattern)
{
    // Pattern and names are folded alike, so matching is case-blind and
    // "?" stands for one character of a UTF-8 name, not for one byte.
    valid_ = Compile(FoldedCodePoints(pattern));
}

bool TBWMask::TSet::Contains(char32_t character) const
{
    const bool inRanges = std::any_of(ranges.begin(), ranges.end(), [character](const TRange& range) {
        return range.first <= character && character <= range.last;
    });
    return inRanges != negated;
}

bool TBWMask::Compile(const std::u32string& pattern)
{
    int stars = 0;
    for (std::size_t at = 0; at < pattern.size();) {
        switch (pattern[at]) {
        case U'*':
            ++stars;
            steps_.push_back({skAnyRun, 0, 0});
            ++at;
            break;
        case U'?':
            steps_.push_back({skAnyOne, 0, 0});
            ++at;
            break;
        case U'[':
            at = CompileSet(pattern, at);
            if (at == std::u32string::npos)
                return false;
            steps_.push_back({skSet, 0, sets_.size() - 1});
            break;
        default:
            steps_.push_back({skCharacter, pattern[at], 0});
            ++at;
        }
    }
    return stars <= kMostStars;
}

// Adds the set that opens at pattern[open] and gives the position after its
// "]"; npos when the set is invalid.
std::size_t TBWMask::CompileSet(const std::u32string& pattern, std::size_t open)
{
    constexpr std::size_t kInvalid = std::u32string::npos;
    TSet set;
    std::size_t at = open + 1;
    if (at < pattern.size() && pattern[at] == U'!') {
        set.negated = true;
        ++at;
    }
    while (at < pattern.size() && pattern[at] != U']') {
        // A "-" reached here has no character before it: the set's start or
        // a whole range, or it stands right before the "]".
        if (pattern[at] == U'-')
            return kInvalid;
        const char32_t first = pattern[at];
        const bool isRange = at + 2 < pattern.size() && pattern[at + 1] == U'-' && pattern[at + 2] != U']';
        const char32_t last = isRange ? pattern[at + 2] : first;
        if (first <= last)
            set.ranges.push_back({first, last});
        at += isRange ? 3 : 1;
    }
    if (at >= pattern.size() || set.ranges.empty())
        return kInvalid;
    sets_.push_back(std::move(set));
    return at + 1;
}

bool TBWMask::StepTakes(const TStep& step, char32_t character) const
{
    switch (step.kind) {
    case skCharacter: return step.character == character;
    case skSet: return sets_[step.set].Contains(character);
    default: return step.kind == skAnyOne;
    }
}

bool TBWMask::Matches(std::string_view name) const
{
    if (!valid_)
        return false;
    thread_local std::u32string folded;
    FoldCodePoints(name, folded);
    return MatchesFolded(folded);
}

bool TBWMask::MatchesFolded(std::u32string_view text) const
{
    if (!valid_)
        return false;
    // Greedy walk that, on a mismatch, lets the last "*" take one more
    // character: a match exists exactly when this finds one, and it needs
    // no more than pattern length times name length steps.
    constexpr std::size_t kNoStar = static_cast<std::size_t>(-1);
    std::size_t step = 0, at = 0, star = kNoStar, starAt = 0;
    while (at < text.size()) {
        if (step < steps_.size() && steps_[step].kind == skAnyRun) {
            star = step++;
            starAt = at;
        } else if (step < steps_.size() && StepTakes(steps_[step], text[at])) {
            ++step;
            ++at;
        } else if (star != kNoStar) {
            step = star + 1;
            at = ++starAt;
        } else {
            return false;
        }
    }
    while (step < steps_.size() && steps_[step].kind == skAnyRun)
        ++step;
    return step == steps_.size();
}

bool NameMatchesMask(std::string_view name, std::string_view mask)
{
    return TBWMask(mask).Matches(name);
}
