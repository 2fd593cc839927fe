#include "base/u_bwbtree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "base/u_bwavltree.h"
#include "tests/base/container_test_items.h"

namespace {

using Names = std::vector<std::string>;

// A tree with set 0 on number and set 1 on name, set 0 active.
template <class Tree>
struct KeyedTree {
    KeyedTree()
    {
        tree.SetItemClass(TTestItem::StaticClass());
        tree.SetSortKeys(0, {kByNumber});
        tree.SetSortKeys(1, {kByName});
        tree.SetActiveKeys(0);
    }
    TTestItem* Add(const std::string& name, std::int64_t number)
    {
        TTestItem* item = pool.Make(name, number);
        tree.Add(item);
        return item;
    }
    TBWComparable* FindNumber(std::int64_t number)
    {
        static_cast<TTestItem*>(tree.SearchKey())->number = number;
        return tree.Find();
    }

    TItemPool pool;
    Tree tree;
};

template <class Tree>
class TreeContract : public ::testing::Test {};
using Trees = ::testing::Types<TBWBTree, TBWAVLTree>;
TYPED_TEST_SUITE(TreeContract, Trees);

}  // namespace

TYPED_TEST(TreeContract, EqualItemsComeNewestFirst)
{
    KeyedTree<TypeParam> t;
    t.Add("old", 5);
    t.Add("low", 1);
    t.Add("new", 5);
    t.Add("high", 9);
    EXPECT_EQ(WalkNames(t.tree), (Names{"low", "new", "old", "high"}));
}

TYPED_TEST(TreeContract, NamesDifferingInCaseKeepOneOrderWhateverTheInput)
{
    const Names spellings = {"Music", "music", "MUSIC"};
    std::vector<int> order = {0, 1, 2};
    do {
        KeyedTree<TypeParam> t;
        t.tree.SetActiveKeys(1);
        for (int i : order)
            t.Add(spellings[static_cast<std::size_t>(i)], i);
        EXPECT_EQ(WalkNames(t.tree), (Names{"MUSIC", "Music", "music"}));
        static_cast<TTestItem*>(t.tree.SearchKey())->name = "mUsIc";
        EXPECT_NE(t.tree.Find(), nullptr);  // the search still ignores case
    } while (std::next_permutation(order.begin(), order.end()));
}

TYPED_TEST(TreeContract, EachKeySetHasItsOwnIndex)
{
    KeyedTree<TypeParam> t;
    t.Add("b", 1);
    t.Add("c", 3);
    t.Add("a", 2);
    EXPECT_EQ(WalkNames(t.tree), (Names{"b", "a", "c"}));
    t.tree.SetActiveKeys(1);
    EXPECT_EQ(WalkNames(t.tree), (Names{"a", "b", "c"}));
    t.tree.SetActiveKeys(-1);
    EXPECT_EQ(WalkNames(t.tree), (Names{"b", "c", "a"}));  // identity: creation order
    t.tree.SetActiveKeys(7);  // never defined: ignored
    EXPECT_EQ(t.tree.ActiveKeySet(), -1);
}

TYPED_TEST(TreeContract, EveryItemHasOneNodePerIndex)
{
    KeyedTree<TypeParam> t;
    int attached = 0;
    t.tree.OnNodeEvent = [&attached](TBWStructNode*, std::int32_t code) { attached += code == necAttaching; };
    t.Add("a", 1);
    EXPECT_EQ(attached, 3);  // two key sets and the index without keys
    EXPECT_EQ(t.tree.Add(nullptr), nullptr);  // missing items are not added
    EXPECT_EQ(attached, 3);
    t.tree.OnNodeEvent = nullptr;
}

