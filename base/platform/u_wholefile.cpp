#include "base/platform/u_wholefile.h"

#include "base/platform/u_temporaryfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

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

// Where a write to fileName lands: the final target of its symbolic links,
// so that a linked file stays a link and its target gets the contents.
std::string WriteTarget(const std::string& fileName)
{
    constexpr int kMaxLinkHops = 40;  // the kernel's own limit
    std::filesystem::path target = fileName;
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        std::error_code error;
        if (!std::filesystem::is_symlink(target, error))
            break;
        const std::filesystem::path link = std::filesystem::read_symlink(target, error);
        if (error)
            break;
        target = link.is_absolute() ? link : target.parent_path() / link;
    }
    return target.string();
}

bool InGroup(gid_t group)
{
    if (group == ::getegid())
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(::getgroups(0, nullptr), 0)));
    groups.resize(static_cast<std::size_t>(std::max(::getgroups(static_cast<int>(groups.size()), groups.data()), 0)));
    return std::find(groups.begin(), groups.end(), group) != groups.end();
}

// Decided by the permission bits of the user's class, never by access():
// root may write any file, but a file the user made read-only is meant to
// stay as it is, and a rename would replace it regardless.
bool PermitsWriting(const struct stat& status)
{
    if (status.st_uid == ::geteuid())
        return (status.st_mode & S_IWUSR) != 0;
    if (InGroup(status.st_gid))
        return (status.st_mode & S_IWGRP) != 0;
    return (status.st_mode & S_IWOTH) != 0;
}

// The new file takes the place of the old one with its permission bits and,
// where the system allows it, its owner and group.
bool TakeOverAttributes(int descriptor, const struct stat& replaced)
{
    if (::fchown(descriptor, replaced.st_uid, replaced.st_gid) != 0) {
        // Only root may give a file away; the file is then the user's own.
    }
    return ::fchmod(descriptor, replaced.st_mode & 07777) == 0;
}

}  // namespace

namespace {

std::string TooLarge(std::int64_t limit)
{
    errno = EFBIG;
    constexpr std::int64_t kMegabyte = std::int64_t{1} << 20;
    return "it is larger than " +
           (limit >= kMegabyte ? std::to_string(limit / kMegabyte) + " MB" : std::to_string(limit) + " bytes");
}

// Why a file is refused before a byte of it is read; errno is set to match.
std::string RefusalOf(const struct stat& status, std::int64_t limit)
{
    if (S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        return "it is a folder, not a file";
    }
    if (!S_ISREG(status.st_mode)) {
        errno = ENOTSUP;
        return S_ISFIFO(status.st_mode) ? "it is a pipe, not a file" : "it is a device or socket, not a file";
    }
    if (status.st_size > limit)
        return TooLarge(limit);
    return {};
}

// Reads to the end, at most limit bytes: a file may grow while it is read,
// and the files under /proc tell no size.
bool ReadToEnd(int descriptor, std::string& contents, std::string& reason, std::int64_t limit)
{
    char buffer[16384];
    for (;;) {
        const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            reason = std::strerror(errno);
            return false;
        }
        if (got == 0)
            return true;
        if (static_cast<std::int64_t>(contents.size()) + got > limit) {
            reason = TooLarge(limit);
            return false;
        }
        contents.append(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace

bool ReadWholeFile(const std::string& fileName, std::string& contents, std::string& reason, std::int64_t limit)
{
    contents.clear();
    reason.clear();
    // Without O_NONBLOCK the open of a FIFO waits for a writer, for ever.
    TFileDescriptor file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0) {
        reason = std::strerror(errno);
        return false;
    }
    reason = RefusalOf(status, limit);
    if (!reason.empty())
        return false;
    if (!ReadToEnd(file.Get(), contents, reason, limit)) {
        const int error = errno;
        contents.clear();
        errno = error;
        return false;
    }
    return true;
}

bool ReadWholeFile(const std::string& fileName, std::string& contents)
{
    std::string reason;
    return ReadWholeFile(fileName, contents, reason);
}

bool FileVanished(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) != 0 && (errno == ENOENT || errno == ENOTDIR);
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

// Opens a temporary file beside fileName and lets write (given the open
// descriptor, false on failure with errno set) fill it; the caller places it.
template <class Write>
bool WriteTemporary(TTemporaryFile& file, const Write& write)
{
    return file.Open() && write(file.Descriptor());
}

// Writes a temporary file beside fileName and renames it over fileName once
// it is on the disk; on failure the temporary file goes and errno tells why.
template <class Write>
bool WriteThenRename(const std::string& fileName, const Write& write)
{
    const std::string target = WriteTarget(fileName);
    struct stat replaced {};
    const bool replacing = ::stat(target.c_str(), &replaced) == 0;
    if (replacing && (!S_ISREG(replaced.st_mode) || !PermitsWriting(replaced))) {
        errno = S_ISDIR(replaced.st_mode) ? EISDIR : EACCES;
        return false;
    }
    TTemporaryFile file(target, TTemporaryFile::tpSave);
    return WriteTemporary(file, write) && (!replacing || TakeOverAttributes(file.Descriptor(), replaced)) &&
           file.Replace();
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

namespace {

// The source opened for a copy, with its status; false with errno set when
// it is no regular file.
bool OpenSource(TFileDescriptor& from, struct stat& status)
{
    if (from.Get() < 0 || ::fstat(from.Get(), &status) != 0)
        return false;
    if (!S_ISREG(status.st_mode)) {
        errno = EISDIR;
        return false;
    }
    return true;
}

bool CopyContentsAndTime(int from, int to, const struct stat& status)
{
    const timespec times[2] = {status.st_atim, status.st_mtim};
    return CopyAll(from, to) && ::futimens(to, times) == 0;
}

}  // namespace

TRenameOutcome CopyWholeFileAsNew(const std::string& source, const std::string& target, std::string& reason,
                                  const TRenameCalls& calls)
{
    TFileDescriptor from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    TTemporaryFile file(target, TTemporaryFile::tpMove);
    TRenameOutcome outcome = TRenameOutcome::Failed;
    if (OpenSource(from, status) &&
        WriteTemporary(file, [&](int to) { return CopyContentsAndTime(from.Get(), to, status); }) &&
        ::fchmod(file.Descriptor(), status.st_mode & 07777) == 0)
        outcome = file.PlaceNew(calls);
    if (outcome == TRenameOutcome::Failed || outcome == TRenameOutcome::OtherFileSystem)
        reason = std::strerror(errno);
    return outcome;
}

bool CopyWholeFile(const std::string& source, const std::string& target, std::string& reason)
{
    TFileDescriptor from(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status{};
    const bool copied = OpenSource(from, status) &&
                        WriteThenRename(target, [&](int to) { return CopyContentsAndTime(from.Get(), to, status); });
    if (!copied)
        reason = std::strerror(errno);
    return copied;
}
