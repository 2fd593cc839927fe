#include "base/u_pointertable.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <vector>

namespace {

// Entries that hash to neighbouring slots and go again in a random order:
// each one must stay findable past every hole a removal leaves.
TEST(PointerTable, FindsEveryItemThroughInsertsAndErasesInAnyOrder)
{
    struct TItem {
        const void* key;
    };
    struct TKeyOf {
        const void* operator()(const TItem* item) const { return item->key; }
    };
    std::vector<char> keys(3000);
    std::vector<TItem> items;
    for (char& key : keys)
        items.push_back({&key});
    TBWPointerTable<TItem, TKeyOf> table;
    std::set<const void*> held;
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        TItem& item = items[random() % items.size()];
        if (held.count(item.key)) {
            table.Erase(item.key);
            held.erase(item.key);
        } else {
            table.Insert(&item);
            held.insert(item.key);
        }
        if (round % 1000 != 999)
            continue;
        for (const TItem& probe : items)
            ASSERT_EQ(table.Find(probe.key) == &probe, held.count(probe.key) == 1) << "round " << round;
    }
    EXPECT_EQ(table.Empty(), held.empty());
    EXPECT_EQ(table.Find(nullptr), nullptr);
}

}  // namespace
