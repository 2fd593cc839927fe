// Words, folding and names of every script, as a collection in French,
// German, Icelandic, Cyrillic and Japanese has them.
#include "base/u_bwunicode.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "base/u_bwbaseclass.h"
#include "base/u_bwfunc.h"
#include "base/u_bwmask.h"
#include "base/u_bwtextcase.h"

namespace {

struct TWordsCase {
    std::string text;
    std::vector<std::string> words;
    std::vector<std::int32_t> ends;
};

std::vector<std::string> WordsOf(const std::string& text)
{
    TBWWordedComparable worded;
    worded.SetText(text);
    return worded.Words();
}

TEST(WordsOfEveryScript, LettersOfEveryScriptMakeWords)
{
    const TWordsCase cases[] = {
        // Latin letters fold to their base letters, as ASCII.
        {"Beyonc\u00e9 - Halo", {"beyonce", "halo"}, {0, 1}},
        {"M\u00f6tley Cr\u00fce", {"motley", "crue"}, {1}},
        {"C\u00e9line Dion", {"celine", "dion"}, {1}},
        {"Bj\u00f6rk", {"bjork"}, {0}},
        {"DIE \u00c4RZTE", {"die", "arzte"}, {1}},
        {"Stra\u00dfe \u00c6ther \u00d8rsted \u00deór \u00f0", {"strasse", "aether", "orsted", "thor", "d"}, {4}},
        {"Sigur R\u00f3s - \u00c1g\u00e6tis byrjun", {"sigur", "ros", "agaetis", "byrjun"}, {1, 3}},
        {"\u0130stanbul \uff21\uff22\uff23", {"istanbul", "abc"}, {1}},  // dotted capital I, full-width letters
        // Combining accents (names stored decomposed) fold as composed ones.
        {"Beyonce\u0301 - Halo", {"beyonce", "halo"}, {0, 1}},
        // Other scripts stay themselves, case-folded.
        {"\u041a\u0418\u041d\u041e - \u0417\u0432\u0435\u0437\u0434\u0430", {"кино", "звезда"}, {0, 1}},
        {"\u041f\u0430\u0447\u043a\u0430 \u0441\u0438\u0433\u0430\u0440\u0435\u0442", {"пачка", "сигарет"}, {1}},
        {"\u0419\u043e\u0433\u0430 \u0438\u0306\u043e\u0433\u0430", {"йога", "йога"}, {1}},  // й composed
        {"\u03a3\u03a9\u039a\u03a1\u0386\u03a4\u0397\u03a3", {"σωκράτησ"}, {0}},
        // A run of letters without blanks is one word; kana keep their marks.
        {"\u5b87\u591a\u7530\u30d2\u30ab\u30eb - \u98a8\u306e\u8c37", {"宇多田ヒカル", "風の谷"}, {0, 1}},
        {"\u30e1\u30ea\u30fc\u30af\u30ea\u30b9\u30de\u30b9", {"メリークリスマス"}, {0}},
        {"\u304b\u3099\u304f \u304c\u304f", {"がく", "がく"}, {1}},
        {"\u1112\u1161\u11ab \ud55c", {"한", "한"}, {1}},  // Hangul jamo compose
        // Punctuation of every script parts words; other digits count.
        {"Track\u2019s Name \u2013 Live\u3000\u300cMix\u300d", {"track", "s", "name", "live", "mix"}, {4}},
        {"\u0663\u0660 \uff11", {"٣٠", "１"}, {1}},
        // A mark with no letter before it is a blank.
        {"\u0301abc \u0301", {"abc"}, {0}},
        // A byte of no valid sequence reads as its Latin-1 letter.
        {"Caf\xE9 \xA9", {"cafe"}, {0}},
    };
    for (const TWordsCase& c : cases) {
        TBWWordedComparable worded;
        worded.SetText(c.text);
        EXPECT_EQ(worded.Words(), c.words) << c.text;
        EXPECT_EQ(std::vector<std::int32_t>(worded.FieldEnds().begin(), worded.FieldEnds().end()), c.ends) << c.text;
    }
}

TEST(WordsOfEveryScript, NamesThatReadAlikeMeet)
{
    const std::pair<std::string, std::string> alike[] = {
        {"Beyonc\u00e9 - Halo", "Beyonce - Halo"},
        {"M\u00f6tley Cr\u00fce - Kickstart", "Motley Crue - KICKSTART"},
        {"\u00c4RZTE", "\u00e4rzte"},
        {"\u041a\u0418\u041d\u041e", "\u043a\u0438\u043d\u043e"},
        {"\u304c\u304f", "\u304b\u3099\u304f"},
    };
    for (const auto& [a, b] : alike) {
        TBWWordedComparable x, y;
        x.SetText(a);
        y.SetText(b);
        EXPECT_EQ(x.Similarity(&y, true, false, 0), 1.0) << a << " | " << b;
    }
}

TEST(WordsOfEveryScript, ShortWordsCountCharactersAndIdeographsAreWords)
{
    struct Case {
        std::string text;
        std::int32_t minimum;
        std::vector<std::string> kept;
    };
    const Case cases[] = {
        {"Caf\u00e9 de la Paix", 3, {"cafe", "paix"}},
        {"\u041e\u043d \u0438 \u044f \u043d\u043e\u0447\u044c", 3, {"ночь"}},  // letters, not bytes
        {"\u5b87\u591a\u7530\u30d2\u30ab\u30eb - \u5149 - First Love", 3, {"宇多田ヒカル", "光", "first", "love"}},
        {"\u306e \u82b1", 9, {"の", "花"}},
        {"\u0915\u093f \u0915\u093f\u0924", 2, {"कित"}},  // vowel signs are no characters of their own
    };
    for (const Case& c : cases) {
        TBWWordedComparable worded;
        worded.SetText(c.text);
        worded.DropShortWords(c.minimum);
        EXPECT_EQ(worded.Words(), c.kept) << c.text;
    }
}

TEST(WordsOfEveryScript, PagesBuiltByManyThreadsAtOnceAgree)
{
    // The scan splits names on several threads: the first one to meet a
    // script builds its page while the others wait for it.
    const std::string text = "\u0417\u0432\u0435\u0437\u0434\u0430 \u00c6ther \u03a9\u03bc\u03ad\u03b3\u03b1 \u98a8";
    const std::vector<std::string> expected = WordsOf(text);
    std::vector<std::thread> threads;
    std::vector<std::vector<std::string>> seen(8);
    for (std::size_t t = 0; t < seen.size(); ++t)
        threads.emplace_back([&, t] { seen[t] = WordsOf(text + " \u0531\u0532" + std::to_string(t)); });
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t t = 0; t < seen.size(); ++t) {
        std::vector<std::string> words = expected;
        words.push_back("աբ" + std::to_string(t));
        EXPECT_EQ(seen[t], words);
    }
}

