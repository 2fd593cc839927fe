#pragma once
// The content digest of a file (MD5 of a window of its bytes) as a value:
// what a file entry keeps and the digest computations give, without either
// needing the other.
#include <array>
#include <cstdint>
#include <string>

using TBWDigest = std::array<std::uint8_t, 16>;
// 32 lower-case hexadecimal digits.
std::string DigestHexOf(const TBWDigest& digest);
