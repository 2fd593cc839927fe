// The only road from the rest of the program to the audio format readers.
// TMusicHandler knows the audio extensions with the reader class of each,
// and keeps the file mask: which files the model lists, and the order of
// extensions the result list ranks by. TInfoFetcher answers the same eight
// questions for every format, in the program's units. The file entries of
// the model read their tags through it, from the scan's worker thread and
// from the window thread alike.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "base/u_bwmask.h"
#include "tags/u_bytesource.h"

// What one file holds, read once when the fetcher is made. Getters never
// fail: a file that cannot be read gives empty texts and zeros. Texts are
// UTF-8; sizes in KB of 1024 bytes, durations in whole seconds, bitrates in
// kbit/s. This base class is the fetcher of a file without a reader.
class TInfoFetcher {
public:
    explicit TInfoFetcher(std::string fileName) : fileName_(std::move(fileName)) {}
    virtual ~TInfoFetcher() = default;
    TInfoFetcher(const TInfoFetcher&) = delete;
    TInfoFetcher& operator=(const TInfoFetcher&) = delete;

    const std::string& FileName() const { return fileName_; }

    virtual std::string Album() { return {}; }
    virtual std::string Artist() { return {}; }
    virtual std::int32_t Bitrate() { return 0; }
    virtual std::string Comment() { return {}; }
    virtual std::int32_t Duration() { return 0; }
    virtual std::string Genre() { return {}; }
    virtual std::int32_t SizeKB() { return 0; }
    virtual std::string Title() { return {}; }

private:
    std::string fileName_;
};

// A reader class: its name, and the virtual constructor of its fetcher,
// which reads the file, or the bytes of it given.
struct TFetcherClass {
    const char* Name;
    std::unique_ptr<TInfoFetcher> (*Create)(const std::string& fileName, TByteSource* bytes);
};

class TMusicHandler {
public:
    // The registry, in sorted order, and the mask of all its extensions.
    TMusicHandler();

    // Registered extensions: upper case, without the dot, sorted.
    std::int32_t Count() const;
    // Empty outside 0 to Count() - 1.
    std::string GetExtension(std::int32_t index) const;
    // The reader class of an extension (any case, without the dot); none
    // for an extension without a reader.
    const TFetcherClass* GetFetcherClass(std::string_view extension);
    // The class the last successful lookup found; none before one.
    const TFetcherClass* LastFetcherClass() const;
    // The fetcher of a file, chosen by its extension; a file without a
    // reader gets the base fetcher's empty values.
    std::unique_ptr<TInfoFetcher> CreateFetcher(const std::string& fileName);
    // The same from the whole of the file, read already: bytes must hold
    // every byte of it and outlive the fetcher.
    std::unique_ptr<TInfoFetcher> CreateFetcher(const std::string& fileName, TByteSource& bytes);

    // Extensions separated by ";", each made "*.EXT" and kept in the given
    // order and case; an empty list stands for every registered extension.
    void SetMask(std::string_view extensions);
    // "*.EXT;" per extension, for instance "*.M4A;*.M4P;*.MP3;*.OGG;*.WMA;".
    std::string Mask() const;
    // Whether the file name (not its folder) matches one entry of the mask,
    // letters compared without regard to case.
    bool MatchesMask(std::string_view fileName) const;
    // The 1-based character position at which the extension (any case,
    // without the dot) stands in the mask; 0 when the mask lacks it. An
    // extension earlier in the mask ranks first in the result list.
    std::int32_t ExtensionRank(std::string_view extension) const;

private:
    std::unique_ptr<TInfoFetcher> CreateFetcherOf(const std::string& fileName, TByteSource* bytes);
    void BuildMask(const std::vector<std::string>& entries);

    // The mask changes when a scan starts on the worker thread while the
    // window thread may be listing files; the lookup's record too.
    mutable std::mutex mutex_;
    std::string mask_;
    std::vector<TBWMask> patterns_;
    const TFetcherClass* lastClass_ = nullptr;
};

// The program's one handler, made on first use and freed at exit.
TMusicHandler& MusicHandler();
