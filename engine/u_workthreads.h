// Work spread over the processors: the matching and the preparations for it
// run a function for every file or word on every core (ForEachIndexOnThreads).
#pragma once

#include <cstddef>

#include "base/u_bwthreadpool.h"

// Indices a thread takes at a time when each costs little.
constexpr std::size_t kLightWork = 256;
