#pragma once
// What the results window's file actions do to files on disk, behind one
// interface: the test whether a file may be acted on, the Trash, moving,
// copying and renaming without ever replacing a file, and the read-only mark
// (the owner's write bit). Failures give reasons a user understands.
// TDiskFileOperations does it on Linux; tests use it on temporary files and
// replace single operations to make them fail.
#include <string>

#include "base/platform/u_filemove.h"

class TFileOperations {
public:
    virtual ~TFileOperations() = default;

    // Whether the file opens for reading; else reason says why.
    virtual bool CanRead(const std::string& path, std::string& reason) = 0;
    // Whether the file's folder lets it be taken out: writable for us, and
    // not a sticky folder of someone else's. Decided by the permission bits,
    // also for root, so that a folder the user marked unwritable keeps its files.
    virtual bool CanRemove(const std::string& path, std::string& reason) = 0;
    virtual bool Trash(const std::string& path, std::string& reason) = 0;
    // Move and Copy never replace a file at to: NameTaken when a file of
    // that name is there. Across file systems the file is copied to a temporary name
    // beside to, synced, renamed into place, and only then removed at from.
    virtual TRenameOutcome Move(const std::string& from, const std::string& to, std::string& reason) = 0;
    // The copy is complete and on the disk before it gets its name; the
    // user may write it, also when it came from a read-only disc.
    virtual TRenameOutcome Copy(const std::string& from, const std::string& to, std::string& reason) = 0;
    // Never replaces a file at to.
    virtual bool Rename(const std::string& from, const std::string& to, std::string& reason) = 0;
    virtual bool Remove(const std::string& path) = 0;
    virtual bool IsReadOnly(const std::string& path) = 0;
    // An existing folder whose owner's write bit is set.
    virtual bool IsWritableFolder(const std::string& path) = 0;
    // Creates every missing folder of the path.
    virtual void CreateFolderPath(const std::string& path) = 0;
};

class TDiskFileOperations : public TFileOperations {
public:
    bool CanRead(const std::string& path, std::string& reason) override;
    bool CanRemove(const std::string& path, std::string& reason) override;
    bool Trash(const std::string& path, std::string& reason) override;
    TRenameOutcome Move(const std::string& from, const std::string& to, std::string& reason) override;
    TRenameOutcome Copy(const std::string& from, const std::string& to, std::string& reason) override;
    bool Rename(const std::string& from, const std::string& to, std::string& reason) override;
    bool Remove(const std::string& path) override;
    bool IsReadOnly(const std::string& path) override;
    bool IsWritableFolder(const std::string& path) override;
    void CreateFolderPath(const std::string& path) override;
};

// Why a file operation failed, for errno as it set it: the common causes
// in the user's words, else the system's text.
std::string FailureReason(int error);
// The system's text of a failure (strerror), in the user's words when it
// is one of the common causes.
std::string InUserWords(const std::string& systemText);
