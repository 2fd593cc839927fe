// A hash table of items found by a pointer, in one block of memory, for
// lists that hold a great many of them and must be freed fast; the result
// list finds its entries and links through it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

// Items found by a pointer that each one names (KeyOf(item)), each key at
// most once, in a hash table of one block: open addressing, at most half the
// slots taken. The result list keeps its hundreds of thousands of entries
// and links in such tables; as nodes, freeing them would cost a walk
// through all the memory.
template <class Item, class KeyOf>
class TBWPointerTable {
public:
    Item* Find(const void* key) const
    {
        return slots_.empty() ? nullptr : slots_[SlotOf(key)];
    }
    // The key must not be in the table yet.
    void Insert(Item* item)
    {
        if ((count_ + 1) * 2 > slots_.size())
            Grow();
        slots_[SlotOf(KeyOf()(item))] = item;
        ++count_;
    }
    void Erase(const void* key);
    void Clear()
    {
        slots_.clear();
        count_ = 0;
    }
    bool Empty() const { return count_ == 0; }

private:
    std::size_t HomeOf(const void* key) const
    {
        // Pointers are aligned: the low bits tell nothing, the multiply mixes.
        return static_cast<std::size_t>(((reinterpret_cast<std::uintptr_t>(key) >> 4) * 0x9E3779B97F4A7C15ull) >> 32) &
               (slots_.size() - 1);
    }
    // The slot of key, or the empty one where it would go.
    std::size_t SlotOf(const void* key) const
    {
        std::size_t slot = HomeOf(key);
        while (slots_[slot] && KeyOf()(slots_[slot]) != key)
            slot = (slot + 1) & (slots_.size() - 1);
        return slot;
    }
    void Grow();

    std::vector<Item*> slots_;  // a power of two of them, or none
    std::size_t count_ = 0;
};

template <class Item, class KeyOf>
void TBWPointerTable<Item, KeyOf>::Erase(const void* key)
{
    if (slots_.empty())
        return;
    std::size_t hole = SlotOf(key);
    if (!slots_[hole])
        return;
    // Linear probing: the items after the hole that could sit in it move
    // back, so that every item stays reachable from its home slot.
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t next = (hole + 1) & mask; slots_[next]; next = (next + 1) & mask) {
        const std::size_t home = HomeOf(KeyOf()(slots_[next]));
        if (((next - home) & mask) >= ((next - hole) & mask)) {
            slots_[hole] = slots_[next];
            hole = next;
        }
    }
    slots_[hole] = nullptr;
    --count_;
}

template <class Item, class KeyOf>
void TBWPointerTable<Item, KeyOf>::Grow()
{
    std::vector<Item*> old = std::move(slots_);
    slots_.assign(std::max<std::size_t>(16, old.size() * 2), nullptr);
    for (Item* item : old)
        if (item)
            slots_[SlotOf(KeyOf()(item))] = item;
}
