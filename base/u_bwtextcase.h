// Letter case of names and keys that the program compares without regard to
// case: profile names, directory-role keys and exclusion patterns are kept
// lower-case. Only A to Z change, so UTF-8 bytes pass through untouched.
#pragma once

#include <string>
#include <string_view>

std::string LowerCaseAscii(std::string_view text);
// Whether the texts are equal when A to Z count as a to z.
bool SameTextAscii(std::string_view a, std::string_view b);
