// The base of every container: comparable items held by reference in nodes of
// the container's own, ordered by the active one of several sort-key sets,
// walked with one built-in cursor, and reporting nodes attached and detached.
// Chains, trees and the selection chain derive from it, and through them the
// directory and file lists, the word index, the string pool and the results.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "base/u_bwbaseclass.h"

class TBWStruct;

using TBWKeySet = std::vector<TBWKey>;
using TBWKeySets = std::vector<TBWKeySet>;

// Codes of the node event. The program's listeners act on attaching and
// detaching; the others trace a node's life.
enum TBWNodeEventCode : std::int32_t {
    necCreated = 0,
    necAttaching = 1,
    necDetaching = 2,
    necAssigned = 3,
    necDestroying = 5,
    necMarkedDeleted = 6,
    necVisited = 8,
};

enum TBWCursorMove : std::int32_t { cmFirst = 0, cmLast = 1, cmNext = 2, cmPrior = 3, cmAt = 4 };

// Flag of CopyItemsTo and TBWStructNode::Accept: copy clones of the items
// (made by the destination) instead of the items, and take nodes marked
// deleted too.
constexpr std::uint32_t cfCopyClones = 1;

// Compares two items on a list of keys: the first key on which they differ
// decides. An empty list orders items by identity (TBWObject::Serial).
std::int32_t CompareOnKeys(const TBWComparable* a, const TBWComparable* b, const TBWKeySet& keys);

// The order a container stores: CompareOnKeys, and for items equal on every
// key a case-sensitive tie-break on the keys that are case-insensitive texts,
// so that names differing only in case always come out in the same order.
// Missing items come first. Refines CompareOnKeys, so a search by the keys
// alone still finds its equals in one run.
std::int32_t CompareForOrder(const TBWComparable* a, const TBWComparable* b, const TBWKeySet& keys);

// A container's wrapper around one item. Nodes are made, linked and freed
// only by their container.
class TBWStructNode : public TBWComparable {
    BW_CLASS(TBWStructNode)
public:
    // The owner must be a container.
    explicit TBWStructNode(TBWObject* owner);

    TBWStruct* Container() const;
    TBWComparable* Item() const { return item_; }
    bool Attached() const { return attached_; }
    virtual void SetItem(TBWComparable* item) { item_ = item; }

    // Event 1; then, unless already attached, linked beside target on side
    // (the storage decides what side means) and counted.
    void Attach(TBWStructNode* target, std::int32_t side);
    // Only when attached: event 2, uncounted while the links are intact, then unlinked.
    void Detach();
    void NotifyNodeEvent(std::int32_t code);

    // Position among the live nodes of its storage in stored order; -1 when
    // not attached.
    virtual std::int32_t GetIndex() const = 0;
    virtual bool Accept(std::uint32_t flags) const;

    // Compares items (another node stands for its item) on key, or on the
    // container's active key set when key is -1.
    std::int32_t Compare(const TBWComparable* other, TBWKey key = kDefaultKey) const override;
    // Nodes cannot be copied: event 3, then the class error.
    void Assign(const TBWComparable& source) override;

protected:
    virtual void LinkTo(TBWStructNode* target, std::int32_t side) = 0;
    virtual void Unlink() = 0;

private:
    TBWComparable* item_ = nullptr;
    bool attached_ = false;
};

class TBWStruct : public TBWComparable {
    BW_CLASS(TBWStruct)
public:
    using NodeCallback = std::function<void(TBWStructNode* node, std::int32_t code)>;
    using AccessEvent = std::function<void(TBWStruct* sender)>;

    explicit TBWStruct(TBWObject* owner = nullptr);
    ~TBWStruct() override;

    // Every node created, attached, detached or destroyed, with its code.
    NodeCallback OnNodeEvent;
    // Fired before every count, cursor move and copy, so that a lazily
    // filled container can fill itself first.
    AccessEvent OnBeforeAccess;

    const TBWClass& NodeClass() const { return *nodeClass_; }
    // The class of the items the container makes itself (search key, clones).
    const TBWClass& ItemClass() const { return *itemClass_; }
    void SetItemClass(const TBWClass& itemClass) { itemClass_ = &itemClass; }
    TBWComparable* NewItem();
    TBWStructNode* NewNode();
    // The item Find looks for, made on first use and owned by the container.
    TBWComparable* SearchKey();

    // Sort keys. Sets are numbered from 0; -1 means no active set.
    virtual void SetSortKeys(std::int32_t index, TBWKeySet keys);
    std::int32_t SortKeySetCount() const { return keySets_ ? static_cast<std::int32_t>(keySets_->size()) : 0; }
    const TBWKeySet& SortKeys(std::int32_t index) const;
    virtual void SetActiveKeys(std::int32_t index) = 0;
    std::int32_t ActiveKeySet() const { return activeKeySet_; }
    const TBWKeySet& ActiveKeys() const { return SortKeys(activeKeySet_); }
    bool HasActiveKeys() const { return !ActiveKeys().empty(); }
    bool Descending() const { return descending_; }
    // Mirrors the walk; the stored order stays ascending.
    virtual void SetDescending(bool descending);

