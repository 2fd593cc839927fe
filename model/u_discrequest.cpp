#include "model/u_discrequest.h"

#include <algorithm>
#include <vector>

#include "base/HUtils.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"

std::string DiscRequestText(const std::string& discName, const std::string& folder)
{
    // The path gets a line of its own, so that wrapping the text never
    // breaks it.
    return "Please, insert a CD labeled \"" + discName + "\" in drive\n" + folder;
}

std::string FirstDiscFolder(const std::string& discName)
{
    const std::vector<TBWDrive> drives = ListDrives();
    const auto named = std::find_if(drives.begin(), drives.end(), [&discName](const TBWDrive& drive) {
        return SameTextAscii(drive.label, discName) || SameTextAscii(LastPathPart(drive.root), discName);
    });
    if (named != drives.end())
        return named->root;
    const std::string optical = FindDriveOfType(dkOptical, "");
    return optical.empty() ? UserMediaFolder(PlatformSources()) : optical;
}
