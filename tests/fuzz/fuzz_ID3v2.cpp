// Feeds libFuzzer's bytes to the ID3v2 reader as a whole file.
#include <cstddef>
#include <cstdint>

#include "tags/ID3v2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMemorySource source{TBinaryView({data, size})};
    TID3v2 tag;
    tag.LoadFromSource(source);
    return 0;
}
