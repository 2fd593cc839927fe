// Items and helpers shared by the container tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "base/u_bwbasestruct.h"

// Key 0: name without regard to case; key 1: number; key 2: name with case.
class TTestItem : public TBWComparable {
    BW_CLASS(TTestItem)
public:
    using TBWComparable::TBWComparable;

    TBWKeyKind KeyKind(TBWKey key) const override;
    std::string KeyText(TBWKey) const override { return name; }
    std::int64_t KeyInt(TBWKey) const override { return number; }
    void Assign(const TBWComparable& source) override;

    std::string name;
    std::int64_t number = 0;
};

constexpr TBWKey kByName = 0;
constexpr TBWKey kByNumber = 1;
constexpr TBWKey kByNameWithCase = 2;

// Items that outlive the containers of a test, in creation (identity) order.
class TItemPool {
public:
    TTestItem* Make(const std::string& name, std::int64_t number = 0);
    std::vector<TTestItem*> MakeNamed(const std::vector<std::string>& names);

private:
    std::vector<std::unique_ptr<TTestItem>> items_;
};

std::string NameOf(const TBWComparable* item);
// The names met by a walk from First to the end ("-" for a node without item).
std::vector<std::string> WalkNames(TBWStruct& container);
// The names of the storage order, read by position.
std::vector<std::string> NamesByPosition(TBWStruct& container);
// Adds every item.
void AddAll(TBWStruct& container, const std::vector<TTestItem*>& items);
