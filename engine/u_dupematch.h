// The matching of a scan: which files of the pool score similar enough to be
// linked in the result list, found through the word index. The plain walk
// over every pair of files that share a word (or have similar words) is the
// reference; the fast roads score only the pairs that can reach the minimum
// relevance and link exactly what the walk links, in its order. The scan
// engine runs it once the files are grouped by words.
#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "engine/u_cvprofile.h"
#include "engine/u_scantuning.h"

class TBWDupeFileList;
class TBWFile;
class TBWGrpChFilename;
class TBWGrpItString;
class TBWSelChain;

// How the matching reports the words it has matched to the scan that runs it.
class TBWMatchSteps {
public:
    // Items done; ends the scan (throws TBWStopped) once a stop was requested.
    virtual void DoSteps(std::uint64_t items) = 0;
    // Items done, counted without answering a stop: for the thread that
    // scores among helper threads, which must not leave them.
    virtual void CountSteps(std::uint64_t items) = 0;
    // Hands on the items counted so far at once: a stage has ended.
    virtual void FlushSteps() = 0;
    virtual bool StopRequested() const = 0;
    // Reads what the choice of the files to keep compares (size, duration,
    // bitrate) of one file; safe on several threads at once for distinct
    // files. A stop is answered by the next DoSteps.
    virtual void ReadInfo(TBWFile& file) = 0;
    // The same for files, on the matching's threads.
    virtual void LoadInfo(const std::vector<TBWFile*>& files) = 0;

protected:
    ~TBWMatchSteps() = default;
};

// Whether a, scored against b, reaches the profile's minimum relevance.
// Safe to call from several threads at once while the files' words stay
// unchanged.
bool IsSimilarEnough(const TBWFile& a, const TBWFile& b, const TBWCVProfile& profile);

class TBWDupeMatch {
public:
    // Matches the files of pool, indexed by word in index (taken: it goes as
    // soon as it is read), into results. All but the index are borrowed.
    TBWDupeMatch(const TBWCVProfile& profile, const TBWScanTuning& tuning, TBWMatchSteps& steps,
                 std::unique_ptr<TBWGrpChFilename> index, TBWSelChain& pool, TBWDupeFileList& results);
    ~TBWDupeMatch();
    TBWDupeMatch(const TBWDupeMatch&) = delete;
    TBWDupeMatch& operator=(const TBWDupeMatch&) = delete;

    // Links every pair similar enough and lets the results choose the
    // references, one step per word: by the plain walk, which keeps every
    // link until then, or, when the tuning filters candidates, by finding
    // each file's links only when the references are chosen, scoring only
    // the pairs that can reach the minimum relevance.
    void Group();

private:
    struct TIndexedWords;
    class TWordSteps;
    class TLinkSearch;

    // The reference: for each word in word order, each of its files scored
    // against its later files and against the files of its similar words.
    void WalkEveryPair();
    void ScoreWalkBatch(class TWalkBatch& batch);
    void LoadInfoOfLinkedFiles();
    void GroupAsFound();
    bool IsSimilar(const TBWFile& a, const TBWFile& b) const { return IsSimilarEnough(a, b, profile_); }
    double Threshold() const;
    bool WithSimilarWords() const;
    bool FieldsInOrder() const;
    using TWordNumbers = std::unordered_map<const TBWGrpItString*, std::uint32_t>;
    void IndexedWords(TIndexedWords& indexed);
    void NumberWordsOfFiles(const TWordNumbers& numberOf, TIndexedWords& indexed) const;
    void NumberWords(const TBWFile& file, const TWordNumbers& numberOf, std::vector<std::vector<std::uint32_t>>& fields,
                     std::vector<std::uint32_t>& all) const;
    unsigned ThreadsToFindLinks(const TIndexedWords& indexed) const;
    void ReleaseIndex(TIndexedWords& indexed);

    const TBWCVProfile& profile_;
    const TBWScanTuning& tuning_;
    TBWMatchSteps& steps_;
    std::unique_ptr<TBWGrpChFilename> index_;
    TBWSelChain& pool_;
    TBWDupeFileList& results_;
};
