#include "ui/common/u_prompts.h"

#include "ui/common/u_helpwindow.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QUrl>

namespace {

// A box without the modal window as parent would sit behind it, unclickable.
QWidget* DialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

// Room for the caption in a title bar, beside the window's own buttons.
int TitleWidth(const QString& caption)
{
    constexpr int kTitleButtonsWidth = 160;
    return QFontMetrics(QApplication::font()).horizontalAdvance(caption) * 3 / 2 + kTitleButtonsWidth;
}

std::optional<QString> Chosen(const QString& answer)
{
    if (answer.isEmpty())
        return std::nullopt;
    return answer;
}

class TQtPrompts final : public TUserPrompts {
public:
    bool AskYesNo(const QString& caption, const QString& question) override
    {
        return QMessageBox::question(DialogParent(), caption, question, QMessageBox::Yes | QMessageBox::No)
               == QMessageBox::Yes;
    }
    bool ConfirmDestructive(const QString& caption, const QString& question) override
    {
        return QMessageBox::question(DialogParent(), caption, question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No)
               == QMessageBox::Yes;
    }
    std::optional<bool> AskYesNoCancel(const QString& caption, const QString& question) override
    {
        switch (QMessageBox::question(DialogParent(), caption, question,
                                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes)) {
        case QMessageBox::Yes: return true;
        case QMessageBox::No: return false;
        default: return std::nullopt;
        }
    }
    void ShowInformation(const QString& caption, const QString& text) override
    {
        QMessageBox::information(DialogParent(), caption, text);
    }
    void ShowInformationWithDetails(const QString& caption, const QString& text, const QString& details) override
    {
        QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok, DialogParent());
        box.setDetailedText(details);
        box.exec();
    }
    void ShowWarning(const QString& caption, const QString& text) override
    {
        QMessageBox::warning(DialogParent(), caption, text);
    }
    void ShowError(const QString& caption, const QString& text) override
    {
        QMessageBox::critical(DialogParent(), caption, text);
    }
    std::optional<QString> AskText(const QString& caption, const QString& prompt,
                                   const QString& defaultText) override
    {
        QInputDialog dialog(DialogParent());
        dialog.setWindowTitle(caption);
        dialog.setLabelText(prompt);
        dialog.setTextValue(defaultText);
        // Window managers cut a title wider than its window in the middle.
        // The dialog's layout sets its size from its fields, so the field
        // gets the width.
        if (auto* field = dialog.findChild<QLineEdit*>())
            field->setMinimumWidth(TitleWidth(caption));
        if (dialog.exec() != QDialog::Accepted)
            return std::nullopt;
        return dialog.textValue();
    }
    std::optional<QString> BrowseFolder(const QString& caption, const QString& startFolder) override
    {
        return Chosen(QFileDialog::getExistingDirectory(DialogParent(), caption, startFolder));
    }
    std::optional<QString> AskOpenFile(const QString& caption, const QString& filter,
                                       const QString& startName) override
    {
        return Chosen(QFileDialog::getOpenFileName(DialogParent(), caption, startName, filter));
    }
    std::optional<QString> AskSaveFile(const QString& caption, const QString& filter,
                                       const QString& defaultName) override
    {
        return Chosen(QFileDialog::getSaveFileName(DialogParent(), caption, defaultName, filter));
    }
    bool OpenWithDesktop(const QString& fileFolderOrUrl) override
    {
        const QUrl url = QFileInfo::exists(fileFolderOrUrl) ? QUrl::fromLocalFile(fileFolderOrUrl)
                                                            : QUrl(fileFolderOrUrl);
        return QDesktopServices::openUrl(url);
    }
    void ShowHelpTopic(const QString& topic) override
    {
        if (!::ShowHelpTopic(topic))
            Prompts().ShowError(QCoreApplication::translate("THelpWindow", "Corvella Help"), MissingHelpMessage(topic));
    }
};

TQtPrompts qtPrompts;
// While the program ends on a request nobody may be there to answer, and a
// box would hold the end up.
TSilentPrompts endingPrompts;
TUserPrompts* current = &qtPrompts;
bool endingOnRequest = false;

} // namespace

TUserPrompts& Prompts()
{
    return endingOnRequest ? endingPrompts : *current;
}

void SetEndingOnRequest(bool ending)
{
    endingOnRequest = ending;
}

bool EndingOnRequest()
{
    return endingOnRequest;
}

TUserPrompts* ReplacePrompts(TUserPrompts* prompts)
{
    TUserPrompts* replaced = current;
    current = prompts ? prompts : &qtPrompts;
    return replaced;
}
