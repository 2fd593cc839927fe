#pragma once
// The configuration wizard's drive pages: the drive of a CD to add to an
// Mp3 List, and the drive of a CD with new songs. They show the mounted
// volumes and optical media only.
#include "ui/wizard/u_wizdirsel.h"

class TfrWizDirSelMPL : public TfrWizDirSel {
    Q_OBJECT
public:
    explicit TfrWizDirSelMPL(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);

    // A drive must be chosen: there is nothing to read otherwise.
    QString Validate() override;

protected:
    TfrWizDirSelMPL(const QString& title, const QString& prompt, QWidget* parent, TBWFSDrive* modelRoot);
};

class TfrWizCDSel : public TfrWizDirSelMPL {
    Q_OBJECT
public:
    explicit TfrWizCDSel(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);
};
