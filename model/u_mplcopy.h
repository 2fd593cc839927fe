// The copy of selected list files from their catalogued discs: volume by
// volume the disc is asked for through a TDiscRequest, the volume's selected
// files are looked for in the folder given, and the ones found are copied
// into a destination folder, flat or keeping the disc's folders. The results
// window starts it through TMplManager::CopySelectedFromDiscs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class TBWDirectory;
class TBWFile;

// Called with 1 for every file found on a disc while copying.
using TCopyProgress = std::function<void(std::int32_t count)>;

// Where the copied files go: into destination, below the folders they have
// on the disc when keepStructure is set.
struct TCopyTarget {
    std::string destination;
    bool keepStructure = true;
};

// A file found on a disc that could not be copied: its path there and why.
struct TDiscCopyFailure {
    std::string path;
    std::string reason;
    bool operator==(const TDiscCopyFailure&) const = default;
};

// A list file copied from its disc and the path of its copy, whose name is
// a numbered one when the file's own was taken in the destination.
struct TDiscCopied {
    TBWFile* file;
    std::string path;
};

// What a copy from discs did: the list files it copied and where, the
// files that failed, and whether the user cancelled it at a disc request
// (the volumes after it were not copied).
struct TDiscCopyResult {
    std::vector<TDiscCopied> copied;
    std::vector<TDiscCopyFailure> failed;
    bool cancelled = false;
};

// How many of the volume's selected files lie in source, the folder holding
// the disc. Folder and file names on the disc match the list's without
// regard to case: a disc mounted without its long names shows them in lower
// case.
std::int32_t CountVolumeFiles(TBWDirectory& volume, const std::string& source);
// Copies the volume's selected files found in source to target and adds
// what it did to result. A copy never replaces a file: a name taken in the
// destination, by a file there or by one copied before, gets a free
// numbered name ("Song (2).mp3"). A file that would be copied onto itself
// is left as it is and counts as copied.
void CopyVolumeFiles(TBWDirectory& volume, const std::string& source, const TCopyTarget& target,
                     const TCopyProgress& onProgress, TDiscCopyResult& result);
