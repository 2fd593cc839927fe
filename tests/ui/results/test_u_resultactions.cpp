#include "tests/ui/catalogued_disc.h"
#include "tests/ui/item_clicks.h"
#include "tests/ui/modal_dialogs.h"
#include "tests/ui/result_files.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/results/u_discneeded.h"
#include "ui/results/u_fileoperations.h"
#include "ui/results/u_resultactions.h"
#include "ui/results/u_resultsmodel.h"
#include "ui/results/u_scanresults.h"
#include "ui/results/u_warningreplace.h"
#include "tests/ui/ui_test_main.h"

#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "model/u_discrequest.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QContextMenuEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>
#include <QUrl>
#include <sys/stat.h>
#include <cerrno>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

#include <set>

namespace {

using TTexts = std::vector<std::string>;

class TRecordedProgress : public TProgressSink {
public:
    void StartJob(const std::string& caption, std::uint64_t itemCount) override
    {
        jobs << QString("%1 %2").arg(QString::fromStdString(caption)).arg(itemCount);
    }
    void Step(std::uint64_t count) override { steps += int(count); }
    void Close() override { ++closes; }
    QStringList jobs;
    int steps = 0;
    int closes = 0;
};

class TNoDiscs : public TDiscRequest {
public:
    bool AskForDisc(const std::string&, std::string&) override { return false; }
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
};

// Finds every disc in one folder and says which were asked for.
class TDiscFolder : public TDiscRequest {
public:
    explicit TDiscFolder(std::string folder) : folder_(std::move(folder)) {}
    bool AskForDisc(const std::string& discName, std::string& folder) override
    {
        asked.push_back(discName);
        folder = folder_;
        return true;
    }
    void ShowMessage(const std::string&) override {}
    bool AskYesNo(const std::string&) override { return false; }
    std::vector<std::string> asked;

private:
    std::string folder_;
};

// The disk, except that the Trash and moves refuse the files named here.
class TRefusingOperations : public TDiskFileOperations {
public:
    bool Trash(const std::string& path, std::string& reason) override
    {
        if (refused.count(path)) {
            reason = "the trash is full";
            return false;
        }
        return TDiskFileOperations::Trash(path, reason);
    }
    std::set<std::string> refused;
};

// A group "best.mp3" (reference) with duplicates a, b, c in the folder "Rock/".
struct TGroupFixture {
    TGroupFixture()
    {
        reference = files.Add("Rock/best.mp3", {5000});
        duplicates = {files.Add("Rock/a.mp3"), files.Add("Rock/b.mp3"), files.Add("Rock/c.mp3")};
        files.Group(reference, {duplicates.begin(), duplicates.end()});
        files.Resolve();
    }
    TResultFileActions Actions() { return {files.list, files.root, operations, progress, lists, discs}; }
    void Check(const std::vector<int>& which)
    {
        for (int index : which)
            files.list.SetSelected(files.EntryOf(duplicates[static_cast<std::size_t>(index)]), true);
    }
    std::string PathOf(int index) const { return duplicates[static_cast<std::size_t>(index)]->FullPath(); }

    TResultFiles files;
    TBWMp3File* reference;
    std::vector<TBWMp3File*> duplicates;
    TRefusingOperations operations;
    TRecordedProgress progress;
    TMplManager lists;
    TNoDiscs discs;
};

QString TrashFolder()
{
    return QString::fromLocal8Bit(qgetenv("XDG_DATA_HOME")) + "/Trash";
}

// Puts a folder's mode back when the test ends, however it ends.
class TFolderMode {
public:
    TFolderMode(const std::string& path, mode_t mode) : path_(path) { chmod(path.c_str(), mode); }
    ~TFolderMode() { chmod(path_.c_str(), 0755); }

private:
    std::string path_;
};


// The results window over a result list, shown and active, driven as a
// user does: rows clicked, check marks toggled with Space, keys pressed.
struct TResultsWindow {
    explicit TResultsWindow(TBWDupeFileList& list)
    {
        settings.NewProfile();
        settings.ScanResMaximized = false;
        window = std::make_unique<TfScanResults>(settings);
        window->SetResults(&list);
        window->RefreshList();
        window->show();
        window->activateWindow();
        if (!QTest::qWaitForWindowActive(window.get()))
            QTest::qFail("the results window never became active", __FILE__, __LINE__);
        view = window->findChild<QTreeView*>("lvResults");
    }
    QModelIndex Index(TBWDupeFile* entry, int column = 0) const
    {
        return view->model()->index(window->Model().RowOf(entry), column);
    }
    void Click(TBWDupeFile* entry) const { ClickItem(*view, Index(entry)); }
    void Check(TBWDupeFile* entry) const
    {
        Click(entry);
        QTest::keyClick(view, Qt::Key_Space);
    }
    void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(view, key, modifiers);
    }
    QString Cell(TBWDupeFile* entry, int tag) const
    {
        for (int column = 0; column < view->model()->columnCount(); ++column)
            if (window->Model().ColumnTag(column) == tag)
                return Index(entry, column).data().toString();
        return {};
    }
    QAction* Action(const char* name) const { return window->findChild<QAction*>(name); }
    // Right-clicks the row and clicks the action in the menu that opens there.
    void ChooseFromRowMenu(TBWDupeFile* entry, const char* actionName) const
    {
        Click(entry);
        const QPoint at = view->visualRect(Index(entry)).center();
        QContextMenuEvent rightClick(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &rightClick);
        auto* menu = window->findChild<QMenu*>("pmFiles");
        if (!menu || !QTest::qWaitForWindowExposed(menu)) {
            QTest::qFail("the row's menu did not open", __FILE__, __LINE__);
            return;
        }
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(Action(actionName)).center());
    }
    // The rows shown, "R name" for a reference and "D name" for the others, in their order.
    QStringList Rows() const
    {
        QStringList rows;
        for (int row = 0; row < window->Model().rowCount(); ++row) {
            const TBWDupeFile* entry = window->Model().EntryAt(row);
            rows << QString(entry->State() == dsReference ? "R " : "D ") + QString::fromStdString(entry->File()->Name());
        }
        return rows;
    }

    TBWCVGenSettings settings;
    std::unique_ptr<TfScanResults> window;
    QTreeView* view = nullptr;
};

