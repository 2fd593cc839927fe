// Reads what the program needs of an MPEG audio stream (MP3): the first
// valid frame header, the Xing, Info or VBRI header in that frame, the
// encoder mark, and from these the bitrate and the duration. Owns the file's
// ID3v1, ID3v2 and APE tag readers and loads both ID3 tags with the stream.
// The music handler's MP3 reader makes one per file, calls LoadFile once and
// reads FileLength, BitRate, Duration and the tags.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "tags/APEtag.h"
#include "tags/u_bytesource.h"
#include "tags/ID3v1.h"
#include "tags/ID3v2.h"

// Values of TFrameHeader::VersionID and LayerID, as the header's bits hold them.
enum TMpegVersion : std::uint8_t { mvMpeg25 = 0, mvReserved = 1, mvMpeg2 = 2, mvMpeg1 = 3 };
enum TMpegLayer : std::uint8_t { mlReserved = 0, mlLayer3 = 1, mlLayer2 = 2, mlLayer1 = 3 };
enum TMpegMode : std::uint8_t { mmStereo = 0, mmJointStereo = 1, mmDualChannel = 2, mmMono = 3 };

// The header of a variable-bitrate stream: how many frames and bytes it has.
struct TVbrHeader {
    bool Found = false;
    std::string Kind;  // "Xing", "Info" (the constant-bitrate form of Xing) or "VBRI"
    std::int64_t Frames = 0;
    std::int64_t Bytes = 0;
    std::uint8_t Quality = 0;
    std::string EncoderText;  // eight characters after a Xing or Info header
};

// The first frame header, with its fields decoded. A cleared header holds the
// marks for unknown values: version 1, sample rate 3, mode and mode extension
// 4, emphasis 2.
struct TFrameHeader {
    bool Found = false;
    std::int64_t Position = 0;  // file offset of the frame
    std::uint16_t Size = 0;     // frame length in bytes
    std::array<std::uint8_t, 4> Data{};
    std::uint8_t VersionID = mvReserved;
    std::uint8_t LayerID = mlReserved;
    std::uint8_t BitRateID = 0;
    std::uint8_t SampleRateID = 3;
    std::uint8_t PaddingBit = 0;
    std::uint8_t ModeID = 4;
    std::uint8_t ModeExtensionID = 4;
    std::uint8_t EmphasisID = 2;
};

class TMPEGaudio {
public:
    TMPEGaudio() { Clear(); }

    void Clear();
    // False when the file cannot be read, a tag is damaged, or no valid
    // frame is found; every value is cleared then.
    bool LoadFile(const std::string& fileName) { return LoadReaderFromFile(*this, fileName); }
    bool LoadFromSource(TByteSource& source);

    std::int64_t FileLength() const { return fileLength_; }
    const std::string& Encoder() const { return encoder_; }
    const TVbrHeader& VbrHeader() const { return vbrHeader_; }
    const TFrameHeader& FrameHeader() const { return frameHeader_; }
    std::int64_t AudioStart() const { return audioStart_; }
    std::int64_t AudioEnd() const { return audioEnd_; }
    const TID3v1& ID3v1() const { return id3v1_; }
    const TID3v2& ID3v2() const { return id3v2_; }
    const TAPETag& APEtag() const { return apeTag_; }

    // kbit/s: the stream's table rate behind an Info header, the average of
    // a Xing or VBRI header, else the first frame's.
    std::uint16_t BitRate() const;
    // Seconds; 0 when no frame was found.
    double Duration() const;
    // Hz of the first frame; 0 when no frame was found.
    std::int32_t SampleRate() const;

private:
    bool ReadStream(TByteSource& source);
    bool ReadVbrHeader(TByteSource& source);
    bool ReadStreamBitRate(TByteSource& source);
    bool ReadEncoder(TByteSource& source);

    std::int64_t fileLength_;
    std::string encoder_;
    TVbrHeader vbrHeader_;
    TFrameHeader frameHeader_;
    std::int64_t audioStart_;
    std::int64_t audioEnd_;
    std::uint16_t streamBitRate_;  // behind an Info header; 0 otherwise
    TID3v1 id3v1_;
    TID3v2 id3v2_;
    TAPETag apeTag_;
};
