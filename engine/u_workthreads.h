// Work spread over the processors: the matching and the preparations for it
// run a function for every file or word on every core.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

// Indices a thread takes at a time when each costs little.
constexpr std::size_t kLightWork = 256;

// Calls work(i) for every i below count, spread over threads (0 for one per
// processor), which take grain indices at a time. Each i is taken by
// exactly one thread.
template <class Work>
void ForEachIndexOnThreads(std::size_t count, unsigned threads, const Work& work, std::size_t grain = 1)
{
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    std::atomic<std::size_t> next{0};
    auto take = [&] {
        for (std::size_t from; (from = next.fetch_add(grain, std::memory_order_relaxed)) < count;)
            for (std::size_t i = from; i < std::min(count, from + grain); ++i)
                work(i);
    };
    std::vector<std::jthread> helpers;
    for (unsigned t = 1; t < threads; ++t)
        helpers.emplace_back(take);
    take();
}
