#include "model/u_bwmplv2.h"

#include <filesystem>

#include "base/platform/u_wholefile.h"
#include "base/u_bwfunc.h"
#include "model/u_bwfsmp3.h"
#include "model/u_bwdigest.h"
#include "model/u_mplio.h"
#include "tags/u_binaryview.h"

namespace {

constexpr std::string_view kMagic = "\x5C\x02";
constexpr std::int64_t kDigestTextLength = 32;

// Reads fields one after another; once a field is incomplete every later
// read fails too.
class TFieldReader {
public:
    explicit TFieldReader(std::string_view bytes)
        : bytes_(bytes), view_({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()}) {}

    bool Take(std::int64_t length, std::int64_t& at)
    {
        if (failed_ || length > view_.size() - position_) {
            failed_ = true;
            return false;
        }
        at = position_;
        position_ += length;
        return true;
    }
    bool U8(std::uint8_t& value) { return Read(1, [&](std::int64_t at) { value = view_.u8(at); }); }
    bool U16(std::uint16_t& value) { return Read(2, [&](std::int64_t at) { value = view_.u16le(at); }); }
    bool I32(std::int32_t& value)
    {
        return Read(4, [&](std::int64_t at) { value = static_cast<std::int32_t>(view_.u32le(at)); });
    }
    bool Text(std::int64_t length, std::string& text)
    {
        return Read(length, [&](std::int64_t at) { text = bytes_.substr(at, length); });
    }
    // A text with its 16-bit length before it.
    bool CountedText(std::string& text)
    {
        std::uint16_t length = 0;
        std::string raw;
        if (!U16(length) || !Text(length, raw))
            return false;
        text = DecodeListText(raw);
        return true;
    }

private:
    template <class Store>
    bool Read(std::int64_t length, const Store& store)
    {
        std::int64_t at = 0;
        if (!Take(length, at))
            return false;
        store(at);
        return true;
    }

    std::string_view bytes_;
    TBinaryView view_;
    std::int64_t position_ = 0;
    bool failed_ = false;
};

bool ReadFile(TFieldReader& reader, TMplV2File& file)
{
    if (!reader.U16(file.duration))
        return false;
    file.fieldsRead = TMplV2File::kDuration;
    if (!reader.U16(file.sizeKB))
        return false;
    file.fieldsRead = TMplV2File::kSize;
    if (!reader.U16(file.bitrate))
        return false;
    file.fieldsRead = TMplV2File::kBitrate;
    if (!reader.CountedText(file.name))
        return false;
    file.fieldsRead = TMplV2File::kName;
    if (!reader.Text(kDigestTextLength, file.digestText))
        return false;
    file.fieldsRead = TMplV2File::kDigest;
    return true;
}

// False once the bytes end.
bool ReadSection(TFieldReader& reader, std::int64_t dirsRead, std::vector<TMplV2Section>& sections)
{
    TMplV2Section section;
    std::int32_t fileCount = 0;
    if (!reader.I32(section.dirNumber))
        return false;
    // Directory numbers count from the first record; number + 1 is the
    // directory's place in the tree, 0 being the root.
    const std::int64_t place = std::int64_t{section.dirNumber} + 1;
    if (place < 0 || place > dirsRead || !reader.I32(fileCount))
        return false;
    bool complete = true;
    for (std::int32_t i = 0; i < fileCount && complete; ++i)
        complete = ReadFile(reader, section.files.emplace_back());
    sections.push_back(std::move(section));
    return complete;
}

std::string& BaseDir()
{
    static std::string baseDir;
    return baseDir;
}

// An entry takes the fields of its record that were read, in their order.
void Fill(TBWMp3File& entry, const TMplV2File& file)
{
    entry.SetLoadedInfo(TBWInfoKinds().set(ikBasic).set(ikDigest).set(ikTags));
    if (file.Has(TMplV2File::kDuration))
        entry.SetDuration(file.duration);
    if (file.Has(TMplV2File::kSize))
        entry.SetSize(file.sizeKB);
    if (file.Has(TMplV2File::kBitrate))
        entry.SetBitrate(file.bitrate);
    if (file.Has(TMplV2File::kName))
        entry.SetName(file.name);
    // The stored digest is a text; the entry's digest is the MD5 of it.
    if (file.Has(TMplV2File::kDigest))
        entry.SetDigest(Md5Of(file.digestText));
}

}  // namespace

