#include "model/u_bwdigest.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <vector>

#include "base/u_sysinfo.h"
#include "model/u_bwfswin.h"
#include "tags/ByteSource.h"

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

const EVP_MD* Md5Algorithm()
{
    static const EVP_MD* const algorithm = EVP_md5();
    return algorithm;
}

// The window's length by the rule the stored digests were made with: the
// low 32 bits of the size, capped at maxLength.
std::uint64_t WindowLength(std::uint64_t fileSize, std::uint32_t maxLength)
{
    const auto length = static_cast<std::uint32_t>(fileSize);
    return maxLength != 0 && length >= maxLength ? maxLength : length;
}

// The digest of the window, or none when it cannot be read whole (the file
// is no regular file, cannot be opened, is too short, or shrinks meanwhile).
std::optional<TBWDigest> WindowDigest(const std::string& fileName, std::uint64_t start, std::uint32_t maxLength)
{
    TFileSource file;
    if (!IsRegularFile(fileName) || !file.Open(fileName))
        return std::nullopt;
    const auto fileSize = static_cast<std::uint64_t>(file.Size());
    const std::uint64_t length = WindowLength(fileSize, maxLength);
    if (length == 0 || start > fileSize || length > fileSize - start)
        return std::nullopt;
    constexpr std::uint64_t kChunk = 65536;
    thread_local std::vector<std::uint8_t> chunk;
    TBWMd5 md5;
    for (std::uint64_t done = 0; done < length;) {
        const auto wanted = static_cast<std::int64_t>(std::min(kChunk, length - done));
        if (file.ReadWindow(static_cast<std::int64_t>(start + done), wanted, chunk) != wanted)
            return std::nullopt;
        md5.Add(chunk.data(), chunk.size());
        done += static_cast<std::uint64_t>(wanted);
    }
    return md5.Finish();
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
    const std::uint64_t start = offset - offset % AllocationGranularity();
    return WindowDigest(fileName, start, maxLength).value_or(Md5Of({}));
}

std::optional<TBWDigest> WholeFileDigest(const std::string& fileName)
{
    return WindowDigest(fileName, 0, 0);
}
