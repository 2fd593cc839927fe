// Reads the 128-byte ID3v1 (or v1.1) tag at the end of an MP3 file and the
// Lyrics3 v2 block in front of it, whose fields may hold longer texts. Also
// holds the ID3v1 genre table, which the MP4 reader shares. TMPEGaudio owns
// one TID3v1; the music handler reads its texts when a file has no ID3v2 tag.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tags/u_bytesource.h"

// The ID3v1 genre list with its common extension, indexed by the genre byte.
constexpr std::int32_t kGenreCount = 148;
constexpr std::uint8_t kNoGenre = 255;
// The name of a genre byte; empty from kGenreCount on.
std::string_view GenreName(std::int32_t genreID);

class TID3v1 {
public:
    TID3v1() { Clear(); }

    void Clear();
    // False when the file cannot be read, is shorter than a tag, or its
    // Lyrics3 size points before the start of the file; the values are
    // cleared then.
    bool LoadFile(const std::string& fileName) { return LoadReaderFromFile(*this, fileName); }
    bool LoadFromSource(TByteSource& source);

    bool Exists() const { return exists_; }
    std::uint8_t VersionID() const { return versionID_; }
    // The long (Lyrics3) text when there is one, else the tag's own.
    std::string Title() const { return LongOr(longTitle_, title_); }
    std::string Artist() const { return LongOr(longArtist_, artist_); }
    std::string Album() const { return LongOr(longAlbum_, album_); }
    std::string Comment() const { return LongOr(longComment_, comment_); }
    const std::string& Year() const { return year_; }
    std::uint8_t Track() const { return track_; }
    std::uint8_t GenreID() const { return genreID_; }
    std::string Genre() const { return std::string(GenreName(genreID_)); }
    bool Lyrics3Found() const { return lyrics3Found_; }
    std::int32_t Lyrics3Length() const { return lyrics3Length_; }
    const std::string& LongTitle() const { return longTitle_; }
    const std::string& LongArtist() const { return longArtist_; }
    const std::string& LongAlbum() const { return longAlbum_; }
    const std::string& LongComment() const { return longComment_; }
    const std::string& Images() const { return images_; }
    const std::string& Author() const { return author_; }
    const std::string& Lyrics() const { return lyrics_; }
    // Bytes the tag takes at the end of the file, the Lyrics3 block included.
    std::int64_t Size() const;

private:
    static std::string LongOr(const std::string& longText, const std::string& text)
    {
        return longText.empty() ? text : longText;
    }
    // Stores a text without its trailing blanks, and in the long field too
    // when it is longer than the tag's 30 characters could hold.
    static void SetText(std::string_view text, std::string& field, std::string& longField);

    void ReadTag(TBinaryView tag);
    bool ReadLyrics3(TByteSource& source, std::int64_t audioEnd);
    bool ReadLyrics3Field(std::string_view id, TBinaryView value);

    bool exists_;
    std::uint8_t versionID_;
    std::string title_;
    std::string artist_;
    std::string album_;
    std::string year_;
    std::string comment_;
    std::uint8_t track_;
    std::uint8_t genreID_;
    bool lyrics3Found_;
    std::int32_t lyrics3Length_;
    std::string longArtist_;
    std::string longAlbum_;
    std::string longTitle_;
    std::string longComment_;
    std::string images_;
    std::string author_;
    std::string lyrics_;
};
