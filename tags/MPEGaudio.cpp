#include "tags/MPEGaudio.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "tags/TagText.h"

namespace {

// Bitrates in kbit/s by BitRateID: ISO/IEC 11172-3 for MPEG-1, ISO/IEC
// 13818-3 for MPEG-2 (whose rows MPEG 2.5 uses too). Index 0 (free format)
// and 15 are not valid in a header the search accepts.
constexpr std::array<std::array<std::uint16_t, 16>, 3> kMpeg1BitRates = {{
    {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},  // Layer I
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},     // Layer II
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},      // Layer III
}};
constexpr std::array<std::array<std::uint16_t, 16>, 3> kMpeg2BitRates = {{
    {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},  // Layer I
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},       // Layer II
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},       // Layer III
}};

// Sample rates in Hz by VersionID and SampleRateID (ISO/IEC 11172-3,
// ISO/IEC 13818-3, and the MPEG 2.5 extension).
constexpr std::array<std::array<std::int32_t, 4>, 4> kSampleRates = {{
    {11025, 12000, 8000, 0},   // MPEG 2.5
    {0, 0, 0, 0},              // reserved
    {22050, 24000, 16000, 0},  // MPEG 2
    {44100, 48000, 32000, 0},  // MPEG 1
}};

// Samples per frame by layer (I, II, III): MPEG-1, then MPEG-2 and 2.5.
constexpr std::array<std::int32_t, 3> kMpeg1SamplesPerFrame = {384, 1152, 1152};
constexpr std::array<std::int32_t, 3> kMpeg2SamplesPerFrame = {384, 1152, 576};

// Layer I counts its frames in slots of four bytes.
constexpr std::int64_t kLayer1SlotSize = 4;

// The block of the encoder search.
constexpr std::int64_t kBlockSize = 3458;
// Read at once from the start of a file: an ID3v2 tag without pictures, the
// search for the first frame after it and that frame's VBR header, so that
// most files cost one read there.
constexpr std::int64_t kHeaderBlock = 32 * 1024;
// A VBR header and what follows it lie within this many bytes of the frame start.
constexpr std::int64_t kVbrWindow = 192;
// Fraunhofer's encoder writes VBRI right after 32 bytes of side information.
constexpr std::int64_t kVbriOffset = 36;

constexpr std::size_t LayerRow(const TFrameHeader& header)
{
    return static_cast<std::size_t>(mlLayer1 - header.LayerID);  // I, II, III
}

constexpr bool IsMpeg1(const TFrameHeader& header)
{
    return header.VersionID == mvMpeg1;
}

constexpr std::int32_t TableBitRate(const TFrameHeader& header)
{
    if (header.VersionID == mvReserved || header.LayerID == mlReserved)
        return 0;
    const auto& rows = IsMpeg1(header) ? kMpeg1BitRates : kMpeg2BitRates;
    return rows[LayerRow(header)][header.BitRateID & 0x0F];
}

constexpr std::int32_t SampleRateOf(const TFrameHeader& header)
{
    return kSampleRates[header.VersionID & 3][header.SampleRateID & 3];
}

constexpr std::int32_t SamplesPerFrame(const TFrameHeader& header)
{
    if (header.LayerID == mlReserved)
        return 0;
    return (IsMpeg1(header) ? kMpeg1SamplesPerFrame : kMpeg2SamplesPerFrame)[LayerRow(header)];
}

// Bytes per kbit/s and Hz of a frame: a frame holds samples / 8 bytes per bit/s.
constexpr std::int64_t Coefficient(const TFrameHeader& header)
{
    return SamplesPerFrame(header) / 8;
}

constexpr std::int64_t PaddingSize(const TFrameHeader& header)
{
    if (header.PaddingBit == 0)
        return 0;
    return header.LayerID == mlLayer1 ? kLayer1SlotSize : 1;
}