// Answers the disc requests as a user does: OK after choosing the disc's
// folder with Change Path (the folder is the scripted prompts' answer), or
// Cancel Copy; a request beyond the answers given is cancelled. Records the
// discs asked for.
class TDiscRequestAnswers {
public:
    explicit TDiscRequestAnswers(std::vector<bool> answers = {}) : answers_(std::move(answers))
    {
        QObject::connect(&poll_, &QTimer::timeout, [this] {
            auto* request = dynamic_cast<TfDiscNeeded*>(QApplication::activeModalWidget());
            if (!request)
                return;
            asked << request->findChild<QLabel*>("lblDisc")->text();
            if (std::size_t(asked.size()) > answers_.size() || !answers_[std::size_t(asked.size()) - 1]) {
                ClickButton(*request, "bCancel");
                return;
            }
            ClickButton(*request, "bChangePath");
            ClickButton(*request, "bOK");
        });
        poll_.start(5);
    }
    QStringList asked;

private:
    std::vector<bool> answers_;
    QTimer poll_;
};

std::string Fixture(const char* name)
{
    return ReadWholeFile(CORVELLA_TEST_DATA "/../fixtures/audio/" + std::string(name));
}

// The record the Trash keeps of a file it holds: its original path, percent-encoded.
QString TrashRecordOf(const QString& name)
{
    return QString::fromStdString(ReadWholeFile((TrashFolder() + "/info/" + name + ".trashinfo").toStdString()));
}

} // namespace

class TestResultActions : public QObject {
    Q_OBJECT

private slots:
    void deleteAsksWithTheCountAndSendsTheCheckedFilesToTheTrash_data()
    {
        QTest::addColumn<std::vector<int>>("checked");
        QTest::addColumn<QString>("question");
        QTest::addColumn<TTexts>("left");
        QTest::newRow("one") << std::vector<int>{1} << "delete 1 file." << TTexts{"R best.mp3", "D a.mp3", "D c.mp3"};
        QTest::newRow("three") << std::vector<int>{0, 1, 2} << "delete 3 files." << TTexts{};
    }
    void deleteAsksWithTheCountAndSendsTheCheckedFilesToTheTrash()
    {
        QFETCH(std::vector<int>, checked);
        QFETCH(QString, question);
        QFETCH(TTexts, left);
        TGroupFixture group;
        group.Check(checked);
        ScriptedPrompts prompts;
        prompts.ExpectYesNo(true, question);
        QVERIFY(group.Actions().DeleteChecked());
        QCOMPARE(group.files.Shown(), left);
        for (int index : checked) {
            QVERIFY(!FileExists(group.PathOf(index)));
            const QString name = QString::fromStdString(group.duplicates[static_cast<std::size_t>(index)]->Name());
            QVERIFY(QFile::exists(TrashFolder() + "/files/" + name));
            const QString info = QString::fromStdString(
                ReadWholeFile((TrashFolder() + "/info/" + name + ".trashinfo").toStdString()));
            QVERIFY(info.startsWith("[Trash Info]\nPath="));
            QVERIFY(info.contains("DeletionDate="));
            QFile::remove(TrashFolder() + "/files/" + name);
            QFile::remove(TrashFolder() + "/info/" + name + ".trashinfo");
        }
        QCOMPARE(group.progress.jobs, QStringList{QString("Deleting files %1").arg(checked.size())});
        QCOMPARE(group.progress.closes, 1);
    }

    void deleteAnsweredNoTouchesNothing()
    {
        TGroupFixture group;
        group.Check({0});
        ScriptedPrompts prompts;
        prompts.ExpectDestructive(false, "delete 1 file");
        QVERIFY(!group.Actions().DeleteChecked());
        QVERIFY(FileExists(group.PathOf(0)));
        QCOMPARE(group.files.Shown(), (TTexts{"R best.mp3", "D+ a.mp3", "D b.mp3", "D c.mp3"}));
    }

    void filesThatCannotGoStayOnDiskAndInTheListUncheckedAndAreNamedWithTheirReasons()
    {
        TResultFiles files;
        TBWMp3File* reference = files.Add("keep/best.mp3", {5000});
        TBWMp3File* closed = files.Add("closed/a.mp3");
        TBWMp3File* refused = files.Add("keep/b.mp3");
        TBWMp3File* going = files.Add("keep/c.mp3");
        files.Group(reference, {closed, refused, going});
        files.Resolve();
        files.list.SelectAll();
        TRefusingOperations operations;
        operations.refused.insert(refused->FullPath());
        TRecordedProgress progress;
        TMplManager lists;
        TNoDiscs discs;
        TResultFileActions actions(files.list, files.root, operations, progress, lists, discs);
        const TFolderMode closedFolder(files.Path("closed"), 0555);
        ScriptedPrompts prompts;
        prompts.ExpectYesNo(true, "delete 3 files")
            .ExpectMessage(PromptKind::Warning, "1 of 3 files was deleted.\n\n2 files couldn't be deleted:");
        QVERIFY(actions.DeleteChecked());
        const QString told = prompts.Asked().back().text;
        QVERIFY2(told.contains(QString::fromStdString(closed->FullPath()) + ": its folder is read-only"), qPrintable(told));
        QVERIFY(told.contains(QString::fromStdString(refused->FullPath()) + ": the trash is full"));
        QVERIFY(!told.contains("opened by some other program"));
        QCOMPARE(files.Shown(), (TTexts{"R best.mp3", "D a.mp3", "D b.mp3"}));
        QVERIFY(FileExists(closed->FullPath()));
        QVERIFY(FileExists(refused->FullPath()));
        QVERIFY(!FileExists(going->FullPath()));
    }

