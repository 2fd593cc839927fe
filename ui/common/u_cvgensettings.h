// The general settings: what belongs to the program rather than to a
// comparison profile (the tip of the day, how the results window opens,
// which result columns it shows and how wide). Kept as the profile
// "settings" directly in the data folder; the start-up loads it, the main
// and results windows read and change it, the end of the run saves it.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/u_bwprofile.h"

// The columns of the results window, in index order; ColShow and ColSize
// are indexed the same way.
constexpr std::size_t kResultColumnCount = 11;
extern const std::array<const char*, kResultColumnCount> ResultColumnNames;

class TBWCVGenSettings : public TBWProfile {
public:
    static constexpr const char* SettingsName = "settings";

    // dataFolder: the folder of the settings file, ending in "/"; empty
    // for the program's data folder. The fields hold false and 0 until
    // LoadOrCreate.
    explicit TBWCVGenSettings(std::string dataFolder = {});

    // Reads the settings file; without one, the defaults under the name
    // "settings". A file that cannot be read is moved aside to
    // "settings.xml.bad" (replacing an older one), so the next save takes
    // its place instead of piling up "settings1.xml" beside it. Nothing is
    // written here.
    void LoadOrCreate();
    // Writes the settings when this run loaded them; a run that never did
    // (a second start handing over to the running one) writes nothing.
    // False when nothing was written.
    bool SaveIfLoaded();

    bool TipsAtStartup = false;
    bool ScanResMaximized = false;
    bool ScanResDetails = false;
    std::int32_t LastTip = 0;  // the next tip to show
    std::array<bool, kResultColumnCount> ColShow{};
    std::array<std::int32_t, kResultColumnCount> ColSize{};  // pixels
    // The profile editor's size as the user left it, in pixels; 0 for its own size.
    std::int32_t ProfileEditorWidth = 0;
    std::int32_t ProfileEditorHeight = 0;

protected:
    void ReadSettings() override;
    void WriteSettings() override;
    void ResetDefaults() override;

private:
    void MoveUnreadableFileAside();

    bool loaded_ = false;
};

// The settings of the running program; made on first use.
TBWCVGenSettings& GenSettings();
