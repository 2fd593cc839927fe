#include "base/u_bwbasestruct.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "base/u_bwavltree.h"
#include "base/u_bwchain.h"
#include "base/u_bwselchain.h"
#include "tests/base/container_test_items.h"

using ::testing::Types;

// The cursor contract every container keeps. Items are made in the order
// they are added, so a chain (insertion order) and a tree without active
// keys (identity order) store them alike.
template <class Container>
class CursorContract : public ::testing::Test {
protected:
    void Fill(const std::vector<std::string>& names) { AddAll(container, pool.MakeNamed(names)); }

    TItemPool pool;
    Container container;
};

using AllContainers = Types<TBWChain, TBWSelChain, TBWBTree, TBWAVLTree>;
TYPED_TEST_SUITE(CursorContract, AllContainers);

TYPED_TEST(CursorContract, EmptyContainerIsAtTheEnd)
{
    auto& c = this->container;
    EXPECT_EQ(c.First(), nullptr);
    EXPECT_TRUE(c.Eof());
    EXPECT_EQ(c.CursorIndex(), -1);
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.Last(), nullptr);
}

TYPED_TEST(CursorContract, MovesOutsideTheContainerEndAtTheEnd)
{
    auto& c = this->container;
    this->Fill({"a", "b", "c"});
    const std::vector<std::pair<std::string, std::function<void()>>> moves = {
        {"next past the last", [&] { c.Last(); c.Next(); }},
        {"next at the end", [&] { c.GoTo(3); c.Next(); }},
        {"prior before the first", [&] { c.First(); c.Prior(); }},
        {"index below 0", [&] { c.GoTo(-1); }},
        {"index at count", [&] { c.GoTo(3); }},
        {"far index", [&] { c.GoTo(INT32_MIN); }},
    };
    for (const auto& [name, move] : moves) {
        move();
        EXPECT_TRUE(c.Eof()) << name;
        EXPECT_EQ(c.CursorIndex(), -1) << name;
        EXPECT_EQ(c.GetCurrent(), nullptr) << name;
    }
    EXPECT_EQ(NameOf(c.GoTo(2)), "c");  // the end is left by any valid move
}

TYPED_TEST(CursorContract, WalksBothWaysWithIndexes)
{
    auto& c = this->container;
    this->Fill({"a", "b", "c", "d"});
    EXPECT_EQ(WalkNames(c), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(NameOf(c.Last()), "d");
    EXPECT_EQ(c.CursorIndex(), 3);
    EXPECT_EQ(NameOf(c.Prior()), "c");
    EXPECT_EQ(c.CursorIndex(), 2);
    EXPECT_EQ(NameOf(c.GoTo(1)), "b");
    EXPECT_EQ(NameOf(c.Next()), "c");
    EXPECT_EQ(c.CursorIndex(), 2);
}

TYPED_TEST(CursorContract, DescendingMirrorsTheWalk)
{
    auto& c = this->container;
    this->Fill({"a", "b", "c"});
    c.SetDescending(true);
    EXPECT_EQ(NameOf(c.First()), "c");
    EXPECT_EQ(NameOf(c.GoTo(0)), "c");
    EXPECT_EQ(c.CursorIndex(), 0);
    EXPECT_EQ(WalkNames(c), (std::vector<std::string>{"c", "b", "a"}));
    EXPECT_EQ(NameOf(c.Last()), "a");
    EXPECT_EQ(c.CursorIndex(), 2);
    EXPECT_EQ(NameOf(c.GoTo(1)), "b");
    c.SetDescending(false);
    EXPECT_EQ(c.CursorIndex(), 1);  // same node, counted the other way
}

TYPED_TEST(CursorContract, DeletingTheCurrentNodeMovesOnAndKeepsTheIndex)
{
    for (const bool descending : {false, true}) {
        TItemPool pool;
        TypeParam c;
        AddAll(c, pool.MakeNamed({"a", "b", "c", "d"}));
        c.SetDescending(descending);
        c.GoTo(1);
        const std::string following = descending ? "b" : "c";
        EXPECT_TRUE(c.DeleteCurrent());
        EXPECT_EQ(NameOf(c.GetCurrent()), following) << descending;
        EXPECT_EQ(c.CursorIndex(), 1) << descending;
        EXPECT_EQ(c.Count(), 3);
        EXPECT_EQ(NameOf(c.Next()), descending ? "a" : "d");
        EXPECT_EQ(c.CursorIndex(), 2);
        EXPECT_TRUE(c.DeleteCurrent());
        EXPECT_TRUE(c.Eof());  // the last one deleted: at the end
        EXPECT_EQ(c.CursorIndex(), -1);
        EXPECT_FALSE(c.DeleteCurrent());
    }
}

TYPED_TEST(CursorContract, RemovingDuringAWalkVisitsEveryItemOnce)
{
    auto& c = this->container;
    this->Fill({"a", "b", "c", "d", "e", "f"});
    std::vector<std::string> seen;
    for (c.First(); !c.Eof();) {
        const std::string name = NameOf(c.GetCurrent());
        seen.push_back(name + std::to_string(c.CursorIndex()));
        if (name == "b" || name == "e")
            c.Next();
        else
            c.DeleteCurrent();
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"a0", "b0", "c1", "d1", "e1", "f2"}));
    EXPECT_EQ(WalkNames(c), (std::vector<std::string>{"b", "e"}));
    EXPECT_EQ(c.Count(), 2);
}

