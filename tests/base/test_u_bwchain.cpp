#include "base/u_bwchain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "tests/base/container_test_items.h"

namespace {

using Names = std::vector<std::string>;

// A chain sorted on name, then number.
struct SortedChain {
    SortedChain()
    {
        chain.SetItemClass(TTestItem::StaticClass());
        chain.SetSortKeys(0, {kByName, kByNumber});
        chain.SetActiveKeys(0);
    }
    TTestItem* Add(const std::string& name, std::int64_t number = 0)
    {
        TTestItem* item = pool.Make(name, number);
        chain.Add(item);
        return item;
    }
    TBWComparable* Find(const std::string& name, std::int64_t number = 0)
    {
        auto* key = static_cast<TTestItem*>(chain.SearchKey());
        key->name = name;
        key->number = number;
        return chain.Find();
    }

    TItemPool pool;
    TBWChain chain;
};

}  // namespace

TEST(ChainAdd, OrderedPlacesFollowTheKeys)
{
    struct Case {
        const char* what;
        Names before;
        std::string added;
        Names after;
    };
    // Items named "2a" and so on compare on the number only; the letter
    // tells them apart.
    const Case cases[] = {
        {"equal goes right after the first equal", {"1", "2a", "2b", "3"}, "2c", {"1", "2a", "2c", "2b", "3"}},
        {"lowest goes to the head", {"1", "2", "3"}, "0", {"0", "1", "2", "3"}},
        {"highest goes to the tail", {"1", "2", "3"}, "4", {"1", "2", "3", "4"}},
        {"between two", {"1", "3"}, "2", {"1", "2", "3"}},
        {"equal to the tail", {"1", "3a"}, "3b", {"1", "3a", "3b"}},
        {"equal to the head", {"1a", "3"}, "1b", {"1a", "1b", "3"}},
        {"into an empty chain", {}, "5", {"5"}},
    };
    for (const Case& c : cases) {
        TItemPool pool;
        TBWChain chain;
        chain.SetSortKeys(0, {kByNumber});
        chain.SetActiveKeys(0);
        for (const std::string& name : c.before)
            chain.Add(pool.Make(name, name[0] - '0'));
        chain.Add(pool.Make(c.added, c.added[0] - '0'));
        EXPECT_EQ(WalkNames(chain), c.after) << c.what;
        EXPECT_EQ(NamesByPosition(chain), c.after) << c.what;
    }
}

TEST(ChainSort, ActivatingAKeySetSortsStablyAndKeepsNodes)
{
    TItemPool pool;
    int events = 0;
    TBWChain chain;
    chain.SetSortKeys(0, {kByNumber});
    TTestItem* a1 = pool.Make("a1", 1);
    TTestItem* b = pool.Make("b", 2);
    TTestItem* a2 = pool.Make("a2", 1);
    AddAll(chain, {a1, b, a2});
    EXPECT_EQ(WalkNames(chain), (Names{"a1", "b", "a2"}));
    chain.GoTo(1);
    TBWStructNode* node = chain.CurrentNode();
    chain.OnNodeEvent = [&events](TBWStructNode*, std::int32_t) { ++events; };
    chain.SetActiveKeys(0);
    EXPECT_EQ(events, 0);
    EXPECT_EQ(chain.CurrentNode(), node);  // the node stays; its item changed
    EXPECT_EQ(NameOf(chain.GetCurrent()), "a2");
    EXPECT_EQ(chain.CursorIndex(), 1);
    EXPECT_EQ(WalkNames(chain), (Names{"a1", "a2", "b"}));
    chain.SetActiveKeys(-1);
    chain.Add(pool.Make("z", 0));  // no keys: appended
    EXPECT_EQ(WalkNames(chain), (Names{"a1", "a2", "b", "z"}));
}

TEST(ChainSort, RedefiningTheActiveSetSortsByItsNewKeys)
{
    SortedChain sorted;
    sorted.Add("b", 1);
    sorted.Add("a", 2);
    sorted.chain.SetSortKeys(0, {kByNumber});
    EXPECT_EQ(WalkNames(sorted.chain), (Names{"b", "a"}));
    sorted.Add("c", 0);
    EXPECT_EQ(WalkNames(sorted.chain), (Names{"c", "b", "a"}));
    EXPECT_EQ(NameOf(sorted.Find("", 2)), "a");
}

