#include "base/u_bwchain.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

// ------------------------------------------------------- TBWChainOrderLess

bool TBWChainOrderLess::operator()(const TBWChainNode* a, const TBWChainNode* b) const
{
    return CompareForOrder(a->Item(), b->Item(), chain->ActiveKeys()) < 0;
}

// Nodes without items are stored first, so they count as lower than any key.
bool TBWChainOrderLess::operator()(const TBWChainNode* node, TProbe probe) const
{
    return !node->Item() || CompareOnKeys(node->Item(), probe.key, chain->ActiveKeys()) < 0;
}

bool TBWChainOrderLess::operator()(TProbe probe, const TBWChainNode* node) const
{
    return node->Item() && CompareOnKeys(node->Item(), probe.key, chain->ActiveKeys()) > 0;
}

// ------------------------------------------------------------- TBWChainNode

BW_IMPLEMENT_CLASS(TBWChainNode, TBWStructNode)

std::int32_t TBWChainNode::GetIndex() const
{
    if (!Attached())
        return -1;
    std::int32_t index = 0;
    for (const TBWChainNode* node = prior_; node; node = node->prior_)
        ++index;
    return index;
}

void TBWChainNode::Changed()
{
    TBWStructNode::Changed();
    if (Attached() && Container()->HasActiveKeys())
        static_cast<TBWChain*>(Container())->Reposition(this);
}

void TBWChainNode::LinkTo(TBWStructNode* target, std::int32_t side)
{
    if (!target)
        return;
    auto* neighbour = static_cast<TBWChainNode*>(target);
    if (side == kAfter) {
        prior_ = neighbour;
        next_ = neighbour->next_;
    } else {
        next_ = neighbour;
        prior_ = neighbour->prior_;
    }
    if (prior_)
        prior_->next_ = this;
    if (next_)
        next_->prior_ = this;
}

void TBWChainNode::Unlink()
{
    if (prior_)
        prior_->next_ = next_;
    if (next_)
        next_->prior_ = prior_;
    next_ = prior_ = nullptr;
}

// ----------------------------------------------------------------- TBWChain

BW_IMPLEMENT_CLASS(TBWChain, TBWStruct)

TBWChain::TBWChain(TBWObject* owner) : TBWStruct(owner)
{
    SetNodeClass(TBWChainNode::StaticClass());
}

TBWChain::~TBWChain()
{
    Clear();
}

std::int64_t TBWChain::KeyInt(TBWKey) const
{
    // Counting may fill a lazily loaded chain first; that is a read.
    return const_cast<TBWChain*>(this)->Count();
}

TBWChainNode* TBWChain::NewChainNode(TBWComparable* item)
{
    TBWStructNode* node = NewNode();
    if (!node->InheritsFrom(TBWChainNode::StaticClass()))
        throw EBWClassError(std::string("The node class ") + node->ClassName() + " of " + ClassName() +
                            " is not a TBWChainNode");
    node->SetItem(item);
    return static_cast<TBWChainNode*>(node);
}

TBWComparable* TBWChain::Add(TBWComparable* item)
{
    TBWChainNode* node = NewChainNode(item);
    if (Ordered()) {
        AttachOrdered(node);
    } else {
        node->Attach(tail_, TBWChainNode::kAfter);
        NoteInsertedAt(StoredCount() - 1);
    }
    return item;
}

TBWComparable* TBWChain::Insert(TBWComparable* item, std::int32_t index)
{
    if (Ordered())
        return Add(item);
    const std::int32_t walkIndex = std::max(index, 0);
    GoTo(walkIndex);
    auto* target = static_cast<TBWChainNode*>(CurrentNode());
    if (!target)
        return Add(item);
    // In front of the target in walk order, which is behind it in stored
    // order when the walk is mirrored.
    const std::int32_t targetStored = Descending() ? StoredCount() - 1 - walkIndex : walkIndex;
    TBWChainNode* node = NewChainNode(item);
    if (Descending()) {
        node->Attach(target, TBWChainNode::kAfter);
        NoteInsertedAt(targetStored + 1);
    } else {
        node->Attach(target, TBWChainNode::kBefore);
        NoteInsertedAt(targetStored);
    }
    return item;
}

void TBWChain::AttachOrdered(TBWChainNode* node)
{
    const TBWKeySet& keys = ActiveKeys();
    // Items arriving in order go to the end without a search.
    if (!tail_ || CompareForOrder(node->Item(), tail_->Item(), keys) > 0) {
        if (order_)
            IndexNode(node, order_->index.end());
        node->Attach(tail_, TBWChainNode::kAfter);
        NoteInsertedAt(StoredCount() - 1);
        return;
    }
    // The first node not lower than the new one: an equal one gets the new
    // node right behind it, a greater one gets it in front.
    EnsureOrderIndex();
    const auto lower = order_->index.lower_bound(node);
    if (lower == order_->index.end()) {
        IndexNode(node, lower);
        node->Attach(tail_, TBWChainNode::kAfter);
    } else if (CompareForOrder(node->Item(), (*lower)->Item(), keys) == 0) {
        IndexNode(node, std::next(lower));
        node->Attach(*lower, TBWChainNode::kAfter);
    } else {
        IndexNode(node, lower);
        node->Attach(*lower, TBWChainNode::kBefore);
    }
    NoteInsertedAt(-1);
}

void TBWChain::Reposition(TBWChainNode* node)
{
    node->Detach();
    AttachOrdered(node);
}

