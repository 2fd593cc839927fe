#include "engine/u_bwprofile.h"

#include <algorithm>

#include "base/u_bwdatetime.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"

namespace {

// Blanks, punctuation and the path separator go; bytes of characters beyond
// ASCII stay together.
std::string CountKey(const std::string& key)
{
    return key + "Count";
}

std::string EntryKey(const std::string& key, std::size_t index)
{
    return key + std::to_string(index);
}

std::string NumberKey(const std::string& key, std::size_t index)
{
    return key + "Int" + std::to_string(index);
}

std::size_t StoredCount(const TBWProfileInterface& storage, const std::string& key)
{
    return static_cast<std::size_t>(std::max(storage.ReadInteger(CountKey(key), 0), 0));
}

}  // namespace

// ------------------------------------------------------------ TBWProfileInterface

TBWProfileInterface::TBWProfileInterface(std::string folder) : folder_(std::move(folder)) {}

void TBWProfileInterface::ReadStrings(const std::string& key, std::vector<std::string>& list) const
{
    ReadFlatStrings(key, list);
}

void TBWProfileInterface::ReadStrings(const std::string& key, std::vector<TBWNumberedText>& list) const
{
    ReadFlatStrings(key, list);
}

void TBWProfileInterface::WriteStrings(const std::string& key, const std::vector<std::string>& list)
{
    WriteFlatStrings(key, list);
}

void TBWProfileInterface::WriteStrings(const std::string& key, const std::vector<TBWNumberedText>& list)
{
    WriteFlatStrings(key, list);
}

void TBWProfileInterface::ReadFlatStrings(const std::string& key, std::vector<std::string>& list) const
{
    list.clear();
    const std::size_t count = StoredCount(*this, key);
    for (std::size_t i = 0; i < count; ++i)
        list.push_back(ReadString(EntryKey(key, i), ""));
}

void TBWProfileInterface::ReadFlatStrings(const std::string& key,
                                          std::vector<TBWNumberedText>& list) const
{
    list.clear();
    const std::size_t count = StoredCount(*this, key);
    for (std::size_t i = 0; i < count; ++i)
        list.push_back({ReadString(EntryKey(key, i), ""), ReadInteger(NumberKey(key, i), 0)});
}

void TBWProfileInterface::WriteFlatStrings(const std::string& key, const std::vector<std::string>& list)
{
    WriteInteger(CountKey(key), static_cast<std::int32_t>(list.size()));
    for (std::size_t i = 0; i < list.size(); ++i)
        WriteString(EntryKey(key, i), list[i]);
}

void TBWProfileInterface::WriteFlatStrings(const std::string& key,
                                           const std::vector<TBWNumberedText>& list)
{
    WriteInteger(CountKey(key), static_cast<std::int32_t>(list.size()));
    for (std::size_t i = 0; i < list.size(); ++i) {
        WriteString(EntryKey(key, i), list[i].text);
        WriteInteger(NumberKey(key, i), list[i].number);
    }
}

// ------------------------------------------------------------ TBWProfile

TBWProfile::TBWProfile(std::unique_ptr<TBWProfileInterface> storage) : storage_(std::move(storage)) {}

bool TBWProfile::LoadProfile(const std::string& name)
{
    loadedName_ = name;
    profileName_ = name;
    if (storage_->Load(name, [this] { ReadAllValues(); }))
        return true;
    NewProfile();
    return false;
}

void TBWProfile::ReadAllValues()
{
    ResetDefaults();
    creationDate_ = ReadFloat("CreationDate", 0);
    profileVersion_ = ReadInteger("profile_version", 0);
    ReadSettings();
    if (profileVersion_ >= CurrentVersion())
        return;
    Upgrade(profileVersion_);
    profileVersion_ = CurrentVersion();
    SaveProfile();
}

bool TBWProfile::SaveProfile()
{
    if (!storage_->Save(profileName_, [this] { WriteAllValues(); }, loadedName_))
        return false;
    if (!loadedName_.empty() && !SameTextNoCase(loadedName_, profileName_))
        DeleteProfile(loadedName_);
    loadedName_ = profileName_;
    return true;
}

void TBWProfile::WriteAllValues()
{
    WriteFloat("CreationDate", creationDate_);
    WriteInteger("profile_version", profileVersion_);
    WriteSettings();
}

void TBWProfile::DeleteProfile(const std::string& name)
{
    storage_->Delete(name);
    if (name != profileName_)
        return;
    ResetDefaults();
    loadedName_.clear();
    profileName_.clear();
}

void TBWProfile::NewProfile()
{
    loadedName_.clear();
    SetProfileName(DefaultName);
    creationDate_ = DaysNow();
    profileVersion_ = CurrentVersion();
    ResetDefaults();
    AfterNew();
}

std::string TBWProfile::CleanProfileName(const std::string& name)
{
    const std::string clean = RestrictToLetters(name, "_", '\0');
    return clean.empty() ? std::string(DefaultName) : clean;
}

std::string TBWProfile::NameToStore(const std::string& name) const
{
    const std::string clean = CleanProfileName(name);
    if (SameTextNoCase(clean, loadedName_))
        return clean;
    const std::vector<std::string> taken = GetProfileList();
    auto isTaken = [&taken](const std::string& candidate) {
        return std::any_of(taken.begin(), taken.end(),
                           [&candidate](const std::string& other) { return SameTextNoCase(other, candidate); });
    };
    std::string candidate = clean;
    for (int suffix = 1; isTaken(candidate); ++suffix)
        candidate = clean + std::to_string(suffix);
    return candidate;
}

std::vector<std::string> TBWProfile::GetProfileList() const
{
    return storage_->ListProfiles();
}

std::int32_t TBWProfile::ReadInteger(const std::string& key, std::int32_t defaultValue) const
{
    return storage_->ReadInteger(key, defaultValue);
}

double TBWProfile::ReadFloat(const std::string& key, double defaultValue) const
{
    return storage_->ReadFloat(key, defaultValue);
}

std::string TBWProfile::ReadString(const std::string& key, const std::string& defaultValue) const
{
    return storage_->ReadString(key, defaultValue);
}

bool TBWProfile::ReadBool(const std::string& key, bool defaultValue) const
{
    return storage_->ReadInteger(key, defaultValue ? 1 : 0) != 0;
}

void TBWProfile::ReadStrings(const std::string& key, std::vector<std::string>& list) const
{
    storage_->ReadStrings(key, list);
}

void TBWProfile::ReadStrings(const std::string& key, std::vector<TBWNumberedText>& list) const
{
    storage_->ReadStrings(key, list);
}

bool TBWProfile::ValueExists(const std::string& key) const
{
    return storage_->ValueExists(key);
}

void TBWProfile::WriteInteger(const std::string& key, std::int32_t value)
{
    storage_->WriteInteger(key, value);
}

void TBWProfile::WriteFloat(const std::string& key, double value)
{
    storage_->WriteFloat(key, value);
}

void TBWProfile::WriteString(const std::string& key, const std::string& value)
{
    storage_->WriteString(key, value);
}

void TBWProfile::WriteBool(const std::string& key, bool value)
{
    storage_->WriteInteger(key, value ? 1 : 0);
}

void TBWProfile::WriteStrings(const std::string& key, const std::vector<std::string>& list)
{
    storage_->WriteStrings(key, list);
}

void TBWProfile::WriteStrings(const std::string& key, const std::vector<TBWNumberedText>& list)
{
    storage_->WriteStrings(key, list);
}
