#include "ui/mpleditor/u_mpleditor.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include "engine/u_cvprofile.h"
#include "model/u_bwfsdrive.h"
#include "ui/trees/u_bwdirtv.h"
#include "ui/mpleditor/u_mplfiletable.h"
#include "ui/common/u_menubarkeys.h"
#include "ui/common/u_reportcolumns.h"
#include "ui/common/u_pictures.h"
#include "ui/progress/u_progress.h"

TBWDirMpl* AddVolumeToMpl(TBWDirMpl* list, TBWDirectory* dir, const std::string& name)
{
    TProgressWindowSink progress(CurrentProfile().AnimNo);
    return AddVolumeToMpl(list, dir, name, progress);
}

// -------------------------------------------------------------- TfMPLEditor

TfMPLEditor::TfMPLEditor(QWidget* parent) : QDialog(parent), progress_(CurrentProfile().AnimNo), commands_(progress_)
{
    setObjectName("fMPLEditor");
    setWindowTitle(tr("Mp3 List Editor"));
    // The picture of the main window's action that opens the editor.
    setWindowIcon(dmCentral->BigIL.Icon(biEditMpl));
    BuildActions();
    BuildViews();
    BuildMenus();
    BuildToolBar();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setMenuBar(mm);
    layout->addWidget(ToolBar1);
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(mpl);
    splitter->addWidget(lvFiles);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 560});
    layout->addWidget(splitter, 1);
    resize(800, 500);
    if (const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    UpdateActions();
}

TfMPLEditor::~TfMPLEditor() = default;

QAction* TfMPLEditor::MakeAction(TMplEditorAction action, const char* name, const QString& caption,
                                 const QKeySequence& shortcut, int image)
{
    auto* qaction = new QAction(dmCentral->BigIL.Icon(image), caption, this);
    qaction->setObjectName(name);
    qaction->setShortcut(shortcut);
    // Shortcuts work whichever of the window's views has the focus.
    qaction->setShortcutContext(Qt::WindowShortcut);
    addAction(qaction);
    actions_[action] = qaction;
    return qaction;
}

void TfMPLEditor::BuildActions()
{
    using A = TMplEditorAction;
    connect(MakeAction(A::NewList, "aNewList", tr("&New Mp3 List"), QKeySequence("Ctrl+N"), biNewList),
            &QAction::triggered, this, &TfMPLEditor::aNewListExecute);
    connect(MakeAction(A::AddVolume, "aAddVolume", tr("&Add Volume"), QKeySequence("Ctrl+A"), biAddVolume),
            &QAction::triggered, this, &TfMPLEditor::aAddVolumeExecute);
    connect(MakeAction(A::Delete, "aDelete", tr("&Delete dir"), QKeySequence(Qt::Key_Delete), biDelete),
            &QAction::triggered, this, &TfMPLEditor::aDeleteExecute);
    connect(MakeAction(A::Save, "aSave", tr("&Save Changes"), QKeySequence("Ctrl+S"), biSave), &QAction::triggered,
            this, &TfMPLEditor::aSaveExecute);
    connect(MakeAction(A::Close, "aClose", tr("&Close Window"), QKeySequence("Ctrl+Q"), biClose),
            &QAction::triggered, this, &QDialog::reject);
    connect(MakeAction(A::Import, "aImport", tr("&Import List"), QKeySequence("Ctrl+I"), biImport),
            &QAction::triggered, this, &TfMPLEditor::aImportExecute);
    connect(MakeAction(A::Export, "aExport", tr("&Export List"), QKeySequence("Ctrl+E"), biExport),
            &QAction::triggered, this, &TfMPLEditor::aExportExecute);
    connect(MakeAction(A::Help, "aHelp", tr("&Help"), QKeySequence(Qt::Key_F1), biHelp), &QAction::triggered,
            this, &TfMPLEditor::aHelpExecute);
}

void TfMPLEditor::BuildMenus()
{
    using A = TMplEditorAction;
    mm = new QMenuBar(this);
    mm->setObjectName("mm");
    QMenu* file = mm->addMenu(tr("&File"));
    for (A action : {A::NewList, A::AddVolume, A::Delete, A::Save, A::Close})
        file->addAction(actions_[action]);
    QMenu* tools = mm->addMenu(tr("&Tools"));
    tools->addAction(actions_[A::Import]);
    tools->addAction(actions_[A::Export]);
    mm->addMenu(tr("&Help"))->addAction(actions_[A::Help]);
    OpenFirstMenuOnF10(*mm);
}

