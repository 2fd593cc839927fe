// What words and comparisons need to know of the characters of every script:
// which characters make words, how letters fold so that a person's reading
// decides what is equal, and the composed form of a text. The knowledge is
// the ICU library's; each block of 256 characters is worked out once, the
// first time a text holds one of them, so that text of one script never
// pays for the others.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Decodes the code point at text[at] and moves at past it. A byte that
// starts no valid UTF-8 sequence stands for itself, so any byte string has
// a reading (a name in Latin-1 reads as its Latin-1 letters).
inline char32_t NextCodePoint(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const int length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    char32_t codePoint = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
    bool valid = length > 0 && at + length <= text.size();
    for (int k = 1; valid && k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[at + k]);
        valid = (next & 0xC0) == 0x80;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (!valid || codePoint > 0x10FFFF) {
        ++at;
        return lead;
    }
    at += length;
    return codePoint;
}

void AppendUtf8(std::string& text, char32_t codePoint);
bool IsAsciiText(std::string_view text);

// How a character takes part in words.
enum TBWCharRole : std::uint8_t {
    crBlank,   // any other character: it parts words
    crLetter,  // a letter or a digit of any script
    crMark,    // a combining mark: it belongs to the letter before it
};

// A character as words hold it.
struct TBWWordChar {
    // UTF-8: letters case-folded by Unicode's rules; a Latin letter also
    // without its diacritics, as ASCII (é → e, ß → ss, æ → ae, ø → o,
    // þ → th); letters of other scripts stay themselves.
    std::string_view folded;
    TBWCharRole role = crBlank;
    // A Latin letter: the marks that follow it are dropped, as its own
    // diacritics are.
    bool latin = false;
    // The word must be composed (NFC) once it is whole: a kept mark, or a
    // letter that combines with the one before it (Hangul jamo).
    bool composes = false;
    // An ideograph or a kana, of the scripts written without blanks: one of
    // them is a word of its own, never too short.
    bool wholeWord = false;
};

namespace bw_unicode_detail {
constexpr std::size_t kPageCount = 0x110000 >> 8;
extern std::atomic<const TBWWordChar*> pages[kPageCount];
const TBWWordChar* BuildPage(std::size_t page);
// ASCII as the first page reads it, known without the library: the page
// holds Latin letters whose ASCII forms take a transliterator, which costs
// a start of the program tens of milliseconds, so plain ASCII text never
// builds it.
extern const std::array<TBWWordChar, 0x80> asciiChars;
}  // namespace bw_unicode_detail

// Inline: the word split asks it for every character that is not ASCII.
inline const TBWWordChar& WordCharOf(char32_t codePoint)
{
    if (codePoint < 0x80)
        return bw_unicode_detail::asciiChars[codePoint];
    const std::size_t page = codePoint >> 8;
    const TBWWordChar* chars = bw_unicode_detail::pages[page].load(std::memory_order_acquire);
    if (!chars)
        chars = bw_unicode_detail::BuildPage(page);
    return chars[codePoint & 0xFF];
}

// Walks a text as words read it. For each letter or digit, and each mark
// that belongs to a letter of a script other than Latin, calls
// onWord(folded, composes); a mark after a Latin letter is dropped, as the
// letter's own diacritics are; for every other character, and a mark that
// follows none, calls onOther(codePoint). ASCII letters are lower-cased and
// "-" counts as a letter, so ASCII text reads exactly as it always has.
template <class OnWord, class OnOther>
void WalkWordChars(std::string_view text, OnWord&& onWord, OnOther&& onOther)
{
    bool afterLetter = false, afterLatin = false;
    for (std::size_t at = 0; at < text.size();) {
        const auto byte = static_cast<unsigned char>(text[at]);
        if (byte < 0x80) {
            const char lower = byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : static_cast<char>(byte);
            afterLetter = afterLatin = (lower >= 'a' && lower <= 'z') || (lower >= '0' && lower <= '9') || lower == '-';
            if (afterLetter)
                onWord(std::string_view(&lower, 1), false);
            else
                onOther(static_cast<char32_t>(byte));
            ++at;
            continue;
        }
        const char32_t codePoint = NextCodePoint(text, at);
        const TBWWordChar& character = WordCharOf(codePoint);
        if (character.role == crLetter) {
            onWord(character.folded, character.composes);
            afterLetter = true;
            afterLatin = character.latin;
        } else if (character.role == crMark && afterLetter) {
            if (!afterLatin)
                onWord(character.folded, true);
        } else {
            afterLetter = afterLatin = false;
            onOther(codePoint);
        }
    }
}

// A whole word as WalkWordChars makes it, composed where it must be.
void ComposeWord(std::string& word);
// The length of a word as the minimum word length counts it: its
// characters, marks not counted; a word with an ideograph or a kana is
// never too short.
std::int32_t WordLength(std::string_view word);

// The text in Unicode's composed form (NFC); ASCII text as it is.
std::string ComposedText(std::string_view text);
// Unicode's simple case folding of one character: one character for one,
// so that a pattern's "?" still stands for one.
char32_t CaseFolded(char32_t codePoint);
// Unicode's simple lower case of one character.
char32_t LowerCased(char32_t codePoint);
