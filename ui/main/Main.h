#pragma once
// The main window: the stored profiles in a list, and every action that
// starts work (run, edit, delete a profile, load the last results, the
// Mp3 List editor, help, the tip of the day, about). Running a profile takes
// the scan road (u_scanroad); closing the window ends the program. The list
// is a model of its own (u_profilelistmodel); which actions may run is a
// plain piece here that tests drive without the window.
#include <QMainWindow>

#include <string>
#include <vector>

#include "ui/main/u_profilelistmodel.h"
#include "ui/main/u_scanroad.h"

class QAction;
class QTreeView;
class TBWCVProfile;
class TfrcPCVSummary;

// Loads every stored profile into profile, in the storage's order; a
// profile that cannot be loaded goes to LoadProblems, which keeps its file.
// Twins of a profile's file in other letter case are set aside first, and a
// profiles folder that cannot be listed is recorded there too.
std::vector<TProfileRow> ReadStoredProfiles(TBWCVProfile& profile);

// UpdateActions' states.
enum TMainState { msSelectionChanged = 0, msAfterRun = 1, msScanning = 2 };

// What may be used in a state. While a scan runs, nothing that the scan or
// its finish reads may change: the list, the summary, the lists' editor,
// the last results and closing the window wait too.
struct TMainActionStates {
    bool newProfile = false;  // also Exit and Help
    bool profileActions = false;  // Run, Edit, Delete
    bool idleOnly = false;  // the list, Load last results, the Mp3 List editor, closing
};
TMainActionStates MainActionStates(TMainState state, bool hasSelection);

// The profile editor's page that a row of the summary stands for: the page
// class to open the editor at.
const QMetaObject& SummaryRowPage(int row);

class TfCorvella4 : public QMainWindow, private TScanRoadHost {
    Q_OBJECT

public:
    // makeWorker: the scan's engine; the program's engine over the model root unless given.
    explicit TfCorvella4(TScanRoad::WorkerFactory makeWorker = {}, QWidget* parent = nullptr);
    ~TfCorvella4() override;

    const std::string& SelectedProfile() const { return selectedProfile_; }
    TProfileListModel& Profiles() { return profiles_; }
    bool Scanning() const { return scanning_; }

public slots:
    // A second start asks the running copy to come forward.
    void WMUser();
    // SIGTERM or SIGINT: ends a scan and the open modal windows, then closes.
    void CloseRequested();

    void aNewProfileExecute();
    void aRunProfileExecute();
    void aEditProfileExecute();
    void aDeleteProfileExecute();
    void aLoadResultsExecute();
    void aExitExecute();
    void aEditMplExecute();
    void aHelpExecute();
    void aShowTipsExecute();
    void aAboutExecute();

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QAction* MakeAction(const char* name, const QString& caption, const QKeySequence& shortcut, int image,
                        void (TfCorvella4::*handler)());
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildProfileList();
    void BuildSummary();
    void FormCreate();
    // The place the settings keep, when they keep one, made to fit a screen.
    void RestorePlace();
    void KeepPlace();
    void FillProfileList();
    // Says what could not be loaded and was not said before.
    void TellLoadProblems();
    void CreateQuickScanProfile();
    void UpdateActions(TMainState state);
    void lvProfilesChange();
    void lvProfilesColumnClick(int column);
    // False when no row holds that profile.
    bool SelectProfileRow(const std::string& name);
    void frSummaryDblClick();
    void RefreshSummary();
    // The editor on the current profile, at a page; the list is read again
    // afterwards, since OK and Apply wrote the profile.
    void EditCurrentProfile(const QMetaObject& page);

    // TScanRoadHost
    void MinimiseMain() override;
    void ShowResults(TBWDupeFileList& results) override;
    void RestoreMain() override;
    void RefreshProfileList() override;

    TScanRoad::WorkerFactory makeWorker_;
    TProfileListModel profiles_;
    std::string selectedProfile_;
    bool scanning_ = false;
    // Load problems are told from the first turn of the event loop on.
    bool startedUp_ = false;

    QTreeView* lvProfiles = nullptr;
    QWidget* pnlSummary = nullptr;
    TfrcPCVSummary* frSummary = nullptr;
    QAction* aNewProfile = nullptr;
    QAction* aRunProfile = nullptr;
    QAction* aEditProfile = nullptr;
    QAction* aDeleteProfile = nullptr;
    QAction* aLoadResults = nullptr;
    QAction* aExit = nullptr;
    QAction* aEditMpl = nullptr;
    QAction* aHelp = nullptr;
    QAction* aShowTips = nullptr;
    QAction* aAbout = nullptr;
};
