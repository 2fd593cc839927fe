#include "ui/results/u_discneeded.h"

#include "ui/common/u_prompts.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>

namespace {

const char* const kChangePath = "Change Path";

QPushButton* Button(QWidget* parent, const char* name, const QString& caption, int left)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(left, 72, 75, 25);
    return button;
}

// Message boxes carry the program's title, as every other one does.
QString MessageCaption()
{
    return QGuiApplication::applicationDisplayName();
}

} // namespace

TfDiscNeeded::TfDiscNeeded(QWidget* parent) : QDialog(parent), lblDisc_(new QLabel(this))
{
    setObjectName("TfDiscNeeded");
    setWindowTitle("Disc needed");
    // No close box: the answer is OK or Cancel Copy (Esc).
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(366, 120);
    lblDisc_->setObjectName("lblDisc");
    lblDisc_->setGeometry(16, 24, 329, 41);
    lblDisc_->setAlignment(Qt::AlignCenter);
    lblDisc_->setWordWrap(true);

    QPushButton* ok = Button(this, "bOK", "&OK", 48);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button(this, "bCancel", "&Cancel Copy", 136), &QPushButton::clicked, this, &QDialog::reject);
    connect(Button(this, "bChangePath", "C&hange Path", 224), &QPushButton::clicked, this,
            [this] { bChangePathClick(); });
}

void TfDiscNeeded::SetDrive(const QString& path)
{
    if (path.isEmpty())
        return;
    drivePath_ = path;
    UpdateLabel();
}

void TfDiscNeeded::SetDiscName(const QString& name)
{
    discName_ = name;
    UpdateLabel();
}

void TfDiscNeeded::UpdateLabel()
{
    lblDisc_->setText(QString::fromStdString(DiscRequestText(discName_.toStdString(), drivePath_.toStdString())));
}

void TfDiscNeeded::bChangePathClick()
{
    if (const std::optional<QString> chosen = Prompts().BrowseFolder(kChangePath, drivePath_))
        SetDrive(*chosen);
}

bool TfDiscNeeded::AskForDisc(const std::string& discName, std::string& folder)
{
    SetDrive(QString::fromStdString(folder.empty() ? FirstDiscFolder(discName) : folder));
    SetDiscName(QString::fromStdString(discName));
    const bool ok = exec() == QDialog::Accepted;
    folder = drivePath_.toStdString();
    return ok;
}

void TfDiscNeeded::ShowMessage(const std::string& text)
{
    // The copy reports only what went wrong: an invalid source, failed files.
    Prompts().ShowWarning(MessageCaption(), QString::fromStdString(text));
}

bool TfDiscNeeded::AskYesNo(const std::string& text)
{
    return Prompts().AskYesNo(MessageCaption(), QString::fromStdString(text));
}
