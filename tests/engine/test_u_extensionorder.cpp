#include "engine/u_extensionorder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct TRankCase {
    const char* text;
    const char* extension;
    std::int32_t rank;
};

TEST(ExtensionOrder, RanksWholeEntriesWithoutRegardToCase)
{
    const TRankCase cases[] = {
        {"*.MP3;*.M4A;*.M4P;*.WMA;*.OGG;", "MP3", 1},
        {"*.MP3;*.M4A;*.M4P;*.WMA;*.OGG;", "OGG", 5},
        {"*.MP3;*.M4A;*.M4P;*.WMA;*.OGG;", "ogg", 5},
        {"*.mp3;*.ogg;", "OGG", 2},   // a mask keeps the letters it was given
        {"MP3;OGG;", "OGG", 2},       // a profile's list, without "*."
        {"*.MP3;*.OGG", "OGG", 2},    // no final ";"
        {"*.MP3;*.;*.OGG;", "OGG", 3},  // an empty entry still takes its place
        {"*.MP3;*.OGG;", "FLAC", 3},  // not listed: after every listed one
        {"*.MP3;*.OGG;", "P3", 3},    // part of an entry is no entry
        {"*.MP3;*.OGG;", "", 3},
        {"", "MP3", 1},               // nothing listed: all rank alike
    };
    for (const TRankCase& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " / " + c.extension);
        EXPECT_EQ(TBWExtensionOrder(c.text).Rank(c.extension), c.rank);
    }
}

TEST(ExtensionOrder, SettingTheTextReplacesTheOrder)
{
    TBWExtensionOrder order("*.MP3;*.OGG;");
    order.SetText("*.OGG;*.MP3;");
    EXPECT_EQ(order.Rank("OGG"), 1);
    EXPECT_EQ(order.Rank("MP3"), 2);
    EXPECT_EQ(order.Text(), "*.OGG;*.MP3;");
}

}  // namespace
