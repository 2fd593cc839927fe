#include "tests/base/container_test_items.h"

BW_IMPLEMENT_CLASS(TTestItem, TBWComparable)

TBWKeyKind TTestItem::KeyKind(TBWKey key) const
{
    switch (key) {
    case kByName: return kkTextNoCase;
    case kByNameWithCase: return kkTextCase;
    default: return kkInteger;
    }
}

void TTestItem::Assign(const TBWComparable& source)
{
    const auto& item = dynamic_cast<const TTestItem&>(source);
    name = item.name;
    number = item.number;
}

TTestItem* TItemPool::Make(const std::string& name, std::int64_t number)
{
    items_.push_back(std::make_unique<TTestItem>());
    items_.back()->name = name;
    items_.back()->number = number;
    return items_.back().get();
}

std::vector<TTestItem*> TItemPool::MakeNamed(const std::vector<std::string>& names)
{
    std::vector<TTestItem*> made;
    for (const std::string& name : names)
        made.push_back(Make(name));
    return made;
}

std::string NameOf(const TBWComparable* item)
{
    const auto* test = dynamic_cast<const TTestItem*>(item);
    return test ? test->name : "-";
}

std::vector<std::string> WalkNames(TBWStruct& container)
{
    std::vector<std::string> names;
    for (container.First(); !container.Eof(); container.Next())
        names.push_back(NameOf(container.GetCurrent()));
    return names;
}

std::vector<std::string> NamesByPosition(TBWStruct& container)
{
    std::vector<std::string> names;
    const std::int32_t count = container.Count();
    for (std::int32_t i = 0; i < count; ++i)
        names.push_back(NameOf(container.GoTo(i)));
    return names;
}

void AddAll(TBWStruct& container, const std::vector<TTestItem*>& items)
{
    for (TTestItem* item : items)
        container.Add(item);
}
