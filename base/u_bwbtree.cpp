#include "base/u_bwbtree.h"

#include <algorithm>
#include <string>

namespace {

std::int32_t LiveOf(const TBWBTNode* node)
{
    return node ? node->LiveNodes() : 0;
}

TBWBTNode* FirstInOrder(TBWBTNode* node)
{
    while (node->Left())
        node = node->Left();
    return node;
}

TBWBTNode* FirstInPostOrder(TBWBTNode* node)
{
    while (node->Left() || node->Right())
        node = node->Left() ? node->Left() : node->Right();
    return node;
}

TBWBTNode* NextInPostOrder(const TBWBTNode* node)
{
    TBWBTNode* parent = node->Parent();
    if (parent && node == parent->Left() && parent->Right())
        return FirstInPostOrder(parent->Right());
    return parent;
}

// Walks without recursion: a plain tree fed sorted items is as deep as it is long.
template <class Visit>
void VisitPostOrder(TBWBTNode* root, Visit&& visit)
{
    if (!root)
        return;
    for (TBWBTNode* node = FirstInPostOrder(root); node;) {
        TBWBTNode* next = NextInPostOrder(node);
        visit(node);
        node = next;
    }
}

}  // namespace

// ---------------------------------------------------------------- TBWBTNode

BW_IMPLEMENT_CLASS(TBWBTNode, TBWStructNode)

std::int32_t TBWBTNode::GetIndex() const
{
    if (!Attached())
        return -1;
    std::int32_t position = LiveOf(left_);
    for (const TBWBTNode* node = this; node->parent_; node = node->parent_) {
        const TBWBTNode* parent = node->parent_;
        if (parent->right_ == node)
            position += LiveOf(parent->left_) + (parent->IsDeleted() ? 0 : 1);
    }
    return position;
}

bool TBWBTNode::Accept(std::uint32_t flags) const
{
    return (flags & cfCopyClones) != 0 || !IsDeleted();
}

TBWBTNode* TBWBTNode::NextInOrder() const
{
    if (right_) {
        TBWBTNode* node = right_;
        while (node->left_)
            node = node->left_;
        return node;
    }
    const TBWBTNode* node = this;
    while (node->parent_ && node->parent_->right_ == node)
        node = node->parent_;
    return node->parent_;
}

TBWBTNode* TBWBTNode::PriorInOrder() const
{
    if (left_) {
        TBWBTNode* node = left_;
        while (node->right_)
            node = node->right_;
        return node;
    }
    const TBWBTNode* node = this;
    while (node->parent_ && node->parent_->left_ == node)
        node = node->parent_;
    return node->parent_;
}

TBWBTNode* TBWBTNode::Successor() const
{
    TBWBTNode* node = NextInOrder();
    while (node && node->IsDeleted())
        node = node->NextInOrder();
    return node;
}

TBWBTNode* TBWBTNode::Predecessor() const
{
    TBWBTNode* node = PriorInOrder();
    while (node && node->IsDeleted())
        node = node->PriorInOrder();
    return node;
}

void TBWBTNode::LinkTo(TBWStructNode* target, std::int32_t side)
{
    if (!target)
        return;
    auto* parent = static_cast<TBWBTNode*>(target);
    TBWBTNode*& child = side == kLeft ? parent->left_ : parent->right_;
    if (child)
        throw EBWClassError("Error: An attempt has been mad to attach a child to an already occupied parent.");
    child = this;
    parent_ = parent;
    parent->UpdateFiguresUpward();
}

void TBWBTNode::UpdateFigures()
{
    subtreeCount_ = 1 + (left_ ? left_->subtreeCount_ : 0) + (right_ ? right_->subtreeCount_ : 0);
    deletedCount_ = (IsDeleted() ? 1 : 0) + (left_ ? left_->deletedCount_ : 0) +
                    (right_ ? right_->deletedCount_ : 0);
    height_ = std::max(LeftDepth(), RightDepth());
}

void TBWBTNode::UpdateFiguresUpward()
{
    for (TBWBTNode* node = this; node; node = node->parent_)
        node->UpdateFigures();
}

