// The Mp3 List file, format version 3: a 32-byte header, the directory
// records, the string pool, and an MD5 seal over both sections. TMplIO writes
// a list from the records its directories hand over and reads it back lazily,
// one directory at a time. It knows bytes, not the model: the lists of
// u_bwfsmpl turn its records into directories and audio entries.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/u_bwstrlist.h"
#include "model/u_bwfs.h"

// The load state of an Mp3 List.
enum TMplState : std::uint8_t {
    msNone = 0,        // made without a name, or just saved
    msMissing = 1,     // file missing or empty
    msBadMagic = 2,    // first byte is not 0x5C
    msBadDigest = 3,   // sections do not match the digest (or do not fit the file)
    msBadVersion = 4,  // version byte is not 3
    msLoaded = 5,      // file accepted, sections in memory
    msModified = 6,    // whole tree in memory, changed, to be saved
};

// What a list keeps of one audio file.
struct TMplFileRecord {
    std::string name;
    std::int32_t sizeKB = 0;
    std::int32_t duration = 0;
    std::int32_t bitrate = 0;
    std::string title;
    std::string artist;
    std::string album;
    std::string genre;
    std::string comment;
    TBWDigest digest{};

    bool operator==(const TMplFileRecord&) const = default;
};

// A subdirectory as its parent's record names it.
struct TMplDirEntry {
    std::string name;
    std::int32_t recordOffset = 0;

    bool operator==(const TMplDirEntry&) const = default;
};

// Texts of list files are taken as UTF-8 when they are valid UTF-8; lists
// written on Windows hold Windows-1252, which is converted.
std::string DecodeListText(std::string_view bytes);

class TMplIO {
public:
    static constexpr std::int64_t kHeaderSize = 32;
    static constexpr std::int64_t kDirHeadSize = 16;
    static constexpr std::int64_t kFileRecordSize = 56;
    static constexpr std::uint8_t kMagic = 0x5C;
    static constexpr std::uint8_t kVersion = 3;

    // Empties both sections and the string index. The header stays: its
    // reserved bytes 2 and 3 are written back as the last read held them.
    void Clear();

    // Writing. -1 for the empty text; every other text is stored once
    // (with regard to case) and later uses share its offset.
    std::int32_t WriteString(const std::string& text);
    // Appends a directory record (head, subDirCount child offsets left 0,
    // the file records) and answers its offset in section 1.
    std::int32_t WriteDir(const std::string& name, std::int32_t subDirCount,
                          std::span<const TMplFileRecord> files);
    // Fills in the child offsets of the record at recordOffset.
    void WriteChildOffsets(std::int32_t recordOffset, std::span<const std::int32_t> childOffsets);
    TBWDigest SectionsDigest() const;
    // The header (filled in now) followed by both sections; false when a
    // section has outgrown what the header can state.
    bool FileBytes(std::string& bytes);
    // Through a temporary file and a rename, so a failed write keeps the
    // old file. The sections stay in memory either way.
    bool SaveToFile(const std::string& fileName);

    // Reading. A load only checks the file and keeps its sections. A file
    // that is there but cannot be read (or is no regular file, or too
    // large) is missing too; readFailure, when given, then says why, and is
    // emptied otherwise.
    TMplState LoadFromFile(const std::string& fileName, std::string* readFailure = nullptr);
    TMplState LoadFromBytes(std::string_view bytes);
    // The empty text for an offset or length outside the pool; the text
    // ends at its first zero byte.
    std::string ReadString(std::int32_t offset) const;
    // The subdirectories named by the record at recordOffset, in its order.
    // A child offset must lie after its parent's, on a multiple of four,
    // and belong to one parent only (the first that named it): a damaged
    // file can describe neither a cycle nor a tree that repeats itself, and
    // its directories are at most a quarter of its record bytes.
    // Incomplete records and arrays give nothing.
    std::vector<TMplDirEntry> ReadSubDirs(std::int32_t recordOffset);
    std::vector<TMplFileRecord> ReadFiles(std::int32_t recordOffset) const;

    bool HasRecords() const { return !records_.empty(); }
    const std::array<std::uint8_t, kHeaderSize>& Header() const { return header_; }
    const std::string& Records() const { return records_; }
    const std::string& Strings() const { return strings_; }

private:
    // The counts of the record at offset when its head and offset array
    // are complete.
    bool ReadDirHead(std::int32_t offset, std::int32_t& subDirCount, std::int32_t& fileCount) const;

    std::array<std::uint8_t, kHeaderSize> header_{};
    std::string records_;
    std::string strings_;
    TBWStrList stringIndex_;
    // Record offset of a subdirectory -> record offset of the parent that
    // named it first.
    std::unordered_map<std::int32_t, std::int32_t> parentOf_;
};
