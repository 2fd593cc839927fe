#include "model/u_mplio.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <unordered_set>

#include "base/platform/u_wholefile.h"
#include "model/u_bwdigest.h"
#include "tags/u_binaryview.h"
#include "tags/TagText.h"

namespace {

// Header fields.
constexpr std::int64_t kVersionAt = 1;
constexpr std::int64_t kRecordsSizeAt = 8;
constexpr std::int64_t kStringsSizeAt = 12;
constexpr std::int64_t kDigestAt = 16;

// Fields of a directory record head and of a file record.
constexpr std::int64_t kNameAt = 4;
constexpr std::int64_t kSubDirCountAt = 8;
constexpr std::int64_t kFileCountAt = 12;
constexpr std::int64_t kSizeAt = 8;
constexpr std::int64_t kDurationAt = 12;
constexpr std::int64_t kBitrateAt = 16;
constexpr std::int64_t kTitleAt = 20;
constexpr std::int64_t kArtistAt = 24;
constexpr std::int64_t kAlbumAt = 28;
constexpr std::int64_t kGenreAt = 32;
constexpr std::int64_t kCommentAt = 36;
constexpr std::int64_t kFileDigestAt = 40;

constexpr std::int64_t kMaxSection = std::numeric_limits<std::int32_t>::max();

TBinaryView ViewOf(std::string_view bytes)
{
    return TBinaryView({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
}

std::int32_t I32At(TBinaryView view, std::int64_t at)
{
    return static_cast<std::int32_t>(view.u32le(at));
}

void AppendI32(std::string& bytes, std::int64_t value)
{
    const auto word = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<char>((word >> shift) & 0xFF));
}

void PutI32(std::string& bytes, std::int64_t at, std::int64_t value)
{
    std::string word;
    AppendI32(word, value);
    bytes.replace(static_cast<std::size_t>(at), word.size(), word);
}

bool IsAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

std::string DecodeListText(std::string_view bytes)
{
    if (IsAscii(bytes))
        return std::string(bytes);
    std::string asUtf8 = DecodeText(ViewOf(bytes), TTextEncoding::Utf8);
    if (asUtf8 == bytes)
        return asUtf8;
    return DecodeText(ViewOf(bytes), TTextEncoding::Windows1252);
}

void TMplIO::Clear()
{
    records_.clear();
    strings_.clear();
    stringIndex_.Clear();
    parentOf_.clear();
}

std::int32_t TMplIO::WriteString(const std::string& text)
{
    if (text.empty())
        return -1;
    if (TBWStrData* stored = stringIndex_.Find(text))
        return stored->Value;
    const auto offset = static_cast<std::int32_t>(strings_.size());
    AppendI32(strings_, static_cast<std::int64_t>(text.size()));
    strings_ += text;
    stringIndex_.AddUnique(text, offset);
    return offset;
}

std::int32_t TMplIO::WriteDir(const std::string& name, std::int32_t subDirCount,
                              std::span<const TMplFileRecord> files)
{
    const auto offset = static_cast<std::int32_t>(records_.size());
    AppendI32(records_, 0);
    AppendI32(records_, WriteString(name));
    AppendI32(records_, subDirCount);
    AppendI32(records_, static_cast<std::int64_t>(files.size()));
    records_.append(4 * static_cast<std::size_t>(std::max(subDirCount, 0)), '\0');
    for (const TMplFileRecord& file : files) {
        AppendI32(records_, 0);
        AppendI32(records_, WriteString(file.name));
        AppendI32(records_, file.sizeKB);
        AppendI32(records_, file.duration);
        AppendI32(records_, file.bitrate);
        // The order in which texts enter the pool fixes every offset.
        for (const std::string* text : {&file.title, &file.artist, &file.album, &file.genre, &file.comment})
            AppendI32(records_, WriteString(*text));
        records_.append(file.digest.begin(), file.digest.end());
    }
    return offset;
}

void TMplIO::WriteChildOffsets(std::int32_t recordOffset, std::span<const std::int32_t> childOffsets)
{
    const std::int64_t first = static_cast<std::int64_t>(recordOffset) + kDirHeadSize;
    if (recordOffset < 0 || first + 4 * static_cast<std::int64_t>(childOffsets.size()) >
                                static_cast<std::int64_t>(records_.size()))
        return;
    for (std::size_t i = 0; i < childOffsets.size(); ++i)
        PutI32(records_, first + 4 * static_cast<std::int64_t>(i), childOffsets[i]);
}

TBWDigest TMplIO::SectionsDigest() const
{
    TBWMd5 md5;
    md5.Add(records_);
    md5.Add(strings_);
    return md5.Finish();
}

bool TMplIO::FileBytes(std::string& bytes)
{
    if (static_cast<std::int64_t>(records_.size()) > kMaxSection ||
        static_cast<std::int64_t>(strings_.size()) > kMaxSection)
        return false;
    std::string head(reinterpret_cast<const char*>(header_.data()), header_.size());
    head[0] = static_cast<char>(kMagic);
    head[kVersionAt] = static_cast<char>(kVersion);
    PutI32(head, 4, 0);
    PutI32(head, kRecordsSizeAt, static_cast<std::int64_t>(records_.size()));
    PutI32(head, kStringsSizeAt, static_cast<std::int64_t>(strings_.size()));
    const TBWDigest digest = SectionsDigest();
    std::copy(digest.begin(), digest.end(), head.begin() + kDigestAt);
    std::copy(head.begin(), head.end(), header_.begin());
    bytes.clear();
    bytes.reserve(head.size() + records_.size() + strings_.size());
    bytes += head;
    bytes += records_;
    bytes += strings_;
    return true;
}

bool TMplIO::SaveToFile(const std::string& fileName)
{
    std::string bytes;
    return FileBytes(bytes) && ReplaceWholeFile(fileName, bytes);
}

TMplState TMplIO::LoadFromFile(const std::string& fileName, std::string* readFailure)
{
    std::string bytes;
    std::string reason;
    if (readFailure)
        readFailure->clear();
    if (!ReadWholeFile(fileName, bytes, reason)) {
        if (readFailure && errno != ENOENT)
            *readFailure = reason;
        records_.clear();
        strings_.clear();
        parentOf_.clear();
        return msMissing;
    }
    return LoadFromBytes(bytes);
}

TMplState TMplIO::LoadFromBytes(std::string_view bytes)
{
    records_.clear();
    strings_.clear();
    parentOf_.clear();
    if (bytes.empty())
        return msMissing;
    const TBinaryView file = ViewOf(bytes);
    header_.fill(0);
    std::copy_n(file.begin(), std::min<std::int64_t>(file.size(), kHeaderSize), header_.begin());
    if (file.u8(0) != kMagic)
        return msBadMagic;
    if (file.size() > kVersionAt && file.u8(kVersionAt) != kVersion)
        return msBadVersion;
    // A header cut short, negative sizes or sections longer than the file
    // are damage like a wrong digest.
    if (file.size() < kHeaderSize)
        return msBadDigest;
    const std::int64_t recordsSize = I32At(file, kRecordsSizeAt);
    const std::int64_t stringsSize = I32At(file, kStringsSizeAt);
    if (recordsSize < 0 || stringsSize < 0 || kHeaderSize + recordsSize + stringsSize > file.size())
        return msBadDigest;
    records_ = bytes.substr(kHeaderSize, static_cast<std::size_t>(recordsSize));
    strings_ = bytes.substr(static_cast<std::size_t>(kHeaderSize + recordsSize), static_cast<std::size_t>(stringsSize));
    const TBWDigest digest = SectionsDigest();
    if (!std::equal(digest.begin(), digest.end(), header_.begin() + kDigestAt)) {
        records_.clear();
        strings_.clear();
        return msBadDigest;
    }
    return msLoaded;
}

std::string TMplIO::ReadString(std::int32_t offset) const
{
    const TBinaryView pool = ViewOf(strings_);
    const std::int64_t start = std::int64_t{offset} + 4;
    if (offset < 0 || start > pool.size())
        return {};
    const std::int64_t length = I32At(pool, offset);
    if (length < 0 || start + length > pool.size())
        return {};
    std::string_view text = pool.chars(start, length);
    return DecodeListText(text.substr(0, text.find('\0')));
}

bool TMplIO::ReadDirHead(std::int32_t offset, std::int32_t& subDirCount, std::int32_t& fileCount) const
{
    const TBinaryView records = ViewOf(records_);
    if (offset < 0 || offset + kDirHeadSize > records.size())
        return false;
    subDirCount = I32At(records, offset + kSubDirCountAt);
    fileCount = I32At(records, offset + kFileCountAt);
    return subDirCount >= 0 && fileCount >= 0 &&
           offset + kDirHeadSize + 4 * std::int64_t{subDirCount} <= records.size();
}

std::vector<TMplDirEntry> TMplIO::ReadSubDirs(std::int32_t recordOffset)
{
    std::int32_t subDirCount = 0, fileCount = 0;
    if (!ReadDirHead(recordOffset, subDirCount, fileCount))
        return {};
    const TBinaryView records = ViewOf(records_);
    std::vector<TMplDirEntry> dirs;
    std::unordered_set<std::int32_t> named;
    for (std::int32_t i = 0; i < subDirCount; ++i) {
        const std::int32_t child = I32At(records, recordOffset + kDirHeadSize + 4 * std::int64_t{i});
        // Every record of the format spans a multiple of four bytes.
        if (child <= recordOffset || child % 4 != 0 || child + kDirHeadSize > records.size() ||
            !named.insert(child).second)
            continue;
        if (parentOf_.try_emplace(child, recordOffset).first->second != recordOffset)
            continue;
        dirs.push_back({ReadString(I32At(records, child + kNameAt)), child});
    }
    return dirs;
}

std::vector<TMplFileRecord> TMplIO::ReadFiles(std::int32_t recordOffset) const
{
    std::int32_t subDirCount = 0, fileCount = 0;
    if (!ReadDirHead(recordOffset, subDirCount, fileCount))
        return {};
    const TBinaryView records = ViewOf(records_);
    const std::int64_t first = recordOffset + kDirHeadSize + 4 * std::int64_t{subDirCount};
    if (first + kFileRecordSize * fileCount > records.size())
        return {};
    std::vector<TMplFileRecord> files(static_cast<std::size_t>(fileCount));
    for (std::int32_t i = 0; i < fileCount; ++i) {
        const std::int64_t at = first + kFileRecordSize * i;
        TMplFileRecord& file = files[static_cast<std::size_t>(i)];
        file.name = ReadString(I32At(records, at + kNameAt));
        file.sizeKB = I32At(records, at + kSizeAt);
        file.duration = I32At(records, at + kDurationAt);
        file.bitrate = I32At(records, at + kBitrateAt);
        file.title = ReadString(I32At(records, at + kTitleAt));
        file.artist = ReadString(I32At(records, at + kArtistAt));
        file.album = ReadString(I32At(records, at + kAlbumAt));
        file.genre = ReadString(I32At(records, at + kGenreAt));
        file.comment = ReadString(I32At(records, at + kCommentAt));
        const TBinaryView digest = records.sub(at + kFileDigestAt, file.digest.size());
        std::copy(digest.begin(), digest.end(), file.digest.begin());
    }
    return files;
}
