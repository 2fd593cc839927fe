#include "base/u_bwavltree.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/base/container_test_items.h"

namespace {

struct NumberTree {
    NumberTree()
    {
        tree.SetSortKeys(0, {kByNumber});
        tree.SetActiveKeys(0);
    }
    void Add(std::int64_t number) { tree.Add(pool.Make(std::to_string(number), number)); }

    TItemPool pool;
    TBWAVLTree tree;
};

std::string Shape(const TBWBTNode* node)
{
    if (!node)
        return ".";
    if (!node->Left() && !node->Right())
        return NameOf(node->Item());
    return "(" + Shape(node->Left()) + " " + NameOf(node->Item()) + " " + Shape(node->Right()) + ")";
}

// Checks balance, links and cached figures of a subtree; returns its height.
int CheckSubtree(const TBWBTNode* node, int& nodes)
{
    if (!node)
        return -1;
    ++nodes;
    for (const TBWBTNode* child : {node->Left(), node->Right()})
        EXPECT_TRUE(!child || child->Parent() == node);
    const int left = CheckSubtree(node->Left(), nodes);
    const int right = CheckSubtree(node->Right(), nodes);
    EXPECT_LE(std::abs(left - right), 1) << NameOf(node->Item());
    EXPECT_EQ(node->Height(), std::max(left, right) + 1);
    const int below = (node->Left() ? node->Left()->SubtreeCount() : 0) +
                      (node->Right() ? node->Right()->SubtreeCount() : 0);
    EXPECT_EQ(node->SubtreeCount(), below + 1);
    return node->Height();
}

}  // namespace

TEST(AVLTree, RotatesIntoShape)
{
    struct Case {
        std::vector<int> inserted;
        std::string shape;
    };
    const Case cases[] = {
        {{1, 2, 3}, "(1 2 3)"},  // one left rotation
        {{3, 2, 1}, "(1 2 3)"},  // one right rotation
        {{3, 1, 2}, "(1 2 3)"},  // right child lifted, then left child lifted
        {{1, 3, 2}, "(1 2 3)"},
        {{4, 2, 6, 1, 3, 5, 7}, "((1 2 3) 4 (5 6 7))"},
        {{1, 2, 3, 4, 5, 6, 7}, "((1 2 3) 4 (5 6 7))"},
    };
    for (const Case& c : cases) {
        NumberTree t;
        for (int n : c.inserted)
            t.Add(n);
        EXPECT_EQ(Shape(t.tree.Root()), c.shape);
        EXPECT_EQ(Shape(t.tree.Root()->Parent()), ".");
    }
}

TEST(AVLTree, StaysBalancedAndCountedUnderRandomInsertsAndDeletes)
{
    NumberTree t;
    std::mt19937 random(11);
    std::vector<std::int64_t> live;
    for (int i = 0; i < 3000; ++i) {
        const std::int64_t number = random() % 1000;
        t.Add(number);
        live.push_back(number);
    }
    for (int i = 0; i < 500; ++i) {
        const std::int32_t position = static_cast<std::int32_t>(random() % live.size());
        std::sort(live.begin(), live.end());
        t.tree.GoTo(position);
        EXPECT_EQ(static_cast<TTestItem*>(t.tree.GetCurrent())->number, live[static_cast<std::size_t>(position)]);
        t.tree.DeleteCurrent();
        live.erase(live.begin() + position);
    }
    for (const std::int32_t set : {0, -1}) {
        t.tree.SetActiveKeys(set);
        int nodes = 0;
        CheckSubtree(t.tree.Root(), nodes);
        EXPECT_EQ(nodes, 3000);
        EXPECT_EQ(t.tree.Count(), 2500);
        EXPECT_LE(t.tree.Root()->Height(), 17);  // 1.44 log2(3000)
    }
    t.tree.SetActiveKeys(0);
    std::sort(live.begin(), live.end());
    std::vector<std::int64_t> walked;
    for (t.tree.First(); !t.tree.Eof(); t.tree.Next())
        walked.push_back(static_cast<TTestItem*>(t.tree.GetCurrent())->number);
    EXPECT_EQ(walked, live);
}
