// The linked chain: the container stored as a doubly linked list, in order of
// insertion or, with an active sort-key set, in ascending order of it. The
// most used container: subdirectory lists, the Mp3 List manager, the chains
// of the word index and, through the selection chain, file and result lists.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <unordered_map>

#include "base/u_bwbasestruct.h"
#include "base/u_bwslots.h"

class TBWChain;
class TBWChainNode;

// Orders the nodes of a sorted chain as the chain stores them (see
// CompareForOrder). A probe compares a search key against the nodes by the
// active keys alone.
struct TBWChainOrderLess {
    struct TProbe {
        const TBWComparable* key;
    };
    using is_transparent = void;

    const TBWChain* chain;
    bool operator()(const TBWChainNode* a, const TBWChainNode* b) const;
    bool operator()(const TBWChainNode* node, TProbe probe) const;
    bool operator()(TProbe probe, const TBWChainNode* node) const;
};

// While a sort-key set is active and the index is built, every attached node
// is also in it, so that placing an item costs a logarithmic search, not a
// walk. It is built on the first search after a sort: a chain that is only
// sorted and read, or filled in order, never needs it.
using TBWChainOrderIndex = std::multiset<TBWChainNode*, TBWChainOrderLess>;

class TBWChainNode : public TBWStructNode {
    BW_CLASS(TBWChainNode)
public:
    using TBWStructNode::TBWStructNode;

    // Every item of every list has a node: they are kept in slots.
    static void* operator new(std::size_t size) { return TBWSlots::Allocate(size); }
    static void operator delete(void* node, std::size_t size) { TBWSlots::Free(node, size); }

    TBWChainNode* Next() const { return next_; }
    TBWChainNode* Prior() const { return prior_; }
    // Counts the nodes before this one.
    std::int32_t GetIndex() const override;
    // An item whose keys changed: with an active key set the node is
    // detached and attached again at its new place.
    void Changed() override;

    // Sides of Attach.
    static constexpr std::int32_t kBefore = 0;
    static constexpr std::int32_t kAfter = 1;

protected:
    void LinkTo(TBWStructNode* target, std::int32_t side) override;
    void Unlink() override;

private:
    friend class TBWChain;

    TBWChainNode* next_ = nullptr;
    TBWChainNode* prior_ = nullptr;
};

class TBWChain : public TBWStruct {
    BW_CLASS(TBWChain)
public:
    explicit TBWChain(TBWObject* owner = nullptr);
    ~TBWChain() override;

    // Chains compare by their number of items.
    TBWKeyKind KeyKind(TBWKey) const override { return kkInteger; }
    std::string KeyText(TBWKey) const override { return {}; }
    std::int64_t KeyInt(TBWKey) const override;

    // Appends without an active key set; otherwise the item goes after every
    // lower item and, among equal items, right after the first of them.
    TBWComparable* Add(TBWComparable* item) override;
    // Without an active key set: in front of the item at walk position index
    // (below 0 counts as 0). Anything else is Add.
    TBWComparable* Insert(TBWComparable* item, std::int32_t index) override;
    // The first item equal to SearchKey under the active keys, with the
    // cursor on it; none at once without an active key set.
    TBWComparable* Find() override;
    // Activating a set sorts the chain; -1 keeps the present order.
    void SetActiveKeys(std::int32_t index) override;
    // Redefining the active set sorts the chain by its new keys.
    void SetSortKeys(std::int32_t index, TBWKeySet keys) override;
    // Takes sets shared with other chains in place of every set defined,
    // sorting by the active one; SetSortKeys afterwards changes a copy.
    void ShareSortKeys(std::shared_ptr<const TBWKeySets> sets);
    // Stable; exchanges items between nodes, so nodes, the cursor and the
    // positional cache stay where they are. Raises no node events.
    void Sort() override;
    // Adds nodes without items, or deletes from the end of the walk.
    void SetCount(std::int32_t count) override;
    void Clear() override;
    // From the tail to the head, so a callback may detach the node it is given.
    void ForEachNode(const NodeCallback& callback) override;

    TBWChainNode* Head() const { return head_; }
    TBWChainNode* Tail() const { return tail_; }

protected:
    void NodeAdded(TBWStructNode* node) override;
    void NodeRemoved(TBWStructNode* node) override;
    TBWStructNode* Move(TBWCursorMove kind, std::int32_t index) override;
    // For a chain that put its items in order itself.
    void DropOrderIndex();

private:
    friend class TBWChainNode;

    bool Ordered() const { return ActiveKeySet() >= 0; }
    TBWChainNode* NewChainNode(TBWComparable* item);
    void AttachOrdered(TBWChainNode* node);
    void Reposition(TBWChainNode* node);
    void IndexNode(TBWChainNode* node, TBWChainOrderIndex::const_iterator hint);
    void EnsureOrderIndex();
    TBWChainNode* NodeAtStored(std::int32_t position);

    TBWChainNode* head_ = nullptr;
    TBWChainNode* tail_ = nullptr;
    // The node of the last positional lookup, so that reading rows one after
    // the other costs one step each.
    TBWChainNode* cachedNode_ = nullptr;
    std::int32_t cachedIndex_ = -1;
    // The order index and where each node is in it, made when the index is
    // built. Kept by the chain, not in the nodes, and only while built: most
    // chains never build it, and there are chains for every folder and
    // nodes for every file in every list that holds it.
    struct TOrder {
        TBWChainOrderIndex index;
        std::unordered_map<const TBWChainNode*, TBWChainOrderIndex::iterator> positions;
    };
    std::unique_ptr<TOrder> order_;
};
