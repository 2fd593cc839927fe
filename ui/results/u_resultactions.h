#pragma once
// The results window's actions on files and on the result list: delete the
// checked files to the Trash, copy or move them (files of Mp3 Lists through
// the copy from their discs), switch a duplicate with its reference, replace
// a reference by a duplicate, rename a file, remove entries from the list.
// No action destroys a file: a copy or move never replaces one (a taken name
// gets a free numbered one), and a replaced reference goes to the Trash. A
// file that did not go leaves neither the disk nor the list, and one message
// at the end says how many of how many files were done, where they went and
// why the others were not. The window calls these on its actions; tests
// drive them over real temporary files.
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class TBWDirectory;
class TBWDupeFile;
class TBWDupeFileList;
class TBWFile;
class TDiscRequest;
class TFileOperations;
class TMplManager;
class TProgressSink;

class TResultFileActions {
public:
    // modelRoot is where copied files' folders are found or made.
    TResultFileActions(TBWDupeFileList& results, TBWDirectory& modelRoot, TFileOperations& files,
                       TProgressSink& progress, TMplManager& lists, TDiscRequest& discs);

    // Shows the replace warning naming the file and the reference it
    // replaces (full paths); true for "Replace file".
    std::function<bool(const std::string& file, const std::string& reference)> ConfirmReplace;
    // Asks for a file's new name (nothing: cancelled); the prompts' line of text unless set.
    std::function<std::optional<QString>(const QString& name)> AskNewName;

    // Each answers whether the list or its entries changed.
    bool DeleteChecked();
    bool CopyChecked(bool move);
    // The entry becomes the reference of its group; the list is sorted again.
    bool Switch(TBWDupeFile* entry);
    bool Replace(TBWDupeFile* entry);
    bool Rename(TBWDupeFile* entry);
    bool RemoveChecked();
    bool RemoveSelected(const std::vector<TBWDupeFile*>& selected);

private:
    struct TFailure {
        std::string path;
        std::string reason;
    };
    // A file copied or moved under a name other than its own.
    struct TRenamed {
        std::string name;
        std::string path;
    };
    using TFileAction = void (TResultFileActions::*)(TBWDupeFile& entry);

    // Runs the action over the checked entries, in list order, and counts
    // them; a file that fails the test is not acted on.
    void ForEachChecked(TFileAction action, bool needsRemoval);
    bool MayActOn(TBWFile& file, bool needsRemoval);
    void DeleteFileAction(TBWDupeFile& entry);
    void CopyMoveFileAction(TBWDupeFile& entry);
    void TrashBatch();
    void CopyListFiles();
    // Records where a file copied or moved went: its folder, and its new
    // name when its own was taken there.
    void Placed(const std::string& name, const std::string& path);
    void Failed(const std::string& path, const std::string& reason);
    // The check marks after a delete or move: the entries done are checked
    // and leave the list, the others stay, unchecked.
    void KeepOnlyDoneChecked();
    // After a copy that did not copy every file: the entries copied are
    // unchecked, the others stay checked for another try.
    void UncheckDone();
    // The one message after an action: what it did (the summary, may be
    // empty) and what it could not do.
    void Report(const QString& verb, const QString& summary, const QString& kept);
    // How many of the files a copy or move took where, and which took another name.
    QString CopySummary() const;
    QString FailedKeptText() const;
    bool ConfirmRemoval(const char* question, std::size_t count);
    // The new file in the reference's folder: the duplicate's bytes under
    // the reference's name with the duplicate's extension. Empty when it failed.
    std::string PlaceReplacement(TBWFile& duplicate, TBWFile& reference);

    TBWDupeFileList& results_;
    TBWDirectory& modelRoot_;
    TFileOperations& files_;
    TProgressSink& progress_;
    TMplManager& lists_;
    TDiscRequest& discs_;

    // The batch of entries to send to the Trash during a delete.
    std::vector<TBWDupeFile*> pathBuffer_;
    std::size_t pathBufferLength_ = 0;
    // The destination folder during a copy or move.
    std::string destination_;
    bool recreateStructure_ = false;
    bool moveMode_ = false;
    // Entries of Mp3 Lists marked for the copy from their discs.
    std::vector<TBWDupeFile*> listEntries_;
    // The checked entries an action went over, and those it did.
    std::vector<TBWDupeFile*> checked_;
    std::vector<TBWDupeFile*> done_;
    std::vector<TFailure> failures_;
    std::vector<TRenamed> renamed_;
    // The folders files were copied or moved into.
    std::vector<std::string> targetFolders_;
    bool cancelled_ = false;
};
