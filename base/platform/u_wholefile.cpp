#include "base/platform/u_wholefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

class TFileDescriptor {
public:
    explicit TFileDescriptor(int descriptor) : descriptor_(descriptor) {}
    ~TFileDescriptor()
    {
        if (descriptor_ >= 0)
            ::close(descriptor_);
    }
    TFileDescriptor(const TFileDescriptor&) = delete;
    TFileDescriptor& operator=(const TFileDescriptor&) = delete;

    int Get() const { return descriptor_; }
    bool Close()
    {
        const int descriptor = descriptor_;
        descriptor_ = -1;
        return ::close(descriptor) == 0;
    }

private:
    int descriptor_;
};

bool WriteAll(int descriptor, std::string_view contents)
{
    while (!contents.empty()) {
        const ssize_t written = ::write(descriptor, contents.data(), contents.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        contents.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Unique per process and call, so two threads saving the same file never
// share a temporary file; the leading dot keeps it out of "*.xml" listings.
std::string TemporaryNameFor(const std::string& fileName)
{
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = fileName.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return fileName.substr(0, nameStart) + "." + fileName.substr(nameStart) + ".tmp" +
           std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

}  // namespace

bool ReadWholeFile(const std::string& fileName, std::string& contents)
{
    TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        return false;
    contents.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        contents.append(buffer, static_cast<std::size_t>(got));
    }
}

std::vector<std::string_view> SplitLines(std::string_view text)
{
    std::vector<std::string_view> lines;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string_view::npos)
            lineEnd = text.size();
        lines.push_back(text.substr(lineStart, lineEnd - lineStart));
        lineStart = lineEnd + 1;
    }
    return lines;
}

namespace {

// Writes a temporary file beside fileName with write (given the open
// descriptor, false on failure with errno set) and renames it over fileName
// once it is on the disk; on failure the temporary file goes and errno tells
// why.
template <class Write>
bool WriteThenRename(const std::string& fileName, const Write& write)
{
    const std::string temporaryName = TemporaryNameFor(fileName);
    TFileDescriptor file(
        ::open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.Get() < 0)
        return false;
    const bool written = write(file.Get()) && ::fsync(file.Get()) == 0;
    if (file.Close() && written && ::rename(temporaryName.c_str(), fileName.c_str()) == 0)
        return true;
    const int error = errno;
    ::unlink(temporaryName.c_str());
    errno = error;
    return false;
}

bool CopyAll(int from, int to)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return got == 0;
        if (!WriteAll(to, std::string_view(buffer, static_cast<std::size_t>(got))))
            return false;
    }
}

}  // namespace

bool ReplaceWholeFile(const std::string& fileName, std::string_view contents)
{
    return WriteThenRename(fileName, [contents](int file) { return WriteAll(file, contents); });
}

bool CopyWholeFile(const std::string& source, const std::string& target, std::string& reason)
{
    TFileDescriptor from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status{};
    bool copied = from.Get() >= 0 && ::fstat(from.Get(), &status) == 0;
    if (copied && !S_ISREG(status.st_mode)) {
        copied = false;
        errno = EISDIR;
    }
    copied = copied && WriteThenRename(target, [&](int to) {
        const timespec times[2] = {status.st_atim, status.st_mtim};
        return CopyAll(from.Get(), to) && ::futimens(to, times) == 0;
    });
    if (!copied)
        reason = std::strerror(errno);
    return copied;
}
