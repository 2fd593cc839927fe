#pragma once
// The configuration wizard's directory page of a series of questions that
// gives each folder one role: the master collection's folders (references)
// or the folders of the duplicates. A folder that holds another role already
// is refused with a word, so that no answer changes a role unseen.
#include <cstdint>

#include "ui/wizard/u_wizdirsel.h"

class TfrWizRoleDirSel : public TfrWizDirSel {
    Q_OBJECT
public:
    explicit TfrWizRoleDirSel(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);

    // The role the folder chosen here gets; the page starts at the last
    // folder the profile holds with that role when firstPass, else at none.
    void AskFor(std::int32_t role, bool firstPass);
    QString Validate() override;

private:
    std::int32_t role_;
};
