#pragma once
// The prompts of a ui test: it queues the questions it expects, each with its
// answer, in order. A question that is not the next one expected fails the
// test at once and is answered No / Cancel, so no test ever waits on a modal
// box; a script not used up when the object dies fails the test too.
// Constructing one installs it as Prompts(); destroying it restores the old.
#include "ui/common/u_prompts.h"

#include <deque>
#include <functional>
#include <vector>

enum class PromptKind { YesNo, Information, Warning, Error, Text, Folder, OpenFile, SaveFile, OpenWithDesktop, HelpTopic, YesNoCancel };

struct AskedPrompt {
    PromptKind kind;
    QString caption;
    QString text;  // the question, message, prompt, start folder or name, opened target or topic
    bool destructive = false;  // a Yes/No question whose default answer is No
};

class ScriptedPrompts : public TUserPrompts {
public:
    // Failures go to `fail`; by default they fail the running QtTest function.
    explicit ScriptedPrompts(std::function<void(const QString&)> fail = {});
    ~ScriptedPrompts() override;

    // `containing`, when given, must be part of the question's text. Plain
    // and destructive questions both answer it; Asked() tells them apart.
    ScriptedPrompts& ExpectYesNo(bool answer, const QString& containing = {});
    // A Yes/No question that must be asked as destructive (default No).
    ScriptedPrompts& ExpectDestructive(bool answer, const QString& containing = {});
    // A Yes/No/Cancel question; nullopt is Cancel.
    ScriptedPrompts& ExpectYesNoCancel(std::optional<bool> answer, const QString& containing = {});
    // Information, Warning, Error and HelpTopic: nothing to answer.
    ScriptedPrompts& ExpectMessage(PromptKind kind, const QString& containing = {});
    // Text, Folder, OpenFile and SaveFile: nullopt is Cancel.
    ScriptedPrompts& ExpectChoice(PromptKind kind, std::optional<QString> answer, const QString& containing = {});
    ScriptedPrompts& ExpectOpen(bool succeeds, const QString& containing = {});

    const std::vector<AskedPrompt>& Asked() const { return asked_; }
    bool Done() const { return script_.empty(); }

    bool AskYesNo(const QString& caption, const QString& question) override;
    bool ConfirmDestructive(const QString& caption, const QString& question) override;
    std::optional<bool> AskYesNoCancel(const QString& caption, const QString& question) override;
    void ShowInformation(const QString& caption, const QString& text) override;
    void ShowWarning(const QString& caption, const QString& text) override;
    void ShowError(const QString& caption, const QString& text) override;
    std::optional<QString> AskText(const QString& caption, const QString& prompt, const QString& defaultText) override;
    std::optional<QString> BrowseFolder(const QString& caption, const QString& startFolder) override;
    std::optional<QString> AskOpenFile(const QString& caption, const QString& filter, const QString& startName) override;
    std::optional<QString> AskSaveFile(const QString& caption, const QString& filter, const QString& defaultName) override;
    bool OpenWithDesktop(const QString& fileFolderOrUrl) override;
    void ShowHelpTopic(const QString& topic) override;

private:
    struct Expected {
        PromptKind kind;
        QString containing;
        bool yes = false;
        std::optional<QString> choice;
        bool destructive = false;
    };
    // The answer to the question, or nullopt (after a failure) when it was not the one expected.
    std::optional<Expected> Take(PromptKind kind, const QString& caption, const QString& text,
                                 bool destructive = false);

    std::function<void(const QString&)> fail_;
    TUserPrompts* replaced_;
    std::deque<Expected> script_;
    std::vector<AskedPrompt> asked_;
};
