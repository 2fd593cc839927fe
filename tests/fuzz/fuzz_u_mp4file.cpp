// Feeds libFuzzer's bytes to the MP4 atom reader as a whole file and asks
// for every value the music handler reads.
#include <cstddef>
#include <cstdint>

#include "tags/u_mp4file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemorySource source{TBinaryView({data, size})};
    TMp4File mp4;
    mp4.LoadFromSource(source);
    mp4.Title();
    mp4.Artist();
    mp4.Album();
    mp4.Comment();
    mp4.Genre();
    if (mp4.Bitrate() < 0 || mp4.Duration() < 0)
        __builtin_trap();
    return 0;
}
