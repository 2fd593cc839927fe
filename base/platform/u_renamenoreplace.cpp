#include "base/platform/u_renamenoreplace.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <sys/stat.h>

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
