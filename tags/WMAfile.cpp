#include "tags/WMAfile.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string_view>
#include <vector>

#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"
#include "tags/TagText.h"

namespace {

// Object and stream type GUIDs as the file stores them (ASF
// revision 01.20.03, section 10: Data1 to Data3 little-endian, then Data4).
using TGuid = std::array<std::uint8_t, 16>;
// 75B22630-668E-11CF-A6D9-00AA0062CE6C
constexpr TGuid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
// 8CABDCA1-A947-11CF-8EE4-00C00C205365
constexpr TGuid kFilePropertiesObject = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                         0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
// B7DC0791-A9B7-11CF-8EE6-00C00C205365
constexpr TGuid kStreamPropertiesObject = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                           0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
// 75B22633-668E-11CF-A6D9-00AA0062CE6C
constexpr TGuid kContentDescriptionObject = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                             0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
// D2D0A440-E307-11D2-97F0-00A0C95EA850
constexpr TGuid kExtendedContentDescriptionObject = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                                     0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
// F8699E40-5B4D-11CF-A8FD-00805F5C442B, the stream type of an audio stream
constexpr TGuid kAudioMedia = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                               0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

// The header object: GUID, 64-bit size, 32-bit object count, two reserved bytes.
constexpr std::int64_t kHeaderFieldsSize = 30;
// Every object starts with its GUID and its 64-bit size.
constexpr std::int64_t kObjectHeaderSize = 24;
// Field offsets from the start of their object.
constexpr std::int64_t kPlayDurationOffset = 64;  // file properties: play duration, send duration, preroll, flags
constexpr std::int64_t kMaxBitRateOffset = 100;   // file properties
constexpr std::int64_t kStreamTypeOffset = 24;    // stream properties
constexpr std::int64_t kAudioFormatOffset = 80;   // the channel count of the stream's WAVEFORMATEX
// A text keeps at most this many UTF-16 code units.
constexpr std::int64_t kMaxTextBytes = 2 * 250;

// Value types of an extended content descriptor.
enum TDescriptorType : std::uint16_t {
    dtString = 0, dtBytes = 1, dtBool = 2, dtDword = 3, dtQword = 4, dtWord = 5
};

enum TSlot : std::size_t { slTitle, slArtist, slAlbum, slTrack, slYear, slGenre, slComment, kSlotCount };

constexpr std::array<std::pair<std::string_view, TSlot>, 7> kDescriptorSlots = {{
    {"WM/TITLE", slTitle},
    {"WM/AUTHOR", slArtist},
    {"WM/ALBUMTITLE", slAlbum},
    {"WM/TRACK", slTrack},
    {"WM/YEAR", slYear},
    {"WM/GENRE", slGenre},
    {"WM/DESCRIPTION", slComment},
}};

// The file properties' flag whose play duration is not known (a live stream).
constexpr std::uint32_t kBroadcastFlag = 1;

// What the header walk collects before the values are judged.
struct TStreamValues {
    std::uint64_t playDuration = 0;  // 100-nanosecond units, the preroll included
    std::uint64_t preroll = 0;       // milliseconds
    std::uint32_t fileFlags = 0;
    std::uint32_t maxBitRate = 0;
    std::uint16_t channels = 0;
    std::uint32_t sampleRate = 0;
    std::uint32_t byteRate = 0;
    std::array<std::string, kSlotCount> slots;

    bool Plausible() const
    {
        return maxBitRate > 0 && (channels == 1 || channels == 2) && sampleRate >= 8000 &&
               sampleRate <= 96000 && byteRate > 0;
    }

    // Seconds of sound: the play duration less the preroll, which the play
    // duration counts although nothing is heard then. The file's size over
    // the byte rate counts the headers and the packets' padding as sound (a
    // 12-second file showed 14), so it stands in only for a file that gives
    // no duration of its own, such as a recorded broadcast.
    double Seconds(std::int64_t fileSize) const
    {
        const double played = static_cast<double>(playDuration) / 1e7 - static_cast<double>(preroll) / 1e3;
        if ((fileFlags & kBroadcastFlag) == 0 && played > 0)
            return played;
        return static_cast<double>(fileSize) / byteRate;
    }
};

bool IsGuid(TBinaryView bytes, const TGuid& guid)
{
    return bytes.size() >= 16 && std::equal(guid.begin(), guid.end(), bytes.begin());
}

// Reads one object front to back. A read that runs past the object's end or
// the file's end fails: the header is damaged then.
class TObjectReader {
public:
    TObjectReader(TByteSource& source, std::int64_t start, std::int64_t end)
        : source_(source), position_(start), end_(end) {}

