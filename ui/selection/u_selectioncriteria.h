#pragma once
// The criteria of the results window's special selection: the action, and
// which entries (by directory, priority, size, duration, bitrate, extension
// or relevance), as the selection wizard's pages gather them; the test of
// one result entry against them, and the walk that checks, unchecks or
// toggles every duplicate and single entry that meets them all.
#include <QString>
#include <cstdint>
#include <string>

class TBWDupeFile;
class TBWDupeFileList;

enum TSelAction : std::uint8_t { saCheck = 0, saUncheck = 1, saToggle = 2 };

// Bits of SelCriteria, in the order the pages come and the test runs.
enum TSelCriterion : std::uint8_t {
    scDirectory = 0,
    scPriority,
    scSize,
    scDuration,
    scBitrate,
    scExtension,
    scRelevance,
    scCount
};

enum TSelExtensionMode : std::int32_t {
    emListed = 0,          // one of SelExtensions
    emUnlikeReference = 1, // an extension other than the reference's
    emLikeReference = 2,   // the reference's extension
};

// A page writes only its own fields and the test reads only the chosen
// criteria's, so values left from an earlier run never count.
struct TSelectionCriteria {
    std::uint8_t SelAction = saCheck;
    std::uint8_t SelCriteria = 0;  // bit n: criterion n chosen
    std::string SelDirectory;      // model path; may start with a folder macro or "@"; empty matches nothing
    std::uint8_t SelPriorityMin = 0;  // directory roles, 5 the reference role
    std::uint8_t SelPriorityMax = 0;
    bool SelSizeRelative = false;  // bounds are offsets from the reference's value
    bool SelDurationRelative = false;
    bool SelBitrateRelative = false;
    bool SelPriorityRelative = false;  // the reference's directory is tested
    std::int32_t SelSizeMin = 0;       // KB
    std::int32_t SelSizeMax = 0;
    std::int32_t SelDurationMin = 0;  // seconds
    std::int32_t SelDurationMax = 0;
    std::int32_t SelBitrateMin = 0;  // kbit/s
    std::int32_t SelBitrateMax = 0;
    std::int32_t SelRelevanceMin = 0;  // percent
    std::int32_t SelRelevanceMax = 0;
    std::int32_t SelExtensionMode = emListed;
    std::string SelExtensions;  // upper case, each followed by ";": "MP3;WMA;"

    bool Chosen(TSelCriterion criterion) const { return (SelCriteria >> criterion) & 1U; }
};

// Written by the wizard's pages, kept from one run to the next.
extern TSelectionCriteria SelectionCriteria;

// The wording of an action in the pages' texts: "Check", "Uncheck", "Toggle".
QString ActionWord(std::uint8_t action);

bool InRange(std::int64_t value, std::int64_t low, std::int64_t high);

// Whether the entry meets every chosen criterion of SelectionCriteria;
// simWord is the similar-word tolerance the relevance is measured with.
bool MatchesSelectionCriteria(const TBWDupeFile& entry, std::int32_t simWord);

// The action of SelectionCriteria on every duplicate and single entry that
// matches, in list order; references and undecided entries stay as they are.
void ApplySelection(TBWDupeFileList& list);
