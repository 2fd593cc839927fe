#include "ui/selection/u_selectioncriteria.h"

#include "base/HUtils.h"
#include "base/u_bwfunc.h"
#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "model/u_bwfsmp3.h"
#include "ui/common/u_relevance.h"

TSelectionCriteria SelectionCriteria;

namespace {

// No directory chosen (none was selected in the tree) is no directory that
// every path lies in.
bool RelationInside(const std::string& path, const std::string& folder)
{
    if (folder.empty())
        return false;
    const TBWPathRelation relation = PathRelation(ExpandPathMacros(path), ExpandPathMacros(folder));
    return relation == prAInsideB || relation == prEqual;
}

// In range of [low, high], shifted by the reference's value when relative
// and the entry has a reference.
bool ValueInRange(const TBWDupeFile& entry, TBWKey key, bool relative, std::int64_t low, std::int64_t high)
{
    if (relative && entry.Reference()) {
        const std::int64_t base = entry.Reference()->File()->KeyInt(key);
        low += base;
        high += base;
    }
    return InRange(entry.File()->KeyInt(key), low, high);
}

bool PriorityMatches(const TBWDupeFile& entry, const TSelectionCriteria& criteria)
{
    const TBWDupeFile& tested =
        criteria.SelPriorityRelative && entry.Reference() ? *entry.Reference() : entry;
    return InRange(DirTypeRank(tested.DirType()), DirTypeRank(criteria.SelPriorityMin),
                   DirTypeRank(criteria.SelPriorityMax));
}

// Whole list items only: "MP3;" is not in "XMP3;", and an empty extension
// is in no list.
bool ExtensionListed(const std::string& extension, const std::string& list)
{
    if (extension.empty())
        return false;
    const std::string item = extension + ";";
    for (std::size_t at = list.find(item); at != std::string::npos; at = list.find(item, at + 1))
        if (at == 0 || list[at - 1] == ';')
            return true;
    return false;
}

bool ExtensionMatches(const TBWDupeFile& entry, const TSelectionCriteria& criteria)
{
    const bool againstReference = criteria.SelExtensionMode > emListed && entry.Reference();
    const std::string pattern =
        againstReference ? entry.Reference()->File()->ExtensionKey() + ";" : criteria.SelExtensions;
    const bool found = ExtensionListed(entry.File()->ExtensionKey(), pattern);
    return criteria.SelExtensionMode == emUnlikeReference ? !found : found;
}

bool RelevanceMatches(const TBWDupeFile& entry, const TSelectionCriteria& criteria, std::int32_t simWord)
{
    if (!entry.Reference())
        return true;
    const std::int32_t percent = RelevancePercent(Relevance(*entry.File(), *entry.Reference()->File(), simWord));
    return InRange(percent, criteria.SelRelevanceMin, criteria.SelRelevanceMax);
}

bool CriterionMatches(TSelCriterion criterion, const TBWDupeFile& entry, const TSelectionCriteria& criteria,
                      std::int32_t simWord)
{
    switch (criterion) {
    case scDirectory: return RelationInside(entry.File()->DirPath(), criteria.SelDirectory);
    case scPriority: return PriorityMatches(entry, criteria);
    case scSize:
        return ValueInRange(entry, fkSize, criteria.SelSizeRelative, criteria.SelSizeMin, criteria.SelSizeMax);
    case scDuration:
        return ValueInRange(entry, fkDuration, criteria.SelDurationRelative, criteria.SelDurationMin,
                            criteria.SelDurationMax);
    case scBitrate:
        return ValueInRange(entry, fkBitrate, criteria.SelBitrateRelative, criteria.SelBitrateMin,
                            criteria.SelBitrateMax);
    case scExtension: return ExtensionMatches(entry, criteria);
    case scRelevance: return RelevanceMatches(entry, criteria, simWord);
    case scCount: break;
    }
    return true;
}

}  // namespace

QString ActionWord(std::uint8_t action)
{
    switch (action) {
    case saUncheck: return QStringLiteral("Uncheck");
    case saToggle: return QStringLiteral("Toggle");
    default: return QStringLiteral("Check");
    }
}

bool InRange(std::int64_t value, std::int64_t low, std::int64_t high)
{
    return low <= value && value <= high;
}

bool MatchesSelectionCriteria(const TBWDupeFile& entry, std::int32_t simWord)
{
    if (!entry.File())
        return false;
    for (int criterion = 0; criterion < scCount; ++criterion) {
        const auto which = static_cast<TSelCriterion>(criterion);
        if (SelectionCriteria.Chosen(which) && !CriterionMatches(which, entry, SelectionCriteria, simWord))
            return false;
    }
    return true;
}

void ApplySelection(TBWDupeFileList& list)
{
    const std::int32_t simWord = list.Profile().SimWord;
    for (TBWComparable* item = list.First(); !list.Eof(); item = list.Next()) {
        const auto* entry = static_cast<const TBWDupeFile*>(item);
        if (entry->State() != dsDuplicate && entry->State() != dsSingle)
            continue;
        if (!MatchesSelectionCriteria(*entry, simWord))
            continue;
        switch (SelectionCriteria.SelAction) {
        case saUncheck: list.SetSelected(item, false); break;
        case saToggle: list.ToggleSelected(item); break;
        default: list.SetSelected(item, true); break;
        }
    }
}
