// A bounds-checked, read-only view of bytes: what every audio format reader
// parses instead of touching raw pointers. A read outside the view gives zeros
// or an empty view, so a damaged or hostile file can never lead a reader past
// the memory it was given.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

class TBinaryView {
public:
    static constexpr std::int64_t npos = -1;

    TBinaryView() = default;
    TBinaryView(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::int64_t size() const { return static_cast<std::int64_t>(bytes_.size()); }
    bool empty() const { return bytes_.empty(); }
    std::span<const std::uint8_t> bytes() const { return bytes_; }
    auto begin() const { return bytes_.begin(); }
    auto end() const { return bytes_.end(); }

    std::uint8_t u8(std::int64_t at) const;
    std::uint16_t u16le(std::int64_t at) const;
    std::uint16_t u16be(std::int64_t at) const;
    std::uint32_t u24be(std::int64_t at) const;
    std::uint32_t u32le(std::int64_t at) const;
    std::uint32_t u32be(std::int64_t at) const;
    std::uint64_t u64le(std::int64_t at) const;
    std::uint64_t u64be(std::int64_t at) const;

    // Whether the bytes at `at` spell pattern; false when they run past the end.
    bool matches(std::int64_t at, std::string_view pattern) const;
    // The first position at or after from where pattern begins, or npos.
    std::int64_t find(std::string_view pattern, std::int64_t from = 0) const;
    // The part from at on, at most len bytes; empty when at lies outside.
    TBinaryView sub(std::int64_t at, std::int64_t len) const;
    // The same part as characters, for ids, marks and digits.
    std::string_view chars(std::int64_t at, std::int64_t len) const;

private:
    std::span<const std::uint8_t> bytes_;
};
