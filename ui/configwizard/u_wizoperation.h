#pragma once
// The configuration wizard's first page: what the new profile is for, and
// whether a duplicate scan's directories are asked in detail.
#include "ui/profile/up_frprofile.h"

class QCheckBox;
class QLabel;
class TRadioGroup;

// rgOp's items, in order.
enum TWizOperation { opScan = 0, opCopyFromCD = 1, opBanlist = 2, opEdit = 3 };

class TfrWizOperation : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrWizOperation(QWidget* parent = nullptr);

    // The chosen item; none chosen is a scan.
    TWizOperation Operation() const;
    // Ticked and offered: only a scan has advanced directory questions.
    bool Advanced() const;

    QLabel* Label1;
    TRadioGroup* rgOp;
    QCheckBox* cbAdvanced;

private slots:
    void rgOpClick();
};
