#include "engine/u_cvprofile.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "base/u_bwdatetime.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"
#include "engine/u_xmlprofile.h"

namespace {

bool IsPermutationOfCriteria(const std::string& text)
{
    const std::string_view criteria = TBWCVProfile::DefaultPriorityList;
    return text.size() == criteria.size() &&
           std::all_of(criteria.begin(), criteria.end(),
                       [&text](char letter) { return text.find(letter) != std::string::npos; });
}


std::int32_t SecondsToStore(double days)
{
    constexpr std::int64_t kLowest = std::numeric_limits<std::int32_t>::min();
    constexpr std::int64_t kHighest = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(WholeSeconds(days), kLowest, kHighest));
}

constexpr double kSecondsPerDay = 86400.0;

}  // namespace

std::int32_t DirTypeRank(std::int32_t role)
{
    if (role >= dtPriority1 && role <= dtReference)
        return role + 1;
    return 0;
}

TBWCVProfile::TBWCVProfile(std::string dataFolder)
    : TBWProfile(std::make_unique<TXMLProfileInterface>("profiles", std::move(dataFolder)))
{
}

void TBWCVProfile::SetPriorityList(const std::string& text)
{
    priorityList_ = IsPermutationOfCriteria(text) ? text : DefaultPriorityList;
}

void TBWCVProfile::SetDirPriority(const std::string& dir, std::int32_t role)
{
    const auto found = std::find_if(dirPri_.begin(), dirPri_.end(),
                                    [&dir](const TBWNumberedText& entry) { return entry.text == dir; });
    if (found != dirPri_.end())
        found->number = role;
    else
        dirPri_.push_back({dir, role});
}

void TBWCVProfile::ClearDirPriorities()
{
    dirPri_.clear();
}

std::int32_t TBWCVProfile::GetDirPriority(const std::string& path) const
{
    const auto holds = [](const std::string& entry, const std::string& below) {
        const TBWPathRelation relation = PathRelation(entry, below);
        return relation == prEqual || relation == prBInsideA;
    };
    const std::string lowerPath = LowerCaseAscii(path);
    // The deepest entry that holds the path wins; of two as deep, the exact
    // one wins over one of an older profile that holds it ignoring case.
    const TBWNumberedText* best = nullptr;
    std::string bestLower;
    bool bestExact = false;
    for (const TBWNumberedText& entry : dirPri_) {
        const std::string lowerEntry = LowerCaseAscii(entry.text);
        const bool exact = holds(entry.text, path);
        if (!exact && !(entry.text == lowerEntry && holds(lowerEntry, lowerPath)))
            continue;
        const bool deeper = !best || PathRelation(lowerEntry, bestLower) == prAInsideB;
        const bool asDeepAndExact = best && exact && !bestExact && lowerEntry == bestLower;
        if (deeper || asDeepAndExact) {
            best = &entry;
            bestLower = lowerEntry;
            bestExact = exact;
        }
    }
    return best ? best->number : dtPriority3;
}

void TBWCVProfile::CleanDirPriorities()
{
    // Compared ignoring case, so the entries of older profiles stay too.
    std::vector<std::string> scanned(DirPath.size());
    std::transform(DirPath.begin(), DirPath.end(), scanned.begin(),
                   [](const std::string& dir) { return LowerCaseAscii(dir); });
    std::erase_if(dirPri_, [&scanned](const TBWNumberedText& entry) {
        const std::string lowerEntry = LowerCaseAscii(entry.text);
        return std::all_of(scanned.begin(), scanned.end(), [&lowerEntry](const std::string& dir) {
            return PathRelation(dir, lowerEntry) == prUnrelated;
        });
    });
}

void TBWCVProfile::SetExclusions(const std::string& text)
{
    exclusionText_ = LowerCaseText(text);
    const std::vector<std::string_view> pieces = CutAtSemicolons(exclusionText_);
    exclusions_.assign(pieces.begin(), pieces.end());
}

