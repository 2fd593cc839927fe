// The comparison profile: the directories of a duplicate search and the role
// of each, how files are compared, the thresholds, the exclusion patterns,
// the order of the criteria that choose the file that remains, and the kind
// of result. The windows fill one current profile; the engine and the result
// list read it while a scan runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/u_bwprofile.h"

enum TBWCompType : std::uint8_t {
    ctFileNameFields = 0,  // file name words, fields split at a stand-alone "-"
    ctFileName = 1,        // file name words as one field
    ctTagsWithAlbum = 2,   // tags: Title, Artist and Album
    ctContent = 3,         // file content: digest and size
    ctTags = 4,            // tags: Title and Artist
};

// What a comparison type decides, each rule named once.
// The files are compared by digest and size, not by words.
constexpr bool ComparesByContent(TBWCompType type)
{
    return type == ctContent;
}
// The words are those of the tags, not of the file name.
constexpr bool ComparesByTags(TBWCompType type)
{
    return type == ctTagsWithAlbum || type == ctTags;
}
// The tags compared take in the Album besides Title and Artist.
constexpr bool ComparesAlbumToo(TBWCompType type)
{
    return type == ctTagsWithAlbum;
}
// The words are scored field by field: file name fields, or one per tag.
constexpr bool ComparesByFields(TBWCompType type)
{
    return type == ctFileNameFields || ComparesByTags(type);
}
// A field of the one file is matched among all the fields of the other.
constexpr bool ComparesFieldsInAnyOrder(TBWCompType type, bool noFieldOrder)
{
    return type == ctFileNameFields && noFieldOrder;
}
// Each field is matched with the field in its place, so that two files
// alike share a word of their first fields.
constexpr bool ComparesFieldsInOrder(TBWCompType type, bool noFieldOrder)
{
    return ComparesByFields(type) && !ComparesFieldsInAnyOrder(type, noFieldOrder);
}
// Words within simWord edits of each other count as alike; a digest has no
// such neighbours.
constexpr bool ComparesSimilarWords(TBWCompType type, std::int32_t simWord)
{
    return simWord > 0 && !ComparesByContent(type);
}

enum TBWResultType : std::uint8_t {
    rsDuplicates = 0,
    rsNegative = 1,  // files without a match in the reference directories
    rsBanlist = 2,   // files that match an exclusion pattern
};

// Directory roles, the integers of the DirPri entries.
enum TBWDirType : std::int32_t {
    dtPriority1 = 0,  // lowest
    dtPriority2 = 1,
    dtPriority3 = 2,  // normal: a directory below no entry
    dtPriority4 = 3,
    dtPriority5 = 4,  // highest
    dtReference = 5,  // its files are kept and serve as references
    dtExcluded = 6,   // its files take no part in duplicate and negative searches
};

// The rank of a role when the file that remains is chosen: priorities 1 to
// 5 rank 1 to 5, a reference directory 6, excluded (or any other value) 0.
std::int32_t DirTypeRank(std::int32_t role);

class TBWCVProfile : public TBWProfile {
public:
    static constexpr const char* DefaultPriorityList = "SEDB";
    static constexpr const char* DefaultExtPri = "MP3;M4A;M4P;WMA;OGG;";

    // dataFolder: where the "profiles" folder is; empty for the program's
    // data folder.
    explicit TBWCVProfile(std::string dataFolder = {});

    // Takes every setting of source but its name and file, so a scan can
    // keep its own copy while the windows change the current profile.
    void AssignSettings(const TBWCVProfile& source);

    double LastTime = 0;  // time the last scan took, in days; stored in whole seconds
    double LastRun = 0;   // day of the last scan; stored in whole days
    std::string ProfileComment;
    std::vector<std::string> DirPath;  // the directories to scan, as the user chose them
    std::int32_t MinPerc = 0;          // minimum relevance, percent
    std::int32_t MinWordCount = 0;
    std::int32_t MinWordLength = 0;
    std::int32_t AnimNo = 0;   // the progress window's animation
    std::int32_t SimWord = 0;  // similar-word tolerance (edit distance), 0 = off
    TBWCompType CompType = ctFileNameFields;
    std::string ExtPri;  // upper-case extensions, each followed by ";", preferred first
    TBWResultType ResultType = rsDuplicates;
    bool NoFieldOrder = false;  // fields of file names may match in any order

    // The criteria that decide which file of a group remains, in order:
    // "S" size, "E" extension, "D" duration, "B" bitrate.
    const std::string& PriorityList() const { return priorityList_; }
    // Takes text when it is a permutation of S, E, D and B; else "SEDB".
    void SetPriorityList(const std::string& text);

    // Directory paths, as they are written, with their roles: two folders
    // whose names differ in letter case only are two folders.
    const std::vector<TBWNumberedText>& DirPri() const { return dirPri_; }
    void SetDirPriority(const std::string& dir, std::int32_t role);
    void ClearDirPriorities();
    // The role of the deepest entry that is the path or lies above it (the
    // first such entry when two are equal); dtPriority3 when none does.
    // Older profiles stored every entry lower-cased: an entry all in lower
    // case also holds the paths that match it ignoring case, unless an entry
    // as deep matches exactly.
    std::int32_t GetDirPriority(const std::string& path) const;
    // Drops the roles of directories unrelated to every scan directory.
    void CleanDirPriorities();

    // The exclusion patterns, lower-cased, separated by ";".
    const std::string& ExclusionText() const { return exclusionText_; }
    // ExclusionText cut at each ";" (empty pieces stay; a final ";" adds none).
    const std::vector<std::string>& Exclusions() const { return exclusions_; }
    void SetExclusions(const std::string& text);

protected:
    void ReadSettings() override;
    void WriteSettings() override;
    void ResetDefaults() override;
    // A new profile starts without the roles of the one before it.
    void AfterNew() override;
    // Version 0 kept its lists in the flat layout.
    void Upgrade(std::int32_t oldVersion) override;
    std::int32_t CurrentVersion() const override { return 1; }

private:
    std::string priorityList_;
    std::vector<TBWNumberedText> dirPri_;
    std::string exclusionText_;
    std::vector<std::string> exclusions_;
};

// The current comparison profile, shared by the windows, the engine and the
// result list; made on first use, freed at exit.
TBWCVProfile& CurrentProfile();
