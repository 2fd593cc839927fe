// A temporary folder for tests that store profiles; removed with everything
// in it when the object goes.
#pragma once

#include <string>
#include <vector>

class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    // The folder, ending in "/", or a path below it.
    std::string Path(const std::string& relative = "") const;
    void WriteFile(const std::string& relative, const std::string& contents) const;
    std::string ReadFile(const std::string& relative) const;
    // The names of the entries of a folder below it, sorted.
    std::vector<std::string> Names(const std::string& relativeFolder) const;

private:
    std::string folder_;
};

// The bytes of a file of tests/data.
std::string TestDataFile(const std::string& relative);
