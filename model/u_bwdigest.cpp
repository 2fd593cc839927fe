#include "model/u_bwdigest.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string_view>
#include <vector>

#include "base/u_sysinfo.h"
#include "tags/u_bytesource.h"

namespace {

// The crypto library frees itself from an exit handler of its own, which
// runs before the destructors of objects made earlier: the list manager
// digests the lists it saves while it is freed at the very end. The library
// is therefore kept until the process is gone.
void KeepCryptoLibraryToExit()
{
    static const int initialised = OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr);
    (void)initialised;
}

// Fetched once: a digest started with the library's built-in handle fetches
// the algorithm anew every time, under a lock all threads contend for.
const EVP_MD* Md5Algorithm()
{
    static const EVP_MD* const algorithm = [] {
        KeepCryptoLibraryToExit();
        const EVP_MD* fetched = EVP_MD_fetch(nullptr, "MD5", nullptr);
        return fetched ? fetched : EVP_md5();
    }();
    return algorithm;
}

// The window's length by the rule the stored digests were made with: the
// low 32 bits of the size, capped at maxLength.
std::uint64_t WindowLength(std::uint64_t fileSize, std::uint32_t maxLength)
{
    const auto length = static_cast<std::uint32_t>(fileSize);
    return maxLength != 0 && length >= maxLength ? maxLength : length;
}

std::uint64_t WindowStart(std::uint64_t offset)
{
    return offset - offset % AllocationGranularity();
}

// Whether a file of fileSize bytes holds the window of offset and maxLength
// wholly; a file that does not is compared by content whole.
bool HoldsWindow(std::uint64_t fileSize, std::uint64_t offset, std::uint32_t maxLength)
{
    const std::uint64_t start = WindowStart(offset);
    const std::uint64_t length = WindowLength(fileSize, maxLength);
    return length != 0 && start <= fileSize && length <= fileSize - start;
}

// Opens the file of a window and tells the window's length; none when the
// file is no regular file, cannot be opened, or the window does not lie
// wholly inside it. The opening itself refuses all but regular files and
// never blocks, so no look at the path comes first: that would cost a call
// into the kernel for every file of a scan.
std::optional<std::uint64_t> OpenWindow(TFileSource& file, const std::string& fileName, std::uint64_t start,
                                        std::uint32_t maxLength)
{
    if (!file.Open(fileName))
        return std::nullopt;
    const auto fileSize = static_cast<std::uint64_t>(file.Size());
    if (!HoldsWindow(fileSize, start, maxLength))
        return std::nullopt;
    return WindowLength(fileSize, maxLength);
}

// Hands the window to take(bytes) piece by piece; false when it cannot be
// read whole (the file is no regular file, cannot be opened, is too short,
// or shrinks meanwhile).
template <class Take>
bool ReadWindowPieces(const std::string& fileName, std::uint64_t start, std::uint32_t maxLength, const Take& take)
{
    TFileSource file;
    const std::optional<std::uint64_t> window = OpenWindow(file, fileName, start, maxLength);
    if (!window)
        return false;
    const std::uint64_t length = *window;
    constexpr std::uint64_t kChunk = 65536;
    thread_local std::vector<std::uint8_t> chunk;
    for (std::uint64_t done = 0; done < length;) {
        const auto wanted = static_cast<std::int64_t>(std::min(kChunk, length - done));
        if (file.ReadWindow(static_cast<std::int64_t>(start + done), wanted, chunk) != wanted)
            return false;
        take(chunk);
        done += static_cast<std::uint64_t>(wanted);
    }
    return true;
}

// The digest of the window, or none when it cannot be read whole.
std::optional<TBWDigest> WindowDigest(const std::string& fileName, std::uint64_t start, std::uint32_t maxLength)
{
    TBWMd5 md5;
    if (!ReadWindowPieces(fileName, start, maxLength,
                          [&](const std::vector<std::uint8_t>& piece) { md5.Add(piece.data(), piece.size()); }))
        return std::nullopt;
    return md5.Finish();
}

// Reads the first count bytes of the window, all of it when it is shorter;
// false when the window cannot be read.
bool ReadWindowStart(const std::string& fileName, std::uint64_t start, std::uint32_t maxLength, std::uint64_t count,
                     std::vector<std::uint8_t>& bytes)
{
    TFileSource file;
    const std::optional<std::uint64_t> length = OpenWindow(file, fileName, start, maxLength);
    if (!length)
        return false;
    const auto wanted = static_cast<std::int64_t>(std::min(count, *length));
    return file.ReadWindow(static_cast<std::int64_t>(start), wanted, bytes) == wanted;
}

}  // namespace

struct TBWMd5::TContext {
    TContext() { KeepCryptoLibraryToExit(); context = EVP_MD_CTX_new(); }
    EVP_MD_CTX* context = nullptr;
    ~TContext() { EVP_MD_CTX_free(context); }
};

TBWMd5::TBWMd5() : context_(std::make_unique<TContext>())
{
    if (!context_->context || EVP_DigestInit_ex(context_->context, Md5Algorithm(), nullptr) != 1)
        throw std::runtime_error("MD5 is not available from the crypto library");
}

TBWMd5::~TBWMd5() = default;

void TBWMd5::Add(const void* bytes, std::size_t count)
{
    if (count > 0)
        EVP_DigestUpdate(context_->context, bytes, count);
}

TBWDigest TBWMd5::Finish()
{
    TBWDigest digest{};
    unsigned int size = 0;
    EVP_DigestFinal_ex(context_->context, digest.data(), &size);
    return digest;
}

TBWDigest Md5Of(std::string_view bytes)
{
    TBWMd5 md5;
    md5.Add(bytes);
    return md5.Finish();
}

TBWDigest DigestFileWindow(const std::string& fileName, std::uint64_t offset, std::uint32_t maxLength)
{
    return WindowDigest(fileName, WindowStart(offset), maxLength).value_or(Md5Of({}));
}

bool ReadFileWindow(const std::string& fileName, std::uint64_t offset, std::uint32_t maxLength,
                    std::vector<std::uint8_t>& bytes)
{
    return ReadWindowStart(fileName, WindowStart(offset), maxLength, UINT64_MAX, bytes);
}

std::optional<TBWContentPart> LookAtContentPart(const std::string& fileName, std::uint64_t offset,
                                                std::uint32_t maxLength, std::uint32_t count)
{
    TFileSource file;
    if (!file.Open(fileName))
        return std::nullopt;
    const auto fileSize = static_cast<std::uint64_t>(file.Size());
    std::uint64_t start = WindowStart(offset);
    TBWContentPart part{false, WindowLength(fileSize, maxLength), 0};
    if (!HoldsWindow(fileSize, offset, maxLength)) {
        part = {true, WindowLength(fileSize, 0), 0};
        start = 0;
    }
    thread_local std::vector<std::uint8_t> bytes;
    const auto wanted = static_cast<std::int64_t>(std::min<std::uint64_t>(count, part.length));
    if (file.ReadWindow(static_cast<std::int64_t>(start), wanted, bytes) != wanted)
        return std::nullopt;
    part.startHash = std::hash<std::string_view>{}(
        std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    return part;
}
