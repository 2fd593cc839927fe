#include "result_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TResultFiles::TResultFiles(TBWResultType resultType, TBWCompType compType)
    : profile(QDir(folder.path()).filePath("data").toStdString())
{
    profile.NewProfile();
    profile.ResultType = resultType;
    profile.CompType = compType;
    list.SetProfile(profile);
    list.SetSingleMode(resultType != rsDuplicates);
}

std::string TResultFiles::Path(const std::string& relative) const
{
    return QFileInfo(folder.path()).canonicalFilePath().toStdString() + "/" + relative;
}

TBWMp3File* TResultFiles::Add(const std::string& relative, const TAudioValues& values, const std::string& bytes)
{
    const QString path = QString::fromStdString(Path(relative));
    WriteWholeFile(path.toStdString(), bytes.empty() ? relative : bytes);
    // A folder's list is read once: files written after that join it by name.
    TBWFileList* files = root.FindDir(QFileInfo(path).path().toStdString(), true)->Files();
    const std::string name = QFileInfo(path).fileName().toStdString();
    TBWFile* listed = files->FindByName(name);
    auto* entry = dynamic_cast<TBWMp3File*>(listed ? listed : files->AddFile(name));
    TBWInfoKinds loaded;
    loaded.set(ikBasic).set(ikTags);
    entry->SetLoadedInfo(loaded);
    entry->SetSize(values.sizeKB);
    entry->SetDuration(values.duration);
    entry->SetBitrate(values.bitrate);
    entry->SetArtist(values.artist);
    entry->SetTitle(values.title);
    return entry;
}

void TResultFiles::Group(TBWFile* reference, const std::vector<TBWFile*>& duplicates)
{
    for (TBWFile* duplicate : duplicates)
        list.AddPair(reference, duplicate);
}

void TResultFiles::Single(TBWFile* file)
{
    list.AddPair(file, nullptr);
}

TBWDupeFile* TResultFiles::EntryOf(const TBWFile* file)
{
    for (TBWComparable* item = list.First(); !list.Eof(); item = list.Next())
        if (auto* entry = static_cast<TBWDupeFile*>(item); entry->File() == file)
            return entry;
    return nullptr;
}

std::vector<std::string> TResultFiles::Shown()
{
    static const char* const kMarks[] = {"-", "D", "R", "S"};
    std::vector<std::string> shown;
    for (TBWComparable* item = list.First(); !list.Eof(); item = list.Next()) {
        const auto* entry = static_cast<TBWDupeFile*>(item);
        shown.push_back(std::string(kMarks[entry->State()]) + (list.IsSelected(item) ? "+ " : " ")
                        + entry->File()->Name());
    }
    return shown;
}

void WriteWholeFile(const std::string& path, const std::string& bytes)
{
    const QString name = QString::fromStdString(path);
    QDir().mkpath(QFileInfo(name).path());
    QFile file(name);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray::fromStdString(bytes));
}

std::string ReadWholeFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

bool FileExists(const std::string& path)
{
    return QFileInfo::exists(QString::fromStdString(path));
}
