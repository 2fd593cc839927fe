// System information the rest of the program needs. The digest of a file
// window aligns the window's start to the allocation granularity.
#pragma once

#include <cstdint>

// Fixed at 65536, the value of the systems the Mp3 Lists were first made on,
// whatever this system's page size: the stored digests depend on it, and
// lists made elsewhere must still match.
constexpr std::uint32_t AllocationGranularity()
{
    return 65536;
}
