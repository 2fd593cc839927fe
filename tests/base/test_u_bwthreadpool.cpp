#include "base/u_bwthreadpool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace {

TEST(ThreadPool, RunsEveryJobPostedAlsoThoseStillQueuedAtItsEnd)
{
    std::atomic<int> ran{0};
    {
        TBWThreadPool pool(2);
        EXPECT_EQ(pool.Threads(), 2u);
        pool.AddThread();
        EXPECT_EQ(pool.Threads(), 3u);
        for (int i = 0; i < 1000; ++i)
            pool.Post([&ran] { ++ran; });
    }
    EXPECT_EQ(ran.load(), 1000);
    EXPECT_EQ(TBWThreadPool(0).Threads(), Processors());
}

struct TLoopCase {
    std::size_t count;
    unsigned threads;
    std::size_t grain;
};

TEST(ThreadPool, ALoopTakesEachIndexExactlyOnce)
{
    const TLoopCase cases[] = {
        {0, 4, 1}, {1, 4, 1}, {5, 8, 1}, {1000, 1, 1}, {1000, 0, 1}, {1000, 16, 7}, {1000, 4, 5000}, {1000, 3, 0},
    };
    for (const TLoopCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.count << " indices, " << c.threads << " threads, grain " << c.grain);
        std::vector<std::atomic<int>> taken(c.count);
        ForEachIndexOnThreads(c.count, c.threads, [&](std::size_t i) { ++taken[i]; }, c.grain);
        for (std::size_t i = 0; i < c.count; ++i)
            EXPECT_EQ(taken[i].load(), 1) << "index " << i;
    }
}

// The helpers of an outer loop run inner loops of their own.
TEST(ThreadPool, LoopsInsideLoopsFinish)
{
    constexpr std::size_t kOuter = 64;
    constexpr std::size_t kInner = 100;
    std::vector<std::atomic<int>> sums(kOuter);
    ForEachIndexOnThreads(kOuter, 0, [&](std::size_t outer) {
        ForEachIndexOnThreads(kInner, 0, [&](std::size_t inner) { sums[outer] += static_cast<int>(inner); });
    });
    for (const std::atomic<int>& sum : sums)
        EXPECT_EQ(sum.load(), static_cast<int>(kInner * (kInner - 1) / 2));
}

// Work of a loop whose calling thread throws at its first index; the
// helpers leave it an index to throw on, and count what they run.
class TCallerThrows {
public:
    void operator()(std::size_t)
    {
        if (std::this_thread::get_id() == caller_) {
            callerIn_ = true;
            throw std::runtime_error("stopped");
        }
        while (!callerIn_)
            std::this_thread::yield();
        ++ran_;
    }
    int Ran() const { return ran_; }

private:
    const std::thread::id caller_ = std::this_thread::get_id();
    std::atomic<bool> callerIn_{false};
    std::atomic<int> ran_{0};
};

// What the calling thread's share throws reaches the caller, once every
// helper has let go of the work (which lives on the caller's stack).
TEST(ThreadPool, WhatALoopThrowsReachesItsCaller)
{
    TCallerThrows work;
    EXPECT_THROW(ForEachIndexOnThreads(10000, 4, std::ref(work)), std::runtime_error);
    EXPECT_LE(work.Ran(), 9999);
}

// A pool kept by the caller serves loop after loop with the same threads,
// also after a loop whose caller's share threw (the helpers asked then must
// not touch that loop once it is gone).
TEST(ThreadPool, LoopsOnAKeptPoolTakeEachIndexOnceOnItsOwnThreads)
{
    TBWThreadPool helpers(3);
    std::mutex mutex;
    std::set<std::thread::id> threads;
    for (std::size_t count : {0u, 1u, 2u, 1000u, 7u, 1000u}) {
        SCOPED_TRACE(testing::Message() << count << " indices");
        std::vector<std::atomic<int>> taken(count);
        ForEachIndexOnThreads(helpers, count, [&](std::size_t i) {
            ++taken[i];
            const std::lock_guard lock(mutex);
            threads.insert(std::this_thread::get_id());
        });
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(taken[i].load(), 1) << "index " << i;
        TCallerThrows throwing;
        EXPECT_THROW(ForEachIndexOnThreads(helpers, 100, std::ref(throwing)), std::runtime_error);
    }
    EXPECT_LE(threads.size(), 4u);
}

}  // namespace
