#include "base/platform/u_trash.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

#include "base/platform/u_hexescapes.h"
#include "base/platform/u_mountinfo.h"
#include "base/platform/u_xdgdirs.h"
#include "base/u_bwfunc.h"

namespace {

std::string ErrorText(int error)
{
    return std::system_category().message(error);
}

bool Fail(std::string& reason, std::string text)
{
    reason = std::move(text);
    return false;
}

std::string Resolved(const std::string& path)
{
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) ? std::string(resolved) : std::string();
}

std::string ChildPath(const std::string& folder, const std::string& name)
{
    return AddTrailingBackslash(folder) + name;
}

bool IsRealFolder(const std::string& path, struct stat* info = nullptr)
{
    struct stat own {};
    struct stat& status = info ? *info : own;
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A trash folder must be a real folder (not a link an attacker could point
// elsewhere); made private when missing.
bool EnsureFolder(const std::string& path)
{
    return ::mkdir(path.c_str(), 0700) == 0 || (errno == EEXIST && IsRealFolder(path));
}

bool EnsureTrashFolders(const std::string& trash)
{
    return EnsureFolder(trash) && EnsureFolder(trash + "/files") && EnsureFolder(trash + "/info");
}

// A trash folder on a shared volume is used only when it is a real folder
// of this user that nobody else may enter: another user who made it first
// could otherwise read, take or delete whatever is trashed into it.
bool IsPrivateFolder(const std::string& path)
{
    struct stat status {};
    return IsRealFolder(path, &status) && status.st_uid == ::getuid() && (status.st_mode & 07777) == 0700;
}

enum class TVolumeTrash { Usable, CannotBeMade, NotPrivate };

// The folders are checked one by one before anything is made inside them.
TVolumeTrash EnsurePrivateTrash(const std::string& trash)
{
    for (const std::string& folder : {trash, trash + "/files", trash + "/info"}) {
        if (!EnsureFolder(folder))
            return TVolumeTrash::CannotBeMade;
        if (!IsPrivateFolder(folder))
            return TVolumeTrash::NotPrivate;
    }
    return TVolumeTrash::Usable;
}

// The file as the trash records it: absolute, its folder resolved, the
// name itself left alone so that a link goes to the trash, not its target.
struct TTrashedFile {
    std::string path;
    std::string name;
    std::string folder;
};

bool LocateFile(const std::string& given, TTrashedFile& file, std::string& reason)
{
    std::string path = given;
    if (!path.starts_with('/')) {
        char current[PATH_MAX];
        if (!::getcwd(current, sizeof current))
            return Fail(reason, ErrorText(errno));
        path = ChildPath(current, path);
    }
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    file.name = LastPathPart(path);
    if (file.name.empty() || file.name == "/" || file.name == "." || file.name == "..")
        return Fail(reason, "This is no file that can go to the trash.");
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return Fail(reason, ErrorText(errno));
    file.folder = Resolved(path.substr(0, path.size() - file.name.size()));
    if (file.folder.empty())
        return Fail(reason, ErrorText(errno));
    file.path = ChildPath(file.folder, file.name);
    return true;
}

// Where a file of a volume other than the home's goes, and the path its
// record holds: relative to the volume's top folder, so the record stays
// right wherever the volume is mounted next time.
bool VolumeTrash(const std::string& topFolder, std::string& trash, std::string& reason)
{
    const std::string uid = std::to_string(::getuid());
    const std::string shared = ChildPath(topFolder, ".Trash");
    struct stat status {};
    if (IsRealFolder(shared, &status) && (status.st_mode & S_ISVTX)) {
        trash = shared + "/" + uid;
        if (EnsurePrivateTrash(trash) == TVolumeTrash::Usable)
            return true;
    }
    trash = ChildPath(topFolder, ".Trash-" + uid);
    switch (EnsurePrivateTrash(trash)) {
    case TVolumeTrash::Usable:
        return true;
    case TVolumeTrash::NotPrivate:
        return Fail(reason, "The trash folder " + trash +
                                " belongs to another user or is open to others, so nothing is put in it.");
    case TVolumeTrash::CannotBeMade:
        break;
    }
    return Fail(reason, "No trash folder can be made on the volume " + topFolder + " (" +
                            ErrorText(errno) + ").");
}

struct TTrashPlace {
    std::string folder;
    std::string recordedPath;
};

bool ChooseTrash(const TTrashedFile& file, const TPlatformSources& sources, TTrashPlace& place,
                 std::string& reason)
{
    const std::vector<TMountEntry> mounts = ReadMountInfo(sources.mountInfoFile);
    const std::string dataHome = XdgDataHome();
    CreateDirectoryPath(dataHome);
    const std::string resolvedHome = Resolved(dataHome);
    const TMountEntry* fileMount = MountOfPath(mounts, file.folder);
    if (!fileMount || (!resolvedHome.empty() && fileMount == MountOfPath(mounts, resolvedHome))) {
        place.folder = dataHome + "/Trash";
        place.recordedPath = file.path;
        if (EnsureTrashFolders(place.folder))
            return true;
        return Fail(reason, "The trash folder " + place.folder + " cannot be made (" +
                                ErrorText(errno) + ").");
    }
    const std::string& top = fileMount->mountPoint;
    place.recordedPath = file.path.substr(top == "/" ? 1 : top.size() + 1);
    return VolumeTrash(top, place.folder, reason);
}

constexpr std::string_view kRecordExtension = ".trashinfo";

// Where the number of a taken name goes: before the extension; a leading
// dot, or a "dot" far from the end, is no extension.
std::size_t ExtensionStart(const std::string& name)
{
    constexpr std::size_t kLongestExtension = 16;
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 || name.size() - dot > kLongestExtension ? name.size() : dot;
}

// The record's name is the file's name and ".trashinfo", and must fit the
// system's limit on names, with room for a number: a longer name is cut
// (at a character boundary, keeping its extension). The record's Path=
// keeps the full original name, which is what a restore gives back.
std::string TrashName(const std::string& name)
{
    constexpr std::size_t kNumberRoom = 8;
    constexpr std::size_t kLongest = NAME_MAX - kRecordExtension.size() - kNumberRoom;
    if (name.size() <= kLongest)
        return name;
    const std::size_t extension = ExtensionStart(name);
    std::size_t cut = kLongest - (name.size() - extension);
    while (cut > 0 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80)
        --cut;  // not inside a UTF-8 character
    return name.substr(0, cut) + name.substr(extension);
}

// "song.mp3", "song.2.mp3", "song.3.mp3", ...
std::string NumberedName(const std::string& name, int number)
{
    if (number == 1)
        return name;
    const std::size_t extension = ExtensionStart(name);
    return name.substr(0, extension) + "." + std::to_string(number) + name.substr(extension);
}

std::string TrashInfoText(const std::string& recordedPath)
{
    static const TBWCharSet kPlain = CharSetOf(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_.!~*'()/");
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char date[32];
    std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    return "[Trash Info]\nPath=" + EncodeHexEscapes(recordedPath, kPlain, "%") +
           "\nDeletionDate=" + date + "\n";
}

bool WriteRecord(int descriptor, const std::string& text)
{
    const bool written = ::write(descriptor, text.data(), text.size()) ==
                         static_cast<ssize_t>(text.size());
    return ::close(descriptor) == 0 && written;
}

// The exclusive create makes the name ours even when another program trashes
// a file of the same name at the same moment.
bool ClaimName(const TTrashedFile& file, const TTrashPlace& place, std::string& claimed,
               std::string& record, std::string& reason)
{
    const std::string text = TrashInfoText(place.recordedPath);
    const std::string name = TrashName(file.name);
    for (int number = 1;; ++number) {
        claimed = NumberedName(name, number);
        struct stat status {};
        if (::lstat((place.folder + "/files/" + claimed).c_str(), &status) == 0)
            continue;
        record = place.folder + "/info/" + claimed + std::string(kRecordExtension);
        const int descriptor = ::open(record.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (descriptor < 0 && errno == EEXIST)
            continue;
        if (descriptor >= 0 && WriteRecord(descriptor, text))
            return true;
        const int error = errno;
        if (descriptor >= 0)
            ::unlink(record.c_str());
        return Fail(reason, ErrorText(error));
    }
}

}  // namespace

bool MoveToTrash(const std::string& path, const TPlatformSources& sources, std::string& reason)
{
    TTrashedFile file;
    TTrashPlace place;
    std::string claimed, record;
    if (!LocateFile(path, file, reason) || !ChooseTrash(file, sources, place, reason) ||
        !ClaimName(file, place, claimed, record, reason))
        return false;
    if (::rename(file.path.c_str(), (place.folder + "/files/" + claimed).c_str()) == 0)
        return true;
    const int error = errno;
    ::unlink(record.c_str());
    return Fail(reason, ErrorText(error));
}
