#include "base/u_bwunicode.h"

#include <unicode/bytestream.h>
#include <unicode/normalizer2.h>
#include <unicode/translit.h>
#include <unicode/uchar.h>
#include <unicode/uscript.h>
#include <unicode/ustring.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "base/u_bwtextcase.h"

namespace {

constexpr std::string_view kAsciiWordChars = "0123456789abcdefghijklmnopqrstuvwxyz";

// Letters and digits make words, letters lower-cased; digits belong to no
// script, so the marks after them stay.
constexpr std::array<TBWWordChar, 0x80> AsciiWordChars()
{
    std::array<TBWWordChar, 0x80> chars{};
    for (std::size_t c = 0; c < chars.size(); ++c) {
        const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : static_cast<char>(c);
        const std::size_t at = kAsciiWordChars.find(lower);
        if (at == std::string_view::npos)
            continue;
        chars[c].folded = kAsciiWordChars.substr(at, 1);
        chars[c].role = crLetter;
        chars[c].latin = lower >= 'a';
    }
    return chars;
}

}  // namespace

namespace bw_unicode_detail {
std::atomic<const TBWWordChar*> pages[kPageCount];
constinit const std::array<TBWWordChar, 0x80> asciiChars = AsciiWordChars();
}  // namespace bw_unicode_detail

namespace {

using bw_unicode_detail::pages;

const icu::Normalizer2& Composer()
{
    UErrorCode error = U_ZERO_ERROR;
    static const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(error);
    return *nfc;
}

const icu::Normalizer2& Decomposer()
{
    UErrorCode error = U_ZERO_ERROR;
    static const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(error);
    return *nfd;
}

bool IsMark(UChar32 c)
{
    return (U_MASK(u_charType(c)) & U_GC_M_MASK) != 0;
}

bool IsAsciiLetterOrDigit(std::string_view text)
{
    for (char c : text)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
    return !text.empty();
}

std::string ToUtf8(const icu::UnicodeString& text)
{
    std::string utf8;
    text.toUTF8String(utf8);
    return utf8;
}

// The pages of characters, each one built once; the builder holds what
// pages share and what is costly to make (the transliterator takes tens of
// milliseconds, and only pages with Latin letters need it).
class TPageBuilder {
public:
    const TBWWordChar* Build(std::size_t page)
    {
        std::lock_guard lock(mutex_);
        if (const TBWWordChar* built = pages[page].load(std::memory_order_acquire))
            return built;
        auto chars = std::make_unique<TBWWordChar[]>(256);
        std::vector<std::string> folded(256);
        std::string pool;
        for (std::size_t i = 0; i < 256; ++i)
            Describe(static_cast<UChar32>(page << 8 | i), chars[i], folded[i]);
        for (const std::string& text : folded)
            pool += text;
        // The folded forms point into one block that lives as long as the page.
        auto& block = blocks_.emplace_back(std::make_unique<char[]>(pool.size() + 1));
        std::memcpy(block.get(), pool.data(), pool.size());
        std::size_t at = 0;
        for (std::size_t i = 0; i < 256; ++i) {
            chars[i].folded = std::string_view(block.get() + at, folded[i].size());
            at += folded[i].size();
        }
        const TBWWordChar* built = chars.release();
        pages[page].store(built, std::memory_order_release);
        return built;
    }

private:
    void Describe(UChar32 c, TBWWordChar& character, std::string& folded)
    {
        const std::uint32_t category = U_MASK(u_charType(c));
        if (category & U_GC_M_MASK) {
            character.role = crMark;
            character.composes = true;
            folded = ToUtf8(icu::UnicodeString(c));
            return;
        }
        if (!(category & (U_GC_L_MASK | U_GC_ND_MASK)))
            return;
        character.role = crLetter;
        UErrorCode error = U_ZERO_ERROR;
        const UScriptCode script = uscript_getScript(c, &error);
        icu::UnicodeString text(c);
        text.foldCase(U_FOLD_CASE_DEFAULT);
        if (script == USCRIPT_LATIN) {
            character.latin = true;
            folded = LatinFolded(text);
            return;
        }
        character.wholeWord = script == USCRIPT_HAN || script == USCRIPT_HIRAGANA || script == USCRIPT_KATAKANA ||
                              script == USCRIPT_KATAKANA_OR_HIRAGANA || u_hasBinaryProperty(c, UCHAR_IDEOGRAPHIC);
        for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1))
            character.composes = character.composes || !Composer().hasBoundaryBefore(text.char32At(i));
        folded = ToUtf8(text);
    }

    // Without diacritics (what decomposition parts from the letter) and as
    // ASCII where the transliteration to ASCII gives letters (æ → ae, ø → o,
    // ð → d, þ → th); a letter that has no ASCII form keeps its own.
    std::string LatinFolded(const icu::UnicodeString& caseFolded)
    {
        UErrorCode error = U_ZERO_ERROR;
        const icu::UnicodeString decomposed = Decomposer().normalize(caseFolded, error);
        icu::UnicodeString bare;
        for (int32_t i = 0; i < decomposed.length(); i = decomposed.moveIndex32(i, 1))
            if (!IsMark(decomposed.char32At(i)))
                bare.append(decomposed.char32At(i));
        if (bare.isEmpty())
            bare = caseFolded;
        icu::UnicodeString ascii = bare;
        if (icu::Transliterator* toAscii = ToAscii())
            toAscii->transliterate(ascii);
        const std::string asciiText = ToUtf8(ascii);
        return IsAsciiLetterOrDigit(asciiText) ? LowerCaseAscii(asciiText) : ToUtf8(bare);
    }

    icu::Transliterator* ToAscii()
    {
        if (!toAscii_ && !toAsciiTried_) {
            toAsciiTried_ = true;
            UErrorCode error = U_ZERO_ERROR;
            toAscii_.reset(icu::Transliterator::createInstance("Latin-ASCII", UTRANS_FORWARD, error));
            if (U_FAILURE(error))
                toAscii_.reset();
        }
        return toAscii_.get();
    }

    std::mutex mutex_;
    std::vector<std::unique_ptr<char[]>> blocks_;
    std::unique_ptr<icu::Transliterator> toAscii_;
    bool toAsciiTried_ = false;
};

