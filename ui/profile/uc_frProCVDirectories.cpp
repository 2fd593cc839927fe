#include "ui/profile/uc_frProCVDirectories.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "engine/u_cvprofile.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/common/u_pictures.h"

namespace {

// The roles of the menu items, in menu order.
struct TRoleItem {
    const char* name;
    const char* caption;
    int role;
};

constexpr TRoleItem DriveItems[] = {
    {"Adddirectorywithpriority11", "Add directory with priority &1 (lowest)", dtPriority1},
    {"Adddirectorywithpriority21", "Add directory with priority &2", dtPriority2},
    {"Adddirectorywithpriority31", "Add directory with priority &3", dtPriority3},
    {"Adddirectorywithpriority41", "Add directory with priority &4", dtPriority4},
    {"Adddirectorywithpriority51", "Add directory with priority &5 (highest)", dtPriority5},
    {"Adddirectorywithreferencepriority1", "Add directory with &reference priority", dtReference},
};

constexpr TRoleItem DirItems[] = {
    {"MenuItem1", "Set directory to priority &1 (lowest)", dtPriority1},
    {"MenuItem2", "Set directory to priority &2", dtPriority2},
    {"MenuItem3", "Set directory to priority &3", dtPriority3},
    {"MenuItem4", "Set directory to priority &4", dtPriority4},
    {"MenuItem5", "Set directory to priority &5 (highest)", dtPriority5},
    {"MenuItem6", "Set directory to &reference priority", dtReference},
    {"Excludedirectory1", "&Exclude directory", dtExcluded},
};

// The role a key typed in the profile's tree sets.
std::optional<int> RoleOfKey(QChar key)
{
    if (key >= '1' && key <= '5')
        return dtPriority1 + (key.unicode() - '1');
    if (key.toUpper() == 'R')
        return dtReference;
    if (key.toUpper() == 'X')
        return dtExcluded;
    return std::nullopt;
}

QLabel* CentredLabel(const char* name, const QString& caption, QWidget* parent)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

QPushButton* ArrowButton(const char* name, const QString& arrow, QWidget* parent)
{
    auto* button = new QPushButton(arrow, parent);
    button->setObjectName(name);
    button->setFixedSize(25, 25);
    return button;
}

}  // namespace

int RoleImage(int role)
{
    if (role >= dtPriority1 && role <= dtReference)
        return role;
    return role == dtExcluded ? riExcluded : -1;
}

TfrcProCVDirectories::TfrcProCVDirectories(QWidget* parent, TBWFSDrive* modelRoot)
    : TfrpProfile(parent), Label1(CentredLabel("Label1", {}, this)),
      Label2(CentredLabel("Label2", QStringLiteral("Profile selection"), this)),
      Label3(CentredLabel("Label3", QStringLiteral("Your computer"), this)),
      Label4(CentredLabel("Label4",
                          QStringLiteral("Right-click in the trees for more options. Priority 5 is the highest, "
                                         "1 the lowest: of two duplicates, the file of higher priority is kept."),
                          this)),
      de(new TBWDriveTV(this, modelRoot)), tvAdd(new TBWDirTV(this, modelRoot)),
      BitBtn1(ArrowButton("BitBtn1", QStringLiteral("\u2192"), this)),
      BitBtn2(ArrowButton("BitBtn2", QStringLiteral("\u2190"), this)), pmDrive(new QMenu(this)), pmDir(new QMenu(this))
{
    SetHelpTopic(QStringLiteral("directories.htm"));
    Label4->setWordWrap(true);

    de->setObjectName("de");
    de->SetImages(&dmCommonPics->dirIL);
    de->SetPopupMenu(pmDrive);
    de->setDragEnabled(true);
    de->SetDriveOptions(doUser | doDrives | doMPL);

    tvAdd->setObjectName("tvAdd");
    tvAdd->SetImages(&dmCentral->PriIL);
    tvAdd->SetPopupMenu(pmDir);
    tvAdd->SetAcceptDrag(true);
    tvAdd->OnDirImage = [](TBWDirectory* dir, TImageIndexType, int& image) {
        image = RoleImage(Profile().GetDirPriority(dir->Path()));
    };
    tvAdd->installEventFilter(this);
    connect(tvAdd, &TBWDirTV::dirChange, this, &TfrcProCVDirectories::tvAddDirChange);
    connect(BitBtn1, &QPushButton::clicked, this, &TfrcProCVDirectories::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TfrcProCVDirectories::BitBtn2Click);

    BuildMenus();
    LayOut();
}

void TfrcProCVDirectories::BuildMenus()
{
    pmDrive->setObjectName("pmDrive");
    for (const TRoleItem& item : DriveItems) {
        QAction* action = pmDrive->addAction(dmCentral->PriIL.Icon(RoleImage(item.role)), item.caption);
        action->setObjectName(item.name);
        connect(action, &QAction::triggered, this, [this, role = item.role] { Adddirectorywithpriority11Click(role); });
    }
    pmDir->setObjectName("pmDir");
    for (const TRoleItem& item : DirItems) {
        QAction* action = pmDir->addAction(dmCentral->PriIL.Icon(RoleImage(item.role)), item.caption);
        action->setObjectName(item.name);
        connect(action, &QAction::triggered, this, [this, role = item.role] { MenuItem1Click(role); });
    }
    QAction* reset = pmDir->addAction(QStringLiteral("Reset &all priorities to default"));
    reset->setObjectName("Resetallprioritytodefault1");
    connect(reset, &QAction::triggered, this, &TfrcProCVDirectories::Resetallprioritytodefault1Click);
}

