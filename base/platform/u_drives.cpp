#include "base/platform/u_drives.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string_view>

#include "base/platform/u_hexescapes.h"
#include "base/platform/u_mountinfo.h"
#include "base/platform/u_volumelabel.h"
#include "base/platform/u_wholefile.h"
#include "base/platform/u_xdgdirs.h"
#include "base/u_bwfunc.h"

namespace {

bool IsOneOf(std::string_view text, std::initializer_list<std::string_view> candidates)
{
    return std::find(candidates.begin(), candidates.end(), text) != candidates.end();
}

bool IsPseudoFileSystem(const std::string& fsType)
{
    return IsOneOf(fsType, {"proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2",
                            "securityfs", "pstore", "bpf", "debugfs", "tracefs", "configfs",
                            "fusectl", "mqueue", "hugetlbfs", "autofs", "binfmt_misc",
                            "efivarfs", "rpc_pipefs", "nsfs", "selinuxfs", "nfsd",
                            "fuse.gvfsd-fuse", "fuse.portal", "fuse.lxcfs"});
}

bool IsSystemPlace(const std::string& mountPoint)
{
    if (PathIsWithin(mountPoint, "/run"))
        return !PathIsWithin(mountPoint, "/run/media");
    for (const char* place : {"/proc", "/sys", "/dev", "/boot", "/snap", "/var/lib"})
        if (PathIsWithin(mountPoint, place))
            return true;
    return false;
}

// Where the desktop and the user mount volumes; mounts elsewhere are the
// system's (containers, sandboxes, services) unless they hold the home folder.
bool IsUserPlace(const std::string& mountPoint)
{
    for (const char* place : {"/media", "/run/media", "/mnt"})
        if (PathIsWithin(mountPoint, place))
            return true;
    return false;
}

bool IsRemoteFileSystem(const TMountEntry& entry)
{
    return IsOneOf(entry.fsType, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs",
                                  "ceph", "9p", "davfs", "fuse.sshfs", "fuse.rclone",
                                  "fuse.glusterfs"}) ||
           entry.source.starts_with("//");
}

// A partition has no "removable" attribute of its own; its disk, the parent
// folder in sysfs, has. The kernel resolves ".." after following the link.
bool IsRemovableDevice(const std::string& blockDeviceFolder, const std::string& majorMinor)
{
    const std::string device = blockDeviceFolder + "/" + majorMinor;
    std::string flag;
    if (!ReadWholeFile(device + "/removable", flag) && !ReadWholeFile(device + "/../removable", flag))
        return false;
    return flag.starts_with('1');
}

TBWDriveKind DriveKindOf(const TMountEntry& entry, const TPlatformSources& sources)
{
    if (IsRemoteFileSystem(entry))
        return dkRemote;
    if (IsOneOf(entry.fsType, {"tmpfs", "ramfs"}))
        return dkRamDisk;
    if (IsOneOf(entry.fsType, {"iso9660", "udf"}) || entry.source.starts_with("/dev/sr"))
        return dkOptical;
    if (IsRemovableDevice(sources.blockDeviceFolder, entry.majorMinor))
        return dkRemovable;
    return dkFixed;
}

// The kernel's name of a device node ("dm-0" for "/dev/mapper/vg-root"), to
// match the targets of the label links.
std::string KernelDeviceName(const std::string& source)
{
    if (!source.starts_with("/dev/"))
        return {};
    char resolved[PATH_MAX];
    return LastPathPart(::realpath(source.c_str(), resolved) ? std::string(resolved) : source);
}

// Kernel device name -> label, from the links of the label folder.
std::map<std::string, std::string> ReadVolumeLabels(const std::string& labelFolder)
{
    std::map<std::string, std::string> labels;
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(::opendir(labelFolder.c_str()), ::closedir);
    if (!folder)
        return labels;
    while (const dirent* entry = ::readdir(folder.get())) {
        const std::string name = entry->d_name;
        if (name.starts_with('.'))
            continue;
        char target[PATH_MAX];
        const ssize_t length =
            ::readlink((labelFolder + "/" + name).c_str(), target, sizeof target - 1);
        // udev writes the bytes of a label that are unsafe in a file name as
        // "\x" and two hex digits ("My\x20Disc").
        if (length > 0)
            labels[LastPathPart(std::string(target, static_cast<std::size_t>(length)))] =
                DecodeHexEscapes(name, "\\x");
    }
    return labels;
}

