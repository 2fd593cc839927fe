#pragma once
// The configuration wizard's text pages: what the master collection and the
// duplicates' directories are, how an Mp3 List is built from CDs, and the
// last page, which also asks what to do with the new profile.
#include "ui/wizard/up_frwizmsg.h"

class TRadioGroup;

class TfrWizTextAddRefDir : public TfrpWizMsg {
    Q_OBJECT
public:
    explicit TfrWizTextAddRefDir(QWidget* parent = nullptr);
};

class TfrWizTextAddDir : public TfrpWizMsg {
    Q_OBJECT
public:
    explicit TfrWizTextAddDir(QWidget* parent = nullptr);
};

class TfrWizTextBuildMPL : public TfrpWizMsg {
    Q_OBJECT
public:
    explicit TfrWizTextBuildMPL(QWidget* parent = nullptr);
};

class TfrpWizTextFinishMPL : public TfrpWizMsg {
    Q_OBJECT
public:
    explicit TfrpWizTextFinishMPL(QWidget* parent = nullptr);
};

// rgPostWizAction's items, in order.
enum TPostWizAction { paRun = 0, paEdit = 1, paNothing = 2 };

class TfrWizTextFinish : public TfrpWizMsg {
    Q_OBJECT
public:
    explicit TfrWizTextFinish(QWidget* parent = nullptr);

    // The chosen item; anything but run or edit is nothing.
    TPostWizAction Action() const;

    TRadioGroup* rgPostWizAction;
};
