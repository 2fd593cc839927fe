#include "base/u_bwfunc.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <limits>

#include "base/u_bwtextcase.h"
#include "base/u_bwunicode.h"

namespace {

// The parts of a path: a leading separator is part 0, then the names
// between separators (runs of separators make no empty part).
std::vector<std::string> SplitPath(const std::string& path)
{
    std::vector<std::string> parts;
    if (!path.empty() && path.front() == kPathDelimiter)
        parts.emplace_back(1, kPathDelimiter);
    TBWToken tokens;
    tokens.delimiters = CharSetOf(std::string(1, kPathDelimiter));
    tokens.SetText(path);
    for (std::string part = tokens.First(); !part.empty(); part = tokens.Next())
        parts.push_back(std::move(part));
    return parts;
}

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

std::string ReplaceAll(std::string text, std::string_view from, std::string_view to)
{
    std::string result;
    result.reserve(text.size());
    std::size_t at = 0;
    for (std::size_t hit; (hit = text.find(from, at)) != std::string::npos; at = hit + from.size())
        result.append(text, at, hit - at).append(to);
    result.append(text, at);
    return result;
}

// Unit-cost edit distance limited to the diagonal band |i - j| <= tolerance,
// stopping as soon as a whole row exceeds it. Cells outside the band can only
// hold values above the tolerance, so the decision equals the full table's.
bool WithinBandedDistance(std::string_view a, std::string_view b, std::int32_t tolerance)
{
    const std::int32_t n = static_cast<std::int32_t>(a.size());
    const std::int32_t m = static_cast<std::int32_t>(b.size());
    if (std::abs(n - m) > tolerance)
        return false;
    const std::int32_t beyond = tolerance + 1;
    // Words are short: two rows on the stack, the heap only for long texts.
    constexpr std::int32_t kStackRow = 64;
    std::int32_t stackRows[2][kStackRow];
    std::vector<std::int32_t> heapRows;
    std::int32_t* previous = stackRows[0];
    std::int32_t* current = stackRows[1];
    if (m + 1 > kStackRow) {
        heapRows.resize(2 * (static_cast<std::size_t>(m) + 1));
        previous = heapRows.data();
        current = previous + m + 1;
    }
    std::fill(previous, previous + m + 1, beyond);
    std::fill(current, current + m + 1, beyond);
    for (std::int32_t j = 0; j <= std::min(m, tolerance); ++j)
        previous[j] = j;
    for (std::int32_t i = 1; i <= n; ++i) {
        const std::int32_t from = std::max(1, i - tolerance), to = std::min(m, i + tolerance);
        // Cells this row reads outside its band must read as beyond; the
        // right edge never held a value, the left one may hold a stale one.
        current[from - 1] = from == 1 && i <= tolerance ? i : beyond;
        std::int32_t rowMinimum = current[from - 1];
        for (std::int32_t j = from; j <= to; ++j) {
            const std::int32_t step = AsciiUpper(a[i - 1]) == AsciiUpper(b[j - 1]) ? 0 : 1;
            const std::int32_t cell = std::min({previous[j - 1] + step, current[j - 1] + 1,
                                                previous[j] + 1, beyond});
            current[j] = cell;
            rowMinimum = std::min(rowMinimum, cell);
        }
        if (rowMinimum > tolerance)
            return false;
        std::swap(previous, current);
    }
    return previous[m] <= tolerance;
}

// The distance is that of what lies between the common start and end, and
// for one edit that is at most one character on each side.
bool WithinAsciiDistance(std::string_view a, std::string_view b, std::int32_t tolerance)
{
    if (std::abs(static_cast<std::int64_t>(a.size()) - static_cast<std::int64_t>(b.size())) > tolerance)
        return false;
    auto same = [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); };
    while (!a.empty() && !b.empty() && same(a.front(), b.front())) {
        a.remove_prefix(1);
        b.remove_prefix(1);
    }
    while (!a.empty() && !b.empty() && same(a.back(), b.back())) {
        a.remove_suffix(1);
        b.remove_suffix(1);
    }
    if (a.empty() || b.empty())
        return static_cast<std::int64_t>(std::max(a.size(), b.size())) <= tolerance;
    if (tolerance == 1)
        return a.size() == 1 && b.size() == 1;
    return WithinBandedDistance(a, b, tolerance);
}

bool IsBlankOrControl(char c)
{
    return static_cast<unsigned char>(c) <= 32;
}

}  // namespace

