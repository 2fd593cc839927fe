// Moving files to the user's trash as the freedesktop.org trash convention
// has it, so the desktop's trash can show and restore them. Behind
// RecycleFile; the results window deletes duplicates through it.
#pragma once

#include <string>

#include "base/platform/u_platformsources.h"

// Moves one file or folder into the trash of its volume: the home trash
// ($XDG_DATA_HOME/Trash) when the file lies on the same mount as the data
// home, else the volume's ".Trash/$uid" (only when ".Trash" is a real folder
// with the sticky bit) or ".Trash-$uid"; a volume's trash is used only when
// it and its "files" and "info" are real folders of the user with mode 0700.
// The ".trashinfo" record is claimed with an exclusive create before the
// file moves; a name taken in the trash gets ".2", ".3", ... before its
// extension, and a name too long for its record is shortened there (the
// record keeps the full original path). The file is renamed, never
// copied, so a failure leaves it where it was and never deletes it. On
// failure reason says why.
bool MoveToTrash(const std::string& path, const TPlatformSources& sources, std::string& reason);