TYPED_TEST(CursorContract, BeforeAccessFiresOnEveryCountAndMove)
{
    auto& c = this->container;
    this->Fill({"a", "b"});
    int fired = 0;
    c.OnBeforeAccess = [&fired, &c](TBWStruct* sender) {
        EXPECT_EQ(sender, &c);
        ++fired;
    };
    TBWChain sink;
    const std::vector<std::pair<std::string, std::function<void()>>> reads = {
        {"Count", [&] { c.Count(); }}, {"First", [&] { c.First(); }},
        {"Next", [&] { c.Next(); }},   {"GoTo", [&] { c.GoTo(1); }},
        {"Last", [&] { c.Last(); }},   {"Prior", [&] { c.Prior(); }},
        {"CopyItemsTo", [&] { c.CopyItemsTo(&sink); }},
    };
    for (const auto& [name, read] : reads) {
        const int before = fired;
        read();
        EXPECT_GE(fired, before + 1) << name;
    }
}

TYPED_TEST(CursorContract, LazyFillingOnFirstAccessIsSeenByThatAccess)
{
    auto& c = this->container;
    auto items = this->pool.MakeNamed({"a", "b"});
    bool loaded = false;
    c.OnBeforeAccess = [&](TBWStruct* sender) {
        if (loaded)
            return;
        loaded = true;
        AddAll(*sender, items);
    };
    EXPECT_EQ(c.Count(), 2);
    EXPECT_EQ(WalkNames(c), (std::vector<std::string>{"a", "b"}));
}

