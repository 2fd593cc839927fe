// Byte builders for the tag reader tests: the pieces of ID3 tags and MPEG
// frames that no tool writes on request (ID3v2.2, Lyrics3, VBRI, Layer I,
// extended headers, damaged sizes), and a way to load a reader from them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tags/ByteSource.h"

using TBytes = std::vector<std::uint8_t>;

inline TBytes Bytes(std::string_view text)
{
    return TBytes(text.begin(), text.end());
}

inline TBytes operator+(TBytes left, const TBytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

inline TBytes Filled(std::size_t count, std::uint8_t value = 0)
{
    return TBytes(count, value);
}

inline TBytes BigEndian(std::uint64_t value, int count)
{
    TBytes bytes;
    for (int shift = (count - 1) * 8; shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
    return bytes;
}

inline TBytes Synchsafe(std::uint32_t value)
{
    return {static_cast<std::uint8_t>((value >> 21) & 0x7F), static_cast<std::uint8_t>((value >> 14) & 0x7F),
            static_cast<std::uint8_t>((value >> 7) & 0x7F), static_cast<std::uint8_t>(value & 0x7F)};
}

// Text in a fixed-width field, padded with zeros.
inline TBytes Field(std::string_view text, std::size_t width)
{
    TBytes bytes = Bytes(text.substr(0, width));
    bytes.resize(width, 0);
    return bytes;
}

// An ID3v2 frame. Version 4 sizes are synchsafe unless plainSize asks for
// the v2.3 form that some writers wrongly use.
inline TBytes ID3v2Frame(int version, std::string_view id, const TBytes& content,
                         std::uint8_t formatFlags = 0, bool plainSize = false)
{
    const auto size = static_cast<std::uint32_t>(content.size());
    if (version == 2)
        return Bytes(id) + BigEndian(size, 3) + content;
    const TBytes sizeBytes = version == 4 && !plainSize ? Synchsafe(size) : BigEndian(size, 4);
    return Bytes(id) + sizeBytes + TBytes{0, formatFlags} + content;
}

inline TBytes ID3v2Text(std::uint8_t encoding, const TBytes& text)
{
    return TBytes{encoding} + text;
}

// A whole tag: header, body (frames, an extended header ...) and padding.
inline TBytes ID3v2Tag(int version, const TBytes& body, std::size_t padding = 0, std::uint8_t flags = 0)
{
    const auto size = static_cast<std::uint32_t>(body.size() + padding);
    return Bytes("ID3") + TBytes{static_cast<std::uint8_t>(version), 0, flags} + Synchsafe(size) + body +
           Filled(padding);
}

inline TBytes ID3v1Tag(std::string_view title, std::string_view artist, std::string_view album,
                       std::string_view year, const TBytes& comment30, std::uint8_t genre)
{
    return Bytes("TAG") + Field(title, 30) + Field(artist, 30) + Field(album, 30) + Field(year, 4) +
           comment30 + TBytes{genre};
}

inline TBytes Lyrics3Field(std::string_view id, std::string_view value)
{
    std::string length = std::to_string(value.size());
    length.insert(0, 5 - length.size(), '0');
    return Bytes(id) + Bytes(length) + Bytes(value);
}

// "LYRICSBEGIN", the fields, the six-digit size and "LYRICS200".
inline TBytes Lyrics3Block(const TBytes& fields)
{
    const TBytes block = Bytes("LYRICSBEGIN") + fields;
    std::string size = std::to_string(block.size());
    size.insert(0, 6 - size.size(), '0');
    return block + Bytes(size) + Bytes("LYRICS200");
}

// An MPEG frame: the header bytes after the sync byte, zeros up to length.
inline TBytes MpegFrame(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::size_t length)
{
    return TBytes{0xFF, b1, b2, b3} + Filled(length - 4);
}

inline TBytes Repeated(const TBytes& bytes, int count)
{
    TBytes result;
    for (int i = 0; i < count; ++i)
        result = result + bytes;
    return result;
}

// Copies part into bytes at offset, which must hold it.
inline TBytes Patched(TBytes bytes, std::size_t offset, const TBytes& part)
{
    std::copy(part.begin(), part.end(), bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes;
}

template <class TReader>
bool LoadBytes(TReader& reader, const TBytes& bytes)
{
    TMemorySource source{TBinaryView(bytes)};
    return reader.LoadFromSource(source);
}
