#pragma once
// The configuration wizard's pages of the Mp3 List built from the user's
// CDs: whether a list exists already, the list's name and each CD's name.
// A name the list model cannot take keeps the user on the page.
#include <string>

#include "ui/profile/up_frprofile.h"

class QLabel;
class QLineEdit;
class TBWDirMpl;
class TBWFSDrive;
class TBWMPLTV;
class TRadioGroup;

class TfrWizStatusMPL : public TfrpProfile {
    Q_OBJECT
public:
    // The tree shows modelRoot's lists (none: the program's model root).
    explicit TfrWizStatusMPL(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);

    // A list built already must be chosen in the tree.
    QString Validate() override;

    // Whether "I already built a Mp3 List" is chosen.
    bool ListBuilt() const;
    // The path selected in the tree of lists; empty when none is.
    std::string SelectedPath() const;

    TRadioGroup* rgMPL;
    TBWMPLTV* dir;

private slots:
    void rgMPLClick();
};

inline constexpr int kMostListNameCharacters = 32;

class TfrWizMPLName : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrWizMPLName(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);

    void LoadFromProfile() override;
    QString Validate() override;
    // The typed name, made fit for the model.
    std::string ListName() const;

    QLabel* Label1;
    QLabel* Label2;
    QLineEdit* edtMPLName;
    TBWMPLTV* dir;

private slots:
    void dirChange();
};

class TfrWizCDName : public TfrpProfile {
    Q_OBJECT
public:
    explicit TfrWizCDName(QWidget* parent = nullptr);

    // The list the CD goes into, so that a name it holds already is refused.
    void SetList(TBWDirMpl* list) { list_ = list; }
    QString Validate() override;
    // The typed name, made fit for the model.
    std::string VolumeName() const;

    QLabel* Label1;
    QLineEdit* edtCDName;

private:
    TBWDirMpl* list_ = nullptr;  // not owned
};
