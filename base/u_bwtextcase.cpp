#include "base/u_bwtextcase.h"

#include <algorithm>

#include "base/u_bwfunc.h"
#include "base/u_bwunicode.h"

namespace {

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string LowerCaseAscii(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
    return lower;
}

bool SameTextAscii(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

std::string LowerCaseText(std::string_view text)
{
    if (IsAsciiText(text))
        return LowerCaseAscii(text);
    std::string lower;
    lower.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const char32_t codePoint = NextCodePoint(text, at);
        if (at - start == 1 && codePoint >= 0x80)
            lower += text[start];
        else
            AppendUtf8(lower, LowerCased(codePoint));
    }
    return lower;
}

bool SameTextNoCase(std::string_view a, std::string_view b)
{
    if (IsAsciiText(a) && IsAsciiText(b))
        return SameTextAscii(a, b);
    return FoldedCodePoints(a) == FoldedCodePoints(b);
}
