#include "ui/selection/u_wizselectcomparison.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QSpinBox>
#include <QVBoxLayout>
#include <cmath>
#include <optional>

#include "ui/selection/u_selectioncriteria.h"
#include "ui/common/u_rangespinbox.h"

namespace {

QString UnitCaption(TBoundUnit unit)
{
    switch (unit) {
    case buMegabytes: return QStringLiteral("MB");
    case buMinutesSeconds: return QStringLiteral("min:sec");
    case buKbitPerSecond: return QStringLiteral("kbit/s");
    case buPercent: return QStringLiteral("%");
    }
    return {};
}

// "4.88" (MB) as KB; nothing for a text that is no such number.
std::optional<int> KilobytesOf(const QString& text)
{
    bool ok = false;
    const double megabytes = text.trimmed().toDouble(&ok);
    if (!ok || std::abs(megabytes) * 1024.0 > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(std::lround(megabytes * 1024.0));
}

// "3:25", "-0:03" or plain seconds ("205") as seconds.
std::optional<int> SecondsOf(const QString& text)
{
    static const QRegularExpression shape(QStringLiteral("^\\s*(-?)(\\d{1,6})(?::(\\d{1,2}))?\\s*$"));
    const QRegularExpressionMatch match = shape.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int first = match.captured(2).toInt();
    const int seconds = match.captured(3).isEmpty() ? first : first * 60 + match.captured(3).toInt();
    return match.captured(1).isEmpty() ? seconds : -seconds;
}

// A bound shown in the list's units while its value keeps the criteria's.
class TBoundSpinBox : public TRangeSpinBox {
public:
    TBoundSpinBox(TBoundUnit unit, int lowest, int highest, QWidget* parent)
        : TRangeSpinBox(lowest, highest, parent), unit_(unit)
    {
        // A step of about a hundredth of a megabyte.
        if (unit == buMegabytes)
            setSingleStep(10);
    }

protected:
    QString textFromValue(int value) const override
    {
        switch (unit_) {
        case buMegabytes: return MegabytesText(value);
        case buMinutesSeconds: return MinutesSecondsText(value);
        default: return TRangeSpinBox::textFromValue(value);
        }
    }
    int valueFromText(const QString& text) const override
    {
        if (const std::optional<int> value = Parsed(text))
            return *value;
        return TRangeSpinBox::valueFromText(text);
    }
    QValidator::State validate(QString& text, int& position) const override
    {
        if (!Shaped())
            return TRangeSpinBox::validate(text, position);
        const std::optional<int> value = Parsed(text);
        if (value && *value >= minimum() && *value <= maximum())
            return QValidator::Acceptable;
        // Room for what is being typed: "-", "3:", "4.".
        static const QRegularExpression partial(QStringLiteral("^\\s*-?[0-9]*[.:]?[0-9]*\\s*$"));
        return partial.match(text).hasMatch() ? QValidator::Intermediate : QValidator::Invalid;
    }

private:
    bool Shaped() const { return unit_ == buMegabytes || unit_ == buMinutesSeconds; }
    std::optional<int> Parsed(const QString& text) const
    {
        if (unit_ == buMegabytes)
            return KilobytesOf(text);
        if (unit_ == buMinutesSeconds)
            return SecondsOf(text);
        return std::nullopt;
    }

    TBoundUnit unit_;
};

}  // namespace

QString MegabytesText(std::int32_t kilobytes)
{
    return QString::number(static_cast<double>(kilobytes) / 1024.0, 'f', 2);
}

QString MinutesSecondsText(std::int32_t seconds)
{
    const std::int64_t length = std::abs(static_cast<std::int64_t>(seconds));
    return (seconds < 0 ? QStringLiteral("-") : QString()) +
           QString::asprintf("%2.2lld:%2.2lld", static_cast<long long>(length / 60), static_cast<long long>(length % 60));
}

TfrpWizSelectComparison::TfrpWizSelectComparison(const QString& message, const QStringList& modes, QWidget* parent)
    : TfrpProfile(parent), lblMsg(new QLabel(message, this)), cbComp(new QComboBox(this)), messageFormat_(message)
{
    lblMsg->setObjectName("lblMsg");
    SetHelpTopic(QStringLiteral("criteria.htm"));
    lblMsg->setWordWrap(true);
    cbComp->setObjectName("cbComp");
    cbComp->addItems(modes);
    KeepOwnHandler(cbComp);
    connect(cbComp, &QComboBox::currentIndexChanged, this, &TfrpWizSelectComparison::cbCompChange);
}

void TfrpWizSelectComparison::PlaceBounds(QWidget* minControl, QWidget* maxControl, const QString& unit)
{
    auto* bounds = new QGridLayout;
    bounds->addWidget(new QLabel(QStringLiteral("Min:"), this), 0, 0);
    bounds->addWidget(minControl, 0, 1);
    bounds->addWidget(new QLabel(QStringLiteral("Max:"), this), 1, 0);
    bounds->addWidget(maxControl, 1, 1);
    if (!unit.isEmpty())
        for (int row : {0, 1}) {
            auto* label = new QLabel(unit, this);
            label->setObjectName(row == 0 ? "lblMinUnit" : "lblMaxUnit");
            bounds->addWidget(label, row, 2);
        }
    bounds->setColumnStretch(3, 1);
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(16, 12, 16, 12);
    page->addWidget(lblMsg);
    page->addWidget(cbComp, 0, Qt::AlignLeft);
    page->addSpacing(8);
    page->addLayout(bounds);
    page->addStretch();
}

QStringList TfrpWizSelectComparison::ValueModes()
{
    return {QStringLiteral("Absolute values"), QStringLiteral("Reference relative values")};
}

void TfrpWizSelectComparison::AddSpinEdits(TRangeFields fields, const QString& orderMessage, TBoundUnit unit,
                                           TRangeDefaults absolute, TRangeDefaults relative, int lowest, int highest)
{
    fields_ = fields;
    orderMessage_ = orderMessage;
    absolute_ = absolute;
    relative_ = relative;
    seMin = new TBoundSpinBox(unit, lowest, highest, this);
    seMax = new TBoundSpinBox(unit, lowest, highest, this);
    seMin->setObjectName("seMin");
    seMax->setObjectName("seMax");
    for (QSpinBox* spin : {seMin, seMax})
        spin->setMinimumWidth(110);
    seMin->setValue(absolute.min);
    seMax->setValue(absolute.max);
    PlaceBounds(seMin, seMax, UnitCaption(unit));
}

void TfrpWizSelectComparison::LoadFromProfile()
{
    cbComp->setCurrentIndex(0);
    lblMsg->setText(QString(messageFormat_).replace(QStringLiteral("%s"), ActionWord(SelectionCriteria.SelAction)));
}

bool TfrpWizSelectComparison::IsRelative() const
{
    return cbComp->currentIndex() == 1;
}

void TfrpWizSelectComparison::SaveToProfile()
{
    if (!seMin)
        return;
    if (fields_.relative)
        *fields_.relative = IsRelative();
    *fields_.min = seMin->value();
    *fields_.max = seMax->value();
}

QString TfrpWizSelectComparison::Validate()
{
    return seMin && seMax->value() < seMin->value() ? orderMessage_ : QString();
}

void TfrpWizSelectComparison::cbCompChange()
{
    if (seMin) {
        const TRangeDefaults& defaults = IsRelative() ? relative_ : absolute_;
        seMin->setValue(defaults.min);
        seMax->setValue(defaults.max);
    }
    Changed();
}
