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

// Called with 1 for every file found on a disc while copying.
using TCopyProgress = std::function<void(std::int32_t count)>;

// Where the copied files go: into destination, below the folders they have
// on the disc when keepStructure is set.
struct TCopyTarget {
    std::string destination;
    bool keepStructure = true;
};

// How many of the volume's selected files lie in source, the folder holding
// the disc. Folder and file names on the disc match the list's without
// regard to case: a disc mounted without its long names shows them in lower
// case.
std::int32_t CountVolumeFiles(TBWDirectory& volume, const std::string& source);
// Copies the volume's selected files found in source to target, replacing
// files of the same name, and answers how many were copied. A file that
// would be copied onto itself is left as it is and counts as copied; each
// one that fails adds its path on the disc and the reason to failed.
std::int32_t CopyVolumeFiles(TBWDirectory& volume, const std::string& source, const TCopyTarget& target,
                             const TCopyProgress& onProgress, std::vector<std::string>& failed);
