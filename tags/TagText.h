// Turns the texts stored in audio tags into the program's UTF-8 strings:
// Windows-1252 single bytes, UTF-16 in either byte order (with byte-order
// marks and surrogate pairs) and UTF-8 that is checked, with anything invalid
// replaced by U+FFFD. Used by every tag reader of the audio formats.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tags/u_binaryview.h"

enum class TTextEncoding : std::uint8_t {
    Windows1252,
    Utf16,    // the byte-order mark decides; little-endian without one
    Utf16BE,  // big-endian unless a byte-order mark says otherwise
    Utf8,
};

// Decodes bytes up to the first zero character. Where the bytes were cut off
// at a size limit, truncated drops a character left incomplete at the end
// instead of replacing it.
std::string DecodeText(TBinaryView bytes, TTextEncoding encoding, bool truncated = false);

// The position just past the first zero character: one zero byte, or for
// UTF-16 two zero bytes at an even offset. TBinaryView::npos without one.
std::int64_t TerminatorEnd(TBinaryView bytes, TTextEncoding encoding);

// Blanks and control characters (bytes up to 0x20) removed at the end; for
// both ends the readers use TrimBlanksAndControls of base/u_bwfunc.h.
std::string TrimRightBlanksAndControls(std::string_view text);

// The number of characters (code points) of a UTF-8 text.
std::int64_t Utf8Length(std::string_view text);

// A whole decimal number with an optional sign, or fallback when the text is
// anything else (blanks, other characters, more digits than fit).
std::int64_t DecimalOr(std::string_view text, std::int64_t fallback);