    // The next count bytes, valid until the next Take.
    bool Take(std::int64_t count, TBinaryView& bytes)
    {
        if (count > end_ - position_ || source_.ReadWindow(position_, count, buffer_) != count)
            return false;
        position_ += count;
        bytes = TBinaryView(buffer_);
        return true;
    }

    bool SkipTo(std::int64_t offsetInObject, std::int64_t objectStart)
    {
        const std::int64_t target = objectStart + offsetInObject;
        if (target < position_ || target > end_)
            return false;
        position_ = target;
        return true;
    }

    bool Skip(std::int64_t count)
    {
        if (count > end_ - position_)
            return false;
        position_ += count;
        return true;
    }

    bool U16(std::uint16_t& value)
    {
        TBinaryView bytes;
        if (!Take(2, bytes))
            return false;
        value = bytes.u16le(0);
        return true;
    }

    // A UTF-16 little-endian text of length bytes, of which only the first
    // kMaxTextBytes are kept.
    bool Text(std::int64_t length, std::string& text)
    {
        const std::int64_t kept = std::min(length, kMaxTextBytes);
        TBinaryView bytes;
        if (!Take(kept, bytes))
            return false;
        text = DecodeText(bytes, TTextEncoding::Utf16, length > kept);
        return Skip(length - kept);
    }

private:
    TByteSource& source_;
    std::int64_t position_;
    std::int64_t end_;
    std::vector<std::uint8_t> buffer_;
};

bool ReadFileProperties(TObjectReader& object, std::int64_t start, TStreamValues& values)
{
    TBinaryView bytes;
    if (!object.SkipTo(kPlayDurationOffset, start) || !object.Take(kMaxBitRateOffset + 4 - kPlayDurationOffset, bytes))
        return false;
    values.playDuration = bytes.u64le(0);
    values.preroll = bytes.u64le(16);
    values.fileFlags = bytes.u32le(24);
    values.maxBitRate = bytes.u32le(kMaxBitRateOffset - kPlayDurationOffset);
    return true;
}

// Only an audio stream's format counts: a video or script stream's
// type-specific data is no WAVEFORMATEX.
bool ReadStreamProperties(TObjectReader& object, std::int64_t start, TStreamValues& values)
{
    TBinaryView bytes;
    if (!object.SkipTo(kStreamTypeOffset, start) || !object.Take(16, bytes))
        return false;
    if (!IsGuid(bytes, kAudioMedia))
        return true;
    if (!object.SkipTo(kAudioFormatOffset, start) || !object.Take(10, bytes))
        return false;
    values.channels = bytes.u16le(0);
    values.sampleRate = bytes.u32le(2);
    values.byteRate = bytes.u32le(6);
    return true;
}

// Five lengths, then title, author, copyright, description and rating.
bool ReadContentDescription(TObjectReader& object, TStreamValues& values)
{
    constexpr std::array<TSlot, 5> kTargets = {slTitle, slArtist, kSlotCount, slComment, kSlotCount};
    std::array<std::uint16_t, kTargets.size()> lengths{};
    for (std::uint16_t& length : lengths) {
        if (!object.U16(length))
            return false;
    }
    for (std::size_t i = 0; i < kTargets.size(); ++i) {
        std::string text;
        if (!object.Text(lengths[i], text))
            return false;
        if (kTargets[i] != kSlotCount && lengths[i] != 0)
            values.slots[kTargets[i]] = text;
    }
    return true;
}

// Strings and the three number types give a text; booleans and byte arrays
// (pictures among them) set nothing.
bool ReadDescriptorValue(TObjectReader& object, std::uint16_t type, std::uint16_t length,
                         std::string& value, bool& usable)
{
    usable = true;
    TBinaryView bytes;
    switch (type) {
    case dtString:
        return object.Text(length, value);
    case dtDword:
    case dtQword:
    case dtWord:
        if (!object.Take(length, bytes))
            return false;
        value = std::to_string(type == dtDword   ? std::uint64_t{bytes.u32le(0)}
                               : type == dtQword ? bytes.u64le(0)
                                                 : std::uint64_t{bytes.u16le(0)});
        return true;
    default:
        usable = false;
        return object.Skip(length);
    }
}

bool ReadExtendedContentDescription(TObjectReader& object, TStreamValues& values)
{
    std::uint16_t count = 0;
    if (!object.U16(count))
        return false;
    for (std::uint16_t i = 0; i < count; ++i) {
        std::uint16_t nameLength = 0;
        std::uint16_t type = 0;
        std::uint16_t valueLength = 0;
        std::string name;
        std::string value;
        bool usable = false;
        if (!object.U16(nameLength) || !object.Text(nameLength, name) || !object.U16(type) ||
            !object.U16(valueLength) || !ReadDescriptorValue(object, type, valueLength, value, usable))
            return false;
        if (!usable)
            continue;
        const std::string key = TrimBlanksAndControls(name);
        for (const auto& [slotName, slot] : kDescriptorSlots) {
            if (SameTextAscii(key, slotName))
                values.slots[slot] = value;
        }
    }
    return true;
}

bool ReadObject(TObjectReader& object, TBinaryView guid, std::int64_t start, TStreamValues& values)
{
    if (IsGuid(guid, kFilePropertiesObject))
        return ReadFileProperties(object, start, values);
    if (IsGuid(guid, kStreamPropertiesObject))
        return ReadStreamProperties(object, start, values);
    if (IsGuid(guid, kContentDescriptionObject))
        return ReadContentDescription(object, values);
    if (IsGuid(guid, kExtendedContentDescriptionObject))
        return ReadExtendedContentDescription(object, values);
    return true;
}

// Walks the objects of the header. False when the header is damaged.
bool ReadHeader(TByteSource& source, TBinaryView header, TStreamValues& values)
{
    const std::int64_t fileSize = source.Size();
    const std::uint64_t headerSize = header.u64le(16);
    // The objects lie inside the header object; a size that cannot be right
    // leaves the file's end as the only limit.
    const std::int64_t walkEnd = headerSize >= kHeaderFieldsSize && headerSize <= std::uint64_t(fileSize)
                                     ? static_cast<std::int64_t>(headerSize)
                                     : fileSize;
    std::vector<std::uint8_t> buffer;
    std::int64_t position = kHeaderFieldsSize;
    for (std::uint32_t i = header.u32le(24); i > 0 && position < walkEnd; --i) {
        if (source.ReadWindow(position, kObjectHeaderSize, buffer) != kObjectHeaderSize)
            return false;
        const TBinaryView objectHeader(buffer);
        const std::uint64_t size = objectHeader.u64le(16);
        // An object smaller than its own header would never move the walk on.
        if (size < kObjectHeaderSize)
            break;
        const std::int64_t end =
            size > std::uint64_t(fileSize - position) ? fileSize + 1 : position + static_cast<std::int64_t>(size);
        TObjectReader object(source, position + kObjectHeaderSize, end);
        if (!ReadObject(object, objectHeader, position, values))
            return false;
        position = end;
    }
    return true;
}

}  // namespace

