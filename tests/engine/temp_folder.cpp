#include "tests/engine/temp_folder.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string FileContents(const std::string& fileName)
{
    std::ifstream file(fileName, std::ios::binary);
    std::ostringstream contents;
    contents << file.rdbuf();
    return contents.str();
}

}  // namespace

TTempFolder::TTempFolder()
{
    std::string name = (std::filesystem::temp_directory_path() / "corvella-engine-XXXXXX").string();
    if (!::mkdtemp(name.data()))
        throw std::runtime_error("no temporary folder");
    folder_ = name + "/";
}

TTempFolder::~TTempFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string TTempFolder::Path(const std::string& relative) const
{
    return folder_ + relative;
}

void TTempFolder::WriteFile(const std::string& relative, const std::string& contents) const
{
    std::filesystem::create_directories(std::filesystem::path(Path(relative)).parent_path());
    std::ofstream(Path(relative), std::ios::binary) << contents;
}

std::string TTempFolder::ReadFile(const std::string& relative) const
{
    return FileContents(Path(relative));
}

std::vector<std::string> TTempFolder::Names(const std::string& relativeFolder) const
{
    std::vector<std::string> names;
    std::error_code error;
    for (std::filesystem::directory_iterator entries(Path(relativeFolder), error), end;
         !error && entries != end; entries.increment(error))
        names.push_back(entries->path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string TestDataFile(const std::string& relative)
{
    return FileContents(std::string(CORVELLA_TEST_DATA) + "/" + relative);
}
