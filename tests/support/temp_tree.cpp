#include "tests/support/temp_tree.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

std::string FileContents(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

}  // namespace

TTempTree::TTempTree()
{
    std::string pattern = (fs::temp_directory_path() / "corvella-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot make a temporary folder");
    folder_ = fs::canonical(pattern).string() + "/";
    // The folders of the user's settings follow HOME only while the
    // variables that would name them elsewhere are unset.
    for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
        const char* value = std::getenv(name);
        savedVariables_[name] = value ? std::optional<std::string>(value) : std::nullopt;
        ::unsetenv(name);
    }
    ::setenv("HOME", Path("home").c_str(), 1);
}

TTempTree::~TTempTree()
{
    for (const auto& [name, value] : savedVariables_) {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

std::string TTempTree::Path(const std::string& relative) const
{
    return folder_ + relative;
}

std::string TTempTree::WriteFile(const std::string& relative, const std::string& bytes) const
{
    fs::create_directories(fs::path(Path(relative)).parent_path());
    std::ofstream(Path(relative), std::ios::binary) << bytes;
    return Path(relative);
}

std::string TTempTree::WriteSparseFile(const std::string& relative, long long size, long long offset,
                                       const std::string& bytes) const
{
    const std::string path = WriteFile(relative, "");
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    const bool written = descriptor >= 0 && ::ftruncate(descriptor, size) == 0 &&
                         ::pwrite(descriptor, bytes.data(), bytes.size(), offset) ==
                             static_cast<ssize_t>(bytes.size());
    if (descriptor >= 0)
        ::close(descriptor);
    if (!written)
        throw std::runtime_error("cannot write the sparse file " + path);
    return path;
}

std::string TTempTree::ReadFile(const std::string& relative) const
{
    return FileContents(Path(relative));
}

std::vector<std::string> TTempTree::Names(const std::string& relativeFolder) const
{
    std::vector<std::string> names;
    std::error_code error;
    for (fs::directory_iterator entries(Path(relativeFolder), error), end; !error && entries != end;
         entries.increment(error))
        names.push_back(entries->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void TTempTree::MakeFolder(const std::string& relative) const
{
    fs::create_directories(Path(relative));
}

void TTempTree::MakeLink(const std::string& relative, const std::string& target) const
{
    fs::create_directories(fs::path(Path(relative)).parent_path());
    fs::create_symlink(target, Path(relative));
}

void TTempTree::MakeFifo(const std::string& relative) const
{
    fs::create_directories(fs::path(Path(relative)).parent_path());
    if (::mkfifo(Path(relative).c_str(), 0644) != 0)
        throw std::runtime_error("cannot make the FIFO " + Path(relative));
}

std::string TTempTree::CopyFixture(const std::string& fixture, const std::string& relative) const
{
    fs::create_directories(fs::path(Path(relative)).parent_path());
    fs::copy_file(fs::path(CORVELLA_TEST_DATA) / ".." / "fixtures" / "audio" / fixture, Path(relative),
                  fs::copy_options::overwrite_existing);
    return Path(relative);
}

std::string PatternBytes(std::size_t count, unsigned seed)
{
    std::string bytes(count, '\0');
    unsigned state = seed * 2654435761u + 1;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 16);
    }
    return bytes;
}

std::string TestDataFile(const std::string& relative)
{
    return FileContents(std::string(CORVELLA_TEST_DATA) + "/" + relative);
}
