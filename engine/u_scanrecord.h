// What the result file cannot hold of what its scan showed, kept in a file
// of its own beside it so that the result file's format stays: the
// comparison settings of the scan, and for each path the result file holds,
// in its order, the role of the file's directory and the words the scan
// gave the file. "Load last results" then shows the groups, references,
// relevances and words the scan showed, whichever profile is selected. The
// record names the result file's size and digest; a record of another
// result file (an older program wrote the result file since) is not used.
// The result list writes and reads it with the result file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TBWCVProfile;
class TBWWordedComparable;

// "last_results.txt" keeps its record in "last_results.scan".
std::string ScanRecordFileName(const std::string& resultFileName);

struct TBWRecordedFile {
    std::int32_t role = 0;  // the role of its directory in the scan
    std::string words;      // its words, fields parted by " - "
};

class TBWScanRecord {
public:
    // The settings the results are shown with, taken from the scan's profile.
    void TakeSettings(const TBWCVProfile& profile);
    // Puts them into profile, which keeps its other values.
    void GiveSettings(TBWCVProfile& profile) const;

    // The next path of the result file: its file's role and words, as
    // WordsOf gives them (safe on several threads at once).
    void AddFile(std::int32_t role, std::string words);
    static std::string WordsOf(const TBWWordedComparable& file);
    const std::vector<TBWRecordedFile>& Files() const { return files_; }

    // The record of the result file whose whole text is resultText.
    std::string Text(std::string_view resultText) const;
    // The record in text when it is one and belongs to the result file
    // whose whole text is resultText; none otherwise.
    static std::optional<TBWScanRecord> Parse(std::string_view text, std::string_view resultText);

private:
    std::int32_t resultType_ = 0;
    std::int32_t compType_ = 0;
    std::int32_t simWord_ = 0;
    std::int32_t minPerc_ = 0;
    std::int32_t minWordCount_ = 0;
    std::int32_t minWordLength_ = 0;
    bool noFieldOrder_ = false;
    std::string priorityList_;
    std::string extPri_;
    std::vector<TBWRecordedFile> files_;
};

// Gives file the words recorded for it.
void RestoreWords(TBWWordedComparable& file, const std::string& words);
