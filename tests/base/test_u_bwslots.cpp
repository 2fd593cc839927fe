#include "base/u_bwslots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

namespace {

struct TSlot {
    void* memory;
    std::size_t size;
};

// Fills each slot with a byte of its own, so that two slots sharing memory
// or a slot written by the pool while handed out would show.
void Stamp(const TSlot& slot, std::size_t index)
{
    std::memset(slot.memory, static_cast<int>(index % 251), slot.size);
}

bool StillStamped(const TSlot& slot, std::size_t index)
{
    const auto* bytes = static_cast<const unsigned char*>(slot.memory);
    return std::all_of(bytes, bytes + slot.size, [index](unsigned char b) { return b == index % 251; });
}

}  // namespace

// Sizes from one byte to beyond the largest slot, many blocks' worth, freed
// in an order unlike the one they were made in and made again.
TEST(Slots, SlotsInUseNeverShareMemoryAndAreAligned)
{
    std::vector<TSlot> slots;
    for (std::size_t i = 0; i < 60000; ++i) {
        const std::size_t size = 1 + (i * 37) % (TBWSlots::kLargestSlot + 100);
        slots.push_back({TBWSlots::Allocate(size), size});
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(slots.back().memory) % alignof(std::max_align_t), 0u);
        Stamp(slots.back(), i);
    }
    for (int round = 0; round < 2; ++round) {
        for (std::size_t i = round; i < slots.size(); i += 2) {
            ASSERT_TRUE(StillStamped(slots[i], i)) << i;
            TBWSlots::Free(slots[i].memory, slots[i].size);
            slots[i].memory = TBWSlots::Allocate(slots[i].size);
            Stamp(slots[i], i);
        }
    }
    for (std::size_t i = 0; i < slots.size(); ++i) {
        ASSERT_TRUE(StillStamped(slots[i], i)) << i;
        TBWSlots::Free(slots[i].memory, slots[i].size);
    }
}

// Model objects are made on the scan's thread and freed on the window's.
TEST(Slots, SlotsMadeOnOneThreadAreFreedOnAnother)
{
    constexpr std::size_t kPerThread = 20000;
    std::vector<std::vector<TSlot>> made(4);
    {
        std::vector<std::jthread> makers;
        for (std::size_t t = 0; t < made.size(); ++t)
            makers.emplace_back([&made, t] {
                for (std::size_t i = 0; i < kPerThread; ++i) {
                    made[t].push_back({TBWSlots::Allocate(88), 88});
                    Stamp(made[t].back(), t * kPerThread + i);
                }
            });
    }
    {
        std::vector<std::jthread> freers;
        for (std::size_t t = 0; t < made.size(); ++t)
            freers.emplace_back([&made, t] {
                const std::vector<TSlot>& slots = made[(t + 1) % made.size()];
                const std::size_t owner = (t + 1) % made.size();
                for (std::size_t i = 0; i < slots.size(); ++i) {
                    EXPECT_TRUE(StillStamped(slots[i], owner * kPerThread + i));
                    TBWSlots::Free(slots[i].memory, slots[i].size);
                }
            });
    }
}
