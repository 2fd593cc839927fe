#include "ui/results/u_fileoperations.h"

#include "base/platform/u_filemove.h"
#include "base/platform/u_trash.h"
#include "base/platform/u_wholefile.h"
#include "base/u_bwfunc.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

std::string ErrorText()
{
    return FailureReason(errno);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool InGroup(gid_t group)
{
    if (group == getegid())
        return true;
    std::vector<gid_t> groups(static_cast<std::size_t>(std::max(getgroups(0, nullptr), 0)));
    const int count = getgroups(static_cast<int>(groups.size()), groups.data());
    for (int i = 0; i < count; ++i)
        if (groups[static_cast<std::size_t>(i)] == group)
            return true;
    return false;
}

// The write bit that applies to us, read from the mode alone: root passes
// every access() test, and would otherwise take files out of folders the
// user has closed.
bool WriteBitFor(const struct stat& info)
{
    if (info.st_uid == geteuid())
        return info.st_mode & S_IWUSR;
    if (InGroup(info.st_gid))
        return info.st_mode & S_IWGRP;
    return info.st_mode & S_IWOTH;
}

} // namespace

bool TDiskFileOperations::CanRead(const std::string& path, std::string& reason)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        reason = ErrorText();
        return false;
    }
    close(fd);
    return true;
}

bool TDiskFileOperations::CanRemove(const std::string& path, std::string& reason)
{
    struct stat folder {}, file {};
    if (stat(FolderOf(path).c_str(), &folder) != 0 || lstat(path.c_str(), &file) != 0) {
        reason = ErrorText();
        return false;
    }
    if (!WriteBitFor(folder)) {
        reason = "its folder is read-only";
        return false;
    }
    const uid_t self = geteuid();
    if ((folder.st_mode & S_ISVTX) && folder.st_uid != self && file.st_uid != self) {
        reason = "its folder lets only the file's owner remove it";
        return false;
    }
    return true;
}

bool TDiskFileOperations::Trash(const std::string& path, std::string& reason)
{
    return MoveToTrash(path, PlatformSources(), reason);
}

TRenameOutcome TDiskFileOperations::Move(const std::string& from, const std::string& to, std::string& reason)
{
    if (MoveNoReplace(from, to, reason))
        return TRenameOutcome::Renamed;
    if (reason == kNameTakenReason)
        return TRenameOutcome::NameTaken;
    reason = InUserWords(reason);
    return TRenameOutcome::Failed;
}

TRenameOutcome TDiskFileOperations::Copy(const std::string& from, const std::string& to, std::string& reason)
{
    const TRenameOutcome outcome = CopyWholeFileAsNew(from, to, reason);
    if (outcome == TRenameOutcome::Renamed)
        LetOwnerWrite(to);
    else if (outcome != TRenameOutcome::NameTaken)
        reason = InUserWords(reason);
    return outcome;
}

bool TDiskFileOperations::Rename(const std::string& from, const std::string& to, std::string& reason)
{
    switch (RenameNoReplace(from, to)) {
    case TRenameOutcome::Renamed: return true;
    case TRenameOutcome::NameTaken: reason = kNameTakenReason; return false;
    default: reason = ErrorText(); return false;
    }
}

bool TDiskFileOperations::Remove(const std::string& path)
{
    return unlink(path.c_str()) == 0;
}

bool TDiskFileOperations::IsReadOnly(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && !(info.st_mode & S_IWUSR);
}

bool TDiskFileOperations::IsWritableFolder(const std::string& path)
{
    // The owner's write bit says nothing about a folder of someone else, of
    // a group or on a read-only mount: the kernel answers for this user.
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && access(path.c_str(), W_OK | X_OK) == 0;
}

void TDiskFileOperations::CreateFolderPath(const std::string& path)
{
    CreateDirectoryPath(path);
}

namespace {

// The causes a user can act on, each with the system's errno.
constexpr int kCommonErrors[] = {EACCES, EPERM, EROFS, ENOENT, ENOSPC, EDQUOT};

} // namespace

std::string InUserWords(const std::string& systemText)
{
    for (const int error : kCommonErrors)
        if (systemText == std::strerror(error))
            return FailureReason(error);
    return systemText;
}

std::string FailureReason(int error)
{
    switch (error) {
    case EACCES:
    case EPERM: return "you have no permission for it";
    case EROFS: return "it lies on a read-only file system";
    case ENOENT: return "it is no longer there";
    case ENOSPC:
    case EDQUOT: return "there is no space left on the disk";
    default: return std::strerror(error);
    }
}
