#include "ui/results/u_resultactions.h"

#include "base/platform/u_wholefile.h"
#include "base/HUtils.h"
#include "base/u_bwfunc.h"
#include "base/u_progresssink.h"
#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "model/u_bwfsmpl.h"
#include "model/u_bwfswin.h"
#include "model/u_mplcopy.h"
#include "ui/results/u_fileoperations.h"
#include "ui/common/u_counttext.h"
#include "ui/common/u_prompts.h"
#include "ui/common/u_visibletext.h"

#include <QStringList>
#include <algorithm>
#include <filesystem>
#include <optional>

namespace {

const char* const kCaption = "Corvella";
// Deletion goes to the Trash in batches of just over this many characters of paths.
constexpr std::size_t kTrashBatchLength = 1500;
// Beyond this many lines of files a message box would not fit the screen; the rest are counted.
constexpr std::size_t kLinesNamed = 10;

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

// One line per file, as many as fit a message box.
QString NamedLines(const QStringList& lines)
{
    QString text;
    for (qsizetype i = 0; i < lines.size() && i < qsizetype(kLinesNamed); ++i)
        text += "\n" + lines[i];
    if (lines.size() > qsizetype(kLinesNamed))
        text += QString("\nand %1 more.").arg(lines.size() - qsizetype(kLinesNamed));
    return text;
}

} // namespace

TResultFileActions::TResultFileActions(TBWDupeFileList& results, TBWDirectory& modelRoot, TFileOperations& files,
                                       TProgressSink& progress, TMplManager& lists, TDiscRequest& discs)
    : results_(results), modelRoot_(modelRoot), files_(files), progress_(progress), lists_(lists), discs_(discs)
{
}

// ------------------------------------------------------------ the walk

void TResultFileActions::ForEachChecked(TFileAction action, bool needsRemoval)
{
    failures_.clear();
    renamed_.clear();
    targetFolders_.clear();
    done_.clear();
    cancelled_ = false;
    // Collected first: the action changes check marks and the list.
    checked_.clear();
    for (TBWComparable* item = results_.First(); !results_.Eof(); item = results_.Next())
        if (results_.IsSelected(item) && static_cast<TBWDupeFile*>(item)->File())
            checked_.push_back(static_cast<TBWDupeFile*>(item));
    for (TBWDupeFile* entry : checked_) {
        if (MayActOn(*entry->File(), needsRemoval))
            (this->*action)(*entry);
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
    Failed(path, reason);
    return false;
}

void TResultFileActions::Failed(const std::string& path, const std::string& reason)
{
    failures_.push_back({path, reason});
}

void TResultFileActions::KeepOnlyDoneChecked()
{
    for (TBWDupeFile* entry : checked_)
        results_.SetSelected(entry, false);
    for (TBWDupeFile* entry : done_)
        results_.SetSelected(entry, true);
}

void TResultFileActions::UncheckDone()
{
    for (TBWDupeFile* entry : done_)
        results_.SetSelected(entry, false);
}

void TResultFileActions::Report(const QString& verb, const QString& summary, const QString& kept)
{
    QStringList parts;
    if (!summary.isEmpty())
        parts << summary;
    if (!failures_.empty()) {
        QStringList lines;
        for (const TFailure& failure : failures_)
            lines << VisibleText(failure.path) + ": " + Utf8(failure.reason);
        parts << QString("%1 couldn't be %2:").arg(Plural(failures_.size())).arg(verb) + NamedLines(lines) + "\n"
                     + kept;
    }
    if (parts.isEmpty())
        return;
    if (failures_.empty() && !cancelled_ && done_.size() == checked_.size())
        Prompts().ShowInformation(kCaption, parts.join("\n\n"));
    else
        ShowMessage(parts.join("\n\n"));
}

// Said of the files that failed, which stay in the list deselected.
QString TResultFileActions::FailedKeptText() const
{
    return ByCount(failures_.size(), "It has been deselected and kept in the duplicate list.",
                   "They have been deselected and kept in the duplicate list.");
}

QString TResultFileActions::CopySummary() const
{
    const QString verb = moveMode_ ? "moved" : "copied";
    QString where = VisibleText(destination_);
    if (targetFolders_.size() == 1)
        where = VisibleText(targetFolders_.front());
    else if (targetFolders_.size() > 1)
        where = QString("%1 folders under %2").arg(targetFolders_.size()).arg(VisibleText(destination_));
    const std::size_t done = done_.size(), total = checked_.size();
    QString text = done == total
                       ? ByCount(done, "%1 file was %2 to %3.", "%1 files were %2 to %3.").arg(verb, where)
                       : ByCount(done, "%1 of %2 was %3", "%1 of %2 were %3").arg(Plural(total), verb);
    if (done != total)
        text += done == 0 ? "." : " to " + where + ".";
    if (cancelled_)
        text += " The copy was cancelled at a disc request.";
    if (!renamed_.empty()) {
        QStringList lines;
        for (const TRenamed& renamed : renamed_)
            lines << VisibleText(renamed.name) + " \u2192 " + VisibleText(renamed.path);
        text += "\n\n" +
                ByCount(renamed_.size(), "%1 file took a new name, as its name was taken there:",
                        "%1 files took a new name, as their names were taken there:") +
                NamedLines(lines);
    }
    return text;
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
        const TProgressClosing closing(progress_);
        progress_.StartJob("Deleting files", count);
        pathBuffer_.clear();
        pathBufferLength_ = 0;
        ForEachChecked(&TResultFileActions::DeleteFileAction, true);
        TrashBatch();
    }
    KeepOnlyDoneChecked();
    results_.RemoveSelected();
    const QString summary = failures_.empty() ? QString()
                                              : ByCount(done_.size(), "%1 of %2 was deleted.", "%1 of %2 were deleted.")
                                                    .arg(Plural(checked_.size()));
    Report("deleted", summary, FailedKeptText());
    return true;
}

