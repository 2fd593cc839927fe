// Bytes written as a marker and two hex digits: "%20" in the paths of the
// trash and the fields of the registry store, "\x20" in the names udev gives
// the volume label links.
#pragma once

#include <string>
#include <string_view>

#include "base/u_bwtoken.h"

// Bytes of the plain set stay as they are; every other byte becomes the
// marker and two upper-case hex digits.
std::string EncodeHexEscapes(std::string_view text, const TBWCharSet& plain, std::string_view marker);
// The marker and two hex digits become that byte; a marker not followed by
// two hex digits stays as it is.
std::string DecodeHexEscapes(std::string_view text, std::string_view marker);
