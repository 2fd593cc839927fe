#include "ui/main/u_startup.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <functional>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

#include "base/HUtils.h"
#include "base/platform/u_temporaryfile.h"
#include "base/u_bwfunc.h"
#include "engine/u_cvprofile.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "tags/u_musichandler.h"
#include "ui/main/Main.h"
#include "ui/main/u_loadproblems.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/common/u_pictures.h"
#include "ui/common/u_prompts.h"
#include "ui/main/u_singleinstance.h"
#include "ui/mpleditor/u_mpleditorcommands.h"
#include "ui/common/u_tooltips.h"

namespace {

// Where the hidden files the program writes anywhere are recorded while they exist.
constexpr const char* kTemporaryRecords = "temporaries";

int gSignalSockets[2] = {-1, -1};

void OnCloseSignal(int)
{
    const char byte = 1;
    // Only async-signal-safe work here; the window thread does the rest.
    [[maybe_unused]] const auto written = ::write(gSignalSockets[0], &byte, 1);
}

// Turns SIGTERM and SIGINT into a close request on the window thread,
// handled by whatever the program is showing at that moment.
class TCloseSignals {
public:
    TCloseSignals()
    {
        if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalSockets) != 0)
            return;
        notifier_ = std::make_unique<QSocketNotifier>(gSignalSockets[1], QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
            char byte = 0;
            [[maybe_unused]] const auto read = ::read(gSignalSockets[1], &byte, 1);
            if (onClose_)
                onClose_();
        });
        struct sigaction action {};
        action.sa_handler = OnCloseSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGINT, &action, nullptr);
    }
    ~TCloseSignals()
    {
        std::signal(SIGTERM, SIG_DFL);
        std::signal(SIGINT, SIG_DFL);
        notifier_.reset();
        for (int& socket : gSignalSockets) {
            if (socket >= 0)
                ::close(socket);
            socket = -1;
        }
    }
    TCloseSignals(const TCloseSignals&) = delete;
    TCloseSignals& operator=(const TCloseSignals&) = delete;

    void HandleWith(std::function<void()> onClose) { onClose_ = std::move(onClose); }

private:
    std::unique_ptr<QSocketNotifier> notifier_;
    std::function<void()> onClose_;
};

// The program's global objects, made in this order and so freed in the
// reverse one when the program ends; the model root needs the list manager.
void MakeGlobalObjects()
{
    MusicHandler();
    MplManager();
    FSDrive();
    CurrentProfile();
    GenSettings();
}

void LoadMp3Lists()
{
    std::string folder = AppPaths().dataFolder;
    if (!folder.empty() && folder.back() == '/')
        folder.pop_back();
    MplManager().SetFolder(folder);
    MplManager().Reload();
}

} // namespace

void SaveAtExit()
{
    TBWCVGenSettings& settings = GenSettings();
    if (settings.Loaded() && !settings.SaveIfLoaded()) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        Prompts().ShowWarning(QStringLiteral("Corvella"),
                              QStringLiteral("The settings could not be saved to %1 (%2), so the changes made to them "
                                             "in this run are lost.")
                                  .arg(QString::fromStdString(settings.FileName()), reason));
    }
    SaveListsAtExit();
}

void BringModalForward()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    modal->setWindowState(modal->windowState() & ~Qt::WindowMinimized);
    modal->show();
    modal->raise();
    modal->activateWindow();
}

bool TakeOverOrTell(TSingleInstance& instance)
{
    bool answered = false;
    if (instance.TakeOver(answered))
        return true;
    if (answered) {
        std::fputs("Corvella is running already: its window was brought to the front.\n", stderr);
    } else {
        std::fputs("Corvella is running already, but did not answer.\n", stderr);
        Prompts().ShowWarning(QStringLiteral("Corvella"), instance.NoAnswerText());
    }
    return false;
}

std::string ExpectedDataFolder()
{
    return AddTrailingBackslash(GetSpecialFolder(sfAppData, sffUseFallback)) + kMakerName + "/" + kProductName + "/";
}

int RunCorvella(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(kProductName);
    QApplication::setOrganizationName(kMakerName);

    // From the moment the program owns the data folder, a close request
    // lets it end the way Exit does.
    TCloseSignals closeSignals;
    bool closedBeforeTheWindow = false;
    closeSignals.HandleWith([&closedBeforeTheWindow] {
        closedBeforeTheWindow = true;
        if (QWidget* tip = QApplication::activeModalWidget())
            tip->close();
    });
    TSingleInstance instance(QString::fromStdString(ExpectedDataFolder()));
    if (!MultipleCopiesAllowed() && !TakeOverOrTell(instance))
        return 0;

    InitAppPaths(kMakerName, kProductName, kHelpFileName);
    RemoveStaleTemporaries(AppPaths().dataFolder);
    RemoveStaleTemporaries(AppPaths().dataFolder + "profiles");
    RecordTemporariesIn(AppPaths().dataFolder + kTemporaryRecords);
    RemoveRecordedTemporaries(AppPaths().dataFolder + kTemporaryRecords);
    MakeGlobalObjects();
    GenSettings().LoadOrCreate();
    LoadProblems().SettingsLoaded(GenSettings());
    const QMetaObject::Connection tipForward =
        QObject::connect(&instance, &TSingleInstance::comeForward, &BringModalForward);
    ShowTips(GenSettings(), false);
    QObject::disconnect(tipForward);
    if (closedBeforeTheWindow) {
        SaveAtExit();
        return 0;
    }
    LoadMp3Lists();
    LoadProblems().ListsLoaded(MplManager());

    TPictureModules pictures;
    int status = 0;
    {
        TfCorvella4 window;
        QObject::connect(&instance, &TSingleInstance::comeForward, &window, &TfCorvella4::WMUser);
        closeSignals.HandleWith([&window] { window.CloseRequested(); });
        window.show();
        status = QApplication::exec();
        closeSignals.HandleWith({});
    }
    SaveAtExit();
    return status;
}
