// Threads that run the jobs handed to them: the one kind of thread pool of
// the layers below the windows. The scan runs on one, its read-ahead and
// its folder listing keep one for their readers, the Mp3 Lists read the
// files of a volume on one, and every loop over many indices spreads over
// one of its own.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TBWThreadPool {
public:
    // A job must not throw: nothing would be there to catch it.
    using TJob = std::function<void()>;

    // threads: 0 for one per processor.
    explicit TBWThreadPool(unsigned threads = 0);
    // Runs the jobs still queued, then joins the threads.
    ~TBWThreadPool();
    TBWThreadPool(const TBWThreadPool&) = delete;
    TBWThreadPool& operator=(const TBWThreadPool&) = delete;

    // Runs job on the first thread free, in the order posted.
    void Post(TJob job);
    // One thread more, for jobs that mostly wait (for a disk, say).
    void AddThread();
    std::size_t Threads() const;

private:
    void Work();

    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<TJob> jobs_;
    bool closing_ = false;
    std::vector<std::jthread> threads_;
};

// The processors of the machine, at least 1.
unsigned Processors();

// Work over the ranges [from, to) of the indices below count, grain at a
// time; see ForEachIndexOnThreads.
using TBWRangeWork = std::function<void(std::size_t from, std::size_t to)>;
void ForEachRangeOnThreads(std::size_t count, unsigned threads, std::size_t grain, const TBWRangeWork& work);
// The same with the helpers of a pool the caller keeps, whose threads (and
// what they keep per thread) outlive the loop; it ends once every helper
// asked has come.
void ForEachRangeOnThreads(TBWThreadPool& helpers, std::size_t count, std::size_t grain, const TBWRangeWork& work);

// Calls work(i) for every i below count, spread over threads (0 for one
// per processor): the calling thread and helpers, which take grain indices
// at a time. Each i is taken by exactly one thread; the call returns once
// every i is done. What the calling thread's share throws reaches the
// caller once the helpers are done.
template <class Work>
void ForEachIndexOnThreads(std::size_t count, unsigned threads, const Work& work, std::size_t grain = 1)
{
    ForEachRangeOnThreads(count, threads, grain, [&work](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            work(i);
    });
}

template <class Work>
void ForEachIndexOnThreads(TBWThreadPool& helpers, std::size_t count, const Work& work)
{
    ForEachRangeOnThreads(helpers, count, 1, [&work](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            work(i);
    });
}
