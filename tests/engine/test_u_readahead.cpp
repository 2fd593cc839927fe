#include "engine/u_readahead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <future>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using TNumberAhead = TBWReadAhead<int, std::string>;

// Storage as a probe sees it: every look finds many blocks read (a cold
// disk), a few (a page cache that let a little go), or none.
std::uint64_t EverReading()
{
    static std::atomic<std::uint64_t> blocks{0};
    return blocks += 1000;
}

std::uint64_t SeldomReading()
{
    static std::atomic<std::uint64_t> blocks{0};
    return ++blocks;
}

std::uint64_t NeverReading()
{
    return 0;
}

struct TPoolCase {
    const char* name;
    TBWReadThreads threads;
    TNumberAhead::StorageReads storage;
    std::size_t threadsAfter;
};

TEST(ReadAhead, GrowsOnlyWhileReadsMostlyComeFromStorageAndKeepsTheQueueOrder)
{
    const TPoolCase cases[] = {
        {"page cache", {1, 4}, NeverReading, 1},
        {"page cache that let a little go", {1, 4}, SeldomReading, 1},
        {"storage", {1, 4}, EverReading, 4},
        {"storage, fixed count", ReadThreadsOf(2), EverReading, 2},
    };
    constexpr int kJobs = 200;
    std::vector<std::string> expected;
    for (int i = 0; i < kJobs; ++i)
        expected.push_back("read " + std::to_string(i));
    for (const TPoolCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::atomic<bool> stop{false};
        std::promise<void> allAdded;
        const std::shared_future<void> added = allAdded.get_future().share();
        TNumberAhead ahead(
            c.threads,
            [added](const std::string& where) {
                added.wait();
                return "read " + where;
            },
            stop, c.storage);
        for (int i = 0; i < kJobs; ++i)
            ahead.Add(i, std::to_string(i));
        allAdded.set_value();
        std::vector<std::string> results;
        ahead.TakeAll([&](int item, const std::string& result) {
            EXPECT_EQ(result, "read " + std::to_string(item));
            results.push_back(result);
        });
        EXPECT_EQ(results, expected);
        EXPECT_EQ(ahead.Threads(), c.threadsAfter);
    }
}

// Idle threads are woken for a few jobs at a time: the last few queued are
// read all the same, whether the scan takes them as they come or at the end.
TEST(ReadAhead, TheLastFewJobsQueuedAreReadToo)
{
    const std::atomic<bool> stop{false};
    TNumberAhead ahead({4, 4}, [](const std::string& where) { return "read " + where; }, stop, NeverReading);
    std::vector<int> taken;
    const auto store = [&](int item, const std::string& result) {
        EXPECT_EQ(result, "read " + std::to_string(item));
        taken.push_back(item);
    };
    ahead.Add(0, "0");
    ahead.Add(1, "1");
    ahead.TakeAll(store);
    ahead.Add(2, "2");
    while (taken.size() < 3)
        ahead.TakeDone(store);
    EXPECT_EQ(taken, (std::vector<int>{0, 1, 2}));
}

// Threads take many queued jobs at once: a read failing amid them still
// fails the whole, and no result of the jobs left unread is handed on.
TEST(ReadAhead, AReadFailingAmidManyQueuedFailsTheWhole)
{
    const std::atomic<bool> stop{false};
    TNumberAhead ahead(
        {2, 2},
        [](const std::string& where) {
            if (where == "250")
                throw std::runtime_error("unreadable");
            return "read " + where;
        },
        stop, NeverReading);
    for (int i = 0; i < 1000; ++i)
        ahead.Add(i, std::to_string(i));
    bool stored = false;
    EXPECT_THROW(ahead.TakeAll([&](int, const std::string&) { stored = true; }), std::runtime_error);
    EXPECT_FALSE(stored);
}

}  // namespace
