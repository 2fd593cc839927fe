#pragma once
// The "Exclusions" page of the profile editor: the word thresholds and the
// file-name patterns that keep files out of a comparison, one pattern per
// line, with a zone where the user tries a name against them. The page
// cannot be left while a line is not a valid pattern.
#include <QStringList>
#include <string>

#include "ui/profile/up_frprofile.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;

// The memo's text for the stored patterns: one line per pattern, without a
// line break after the last, so a line the user adds is no empty pattern.
QString PatternMemoText(const std::string& exclusionText);
// The memo's lines: a line break at the very end closes the last line and
// opens no new one.
QStringList PatternLines(const QString& memoText);
// The text to store: every line followed by ";".
std::string PatternTextToStore(const QString& memoText);
// The message for the first line that is not a valid pattern; empty when all are.
QString InvalidPatternMessage(const QStringList& lines);
// What the test zone reports for a name: the first line that matches it, or
// the first invalid line met before one does, or that no line matches.
QString PatternTestMessage(const QString& name, const QStringList& lines);

class TfrcProCVPoolExclusions : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrcProCVPoolExclusions(QWidget* parent = nullptr);

    void LoadFromProfile() override;
    // The memo then shows the patterns as the profile keeps them: lower-cased.
    void SaveToProfile() override;
    QString Validate() override;

    QLabel* Label1;
    QLabel* Label3;
    QSpinBox* seMinWordCount;
    QLabel* Label4;
    QSpinBox* seMinWordLength;
    QLabel* Label2;
    QPlainTextEdit* mPatterns;
    QLabel* Label6;
    QLineEdit* edtTest;
    QLabel* lblTestResults;
    QLabel* Label5;

private slots:
    void mPatternsChange();
    void edtTestChange();
};
