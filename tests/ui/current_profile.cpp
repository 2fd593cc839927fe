#include "current_profile.h"

#include <QString>

#include "base/HUtils.h"

TBWCVProfile& FreshCurrentProfile()
{
    static const bool pathsSet = [] {
        InitAppPaths("Brindlewick", "Corvella", "corvella_help.chm");
        return true;
    }();
    (void)pathsSet;
    TBWCVProfile& profile = CurrentProfile();
    profile.NewProfile();
    return profile;
}

QString StoredProfilePath(const std::string& name)
{
    return QString::fromStdString(AppPaths().dataFolder + "profiles/" + name + ".xml");
}
