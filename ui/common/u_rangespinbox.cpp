#include "ui/common/u_rangespinbox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolTip>

#include <optional>

namespace {

std::optional<qlonglong> WholeNumber(const QString& text)
{
    bool ok = false;
    const qlonglong number = text.trimmed().toLongLong(&ok);
    return ok ? std::optional<qlonglong>(number) : std::nullopt;
}

} // namespace

TRangeSpinBox::TRangeSpinBox(int lowest, int highest, QWidget* parent) : QSpinBox(parent)
{
    setRange(lowest, highest);
    setToolTip(RangeText());
}

QString TRangeSpinBox::RangeText() const
{
    return QString("From %1 to %2").arg(minimum()).arg(maximum());
}

QValidator::State TRangeSpinBox::validate(QString& text, int& position) const
{
    const QValidator::State state = QSpinBox::validate(text, position);
    if (state != QValidator::Invalid)
        return state;
    // A number out of range stays as typed, so that its refusal is seen; it never becomes the value.
    QString digits = text;
    digits.remove(prefix()).remove(suffix());
    return WholeNumber(digits) ? QValidator::Intermediate : QValidator::Invalid;
}

bool TRangeSpinBox::OutOfRange() const
{
    const std::optional<qlonglong> number = WholeNumber(cleanText());
    return number && (*number < minimum() || *number > maximum());
}

void TRangeSpinBox::Refuse()
{
    setValue(valueBeforeEdit_);
    QToolTip::showText(mapToGlobal(QPoint(0, height())), RangeText(), this);
}

void TRangeSpinBox::focusInEvent(QFocusEvent* event)
{
    valueBeforeEdit_ = value();
    QSpinBox::focusInEvent(event);
}

void TRangeSpinBox::focusOutEvent(QFocusEvent* event)
{
    const bool refused = OutOfRange();
    QSpinBox::focusOutEvent(event);
    if (refused)
        Refuse();
}

void TRangeSpinBox::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const bool refused = enter && OutOfRange();
    QSpinBox::keyPressEvent(event);
    if (refused)
        Refuse();
    if (enter)
        valueBeforeEdit_ = value();
}
