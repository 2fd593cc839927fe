// Feeds libFuzzer's bytes to the MPEG audio reader, with both ID3 tags, as
// a whole file; the bitrate and duration are computed from what it found.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "tags/MPEGaudio.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemorySource source{TBinaryView({data, size})};
    TMPEGaudio mpeg;
    mpeg.LoadFromSource(source);
    const double duration = mpeg.Duration();
    if (mpeg.BitRate() > 0 && !(std::isfinite(duration) && duration >= 0))
        __builtin_trap();  // whatever the bytes, a duration is a real length of time
    return 0;
}
