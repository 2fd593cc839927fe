// Where a format reader's bytes come from: a file on disk, or bytes in memory
// for tests and fuzzing. Readers parse a source; opening a file is the thin
// layer above. Offsets and sizes are 64-bit, and what lies past the end of a
// source reads as zeros.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "tags/u_binaryview.h"

class TByteSource {
public:
    virtual ~TByteSource() = default;

    virtual std::int64_t Size() const = 0;
    // Whether the bytes are in memory already, where reading ahead of a
    // reader would only copy them again.
    virtual bool InMemory() const { return false; }

    // Fills buffer with exactly count bytes from offset, zeros past the end.
    // Returns how many bytes came from the source, or -1 when the offset lies
    // before the start or the read failed (the buffer is all zeros then).
    std::int64_t ReadWindow(std::int64_t offset, std::int64_t count, std::vector<std::uint8_t>& buffer);
    // Copies up to buffer.size() bytes from offset; returns how many came
    // from the source, or -1 as ReadWindow does. The rest of the buffer is
    // left as it was: a buffer that is overwritten need not be cleared.
    std::int64_t ReadInto(std::int64_t offset, std::span<std::uint8_t> buffer);

protected:
    // Copies up to buffer.size() bytes from offset, which lies within the
    // source; returns the count copied or -1 on a read error.
    virtual std::int64_t ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer) = 0;
};

class TMemorySource : public TByteSource {
public:
    explicit TMemorySource(TBinaryView bytes) : bytes_(bytes) {}

    std::int64_t Size() const override { return bytes_.size(); }
    bool InMemory() const override { return true; }

protected:
    std::int64_t ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer) override;

private:
    TBinaryView bytes_;
};

// A regular file opened for reading; closed when the source goes. Reads
// throw TBWStopped when the current thread's work was asked to stop
// (base/u_bwstop.h).
class TFileSource : public TByteSource {
public:
    TFileSource() = default;
    ~TFileSource() override;
    TFileSource(const TFileSource&) = delete;
    TFileSource& operator=(const TFileSource&) = delete;

    // False when the path names no readable regular file.
    bool Open(const std::string& fileName);
    std::int64_t Size() const override { return size_; }

protected:
    std::int64_t ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer) override;

private:
    int descriptor_ = -1;
    std::int64_t size_ = 0;
};

// The LoadFile of every reader: open the file, parse it, close it. A file
// that cannot be opened leaves the reader cleared and gives false.
template <class TReader>
bool LoadReaderFromFile(TReader& reader, const std::string& fileName)
{
    TFileSource source;
    if (!source.Open(fileName)) {
        reader.Clear();
        return false;
    }
    return reader.LoadFromSource(source);
}

// Serves the many small reads of a header walk from one block read ahead,
// so that a reader walking ASF objects or Ogg pages costs a few system calls
// per file instead of one per field. Borrows the source it reads.
class TReadAheadSource : public TByteSource {
public:
    static constexpr std::int64_t kBlockSize = 16 * 1024;
    static constexpr std::int64_t kLongestBlock = 1024 * 1024;

    explicit TReadAheadSource(TByteSource& source, std::int64_t blockSize = kBlockSize)
        : source_(source), blockSize_(blockSize)
    {
    }

    std::int64_t Size() const override { return source_.Size(); }

protected:
    std::int64_t ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer) override;

private:
    struct TBlock {
        // Never cleared: only the bytes that came from the source are served.
        std::unique_ptr<std::uint8_t[]> bytes;
        std::int64_t capacity = 0;
        std::int64_t size = 0;  // asked of the source
        std::int64_t start = 0;
        std::int64_t length = 0;  // bytes that came from the source
        bool Holds(std::int64_t offset, std::int64_t count) const
        {
            return offset >= start && offset + count <= start + length;
        }
    };

    std::int64_t NextBlockSize(std::int64_t offset) const;
    std::int64_t Serve(const TBlock& block, std::int64_t offset, std::span<std::uint8_t> buffer) const;

    TByteSource& source_;
    const std::int64_t blockSize_;
    // Two blocks: a header walk that looks at a tag at the file's end and
    // comes back still finds the block at the start read.
    std::array<TBlock, 2> blocks_;
    std::size_t recent_ = 0;  // the block used last
};