std::string TrimBlanksAndControls(const std::string& text)
{
    std::size_t first = 0, last = text.size();
    while (first < last && IsBlankOrControl(text[first]))
        ++first;
    while (last > first && IsBlankOrControl(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}

void FoldCodePoints(std::string_view text, std::u32string& codePoints)
{
    codePoints.clear();
    codePoints.reserve(text.size());
    if (IsAsciiText(text)) {
        for (char c : text)
            codePoints.push_back(CaseFolded(static_cast<unsigned char>(c)));
        return;
    }
    // Composed first, so that a name written with combining accents (as
    // some systems store names) meets a pattern typed with composed ones.
    const std::string composed = ComposedText(text);
    for (std::size_t at = 0; at < composed.size();)
        codePoints.push_back(CaseFolded(NextCodePoint(composed, at)));
}

void WordFoldCodePoints(std::string_view text, std::u32string& codePoints)
{
    codePoints.clear();
    codePoints.reserve(text.size());
    std::string word;
    bool composes = false;
    auto endWord = [&] {
        if (composes)
            ComposeWord(word);
        for (std::size_t at = 0; at < word.size();)
            codePoints.push_back(NextCodePoint(word, at));
        word.clear();
        composes = false;
    };
    WalkWordChars(
        text,
        [&](std::string_view folded, bool needsComposing) {
            word.append(folded);
            composes = composes || needsComposing;
        },
        [&](char32_t other) {
            endWord();
            codePoints.push_back(other);
        });
    endWord();
}

std::u32string FoldedCodePoints(std::string_view text)
{
    std::u32string codePoints;
    FoldCodePoints(text, codePoints);
    return codePoints;
}

std::string AppendCharIfMissing(const std::string& text, char character)
{
    if (text.empty() || text.back() == character)
        return text;
    return TrimBlanksAndControls(text) + character;
}

std::string AddTrailingBackslash(const std::string& path)
{
    if (path.empty() || path.back() == kPathDelimiter)
        return path;
    return path + kPathDelimiter;
}

std::string StripTrailingBackslash(const std::string& path)
{
    if (!path.empty() && path.back() == kPathDelimiter)
        return path.substr(0, path.size() - 1);
    return path;
}

std::int32_t PathPartCount(const std::string& path)
{
    return static_cast<std::int32_t>(SplitPath(path).size());
}

std::string GetPathPart(const std::string& path, std::int32_t index)
{
    const std::vector<std::string> parts = SplitPath(path);
    if (index < 0 || index >= static_cast<std::int32_t>(parts.size()))
        return {};
    return parts[static_cast<std::size_t>(index)];
}

std::string LastPathPart(const std::string& path)
{
    if (path == std::string(1, kPathDelimiter))
        return path;
    const std::string stripped = StripTrailingBackslash(path);
    const std::size_t slash = stripped.rfind(kPathDelimiter);
    return slash == std::string::npos ? stripped : stripped.substr(slash + 1);
}

TBWPathRelation PathRelation(const std::string& a, const std::string& b)
{
    const std::string x = AddTrailingBackslash(a), y = AddTrailingBackslash(b);
    if (x == y)
        return prEqual;
    if (x.size() > y.size() && x.starts_with(y))
        return prAInsideB;
    if (y.size() > x.size() && y.starts_with(x))
        return prBInsideA;
    return prUnrelated;
}

std::string RebasePath(const std::string& path, const std::string& base)
{
    const std::vector<std::string> pathParts = SplitPath(path), baseParts = SplitPath(base);
    std::string result = AddTrailingBackslash(base);
    std::size_t i = 1;
    while (i < pathParts.size() && i < baseParts.size() &&
           SameTextAscii(pathParts[i], baseParts[i]))
        ++i;
    for (; i < pathParts.size(); ++i)
        result += pathParts[i] + kPathDelimiter;
    return result;
}

std::string FileNameWithoutExt(const std::string& text)
{
    std::string name = text;
    const std::size_t slash = name.rfind(kPathDelimiter);
    if (slash != std::string::npos)
        name.erase(0, slash + 1);
    return StripExtension(name, true);
}

std::string StripExtension(const std::string& text, bool fromLastDot)
{
    const std::size_t dot = fromLastDot ? text.rfind('.') : text.find('.');
    return dot == std::string::npos ? text : text.substr(0, dot);
}

std::string ExtensionUpper(const std::string& fileName)
{
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || fileName.find(kPathDelimiter, dot) != std::string::npos)
        return {};
    std::string extension = fileName.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(), AsciiUpper);
    return extension;
}

