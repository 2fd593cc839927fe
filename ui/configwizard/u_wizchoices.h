#pragma once
// The configuration wizard's pages of one plain choice: where the music
// collection is, and whether to add another directory or CD.
#include "ui/profile/up_frprofile.h"

class QLabel;
class TRadioGroup;

// rgType's items, in order.
enum TCollectionType { ctOnHardDrive = 0, ctWithMasterDirectory = 1, ctOnCD = 2 };

class TfrWizDupeType : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrWizDupeType(QWidget* parent = nullptr);

    // The chosen item; none chosen is the hard drive.
    TCollectionType CollectionType() const;

    QLabel* Label1;
    TRadioGroup* rgType;
};

class TfrWizYesNo : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrWizYesNo(QWidget* parent = nullptr);

    bool YesChosen() const;

    TRadioGroup* rgYesNo;

protected:
    TfrWizYesNo(const QString& title, const QString& question, QWidget* parent);
};

class TfrWizYesNoCD : public TfrWizYesNo {
    Q_OBJECT
public:
    explicit TfrWizYesNoCD(QWidget* parent = nullptr);
};
