#include "tests/support/fake_system.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

void PrintTo(const TBWDrive& drive, std::ostream* out)
{
    *out << "{" << drive.root << ", " << drive.kind << ", " << drive.label << ", " << drive.device << "}";
}

TFakeSystem::TFakeSystem() : savedSources_(PlatformSources())
{
    std::string pattern = (std::filesystem::temp_directory_path() / "corvella-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    folder_ = std::filesystem::canonical(pattern).string();
    MakeFolder("home");
    SetEnvironment("HOME", Path("home"));
    for (const char* name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_DATA_DIRS"})
        UnsetEnvironment(name);
    PlatformSources() = {Path("mountinfo"), Path("by-label"), Path("sys/dev/block"), {Path("media"), Path("run/media")}, Path("dev")};
}

TFakeSystem::~TFakeSystem()
{
    PlatformSources() = savedSources_;
    for (const auto& [name, value] : savedEnvironment_) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string TFakeSystem::Path(const std::string& relative) const
{
    return relative.empty() ? folder_ : folder_ + "/" + relative;
}

void TFakeSystem::WriteFile(const std::string& relative, const std::string& contents) const
{
    std::filesystem::create_directories(std::filesystem::path(Path(relative)).parent_path());
    std::ofstream(Path(relative), std::ios::binary) << contents;
}

std::string TFakeSystem::ReadFile(const std::string& relative) const
{
    std::ifstream file(Path(relative), std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

bool TFakeSystem::Exists(const std::string& relative) const
{
    return std::filesystem::exists(std::filesystem::symlink_status(Path(relative)));
}

void TFakeSystem::MakeFolder(const std::string& relative) const
{
    std::filesystem::create_directories(Path(relative));
}

void TFakeSystem::MakeLink(const std::string& relative, const std::string& target) const
{
    std::filesystem::create_directories(std::filesystem::path(Path(relative)).parent_path());
    std::filesystem::create_symlink(target, Path(relative));
}

void TFakeSystem::SetEnvironment(const std::string& name, const std::string& value)
{
    Remember(name);
    ::setenv(name.c_str(), value.c_str(), 1);
}

void TFakeSystem::UnsetEnvironment(const std::string& name)
{
    Remember(name);
    ::unsetenv(name.c_str());
}

void TFakeSystem::Remember(const std::string& name)
{
    if (savedEnvironment_.count(name))
        return;
    const char* value = std::getenv(name.c_str());
    savedEnvironment_[name] = value ? std::optional<std::string>(value) : std::nullopt;
}

std::string TFakeSystem::MountLine(const std::string& majorMinor, const std::string& mountPoint,
                                   const std::string& fsType, const std::string& source,
                                   const std::string& root)
{
    return "36 1 " + majorMinor + " " + root + " " + mountPoint + " rw,relatime shared:1 - " + fsType + " " +
           source + " rw\n";
}

void TFakeSystem::WriteMountTable(const std::string& lines) const
{
    WriteFile("mountinfo", MountLine("8:1", "/", "ext4", "/dev/fakeroot") + lines);
}
