// Named, versioned settings profiles. TBWProfile holds a profile's name,
// creation date and layout version and gives its subclasses typed reads and
// writes; TBWProfileInterface is where the values live. The comparison
// profile and the general settings are profiles; the windows list, load,
// save, rename and delete them through TBWProfile.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// An entry of a stored list that carries an integer besides its text.
struct TBWNumberedText {
    std::string text;
    std::int32_t number = 0;

    bool operator==(const TBWNumberedText&) const = default;
};

// Why the last load of a profile gave nothing.
enum class TProfileLoadFailure {
    None,        // it loaded
    Missing,     // no stored profile of that name
    Unreadable,  // stored, but its file cannot be read
    Malformed,   // read, but not a profile file
};

// A stored file taken out of the way: where it was, and where it went
// (empty when it could not be moved).
struct TBWSetAside {
    std::string file;
    std::string movedTo;
};

// The profile the program's general settings are kept under: in the data
// folder itself, not among the comparison profiles.
inline constexpr const char* kGenSettingsProfileName = "settings";

// Where a profile's values are stored, one profile at a time: the profile
// last loaded or being saved.
class TBWProfileInterface {
public:
    // folder: the subfolder of the data folder that holds the profiles;
    // empty for the data folder itself.
    explicit TBWProfileInterface(std::string folder);
    virtual ~TBWProfileInterface() = default;
    TBWProfileInterface(const TBWProfileInterface&) = delete;
    TBWProfileInterface& operator=(const TBWProfileInterface&) = delete;

    const std::string& Folder() const { return folder_; }

    virtual std::int32_t ReadInteger(const std::string& key, std::int32_t defaultValue) const = 0;
    virtual double ReadFloat(const std::string& key, double defaultValue) const = 0;
    virtual std::string ReadString(const std::string& key, const std::string& defaultValue) const = 0;
    // Lists start empty and get the stored entries; the defaults keep them
    // in the flat layout below.
    virtual void ReadStrings(const std::string& key, std::vector<std::string>& list) const;
    virtual void ReadStrings(const std::string& key, std::vector<TBWNumberedText>& list) const;
    virtual bool ValueExists(const std::string& key) const = 0;
    virtual void WriteInteger(const std::string& key, std::int32_t value) = 0;
    // Floats are kept as whole numbers, truncated toward zero.
    virtual void WriteFloat(const std::string& key, double value) = 0;
    virtual void WriteString(const std::string& key, const std::string& value) = 0;
    virtual void WriteStrings(const std::string& key, const std::vector<std::string>& list);
    virtual void WriteStrings(const std::string& key, const std::vector<TBWNumberedText>& list);

    // The names of the stored profiles.
    virtual std::vector<std::string> ListProfiles() const = 0;
    // Why the last ListProfiles could not list the stored profiles, naming
    // where they are; empty when it could (none stored yet is no failure).
    virtual std::string LastListFailure() const = 0;
    // A name is one profile in any letter case. Stored twins of a listed
    // profile, whose names differ from it in letter case only, are moved
    // out of the way as SetAside does, so that no load, save or delete of
    // the listed one meets them; gives each.
    virtual std::vector<TBWSetAside> SetAsideCaseTwins() = 0;
    // Reads the named profile and then lets readValues read from it. False,
    // without calling it, when the profile is missing or cannot be read.
    virtual bool Load(const std::string& name, const std::function<void()>& readValues) = 0;
    // Why the last Load returned false; None after one that succeeded.
    virtual TProfileLoadFailure LastLoadFailure() const = 0;
    // Starts an empty profile, lets writeValues fill it and stores it under
    // the name. False when it could not be stored; the old one then stays.
    // previousName: the name the profile was loaded under, empty for a new
    // one. When it differs from name in letter case only, its stored
    // profile is the old spelling of this one and goes; nothing else does.
    virtual bool Save(const std::string& name, const std::function<void()>& writeValues,
                      const std::string& previousName = {}) = 0;
    virtual void Delete(const std::string& name) = 0;
    // Takes the stored profile out of the list of profiles without
    // destroying it: it moves to a name of its own that no later save
    // overwrites. Gives where it went; empty when it could not be moved.
    virtual std::string SetAside(const std::string& name) = 0;

    // The flat layout of a list under key K, for storages that keep single
    // values only (and the layout of profiles of version 0): the integer
    // K + "Count", then per entry i the text K + i and, for numbered
    // entries, the integer K + "Int" + i. A missing text reads as "", a
    // missing integer as 0.
    void ReadFlatStrings(const std::string& key, std::vector<std::string>& list) const;
    void ReadFlatStrings(const std::string& key, std::vector<TBWNumberedText>& list) const;
    void WriteFlatStrings(const std::string& key, const std::vector<std::string>& list);
    void WriteFlatStrings(const std::string& key, const std::vector<TBWNumberedText>& list);

private:
    std::string folder_;
};

