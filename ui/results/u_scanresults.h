#pragma once
// The results window: the modal window in which the user reviews a result
// list (groups of a reference and its duplicates, negative results or
// banlist results), checks entries, sorts, looks at the details of a file
// against its reference, and acts on the files (TResultFileActions). The
// main window shows it after a scan and for "Load last results":
//     TfScanResults window(GenSettings(), parent);
//     window.SetResults(&list);
//     window.RefreshList();
//     window.exec();
#include <QDialog>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "ui/results/u_resultsmodel.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QSplitter;
class QStatusBar;
class QToolBar;
class QToolButton;
class QTreeWidget;
class TBWDirectory;
class TBWDupeFile;
class TBWDupeFileList;
class TReportColumns;
class TResultsListView;
class TBWCVGenSettings;

// Which actions may run, from the list's kind, its check marks and the first selected row.
struct TResultActionStates {
    bool deleteChecked = false;  // aDelete
    bool onChecked = false;      // aCopy, aMove, aRemoveChecked
    bool switchRef = false;
    bool replace = false;
    bool rename = false;
};
TResultActionStates ResultActionStates(std::int32_t resultType, std::int32_t checkedCount,
                                       const TBWDupeFile* selected);

class TfScanResults : public QDialog {
    Q_OBJECT
public:
    // The window opens as the general settings say (the program's are GenSettings()).
    explicit TfScanResults(TBWCVGenSettings& settings, QWidget* parent = nullptr);
    // Writes the window's state and the shown columns' widths to the settings.
    ~TfScanResults() override;

    // The list shown, not owned; its profile decides what the window offers.
    void SetResults(TBWDupeFileList* results);
    TBWDupeFileList* Results() const { return results_; }
    // Where copied files' folders are found or made: the program's model root unless set.
    void SetModelRoot(TBWDirectory* root) { modelRoot_ = root; }
    // "Special selection...": runs the selection on the list; true when check
    // marks changed. The selection wizard over this window unless replaced.
    void SetSpecialSelection(std::function<bool(TBWDupeFileList&)> run);

    void RefreshList();
    void UpdateStatus();
    TResultsModel& Model() { return *model_; }

public slots:
    void aCloseExecute();
    void aSelectAllExecute();
    void aSelectNoneExecute();
    void aInvertSelectionExecute();
    void aDeleteExecute();
    void aCopyExecute();
    void aMoveExecute();
    void aDetailsExecute();
    void aSwitchExecute();
    void aHelpExecute();
    void aSpecialSelectionExecute();
    void aRemoveCheckedExecute();
    void aRenameFileExecute();
    void aReplaceExecute();
    void aRemoveSelectedExecute();
    void lvResultsDblClick();
    void Openthedirectorycontainingthisfile1Click();

protected:
    bool event(QEvent* event) override;

private:
    friend class TResultsListView;
    class TActionGuard;

    QAction* MakeAction(const char* name, const QString& caption, const QKeySequence& shortcut, int image,
                        void (TfScanResults::*handler)());
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    QWidget* BuildDetails();
    void BuildColumns();
    void SaveColumnWidths();
    void InitDetails();
    void ShowDetails(TBWFile* file, TBWFile* referenceFile);
    // The details of the entry, or an empty pane for none.
    void ShowDetailsOf(TBWDupeFile* entry);
    // The entry the details pane shows: the current row when it is
    // selected, else the first selected row.
    TBWDupeFile* DetailsEntry() const;
    // The size the user left the window at, or the first one.
    QSize UnmaximisedSize() const;
    void miPathClick(int tag);
    void lvResultsColumnClick(int section);
    void lvResultsChange();
    // Space in the list: every selected row's check mark toggles.
    void ToggleSelectedRows();
    void ToggleRow(int row);
    void UpdateActions();
    TBWDupeFile* SelectedEntry() const;
    std::vector<TBWDupeFile*> SelectedEntries() const;
    void SelectRow(int row);
    // Runs a file action with every action disabled and the progress window closed afterwards.
    void RunFileAction(const std::function<bool(class TResultFileActions&)>& action);

    TBWCVGenSettings& settings_;
    TBWDupeFileList* results_ = nullptr;
    TBWDirectory* modelRoot_ = nullptr;
    std::function<bool(TBWDupeFileList&)> specialSelection_;
    bool busy_ = false;

    TResultsModel* model_;
    TResultsListView* lvResults_;
    TReportColumns* columns_;
    QWidget* pnlDetails_;
    QTreeWidget* lvDetails_;
    QLabel* lblCompTypeWarning_;
    QSplitter* sp1_;
    QStatusBar* sb_;
    QToolBar* toolBar_;
    QToolButton* actionsButton_;
    QMenuBar* mm_;
    QMenu* pmSelect_;
    QMenu* pmActions_;
    QMenu* pmFiles_;
    std::array<QAction*, rcOptionalCount> columnItems_{};

    QAction* aClose_;
    QAction* aSelectAll_;
    QAction* aSelectNone_;
    QAction* aInvertSelection_;
    QAction* aDelete_;
    QAction* aCopy_;
    QAction* aMove_;
    QAction* aDetails_;
    QAction* aSwitch_;
    QAction* aHelp_;
    QAction* aSpecialSelection_;
    QAction* aRemoveChecked_;
    QAction* aRenameFile_;
    QAction* aReplace_;
    QAction* aRemoveSelected_;
};
