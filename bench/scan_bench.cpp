// A complete scan of one folder, exactly as the program runs it, with the time
// of every job and the peak memory at its end, the size of the result, how many windows a scan by content
// digested in how many batches of lanes, the peak memory and the processor
// time, and the time the result file took to write. The time find
// takes to list the same tree comes first, as the yardstick of the walk.
// Usage: scan_bench DIR [--type N] [--perc N] [--words N] [--length N]
//                       [--sim N] [--anyorder] [--result N] [--threads N]
//                       [--listing N] [--read N] [--cold] [--every-pair] [--no-find] [--out FILE]
//        scan_bench DIR --load FILE
//        scan_bench DIR [options] --stop-after SECONDS
// --threads sets the number of matching threads (0, the default, is one per
// processor), so that result files of several thread counts can be compared;
// --listing the threads that list folders ahead of the walk (1 for none);
// --read the threads that read tags, sizes and digests (0 for the default);
// --cold drops the page cache before the scan (the root user only), so that
// the scan reads from the disk itself.
// --no-find leaves out the yardstick, so that the time of the whole process
// is the scan's.
// --every-pair scores every pair of files sharing a word, as the plain walk
// does: the result file of the filtered scan must be the same.
// --stop-after asks the scan to stop after that many seconds and prints how
// long the stop took to be answered.
// --load reads the result file FILE back, with the files below DIR, as
// "Load last results" does, instead of scanning.
// The exit status is not 0 when the scan or the writing of the result failed.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/platform/u_largepages.h"
#include "base/u_bwthreadpool.h"
#include "engine/u_dupeengine.h"
#include "model/u_bwfsmp3.h"
#include "model/u_md5lanes.h"

namespace {

using Clock = std::chrono::steady_clock;

// The file system under "/", as the model's root shows it.
class TDiskRoot : public TBWDirMp3 {
public:
    void LoadSubDirs() override { AddSubDir("/"); }
};

struct Options {
    std::string folder;
    std::string resultFile;
    std::string loadFile;
    double stopAfter = -1;
    unsigned threads = 0;
    unsigned listingThreads = 0;
    unsigned readThreads = 0;
    bool cold = false;
    bool everyPair = false;
    bool find = true;
};

bool ReadOptions(int argc, char** argv, TBWCVProfile& profile, Options& options)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto number = [&] { return i + 1 < argc ? std::atoi(argv[++i]) : 0; };
        if (arg == "--type") profile.CompType = static_cast<TBWCompType>(number());
        else if (arg == "--perc") profile.MinPerc = number();
        else if (arg == "--words") profile.MinWordCount = number();
        else if (arg == "--length") profile.MinWordLength = number();
        else if (arg == "--sim") profile.SimWord = number();
        else if (arg == "--anyorder") profile.NoFieldOrder = true;
        else if (arg == "--result") profile.ResultType = static_cast<TBWResultType>(number());
        else if (arg == "--threads") options.threads = static_cast<unsigned>(std::max(number(), 0));
        else if (arg == "--out" && i + 1 < argc) options.resultFile = argv[++i];
        else if (arg == "--load" && i + 1 < argc) options.loadFile = argv[++i];
        else if (arg == "--stop-after" && i + 1 < argc) options.stopAfter = std::atof(argv[++i]);
        else if (arg == "--read") options.readThreads = static_cast<unsigned>(std::max(number(), 0));
        else if (arg == "--cold") options.cold = true;
        else if (arg == "--every-pair") options.everyPair = true;
        else if (arg == "--no-find") options.find = false;
        else if (arg == "--listing") options.listingThreads = static_cast<unsigned>(std::max(number(), 0));
        else if (!arg.starts_with("--")) options.folder = arg;
        else return false;
    }
    return !options.folder.empty();
}

double Seconds(Clock::duration d)
{
    return std::chrono::duration<double>(d).count();
}

std::string ShellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// How long find takes to list the files of the tree with their sizes; -1
// when it failed.
double FindSeconds(const std::string& folder)
{
    const std::string command = "find " + ShellQuoted(folder) + " -type f -printf '%s %p\\n' >/dev/null";
    const Clock::time_point start = Clock::now();
    return std::system(command.c_str()) == 0 ? Seconds(Clock::now() - start) : -1;
}

double Seconds(const timeval& time)
{
    return static_cast<double>(time.tv_sec) + static_cast<double>(time.tv_usec) / 1e6;
}

rusage Usage()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage;
}

// Prints how long each job of the scan took, as the next one begins.
class TJobTimes : public TProgressSink {
public:
    explicit TJobTimes(Clock::time_point start) : jobStart_(start) {}

    void StartJob(const std::string& caption, std::uint64_t) override
    {
        const Clock::time_point now = Clock::now();
        End(now);
        job_ = caption;
        jobStart_ = now;
    }
    void Step(std::uint64_t) override {}

