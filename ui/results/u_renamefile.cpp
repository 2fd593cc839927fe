#include "ui/results/u_renamefile.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

namespace {

constexpr int kMinimumWidth = 420;
// Room beside the name for the edit's frame and margins, and a few more characters.
constexpr int kNameMargin = 60;

} // namespace

int NameStemLength(const QString& name)
{
    const int dot = name.lastIndexOf('.');
    return dot > 0 ? dot : static_cast<int>(name.size());
}

TfRenameFile::TfRenameFile(const QString& name, QWidget* parent) : QDialog(parent), edtName_(new QLineEdit(name, this))
{
    setObjectName("TfRenameFile");
    setWindowTitle("File rename");
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("New filename:", this));
    edtName_->setObjectName("edtName");
    layout->addWidget(edtName_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    const int screenWidth = screen() ? screen()->availableGeometry().width() : 1024;
    const int wanted = edtName_->fontMetrics().horizontalAdvance(name) + kNameMargin;
    resize(std::clamp(wanted, kMinimumWidth, std::max(kMinimumWidth, screenWidth * 3 / 4)), sizeHint().height());
    edtName_->setSelection(0, NameStemLength(name));
    edtName_->setFocus();
}

QString TfRenameFile::NewName() const
{
    return edtName_->text();
}

std::optional<QString> TfRenameFile::Ask(const QString& name, QWidget* parent)
{
    TfRenameFile dialog(name, parent);
    if (dialog.exec() != QDialog::Accepted || dialog.NewName().isEmpty())
        return std::nullopt;
    return dialog.NewName();
}
