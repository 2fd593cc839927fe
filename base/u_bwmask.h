// The file-name pattern test: "*" matches any run of characters, also an
// empty one, "?" exactly one character, and "[...]" one character of a set
// (ranges such as "a-z"; "!" right after "[" for every character not in the
// set). A pattern matches the whole name; letters of every script are
// compared without regard to case, and in their composed form. The engine's exclusions and banlist, the pattern test of the
// exclusions page and the model's file masks use it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A pattern compiled once, to be matched against many names.
class TBWMask {
public:
    // More than this many "*" make a pattern invalid.
    static constexpr int kMostStars = 30;

    explicit TBWMask(std::string_view pattern);

    // False for a pattern with an unclosed or empty set, a "-" in a set
    // without a character on each side, or more than kMostStars "*".
    bool IsValid() const { return valid_; }
    // Whether the pattern matches the whole name; an invalid pattern
    // matches nothing.
    bool Matches(std::string_view name) const;
    // The same for a name already folded with FoldCodePoints, for callers
    // that try several masks on one name.
    bool MatchesFolded(std::u32string_view name) const;

private:
    enum TStepKind { skCharacter, skAnyOne, skAnyRun, skSet };
    struct TStep {
        TStepKind kind;
        char32_t character;  // skCharacter
        std::size_t set;     // skSet: index into sets_
    };
    struct TRange {
        char32_t first;
        char32_t last;
    };
    struct TSet {
        std::vector<TRange> ranges;
        bool negated = false;
        bool Contains(char32_t character) const;
    };

    bool Compile(const std::u32string& pattern);
    std::size_t CompileSet(const std::u32string& pattern, std::size_t open);
    bool StepTakes(const TStep& step, char32_t character) const;

    std::vector<TStep> steps_;
    std::vector<TSet> sets_;
    bool valid_ = false;
};

// Whether the mask matches the whole name; false for an invalid mask.
bool NameMatchesMask(std::string_view name, std::string_view mask);
