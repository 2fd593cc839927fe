// The general settings: what belongs to the program rather than to a
// comparison profile (the tip of the day, where the main window stands, how
// the results window opens, which result columns it shows and how wide). Kept as the profile
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
    static constexpr const char* SettingsName = kGenSettingsProfileName;

    // dataFolder: the folder of the settings file, ending in "/"; empty
    // for the program's data folder. The fields hold false and 0 until
    // LoadOrCreate.
    explicit TBWCVGenSettings(std::string dataFolder = {});

    // Reads the settings file; without one, the defaults under the name
    // "settings". A file that is no settings file is moved aside to
    // "settings.xml.bad" (numbered when that is taken, never replacing
    // one), so the next save takes its place instead of piling up
    // "settings1.xml" beside it. A file that cannot be read is left where it
    // is, and this run does not save over it. Nothing is written here.
    void LoadOrCreate();
    // Writes the settings when this run loaded them; a run that never did
    // (a second start handing over to the running one, or one that could
    // not read the file) writes nothing. False when nothing was written.
    bool SaveIfLoaded();
    // Whether SaveIfLoaded writes: this run loaded the settings, or took
    // the defaults in place of a file missing or damaged.
    bool Loaded() const { return loaded_; }
    // The settings file.
    std::string FileName() const;
    // Where LoadOrCreate moved a damaged settings file; empty when it did not.
    const std::string& SetAsideFile() const { return setAsideFile_; }

    bool TipsAtStartup = false;
    bool ScanResMaximized = false;
    bool ScanResDetails = false;
    // The results window's size as the user left it when not maximised, in
    // pixels; 0 before the window was ever closed.
    std::int32_t ScanResWidth = 0;
    std::int32_t ScanResHeight = 0;
    std::int32_t LastTip = 0;  // the next tip to show
    std::array<bool, kResultColumnCount> ColShow{};
    std::array<std::int32_t, kResultColumnCount> ColSize{};  // pixels
    // Where the main window was closed: the place and size in pixels of
    // its client area, as it stands when not maximised. A width of 0:
    // never kept, the window opens at its own size, centred.
    std::int32_t MainLeft = 0;
    std::int32_t MainTop = 0;
    std::int32_t MainWidth = 0;
    std::int32_t MainHeight = 0;
    bool MainMaximized = false;
    // The profile editor's size as the user left it, in pixels; 0 for its own size.
    std::int32_t ProfileEditorWidth = 0;
    std::int32_t ProfileEditorHeight = 0;

protected:
    void ReadSettings() override;
    void WriteSettings() override;
    void ResetDefaults() override;

private:
    bool loaded_ = false;
    std::string setAsideFile_;
};

// The settings of the running program; made on first use.
TBWCVGenSettings& GenSettings();
