#include "base/u_bwselchain.h"

#include <algorithm>

BW_IMPLEMENT_CLASS(TBWSelChain, TBWChain)

TBWSelChain::TBWSelChain(TBWObject* owner) : TBWChain(owner) {}

TBWSelChain::~TBWSelChain()
{
    // The chain frees its nodes after this; without toggles and values no
    // removal calls back into the owner's value event while it is going away.
    toggled_.clear();
    totals_.clear();
    toggledTotals_.clear();
}

bool TBWSelChain::IsSelectable(TBWComparable*) const
{
    return true;
}

std::int64_t TBWSelChain::GetItemValue(TBWComparable* item, std::int32_t index) const
{
    std::int64_t value = 0;
    if (item && OnGetValue)
        OnGetValue(item, index, value);
    return value;
}

std::int32_t TBWSelChain::SelectableCount()
{
    return Count();
}

void TBWSelChain::SetValueCount(std::int32_t count)
{
    const auto size = static_cast<std::size_t>(std::max(count, 0));
    totals_.resize(size, 0);
    toggledTotals_.resize(size, 0);
}

void TBWSelChain::AddValues(std::vector<std::int64_t>& sums, TBWComparable* item,
                            std::int64_t sign) const
{
    for (std::int32_t i = 0; i < ValueCount(); ++i)
        sums[static_cast<std::size_t>(i)] += sign * GetItemValue(item, i);
}

bool TBWSelChain::IsToggled(const TBWComparable* item) const
{
    return toggled_.count(item) != 0;
}

bool TBWSelChain::IsSelected(TBWComparable* item) const
{
    return item && IsSelectable(item) && IsToggled(item) != inverted_;
}

void TBWSelChain::AddToggle(TBWComparable* item)
{
    if (toggled_.insert(item).second)
        AddValues(toggledTotals_, item, 1);
}

void TBWSelChain::RemoveToggle(TBWComparable* item)
{
    if (toggled_.erase(item))
        AddValues(toggledTotals_, item, -1);
}

void TBWSelChain::ClearToggles()
{
    toggled_.clear();
    std::fill(toggledTotals_.begin(), toggledTotals_.end(), 0);
}

void TBWSelChain::SelectAll()
{
    ClearToggles();
    inverted_ = true;
}

void TBWSelChain::SelectNone()
{
    ClearToggles();
    inverted_ = false;
}

void TBWSelChain::SetSelected(TBWComparable* item, bool state)
{
    if (!item || !IsSelectable(item))
        return;
    if (state == inverted_)
        RemoveToggle(item);
    else
        AddToggle(item);
}

bool TBWSelChain::ToggleSelected(TBWComparable* item)
{
    if (!item || !IsSelectable(item))
        return false;
    if (IsToggled(item))
        RemoveToggle(item);
    else
        AddToggle(item);
    return IsSelected(item);
}

std::int32_t TBWSelChain::SelectedCount()
{
    const auto toggled = static_cast<std::int32_t>(toggled_.size());
    return inverted_ ? SelectableCount() - toggled : toggled;
}

std::int64_t TBWSelChain::Total(std::int32_t index) const
{
    return InRange(index) ? totals_[static_cast<std::size_t>(index)] : 0;
}

std::int64_t TBWSelChain::SelectedTotal(std::int32_t index) const
{
    if (!InRange(index))
        return 0;
    const std::int64_t toggled = toggledTotals_[static_cast<std::size_t>(index)];
    return inverted_ ? totals_[static_cast<std::size_t>(index)] - toggled : toggled;
}

void TBWSelChain::RecalcTotals()
{
    if (ValueCount() == 0)
        return;
    std::fill(totals_.begin(), totals_.end(), 0);
    std::fill(toggledTotals_.begin(), toggledTotals_.end(), 0);
    for (TBWComparable* item = First(); !Eof(); item = StepCursor(cmNext)) {
        if (!item)
            continue;
        if (!IsSelectable(item)) {
            toggled_.erase(item);
            continue;
        }
        AddValues(totals_, item, 1);
        if (IsToggled(item))
            AddValues(toggledTotals_, item, 1);
    }
}

void TBWSelChain::Clear()
{
    BeginUpdate();
    TBWChain::Clear();
    ClearToggles();
    EndUpdate();
}

void TBWSelChain::EndUpdate()
{
    TBWChain::EndUpdate();
    RecalcTotals();
}

void TBWSelChain::NodeAdded(TBWStructNode* node)
{
    TBWChain::NodeAdded(node);
    TBWComparable* item = node->Item();
    if (!Updating() && item && IsSelectable(item))
        AddValues(totals_, item, 1);
}

void TBWSelChain::NodeRemoved(TBWStructNode* node)
{
    TBWChain::NodeRemoved(node);
    TBWComparable* item = node->Item();
    RemoveToggle(item);
    if (!Updating() && item && IsSelectable(item))
        AddValues(totals_, item, -1);
}
