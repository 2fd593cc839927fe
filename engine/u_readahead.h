// Reads of files done by a pool of threads while the scan goes on: the scan
// queues each file's path as it meets the file, many reads are in flight at
// once while they wait for a disk, and the scan takes the results back in
// the order it queued them, on its own thread, which alone touches the
// model. What is read does not depend on the number of threads.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/u_bwstop.h"
#include "base/u_bwthreadpool.h"

// How many threads read: the pool starts with first and adds one, up to
// most, whenever a thread's reads had mostly to be fetched from the disk
// while other reads were queued.
struct TBWReadThreads {
    unsigned first;
    unsigned most;
};

// Reads from the page cache keep a processor each busy, and more threads
// than processors only contend for them; reads from a cold disk mostly wait
// for it, and keep it busy only with many more of them in flight.
inline TBWReadThreads DefaultReadThreads()
{
    return {Processors(), 4 * Processors()};
}

// threads: 0 for DefaultReadThreads(), else that many, never more.
inline TBWReadThreads ReadThreadsOf(unsigned threads)
{
    return threads ? TBWReadThreads{threads, threads} : DefaultReadThreads();
}

// The blocks the calling thread has had read from storage so far: reads
// served from the page cache leave it as it is.
inline std::uint64_t StorageReadsOfThread()
{
    struct rusage usage {};
    return ::getrusage(RUSAGE_THREAD, &usage) == 0 ? static_cast<std::uint64_t>(usage.ru_inblock) : 0;
}

// Where is a job's input: a file's path, or the paths of files read together.
template <class Item, class Result, class Where = std::string>
class TBWReadAhead {
public:
    using Read = std::function<Result(const Where& where)>;
    using StorageReads = std::function<std::uint64_t()>;

    // stop: the scan's stop request, which reaches into every read.
    // storageReads tells how many blocks (of 512 bytes) the calling thread
    // has had read from storage so far.
    TBWReadAhead(TBWReadThreads threads, Read read, const std::atomic<bool>& stop,
                 StorageReads storageReads = StorageReadsOfThread)
        : read_(std::move(read)), stop_(stop), storageReads_(std::move(storageReads)),
          firstThreads_(std::max(1u, threads.first)), mostThreads_(std::max(firstThreads_, threads.most))
    {
    }

    ~TBWReadAhead()
    {
        {
            const std::lock_guard lock(mutex_);
            closing_ = true;
        }
        queued_.notify_all();
        // The pool, the last member, goes first: it joins its threads, and a
        // read under way answers the stop request within a piece.
    }

    TBWReadAhead(const TBWReadAhead&) = delete;
    TBWReadAhead& operator=(const TBWReadAhead&) = delete;

    void Add(Item item, Where where)
    {
        bool wake = false;
        {
            const std::lock_guard lock(mutex_);
            jobs_.push_back({item, std::move(where), {}, false});
            wake = ShouldWake();
        }
        // Threads cost their start: none for a stage with nothing to read.
        // Only the caller adds jobs, and the threads come after this.
        if (!pool_) {
            pool_.emplace(firstThreads_);
            for (std::size_t t = pool_->Threads(); t > 0; --t)
                pool_->Post([this] { Serve(); });
        }
        if (wake)
            queued_.notify_one();
    }

    // Hands the reads done at the head of the queue to store(item, result)
    // in the order they were queued, and forgets them, so that a long walk
    // does not keep every result until its end. Throws as TakeAll does.
    template <class Store>
    void TakeDone(const Store& store)
    {
        std::vector<TJob> ready;
        {
            const std::lock_guard lock(mutex_);
            ThrowIfStoppedOrFailed();
            WakeForTheRest();
            // A job is done only once its thread let go of it.
            for (; next_ > 0 && jobs_.front().done; --next_, --done_) {
                ready.push_back(std::move(jobs_.front()));
                jobs_.pop_front();
            }
        }
        for (TJob& job : ready)
            store(job.item, job.result);
    }

    // Waits for every queued read, then hands each item with its result to
    // store(item, result) in the order they were queued, and forgets them.
    // Throws TBWStopped when a stop is requested meanwhile, and what a read
    // threw other than that.
    template <class Store>
    void TakeAll(const Store& store)
    {
        {
            std::unique_lock lock(mutex_);
            WakeForTheRest();
            // The stop flag is not guarded by the lock: looked at often.
            while (done_ < jobs_.size() && !failure_ && !stop_.load(std::memory_order_relaxed))
                finished_.wait_for(lock, std::chrono::milliseconds(10));
            ThrowIfStoppedOrFailed();
        }
        // Every thread waits for new jobs now: the queue is the caller's.
        for (TJob& job : jobs_)
            store(job.item, job.result);
        const std::lock_guard lock(mutex_);
        jobs_.clear();
        next_ = done_ = 0;
    }

