// How a scan runs: threads and shortcuts. None of them changes what a scan
// finds; tests and benchmarks set them to prove that, the program leaves
// them as they are.
#pragma once

#include <cstddef>
#include <cstdint>

struct TBWScanTuning {
    // Threads that score word groups; 0 for one per processor.
    unsigned MatchThreads = 0;
    // Files from which the words of a scan are prepared and filed on
    // MatchThreads threads; fewer are on one, which spares the memory each
    // thread takes.
    std::size_t ManyFiles = 1 << 16;
    // MatchThreads for ManyFiles files and more, else one.
    unsigned ThreadsForFiles(std::size_t files) const { return files < ManyFiles ? 1 : MatchThreads; }
    // Meetings of files through their words (every pair of files sharing a
    // word, or having similar words) from which the links are found on
    // MatchThreads threads; fewer are found on one: threads cost more to
    // start than they save on a scan by content, whose files share their
    // word with one or two others.
    std::uint64_t ManyMeetings = 1 << 16;
    // Threads that list folders ahead of the walk that fills the pool; 0 for
    // one per processor, 1 for none (the walk lists each folder itself).
    unsigned ListingThreads = 0;
    // Threads that read tags, sizes and digests ahead of need; 0 for
    // DefaultReadThreads(): one per processor, more while reads wait for a
    // disk.
    unsigned ReadThreads = 0;
    // Whether a file whose size in KB no other file shares is left without
    // a digest when comparing by content.
    bool SkipLoneSizes = true;
    // Whether, when comparing by content, a file whose window starts unlike
    // that of every other file of its size in KB is left without a digest,
    // and a window equal byte for byte to one digested takes its digest.
    bool SkipDistinctStarts = true;
    // Whether only the pairs that can reach the minimum relevance are scored
    // (where the profile lets their words tell); without, the plain walk
    // over every pair that shares a word scores them all.
    bool FilterCandidates = true;
    // Whether the plain walk drops pairs that certainly score 0 before
    // scoring them.
    bool DropHopelessPairs = true;
};
