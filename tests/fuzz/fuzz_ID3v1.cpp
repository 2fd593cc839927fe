// Feeds libFuzzer's bytes to the ID3v1 and Lyrics3 reader as a whole file.
#include <cstddef>
#include <cstdint>

#include "tags/ID3v1.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemorySource source{TBinaryView({data, size})};
    TID3v1 tag;
    tag.LoadFromSource(source);
    return 0;
}
