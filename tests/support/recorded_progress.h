// A progress sink that keeps what it is told: the jobs begun, the steps,
// how often it was closed. Hooks let a test act as a report comes in (say,
// stop a scan when a job begins).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/u_progresssink.h"

class TRecordedProgress : public TProgressSink {
public:
    struct TJob {
        std::string caption;
        std::uint64_t itemCount;
        bool operator==(const TJob&) const = default;
    };

    std::vector<TJob> jobs;
    std::uint64_t steps = 0;
    int closes = 0;
    std::function<void(const TJob& job)> onJob;
    std::function<void(std::uint64_t count)> onStep;

    void StartJob(const std::string& caption, std::uint64_t itemCount) override
    {
        jobs.push_back({caption, itemCount});
        if (onJob)
            onJob(jobs.back());
    }
    void Step(std::uint64_t count) override
    {
        steps += count;
        if (onStep)
            onStep(count);
    }
    void Close() override { ++closes; }

    std::vector<std::string> Captions() const
    {
        std::vector<std::string> captions;
        for (const TJob& job : jobs)
            captions.push_back(job.caption);
        return captions;
    }
};
