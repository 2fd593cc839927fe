// Feeds libFuzzer's bytes to the Mp3 List reader twice: as a whole file,
// which mostly exercises the header checks, and as the two sections of a
// file sealed with their correct digest (the first four bytes say where
// they split), so that every record and string reaches the lazy reads.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "model/u_mplio.h"
#include "tests/support/mpl_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    TMplIO plain;
    plain.LoadFromBytes(bytes);
    if (size < 4)
        return 0;
    const std::uint32_t split = data[0] | data[1] << 8 | std::uint32_t{data[2]} << 16 | std::uint32_t{data[3]} << 24;
    const std::string_view sections = bytes.substr(4);
    const std::string_view records = sections.substr(0, split % (sections.size() + 1));
    const std::string_view strings = sections.substr(records.size());
    TMplIO io;
    if (io.LoadFromBytes(SealedList(std::string(records), std::string(strings))) != msLoaded)
        __builtin_trap();  // a sealed file always loads
    // Each record is reached at most once and starts on a multiple of four,
    // which bounds the walk.
    std::size_t reached = 0;
    std::deque<std::int32_t> pending = {0};
    while (!pending.empty()) {
        if (++reached > records.size() / 4 + 1)
            __builtin_trap();
        const std::int32_t offset = pending.front();
        pending.pop_front();
        io.ReadFiles(offset);
        for (const TMplDirEntry& dir : io.ReadSubDirs(offset))
            pending.push_back(dir.recordOffset);
    }
    return 0;
}
