// MD5 digests (RFC 1321) as the model stores them: the digest of a window of
// a file, which the content comparison and the Mp3 Lists use, and digests of
// byte runs for the list files' own check. Safe to call from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/u_digesttype.h"

// The window of every file digest the model takes. Stored lists hold
// digests of this window, so it never changes.
inline constexpr std::uint64_t DigestOffset = 65536;
inline constexpr std::uint32_t DigestLength = 65536;

// One MD5 computation fed piece by piece.
class TBWMd5 {
public:
    TBWMd5();
    ~TBWMd5();
    TBWMd5(const TBWMd5&) = delete;
    TBWMd5& operator=(const TBWMd5&) = delete;

    void Add(const void* bytes, std::size_t count);
    void Add(std::string_view bytes) { Add(bytes.data(), bytes.size()); }
    // The digest of everything added; the computation is spent after it.
    TBWDigest Finish();

private:
    struct TContext;
    std::unique_ptr<TContext> context_;
};

TBWDigest Md5Of(std::string_view bytes);

// The digest of a window of a file. The window starts at offset rounded
// down to a multiple of the allocation granularity; its length is the file
// size taken modulo 2^32, or maxLength when that is not 0 and not above
// that size (the offset plays no part in the length). A window that does
// not lie wholly inside the file, an empty one, and a file that is not a
// regular file or cannot be read give the digest of empty input. So with
// the model's window every file shorter than 131,072 bytes has that digest.
TBWDigest DigestFileWindow(const std::string& fileName, std::uint64_t offset, std::uint32_t maxLength);

// Reads the bytes of the window DigestFileWindow digests into bytes, which
// a caller reusing it need not allocate anew; false when that window is
// empty or cannot be read whole.
bool ReadFileWindow(const std::string& fileName, std::uint64_t offset, std::uint32_t maxLength,
                    std::vector<std::uint8_t>& bytes);

// What a comparison by content reads of a file: the window DigestFileWindow
// digests, or where that window is empty or does not lie wholly in the
// file, the whole file: the first bytes of it that the low 32 bits of its
// size count, as ReadFileWindow reads it from offset 0 with no maxLength.
struct TBWContentPart {
    bool wholeFile = false;
    std::uint64_t length = 0;
    // A hash of its first bytes: parts whose hashes differ have different
    // bytes (equal hashes tell nothing).
    std::uint64_t startHash = 0;
};

// Looks at the first bytes of the part of the file a comparison by content
// reads, at most count of them, with the window of offset and maxLength;
// a part of length 0 when the file is empty. None when it cannot be read.
std::optional<TBWContentPart> LookAtContentPart(const std::string& fileName, std::uint64_t offset,
                                                std::uint32_t maxLength, std::uint32_t count);
