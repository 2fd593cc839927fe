#include "model/u_bwmplv2.h"

#include "model/u_mplio.h"
#include "tags/BinaryView.h"

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
