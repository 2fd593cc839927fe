#include "tags/TagText.h"

#include <gtest/gtest.h>

#include "tests/support/tag_bytes.h"

namespace {

struct TDecodeCase {
    const char* name;
    TBytes bytes;
    TTextEncoding encoding;
    bool truncated;
    std::string expected;
};

TEST(TagText, DecodesEveryTagEncodingToUtf8)
{
    const std::string bad = "\xEF\xBF\xBD";  // U+FFFD
    const TDecodeCase cases[] = {
        {"1252 accents", Bytes("caf\xE9"), TTextEncoding::Windows1252, false, "café"},
        {"1252 euro and quotes", {0x80, 0x93, 0x94}, TTextEncoding::Windows1252, false, "€“”"},
        {"1252 undefined byte keeps C1", {0x81}, TTextEncoding::Windows1252, false, "\xC2\x81"},
        {"1252 stops at zero", Bytes(std::string("ab\0cd", 5)), TTextEncoding::Windows1252, false, "ab"},
        {"UTF-16 without BOM is little-endian", {'A', 0, 'B', 0}, TTextEncoding::Utf16, false, "AB"},
        {"UTF-16 FF FE", {0xFF, 0xFE, 0xE9, 0x00}, TTextEncoding::Utf16, false, "é"},
        {"UTF-16 FE FF", {0xFE, 0xFF, 0x00, 0xE9}, TTextEncoding::Utf16, false, "é"},
        {"UTF-16 keeps y diaeresis", {0xFF, 0xFE, 0xFF, 0x00, 'a', 0}, TTextEncoding::Utf16, false, "ÿa"},
        {"UTF-16BE", {0x04, 0x1F, 0x00, 'x'}, TTextEncoding::Utf16BE, false, "Пx"},
        {"UTF-16BE honours a BOM", {0xFF, 0xFE, 'x', 0}, TTextEncoding::Utf16BE, false, "x"},
        {"surrogate pair", {0x34, 0xD8, 0x1E, 0xDD}, TTextEncoding::Utf16, false, "𝄞"},
        {"lone low surrogate", {0x1E, 0xDD, 'a', 0}, TTextEncoding::Utf16, false, bad + "a"},
        {"high surrogate before a letter", {0x34, 0xD8, 'a', 0}, TTextEncoding::Utf16, false, bad + "a"},
        {"cut surrogate pair", {'a', 0, 0x34, 0xD8}, TTextEncoding::Utf16, true, "a"},
        {"UTF-16 stops at a zero unit", {'a', 0, 0, 0, 'b', 0}, TTextEncoding::Utf16, false, "a"},
        {"UTF-8 valid", Bytes("Ünï 日本 🎵"), TTextEncoding::Utf8, false, "Ünï 日本 🎵"},
        {"UTF-8 overlong", {0xC0, 0x80, 'a'}, TTextEncoding::Utf8, false, bad + bad + "a"},
        {"UTF-8 surrogate", {0xED, 0xA0, 0x80}, TTextEncoding::Utf8, false, bad + bad + bad},
        {"UTF-8 above U+10FFFF", {0xF4, 0x90, 0x80, 0x80}, TTextEncoding::Utf8, false, bad + bad + bad + bad},
        {"UTF-8 Latin-1 byte", Bytes("caf\xE9!"), TTextEncoding::Utf8, false, "caf" + bad + "!"},
        {"UTF-8 incomplete at the end", {'a', 0xE2, 0x82}, TTextEncoding::Utf8, false, "a" + bad},
        {"UTF-8 cut at a size limit", {'a', 0xE2, 0x82}, TTextEncoding::Utf8, true, "a"},
    };
    for (const TDecodeCase& test : cases)
        EXPECT_EQ(DecodeText(TBinaryView(test.bytes), test.encoding, test.truncated), test.expected)
            << test.name;
}

TEST(TagText, TerminatorOfUtf16IsAnAlignedZeroPair)
{
    // 'A', U+0100 (bytes 00 01) and the terminator: the first two zero bytes
    // straddle two characters and end nothing.
    const TBytes wide = {0x41, 0x00, 0x00, 0x01, 0x00, 0x00, 'x', 0};
    EXPECT_EQ(TerminatorEnd(TBinaryView(wide), TTextEncoding::Utf16), 6);
    EXPECT_EQ(TerminatorEnd(TBinaryView(wide), TTextEncoding::Windows1252), 2);
    const TBytes none = {'a', 'b'};
    EXPECT_EQ(TerminatorEnd(TBinaryView(none), TTextEncoding::Utf8), TBinaryView::npos);
}

TEST(TagText, TrimsTrailingBlanksAndControlsAndCountsCharacters)
{
    EXPECT_EQ(TrimRightBlanksAndControls("  a  \x1F"), "  a");
    EXPECT_EQ(TrimRightBlanksAndControls(" \n "), "");
    EXPECT_EQ(Utf8Length("aé日🎵"), 4);
}

TEST(TagText, DecimalAcceptsOnlyWholeNumbers)
{
    const std::pair<const char*, std::int64_t> cases[] = {
        {"42", 42}, {"007", 7}, {"-3", -3}, {"+5", 5}, {"", -1}, {"3a", -1}, {" 3", -1},
        {"-", -1}, {"1234567890123456789", -1},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(DecimalOr(text, -1), expected) << text;
}

}  // namespace
