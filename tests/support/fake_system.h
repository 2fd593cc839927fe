// A temporary folder that stands in for the user's home and for the system's
// mount table, volume labels and block devices. The environment variables and
// platform sources it changes are put back, and the folder removed, when it
// goes.
#pragma once

#include <map>
#include <ostream>
#include <optional>
#include <string>

#include "base/platform/u_drives.h"
#include "base/platform/u_platformsources.h"

// Lets a failed comparison of drive lists show the drives.
void PrintTo(const TBWDrive& drive, std::ostream* out);

class TFakeSystem {
public:
    // HOME is <folder>/home; the XDG variables are unset; the sources point
    // at <folder>/mountinfo, <folder>/by-label, <folder>/sys/dev/block, the
    // media roots <folder>/media and <folder>/run/media, and the device
    // nodes <folder>/dev.
    TFakeSystem();
    ~TFakeSystem();
    TFakeSystem(const TFakeSystem&) = delete;
    TFakeSystem& operator=(const TFakeSystem&) = delete;

    // The resolved path of the temporary folder, or of a path below it.
    std::string Path(const std::string& relative = "") const;
    void WriteFile(const std::string& relative, const std::string& contents) const;
    std::string ReadFile(const std::string& relative) const;
    bool Exists(const std::string& relative) const;
    void MakeFolder(const std::string& relative) const;
    void MakeLink(const std::string& relative, const std::string& target) const;

    void SetEnvironment(const std::string& name, const std::string& value);
    void UnsetEnvironment(const std::string& name);

    // One mountinfo line, in the kernel's layout, for the mount table file.
    // root: the folder of the file system that is mounted, "/" unless a bind mount.
    static std::string MountLine(const std::string& majorMinor, const std::string& mountPoint,
                                 const std::string& fsType, const std::string& source,
                                 const std::string& root = "/");
    // The table: "/" on the folder's own mount, then the lines given.
    void WriteMountTable(const std::string& lines) const;

private:
    void Remember(const std::string& name);

    std::string folder_;
    TPlatformSources savedSources_;
    std::map<std::string, std::optional<std::string>> savedEnvironment_;
};
