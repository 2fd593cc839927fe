#include "ui/mpleditor/u_mpleditorcommands.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QStringList>

#include "base/HUtils.h"
#include "base/platform/u_wholefile.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtoken.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmp3.h"
#include "model/u_bwfsmpl.h"
#include "model/u_bwmplv2.h"
#include "model/u_volumeread.h"
#include "tags/u_musichandler.h"
#include "ui/common/u_counttext.h"
#include "ui/common/u_prompts.h"

namespace {

const QString kCaption = QStringLiteral("Mp3 List Editor");
const char* const kListExtension = ".mpl";
const QString kListFilter = QStringLiteral("Mp3 List (*.mpl)");

QString Text(const std::string& text) { return QString::fromStdString(text); }
std::string Std(const QString& text) { return text.toStdString(); }

bool HasListExtension(const std::string& path)
{
    const std::size_t dot = path.rfind('.');
    return dot != std::string::npos && QString::fromStdString(path.substr(dot)).toLower() == kListExtension;
}

// Whatever extension list the last scan left on the music handler, a disc
// is catalogued with every kind of audio file the program reads.
class TEveryAudioExtension {
public:
    TEveryAudioExtension() : saved_(MusicHandler().Mask()) { MusicHandler().SetMask(""); }
    ~TEveryAudioExtension() { MusicHandler().SetMask(saved_); }
    TEveryAudioExtension(const TEveryAudioExtension&) = delete;
    TEveryAudioExtension& operator=(const TEveryAudioExtension&) = delete;

private:
    std::string saved_;
};

// The progress window goes on every way out.
class TClosingProgress {
public:
    explicit TClosingProgress(TMplProgress& progress) : progress_(progress) {}
    ~TClosingProgress() { progress_.Close(); }
    TClosingProgress(const TClosingProgress&) = delete;
    TClosingProgress& operator=(const TClosingProgress&) = delete;

private:
    TMplProgress& progress_;
};

// Reads the files while the progress window counts them and listens for
// Cancel; false when cancelled.
bool ReadVolumeFilesShowing(const std::vector<TBWFile*>& files, unsigned threads, TMplProgress& progress)
{
    std::size_t reported = 0;
    return ReadVolumeFiles(files, threads, [&](std::size_t read) {
        if (read > reported)
            progress.Step(static_cast<std::int32_t>(read - std::exchange(reported, read)));
        return !progress.Cancelled();
    });
}

std::unique_ptr<TBWDirectory> LoadOlderList(const std::string& path)
{
    auto root = std::make_unique<TBWMplDirChainV2>();
    SetMplV2BaseDir(std::filesystem::path(path).parent_path().string());
    root->SetListFile(std::filesystem::path(path).filename().string());
    if (root->LoadFromFile() != mvRead)
        return nullptr;
    return root;
}

std::unique_ptr<TBWDirectory> LoadCurrentList(const std::string& path)
{
    auto root = std::make_unique<TBWDirMpl>();
    root->SetListName(path);
    if (root->State() != msLoaded)
        return nullptr;
    return root;
}

// "/" and control characters (codes below 32 and 127) cannot be part of a
// name the model keeps.
bool IsDroppedFromName(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return c == kPathDelimiter || code < 32 || code == 127;
}

}  // namespace

std::string ProposedVolumeName(const std::string& folder)
{
    return GetDriveVolumeName(folder);
}

std::string CleanedVolumeName(const std::string& typed)
{
    return RestrictToLetters(typed, " ", '\0');
}

std::string CleanedListName(const std::string& typed)
{
    std::string name = typed;
    name.erase(std::remove_if(name.begin(), name.end(), IsDroppedFromName), name.end());
    name = TrimBlanksAndControls(name);
    return IsValidListName(name) ? name : std::string();
}

TBWDirMpl* AddVolumeToMpl(TBWDirMpl* list, TBWDirectory* dir, const std::string& name, TMplProgress& progress,
                          unsigned threads)
{
    if (!list || !dir)
        return nullptr;
    list = list->ListRoot();
    // A name the list refuses is refused before the disc is read, not after.
    if (!IsValidListName(name) || list->FindChild(name))
        return nullptr;
    const TEveryAudioExtension everyExtension;
    const TClosingProgress closing(progress);
    dir->Refresh();
    progress.StartJob("Initializing", 0, false);
    const std::vector<TBWFile*> files = FilesBelow(*dir);
    if (files.empty()
        && !Prompts().ConfirmDestructive(kCaption, QStringLiteral("The folder \"%1\" holds no audio files. "
                                                                  "Add it as an empty volume anyway?")
                                                       .arg(Text(dir->RealPath()))))
        return nullptr;
    progress.StartJob("Adding files", static_cast<std::int32_t>(files.size()), true);
    if (!ReadVolumeFilesShowing(files, threads, progress))
        return nullptr;
    return list->AddVolume(name, dir);
}

