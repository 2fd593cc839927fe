// Giving a file a new name without ever replacing a file of that name: the
// kernel's no-replace rename, and where a network file system (NFS, CIFS)
// refuses it, a hard link and an unlink, and where even links are missing,
// a check and a plain rename. The moves and the temporary files build on it.
#pragma once

#include <string>

enum class TRenameOutcome {
    Renamed,
    NameTaken,        // a file of the new name is there; nothing changed
    OtherFileSystem,  // the new name lies on another file system; nothing changed
    Failed,           // errno says why; nothing changed
};

// The system calls a rename goes through, each returning 0 or -1 with errno
// set; tests replace one to make it refuse as a network file system does.
struct TRenameCalls {
    int (*renameNoReplace)(const char* from, const char* to);
    int (*link)(const char* from, const char* to);
    int (*unlink)(const char* path);
    int (*rename)(const char* from, const char* to);
};
const TRenameCalls& SystemRenameCalls();

TRenameOutcome RenameNoReplace(const std::string& from, const std::string& to,
                               const TRenameCalls& calls = SystemRenameCalls());

// The folder that holds path's file: "." for a bare name, "/" at the top.
std::string FolderOfFile(const std::string& path);
