#include "ui/main/Main.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QFileInfo>
#include <QTimer>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/HUtils.h"
#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "engine/u_registryconversion.h"
#include "engine/u_xmlprofile.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/common/u_about.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/common/u_menubarkeys.h"
#include "ui/main/u_loadproblems.h"
#include "ui/mpleditor/u_mpleditor.h"
#include "ui/common/u_pictures.h"
#include "ui/common/u_screenplace.h"
#include "ui/progress/u_progress.h"
#include "ui/common/u_prompts.h"
#include "ui/common/u_reportcolumns.h"
#include "ui/results/u_scanresults.h"
#include "ui/common/u_tooltips.h"
#include "ui/configwizard/u_wizseqmain.h"
#include "ui/profile/uc_fProfileCV.h"
#include "ui/profile/uc_frProCVActions.h"
#include "ui/profile/uc_frProCVCompParam.h"
#include "ui/profile/uc_frProCVDirectories.h"
#include "ui/profile/uc_frProCVFilePri.h"
#include "ui/profile/uc_frProCVGeneral.h"
#include "ui/profile/uc_frProCVPoolExclusions.h"
#include "ui/profile/uc_frProCVSummary.h"

namespace {

constexpr const char* kQuickScanName = "quick_scan";
// How often a close asked for by a signal looks again whether the scan and
// the modal windows have ended.
constexpr int kCloseRetryMs = 50;
// The summary panel's height in the fonts the window was laid out for.
constexpr int kSummaryHeight = 186;

QModelIndex SelectedRow(const QTreeView& view)
{
    const QModelIndexList rows = view.selectionModel()->selectedRows();
    return rows.empty() ? QModelIndex() : rows.front();
}

void SelectRow(QTreeView& view, int row)
{
    const QModelIndex index = view.model()->index(row, 0);
    view.selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

} // namespace

std::vector<TProfileRow> ReadStoredProfiles(TBWCVProfile& profile)
{
    for (const TBWSetAside& twin : profile.SetAsideCaseTwins())
        LoadProblems().CaseTwinSetAside(twin);
    const std::vector<std::string> names = profile.GetProfileList();
    if (const std::string failure = profile.Storage().LastListFailure(); !failure.empty())
        LoadProblems().ProfilesNotListed(failure);
    std::vector<TProfileRow> rows;
    for (const std::string& name : names) {
        if (profile.LoadProfile(name))
            rows.push_back({profile.ProfileName(), profile.ProfileComment, profile.LastRun, profile.LastTime});
        else
            LoadProblems().ProfileNotLoaded(profile, name);
    }
    return rows;
}

// ------------------------------------------------------------------ decisions

TMainActionStates MainActionStates(TMainState state, bool hasSelection)
{
    switch (state) {
    case msSelectionChanged: return {true, hasSelection, true};
    case msAfterRun: return {true, true, true};
    case msScanning: return {false, false, false};
    }
    return {};
}

const QMetaObject& SummaryRowPage(int row)
{
    switch (row) {
    case 0: return TfrcProCVDirectories::staticMetaObject;
    case 1: case 2: case 3: return TfrcProCVCompParam::staticMetaObject;
    case 4: case 5: case 6: return TfrcProCVPoolExclusions::staticMetaObject;
    case 7: case 8: return TfrcProCVFilePri::staticMetaObject;
    case 9: return TfrcProCVActions::staticMetaObject;
    default: return TfrcPCVSummary::staticMetaObject;
    }
}

// ---------------------------------------------------------------- TfCorvella4

TfCorvella4::TfCorvella4(TScanRoad::WorkerFactory makeWorker, QWidget* parent)
    : QMainWindow(parent), makeWorker_(std::move(makeWorker)), profiles_(this)
{
    if (!makeWorker_)
        makeWorker_ = [](const TBWCVProfile& profile) { return MakeEngineWorker(FSDrive(), profile); };
    setObjectName("TfCorvella4");
    setWindowTitle(QStringLiteral("Corvella"));
    setWindowIcon(QIcon(ProgramIcon(64)));
    resize(548, 400);
    RestorePlace();
    BuildActions();
    BuildMenus();
    BuildToolBar();
    BuildProfileList();
    BuildSummary();
    FormCreate();
    QTimer::singleShot(0, this, [this] {
        startedUp_ = true;
        TellLoadProblems();
    });
}

TfCorvella4::~TfCorvella4() = default;

QAction* TfCorvella4::MakeAction(const char* name, const QString& caption, const QKeySequence& shortcut, int image,
                                 void (TfCorvella4::*handler)())
{
    auto* action = new QAction(dmCentral->BigIL.Icon(image), caption, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
    addAction(action);
    return action;
}

void TfCorvella4::BuildActions()
{
    aNewProfile = MakeAction("aNewProfile", "&New Profile", QKeySequence("Ctrl+N"), biNewProfile,
                             &TfCorvella4::aNewProfileExecute);
    aRunProfile = MakeAction("aRunProfile", "&Run Profile", QKeySequence("Ctrl+R"), biRunProfile,
                             &TfCorvella4::aRunProfileExecute);
    aEditProfile = MakeAction("aEditProfile", "&Edit Profile", QKeySequence("Ctrl+E"), biEditProfile,
                              &TfCorvella4::aEditProfileExecute);
    aDeleteProfile = MakeAction("aDeleteProfile", "&Delete Profile", QKeySequence(Qt::Key_Delete), biDeleteProfile,
                                &TfCorvella4::aDeleteProfileExecute);
    aLoadResults = MakeAction("aLoadResults", "&Load last results", QKeySequence("Ctrl+L"), biLoadResults,
                              &TfCorvella4::aLoadResultsExecute);
    aExit = MakeAction("aExit", "E&xit", QKeySequence("Ctrl+Q"), biExit, &TfCorvella4::aExitExecute);
    aEditMpl = MakeAction("aEditMpl", "&Mp3 List Editor", QKeySequence("Ctrl+M"), biEditMpl,
                          &TfCorvella4::aEditMplExecute);
    aHelp = MakeAction("aHelp", "&Help", QKeySequence(Qt::Key_F1), biHelp, &TfCorvella4::aHelpExecute);
    aShowTips = MakeAction("aShowTips", "&Tip of the day", {}, biShowTips, &TfCorvella4::aShowTipsExecute);
    aAbout = MakeAction("aAbout", "&About Corvella", {}, biAbout, &TfCorvella4::aAboutExecute);
}

void TfCorvella4::BuildMenus()
{
    QMenuBar* mm = menuBar();
    mm->setObjectName("mm");
    mm->addMenu("&File")->addActions({aRunProfile, aNewProfile, aEditProfile, aDeleteProfile, aLoadResults, aExit});
    mm->addMenu("&Tools")->addAction(aEditMpl);
    mm->addMenu("&Help")->addActions({aHelp, aShowTips, aAbout});
    OpenFirstMenuOnF10(*mm);
}

void TfCorvella4::BuildToolBar()
{
    QToolBar* tbMain = addToolBar("tbMain");
    tbMain->setObjectName("tbMain");
    tbMain->setMovable(false);
    tbMain->setIconSize(dmCentral->BigIL.Size());
    tbMain->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbMain->addActions({aRunProfile, aEditProfile, aNewProfile});
    tbMain->addSeparator();
    tbMain->addActions({aHelp, aExit});
}

void TfCorvella4::BuildProfileList()
{
    lvProfiles = new QTreeView(this);
    lvProfiles->setObjectName("lvProfiles");
    lvProfiles->setRootIsDecorated(false);
    lvProfiles->setUniformRowHeights(true);
    lvProfiles->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvProfiles->setSelectionMode(QAbstractItemView::SingleSelection);
    lvProfiles->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvProfiles->setIconSize(dmCentral->IL.Size());
    lvProfiles->setModel(&profiles_);
    QHeaderView* header = lvProfiles->header();
    header->setSectionsClickable(true);
    new TReportColumns(*lvProfiles, *header, TProfileListModel::colComment, true);
    connect(header, &QHeaderView::sectionClicked, this, &TfCorvella4::lvProfilesColumnClick);
    connect(lvProfiles->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfCorvella4::lvProfilesChange);
    connect(lvProfiles, &QTreeView::doubleClicked, aRunProfile, &QAction::trigger);
    lvProfiles->installEventFilter(this);
}

void TfCorvella4::BuildSummary()
{
    auto* client = new QWidget(this);
    auto* layout = new QVBoxLayout(client);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    pnlSummary = new QWidget(client);
    pnlSummary->setObjectName("pnlSummary");
    pnlSummary->setFixedHeight(kSummaryHeight);
    auto* summaryLayout = new QVBoxLayout(pnlSummary);
    summaryLayout->setContentsMargins(0, 0, 0, 0);
    frSummary = new TfrcPCVSummary(pnlSummary);
    frSummary->setObjectName("frSummary");
    summaryLayout->addWidget(frSummary);
    connect(frSummary, &TfrcPCVSummary::summaryDblClick, this, &TfCorvella4::frSummaryDblClick);
    layout->addWidget(lvProfiles, 1);
    layout->addWidget(pnlSummary);
    setCentralWidget(client);
}

void TfCorvella4::FormCreate()
{
    TRegistryStore store(AppPaths().registryFile);
    std::vector<std::string> notConverted;
    // The settings were loaded before this window existed; the converted ones take their place.
    if (!store.Load())
        LoadProblems().RegistryNotRead(AppPaths().registryFile, store.LoadFailure());
    else if (ConvertRegistryProfiles(store, AppPaths().registryKey, AppPaths().dataFolder, &notConverted))
        GenSettings().LoadOrCreate();
    for (const std::string& name : notConverted)
        LoadProblems().ProfileNotConverted(name);
    RefreshProfileList();
}

void TfCorvella4::RestorePlace()
{
    const TBWCVGenSettings& settings = GenSettings();
    if (settings.MainWidth <= 0 || settings.MainHeight <= 0)
        return;
    // A screen that has gone since must not leave the window out of reach.
    setGeometry(WithinScreen({settings.MainLeft, settings.MainTop, settings.MainWidth, settings.MainHeight}));
    if (settings.MainMaximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TfCorvella4::KeepPlace()
{
    TBWCVGenSettings& settings = GenSettings();
    const QRect normal = isMaximized() ? normalGeometry() : geometry();
    settings.MainLeft = normal.left();
    settings.MainTop = normal.top();
    settings.MainWidth = normal.width();
    settings.MainHeight = normal.height();
    settings.MainMaximized = isMaximized();
}

void TfCorvella4::RefreshProfileList()
{
    const QModelIndex selected = SelectedRow(*lvProfiles);
    const int remembered = selected.isValid() ? selected.row() : 0;
    FillProfileList();
    // Done once: a quick_scan that cannot be stored or read back leaves the
    // list empty. Profiles that cannot be listed are no empty list.
    if (profiles_.rowCount() == 0 && CurrentProfile().Storage().LastListFailure().empty()) {
        CreateQuickScanProfile();
        FillProfileList();
    }
    if (remembered < profiles_.rowCount())
        SelectRow(*lvProfiles, remembered);
    else
        lvProfilesChange();
    if (startedUp_)
        TellLoadProblems();
}

void TfCorvella4::TellLoadProblems()
{
    const std::string message = LoadProblems().TakeMessage();
    if (!message.empty())
        Prompts().ShowWarning(QStringLiteral("Corvella"), QString::fromStdString(message));
}

void TfCorvella4::FillProfileList()
{
    profiles_.SetRows(ReadStoredProfiles(CurrentProfile()));
}

void TfCorvella4::CreateQuickScanProfile()
{
    TBWCVProfile& profile = CurrentProfile();
    profile.NewProfile();
    profile.SetProfileName(kQuickScanName);
    profile.ProfileComment = "Quickly give Corvella a try!";
    profile.SaveProfile();
}

void TfCorvella4::UpdateActions(TMainState state)
{
    scanning_ = state == msScanning;
    const TMainActionStates states = MainActionStates(state, !selectedProfile_.empty());
    aNewProfile->setEnabled(states.newProfile);
    aExit->setEnabled(states.newProfile);
    aHelp->setEnabled(states.newProfile);
    aRunProfile->setEnabled(states.profileActions);
    aEditProfile->setEnabled(states.profileActions);
    aDeleteProfile->setEnabled(states.profileActions);
    aLoadResults->setEnabled(states.idleOnly);
    aEditMpl->setEnabled(states.idleOnly);
    lvProfiles->setEnabled(states.idleOnly);
    pnlSummary->setEnabled(states.idleOnly);
}

void TfCorvella4::lvProfilesChange()
{
    const QModelIndex selected = SelectedRow(*lvProfiles);
    if (selected.isValid()) {
        selectedProfile_ = profiles_.Row(selected.row()).name;
        CurrentProfile().LoadProfile(selectedProfile_);
        RefreshSummary();
    } else {
        selectedProfile_.clear();
    }
    // The list a finishing scan refreshes keeps everything waiting until the run has ended.
    UpdateActions(scanning_ ? msScanning : msSelectionChanged);
}

void TfCorvella4::lvProfilesColumnClick(int column)
{
    const std::string selected = selectedProfile_;
    profiles_.ColumnClick(column);
    SelectProfileRow(selected);
}

bool TfCorvella4::SelectProfileRow(const std::string& name)
{
    for (int row = 0; row < profiles_.rowCount(); ++row)
        if (profiles_.Row(row).name == name) {
            SelectRow(*lvProfiles, row);
            return true;
        }
    return false;
}

void TfCorvella4::frSummaryDblClick()
{
    if (!scanning_)
        EditCurrentProfile(SummaryRowPage(frSummary->SelectedRow()));
}

void TfCorvella4::EditCurrentProfile(const QMetaObject& page)
{
    const std::string before = selectedProfile_;
    {
        TfcProfileCV editor(this);
        editor.ShowAtPage(&page);
    }
    // The edited profile stays selected, under its new name when it was
    // stored with one; the list reads every profile into the current one.
    const std::string edited = CurrentProfile().ProfileName();
    RefreshProfileList();
    if (!SelectProfileRow(edited))
        SelectProfileRow(before);
    RefreshSummary();
}

// The panel keeps its height as the profile list grows and shrinks, yet
// holds every row of the summary in the fonts of the desktop at hand.
void TfCorvella4::RefreshSummary()
{
    frSummary->Refresh();
    pnlSummary->setFixedHeight(std::max(kSummaryHeight, frSummary->WholeHeight()));
}

bool TfCorvella4::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lvProfiles && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            aRunProfile->trigger();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfCorvella4::aNewProfileExecute()
{
    const std::uint8_t next = RunProfileWizard(this);
    const std::string created = CurrentProfile().ProfileName();
    RefreshProfileList();
    // The new profile is the row shown, and the one that Run and Edit work on.
    SelectProfileRow(created);
    if (next == paEdit)
        EditCurrentProfile(TfrcProCVGeneral::staticMetaObject);
    else if (next == paRun)
        aRunProfileExecute();
}

void TfCorvella4::aRunProfileExecute()
{
    UpdateActions(msScanning);
    TScanRoad road({CurrentProfile(), MplManager(), FSDrive(), AppPaths().dataFolder}, *this, makeWorker_);
    road.Run(selectedProfile_);
    UpdateActions(msAfterRun);
}

void TfCorvella4::aEditProfileExecute()
{
    if (selectedProfile_.empty() || !CurrentProfile().LoadProfile(selectedProfile_))
        return;
    EditCurrentProfile(TfrcProCVGeneral::staticMetaObject);
}

void TfCorvella4::aDeleteProfileExecute()
{
    if (selectedProfile_.empty())
        return;
    const QString question =
        QStringLiteral("Do you really want to delete the profile \"%1\"?").arg(QString::fromStdString(selectedProfile_));
    if (!Prompts().ConfirmDestructive(QStringLiteral("Confirm"), question))
        return;
    CurrentProfile().DeleteProfile(selectedProfile_);
    RefreshProfileList();
}

void TfCorvella4::aLoadResultsExecute()
{
    const std::string fileName = AppPaths().dataFolder + TScanRoad::ResultFileName;
    if (!QFileInfo::exists(QString::fromStdString(fileName))) {
        Prompts().ShowWarning(QStringLiteral("Corvella"), QStringLiteral("There are no previous results to load."));
        return;
    }
    TfProgress& progress = ShowProgress();
    progress.Reset(1, 0, false);
    progress.StartJob(QStringLiteral("Loading results"), 0);
    progress.Step(1);
    // The settings of the scan that wrote the results, when they were kept; the list reads them.
    TBWCVProfile scanProfile;
    TBWDupeFileList results;
    bool asScanned = false;
    if (!results.LoadFromFile(fileName, &FSDrive(), &scanProfile, &asScanned)) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        CloseProgress();
        Prompts().ShowWarning(QStringLiteral("Corvella"), QStringLiteral("The last results could not be read from %1 (%2).")
                                                              .arg(QString::fromStdString(fileName), reason));
        return;
    }
    TfScanResults window(GenSettings());
    window.SetResults(&results);
    window.RefreshList();
    CloseProgress();
    if (!asScanned && results.Count() > 0)
        Prompts().ShowInformation(
            QStringLiteral("Corvella"),
            QStringLiteral("The last results were saved without the settings of their scan, so their references "
                           "and relevances are chosen again with the profile \"%1\" and may differ from what the "
                           "scan showed.")
                .arg(QString::fromStdString(CurrentProfile().ProfileName())));
    window.exec();
}

void TfCorvella4::aExitExecute()
{
    close();
}

void TfCorvella4::aEditMplExecute()
{
    TfMPLEditor editor;
    editor.exec();
}

void TfCorvella4::aHelpExecute()
{
    Prompts().ShowHelpTopic(QStringLiteral("corvella/index.htm"));
}

void TfCorvella4::aShowTipsExecute()
{
    ShowTips(GenSettings(), true);
}

void TfCorvella4::aAboutExecute()
{
    TfAbout about(this);
    about.exec();
}

void TfCorvella4::MinimiseMain()
{
    showMinimized();
}

void TfCorvella4::ShowResults(TBWDupeFileList& results)
{
    TfScanResults window(GenSettings());
    window.SetResults(&results);
    window.RefreshList();
    window.exec();
}

void TfCorvella4::RestoreMain()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
}

void TfCorvella4::WMUser()
{
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        modal->raise();
        modal->activateWindow();
    }
}

void TfCorvella4::CloseRequested()
{
    SetEndingOnRequest(true);
    if (QWidget* modal = QApplication::activeModalWidget())
        modal->close();
    else if (scanning_ && ProgressActive())
        ShowProgress().close();  // which cancels the scan
    if (QApplication::activeModalWidget() || scanning_)
        QTimer::singleShot(kCloseRetryMs, this, &TfCorvella4::CloseRequested);
    else
        close();
}

void TfCorvella4::closeEvent(QCloseEvent* event)
{
    // The scan's finish still writes the profile and the result file.
    if (scanning_) {
        event->ignore();
        return;
    }
    event->accept();
    KeepPlace();
    // Closing this window ends the program: no window it opened stays behind.
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != this && window->isVisible())
            window->close();
}

void TfCorvella4::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && ProgressActive())
        ShowProgress().raise();
    QMainWindow::changeEvent(event);
}
