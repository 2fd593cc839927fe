// The sensitivity presets of the configuration wizard, each scanned in a
// process of its own over every folder given (collections of names made by
// make_collection --zipf, say 60,000 and 120,000): the time and the peak
// memory of each whole scan, and, for each preset, how much more memory the
// last folder took than the first.
// Usage: preset_bench DIR... [--scan-bench PROGRAM] [--preset N]
// Each scan runs scan_bench (beside this program, or PROGRAM, for instance
// one of an older build, to compare) with the settings of the preset;
// --preset runs that one preset only.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "engine/u_cvprofile.h"
#include "ui/configwizard/u_wizthreshold.h"

namespace {

struct TRun {
    double seconds = -1;
    double peakMB = 0;
    bool failed = true;
};

// scan_bench's options for the profile a preset makes of a new one.
std::vector<std::string> ScanOptions(const TSensitivityPreset& preset)
{
    TBWCVProfile profile("/nonexistent");
    profile.NewProfile();
    ApplySensitivityPreset(preset, profile);
    std::vector<std::string> options{"--type",  std::to_string(profile.CompType),
                                     "--perc",  std::to_string(profile.MinPerc),
                                     "--words", std::to_string(profile.MinWordCount),
                                     "--sim",   std::to_string(profile.SimWord)};
    if (profile.NoFieldOrder)
        options.push_back("--anyorder");
    return options;
}

// Runs program with arguments, its output thrown away; its time and peak
// memory, from the process's own account.
TRun RunScan(const std::string& program, const std::string& folder, const std::vector<std::string>& options)
{
    std::vector<std::string> arguments{program, folder};
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(argument.data());
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        std::freopen("/dev/null", "w", stdout);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    TRun run;
    int status = 0;
    rusage usage{};
    if (child < 0 || wait4(child, &status, 0, &usage) != child)
        return run;
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.peakMB = usage.ru_maxrss / 1024.0;
    run.failed = !WIFEXITED(status) || WEXITSTATUS(status) != 0;
    return run;
}

std::string Beside(const char* self, const std::string& name)
{
    std::error_code error;
    const std::filesystem::path program = std::filesystem::canonical("/proc/self/exe", error);
    return ((error ? std::filesystem::path(self) : program).parent_path() / name).string();
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> folders;
    std::string scanBench = Beside(argv[0], "scan_bench");
    std::optional<int> only;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--scan-bench" && i + 1 < argc)
            scanBench = argv[++i];
        else if (arg == "--preset" && i + 1 < argc)
            only = std::atoi(argv[++i]);
        else if (!arg.starts_with("--"))
            folders.push_back(arg);
        else {
            folders.clear();
            break;
        }
    }
    if (folders.empty()) {
        std::fprintf(stderr, "usage: %s DIR... [--scan-bench PROGRAM] [--preset N]\n", argv[0]);
        return 2;
    }
    std::printf("scans by %s\n", scanBench.c_str());
    bool failed = false;
    for (int item = 0; item < kSensitivityPresetCount; ++item) {
        if (only && *only != item)
            continue;
        const TSensitivityPreset& preset = SensitivityPreset(item);
        std::printf("preset %d: %.60s\n", item, preset.text);
        std::vector<TRun> runs;
        for (const std::string& folder : folders) {
            runs.push_back(RunScan(scanBench, folder, ScanOptions(preset)));
            const TRun& run = runs.back();
            std::printf("  %-28s %9.3f s %9.1f MB%s\n", std::filesystem::path(folder).filename().c_str(),
                        run.seconds, run.peakMB, run.failed ? "  (the scan failed)" : "");
            std::fflush(stdout);
            failed |= run.failed;
        }
        if (runs.size() > 1 && runs.front().peakMB > 0)
            std::printf("  peak memory of the last folder: %.2f times the first's\n",
                        runs.back().peakMB / runs.front().peakMB);
    }
    return failed ? 1 : 0;
}