constexpr std::int64_t FrameLength(const TFrameHeader& header)
{
    const std::int64_t sampleRate = SampleRateOf(header);
    if (sampleRate == 0)
        return 0;
    const std::int64_t bitsPerSecond = std::int64_t{TableBitRate(header)} * 1000;
    if (header.LayerID == mlLayer1)
        return kLayer1SlotSize * (12 * bitsPerSecond / sampleRate + header.PaddingBit);
    return Coefficient(header) * bitsPerSecond / sampleRate + PaddingSize(header);
}

TFrameHeader DecodeHeader(TBinaryView bytes, std::int64_t at)
{
    TFrameHeader header;
    for (std::size_t i = 0; i < header.Data.size(); ++i)
        header.Data[i] = bytes.u8(at + static_cast<std::int64_t>(i));
    const std::uint8_t b1 = header.Data[1];
    const std::uint8_t b2 = header.Data[2];
    const std::uint8_t b3 = header.Data[3];
    header.VersionID = (b1 >> 3) & 3;
    header.LayerID = (b1 >> 1) & 3;
    header.BitRateID = b2 >> 4;
    header.SampleRateID = (b2 >> 2) & 3;
    header.PaddingBit = (b2 >> 1) & 1;
    header.ModeID = b3 >> 6;
    header.ModeExtensionID = (b3 >> 4) & 3;
    header.EmphasisID = b3 & 3;
    return header;
}

bool IsValidHeader(const TFrameHeader& header)
{
    return header.Data[0] == 0xFF && header.Data[1] > 0xDF && header.VersionID != mvReserved &&
           header.LayerID != mlReserved && header.Data[2] > 0x0F && header.Data[2] < 0xF0 &&
           header.SampleRateID != 3 && header.EmphasisID != 2;
}

// The longest frame a valid header can announce (MPEG 2.5 Layer II at
// 160 kbit/s and 8 kHz); the frame search overlaps its windows by this much.
constexpr std::int64_t MaxFrameLength()
{
    std::int64_t longest = 0;
    for (std::uint8_t version : {mvMpeg25, mvMpeg2, mvMpeg1}) {
        for (std::uint8_t layer : {mlLayer1, mlLayer2, mlLayer3}) {
            for (std::uint8_t bitRate = 1; bitRate < 15; ++bitRate) {
                for (std::uint8_t sampleRate = 0; sampleRate < 3; ++sampleRate) {
                    TFrameHeader header;
                    header.VersionID = version;
                    header.LayerID = layer;
                    header.BitRateID = bitRate;
                    header.SampleRateID = sampleRate;
                    header.PaddingBit = 1;
                    longest = std::max(longest, FrameLength(header));
                }
            }
        }
    }
    return longest;
}
constexpr std::int64_t kHeaderLength = 4;
constexpr std::int64_t kSearchWindow = 16384;
// How far after the ID3v2 tag the first frame is looked for. Real files
// start their audio right after the tag, or after the padding or junk a
// tagger left (kilobytes); the most seen there is a stray second ID3v2 tag
// with its picture, a few hundred kilobytes. Anything named like audio that
// holds no frame this early is no MP3 worth reading to its end (a 64 GB
// disk image would take minutes), and 4 MiB still read in milliseconds.
constexpr std::int64_t kFrameSearchReach = 4 * 1024 * 1024;
// Windows overlap so that every candidate's next header lies in its window.
constexpr std::int64_t kSearchStep = kSearchWindow - MaxFrameLength() - kHeaderLength;

// The Xing (or Info) header follows the side information of Layer III.
std::int64_t XingOffset(const TFrameHeader& header)
{
    const bool mono = header.ModeID == mmMono;
    if (IsMpeg1(header))
        return mono ? 21 : 36;
    return mono ? 13 : 21;
}

// A candidate is confirmed when a valid header follows right after it.
bool FindFirstFrame(TBinaryView window, std::int64_t candidates, TFrameHeader& found)
{
    for (std::int64_t at = 0; at < candidates; ++at) {
        if (window.u8(at) != 0xFF)
            continue;
        const TFrameHeader header = DecodeHeader(window, at);
        if (!IsValidHeader(header))
            continue;
        const std::int64_t length = FrameLength(header);
        if (!IsValidHeader(DecodeHeader(window, at + length)))
            continue;
        found = header;
        found.Found = true;
        found.Position = at;
        found.Size = static_cast<std::uint16_t>(length);
        return true;
    }
    return false;
}