// ASCII is read without the library (so that plain text never pays for the
// transliterator of the first page), exactly as that page reads it.
TEST(WordsOfEveryScript, AsciiReadsAsTheFirstPageDoes)
{
    const TBWWordChar* page = bw_unicode_detail::BuildPage(0);
    for (char32_t c = 0; c < 0x80; ++c) {
        const TBWWordChar& ascii = WordCharOf(c);
        SCOPED_TRACE(testing::Message() << "character " << static_cast<int>(c));
        EXPECT_EQ(ascii.folded, page[c].folded);
        EXPECT_EQ(ascii.role, page[c].role);
        EXPECT_EQ(ascii.latin, page[c].latin);
        EXPECT_EQ(ascii.composes, page[c].composes);
        EXPECT_EQ(ascii.wholeWord, page[c].wholeWord);
    }
}

TEST(FoldingOfEveryScript, EditDistanceFoldsAsWordsDo)
{
    struct Case {
        std::string a, b;
        std::int32_t distance;
    };
    const Case cases[] = {
        {"Beyonc\u00e9", "BEYONCE", 0},
        {"M\u00f6tley Cr\u00fce", "Motley Crue", 0},
        {"stra\u00dfe", "STRASSE", 0},
        {"\u041a\u0418\u041d\u041e", "\u043a\u0438\u043d\u043e", 0},
        {"\u043a\u043e\u0442", "\u043a\u0438\u0442", 1},
        {"\u5149", "a", 1},        // one character each
        {"\u304c", "\u304b", 1},   // a kana's voicing mark is part of the letter
        {"a.b", "a b", 1},         // other characters as they are
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EditDistance(c.a, c.b, 1, 1, 1), c.distance) << c.a << " | " << c.b;
        for (std::int32_t t = 0; t <= 2; ++t)
            EXPECT_EQ(WithinEditDistance(c.a, c.b, t), c.distance <= t) << c.a << " | " << c.b;
    }
}

