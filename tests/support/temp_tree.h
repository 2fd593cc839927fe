// A temporary folder for the tests that touch the disk: files of given
// bytes, folders, links, FIFOs and committed fixtures, and the user's home
// inside it (so the special folders and the stored settings lie there). HOME
// is put back, and the folder removed with everything in it, when it goes.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

class TTempTree {
public:
    // HOME is <folder>/home, where the user's folders are looked for: its
    // .config/user-dirs.dirs, its Music folder. It is made only when a test
    // writes there, so the folder's own listing holds what the test made.
    TTempTree();
    ~TTempTree();
    TTempTree(const TTempTree&) = delete;
    TTempTree& operator=(const TTempTree&) = delete;

    // The resolved path of the folder, or of a path below it. The folder's
    // path ends in "/", as the model's real paths do.
    std::string Path(const std::string& relative = "") const;
    // Makes missing folders on the way; gives the file's path.
    std::string WriteFile(const std::string& relative, const std::string& bytes) const;
    // A file of size bytes of which only the bytes given, at offset, are
    // written; the rest is a hole that takes no space.
    std::string WriteSparseFile(const std::string& relative, long long size, long long offset,
                                const std::string& bytes) const;
    std::string ReadFile(const std::string& relative) const;
    // The names of the entries of a folder below it, sorted.
    std::vector<std::string> Names(const std::string& relativeFolder) const;
    void MakeFolder(const std::string& relative) const;
    void MakeLink(const std::string& relative, const std::string& target) const;
    void MakeFifo(const std::string& relative) const;
    // Copies a committed fixture file into the tree.
    std::string CopyFixture(const std::string& fixture, const std::string& relative) const;

private:
    std::string folder_;
    // The variables as they were: a value, or none for a variable unset.
    std::map<std::string, std::optional<std::string>> savedVariables_;
};

// Bytes that differ from place to place, so that a window read from the
// wrong offset gives another digest.
std::string PatternBytes(std::size_t count, unsigned seed = 1);
// The bytes of a file of tests/data.
std::string TestDataFile(const std::string& relative);