// A profile: what a subclass reads, writes and resets, plus the name, the
// creation date and the version of the stored layout that every profile has.
class TBWProfile {
public:
    static constexpr const char* DefaultName = "new_profile";

    explicit TBWProfile(std::unique_ptr<TBWProfileInterface> storage);
    virtual ~TBWProfile() = default;
    TBWProfile(const TBWProfile&) = delete;
    TBWProfile& operator=(const TBWProfile&) = delete;

    // The name under which the profile was last loaded or saved; empty
    // while it has no file.
    const std::string& LoadedName() const { return loadedName_; }
    const std::string& ProfileName() const { return profileName_; }
    // Days since 1899-12-30; stored as whole days.
    double CreationDate() const { return creationDate_; }
    void SetCreationDate(double days) { creationDate_ = days; }
    std::int32_t ProfileVersion() const { return profileVersion_; }

    // Reads the named profile. False when it is missing or malformed; the
    // object then holds a new profile (NewProfile) and nothing is written.
    bool LoadProfile(const std::string& name);
    // Why the last LoadProfile returned false.
    TProfileLoadFailure LoadFailure() const { return storage_->LastLoadFailure(); }
    // Takes a stored profile that does not load out of the way, keeping it
    // (TBWProfileInterface::SetAside); gives where it went.
    std::string SetAsideProfile(const std::string& name) { return storage_->SetAside(name); }
    // Stores the profile under ProfileName; after a rename the file of the
    // old name goes. False when the file could not be written; the old
    // files then stay as they were.
    bool SaveProfile();
    // Deletes the stored profile; deleting the profile's own name (exact
    // case) also resets it to its defaults without a name.
    void DeleteProfile(const std::string& name);
    // A new profile in memory: unique name from DefaultName, created now,
    // current layout, defaults. Nothing is written.
    void NewProfile();
    // The name with only what a profile name may hold: 0-9, A-Z, a-z, "_"
    // and every character beyond ASCII (whole UTF-8 sequences, so letters
    // of every script stay); DefaultName when nothing is left.
    static std::string CleanProfileName(const std::string& name);
    // The name SetProfileName would give: the clean name; unless it is the
    // loaded name in any letter case, 1, 2, ... is appended until no stored
    // profile has it, ignoring case. Windows show it while the user types.
    std::string NameToStore(const std::string& name) const;
    void SetProfileName(const std::string& name) { profileName_ = NameToStore(name); }
    std::vector<std::string> GetProfileList() const;
    // See TBWProfileInterface::SetAsideCaseTwins.
    std::vector<TBWSetAside> SetAsideCaseTwins() { return storage_->SetAsideCaseTwins(); }

    std::int32_t ReadInteger(const std::string& key, std::int32_t defaultValue) const;
    double ReadFloat(const std::string& key, double defaultValue) const;
    std::string ReadString(const std::string& key, const std::string& defaultValue) const;
    bool ReadBool(const std::string& key, bool defaultValue) const;
    void ReadStrings(const std::string& key, std::vector<std::string>& list) const;
    void ReadStrings(const std::string& key, std::vector<TBWNumberedText>& list) const;
    bool ValueExists(const std::string& key) const;
    void WriteInteger(const std::string& key, std::int32_t value);
    void WriteFloat(const std::string& key, double value);
    void WriteString(const std::string& key, const std::string& value);
    void WriteBool(const std::string& key, bool value);
    void WriteStrings(const std::string& key, const std::vector<std::string>& list);
    void WriteStrings(const std::string& key, const std::vector<TBWNumberedText>& list);

    TBWProfileInterface& Storage() { return *storage_; }
    const TBWProfileInterface& Storage() const { return *storage_; }

protected:
    virtual void ReadSettings() = 0;
    virtual void WriteSettings() = 0;
    virtual void ResetDefaults() = 0;
    virtual void AfterNew() {}
    // Brings settings read in the layout of oldVersion up to date; the
    // profile is saved in the current layout right after.
    virtual void Upgrade(std::int32_t /*oldVersion*/) {}
    virtual std::int32_t CurrentVersion() const { return 0; }

private:
    void ReadAllValues();
    void WriteAllValues();

    std::unique_ptr<TBWProfileInterface> storage_;
    std::string loadedName_;
    std::string profileName_;
    double creationDate_ = 0;
    std::int32_t profileVersion_ = 0;
};
