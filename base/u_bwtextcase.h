// Letter case of names and keys that the program compares without regard to
// case. Keys and extensions are ASCII: only A to Z change, and UTF-8 bytes
// pass through untouched. Names the user gives (profile names, exclusion
// patterns) are of every script.
#pragma once

#include <string>
#include <string_view>

std::string LowerCaseAscii(std::string_view text);
// The text wholly lower-cased, letters of every script; a byte that starts
// no valid UTF-8 sequence stays as it is.
std::string LowerCaseText(std::string_view text);
// Whether the texts are equal when A to Z count as a to z.
bool SameTextAscii(std::string_view a, std::string_view b);

// Whether the texts are equal when letters of every script are compared
// without regard to case (and in their composed form).
bool SameTextNoCase(std::string_view a, std::string_view b);
