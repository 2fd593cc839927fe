#include "base/u_bwmask.h"

#include <gtest/gtest.h>

#include <string>

namespace {

enum TOutcome { kNoMatch, kMatch, kInvalid };

struct TMaskCase {
    std::string pattern;
    std::string name;
    TOutcome outcome;
};

std::string Stars(int count)
{
    return std::string(static_cast<std::size_t>(count), '*');
}

TEST(Mask, MatchesWholeNamesWithWildcardsSetsAndCase)
{
    const TMaskCase cases[] = {
        {"*live*", "Live at Wembley.mp3", kMatch},
        {"*LIVE*", "alive.mp3", kMatch},
        {"*live*", "li ve.mp3", kNoMatch},
        {"*.mp3", "song.mp3.bak", kNoMatch},
        {"song", "song.mp3", kNoMatch},
        {"*", "", kMatch},
        {"", "", kMatch},
        {"", "a", kNoMatch},
        {"a?c", "abc", kMatch},
        {"a?c", "ac", kNoMatch},
        {"a?c", "abbc", kNoMatch},
        {"?ber.mp3", "\xC3\x9C" "ber.mp3", kMatch},  // one UTF-8 character
        {"\xC3\xA4*", "\xC3\x84rger.mp3", kMatch},   // Western letters ignore case too
        {"a*b*c", "aXXbYYc", kMatch},
        {"a*b*c", "aXXbYY", kNoMatch},
        {"*a*a*a*b", std::string(40, 'a'), kNoMatch},
        {"[abc]x", "Bx", kMatch},
        {"[abc]x", "dx", kNoMatch},
        {"[a-c]*", "Bee Gees.mp3", kMatch},
        {"[A-C]*", "bee.mp3", kMatch},
        {"[0-9][0-9] *", "07 Song.mp3", kMatch},
        {"[0-9][0-9] *", "7 Song.mp3", kNoMatch},
        {"[!a-c]*", "dog.mp3", kMatch},
        {"[!a-c]*", "Cat.mp3", kNoMatch},
        {"x[!a]", "x", kNoMatch},  // a negated set still takes one character
        {"[ac-ex]", "d", kMatch},
        {"[*]", "*", kMatch},
        {"[*]", "a", kNoMatch},
        {"a]", "a]", kMatch},
        {"[z-a]", "z", kInvalid},  // a backward range adds nothing: an empty set
        {"[az-b]", "a", kMatch},   // ... but the rest of the set stays
        {"[az-b]", "z", kNoMatch},
        {"*[abc", "xa", kInvalid},
        {"[", "", kInvalid},
        {"[]", "", kInvalid},
        {"[!]", "a", kInvalid},
        {"[-a]", "-", kInvalid},
        {"[a-]", "a", kInvalid},
        {"[a-c-e]", "d", kInvalid},
        {Stars(30) + "x", "abx", kMatch},
        {Stars(31), "abx", kInvalid},
        {"*" + std::string("a") + Stars(30), "a", kInvalid},
    };
    for (const TMaskCase& c : cases) {
        const TBWMask mask(c.pattern);
        EXPECT_EQ(mask.IsValid(), c.outcome != kInvalid) << c.pattern;
        EXPECT_EQ(mask.Matches(c.name), c.outcome == kMatch) << c.pattern << " / " << c.name;
        EXPECT_EQ(NameMatchesMask(c.name, c.pattern), c.outcome == kMatch) << c.pattern;
    }
}

TEST(Mask, CompiledOnceMatchesManyNames)
{
    const TBWMask mask("*.mp3");
    EXPECT_TRUE(mask.Matches("a.MP3"));
    EXPECT_FALSE(mask.Matches("a.ogg"));
    EXPECT_TRUE(mask.Matches(".mp3"));
}

}  // namespace
