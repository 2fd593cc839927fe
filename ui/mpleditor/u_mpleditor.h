#pragma once
// The Mp3 List editor: the modal window in which the user makes lists, adds
// discs and folders to them as volumes, deletes, saves, imports and exports
// them. The lists on the left, the files of the selected folder on the
// right; what the window decides lives in TMplEditorCommands, and its long
// operations report to the progress window. The main window shows it; the
// configuration wizard reads discs through AddVolumeToMpl here.
#include "ui/mpleditor/u_mpleditorcommands.h"
#include "ui/progress/u_progress.h"

#include <QDialog>
#include <map>

class QAction;
class QMenuBar;
class QTableView;
class QToolBar;
class TBWMPLTV;
class TMplFileTableModel;

// AddVolumeToMpl reporting to the progress window, reading on one thread
// per processor.
TBWDirMpl* AddVolumeToMpl(TBWDirMpl* list, TBWDirectory* dir, const std::string& name);

class TfMPLEditor : public QDialog {
    Q_OBJECT
public:
    explicit TfMPLEditor(QWidget* parent = nullptr);
    ~TfMPLEditor() override;

    TMplEditorCommands& Commands() { return commands_; }
    // Closing goes through the question about unsaved changes, whichever
    // way the window is closed; refused while a disc is being added.
    void done(int result) override;

protected:
    bool event(QEvent* event) override;

private slots:
    void aNewListExecute();
    void aAddVolumeExecute();
    void aDeleteExecute();
    void aSaveExecute();
    void aImportExecute();
    void aExportExecute();
    void aHelpExecute();
    void mplChange();

private:
    void BuildActions();
    void BuildMenus();
    void BuildToolBar();
    void BuildViews();
    QAction* MakeAction(TMplEditorAction action, const char* name, const QString& caption,
                        const QKeySequence& shortcut, int image);
    void UpdateActions();

    // The progress window, with the current profile's animation.
    TProgressWindowSink progress_;
    TMplEditorCommands commands_;
    std::map<TMplEditorAction, QAction*> actions_;
    QMenuBar* mm = nullptr;
    QToolBar* ToolBar1 = nullptr;
    TBWMPLTV* mpl = nullptr;
    QTableView* lvFiles = nullptr;
    TMplFileTableModel* files_ = nullptr;
};
