// What a running scan has reported so far: the current job's caption and item
// count and the items done. The worker writes it; the window thread reads it
// whenever it repaints, without waiting for the worker.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class ScanProgress {
public:
    void BeginJob(const std::string& caption, std::uint64_t count);
    void Advance(std::uint64_t items) { done_.fetch_add(items, std::memory_order_relaxed); }

    std::string Caption() const;
    // Items the current job will report; 0 when it gives no count.
    std::uint64_t Count() const { return count_.load(std::memory_order_relaxed); }
    // Items of the current job done so far.
    std::uint64_t Done() const { return done_.load(std::memory_order_relaxed); }
    // How many jobs have begun.
    std::uint32_t Jobs() const { return jobs_.load(std::memory_order_acquire); }

private:
    mutable std::mutex mutex_;
    std::string caption_;
    std::atomic<std::uint64_t> count_{0};
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::uint32_t> jobs_{0};
};
