// The C library's heap on large memory pages. Memory touched for the first
// time costs the kernel a fault per page, and on the virtual machines many
// desktops run on now a fault costs some 10 µs: a scan by content of 20,000
// files touches 24 MB, 6,000 pages, and spent a fifth of its time there.
// With large pages (2 MB) the same heap costs a few hundred faults. The C
// library takes them only from its tunables, which it reads as a program
// starts: the program's entry starts it once more with them set.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The tunables to start with, given those set now (empty when none), or
// none where they ask for the heap's pages already or say themselves how
// the heap is to grow: the user's choice stands.
std::optional<std::string> TunablesWithLargePages(const std::string& current);

// Whether the kernel's setting of large pages for a program's memory, as
// its file reads ("always [madvise] never"), gives them where asked.
bool GivesLargePages(std::string_view kernelSetting);

// The tunables as the user set them, given those the program started with
// (empty when none): what programs it starts inherit.
std::string TunablesAsTheUserSetThem(const std::string& current);

// The running program's file, empty where it cannot be told. Started
// again from it rather than from /proc/self/exe, the process keeps its name,
// which ps, top and pkill know it by.
std::string ProgramFile();

// Starts the running program again with the same arguments and its heap on
// large pages, unless it runs so already or the kernel gives none; returns
// only where it did not.
// Once restarted, it gives the user's tunables back to the environment.
void RestartWithLargePages(char** argv);