void TResultFileActions::DeleteFileAction(TBWDupeFile& entry)
{
    // A catalogued disc cannot be written to: its files are only ever copied.
    if (!OnDisk(*entry.File())) {
        Failed(entry.File()->FullPath(), "it lies on a catalogued disc");
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
        if (files_.Trash(entry->File()->FullPath(), reason)) {
            entry->File()->RemoveFromList();
            done_.push_back(entry);
        } else {
            Failed(entry->File()->FullPath(), reason);
        }
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
    {
        const TProgressClosing closing(progress_);
        progress_.StartJob(move ? "Moving files" : "Copying files", results_.SelectedCount());
        ForEachChecked(&TResultFileActions::CopyMoveFileAction, move);
    }
    CopyListFiles();
    if (moveMode_) {
        KeepOnlyDoneChecked();
        results_.RemoveSelected();
    } else if (done_.size() < checked_.size()) {
        UncheckDone();
    }
    Report(move ? "moved" : "copied", CopySummary(),
           move ? FailedKeptText() : QString("The files copied have been unchecked; the others stay checked."));
    return true;
}

void TResultFileActions::CopyMoveFileAction(TBWDupeFile& entry)
{
    TBWFile& file = *entry.File();
    if (!OnDisk(file)) {
        // A file on a disc is copied, never moved: no disc is asked for.
        if (moveMode_) {
            Failed(file.FullPath(), "it lies on a catalogued disc and can only be copied");
            return;
        }
        file.SetSelected(true);
        listEntries_.push_back(&entry);
        return;
    }
    const std::string targetPath = recreateStructure_ ? RebasePath(file.DirPath(), destination_) : destination_;
    TBWDirectory* target = modelRoot_.FindDir(targetPath, true);
    if (!target) {
        Failed(file.FullPath(), "the destination folder cannot be found");
        return;
    }
    const std::string folder = target->RealPath();
    files_.CreateFolderPath(folder);
    std::string reason;
    std::string placed;
    const TRenameOutcome outcome = PlaceUnderFreeName(
        folder, file.Name(),
        [&](const std::string& path) {
            return moveMode_ ? files_.Move(file.FullPath(), path, reason) : files_.Copy(file.FullPath(), path, reason);
        },
        placed);
    if (outcome != TRenameOutcome::Renamed) {
        Failed(file.FullPath(), outcome == TRenameOutcome::NameTaken ? kNameTakenReason : reason);
        return;
    }
    Placed(file.Name(), placed);
    done_.push_back(&entry);
    if (moveMode_)
        file.RemoveFromList();
    // The target's files are read again when next looked at.
    target->Touch();
}

void TResultFileActions::CopyListFiles()
{
    const std::int32_t count = lists_.SelectedCount();
    if (count <= 0)
        return;
    TDiscCopyResult copied;
    {
        const TProgressClosing closing(progress_);
        progress_.StartJob("Copying MPL files", count);
        copied = lists_.CopySelectedFromDiscs(ExpandPathMacros(destination_), recreateStructure_, discs_,
                                              &progress_);
    }
    for (const TDiscCopied& copy : copied.copied) {
        const auto entry = std::find_if(listEntries_.begin(), listEntries_.end(),
                                         [&](TBWDupeFile* listed) { return listed->File() == copy.file; });
        if (entry != listEntries_.end())
            done_.push_back(*entry);
        Placed(copy.file->Name(), copy.path);
    }
    for (const TDiscCopyFailure& failure : copied.failed)
        Failed(failure.path, failure.reason);
    cancelled_ = copied.cancelled;
}

void TResultFileActions::Placed(const std::string& name, const std::string& path)
{
    const std::string folder = path.substr(0, path.rfind(kPathDelimiter) + 1);
    if (path != folder + name)
        renamed_.push_back({name, path});
    if (std::find(targetFolders_.begin(), targetFolders_.end(), folder) == targetFolders_.end())
        targetFolders_.push_back(folder);
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
        || !entry->Reference()->File() || !entry->Reference()->File()->Directory())
        return false;
    TBWFile& reference = *entry->Reference()->File();
    if (!OnDisk(reference) || !OnDisk(*entry->File())) {
        ShowMessage("A file on a catalogued disc can neither replace a file nor be replaced.");
        return false;
    }
    const std::string referencePath = reference.FullPath();
    if (ConfirmReplace && !ConfirmReplace(entry->File()->FullPath(), referencePath))
        return false;
    if (files_.IsReadOnly(referencePath)
        && !Prompts().ConfirmDestructive(kCaption, "The reference file is marked as read-only. "
                                                   "Do you want to overwrite the file anyway?"))
        return false;
    const std::string placed = PlaceReplacement(*entry->File(), reference);
    if (placed.empty())
        return false;
    reference.SetName(placed.substr(reference.Directory()->RealPath().size()));
    // The reference's file now holds other bytes: it reads its information again when asked.
    reference.SetLoadedInfo({});
    return true;
}

