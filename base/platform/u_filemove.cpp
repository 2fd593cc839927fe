#include "base/platform/u_filemove.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "base/platform/u_temporaryfile.h"
#include "base/platform/u_wholefile.h"

const char* const kNameTakenReason = "a file of that name is there already";

namespace {

int SystemRenameNoReplace(const char* from, const char* to)
{
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}

// How NFS and CIFS answer the no-replace flag they do not support.
bool FlagRefused(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP;
}

// How a file system without hard links (FAT, many CIFS shares) answers link().
bool LinksRefused(int error)
{
    return error == EPERM || error == ENOSYS || error == EOPNOTSUPP;
}

TRenameOutcome OutcomeOf(int error)
{
    errno = error;
    if (error == EEXIST)
        return TRenameOutcome::NameTaken;
    if (error == EXDEV)
        return TRenameOutcome::OtherFileSystem;
    return TRenameOutcome::Failed;
}

// A second name, then the first one goes: atomic and never replacing, as
// far as the file system has hard links.
TRenameOutcome LinkThenUnlink(const std::string& from, const std::string& to, const TRenameCalls& calls,
                              bool& refused)
{
    refused = false;
    if (calls.link(from.c_str(), to.c_str()) != 0) {
        refused = LinksRefused(errno);
        return OutcomeOf(errno);
    }
    if (calls.unlink(from.c_str()) == 0)
        return TRenameOutcome::Renamed;
    const int error = errno;
    calls.unlink(to.c_str());
    return OutcomeOf(error);
}

// The last resort of a file system without links: between the check and the
// rename another program could still create a file of the new name, which
// the rename would then replace. That window is the few microseconds between
// the two calls; no other way is left there.
TRenameOutcome CheckThenRename(const std::string& from, const std::string& to, const TRenameCalls& calls)
{
    struct stat status {};
    if (::lstat(to.c_str(), &status) == 0)
        return OutcomeOf(EEXIST);
    if (errno != ENOENT)
        return OutcomeOf(errno);
    return calls.rename(from.c_str(), to.c_str()) == 0 ? TRenameOutcome::Renamed : OutcomeOf(errno);
}

std::string ErrorText()
{
    return std::strerror(errno);
}

bool CopyToNewFile(const std::string& from, const std::string& to, std::string& reason,
                   const TRenameCalls& calls)
{
    const TRenameOutcome outcome = CopyWholeFileAsNew(from, to, reason, calls);
    if (outcome == TRenameOutcome::Renamed)
        return true;
    if (outcome == TRenameOutcome::NameTaken)
        reason = kNameTakenReason;
    return false;
}

}  // namespace

std::string FolderOfFile(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

const TRenameCalls& SystemRenameCalls()
{
    static const TRenameCalls calls{SystemRenameNoReplace, ::link, ::unlink, ::rename};
    return calls;
}

TRenameOutcome RenameNoReplace(const std::string& from, const std::string& to, const TRenameCalls& calls)
{
    if (calls.renameNoReplace(from.c_str(), to.c_str()) == 0)
        return TRenameOutcome::Renamed;
    if (!FlagRefused(errno))
        return OutcomeOf(errno);
    bool refused = false;
    const TRenameOutcome linked = LinkThenUnlink(from, to, calls, refused);
    return refused ? CheckThenRename(from, to, calls) : linked;
}

bool MoveNoReplace(const std::string& from, const std::string& to, std::string& reason, const TRenameCalls& calls)
{
    switch (RenameNoReplace(from, to, calls)) {
    case TRenameOutcome::Renamed:
        SyncFolder(FolderOfFile(to));
        if (FolderOfFile(from) != FolderOfFile(to))
            SyncFolder(FolderOfFile(from));
        return true;
    case TRenameOutcome::NameTaken:
        reason = kNameTakenReason;
        return false;
    case TRenameOutcome::Failed:
        reason = ErrorText();
        return false;
    case TRenameOutcome::OtherFileSystem:
        break;
    }
    if (!CopyToNewFile(from, to, reason, calls))
        return false;
    if (calls.unlink(from.c_str()) != 0) {
        reason = "copied, but the original could not be removed: " + ErrorText();
        return false;
    }
    SyncFolder(FolderOfFile(from));
    return true;
}

std::string SetAsideFile(const std::string& path, const TRenameCalls& calls)
{
    for (int number = 1;; ++number) {
        const std::string aside = path + ".bad" + (number == 1 ? "" : std::to_string(number));
        const TRenameOutcome outcome = RenameNoReplace(path, aside, calls);
        if (outcome == TRenameOutcome::Renamed)
            return aside;
        if (outcome != TRenameOutcome::NameTaken)
            return {};
    }
}

std::string NumberedName(const std::string& name, int number)
{
    if (number <= 1)
        return name;
    // A leading dot starts a hidden name, not an extension.
    const std::size_t dot = name.rfind('.');
    const std::size_t stemEnd = dot == std::string::npos || dot == 0 ? name.size() : dot;
    return name.substr(0, stemEnd) + " (" + std::to_string(number) + ")" + name.substr(stemEnd);
}

TRenameOutcome PlaceUnderFreeName(const std::string& folder, const std::string& name,
                                  const std::function<TRenameOutcome(const std::string& path)>& place,
                                  std::string& path)
{
    constexpr int kMostNumbers = 100000;
    TRenameOutcome outcome = TRenameOutcome::NameTaken;
    for (int number = 1; number <= kMostNumbers && outcome == TRenameOutcome::NameTaken; ++number) {
        path = folder + NumberedName(name, number);
        outcome = place(path);
    }
    return outcome;
}

void LetOwnerWrite(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 && !(status.st_mode & S_IWUSR))
        ::chmod(path.c_str(), (status.st_mode & 07777) | S_IWUSR);
}
