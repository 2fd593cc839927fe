// A file written beside the place it will take and given its name only once
// it is complete. Where the file system allows it the file has no name while
// it is written (O_TMPFILE), so a process killed half-way leaves nothing
// behind; elsewhere it has a hidden name that says what it is and whose
// (".NAME.tmpPID-N" for a save, ".NAME.unfinished-move-PID-N" for a move),
// and RemoveStaleTemporaries clears the ones whose process is gone. Such a
// name may lie in any folder the program writes to, the user's music
// among them: while it exists a record of it lies in the record folder,
// and RemoveRecordedTemporaries clears the recorded ones of dead processes.
#pragma once

#include <string>

#include "base/platform/u_renamenoreplace.h"

class TTemporaryFile {
public:
    enum TPurpose { tpSave, tpMove };

    // unnamedAllowed: false makes it take a hidden name as on a file system
    // without unnamed files.
    TTemporaryFile(std::string target, TPurpose purpose, bool unnamedAllowed = true);
    // A temporary file never placed goes.
    ~TTemporaryFile();
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;

    // Creates the file beside the target; false with errno set.
    bool Open();
    int Descriptor() const { return descriptor_; }

    // Both flush the file to the disk, close it, give it the target's name
    // and flush the folder, so the name survives a power cut too. Replace
    // takes the place of a file there; PlaceNew never does. errno says why
    // on failure; the temporary file then goes.
    bool Replace();
    TRenameOutcome PlaceNew(const TRenameCalls& calls = SystemRenameCalls());

private:
    bool OpenNamed();
    // Gives the file a hidden name: recorded, then the name taken.
    std::string NewHiddenName();
    void ForgetName();
    // Gives the unnamed file the hidden name, so it can be renamed.
    bool LinkTo(const std::string& name);
    bool SyncAndClose();
    void Discard();

    std::string target_;
    TPurpose purpose_;
    bool unnamedAllowed_;
    std::string name_;  // empty while the file has no name
    std::string record_;  // the record of the name, when there is one
    int descriptor_ = -1;
};

// Flushes the folder's entries (new, renamed and removed names) to the disk.
bool SyncFolder(const std::string& folder);

// Removes the hidden temporary files of the folder (not of its subfolders)
// whose process no longer runs. Gives how many went.
int RemoveStaleTemporaries(const std::string& folder);

// Where the hidden names are recorded from now on, by every thread: a
// folder of the data folder, made when first needed. Empty: not recorded.
void RecordTemporariesIn(const std::string& folder);
// Removes the hidden temporary files recorded in the record folder whose
// process no longer runs, wherever they lie, and their records. A record
// removes only a file of the hidden name it was made for. Gives how many
// files went.
int RemoveRecordedTemporaries(const std::string& recordFolder);
