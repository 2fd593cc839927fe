#include "tags/OggVorbis.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>
#include <vector>

#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"
#include "tags/ID3v2.h"
#include "tags/TagText.h"

namespace {

// The Ogg page header (RFC 3533, section 6): "OggS", version, header type,
// 64-bit granule position, serial number, sequence number, CRC, segment
// count, then one lacing value per segment.
constexpr std::int64_t kPageHeaderSize = 27;
constexpr std::int64_t kHeaderTypeOffset = 5;
constexpr std::int64_t kGranuleOffset = 6;
constexpr std::int64_t kSegmentCountOffset = 26;
constexpr std::int64_t kLongestPageHeader = kPageHeaderSize + 255;
constexpr std::uint8_t kContinuedPacket = 0x01;
// A lacing value below this ends its packet.
constexpr std::uint8_t kFullSegment = 255;

// The Vorbis headers (Vorbis I, section 4.2): the packet type
// and "vorbis", then for the identification header version (4 bytes),
// channels (1), sample rate (4) and the maximum, nominal and minimum
// bitrates (4 each), little-endian.
constexpr std::string_view kIdentificationMark = "\x01vorbis";
constexpr std::string_view kCommentMark = "\x03vorbis";
constexpr std::int64_t kIdentificationSize = 30;
constexpr std::int64_t kChannelsOffset = 11;
constexpr std::int64_t kSampleRateOffset = 12;
constexpr std::int64_t kNominalBitRateOffset = 20;

// What is kept of one comment: enough for any title a user reads.
constexpr std::int64_t kCommentCapacity = 250;
// The last page's "OggS" is looked for within this many bytes of the end,
// and not in the last few bytes, which cannot hold a page header.
constexpr std::int64_t kLastPageReach = 12060;
constexpr std::int64_t kLastPageGap = 10;

enum TSlot : std::size_t {
    slTitle, slArtist, slAlbum, slTrackNumber, slDate, slGenre, slComment, slPerformer, slDescription,
    kSlotCount
};
constexpr std::array<std::string_view, kSlotCount> kSlotNames = {
    "TITLE", "ARTIST", "ALBUM", "TRACKNUMBER", "DATE", "GENRE", "COMMENT", "PERFORMER", "DESCRIPTION",
};
using TSlots = std::array<std::string, kSlotCount>;

struct TPage {
    std::uint8_t headerType = 0;
    std::int64_t bodyStart = 0;
    std::vector<std::uint8_t> lacing;

    std::int64_t BodySize() const
    {
        std::int64_t size = 0;
        for (const std::uint8_t value : lacing)
            size += value;
        return size;
    }
};

// False when no whole page header lies at position.
bool ReadPage(TByteSource& source, std::int64_t position, TPage& page)
{
    std::vector<std::uint8_t> buffer;
    const std::int64_t got = source.ReadWindow(position, kLongestPageHeader, buffer);
    const TBinaryView header(buffer);
    const std::int64_t segments = header.u8(kSegmentCountOffset);
    if (!header.matches(0, "OggS") || got < kPageHeaderSize + segments)
        return false;
    page.headerType = header.u8(kHeaderTypeOffset);
    page.bodyStart = position + kPageHeaderSize + segments;
    page.lacing.assign(buffer.begin() + kPageHeaderSize, buffer.begin() + kPageHeaderSize + segments);
    return true;
}

// Reads one packet that begins at the start of a page's body, following it
// across as many pages as its segment table says (a run of full segments
// goes on in the next page). Pages are looked at only as the reading
// reaches them, so a packet of many megabytes costs no memory.
class TPacketReader {
public:
    TPacketReader(TByteSource& source, std::int64_t firstPage) : source_(source), nextPage_(firstPage) {}

    // Appends up to count bytes of the packet; false when fewer were left.
    bool Read(std::int64_t count, std::vector<std::uint8_t>& bytes)
    {
        bytes.clear();
        std::vector<std::uint8_t> piece;
        while (count > 0 && Available()) {
            const std::int64_t take = std::min(count, spanLeft_);
            if (source_.ReadWindow(spanStart_, take, piece) != take) {
                finished_ = true;
                return false;
            }
            bytes.insert(bytes.end(), piece.begin(), piece.end());
            Advance(take);
            count -= take;
        }
        return count == 0;
    }

