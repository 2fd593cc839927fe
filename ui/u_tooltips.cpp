#include "ui/u_tooltips.h"

#include "ui/u_cvgensettings.h"
#include "ui/u_helpwindow.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char* const kTipsFileName = "bwtips.txt";
// Beside the tips file in the program's data folder.
const char* const kTipsPicture = "bwtips.jpg";

QFont CourierBold(int pixelSize)
{
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    return font;
}

QWidget* ButtonPanel(QCheckBox* showTips, QPushButton* next, QPushButton* close)
{
    auto* panel = new QWidget;
    panel->setObjectName("Panel1");
    panel->setFixedHeight(41);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(8, 0, 8, 0);
    row->addWidget(showTips);
    row->addStretch();
    row->addWidget(next);
    row->addWidget(close);
    return panel;
}

QLabel* TipsPicture()
{
    auto* image = new QLabel;
    image->setObjectName("Image1");
    image->setFixedSize(44, 69);
    image->setPixmap(QPixmap(ProgramDataFolder() + "/" + kTipsPicture));
    return image;
}

QFrame* Separator()
{
    auto* line = new QFrame;
    line->setObjectName("Panel3");
    line->setFixedHeight(1);
    line->setBackgroundRole(QPalette::Mid);
    line->setAutoFillBackground(true);
    return line;
}

} // namespace

QStringList ReadTipLines(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(file.readAll());
    if (text.isEmpty())
        return {};
    text.replace("\r\n", "\n").replace('\r', '\n');
    if (text.endsWith('\n'))
        text.chop(1);
    return text.split('\n');
}

QString TipsFilePath()
{
    if (QFileInfo(kTipsFileName).isFile())
        return QFileInfo(kTipsFileName).absoluteFilePath();
    return ProgramDataFolder() + "/" + kTipsFileName;
}

void TTipWalk::ShowTip(const QString& fileName, int index)
{
    const QString file = fileName.isEmpty() ? tipsFile_ : fileName;
    if (file.isEmpty() || !QFileInfo(file).isFile())
        return;
    const QStringList tips = ReadTipLines(file);
    int shown = index == -1 ? currentTip_ + 1 : index;
    if (shown < 0 || shown >= tips.size())
        shown = 0;
    tip_ = shown < tips.size() ? tips[shown] : QString();
    currentTip_ = shown;
    tipsFile_ = file;
}

TfTooltips::TfTooltips()
    : cbShowTips_(new QCheckBox("Show tips at startup")),
      bNext_(new QPushButton("Next")),
      bClose_(new QPushButton("Close")),
      mmtips_(new QPlainTextEdit)
{
    setObjectName("TfTooltips");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(379, 241);
    cbShowTips_->setObjectName("cbShowTips");
    bNext_->setObjectName("bNext");
    bNext_->setDefault(true);
    bClose_->setObjectName("bClose");
    connect(bNext_, &QPushButton::clicked, this, [this] { bNextClick(); });
    // Esc rejects the dialog too, so Close and Esc end it the same way.
    connect(bClose_, &QPushButton::clicked, this, &QDialog::reject);

    auto* heading = new QLabel("Did you know?");
    heading->setObjectName("lblKnow");
    heading->setFont(CourierBold(19));
    mmtips_->setObjectName("mmtips");
    mmtips_->setReadOnly(true);
    mmtips_->setFrameShape(QFrame::NoFrame);
    mmtips_->setFont(CourierBold(13));
    mmtips_->viewport()->setAutoFillBackground(false);

    auto* tipArea = new QFrame;
    tipArea->setObjectName("Panel2");
    tipArea->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    tipArea->setAutoFillBackground(true);
    tipArea->setBackgroundRole(QPalette::Base);
    auto* grid = new QGridLayout(tipArea);
    grid->addWidget(TipsPicture(), 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(heading, 0, 1);
    grid->addWidget(Separator(), 1, 1);
    grid->addWidget(mmtips_, 2, 1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(tipArea);
    column->addWidget(ButtonPanel(cbShowTips_, bNext_, bClose_));
}

void TfTooltips::ShowTip(const QString& fileName, int index)
{
    walk_.ShowTip(fileName, index);
    mmtips_->setPlainText(walk_.Tip());
}

void TfTooltips::bNextClick()
{
    ShowTip({}, -1);
}

void ShowTips(TBWCVGenSettings& settings, bool force)
{
    if (!settings.TipsAtStartup && !force)
        return;
    TfTooltips window;
    window.setWindowTitle("Corvella tips");
    window.cbShowTips()->setChecked(settings.TipsAtStartup);
    window.ShowTip(TipsFilePath(), settings.LastTip);
    window.exec();
    settings.TipsAtStartup = window.cbShowTips()->isChecked();
    settings.LastTip = window.CurrentTip() + 1;
}
