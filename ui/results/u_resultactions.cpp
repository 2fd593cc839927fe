#include "ui/results/u_resultactions.h"

#include "base/platform/u_wholefile.h"
#include "base/HUtils.h"
#include "base/u_bwfunc.h"
#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "model/u_bwfsmpl.h"
#include "model/u_bwfswin.h"
#include "ui/results/u_fileoperations.h"
#include "ui/common/u_prompts.h"

#include <QStringList>
#include <algorithm>
#include <optional>

namespace {

const char* const kCaption = "Corvella";
// Deletion goes to the Trash in batches of just over this many characters of paths.
constexpr std::size_t kTrashBatchLength = 1500;

QString Utf8(const std::string& text)
{
    return QString::fromStdString(text);
}

QString Plural(std::size_t count)
{
    return Utf8(PluralCount("file", static_cast<std::int64_t>(count)));
}

bool OnDisk(const TBWFile& file)
{
    return dynamic_cast<const TBWDirWin*>(file.Directory()) != nullptr;
}

// Every message here says what could not be done.
void ShowMessage(const QString& text)
{
    Prompts().ShowWarning(kCaption, text);
}

void ShowRenameFailed()
{
    ShowMessage("Corvella couldn't rename the file");
}

// A name a file can take in its folder: not empty, no folder part, no control character.
bool IsValidFileName(const QString& name)
{
    if (name.isEmpty() || name == "." || name == ".." || name.contains('/'))
        return false;
    for (const QChar character : name)
        if (character.category() == QChar::Other_Control)
            return false;
    return true;
}

// The progress window is closed on every way out of an action, exceptions included.
class TProgressGuard {
public:
    explicit TProgressGuard(TActionProgress& progress) : progress_(progress) {}
    ~TProgressGuard() { progress_.Close(); }
    TProgressGuard(const TProgressGuard&) = delete;
    TProgressGuard& operator=(const TProgressGuard&) = delete;

private:
    TActionProgress& progress_;
};

} // namespace

TResultFileActions::TResultFileActions(TBWDupeFileList& results, TBWDirectory& modelRoot, TFileOperations& files,
                                       TActionProgress& progress, TMplManager& lists, TDiscRequest& discs)
    : results_(results), modelRoot_(modelRoot), files_(files), progress_(progress), lists_(lists), discs_(discs)
{
}

// ------------------------------------------------------------ the walk

void TResultFileActions::ForEachChecked(TFileAction action, bool needsRemoval)
{
    lockedFiles_.clear();
    failures_.clear();
    // Collected first: the action changes check marks and the list.
    std::vector<TBWDupeFile*> checked;
    for (TBWComparable* item = results_.First(); !results_.Eof(); item = results_.Next())
        if (results_.IsSelected(item))
            checked.push_back(static_cast<TBWDupeFile*>(item));
    for (TBWDupeFile* entry : checked) {
        if (TBWFile* file = entry->File()) {
            if (MayActOn(*file, needsRemoval))
                (this->*action)(*entry);
            else
                results_.SetSelected(entry, false);
        }
        progress_.Step(1);
    }
}

bool TResultFileActions::MayActOn(TBWFile& file, bool needsRemoval)
{
    // Files of Mp3 Lists have no file on disk to test; each action decides for them.
    if (!OnDisk(file))
        return true;
    const std::string path = file.FullPath();
    std::string reason;
    if (files_.CanRead(path, reason) && (!needsRemoval || files_.CanRemove(path, reason)))
        return true;
    // A file that is gone is not held by anyone; saying so tells the user what happened.
    if (FileVanished(path))
        failures_.push_back({path, "it is no longer there"});
    else
        lockedFiles_.push_back(path);
    return false;
}

void TResultFileActions::Failed(TBWDupeFile& entry, const std::string& reason)
{
    failures_.push_back({entry.File()->FullPath(), reason});
    results_.SetSelected(&entry, false);
}

