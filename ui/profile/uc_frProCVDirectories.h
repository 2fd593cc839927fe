#pragma once
// The profile editor's "Directories" page: the directories a scan takes and
// the role of each directory and subdirectory. The computer's tree on the
// left, the profile's directories on the right, each node showing the role
// that applies to it. Roles reach the profile at once; the directory list
// when the page saves itself.
#include <functional>
#include <optional>
#include <string>

#include "ui/profile/up_frprofile.h"

class QAction;
class QLabel;
class QMenu;
class QPushButton;
class TBWDirTV;
class TBWDriveTV;
class TBWFSDrive;

// The PriIL image of a directory role (excluded has its own mark); -1 for a
// value that is no role.
int RoleImage(int role);

class TfrcProCVDirectories : public TfrpProfile {
    Q_OBJECT
public:
    // Both trees show modelRoot (none: the program's model root).
    explicit TfrcProCVDirectories(QWidget* parent = nullptr, TBWFSDrive* modelRoot = nullptr);

    // The profile's directories become the roots of tvAdd.
    void LoadFromProfile() override;
    // DirPath := the model paths of tvAdd's roots, in order.
    void SaveToProfile() override;

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    TBWDriveTV* de;
    TBWDirTV* tvAdd;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QMenu* pmDrive;
    QMenu* pmDir;

protected:
    // Typed keys in tvAdd set roles (1-5, R, X) and go no further, so the
    // tree does no incremental search.
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void BitBtn1Click();
    void BitBtn2Click();
    void Adddirectorywithpriority11Click(int role);
    void MenuItem1Click(int role);
    void Resetallprioritytodefault1Click();
    void tvAddDirChange();

private:
    void BuildMenus();
    void LayOut();
    // Offers de's selection to tvAdd; when it was added, it gets the role
    // that role gives for its path (none: it keeps its own), and tvAdd is
    // rebuilt.
    void AddSelectedDirectory(const std::function<std::optional<int>(const std::string&)>& role);
    bool tvAddKeyPress(const QString& text);
};