void TWMAfile::Clear()
{
    valid_ = false;
    fileLength_ = 0;
    channels_ = 0;
    sampleRate_ = 0;
    duration_ = 0;
    bitRate_ = 0;
    title_.clear();
    artist_.clear();
    album_.clear();
    track_ = 0;
    year_.clear();
    genre_.clear();
    comment_.clear();
}

bool TWMAfile::LoadFromSource(TByteSource& source)
{
    Clear();
    TReadAheadSource buffered(source);
    std::vector<std::uint8_t> buffer;
    if (buffered.ReadWindow(0, kHeaderFieldsSize, buffer) < 0)
        return false;
    const TBinaryView header(buffer);
    if (!IsGuid(header, kHeaderObject))
        return true;
    TStreamValues values;
    if (!ReadHeader(buffered, header, values))
        return false;
    if (!values.Plausible())
        return true;
    valid_ = true;
    fileLength_ = source.Size();
    channels_ = static_cast<std::uint8_t>(values.channels);
    sampleRate_ = static_cast<std::int32_t>(values.sampleRate);
    duration_ = values.Seconds(fileLength_);
    bitRate_ = static_cast<std::int32_t>(std::int64_t{values.byteRate} * 8 / 1000);
    title_ = TrimBlanksAndControls(values.slots[slTitle]);
    artist_ = TrimBlanksAndControls(values.slots[slArtist]);
    album_ = TrimBlanksAndControls(values.slots[slAlbum]);
    const std::int64_t track = DecimalOr(TrimBlanksAndControls(values.slots[slTrack]), 0);
    track_ = track >= 0 && track <= std::numeric_limits<std::int32_t>::max() ? static_cast<std::int32_t>(track) : 0;
    year_ = TrimBlanksAndControls(values.slots[slYear]);
    genre_ = TrimBlanksAndControls(values.slots[slGenre]);
    comment_ = TrimBlanksAndControls(values.slots[slComment]);
    return true;
}
