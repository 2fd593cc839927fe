#include "ui/profile/uc_frProCVPoolExclusions.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include "base/u_bwfunc.h"
#include "base/u_bwmask.h"
#include "engine/u_cvprofile.h"
#include "ui/common/u_rangespinbox.h"

namespace {

QString NotAValidPattern(const QString& line)
{
    return QCoreApplication::translate("TfrcProCVPoolExclusions", "\"%1\" is not a valid pattern.").arg(line);
}

QSpinBox* NewCountBox(const char* name, QWidget* parent)
{
    auto* box = new TRangeSpinBox(0, 100, parent);
    box->setObjectName(name);
    return box;
}

}  // namespace

QString PatternMemoText(const std::string& exclusionText)
{
    QStringList lines;
    for (const std::string_view pattern : CutAtSemicolons(exclusionText))
        lines << QString::fromUtf8(pattern.data(), static_cast<qsizetype>(pattern.size()));
    return lines.join('\n');
}

QStringList PatternLines(const QString& memoText)
{
    QStringList lines = memoText.split('\n');
    if (memoText.isEmpty() || memoText.endsWith('\n'))
        lines.removeLast();
    return lines;
}

std::string PatternTextToStore(const QString& memoText)
{
    std::string text;
    for (const QString& line : PatternLines(memoText))
        text += line.toStdString() + ";";
    return text;
}

QString InvalidPatternMessage(const QStringList& lines)
{
    for (const QString& line : lines)
        if (!TBWMask(line.toStdString()).IsValid())
            return NotAValidPattern(line);
    return {};
}

QString PatternTestMessage(const QString& name, const QStringList& lines)
{
    for (const QString& line : lines) {
        const TBWMask pattern(line.toStdString());
        if (!pattern.IsValid())
            return NotAValidPattern(line);
        if (pattern.Matches(name.toStdString()))
            return QCoreApplication::translate("TfrcProCVPoolExclusions", "\"%1\" matches with \"%2\".").arg(name, line);
    }
    return QCoreApplication::translate("TfrcProCVPoolExclusions", "\"%1\" does not match any pattern.").arg(name);
}

TfrcProCVPoolExclusions::TfrcProCVPoolExclusions(QWidget* parent)
    : TfrpProfile(parent),
      Label1(new QLabel(tr("This section lets you define which files are ineligible to comparison."), this)),
      Label3(new QLabel(tr("Minimum word count:"), this)),
      seMinWordCount(NewCountBox("seMinWordCount", this)),
      Label4(new QLabel(tr("Minimum word length:"), this)),
      seMinWordLength(NewCountBox("seMinWordLength", this)),
      Label2(new QLabel(tr("Exclude all files with filenames matching these patterns (1 pattern per line):"), this)),
      mPatterns(new QPlainTextEdit(this)),
      Label6(new QLabel(tr("Test zone:"), this)),
      edtTest(new QLineEdit(this)),
      lblTestResults(new QLabel(this)),
      Label5(new QLabel(tr("* All exclusions comparisons are case-insensitive"), this))
{
    for (QLabel* label : {Label1, Label2, Label5})
        label->setWordWrap(true);
    Label1->setObjectName("Label1");
    Label3->setObjectName("Label3");
    Label4->setObjectName("Label4");
    Label2->setObjectName("Label2");
    mPatterns->setObjectName("mPatterns");
    mPatterns->setLineWrapMode(QPlainTextEdit::NoWrap);
    Label6->setObjectName("Label6");
    edtTest->setObjectName("edtTest");
    lblTestResults->setObjectName("lblTestResults");
    Label5->setObjectName("Label5");

    auto* counts = new QFormLayout;
    counts->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    counts->addRow(Label3, seMinWordCount);
    counts->addRow(Label4, seMinWordLength);
    auto* test = new QFormLayout;
    test->addRow(Label6, edtTest);
    test->addRow(QString(), lblTestResults);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(counts);
    layout->addWidget(Label2);
    layout->addWidget(mPatterns, 1);
    layout->addLayout(test);
    layout->addWidget(Label5);

    connect(mPatterns, &QPlainTextEdit::textChanged, this, &TfrcProCVPoolExclusions::mPatternsChange);
    // Trying a name changes nothing in the profile.
    KeepOwnHandler(edtTest);
    connect(edtTest, &QLineEdit::textChanged, this, &TfrcProCVPoolExclusions::edtTestChange);
    SetHelpTopic("exclusions.htm");
}

void TfrcProCVPoolExclusions::LoadFromProfile()
{
    seMinWordCount->setValue(Profile().MinWordCount);
    seMinWordLength->setValue(Profile().MinWordLength);
    mPatterns->setPlainText(PatternMemoText(Profile().ExclusionText()));
}

void TfrcProCVPoolExclusions::SaveToProfile()
{
    Profile().MinWordCount = seMinWordCount->value();
    Profile().MinWordLength = seMinWordLength->value();
    Profile().SetExclusions(PatternTextToStore(mPatterns->toPlainText()));
    // Showing the patterns as stored is no change of the user's.
    const QSignalBlocker quiet(mPatterns);
    mPatterns->setPlainText(PatternMemoText(Profile().ExclusionText()));
}

QString TfrcProCVPoolExclusions::Validate()
{
    return InvalidPatternMessage(PatternLines(mPatterns->toPlainText()));
}

void TfrcProCVPoolExclusions::mPatternsChange()
{
    Changed();
}

void TfrcProCVPoolExclusions::edtTestChange()
{
    lblTestResults->setText(PatternTestMessage(edtTest->text(), PatternLines(mPatterns->toPlainText())));
}
