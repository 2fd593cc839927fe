#include "tags/ID3v2.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <vector>

#include "tags/ID3v1.h"
#include "base/u_bwfunc.h"
#include "tags/TagText.h"

namespace {

constexpr std::int64_t kHeaderSize = 10;
constexpr std::int64_t kFooterSize = 10;
constexpr std::uint8_t kExtendedHeaderFlag = 0x40;  // v2.2: the whole tag is compressed
constexpr std::uint8_t kFooterFlag = 0x10;
// What is kept of a frame: enough for any title a user reads.
constexpr std::int64_t kSlotCapacity = 500;

// Frame flags (second byte) that leave the content unreadable as plain text:
// v2.3 compression and encryption; v2.4 compression, encryption,
// unsynchronisation and the data length indicator.
constexpr std::uint8_t kOpaqueFlagsV3 = 0x80 | 0x40;
constexpr std::uint8_t kOpaqueFlagsV4 = 0x08 | 0x04 | 0x02 | 0x01;

enum TSlot : std::size_t {
    slTitle, slArtist, slAlbum, slTrack, slYear, slGenre, slComment, slComposer,
    slEncodedBy, slCopyright, slLanguage, slLink, slRecordingTime, slOriginalArtist,
    slContentGroup, slOriginalAlbum, slSize, kSlotCount
};

// The frames read, by slot: ids of ID3v2.3 and 2.4, and of ID3v2.2.
struct TFrameIds {
    std::string_view current;
    std::string_view v22;
};
constexpr std::array<TFrameIds, kSlotCount> kFrameIds = {{
    {"TIT2", "TT2"}, {"TPE1", "TP1"}, {"TALB", "TAL"}, {"TRCK", "TRK"}, {"TYER", "TYE"},
    {"TCON", "TCO"}, {"COMM", "COM"}, {"TCOM", "TCM"}, {"TENC", "TEN"}, {"TCOP", "TCR"},
    {"TLAN", "TLA"}, {"WXXX", "WXX"}, {"TDRC", "TOR"}, {"TOPE", "TOA"}, {"TIT1", "TT1"},
    {"TOAL", "TOT"}, {"TSIZ", "TSI"},
}};

// The first bytes of a frame's content, the text encoding byte first.
struct TRawFrame {
    std::vector<std::uint8_t> bytes;
    bool truncated = false;  // the frame was longer than kSlotCapacity
};
using TSlots = std::array<TRawFrame, kSlotCount>;

struct TTagLayout {
    std::uint8_t version;
    std::int64_t idLength;
    std::int64_t frameHeaderLength;
    std::int64_t framesEnd;
};

// A 28-bit number stored 7 bits a byte, or -1 when a byte has its top bit set.
std::int64_t Synchsafe(std::uint32_t raw)
{
    if (raw & 0x80808080u)
        return -1;
    return ((raw >> 3) & 0x0FE00000) | ((raw >> 2) & 0x001FC000) | ((raw >> 1) & 0x00003F80) | (raw & 0x7F);
}

bool IsFrameIdCharacter(std::uint8_t character)
{
    return (character >= 'A' && character <= 'Z') || (character >= '0' && character <= '9');
}

// Whether a frame that ends at next leaves the reader on the next frame, on
// padding, or exactly at the end of the frames.
bool LandsOnFrame(TByteSource& source, std::int64_t next, const TTagLayout& layout)
{
    if (next >= layout.framesEnd)
        return next == layout.framesEnd;
    std::vector<std::uint8_t> buffer;
    source.ReadWindow(next, layout.idLength, buffer);
    const TBinaryView id(buffer);
    const bool padding = std::all_of(id.begin(), id.end(), [](std::uint8_t byte) { return byte == 0; });
    return padding || std::all_of(id.begin(), id.end(), IsFrameIdCharacter);
}

// v2.4 stores frame sizes synchsafe, but some writers store them plain as in
// v2.3; the size that lands on the next frame wins.
std::int64_t FrameLength(TByteSource& source, TBinaryView header, std::int64_t position,
                         const TTagLayout& layout)
{
    if (layout.version == 2)
        return header.u24be(3);
    const std::int64_t plain = header.u32be(4);
    if (layout.version == 3)
        return plain;
    const std::int64_t synchsafe = Synchsafe(header.u32be(4));
    const std::int64_t dataStart = position + layout.frameHeaderLength;
    if (synchsafe == plain || (synchsafe >= 0 && LandsOnFrame(source, dataStart + synchsafe, layout)))
        return synchsafe;
    if (LandsOnFrame(source, dataStart + plain, layout) || synchsafe < 0)
        return plain;
    return synchsafe;
}

bool IsReadableText(TBinaryView header, const TTagLayout& layout)
{
    const std::uint8_t flags = header.u8(9);
    if (layout.version == 3)
        return (flags & kOpaqueFlagsV3) == 0;
    if (layout.version == 4)
        return (flags & kOpaqueFlagsV4) == 0;
    return true;  // v2.2 frames have no flags
}

void OfferFrame(std::string_view id, TBinaryView data, std::int64_t length, const TTagLayout& layout,
                TSlots& slots)
{
    if (data.u8(0) > 3)
        return;  // not one of the four text encodings
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        if (id == (layout.version == 2 ? kFrameIds[slot].v22 : kFrameIds[slot].current)) {
            slots[slot].bytes.assign(data.begin(), data.end());
            slots[slot].truncated = length > kSlotCapacity;
        }
    }
}

