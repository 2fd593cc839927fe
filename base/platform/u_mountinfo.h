// The mount table of the process as the kernel lists it in
// /proc/self/mountinfo. The drive list and the trash read it; reading it
// never touches the mounted file systems, so a dead network mount cannot
// hang the caller.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct TMountEntry {
    std::string majorMinor;  // the device as "major:minor"
    std::string root;        // the folder of the file system mounted here: "/" unless a bind mount of a subfolder
    std::string mountPoint;
    std::string fsType;
    std::string source;      // "/dev/sdb1", "server:/export", "tmpfs", ...
};

// One entry per well-formed line, in the kernel's order (later mounts over
// the same point come later); the octal escapes of the kernel ("\040" for a
// blank) are undone. Malformed lines are skipped.
std::vector<TMountEntry> ParseMountInfo(std::string_view text);
// The parsed table of the file; empty when it cannot be read.
std::vector<TMountEntry> ReadMountInfo(const std::string& fileName);

// Whether the path is the folder or lies below it.
bool PathIsWithin(const std::string& path, const std::string& folder);

// The entry whose mount point holds the absolute, resolved path: the longest
// mount point that is the path or one of its ancestors, the later entry on a
// tie. Null when none does (a table without "/").
const TMountEntry* MountOfPath(const std::vector<TMountEntry>& entries, const std::string& path);
