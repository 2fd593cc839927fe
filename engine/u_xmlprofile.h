// The storage of settings profiles as XML files: one file per profile, named
// after it with ".xml", root element "bwprofile", one element per value in
// the order written. The comparison profiles live in the "profiles" folder
// of the data folder, the general settings in the data folder itself.
#pragma once

#include <pugixml.hpp>

#include "engine/u_bwprofile.h"

// Whether a profile of that name stays inside its folder as a file of its
// own: not empty, without "/" and without a zero byte. Names that are not
// are neither read nor written.
bool IsStorableProfileName(const std::string& name);

class TXMLProfileInterface : public TBWProfileInterface {
public:
    // dataFolder: the folder that holds Folder, ending in "/"; empty for
    // the program's data folder (AppPaths), looked up at each use. Without
    // either, nothing is read or written.
    explicit TXMLProfileInterface(std::string folder = "profiles", std::string dataFolder = {});

    // Trimmed of blanks and control characters at both ends.
    std::string ReadString(const std::string& key, const std::string& defaultValue) const override;
    // Decimal; a text that is no 32-bit integer gives the default.
    std::int32_t ReadInteger(const std::string& key, std::int32_t defaultValue) const override;
    // A stored 0 (or none) gives the default.
    double ReadFloat(const std::string& key, double defaultValue) const override;
    // Entries are the "item" elements, not trimmed; numbered ones carry the
    // attribute "intval" (0 when absent or no number).
    void ReadStrings(const std::string& key, std::vector<std::string>& list) const override;
    void ReadStrings(const std::string& key, std::vector<TBWNumberedText>& list) const override;
    bool ValueExists(const std::string& key) const override;
    void WriteInteger(const std::string& key, std::int32_t value) override;
    void WriteFloat(const std::string& key, double value) override;
    void WriteString(const std::string& key, const std::string& value) override;
    void WriteStrings(const std::string& key, const std::vector<std::string>& list) override;
    void WriteStrings(const std::string& key, const std::vector<TBWNumberedText>& list) override;

    // Sorted; a name differing from another in letter case only is the
    // same profile, listed once.
    std::vector<std::string> ListProfiles() const override;
    std::string LastListFailure() const override { return lastListFailure_; }
    // The listed profile keeps the file Load reads; every other file of its
    // name in another letter case is renamed as SetAside does.
    std::vector<TBWSetAside> SetAsideCaseTwins() override;
    bool Load(const std::string& name, const std::function<void()>& readValues) override;
    TProfileLoadFailure LastLoadFailure() const override { return lastLoadFailure_; }
    // Creates the folder when missing. Writes the file through a temporary
    // one; after a rename in letter case only, the file Load read for
    // previousName goes, so exactly one file holds the profile. Twins the
    // user made beside it stay.
    bool Save(const std::string& name, const std::function<void()>& writeValues,
              const std::string& previousName = {}) override;
    // Removes the one file that Load reads: the profile's name in exactly
    // that case, else the one file that differs from it in case only. Two
    // files differing in case are two files to the system; removing both
    // would take one the user did not ask for.
    void Delete(const std::string& name) override;
    // Renames the file Load reads to NAME.xml.bad, or NAME.xml.bad2, .bad3,
    // ... when that is taken; never replaces a file.
    std::string SetAside(const std::string& name) override;

    // The folder of the profile files, ending in "/"; empty when no data
    // folder is known.
    std::string FolderPath() const;

private:
    pugi::xml_node Element(const std::string& key) const;
    pugi::xml_node ClearedElement(const std::string& key);
    std::vector<std::string> ProfileFiles(const std::string& name) const;

    // The names of the files (not folders) of the profile folder; the
    // reason goes to lastListFailure_ when it cannot be read.
    std::vector<std::string> FileNames(const std::string& folder) const;
    // Those that end in ".xml", in any letter case.
    std::vector<std::string> ProfileFileNames(const std::string& folder) const;

    std::string dataFolder_;
    mutable std::string lastListFailure_;
    TProfileLoadFailure lastLoadFailure_ = TProfileLoadFailure::None;
    pugi::xml_document document_;
    pugi::xml_node root_;
};
