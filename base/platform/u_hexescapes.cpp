#include "base/platform/u_hexescapes.h"

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string EncodeHexEscapes(std::string_view text, const TBWCharSet& plain, std::string_view marker)
{
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (plain.test(byte))
            result += c;
        else
            result.append(marker).append({kHexDigits[byte >> 4], kHexDigits[byte & 0x0F]});
    }
    return result;
}

std::string DecodeHexEscapes(std::string_view text, std::string_view marker)
{
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::size_t digits = i + marker.size();
        const bool escaped = text.substr(i).starts_with(marker) && digits + 1 < text.size() &&
                             HexValue(text[digits]) >= 0 && HexValue(text[digits + 1]) >= 0;
        if (escaped) {
            result += static_cast<char>(HexValue(text[digits]) * 16 + HexValue(text[digits + 1]));
            i = digits + 1;
        } else {
            result += text[i];
        }
    }
    return result;
}
