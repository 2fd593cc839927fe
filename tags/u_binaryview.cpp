#include "tags/u_binaryview.h"

#include <algorithm>

namespace {

// Big-endian value of count bytes; bytes outside the view read as zero.
// True when none of count bytes from at lies in the view; checked first so
// that positions near the limits of 64 bits never overflow.
bool AllOutside(const TBinaryView& view, std::int64_t at, int count)
{
    return at >= view.size() || at <= -count;
}

std::uint64_t BigEndian(const TBinaryView& view, std::int64_t at, int count)
{
    if (AllOutside(view, at, count))
        return 0;
    std::uint64_t value = 0;
    for (int i = 0; i < count; ++i)
        value = (value << 8) | view.u8(at + i);
    return value;
}

std::uint64_t LittleEndian(const TBinaryView& view, std::int64_t at, int count)
{
    if (AllOutside(view, at, count))
        return 0;
    std::uint64_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | view.u8(at + i);
    return value;
}

}  // namespace

std::uint8_t TBinaryView::u8(std::int64_t at) const
{
    return at >= 0 && at < size() ? bytes_[static_cast<std::size_t>(at)] : 0;
}

std::uint16_t TBinaryView::u16le(std::int64_t at) const
{
    return static_cast<std::uint16_t>(LittleEndian(*this, at, 2));
}

std::uint16_t TBinaryView::u16be(std::int64_t at) const
{
    return static_cast<std::uint16_t>(BigEndian(*this, at, 2));
}

std::uint32_t TBinaryView::u24be(std::int64_t at) const
{
    return static_cast<std::uint32_t>(BigEndian(*this, at, 3));
}

std::uint32_t TBinaryView::u32le(std::int64_t at) const
{
    return static_cast<std::uint32_t>(LittleEndian(*this, at, 4));
}

std::uint32_t TBinaryView::u32be(std::int64_t at) const
{
    return static_cast<std::uint32_t>(BigEndian(*this, at, 4));
}

std::uint64_t TBinaryView::u64le(std::int64_t at) const
{
    return LittleEndian(*this, at, 8);
}

std::uint64_t TBinaryView::u64be(std::int64_t at) const
{
    return BigEndian(*this, at, 8);
}

bool TBinaryView::matches(std::int64_t at, std::string_view pattern) const
{
    return chars(at, static_cast<std::int64_t>(pattern.size())) == pattern;
}

std::int64_t TBinaryView::find(std::string_view pattern, std::int64_t from) const
{
    const std::string_view all = chars(0, size());
    const std::size_t start = static_cast<std::size_t>(std::max<std::int64_t>(from, 0));
    if (start > all.size())
        return npos;
    const std::size_t found = all.find(pattern, start);
    return found == std::string_view::npos ? npos : static_cast<std::int64_t>(found);
}

TBinaryView TBinaryView::sub(std::int64_t at, std::int64_t len) const
{
    if (at < 0 || at >= size() || len <= 0)
        return {};
    const std::int64_t count = std::min(len, size() - at);
    return TBinaryView(bytes_.subspan(static_cast<std::size_t>(at), static_cast<std::size_t>(count)));
}

std::string_view TBinaryView::chars(std::int64_t at, std::int64_t len) const
{
    const TBinaryView part = sub(at, len);
    return {reinterpret_cast<const char*>(part.bytes_.data()), part.bytes_.size()};
}