void TfMPLEditor::BuildToolBar()
{
    using A = TMplEditorAction;
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolBar1->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ToolBar1->setIconSize(dmCentral->BigIL.Size());
    ToolBar1->setMovable(false);
    for (A action : {A::NewList, A::AddVolume, A::Delete})
        ToolBar1->addAction(actions_[action]);
    ToolBar1->addSeparator();
    ToolBar1->addAction(actions_[A::Save]);
    ToolBar1->addSeparator();
    ToolBar1->addAction(actions_[A::Help]);
    ToolBar1->addAction(actions_[A::Close]);
    for (QAction* action : ToolBar1->actions())
        if (QWidget* button = ToolBar1->widgetForAction(action); button && !action->isSeparator())
            button->setMinimumSize(77, 52);
}

void TfMPLEditor::BuildViews()
{
    mpl = new TBWMPLTV(this, &FSDrive());
    mpl->setObjectName("mpl");
    mpl->SetImages(&dmCommonPics->dirIL);
    mpl->SetStateImages(&dmCentral->IL);
    mpl->SetAcceptDrag(false);
    connect(mpl, &TBWDirTV::selectionChange, this, &TfMPLEditor::mplChange);

    files_ = new TMplFileTableModel(this);
    lvFiles = new QTableView(this);
    lvFiles->setObjectName("lvFiles");
    lvFiles->setModel(files_);
    lvFiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvFiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvFiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lvFiles->setIconSize(dmCentral->IL.Size());
    lvFiles->setShowGrid(false);
    lvFiles->setWordWrap(false);
    lvFiles->verticalHeader()->hide();
    lvFiles->verticalHeader()->setDefaultSectionSize(lvFiles->fontMetrics().height() + 6);
    QHeaderView* header = lvFiles->horizontalHeader();
    header->setHighlightSections(false);
    new TReportColumns(*lvFiles, *header, TMplFileTableModel::colPath, false);
}

void TfMPLEditor::UpdateActions()
{
    for (auto& [action, qaction] : actions_)
        qaction->setEnabled(commands_.IsEnabled(action));
    // An empty tip gives back the one made from the caption.
    actions_.at(TMplEditorAction::AddVolume)->setToolTip(ReadOnlyNote(commands_.SelectedDir()));
    // The modified marks change with the same operations as Save Changes;
    // the tree hears only of folders that come and go.
    mpl->UpdateImages({});
}

void TfMPLEditor::mplChange()
{
    commands_.SetSelectedDir(mpl->SelectedDirectory());
    files_->SetDirectory(commands_.SelectedDir());
    UpdateActions();
}

void TfMPLEditor::aNewListExecute()
{
    commands_.NewList();
    mplChange();
}

void TfMPLEditor::aAddVolumeExecute()
{
    TBWDirectory* chosen = mpl->SelectedDirectory();
    TBWDirMpl* volume = commands_.AddVolume([this](bool reading) {
        if (reading)
            mpl->BeginUpdate();
        else
            mpl->EndUpdate();
        UpdateActions();
    });
    // Reading the disc rebuilt the tree: the user goes on from the new
    // volume, or from where they were when nothing was added.
    if (volume)
        chosen = volume;
    if (chosen && !mpl->SelectedDirectory())
        mpl->SelectNode(mpl->FindNode({}, chosen, false));
    mplChange();
}

void TfMPLEditor::aDeleteExecute()
{
    // The table must not show the files of a folder that is going.
    files_->SetDirectory(nullptr);
    commands_.Delete();
    mplChange();
}

void TfMPLEditor::aSaveExecute()
{
    mpl->clearSelection();
    files_->SetDirectory(nullptr);
    commands_.Save();
    mplChange();
}

void TfMPLEditor::aImportExecute()
{
    commands_.Import();
    mplChange();
}

void TfMPLEditor::aExportExecute()
{
    commands_.Export();
}

void TfMPLEditor::aHelpExecute()
{
    commands_.Help();
}

void TfMPLEditor::done(int result)
{
    files_->SetDirectory(nullptr);
    if (!commands_.Close()) {
        mplChange();
        return;
    }
    QDialog::done(result);
}

bool TfMPLEditor::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate && ProgressActive())
        ShowProgress().raise();
    return QDialog::event(event);
}
