// One duplicate scan of a comparison profile: the audio files of the
// profile's directories are collected from the model, given their words,
// indexed by word, and every pair that shares a word (or similar words) is
// scored; the result list then chooses the files that remain. Runs on a
// worker thread started by the main window, or synchronously in tests.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <unordered_map>
#include <vector>

#include "base/u_bwmask.h"
#include "base/u_progresssink.h"
#include "base/u_bwselchain.h"
#include "base/u_bwthreadpool.h"
#include "engine/u_bwgroup.h"
#include "engine/u_contentwords.h"
#include "engine/u_cvprofile.h"
#include "engine/u_dupefiles.h"
#include "engine/u_dupematch.h"
#include "model/u_bwfswin.h"

class TBWDirectory;
class TBWMp3File;

class TBWDupeEngine final : private TBWMatchSteps {
public:
    // Scans below root (the model's root) with its own copy of profile.
    TBWDupeEngine(TBWDirectory& root, const TBWCVProfile& profile);
    // Asks a running worker to stop and waits for it.
    ~TBWDupeEngine();
    TBWDupeEngine(const TBWDupeEngine&) = delete;
    TBWDupeEngine& operator=(const TBWDupeEngine&) = delete;

    // Threads and shortcuts: the results are the same whatever they are.
    TBWScanTuning Tuning;

    // Told of each job as it begins, with its caption and count, and of the
    // items done, on the thread that runs the scan. Steps come in batches,
    // never one per word pair. None: nobody is told.
    TProgressSink* Progress = nullptr;

    // The jobs a scan of the profile runs, in their order.
    enum class TJob { AddFiles, AnalyseBanlist, ReadFileInfo, GroupByWords, LinkSimilarWords, MatchGroups,
                      NegativeResults };
    static std::vector<TJob> JobsOf(const TBWCVProfile& profile);
    static std::int32_t JobCount(const TBWCVProfile& profile) { return static_cast<std::int32_t>(JobsOf(profile).size()); }

    void AddDirectories(const std::vector<std::string>& directories);
    void AddDirectory(const std::string& directory);

    // Runs the scan on a worker thread; Finished() tells when it has ended.
    void Start();
    // Runs the scan on the calling thread. An engine serves one scan.
    void Execute();
    // The scan leaves at its next item, or within the piece of a file it
    // reads; the results are then not to be used.
    void RequestStop() { stopRequested_.store(true, std::memory_order_relaxed); }

    bool Finished() const { return finished_.load(std::memory_order_acquire); }
    bool Stopped() const { return stopped_; }
    // Why the scan failed; empty when it did not.
    const std::string& Error() const { return error_; }
    // Files of a scan by content whose content could not be read: they were
    // compared with no other file.
    const TBWUnreadFiles& UncomparedFiles() const { return uncomparedFiles_; }
    // The current job's caption and item count (0 when it gives none); read
    // from any thread while the scan runs.
    std::string StepCaption() const;
    std::uint64_t StepCount() const { return stepCount_.load(std::memory_order_relaxed); }

    TBWDupeFileList& Results() { return *results_; }
    const TBWCVProfile& Profile() const { return profile_; }
    const std::vector<std::string>& Directories() const { return directories_; }

    // Whether text matches one of the profile's exclusion patterns.
    bool IsExcluded(const std::string& text) const;
    // Scores two files and links them in the results when similar enough.
    void ComparePair(TBWFile* a, TBWFile* b);

    // Drops directories that lie inside or repeat others (of two equal ones
    // the later stays).
    static void PruneDirectories(std::vector<std::string>& directories);

private:
    void Run();
    void RunJob(TJob job);
    void Prepare();
    struct TFolderIdentityHash {
        std::size_t operator()(const TBWFolderIdentity& folder) const
        {
            return std::hash<std::uint64_t>{}(static_cast<std::uint64_t>(folder.inode) * 0x9E3779B97F4A7C15ull ^
                                              static_cast<std::uint64_t>(folder.device));
        }
    };
    // A scan meets every folder once: a hash set, not a tree of a million nodes.
    using TFolderIdentities = std::unordered_set<TBWFolderIdentity, TFolderIdentityHash>;
    void FillPool();
    using TMetFile = std::function<void(TBWFile& file)>;
    // ahead: the listings of the folders on disk, read ahead, or none.
    void CollectOnce(TBWDirectory& directory, TBWListingAhead* ahead, TFolderIdentities& seen, const TMetFile& met);
    std::optional<std::int32_t> InfoReadAhead() const;
    void AnalyseBanlist();
    void PrunePool();
    bool PrepareWords(TBWMp3File& file);
    std::int32_t RoleOf(const TBWFile& file);
    void KnowRolesOf(const std::vector<TBWMp3File*>& files);
    void ReadContentWords();
    void GroupByWords();
    void LinkSimilarWords();
    void MatchGroups();
    void KeepNegativeResults();

    void SetStatus(const std::string& caption, std::uint64_t count);
    void DoStep() { DoSteps(1); }
    void DoSteps(std::uint64_t items) override;
    void CountSteps(std::uint64_t items) override;
    bool StopRequested() const override { return stopRequested_.load(std::memory_order_relaxed); }
    void FlushSteps() override;
    void ReadInfo(TBWFile& file) override;
    void LoadInfo(const std::vector<TBWFile*>& files) override;

    TBWDirectory& root_;
    TBWCVProfile profile_;
    std::vector<std::string> directories_;
    std::vector<TBWMask> exclusions_;
    std::unordered_map<const TBWDirectory*, std::int32_t> roles_;
    std::unique_ptr<TBWDupeFileList> results_;
    std::unique_ptr<TBWGrpChFilename> index_;
    std::unique_ptr<TBWSelChain> pool_;

    mutable std::mutex captionMutex_;
    std::string stepCaption_;
    std::atomic<std::uint64_t> stepCount_{0};
    std::uint64_t unreportedSteps_ = 0;
    std::chrono::steady_clock::time_point lastFlush_;
    std::atomic<bool> stopRequested_{false};
    std::atomic<bool> finished_{false};
    bool stopped_ = false;
    TBWUnreadFiles uncomparedFiles_;
    std::string error_;
    // One thread that runs the scan, made by Start.
    std::optional<TBWThreadPool> worker_;
};
