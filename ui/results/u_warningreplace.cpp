#include "ui/results/u_warningreplace.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* Paragraph(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// A long path wraps after any of its slashes instead of running out of the box.
QString Breakable(const QString& path)
{
    QString text = path;
    return text.replace('/', QStringLiteral("/\u200B"));
}

} // namespace

TfWarningReplace::TfWarningReplace(const QString& file, const QString& reference, QWidget* parent) : QDialog(parent)
{
    setObjectName("TfWarningReplace");
    setWindowTitle("Warning");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel("WARNING", this);
    heading->setObjectName("lblWarning");
    heading->setAlignment(Qt::AlignCenter);
    heading->setStyleSheet("color: #c00000; font-weight: bold; font-size: 24pt;");
    layout->addWidget(heading);
    layout->addWidget(Paragraph("This action will overwrite the reference file of the selected duplicate. "
                                "Only perform this action if you know what you're doing.",
                                this));
    QLabel* files = Paragraph(QString("The reference file \"%2\" goes to the Trash, and a copy of \"%1\" takes its "
                                      "place, keeping its own format.")
                                  .arg(Breakable(file), Breakable(reference)),
                              this);
    files->setObjectName("lblFiles");
    files->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(files);
    layout->addWidget(Paragraph("This action is used to replace a reference file with a file of better quality.", this));
    layout->addWidget(Paragraph("For example, you could have a file with a bitrate of 128 in your \"Full Albums\" "
                                "directory, but find the same file with a 192 bitrate in your download directory. "
                                "You could then use this action to update your reference file.",
                                this));
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* replace = buttons->addButton("&Replace file", QDialogButtonBox::AcceptRole);
    replace->setObjectName("bReplace");
    QPushButton* cancel = buttons->addButton("&Cancel", QDialogButtonBox::RejectRole);
    cancel->setObjectName("bCancel");
    // Enter cancels, also while "Replace file" has the focus: only a click or
    // its own key replaces.
    replace->setAutoDefault(false);
    cancel->setDefault(true);
    cancel->setFocus();
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // A fixed border: the wrapped texts decide the height at the dialog's one width.
    constexpr int kWidth = 420;
    setFixedSize(kWidth, layout->heightForWidth(kWidth));
}