TYPED_TEST(TreeContract, ForEachPairVisitsEveryLaterItemOnce)
{
    KeyedTree<TypeParam> t;
    t.Add("3rd", 3);
    t.Add("1st", 1);
    t.Add("2nd", 2);
    t.Add("gone", 4);
    t.FindNumber(4);
    t.tree.DeleteCurrent();
    Names pairs;
    t.tree.ForEachPair([&pairs](TBWBTNode* a, TBWBTNode* b) {
        pairs.push_back(NameOf(a->Item()) + "+" + NameOf(b->Item()));
    });
    EXPECT_EQ(pairs, (Names{"1st+2nd", "1st+3rd", "2nd+3rd"}));
    t.tree.ForEachPair({});  // no callback: nothing
}

TYPED_TEST(TreeContract, DeletedItemsAreSkippedAndStayDeletedEverywhere)
{
    KeyedTree<TypeParam> t;
    TTestItem* first = t.Add("first", 1);
    t.Add("second", 2);
    t.Add("third", 3);
    t.tree.First();
    EXPECT_TRUE(t.tree.DeleteCurrent());
    EXPECT_EQ(NameOf(t.tree.GetCurrent()), "second");
    EXPECT_EQ(t.tree.CursorIndex(), 0);
    EXPECT_EQ(NameOf(t.tree.First()), "second");
    EXPECT_EQ(NameOf(t.tree.GoTo(0)), "second");
    EXPECT_EQ(t.tree.Count(), 2);
    EXPECT_EQ(t.FindNumber(1), nullptr);
    EXPECT_EQ(t.tree.IndexOf(first), -1);
    for (const std::int32_t set : {1, -1, 0}) {  // no index brings it back
        t.tree.SetActiveKeys(set);
        EXPECT_EQ(t.tree.Count(), 2) << set;
        EXPECT_EQ(WalkNames(t.tree).size(), 2u) << set;
    }
    t.tree.Sort();
    EXPECT_EQ(WalkNames(t.tree), (Names{"second", "third"}));
    t.tree.SetActiveKeys(1);
    EXPECT_EQ(WalkNames(t.tree), (Names{"second", "third"}));
}

TYPED_TEST(TreeContract, FindSkipsDeletedEqualsAndFindsALiveOne)
{
    KeyedTree<TypeParam> t;
    for (int i = 0; i < 5; ++i)
        t.Add("five" + std::to_string(i), 5);
    t.Add("six", 6);
    for (int deleted = 0; deleted < 5; ++deleted) {
        ASSERT_NE(t.FindNumber(5), nullptr) << deleted;
        EXPECT_EQ(static_cast<TTestItem*>(t.tree.GetCurrent())->number, 5);
        t.tree.DeleteCurrent();
    }
    EXPECT_EQ(t.FindNumber(5), nullptr);
    EXPECT_TRUE(t.tree.Eof());
    EXPECT_EQ(NameOf(t.FindNumber(6)), "six");
    EXPECT_EQ(t.tree.CursorIndex(), 0);
}

TYPED_TEST(TreeContract, FindOrAddAddsOnlyWhatIsMissing)
{
    KeyedTree<TypeParam> t;
    int made = 0;
    const auto findOrAdd = [&](std::int64_t number) {
        static_cast<TTestItem*>(t.tree.SearchKey())->number = number;
        return t.tree.FindOrAdd([&] {
            ++made;
            return t.pool.Make("n" + std::to_string(number), number);
        });
    };
    TBWComparable* seven = findOrAdd(7);
    EXPECT_EQ(findOrAdd(7), seven);
    findOrAdd(3);
    EXPECT_EQ(made, 2);
    EXPECT_EQ(t.tree.Count(), 2);
}

TYPED_TEST(TreeContract, IndexOfGivesThePositionInIdentityOrder)
{
    KeyedTree<TypeParam> t;
    TTestItem* a = t.Add("a", 9);
    TTestItem* b = t.Add("b", 1);
    EXPECT_EQ(t.tree.IndexOf(a), 0);
    EXPECT_EQ(t.tree.IndexOf(b), 1);
    EXPECT_EQ(t.tree.IndexOf(t.pool.Make("never added")), -1);
    EXPECT_EQ(t.tree.IndexOf(nullptr), -1);
    EXPECT_EQ(t.tree.ActiveKeySet(), 0);
    EXPECT_EQ(NameOf(t.tree.GetCurrent()), "b");  // the cursor is on the first item
}

