// Where the platform layer reads the state of the system from: the mount
// table, the volume labels and the block devices. Tests point these at
// fixtures in a temporary folder (and HOME and the XDG variables through the
// environment); the program keeps the defaults.
#pragma once

#include <string>

struct TPlatformSources {
    std::string mountInfoFile = "/proc/self/mountinfo";
    std::string labelFolder = "/dev/disk/by-label";
    // Entries named "major:minor", each a link into the device tree of sysfs.
    std::string blockDeviceFolder = "/sys/dev/block";
};

TPlatformSources& PlatformSources();
