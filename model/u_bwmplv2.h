// The older Mp3 List format (V2), read only: the list editor imports such
// files by reading them into a complete directory tree and copying that into
// a current list. ParseMplV2 takes the bytes apart; TBWMplDirChainV2 builds
// the tree from what it found.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/u_bwfs.h"

// Result codes of reading an older list.
enum TMplV2Result : std::int32_t {
    mvRead = 0,        // also when the file ends early after a good magic
    mvNoFile = 1,
    mvCannotOpen = 2,
    mvBadMagic = 3,
};

struct TMplV2Dir {
    std::string name;
    std::uint8_t depth = 0;
};

// A file record; one cut off by the end of the file keeps the fields read
// before it, in the order they are stored.
struct TMplV2File {
    enum Field : std::int32_t { kDuration = 1, kSize, kBitrate, kName, kDigest };
    std::int32_t fieldsRead = 0;  // the last Field read completely, 0 for none
    std::uint16_t duration = 0;
    std::uint16_t sizeKB = 0;
    std::uint16_t bitrate = 0;
    std::string name;
    std::string digestText;  // the 32 stored characters, as they are

    bool Has(Field field) const { return fieldsRead >= field; }
};

struct TMplV2Section {
    // 0 for the first directory record; -1 names the root.
    std::int32_t dirNumber = 0;
    std::vector<TMplV2File> files;
};

struct TMplV2Content {
    std::vector<TMplV2Dir> dirs;
    std::vector<TMplV2Section> sections;
};

// Reading stops at the first field the bytes do not hold completely, and at
// a section whose directory number names no directory read.
TMplV2Result ParseMplV2(std::string_view bytes, TMplV2Content& content);

// The folder older lists are read from; it always ends with "/" once set.
void SetMplV2BaseDir(const std::string& path);
const std::string& MplV2BaseDir();

// A directory of an older list. The tree is complete once read: its
// directories and file lists never load anything by themselves. Its file
// entries are audio entries that count every kind of information as loaded,
// so copying the tree into a current list keeps their values.
class TBWMplDirChainV2 : public TBWDirectory {
    BW_CLASS(TBWMplDirChainV2)
public:
    explicit TBWMplDirChainV2(TBWObject* owner = nullptr);

    void LoadSubDirs() override {}
    void Refresh() override {}

    // On the root: the list file's name (without folder) names the root
    // "@<file name>/", so its paths look like a list's.
    void SetListFile(const std::string& fileName);
    // Reads MplV2BaseDir + FileName into the tree, always into the root.
    TMplV2Result LoadFromFile();
    // The same from bytes in memory.
    TMplV2Result LoadFromBytes(std::string_view bytes);

    const std::string& FileName() { return Top().fileName_; }
    // 0 for the root, then 1, 2, 3 ... for the directories in file order.
    std::int32_t DirIndex() const { return dirIndex_; }

private:
    TBWMplDirChainV2& Top() { return static_cast<TBWMplDirChainV2&>(*TopOfKind()); }
    // On the root, emptied before.
    TMplV2Result Read(std::string_view bytes);
    void Build(const TMplV2Content& content);

    std::string fileName_;
    std::int32_t dirIndex_ = 0;
};

class TBWMplFileChainV2 : public TBWFileList {
    BW_CLASS(TBWMplFileChainV2)
public:
    explicit TBWMplFileChainV2(TBWObject* owner = nullptr);

    void LoadFiles() override {}
    void Refresh() override {}
};
