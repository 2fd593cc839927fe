#pragma once
// Every modal question, message and dialog of the windows, and every hand-over
// to the desktop, goes through TUserPrompts so tests can answer them from a
// script. Windows call Prompts(); a test installs its own with ReplacePrompts.
#include <QString>
#include <optional>

class TUserPrompts {
public:
    virtual ~TUserPrompts() = default;
    virtual bool AskYesNo(const QString& caption, const QString& question) = 0;
    // A question whose Yes destroys or drops something: No is the default
    // answer, so that Enter never destroys. Without its own box it is a
    // plain AskYesNo.
    virtual bool ConfirmDestructive(const QString& caption, const QString& question)
    {
        return AskYesNo(caption, question);
    }
    // A question with Yes, No and Cancel, the answer Yes by default and
    // Cancel on Esc: nothing when cancelled.
    virtual std::optional<bool> AskYesNoCancel(const QString& caption, const QString& question) = 0;
    // Failures and refusals (a value that is not accepted, a file that could
    // not be read) are warnings; information is for news that went well.
    virtual void ShowInformation(const QString& caption, const QString& text) = 0;
    // Information with a list too long for the box (names of files), which
    // the user opens below the text. Without a box of its own the list
    // follows the text.
    virtual void ShowInformationWithDetails(const QString& caption, const QString& text, const QString& details)
    {
        ShowInformation(caption, text + "\n\n" + details);
    }
    virtual void ShowWarning(const QString& caption, const QString& text) = 0;
    virtual void ShowError(const QString& caption, const QString& text) = 0;
    virtual std::optional<QString> AskText(const QString& caption, const QString& prompt,
                                           const QString& defaultText) = 0;
    virtual std::optional<QString> BrowseFolder(const QString& caption, const QString& startFolder) = 0;
    virtual std::optional<QString> AskOpenFile(const QString& caption, const QString& filter,
                                               const QString& startName) = 0;
    virtual std::optional<QString> AskSaveFile(const QString& caption, const QString& filter,
                                               const QString& defaultName) = 0;
    // A file, a folder or an address, opened with the desktop's default program.
    virtual bool OpenWithDesktop(const QString& fileFolderOrUrl) = 0;
    virtual void ShowHelpTopic(const QString& topic) = 0;
};

// Shows nothing and answers every question with No or nothing: what the
// program asks while it ends on a request, and a base for prompts that
// answer only some questions.
class TSilentPrompts : public TUserPrompts {
public:
    bool AskYesNo(const QString&, const QString&) override { return false; }
    std::optional<bool> AskYesNoCancel(const QString&, const QString&) override { return std::nullopt; }
    void ShowInformation(const QString&, const QString&) override {}
    void ShowWarning(const QString&, const QString&) override {}
    void ShowError(const QString&, const QString&) override {}
    std::optional<QString> AskText(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> BrowseFolder(const QString&, const QString&) override { return {}; }
    std::optional<QString> AskOpenFile(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> AskSaveFile(const QString&, const QString&, const QString&) override { return {}; }
    bool OpenWithDesktop(const QString&) override { return false; }
    void ShowHelpTopic(const QString&) override {}
};

// The process's current prompts: the Qt dialogs unless replaced.
TUserPrompts& Prompts();
// Installs `prompts` (nullptr: the Qt dialogs again) and returns the one replaced.
TUserPrompts* ReplacePrompts(TUserPrompts* prompts);

// The program ends on a close request (SIGTERM, the end of the session):
// from then on Prompts() shows nothing and answers every question with No,
// so no box holds the end up. A window that would ask whether to keep
// something keeps it instead of asking.
void SetEndingOnRequest(bool ending);
bool EndingOnRequest();