TEST(ChainSort, SharedKeySetsSortAndStayApartOnceOneChainRedefinesThem)
{
    const auto shared = std::make_shared<const TBWKeySets>(TBWKeySets{{kByName}, {kByNumber}});
    TItemPool pool;
    auto items = pool.MakeNamed({"b", "a", "c"});
    items[0]->number = 1;
    items[1]->number = 3;
    items[2]->number = 2;
    TBWChain mine, theirs;
    AddAll(mine, items);
    mine.SetActiveKeys(1);
    theirs.ShareSortKeys(shared);
    mine.ShareSortKeys(shared);  // the active set now sorts by number
    EXPECT_EQ(WalkNames(mine), (Names{"b", "c", "a"}));
    mine.SetSortKeys(1, {kByName});
    EXPECT_EQ(WalkNames(mine), (Names{"a", "b", "c"}));
    EXPECT_EQ(theirs.SortKeys(1), (TBWKeySet{kByNumber}));
    EXPECT_EQ(shared->at(1), (TBWKeySet{kByNumber}));
}

TEST(ChainSort, WithoutKeysSortsByIdentity)
{
    TItemPool pool;
    auto items = pool.MakeNamed({"first", "second", "third"});
    TBWChain chain;
    AddAll(chain, {items[2], items[0], items[1]});
    chain.Sort();
    EXPECT_EQ(WalkNames(chain), (Names{"first", "second", "third"}));
}

TEST(ChainSort, ManyItemsInAnyOrderEndSorted)
{
    TItemPool pool;
    std::vector<TTestItem*> items;
    for (int i = 0; i < 5000; ++i)
        items.push_back(pool.Make(std::to_string(i), i % 97));
    for (const bool shuffle : {false, true}) {
        std::vector<TTestItem*> order = items;
        if (shuffle)
            std::shuffle(order.begin(), order.end(), std::mt19937(7));
        else
            std::reverse(order.begin(), order.end());
        TBWChain chain;
        chain.SetSortKeys(0, {kByNumber});
        AddAll(chain, order);
        chain.SetActiveKeys(0);
        std::vector<TTestItem*> expected = order;
        std::stable_sort(expected.begin(), expected.end(),
                         [](auto* a, auto* b) { return a->number < b->number; });
        std::vector<TBWComparable*> walked;
        for (chain.First(); !chain.Eof(); chain.Next())
            walked.push_back(chain.GetCurrent());
        EXPECT_TRUE(std::equal(walked.begin(), walked.end(), expected.begin(), expected.end()));
    }
}

TEST(ChainOrder, NamesDifferingInCaseKeepOneOrderWhateverTheInput)
{
    const Names spellings = {"Music", "music", "MUSIC", "muSic"};
    Names firstOrder;
    std::vector<int> order = {0, 1, 2, 3};
    do {
        SortedChain sorted;
        sorted.chain.SetSortKeys(0, {kByName});
        for (int i : order)
            sorted.Add(spellings[static_cast<std::size_t>(i)]);
        sorted.Add("Alpha");
        const Names walked = WalkNames(sorted.chain);
        if (firstOrder.empty())
            firstOrder = walked;
        EXPECT_EQ(walked, firstOrder);
    } while (std::next_permutation(order.begin(), order.end()));
    EXPECT_EQ(firstOrder, (Names{"Alpha", "MUSIC", "Music", "muSic", "music"}));
}

TEST(ChainFind, SearchesUnderTheActiveKeys)
{
    SortedChain sorted;
    sorted.Add("b", 1);
    sorted.Add("d", 1);
    TTestItem* found = sorted.Add("B", 1);  // equal to "b" without case; stored first
    sorted.Add("f", 1);

    EXPECT_EQ(sorted.Find("b", 1), found);
    EXPECT_EQ(sorted.chain.GetCurrent(), found);
    EXPECT_EQ(sorted.chain.CursorIndex(), 0);
    EXPECT_EQ(NameOf(sorted.Find("D", 1)), "d");
    EXPECT_EQ(sorted.chain.CursorIndex(), 2);
    EXPECT_EQ(NameOf(sorted.chain.Next()), "f");

    EXPECT_EQ(sorted.Find("c", 1), nullptr);  // between two stored items
    EXPECT_TRUE(sorted.chain.Eof());
    EXPECT_EQ(sorted.Find("z", 1), nullptr);
    EXPECT_EQ(sorted.Find("b", 2), nullptr);

    sorted.chain.SetActiveKeys(-1);
    EXPECT_EQ(sorted.Find("b", 1), nullptr);  // no active keys: nothing to search by
}

TEST(ChainPositions, LookupsFromEitherEndAndPastTheEnd)
{
    TItemPool pool;
    TBWChain chain;
    AddAll(chain, pool.MakeNamed({"a", "b", "c", "d", "e"}));
    EXPECT_EQ(NameOf(chain.GoTo(4)), "e");
    EXPECT_EQ(chain.GoTo(5), nullptr);
    EXPECT_EQ(NameOf(chain.GoTo(4)), "e");
    EXPECT_EQ(NameOf(chain.GoTo(1)), "b");
    EXPECT_EQ(NameOf(chain.GoTo(3)), "d");
    EXPECT_EQ(NameOf(chain.GoTo(0)), "a");
}

