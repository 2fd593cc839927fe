#include "ui/common/u_tooltips.h"

#include "ui/common/u_cvgensettings.h"
#include "ui/common/u_helpwindow.h"

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
    line->setBackgroundRole(QPalette::Dark);
    line->setAutoFillBackground(true);
    return line;
}

// The picture, the heading over a line, and the tip itself, on the colour of a page.
QFrame* TipArea(QPlainTextEdit* tip)
{
    auto* heading = new QLabel("Did you know?");
    heading->setObjectName("lblKnow");
    heading->setFont(CourierBold(19));
    tip->setObjectName("mmtips");
    tip->setReadOnly(true);
    tip->setFrameShape(QFrame::NoFrame);
    tip->setFont(CourierBold(13));
    tip->viewport()->setAutoFillBackground(false);

    auto* area = new QFrame;
    area->setObjectName("Panel2");
    area->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    area->setAutoFillBackground(true);
    area->setBackgroundRole(QPalette::Base);
    auto* grid = new QGridLayout(area);
    grid->addWidget(TipsPicture(), 0, 0, 3, 1, Qt::AlignTop);
    grid->addWidget(heading, 0, 1);
    grid->addWidget(Separator(), 1, 1);
    grid->addWidget(tip, 2, 1);
    return area;
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
    : cbShowTips_(new QCheckBox("Show tips at startup")), mmtips_(new QPlainTextEdit)
{
    setObjectName("TfTooltips");
    setWindowTitle("Corvella tips");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(379, 241);
    cbShowTips_->setObjectName("cbShowTips");
    auto* next = new QPushButton("&Next");
    next->setObjectName("bNext");
    next->setDefault(true);
    connect(next, &QPushButton::clicked, this, [this] { bNextClick(); });
    auto* close = new QPushButton("&Close");
    close->setObjectName("bClose");
    // Esc rejects the dialog too, so Close and Esc end it the same way.
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(TipArea(mmtips_));
    column->addWidget(ButtonPanel(cbShowTips_, next, close));
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
    window.cbShowTips()->setChecked(settings.TipsAtStartup);
    window.ShowTip(TipsFilePath(), settings.LastTip);
    window.exec();
    settings.TipsAtStartup = window.cbShowTips()->isChecked();
    settings.LastTip = window.CurrentTip() + 1;
}
