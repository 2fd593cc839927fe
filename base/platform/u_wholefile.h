// Reading a file whole and replacing a file whole. Every file the program
// writes (profiles, lists, results, settings, the registry store) goes
// through ReplaceWholeFile, so a crash or a full disk never leaves half a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Reads the whole file, also one whose size the system does not know in
// advance (the files under /proc). False when it cannot be opened or read.
bool ReadWholeFile(const std::string& fileName, std::string& contents);

// Writes the contents to a temporary file beside fileName, flushes it to the
// disk and renames it over fileName. On failure the temporary file is removed,
// the old file is left as it was and the result is false.
bool ReplaceWholeFile(const std::string& fileName, std::string_view contents);

// The lines of a text cut at each line feed, without it; a last line without
// a line feed counts, an empty text has no lines.
std::vector<std::string_view> SplitLines(std::string_view text);