void TBWBTNode::RotateUp()
{
    TBWBTNode* parent = parent_;
    if (!parent)
        return;
    TBWBTNode* grandparent = parent->parent_;
    if (parent->left_ == this) {
        parent->left_ = right_;
        if (right_)
            right_->parent_ = parent;
        right_ = parent;
    } else {
        parent->right_ = left_;
        if (left_)
            left_->parent_ = parent;
        left_ = parent;
    }
    parent->parent_ = this;
    parent_ = grandparent;
    if (grandparent)
        (grandparent->left_ == parent ? grandparent->left_ : grandparent->right_) = this;
    parent->UpdateFigures();
    UpdateFiguresUpward();
}

// ----------------------------------------------------------------- TBWBTree

BW_IMPLEMENT_CLASS(TBWBTree, TBWStruct)

TBWBTree::TBWBTree(TBWObject* owner) : TBWStruct(owner), roots_(1, nullptr)
{
    SetNodeClass(TBWBTNode::StaticClass());
}

TBWBTree::~TBWBTree()
{
    Clear();
}

const TBWKeySet& TBWBTree::SlotKeys(std::size_t slot) const
{
    static const TBWKeySet identity;
    return slot == 0 ? identity : SortKeys(static_cast<std::int32_t>(slot) - 1);
}

TBWComparable* TBWBTree::Add(TBWComparable* item)
{
    if (!item)
        return nullptr;
    AddToEveryIndex(item);
    First();
    return item;
}

void TBWBTree::AddToEveryIndex(TBWComparable* item)
{
    TBWBTNode* first = nullptr;
    TBWBTNode* previous = nullptr;
    for (std::size_t slot = 0; slot < roots_.size(); ++slot) {
        TBWStructNode* made = NewNode();
        if (!made->InheritsFrom(TBWBTNode::StaticClass()))
            throw EBWClassError(std::string("The node class ") + made->ClassName() + " of " +
                                ClassName() + " is not a TBWBTNode");
        auto* node = static_cast<TBWBTNode*>(made);
        node->SetItem(item);
        if (previous) {
            node->nextOfItem_ = first;
            previous->nextOfItem_ = node;
        } else {
            first = node;
        }
        previous = node;
        InsertInto(slot, node);
    }
}

void TBWBTree::InsertInto(std::size_t slot, TBWBTNode* node)
{
    TBWBTNode* parent = roots_[slot];
    if (!parent) {
        node->Attach(nullptr, TBWBTNode::kLeft);
        roots_[slot] = node;
        return;
    }
    // Equal items go left: the newest of several equals comes first.
    const TBWKeySet& keys = SlotKeys(slot);
    for (;;) {
        const bool right = CompareForOrder(parent->Item(), node->Item(), keys) < 0;
        TBWBTNode* child = right ? parent->right_ : parent->left_;
        if (!child) {
            node->Attach(parent, right ? TBWBTNode::kRight : TBWBTNode::kLeft);
            break;
        }
        parent = child;
    }
    // Rebalancing may have lifted another node above the old root.
    TBWBTNode* root = roots_[slot];
    while (root->parent_)
        root = root->parent_;
    roots_[slot] = root;
}

TBWComparable* TBWBTree::Find()
{
    BeforeAccess();
    const TBWComparable* key = SearchKey();
    const TBWKeySet& keys = ActiveKeys();
    TBWBTNode* candidate = nullptr;
    for (TBWBTNode* node = Root(); node;) {
        if (CompareOnKeys(node->Item(), key, keys) < 0) {
            node = node->right_;
        } else {
            candidate = node;
            node = node->left_;
        }
    }
    for (; candidate && CompareOnKeys(candidate->Item(), key, keys) == 0;
         candidate = candidate->NextInOrder()) {
        if (!candidate->IsDeleted()) {
            PlaceCursor(candidate);
            return candidate->Item();
        }
    }
    PlaceCursor(nullptr);
    return nullptr;
}

void TBWBTree::MarkDeleted(TBWBTNode* node)
{
    TBWBTNode* sibling = node;
    do {
        sibling->NotifyNodeEvent(necMarkedDeleted);
        if (!sibling->IsDeleted()) {
            sibling->flags_ |= TBWBTNode::kDeletedFlag;
            sibling->UpdateFiguresUpward();
        }
        sibling = sibling->nextOfItem_;
    } while (sibling != node);
}

bool TBWBTree::DeleteCurrent()
{
    auto* node = static_cast<TBWBTNode*>(CurrentNode());
    if (!node)
        return false;
    MarkDeleted(node);
    AdvancePastCurrent();
    return true;
}

