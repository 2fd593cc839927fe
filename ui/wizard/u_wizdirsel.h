#pragma once
// The wizards' directory page: a tree of the user's folders, the drives
// and the Mp3 Lists, and the path of the directory selected in it. The
// selection wizard asks for one directory with it; the configuration
// wizard's directory pages build on it.
#include <string>

#include "ui/profile/up_frprofile.h"

class QLabel;
class QLineEdit;
class TBWDriveTV;
class TBWFSDrive;

class TfrWizDirSel : public TfrpProfile {
    Q_OBJECT
public:
    // The tree shows modelRoot (none: the program's model root).
    explicit TfrWizDirSel(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);

    // Reads the model root again and rebuilds the tree, opened at the
    // folder chosen before (a page made again after Back starts there).
    void LoadFromProfile() override;
    std::string SelectedPath() const;
    // Selects the folder in the tree, or nothing for an empty path or one
    // the tree does not show; the path field follows.
    void SelectPath(const std::string& path);

    QLabel* Label1;
    TBWDriveTV* dir;
    QLineEdit* edtCurrPath;

protected:
    // The folder chosen before on this page: the profile's last directory.
    virtual std::string ChosenBefore() const;

private slots:
    void dirChange();
};
