#include "ui/common/u_cvgensettings.h"

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
    setAsideFile_.clear();
    loaded_ = LoadProfile(SettingsName);
    if (loaded_)
        return;
    const TProfileLoadFailure failure = LoadFailure();
    if (failure == TProfileLoadFailure::Malformed)
        setAsideFile_ = SetAsideProfile(SettingsName);
    loaded_ = failure != TProfileLoadFailure::Unreadable;
    NewProfile();
    SetProfileName(SettingsName);
}

bool TBWCVGenSettings::SaveIfLoaded()
{
    return loaded_ && SaveProfile();
}

std::string TBWCVGenSettings::FileName() const
{
    return static_cast<const TXMLProfileInterface&>(Storage()).FolderPath() + SettingsName + ".xml";
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
    ScanResWidth = ReadInteger("ScanResWidth", ScanResWidth);
    ScanResHeight = ReadInteger("ScanResHeight", ScanResHeight);
    for (std::size_t column = 0; column < kResultColumnCount; ++column)
        ColShow[column] = ReadBool(ColShowKey(column), ColShow[column]);
    for (std::size_t column = 0; column < kResultColumnCount; ++column)
        ColSize[column] = ReadInteger(ColSizeKey(column), ColSize[column]);
    MainLeft = ReadInteger("MainLeft", MainLeft);
    MainTop = ReadInteger("MainTop", MainTop);
    MainWidth = ReadInteger("MainWidth", MainWidth);
    MainHeight = ReadInteger("MainHeight", MainHeight);
    MainMaximized = ReadBool("MainMaximized", MainMaximized);
    ProfileEditorWidth = ReadInteger("ProfileEditorWidth", ProfileEditorWidth);
    ProfileEditorHeight = ReadInteger("ProfileEditorHeight", ProfileEditorHeight);
}

void TBWCVGenSettings::WriteSettings()
{
    WriteBool("ShowTips", TipsAtStartup);
    WriteInteger("LastTip", LastTip);
    WriteBool("ScanResMaximized", ScanResMaximized);
    WriteBool("ScanResDetails", ScanResDetails);
    WriteInteger("ScanResWidth", ScanResWidth);
    WriteInteger("ScanResHeight", ScanResHeight);
    for (std::size_t column = 0; column < kResultColumnCount; ++column)
        WriteBool(ColShowKey(column), ColShow[column]);
    for (std::size_t column = 0; column < kResultColumnCount; ++column)
        WriteInteger(ColSizeKey(column), ColSize[column]);
    WriteInteger("MainLeft", MainLeft);
    WriteInteger("MainTop", MainTop);
    WriteInteger("MainWidth", MainWidth);
    WriteInteger("MainHeight", MainHeight);
    WriteBool("MainMaximized", MainMaximized);
    WriteInteger("ProfileEditorWidth", ProfileEditorWidth);
    WriteInteger("ProfileEditorHeight", ProfileEditorHeight);
}

void TBWCVGenSettings::ResetDefaults()
{
    TipsAtStartup = true;
    ScanResMaximized = true;
    ScanResDetails = false;
    ScanResWidth = ScanResHeight = 0;
    LastTip = 0;
    ColShow = kDefaultColShow;
    ColSize = kDefaultColSize;
    MainLeft = MainTop = MainWidth = MainHeight = 0;
    MainMaximized = false;
    ProfileEditorWidth = 0;
    ProfileEditorHeight = 0;
}

TBWCVGenSettings& GenSettings()
{
    static TBWCVGenSettings settings;
    return settings;
}
