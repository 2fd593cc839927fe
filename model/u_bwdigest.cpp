#include "model/u_bwdigest.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <openssl/evp.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <stdexcept>
#include <vector>

#include "base/u_sysinfo.h"
#include "model/u_bwfswin.h"

namespace {

const EVP_MD* Md5Algorithm()
{
    static const EVP_MD* const algorithm = EVP_md5();
    return algorithm;
}

// Closes the descriptor on every path out.
class TOpenFile {
public:
    explicit TOpenFile(int descriptor) : descriptor_(descriptor) {}
    ~TOpenFile()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    TOpenFile(const TOpenFile&) = delete;
    TOpenFile& operator=(const TOpenFile&) = delete;

    int Descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

// The window's length by the rule the stored digests were made with: the
// low 32 bits of the size, capped at maxLength.
std::uint64_t WindowLength(std::uint64_t fileSize, std::uint32_t maxLength)
{
    const auto length = static_cast<std::uint32_t>(fileSize);
    return maxLength != 0 && length >= maxLength ? maxLength : length;
}

// Adds length bytes from start; false when the file gave fewer (it shrank
// while being read), so the caller can drop what was added.
bool AddBytes(TBWMd5& md5, int descriptor, std::uint64_t start, std::uint64_t length)
{
    constexpr std::size_t kChunk = 65536;
    thread_local std::vector<unsigned char> buffer(kChunk);
    while (length > 0) {
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(length, kChunk));
        const ssize_t got = ::pread(descriptor, buffer.data(), wanted, static_cast<off_t>(start));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        md5.Add(buffer.data(), static_cast<std::size_t>(got));
        start += static_cast<std::uint64_t>(got);
        length -= static_cast<std::uint64_t>(got);
    }
    return true;
}

// The digest of the window, or none when it cannot be read whole.
std::optional<TBWDigest> WindowDigest(const std::string& fileName, std::uint64_t start, std::uint32_t maxLength)
{
    if (!IsRegularFile(fileName))
        return std::nullopt;
    const TOpenFile file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    // Looked at again: the name may have been given to something else since.
    struct stat status {};
    if (file.Descriptor() < 0 || ::fstat(file.Descriptor(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    const std::uint64_t length = WindowLength(fileSize, maxLength);
    if (length == 0 || start > fileSize || length > fileSize - start)
        return std::nullopt;
    TBWMd5 md5;
    if (!AddBytes(md5, file.Descriptor(), start, length))
        return std::nullopt;
    return md5.Finish();
}

}  // namespace

struct TBWMd5::TContext {
    EVP_MD_CTX* context = EVP_MD_CTX_new();
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
