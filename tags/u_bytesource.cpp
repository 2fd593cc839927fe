#include "tags/u_bytesource.h"

#include <algorithm>
#include <cerrno>

#include "base/u_bwstop.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::int64_t TByteSource::ReadWindow(std::int64_t offset, std::int64_t count,
                                     std::vector<std::uint8_t>& buffer)
{
    // A buffer used again is not cleared first: only the bytes no read
    // filled are set to zero, so a window read whole is written once.
    buffer.resize(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)));
    const std::int64_t got = count < 0 ? -1 : ReadInto(offset, buffer);
    std::fill(buffer.begin() + std::max<std::int64_t>(got, 0), buffer.end(), 0);
    return got;
}

std::int64_t TByteSource::ReadInto(std::int64_t offset, std::span<std::uint8_t> buffer)
{
    if (offset < 0)
        return -1;
    const std::int64_t wanted =
        offset >= Size() ? 0 : std::min(static_cast<std::int64_t>(buffer.size()), Size() - offset);
    return wanted == 0 ? 0 : ReadAt(offset, buffer.first(static_cast<std::size_t>(wanted)));
}

std::int64_t TMemorySource::ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer)
{
    const TBinaryView part = bytes_.sub(offset, static_cast<std::int64_t>(buffer.size()));
    std::copy(part.begin(), part.end(), buffer.begin());
    return part.size();
}

TFileSource::~TFileSource()
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
}

bool TFileSource::Open(const std::string& fileName)
{
    if (descriptor_ >= 0)
        ::close(descriptor_);
    // Not blocking: a path that became a FIFO or a device since it was
    // listed would wait for a writer for ever. Only a regular file is read.
    descriptor_ = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat status {};
    if (descriptor_ < 0 || ::fstat(descriptor_, &status) != 0 || !S_ISREG(status.st_mode)) {
        if (descriptor_ >= 0)
            ::close(descriptor_);
        descriptor_ = -1;
        size_ = 0;
        return false;
    }
    size_ = static_cast<std::int64_t>(status.st_size);
    // Files are read here at a few places (a header, a tag at the end, a
    // window), never through: the kernel's read-ahead would fetch four times
    // the first read and more from a disk, most of it never looked at (a
    // scan by tags of 20,000 files read 2.7 GB from a cold disk, not 0.7).
    // Walks that go on where they stopped read longer blocks themselves.
    ::posix_fadvise(descriptor_, 0, 0, POSIX_FADV_RANDOM);
    return true;
}

std::int64_t TFileSource::ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer)
{
    // A stop request is looked at before every piece: a piece takes a few
    // milliseconds from a disk, well under a tenth of a second from a disc.
    constexpr std::size_t kPiece = 256 * 1024;
    std::size_t done = 0;
    while (done < buffer.size()) {
        TBWStopScope::ThrowIfRequested();
        const std::span<std::uint8_t> rest = buffer.subspan(done, std::min(kPiece, buffer.size() - done));
        const ssize_t got = ::pread(descriptor_, rest.data(), rest.size(),
                                    static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;  // the file shrank while we read it
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

std::int64_t TReadAheadSource::ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer)
{
    if (source_.InMemory())
        return source_.ReadInto(offset, buffer);
    const auto count = static_cast<std::int64_t>(buffer.size());
    for (std::size_t i = 0; i < blocks_.size(); ++i)
        if (blocks_[i].Holds(offset, count)) {
            recent_ = i;
            return Serve(blocks_[i], offset, buffer);
        }
    if (count >= blockSize_)
        return source_.ReadInto(offset, buffer);
    const std::int64_t size = NextBlockSize(offset);
    recent_ = 1 - recent_;
    TBlock& block = blocks_[recent_];
    if (block.capacity < size) {
        block.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(size));
        block.capacity = size;
    }
    block.start = offset;
    block.size = size;
    block.length = source_.ReadInto(offset, std::span<std::uint8_t>(block.bytes.get(), static_cast<std::size_t>(size)));
    if (block.length < 0) {
        block.length = 0;
        return -1;
    }
    return Serve(block, offset, buffer);
}

// A walk that goes on past the block it read last (Ogg pages, ASF objects,
// the search for an MP3 frame) reads a block twice as long each time, so a
// long walk costs a few reads, as the kernel's own read-ahead would make it.
std::int64_t TReadAheadSource::NextBlockSize(std::int64_t offset) const
{
    const TBlock& last = blocks_[recent_];
    const std::int64_t lastSize = last.size;
    const bool goesOn = last.length == lastSize && offset > last.start && offset <= last.start + last.length;
    return goesOn ? std::min(2 * lastSize, kLongestBlock) : blockSize_;
}

std::int64_t TReadAheadSource::Serve(const TBlock& block, std::int64_t offset, std::span<std::uint8_t> buffer) const
{
    const std::int64_t available =
        std::min(static_cast<std::int64_t>(buffer.size()), block.start + block.length - offset);
    const std::uint8_t* from = block.bytes.get() + (offset - block.start);
    std::copy(from, from + available, buffer.begin());
    return available;
}
