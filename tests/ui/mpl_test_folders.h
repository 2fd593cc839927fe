#pragma once
// What the Mp3 List editor's tests share: a temporary list folder for the
// program's list manager, a temporary "disc" of fixture audio files, and a
// progress report that records what it is told and can press Cancel.
#include "base/u_progresssink.h"
#include "ui/mpleditor/u_mpleditorcommands.h"

#include <QTemporaryDir>
#include <optional>
#include <string>
#include <vector>

// Points the list manager at a fresh folder; the lists go with it.
class TempListFolder {
public:
    TempListFolder();
    ~TempListFolder();
    std::string Path() const;
    std::string File(const std::string& listName) const;

private:
    QTemporaryDir folder_;
};

// A folder of fixture audio files: two in its top folder, three in "Live".
class TempDisc {
public:
    TempDisc();
    std::string Path() const { return folder_.path().toStdString(); }
    int FileCount() const { return 5; }

private:
    QTemporaryDir folder_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Each job with whether the operation it began could be cancelled.
class RecordedProgress : public TProgressSink {
public:
    struct Job {
        std::string caption;
        std::uint64_t itemCount;
        bool showCancel;
        bool operator==(const Job&) const = default;
    };

    // Cancel is pressed as soon as the job of that caption has started.
    std::optional<std::string> cancelDuring;
    std::vector<Job> jobs;
    std::int64_t steps = 0;
    int closes = 0;

    void Begin(std::int32_t jobCount, bool cancellable) override;
    void StartJob(const std::string& caption, std::uint64_t itemCount) override;
    void Step(std::uint64_t count) override { steps += static_cast<std::int64_t>(count); }
    bool Cancelled() override;
    void Close() override { ++closes; }

private:
    bool cancellable_ = false;
};
