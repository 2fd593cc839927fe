#include "base/platform/u_temporaryfile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <mutex>
#include <regex>
#include <vector>

#include "base/platform/u_wholefile.h"

namespace {

constexpr const char* kSaveMark = ".tmp";
constexpr const char* kMoveMark = ".unfinished-move-";

std::string NameOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct THiddenName {
    std::string path;
    std::string id;  // "PID-N": the process and the number of the name in it
};

// Unique per process and call, so two threads writing the same file never
// share a temporary file; the leading dot hides it and keeps it out of
// "*.xml" listings. A long name is shortened to leave room for the mark.
THiddenName HiddenNameFor(const std::string& target, TTemporaryFile::TPurpose purpose)
{
    static std::atomic<unsigned> counter{0};
    const std::string id = std::to_string(::getpid()) + "-" + std::to_string(counter++);
    const std::string mark = (purpose == TTemporaryFile::tpSave ? kSaveMark : kMoveMark) + id;
    const std::string folder = FolderOfFile(target);
    const std::string name = NameOf(target).substr(0, NAME_MAX - 1 - mark.size());
    return {(folder == "/" ? "" : folder) + "/." + name + mark, id};
}

// Whether path's file is the hidden name made with id.
bool IsHiddenNameOf(const std::string& path, const std::string& id)
{
    const std::string name = NameOf(path);
    return name.starts_with('.') &&
           (name.ends_with(kSaveMark + id) || name.ends_with(kMoveMark + id));
}

std::mutex gRecordMutex;
std::string gRecordFolder;

std::string RecordFolder()
{
    const std::lock_guard lock(gRecordMutex);
    return gRecordFolder;
}

// The record of a hidden name, written before the name is taken: a file
// named by the id that holds the path. Gives the record's path; empty when
// nothing is recorded (a folder that cannot be written leaves the file
// unrecorded rather than unwritten).
std::string WriteRecord(const THiddenName& hidden)
{
    const std::string folder = RecordFolder();
    if (folder.empty())
        return {};
    ::mkdir(folder.c_str(), 0700);
    const std::string record = folder + "/" + hidden.id;
    const int descriptor = ::open(record.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return {};
    const ssize_t written = ::write(descriptor, hidden.path.data(), hidden.path.size());
    ::close(descriptor);
    if (written == static_cast<ssize_t>(hidden.path.size()))
        return record;
    ::unlink(record.c_str());
    return {};
}

bool Running(pid_t process)
{
    return ::kill(process, 0) == 0 || errno != ESRCH;
}

}  // namespace

TTemporaryFile::TTemporaryFile(std::string target, TPurpose purpose, bool unnamedAllowed)
    : target_(std::move(target)), purpose_(purpose), unnamedAllowed_(unnamedAllowed)
{
}

TTemporaryFile::~TTemporaryFile()
{
    Discard();
}

bool TTemporaryFile::Open()
{
    if (unnamedAllowed_) {
        descriptor_ = ::open(FolderOfFile(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        // File systems without unnamed files answer in several ways; any
        // other failure would meet a named file too.
        if (descriptor_ >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL))
            return descriptor_ >= 0;
    }
    return OpenNamed();
}

bool TTemporaryFile::OpenNamed()
{
    name_ = NewHiddenName();
    descriptor_ = ::open(name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor_ < 0) {
        const int error = errno;
        ForgetName();
        errno = error;
    }
    return descriptor_ >= 0;
}

std::string TTemporaryFile::NewHiddenName()
{
    const THiddenName hidden = HiddenNameFor(target_, purpose_);
    record_ = WriteRecord(hidden);
    return hidden.path;
}

// The hidden name is gone, placed or removed: so goes its record.
void TTemporaryFile::ForgetName()
{
    name_.clear();
    if (!record_.empty())
        ::unlink(record_.c_str());
    record_.clear();
}

bool TTemporaryFile::LinkTo(const std::string& name)
{
    // The descriptor's path in /proc names the unnamed file; linking the
    // descriptor itself (AT_EMPTY_PATH) would need a capability.
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor_);
    return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

bool TTemporaryFile::SyncAndClose()
{
    const bool synced = ::fsync(descriptor_) == 0;
    const int error = errno;
    const bool closed = ::close(descriptor_) == 0;
    descriptor_ = -1;
    if (!synced)
        errno = error;
    return synced && closed;
}

bool TTemporaryFile::Replace()
{
    // A rename is the only way to take the place of a file at once, and it
    // needs a name: the unnamed file gets its hidden one just before.
    if (name_.empty()) {
        const std::string hidden = NewHiddenName();
        if (!LinkTo(hidden)) {
            Discard();
            return false;
        }
        name_ = hidden;
    }
    if (!SyncAndClose() || ::rename(name_.c_str(), target_.c_str()) != 0) {
        Discard();
        return false;
    }
    ForgetName();
    SyncFolder(FolderOfFile(target_));
    return true;
}

TRenameOutcome TTemporaryFile::PlaceNew(const TRenameCalls& calls)
{
    TRenameOutcome outcome = TRenameOutcome::Failed;
    if (name_.empty()) {
        // A link never replaces: the unnamed file takes the name or nothing.
        if (::fsync(descriptor_) == 0)
            outcome = LinkTo(target_) ? TRenameOutcome::Renamed
                                      : (errno == EEXIST ? TRenameOutcome::NameTaken : TRenameOutcome::Failed);
    } else if (SyncAndClose()) {
        outcome = RenameNoReplace(name_, target_, calls);
        if (outcome == TRenameOutcome::Renamed)
            ForgetName();
    }
    Discard();
    if (outcome == TRenameOutcome::Renamed)
        SyncFolder(FolderOfFile(target_));
    return outcome;
}

void TTemporaryFile::Discard()
{
    const int error = errno;
    if (descriptor_ >= 0)
        ::close(descriptor_);
    descriptor_ = -1;
    if (!name_.empty())
        ::unlink(name_.c_str());
    ForgetName();
    errno = error;
}

bool SyncFolder(const std::string& folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = ::fsync(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

int RemoveStaleTemporaries(const std::string& folder)
{
    static const std::regex kTemporary(R"(\..+(?:\.tmp|\.unfinished-move-)([0-9]+)-[0-9]+)");
    DIR* entries = ::opendir(folder.c_str());
    if (!entries)
        return 0;
    int removed = 0;
    const std::string base = folder.ends_with('/') ? folder : folder + "/";
    while (const dirent* entry = ::readdir(entries)) {
        std::cmatch match;
        if (!std::regex_match(entry->d_name, match, kTemporary))
            continue;
        const long long process = std::stoll(match[1].str().substr(0, 18));
        struct stat status {};
        const std::string path = base + entry->d_name;
        if (process > 0 && process <= INT_MAX && !Running(static_cast<pid_t>(process)) &&
            ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    ::closedir(entries);
    return removed;
}

void RecordTemporariesIn(const std::string& folder)
{
    const std::lock_guard lock(gRecordMutex);
    gRecordFolder = folder;
}

namespace {

std::vector<std::string> EntryNames(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* entries = ::opendir(folder.c_str());
    if (!entries)
        return names;
    while (const dirent* entry = ::readdir(entries))
        names.emplace_back(entry->d_name);
    ::closedir(entries);
    return names;
}

}  // namespace

int RemoveRecordedTemporaries(const std::string& recordFolder)
{
    static const std::regex kRecord(R"(([0-9]{1,10})-[0-9]+)");
    constexpr std::int64_t kRecordLimit = PATH_MAX;
    int removed = 0;
    for (const std::string& id : EntryNames(recordFolder)) {
        std::smatch match;
        if (!std::regex_match(id, match, kRecord))
            continue;
        const long long process = std::stoll(match[1].str());
        if (process <= 0 || process > INT_MAX || Running(static_cast<pid_t>(process)))
            continue;
        const std::string record = recordFolder + "/" + id;
        std::string path;
        std::string reason;
        struct stat status {};
        if (ReadWholeFile(record, path, reason, kRecordLimit) && IsHiddenNameOf(path, id) &&
            ::lstat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::unlink(path.c_str()) == 0)
            ++removed;
        ::unlink(record.c_str());
    }
    return removed;
}