    bool Skip(std::int64_t count)
    {
        while (count > 0 && Available()) {
            const std::int64_t take = std::min(count, spanLeft_);
            Advance(take);
            count -= take;
        }
        return count == 0;
    }

private:
    bool Available()
    {
        while (spanLeft_ == 0 && !finished_)
            NextSpan();
        return spanLeft_ > 0;
    }

    void Advance(std::int64_t count)
    {
        spanStart_ += count;
        spanLeft_ -= count;
    }

    // The packet's part in the next page; pages after the first must say
    // they continue a packet.
    void NextSpan()
    {
        TPage page;
        const bool first = spans_ == 0;
        if (!ReadPage(source_, nextPage_, page) || (!first && !(page.headerType & kContinuedPacket))) {
            finished_ = true;
            return;
        }
        ++spans_;
        spanStart_ = page.bodyStart;
        spanLeft_ = 0;
        for (const std::uint8_t value : page.lacing) {
            spanLeft_ += value;
            if (value < kFullSegment) {
                finished_ = true;
                break;
            }
        }
        nextPage_ = page.bodyStart + page.BodySize();
    }

    TByteSource& source_;
    std::int64_t nextPage_;
    std::int64_t spans_ = 0;
    std::int64_t spanStart_ = 0;
    std::int64_t spanLeft_ = 0;
    bool finished_ = false;
};

// One length-prefixed string of the comment header, its first
// kCommentCapacity bytes kept. False at the end of the packet.
bool ReadCommentString(TPacketReader& packet, std::vector<std::uint8_t>& bytes, bool& truncated)
{
    std::vector<std::uint8_t> lengthBytes;
    if (!packet.Read(4, lengthBytes))
        return false;
    const std::int64_t length = TBinaryView(lengthBytes).u32le(0);
    const std::int64_t kept = std::min(length, kCommentCapacity);
    truncated = length > kept;
    packet.Read(kept, bytes);
    packet.Skip(length - kept);
    return true;
}

std::string DecodedUtf8(std::string_view bytes, bool truncated)
{
    const TBinaryView view({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    return DecodeText(view, TTextEncoding::Utf8, truncated);
}

// "NAME=value": the name compared without regard to case and kept with any
// blank it has; a text without "=" is the vendor's when none was seen yet.
void TakeComment(const std::vector<std::uint8_t>& bytes, bool truncated, TSlots& slots, std::string& vendor)
{
    const std::string_view raw = TBinaryView(bytes).chars(0, static_cast<std::int64_t>(bytes.size()));
    const std::string text = TrimBlanksAndControls(std::string(raw.substr(0, raw.find('\0'))));
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos) {
        if (vendor.empty())
            vendor = DecodedUtf8(text, truncated);
        return;
    }
    const std::string_view name = std::string_view(text).substr(0, equals);
    const std::string value = TrimBlanksAndControls(text.substr(equals + 1));
    for (std::size_t slot = 0; slot < kSlotCount; ++slot) {
        if (SameTextAscii(name, kSlotNames[slot]))
            slots[slot] = DecodedUtf8(value, truncated);
    }
}

// The vendor string, the comment count, then the comments; what was read
// before the packet (or the file) ended is kept.
void ReadCommentHeader(TPacketReader& packet, TSlots& slots, std::string& vendor)
{
    std::vector<std::uint8_t> bytes;
    bool truncated = false;
    if (!packet.Read(static_cast<std::int64_t>(kCommentMark.size()), bytes) ||
        !TBinaryView(bytes).matches(0, kCommentMark) || !ReadCommentString(packet, bytes, truncated))
        return;
    TakeComment(bytes, truncated, slots, vendor);
    if (!packet.Read(4, bytes))
        return;
    for (std::uint32_t count = TBinaryView(bytes).u32le(0); count > 0; --count) {
        if (!ReadCommentString(packet, bytes, truncated))
            return;
        TakeComment(bytes, truncated, slots, vendor);
    }
}

std::uint8_t TrackNumber(const std::string& text)
{
    const std::int64_t track = DecimalOr(std::string_view(text).substr(0, text.find('/')), 0);
    return static_cast<std::uint8_t>(track);
}

const std::string& FirstNonEmpty(const std::string& first, const std::string& second)
{
    return first.empty() ? second : first;
}

}  // namespace

void TOggVorbis::Clear()
{
    fileLength_ = 0;
    channels_ = 0;
    sampleRate_ = 0;
    nominalBitRate_ = 0;
    samples_ = 0;
    id3v2Size_ = 0;
    title_.clear();
    artist_.clear();
    album_.clear();
    track_ = 0;
    date_.clear();
    genre_.clear();
    comment_.clear();
    vendor_.clear();
}

bool TOggVorbis::LoadFromSource(TByteSource& source)
{
    Clear();
    TReadAheadSource buffered(source);
    std::vector<std::uint8_t> buffer;
    buffered.ReadWindow(0, 10, buffer);
    id3v2Size_ = ID3v2TagSize(TBinaryView(buffer), buffered.Size());
    std::int64_t secondPage = 0;
    if (!ReadIdentification(buffered, secondPage)) {
        Clear();
        return false;
    }
    fileLength_ = buffered.Size();
    ReadComments(buffered, secondPage);
    ReadLastGranule(buffered);
    return true;
}

bool TOggVorbis::ReadIdentification(TByteSource& source, std::int64_t& secondPage)
{
    TPage page;
    if (!ReadPage(source, id3v2Size_, page))
        return false;
    std::vector<std::uint8_t> buffer;
    source.ReadWindow(page.bodyStart, kIdentificationSize, buffer);
    const TBinaryView header(buffer);
    if (!header.matches(0, kIdentificationMark))
        return false;
    channels_ = header.u8(kChannelsOffset);
    sampleRate_ = static_cast<std::int32_t>(header.u32le(kSampleRateOffset));
    const auto nominal = static_cast<std::int32_t>(header.u32le(kNominalBitRateOffset));
    nominalBitRate_ = static_cast<std::uint16_t>(std::clamp(std::lround(nominal / 1000.0), 0L, 65535L));
    secondPage = page.bodyStart + page.BodySize();
    return true;
}

void TOggVorbis::ReadComments(TByteSource& source, std::int64_t secondPage)
{
    TPacketReader packet(source, secondPage);
    TSlots slots;
    ReadCommentHeader(packet, slots, vendor_);
    title_ = slots[slTitle];
    artist_ = FirstNonEmpty(slots[slArtist], slots[slPerformer]);
    album_ = slots[slAlbum];
    track_ = TrackNumber(slots[slTrackNumber]);
    date_ = slots[slDate];
    genre_ = slots[slGenre];
    comment_ = FirstNonEmpty(slots[slComment], slots[slDescription]);
}

void TOggVorbis::ReadLastGranule(TByteSource& source)
{
    const std::int64_t from = std::max<std::int64_t>(fileLength_ - kLastPageReach, 0);
    std::vector<std::uint8_t> buffer;
    source.ReadWindow(from, fileLength_ - from, buffer);
    const TBinaryView tail(buffer);
    const std::string_view text = tail.chars(0, tail.size() - kLastPageGap + 4);
    const std::size_t last = text.rfind("OggS");
    if (last != std::string_view::npos)
        samples_ = static_cast<std::int64_t>(tail.u64le(static_cast<std::int64_t>(last) + kGranuleOffset));
}

double TOggVorbis::Duration() const
{
    if (samples_ > 0 && sampleRate_ > 0)
        return static_cast<double>(samples_) / sampleRate_;
    if (nominalBitRate_ > 0)
        return static_cast<double>(fileLength_ - id3v2Size_) * 8.0 / (nominalBitRate_ * 1000.0);
    return 0;
}

std::uint16_t TOggVorbis::BitRate() const
{
    const double duration = Duration();
    if (!(duration > 0))
        return 0;
    const double kbits = static_cast<double>(fileLength_ - id3v2Size_) / duration / 125.0;
    return static_cast<std::uint16_t>(std::clamp(std::nearbyint(kbits), 0.0, 65535.0));
}
