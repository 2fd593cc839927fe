// Feeds libFuzzer's bytes to the WMA reader as a whole file.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "tags/WMAfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemorySource source{TBinaryView({data, size})};
    TWMAfile wma;
    wma.LoadFromSource(source);
    if (wma.Valid() && !(std::isfinite(wma.Duration()) && wma.Duration() >= 0))
        __builtin_trap();  // a valid stream has a real length of time
    return 0;
}
