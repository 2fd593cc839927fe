// Splits a text into tokens at any character of a delimiter set. Used by the
// word splitting of the matcher and by the path helpers.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <string_view>

using TBWCharSet = std::bitset<256>;

TBWCharSet CharSetOf(std::string_view characters);

class TBWToken {
public:
    TBWToken();

    void Reset();
    void SetText(const std::string& text);
    const std::string& Text() const { return text_; }

    // Runs of delimiters never make empty tokens: an empty token means the end.
    std::string First();
    std::string Next();
    std::string CurrentToken() const;
    // Counted once and cached until SetText or Reset; leaves the cursor on
    // the first token.
    std::int32_t Count();

    TBWCharSet delimiters;
    std::int32_t minimumLength = 0;

private:
    bool InText(std::int32_t position) const;
    bool IsDelimiter(std::int32_t position) const;

    std::string text_;
    std::int32_t tokenStart_ = 1;  // 1-based
    std::int32_t tokenEnd_ = 1;    // 1-based, just after the token
    std::int32_t cachedCount_ = -1;
};
