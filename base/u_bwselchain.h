// The selection chain: a chain whose items can be selected, with running
// totals of numeric item values over all selectable items and over the
// selected ones. File lists and the result list are selection chains; the
// results window takes its check marks and its marked count and size here.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_set>
#include <vector>

#include "base/u_bwchain.h"

// The selection is a set of toggled items plus an invert flag: an item is
// selected when it is selectable and its toggle differs from the flag, so
// selecting all, none or the inverse costs nothing per item.
class TBWSelChain : public TBWChain {
    BW_CLASS(TBWSelChain)
public:
    // Gives the value of item for value index; value comes preset to 0.
    using ValueEvent = std::function<void(TBWComparable* item, std::int32_t index, std::int64_t& value)>;

    explicit TBWSelChain(TBWObject* owner = nullptr);
    ~TBWSelChain() override;

    ValueEvent OnGetValue;

    virtual bool IsSelectable(TBWComparable* item) const;
    // 0 without OnGetValue and for missing items.
    virtual std::int64_t GetItemValue(TBWComparable* item, std::int32_t index) const;
    // Count here; subclasses that restrict IsSelectable count to match.
    virtual std::int32_t SelectableCount();

    // Number of value indexes; existing sums are kept, new ones start at 0.
    void SetValueCount(std::int32_t count);
    std::int32_t ValueCount() const { return static_cast<std::int32_t>(totals_.size()); }

    bool Inverted() const { return inverted_; }
    bool IsToggled(const TBWComparable* item) const;
    bool IsSelected(TBWComparable* item) const;
    bool IsCurrentSelected() const { return IsSelected(GetCurrent()); }
    void SelectAll();
    void SelectNone();
    void InvertSelection() { inverted_ = !inverted_; }
    // The item ends selected exactly when state is true; nothing for items
    // that are not selectable.
    void SetSelected(TBWComparable* item, bool state);
    // Whether the item is selected afterwards; false for items that are not selectable.
    bool ToggleSelected(TBWComparable* item);
    std::int32_t SelectedCount();

    // Sums of value index over the selectable items, and over the selected
    // ones; 0 for an index out of range.
    std::int64_t Total(std::int32_t index) const;
    std::int64_t SelectedTotal(std::int32_t index) const;
    // Sums everything again and drops toggles of items no longer selectable.
    // Leaves the cursor at the end.
    void RecalcTotals();

    // Frees the nodes and resets the totals; the invert flag stays.
    void Clear() override;
    // Also recomputes the totals, which additions and removals inside the
    // update bracket did not follow.
    void EndUpdate() override;

protected:
    void NodeAdded(TBWStructNode* node) override;
    void NodeRemoved(TBWStructNode* node) override;

private:
    void AddToggle(TBWComparable* item);
    void RemoveToggle(TBWComparable* item);
    void ClearToggles();
    bool InRange(std::int32_t index) const { return index >= 0 && index < ValueCount(); }
    // Adds sign times every value of item to sums.
    void AddValues(std::vector<std::int64_t>& sums, TBWComparable* item, std::int64_t sign) const;

    std::unordered_set<const TBWComparable*> toggled_;
    bool inverted_ = false;
    std::vector<std::int64_t> totals_;
    std::vector<std::int64_t> toggledTotals_;
};