void TResultFileActions::Report(const QString& verb, const QString& summary)
{
    QStringList parts;
    if (!summary.isEmpty())
        parts << summary;
    if (!lockedFiles_.empty())
        parts << QString("%1 couldn't be %2 because they were opened by some other program. "
                         "They have been deselected and kept in the duplicate list.")
                     .arg(Plural(lockedFiles_.size()))
                     .arg(verb);
    if (!failures_.empty()) {
        QString text = QString("%1 couldn't be %2:").arg(Plural(failures_.size())).arg(verb);
        for (const TFailure& failure : failures_)
            text += "\n" + Utf8(failure.path) + ": " + Utf8(failure.reason);
        parts << text + "\nThey have been deselected and kept in the duplicate list.";
    }
    if (lockedFiles_.empty() && failures_.empty()) {
        if (!summary.isEmpty())
            Prompts().ShowInformation(kCaption, summary);
    } else {
        ShowMessage(parts.join("\n\n"));
    }
}

QString TResultFileActions::CopySummary(std::size_t done) const
{
    // With nothing done, the failures say it all.
    if (done == 0)
        return {};
    return QString("%1 %2 %3 to %4.")
        .arg(Plural(done), done == 1 ? "was" : "were", moveMode_ ? "moved" : "copied", Utf8(destination_));
}

bool TResultFileActions::ConfirmRemoval(const char* question, std::size_t count)
{
    return Prompts().ConfirmDestructive(kCaption, QString(question).arg(Plural(count)));
}

// ------------------------------------------------------------ delete

bool TResultFileActions::DeleteChecked()
{
    const std::int32_t count = results_.SelectedCount();
    if (count <= 0 || !ConfirmRemoval("You are about to delete %1. Proceed?", static_cast<std::size_t>(count)))
        return false;
    {
        TProgressGuard closing(progress_);
        progress_.StartJob("Deleting files", count);
        pathBuffer_.clear();
        pathBufferLength_ = 0;
        ForEachChecked(&TResultFileActions::DeleteFileAction, true);
        TrashBatch();
    }
    results_.RemoveSelected();
    Report("deleted", QString());
    return true;
}

void TResultFileActions::DeleteFileAction(TBWDupeFile& entry)
{
    // A catalogued disc cannot be written to: its files are only ever copied.
    if (!OnDisk(*entry.File())) {
        Failed(entry, "it lies on a catalogued disc");
        return;
    }
    pathBuffer_.push_back(&entry);
    pathBufferLength_ += entry.File()->FullPath().size() + 1;
    if (pathBufferLength_ > kTrashBatchLength)
        TrashBatch();
}

void TResultFileActions::TrashBatch()
{
    for (TBWDupeFile* entry : pathBuffer_) {
        std::string reason;
        if (files_.Trash(entry->File()->FullPath(), reason))
            entry->File()->RemoveFromList();
        else
            Failed(*entry, reason);
    }
    pathBuffer_.clear();
    pathBufferLength_ = 0;
}

// ------------------------------------------------------------ copy and move

bool TResultFileActions::CopyChecked(bool move)
{
    const std::optional<QString> chosen =
        Prompts().BrowseFolder(move ? "Move files to..." : "Copy files to...", QString());
    if (!chosen)
        return false;
    destination_ = AddTrailingBackslash(chosen->toStdString());
    files_.CreateFolderPath(destination_);
    if (!files_.IsWritableFolder(destination_)) {
        ShowMessage("The destination directory is read-only");
        return false;
    }
    lists_.ClearSelections();
    listEntries_.clear();
    moveMode_ = move;
    recreateStructure_ = Prompts().AskYesNo(kCaption, "Do you want to recreate the directory structure in destination?");
    const std::size_t checked = static_cast<std::size_t>(results_.SelectedCount());
    {
        TProgressGuard closing(progress_);
        progress_.StartJob(move ? "Moving files" : "Copying files", results_.SelectedCount());
        ForEachChecked(&TResultFileActions::CopyMoveFileAction, move);
    }
    CopyListFiles();
    if (moveMode_)
        results_.RemoveSelected();
    const std::size_t done = checked - std::min(checked, failures_.size() + lockedFiles_.size());
    Report(move ? "moved" : "copied", CopySummary(done));
    return true;
}

void TResultFileActions::CopyMoveFileAction(TBWDupeFile& entry)
{
    TBWFile& file = *entry.File();
    if (!OnDisk(file)) {
        file.SetSelected(true);
        listEntries_.push_back(&entry);
        return;
    }
    const std::string targetPath = recreateStructure_ ? RebasePath(file.DirPath(), destination_) : destination_;
    TBWDirectory* target = modelRoot_.FindDir(targetPath, true);
    if (!target) {
        Failed(entry, "the destination folder cannot be found");
        return;
    }
    files_.CreateFolderPath(target->RealPath());
    const std::string to = target->RealPath() + file.Name();
    std::string reason;
    if (!(moveMode_ ? files_.Move(file.FullPath(), to, reason) : files_.Copy(file.FullPath(), to, reason))) {
        Failed(entry, reason);
        return;
    }
    if (moveMode_)
        file.RemoveFromList();
    // The target's files are read again when next looked at.
    target->Touch();
}

