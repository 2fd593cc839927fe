#pragma once
// The relevance of a duplicate to its reference as the user sees it: the
// results window's "%" column and the selection wizard's relevance test
// start from the same number.
#include <cstdint>

class TBWFile;

// The relevance of a file to its reference as the user sees it: all words
// as one field, with the profile's similar-word tolerance, in percent.
double Relevance(const TBWFile& file, const TBWFile& reference, std::int32_t tolerance);
// The whole percent the selection wizard tests: truncated, so 89.9 is not
// taken for 90, but not a percent lower for floating-point dust
// (0.58 * 100 = 57.999...).
std::int32_t RelevancePercent(double relevance);
// The whole percent the "%" column shows: rounded, as any figure shown
// without decimals is read (two words of three show 67 %, not 66 %).
std::int32_t ShownRelevancePercent(double relevance);
