#include "scripted_prompts.h"

#include <QTest>

namespace {

const char* KindName(PromptKind kind)
{
    static const char* const kNames[] = {"Yes/No question", "information", "warning", "error", "line of text",
                                         "folder browser", "open-file dialog", "save-file dialog",
                                         "desktop open", "help topic", "Yes/No/Cancel question"};
    return kNames[static_cast<int>(kind)];
}

void FailTest(const QString& message)
{
    QTest::qFail(qPrintable(message), __FILE__, __LINE__);
}

} // namespace

ScriptedPrompts::ScriptedPrompts(std::function<void(const QString&)> fail)
    : fail_(fail ? std::move(fail) : FailTest), replaced_(ReplacePrompts(this))
{
}

ScriptedPrompts::~ScriptedPrompts()
{
    ReplacePrompts(replaced_);
    if (!script_.empty())
        fail_(QString("%1 expected question(s) never asked, the first a %2")
                  .arg(script_.size())
                  .arg(KindName(script_.front().kind)));
}

ScriptedPrompts& ScriptedPrompts::ExpectYesNo(bool answer, const QString& containing)
{
    script_.push_back({PromptKind::YesNo, containing, answer, std::nullopt});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::ExpectDestructive(bool answer, const QString& containing)
{
    script_.push_back({PromptKind::YesNo, containing, answer, std::nullopt, true});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::ExpectYesNoCancel(std::optional<bool> answer, const QString& containing)
{
    script_.push_back({PromptKind::YesNoCancel, containing, answer.value_or(false),
                       answer ? std::optional<QString>() : std::optional<QString>(QString())});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::ExpectMessage(PromptKind kind, const QString& containing)
{
    script_.push_back({kind, containing, false, std::nullopt});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::ExpectChoice(PromptKind kind, std::optional<QString> answer,
                                               const QString& containing)
{
    script_.push_back({kind, containing, false, std::move(answer)});
    return *this;
}

ScriptedPrompts& ScriptedPrompts::ExpectOpen(bool succeeds, const QString& containing)
{
    script_.push_back({PromptKind::OpenWithDesktop, containing, succeeds, std::nullopt});
    return *this;
}

std::optional<ScriptedPrompts::Expected> ScriptedPrompts::Take(PromptKind kind, const QString& caption,
                                                               const QString& text, bool destructive)
{
    asked_.push_back({kind, caption, text, destructive});
    const QString asked = QString("%1 \"%2\": \"%3\"").arg(KindName(kind), caption, text);
    if (script_.empty()) {
        fail_("unexpected " + asked + ": the script is used up");
        return std::nullopt;
    }
    Expected next = script_.front();
    if (next.kind != kind || !text.contains(next.containing)) {
        fail_(QString("unexpected %1, the script expects a %2 containing \"%3\"")
                  .arg(asked, KindName(next.kind), next.containing));
        return std::nullopt;
    }
    script_.pop_front();
    if (next.destructive && !destructive)
        fail_("the " + asked + " destroys on Yes, yet it is not asked with No as its default");
    return next;
}

bool ScriptedPrompts::AskYesNo(const QString& caption, const QString& question)
{
    const auto answer = Take(PromptKind::YesNo, caption, question);
    return answer && answer->yes;
}

bool ScriptedPrompts::ConfirmDestructive(const QString& caption, const QString& question)
{
    const auto answer = Take(PromptKind::YesNo, caption, question, true);
    return answer && answer->yes;
}

std::optional<bool> ScriptedPrompts::AskYesNoCancel(const QString& caption, const QString& question)
{
    const auto answer = Take(PromptKind::YesNoCancel, caption, question);
    if (!answer || answer->choice)
        return std::nullopt;
    return answer->yes;
}

void ScriptedPrompts::ShowInformation(const QString& caption, const QString& text)
{
    Take(PromptKind::Information, caption, text);
}

void ScriptedPrompts::ShowWarning(const QString& caption, const QString& text)
{
    Take(PromptKind::Warning, caption, text);
}

void ScriptedPrompts::ShowError(const QString& caption, const QString& text)
{
    Take(PromptKind::Error, caption, text);
}

std::optional<QString> ScriptedPrompts::AskText(const QString& caption, const QString& prompt, const QString&)
{
    const auto answer = Take(PromptKind::Text, caption, prompt);
    return answer ? answer->choice : std::nullopt;
}

std::optional<QString> ScriptedPrompts::BrowseFolder(const QString& caption, const QString& startFolder)
{
    const auto answer = Take(PromptKind::Folder, caption, startFolder);
    return answer ? answer->choice : std::nullopt;
}

std::optional<QString> ScriptedPrompts::AskOpenFile(const QString& caption, const QString&,
                                                    const QString& startName)
{
    const auto answer = Take(PromptKind::OpenFile, caption, startName);
    return answer ? answer->choice : std::nullopt;
}

std::optional<QString> ScriptedPrompts::AskSaveFile(const QString& caption, const QString&,
                                                    const QString& defaultName)
{
    const auto answer = Take(PromptKind::SaveFile, caption, defaultName);
    return answer ? answer->choice : std::nullopt;
}

bool ScriptedPrompts::OpenWithDesktop(const QString& fileFolderOrUrl)
{
    const auto answer = Take(PromptKind::OpenWithDesktop, QString(), fileFolderOrUrl);
    return answer && answer->yes;
}

void ScriptedPrompts::ShowHelpTopic(const QString& topic)
{
    Take(PromptKind::HelpTopic, QString(), topic);
}