void TfrcProCVDirectories::LayOut()
{
    auto* Panel1 = new QWidget(this);
    Panel1->setObjectName("Panel1");
    Panel1->setFixedWidth(40);
    auto* buttons = new QVBoxLayout(Panel1);
    buttons->addStretch();
    buttons->addWidget(BitBtn1, 0, Qt::AlignHCenter);
    buttons->addWidget(BitBtn2, 0, Qt::AlignHCenter);
    buttons->addStretch();

    // Both trees, each under its caption, share the room a wider editor gives.
    de->setMinimumWidth(209);
    Label1->setFixedWidth(40);
    auto* trees = new QGridLayout;
    trees->setSpacing(0);
    trees->addWidget(Label3, 0, 0);
    trees->addWidget(Label1, 0, 1);
    trees->addWidget(Label2, 0, 2);
    trees->addWidget(de, 1, 0);
    trees->addWidget(Panel1, 1, 1);
    trees->addWidget(tvAdd, 1, 2);
    trees->setColumnStretch(0, 2);
    trees->setColumnStretch(2, 3);
    trees->setRowStretch(1, 1);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addLayout(trees, 1);
    page->addWidget(Label4);
}

void TfrcProCVDirectories::LoadFromProfile()
{
    // Emptied on screen first: a path already shown would count as covered.
    tvAdd->Roots().Reload();
    tvAdd->Rebuild();
    for (const std::string& path : Profile().DirPath)
        tvAdd->AddPath(path);
    tvAdd->Rebuild();
}

void TfrcProCVDirectories::SaveToProfile()
{
    std::vector<std::string>& dirs = Profile().DirPath;
    dirs.clear();
    for (TBWChainNode* node = tvAdd->Roots().SubDirs()->Head(); node; node = node->Next())
        if (auto* root = dynamic_cast<TBWDirectory*>(node->Item()))
            dirs.push_back(root->Path());
}

void TfrcProCVDirectories::AddSelectedDirectory(const std::function<std::optional<int>(const std::string&)>& role)
{
    TBWDirectory* dir = de->SelectedDirectory();
    // A directory already covered is only selected in tvAdd: rebuilding
    // would lose that selection.
    if (!dir || !tvAdd->AddDirectory(dir))
        return;
    if (const std::optional<int> given = role(dir->Path()))
        Profile().SetDirPriority(dir->Path(), *given);
    tvAdd->Rebuild();
}

void TfrcProCVDirectories::BitBtn1Click()
{
    // An excluded directory the user adds on purpose is scanned again; any
    // other keeps the role it has, own or inherited.
    AddSelectedDirectory([](const std::string& path) -> std::optional<int> {
        if (Profile().GetDirPriority(path) == dtExcluded)
            return dtPriority3;
        return std::nullopt;
    });
}

void TfrcProCVDirectories::Adddirectorywithpriority11Click(int role)
{
    if (role >= dtPriority1 && role <= dtReference)
        AddSelectedDirectory([role](const std::string&) { return std::optional<int>(role); });
}

void TfrcProCVDirectories::BitBtn2Click()
{
    const QModelIndex selected = tvAdd->SelectedNode();
    if (!selected.isValid())
        return;
    if (selected.parent().isValid()) {
        MenuItem1Click(dtExcluded);
        return;
    }
    tvAdd->RemoveSelectedRoot();
    tvAdd->Rebuild();
    // The profile's list must lose the root before its roles are cleaned.
    SaveToProfile();
    Profile().CleanDirPriorities();
}

void TfrcProCVDirectories::MenuItem1Click(int role)
{
    TBWDirectory* dir = tvAdd->SelectedDirectory();
    if (!dir)
        return;
    Profile().SetDirPriority(dir->Path(), role);
    tvAdd->UpdateImages(tvAdd->SelectedNode());
    Changed();
}

void TfrcProCVDirectories::Resetallprioritytodefault1Click()
{
    Profile().ClearDirPriorities();
    tvAdd->Rebuild();
    Changed();
}

void TfrcProCVDirectories::tvAddDirChange()
{
    Changed();
}

bool TfrcProCVDirectories::tvAddKeyPress(const QString& text)
{
    if (text.isEmpty() || !text.front().isPrint())
        return false;
    if (const std::optional<int> role = RoleOfKey(text.front()))
        MenuItem1Click(*role);
    return true;
}

bool TfrcProCVDirectories::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tvAdd && event->type() == QEvent::KeyPress)
        return tvAddKeyPress(static_cast<QKeyEvent*>(event)->text());
    return TfrpProfile::eventFilter(watched, event);
}