std::unique_ptr<TBWDirectory> LoadMplFile(const std::string& path)
{
    if (auto older = LoadOlderList(path))
        return older;
    return LoadCurrentList(path);
}

bool ExportMplFile(TBWDirMpl* list, const std::string& path, std::string& reason)
{
    return list && CopyWholeFile(list->ListRoot()->FileName(), path, reason);
}

QStringList UnsavedLists()
{
    QStringList lines;
    for (TBWDirMpl* list : MplManager().Lists())
        if (list->State() == msModified)
            lines << QStringLiteral("\"%1\": %2").arg(Text(list->DisplayName()), Text(list->SaveFailure()));
    return lines;
}

void SaveListsAtExit()
{
    while (MplManager().IsModified() && !MplManager().SaveAll()) {
        const QStringList lists = UnsavedLists();
        const QString unsaved = lists.join('\n');
        const QString question = ByCount(lists.size(), QStringLiteral("The changes to this Mp3 List cannot be saved:"),
                                         QStringLiteral("The changes to these Mp3 Lists cannot be saved:")) +
                                 QStringLiteral("\n\n%1\n\nTry again? With No, these changes are lost.").arg(unsaved);
        if (!Prompts().AskYesNo(kCaption, question)) {
            // Also where no window could be shown: the program ends on a request.
            std::fprintf(stderr, "Corvella: changes to Mp3 Lists were not saved:\n%s\n", unsaved.toLocal8Bit().constData());
            return;
        }
    }
}

// ------------------------------------------------------- TMplEditorCommands

TMplEditorCommands::TMplEditorCommands(TMplProgress& progress) : progress_(progress) {}

void TMplEditorCommands::SetSelectedDir(TBWDirectory* dir)
{
    selected_ = dynamic_cast<TBWDirMpl*>(dir);
}

bool TMplEditorCommands::IsEnabled(TMplEditorAction action) const
{
    if (busy_)
        return false;
    switch (action) {
    case TMplEditorAction::AddVolume:
        return selected_ != nullptr && !selected_->ListRoot()->ReadOnly();
    case TMplEditorAction::Delete:
    case TMplEditorAction::Export:
        return selected_ != nullptr;
    case TMplEditorAction::Save:
        return MplManager().IsModified();
    default:
        return true;
    }
}

QString ReadOnlyNote(TBWDirMpl* dir)
{
    TBWDirMpl* list = dir ? dir->ListRoot() : nullptr;
    if (!list || !list->ReadOnly())
        return {};
    return QStringLiteral("The Mp3 List \"%1\" cannot be read (%2); it is kept as it is, so no volume can be added to it.")
        .arg(Text(list->DisplayName()), Text(list->ReadProblem()));
}

void TMplEditorCommands::NewList()
{
    QString typed = QStringLiteral("Default");
    for (;;) {
        const auto answer = Prompts().AskText(QStringLiteral("New Mp3 List name"),
                                              QStringLiteral("Write the new mp3 list's name:"), typed);
        if (!answer)
            return;
        typed = *answer;
        const std::string name = CleanedListName(Std(typed));
        if (name.empty()) {
            Prompts().ShowWarning(kCaption, QStringLiteral("Wrong list name, please try again."));
            continue;
        }
        if (!MplManager().NewList(name, false))
            Prompts().ShowWarning(kCaption, QStringLiteral("The chosen name already exists"));
        return;
    }
}

bool TMplEditorCommands::AskVolumeName(TBWDirMpl* list, std::string& name)
{
    QString typed = Text(name);
    for (;;) {
        const auto answer =
            Prompts().AskText(QStringLiteral("Volume Name"), QStringLiteral("Please enter a volume name:"), typed);
        if (!answer)
            return false;
        typed = *answer;
        name = CleanedVolumeName(Std(typed));
        if (!name.empty() && !list->FindChild(name))
            return true;
        Prompts().ShowWarning(kCaption, QStringLiteral("Wrong volume name, please try again."));
    }
}

TBWDirMpl* TMplEditorCommands::AddVolume(const std::function<void(bool reading)>& onReading)
{
    if (!IsEnabled(TMplEditorAction::AddVolume))
        return nullptr;
    TBWDirMpl* list = selected_->ListRoot();
    const auto folder = Prompts().BrowseFolder(QStringLiteral("Select a directory to add as a volume"), QString());
    if (!folder)
        return nullptr;
    const std::string path = Std(*folder);
    std::error_code ignored;
    if (!std::filesystem::is_directory(path, ignored))
        return nullptr;
    std::string name = ProposedVolumeName(path);
    // The model may have read the folder's parent before the disc went in:
    // the missing levels are made, and the read fills them from the disk.
    TBWDirectory* source = FSDrive().FindDir(AddTrailingBackslash(path), true);
    if (!source || !AskVolumeName(list, name))
        return nullptr;
    busy_ = true;
    if (onReading)
        onReading(true);
    TBWDirMpl* volume = AddVolumeToMpl(list, source, name, progress_, ReadThreads);
    busy_ = false;
    if (onReading)
        onReading(false);
    return volume;
}

