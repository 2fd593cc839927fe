#include "ui/common/u_about.h"

#include "ui/common/u_pictures.h"
#include "ui/common/u_prompts.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <functional>

namespace {

const char* const kMakerPage = CORVELLA_HOMEPAGE;

QLabel* Label(QWidget* parent, const char* name, const QString& text, const QRect& place)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(place);
    return label;
}

// The link: blue, underlined and with the hand cursor, as links look on a page.
void LookLikeLink(QLabel* label)
{
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    label->setWordWrap(true);
}

// A click on the link label, however it reached the label.
class TClickFilter : public QObject {
public:
    TClickFilter(QObject* parent, std::function<void()> onClick) : QObject(parent), onClick_(std::move(onClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            onClick_();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onClick_;
};

} // namespace

QString VersionLine(const QString& fileVersion)
{
    const qsizetype lastDot = fileVersion.lastIndexOf('.');
    return "Version: " + (lastDot < 0 ? fileVersion : fileVersion.left(lastDot));
}

QString ProgramVersion()
{
    return CORVELLA_VERSION;
}

TfAbout::TfAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName("TfAbout");
    setWindowTitle("About Corvella");
    setFixedSize(298, 243);

    auto* panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    panel->setGeometry(8, 8, 282, 185);

    auto* icon = Label(panel, "ProgramIcon", {}, {16, 16, 33, 41});
    icon->setPixmap(ProgramIcon(64));
    icon->setScaledContents(true);
    auto* name = Label(panel, "ProductName", "Corvella", {64, 16, 200, 24});
    QFont nameFont = name->font();
    nameFont.setBold(true);
    nameFont.setPixelSize(18);
    name->setFont(nameFont);
    Label(panel, "lblVersion", VersionLine(ProgramVersion()), {64, 42, 200, 20});
    auto* copyright = Label(panel, "Copyright", "Made by Brindlewick.", {16, 76, 258, 36});
    copyright->setWordWrap(true);
    auto* comments =
        Label(panel, "Comments", QString("Brindlewick on the web:\n%1").arg(kMakerPage),
              {16, 116, 258, 56});
    LookLikeLink(comments);
    comments->installEventFilter(new TClickFilter(comments, [this] { CommentsClick(); }));

    auto* close = new QPushButton("&Close", this);
    close->setObjectName("OKButton");
    close->setGeometry(111, 206, 75, 25);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

void TfAbout::CommentsClick()
{
    if (!Prompts().OpenWithDesktop(kMakerPage))
        Prompts().ShowWarning(windowTitle(), QString("The web page %1 could not be opened.").arg(kMakerPage));
}
