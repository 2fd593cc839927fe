// The binary tree container: one binary search tree per sort-key set plus one
// ordered by identity, every item in each of them. Positions and counts come
// from counts cached in the nodes. The height-balanced tree (u_bwavltree), on
// which the string pool and the word index rest, derives from it.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "base/u_bwbasestruct.h"

class TBWBTree;

class TBWBTNode : public TBWStructNode {
    BW_CLASS(TBWBTNode)
public:
    using TBWStructNode::TBWStructNode;

    TBWBTNode* Parent() const { return parent_; }
    TBWBTNode* Left() const { return left_; }
    TBWBTNode* Right() const { return right_; }
    // Nodes of the subtree, marked ones included.
    std::int32_t SubtreeCount() const { return subtreeCount_; }
    std::int32_t DeletedCount() const { return deletedCount_; }
    // 0 for a leaf.
    std::int32_t Height() const { return height_; }
    bool IsDeleted() const { return (flags_ & kDeletedFlag) != 0; }
    std::int32_t LiveNodes() const { return subtreeCount_ - deletedCount_; }

    // Position among the live nodes of its index; a marked node gets the
    // position of the next live one.
    std::int32_t GetIndex() const override;
    // Live nodes, or every node when cfCopyClones is set.
    bool Accept(std::uint32_t flags) const override;

    // The next and previous node in ascending order, marked ones included.
    TBWBTNode* NextInOrder() const;
    TBWBTNode* PriorInOrder() const;
    // The next and previous live node.
    TBWBTNode* Successor() const;
    TBWBTNode* Predecessor() const;

    // Sides of Attach.
    static constexpr std::int32_t kLeft = 0;
    static constexpr std::int32_t kRight = 1;

protected:
    // Hangs the node under target on side; the side must be free.
    void LinkTo(TBWStructNode* target, std::int32_t side) override;
    // Nodes never leave a tree: deleting marks them.
    void Unlink() override {}

    std::int32_t LeftDepth() const { return left_ ? left_->height_ + 1 : 0; }
    std::int32_t RightDepth() const { return right_ ? right_->height_ + 1 : 0; }
    // Recomputes the cached figures from the children.
    void UpdateFigures();
    void UpdateFiguresUpward();
    // Lifts this node above its parent: a right rotation for a left child,
    // a left rotation for a right child.
    void RotateUp();

private:
    friend class TBWBTree;
    static constexpr std::uint32_t kDeletedFlag = 1;

    TBWBTNode* parent_ = nullptr;
    TBWBTNode* left_ = nullptr;
    TBWBTNode* right_ = nullptr;
    std::int32_t subtreeCount_ = 1;
    std::int32_t height_ = 0;
    std::int32_t deletedCount_ = 0;
    std::uint32_t flags_ = 0;
    // The nodes one Add made, one per index, linked in a ring, so that a
    // deletion reaches the item in every index.
    TBWBTNode* nextOfItem_ = this;
};

class TBWBTree : public TBWStruct {
    BW_CLASS(TBWBTree)
public:
    using PairCallback = std::function<void(TBWBTNode* first, TBWBTNode* second)>;

    explicit TBWBTree(TBWObject* owner = nullptr);
    ~TBWBTree() override;

    // Into every index; among equal items the newest comes first. The cursor
    // goes to the first item. Missing items are not added.
    TBWComparable* Add(TBWComparable* item) override;
    TBWComparable* Insert(TBWComparable* item, std::int32_t) override { return Add(item); }
    // A live item equal to SearchKey under the active keys, with the cursor on it.
    TBWComparable* Find() override;
    // The live item equal to SearchKey, or else the item make() gives, added.
    template <class Make>
    TBWComparable* FindOrAdd(Make&& make)
    {
        if (TBWComparable* found = Find())
            return found;
        return Add(make());
    }
    // Marks the item deleted in every index; the cursor moves on and keeps its index.
    bool DeleteCurrent() override;
    // Marks every node holding item; the cursor goes to the first item.
    TBWComparable* Remove(TBWComparable* item) override;
    // The item's position in identity order, or -1 when it is not held (or
    // deleted); the cursor goes to the first item.
    std::int32_t IndexOf(const TBWComparable* item) override;
    void Clear() override;
    // Rebuilds every index from the live items.
    void Sort() override;
    // A new set holds nothing until Sort; redefining a filled set rebuilds.
    void SetSortKeys(std::int32_t index, TBWKeySet keys) override;
    // Switches to the index of a defined set (or -1, identity order) without
    // sorting; the cursor goes to the first item. Other numbers are ignored.
    void SetActiveKeys(std::int32_t index) override;
    // Every node of the active index, marked ones included, in post-order.
    void ForEachNode(const NodeCallback& callback) override;
    // Every live node with every later live node, in ascending order, the
    // earlier first. The cursor goes to the first item.
    void ForEachPair(const PairCallback& callback);

    // The root of the active index.
    TBWBTNode* Root() const { return roots_[ActiveSlot()]; }

protected:
    std::int32_t LiveCount() const override;
    TBWStructNode* Move(TBWCursorMove kind, std::int32_t index) override;

private:
    // Slot 0 is the index without keys, slot k + 1 that of key set k.
    std::size_t ActiveSlot() const { return static_cast<std::size_t>(ActiveKeySet() + 1); }
    const TBWKeySet& SlotKeys(std::size_t slot) const;
    void AddToEveryIndex(TBWComparable* item);
    void InsertInto(std::size_t slot, TBWBTNode* node);
    TBWBTNode* NodeAtPosition(std::int32_t position) const;
    TBWBTNode* LiveNodeOf(const TBWComparable* item) const;
    void MarkDeleted(TBWBTNode* node);

    std::vector<TBWBTNode*> roots_;
};
