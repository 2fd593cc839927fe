#include "base/u_bwselchain.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/base/container_test_items.h"

namespace {

// Value index 0 is the item's number, index 1 twice that. Items named with a
// leading "x" cannot be selected.
class TTestSelChain : public TBWSelChain {
public:
    TTestSelChain()
    {
        SetValueCount(2);
        OnGetValue = [](TBWComparable* item, std::int32_t index, std::int64_t& value) {
            value = static_cast<TTestItem*>(item)->number * (index + 1);
        };
    }
    bool IsSelectable(TBWComparable* item) const override { return NameOf(item)[0] != 'x'; }
    std::int32_t SelectableCount() override
    {
        std::int32_t count = 0;
        Iterate([this, &count](TBWStructNode* node, std::int32_t) { count += IsSelectable(node->Item()); });
        return count;
    }
};

struct Selection {
    Selection()
    {
        a = pool.Make("a", 10);
        b = pool.Make("b", 20);
        c = pool.Make("c", 40);
        AddAll(chain, {a, b, c});
    }
    TItemPool pool;
    TTestSelChain chain;
    TTestItem *a, *b, *c;
};

}  // namespace

TEST(Selection, SelectAllThenToggleOne)
{
    Selection s;
    s.chain.SelectAll();
    EXPECT_EQ(s.chain.SelectedCount(), 3);
    EXPECT_EQ(s.chain.SelectedTotal(0), s.chain.Total(0));
    EXPECT_EQ(s.chain.Total(0), 70);
    EXPECT_FALSE(s.chain.ToggleSelected(s.b));
    EXPECT_FALSE(s.chain.IsSelected(s.b));
    EXPECT_EQ(s.chain.SelectedCount(), 2);
    EXPECT_EQ(s.chain.SelectedTotal(0), 50);
    EXPECT_EQ(s.chain.SelectedTotal(1), 100);
    EXPECT_TRUE(s.chain.ToggleSelected(s.b));
}

TEST(Selection, InvertingTwiceRestoresTheSelection)
{
    Selection s;
    s.chain.SetSelected(s.a, true);
    s.chain.InvertSelection();
    EXPECT_FALSE(s.chain.IsSelected(s.a));
    EXPECT_TRUE(s.chain.IsSelected(s.c));
    EXPECT_EQ(s.chain.SelectedTotal(0), 60);
    s.chain.InvertSelection();
    EXPECT_TRUE(s.chain.IsSelected(s.a));
    EXPECT_FALSE(s.chain.IsSelected(s.b));
    EXPECT_EQ(s.chain.SelectedCount(), 1);
    EXPECT_EQ(s.chain.SelectedTotal(0), 10);
}

TEST(Selection, SetSelectedChangesOnlyWhatItMust)
{
    Selection s;
    TTestItem* x = s.pool.Make("x", 5);
    s.chain.Add(x);
    for (const bool inverted : {false, true}) {
        inverted ? s.chain.SelectAll() : s.chain.SelectNone();
        s.chain.SetSelected(s.a, true);
        s.chain.SetSelected(s.a, true);  // already selected: no change
        EXPECT_TRUE(s.chain.IsSelected(s.a)) << inverted;
        EXPECT_EQ(s.chain.IsToggled(s.a), !inverted) << inverted;
        s.chain.SetSelected(x, true);  // not selectable: nothing
        EXPECT_FALSE(s.chain.IsSelected(x)) << inverted;
        EXPECT_FALSE(s.chain.IsToggled(x)) << inverted;
        EXPECT_FALSE(s.chain.ToggleSelected(x)) << inverted;
        s.chain.SetSelected(s.b, false);
        EXPECT_FALSE(s.chain.IsSelected(s.b)) << inverted;
        EXPECT_EQ(s.chain.SelectedCount(), inverted ? 2 : 1) << inverted;
        EXPECT_EQ(s.chain.SelectedTotal(0), inverted ? 50 : 10) << inverted;
        EXPECT_EQ(s.chain.Total(0), 70) << inverted;  // x is not selectable: not counted
    }
}

TEST(Selection, RemovingItemsKeepsCountsAndTotalsRight)
{
    struct Case {
        const char* what;
        bool inverted;
        bool toggleB;
        std::int32_t countAfter;
        std::int64_t totalAfter;
    };
    const Case cases[] = {
        {"selected item, no invert", false, true, 0, 0},
        {"unselected item, no invert", false, false, 0, 0},
        {"toggled (unselected) item, inverted", true, true, 2, 50},
        {"selected item, inverted", true, false, 2, 50},
    };
    for (const Case& c : cases) {
        Selection s;
        if (c.inverted)
            s.chain.SelectAll();
        if (c.toggleB)
            s.chain.ToggleSelected(s.b);
        s.chain.Remove(s.b);
        EXPECT_EQ(s.chain.SelectedCount(), c.countAfter) << c.what;
        EXPECT_EQ(s.chain.SelectedTotal(0), c.totalAfter) << c.what;
        EXPECT_EQ(s.chain.Total(0), 50) << c.what;
        EXPECT_FALSE(s.chain.IsToggled(s.b)) << c.what;
    }
}

