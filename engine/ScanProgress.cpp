#include "engine/ScanProgress.h"

void ScanProgress::BeginJob(const std::string& caption, std::uint64_t count)
{
    {
        std::lock_guard lock(mutex_);
        caption_ = caption;
    }
    count_.store(count, std::memory_order_relaxed);
    done_.store(0, std::memory_order_relaxed);
    jobs_.fetch_add(1, std::memory_order_release);
}

std::string ScanProgress::Caption() const
{
    std::lock_guard lock(mutex_);
    return caption_;
}
