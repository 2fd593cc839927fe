#pragma once
// The help: HTML pages shipped in the program's data folder under "help",
// one per topic (for example "corvella/scanresult/index.htm"), shown in one
// help window. Windows reach it through Prompts().ShowHelpTopic. The window
// belongs to the window that asked for it, so that a modal window does not
// block its own help.
#include <QString>
#include <QWidget>

class QAction;
class QTextBrowser;

// The folder of the program's shipped data: $CORVELLA_DATA_DIR, else
// <exe dir>/../share/corvella when installed, else the source tree's.
QString ProgramDataFolder();

// The page of a topic, empty when no such page is shipped.
QString HelpPagePath(const QString& topic);

// The topic every page can go back to.
inline constexpr const char* kHelpIndexTopic = "corvella/index.htm";

class THelpWindow : public QWidget {
public:
    explicit THelpWindow(QWidget* parent = nullptr);
    // False, and the window unchanged, when the topic has no page.
    bool OpenTopic(const QString& topic);
    QTextBrowser& Page() const { return *tbPage; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QAction* MakeAction(const char* name, const QString& caption, const QList<QKeySequence>& shortcuts);

    QTextBrowser* tbPage = nullptr;
    QAction* aBack = nullptr;
    QAction* aForward = nullptr;
    QAction* aIndex = nullptr;
    QAction* aClose = nullptr;
};

// Opens the topic in the one help window, shown over the window that asked
// (the active modal window, else the active window) and made active. A topic
// without a page gives false and shows nothing: Prompts().ShowHelpTopic
// tells the user then, with MissingHelpMessage.
bool ShowHelpTopic(const QString& topic);
// What the user is told when the topic's page is not installed.
QString MissingHelpMessage(const QString& topic);
// The help window when one exists, shown or not.
THelpWindow* HelpWindow();
