#include "base/platform/u_xdgdirs.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "base/platform/u_wholefile.h"

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string AbsoluteEnvironment(const char* name)
{
    std::string value = Environment(name);
    return value.starts_with('/') ? value : std::string();
}

std::string WithoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

std::string_view Trimmed(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The text between the double quotes, with the shell's backslash escapes
// undone; false when the value is not one quoted string.
bool Unquote(std::string_view quoted, std::string& text)
{
    if (quoted.size() < 2 || quoted.front() != '"' || quoted.back() != '"')
        return false;
    text.clear();
    const std::string_view inner = quoted.substr(1, quoted.size() - 2);
    for (std::size_t i = 0; i < inner.size(); ++i) {
        if (inner[i] == '\\' && i + 1 < inner.size())
            ++i;
        else if (inner[i] == '"')
            return false;
        text += inner[i];
    }
    return true;
}

// "$HOME/yyy" and "$HOME" are relative to the home folder, "/yyy" absolute;
// nothing else is allowed.
bool ResolveUserDir(const std::string& value, const std::string& home, std::string& folder)
{
    static const std::string kHome = "$HOME";
    if (value == kHome || value.starts_with(kHome + "/"))
        folder = home + value.substr(kHome.size());
    else if (value.starts_with('/'))
        folder = value;
    else
        return false;
    folder = WithoutTrailingSlashes(folder);
    return true;
}

// One field of the password database's entry of the process's user; empty
// when there is none.
std::string OwnPasswordEntry(char* passwd::*field)
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found)
        return found->*field;
    return {};
}

}  // namespace

std::string HomeFolder()
{
    std::string home = Environment("HOME");
    if (!home.empty())
        return WithoutTrailingSlashes(home);
    return WithoutTrailingSlashes(OwnPasswordEntry(&passwd::pw_dir));
}

std::string UserName()
{
    const std::string name = Environment("USER");
    return name.empty() ? OwnPasswordEntry(&passwd::pw_name) : name;
}

std::string XdgDataHomeSetting()
{
    return WithoutTrailingSlashes(AbsoluteEnvironment("XDG_DATA_HOME"));
}

std::string XdgDataHome()
{
    const std::string setting = XdgDataHomeSetting();
    return setting.empty() ? HomeFolder() + "/.local/share" : setting;
}

std::string XdgConfigHome()
{
    const std::string setting = WithoutTrailingSlashes(AbsoluteEnvironment("XDG_CONFIG_HOME"));
    return setting.empty() ? HomeFolder() + "/.config" : setting;
}

std::map<std::string, std::string> ParseUserDirs(std::string_view text, const std::string& home)
{
    std::map<std::string, std::string> folders;
    for (std::string_view line : SplitLines(text)) {
        line = Trimmed(line);
        const std::size_t equals = line.find('=');
        if (line.starts_with('#') || equals == std::string_view::npos)
            continue;
        std::string value, folder;
        if (Unquote(Trimmed(line.substr(equals + 1)), value) && ResolveUserDir(value, home, folder))
            folders[std::string(Trimmed(line.substr(0, equals)))] = folder;
    }
    return folders;
}

std::string UserDir(const std::string& name)
{
    std::string text;
    if (!ReadWholeFile(XdgConfigHome() + "/user-dirs.dirs", text))
        return {};
    const auto folders = ParseUserDirs(text, HomeFolder());
    const auto found = folders.find(name);
    return found == folders.end() ? std::string() : found->second;
}
