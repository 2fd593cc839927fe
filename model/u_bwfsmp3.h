// Folders of audio files: the directories under the model root (all but the
// Mp3 Lists) list only the files of the music handler's mask, as entries
// that read title, artist, album, comment, genre, bitrate, duration and size
// through the handler. The Mp3 Lists keep such entries too; the engine, the
// result list and the windows read them.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "model/u_bwfswin.h"

class TInfoFetcher;

// An audio folder on disk: subfolders in the order of their captions
// without regard to case, files of the current audio extensions.
class TBWDirMp3 : public TBWDirWin {
    BW_CLASS(TBWDirMp3)
public:
    explicit TBWDirMp3(TBWObject* owner = nullptr);
};

// The audio files of a folder. Besides the six sort-key sets of every file
// list, set n of 10 to 16 sorts by the single key n.
class TBWFileListMp3 : public TBWFileListWin {
    BW_CLASS(TBWFileListMp3)
public:
    explicit TBWFileListMp3(TBWObject* owner = nullptr);

    // The music handler's mask, which the engine sets from the profile
    // before a scan.
    std::string Mask() const override;
};

// Keys an audio entry adds to those of a file.
enum TBWMp3FileKey : TBWKey {
    fkBitrate = 10,
    fkDuration = 11,
    fkTitle = 12,
    fkArtist = 13,
    fkAlbum = 14,
    fkComment = 15,
    fkGenre = 16,
};

// An audio file. Its Size is in KB as the reader gives it; its times stay 0.
// Basic information (size, bitrate, duration) and tags are each read once,
// through one reader made for the file and freed at once. A file that cannot
// be read gives empty texts and zeros, never an error.
class TBWMp3File : public TBWFile {
    BW_CLASS(TBWMp3File)
public:
    using TBWFile::TBWFile;

    TBWKeyKind KeyKind(TBWKey key) const override;
    std::string KeyText(TBWKey key) const override;
    std::int64_t KeyInt(TBWKey key) const override;
    // The base copy, then the source's tags, bitrate and duration (which it
    // reads if it had not), so the copy needs the disk no more. No change
    // signal.
    void Assign(const TBWComparable& source) override;
    // Kind 0 size in KB, bitrate and duration; kind 2 the tags; kind 1 the
    // digest as every file.
    void LoadInfo(std::int32_t kind) override;

    // What kind 0 or kind 2 reads from the file.
    struct TReadInfo {
        std::int64_t sizeKB = 0;
        std::int32_t bitrate = 0;
        std::int32_t duration = 0;
        std::string title, artist, album, genre, comment;
    };
    // Reads kind 0 or 2 of the file at path without touching any entry, so
    // that other threads can read while the model changes.
    static TReadInfo ReadInfo(const std::string& path, std::int32_t kind);
    // The same from the file's content, every byte of it, read already.
    static TReadInfo ReadInfo(const std::string& path, std::int32_t kind, std::span<const std::uint8_t> content);
    // Stores what ReadInfo read as LoadInfo does, and counts the kind loaded.
    void StoreInfo(std::int32_t kind, const TReadInfo& info);

    // Tags load kind 2 first, bitrate and duration kind 0.
    const std::string& Title();
    const std::string& Artist();
    const std::string& Album();
    const std::string& Comment();
    const std::string& Genre();
    std::int32_t Bitrate();
    std::int32_t Duration();

    // A text that differs from the stored one as given (blanks and all) is
    // stored without leading and trailing blanks, and signals a change.
    void SetTitle(const std::string& text);
    void SetArtist(const std::string& text);
    void SetAlbum(const std::string& text);
    void SetComment(const std::string& text);
    void SetGenre(const std::string& text);
    // Store and signal a change only when the value differs.
    void SetBitrate(std::int32_t bitrate);
    void SetDuration(std::int32_t duration);

private:
    // A scan by file names never reads tags, and a file may have none: the
    // texts are made only once one of them is not empty, which spares most
    // of an entry's size in a model of a million files.
    struct TTags {
        std::string title;
        std::string artist;
        std::string album;
        std::string comment;
        std::string genre;
    };
    using TTagText = std::string TTags::*;

    static TReadInfo InfoOf(TInfoFetcher& reader, std::int32_t kind);
    const std::string& Tag(TTagText tag);
    const std::string& StoredTag(TTagText tag) const;
    void SetTag(TTagText tag, const std::string& text);

    std::unique_ptr<TTags> tags_;
    std::int32_t bitrate_ = 0;
    std::int32_t duration_ = 0;
};
