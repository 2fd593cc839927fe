#include "ui/main/u_loadproblems.h"

#include <algorithm>

#include "engine/u_bwprofile.h"
#include "model/u_bwfsmpl.h"
#include "ui/common/u_cvgensettings.h"

namespace {

std::string Quoted(const std::string& name)
{
    return "\"" + name + "\"";
}

// What happened to a damaged file, by whether it could be moved aside.
std::string SetAsideText(const std::string& what, const std::string& aside)
{
    return aside.empty() ? what + " is damaged; it could not be moved aside and was left where it is."
                         : what + " is damaged; it was moved to " + aside + ".";
}

}  // namespace

void TLoadProblems::ProfileNotLoaded(TBWProfile& profile, const std::string& name)
{
    const std::string what = "The profile " + Quoted(name);
    switch (profile.LoadFailure()) {
    case TProfileLoadFailure::Malformed:
        Record(SetAsideText(what, profile.SetAsideProfile(name)));
        break;
    case TProfileLoadFailure::Unreadable:
        Record(what + " cannot be read; its file was left where it is.");
        break;
    case TProfileLoadFailure::None:
    case TProfileLoadFailure::Missing:
        break;
    }
}

void TLoadProblems::CaseTwinSetAside(const TBWSetAside& twin)
{
    const std::string what = "The profile file " + twin.file +
                             " differs from another profile's file in letter case only, which names the same profile;";
    Record(twin.movedTo.empty() ? what + " it could not be moved aside, and the profile list shows the other."
                                : what + " it was moved to " + twin.movedTo + ".");
}

void TLoadProblems::ProfilesNotListed(const std::string& failure)
{
    Record("The profiles cannot be listed (" + failure + "), so none of them is shown.");
}

void TLoadProblems::SettingsLoaded(const TBWCVGenSettings& settings)
{
    const std::string what = "The general settings file";
    switch (settings.LoadFailure()) {
    case TProfileLoadFailure::Malformed:
        Record(SetAsideText(what, settings.SetAsideFile()) + " The defaults are used.");
        break;
    case TProfileLoadFailure::Unreadable:
        Record(what + " cannot be read; it was left where it is, the defaults are used and this run's "
                      "settings will not be saved.");
        break;
    case TProfileLoadFailure::None:
    case TProfileLoadFailure::Missing:
        break;
    }
}

void TLoadProblems::ProfileNotConverted(const std::string& name)
{
    Record("The profile " + Quoted(name) + " of the older settings was not converted: its name holds a path, "
           "and a profile is kept only in the profiles folder.");
}

void TLoadProblems::ListsLoaded(TMplManager& lists)
{
    for (TBWDirMpl* list : lists.Lists())
        if (list->ReadOnly())
            Record("The Mp3 List " + Quoted(list->ListName()) + " cannot be read (" + list->ReadProblem() +
                   ") and shows empty; it is kept read-only and its file " + list->FileName() + " is left untouched.");
}

void TLoadProblems::RegistryNotRead(const std::string& fileName, const std::string& reason)
{
    Record("The old settings in " + fileName + " cannot be read (" + reason +
           "); nothing was converted from them, and the file was left where it is.");
}

std::string TLoadProblems::TakeMessage()
{
    if (untold_.empty())
        return {};
    std::string message = "Some of what Corvella keeps could not be loaded:";
    for (const std::string& line : untold_)
        message += "\n\n" + line;
    told_.insert(untold_.begin(), untold_.end());
    untold_.clear();
    return message;
}

void TLoadProblems::Record(std::string line)
{
    if (!told_.contains(line) && std::find(untold_.begin(), untold_.end(), line) == untold_.end())
        untold_.push_back(std::move(line));
}

TLoadProblems& LoadProblems()
{
    static TLoadProblems problems;
    return problems;
}
