// The real program started twice in a desktop of its own: the second start
// hands over to the first and ends at once having written nothing; with
// several copies allowed both run; SIGTERM closes the first cleanly, with its
// settings written, also while the tip of the day is still up.
#include "ui/main/u_startup.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/wait.h>
#include <unistd.h>

#include "base/HUtils.h"
#include "tests/ui/modal_dialogs.h"
#include "tests/ui/scripted_prompts.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/main/u_singleinstance.h"
#include "tests/ui/ui_test_main.h"

namespace {

constexpr int kStartMs = 10000;
constexpr int kHandOverMs = 3000;

// A copy of the program that is killed if a test leaves it running.
class TProgram {
public:
    explicit TProgram(const QProcessEnvironment& environment)
    {
        process_.setProcessEnvironment(environment);
        process_.setProgram(QCoreApplication::applicationDirPath() + "/../../app/corvella");
    }
    ~TProgram()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(kStartMs);
        }
    }
    QProcess& Process() { return process_; }

private:
    QProcess process_;
};

// Every file of the folder with the digest of its content and its time.
QStringList Snapshot(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        files << path + " " + QCryptographicHash::hash(file.readAll(), QCryptographicHash::Md5).toHex() + " " +
                     QString::number(it.fileInfo().lastModified().toMSecsSinceEpoch());
    }
    files.sort();
    return files;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT

    QTemporaryDir home_;
    QProcessEnvironment environment_;
    QString dataFolder_;

    // Whether the running copy listens for later starts.
    bool Listening() const
    {
        QStringList sockets = QDir(home_.path() + "/runtime").entryList({"corvella-*.socket"}, QDir::System);
        return !sockets.isEmpty();
    }

