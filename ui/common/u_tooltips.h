#pragma once
// The tip of the day: TTipWalk decides which line of the tips file is shown,
// TfTooltips shows it, and ShowTips opens the window for the start-up and
// the main window's "Tip of the day" and keeps what the user changed in the
// general settings.
#include <QDialog>
#include <QString>
#include <QStringList>

class QCheckBox;
class QPlainTextEdit;
class TBWCVGenSettings;

// The lines of a tips file, one tip each, split at CR LF, LF or CR; the
// break ending the last line makes no empty tip. Empty when unreadable.
QStringList ReadTipLines(const QString& fileName);

// "bwtips.txt" in the current folder when there is one there, else the one
// shipped in the program's data folder.
QString TipsFilePath();

// Which tip is shown, and of which file.
class TTipWalk {
public:
    // Shows the tip at index of fileName (empty: the file shown last; -1:
    // the tip after the current one); past the end wraps to the first. A
    // file that does not exist changes nothing.
    void ShowTip(const QString& fileName, int index);
    int CurrentTip() const { return currentTip_; }
    const QString& TipsFile() const { return tipsFile_; }
    const QString& Tip() const { return tip_; }

private:
    int currentTip_ = -1;
    QString tipsFile_;
    QString tip_;
};

class TfTooltips : public QDialog {
public:
    TfTooltips();

    void ShowTip(const QString& fileName, int index);
    int CurrentTip() const { return walk_.CurrentTip(); }
    QCheckBox* cbShowTips() const { return cbShowTips_; }

private:
    void bNextClick();

    TTipWalk walk_;
    QCheckBox* cbShowTips_;
    QPlainTextEdit* mmtips_;
};

// With force false, shows the tip window only when the settings ask for it
// at start-up. The tip shown first is settings.LastTip; afterwards LastTip
// is the tip after the last one seen and TipsAtStartup the check box.
void ShowTips(TBWCVGenSettings& settings, bool force);