TBWBTNode* TBWBTree::LiveNodeOf(const TBWComparable* item) const
{
    if (!item)
        return nullptr;
    TBWBTNode* candidate = nullptr;
    for (TBWBTNode* node = roots_[0]; node;) {
        if (node->Item()->Serial() < item->Serial()) {
            node = node->right_;
        } else {
            candidate = node;
            node = node->left_;
        }
    }
    for (; candidate && candidate->Item() == item; candidate = candidate->NextInOrder())
        if (!candidate->IsDeleted())
            return candidate;
    return nullptr;
}

TBWComparable* TBWBTree::Remove(TBWComparable* item)
{
    BeforeAccess();
    bool found = false;
    while (TBWBTNode* node = LiveNodeOf(item)) {
        MarkDeleted(node);
        found = true;
    }
    StepCursor(cmFirst);
    return found ? item : nullptr;
}

std::int32_t TBWBTree::IndexOf(const TBWComparable* item)
{
    BeforeAccess();
    const TBWBTNode* node = LiveNodeOf(item);
    const std::int32_t index = node ? node->GetIndex() : -1;
    StepCursor(cmFirst);
    return index;
}

void TBWBTree::Clear()
{
    PlaceCursor(nullptr);
    for (TBWBTNode* root : roots_)
        VisitPostOrder(root, [](TBWBTNode* node) { node->Detach(); });
    TBWStruct::Clear();
    std::fill(roots_.begin(), roots_.end(), nullptr);
}

void TBWBTree::Sort()
{
    // From the index without keys, which holds every item from the start:
    // an index defined later, or redefined, may lack items or be out of order.
    // Items go in again in creation order, as they first arrived.
    if (!roots_[0])
        return;
    std::vector<TBWComparable*> items;
    for (TBWBTNode* node = FirstInOrder(roots_[0]); node; node = node->NextInOrder())
        if (!node->IsDeleted())
            items.push_back(node->Item());
    // The former nodes stay owned, unlinked from everything, until Clear.
    std::fill(roots_.begin(), roots_.end(), nullptr);
    for (TBWComparable* item : items)
        AddToEveryIndex(item);
    First();
}

void TBWBTree::SetSortKeys(std::int32_t index, TBWKeySet keys)
{
    if (index < 0)
        return;
    const bool redefinesFilledSet =
        index < SortKeySetCount() && roots_[static_cast<std::size_t>(index) + 1];
    TBWStruct::SetSortKeys(index, std::move(keys));
    roots_.resize(static_cast<std::size_t>(SortKeySetCount()) + 1, nullptr);
    if (redefinesFilledSet)
        Sort();
}

void TBWBTree::SetActiveKeys(std::int32_t index)
{
    if (index < -1 || index >= SortKeySetCount())
        return;
    StoreActiveKeySet(index);
    First();
}

void TBWBTree::ForEachNode(const NodeCallback& callback)
{
    if (!callback)
        return;
    VisitPostOrder(Root(), [&callback](TBWBTNode* node) { callback(node, necVisited); });
}

void TBWBTree::ForEachPair(const PairCallback& callback)
{
    if (!callback)
        return;
    First();
    for (TBWBTNode* first = NodeAtPosition(0); first; first = first->Successor())
        for (TBWBTNode* second = first->Successor(); second; second = second->Successor())
            callback(first, second);
}

std::int32_t TBWBTree::LiveCount() const
{
    return LiveOf(Root());
}

TBWStructNode* TBWBTree::Move(TBWCursorMove kind, std::int32_t index)
{
    const auto* current = static_cast<const TBWBTNode*>(CurrentNode());
    switch (kind) {
    case cmFirst: return NodeAtPosition(0);
    case cmLast: return NodeAtPosition(LiveCount() - 1);
    case cmNext: return current ? current->Successor() : nullptr;
    case cmPrior: return current ? current->Predecessor() : nullptr;
    case cmAt: return NodeAtPosition(index);
    }
    return nullptr;
}

TBWBTNode* TBWBTree::NodeAtPosition(std::int32_t position) const
{
    TBWBTNode* node = Root();
    while (node) {
        const std::int32_t before = LiveOf(node->left_);
        if (position < before) {
            node = node->left_;
        } else if (!node->IsDeleted() && position == before) {
            return node;
        } else {
            position -= before + (node->IsDeleted() ? 0 : 1);
            node = node->right_;
        }
    }
    return nullptr;
}
