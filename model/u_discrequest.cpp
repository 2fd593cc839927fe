#include "model/u_discrequest.h"

#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "base/HUtils.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"
#include "base/platform/u_xdgdirs.h"

namespace {

bool IsFolder(const std::string& path)
{
    struct stat status{};
    return !path.empty() && ::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

}  // namespace

std::string DiscRequestText(const std::string& discName, const std::string& folder)
{
    // The path gets a line of its own, so that wrapping the text never
    // breaks it.
    return "Please, insert a CD labeled \"" + discName + "\" in drive\n" + folder;
}

std::string FirstDiscFolder(const std::string& discName, const std::string& lastUsed)
{
    const std::vector<TBWDrive> drives = ListDrives();
    const auto named = std::find_if(drives.begin(), drives.end(), [&discName](const TBWDrive& drive) {
        return SameTextAscii(drive.label, discName) || SameTextAscii(LastPathPart(drive.root), discName);
    });
    if (named != drives.end())
        return named->root;
    if (IsFolder(lastUsed))
        return AddTrailingBackslash(lastUsed);
    const std::string optical = FindDriveOfType(dkOptical, "");
    if (!optical.empty())
        return optical;
    // The media folder appears with the first medium; until then the
    // request opens on a folder that is there.
    const std::string media = UserMediaFolder(PlatformSources());
    return IsFolder(media) ? media : AddTrailingBackslash(HomeFolder());
}
