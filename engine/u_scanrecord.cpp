#include "engine/u_scanrecord.h"

#include <algorithm>
#include <charconv>

#include "base/platform/u_wholefile.h"
#include "base/u_bwbaseclass.h"
#include "engine/u_cvprofile.h"

namespace {

constexpr std::string_view kHeading = "Corvella scan record 1";
constexpr std::string_view kResultKey = "result";
constexpr std::string_view kFilesKey = "files";
constexpr std::string_view kFieldEnd = " - ";
// The last line: a record cut short is no record.
constexpr std::string_view kEnd = "end";

// 64-bit FNV-1a: enough to tell a result file written since from the one
// the record was made with; nothing depends on it being unforgeable.
std::uint64_t Fingerprint(std::string_view text)
{
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const char c : text)
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001b3ull;
    return hash;
}

std::string ResultLine(std::string_view resultText)
{
    char digest[17] = {};
    std::to_chars(digest, digest + 16, Fingerprint(resultText), 16);
    return std::string(kResultKey) + " " + std::to_string(resultText.size()) + " " + digest;
}

// A value is one line of the record.
std::string OneLine(std::string text)
{
    std::erase_if(text, [](char c) { return c == '\n' || c == '\r'; });
    return text;
}

template <class Number>
bool ParseNumber(std::string_view text, Number& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// Reads the record's lines in their fixed order; any line not as written
// makes the whole record unusable.
class TRecordReader {
public:
    explicit TRecordReader(std::string_view text) : lines_(SplitLines(text)) {}

    bool Line(std::string_view expected) { return Next() && current_ == expected; }
    // The rest of the next line after "key ".
    bool Value(std::string_view key, std::string& value)
    {
        if (!Next() || !current_.starts_with(key) || current_.size() <= key.size() || current_[key.size()] != ' ')
            return false;
        value = std::string(current_.substr(key.size() + 1));
        return true;
    }
    bool Number(std::string_view key, std::int32_t& value, std::int32_t lowest, std::int32_t highest)
    {
        std::string text;
        return Value(key, text) && ParseNumber(text, value) && value >= lowest && value <= highest;
    }
    bool File(TBWRecordedFile& file)
    {
        if (!Next())
            return false;
        const std::size_t tab = current_.find('\t');
        if (tab == std::string_view::npos || !ParseNumber(current_.substr(0, tab), file.role))
            return false;
        file.words = std::string(current_.substr(tab + 1));
        return true;
    }
    // Only an empty last line, the end of the last one written, may follow.
    bool AtEnd() const { return at_ == lines_.size() || (at_ + 1 == lines_.size() && lines_.back().empty()); }

private:
    bool Next()
    {
        if (at_ == lines_.size())
            return false;
        current_ = lines_[at_++];
        return true;
    }

    std::vector<std::string_view> lines_;
    std::size_t at_ = 0;
    std::string_view current_;
};

}  // namespace

std::string ScanRecordFileName(const std::string& resultFileName)
{
    const std::size_t dot = resultFileName.rfind('.');
    const std::size_t slash = resultFileName.rfind('/');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? resultFileName.substr(0, dot) : resultFileName) + ".scan";
}

void TBWScanRecord::TakeSettings(const TBWCVProfile& profile)
{
    resultType_ = profile.ResultType;
    compType_ = profile.CompType;
    simWord_ = profile.SimWord;
    minPerc_ = profile.MinPerc;
    minWordCount_ = profile.MinWordCount;
    minWordLength_ = profile.MinWordLength;
    noFieldOrder_ = profile.NoFieldOrder;
    priorityList_ = profile.PriorityList();
    extPri_ = profile.ExtPri;
}

void TBWScanRecord::GiveSettings(TBWCVProfile& profile) const
{
    profile.ResultType = static_cast<TBWResultType>(resultType_);
    profile.CompType = static_cast<TBWCompType>(compType_);
    profile.SimWord = simWord_;
    profile.MinPerc = minPerc_;
    profile.MinWordCount = minWordCount_;
    profile.MinWordLength = minWordLength_;
    profile.NoFieldOrder = noFieldOrder_;
    profile.SetPriorityList(priorityList_);
    profile.ExtPri = extPri_;
}

void TBWScanRecord::AddFile(std::int32_t role, std::string words)
{
    files_.push_back({role, std::move(words)});
}

std::string TBWScanRecord::WordsOf(const TBWWordedComparable& file)
{
    std::string words;
    for (std::int32_t field = 0; field < file.FieldCount(); ++field) {
        if (field > 0)
            words += kFieldEnd;
        for (std::int32_t i = 0; i < file.WordCount(field); ++i)
            (words += i > 0 ? " " : "") += file.GetWord(i, field);
    }
    return OneLine(std::move(words));
}

std::string TBWScanRecord::Text(std::string_view resultText) const
{
    std::string text;
    const auto line = [&text](std::string_view key, const std::string& value) {
        (((text += key) += ' ') += OneLine(value)) += '\n';
    };
    (text += kHeading) += '\n';
    (text += ResultLine(resultText)) += '\n';
    line("ResultType", std::to_string(resultType_));
    line("CompType", std::to_string(compType_));
    line("SimWord", std::to_string(simWord_));
    line("MinPerc", std::to_string(minPerc_));
    line("MinWordCount", std::to_string(minWordCount_));
    line("MinWordLength", std::to_string(minWordLength_));
    line("NoFieldOrder", noFieldOrder_ ? "1" : "0");
    line("PriorityList", priorityList_);
    line("ExtPri", extPri_);
    line(kFilesKey, std::to_string(files_.size()));
    for (const TBWRecordedFile& file : files_)
        ((text += std::to_string(file.role)) += '\t' + file.words) += '\n';
    (text += kEnd) += '\n';
    return text;
}

std::optional<TBWScanRecord> TBWScanRecord::Parse(std::string_view text, std::string_view resultText)
{
    constexpr std::int32_t kMost = 0x7FFFFFFF;
    TRecordReader reader(text);
    TBWScanRecord record;
    std::int32_t noFieldOrder = 0;
    std::int32_t fileCount = 0;
    const bool settings =
        reader.Line(kHeading) && reader.Line(ResultLine(resultText)) &&
        reader.Number("ResultType", record.resultType_, rsDuplicates, rsBanlist) &&
        reader.Number("CompType", record.compType_, ctFileNameFields, ctTags) &&
        reader.Number("SimWord", record.simWord_, 0, kMost) && reader.Number("MinPerc", record.minPerc_, 0, kMost) &&
        reader.Number("MinWordCount", record.minWordCount_, 0, kMost) &&
        reader.Number("MinWordLength", record.minWordLength_, 0, kMost) &&
        reader.Number("NoFieldOrder", noFieldOrder, 0, 1) && reader.Value("PriorityList", record.priorityList_) &&
        reader.Value("ExtPri", record.extPri_) && reader.Number(kFilesKey, fileCount, 0, kMost);
    if (!settings)
        return std::nullopt;
    record.noFieldOrder_ = noFieldOrder != 0;
    // Each file takes a line: a count beyond the lines there are is no record.
    for (std::int32_t i = 0; i < fileCount; ++i) {
        TBWRecordedFile file;
        if (!reader.File(file))
            return std::nullopt;
        record.files_.push_back(std::move(file));
    }
    if (!reader.Line(kEnd) || !reader.AtEnd())
        return std::nullopt;
    return record;
}

void RestoreWords(TBWWordedComparable& file, const std::string& words)
{
    file.SetText(words);
}
