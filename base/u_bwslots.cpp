#include "base/u_bwslots.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

namespace {

// Blocks are aligned to their size, so a slot finds its block from its own
// address, and a block holds thousands of slots. A block is one large page
// of memory: where the heap has large pages, a block of 1 MB lay in a
// mapping no large page fitted in, and each 4 KB of it cost a fault (a
// scan of a million names took 69,000 faults, with 2 MB blocks 12,000).
constexpr std::size_t kBlockBytes = std::size_t{1} << 21;
constexpr std::size_t kGrain = alignof(std::max_align_t);
constexpr std::size_t kClassCount = TBWSlots::kLargestSlot / kGrain;

struct TFreeSlot {
    TFreeSlot* next;
};

// The head of every block, followed by its slots.
struct alignas(kGrain) TBlock {
    TBlock* prior = nullptr;
    TBlock* next = nullptr;
    TFreeSlot* freed = nullptr;
    // Slots never handed out start here.
    char* untouched = nullptr;
    std::size_t live = 0;
    bool open = false;
};

TBlock* BlockOf(void* slot)
{
    return reinterpret_cast<TBlock*>(reinterpret_cast<std::uintptr_t>(slot) & ~(kBlockBytes - 1));
}

// The slots of one size. The open blocks have a slot to give; a block that
// empties goes back to the heap unless it is the last one open, so that a
// list made and freed over and over does not take a block each time.
class TSizeClass {
public:
    void* Allocate(std::size_t slotBytes)
    {
        const std::lock_guard lock(mutex_);
        if (!open_)
            Open(NewBlock());
        TBlock* block = open_;
        void* slot;
        if (block->freed) {
            slot = block->freed;
            block->freed = block->freed->next;
        } else {
            slot = block->untouched;
            block->untouched += slotBytes;
        }
        ++block->live;
        if (!block->freed && block->untouched + slotBytes > reinterpret_cast<char*>(block) + kBlockBytes)
            Close(block);
        return slot;
    }

    void Free(void* slot)
    {
        TBlock* emptied = nullptr;
        {
            const std::lock_guard lock(mutex_);
            TBlock* block = BlockOf(slot);
            block->freed = new (slot) TFreeSlot{block->freed};
            --block->live;
            if (!block->open)
                Open(block);
            if (block->live == 0 && (block->prior || block->next)) {
                Close(block);
                emptied = block;
            }
        }
        std::free(emptied);
    }

private:
    static TBlock* NewBlock()
    {
        void* memory = std::aligned_alloc(kBlockBytes, kBlockBytes);
        if (!memory)
            throw std::bad_alloc();
        auto* block = new (memory) TBlock;
        block->untouched = reinterpret_cast<char*>(block) + sizeof(TBlock);
        return block;
    }

    void Open(TBlock* block)
    {
        block->prior = nullptr;
        block->next = open_;
        if (open_)
            open_->prior = block;
        open_ = block;
        block->open = true;
    }

    void Close(TBlock* block)
    {
        if (block->prior)
            block->prior->next = block->next;
        else
            open_ = block->next;
        if (block->next)
            block->next->prior = block->prior;
        block->prior = block->next = nullptr;
        block->open = false;
    }

    std::mutex mutex_;
    TBlock* open_ = nullptr;
};

std::size_t ClassIndex(std::size_t size)
{
    return (size + kGrain - 1) / kGrain - 1;
}

// Never destroyed: objects freed while the program ends still find it.
TSizeClass& SizeClass(std::size_t size)
{
    static TSizeClass* const classes = new TSizeClass[kClassCount];
    return classes[ClassIndex(size)];
}

}  // namespace

void* TBWSlots::Allocate(std::size_t size)
{
    if (size == 0 || size > kLargestSlot)
        return ::operator new(size);
    return SizeClass(size).Allocate((ClassIndex(size) + 1) * kGrain);
}

void TBWSlots::Free(void* slot, std::size_t size) noexcept
{
    if (!slot)
        return;
    if (size == 0 || size > kLargestSlot) {
        ::operator delete(slot);
        return;
    }
    SizeClass(size).Free(slot);
}