// Where the frames begin: after the header, and after an extended header
// when the flags announce one (its size counts itself in v2.4, not in v2.3).
std::int64_t FramesStart(TByteSource& source, std::uint8_t flags, const TTagLayout& layout)
{
    if ((flags & kExtendedHeaderFlag) == 0)
        return kHeaderSize;
    if (layout.version == 2)
        return layout.framesEnd;  // a compressed v2.2 tag: nothing readable
    std::vector<std::uint8_t> buffer;
    source.ReadWindow(kHeaderSize, 4, buffer);
    const std::uint32_t raw = TBinaryView(buffer).u32be(0);
    if (layout.version == 3)
        return kHeaderSize + 4 + raw;
    const std::int64_t synchsafe = Synchsafe(raw);
    return kHeaderSize + (synchsafe >= 0 ? synchsafe : raw);
}

void ReadFrames(TByteSource& source, std::uint8_t flags, const TTagLayout& layout, TSlots& slots)
{
    std::vector<std::uint8_t> buffer;
    std::int64_t position = FramesStart(source, flags, layout);
    while (position + layout.frameHeaderLength <= layout.framesEnd) {
        // One read brings the frame header and as much of the content as is kept.
        const std::int64_t got =
            source.ReadWindow(position, layout.frameHeaderLength + kSlotCapacity, buffer);
        if (got < layout.frameHeaderLength)
            return;
        const TBinaryView window(buffer);
        const std::uint8_t first = window.u8(0);
        if (first < 'A' || first > 'Z')
            return;  // padding, or no frame at all
        const std::int64_t length = FrameLength(source, window, position, layout);
        if (IsReadableText(window, layout)) {
            OfferFrame(window.chars(0, layout.idLength),
                       window.sub(layout.frameHeaderLength, std::min(length, kSlotCapacity)), length,
                       layout, slots);
        }
        position += layout.frameHeaderLength + length;
    }
}

TTextEncoding EncodingOf(std::uint8_t encodingByte)
{
    switch (encodingByte) {
    case 1:
        return TTextEncoding::Utf16;
    case 2:
        return TTextEncoding::Utf16BE;
    case 3:
        return TTextEncoding::Utf8;
    default:
        return TTextEncoding::Windows1252;
    }
}

std::string DecodeSlot(const TRawFrame& frame)
{
    const TBinaryView data(frame.bytes);
    return TrimBlanksAndControls(
        DecodeText(data.sub(1, data.size()), EncodingOf(data.u8(0)), frame.truncated));
}

// COMM and WXXX: encoding byte, (COMM only) a language, a description that
// ends at a terminator of the frame's encoding, then the text. The URL of a
// WXXX frame is always single-byte, whatever the description's encoding.
std::string DecodeDescribedText(const TRawFrame& frame, std::int64_t prefixLength, bool textIsSingleByte)
{
    const TBinaryView data(frame.bytes);
    const TTextEncoding encoding = EncodingOf(data.u8(0));
    const TBinaryView rest = data.sub(prefixLength, data.size());
    const std::int64_t descriptionEnd = TerminatorEnd(rest, encoding);
    const TBinaryView text =
        descriptionEnd == TBinaryView::npos ? rest : rest.sub(descriptionEnd, rest.size());
    return TrimBlanksAndControls(
        DecodeText(text, textIsSingleByte ? TTextEncoding::Windows1252 : encoding, frame.truncated));
}