    void End(Clock::time_point now) const
    {
        if (!job_.empty())
            std::printf("  %-32s %8.3f s, peak memory so far %.1f MB\n", job_.c_str(), Seconds(now - jobStart_),
                        Usage().ru_maxrss / 1024.0);
    }
    const std::string& Current() const { return job_; }

private:
    Clock::time_point jobStart_;
    std::string job_;
};

// With the processor time of every thread so far: on a machine busy with
// other work, it tells what the scan cost when the clock cannot.
void PrintPeakMemory()
{
    const rusage usage = Usage();
    std::printf("peak memory: %.1f MB, processor time %.3f s user, %.3f s system\n", usage.ru_maxrss / 1024.0,
                Seconds(usage.ru_utime), Seconds(usage.ru_stime));
}

// Reads a result file back as the main window does; the exit status.
int LoadResults(TBWDirectory& root, const std::string& fileName)
{
    TBWDupeFileList results;
    const Clock::time_point start = Clock::now();
    if (!results.LoadFromFile(fileName, &root)) {
        std::fprintf(stderr, "the result file %s could not be read\n", fileName.c_str());
        return 1;
    }
    std::printf("load: %.3f s, groups (references) %d, files in groups %d\n", Seconds(Clock::now() - start),
                results.RefCount(), results.Count());
    PrintPeakMemory();
    return 0;
}

// Whether the page cache could be dropped.
bool DropPageCache()
{
    return std::system("sync && echo 3 > /proc/sys/vm/drop_caches 2>/dev/null") == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    RestartWithLargePages(argv);  // as the program does
    TBWCVProfile profile("/nonexistent");
    profile.NewProfile();
    Options options;
    if (!ReadOptions(argc, argv, profile, options)) {
        std::fprintf(stderr,
                     "usage: %s DIR [--type N] [--perc N] [--words N] [--length N] [--sim N] [--anyorder]\n"
                     "       [--result N] [--threads N] [--listing N] [--read N] [--cold] [--every-pair] [--no-find]\n"
                     "       [--out FILE]\n"
                     "       [--stop-after SECONDS | --load FILE]\n",
                     argv[0]);
        return 2;
    }
    if (options.find)
        std::printf("  %-32s %8.3f s\n", "find (for comparison)", FindSeconds(options.folder));
    if (options.cold && !DropPageCache()) {
        std::fprintf(stderr, "the page cache could not be dropped: no cold scan here\n");
        return 1;
    }
    TDiskRoot root;
    if (!options.loadFile.empty())
        return LoadResults(root, options.loadFile);
    auto owned = std::make_unique<TBWDupeEngine>(root, profile);
    TBWDupeEngine& engine = *owned;
    engine.Tuning.MatchThreads = options.threads;
    engine.Tuning.ListingThreads = options.listingThreads;
    engine.Tuning.ReadThreads = options.readThreads;
    engine.Tuning.FilterCandidates = !options.everyPair;
    engine.AddDirectory(options.folder);

    const Clock::time_point start = Clock::now();
    TJobTimes jobs(start);
    engine.Progress = &jobs;
    // As the main window runs it: the worker frees what only the scan
    // needed after it has finished, while the results are shown.
    engine.Start();
    std::optional<Clock::time_point> stopAsked;
    while (!engine.Finished()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!stopAsked && options.stopAfter >= 0 && Seconds(Clock::now() - start) >= options.stopAfter) {
            stopAsked = Clock::now();
            engine.RequestStop();
        }
    }
    const Clock::time_point end = Clock::now();
    jobs.End(end);
    if (stopAsked) {
        std::printf("stop asked during \"%s\", answered in %.1f ms (%s)\n", jobs.Current().c_str(),
                    1000 * Seconds(end - *stopAsked), engine.Stopped() ? "stopped" : "the scan had ended");
        return 0;
    }
    if (!engine.Error().empty()) {
        std::fprintf(stderr, "scan failed: %s\n", engine.Error().c_str());
        return 1;
    }

    TBWDupeFileList& results = engine.Results();
    std::printf("scan: %.3f s on %u matching threads, groups (references) %d, files in groups %d\n",
                Seconds(end - start), options.threads ? options.threads : Processors(),
                results.RefCount(), results.Count());
    const TBWMd5Tally digests = Md5Tally();
    std::printf("digested: %llu windows or whole files, in %llu lane batches\n",
                static_cast<unsigned long long>(digests.messages), static_cast<unsigned long long>(digests.batches));
    PrintPeakMemory();
    if (!options.resultFile.empty()) {
        const Clock::time_point saveStart = Clock::now();
        if (!results.SaveToFile(options.resultFile)) {
            std::fprintf(stderr, "the result file %s could not be written\n", options.resultFile.c_str());
            return 1;
        }
        std::printf("writing the result file: %.3f s\n", Seconds(Clock::now() - saveStart));
    }
    const Clock::time_point freeStart = Clock::now();
    owned.reset();
    std::printf("freeing the engine and its results: %.3f s\n", Seconds(Clock::now() - freeStart));
    return 0;
}
