// A request to stop long work that reaches into the work's file reads. The
// scan names its stop flag for each thread it runs on; the file source of
// the readers looks at it between the pieces of every read, so that a stop
// is answered within one piece even in the middle of a large or slow file.
#pragma once

#include <atomic>

// Thrown where stopped work leaves. Readers let it pass: only the loop of
// the work that was asked to stop catches it, so that nothing half-read is
// kept as if the file had been read.
class TBWStopped {};

// Names flag as the stop request of the current thread while it lives.
class TBWStopScope {
public:
    explicit TBWStopScope(const std::atomic<bool>& flag);
    ~TBWStopScope();
    TBWStopScope(const TBWStopScope&) = delete;
    TBWStopScope& operator=(const TBWStopScope&) = delete;

    // Throws TBWStopped when the current thread's work was asked to stop.
    static void ThrowIfRequested();

private:
    const std::atomic<bool>* previous_;
};
