#include "base/u_bwtoken.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> AllTokens(TBWToken& tokens)
{
    std::vector<std::string> result;
    for (std::string token = tokens.First(); !token.empty(); token = tokens.Next())
        result.push_back(token);
    return result;
}

}  // namespace

TEST(Token, SplitsAtDelimiterRunsAndSkipsShortTokens)
{
    struct Case {
        std::string text, delimiters;
        std::int32_t minimum;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"a bcd ef ghij", " ", 3, {"bcd", "ghij"}},
        {"  a   b  ", " ", 0, {"a", "b"}},
        {"/music//rock/", "/", 0, {"music", "rock"}},
        {"a,b;c", ",;", 0, {"a", "b", "c"}},
        {"", " ", 0, {}},
        {"   ", " ", 0, {}},
    };
    for (const Case& c : cases) {
        TBWToken tokens;
        tokens.delimiters = CharSetOf(c.delimiters);
        tokens.minimumLength = c.minimum;
        tokens.SetText(c.text);
        EXPECT_EQ(AllTokens(tokens), c.tokens) << '"' << c.text << '"';
        EXPECT_EQ(tokens.Count(), static_cast<std::int32_t>(c.tokens.size()));
    }
}

TEST(Token, CountLeavesTheCursorOnTheFirstTokenAndIsCached)
{
    TBWToken tokens;
    tokens.SetText("one two three");
    tokens.Next();
    tokens.Next();
    EXPECT_EQ(tokens.Count(), 3);
    EXPECT_EQ(tokens.CurrentToken(), "one");
    tokens.delimiters = CharSetOf(" o");  // the cached count stays until SetText
    EXPECT_EQ(tokens.Count(), 3);
    tokens.SetText("x y");
    EXPECT_EQ(tokens.Count(), 2);
    tokens.Reset();
    EXPECT_EQ(tokens.Text(), "");
    EXPECT_EQ(tokens.First(), "");
}