// v2.3 refers to the ID3v1 genre list in parentheses: "(17)" or "(17)Rock".
// A name that follows wins; a bare reference gives the list's name.
std::string GenreText(const std::string& text)
{
    std::string_view rest = text;
    std::int64_t reference = -1;
    while (rest.starts_with('(')) {
        const std::size_t close = rest.find(')');
        if (close == std::string_view::npos)
            break;
        reference = DecimalOr(rest.substr(1, close - 1), -1);
        rest.remove_prefix(close + 1);
    }
    if (!rest.empty() || reference < 0 || reference >= kGenreCount)
        return TrimBlanksAndControls(std::string(rest));
    return std::string(GenreName(static_cast<std::int32_t>(reference)));
}

std::string FirstCharacters(const std::string& text, std::int64_t count)
{
    std::size_t end = 0;
    for (std::int64_t taken = 0; end < text.size(); ++end) {
        const bool startsCharacter = (static_cast<unsigned char>(text[end]) & 0xC0) != 0x80;
        if (startsCharacter && taken++ == count)
            break;
    }
    return text.substr(0, end);
}

std::string FirstNonEmpty(const std::string& text, const std::string& fallback)
{
    return text.empty() ? fallback : text;
}

}  // namespace

std::int64_t ID3v2TagSize(TBinaryView header, std::int64_t fileSize)
{
    if (!header.matches(0, "ID3"))
        return 0;
    // The size bytes are taken whole, as the tags of old writers need.
    const std::int64_t size = (std::int64_t{header.u8(6)} << 21) + (std::int64_t{header.u8(7)} << 14) +
                              (std::int64_t{header.u8(8)} << 7) + header.u8(9) +
                              ((header.u8(5) & kFooterFlag) ? kHeaderSize + kFooterSize : kHeaderSize);
    return size > fileSize ? 0 : size;
}

void TID3v2::Clear()
{
    exists_ = false;
    versionID_ = 0;
    size_ = 0;
    track_ = 0;
    for (std::string* text : {&title_, &artist_, &album_, &trackText_, &year_, &genre_, &comment_,
                              &composer_, &encodedBy_, &copyright_, &language_, &link_, &sizeText_})
        text->clear();
}

bool TID3v2::LoadFromSource(TByteSource& source)
{
    Clear();
    std::vector<std::uint8_t> buffer;
    if (source.ReadWindow(0, kHeaderSize, buffer) < kHeaderSize)
        return false;
    const TBinaryView header(buffer);
    if (!header.matches(0, "ID3"))
        return true;
    exists_ = true;
    versionID_ = header.u8(3);
    size_ = ID3v2TagSize(header, source.Size());
    if (versionID_ < 2 || versionID_ > 4 || size_ == 0)
        return true;

    const std::uint8_t flags = header.u8(5);
    const bool v22 = versionID_ == 2;
    const TTagLayout layout{versionID_, v22 ? 3 : 4, v22 ? 6 : 10,
                            size_ - ((flags & kFooterFlag) ? kFooterSize : 0)};
    TSlots slots;
    ReadFrames(source, flags, layout, slots);

    title_ = FirstNonEmpty(DecodeSlot(slots[slTitle]), DecodeSlot(slots[slContentGroup]));
    artist_ = FirstNonEmpty(DecodeSlot(slots[slArtist]), DecodeSlot(slots[slOriginalArtist]));
    album_ = FirstNonEmpty(DecodeSlot(slots[slAlbum]), DecodeSlot(slots[slOriginalAlbum]));
    trackText_ = DecodeSlot(slots[slTrack]);
    const std::int64_t track = DecimalOr(std::string_view(trackText_).substr(0, trackText_.find('/')), 0);
    track_ = track >= INT32_MIN && track <= INT32_MAX ? static_cast<std::int32_t>(track) : 0;
    year_ = FirstNonEmpty(DecodeSlot(slots[slYear]), FirstCharacters(DecodeSlot(slots[slRecordingTime]), 4));
    genre_ = GenreText(DecodeSlot(slots[slGenre]));
    comment_ = DecodeDescribedText(slots[slComment], 4, false);
    link_ = DecodeDescribedText(slots[slLink], 1, true);
    composer_ = DecodeSlot(slots[slComposer]);
    encodedBy_ = DecodeSlot(slots[slEncodedBy]);
    copyright_ = DecodeSlot(slots[slCopyright]);
    language_ = DecodeSlot(slots[slLanguage]);
    sizeText_ = DecodeSlot(slots[slSize]);
    return true;
}
