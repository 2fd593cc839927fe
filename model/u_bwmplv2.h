// The older Mp3 List format (V2), read only: the list editor imports such
// files by reading them into a complete directory tree and copying that into
// a current list. ParseMplV2 takes the bytes apart; TBWMplDirChainV2 builds
// the tree from what it found.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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
