// Where the platform layer reads the state of the system from: the mount
// table, the volume labels, the block devices, the media folders and the
// device nodes. Tests point these at
// fixtures in a temporary folder (and HOME and the XDG variables through the
// environment); the program keeps the defaults.
#pragma once

#include <string>
#include <vector>

struct TPlatformSources {
    std::string mountInfoFile = "/proc/self/mountinfo";
    std::string labelFolder = "/dev/disk/by-label";
    // Entries named "major:minor", each a link into the device tree of sysfs.
    std::string blockDeviceFolder = "/sys/dev/block";
    // Where the desktop mounts removable media, one folder per user:
    // /media on Debian and its kin, /run/media where udisks2 is set so.
    std::vector<std::string> mediaRoots = {"/media", "/run/media"};
    // Where the device nodes named in the mount table lie ("/dev/sr0").
    std::string deviceFolder = "/dev";
};

TPlatformSources& PlatformSources();
