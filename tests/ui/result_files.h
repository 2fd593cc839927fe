#pragma once
// Real audio-named files in a temporary folder, seen through a model root of
// their own and grouped in a result list as a scan leaves it, for the tests
// of the results window and its file actions. The entries' sizes, durations,
// bitrates and tags are set by the test rather than read from the bytes.
#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "model/u_bwfsmp3.h"

#include <QTemporaryDir>

#include <string>
#include <vector>

struct TAudioValues {
    std::int64_t sizeKB = 1000;
    std::int32_t duration = 200;
    std::int32_t bitrate = 128;
    std::string artist{};
    std::string title{};
};

// The file system under "/" as the model shows it.
class TDiskRoot : public TBWDirMp3 {
public:
    void LoadSubDirs() override { AddSubDir("/"); }
};

class TResultFiles {
public:
    explicit TResultFiles(TBWResultType resultType = rsDuplicates, TBWCompType compType = ctFileName);

    // The folder's path with a trailing "/", or of a path below it.
    std::string Path(const std::string& relative = "") const;
    // Writes the file (its bytes are its name unless given) and gives its entry in the model.
    TBWMp3File* Add(const std::string& relative, const TAudioValues& values = {}, const std::string& bytes = {});
    // The first file becomes the reference of the others (give it the highest role or size).
    void Group(TBWFile* reference, const std::vector<TBWFile*>& duplicates);
    // Single entries for negative and banlist results.
    void Single(TBWFile* file);
    void Resolve() { list.ResolveReferences(); }
    TBWDupeFile* EntryOf(const TBWFile* file);
    // The list in walk order: "R name", "D name", "S name"; a "+" after the mark when checked.
    std::vector<std::string> Shown();

    QTemporaryDir folder;
    TDiskRoot root;
    TBWCVProfile profile;
    TBWDupeFileList list;
};

// Makes the missing folders on the way.
void WriteWholeFile(const std::string& path, const std::string& bytes);
std::string ReadWholeFile(const std::string& path);
bool FileExists(const std::string& path);
