#include "ui/common/u_helpwindow.h"

#include "ui/common/u_prompts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

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

QString MissingHelpMessage(const QString& topic)
{
    return QCoreApplication::translate("THelpWindow", "The help page \"%1\" is not installed (looked in %2).")
        .arg(topic, ProgramDataFolder() + "/help");
}

} // namespace

THelpWindow::THelpWindow()
{
    setObjectName("HelpWindow");
    setWindowTitle(QCoreApplication::translate("THelpWindow", "Corvella Help"));
    setOpenExternalLinks(true);
}

bool THelpWindow::OpenTopic(const QString& topic)
{
    const QString path = HelpPagePath(topic);
    if (path.isEmpty())
        return false;
    setSource(QUrl::fromLocalFile(path));
    return true;
}

bool ShowHelpTopic(const QString& topic)
{
    // Widgets must go before the application does: the window is freed with it.
    static THelpWindow* window = nullptr;
    if (HelpPagePath(topic).isEmpty()) {
        Prompts().ShowError(QCoreApplication::translate("THelpWindow", "Corvella Help"), MissingHelpMessage(topic));
        return false;
    }
    if (!window) {
        window = new THelpWindow;
        qAddPostRoutine([] {
            delete window;
            window = nullptr;
        });
    }
    window->OpenTopic(topic);
    window->showMaximized();
    window->raise();
    return true;
}