TEST(FoldingOfEveryScript, PatternsIgnoreCaseInEveryScript)
{
    struct Case {
        std::string pattern, name;
        bool matches;
    };
    const Case cases[] = {
        {"*\u043a\u0438\u043d\u043e*", "\u041a\u0418\u041d\u041e - \u0417\u0432\u0435\u0437\u0434\u0430.mp3", true},
        {"*MOT\u00d6RHEAD*", "Mot\u00f6rhead - Ace of Spades.mp3", true},
        {"*mot\u00f6rhead*", "MOTO\u0308RHEAD.mp3", true},  // a name stored decomposed
        {"*motorhead*", "Mot\u00f6rhead.mp3", false},        // patterns keep their accents
        {"?\u03c3\u03c9*", "\u039e\u03a3\u03a9.mp3", true},  // "?" is one character
        {"[\u0430-\u044f]*", "\u0416\u0443\u043a\u0438.mp3", true},
        {"*\u5149*", "\u5b87\u591a\u7530 - \u5149.mp3", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameMatchesMask(c.name, c.pattern), c.matches) << c.pattern << " | " << c.name;
}

TEST(FoldingOfEveryScript, NamesAreLowerCasedWholly)
{
    EXPECT_EQ(LowerCaseText("*MOT\u00d6RHEAD*;*\u041a\u0418\u041d\u041e*"), "*mot\u00f6rhead*;*\u043a\u0438\u043d\u043e*");
    EXPECT_EQ(LowerCaseText("Live_Mix"), "live_mix");
    EXPECT_EQ(LowerCaseText("A\xE9"), "a\xE9");  // a stray byte stays
    EXPECT_TRUE(SameTextNoCase("Bj\u00f6rk", "BJ\u00d6RK"));
    EXPECT_TRUE(SameTextNoCase("\u041a\u0418\u041d\u041e", "\u043a\u0438\u043d\u043e"));
    EXPECT_FALSE(SameTextNoCase("Bj\u00f6rk", "Bjork"));
}

TEST(FoldingOfEveryScript, NamesKeepTheLettersOfEveryScript)
{
    struct Case {
        std::string typed, alsoKept, kept;
    };
    const Case cases[] = {
        {"Bj\u00f6rk Live", " ", "Bj\u00f6rk Live"},
        {"  Bj\u00f6rk \u2013 Live!  CD\u00b72 ", " ", "Bj\u00f6rk Live CD2"},
        {"\u041a\u0418\u041d\u041e / \u5149", " ", "\u041a\u0418\u041d\u041e \u5149"},
        {"Mo\u0308tley_Cr\u00fce\u2013\u20ac2024", "_", "Mo\u0308tley_Cr\u00fce2024"},
        {"My Profile.xml", "_", "MyProfilexml"},
        {"\xE9\xE9", "_", ""},  // stray bytes are no letters
    };
    for (const Case& c : cases)
        EXPECT_EQ(RestrictToLetters(c.typed, c.alsoKept, '\0'), c.kept) << c.typed;
}

}  // namespace