// A device or a network share mounted whole; not a bind mount of a
// subfolder, a RAM disk or a pseudo file system.
bool IsVolume(const TMountEntry& entry)
{
    return entry.root == "/" && !IsPseudoFileSystem(entry.fsType)
           && (entry.source.starts_with("/dev/") || IsRemoteFileSystem(entry));
}

TBWDrive DriveOf(const TMountEntry& entry, const TPlatformSources& sources,
                 const std::map<std::string, std::string>& labels)
{
    TBWDrive drive;
    drive.root = AddTrailingBackslash(entry.mountPoint);
    drive.kind = DriveKindOf(entry, sources);
    drive.device = entry.source;
    const auto label = labels.find(KernelDeviceName(entry.source));
    if (label != labels.end())
        drive.label = label->second;
    else if ((drive.kind == dkOptical || drive.kind == dkRemovable) && entry.source.starts_with("/dev/"))
        // Without udev's links the medium says its label itself; only
        // media are read, never a fixed disk that may sleep.
        drive.label = ReadVolumeLabel(sources.deviceFolder + entry.source.substr(4), entry.fsType);
    return drive;
}

// "/" and the mounts besides it that listed takes, a point mounted twice
// once with its topmost mount.
std::vector<TBWDrive> DrivesOf(const std::vector<TMountEntry>& entries, const TPlatformSources& sources,
                               const std::function<bool(const TMountEntry&)>& listed)
{
    const std::map<std::string, std::string> labels = ReadVolumeLabels(sources.labelFolder);
    std::vector<TBWDrive> drives{TBWDrive{"/", dkFixed, "", ""}};
    for (const TMountEntry& entry : entries) {
        if (entry.mountPoint != "/" && !listed(entry))
            continue;
        TBWDrive drive = DriveOf(entry, sources, labels);
        const auto listed = std::find_if(drives.begin(), drives.end(),
                                         [&](const TBWDrive& d) { return d.root == drive.root; });
        if (listed != drives.end())
            *listed = std::move(drive);
        else
            drives.push_back(std::move(drive));
    }
    return drives;
}

}  // namespace

std::string DriveCaption(const TBWDrive& drive)
{
    return drive.label.empty() ? drive.root : drive.root + " [" + drive.label + "]";
}

std::vector<TBWDrive> ListDrives(const TPlatformSources& sources)
{
    return DrivesOf(ReadMountInfo(sources.mountInfoFile), sources, [](const TMountEntry& entry) {
        return !IsPseudoFileSystem(entry.fsType) && !IsSystemPlace(entry.mountPoint);
    });
}

std::vector<TBWDrive> ListUserDrives(const TPlatformSources& sources)
{
    const std::vector<TMountEntry> entries = ReadMountInfo(sources.mountInfoFile);
    const TMountEntry* home = MountOfPath(entries, HomeFolder());
    const std::string homeMount = home ? home->mountPoint : std::string();
    return DrivesOf(entries, sources, [&homeMount](const TMountEntry& entry) {
        return IsVolume(entry) && (entry.mountPoint == homeMount || IsUserPlace(entry.mountPoint));
    });
}

std::string UserMediaFolder(const TPlatformSources& sources)
{
    if (sources.mediaRoots.empty())
        return {};
    const std::string user = UserName();
    for (const std::string& root : sources.mediaRoots) {
        const std::string folder = AddTrailingBackslash(root) + user + "/";
        struct stat status{};
        if (::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode))
            return folder;
    }
    return AddTrailingBackslash(sources.mediaRoots.front()) + user + "/";
}
