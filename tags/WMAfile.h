// Reads the header of a Windows Media Audio file (an ASF container): the
// audio stream's channels, sample rate and byte rate, the file's maximum
// bitrate, and the texts of the content description and the extended content
// description. The audio packets are never read. The music handler's WMA
// reader makes one per file, calls LoadFile once and reads the values.
#pragma once

#include <cstdint>
#include <string>

#include "tags/u_bytesource.h"

class TWMAfile {
public:
    TWMAfile() { Clear(); }

    void Clear();
    // False when the file cannot be read or a header object runs past the
    // end of the file or of itself; every value is cleared then. True for any
    // other file, also one that is no ASF file or whose stream values are
    // implausible: then Valid() is false and the values stay cleared.
    bool LoadFile(const std::string& fileName) { return LoadReaderFromFile(*this, fileName); }
    bool LoadFromSource(TByteSource& source);

    bool Valid() const { return valid_; }
    std::int64_t FileLength() const { return fileLength_; }
    std::uint8_t Channels() const { return channels_; }
    std::int32_t SampleRate() const { return sampleRate_; }
    // Seconds: the file's play duration less its preroll; for a file that
    // gives none (a broadcast), its size over the stream's byte rate.
    double Duration() const { return duration_; }
    // kbit/s, from the stream's byte rate.
    std::int32_t BitRate() const { return bitRate_; }
    const std::string& Title() const { return title_; }
    const std::string& Artist() const { return artist_; }
    const std::string& Album() const { return album_; }
    std::int32_t Track() const { return track_; }
    const std::string& Year() const { return year_; }
    const std::string& Genre() const { return genre_; }
    const std::string& Comment() const { return comment_; }

private:
    bool valid_;
    std::int64_t fileLength_;
    std::uint8_t channels_;
    std::int32_t sampleRate_;
    double duration_;
    std::int32_t bitRate_;
    std::string title_;
    std::string artist_;
    std::string album_;
    std::int32_t track_;
    std::string year_;
    std::string genre_;
    std::string comment_;
};
