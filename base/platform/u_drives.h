// The drives of the machine as the program shows them: "/" first, then the
// mounted volumes in the order of the mount table, each with its kind, label
// and device. The model root lists them, the disc request looks for an
// optical one, and the wizards read a volume's label. Listing reads only the
// mount table, the label links, sysfs and, for a medium the links do not
// name, the label's place on its device; it never looks inside a mounted
// file system, so a dead network mount cannot hang it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/platform/u_platformsources.h"

// Numbered as the drive types of the Windows API, which the rest of the
// program and its stored settings already use.
enum TBWDriveKind : std::int32_t {
    dkUnknown = 0,
    dkRemovable = 2,
    dkFixed = 3,
    dkRemote = 4,
    dkOptical = 5,
    dkRamDisk = 6,
};

struct TBWDrive {
    std::string root;    // the mount point with a trailing "/"; "/" for the root
    TBWDriveKind kind = dkFixed;
    std::string label;   // the volume label, empty when the volume has none
    std::string device;  // the mount source: "/dev/sdb1", "server:/export", ...

    bool operator==(const TBWDrive&) const = default;
};

// How the trees name a drive: its mount point, followed by the label in
// brackets when the volume has one ("/media/ann/STICK/ [STICK]").
std::string DriveCaption(const TBWDrive& drive);

// Pseudo file systems (proc, sysfs, cgroup, ...) and the system's own places
// (/proc, /sys, /dev, /run except /run/media, /boot, /snap, /var/lib) are
// left out; a point mounted twice is listed once, with the topmost mount.
// Kinds: network file systems are remote, tmpfs and ramfs RAM disks,
// iso9660, udf and /dev/sr* optical, a block device that sysfs marks
// removable removable, anything else fixed.
std::vector<TBWDrive> ListDrives(const TPlatformSources& sources);
// The drives the user is shown, as a file manager lists them: besides "/",
// the file system of the home folder when it is another one, and the
// volumes mounted under /media, /run/media and /mnt, devices and network
// shares mounted whole. RAM disks, bind mounts of subfolders and whatever
// lies elsewhere (a container's or a sandbox's own mounts) are left out.
std::vector<TBWDrive> ListUserDrives(const TPlatformSources& sources);

// The folder where the desktop mounts the user's media, with a trailing
// "/": the first media root holding a folder named after the user, else that
// folder under the first root, where it will appear.
std::string UserMediaFolder(const TPlatformSources& sources);