TMplV2Result ParseMplV2(std::string_view bytes, TMplV2Content& content)
{
    content = {};
    TFieldReader reader(bytes);
    std::string magic;
    if (!reader.Text(static_cast<std::int64_t>(kMagic.size()), magic) || magic != kMagic)
        return mvBadMagic;
    std::int32_t dirCount = 0;
    if (!reader.I32(dirCount))
        return mvRead;
    for (std::int32_t i = 0; i < dirCount; ++i) {
        TMplV2Dir dir;
        std::uint16_t length = 0;
        std::string raw;
        if (!reader.U16(length) || !reader.U8(dir.depth) || !reader.Text(length, raw))
            return mvRead;
        dir.name = DecodeListText(raw);
        content.dirs.push_back(std::move(dir));
    }
    const auto dirsRead = static_cast<std::int64_t>(content.dirs.size());
    for (std::int32_t i = 0; i < dirCount; ++i)
        if (!ReadSection(reader, dirsRead, content.sections))
            break;
    return mvRead;
}

void SetMplV2BaseDir(const std::string& path)
{
    BaseDir() = AddTrailingBackslash(path);
}

const std::string& MplV2BaseDir()
{
    return BaseDir();
}

// ---------------------------------------------------------- TBWMplDirChainV2

BW_IMPLEMENT_CLASS(TBWMplDirChainV2, TBWDirectory)

TBWMplDirChainV2::TBWMplDirChainV2(TBWObject* owner) : TBWDirectory(owner)
{
    SetFileListClass(TBWMplFileChainV2::StaticClass());
}

void TBWMplDirChainV2::SetListFile(const std::string& fileName)
{
    TBWMplDirChainV2& root = Top();
    root.fileName_ = LastPathPart(fileName);
    root.SetName("@" + root.fileName_ + kPathDelimiter);
}

TMplV2Result TBWMplDirChainV2::LoadFromFile()
{
    TBWMplDirChainV2& root = Top();
    root.Reload();
    const std::string path = MplV2BaseDir() + root.fileName_;
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return mvNoFile;
    // Anything but a regular file is not opened: a FIFO would block.
    std::string bytes;
    if (!std::filesystem::is_regular_file(path, error) || !ReadWholeFile(path, bytes))
        return mvCannotOpen;
    return root.Read(bytes);
}

TMplV2Result TBWMplDirChainV2::LoadFromBytes(std::string_view bytes)
{
    TBWMplDirChainV2& root = Top();
    root.Reload();
    return root.Read(bytes);
}

TMplV2Result TBWMplDirChainV2::Read(std::string_view bytes)
{
    TMplV2Content content;
    const TMplV2Result result = ParseMplV2(bytes, content);
    if (result == mvRead)
        Build(content);
    return result;
}

void TBWMplDirChainV2::Build(const TMplV2Content& content)
{
    std::vector<TBWMplDirChainV2*> byIndex = {this};
    // The way from the root down to the directory added last; a record
    // hangs under the nearest of them whose depth is its own or less.
    std::vector<TBWMplDirChainV2*> way = {this};
    for (const TMplV2Dir& dir : content.dirs) {
        while (way.size() > 1 && way.size() - 1 > dir.depth)
            way.pop_back();
        auto* made = static_cast<TBWMplDirChainV2*>(way.back()->AddSubDir(dir.name));
        made->dirIndex_ = static_cast<std::int32_t>(byIndex.size());
        byIndex.push_back(made);
        way.push_back(made);
    }
    for (const TMplV2Section& section : content.sections) {
        TBWFileList* files = byIndex[static_cast<std::size_t>(section.dirNumber + 1)]->Files();
        // An entry with an empty name is found again by the next record.
        for (const TMplV2File& file : section.files)
            Fill(static_cast<TBWMp3File&>(*files->AddFileTouch("")), file);
    }
}

// --------------------------------------------------------- TBWMplFileChainV2

BW_IMPLEMENT_CLASS(TBWMplFileChainV2, TBWFileList)

TBWMplFileChainV2::TBWMplFileChainV2(TBWObject* owner) : TBWFileList(owner)
{
    SetFileClass(TBWMp3File::StaticClass());
}
