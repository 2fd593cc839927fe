#include "ui/common/u_helpwindow.h"

#include "ui/common/u_screenplace.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QHideEvent>
#include <QPointer>
#include <QScreen>
#include <QTextBrowser>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

QString ProgramDataFolder()
{
    const QString fromEnvironment = qEnvironmentVariable("CORVELLA_DATA_DIR");
    if (!fromEnvironment.isEmpty())
        return fromEnvironment;
    const QString installed = QCoreApplication::applicationDirPath() + "/../share/corvella";
    if (QFileInfo(installed).isDir())
        return QDir::cleanPath(installed);
    return CORVELLA_SOURCE_DATA_DIR;
}

QString HelpPagePath(const QString& topic)
{
    const QString path = ProgramDataFolder() + "/help/" + topic;
    return QFileInfo(path).isFile() ? path : QString();
}

namespace {

// A few paragraphs per page: room to read them, not the whole screen.
constexpr QSize kHelpWindowSize(640, 480);

QPointer<THelpWindow> gHelpWindow;

// A window blocked by a modal one cannot be used: the help goes over the
// modal window when there is one.
QWidget* HelpOwner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    QWidget* active = QApplication::activeWindow();
    if (gHelpWindow && active == gHelpWindow)
        return gHelpWindow->parentWidget();
    return active;
}

void FreeHelpWindow()
{
    delete gHelpWindow.data();
}

THelpWindow& HelpWindowOver(QWidget* owner)
{
    if (!gHelpWindow) {
        gHelpWindow = new THelpWindow(owner);
        // Widgets must go before the application does. A window freed with
        // its owner is made again later: its routine is registered once.
        qRemovePostRoutine(FreeHelpWindow);
        qAddPostRoutine(FreeHelpWindow);
    } else if (gHelpWindow->parentWidget() != owner) {
        gHelpWindow->setParent(owner, gHelpWindow->windowFlags());
    }
    return *gHelpWindow;
}

// A help window coming up stands over the window that asked, within its
// screen, rather than wherever the window manager finds room.
void PlaceOver(QWidget& window, const QWidget* owner)
{
    QRect place(QPoint(), window.frameGeometry().size());
    if (owner)
        place.moveCenter(owner->window()->frameGeometry().center());
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        place.moveCenter(screen->availableGeometry().center());
    window.move(WithinScreen(place).topLeft());
}

} // namespace

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName("HelpWindow");
    setWindowTitle(QCoreApplication::translate("THelpWindow", "Corvella Help"));
    setAttribute(Qt::WA_QuitOnClose, false);
    tbPage = new QTextBrowser(this);
    tbPage->setObjectName("tbPage");
    tbPage->setOpenExternalLinks(true);
    aBack = MakeAction("aBack", tr("&Back"), QKeySequence::keyBindings(QKeySequence::Back));
    aForward = MakeAction("aForward", tr("&Forward"), QKeySequence::keyBindings(QKeySequence::Forward));
    aIndex = MakeAction("aIndex", tr("&Contents"), {QKeySequence(Qt::ALT | Qt::Key_Home)});
    aClose = MakeAction("aClose", tr("C&lose"), {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)});
    aBack->setEnabled(false);
    aForward->setEnabled(false);
    connect(aBack, &QAction::triggered, tbPage, &QTextBrowser::backward);
    connect(aForward, &QAction::triggered, tbPage, &QTextBrowser::forward);
    connect(aIndex, &QAction::triggered, this, [this] { OpenTopic(kHelpIndexTopic); });
    connect(aClose, &QAction::triggered, this, &QWidget::close);
    connect(tbPage, &QTextBrowser::backwardAvailable, aBack, &QAction::setEnabled);
    connect(tbPage, &QTextBrowser::forwardAvailable, aForward, &QAction::setEnabled);

    auto* tbHelp = new QToolBar(this);
    tbHelp->setObjectName("tbHelp");
    tbHelp->addActions({aBack, aForward, aIndex});
    tbHelp->addSeparator();
    tbHelp->addAction(aClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(tbHelp);
    layout->addWidget(tbPage, 1);
    resize(kHelpWindowSize);
}

QAction* THelpWindow::MakeAction(const char* name, const QString& caption, const QList<QKeySequence>& shortcuts)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(name);
    action->setShortcuts(shortcuts);
    action->setShortcutContext(Qt::WindowShortcut);
    addAction(action);
    return action;
}

void THelpWindow::hideEvent(QHideEvent* event)
{
    // The window that asked for help has the keyboard again, whatever the
    // window manager would choose.
    const QWidget* active = QApplication::activeWindow();
    const bool heldTheKeyboard = !active || active == this;
    if (!event->spontaneous() && heldTheKeyboard && parentWidget() && parentWidget()->isVisible())
        parentWidget()->window()->activateWindow();
    QWidget::hideEvent(event);
}

bool THelpWindow::OpenTopic(const QString& topic)
{
    const QString path = HelpPagePath(topic);
    if (path.isEmpty())
        return false;
    tbPage->setSource(QUrl::fromLocalFile(path));
    return true;
}

QString MissingHelpMessage(const QString& topic)
{
    return QCoreApplication::translate("THelpWindow", "The help page \"%1\" is not installed (looked in %2).")
        .arg(topic, ProgramDataFolder() + "/help");
}

bool ShowHelpTopic(const QString& topic)
{
    if (HelpPagePath(topic).isEmpty())
        return false;
    QWidget* owner = HelpOwner();
    THelpWindow& window = HelpWindowOver(owner);
    window.OpenTopic(topic);
    if (!window.isVisible())
        PlaceOver(window, owner);
    window.show();
    window.raise();
    window.activateWindow();
    return true;
}

THelpWindow* HelpWindow()
{
    return gHelpWindow;
}