    void aVanishedFileIsReportedAsNoLongerThere()
    {
        TGroupFixture group;
        group.Check({0, 1});
        QVERIFY(QFile::remove(QString::fromStdString(group.PathOf(0))));
        ScriptedPrompts prompts;
        prompts.ExpectYesNo(true, "delete 2 files")
            .ExpectMessage(PromptKind::Warning,
                           QString::fromStdString("1 file couldn't be deleted:\n" + group.PathOf(0) +
                                                  ": it is no longer there"));
        QVERIFY(group.Actions().DeleteChecked());
        QVERIFY(!prompts.Asked().back().text.contains("opened by some other program"));
        QVERIFY(prompts.Asked().back().text.endsWith("\nIt has been deselected and kept in the duplicate list."));
        QVERIFY(!FileExists(group.PathOf(1)));
    }

    void copyKeepsTheFolderStructureOrCopiesFlat_data()
    {
        QTest::addColumn<bool>("structure");
        QTest::newRow("structure kept") << true;
        QTest::newRow("flat") << false;
    }
    void copyKeepsTheFolderStructureOrCopiesFlat()
    {
        QFETCH(bool, structure);
        TGroupFixture group;
        group.Check({0, 2});
        const std::string destination = group.files.Path("Backup");
        // The folders below what source and destination share keep their letter case.
        const std::string target = group.files.Path(structure ? "Backup/Rock/" : "Backup/");
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(destination))
            .ExpectYesNo(structure, "recreate the directory structure")
            .ExpectMessage(PromptKind::Information, QString::fromStdString("2 files were copied to " + target + "."));
        QVERIFY(group.Actions().CopyChecked(false));
        QCOMPARE(prompts.Asked().front().caption, QString("Copy files to..."));
        QCOMPARE(ReadWholeFile(target + "a.mp3"), std::string("Rock/a.mp3"));
        QCOMPARE(ReadWholeFile(target + "c.mp3"), std::string("Rock/c.mp3"));
        QVERIFY(!FileExists(target + "b.mp3"));
        QVERIFY(FileExists(group.PathOf(0)));
        QCOMPARE(group.files.Shown(), (TTexts{"R best.mp3", "D+ a.mp3", "D b.mp3", "D+ c.mp3"}));
        QCOMPARE(group.progress.jobs, QStringList{"Copying files 2"});
    }

    void copyAndMoveNeverReplaceAFileButTakeAFreeNumberedName_data()
    {
        QTest::addColumn<bool>("move");
        QTest::newRow("copy") << false;
        QTest::newRow("move") << true;
    }
    void copyAndMoveNeverReplaceAFileButTakeAFreeNumberedName()
    {
        QFETCH(bool, move);
        TGroupFixture group;
        group.Check({0, 1});
        const std::string destination = group.files.Path("Flat/");
        for (const char* name : {"a.mp3", "b.mp3", "b (2).mp3"})
            WriteWholeFile(destination + name, "older");
        chmod((destination + "b.mp3").c_str(), 0444);
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(destination))
            .ExpectYesNo(false, "recreate")
            .ExpectMessage(PromptKind::Information,
                           QString::fromStdString("2 files were " + std::string(move ? "moved" : "copied") + " to "
                                                  + destination + ".\n\n2 files took a new name, as their names "
                                                  "were taken there:\na.mp3 \u2192 " + destination + "a (2).mp3\nb.mp3 \u2192 "
                                                  + destination + "b (3).mp3"));
        QVERIFY(group.Actions().CopyChecked(move));
        for (const char* name : {"a.mp3", "b.mp3", "b (2).mp3"})
            QCOMPARE(ReadWholeFile(destination + name), std::string("older"));
        QCOMPARE(ReadWholeFile(destination + "a (2).mp3"), std::string("Rock/a.mp3"));
        QCOMPARE(ReadWholeFile(destination + "b (3).mp3"), std::string("Rock/b.mp3"));
        QCOMPARE(FileExists(group.PathOf(0)), !move);
        const TTexts left = move ? TTexts{"R best.mp3", "D c.mp3"}
                                 : TTexts{"R best.mp3", "D+ a.mp3", "D+ b.mp3", "D c.mp3"};
        QCOMPARE(group.files.Shown(), left);
    }

    void aCopyThatFailsForSomeSaysHowManyOfHowManyAndUnchecksOnlyThoseCopied()
    {
        TGroupFixture group;
        group.Check({0, 1, 2});
        QVERIFY(QFile::remove(QString::fromStdString(group.PathOf(1))));
        const std::string destination = group.files.Path("Out/");
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(destination))
            .ExpectYesNo(false, "recreate")
            .ExpectMessage(PromptKind::Warning,
                           QString::fromStdString("2 of 3 files were copied to " + destination + ".\n\n"
                                                  "1 file couldn't be copied:\n" + group.PathOf(1)
                                                  + ": it is no longer there\nThe files copied have been unchecked; "
                                                  "the others stay checked."));
        QVERIFY(group.Actions().CopyChecked(false));
        QCOMPARE(group.files.Shown(), (TTexts{"R best.mp3", "D a.mp3", "D+ b.mp3", "D c.mp3"}));
    }

    void aReadOnlyDestinationStopsTheCopyBeforeAnything()
    {
        TGroupFixture group;
        group.Check({0});
        // Root writes into any folder of a writable file system, but not into the kernel's settings.
        const std::string own = group.files.Path("closed");
        QDir().mkpath(QString::fromStdString(own));
        const TFolderMode closed(own, 0555);
        const std::string destination = geteuid() == 0 ? std::string("/proc/sys") : own;
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(destination))
            .ExpectMessage(PromptKind::Warning, "The destination directory is read-only");
        QVERIFY(!group.Actions().CopyChecked(true));
        QVERIFY(FileExists(group.PathOf(0)));
        QVERIFY(group.progress.jobs.isEmpty());
    }

    void aFolderOfSomeoneElseIsNotWritableThoughItsOwnerMayWrite()
    {
        // "/" belongs to root with its owner's write bit set; any other user is refused.
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(2);
            TDiskFileOperations files;
            _exit(files.IsWritableFolder("/") ? 1 : 0);
        }
        int status = -1;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        const QTemporaryDir own;
        QVERIFY(TDiskFileOperations().IsWritableFolder(own.path().toStdString()));
    }

    void aMoveAcrossFileSystemsCopiesThenRemoves()
    {
        const QString other = "/dev/shm";
        struct stat here {}, there {};
        TGroupFixture group;
        if (stat(other.toLocal8Bit().constData(), &there) != 0 || stat(group.files.Path().c_str(), &here) != 0
            || here.st_dev == there.st_dev || !QFileInfo(other).isWritable())
            QSKIP("no second file system to move to");
        QTemporaryDir target(other + "/corvella-XXXXXX");
        TDiskFileOperations operations;
        std::string reason;
        const std::string to = target.path().toStdString() + "/a.mp3";
        QCOMPARE(operations.Move(group.PathOf(0), to, reason), TRenameOutcome::Renamed);
        QCOMPARE(ReadWholeFile(to), std::string("Rock/a.mp3"));
        QVERIFY(!FileExists(group.PathOf(0)));
        QCOMPARE(operations.Move(group.PathOf(1), to, reason), TRenameOutcome::NameTaken);
        QVERIFY(FileExists(group.PathOf(1)));
        QCOMPARE(QDir(target.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"a.mp3"});
    }

    void failuresAreToldInTheUsersWords_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("told");
        QTest::newRow("permission") << EACCES << "you have no permission for it";
        QTest::newRow("not allowed") << EPERM << "you have no permission for it";
        QTest::newRow("read-only mount") << EROFS << "it lies on a read-only file system";
        QTest::newRow("gone") << ENOENT << "it is no longer there";
        QTest::newRow("disk full") << ENOSPC << "there is no space left on the disk";
        QTest::newRow("quota") << EDQUOT << "there is no space left on the disk";
        QTest::newRow("other") << EIO << QString::fromLocal8Bit(std::strerror(EIO));
    }
    void failuresAreToldInTheUsersWords()
    {
        QFETCH(int, error);
        QFETCH(QString, told);
        QCOMPARE(QString::fromStdString(FailureReason(error)), told);
        QCOMPARE(QString::fromStdString(InUserWords(std::strerror(error))), told);
    }

    void switchIsRefusedForAReferenceFromAReferenceFolder()
    {
        TResultFiles files;
        files.profile.SetDirPriority(files.Path("ref"), dtReference);
        TBWMp3File* reference = files.Add("ref/best.mp3");
        TBWMp3File* duplicate = files.Add("new/a.mp3", {9000});
        files.Group(reference, {duplicate});
        files.Resolve();
        TGroupFixture other;
        TResultFileActions actions(files.list, files.root, other.operations, other.progress, other.lists,
                                   other.discs);
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "comes from a reference directory");
        QVERIFY(!actions.Switch(files.EntryOf(duplicate)));
        QCOMPARE(files.Shown(), (TTexts{"R best.mp3", "D a.mp3"}));
        QVERIFY(!actions.Switch(files.EntryOf(reference)));
    }

    void replaceAsksAboutAReadOnlyReferenceAndCopiesOnlyOnYes_data()
    {
        QTest::addColumn<bool>("overwrite");
        QTest::newRow("No keeps the reference") << false;
        QTest::newRow("Yes replaces it") << true;
    }
    void replaceAsksAboutAReadOnlyReferenceAndCopiesOnlyOnYes()
    {
        QFETCH(bool, overwrite);
        TGroupFixture group;
        const std::string referencePath = group.reference->FullPath();
        chmod(referencePath.c_str(), 0444);
        TResultFileActions actions = group.Actions();
        int warnings = 0;
        std::string named;
        actions.ConfirmReplace = [&](const std::string& file, const std::string& reference) {
            named = file + " over " + reference;
            return ++warnings > 0;
        };
        ScriptedPrompts prompts;
        prompts.ExpectDestructive(overwrite, "The reference file is marked as read-only.");
        QCOMPARE(actions.Replace(group.files.EntryOf(group.duplicates[1])), overwrite);
        QCOMPARE(warnings, 1);
        QCOMPARE(named, group.duplicates[1]->FullPath() + " over " + referencePath);
        QCOMPARE(ReadWholeFile(referencePath), std::string(overwrite ? "Rock/b.mp3" : "Rock/best.mp3"));
        struct stat info {};
        stat(referencePath.c_str(), &info);
        QCOMPARE(bool(info.st_mode & S_IWUSR), overwrite);
        QCOMPARE(group.files.Shown(), (TTexts{"R best.mp3", "D a.mp3", "D b.mp3", "D c.mp3"}));
    }

    void replaceDoesNothingOnCancelOrOnAReference()
    {
        TGroupFixture group;
        TResultFileActions actions = group.Actions();
        actions.ConfirmReplace = [](const std::string&, const std::string&) { return false; };
        QVERIFY(!actions.Replace(group.files.EntryOf(group.duplicates[0])));
        QVERIFY(!actions.Replace(group.files.EntryOf(group.reference)));
        QCOMPARE(ReadWholeFile(group.reference->FullPath()), std::string("Rock/best.mp3"));
    }

    void renameRefusesNamesAFolderCannotHold_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("with a folder") << "x/a.mp3";
        QTest::newRow("control character") << "a\x01.mp3";
        QTest::newRow("dot") << ".";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("taken") << "b.mp3";
    }
    void renameRefusesNamesAFolderCannotHold()
    {
        QFETCH(QString, name);
        TGroupFixture group;
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Text, name, "New filename:")
            .ExpectMessage(PromptKind::Warning, "Corvella couldn't rename the file");
        QVERIFY(!group.Actions().Rename(group.files.EntryOf(group.duplicates[0])));
        QCOMPARE(group.duplicates[0]->Name(), std::string("a.mp3"));
        QCOMPARE(ReadWholeFile(group.PathOf(0)), std::string("Rock/a.mp3"));
        QCOMPARE(ReadWholeFile(group.PathOf(1)), std::string("Rock/b.mp3"));
    }

    void renameRenamesOnDiskAndInTheList()
    {
        TGroupFixture group;
        const std::string old = group.PathOf(0);
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Text, QString("Better Name.mp3"), "New filename:");
        QVERIFY(group.Actions().Rename(group.files.EntryOf(group.duplicates[0])));
        QCOMPARE(group.duplicates[0]->Name(), std::string("Better Name.mp3"));
        QVERIFY(!FileExists(old));
        QCOMPARE(ReadWholeFile(group.PathOf(0)), std::string("Rock/a.mp3"));
    }

    void filesOfCataloguedDiscsAreRefusedByMoveBeforeAnyDiscIsAskedForAndNeverDeleted()
    {
        TResultFiles files;
        TBWMp3File* onDisk = files.Add("Rock/best.mp3", {5000});
        files.Add("disc/Live/song.mp3");
        TMplManager lists;
        lists.SetFolder(files.Path("lists"));
        TBWDirectory* volume = lists.NewList("Shelf", false)->AddVolume("CD1", files.root.FindDir(files.Path("disc"), true));
        TBWFile* onDisc = volume->FindFileByPath(volume->Path() + "Live/song.mp3");
        files.Group(onDisk, {onDisc});
        files.Resolve();
        files.list.SelectAll();
        TDiskFileOperations operations;
        TRecordedProgress progress;
        TDiscFolder discs(files.Path("disc/"));
        TResultFileActions actions(files.list, files.root, operations, progress, lists, discs);
        const std::string destination = files.Path("out/");
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(destination))
            .ExpectYesNo(true, "recreate")
            .ExpectMessage(PromptKind::Warning, "it lies on a catalogued disc and can only be copied");
        QVERIFY(actions.CopyChecked(true));
        QVERIFY2(discs.asked.empty(), "no disc is asked for a move");
        QVERIFY(!FileExists(destination + "Live/song.mp3"));
        QCOMPARE(progress.jobs, (QStringList{"Moving files 1"}));
        QCOMPARE(files.Shown(), (TTexts{"R best.mp3", "D song.mp3"}));

        files.list.SelectAll();
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(destination))
            .ExpectYesNo(true, "recreate")
            .ExpectMessage(PromptKind::Information, "1 file was copied to " + QString::fromStdString(destination));
        QVERIFY(actions.CopyChecked(false));
        QCOMPARE(discs.asked, TTexts{"CD1"});
        QCOMPARE(ReadWholeFile(destination + "Live/song.mp3"), std::string("disc/Live/song.mp3"));
        QCOMPARE(files.Shown(), (TTexts{"R best.mp3", "D+ song.mp3"}));

        files.list.SelectAll();
        prompts.ExpectYesNo(true, "delete 1 file")
            .ExpectMessage(PromptKind::Warning, "it lies on a catalogued disc");
        QVERIFY(actions.DeleteChecked());
        QCOMPARE(files.Shown(), (TTexts{"R best.mp3", "D song.mp3"}));
        QVERIFY(FileExists(files.Path("disc/Live/song.mp3")));
    }

    void removeSelectedTakesTheHighlightedRowsAndGivesOtherChecksBack()
    {
        TGroupFixture group;
        group.Check({0, 2});
        ScriptedPrompts prompts;
        prompts.ExpectYesNo(true, "remove 2 files from the list");
        QVERIFY(group.Actions().RemoveSelected(
            {group.files.EntryOf(group.duplicates[0]), group.files.EntryOf(group.duplicates[1])}));
        QCOMPARE(group.files.Shown(), (TTexts{"R best.mp3", "D+ c.mp3"}));
        QVERIFY(FileExists(group.PathOf(0)));
    }

    void removeCheckedTouchesNoFile()
    {
        TGroupFixture group;
        group.Check({0, 1, 2});
        ScriptedPrompts prompts;
        prompts.ExpectYesNo(true, "remove 3 files from the list");
        QVERIFY(group.Actions().RemoveChecked());
        QVERIFY(group.files.Shown().empty());
        QVERIFY(FileExists(group.PathOf(2)));
    }

    // ---------------------------------------------------------------- through the window

    void aCopyClashFromTheWindowKeepsEveryFileUnderAFreeName_data()
    {
        QTest::addColumn<bool>("structure");
        QTest::newRow("flat") << false;
        QTest::newRow("structure kept") << true;
    }
    void aCopyClashFromTheWindowKeepsEveryFileUnderAFreeName()
    {
        QFETCH(bool, structure);
        TResultFiles files;
        TBWMp3File* reference = files.Add("Keep/01 - Intro.mp3", {9000}, "the reference");
        std::vector<TBWMp3File*> songs;
        for (const char* folder : {"A", "B", "C"})
            songs.push_back(files.Add(folder + std::string("/01 - Intro.mp3"), {}, "song of " + std::string(folder)));
        files.Group(reference, {songs.begin(), songs.end()});
        files.Resolve();
        const std::string destination = files.Path("dest/");
        // The user's own file where the first song would go.
        const std::string own = destination + (structure ? "A/" : "") + "01 - Intro.mp3";
        WriteWholeFile(own, "the user's own");
        TResultsWindow shown(files.list);
        for (TBWMp3File* song : songs)
            shown.Check(files.EntryOf(song));
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(destination))
            .ExpectYesNo(structure, "recreate the directory structure")
            .ExpectMessage(PromptKind::Information, structure ? "3 files were copied to 3 folders under" : "3 files were copied to");
        shown.Press(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(prompts.Done());
        const QString told = prompts.Asked().back().text;
        QVERIFY2(told.contains(structure ? "1 file took a new name, as its name was taken there:"
                                         : "3 files took a new name, as their names were taken there:"),
                 qPrintable(told));
        QCOMPARE(ReadWholeFile(own), std::string("the user's own"));
        const std::vector<std::string> copies =
            structure ? std::vector<std::string>{"A/01 - Intro (2).mp3", "B/01 - Intro.mp3", "C/01 - Intro.mp3"}
                      : std::vector<std::string>{"01 - Intro (2).mp3", "01 - Intro (3).mp3", "01 - Intro (4).mp3"};
        for (std::size_t i = 0; i < songs.size(); ++i)
            QCOMPARE(ReadWholeFile(destination + copies[i]), ReadWholeFile(songs[i]->FullPath()));
        QVERIFY(told.contains(QString::fromStdString(destination + copies[0])));
    }

    void replaceFromTheWindowTrashesTheReferenceAndKeepsTheNewFilesFormat()
    {
        TResultFiles files;
        const std::string mp3 = Fixture("cbr128_stereo_44k_id3v23.mp3");
        const std::string wma = Fixture("wmav2_stereo_44k_mutagen.wma");
        TBWMp3File* reference = files.Add("Albums/Song.mp3", {9000, 100, 128}, mp3);
        TBWMp3File* duplicate = files.Add("Downloads/Song.wma", {100, 100, 192}, wma);
        files.Group(reference, {duplicate});
        files.Resolve();
        const std::string old = reference->FullPath();
        TResultsWindow shown(files.list);
        WhenModal([](QWidget& warning) { ClickButton(warning, "bReplace"); });
        shown.ChooseFromRowMenu(files.EntryOf(duplicate), "aReplace");

        const std::string placed = files.Path("Albums/Song.wma");
        QCOMPARE(reference->FullPath(), placed);
        QCOMPARE(ReadWholeFile(placed), wma);
        QVERIFY2(!FileExists(old), "never WMA bytes under .mp3");
        QCOMPARE(ReadWholeFile(duplicate->FullPath()), wma);
        QCOMPARE(ReadWholeFile((TrashFolder() + "/files/Song.mp3").toStdString()), mp3);
        const QString record = TrashRecordOf("Song.mp3");
        QVERIFY2(record.contains("Path=" + QUrl::toPercentEncoding(QString::fromStdString(old), "/")), qPrintable(record));
        QStringList hidden = QDir(QString::fromStdString(files.Path("Albums"))).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(hidden, QStringList{"Song.wma"});
        // The list shows what the new file holds, read from it.
        const TBWMp3File::TReadInfo real = TBWMp3File::ReadInfo(placed, ikBasic);
        QVERIFY(real.bitrate > 0 && real.sizeKB > 0 && real.duration > 0);
        QCOMPARE(shown.Cell(files.EntryOf(reference), rcBitrate), QString::number(real.bitrate));
        QCOMPARE(shown.Cell(files.EntryOf(reference), rcSize), QString::number(real.sizeKB / 1024.0, 'f', 2));
        QCOMPARE(shown.Cell(files.EntryOf(reference), rcFileName), QString("Song.wma"));
        QFile::remove(TrashFolder() + "/files/Song.mp3");
        QFile::remove(TrashFolder() + "/info/Song.mp3.trashinfo");
    }

    void enterOnTheReplaceWarningCancels_data()
    {
        QTest::addColumn<bool>("focusOnReplace");
        QTest::newRow("as it opens") << false;
        QTest::newRow("with the focus on Replace file") << true;
    }
    void enterOnTheReplaceWarningCancels()
    {
        QFETCH(bool, focusOnReplace);
        TGroupFixture group;
        TResultsWindow shown(group.files.list);
        bool rejected = false;
        WhenModal([&](QWidget& warning) {
            if (focusOnReplace)
                warning.findChild<QPushButton*>("bReplace")->setFocus();
            QWidget* focused = warning.focusWidget() ? warning.focusWidget() : &warning;
            QTest::keyClick(focused, Qt::Key_Return);
            rejected = static_cast<QDialog&>(warning).result() == QDialog::Rejected && !warning.isVisible();
        });
        shown.ChooseFromRowMenu(group.files.EntryOf(group.duplicates[0]), "aReplace");
        QVERIFY(rejected);
        QCOMPARE(ReadWholeFile(group.reference->FullPath()), std::string("Rock/best.mp3"));
    }

    void aDiscCopyCancelledAtTheFirstRequestSaysNoneWasCopiedAndKeepsTheChecks()
    {
        TCataloguedDisc disc;
        disc.Scan();
        TResultsWindow shown(disc.engine->Results());
        QCOMPARE(shown.view->model()->rowCount(), 2);
        for (int row = 0; row < 2; ++row) {
            ClickItem(*shown.view, shown.view->model()->index(row, 0));
            shown.Press(Qt::Key_Space);
        }
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, disc.Folder("dest"))
            .ExpectYesNo(false, "recreate the directory structure")
            .ExpectMessage(PromptKind::Warning, "0 of 2 files were copied. The copy was cancelled at a disc request.");
        TDiscRequestAnswers cancelling;
        shown.Press(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(cancelling.asked.size(), 1);
        QVERIFY(QDir(disc.Folder("dest")).isEmpty());
        QCOMPARE(disc.engine->Results().SelectedCount(), 2);
    }

    void aDiscCopyCancelledAtALaterRequestSaysHowManyOfHowManyAndUnchecksThoseCopied()
    {
        TCataloguedDisc disc(2);
        disc.Scan();
        TResultsWindow shown(disc.engine->Results());
        QCOMPARE(shown.view->model()->rowCount(), 3);
        TBWDupeFile* lithium = disc.EntryNamed("Nirvana - Lithium.mp3");
        TBWDupeFile* debaser = disc.EntryNamed("Pixies - Debaser.mp3");
        TBWDupeFile* onTheSecondDisc = disc.EntryNamed("Weezer - Buddy Holly.mp3");
        for (TBWDupeFile* entry : {lithium, debaser, onTheSecondDisc})
            shown.Check(entry);
        const QString destination = disc.Folder("dest/");
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, disc.Folder("dest"))
            .ExpectYesNo(false, "recreate the directory structure")
            .ExpectChoice(PromptKind::Folder, disc.Disc(""))
            .ExpectMessage(PromptKind::Warning, "2 of 3 files were copied to " + destination
                                                    + ". The copy was cancelled at a disc request.");
        TDiscRequestAnswers answers({true, false});
        shown.Press(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(prompts.Done());
        QCOMPARE(answers.asked.size(), 2);
        QVERIFY2(answers.asked[1].contains("\"Summer CD 2\""), qPrintable(answers.asked[1]));
        QCOMPARE(QDir(destination).entryList(QDir::Files), (QStringList{"Nirvana - Lithium.mp3", "Pixies - Debaser.mp3"}));
        // What was copied is unchecked; what was not stays checked for another try.
        TBWDupeFileList& results = disc.engine->Results();
        QVERIFY(!results.IsSelected(lithium));
        QVERIFY(!results.IsSelected(debaser));
        QVERIFY(results.IsSelected(onTheSecondDisc));
    }

    void aCopyFromADiscNeverReplacesAFileAndNamesTheNewNames_data()
    {
        QTest::addColumn<bool>("structure");
        QTest::newRow("flat") << false;
        QTest::newRow("structure kept") << true;
    }
    void aCopyFromADiscNeverReplacesAFileAndNamesTheNewNames()
    {
        QFETCH(bool, structure);
        TCataloguedDisc disc;
        disc.Scan();
        const QString destination = disc.Folder("dest/");
        const QString lithium = structure ? "CD1/Nirvana - Lithium" : "Nirvana - Lithium";
        const QStringList own = {lithium + ".mp3", "Pixies - Debaser.mp3"};
        for (const QString& name : own)
            WriteWholeFile((destination + name).toStdString(), "the user's own");
        TResultsWindow shown(disc.engine->Results());
        for (const char* name : {"Nirvana - Lithium.mp3", "Pixies - Debaser.mp3"})
            shown.Check(disc.EntryNamed(name));
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, disc.Folder("dest"))
            .ExpectYesNo(structure, "recreate the directory structure")
            .ExpectChoice(PromptKind::Folder, disc.Disc(""))
            .ExpectMessage(PromptKind::Information,
                           QString("2 files were copied to %1.\n\n2 files took a new name, as their names were taken there:")
                               .arg(structure ? "2 folders under " + destination : destination));
        TDiscRequestAnswers answers({true});
        shown.Press(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(prompts.Done());
        const QString told = prompts.Asked().back().text;
        QVERIFY2(told.contains("Nirvana - Lithium.mp3 \u2192 " + destination + lithium + " (2).mp3"), qPrintable(told));
        QVERIFY(told.contains("Pixies - Debaser.mp3 \u2192 " + destination + "Pixies - Debaser (2).mp3"));
        for (const QString& name : own)
            QCOMPARE(ReadWholeFile((destination + name).toStdString()), std::string("the user's own"));
        QCOMPARE(ReadWholeFile((destination + lithium + " (2).mp3").toStdString()),
                 ReadWholeFile(disc.Disc("CD1/Nirvana - Lithium.mp3").toStdString()));
        QCOMPARE(ReadWholeFile((destination + "Pixies - Debaser (2).mp3").toStdString()),
                 ReadWholeFile(disc.Disc("Pixies - Debaser.mp3").toStdString()));
    }

    // A link to a song and a link to a folder outside the one chosen, on
    // real files: neither takes part, so the only copy of a song is never
    // offered for deletion as the duplicate of its own link.
    void aLinkTakesNoPartInAScanSoDeletingADuplicateNeverLosesASong()
    {
        QTemporaryDir work;
        const auto path = [&](const char* relative) { return work.filePath(relative); };
        for (const char* folder : {"music", "outside"})
            QVERIFY(QDir().mkpath(path(folder)));
        const std::string song = Fixture("cbr128_stereo_44k_id3v23.mp3");
        const std::string tune = Fixture("vbr_stereo_44k_picture.mp3");
        for (const char* name : {"music/Song.mp3", "outside/Song.mp3"})
            WriteWholeFile(path(name).toStdString(), song);
        for (const char* name : {"music/Tune.mp3", "music/Tune copy.mp3"})
            WriteWholeFile(path(name).toStdString(), tune);
        QVERIFY(QFile::link(path("music/Song.mp3"), path("music/Song (alias).mp3")));
        QVERIFY(QFile::link(path("outside"), path("music/elsewhere")));
        TBWCVProfile profile;
        profile.NewProfile();
        profile.CompType = ctContent;
        profile.DirPath = {FSDrive().FindDir(path("music/").toStdString(), true)->Path()};
        TBWDupeEngine engine(FSDrive(), profile);
        engine.AddDirectories(profile.DirPath);
        engine.Execute();

        TResultsWindow shown(engine.Results());
        QStringList rows = shown.Rows();
        QCOMPARE(rows.size(), 2);
        QVERIFY2(rows.filter("Tune").size() == 2, qPrintable(rows.join(", ")));
        TBWDupeFile* duplicate = shown.window->Model().EntryAt(rows.indexOf(QRegularExpression("D .*")));
        shown.Check(duplicate);
        const QString deleted = QString::fromStdString(duplicate->File()->Name());
        ScriptedPrompts prompts;
        prompts.ExpectDestructive(true, "delete 1 file");
        shown.Press(Qt::Key_D, Qt::ControlModifier);
        QVERIFY(prompts.Done());
        QCOMPARE(ReadWholeFile(path("music/Song.mp3").toStdString()), song);
        QCOMPARE(ReadWholeFile(path("music/Song (alias).mp3").toStdString()), song);
        QCOMPARE(ReadWholeFile(path("outside/Song.mp3").toStdString()), song);
        QVERIFY(!QFile::exists(path("music/") + deleted));
        QCOMPARE(ReadWholeFile((TrashFolder() + "/files/" + deleted).toStdString()), tune);
        QFile::remove(TrashFolder() + "/files/" + deleted);
        QFile::remove(TrashFolder() + "/info/" + deleted + ".trashinfo");
    }

    void moveFromTheWindowRefusesDiscFilesBeforeAnyDiscIsAskedFor()
    {
        TCataloguedDisc disc;
        disc.Scan();
        TResultsWindow shown(disc.engine->Results());
        ClickItem(*shown.view, shown.view->model()->index(0, 0));
        shown.Press(Qt::Key_Space);
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, disc.Folder("dest"))
            .ExpectYesNo(false, "recreate the directory structure")
            .ExpectMessage(PromptKind::Warning, "it lies on a catalogued disc and can only be copied");
        TDiscRequestAnswers noRequest;
        shown.Press(Qt::Key_X, Qt::ControlModifier);
        QVERIFY(prompts.Done());
        QCoreApplication::processEvents();
        QVERIFY(noRequest.asked.isEmpty());
        QVERIFY(prompts.Asked().back().text.startsWith("0 of 1 file were moved."));
        QVERIFY(QDir(disc.Folder("dest")).isEmpty());
        QCOMPARE(shown.view->model()->rowCount(), 2);
    }

    void deleteFromTheWindowInAReadOnlyFolderGivesThatReason()
    {
        TGroupFixture group;
        TResultsWindow shown(group.files.list);
        shown.Check(group.files.EntryOf(group.duplicates[0]));
        const TFolderMode closed(group.files.Path("Rock"), 0555);
        ScriptedPrompts prompts;
        prompts.ExpectDestructive(true, "delete 1 file")
            .ExpectMessage(PromptKind::Warning,
                           QString::fromStdString("0 of 1 file were deleted.\n\n1 file couldn't be deleted:\n"
                                                  + group.PathOf(0) + ": its folder is read-only"));
        shown.Press(Qt::Key_D, Qt::ControlModifier);
        QVERIFY(prompts.Done());
        QVERIFY(FileExists(group.PathOf(0)));
        QCOMPARE(group.files.Shown(), (TTexts{"R best.mp3", "D a.mp3", "D b.mp3", "D c.mp3"}));
    }

    void moveFromTheWindowWithTheStructureKeptNamesTheFolderTheFilesWentTo()
    {
        TGroupFixture group;
        TResultsWindow shown(group.files.list);
        shown.Check(group.files.EntryOf(group.duplicates[0]));
        shown.Check(group.files.EntryOf(group.duplicates[2]));
        const std::string destination = group.files.Path("dest");
        ScriptedPrompts prompts;
        prompts.ExpectChoice(PromptKind::Folder, QString::fromStdString(destination))
            .ExpectYesNo(true, "recreate the directory structure")
            .ExpectMessage(PromptKind::Information,
                           QString::fromStdString("2 files were moved to " + destination + "/Rock/."));
        shown.Press(Qt::Key_X, Qt::ControlModifier);
        QVERIFY(prompts.Done());
        QCOMPARE(ReadWholeFile(destination + "/Rock/a.mp3"), std::string("Rock/a.mp3"));
        QCOMPARE(ReadWholeFile(destination + "/Rock/c.mp3"), std::string("Rock/c.mp3"));
    }

    void playingARowWithoutALauncherSaysSo()
    {
        TGroupFixture group;
        TResultsWindow shown(group.files.list);
        ScriptedPrompts prompts;
        prompts.ExpectOpen(false, QString::fromStdString(group.PathOf(1)))
            .ExpectMessage(PromptKind::Warning, "No program is set up on this desktop to play");
        const QModelIndex row = shown.Index(group.files.EntryOf(group.duplicates[1]));
        // A double-click is a press, a release and then the second press of the pair.
        QTest::mouseClick(shown.view->viewport(), Qt::LeftButton, {}, shown.view->visualRect(row).center());
        QTest::mouseDClick(shown.view->viewport(), Qt::LeftButton, {}, shown.view->visualRect(row).center());
        QVERIFY(prompts.Done());
    }
};

CORVELLA_UI_TEST_MAIN(TestResultActions)
#include "test_u_resultactions.moc"
