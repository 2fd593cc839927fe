#include "tests/support/mpl_bytes.h"

#include "model/u_bwdigest.h"

std::string Words(std::initializer_list<std::int64_t> words)
{
    std::string bytes;
    for (std::int64_t word : words)
        for (int shift = 0; shift < 32; shift += 8)
            bytes.push_back(static_cast<char>((static_cast<std::uint32_t>(word) >> shift) & 0xFF));
    return bytes;
}

std::string PoolEntry(const std::string& text)
{
    return Words({static_cast<std::int64_t>(text.size())}) + text;
}

std::string SealedList(const std::string& records, const std::string& strings)
{
    TBWMd5 md5;
    md5.Add(records);
    md5.Add(strings);
    const TBWDigest digest = md5.Finish();
    return std::string("\x5C\x03\0\0", 4) + Words({0, static_cast<std::int64_t>(records.size()),
                                                  static_cast<std::int64_t>(strings.size())}) +
           std::string(digest.begin(), digest.end()) + records + strings;
}

namespace {

TBWDigest DigestCounting(std::uint8_t from)
{
    TBWDigest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i)
        digest[i] = static_cast<std::uint8_t>(from + i);
    return digest;
}

}  // namespace

std::vector<TMplFileRecord> GoldenFiles()
{
    return {
        {"01 Alpha.mp3", 4096, 245, 128, "Alpha", "The Band", "First Light", "Rock", "", DigestCounting(0x00)},
        {"02 Beta.mp3", 3500, 201, 192, "Beta", "The Band", "", "Rock", "ripped", DigestCounting(0xF0)},
    };
}
