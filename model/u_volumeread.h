// Reading what an Mp3 List keeps of the files of a disc or folder added to
// it as a volume: size, tags and content digest, read on several threads
// while the calling thread reports progress and listens for a cancel. The
// Mp3 List editor adds its volumes through here.
#pragma once

#include <cstddef>
#include <functional>
#include <vector>

class TBWDirectory;
class TBWFile;

// The files below dir, in the order of its walk.
std::vector<TBWFile*> FilesBelow(TBWDirectory& dir);

// Told how many files are read so far, every few hundredths of a second and
// once all are; false cancels the read.
using TBWVolumeReadProgress = std::function<bool(std::size_t filesRead)>;

// Reads the files on `threads` threads (0: one per processor); what is
// read does not depend on their number. A cancel is answered within the
// piece of a file being read. False when cancelled.
bool ReadVolumeFiles(const std::vector<TBWFile*>& files, unsigned threads, const TBWVolumeReadProgress& progress);
