#include "base/u_bwtextcase.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCase, OnlyAsciiLettersChangeCase)
{
    EXPECT_EQ(LowerCaseAscii("/Music/ABBA Gold_2 [Live]"), "/music/abba gold_2 [live]");
    EXPECT_EQ(LowerCaseAscii("\xC3\x9C" "BER"), "\xC3\x9C" "ber");  // UTF-8 bytes untouched
    EXPECT_TRUE(SameTextAscii("Rock_Mix1", "rOCK_mIX1"));
    EXPECT_FALSE(SameTextAscii("Rock", "Rock2"));
    EXPECT_FALSE(SameTextAscii("\xC3\x9C", "\xC3\xBC"));
    EXPECT_TRUE(SameTextAscii("", ""));
}

}  // namespace
