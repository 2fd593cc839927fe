// Byte builders for the tag reader tests: the pieces of ID3 tags, MPEG
// frames, ASF objects, Ogg pages and MP4 atoms that no tool writes on request
// (ID3v2.2, Lyrics3, VBRI, Layer I, extended headers, unusual value types,
// damaged and hostile sizes), and a way to load a reader from them.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tags/u_bytesource.h"

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

inline TBytes LittleEndian(std::uint64_t value, int count)
{
    TBytes bytes;
    for (int i = 0; i < count; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    return bytes;
}

// UTF-16 little-endian code units, without a terminator.
inline TBytes Utf16LE(std::u16string_view text)
{
    TBytes bytes;
    for (const char16_t unit : text)
        bytes = bytes + LittleEndian(unit, 2);
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
    result.reserve(bytes.size() * static_cast<std::size_t>(std::max(count, 0)));
    for (int i = 0; i < count; ++i)
        result.insert(result.end(), bytes.begin(), bytes.end());
    return result;
}

// Copies part into bytes at offset, which must hold it.
inline TBytes Patched(TBytes bytes, std::size_t offset, const TBytes& part)
{
    // Byte by byte: GCC's bounds warning misreads a std::copy into a copy.
    for (std::size_t i = 0; i < part.size(); ++i)
        bytes.at(offset + i) = part[i];
    return bytes;
}

// An ASF object: its GUID, its 64-bit size, then its body.
inline TBytes AsfObject(const TBytes& guid, const TBytes& body)
{
    return guid + LittleEndian(24 + body.size(), 8) + body;
}

// ASF GUIDs as the file stores them.
inline const TBytes kAsfHeaderGuid = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                      0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
inline const TBytes kAsfDataGuid = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                    0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
inline const TBytes kAsfFilePropertiesGuid = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                              0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
inline const TBytes kAsfStreamPropertiesGuid = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                                0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
inline const TBytes kAsfAudioMediaGuid = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                                          0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};

// File id, size, date and packet count; the play duration (100 ns units),
// the send duration, the preroll (ms) and the flags; the packet sizes and
// the maximum bitrate. A play duration of 0 is a file that gives none.
inline TBytes AsfFileProperties(std::uint32_t maxBitRate, std::uint64_t playDuration = 0, std::uint64_t preroll = 0,
                                std::uint32_t flags = 2)
{
    return AsfObject(kAsfFilePropertiesGuid, Filled(40) + LittleEndian(playDuration, 8) + Filled(8) +
                                                 LittleEndian(preroll, 8) + LittleEndian(flags, 4) + Filled(8) +
                                                 LittleEndian(maxBitRate, 4));
}

// The stream type, error correction type, time offset, data lengths, flags
// and reserved bytes, then the WAVEFORMATEX of the stream.
inline TBytes AsfStreamProperties(std::uint16_t channels, std::uint32_t sampleRate, std::uint32_t byteRate,
                                  const TBytes& streamType = kAsfAudioMediaGuid)
{
    const TBytes waveFormat = LittleEndian(0x161, 2) + LittleEndian(channels, 2) + LittleEndian(sampleRate, 4) +
                              LittleEndian(byteRate, 4) + LittleEndian(0, 2) + LittleEndian(16, 2) +
                              LittleEndian(0, 2);
    return AsfObject(kAsfStreamPropertiesGuid, streamType + Filled(16 + 8) + LittleEndian(waveFormat.size(), 4) +
                                                   Filled(4 + 2 + 4) + waveFormat);
}

// A header object holding the objects, a data object, and zeros up to size.
inline TBytes AsfFile(const std::vector<TBytes>& objects, std::size_t size = 0)
{
    TBytes body;
    for (const TBytes& object : objects)
        body = body + object;
    TBytes file = kAsfHeaderGuid + LittleEndian(30 + body.size(), 8) + LittleEndian(objects.size(), 4) +
                  TBytes{1, 2} + body + AsfObject(kAsfDataGuid, Filled(26));
    if (file.size() < size)
        file.resize(size, 0);
    return file;
}

// An Ogg page with the given segment table and body; the CRC is not checked
// by the reader and left zero.
inline TBytes OggPage(std::uint8_t headerType, std::uint64_t granule, const TBytes& lacing, const TBytes& body)
{
    return Bytes("OggS") + TBytes{0, headerType} + LittleEndian(granule, 8) + LittleEndian(1, 4) +
           LittleEndian(0, 4) + LittleEndian(0, 4) + TBytes{static_cast<std::uint8_t>(lacing.size())} + lacing +
           body;
}

// One packet laid out over as many pages as it takes with at most
// segmentsPerPage segments each; pages after the first continue it.
inline TBytes OggPacketPages(const TBytes& packet, std::size_t segmentsPerPage = 255)
{
    TBytes lacing(packet.size() / 255, 255);
    lacing.push_back(static_cast<std::uint8_t>(packet.size() % 255));
    TBytes pages;
    std::size_t used = 0;
    for (std::size_t first = 0; first < lacing.size(); first += segmentsPerPage) {
        const std::size_t count = std::min(segmentsPerPage, lacing.size() - first);
        const TBytes pageLacing(lacing.begin() + static_cast<std::ptrdiff_t>(first),
                                lacing.begin() + static_cast<std::ptrdiff_t>(first + count));
        std::size_t bodySize = 0;
        for (const std::uint8_t value : pageLacing)
            bodySize += value;
        const TBytes body(packet.begin() + static_cast<std::ptrdiff_t>(used),
                          packet.begin() + static_cast<std::ptrdiff_t>(used + bodySize));
        pages = pages + OggPage(first == 0 ? 0 : 1, 0, pageLacing, body);
        used += bodySize;
    }
    return pages;
}

// An MP4 atom: 32-bit size, type, payload.
inline TBytes Atom(std::string_view type, const TBytes& payload)
{
    return BigEndian(8 + payload.size(), 4) + Bytes(type) + payload;
}

template <class TReader>
bool LoadBytes(TReader& reader, const TBytes& bytes)
{
    TMemorySource source{TBinaryView(bytes)};
    return reader.LoadFromSource(source);
}
