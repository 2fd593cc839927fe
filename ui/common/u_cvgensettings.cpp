#include "ui/common/u_cvgensettings.h"

#include <filesystem>

#include "engine/u_xmlprofile.h"

const std::array<const char*, kResultColumnCount> ResultColumnNames = {
    "Path", "Size", "Duration", "Bitrate", "Artist", "Title", "Album", "Genre", "Comments", "Relevance", "Words"};

namespace {

constexpr std::array<bool, kResultColumnCount> kDefaultColShow = {true,  true,  true,  true,  false, false,
                                                                  false, false, false, false, false};
constexpr std::array<std::int32_t, kResultColumnCount> kDefaultColSize = {200, 60, 60, 60, 80, 80,
                                                                          80,  80, 80, 40, 80};

std::string ColShowKey(std::size_t column)
{
    return std::string("ColShow") + ResultColumnNames[column];
}

std::string ColSizeKey(std::size_t column)
{
    return std::string("ColSize") + ResultColumnNames[column];
}

}  // namespace

TBWCVGenSettings::TBWCVGenSettings(std::string dataFolder)
    : TBWProfile(std::make_unique<TXMLProfileInterface>("", std::move(dataFolder)))
{
}

void TBWCVGenSettings::LoadOrCreate()
{
    loaded_ = true;
    if (LoadProfile(SettingsName))
        return;
    MoveUnreadableFileAside();
    NewProfile();
    SetProfileName(SettingsName);
}

void TBWCVGenSettings::MoveUnreadableFileAside()
{
    // The constructor gave this profile its XML storage.
    const std::string folder = static_cast<const TXMLProfileInterface&>(Storage()).FolderPath();
    if (folder.empty())
        return;
    const std::filesystem::path file = folder + SettingsName + ".xml";
    std::error_code error;
    if (std::filesystem::exists(file, error))
        std::filesystem::rename(file, folder + SettingsName + ".xml.bad", error);
}

bool TBWCVGenSettings::SaveIfLoaded()
{
    return loaded_ && SaveProfile();
}

void TBWCVGenSettings::ReadSettings()
{
    TipsAtStartup = ReadBool("ShowTips", TipsAtStartup);
    LastTip = ReadInteger("LastTip", LastTip);
    // Only a hand-edited file holds such a number; start at the first tip.
    if (LastTip < -1)
        LastTip = 0;
    ScanResMaximized = ReadBool("ScanResMaximized", ScanResMaximized);
    ScanResDetails = ReadBool("ScanResDetails", ScanResDetails);
    for (std::size_t column = 0; column < kResultColumnCount; ++column)
        ColShow[column] = ReadBool(ColShowKey(column), ColShow[column]);
    for (std::size_t column = 0; column < kResultColumnCount; ++column)
        ColSize[column] = ReadInteger(ColSizeKey(column), ColSize[column]);
    ProfileEditorWidth = ReadInteger("ProfileEditorWidth", ProfileEditorWidth);
    ProfileEditorHeight = ReadInteger("ProfileEditorHeight", ProfileEditorHeight);
}

void TBWCVGenSettings::WriteSettings()
{
    WriteBool("ShowTips", TipsAtStartup);
    WriteInteger("LastTip", LastTip);
    WriteBool("ScanResMaximized", ScanResMaximized);
    WriteBool("ScanResDetails", ScanResDetails);
    for (std::size_t column = 0; column < kResultColumnCount; ++column)
        WriteBool(ColShowKey(column), ColShow[column]);
    for (std::size_t column = 0; column < kResultColumnCount; ++column)
        WriteInteger(ColSizeKey(column), ColSize[column]);
    WriteInteger("ProfileEditorWidth", ProfileEditorWidth);
    WriteInteger("ProfileEditorHeight", ProfileEditorHeight);
}

void TBWCVGenSettings::ResetDefaults()
{
    TipsAtStartup = true;
    ScanResMaximized = true;
    ScanResDetails = false;
    LastTip = 0;
    ColShow = kDefaultColShow;
    ColSize = kDefaultColSize;
    ProfileEditorWidth = 0;
    ProfileEditorHeight = 0;
}

TBWCVGenSettings& GenSettings()
{
    static TBWCVGenSettings settings;
    return settings;
}