TBWComparable* TBWChain::Find()
{
    if (!Ordered())
        return nullptr;
    BeforeAccess();
    const TBWComparable* key = SearchKey();
    EnsureOrderIndex();
    const auto found = order_->index.lower_bound(TBWChainOrderLess::TProbe{key});
    if (found != order_->index.end() && CompareOnKeys((*found)->Item(), key, ActiveKeys()) == 0) {
        PlaceCursor(*found);
        return (*found)->Item();
    }
    PlaceCursor(nullptr);
    return nullptr;
}

void TBWChain::SetActiveKeys(std::int32_t index)
{
    index = std::max(index, -1);
    if (index == ActiveKeySet())
        return;
    StoreActiveKeySet(index);
    if (Ordered())
        Sort();
    else
        DropOrderIndex();
}

void TBWChain::SetSortKeys(std::int32_t index, TBWKeySet keys)
{
    TBWStruct::SetSortKeys(index, std::move(keys));
    if (index >= 0 && index == ActiveKeySet())
        Sort();
}

void TBWChain::ShareSortKeys(std::shared_ptr<const TBWKeySets> sets)
{
    StoreSortKeySets(std::move(sets));
    if (Ordered())
        Sort();
}

void TBWChain::Sort()
{
    std::vector<TBWComparable*> items;
    items.reserve(static_cast<std::size_t>(StoredCount()));
    for (TBWChainNode* node = head_; node; node = node->next_)
        items.push_back(node->Item());
    const TBWKeySet& keys = ActiveKeys();
    const auto less = [&keys](const TBWComparable* a, const TBWComparable* b) {
        return CompareForOrder(a, b, keys) < 0;
    };
    const bool wasUpdating = Updating();
    SetUpdatingFlag(true);
    try {
        if (!std::is_sorted(items.begin(), items.end(), less))
            std::stable_sort(items.begin(), items.end(), less);
    } catch (...) {
        SetUpdatingFlag(wasUpdating);
        throw;
    }
    SetUpdatingFlag(wasUpdating);
    auto item = items.begin();
    for (TBWChainNode* node = head_; node; node = node->next_)
        node->SetItem(*item++);
    DropOrderIndex();
}

void TBWChain::IndexNode(TBWChainNode* node, TBWChainOrderIndex::const_iterator hint)
{
    order_->positions[node] = order_->index.insert(hint, node);
}

void TBWChain::EnsureOrderIndex()
{
    if (order_)
        return;
    order_ = std::make_unique<TOrder>(TOrder{TBWChainOrderIndex(TBWChainOrderLess{this}), {}});
    order_->positions.reserve(static_cast<std::size_t>(StoredCount()));
    for (TBWChainNode* node = head_; node; node = node->next_)
        IndexNode(node, order_->index.end());
}

void TBWChain::DropOrderIndex()
{
    order_.reset();
}

void TBWChain::SetCount(std::int32_t count)
{
    count = std::max(count, 0);
    while (StoredCount() < count)
        Add(nullptr);
    while (StoredCount() > count)
        DeleteAt(StoredCount() - 1);
}

void TBWChain::Clear()
{
    // Dropped first and at once: every node goes, and taking each out of the
    // order index on its own made freeing a large list slower than filling it.
    DropOrderIndex();
    TBWStruct::Clear();
    head_ = tail_ = cachedNode_ = nullptr;
    cachedIndex_ = -1;
}

void TBWChain::ForEachNode(const NodeCallback& callback)
{
    if (!callback)
        return;
    for (TBWChainNode* node = tail_; node;) {
        TBWChainNode* prior = node->prior_;
        callback(node, necVisited);
        node = prior;
    }
}

void TBWChain::NodeAdded(TBWStructNode* node)
{
    TBWStruct::NodeAdded(node);
    cachedNode_ = nullptr;
    cachedIndex_ = -1;
    auto* added = static_cast<TBWChainNode*>(node);
    if (!added->prior_)
        head_ = added;
    if (!added->next_)
        tail_ = added;
}

void TBWChain::NodeRemoved(TBWStructNode* node)
{
    TBWStruct::NodeRemoved(node);
    cachedNode_ = nullptr;
    cachedIndex_ = -1;
    auto* removed = static_cast<TBWChainNode*>(node);
    if (head_ == removed)
        head_ = removed->next_;
    if (tail_ == removed)
        tail_ = removed->prior_;
    if (order_) {
        const auto position = order_->positions.find(removed);
        order_->index.erase(position->second);
        order_->positions.erase(position);
    }
}

TBWStructNode* TBWChain::Move(TBWCursorMove kind, std::int32_t index)
{
    auto* current = static_cast<TBWChainNode*>(CurrentNode());
    switch (kind) {
    case cmFirst: return head_;
    case cmLast: return tail_;
    case cmNext: return current ? current->next_ : nullptr;
    case cmPrior: return current ? current->prior_ : nullptr;
    case cmAt: return NodeAtStored(index);
    }
    return nullptr;
}

TBWChainNode* TBWChain::NodeAtStored(std::int32_t position)
{
    // Start from whichever of head, tail and the last position reached is nearest.
    const std::int32_t count = StoredCount();
    TBWChainNode* node = head_;
    std::int32_t at = 0;
    std::int32_t distance = position;
    if (count - 1 - position < distance) {
        node = tail_;
        at = count - 1;
        distance = count - 1 - position;
    }
    if (cachedIndex_ >= 0 && std::abs(cachedIndex_ - position) < distance) {
        node = cachedNode_;
        at = cachedIndex_;
    }
    for (; node && at < position; ++at)
        node = node->next_;
    for (; node && at > position; --at)
        node = node->prior_;
    cachedNode_ = node;
    cachedIndex_ = node ? position : -1;
    return node;
}
