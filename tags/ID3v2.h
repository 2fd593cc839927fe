// Reads the ID3v2 tag (versions 2.2, 2.3 and 2.4) at the start of an MP3
// file: seventeen text frames, each cut to 500 bytes, decoded to UTF-8.
// TMPEGaudio owns one TID3v2 and starts its frame search at Size(); the music
// handler prefers its texts to the ID3v1 tag's; the Ogg Vorbis reader skips
// a leading tag with ID3v2TagSize.
#pragma once

#include <cstdint>
#include <string>

#include "tags/u_bytesource.h"

// The total size of the tag whose 10 header bytes are given (header, frames,
// padding and footer), 0 when the bytes are no ID3v2 header or the tag would
// end past fileSize.
std::int64_t ID3v2TagSize(TBinaryView header, std::int64_t fileSize);

class TID3v2 {
public:
    TID3v2() { Clear(); }

    void Clear();
    // False only when the first 10 bytes cannot be read; true whether or not
    // a tag was found.
    bool LoadFile(const std::string& fileName) { return LoadReaderFromFile(*this, fileName); }
    bool LoadFromSource(TByteSource& source);

    bool Exists() const { return exists_; }
    std::uint8_t VersionID() const { return versionID_; }
    std::int64_t Size() const { return size_; }
    const std::string& Title() const { return title_; }
    const std::string& Artist() const { return artist_; }
    const std::string& Album() const { return album_; }
    std::int32_t Track() const { return track_; }
    const std::string& TrackText() const { return trackText_; }
    const std::string& Year() const { return year_; }
    const std::string& Genre() const { return genre_; }
    const std::string& Comment() const { return comment_; }
    const std::string& Composer() const { return composer_; }
    const std::string& EncodedBy() const { return encodedBy_; }
    const std::string& Copyright() const { return copyright_; }
    const std::string& Language() const { return language_; }
    const std::string& Link() const { return link_; }
    const std::string& SizeText() const { return sizeText_; }

private:
    bool exists_;
    std::uint8_t versionID_;
    std::int64_t size_;
    std::string title_;
    std::string artist_;
    std::string album_;
    std::int32_t track_;
    std::string trackText_;
    std::string year_;
    std::string genre_;
    std::string comment_;
    std::string composer_;
    std::string encodedBy_;
    std::string copyright_;
    std::string language_;
    std::string link_;
    std::string sizeText_;
};
