#include "ui/results/u_scanresults.h"

#include "base/u_bwfunc.h"
#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "model/u_bwfs.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/results/u_discneeded.h"
#include "ui/results/u_fileoperations.h"
#include "ui/common/u_menubarkeys.h"
#include "ui/common/u_pictures.h"
#include "ui/progress/u_progress.h"
#include "ui/common/u_prompts.h"
#include "ui/common/u_reportcolumns.h"
#include "ui/common/u_screenplace.h"
#include "ui/results/u_renamefile.h"
#include "ui/results/u_resultactions.h"
#include "ui/results/u_warningreplace.h"
#include "ui/selection/u_wizseqselect.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kHelpTopic = "corvella/scanresult/index.htm";
constexpr int kDetailsNameWidth = 100;
constexpr int kDetailsMinimumHeight = 80;
// The share of the screen's width and height the window takes the first time.
constexpr double kFirstScreenShare = 0.8;

static_assert(rcOptionalCount == kResultColumnCount, "one setting per optional column");

} // namespace

TResultActionStates ResultActionStates(std::int32_t resultType, std::int32_t checkedCount,
                                       const TBWDupeFile* selected)
{
    TResultActionStates states;
    states.onChecked = checkedCount > 0;
    // Negative results are files the collection lacks: they are never deleted.
    states.deleteChecked = states.onChecked && resultType != rsNegative;
    const bool hasReference = selected && selected->Reference();
    states.switchRef = resultType == rsDuplicates && hasReference;
    states.replace = hasReference;
    states.rename = selected != nullptr;
    return states;
}

// The report list: clicks on a row's check mark and the list's own keys go to the window.
class TResultsListView : public QTreeView {
public:
    TResultsListView(TfScanResults& window, QWidget* parent) : QTreeView(parent), window_(window) {}

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        const QModelIndex index = indexAt(event->position().toPoint());
        if (event->button() == Qt::LeftButton && index.isValid() && index.column() == 0
            && OnCheckMark(index, event->position().toPoint())) {
            window_.ToggleRow(index.row());
            return;
        }
        QTreeView::mousePressEvent(event);
    }
    void keyPressEvent(QKeyEvent* event) override
    {
        switch (event->key()) {
        case Qt::Key_Space: window_.ToggleSelectedRows(); return;
        case Qt::Key_F2: window_.aRenameFile_->trigger(); return;
        case Qt::Key_X:
            if (!(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
                window_.aSwitch_->trigger();
                return;
            }
            break;
        default: break;
        }
        QTreeView::keyPressEvent(event);
    }

private:
    bool OnCheckMark(const QModelIndex& index, const QPoint& point)
    {
        const TBWDupeFile* entry = window_.Model().EntryAt(index.row());
        if (!entry)
            return false;
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.rect = visualRect(index);
        option.features |= QStyleOptionViewItem::HasDecoration;
        option.decorationSize = iconSize();
        const QRect picture = style()->subElementRect(QStyle::SE_ItemViewItemDecoration, &option, this);
        return TResultsModel::StateImageArea(*entry).translated(picture.topLeft()).contains(point);
    }

    TfScanResults& window_;
};

// Disables every action while a file action runs, so no action starts
// inside another through the messages the progress window processes.
class TfScanResults::TActionGuard {
public:
    explicit TActionGuard(TfScanResults& window) : window_(window)
    {
        window_.busy_ = true;
        window_.UpdateActions();
    }
    ~TActionGuard()
    {
        window_.busy_ = false;
        window_.UpdateActions();
    }
    TActionGuard(const TActionGuard&) = delete;
    TActionGuard& operator=(const TActionGuard&) = delete;

private:
    TfScanResults& window_;
};

// ------------------------------------------------------------ building

