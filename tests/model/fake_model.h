// A scripted source for the directory model: directories and files held in
// memory by model path, with counts of every load, and the change notices
// the tree raised. The model tests build trees over it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "model/u_bwfs.h"

struct TFakeSource {
    struct Folder {
        std::vector<std::string> dirs;
        std::vector<std::string> files;
    };
    struct Notice {
        std::string path;  // model path of the directory passed
        TBWChangeKind kind;
        bool operator==(const Notice&) const = default;
    };

    // Folders by model path: "" is the root, then "/", "/music/" ...
    std::map<std::string, Folder> folders;
    std::map<std::string, int> dirLoads;
    std::map<std::string, int> fileLoads;
    // Info loads by file name and kind.
    std::map<std::pair<std::string, std::int32_t>, int> infoLoads;
    std::vector<Notice> notices;
    // Called with every notice as it reaches the root, after it is recorded.
    std::function<void(TBWDirectory* dir, TBWChangeKind kind)> onNotice;

    // Adds the folders of a path ("/music/rock/") and the files given to
    // its last folder, listing each folder in its parent.
    void Add(const std::string& path, const std::vector<std::string>& files = {});
    int InfoLoads(const std::string& file, std::int32_t kind) const;
    int TotalDirLoads() const;
    int TotalFileLoads() const;
};

// A directory read from the source of its root. The root (no parent)
// records the notices that reach it.
class TFakeDir : public TBWDirectory {
    BW_CLASS(TFakeDir)
public:
    explicit TFakeDir(TBWObject* owner = nullptr);

    void LoadSubDirs() override;
    void DirChanged(TBWDirectory* dir, TBWChangeKind kind) override;

    TFakeSource& Source();

    // Set on the root only.
    TFakeSource* source = nullptr;
};

class TFakeFileList : public TBWFileList {
    BW_CLASS(TFakeFileList)
public:
    explicit TFakeFileList(TBWObject* owner = nullptr);
    void LoadFiles() override;
};

// Size: the length of the name times 100. Digest: the name's bytes.
class TFakeFile : public TBWFile {
    BW_CLASS(TFakeFile)
public:
    using TBWFile::TBWFile;
    using TBWFile::SetFileTimes;

    void LoadInfo(std::int32_t kind) override;
    static TBWDigest DigestOfName(const std::string& name);
};

// A directory held only in memory, never read: what a copy is made into.
class TMemoryDir : public TBWDirectory {
    BW_CLASS(TMemoryDir)
public:
    explicit TMemoryDir(TBWObject* owner = nullptr);
    void LoadSubDirs() override {}
};

class TMemoryFileList : public TBWFileList {
    BW_CLASS(TMemoryFileList)
public:
    explicit TMemoryFileList(TBWObject* owner = nullptr);
    void Refresh() override { Touch(); }
};

// Names of the items of a container, in walk order, without loading it.
std::vector<std::string> NamesIn(const TBWChain& items);
std::vector<std::string> SubDirNames(TBWDirectory& dir);
std::vector<std::string> FileNames(TBWDirectory& dir);
