// Feeds libFuzzer's bytes to the reader of the older Mp3 List format and
// builds the directory tree from what it found.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "model/u_bwmplv2.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    TBWMplDirChainV2 root;
    root.SetListFile("fuzz.mpl");
    root.LoadFromBytes(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}
