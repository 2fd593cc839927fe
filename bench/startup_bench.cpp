// Start-up of the program up to its main window shown, over a data folder of
// stored profiles and Mp3 Lists, step by step as the program takes them.
// Usage: startup_bench [PROFILES [LISTS [FILES_PER_LIST]]] (200, 20, 500).
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/HUtils.h"
#include "engine/u_cvprofile.h"
#include "model/u_bwfsmp3.h"
#include "model/u_bwfsmpl.h"
#include "ui/main/Main.h"
#include "ui/common/u_cvgensettings.h"
#include "ui/common/u_pictures.h"
#include "ui/main/u_singleinstance.h"
#include "ui/main/u_startup.h"

namespace {

using Clock = std::chrono::steady_clock;

void StoreProfiles(int count)
{
    TBWCVProfile profile;
    for (int i = 0; i < count; ++i) {
        profile.NewProfile();
        profile.SetProfileName("profile_" + std::to_string(i));
        profile.ProfileComment = "Sample profile number " + std::to_string(i);
        profile.DirPath = {"%mymusic%/", "/media/usb/Music/" + std::to_string(i)};
        profile.LastRun = i % 3 ? 46000 + i : 0;
        profile.SaveProfile();
    }
}

void StoreLists(int count, int filesPerList)
{
    MplManager().SetFolder(AppPaths().dataFolder);
    MplManager().Reload();
    for (int i = 0; i < count; ++i) {
        TBWDirMpl* list = MplManager().NewList("list_" + std::to_string(i), false);
        TBWDirectory* album = list->AddSubDirTouch("Disc " + std::to_string(i))->AddSubDirTouch("Album");
        for (int f = 0; f < filesPerList; ++f) {
            auto* file = static_cast<TBWMp3File*>(album->Files()->AddFileTouch("Track " + std::to_string(f) + ".mp3"));
            file->SetLoadedInfo(TBWInfoKinds().set(ikBasic).set(ikDigest).set(ikTags));
            file->SetSize(4000 + f);
            file->SetDuration(200 + f % 60);
            file->SetBitrate(192);
        }
    }
    MplManager().SaveAll();
}

class TStepClock {
public:
    void Step(const char* name)
    {
        const Clock::time_point now = Clock::now();
        std::printf("  %-36s %8.1f ms\n", name, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
    }
    double TotalMs() const { return std::chrono::duration<double, std::milli>(Clock::now() - start_).count(); }

private:
    Clock::time_point start_ = Clock::now();
    Clock::time_point last_ = start_;
};

} // namespace

int main(int argc, char** argv)
{
    const int profiles = argc > 1 ? std::atoi(argv[1]) : 200;
    const int lists = argc > 2 ? std::atoi(argv[2]) : 20;
    const int filesPerList = argc > 3 ? std::atoi(argv[3]) : 500;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home.path() + "/runtime").toLocal8Bit());
    QDir().mkpath(home.path() + "/runtime");
    QFile::setPermissions(home.path() + "/runtime", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    {
        // The data folder is made by a first run; its time is not counted.
        InitAppPaths(kMakerName, kProductName, kHelpFileName);
        StoreProfiles(profiles);
        StoreLists(lists, filesPerList);
        MplManager().Reload();
        MplManager().FreeRetiredLists();
    }

    std::printf("start-up with %d profiles and %d Mp3 Lists of %d files:\n", profiles, lists, filesPerList);
    TStepClock clock;
    int argcQt = 1;
    QApplication application(argcQt, argv);
    clock.Step("application");
    TSingleInstance instance(QString::fromStdString(ExpectedDataFolder()));
    bool answered = false;
    instance.TakeOver(answered);
    clock.Step("single-instance lock");
    InitAppPaths(kMakerName, kProductName, kHelpFileName);
    GenSettings().LoadOrCreate();
    clock.Step("paths and settings");
    MplManager().SetFolder(AppPaths().dataFolder);
    MplManager().Reload();
    clock.Step("Mp3 Lists");
    TPictureModules pictures;
    clock.Step("pictures");
    TfCorvella4 window;
    clock.Step("main window made (profiles read)");
    window.show();
    QApplication::processEvents();
    clock.Step("main window shown");
    std::printf("total: %.1f ms (rows %d)\n", clock.TotalMs(), window.Profiles().rowCount());
    return 0;
}
