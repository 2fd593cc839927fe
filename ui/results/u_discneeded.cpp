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

    ok_ = Button(this, "bOK", "&OK", 48);
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
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
    // A path too long for the label loses its middle: its start names the
    // medium and its end the disc's folder.
    const QString shownPath =
        lblDisc_->fontMetrics().elidedText(drivePath_, Qt::ElideMiddle, lblDisc_->contentsRect().width());
    lblDisc_->setText(QString::fromStdString(DiscRequestText(discName_.toStdString(), shownPath.toStdString())));
}

void TfDiscNeeded::bChangePathClick()
{
    const std::optional<QString> chosen = Prompts().BrowseFolder(kChangePath, drivePath_);
    if (!chosen)
        return;
    SetDrive(*chosen);
    // Enter now answers the request instead of opening the browser again.
    ok_->setFocus();
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
