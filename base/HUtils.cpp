#include "base/HUtils.h"

#include <sys/stat.h>

#include <algorithm>

#include "base/platform/u_platformsources.h"
#include "base/platform/u_trash.h"
#include "base/platform/u_xdgdirs.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"
#include "base/u_bwxmlwriter.h"

namespace {

constexpr const char* kProgramFiles = "/opt";
constexpr const char* kCommonFiles = "/usr/lib";

std::string WithSuffix(const std::string& folder, const char* suffix)
{
    return folder.empty() ? folder : folder + suffix;
}

std::string PerUserFolder(std::int32_t type)
{
    switch (type) {
    case sfDesktop: return UserDir("XDG_DESKTOP_DIR");
    case sfAppData: return XdgDataHomeSetting();
    case sfProgramFiles: return kProgramFiles;
    case sfCommonFiles: return kCommonFiles;
    case sfMyDocuments: return UserDir("XDG_DOCUMENTS_DIR");
    case sfMyMusic: return UserDir("XDG_MUSIC_DIR");
    case sfMyPictures: return UserDir("XDG_PICTURES_DIR");
    default: return WithSuffix(XdgDataHomeSetting(), "/applications");
    }
}

// Linux has no shared desktop, documents, music or pictures folder.
std::string AllUsersFolder(std::int32_t type)
{
    switch (type) {
    case sfAppData: return "/usr/share";
    case sfProgramFiles: return kProgramFiles;
    case sfCommonFiles: return kCommonFiles;
    case sfDesktop:
    case sfMyDocuments:
    case sfMyMusic:
    case sfMyPictures: return {};
    default: return "/usr/share/applications";
    }
}

std::string FallbackFolder(std::int32_t type)
{
    switch (type) {
    case sfDesktop: return HomeFolder() + "/Desktop";
    case sfAppData: return HomeFolder() + "/.local/share";
    case sfProgramFiles: return kProgramFiles;
    case sfCommonFiles: return kCommonFiles;
    case sfMyDocuments: return HomeFolder() + "/Documents";
    case sfMyMusic: return HomeFolder() + "/Music";
    case sfMyPictures: return HomeFolder() + "/Pictures";
    default: return HomeFolder() + "/.local/share/applications";
    }
}

bool IsSpecialFolder(std::int32_t type)
{
    return type >= sfStartMenu && type < sfNone;
}

// The names XML 1.0 allows, for the ASCII range; bytes of UTF-8 sequences
// are let through as the name characters they mostly are.
bool IsXmlName(const std::string& name)
{
    auto isStart = [](unsigned char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' || c >= 0x80;
    };
    auto isPart = [&](unsigned char c) {
        return isStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
    };
    return !name.empty() && isStart(static_cast<unsigned char>(name.front())) &&
           std::all_of(name.begin(), name.end(), [&](char c) { return isPart(static_cast<unsigned char>(c)); });
}

std::string FolderOf(const std::string& fileName)
{
    const std::size_t slash = fileName.rfind(kPathDelimiter);
    return slash == std::string::npos ? std::string() : fileName.substr(0, slash + 1);
}

TAppPaths& MutableAppPaths()
{
    static TAppPaths paths;
    return paths;
}

}  // namespace

bool IsWinNT()
{
    return true;
}

std::string GetSpecialFolder(std::int32_t type, std::int32_t flags)
{
    if (!IsSpecialFolder(type))
        return flags & sffAllUsers ? AllUsersFolder(sfStartMenu) : PerUserFolder(sfStartMenu);
    const std::string folder = flags & sffAllUsers ? AllUsersFolder(type) : PerUserFolder(type);
    if (folder.empty() && (flags & sffUseFallback))
        return FallbackFolder(type);
    return folder;
}

TBWSpecialFolder FolderMacroType(const std::string& text)
{
    const std::string lower = LowerCaseAscii(text);
    for (TBWSpecialFolder type : SpecialFolderOrder)
        if (lower == SpecialFolderMacro[type])
            return type;
    return sfNone;
}

std::string ExpandPathMacros(const std::string& path)
{
    if (!path.starts_with('%'))
        return path;
    const std::string macro = GetPathPart(path, 0);
    const TBWSpecialFolder type = FolderMacroType(macro);
    if (type == sfNone)
        return path;
    return GetSpecialFolder(type, sffUseFallback) + path.substr(macro.size());
}

std::vector<TBWDrive> ListDrives()
{
    return ListDrives(PlatformSources());
}

std::string GetDriveVolumeName(const std::string& path)
{
    const std::string root = AddTrailingBackslash(path);
    for (const TBWDrive& drive : ListDrives())
        if (drive.root == root && !drive.label.empty())
            return drive.label;
    return LastPathPart(path);
}

std::string FindDriveOfType(TBWDriveKind kind, const std::string& defaultRoot)
{
    const std::vector<TBWDrive> drives = ListDrives();
    const auto found = std::find_if(drives.begin(), drives.end(),
                                    [kind](const TBWDrive& drive) { return drive.kind == kind; });
    return found == drives.end() ? defaultRoot : found->root;
}

bool RecycleFile(const std::vector<std::string>& paths, std::vector<std::string>& errors)
{
    bool allTrashed = true;
    for (const std::string& path : paths) {
        std::string reason;
        if (MoveToTrash(path, PlatformSources(), reason))
            continue;
        errors.push_back("Tried to recycle file: " + path + "\n" + reason);
        allTrashed = false;
    }
    return allTrashed;
}

void InitAppPaths(const std::string& maker, const std::string& product, const std::string& helpFile)
{
    TAppPaths& paths = MutableAppPaths();
    paths.registryKey = "Software\\" + maker + "\\" + product;
    paths.dataFolder = AddTrailingBackslash(GetSpecialFolder(sfAppData, sffUseFallback)) + maker +
                       kPathDelimiter + product + kPathDelimiter;
    paths.helpFile = helpFile;
    paths.registryFile = paths.dataFolder + "registry.txt";
    CreateDirectoryPath(paths.dataFolder);
}

const TAppPaths& AppPaths()
{
    return MutableAppPaths();
}

bool ExportRegistryToXml(const TRegistryStore& registry, const std::string& keyPath,
                         const std::string& fileName)
{
    pugi::xml_document document;
    pugi::xml_node root = document.append_child("bwprofile");
    for (const TRegistryValue& value : registry.Values(keyPath)) {
        if (!IsXmlName(value.name))
            return false;
        pugi::xml_node element = root.append_child(value.name.c_str());
        const std::string text = RegistryValueText(value);
        if (!text.empty())
            element.append_child(pugi::node_pcdata).set_value(text.c_str());
    }
    CreateDirectoryPath(FolderOf(fileName));
    return SaveXmlFile(document, fileName);
}

std::string GetFileVersion(const std::string& fileName)
{
    struct stat file {}, program {};
    if (::stat(fileName.c_str(), &file) != 0 || ::stat("/proc/self/exe", &program) != 0)
        return {};
    if (file.st_dev != program.st_dev || file.st_ino != program.st_ino)
        return {};
    return CORVELLA_VERSION;
}
