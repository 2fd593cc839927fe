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
