// Where long work tells how far it has come: the scan, the copy of files
// from discs, the reading of a disc into an Mp3 List and the results
// window's file actions all report through this one shape. The program
// hands them an adapter to its progress window, tests a recorder.
#pragma once

#include <cstdint>
#include <string>

class TProgressSink {
public:
    virtual ~TProgressSink() = default;

    // A new operation of jobCount jobs; cancellable: whether the user may
    // cancel it. Work that reports into an operation its caller began does
    // not call it. A sink that only passes reports on ignores it.
    virtual void Begin(std::int32_t /*jobCount*/, bool /*cancellable*/) {}
    // The next job: its caption (UTF-8) and how many items it will report,
    // 0 when it gives no count.
    virtual void StartJob(const std::string& caption, std::uint64_t itemCount) = 0;
    // count more items of the current job are done.
    virtual void Step(std::uint64_t count) = 0;
    // Whether the user cancelled; lets the user be answered first.
    virtual bool Cancelled() { return false; }
    // The operation has ended, whichever way.
    virtual void Close() {}
};

// Closes the sink on every way out of a scope, an exception included.
class TProgressClosing {
public:
    explicit TProgressClosing(TProgressSink& progress) : progress_(progress) {}
    ~TProgressClosing() { progress_.Close(); }
    TProgressClosing(const TProgressClosing&) = delete;
    TProgressClosing& operator=(const TProgressClosing&) = delete;

private:
    TProgressSink& progress_;
};
