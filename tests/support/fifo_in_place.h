// A FIFO made where a stored file belongs, for tests of the readers that
// must refuse it at once. A reader that waits in open() for a writer anyway
// is let go within seconds (the FIFO is opened for writing and closed, so
// the reader sees an empty file): the test then fails on what was read
// instead of hanging.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class TFifoInPlace {
public:
    explicit TFifoInPlace(std::string path) : path_(std::move(path))
    {
        made_ = ::mkfifo(path_.c_str(), 0600) == 0;
        releaser_ = std::thread([this] { ReleaseStuckReaders(); });
    }
    ~TFifoInPlace()
    {
        {
            const std::lock_guard lock(mutex_);
            done_ = true;
        }
        wake_.notify_all();
        releaser_.join();
    }
    TFifoInPlace(const TFifoInPlace&) = delete;
    TFifoInPlace& operator=(const TFifoInPlace&) = delete;

    bool Made() const { return made_; }

private:
    void ReleaseStuckReaders()
    {
        std::unique_lock lock(mutex_);
        while (!wake_.wait_for(lock, std::chrono::seconds(2), [this] { return done_; })) {
            // Without a reader waiting this fails at once (ENXIO) and does nothing.
            const int writer = ::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer >= 0)
                ::close(writer);
        }
    }

    std::string path_;
    bool made_ = false;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    std::thread releaser_;
};
