// Feeds libFuzzer's bytes to the Ogg Vorbis reader as a whole file; the
// duration and bitrate are computed from what it found.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "tags/OggVorbis.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemorySource source{TBinaryView({data, size})};
    TOggVorbis ogg;
    ogg.LoadFromSource(source);
    const double duration = ogg.Duration();
    if (!(std::isfinite(duration) && duration >= 0))
        __builtin_trap();
    ogg.BitRate();
    return 0;
}
