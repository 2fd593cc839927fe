// The preference order of audio extensions that decides, between two copies
// of one song, which format remains. Read from the music handler's mask text
// ("*.MP3;*.M4A;...") or from a profile's extension list ("MP3;M4A;...");
// the result list ranks its files by it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TBWExtensionOrder {
public:
    explicit TBWExtensionOrder(std::string_view text = {});

    // Entries separated by ";", each an extension with or without a
    // leading "*.", preferred first.
    void SetText(std::string_view text);
    const std::string& Text() const { return text_; }

    // 1 for the first entry, 2 for the next, without regard to case. An
    // extension that is not listed ranks after every listed one, so a file
    // of an unknown format never wins on its extension.
    std::int32_t Rank(std::string_view extension) const;

private:
    std::string text_;
    std::vector<std::string> extensions_;  // without "*.", in order
};