private slots:
    void init()
    {
        QVERIFY(home_.isValid());
        const QString home = home_.path();
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert("HOME", home);
        environment_.insert("XDG_DATA_HOME", home + "/data");
        environment_.insert("XDG_CONFIG_HOME", home + "/config");
        environment_.insert("XDG_CACHE_HOME", home + "/cache");
        environment_.insert("XDG_RUNTIME_DIR", home + "/runtime");
        environment_.insert("QT_QPA_PLATFORM", "offscreen");
        environment_.remove(kAllowMultipleVariable);
        QDir().mkpath(home + "/runtime");
        QFile::setPermissions(home + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        dataFolder_ = home + "/data/" + kMakerName + "/" + kProductName;
        QDir().mkpath(dataFolder_);
        // No tip window: it would wait for a click.
        QFile settings(dataFolder_ + "/settings.xml");
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("<bwprofile><ShowTips>0</ShowTips><LastTip>4</LastTip></bwprofile>");
    }

    void aSecondStartHandsOverAndWritesNothing()
    {
        TProgram first(environment_);
        first.Process().start();
        QVERIFY(first.Process().waitForStarted(kStartMs));
        QTRY_VERIFY_WITH_TIMEOUT(Listening() && QFile::exists(dataFolder_ + "/profiles/quick_scan.xml"), kStartMs);
        const QStringList before = Snapshot(home_.path() + "/data");

        TProgram second(environment_);
        second.Process().start();
        // Given as long as a start: a loaded machine starts a copy slowly.
        QVERIFY(second.Process().waitForFinished(kStartMs));
        QCOMPARE(second.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.Process().exitCode(), 0);
        QVERIFY(second.Process().readAllStandardError().contains("its window was brought to the front"));
        QCOMPARE(Snapshot(home_.path() + "/data"), before);
        QCOMPARE(first.Process().state(), QProcess::Running);

        // SIGTERM closes the window the way Exit does: the settings are written.
        first.Process().terminate();
        QVERIFY(first.Process().waitForFinished(kStartMs));
        QCOMPARE(first.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(first.Process().exitCode(), 0);
        QFile settings(dataFolder_ + "/settings.xml");
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray written = settings.readAll();
        QVERIFY(written.contains("<ShowTips>0</ShowTips>"));
        QVERIFY(written.contains("<ScanResMaximized>1</ScanResMaximized>"));
    }

    void aCloseSignalDuringTheTipEndsTheProgramWithTheSettingsWritten()
    {
        QFile settings(dataFolder_ + "/settings.xml");
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("<bwprofile><ShowTips>1</ShowTips><LastTip>4</LastTip></bwprofile>");
        settings.close();
        QDir(dataFolder_ + "/profiles").removeRecursively();
        TProgram program(environment_);
        program.Process().start();
        QTRY_VERIFY_WITH_TIMEOUT(Listening(), kStartMs);
        program.Process().terminate();
        QVERIFY(program.Process().waitForFinished(kStartMs));
        QCOMPARE(program.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.Process().exitCode(), 0);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray written = settings.readAll();
        QVERIFY2(written.contains("<LastTip>5</LastTip>"), written.constData());
        QVERIFY(written.contains("<ShowTips>1</ShowTips>"));
        // The main window never opened.
        QVERIFY(!QFile::exists(dataFolder_ + "/profiles/quick_scan.xml"));
    }

    // Saves killed where the file system has no unnamed files leave hidden
    // temporaries named after their process; the next start clears them.
    void theTemporariesOfAProcessThatIsGoneAreRemovedAtStartUp()
    {
        const pid_t gone = ::fork();
        if (gone == 0)
            ::_exit(0);
        QCOMPARE(::waitpid(gone, nullptr, 0), gone);
        const QString mark = ".tmp" + QString::number(gone) + "-0";
        QDir().mkpath(dataFolder_ + "/profiles");
        const QStringList left = {dataFolder_ + "/.settings.xml" + mark, dataFolder_ + "/profiles/.Rock.xml" + mark};
        for (const QString& name : left) {
            QFile file(name);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        TProgram program(environment_);
        program.Process().start();
        QTRY_VERIFY_WITH_TIMEOUT(Listening() && QFile::exists(dataFolder_ + "/profiles/quick_scan.xml"), kStartMs);
        for (const QString& name : left)
            QVERIFY2(!QFile::exists(name), qPrintable(name));
        program.Process().terminate();
        QVERIFY(program.Process().waitForFinished(kStartMs));
    }

    // Before the main window exists, the tip is what a later start brings forward.
    void aLaterStartDuringTheTipBringsTheTipForward()
    {
        QDialog tip;
        bool forward = false;
        WhenModal([&](QWidget& dialog) {
            dialog.showMinimized();
            QTRY_VERIFY(dialog.isMinimized());
            BringModalForward();
            QTRY_VERIFY(!dialog.isMinimized());
            QTRY_COMPARE(QApplication::activeWindow(), &dialog);
            forward = true;
        });
        tip.exec();
        QVERIFY(forward);
    }

    // A full disk, or a read-only file or folder: the settings of the run
    // are lost, and the user is told where and why.
    void aSettingsSaveThatFailsAtTheEndIsTold()
    {
        InitAppPaths(kMakerName, kProductName, kHelpFileName);
        GenSettings().LoadOrCreate();
        QVERIFY(GenSettings().Loaded());
        const QString file = QString::fromStdString(GenSettings().FileName());
        QVERIFY(file.startsWith(QString::fromStdString(AppPaths().dataFolder)));
        // A folder where the file goes: no write can take its place.
        QVERIFY(QDir().mkpath(file));
        ScriptedPrompts prompts;
        prompts.ExpectMessage(PromptKind::Warning, "The settings could not be saved to " + file + " (");
        SaveAtExit();
        QVERIFY(prompts.Done());
        QVERIFY(QDir().rmdir(file));
        SaveAtExit();
        QVERIFY(QFileInfo(file).isFile());
    }

    void severalCopiesRunWhenAllowed()
    {
        environment_.insert(kAllowMultipleVariable, "1");
        TProgram first(environment_);
        TProgram second(environment_);
        first.Process().start();
        second.Process().start();
        QVERIFY(first.Process().waitForStarted(kStartMs));
        QVERIFY(second.Process().waitForStarted(kStartMs));
        QVERIFY(!second.Process().waitForFinished(kHandOverMs));
        QCOMPARE(first.Process().state(), QProcess::Running);
        QVERIFY(!Listening());
        for (TProgram* copy : {&first, &second}) {
            copy->Process().terminate();
            QVERIFY(copy->Process().waitForFinished(kStartMs));
            QCOMPARE(copy->Process().exitCode(), 0);
        }
    }
};

CORVELLA_UI_TEST_MAIN(TestStartup)
#include "test_u_startup.moc"
