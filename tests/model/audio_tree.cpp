#include "tests/model/audio_tree.h"

#include "model/u_bwfsmp3.h"

BW_IMPLEMENT_CLASS(TAudioMemoryDir, TBWDirectory)

TAudioMemoryDir::TAudioMemoryDir(TBWObject* owner) : TBWDirectory(owner)
{
    SetFileListClass(TAudioMemoryFileList::StaticClass());
}

void TAudioMemoryDir::AddAudio(const TMplFileRecord& record)
{
    auto* file = static_cast<TBWMp3File*>(Files()->AddFileTouch(record.name));
    file->SetLoadedInfo(TBWInfoKinds().set(ikBasic).set(ikDigest).set(ikTags));
    file->SetSize(record.sizeKB);
    file->SetDuration(record.duration);
    file->SetBitrate(record.bitrate);
    file->SetTitle(record.title);
    file->SetArtist(record.artist);
    file->SetAlbum(record.album);
    file->SetGenre(record.genre);
    file->SetComment(record.comment);
    file->SetDigest(record.digest);
}

BW_IMPLEMENT_CLASS(TAudioMemoryFileList, TBWFileList)

TAudioMemoryFileList::TAudioMemoryFileList(TBWObject* owner) : TBWFileList(owner)
{
    SetFileClass(TBWMp3File::StaticClass());
}

TMplFileRecord RecordOfEntry(TBWFile& file)
{
    auto& audio = dynamic_cast<TBWMp3File&>(file);
    return {audio.Name(),   static_cast<std::int32_t>(audio.Size()),
            audio.Duration(), audio.Bitrate(),
            audio.Title(),  audio.Artist(),
            audio.Album(),  audio.Genre(),
            audio.Comment(), audio.GetDigest()};
}

std::vector<TMplFileRecord> RecordsIn(TBWDirectory& dir)
{
    std::vector<TMplFileRecord> records;
    for (TBWFile* file = dir.Files()->FirstFile(); file; file = dir.Files()->NextFile())
        records.push_back(RecordOfEntry(*file));
    return records;
}
