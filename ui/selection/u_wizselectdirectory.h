#pragma once
// The selection wizard's directory page: entries in the chosen directory
// or below it.
#include "ui/wizard/u_wizdirsel.h"

class TfrWizSelectDir : public TfrWizDirSel {
    Q_OBJECT
public:
    explicit TfrWizSelectDir(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);

    void SaveToProfile() override;

protected:
    // The selection's own directory, not the scanned profile's.
    std::string ChosenBefore() const override;
};