// Xing and Info: a flags word, then the fields the flags announce, in this
// order: frames, bytes, a 100-byte seek table, quality; then, from LAME and
// ffmpeg, eight characters naming the encoder.
TVbrHeader XingHeader(TBinaryView header)
{
    TVbrHeader vbr;
    vbr.Found = true;
    vbr.Kind = std::string(header.chars(0, 4));
    const std::uint32_t flags = header.u32be(4);
    std::int64_t at = 8;
    if (flags & 0x1) {
        vbr.Frames = header.u32be(at);
        at += 4;
    }
    if (flags & 0x2) {
        vbr.Bytes = header.u32be(at);
        at += 4;
    }
    if (flags & 0x4)
        at += 100;
    if (flags & 0x8) {
        vbr.Quality = header.u8(at + 3);
        at += 4;
    }
    vbr.EncoderText = DecodeText(header.sub(at, 8), TTextEncoding::Windows1252);
    return vbr;
}

TVbrHeader VbriHeader(TBinaryView header)
{
    TVbrHeader vbr;
    vbr.Found = true;
    vbr.Kind = "VBRI";
    vbr.Quality = header.u8(9);
    vbr.Bytes = header.u32be(10);
    vbr.Frames = header.u32be(14);
    return vbr;
}

// Encoders leave their mark in the stream: "LAME" with its version, or
// "GOGO". Looked for backwards from the end of the block, within a few frames.
std::string FindEncoder(TBinaryView block, std::int64_t frameSize)
{
    const std::int64_t last = block.size() - 8;
    const std::int64_t window = std::min(5 * frameSize, last);
    // The mark nearest the end wins: the region from last - window to last.
    const std::string_view region = block.chars(last - window, window + 4);
    const std::size_t lame = region.rfind("LAME");
    const std::size_t gogo = region.rfind("GOGO");
    if (lame != std::string_view::npos && (gogo == std::string_view::npos || lame > gogo))
        return DecodeText(block.sub(last - window + static_cast<std::int64_t>(lame), 8),
                          TTextEncoding::Windows1252);
    return gogo != std::string_view::npos ? "GOGO" : "";
}

}  // namespace

void TMPEGaudio::Clear()
{
    fileLength_ = 0;
    encoder_.clear();
    vbrHeader_ = TVbrHeader();
    frameHeader_ = TFrameHeader();
    audioStart_ = 0;
    audioEnd_ = 0;
    streamBitRate_ = 0;
    id3v1_.Clear();
    id3v2_.Clear();
    apeTag_.Clear();
}

bool TMPEGaudio::LoadFromSource(TByteSource& source)
{
    Clear();
    TReadAheadSource buffered(source, kHeaderBlock);
    if (id3v2_.LoadFromSource(buffered) && id3v1_.LoadFromSource(buffered) && ReadStream(buffered))
        return true;
    Clear();
    return false;
}

bool TMPEGaudio::ReadStream(TByteSource& source)
{
    fileLength_ = source.Size();
    std::vector<std::uint8_t> buffer;
    const std::int64_t searchEnd = std::min(fileLength_, id3v2_.Size() + kFrameSearchReach);
    for (std::int64_t start = id3v2_.Size(); start < searchEnd && !frameHeader_.Found;
         start += kSearchStep) {
        const std::int64_t got = source.ReadWindow(start, kSearchWindow, buffer);
        if (got < 0)
            return false;
        // The last window has no successor: all its positions are candidates.
        const std::int64_t candidates = got < kSearchWindow ? got : kSearchStep;
        if (FindFirstFrame(TBinaryView(buffer), candidates, frameHeader_))
            frameHeader_.Position += start;
    }
    if (!frameHeader_.Found)
        return false;
    audioStart_ = frameHeader_.Position;
    audioEnd_ = fileLength_ - id3v1_.Size();
    return ReadVbrHeader(source) && ReadEncoder(source);
}

