// The words of a scan by content: each file's digest of the model's window
// followed by its size in KB. Only files that may meet another file are
// read, and a window equal to one digested in its group takes its digest.
// The scan engine gives it the files of its pool.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/u_readahead.h"
#include "model/u_bwdigest.h"

class TBWMp3File;

// The files of a scan by content that could not be read or are empty, and
// so met no other file: how many, and the paths of the first of them, so
// that the user can be told which without the memory of a whole collection.
struct TBWUnreadFiles {
    static constexpr std::size_t kPathsKept = 1000;
    std::uint64_t count = 0;
    std::vector<std::string> paths;  // the first kPathsKept, in the order met

    void Add(const std::string& path);
};

class TBWContentWords {
public:
    // stop: the scan's stop request, which reaches into every read.
    TBWContentWords(TBWReadThreads threads, const std::atomic<bool>& stop) : threads_(threads), stop_(stop) {}

    // Whether a file whose size in KB no other file shares is left without
    // a word, and so is a file whose window (or whole content) starts unlike
    // that of every other file, its size in KB not even read. The words that
    // can meet are the same either way.
    bool SkipLoneSizes = true;
    // Whether a file whose window (or whole content, where the file ends
    // before the window does) starts unlike that of every other file of its
    // size in KB is left without a word, and a window equal byte for byte
    // to one digested in its group takes its digest. The words that can
    // meet are the same either way.
    bool SkipDistinctStarts = true;

    // Gives every file its word, or an empty text where it can meet no other
    // file or its content cannot be read; a file without a window digest
    // keeps the one read, and a file that may meet another its size in KB,
    // bitrate and duration. Tells the files that could not be read. Throws
    // TBWStopped when a stop is requested meanwhile.
    const TBWUnreadFiles& SetWords(const std::vector<TBWMp3File*>& files);

private:
    // A file whose content is to be read, where it lies, and the first look
    // at its part, none where it could not be looked at or was not.
    struct TToRead {
        TBWMp3File* file;
        std::string path;
        std::optional<TBWContentPart> look;
    };
    // Files whose parts may be equal: all windows, or all whole files.
    struct TGroup {
        std::vector<const TToRead*> files;
        bool wholeFiles = false;
    };
    using TGroups = std::vector<TGroup>;
    std::vector<TToRead> ToRead(const std::vector<TBWMp3File*>& files, bool look);
    std::vector<TToRead> OfPartsThatMayMeet(std::vector<TToRead> files);
    static bool ReadsSizeWithContent(const TToRead& file);
    static std::int64_t GroupingSize(const TToRead& file);
    static std::unordered_set<std::int64_t> SharedSizes(const std::vector<TToRead>& files);
    void ReadSizes(const std::vector<TToRead>& files);
    TGroups GroupByPartStarts(const std::vector<TToRead>& files, const std::unordered_set<std::int64_t>& heldSizes);
    TGroups OneGroupEach(const std::vector<TToRead>& files);
    void ReadGroups(const TGroups& groups);

    TBWReadThreads threads_;
    const std::atomic<bool>& stop_;
    TBWUnreadFiles unread_;
};
