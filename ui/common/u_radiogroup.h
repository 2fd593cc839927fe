#pragma once
// A captioned group of radio buttons addressed by item index, as the profile
// pages show a choice of one among a few values. Its QButtonGroup (ids =
// item indexes) carries the change signals a page hooks.
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

class TRadioGroup : public QGroupBox {
public:
    TRadioGroup(const QString& caption, const QStringList& items, QWidget* parent = nullptr);

    // The checked item, -1 when none is.
    int ItemIndex() const;
    // Checks the item; an index that names no item leaves the group as it is.
    void SetItemIndex(int index);
    QButtonGroup* Buttons() const { return buttons_; }

private:
    QButtonGroup* buttons_;
};