TYPED_TEST(TreeContract, LastAndPositionsUseTheLiveCount)
{
    KeyedTree<TypeParam> t;
    for (int i = 0; i < 10; ++i)
        t.Add("n" + std::to_string(i), i);
    t.tree.GoTo(4);
    t.tree.DeleteCurrent();
    EXPECT_EQ(NameOf(t.tree.Last()), "n9");
    EXPECT_EQ(t.tree.CursorIndex(), 8);
    for (std::int32_t i = 0; i < t.tree.Count(); ++i) {
        t.tree.GoTo(i);
        EXPECT_EQ(t.tree.CurrentNode()->GetIndex(), i);
    }
}

TYPED_TEST(TreeContract, KeySetDefinedLaterHoldsOnlyLaterItemsUntilSort)
{
    KeyedTree<TypeParam> t;
    t.Add("early", 1);
    t.tree.SetSortKeys(2, {kByName});
    t.Add("late", 2);
    t.tree.SetActiveKeys(2);
    EXPECT_EQ(WalkNames(t.tree), (Names{"late"}));
    t.tree.Sort();
    EXPECT_EQ(WalkNames(t.tree), (Names{"early", "late"}));
}

TYPED_TEST(TreeContract, RedefiningAFilledKeySetReorders)
{
    KeyedTree<TypeParam> t;
    t.Add("b", 1);
    t.Add("a", 2);
    t.tree.SetSortKeys(0, {kByName});
    EXPECT_EQ(WalkNames(t.tree), (Names{"a", "b"}));
    static_cast<TTestItem*>(t.tree.SearchKey())->name = "b";
    EXPECT_EQ(NameOf(t.tree.Find()), "b");
}

TYPED_TEST(TreeContract, ClearEmptiesEveryIndex)
{
    KeyedTree<TypeParam> t;
    t.Add("a", 1);
    t.Add("b", 2);
    t.tree.Sort();  // leaves former nodes behind for Clear to free
    int detached = 0;
    t.tree.OnNodeEvent = [&detached](TBWStructNode*, std::int32_t code) { detached += code == necDetaching; };
    t.tree.Clear();
    EXPECT_EQ(detached, 12);  // both generations, three indexes, two items
    for (const std::int32_t set : {0, 1, -1}) {
        t.tree.SetActiveKeys(set);
        EXPECT_EQ(t.tree.Count(), 0);
        EXPECT_EQ(t.tree.First(), nullptr);
        EXPECT_EQ(t.tree.Root(), nullptr);
    }
    EXPECT_EQ(t.tree.FirstOwned(), nullptr);
}

TEST(TreeNodes, AttachingToAnOccupiedSideRaisesTheError)
{
    TItemPool pool;
    TBWBTree tree;
    tree.Add(pool.Make("a"));
    tree.Add(pool.Make("b"));  // identity order: b hangs right of a
    auto* root = tree.Root();
    auto* extra = static_cast<TBWBTNode*>(tree.NewNode());
    try {
        extra->Attach(root, TBWBTNode::kRight);
        FAIL() << "expected an error";
    } catch (const EBWClassError& error) {
        EXPECT_STREQ(error.what(),
                     "Error: An attempt has been mad to attach a child to an already occupied parent.");
    }
    EXPECT_FALSE(extra->Attached());
}

TEST(PlainTree, SortedInputMakesADeepTreeThatStillWalks)
{
    TItemPool pool;
    TBWBTree tree;
    for (int i = 0; i < 2000; ++i)
        tree.Add(pool.Make("n", i));
    EXPECT_EQ(tree.Root()->Height(), 1999);
    int visited = 0;
    tree.ForEachNode([&visited](TBWStructNode*, std::int32_t) { ++visited; });
    EXPECT_EQ(visited, 2000);
    EXPECT_EQ(NameOf(tree.GoTo(1999)), "n");
    tree.Clear();
    EXPECT_EQ(tree.Count(), 0);
}