bool TMPEGaudio::ReadVbrHeader(TByteSource& source)
{
    std::vector<std::uint8_t> buffer;
    if (source.ReadWindow(frameHeader_.Position, kVbrWindow, buffer) < 0)
        return false;
    const TBinaryView frame(buffer);
    const std::int64_t xing = XingOffset(frameHeader_);
    if (frame.matches(xing, "Xing") || frame.matches(xing, "Info"))
        vbrHeader_ = XingHeader(frame.sub(xing, kVbrWindow));
    else if (frame.matches(kVbriOffset, "VBRI"))
        vbrHeader_ = VbriHeader(frame.sub(kVbriOffset, kVbrWindow));
    return vbrHeader_.Kind != "Info" || ReadStreamBitRate(source);
}

// "Info" is what LAME writes for a constant bitrate: its byte count spans the
// Info frame too, so bytes over frames comes out a little high (321 for 320).
// The stream's rate is the table rate of the frame after the Info frame,
// which at low bitrates is smaller than the Info frame's own.
bool TMPEGaudio::ReadStreamBitRate(TByteSource& source)
{
    std::vector<std::uint8_t> buffer;
    if (source.ReadWindow(frameHeader_.Position + frameHeader_.Size, kHeaderLength, buffer) < 0)
        return false;
    const TFrameHeader next = DecodeHeader(TBinaryView(buffer), 0);
    streamBitRate_ = static_cast<std::uint16_t>(TableBitRate(IsValidHeader(next) ? next : frameHeader_));
    return true;
}

// First in the block where the stream starts, then in the block before the
// ID3v1 tag at the end of the file.
bool TMPEGaudio::ReadEncoder(TByteSource& source)
{
    std::vector<std::uint8_t> block;
    if (source.ReadWindow(id3v2_.Size(), kBlockSize, block) < 0)
        return false;
    encoder_ = FindEncoder(TBinaryView(block), frameHeader_.Size);
    if (!encoder_.empty())
        return true;
    const std::int64_t tail = fileLength_ - kBlockSize - (id3v1_.Exists() ? 128 : 0);
    if (source.ReadWindow(std::max<std::int64_t>(tail, 0), kBlockSize, block) < 0)
        return false;
    encoder_ = FindEncoder(TBinaryView(block), frameHeader_.Size);
    return true;
}

std::int32_t TMPEGaudio::SampleRate() const
{
    return frameHeader_.Found ? SampleRateOf(frameHeader_) : 0;
}

std::uint16_t TMPEGaudio::BitRate() const
{
    if (!frameHeader_.Found)
        return 0;
    if (streamBitRate_ > 0)
        return streamBitRate_;
    if (!vbrHeader_.Found || vbrHeader_.Frames <= 0)
        return static_cast<std::uint16_t>(TableBitRate(frameHeader_));
    // A header without a byte count: the stream's own span stands in for it.
    const std::int64_t bytes = vbrHeader_.Bytes > 0 ? vbrHeader_.Bytes : audioEnd_ - audioStart_;
    const double frameBytes = static_cast<double>(bytes) / static_cast<double>(vbrHeader_.Frames) -
                              static_cast<double>(PaddingSize(frameHeader_));
    const double kbits =
        frameBytes * SampleRateOf(frameHeader_) / static_cast<double>(Coefficient(frameHeader_)) / 1000.0;
    return static_cast<std::uint16_t>(std::clamp(std::nearbyint(kbits), 0.0, 65535.0));
}

double TMPEGaudio::Duration() const
{
    if (!frameHeader_.Found)
        return 0;
    const double sampleRate = SampleRateOf(frameHeader_);
    if (vbrHeader_.Found && vbrHeader_.Frames > 0)
        return static_cast<double>(vbrHeader_.Frames) * SamplesPerFrame(frameHeader_) / sampleRate;
    const double bitsPerSecond = TableBitRate(frameHeader_) * 1000.0;
    return static_cast<double>(std::max<std::int64_t>(audioEnd_ - audioStart_, 0)) * 8.0 / bitsPerSecond;
}
