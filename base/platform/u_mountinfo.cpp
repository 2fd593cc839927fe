#include "base/platform/u_mountinfo.h"

#include "base/platform/u_wholefile.h"
#include "base/u_bwfunc.h"

namespace {

std::vector<std::string_view> SplitAtBlanks(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(' ', at);
        if (start == std::string_view::npos)
            break;
        std::size_t end = line.find(' ', start);
        if (end == std::string_view::npos)
            end = line.size();
        fields.push_back(line.substr(start, end - start));
        at = end;
    }
    return fields;
}

bool IsOctalDigit(char c)
{
    return c >= '0' && c <= '7';
}

// The kernel writes a blank, tab, line feed and backslash in a path as a
// backslash and three octal digits.
std::string UnescapeOctal(std::string_view field)
{
    std::string result;
    result.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
            IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
            result += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                        (field[i + 3] - '0'));
            i += 3;
        } else {
            result += field[i];
        }
    }
    return result;
}

// Fields: id, parent id, major:minor, root, mount point, options, optional
// fields ended by "-", then file system type, source, super options.
bool ParseMountLine(std::string_view line, TMountEntry& entry)
{
    const std::vector<std::string_view> fields = SplitAtBlanks(line);
    std::size_t separator = 6;
    while (separator < fields.size() && fields[separator] != "-")
        ++separator;
    if (separator + 2 >= fields.size())
        return false;
    entry.majorMinor = std::string(fields[2]);
    entry.root = UnescapeOctal(fields[3]);
    entry.mountPoint = UnescapeOctal(fields[4]);
    entry.fsType = UnescapeOctal(fields[separator + 1]);
    entry.source = UnescapeOctal(fields[separator + 2]);
    return entry.mountPoint.starts_with('/');
}

}  // namespace

std::vector<TMountEntry> ParseMountInfo(std::string_view text)
{
    std::vector<TMountEntry> entries;
    for (std::string_view line : SplitLines(text)) {
        TMountEntry entry;
        if (ParseMountLine(line, entry))
            entries.push_back(std::move(entry));
    }
    return entries;
}

std::vector<TMountEntry> ReadMountInfo(const std::string& fileName)
{
    std::string text;
    if (!ReadWholeFile(fileName, text))
        return {};
    return ParseMountInfo(text);
}

bool PathIsWithin(const std::string& path, const std::string& folder)
{
    const TBWPathRelation relation = PathRelation(folder, path);
    return relation == prEqual || relation == prBInsideA;
}

const TMountEntry* MountOfPath(const std::vector<TMountEntry>& entries, const std::string& path)
{
    const TMountEntry* best = nullptr;
    for (const TMountEntry& entry : entries) {
        if (PathIsWithin(path, entry.mountPoint) && (!best || entry.mountPoint.size() >= best->mountPoint.size()))
            best = &entry;
    }
    return best;
}