void TResultFileActions::CopyListFiles()
{
    const std::int32_t count = lists_.SelectedCount();
    if (count > 0) {
        TProgressGuard closing(progress_);
        progress_.StartJob("Copying MPL files", count);
        lists_.CopySelectedFromDiscs(ExpandPathMacros(destination_), recreateStructure_, discs_,
                                     [this](std::int32_t done) { progress_.Step(done); });
    }
    // A file on a disc is copied, never moved: its entry stays.
    if (moveMode_)
        for (TBWDupeFile* entry : listEntries_)
            Failed(*entry, "it lies on a catalogued disc and can only be copied");
}

// ------------------------------------------------------------ one entry

bool TResultFileActions::Switch(TBWDupeFile* entry)
{
    if (!entry || !entry->Reference())
        return false;
    if (entry->Reference()->DirType() == dtReference) {
        ShowMessage("The reference file comes from a reference directory, and cannot be switched.");
        return false;
    }
    return entry->SwitchWithReference();
}

bool TResultFileActions::Replace(TBWDupeFile* entry)
{
    if (!entry || entry->State() != dsDuplicate || !entry->Reference() || !entry->File()
        || !entry->Reference()->File())
        return false;
    TBWFile& reference = *entry->Reference()->File();
    const std::string referencePath = reference.FullPath();
    if (ConfirmReplace && !ConfirmReplace(entry->File()->FullPath(), referencePath))
        return false;
    if (files_.IsReadOnly(referencePath)) {
        if (!Prompts().ConfirmDestructive(kCaption, "The reference file is marked as read-only. "
                                          "Do you want to overwrite the file anyway?"))
            return false;
        files_.ClearReadOnly(referencePath);
    }
    std::string reason;
    if (!files_.Copy(entry->File()->FullPath(), referencePath, reason)) {
        Prompts().ShowError(kCaption, "The copy process failed.");
        return false;
    }
    // The reference's file now holds other bytes: it reads its information again when asked.
    reference.SetLoadedInfo({});
    return true;
}

bool TResultFileActions::Rename(TBWDupeFile* entry)
{
    if (!entry || !entry->File() || !entry->File()->Directory())
        return false;
    TBWFile& file = *entry->File();
    const std::optional<QString> answer = AskNewName ? AskNewName(Utf8(file.Name()))
                                                     : Prompts().AskText("File rename", "New filename:", Utf8(file.Name()));
    if (!answer || answer->toStdString() == file.Name())
        return false;
    const std::string folder = file.Directory()->RealPath();
    std::string reason;
    if (!IsValidFileName(*answer) || !files_.Rename(folder + file.Name(), folder + answer->toStdString(), reason)) {
        ShowRenameFailed();
        return false;
    }
    file.SetName(answer->toStdString());
    return true;
}

// ------------------------------------------------------------ the list only

bool TResultFileActions::RemoveChecked()
{
    const std::int32_t count = results_.SelectedCount();
    if (count <= 0
        || !ConfirmRemoval("You are about to remove %1 from the list. Proceed?", static_cast<std::size_t>(count)))
        return false;
    results_.RemoveSelected();
    return true;
}

bool TResultFileActions::RemoveSelected(const std::vector<TBWDupeFile*>& selected)
{
    if (selected.empty()
        || !ConfirmRemoval("You are about to remove %1 from the list. Proceed?", selected.size()))
        return false;
    // The check marks are borrowed to name the entries to remove, then given back.
    std::vector<TBWDupeFile*> checked;
    for (TBWComparable* item = results_.First(); !results_.Eof(); item = results_.Next())
        if (results_.IsSelected(item))
            checked.push_back(static_cast<TBWDupeFile*>(item));
    results_.SelectNone();
    for (TBWDupeFile* entry : selected)
        results_.SetSelected(entry, true);
    results_.RemoveSelected();
    results_.SelectNone();
    // A removed entry is undecided again and cannot be checked.
    for (TBWDupeFile* entry : checked)
        results_.SetSelected(entry, true);
    return true;
}
