// The linking of similar words in a scan of one folder: its time and the
// memory it takes, then how fast a scan stopped from another thread during
// the linking ends, as the window thread stops it.
// Usage: link_stop_bench DIR [--sim N] [--stops N]
// Without an error the figures go to standard output; the exit status is
// not 0 when a scan failed or did not stop when asked. A stop that comes
// after the linking (whose time varies) names the job it fell in.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "engine/u_dupeengine.h"
#include "model/u_bwfsmp3.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kLinkingJob = "Linking similar words";

// The file system under "/", as the model's root shows it.
class TDiskRoot : public TBWDirMp3 {
public:
    void LoadSubDirs() override { AddSubDir("/"); }
};

double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

// A figure of /proc/self/status in MB: VmRSS now, VmHWM the peak.
double StatusMegabytes(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.starts_with(field + ":"))
            return std::atof(line.c_str() + field.size() + 1) / 1024.0;
    return 0;
}

// Lets the peak figure start again from what the process holds now.
void ResetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// One scan of the folder with its own engine, the linking job timed.
// Watches the scan's jobs to time the linking.
class TScan : public TProgressSink {
public:
    TScan(TDiskRoot& root, const TBWCVProfile& profile, const std::string& folder)
        : engine_(std::make_unique<TBWDupeEngine>(root, profile))
    {
        engine_->AddDirectory(folder);
        engine_->Progress = this;
    }

    void StartJob(const std::string& caption, std::uint64_t) override
    {
        const Clock::time_point now = Clock::now();
        if (linkStart_.load() != Clock::time_point{} && linkEnd_.load() == Clock::time_point{}) {
            linkEnd_ = now;
            linkPeak_ = StatusMegabytes("VmHWM");
        }
        if (caption == kLinkingJob) {
            ResetPeakMemory();
            linkStartMemory_ = StatusMegabytes("VmRSS");
            linkStart_ = now;
        }
    }
    void Step(std::uint64_t) override {}

    void Start() { engine_->Start(); }
    bool Finished() const { return engine_->Finished(); }
    TBWDupeEngine& Engine() { return *engine_; }
    void WaitForLinking() const
    {
        while (linkStart_.load() == Clock::time_point{} && !Finished())
            std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    void WaitUntilFinished() const
    {
        while (!Finished())
            std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    void Free() { engine_.reset(); }

    Clock::time_point LinkStart() const { return linkStart_; }
    Clock::duration LinkTime() const { return linkEnd_.load() - linkStart_.load(); }
    double LinkStartMemory() const { return linkStartMemory_; }
    double LinkPeak() const { return linkPeak_; }

private:
    std::unique_ptr<TBWDupeEngine> engine_;
    std::atomic<Clock::time_point> linkStart_{};
    std::atomic<Clock::time_point> linkEnd_{};
    std::atomic<double> linkStartMemory_ = 0;
    std::atomic<double> linkPeak_ = 0;
};

}  // namespace

int main(int argc, char** argv)
{
    TBWCVProfile profile("/nonexistent");
    profile.NewProfile();
    profile.SimWord = 1;
    std::string folder;
    int stops = 5;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--sim" && i + 1 < argc)
            profile.SimWord = std::atoi(argv[++i]);
        else if (arg == "--stops" && i + 1 < argc)
            stops = std::max(1, std::atoi(argv[++i]));
        else if (!arg.starts_with("--"))
            folder = arg;
    }
    if (folder.empty() || profile.SimWord <= 0) {
        std::fprintf(stderr, "usage: %s DIR [--sim N (1 or more)] [--stops N]\n", argv[0]);
        return 2;
    }

    TDiskRoot root;
    Clock::duration linkTime{};
    {
        TScan scan(root, profile, folder);
        scan.Start();
        scan.WaitUntilFinished();
        if (!scan.Engine().Error().empty() || scan.LinkStart() == Clock::time_point{}) {
            std::fprintf(stderr, "the scan failed or linked no words: %s\n", scan.Engine().Error().c_str());
            return 1;
        }
        linkTime = scan.LinkTime();
        std::printf("linking: %.1f ms, memory %.1f MB at its start, peak %.1f MB\n", Milliseconds(linkTime),
                    scan.LinkStartMemory(), scan.LinkPeak());
    }

    // Stops spread over the linking, the first as it begins.
    bool allStopped = true;
    for (int n = 0; n < stops; ++n) {
        TScan scan(root, profile, folder);
        scan.Start();
        scan.WaitForLinking();
        std::this_thread::sleep_for(linkTime * n / stops);
        const std::string job = scan.Engine().StepCaption();
        const Clock::time_point asked = Clock::now();
        scan.Engine().RequestStop();
        scan.WaitUntilFinished();
        const Clock::time_point ended = Clock::now();
        const bool stopped = scan.Engine().Stopped();
        scan.Free();
        const Clock::time_point freed = Clock::now();
        allStopped = allStopped && stopped;
        std::printf("stop %.1f ms into the linking, during \"%s\": %s in %.2f ms, engine freed %.2f ms later\n",
                    Milliseconds(asked - scan.LinkStart()), job.c_str(), stopped ? "stopped" : "NOT stopped",
                    Milliseconds(ended - asked), Milliseconds(freed - ended));
    }
    return allStopped ? 0 : 1;
}
