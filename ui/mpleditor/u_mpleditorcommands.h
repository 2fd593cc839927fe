#pragma once
// What the Mp3 List editor decides and does, without a widget: which of its
// actions may run, new lists, adding a disc or folder as a volume, deleting,
// saving, importing and exporting list files, and the question on closing.
// The editor window forwards its actions here; the configuration wizard
// calls AddVolumeToMpl. Long work reports through a TMplProgress.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <QString>
#include <QStringList>

class TBWDirectory;
class TBWDirMpl;

// Where adding a volume and importing report their progress: the progress
// window in the program, a recorder in tests.
class TMplProgress {
public:
    virtual ~TMplProgress() = default;
    // A new operation of one job: its caption, its item count (0 when it
    // has none) and whether the user may cancel it.
    virtual void StartJob(const std::string& caption, std::int32_t itemCount, bool showCancel) = 0;
    virtual void Step(std::int32_t count) = 0;
    // Lets the window answer the user first; true once Cancel was pressed.
    virtual bool Cancelled() = 0;
    virtual void Close() = 0;
};

// The name proposed for a volume read from folder: the label of the
// mounted medium when folder is its root and it has one, otherwise the last
// part of the path.
std::string ProposedVolumeName(const std::string& folder);
// A list or volume name as the user typed it, made fit for the model: "/"
// and control characters dropped, blanks trimmed. Empty when nothing usable
// is left (also for "." and "..").
std::string CleanedListName(const std::string& typed);
// A volume name as the user typed it: only letters and digits of every
// script and single blanks are kept, trimmed. Empty when nothing is left.
std::string CleanedVolumeName(const std::string& typed);

// Reads every audio file below dir (size, tags and content digest, with
// every audio extension the program knows) and adds the tree to list's root
// as a volume named name. A folder without audio files is added only when
// the user says so. The files are read on `threads` threads (0: one
// per processor); the list is the same whatever their number. Cancel is
// answered between files; cancelled, nothing is added. The new volume, or
// none (cancelled, the name taken, no list or no dir).
TBWDirMpl* AddVolumeToMpl(TBWDirMpl* list, TBWDirectory* dir, const std::string& name, TMplProgress& progress,
                          unsigned threads = 0);
// The tree of a list file of the older format, else of the current one;
// none when neither reads it.
std::unique_ptr<TBWDirectory> LoadMplFile(const std::string& path);
// Copies the stored file of list (what was last saved) to path; false with
// the reason when the copy failed.
bool ExportMplFile(TBWDirMpl* list, const std::string& path, std::string& reason);

// Why the list of dir (a list or a folder in one) takes no volume, for the
// user; empty when it takes them.
QString ReadOnlyNote(TBWDirMpl* dir);
// The modified lists that could not be saved, one line each with why:
// "Rock": Permission denied. Empty when none is left.
QStringList UnsavedLists();
// Saves the modified lists as the program ends. What cannot be saved is
// named with its reason before it is dropped, and the user may try again
// (after freeing space or mending a permission, say).
void SaveListsAtExit();

enum class TMplEditorAction { NewList, AddVolume, Delete, Save, Close, Import, Export, Help };

class TMplEditorCommands {
public:
    explicit TMplEditorCommands(TMplProgress& progress);

    // The directory selected in the list tree, or none.
    void SetSelectedDir(TBWDirectory* dir);
    TBWDirMpl* SelectedDir() const { return selected_; }
    // Nothing may run while a disc is being added: the progress window lets
    // the user reach the editor meanwhile.
    // A list whose file could not be read is read-only: no volume is added
    // to it.
    bool IsEnabled(TMplEditorAction action) const;
    bool Busy() const { return busy_; }

    // Threads that read a disc's files; 0 is one per processor.
    unsigned ReadThreads = 0;

    void NewList();
    // Asks for a folder and a volume name and adds the folder to the
    // selected directory's list; onReading brackets the read (true before,
    // false after), so that the window can hold the tree still. The new
    // volume, or none when nothing was added.
    TBWDirMpl* AddVolume(const std::function<void(bool reading)>& onReading = {});
    // A whole list after a question, a volume or folder at once.
    void Delete();
    void Save();
    void Import();
    void Export();
    void Help();
    // Asks whether to save the changes: Yes saves them, No reads the lists
    // again from their files. The lists of before are freed, so call it
    // when nothing else shows them. False when the user cancelled the
    // question and while a disc is being added: the window must stay.
    bool Close();

private:
    bool AskVolumeName(TBWDirMpl* list, std::string& name);
    void ReportUnsaved(bool saved);

    TMplProgress& progress_;
    TBWDirMpl* selected_ = nullptr;
    bool busy_ = false;
};
