// The APE tag holder of an MP3 reader: made, cleared and freed with
// TMPEGaudio. No APE tag is parsed and nothing in the program reads one;
// the holder keeps the reader's shape for whoever adds that.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TAPEItem {
    std::string Key;
    std::string Value;
};

class TAPETag {
public:
    void Clear() { *this = TAPETag(); }

    std::int32_t Version() const { return version_; }
    std::int64_t Size() const { return size_; }
    std::int32_t Flags() const { return flags_; }
    const std::vector<TAPEItem>& Items() const { return items_; }

private:
    std::int32_t version_ = 0;
    std::int64_t size_ = 0;
    std::int32_t flags_ = 0;
    std::vector<TAPEItem> items_;
};
