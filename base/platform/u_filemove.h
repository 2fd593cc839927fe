// Putting a file under a new name without ever replacing one that is
// there: the move of the results window (a rename within a file system, a
// copy placed as a temporary file across them), numbered free names, and
// the copies of damaged profiles set aside.
#pragma once

#include <functional>
#include <string>

#include "base/platform/u_renamenoreplace.h"

// Moves the file from to to, never replacing a file at to. Within a file
// system it is a rename; across file systems the file is copied to a new
// file at to (complete and on the disk before it gets the name, keeping
// from's permission bits and modification time), and from is removed only
// once the new name is on the disk too. On failure reason says why and from
// is where it was.
bool MoveNoReplace(const std::string& from, const std::string& to, std::string& reason,
                   const TRenameCalls& calls = SystemRenameCalls());

// Moves a damaged file out of the program's way without destroying it:
// renamed to path + ".bad", or ".bad2", ".bad3", ... when that is taken, so
// an older copy is never replaced. Gives the new path; empty when it could
// not be renamed (errno says why).
std::string SetAsideFile(const std::string& path, const TRenameCalls& calls = SystemRenameCalls());

// The text MoveNoReplace and the renames give when the new name is taken.
extern const char* const kNameTakenReason;

// The name a file manager gives a copy whose name is taken: the name, then
// "stem (2).ext", "stem (3).ext", ... for number 1, 2, 3 ...
std::string NumberedName(const std::string& name, int number);

// Puts a file into folder (ending in "/") under name, or under the first
// numbered name that is free when name is taken: place is tried with each
// full path in turn, and answers as a no-replace rename does. Never gives
// up on a taken name before many thousands were tried. The outcome of the
// last try; path is the full path the file got.
TRenameOutcome PlaceUnderFreeName(const std::string& folder, const std::string& name,
                                  const std::function<TRenameOutcome(const std::string& path)>& place,
                                  std::string& path);

// Gives the file's owner the right to write it, its other bits kept: a copy
// of a file from a disc, whose files are read-only, stays the user's to change.
void LetOwnerWrite(const std::string& path);