TEST(ChainInsert, PlacesInFrontOfTheWalkPosition)
{
    struct Case {
        bool descending;
        std::int32_t index;
        Names walked;
    };
    const Case cases[] = {
        {false, 0, {"new", "a", "b", "c"}},  {false, -5, {"new", "a", "b", "c"}},
        {false, 1, {"a", "new", "b", "c"}},  {false, 3, {"a", "b", "c", "new"}},
        {true, 0, {"new", "c", "b", "a"}},   {true, 2, {"c", "b", "new", "a"}},
        {true, 3, {"new", "c", "b", "a"}},  // appended in stored order: first of the mirrored walk
    };
    for (const Case& c : cases) {
        TItemPool pool;
        TBWChain chain;
        AddAll(chain, pool.MakeNamed({"a", "b", "c"}));
        chain.SetDescending(c.descending);
        chain.Insert(pool.Make("new"), c.index);
        EXPECT_EQ(WalkNames(chain), c.walked) << c.descending << " " << c.index;
    }
}

TEST(ChainCursor, KeepsItsNodeAndIndexWhenNodesArriveBeforeIt)
{
    SortedChain sorted;
    sorted.Add("m");
    sorted.Add("p");
    sorted.chain.GoTo(1);
    sorted.Add("a");  // before the cursor
    EXPECT_EQ(NameOf(sorted.chain.GetCurrent()), "p");
    EXPECT_EQ(sorted.chain.CursorIndex(), 2);
    sorted.Add("z");  // after it
    EXPECT_EQ(sorted.chain.CursorIndex(), 2);
    EXPECT_EQ(NameOf(sorted.chain.Next()), "z");

    TItemPool pool;
    TBWChain plain;
    AddAll(plain, pool.MakeNamed({"a", "b"}));
    plain.SetDescending(true);
    plain.First();
    plain.Add(pool.Make("c"));  // appended: the mirrored walk now starts with it
    EXPECT_EQ(NameOf(plain.GetCurrent()), "b");
    EXPECT_EQ(plain.CursorIndex(), 1);
}

TEST(ChainNode, ChangedItemMovesToItsNewPlace)
{
    SortedChain sorted;
    TTestItem* moving = sorted.Add("b");
    sorted.Add("c");
    sorted.Add("d");
    std::vector<std::int32_t> codes;
    sorted.chain.OnNodeEvent = [&codes](TBWStructNode*, std::int32_t code) { codes.push_back(code); };
    sorted.chain.First();
    moving->name = "e";
    sorted.chain.CurrentNode()->Changed();
    EXPECT_EQ(WalkNames(sorted.chain), (Names{"c", "d", "e"}));
    EXPECT_EQ(codes, (std::vector<std::int32_t>{necDetaching, necAttaching}));
    EXPECT_EQ(NameOf(sorted.Find("e")), "e");
    sorted.chain.OnNodeEvent = nullptr;
}

TEST(ChainSetCount, AddsEmptyNodesAndTrimsTheWalkEnd)
{
    TBWChain chain;
    chain.SetCount(3);
    EXPECT_EQ(chain.Count(), 3);
    EXPECT_EQ(WalkNames(chain), (Names{"-", "-", "-"}));
    chain.First();
    TBWStructNode* first = chain.CurrentNode();
    chain.SetCount(1);
    chain.First();
    EXPECT_EQ(chain.CurrentNode(), first);
    EXPECT_EQ(chain.Count(), 1);
    chain.SetCount(-4);
    EXPECT_EQ(chain.Count(), 0);
}

TEST(ChainClear, DetachesEveryNodeTailFirstAndFreesDetachedOnesToo)
{
    TItemPool pool;
    TBWChain chain;
    AddAll(chain, pool.MakeNamed({"gone", "a", "b", "c"}));
    chain.First();
    chain.DeleteCurrent();
    Names detached;
    int destroyed = 0;
    chain.OnNodeEvent = [&](TBWStructNode* node, std::int32_t code) {
        if (code == necDetaching)
            detached.push_back(NameOf(node->Item()));
        destroyed += code == necDestroying;
    };
    chain.Clear();
    EXPECT_EQ(detached, (Names{"c", "b", "a"}));
    EXPECT_EQ(destroyed, 4);  // the node detached before stayed owned until now
    EXPECT_EQ(chain.Head(), nullptr);
    EXPECT_EQ(chain.Tail(), nullptr);
}

TEST(ChainCompare, ChainsCompareByCount)
{
    TItemPool pool;
    TBWChain small, large;
    AddAll(small, pool.MakeNamed({"a"}));
    AddAll(large, pool.MakeNamed({"a", "b"}));
    EXPECT_LT(small.Compare(&large), 0);
    EXPECT_GT(large.Compare(&small), 0);
    EXPECT_EQ(small.Compare(&small), 0);
}
