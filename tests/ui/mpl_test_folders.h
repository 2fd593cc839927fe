#pragma once
// What the Mp3 List editor's tests share: a temporary list folder for the
// program's list manager, a temporary "disc" of fixture audio files, and a
// progress report that records what it is told and can press Cancel.
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

class RecordedProgress : public TMplProgress {
public:
    struct Job {
        std::string caption;
        std::int32_t itemCount;
        bool showCancel;
        bool operator==(const Job&) const = default;
    };

    // Cancel is pressed as soon as the job of that caption has started.
    std::optional<std::string> cancelDuring;
    std::vector<Job> jobs;
    std::int64_t steps = 0;
    int closes = 0;

    void StartJob(const std::string& caption, std::int32_t itemCount, bool showCancel) override;
    void Step(std::int32_t count) override { steps += count; }
    bool Cancelled() override;
    void Close() override { ++closes; }
};
