#include "model/u_digesttype.h"

#include <string_view>

std::string DigestHexOf(const TBWDigest& digest)
{
    // Made for every file of a scan by content: no formatting call per byte.
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string hex(2 * digest.size(), '0');
    for (std::size_t i = 0; i < digest.size(); ++i) {
        hex[2 * i] = kDigits[digest[i] >> 4];
        hex[2 * i + 1] = kDigits[digest[i] & 0xf];
    }
    return hex;
}