void TBWCVProfile::ResetDefaults()
{
    LastTime = 0;
    LastRun = 0;
    ProfileComment.clear();
    priorityList_ = DefaultPriorityList;
    DirPath.clear();
    SetExclusions("");
    MinPerc = 80;
    MinWordCount = 2;
    MinWordLength = 3;
    AnimNo = 0;
    SimWord = 0;
    CompType = ctFileNameFields;
    ExtPri = DefaultExtPri;
    ResultType = rsDuplicates;
    NoFieldOrder = false;
}

void TBWCVProfile::AfterNew()
{
    ClearDirPriorities();
}

void TBWCVProfile::ReadSettings()
{
    ProfileComment = ReadString("ProfileComment", "");
    LastRun = ReadFloat("LastRun", 0);
    LastTime = ReadInteger("LastTime", 0) / kSecondsPerDay;
    ReadStrings("DirPath", DirPath);
    ReadStrings("DirPri", dirPri_);
    MinPerc = ReadInteger("MinPerc", MinPerc);
    MinWordCount = ReadInteger("MinWordCount", MinWordCount);
    MinWordLength = ReadInteger("MinWordLength", MinWordLength);
    SetExclusions(ReadString("Exclusions", exclusionText_));
    // Stored as read, one byte each; nothing checks the range.
    CompType = static_cast<TBWCompType>(static_cast<std::uint8_t>(ReadInteger("CompType", 0)));
    ResultType = static_cast<TBWResultType>(static_cast<std::uint8_t>(ReadInteger("ResultType", 0)));
    SetPriorityList(ReadString("PriorityList", priorityList_));
    ExtPri = ReadString("ExtPri", ExtPri);
    AnimNo = ReadInteger("AnimNo", AnimNo);
    SimWord = ReadInteger("SimWord", SimWord);
    NoFieldOrder = ReadBool("NoFieldOrder", NoFieldOrder);
}

void TBWCVProfile::WriteSettings()
{
    CleanDirPriorities();
    WriteFloat("LastRun", LastRun);
    WriteInteger("LastTime", SecondsToStore(LastTime));
    WriteString("ProfileComment", ProfileComment);
    WriteStrings("DirPath", DirPath);
    WriteStrings("DirPri", dirPri_);
    WriteInteger("MinPerc", MinPerc);
    WriteInteger("MinWordCount", MinWordCount);
    WriteInteger("MinWordLength", MinWordLength);
    WriteString("Exclusions", exclusionText_);
    WriteInteger("CompType", CompType);
    WriteInteger("ResultType", ResultType);
    WriteString("PriorityList", priorityList_);
    WriteString("ExtPri", ExtPri);
    WriteInteger("AnimNo", AnimNo);
    WriteInteger("SimWord", SimWord);
    WriteBool("NoFieldOrder", NoFieldOrder);
}

void TBWCVProfile::Upgrade(std::int32_t oldVersion)
{
    if (oldVersion != 0)
        return;
    Storage().ReadFlatStrings("DirPath", DirPath);
    Storage().ReadFlatStrings("DirPri", dirPri_);
}

TBWCVProfile& CurrentProfile()
{
    static TBWCVProfile profile;
    return profile;
}

void TBWCVProfile::AssignSettings(const TBWCVProfile& source)
{
    LastTime = source.LastTime;
    LastRun = source.LastRun;
    ProfileComment = source.ProfileComment;
    DirPath = source.DirPath;
    MinPerc = source.MinPerc;
    MinWordCount = source.MinWordCount;
    MinWordLength = source.MinWordLength;
    AnimNo = source.AnimNo;
    SimWord = source.SimWord;
    CompType = source.CompType;
    ExtPri = source.ExtPri;
    ResultType = source.ResultType;
    NoFieldOrder = source.NoFieldOrder;
    priorityList_ = source.priorityList_;
    dirPri_ = source.dirPri_;
    exclusionText_ = source.exclusionText_;
    exclusions_ = source.exclusions_;
}