TYPED_TEST(CursorContract, RemoveTakesEveryNodeOfTheItem)
{
    auto& c = this->container;
    auto items = this->pool.MakeNamed({"a", "b", "c"});
    AddAll(c, items);
    c.Add(items[1]);
    EXPECT_EQ(c.Remove(items[1]), items[1]);
    EXPECT_EQ(WalkNames(c), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(c.Remove(items[1]), nullptr);
    EXPECT_EQ(NameOf(c.GetCurrent()), "a");
    EXPECT_EQ(c.IndexOf(items[2]), 1);
    EXPECT_EQ(c.IndexOf(items[1]), -1);
}

TYPED_TEST(CursorContract, ClearFreesOwnedItemsOnly)
{
    auto& c = this->container;
    this->Fill({"kept"});
    auto* owned = new TTestItem(&c);
    owned->name = "owned";
    c.Add(owned);
    c.SearchKey();
    bool ownedFreed = true;
    c.Clear();
    for (TBWObject* o = c.FirstOwned(); o; o = o->NextSibling())
        ownedFreed = false;
    EXPECT_TRUE(ownedFreed);
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(c.First(), nullptr);
    this->Fill({"again"});  // still usable
    EXPECT_EQ(WalkNames(c), (std::vector<std::string>{"again"}));
}

TYPED_TEST(CursorContract, CopyItemsToAddsItemsOrClones)
{
    auto& c = this->container;
    this->Fill({"a", "b"});
    TBWChain same, clones;
    clones.SetItemClass(TTestItem::StaticClass());
    c.CopyItemsTo(&same);
    c.CopyItemsTo(&clones, cfCopyClones);
    EXPECT_TRUE(c.Eof());
    EXPECT_EQ(same.First(), c.First());
    EXPECT_EQ(WalkNames(clones), (std::vector<std::string>{"a", "b"}));
    EXPECT_NE(clones.First(), c.First());
    EXPECT_EQ(clones.First()->Owner(), &clones);
}

TYPED_TEST(CursorContract, AttachAndDetachEventsPairUp)
{
    auto& c = this->container;
    int attached = 0, detached = 0;
    c.OnNodeEvent = [&](TBWStructNode* node, std::int32_t code) {
        ASSERT_NE(node, nullptr);
        attached += code == necAttaching;
        detached += code == necDetaching;
    };
    this->Fill({"a", "b", "c"});
    EXPECT_GE(attached, 3);
    c.Clear();
    EXPECT_EQ(attached, detached);
    c.OnNodeEvent = nullptr;  // the counters go before the container
}

// ------------------------------------------------------ base-only behaviour

TEST(SortKeySets, GrowWithEmptySetsAndLeaveTheActiveSetAlone)
{
    TBWChain chain;
    chain.SetSortKeys(0, {kByName});
    chain.SetActiveKeys(0);
    chain.SetSortKeys(3, {kByNumber, kByName});
    EXPECT_EQ(chain.SortKeySetCount(), 4);
    EXPECT_TRUE(chain.SortKeys(1).empty());
    EXPECT_TRUE(chain.SortKeys(2).empty());
    EXPECT_EQ(chain.SortKeys(3), (TBWKeySet{kByNumber, kByName}));
    EXPECT_EQ(chain.ActiveKeySet(), 0);
    EXPECT_TRUE(chain.SortKeys(-1).empty());
    EXPECT_TRUE(chain.SortKeys(9).empty());
    chain.SetActiveKeys(-1);
    EXPECT_FALSE(chain.HasActiveKeys());
}

TEST(NodeCompare, WithoutKeysComparesIdentity)
{
    TItemPool pool;
    auto items = pool.MakeNamed({"same", "same"});
    TBWChain chain;
    AddAll(chain, items);
    chain.First();
    TBWStructNode* first = chain.CurrentNode();
    chain.Next();
    TBWStructNode* second = chain.CurrentNode();
    EXPECT_LT(first->Compare(second), 0);
    EXPECT_GT(second->Compare(first), 0);
    EXPECT_EQ(first->Compare(items[0]), 0);  // an item stands for itself
    EXPECT_LT(first->Compare(items[1]), 0);
    EXPECT_EQ(first->Compare(items[1], kByName), 0);  // an explicit key compares keys
    EXPECT_EQ(first->Compare(nullptr), 0);
}

TEST(CompareForOrder, BreaksCaseInsensitiveTiesByCase)
{
    TItemPool pool;
    TTestItem* upper = pool.Make("ABC");
    TTestItem* lower = pool.Make("abc");
    const TBWKeySet byName{kByName};
    EXPECT_EQ(CompareOnKeys(upper, lower, byName), 0);
    EXPECT_LT(CompareForOrder(upper, lower, byName), 0);
    EXPECT_GT(CompareForOrder(lower, upper, byName), 0);
    EXPECT_EQ(CompareForOrder(lower, lower, byName), 0);
    EXPECT_LT(CompareForOrder(nullptr, lower, byName), 0);  // missing items first
    TTestItem* big = pool.Make("x", INT64_MAX);
    TTestItem* small = pool.Make("x", INT64_MIN);
    EXPECT_GT(CompareOnKeys(big, small, {kByNumber}), 0);  // no overflow
}

TEST(Nodes, MisuseRaisesErrorsNamingTheClasses)
{
    TBWObject notAContainer;
    try {
        TBWChainNode node(&notAContainer);
        FAIL() << "expected an error";
    } catch (const EBWClassError& error) {
        EXPECT_STREQ(error.what(), "TBWStructNode's parent must be a TBWStruct");
    }
    EXPECT_EQ(notAContainer.FirstOwned(), nullptr);

    TItemPool pool;
    std::vector<std::int32_t> codes;
    TBWChain chain;
    chain.Add(pool.Make("a"));
    chain.OnNodeEvent = [&codes](TBWStructNode*, std::int32_t code) { codes.push_back(code); };
    chain.First();
    TBWChain other;
    EXPECT_THROW(chain.CurrentNode()->Assign(*pool.Make("b")), EBWClassError);
    EXPECT_EQ(codes, std::vector<std::int32_t>{necAssigned});
    EXPECT_THROW(chain.Assign(other), EBWClassError);
}

TEST(Updating, IsAFlagNotACounter)
{
    TBWChain chain;
    chain.BeginUpdate();
    chain.BeginUpdate();
    chain.EndUpdate();
    EXPECT_FALSE(chain.Updating());
}

TEST(Updating, EndUpdatePassesTheChangeToTheOwner)
{
    struct Owner : TBWObject {
        int changes = 0;
        void Changed() override { ++changes; }
    } owner;
    auto* chain = new TBWChain(&owner);
    chain->BeginUpdate();
    chain->EndUpdate();
    EXPECT_EQ(owner.changes, 1);
}

TEST(Iterate, UsesTheCallbackOrElseTheNodeEventOrNothing)
{
    TItemPool pool;
    std::vector<std::string> visited;
    TBWChain chain;
    AddAll(chain, pool.MakeNamed({"a", "b"}));
    chain.Iterate();  // neither: nothing happens
    chain.OnNodeEvent = [&visited](TBWStructNode* node, std::int32_t code) {
        visited.push_back(NameOf(node->Item()) + std::to_string(code));
    };
    chain.Iterate();
    EXPECT_EQ(visited, (std::vector<std::string>{"b8", "a8"}));
    std::vector<std::string> own;
    chain.Iterate([&own](TBWStructNode* node, std::int32_t) { own.push_back(NameOf(node->Item())); });
    EXPECT_EQ(own, (std::vector<std::string>{"b", "a"}));
    EXPECT_EQ(visited.size(), 2u);
}