void TMplEditorCommands::Delete()
{
    if (!IsEnabled(TMplEditorAction::Delete))
        return;
    TBWDirMpl* dir = std::exchange(selected_, nullptr);
    if (dir != dir->ListRoot()) {
        dir->Delete();
        return;
    }
    const QString question = QStringLiteral("The Mp3 List \"%1\" will be permanently deleted. Proceed?")
                                 .arg(Text(dir->DisplayName()));
    if (Prompts().ConfirmDestructive(kCaption, question))
        MplManager().DeleteList(dir);
    else
        selected_ = dir;
}

void TMplEditorCommands::ReportUnsaved(bool saved)
{
    if (!saved) {
        const QStringList lists = UnsavedLists();
        Prompts().ShowError(kCaption,
                            ByCount(lists.size(), QStringLiteral("This list could not be saved; its changes are kept:"),
                                    QStringLiteral("These lists could not be saved; their changes are kept:")) +
                                "\n\n" + lists.join('\n'));
    }
}

void TMplEditorCommands::Save()
{
    if (!IsEnabled(TMplEditorAction::Save))
        return;
    selected_ = nullptr;
    ReportUnsaved(MplManager().SaveAll());
}

void TMplEditorCommands::Import()
{
    if (busy_)
        return;
    const auto chosen = Prompts().AskOpenFile(QStringLiteral("Import Mp3 List"), kListFilter, QString());
    if (!chosen)
        return;
    const std::string path = Std(*chosen);
    const std::unique_ptr<TBWDirectory> tree = HasListExtension(path) ? LoadMplFile(path) : nullptr;
    TBWDirMpl* list = tree ? MplManager().NewList(FileNameWithoutExt(path), true) : nullptr;
    if (!list) {
        Prompts().ShowWarning(kCaption, QStringLiteral("The file could not be imported."));
        return;
    }
    bool saved = false;
    {
        const TClosingProgress closing(progress_);
        progress_.StartJob("Importing files", 0, false);
        list->CopyTree(tree.get());
        saved = list->Save();
        if (saved)
            list->Load();
    }
    ReportUnsaved(saved);
    if (saved)
        Prompts().ShowInformation(kCaption, QStringLiteral("Import complete."));
}

void TMplEditorCommands::Export()
{
    if (busy_)
        return;
    if (!selected_) {
        Prompts().ShowWarning(kCaption, QStringLiteral("You must select a list to export first."));
        return;
    }
    TBWDirMpl* list = selected_->ListRoot();
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(list->FileName(), ignored)) {
        Prompts().ShowWarning(
            kCaption, QStringLiteral("The Mp3 List \"%1\" has not been saved yet, so it has no file to export.")
                          .arg(Text(list->DisplayName())));
        return;
    }
    const auto chosen =
        Prompts().AskSaveFile(QStringLiteral("Export Mp3 List"), kListFilter, Text(list->DisplayName() + kListExtension));
    if (!chosen)
        return;
    std::string path = Std(*chosen);
    // A name typed without an extension gets the list's, as save dialogs do.
    if (std::filesystem::path(path).extension().empty())
        path += kListExtension;
    if (!HasListExtension(path)) {
        Prompts().ShowWarning(kCaption, QStringLiteral("Mp3 Lists are exported only to files ending in \"%1\"; "
                                                       "nothing was written to %2.")
                                            .arg(Text(kListExtension), Text(path)));
        return;
    }
    std::string reason;
    if (!ExportMplFile(list, path, reason))
        Prompts().ShowError(kCaption, QStringLiteral("The list could not be exported to %1: %2").arg(Text(path), Text(reason)));
}

void TMplEditorCommands::Help()
{
    Prompts().ShowHelpTopic(QStringLiteral("corvella/mpleditor.htm"));
}

bool TMplEditorCommands::Close()
{
    if (busy_)
        return false;
    // Ending on a request, the changes stay for the save at exit.
    if (MplManager().IsModified() && !EndingOnRequest()) {
        const std::optional<bool> save =
            Prompts().AskYesNoCancel(kCaption, QStringLiteral("Changes has been made to your lists. Save?"));
        // Cancel (Esc) keeps the window and the changes, as in every program that asks on closing.
        if (!save)
            return false;
        selected_ = nullptr;  // the lists it points into are saved or read again
        if (*save)
            ReportUnsaved(MplManager().SaveAll());
        else
            MplManager().Reload();
    }
    selected_ = nullptr;
    // The trees hear of lists that went through queued notices, which
    // point at the lists: they must be delivered before the lists are freed.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    MplManager().FreeRetiredLists();
    return true;
}
