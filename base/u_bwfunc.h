// Text and path helpers shared by the whole program. Paths use "/" as the
// directory separator; a leading "/" counts as path part 0, the "drive".
// Path helpers never trim blanks: a file or folder name may end in one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/u_bwtoken.h"

constexpr char kPathDelimiter = '/';

std::string AppendCharIfMissing(const std::string& text, char character);
// Adds the directory separator unless the path is empty or already ends in it.
std::string AddTrailingBackslash(const std::string& path);
std::string StripTrailingBackslash(const std::string& path);

std::int32_t PathPartCount(const std::string& path);
std::string GetPathPart(const std::string& path, std::int32_t index);
std::string LastPathPart(const std::string& path);

enum TBWPathRelation : std::int32_t {
    prUnrelated = 0,
    prBInsideA = 1,  // b lies inside a
    prAInsideB = 2,  // a lies inside b
    prEqual = 3,
};
// Real paths: compared byte for byte, as the file system does.
TBWPathRelation PathRelation(const std::string& a, const std::string& b);
// The part of path below what it shares with base, appended to base. Parts
// are compared without regard to case; what is returned keeps its case.
std::string RebasePath(const std::string& path, const std::string& base);

std::string FileNameWithoutExt(const std::string& text);
std::string StripExtension(const std::string& text, bool fromLastDot);
std::string ExtensionUpper(const std::string& fileName);
// Creates every missing folder of the path; failures are left for whoever
// uses the folder to find out.
void CreateDirectoryPath(const std::string& path);

std::uint32_t SwapEndian32(std::uint32_t value);

enum TBWWhitespaceFlags : std::int32_t {
    wsRemoveCrLf = 1,
    wsTabsToBlanks = 2,
    wsSingleBlanks = 4,
    wsAll = 8,
};
// Without leading and trailing blanks and control characters (codes 0 to 32).
std::string TrimBlanksAndControls(const std::string& text);
std::string NormalizeWhitespace(const std::string& text, std::int32_t flags);
// Keeps the characters whose membership of the set differs from invert;
// others become replacement (or vanish when it is '\0'). Then single blanks
// and no leading or trailing control characters or blanks.
std::string RestrictChars(const std::string& text, const TBWCharSet& set, bool invert,
                          char replacement);

// Keeps the letters and digits of every script, with the marks that belong
// to them, and the ASCII characters of alsoKept; every other character
// becomes replacement (or vanishes when it is '\0'). Then single blanks,
// trimmed, as RestrictChars gives them.
std::string RestrictToLetters(std::string_view text, std::string_view alsoKept, char replacement);

// Weighted edit distance over the characters of two UTF-8 texts, letters
// and digits folded as words fold them (case, and the diacritics of Latin
// letters: "Beyoncé" is "BEYONCE"), other characters as they are.
std::int32_t EditDistance(std::string_view a, std::string_view b, std::int32_t substitutionCost,
                          std::int32_t insertionCost, std::int32_t deletionCost);
// The characters EditDistance compares, as code points.
void WordFoldCodePoints(std::string_view text, std::u32string& codePoints);
// Code points of a UTF-8 text (a byte that starts no valid sequence stands
// for itself), composed and case-folded one for one by Unicode's rules: how
// file-name patterns compare names without regard to case in every script.
std::u32string FoldedCodePoints(std::string_view text);
// The same into a buffer the caller reuses.
void FoldCodePoints(std::string_view text, std::u32string& codePoints);
// Whether EditDistance(a, b, 1, 1, 1) <= tolerance, without computing more
// of the table than the tolerance needs.
bool WithinEditDistance(std::string_view a, std::string_view b, std::int32_t tolerance);

// The pieces between ";": empty pieces between two ";" count, a ";" at the
// end adds none. The views point into text.
std::vector<std::string_view> CutAtSemicolons(std::string_view text);

std::string PluralCount(const std::string& word, std::int64_t number);
std::string IfThenStr(bool condition, const std::string& a, const std::string& b);
std::string JoinBracketed(const std::vector<std::string>& texts);
double SafeRatio(std::int64_t a, std::int64_t b, double defaultValue);
