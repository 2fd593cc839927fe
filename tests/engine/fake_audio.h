// A collection of audio files held in memory for the result list tests:
// entries with a size, bitrate, duration and tags set by the test, in
// directories of a small model tree that never touches the disk.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "model/u_bwfs.h"

// Answers the audio keys 10 (bitrate), 11 (duration) and 12 to 16 (title,
// artist, album, comment, genre) from its fields; reads nothing.
class TFakeAudioFile : public TBWFile {
    BW_CLASS(TFakeAudioFile)
public:
    using TBWFile::TBWFile;

    TBWKeyKind KeyKind(TBWKey key) const override;
    std::string KeyText(TBWKey key) const override;
    std::int64_t KeyInt(TBWKey key) const override;
    void LoadInfo(std::int32_t) override {}

    std::int64_t bitrate = 0;
    std::int64_t duration = 0;
    std::array<std::string, 5> tags;  // keys 12 to 16
};

class TFakeAudioList : public TBWFileList {
    BW_CLASS(TFakeAudioList)
public:
    explicit TFakeAudioList(TBWObject* owner = nullptr);
    void Refresh() override { Touch(); }
};

class TFakeAudioDir : public TBWDirectory {
    BW_CLASS(TFakeAudioDir)
public:
    explicit TFakeAudioDir(TBWObject* owner = nullptr);
    void LoadSubDirs() override {}
};

struct TFakeAudio {
    std::int64_t size = 1000;  // KB
    std::int64_t bitrate = 128;
    std::int64_t duration = 200;
};

// The tree's root holds "/", below which files are added by full path.
class TFakeCollection {
public:
    TFakeCollection();

    TFakeAudioFile* Add(const std::string& fullPath, const TFakeAudio& audio = {});
    TBWDirectory* Root() const { return root_.get(); }

private:
    std::unique_ptr<TFakeAudioDir> root_;
};
