// Feeds libFuzzer's bytes to the reader of the older Mp3 List format.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/u_bwmplv2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TMplV2Content content;
    ParseMplV2(std::string_view(reinterpret_cast<const char*>(data), size), content);
    return 0;
}
