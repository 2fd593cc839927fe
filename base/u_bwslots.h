// Memory for the small objects a model holds by the million (chain nodes,
// file entries): slots of one size carved out of large blocks. Making one
// costs no trip to the heap, which for any thread but the main one grows a
// page at a time with a system call each, and freeing a million of them
// gives back a few hundred blocks. Classes route their operator new and
// delete here; any thread may make and free slots.
#pragma once

#include <cstddef>

class TBWSlots {
public:
    // Slots are for sizes up to this; larger ones go to the heap.
    static constexpr std::size_t kLargestSlot = 512;

    static void* Allocate(std::size_t size);
    // size as given to Allocate.
    static void Free(void* slot, std::size_t size) noexcept;
};
