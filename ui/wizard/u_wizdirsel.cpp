#include "ui/wizard/u_wizdirsel.h"

#include <QLabel>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "engine/u_cvprofile.h"
#include "model/u_bwfsdrive.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/common/u_pictures.h"

TfrWizDirSel::TfrWizDirSel(QWidget* parent, TBWFSDrive* modelRoot)
    : TfrpProfile(parent), Label1(new QLabel(QStringLiteral("Where are your music files located?"), this)),
      dir(new TBWDriveTV(this, modelRoot)), edtCurrPath(new QLineEdit(this))
{
    setObjectName("frWizDirSel");
    SetPageTitle(QStringLiteral("Directory selection"));
    SetHelpTopic(QStringLiteral("directories.htm"));
    Label1->setObjectName("Label1");
    dir->setObjectName("dir");
    dir->SetImages(&dmCommonPics->dirIL);
    dir->SetDriveOptions(doUser | doDrives | doMPL);
    edtCurrPath->setObjectName("edtCurrPath");
    edtCurrPath->setReadOnly(true);
    connect(dir, &TBWDirTV::selectionChange, this, &TfrWizDirSel::dirChange);

    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(16, 8, 16, 8);
    page->addWidget(Label1);
    page->addWidget(dir, 1);
    page->addWidget(edtCurrPath);
}

void TfrWizDirSel::LoadFromProfile()
{
    dir->ModelRoot().Refresh();
    dir->Rebuild();
    SelectPath(ChosenBefore());
}

void TfrWizDirSel::SelectPath(const std::string& path)
{
    TBWDirectory* folder = path.empty() ? nullptr : dir->ModelRoot().FindDir(path, false);
    const QModelIndex node = folder ? dir->FindNode({}, folder, false) : QModelIndex();
    if (node.isValid())
        dir->SelectNode(node);
    else
        // The current row too: a highlighted row would look chosen.
        dir->selectionModel()->clear();
    // A rebuilt tree may say nothing of the selection it lost.
    dirChange();
}

std::string TfrWizDirSel::ChosenBefore() const
{
    const std::vector<std::string>& chosen = Profile().DirPath;
    return chosen.empty() ? std::string() : chosen.back();
}

std::string TfrWizDirSel::SelectedPath() const
{
    return dir->SelectedPath();
}

void TfrWizDirSel::dirChange()
{
    edtCurrPath->setText(QString::fromStdString(dir->SelectedPath()));
}
