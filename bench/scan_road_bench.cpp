// A scan taken through the main window's road (progress window up, the
// window thread waiting in its event loop) against the same scan run
// straight on the engine, on one folder in one process.
// Usage: scan_road_bench DIR [ROUNDS] (3 rounds, after one warm-up scan).
#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "engine/u_cvprofile.h"
#include "engine/u_dupeengine.h"
#include "model/u_bwfsdrive.h"
#include "model/u_bwfsmpl.h"
#include "ui/common/u_pictures.h"
#include "ui/main/u_scanroad.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

// Notes when the scan has ended: the road's first call after its wait.
class TTimingHost : public TScanRoadHost {
public:
    Clock::time_point scanEnded;
    int groups = 0;

    void MinimiseMain() override { scanEnded = Clock::now(); }
    void ShowResults(TBWDupeFileList& results) override { groups = results.RefCount(); }
    void RestoreMain() override {}
    void RefreshProfileList() override {}
};

double DirectScan(const TBWCVProfile& profile, const std::string& folder, int& groups)
{
    const Clock::time_point start = Clock::now();
    TBWDupeEngine engine(FSDrive(), profile);
    engine.AddDirectory(folder);
    engine.Execute();
    groups = engine.Results().RefCount();
    return Seconds(Clock::now() - start);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DIR [ROUNDS]\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int argcQt = 1;
    QApplication application(argcQt, argv);
    TPictureModules pictures;
    QTemporaryDir data;
    const std::string dataFolder = data.path().toStdString() + "/";
    TBWCVProfile profile(dataFolder);
    profile.NewProfile();
    profile.SetProfileName("bench");
    profile.DirPath = {folder};
    profile.SaveProfile();
    MplManager().SetFolder(dataFolder);

    int groups = 0;
    DirectScan(profile, folder, groups);
    double direct = 0;
    double road = 0;
    for (int round = 0; round < rounds; ++round) {
        direct += DirectScan(profile, folder, groups);
        TTimingHost host;
        TScanRoad scan({profile, MplManager(), FSDrive(), dataFolder}, host,
                       [](const TBWCVProfile& ran) { return MakeEngineWorker(FSDrive(), ran); });
        const Clock::time_point start = Clock::now();
        scan.Run("bench");
        road += Seconds(host.scanEnded - start);
        if (host.groups != groups)
            std::fprintf(stderr, "the road found %d groups, the engine %d\n", host.groups, groups);
    }
    std::printf("scan of %s, mean of %d rounds: engine %.3f s, main window's road %.3f s (%+.1f %%), %d groups\n",
                folder.c_str(), rounds, direct / rounds, road / rounds, 100 * (road - direct) / direct, groups);
    return 0;
}
