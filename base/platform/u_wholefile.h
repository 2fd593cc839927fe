// Reading a file whole and replacing a file whole. Every file the program
// writes (profiles, lists, results, settings, the registry store) goes
// through ReplaceWholeFile, so a crash or a full disk never leaves half a file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/platform/u_renamenoreplace.h"

// The most a file the program reads whole may hold. Far above what any
// profile, list or result file of a real collection holds, and far below
// what would exhaust the memory.
inline constexpr std::int64_t kWholeFileLimit = std::int64_t{256} << 20;

// Reads the whole of a regular file of at most limit bytes, also one whose
// size the system does not know in advance (the files under /proc). It is
// opened without waiting, so a FIFO, a device or a socket put where a
// stored file belongs is refused at once instead of hanging the program
// (a FIFO) or filling the memory (/dev/zero). False when the file cannot be
// opened or read, is no regular file or is larger than limit; reason then
// says why, in words for a message that names the file.
bool ReadWholeFile(const std::string& fileName, std::string& contents, std::string& reason,
                   std::int64_t limit = kWholeFileLimit);
// The same without the words: on failure errno says why (EISDIR for a
// folder, ENOTSUP for anything else that is no regular file, EFBIG above
// the limit).
bool ReadWholeFile(const std::string& fileName, std::string& contents);

// Writes the contents to a temporary file beside fileName (TTemporaryFile),
// flushes it to the disk and renames it over fileName. A file replaced keeps its permission
// bits; a symbolic link is written through to its target and stays a link.
// A file whose permission bits do not let the user write it is not replaced,
// also when the user is root. On failure the temporary file is removed, the
// old file is left as it was and the result is false.
bool ReplaceWholeFile(const std::string& fileName, std::string_view contents);

// Copies the file source over target the same way: through a temporary file
// beside target, renamed over it only once every byte is on the disk, so a
// failed copy leaves target as it was. The copy keeps source's modification
// time but not its permissions: files copied from a disc, whose files are
// read-only, stay the user's to change. On failure reason says why.
bool CopyWholeFile(const std::string& source, const std::string& target, std::string& reason);

// Copies source to a new file target, never replacing one there (the
// cross-file-system half of a move): complete and on the disk before it
// gets the name, with source's permission bits and modification time. On
// failure reason says why, unless the name was taken.
TRenameOutcome CopyWholeFileAsNew(const std::string& source, const std::string& target, std::string& reason,
                                  const TRenameCalls& calls = SystemRenameCalls());

// Whether nothing is at path any more, not even a dangling link: the file
// was removed or renamed since it was listed.
bool FileVanished(const std::string& path);

// The lines of a text cut at each line feed, without it; a last line without
// a line feed counts, an empty text has no lines.
std::vector<std::string_view> SplitLines(std::string_view text);