    // The threads that read now.
    std::size_t Threads() const { return pool_ ? pool_->Threads() : 0; }

private:
    struct TJob {
        Item item;
        Where where;
        Result result;
        bool done = false;
    };

    // Under the lock. Reads that saw the stop request left their results
    // empty: none of them may pass for a file's information.
    void ThrowIfStoppedOrFailed() const
    {
        if (stop_.load(std::memory_order_relaxed))
            throw TBWStopped();
        if (failure_)
            std::rethrow_exception(failure_);
    }

    void Serve()
    {
        const TBWStopScope stopReads(stop_);
        std::uint64_t storageReads = storageReads_();
        unsigned sinceLook = 0;
        std::vector<TJob*> run;
        std::unique_lock lock(mutex_);
        for (;;) {
            ++idle_;
            queued_.wait(lock, [this] { return closing_ || next_ < jobs_.size(); });
            --idle_;
            if (closing_ || failure_)
                return;
            // A deque keeps its elements in place while the scan adds more
            // and takes those done from the front.
            run.clear();
            for (std::size_t length = RunLength(); length > 0; --length)
                run.push_back(&jobs_[next_++]);
            const bool wake = ShouldWake();
            lock.unlock();
            if (wake)
                queued_.notify_one();
            const std::exception_ptr failure = ReadRun(run);
            // Asking costs a call into the kernel: asked every few reads.
            bool fromStorage = false;
            sinceLook += static_cast<unsigned>(run.size());
            if (sinceLook >= kReadsPerLook) {
                const std::uint64_t blocks = storageReads_();
                fromStorage = blocks - storageReads >= kStorageBlocksPerRead * sinceLook;
                storageReads = blocks;
                sinceLook = 0;
            }
            lock.lock();
            if (fromStorage)
                GrowWhileQueued();
            if (failure && !failure_)
                failure_ = failure;
            for (TJob* job : run)
                job->done = true;
            done_ += run.size();
            // Only TakeAll waits, and only for all of them or a failure.
            if (done_ == jobs_.size() || failure_)
                finished_.notify_all();
        }
    }

    // Reads the jobs of a run until one fails; the rest keep empty results,
    // which the failure keeps from being taken.
    std::exception_ptr ReadRun(const std::vector<TJob*>& run)
    {
        for (TJob* job : run) {
            try {
                if (!stop_.load(std::memory_order_relaxed))
                    job->result = read_(job->where);
            } catch (const TBWStopped&) {
                // The scan leaves through TakeAll.
            } catch (...) {
                return std::current_exception();
            }
        }
        return nullptr;
    }

    // Under the lock. A read from the page cache costs less than taking
    // the lock twice: a thread takes several queued jobs at once, but
    // leaves most of them to the other threads.
    std::size_t RunLength() const
    {
        const std::size_t queued = jobs_.size() - next_;
        return std::clamp<std::size_t>(queued / (2 * mostThreads_), 1, kMostJobsPerRun);
    }

    static constexpr unsigned kReadsPerLook = 4;
    // A page (of 512-byte blocks) per read, on average: a collection mostly
    // in the page cache, of which the system let a little go, is read as
    // fast as it can be by a thread per processor, and more threads only
    // contend for them (a pool of 32 took four times as long).
    static constexpr std::uint64_t kStorageBlocksPerRead = 8;
    static constexpr std::size_t kMostJobsPerRun = 16;

    // Waking a thread costs calls into the kernel on both sides, more than
    // a read from the page cache: a busy thread takes the next job itself,
    // and an idle one is woken only once this many wait for it.
    static constexpr std::size_t kJobsPerWake = 8;

    // Under the lock.
    bool ShouldWake() const { return idle_ > 0 && jobs_.size() - next_ >= kJobsPerWake; }

    // Under the lock: the last few jobs queued wait for no more.
    void WakeForTheRest()
    {
        if (idle_ > 0 && next_ < jobs_.size())
            queued_.notify_all();
    }

    // Under the lock. Reads that wait for storage leave their processors
    // idle: another thread puts one more read in flight.
    void GrowWhileQueued()
    {
        if (!closing_ && pool_->Threads() < mostThreads_ && next_ < jobs_.size()) {
            pool_->AddThread();
            pool_->Post([this] { Serve(); });
        }
    }

    Read read_;
    const std::atomic<bool>& stop_;
    const StorageReads storageReads_;
    const unsigned firstThreads_;
    const unsigned mostThreads_;
    std::mutex mutex_;
    std::condition_variable queued_;
    std::condition_variable finished_;
    std::deque<TJob> jobs_;
    std::size_t next_ = 0;
    std::size_t done_ = 0;
    unsigned idle_ = 0;  // threads waiting for a job
    bool closing_ = false;
    std::exception_ptr failure_;
    std::optional<TBWThreadPool> pool_;  // last: joined before the rest goes
};
