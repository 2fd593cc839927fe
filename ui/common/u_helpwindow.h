#pragma once
// The help: HTML pages shipped in the program's data folder under "help",
// one per topic (for example "corvella/scanresult/index.htm"), shown in one
// maximised help window. Windows reach it through Prompts().ShowHelpTopic.
#include <QString>
#include <QTextBrowser>

// The folder of the program's shipped data: $CORVELLA_DATA_DIR, else
// <exe dir>/../share/corvella when installed, else the source tree's.
QString ProgramDataFolder();

// The page of a topic, empty when no such page is shipped.
QString HelpPagePath(const QString& topic);

class THelpWindow : public QTextBrowser {
public:
    THelpWindow();
    // False, and the window unchanged, when the topic has no page.
    bool OpenTopic(const QString& topic);
};

// Opens the topic in the one help window, shown maximised. A topic without a page is
// reported with an error box instead, and gives false.
bool ShowHelpTopic(const QString& topic);
