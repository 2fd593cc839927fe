#include "model/u_mplcopy.h"

#include <filesystem>
#include <map>
#include <utility>

#include "base/HUtils.h"
#include "base/platform/u_filemove.h"
#include "base/platform/u_wholefile.h"
#include "base/u_bwfunc.h"
#include "base/u_bwtextcase.h"
#include "base/u_progresssink.h"
#include "model/u_bwfs.h"
#include "model/u_bwfsmpl.h"
#include "model/u_discrequest.h"

namespace {

bool IsDirectory(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::is_directory(path, ignored);
}

bool IsRegularFile(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::is_regular_file(path, ignored);
}

bool Exists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    std::error_code ignored;
    return std::filesystem::equivalent(a, b, ignored);
}

// The folders and files of a disc, found by names that may differ from the
// list's in case. A folder is listed once, and only when a name is not found
// as it is.
class TDiscFolder {
public:
    explicit TDiscFolder(const std::string& source) : root_(AddTrailingBackslash(ExpandPathMacros(source))) {}

    // The path of the file named name in the folder rel of the disc (rel is
    // empty or ends in "/"); empty when it is not there.
    std::string FindFile(const std::string& rel, const std::string& name)
    {
        std::string folder = root_;
        for (std::size_t start = 0; start < rel.size();) {
            const std::size_t end = rel.find(kPathDelimiter, start);
            folder = Entry(folder, rel.substr(start, end - start));
            if (folder.empty())
                return {};
            folder += kPathDelimiter;
            start = end + 1;
        }
        const std::string path = Entry(folder, name);
        return IsRegularFile(path) ? path : std::string();
    }

private:
    std::string Entry(const std::string& folder, const std::string& name)
    {
        if (Exists(folder + name))
            return folder + name;
        for (const std::string& entry : Listing(folder))
            if (SameTextAscii(entry, name))
                return folder + entry;
        return {};
    }

    const std::vector<std::string>& Listing(const std::string& folder)
    {
        auto [listing, isNew] = listings_.try_emplace(folder);
        if (isNew) {
            std::error_code error;
            for (std::filesystem::directory_iterator entry(folder, error), end; !error && entry != end;
                 entry.increment(error))
                listing->second.push_back(entry->path().filename().string());
        }
        return listing->second;
    }

    std::string root_;
    std::map<std::string, std::vector<std::string>> listings_;
};

struct TSelectedFile {
    TBWFile* file;
    std::string rel;  // the folder on the disc, empty or ending in "/"
};

// The files the volume's selected count counts: the check marks of the
// results window are on them.
std::vector<TSelectedFile> SelectedFilesOf(TBWDirectory& volume)
{
    const std::size_t prefix = volume.Path().size();
    std::vector<TSelectedFile> files;
    for (TBWFile* file : volume.SelectedFiles())
        files.push_back({file, file->DirPath().substr(prefix)});
    return files;
}

void CopyFoundFile(const std::string& found, const std::string& targetFolder, const TSelectedFile& selected,
                   TDiscCopyResult& result)
{
    // A destination inside the disc folder: copying would only put the file beside itself.
    if (IsSameFile(found, targetFolder + selected.file->Name())) {
        result.copied.push_back({selected.file, found});
        return;
    }
    std::string reason;
    std::string placed;
    const TRenameOutcome outcome = PlaceUnderFreeName(
        targetFolder, selected.file->Name(),
        [&](const std::string& path) { return CopyWholeFileAsNew(found, path, reason); }, placed);
    if (outcome != TRenameOutcome::Renamed) {
        result.failed.push_back({found, outcome == TRenameOutcome::NameTaken ? kNameTakenReason : reason});
        return;
    }
    LetOwnerWrite(placed);
    result.copied.push_back({selected.file, placed});
}

// One copy from discs: the folder the user chose carries over from one
// request to the next.
class TDiscCopy {
public:
    TDiscCopy(TCopyTarget target, TDiscRequest& request, TProgressSink* progress)
        : target_(std::move(target)), request_(request), progress_(progress)
    {
    }

    TDiscCopyResult CopyLists(const std::vector<TBWDirMpl*>& lists)
    {
        for (TBWDirMpl* list : lists)
            for (std::int32_t index = 0; index < list->DirCount(); ++index) {
                TBWDirectory* volume = list->DirAt(index);
                if (volume->SelectedCount() > 0 && !CopyVolume(*volume)) {
                    result_.cancelled = true;
                    return std::move(result_);
                }
            }
        return std::move(result_);
    }

private:
    // False when the user cancelled the copy.
    bool CopyVolume(TBWDirectory& volume)
    {
        const std::int32_t selected = volume.SelectedCount();
        std::string source;
        while (AskForDisc(volume, source)) {
            const std::int32_t found = CountVolumeFiles(volume, source);
            if (found == 0) {
                request_.ShowMessage("The source is invalid, choose a new source.");
            } else if (found >= selected ||
                       request_.AskYesNo(std::to_string(found) + " of " + std::to_string(selected) +
                                         " files exist in the source directory. Copy Anyway?")) {
                CopyVolumeFiles(volume, source, target_, progress_, result_);
                return true;
            }
        }
        return false;
    }

    // The disc itself when it is mounted, since every disc mounts at a folder
    // of its own; otherwise a folder the user chose before is proposed again.
    bool AskForDisc(TBWDirectory& volume, std::string& source)
    {
        const std::string proposed = FirstDiscFolder(volume.DisplayName(), chosenFolder_);
        source = proposed;
        const bool ok = request_.AskForDisc(volume.DisplayName(), source);
        source = AddTrailingBackslash(source);
        if (source != AddTrailingBackslash(proposed))
            chosenFolder_ = source;
        return ok;
    }

    const TCopyTarget target_;
    TDiscRequest& request_;
    TProgressSink* progress_;
    std::string chosenFolder_;
    TDiscCopyResult result_;
};

}  // namespace

std::int32_t CountVolumeFiles(TBWDirectory& volume, const std::string& source)
{
    TDiscFolder disc(source);
    std::int32_t count = 0;
    for (const TSelectedFile& selected : SelectedFilesOf(volume))
        if (!disc.FindFile(selected.rel, selected.file->Name()).empty())
            ++count;
    return count;
}

void CopyVolumeFiles(TBWDirectory& volume, const std::string& source, const TCopyTarget& target,
                     TProgressSink* progress, TDiscCopyResult& result)
{
    TDiscFolder disc(source);
    for (const TSelectedFile& selected : SelectedFilesOf(volume)) {
        const std::string targetFolder =
            AddTrailingBackslash(target.destination) + (target.keepStructure ? selected.rel : std::string());
        CreateDirectoryPath(targetFolder);
        const std::string found = disc.FindFile(selected.rel, selected.file->Name());
        if (found.empty())
            continue;
        CopyFoundFile(found, targetFolder, selected, result);
        if (progress)
            progress->Step(1);
    }
}

TDiscCopyResult TMplManager::CopySelectedFromDiscs(const std::string& destination, bool keepStructure,
                                                   TDiscRequest& request, TProgressSink* progress)
{
    if (SelectedCount() <= 0 || !IsDirectory(destination))
        return {};
    return TDiscCopy({destination, keepStructure}, request, progress).CopyLists(Lists());
}