    // The cursor. Every move returns the item now under the cursor, or none
    // at the end, and counts CursorIndex in walk order.
    TBWComparable* MoveCursor(TBWCursorMove kind, std::int32_t index = 0);
    TBWComparable* First() { return MoveCursor(cmFirst); }
    TBWComparable* Last() { return MoveCursor(cmLast); }
    TBWComparable* Next() { return MoveCursor(cmNext); }
    TBWComparable* Prior() { return MoveCursor(cmPrior); }
    TBWComparable* GoTo(std::int32_t index) { return MoveCursor(cmAt, index); }
    TBWComparable* GetCurrent() const { return currentNode_ ? currentNode_->Item() : nullptr; }
    TBWStructNode* CurrentNode() const { return currentNode_; }
    bool Eof() const { return currentNode_ == nullptr; }
    std::int32_t CursorIndex() const;
    // Moves forward from the current node until it holds exactly item.
    bool Locate(const TBWComparable* item);

    // Contents.
    virtual std::int32_t Count();
    virtual TBWComparable* Add(TBWComparable* item) = 0;
    virtual TBWComparable* Insert(TBWComparable* item, std::int32_t index) = 0;
    // The cursor moves on to the following node of the walk and keeps its index.
    virtual bool DeleteCurrent();
    virtual bool DeleteAt(std::int32_t index);
    // Removes every node holding item; the item, or none when no node held it.
    virtual TBWComparable* Remove(TBWComparable* item);
    virtual std::int32_t IndexOf(const TBWComparable* item);
    virtual void SetCount(std::int32_t count);
    // Frees every node and every object the container owns; items added
    // from elsewhere stay alive.
    virtual void Clear();
    virtual void Sort() = 0;
    // Finds an item equal to SearchKey under the active keys.
    virtual TBWComparable* Find() = 0;
    // Visits every node with code 8, in storage order; without a callback
    // OnNodeEvent is used.
    void Iterate(const NodeCallback& callback = {});
    virtual void ForEachNode(const NodeCallback& callback) = 0;
    void CopyItemsTo(TBWStruct* destination, std::uint32_t flags = 0);

    // One flag, not a counter.
    virtual void BeginUpdate() { updating_ = true; }
    virtual void EndUpdate();
    bool Updating() const { return updating_; }

protected:
    friend class TBWStructNode;

    virtual void NodeAdded(TBWStructNode* node);
    virtual void NodeRemoved(TBWStructNode* node);
    // The node a move in stored order reaches from the current node; for
    // cmAt, index is a stored position within the live count.
    virtual TBWStructNode* Move(TBWCursorMove kind, std::int32_t index) = 0;
    virtual void BeforeAccess();
    virtual void DoNodeEvent(TBWStructNode* node, std::int32_t code);
    // The number of live nodes, without the before-access event.
    virtual std::int32_t LiveCount() const { return storedCount_; }

    void SetNodeClass(const TBWClass& nodeClass) { nodeClass_ = &nodeClass; }
    // Replaces every sort-key set at once; the caller sorts when it must.
    void StoreSortKeySets(std::shared_ptr<const TBWKeySets> sets) { keySets_ = std::move(sets); }
    void StoreActiveKeySet(std::int32_t index) { activeKeySet_ = index; }
    void SetUpdatingFlag(bool updating) { updating_ = updating; }
    std::int32_t StoredCount() const { return storedCount_; }

    // A cursor move without the before-access event.
    TBWComparable* StepCursor(TBWCursorMove kind, std::int32_t index = 0);
    // Puts the cursor on node; its index is worked out when asked for.
    void PlaceCursor(TBWStructNode* node);
    // The current node is going away: the cursor moves to the following node
    // of the walk, which takes over its index.
    void AdvancePastCurrent();
    // A node was attached at storedPosition (-1 when not known): keeps the
    // cursor's index right.
    void NoteInsertedAt(std::int32_t storedPosition);

private:
    void DestroyOwnedObjects();

    // Shared with other containers until SetSortKeys makes a copy: many
    // containers (a file list per folder) sort the same ways.
    std::shared_ptr<const TBWKeySets> keySets_;
    bool descending_ = false;
    TBWComparable* searchKey_ = nullptr;
    const TBWClass* nodeClass_;
    const TBWClass* itemClass_;
    TBWStructNode* currentNode_ = nullptr;
    std::int32_t activeKeySet_ = -1;
    std::int32_t storedCount_ = 0;
    // In walk order; -1 at the end. Worked out again from the current node
    // when a change made it unknown.
    mutable std::int32_t cursorIndex_ = -1;
    mutable bool cursorIndexKnown_ = true;
    bool updating_ = false;
};
