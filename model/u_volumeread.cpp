#include "model/u_volumeread.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "base/u_bwchain.h"
#include "base/u_bwstop.h"
#include "base/u_bwthreadpool.h"
#include "model/u_bwfs.h"
#include "model/u_bwfsmp3.h"

namespace {

// How often progress is told and a cancel looked for: well inside the
// tenth of a second in which a press of Cancel must be answered.
constexpr std::chrono::milliseconds kProgressPoll{40};

// What a list keeps of a file, read now: each reader opens only its own
// file, so files may be read on several threads at once. Their change
// notices only climb their owners, which do nothing with them.
void ReadFileInfo(TBWFile& file)
{
    file.Size();
    if (auto* audio = dynamic_cast<TBWMp3File*>(&file))
        audio->Title();
    file.GetDigest();
}

// The files shared out among the readers, and how far they are.
class TVolumeRead {
public:
    explicit TVolumeRead(const std::vector<TBWFile*>& files) : files_(files) {}

    void Read()
    {
        // A cancel reaches into the read of a large or slow file too.
        const TBWStopScope stopScope(stop_);
        for (std::size_t i; !stop_.load(std::memory_order_relaxed) && (i = next_.fetch_add(1)) < files_.size();) {
            try {
                ReadFileInfo(*files_[i]);
            } catch (const TBWStopped&) {
                return;
            }
            if (done_.fetch_add(1) + 1 == files_.size()) {
                const std::lock_guard lock(mutex_);
                allRead_.notify_all();
            }
        }
    }

    // The files read once all are, or kProgressPoll has passed.
    std::size_t WaitAWhile()
    {
        std::unique_lock lock(mutex_);
        allRead_.wait_for(lock, kProgressPoll, [this] { return done_.load() == files_.size(); });
        return done_.load();
    }

    void Stop() { stop_ = true; }

private:
    const std::vector<TBWFile*>& files_;
    std::atomic<std::size_t> next_{0};
    std::atomic<std::size_t> done_{0};
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::condition_variable allRead_;
};

}  // namespace

std::vector<TBWFile*> FilesBelow(TBWDirectory& dir)
{
    TBWChain chain;
    dir.CollectFiles(&chain, false);
    std::vector<TBWFile*> files;
    for (TBWComparable* item = chain.First(); item; item = chain.Next())
        files.push_back(static_cast<TBWFile*>(item));
    return files;
}

bool ReadVolumeFiles(const std::vector<TBWFile*>& files, unsigned threads, const TBWVolumeReadProgress& progress)
{
    TVolumeRead read(files);
    // Declared after what its readers use: it joins them first.
    TBWThreadPool readers(static_cast<unsigned>(std::clamp<std::size_t>(files.size(), 1, threads ? threads : Processors())));
    for (std::size_t t = readers.Threads(); t > 0; --t)
        readers.Post([&read] { read.Read(); });
    for (;;) {
        const std::size_t done = read.WaitAWhile();
        if (!progress(done)) {
            read.Stop();
            return false;
        }
        if (done == files.size())
            return true;
    }
}
