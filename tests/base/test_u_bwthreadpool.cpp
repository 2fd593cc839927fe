#include "base/u_bwthreadpool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
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

// What the calling thread's share throws reaches the caller, once every
// helper has let go of the work (which lives on the caller's stack).
TEST(ThreadPool, WhatALoopThrowsReachesItsCaller)
{
    const std::thread::id caller = std::this_thread::get_id();
    std::atomic<bool> callerIn{false};
    std::atomic<int> ran{0};
    EXPECT_THROW(ForEachIndexOnThreads(10000, 4,
                                       [&](std::size_t) {
                                           if (std::this_thread::get_id() == caller) {
                                               callerIn = true;
                                               throw std::runtime_error("stopped");
                                           }
                                           // The helpers leave the caller an index to throw on.
                                           while (!callerIn)
                                               std::this_thread::yield();
                                           ++ran;
                                       }),
                 std::runtime_error);
    EXPECT_LE(ran.load(), 9999);
}

}  // namespace
