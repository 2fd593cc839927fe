// What the program needs of the system beyond plain file access: the user's
// special folders and the folder macros that stand for them in stored paths,
// the drives with their kinds and labels, the trash, the program's own paths
// and the version of its executable. The model, the engine and the windows
// call these; the Linux details live in base/platform.
//
// Special folders on Linux (the "registry value" of each is what the XDG
// conventions give; the fallback is used when that is empty and asked for):
//   type               per user                      all users                 fallback
//   0 Start Menu       $XDG_DATA_HOME/applications   /usr/share/applications   ~/.local/share/applications
//   1 Desktop          XDG_DESKTOP_DIR               -                         ~/Desktop
//   2 Application Data $XDG_DATA_HOME                /usr/share                ~/.local/share
//   3 Program Files    /opt                          /opt                      /opt
//   4 Common Files     /usr/lib                      /usr/lib                  /usr/lib
//   5 My Documents     XDG_DOCUMENTS_DIR             -                         ~/Documents
//   6 My Music         XDG_MUSIC_DIR                 -                         ~/Music
//   7 My Pictures      XDG_PICTURES_DIR              -                         ~/Pictures
// XDG_*_DIR entries come from $XDG_CONFIG_HOME/user-dirs.dirs; $XDG_DATA_HOME
// counts only when set (to an absolute path). Folders carry no trailing "/".
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "base/platform/u_drives.h"
#include "base/platform/u_registrystore.h"

// Always true: the rules of the NT family are the ones that apply here.
bool IsWinNT();

enum TBWSpecialFolder : std::int32_t {
    sfStartMenu = 0,
    sfDesktop = 1,
    sfAppData = 2,
    sfProgramFiles = 3,
    sfCommonFiles = 4,
    sfMyDocuments = 5,
    sfMyMusic = 6,
    sfMyPictures = 7,
    sfNone = 8,
};

// Flags of GetSpecialFolder.
enum TBWSpecialFolderFlags : std::int32_t {
    sffAllUsers = 1,
    sffUseFallback = 2,
};

// By type; the caption of sfNone is "Invalid".
inline constexpr std::array<const char*, 9> SpecialFolderCaption = {
    "Start Menu", "Desktop", "Application Data", "Program Files", "Common Files",
    "My Documents", "My Music", "My Pictures", "Invalid"};
inline constexpr std::array<const char*, 8> SpecialFolderMacro = {
    "%startmenu%", "%desktop%", "%appdata%", "%programfiles%", "%commonfiles%",
    "%mydocuments%", "%mymusic%", "%mypictures%"};
// The order in which the trees and the model root show the special folders.
inline constexpr std::array<TBWSpecialFolder, 8> SpecialFolderOrder = {
    sfStartMenu, sfDesktop, sfAppData, sfProgramFiles, sfCommonFiles,
    sfMyDocuments, sfMyMusic, sfMyPictures};

// The folder of a type, possibly empty (see the table above). A type outside
// 0..7 reads the sources of type 0 and has no fallback.
std::string GetSpecialFolder(std::int32_t type, std::int32_t flags);
// The type whose macro equals the whole text, ignoring ASCII case; sfNone
// when none does ("%mymusic%/x" is no macro).
TBWSpecialFolder FolderMacroType(const std::string& text);
// A path whose first part is a folder macro gets that part replaced by the
// user's folder (with fallback): "%MyMusic%/Rock" -> "/home/ann/Music/Rock".
// Any other path comes back unchanged.
std::string ExpandPathMacros(const std::string& path);

// "/" and then the mounted volumes, with kind, label and device (see
// u_drives.h); read from the system each time.
std::vector<TBWDrive> ListDrives();
// The name a volume read from the folder gets: the label of the volume
// mounted there, else the folder's own name ("/media/ann/CD1/" without a
// label gives "CD1"). Labels keep their own case: Linux compares them as
// they are, so the case of the path asked with says nothing.
std::string GetDriveVolumeName(const std::string& path);
// The root of the first drive of the kind, in ListDrives order; defaultRoot
// when there is none.
std::string FindDriveOfType(TBWDriveKind kind, const std::string& defaultRoot);

// Sends the files and folders to the trash, one by one. True when every one
// went. Each one that stays adds "Tried to recycle file: " + path + a line
// break + the reason to errors; a file is never deleted when trashing fails.
// Confirmation, when wanted, is the calling window's business.
bool RecycleFile(const std::vector<std::string>& paths, std::vector<std::string>& errors);

struct TAppPaths {
    std::string registryKey;   // "Software\<maker>\<product>" in the registry store
    std::string dataFolder;    // application data folder + "<maker>/<product>/"
    std::string helpFile;      // the help file name, as given
    std::string registryFile;  // the registry store's file, in the data folder
};
// Sets the program paths and creates the data folder when missing. Called
// once at start-up, before anything reads AppPaths.
void InitAppPaths(const std::string& maker, const std::string& product, const std::string& helpFile);
// Empty texts until InitAppPaths ran.
const TAppPaths& AppPaths();

// Writes the values of a key of the store into an XML file in the settings
// file format: root "bwprofile", one element per value in stored order, its
// text RegistryValueText (no text node when that is empty). A missing key
// gives the empty root. Creates the file's folder when missing. False when a
// value name cannot be an XML element name or the file cannot be written.
bool ExportRegistryToXml(const TRegistryStore& registry, const std::string& keyPath,
                         const std::string& fileName);

// The version of the program when fileName is the running program's own
// executable; the empty text for any other file, as those carry no version
// information.
std::string GetFileVersion(const std::string& fileName);
