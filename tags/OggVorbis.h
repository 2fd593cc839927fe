// Reads an Ogg Vorbis file: skips a leading ID3v2 tag, checks the first Ogg
// page for the Vorbis identification header, reads the comment header (which
// may span several pages) and finds the last page for the sample count. The
// music handler's OGG reader makes one per file, calls LoadFile once and
// reads the texts, Duration, BitRate and FileLength.
#pragma once

#include <cstdint>
#include <string>

#include "tags/u_bytesource.h"

class TOggVorbis {
public:
    TOggVorbis() { Clear(); }

    void Clear();
    // True when the file begins, after an ID3v2 tag, with an Ogg page whose
    // first packet is a Vorbis identification header; else false with every
    // value cleared. A missing comment header only leaves the texts empty.
    bool LoadFile(const std::string& fileName) { return LoadReaderFromFile(*this, fileName); }
    bool LoadFromSource(TByteSource& source);

    std::int64_t FileLength() const { return fileLength_; }
    std::uint8_t Channels() const { return channels_; }
    std::int32_t SampleRate() const { return sampleRate_; }
    // kbit/s, the identification header's nominal bitrate rounded.
    std::uint16_t NominalBitRate() const { return nominalBitRate_; }
    // The granule position of the last page; 0 when none was found.
    std::int64_t Samples() const { return samples_; }
    std::int64_t ID3v2Size() const { return id3v2Size_; }
    const std::string& Title() const { return title_; }
    const std::string& Artist() const { return artist_; }
    const std::string& Album() const { return album_; }
    std::uint8_t Track() const { return track_; }
    const std::string& Date() const { return date_; }
    const std::string& Genre() const { return genre_; }
    const std::string& Comment() const { return comment_; }
    const std::string& Vendor() const { return vendor_; }

    // Seconds: from the sample count, else from the nominal bitrate.
    double Duration() const;
    // kbit/s over the whole file after the ID3v2 tag.
    std::uint16_t BitRate() const;

private:
    bool ReadIdentification(TByteSource& source, std::int64_t& secondPage);
    void ReadComments(TByteSource& source, std::int64_t secondPage);
    void ReadLastGranule(TByteSource& source);

    std::int64_t fileLength_;
    std::uint8_t channels_;
    std::int32_t sampleRate_;
    std::uint16_t nominalBitRate_;
    std::int64_t samples_;
    std::int64_t id3v2Size_;
    std::string title_;
    std::string artist_;
    std::string album_;
    std::uint8_t track_;
    std::string date_;
    std::string genre_;
    std::string comment_;
    std::string vendor_;
};
