#include "base/platform/u_largepages.h"

#include <limits.h>
#include <unistd.h>

#include <cstdlib>

#include "base/platform/u_wholefile.h"

namespace {

constexpr const char* kVariable = "GLIBC_TUNABLES";
constexpr const char* kKernelSetting = "/sys/kernel/mm/transparent_hugepage/enabled";
constexpr const char* kRunningProgram = "/proc/self/exe";

// Large pages, and a heap that grows by many of them at a time: the C
// library advises the kernel of large pages only for growth of at least
// one. A thread's own heap is advised as it starts, at this size, and
// grows unadvised up to 64 MB: started at 64 MB, the whole of it has
// large pages (at 32 MB, a scan of a million names took 125,000 faults
// instead of 69,000, and its walk 2.4 s instead of 1.8).
const std::string kLargePages = "glibc.malloc.hugetlb=1:glibc.malloc.top_pad=67108864";

// Tunables that say how the heap is to grow, which the user may have set.
bool SaysHowTheHeapGrows(const std::string& tunables)
{
    return tunables.find("glibc.malloc.hugetlb") != std::string::npos ||
           tunables.find("glibc.malloc.top_pad") != std::string::npos;
}

std::string Variable()
{
    const char* value = std::getenv(kVariable);
    return value ? value : "";
}

void SetVariable(const std::string& value)
{
    if (value.empty())
        ::unsetenv(kVariable);
    else
        ::setenv(kVariable, value.c_str(), 1);
}

}  // namespace

std::optional<std::string> TunablesWithLargePages(const std::string& current)
{
    if (SaysHowTheHeapGrows(current))
        return std::nullopt;
    return current.empty() ? kLargePages : current + ":" + kLargePages;
}

bool GivesLargePages(std::string_view kernelSetting)
{
    return kernelSetting.find("[always]") != std::string_view::npos ||
           kernelSetting.find("[madvise]") != std::string_view::npos;
}

std::string TunablesAsTheUserSetThem(const std::string& current)
{
    if (current == kLargePages)
        return {};
    const std::string added = ":" + kLargePages;
    if (current.ends_with(added))
        return current.substr(0, current.size() - added.size());
    return current;
}

std::string ProgramFile()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink(kRunningProgram, path, sizeof path);
    if (length <= 0 || static_cast<std::size_t>(length) == sizeof path)
        return {};
    return std::string(path, static_cast<std::size_t>(length));
}

void RestartWithLargePages(char** argv)
{
    const std::string current = Variable();
    const std::optional<std::string> restartWith = TunablesWithLargePages(current);
    if (!restartWith) {
        SetVariable(TunablesAsTheUserSetThem(current));
        return;
    }
    // A restart costs the loading of every library once more: not for
    // nothing.
    std::string kernelSetting;
    if (!ReadWholeFile(kKernelSetting, kernelSetting) || !GivesLargePages(kernelSetting))
        return;
    SetVariable(*restartWith);
    // Through its file, the process keeps its name; through /proc/self/exe
    // it also restarts when the file was replaced meanwhile.
    if (const std::string file = ProgramFile(); !file.empty())
        ::execv(file.c_str(), argv);
    ::execv(kRunningProgram, argv);
    // Not restarted (no /proc, say): the program goes on as it is.
    SetVariable(current);
}