TPageBuilder& Builder()
{
    // Never freed: pages are read by threads until the very end.
    static TPageBuilder* builder = new TPageBuilder;
    return *builder;
}

}  // namespace

const TBWWordChar* bw_unicode_detail::BuildPage(std::size_t page)
{
    return Builder().Build(page);
}

void AppendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | (c >> 12));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (c >> 18));
        text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsAsciiText(std::string_view text)
{
    // Eight bytes at a time: the scan asks this of every name and word pair.
    std::uint64_t bits = 0;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, text.data() + i, 8);
        bits |= eight;
    }
    for (; i < text.size(); ++i)
        bits |= static_cast<unsigned char>(text[i]);
    return (bits & 0x8080808080808080ull) == 0;
}

std::string ComposedText(std::string_view text)
{
    if (IsAsciiText(text))
        return std::string(text);
    UErrorCode error = U_ZERO_ERROR;
    const icu::StringPiece piece(text.data(), static_cast<int32_t>(text.size()));
    if (Composer().isNormalizedUTF8(piece, error) && U_SUCCESS(error))
        return std::string(text);
    std::string composed;
    icu::StringByteSink<std::string> sink(&composed, static_cast<int32_t>(text.size()));
    error = U_ZERO_ERROR;
    Composer().normalizeUTF8(0, piece, sink, nullptr, error);
    return U_SUCCESS(error) ? composed : std::string(text);
}

void ComposeWord(std::string& word)
{
    word = ComposedText(word);
}

std::int32_t WordLength(std::string_view word)
{
    if (IsAsciiText(word))
        return static_cast<std::int32_t>(word.size());
    std::int32_t length = 0;
    for (std::size_t at = 0; at < word.size();) {
        const TBWWordChar& character = WordCharOf(NextCodePoint(word, at));
        if (character.wholeWord)
            return INT32_MAX;
        length += character.role != crMark;
    }
    return length;
}

char32_t CaseFolded(char32_t codePoint)
{
    if (codePoint < 0x80)
        return codePoint >= 'A' && codePoint <= 'Z' ? codePoint - 'A' + 'a' : codePoint;
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(codePoint), U_FOLD_CASE_DEFAULT));
}

char32_t LowerCased(char32_t codePoint)
{
    if (codePoint < 0x80)
        return codePoint >= 'A' && codePoint <= 'Z' ? codePoint - 'A' + 'a' : codePoint;
    return static_cast<char32_t>(u_tolower(static_cast<UChar32>(codePoint)));
}
