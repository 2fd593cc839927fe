#pragma once
// A spin box that refuses a typed value outside its range visibly: the
// digits stay while they are typed, and when the user leaves the box or
// presses Enter the box goes back to the value it had before and shows its
// range; the range is its tooltip too. A plain QSpinBox drops the keystroke
// that leaves the range, so "500" in a box up to 100 silently reads "50".
// The profile pages and the selection wizard's range pages use it.
#include <QSpinBox>

class TRangeSpinBox : public QSpinBox {
    Q_OBJECT
public:
    explicit TRangeSpinBox(int lowest, int highest, QWidget* parent = nullptr);

    // "From 0 to 100", the tooltip.
    QString RangeText() const;

protected:
    QValidator::State validate(QString& text, int& position) const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The typed text is a whole number outside the range.
    bool OutOfRange() const;
    // Puts back the value from before the edit and says the range.
    void Refuse();

    int valueBeforeEdit_ = 0;
};