std::string TResultFileActions::PlaceReplacement(TBWFile& duplicate, TBWFile& reference)
{
    const std::string folder = reference.Directory()->RealPath();
    const std::filesystem::path referenceName(reference.Name());
    // The extension tells every program the format: WMA bytes never go under ".mp3".
    const std::string name =
        referenceName.stem().string() + std::filesystem::path(duplicate.Name()).extension().string();
    // The copy is whole beside the reference before the reference goes, under a hidden name no scan lists.
    std::string reason;
    std::string copy;
    if (PlaceUnderFreeName(folder, "." + name + ".replacing",
                           [&](const std::string& path) { return files_.Copy(duplicate.FullPath(), path, reason); },
                           copy)
        != TRenameOutcome::Renamed) {
        Prompts().ShowError(kCaption, "The copy process failed: " + Utf8(reason) + ".");
        return {};
    }
    if (!files_.Trash(reference.FullPath(), reason)) {
        files_.Remove(copy);
        Prompts().ShowError(kCaption, "The reference file could not be put in the Trash, so it was not replaced: "
                                          + Utf8(reason) + ".");
        return {};
    }
    std::string placed;
    if (PlaceUnderFreeName(folder, name, [&](const std::string& path) { return files_.Move(copy, path, reason); },
                           placed)
        != TRenameOutcome::Renamed) {
        Prompts().ShowError(kCaption, QString("The reference file is in the Trash, but its replacement could not take "
                                              "its name: %1. The replacement is %2.")
                                          .arg(Utf8(reason), VisibleText(copy)));
        return {};
    }
    return placed;
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
    // A reference cannot be checked, so only the other rows go; it leaves
    // with the last of its duplicates.
    const auto removable = static_cast<std::size_t>(std::count_if(
        selected.begin(), selected.end(), [this](TBWDupeFile* entry) { return results_.IsSelectable(entry); }));
    if (removable == 0 && !selected.empty())
        ShowMessage(ByCount(selected.size(),
                            "The file selected is a reference, which leaves the list only with the last of its "
                            "duplicates.",
                            "The files selected are references, which leave the list only with the last of their "
                            "duplicates."));
    if (removable == 0 || !ConfirmRemoval("You are about to remove %1 from the list. Proceed?", removable))
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
