#include "base/u_bwstrlist.h"

#include <gtest/gtest.h>

TEST(StrList, KeepsEachTextOnceWithItsFirstValue)
{
    TBWStrList list;
    TBWStrData* first = list.AddUnique("Title", 0);
    EXPECT_EQ(list.AddUnique("Title", 99), first);
    EXPECT_EQ(first->Value, 0);
    list.AddUnique("title", 6);  // another case, another text
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Find("title")->Value, 6);
    EXPECT_EQ(list.Find("TITLE"), nullptr);
    EXPECT_EQ(list.Find(""), nullptr);
}

TEST(StrList, ClearFreesTheEntries)
{
    TBWStrList list;
    list.AddUnique("a", 1);
    list.AddUnique("b", 2);
    list.Clear();
    EXPECT_EQ(list.FirstOwned(), nullptr);
    EXPECT_EQ(list.Find("a"), nullptr);
    EXPECT_EQ(list.AddUnique("a", 3)->Value, 3);
}

TEST(StrList, EntriesCannotBeCopied)
{
    TBWStrData a, b;
    EXPECT_THROW(a.Assign(b), EBWClassError);
}
