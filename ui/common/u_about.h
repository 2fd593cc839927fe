#pragma once
// The about window that the main window's "About Corvella" opens: the
// program's icon, name and version, the maker, and a link to the maker's
// web page opened in the desktop's browser.
#include <QDialog>
#include <QString>

// "Version: " and the file version without its last dot-separated part
// ("4.2.6.1" gives 4.2.6, "1.00" gives 1); a version without a dot is kept
// whole, an empty one gives "Version: " alone.
QString VersionLine(const QString& fileVersion);

// The program's version, as the build names it.
QString ProgramVersion();

class TfAbout : public QDialog {
public:
    explicit TfAbout(QWidget* parent = nullptr);

private:
    void CommentsClick();
};