TEST(Selection, TotalsOutsideTheValueRangeAreZero)
{
    Selection s;
    s.chain.SelectAll();
    for (const std::int32_t index : {-1, 2, 1000}) {
        EXPECT_EQ(s.chain.Total(index), 0) << index;
        EXPECT_EQ(s.chain.SelectedTotal(index), 0) << index;
    }
}

TEST(Selection, ItemsAddedWhileInvertedStartSelected)
{
    Selection s;
    s.chain.SelectAll();
    TTestItem* d = s.pool.Make("d", 80);
    s.chain.Add(d);
    EXPECT_TRUE(s.chain.IsSelected(d));
    EXPECT_EQ(s.chain.SelectedCount(), 4);
    EXPECT_EQ(s.chain.SelectedTotal(0), 150);
}

TEST(Selection, UpdateBracketDefersTotalsToItsEnd)
{
    Selection s;
    s.chain.BeginUpdate();
    s.chain.Add(s.pool.Make("d", 100));
    s.a->number = 11;  // a value that changed meanwhile
    EXPECT_EQ(s.chain.Total(0), 70);
    s.chain.EndUpdate();
    EXPECT_EQ(s.chain.Total(0), 171);
    EXPECT_TRUE(s.chain.Eof());
}

TEST(Selection, ClearKeepsTheInvertFlagAndZeroesTotals)
{
    Selection s;
    s.chain.SelectAll();
    s.chain.ToggleSelected(s.a);
    s.chain.Clear();
    EXPECT_TRUE(s.chain.Inverted());
    for (const std::int32_t index : {0, 1}) {
        EXPECT_EQ(s.chain.Total(index), 0);
        EXPECT_EQ(s.chain.SelectedTotal(index), 0);
    }
    EXPECT_FALSE(s.chain.IsToggled(s.a));
    s.chain.Add(s.b);
    EXPECT_TRUE(s.chain.IsSelected(s.b));  // a refilled chain starts all selected
}

TEST(Selection, WithoutAValueEventEveryTotalIsZero)
{
    TItemPool pool;
    TBWSelChain chain;
    chain.SetValueCount(1);
    chain.Add(pool.Make("a", 5));
    chain.SelectAll();
    EXPECT_EQ(chain.Total(0), 0);
    EXPECT_EQ(chain.SelectedTotal(0), 0);
    EXPECT_EQ(chain.SelectedCount(), 1);
}

TEST(Selection, RecalcDropsTogglesOfItemsNoLongerSelectable)
{
    Selection s;
    s.chain.ToggleSelected(s.a);
    s.a->name = "xa";
    s.chain.RecalcTotals();
    EXPECT_FALSE(s.chain.IsToggled(s.a));
    EXPECT_EQ(s.chain.SelectedCount(), 0);
    EXPECT_EQ(s.chain.Total(0), 60);
}

TEST(Selection, TotalsHoldMoreThan32Bits)
{
    TItemPool pool;
    TTestSelChain chain;
    for (int i = 0; i < 3; ++i)
        chain.Add(pool.Make("big", 3'000'000'000LL));
    chain.SelectAll();
    EXPECT_EQ(chain.Total(0), 9'000'000'000LL);
    EXPECT_EQ(chain.SelectedTotal(1), 18'000'000'000LL);
}

TEST(Selection, RemovingTheSelectedDuringAWalk)
{
    TItemPool pool;
    TTestSelChain chain;
    std::vector<TTestItem*> items;
    for (int i = 0; i < 100; ++i)
        items.push_back(pool.Make("i" + std::to_string(i), i));
    AddAll(chain, items);
    chain.SelectAll();
    for (std::size_t i = 0; i < items.size(); i += 2)
        chain.ToggleSelected(items[i]);
    chain.InvertSelection();  // now the even ones are selected
    for (chain.First(); !chain.Eof();) {
        if (chain.IsCurrentSelected())
            chain.DeleteCurrent();
        else
            chain.Next();
    }
    EXPECT_EQ(chain.Count(), 50);
    EXPECT_EQ(chain.SelectedCount(), 0);
    EXPECT_EQ(chain.Total(0), 2500);  // 1 + 3 + ... + 99
    EXPECT_EQ(chain.SelectedTotal(0), 0);
}