void CreateDirectoryPath(const std::string& path)
{
    for (std::size_t i = 0; i < path.size(); ++i)
        if (path[i] == kPathDelimiter || i + 1 == path.size())
            ::mkdir(path.substr(0, i + 1).c_str(), 0777);
}

std::uint32_t SwapEndian32(std::uint32_t value)
{
    return ((value & 0xFFu) << 24) | ((value & 0xFF00u) << 8) | ((value >> 8) & 0xFF00u) |
           (value >> 24);
}

std::string NormalizeWhitespace(const std::string& text, std::int32_t flags)
{
    const bool all = flags & wsAll;
    std::string result = text;
    if (all || (flags & wsRemoveCrLf))
        result = ReplaceAll(std::move(result), "\r\n", "");
    if (all || (flags & wsTabsToBlanks))
        std::replace(result.begin(), result.end(), '\t', ' ');
    if (all || (flags & wsSingleBlanks)) {
        auto doubled = [](char x, char y) { return x == ' ' && y == ' '; };
        result.erase(std::unique(result.begin(), result.end(), doubled), result.end());
    }
    return result;
}

std::string RestrictChars(const std::string& text, const TBWCharSet& set, bool invert,
                          char replacement)
{
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        if (set.test(static_cast<unsigned char>(c)) != invert)
            result += c;
        else if (replacement != '\0')
            result += replacement;
    }
    return TrimBlanksAndControls(NormalizeWhitespace(result, wsSingleBlanks));
}

std::string RestrictToLetters(std::string_view text, std::string_view alsoKept, char replacement)
{
    std::string result;
    result.reserve(text.size());
    bool afterLetter = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const char32_t codePoint = NextCodePoint(text, at);
        const bool valid = codePoint < 0x80 || at - start > 1;
        const TBWCharRole role = valid ? WordCharOf(codePoint).role : crBlank;
        const bool kept = (codePoint < 0x80 && alsoKept.find(static_cast<char>(codePoint)) != std::string_view::npos) ||
                          role == crLetter || (role == crMark && afterLetter);
        afterLetter = kept && role != crBlank;
        if (kept)
            result.append(text.substr(start, at - start));
        else if (replacement != '\0')
            result += replacement;
    }
    return TrimBlanksAndControls(NormalizeWhitespace(result, wsSingleBlanks));
}

std::int32_t EditDistance(std::string_view a, std::string_view b, std::int32_t substitutionCost,
                          std::int32_t insertionCost, std::int32_t deletionCost)
{
    std::u32string x, y;
    WordFoldCodePoints(a, x);
    WordFoldCodePoints(b, y);
    // Two rows of the (|a|+1) x (|b|+1) table are all the recurrence needs.
    std::vector<std::int32_t> previous(y.size() + 1), current(y.size() + 1);
    for (std::size_t j = 1; j <= y.size(); ++j)
        previous[j] = previous[j - 1] + insertionCost;
    for (std::size_t i = 1; i <= x.size(); ++i) {
        current[0] = previous[0] + deletionCost;
        for (std::size_t j = 1; j <= y.size(); ++j) {
            const std::int32_t step = x[i - 1] == y[j - 1] ? 0 : substitutionCost;
            current[j] = std::min({previous[j - 1] + step, current[j - 1] + insertionCost,
                                   previous[j] + deletionCost});
        }
        std::swap(previous, current);
    }
    return previous[y.size()];
}

bool WithinEditDistance(std::string_view a, std::string_view b, std::int32_t tolerance)
{
    if (tolerance < 0)
        return false;
    if (a == b)
        return true;
    if (IsAsciiText(a) && IsAsciiText(b))
        return WithinAsciiDistance(a, b, tolerance);
    return EditDistance(a, b, 1, 1, 1) <= tolerance;
}

std::vector<std::string_view> CutAtSemicolons(std::string_view text)
{
    std::vector<std::string_view> pieces;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        pieces.push_back(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return pieces;
}

std::string PluralCount(const std::string& word, std::int64_t number)
{
    return std::to_string(number) + ' ' + word + (number > 1 ? "s" : "");
}

std::string IfThenStr(bool condition, const std::string& a, const std::string& b)
{
    return condition ? a : b;
}

std::string JoinBracketed(const std::vector<std::string>& texts)
{
    std::string result = "[";
    for (std::size_t i = 0; i < texts.size(); ++i)
        result += (i ? "," : "") + texts[i];
    return result + "]";
}

double SafeRatio(std::int64_t a, std::int64_t b, double defaultValue)
{
    return b == 0 ? defaultValue : static_cast<double>(a) / static_cast<double>(b);
}