TfScanResults::TfScanResults(TBWCVGenSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), model_(new TResultsModel(this))
{
    setObjectName("TfScanResults");
    setWindowTitle("Scan results");
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    specialSelection_ = [this](TBWDupeFileList& results) { return SpecialSelection(results, this); };
    BuildActions();

    lvResults_ = new TResultsListView(*this, this);
    lvResults_->setObjectName("lvResults");
    lvResults_->setModel(model_);
    lvResults_->setRootIsDecorated(false);
    lvResults_->setItemsExpandable(false);
    lvResults_->setUniformRowHeights(true);
    lvResults_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvResults_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvResults_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvResults_->setIconSize(QSize(48, 16));
    lvResults_->setAllColumnsShowFocus(true);
    lvResults_->setContextMenuPolicy(Qt::CustomContextMenu);
    lvResults_->header()->setSectionsClickable(true);
    lvResults_->header()->setSectionsMovable(false);
    columns_ = new TReportColumns(*lvResults_, *lvResults_->header(), rcFileName, true);
    connect(lvResults_->header(), &QHeaderView::sectionClicked, this, &TfScanResults::lvResultsColumnClick);
    connect(lvResults_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfScanResults::lvResultsChange);
    connect(model_, &QAbstractItemModel::modelReset, this, &TfScanResults::lvResultsChange);
    // Ctrl with the arrows moves the current row onto another selected one
    // without changing the selection.
    connect(lvResults_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { ShowDetailsOf(DetailsEntry()); });
    connect(lvResults_, &QAbstractItemView::doubleClicked, this, &TfScanResults::lvResultsDblClick);
    connect(lvResults_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { pmFiles_->popup(lvResults_->viewport()->mapToGlobal(at)); });

    sp1_ = new QSplitter(Qt::Vertical, this);
    sp1_->setObjectName("sp1");
    sp1_->setChildrenCollapsible(false);
    sp1_->addWidget(lvResults_);
    sp1_->addWidget(BuildDetails());
    sp1_->setStretchFactor(0, 3);
    sp1_->setStretchFactor(1, 1);

    sb_ = new QStatusBar(this);
    sb_->setObjectName("sb");
    sb_->setSizeGripEnabled(false);

    BuildMenus();
    BuildToolBar();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(mm_);
    layout->addWidget(toolBar_);
    layout->addWidget(sp1_, 1);
    layout->addWidget(sb_);

    BuildColumns();
    model_->SetSortMark(rcFileName, false);
    InitDetails();
    // The size to come back to when the user un-maximises the window.
    resize(UnmaximisedSize());
    if (settings_.ScanResMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    if (settings_.ScanResDetails)
        aDetails_->trigger();
    UpdateActions();
}

bool TfScanResults::event(QEvent* event)
{
    // A progress window left up by a long operation must not hide behind this one.
    if (event->type() == QEvent::WindowActivate && ProgressActive())
        ShowProgress().raise();
    return QDialog::event(event);
}

TfScanResults::~TfScanResults()
{
    settings_.ScanResMaximized = isMaximized();
    const QSize left = isMaximized() ? normalGeometry().size() : size();
    if (left.isValid()) {
        settings_.ScanResWidth = left.width();
        settings_.ScanResHeight = left.height();
    }
    settings_.ScanResDetails = aDetails_->isChecked();
    SaveColumnWidths();
}

QAction* TfScanResults::MakeAction(const char* name, const QString& caption, const QKeySequence& shortcut, int image,
                                   void (TfScanResults::*handler)())
{
    auto* action = new QAction(dmCentral->BigIL.Icon(image), caption, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    // The list's own keys (Ctrl+A, Ctrl+C ...) must not take the actions' shortcuts.
    action->setShortcutContext(Qt::WindowShortcut);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
    return action;
}

void TfScanResults::BuildActions()
{
    aClose_ = MakeAction("aClose", "&Close Window", QKeySequence("Ctrl+Q"), biClose, &TfScanResults::aCloseExecute);
    aSelectAll_ = MakeAction("aSelectAll", "Check &All", QKeySequence("Ctrl+A"), biCheckAll,
                             &TfScanResults::aSelectAllExecute);
    aSelectNone_ = MakeAction("aSelectNone", "Check &None", QKeySequence("Ctrl+Alt+A"), biCheckNone,
                              &TfScanResults::aSelectNoneExecute);
    aInvertSelection_ = MakeAction("aInvertSelection", "&Invert check state", QKeySequence("Ctrl+Z"),
                                   biInvertChecks, &TfScanResults::aInvertSelectionExecute);
    aDelete_ = MakeAction("aDelete", "&Delete checked", QKeySequence("Ctrl+D"), biDelete,
                          &TfScanResults::aDeleteExecute);
    aCopy_ = MakeAction("aCopy", "&Copy checked", QKeySequence("Ctrl+C"), biCopy, &TfScanResults::aCopyExecute);
    aMove_ = MakeAction("aMove", "&Move checked", QKeySequence("Ctrl+X"), biMove, &TfScanResults::aMoveExecute);
    aDetails_ = MakeAction("aDetails", "View &details", QKeySequence("Ctrl+V"), biDetails,
                           &TfScanResults::aDetailsExecute);
    aDetails_->setCheckable(true);
    aSwitch_ = MakeAction("aSwitch", "&Switch with ref.", QKeySequence("Ctrl+S"), biSwitch,
                          &TfScanResults::aSwitchExecute);
    aHelp_ = MakeAction("aHelp", "&Help", QKeySequence(Qt::Key_F1), biHelp, &TfScanResults::aHelpExecute);
    aSpecialSelection_ = MakeAction("aSpecialSelection", "S&pecial selection...", QKeySequence("Ctrl+E"),
                                    biSpecialSelection, &TfScanResults::aSpecialSelectionExecute);
    aRemoveChecked_ = MakeAction("aRemoveChecked", "&Remove checked", QKeySequence("Ctrl+R"), biRemoveChecked,
                                 &TfScanResults::aRemoveCheckedExecute);
    aRenameFile_ = MakeAction("aRenameFile", "&Rename this file", QKeySequence(), biRename,
                              &TfScanResults::aRenameFileExecute);
    aReplace_ = MakeAction("aReplace", "R&eplace reference with this file", QKeySequence(), biReplace,
                           &TfScanResults::aReplaceExecute);
    aRemoveSelected_ = MakeAction("aRemoveSelected", "Remove selected file(s) from &list",
                                  QKeySequence(Qt::Key_Delete), biRemoveFromList,
                                  &TfScanResults::aRemoveSelectedExecute);
}

void TfScanResults::BuildMenus()
{
    mm_ = new QMenuBar(this);
    mm_->setObjectName("mm");
    mm_->addMenu("&File")->addAction(aClose_);
    QMenu* edit = mm_->addMenu("&Edit");
    edit->addActions({aSelectAll_, aSelectNone_, aInvertSelection_, aDetails_, aSwitch_, aSpecialSelection_});
    mm_->addMenu("&Actions")->addActions({aDelete_, aCopy_, aMove_, aRemoveChecked_});
    QMenu* columns = mm_->addMenu("&Columns");
    static const char* const kItemNames[rcOptionalCount] = {"miPath", "miSize", "miDuration", "miBitrate",
                                                            "miArtist", "miTitle", "miAlbum", "miGenre",
                                                            "miComments", "miRelevance", "miWords"};
    for (int tag = 0; tag < rcOptionalCount; ++tag) {
        QAction* item = columns->addAction(ColumnMenuCaption(tag));
        item->setObjectName(kItemNames[tag]);
        item->setCheckable(true);
        connect(item, &QAction::triggered, this, [this, tag] { miPathClick(tag); });
        columnItems_[static_cast<std::size_t>(tag)] = item;
    }
    mm_->addMenu("&Help")->addAction(aHelp_);
    OpenFirstMenuOnF10(*mm_);

    pmSelect_ = new QMenu(this);
    pmSelect_->setObjectName("pmSelect");
    pmSelect_->addActions({aSelectAll_, aSelectNone_, aInvertSelection_, aSpecialSelection_});
    pmActions_ = new QMenu(this);
    pmActions_->setObjectName("pmActions");
    pmActions_->addActions({aDelete_, aCopy_, aMove_, aRemoveChecked_});
    pmFiles_ = new QMenu(this);
    pmFiles_->setObjectName("pmFiles");
    QAction* play = pmFiles_->addAction("&Play this file in your default player", this,
                                        &TfScanResults::lvResultsDblClick);
    play->setObjectName("miPlay");
    pmFiles_->setDefaultAction(play);
    pmFiles_->addAction("&Open the directory containing this file", this,
                        &TfScanResults::Openthedirectorycontainingthisfile1Click)
        ->setObjectName("Openthedirectorycontainingthisfile1");
    pmFiles_->addActions({aRenameFile_, aRemoveSelected_, aSwitch_, aReplace_});
}

void TfScanResults::BuildToolBar()
{
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName("ToolBar1");
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    toolBar_->setIconSize(QSize(32, 32));
    auto* selectButton = new QToolButton(toolBar_);
    selectButton->setDefaultAction(aSelectAll_);
    selectButton->setMenu(pmSelect_);
    selectButton->setPopupMode(QToolButton::MenuButtonPopup);
    selectButton->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    selectButton->setIconSize(toolBar_->iconSize());
    toolBar_->addWidget(selectButton);
    actionsButton_ = new QToolButton(toolBar_);
    actionsButton_->setObjectName("bActions");
    actionsButton_->setDefaultAction(aDelete_);
    actionsButton_->setMenu(pmActions_);
    actionsButton_->setPopupMode(QToolButton::MenuButtonPopup);
    actionsButton_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    actionsButton_->setIconSize(toolBar_->iconSize());
    toolBar_->addWidget(actionsButton_);
    toolBar_->addAction(aDetails_);
    toolBar_->addAction(aSwitch_);
    toolBar_->addSeparator();
    toolBar_->addAction(aHelp_);
    toolBar_->addAction(aClose_);
}

QWidget* TfScanResults::BuildDetails()
{
    pnlDetails_ = new QWidget(this);
    pnlDetails_->setObjectName("pnlDetails");
    pnlDetails_->setMinimumHeight(kDetailsMinimumHeight);
    auto* layout = new QVBoxLayout(pnlDetails_);
    layout->setContentsMargins(0, 0, 0, 0);
    lvDetails_ = new QTreeWidget(pnlDetails_);
    lvDetails_->setObjectName("lvDetails");
    lvDetails_->setRootIsDecorated(false);
    lvDetails_->setHeaderLabels({"Value Name", "Selected file's values", "Reference file's values"});
    lvDetails_->setColumnWidth(0, kDetailsNameWidth);
    lvDetails_->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    lvDetails_->header()->setSectionResizeMode(2, QHeaderView::Stretch);
    layout->addWidget(lvDetails_);
    lblCompTypeWarning_ = new QLabel("The \"Relevance\" value can be different than actually used value because "
                                     "your profile uses a \"Comparison by field\" method.",
                                     pnlDetails_);
    lblCompTypeWarning_->setObjectName("lblCompTypeWarning");
    lblCompTypeWarning_->setWordWrap(true);
    layout->addWidget(lblCompTypeWarning_);
    pnlDetails_->hide();
    return pnlDetails_;
}

// ------------------------------------------------------------ columns

void TfScanResults::BuildColumns()
{
    std::vector<int> shown;
    for (int tag = 0; tag < rcOptionalCount; ++tag) {
        columnItems_[static_cast<std::size_t>(tag)]->setChecked(settings_.ColShow[static_cast<std::size_t>(tag)]);
        if (settings_.ColShow[static_cast<std::size_t>(tag)])
            shown.push_back(tag);
    }
    // The folder takes the room left; without it, the file's name does.
    const auto path = std::find(shown.begin(), shown.end(), rcPath);
    columns_->SetFillColumn(path == shown.end() ? 0 : static_cast<int>(path - shown.begin()) + 1);
    model_->SetColumns(shown);
    for (std::size_t column = 0; column < shown.size(); ++column)
        lvResults_->setColumnWidth(static_cast<int>(column) + 1,
                                   settings_.ColSize[static_cast<std::size_t>(shown[column])]);
    columns_->Fit();
}

void TfScanResults::SaveColumnWidths()
{
    for (int column = 1; column < model_->columnCount(); ++column)
        settings_.ColSize[static_cast<std::size_t>(model_->ColumnTag(column))] = lvResults_->columnWidth(column);
}

void TfScanResults::miPathClick(int tag)
{
    SaveColumnWidths();
    settings_.ColShow[static_cast<std::size_t>(tag)] = !settings_.ColShow[static_cast<std::size_t>(tag)];
    BuildColumns();
}

// ------------------------------------------------------------ the list

void TfScanResults::SetResults(TBWDupeFileList* results)
{
    results_ = results;
    model_->SetResults(results);
    const TBWCVProfile* profile = results ? &results->Profile() : nullptr;
    const bool negative = profile && profile->ResultType == rsNegative;
    aDelete_->setVisible(!negative);
    aSwitch_->setVisible(!profile || profile->ResultType == rsDuplicates);
    actionsButton_->setDefaultAction(negative ? aCopy_ : aDelete_);
    actionsButton_->setMenu(pmActions_);
    lblCompTypeWarning_->setVisible(profile && ComparesByFields(profile->CompType));
    UpdateActions();
}

void TfScanResults::SetSpecialSelection(std::function<bool(TBWDupeFileList&)> run)
{
    specialSelection_ = std::move(run);
    UpdateActions();
}

void TfScanResults::RefreshList()
{
    model_->Rebuild();
    UpdateStatus();
}

void TfScanResults::UpdateStatus()
{
    if (results_) {
        sb_->showMessage(StatusText(results_->SelectedCount(), results_->SelectableCount(),
                                    results_->SelectedTotal(0), results_->Total(0)));
    } else {
        sb_->clearMessage();
    }
    UpdateActions();
}

void TfScanResults::UpdateActions()
{
    const bool idle = !busy_ && results_;
    const TResultActionStates states =
        idle ? ResultActionStates(results_->Profile().ResultType, results_->SelectedCount(), SelectedEntry())
             : TResultActionStates{};
    for (QAction* action : {aSelectAll_, aSelectNone_, aInvertSelection_, aRemoveSelected_})
        action->setEnabled(idle);
    aClose_->setEnabled(!busy_);
    aHelp_->setEnabled(!busy_);
    aDetails_->setEnabled(!busy_);
    aSpecialSelection_->setEnabled(idle && specialSelection_);
    aDelete_->setEnabled(states.deleteChecked);
    for (QAction* action : {aCopy_, aMove_, aRemoveChecked_})
        action->setEnabled(states.onChecked);
    aSwitch_->setEnabled(states.switchRef);
    aReplace_->setEnabled(states.replace);
    aRenameFile_->setEnabled(states.rename);
    for (QAction* item : columnItems_)
        item->setEnabled(!busy_);
}

TBWDupeFile* TfScanResults::SelectedEntry() const
{
    int first = -1;
    for (const QItemSelectionRange& range : lvResults_->selectionModel()->selection())
        if (first < 0 || range.top() < first)
            first = range.top();
    return model_->EntryAt(first);
}

std::vector<TBWDupeFile*> TfScanResults::SelectedEntries() const
{
    std::vector<TBWDupeFile*> entries;
    for (const QModelIndex& index : lvResults_->selectionModel()->selectedRows())
        if (TBWDupeFile* entry = model_->EntryAt(index.row()))
            entries.push_back(entry);
    return entries;
}

void TfScanResults::SelectRow(int row)
{
    const QModelIndex index = model_->index(row, 0);
    lvResults_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect
                                                              | QItemSelectionModel::Rows);
    lvResults_->scrollTo(index);
}

QSize TfScanResults::UnmaximisedSize() const
{
    if (settings_.ScanResWidth > 0 && settings_.ScanResHeight > 0)
        return WithinScreen(QRect(QPoint(), QSize(settings_.ScanResWidth, settings_.ScanResHeight))).size();
    // First time: room for the list and the details, the desktop still in sight.
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    return available.size() * kFirstScreenShare;
}

TBWDupeFile* TfScanResults::DetailsEntry() const
{
    const QModelIndex current = lvResults_->selectionModel()->currentIndex();
    if (current.isValid() && lvResults_->selectionModel()->isRowSelected(current.row(), current.parent()))
        return model_->EntryAt(current.row());
    return SelectedEntry();
}

void TfScanResults::ShowDetailsOf(TBWDupeFile* entry)
{
    if (!entry || !entry->File()) {
        ShowDetails(nullptr, nullptr);
        return;
    }
    const bool withReference = results_->Profile().ResultType == rsDuplicates && entry->Reference();
    ShowDetails(entry->File(), withReference ? entry->Reference()->File() : nullptr);
}

void TfScanResults::lvResultsChange()
{
    ShowDetailsOf(DetailsEntry());
    UpdateActions();
}

void TfScanResults::ToggleRow(int row)
{
    if (TBWDupeFile* entry = model_->EntryAt(row)) {
        results_->ToggleSelected(entry);
        const QModelIndex cell = model_->index(row, 0);
        emit model_->dataChanged(cell, cell);
        UpdateStatus();
    }
}

void TfScanResults::ToggleSelectedRows()
{
    for (TBWDupeFile* entry : SelectedEntries())
        results_->ToggleSelected(entry);
    model_->Repaint();
    UpdateStatus();
}

void TfScanResults::lvResultsColumnClick(int section)
{
    const int tag = model_->ColumnTag(section);
    if (!results_)
        return;
    const std::optional<TListOrder> order =
        OrderAfterHeaderClick(tag, {results_->ActiveKeySet(), results_->Descending()});
    if (!order)
        return;
    if (results_->ActiveKeySet() == order->keySet) {
        results_->SetDescending(order->descending);
    } else {
        // Only the flag: activating the set sorts once, in the new direction.
        results_->TBWSelChain::SetDescending(order->descending);
        results_->SetActiveKeys(order->keySet);
    }
    model_->SetSortMark(tag, order->descending);
    model_->Rebuild();
}

// ------------------------------------------------------------ details

void TfScanResults::InitDetails()
{
    lvDetails_->clear();
    for (const QString& name : DetailNames())
        new QTreeWidgetItem(lvDetails_, {name, QString(), QString()});
}

void TfScanResults::ShowDetails(TBWFile* file, TBWFile* referenceFile)
{
    // Without a file the pane is empty: it never shows a row that is gone.
    const std::int32_t tolerance = results_ ? results_->Profile().SimWord : 0;
    const QStringList selected = file ? DetailValues(file, referenceFile, tolerance) : QStringList();
    const QStringList reference = file ? DetailValues(referenceFile, nullptr, tolerance) : QStringList();
    for (int row = 0; row < lvDetails_->topLevelItemCount(); ++row) {
        QTreeWidgetItem* item = lvDetails_->topLevelItem(row);
        item->setText(1, selected.value(row));
        item->setText(2, reference.value(row));
    }
}

void TfScanResults::aDetailsExecute()
{
    pnlDetails_->setVisible(!pnlDetails_->isVisibleTo(this));
    aDetails_->setChecked(pnlDetails_->isVisibleTo(this));
}

// ------------------------------------------------------------ actions

void TfScanResults::aCloseExecute()
{
    accept();
}

void TfScanResults::aSelectAllExecute()
{
    results_->SelectAll();
    model_->Repaint();
    UpdateStatus();
}

void TfScanResults::aSelectNoneExecute()
{
    results_->SelectNone();
    model_->Repaint();
    UpdateStatus();
}

void TfScanResults::aInvertSelectionExecute()
{
    results_->InvertSelection();
    model_->Repaint();
    UpdateStatus();
}

void TfScanResults::aHelpExecute()
{
    Prompts().ShowHelpTopic(kHelpTopic);
}

void TfScanResults::aSpecialSelectionExecute()
{
    if (results_ && specialSelection_ && specialSelection_(*results_)) {
        model_->Repaint();
        UpdateStatus();
    }
}

void TfScanResults::RunFileAction(const std::function<bool(TResultFileActions&)>& action)
{
    if (!results_ || busy_)
        return;
    TDiskFileOperations files;
    // The file actions report through the program's one progress window.
    TProgressWindowSink progress;
    TfDiscNeeded discs(this);
    TResultFileActions actions(*results_, modelRoot_ ? *modelRoot_ : FSDrive(), files, progress, MplManager(),
                               discs);
    actions.ConfirmReplace = [this](const std::string& file, const std::string& reference) {
        return TfWarningReplace(QString::fromStdString(file), QString::fromStdString(reference), this).exec()
               == QDialog::Accepted;
    };
    actions.AskNewName = [this](const QString& name) { return TfRenameFile::Ask(name, this); };
    bool changed = false;
    {
        TActionGuard guard(*this);
        changed = action(actions);
    }
    if (changed)
        RefreshList();
    else
        UpdateStatus();
}

void TfScanResults::aDeleteExecute()
{
    RunFileAction([](TResultFileActions& actions) { return actions.DeleteChecked(); });
}

void TfScanResults::aCopyExecute()
{
    RunFileAction([](TResultFileActions& actions) { return actions.CopyChecked(false); });
}

void TfScanResults::aMoveExecute()
{
    RunFileAction([](TResultFileActions& actions) { return actions.CopyChecked(true); });
}

void TfScanResults::aSwitchExecute()
{
    TBWDupeFile* entry = SelectedEntry();
    if (!entry)
        return;
    lvResults_->selectionModel()->clear();
    bool switched = false;
    RunFileAction([&](TResultFileActions& actions) { return switched = actions.Switch(entry); });
    if (switched)
        SelectRow(model_->RowOf(entry));
}

void TfScanResults::aReplaceExecute()
{
    TBWDupeFile* entry = SelectedEntry();
    bool replaced = false;
    RunFileAction([&](TResultFileActions& actions) { return replaced = actions.Replace(entry); });
    // The list was built again: the file the user worked on stays the one shown.
    if (replaced)
        SelectRow(model_->RowOf(entry));
}

void TfScanResults::aRenameFileExecute()
{
    TBWDupeFile* entry = SelectedEntry();
    const int row = model_->RowOf(entry);
    bool renamed = false;
    RunFileAction([&](TResultFileActions& actions) { return renamed = actions.Rename(entry); });
    if (renamed)
        SelectRow(row);
}

void TfScanResults::aRemoveCheckedExecute()
{
    RunFileAction([](TResultFileActions& actions) { return actions.RemoveChecked(); });
}

void TfScanResults::aRemoveSelectedExecute()
{
    const std::vector<TBWDupeFile*> selected = SelectedEntries();
    RunFileAction([&](TResultFileActions& actions) { return actions.RemoveSelected(selected); });
}

// ------------------------------------------------------------ opening files

void TfScanResults::lvResultsDblClick()
{
    TBWDupeFile* entry = SelectedEntry();
    if (!entry || !entry->File())
        return;
    const QString path = QString::fromStdString(entry->File()->FullPath());
    if (QFileInfo(path).isFile() && !Prompts().OpenWithDesktop(path))
        Prompts().ShowWarning(windowTitle(), QString("No program is set up on this desktop to play \"%1\".").arg(path));
}

void TfScanResults::Openthedirectorycontainingthisfile1Click()
{
    TBWDupeFile* entry = SelectedEntry();
    if (!entry || !entry->File() || !entry->File()->Directory())
        return;
    const QString folder = QString::fromStdString(entry->File()->Directory()->RealPath());
    if (QFileInfo(folder).isDir() && !Prompts().OpenWithDesktop(folder))
        Prompts().ShowWarning(windowTitle(), QString("No program is set up on this desktop to open \"%1\".").arg(folder));
}
