#include "tags/TagText.h"

#include <array>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 (the Western code page of Windows) for the bytes 0x80 to 0x9F;
// the five bytes the code page leaves undefined keep their C1 code points,
// as Windows itself converts them. Every other byte is its own code point.
constexpr std::array<char32_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& text, char32_t code)
{
    auto put = [&text](std::uint32_t byte) { text.push_back(static_cast<char>(byte)); };
    if (code < 0x80) {
        put(code);
    } else if (code < 0x800) {
        put(0xC0 | (code >> 6));
        put(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        put(0xE0 | (code >> 12));
        put(0x80 | ((code >> 6) & 0x3F));
        put(0x80 | (code & 0x3F));
    } else {
        put(0xF0 | (code >> 18));
        put(0x80 | ((code >> 12) & 0x3F));
        put(0x80 | ((code >> 6) & 0x3F));
        put(0x80 | (code & 0x3F));
    }
}

std::string DecodeWindows1252(TBinaryView bytes)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(bytes.size()));
    for (const std::uint8_t byte : bytes) {
        if (byte == 0)
            break;
        AppendUtf8(text, byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte);
    }
    return text;
}

// The range the second byte of a UTF-8 sequence must lie in, by lead byte;
// narrower than 80..BF where the plain range would allow overlong forms,
// surrogates or code points above U+10FFFF.
struct TUtf8Lead {
    int length;  // 0: not a lead byte
    std::uint8_t low;
    std::uint8_t high;
};

TUtf8Lead Utf8Lead(std::uint8_t byte)
{
    if (byte >= 0xC2 && byte <= 0xDF)
        return {2, 0x80, 0xBF};
    if (byte == 0xE0)
        return {3, 0xA0, 0xBF};
    if (byte == 0xED)
        return {3, 0x80, 0x9F};
    if (byte >= 0xE1 && byte <= 0xEF)
        return {3, 0x80, 0xBF};
    if (byte == 0xF0)
        return {4, 0x90, 0xBF};
    if (byte >= 0xF1 && byte <= 0xF3)
        return {4, 0x80, 0xBF};
    if (byte == 0xF4)
        return {4, 0x80, 0x8F};
    return {0, 0, 0};
}

// Valid sequences are copied; each maximal invalid part becomes one U+FFFD.
std::string DecodeUtf8(TBinaryView bytes, bool truncated)
{
    std::string text;
    text.reserve(static_cast<std::size_t>(bytes.size()));
    std::int64_t at = 0;
    while (at < bytes.size() && bytes.u8(at) != 0) {
        const std::uint8_t lead = bytes.u8(at);
        if (lead < 0x80) {
            text.push_back(static_cast<char>(lead));
            ++at;
            continue;
        }
        const TUtf8Lead shape = Utf8Lead(lead);
        int valid = shape.length == 0 ? 0 : 1;
        while (valid > 0 && valid < shape.length && at + valid < bytes.size()) {
            const std::uint8_t next = bytes.u8(at + valid);
            const std::uint8_t low = valid == 1 ? shape.low : 0x80;
            const std::uint8_t high = valid == 1 ? shape.high : 0xBF;
            if (next < low || next > high)
                break;
            ++valid;
        }
        if (valid > 0 && valid == shape.length) {
            text.append(bytes.chars(at, valid));
            at += valid;
            continue;
        }
        if (truncated && at + valid == bytes.size())
            break;  // a character cut off at the size limit
        AppendUtf8(text, kReplacement);
        at += valid > 0 ? valid : 1;
    }
    return text;
}

std::string DecodeUtf16(TBinaryView bytes, bool bigEndian, bool truncated)
{
    std::int64_t at = 0;
    if (bytes.u16be(0) == 0xFEFF && bytes.size() >= 2) {
        bigEndian = true;
        at = 2;
    } else if (bytes.u16le(0) == 0xFEFF && bytes.size() >= 2) {
        bigEndian = false;
        at = 2;
    }
    auto unitAt = [&](std::int64_t position) -> char32_t {
        return bigEndian ? bytes.u16be(position) : bytes.u16le(position);
    };
    std::string text;
    text.reserve(static_cast<std::size_t>(bytes.size()));
    for (; at + 1 < bytes.size(); at += 2) {
        const char32_t unit = unitAt(at);
        if (unit == 0)
            break;
        if (unit < 0xD800 || unit > 0xDFFF) {
            AppendUtf8(text, unit);
            continue;
        }
        const bool hasNext = at + 3 < bytes.size();
        const char32_t next = hasNext ? unitAt(at + 2) : 0;
        if (unit <= 0xDBFF && next >= 0xDC00 && next <= 0xDFFF) {
            AppendUtf8(text, 0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00));
            at += 2;
        } else if (!(truncated && unit <= 0xDBFF && !hasNext)) {
            AppendUtf8(text, kReplacement);
        }
    }
    return text;
}

bool IsBlankOrControl(char character)
{
    return static_cast<unsigned char>(character) <= 0x20;
}

}  // namespace

std::string DecodeText(TBinaryView bytes, TTextEncoding encoding, bool truncated)
{
    switch (encoding) {
    case TTextEncoding::Windows1252:
        return DecodeWindows1252(bytes);
    case TTextEncoding::Utf16:
        return DecodeUtf16(bytes, false, truncated);
    case TTextEncoding::Utf16BE:
        return DecodeUtf16(bytes, true, truncated);
    case TTextEncoding::Utf8:
        return DecodeUtf8(bytes, truncated);
    }
    return {};
}

std::int64_t TerminatorEnd(TBinaryView bytes, TTextEncoding encoding)
{
    const bool wide = encoding == TTextEncoding::Utf16 || encoding == TTextEncoding::Utf16BE;
    const std::int64_t step = wide ? 2 : 1;
    for (std::int64_t at = 0; at + step <= bytes.size(); at += step) {
        if (bytes.u8(at) == 0 && (!wide || bytes.u8(at + 1) == 0))
            return at + step;
    }
    return TBinaryView::npos;
}

std::string TrimRightBlanksAndControls(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && IsBlankOrControl(text[end - 1]))
        --end;
    return std::string(text.substr(0, end));
}

std::int64_t Utf8Length(std::string_view text)
{
    std::int64_t count = 0;
    for (const char character : text)
        count += (static_cast<unsigned char>(character) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

std::int64_t DecimalOr(std::string_view text, std::int64_t fallback)
{
    constexpr std::size_t kMaxDigits = 18;  // always fits in 64 bits
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    if (text.empty() || text.size() > kMaxDigits)
        return fallback;
    std::int64_t value = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9')
            return fallback;
        value = value * 10 + (digit - '0');
    }
    return negative ? -value : value;
}
