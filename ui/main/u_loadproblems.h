#pragma once
// What the program could not load from its data folder: profiles and the
// general settings that are damaged (moved aside, kept) or cannot be read
// (left where they are), and Mp3 Lists that cannot be read (kept read-only).
// The start-up and the profile list record here; the main window tells the
// user in one message after start-up, and later about anything new.
#include <set>
#include <string>
#include <vector>

class TBWProfile;
struct TBWSetAside;
class TBWCVGenSettings;
class TMplManager;

class TLoadProblems {
public:
    // After LoadProfile(name) failed: a damaged profile is set aside, one
    // that cannot be read is left; either way it is recorded.
    void ProfileNotLoaded(TBWProfile& profile, const std::string& name);
    // A file named like a listed profile but in other letter case, taken
    // out of the way so that saving the listed one never removes it.
    void CaseTwinSetAside(const TBWSetAside& twin);
    // The stored profiles could not be listed; failure says where and why.
    void ProfilesNotListed(const std::string& failure);
    // After LoadOrCreate.
    void SettingsLoaded(const TBWCVGenSettings& settings);
    // The one-time conversion of the older settings left out a profile
    // whose name is no storable profile name.
    void ProfileNotConverted(const std::string& name);
    // After the lists were read.
    void ListsLoaded(TMplManager& lists);
    // The store of the old settings could not be read (reason says why):
    // nothing was converted from it, and it was left where it is.
    void RegistryNotRead(const std::string& fileName, const std::string& reason);

    // The message about what was recorded since the last one, and marks it
    // told; empty when nothing new is there. A problem already told is not
    // told again, however often it is met.
    std::string TakeMessage();

private:
    void Record(std::string line);

    std::vector<std::string> untold_;
    std::set<std::string> told_;
};

// The problems of the running program.
TLoadProblems& LoadProblems();
