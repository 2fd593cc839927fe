// Reads the tags, duration and average bitrate of MP4 audio files (M4A, M4P)
// through a tree of atoms (the boxes of the MP4 file format) that grows as
// lookups reach it: a container reads its children's headers on the first
// lookup that passes through it, so the media data is never read. Values are
// found by dotted paths of atom types, such as "moov.udta.meta.ilst.\xA9nam.data"
// ("\xA9" is the byte 0xA9 of the iTunes tag names). The music handler's MP4
// reader makes one per file and asks for the values it needs.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tags/u_bytesource.h"

// An atom whose payload is never read ("free", "mdat" and the like), and the
// base of every other atom.
class TAtom {
public:
    // start: the file offset of the header; headerSize: 8, or 16 with a
    // 64-bit size; size: the whole atom.
    TAtom(TByteSource& source, std::string_view type, std::int64_t start, std::int64_t headerSize,
          std::int64_t size);
    virtual ~TAtom() = default;
    TAtom(const TAtom&) = delete;
    TAtom& operator=(const TAtom&) = delete;

    const std::string& AtomType() const { return type_; }
    std::int64_t Offset() const { return start_; }
    std::int64_t Size() const { return size_; }
    std::int64_t PayloadOffset() const { return start_ + headerSize_; }
    std::int64_t PayloadSize() const { return size_ - headerSize_; }

    // count bytes of the payload from position into buffer, zeros past the
    // payload's end; returns how many came from the payload.
    std::int64_t ReadAt(std::int64_t position, std::int64_t count, std::vector<std::uint8_t>& buffer) const;

protected:
    TByteSource& Source() const { return source_; }

private:
    TByteSource& source_;
    std::string type_;
    std::int64_t start_;
    std::int64_t headerSize_;
    std::int64_t size_;
};

class TContainerAtom : public TAtom {
public:
    using TAtom::TAtom;

    // The atom at a dotted path below this one ("ilst.\xA9nam.data"): the first
    // child of the path's first type, and below it the rest of the path when
    // the path goes on and the child is a container. None when no atom fits.
    TAtom* FindChild(std::string_view path);

protected:
    // The payload position of the first child.
    virtual std::int64_t ChildStart() { return 0; }

private:
    void ScanChildren();

    bool scanned_ = false;
    std::vector<std::unique_ptr<TAtom>> children_;
};

class TMp4File {
public:
    TMp4File();
    ~TMp4File();
    TMp4File(const TMp4File&) = delete;
    TMp4File& operator=(const TMp4File&) = delete;

    // Forgets the tree and closes a file the reader opened.
    void Clear();
    // Opens the file; nothing is read until a value is asked for. False when
    // the file cannot be opened; every value is empty or 0 then.
    bool LoadFile(const std::string& fileName);
    // Reads source as values are asked for; the source must outlive that.
    bool LoadFromSource(TByteSource& source);

    std::int64_t FileSize() const;
    TAtom* FindAtom(std::string_view path);
    // The value of the "data" atom at path: a text as it stands, a number in
    // decimal digits; empty when the path leads nowhere.
    std::string TagText(std::string_view path);

    std::string Title();
    std::string Artist();
    std::string Album();
    std::string Comment();
    // The ID3v1 genre that "gnre" numbers, else the "\xA9gen" text.
    std::string Genre();
    // kbit/s: the first track's average bitrate from its decoder configuration.
    std::int32_t Bitrate();
    // Whole seconds: the first track's media duration over its time scale.
    std::int32_t Duration();

private:
    std::unique_ptr<TFileSource> file_;
    std::unique_ptr<TReadAheadSource> source_;
    std::unique_ptr<TContainerAtom> root_;
};
