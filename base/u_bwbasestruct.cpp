#include "base/u_bwbasestruct.h"

#include <string>
#include <utility>

namespace {

std::int32_t Sign(bool greater, bool less)
{
    return static_cast<std::int32_t>(greater) - static_cast<std::int32_t>(less);
}

std::int32_t CompareIdentities(const TBWComparable* a, const TBWComparable* b)
{
    return Sign(a->Serial() > b->Serial(), a->Serial() < b->Serial());
}

// The class chain, not a dynamic_cast: every file added to the model makes
// nodes, and a cast through the deep hierarchy cost more than the rest of
// the node.
TBWObject* RequireContainer(TBWObject* owner)
{
    if (!owner || !owner->InheritsFrom(TBWStruct::StaticClass()))
        throw EBWClassError("TBWStructNode's parent must be a TBWStruct");
    return owner;
}

TBWCursorMove Mirrored(TBWCursorMove kind)
{
    switch (kind) {
    case cmFirst: return cmLast;
    case cmLast: return cmFirst;
    case cmNext: return cmPrior;
    case cmPrior: return cmNext;
    case cmAt: return cmAt;
    }
    return kind;
}

}  // namespace

std::int32_t CompareOnKeys(const TBWComparable* a, const TBWComparable* b, const TBWKeySet& keys)
{
    if (!a || !b)
        return 0;
    if (keys.empty())
        return CompareIdentities(a, b);
    for (TBWKey key : keys)
        if (const std::int32_t result = a->Compare(b, key))
            return result;
    return 0;
}

std::int32_t CompareForOrder(const TBWComparable* a, const TBWComparable* b, const TBWKeySet& keys)
{
    if (!a || !b)
        return Sign(a != nullptr, b != nullptr);
    if (const std::int32_t result = CompareOnKeys(a, b, keys))
        return result;
    // Only when b is of a's class does a's Compare see b at all; otherwise
    // the keys say nothing and no tie-break would be consistent.
    if (!b->InheritsFrom(a->ClassType()))
        return 0;
    for (TBWKey key : keys) {
        if (key == kDefaultKey)
            key = a->DefaultKey();
        if (a->KeyKind(key) == kkTextNoCase)
            if (const std::int32_t result = CompareTexts(a->KeyText(key), b->KeyText(key), false))
                return result;
    }
    return 0;
}

// ------------------------------------------------------------ TBWStructNode

BW_IMPLEMENT_CLASS(TBWStructNode, TBWComparable)

TBWStructNode::TBWStructNode(TBWObject* owner) : TBWComparable(RequireContainer(owner)) {}

TBWStruct* TBWStructNode::Container() const
{
    return static_cast<TBWStruct*>(Owner());
}

void TBWStructNode::NotifyNodeEvent(std::int32_t code)
{
    Container()->DoNodeEvent(this, code);
}

void TBWStructNode::Attach(TBWStructNode* target, std::int32_t side)
{
    NotifyNodeEvent(necAttaching);
    if (attached_)
        return;
    LinkTo(target, side);
    attached_ = true;
    Container()->NodeAdded(this);
}

void TBWStructNode::Detach()
{
    if (!attached_)
        return;
    NotifyNodeEvent(necDetaching);
    attached_ = false;
    Container()->NodeRemoved(this);
    Unlink();
}

bool TBWStructNode::Accept(std::uint32_t) const
{
    return true;
}

std::int32_t TBWStructNode::Compare(const TBWComparable* other, TBWKey key) const
{
    if (const auto* node = dynamic_cast<const TBWStructNode*>(other))
        other = node->Item();
    if (!item_ || !other)
        return 0;
    if (key != kDefaultKey)
        return item_->Compare(other, key);
    return CompareOnKeys(item_, other, Container()->ActiveKeys());
}

void TBWStructNode::Assign(const TBWComparable& source)
{
    NotifyNodeEvent(necAssigned);
    TBWComparable::Assign(source);
}

// ---------------------------------------------------------------- TBWStruct

BW_IMPLEMENT_CLASS(TBWStruct, TBWComparable)

TBWStruct::TBWStruct(TBWObject* owner)
    : TBWComparable(owner), nodeClass_(&TBWStructNode::StaticClass()),
      itemClass_(&TBWComparable::StaticClass())
{
}

TBWStruct::~TBWStruct()
{
    // Storage subclasses clear themselves; what is left here are objects
    // that are not linked anywhere. They go while the container can still
    // receive their events.
    currentNode_ = nullptr;
    DestroyOwnedObjects();
}

TBWComparable* TBWStruct::NewItem()
{
    TBWObject* created = itemClass_->Create(this);
    if (!created || !created->InheritsFrom(TBWComparable::StaticClass())) {
        delete created;
        throw EBWClassError(std::string("Item class ") + itemClass_->Name() + " of " + ClassName() +
                            " does not make TBWComparable instances");
    }
    return static_cast<TBWComparable*>(created);
}

TBWStructNode* TBWStruct::NewNode()
{
    TBWObject* created = nodeClass_->Create(this);
    if (!created || !created->InheritsFrom(TBWStructNode::StaticClass())) {
        delete created;
        throw EBWClassError(std::string("Node class ") + nodeClass_->Name() + " of " + ClassName() +
                            " does not make TBWStructNode instances");
    }
    auto* node = static_cast<TBWStructNode*>(created);
    node->NotifyNodeEvent(necCreated);
    return node;
}

TBWComparable* TBWStruct::SearchKey()
{
    if (!searchKey_)
        searchKey_ = NewItem();
    return searchKey_;
}

void TBWStruct::SetSortKeys(std::int32_t index, TBWKeySet keys)
{
    if (index < 0)
        return;
    auto sets = keySets_ ? std::make_shared<TBWKeySets>(*keySets_) : std::make_shared<TBWKeySets>();
    if (index >= SortKeySetCount())
        sets->resize(static_cast<std::size_t>(index) + 1);
    (*sets)[static_cast<std::size_t>(index)] = std::move(keys);
    keySets_ = std::move(sets);
}

const TBWKeySet& TBWStruct::SortKeys(std::int32_t index) const
{
    static const TBWKeySet none;
    return index >= 0 && index < SortKeySetCount() ? (*keySets_)[static_cast<std::size_t>(index)] : none;
}

void TBWStruct::SetDescending(bool descending)
{
    if (descending == descending_)
        return;
    descending_ = descending;
    cursorIndexKnown_ = false;
}

TBWComparable* TBWStruct::MoveCursor(TBWCursorMove kind, std::int32_t index)
{
    BeforeAccess();
    return StepCursor(kind, index);
}

TBWComparable* TBWStruct::StepCursor(TBWCursorMove kind, std::int32_t index)
{
    const std::int32_t count = LiveCount();
    std::int32_t walkIndex = -1;
    switch (kind) {
    case cmFirst: walkIndex = 0; break;
    case cmLast: walkIndex = count - 1; break;
    case cmNext: walkIndex = currentNode_ ? CursorIndex() + 1 : -1; break;
    case cmPrior: walkIndex = currentNode_ ? CursorIndex() - 1 : -1; break;
    case cmAt: walkIndex = index; break;
    }
    if (kind == cmAt && (index < 0 || index >= count)) {
        currentNode_ = nullptr;
    } else if ((kind == cmNext || kind == cmPrior) && !currentNode_) {
        // Stepping from the end stays at the end.
    } else if (descending_) {
        currentNode_ = Move(Mirrored(kind), kind == cmAt ? count - 1 - index : index);
    } else {
        currentNode_ = Move(kind, index);
    }
    cursorIndex_ = currentNode_ ? walkIndex : -1;
    cursorIndexKnown_ = true;
    return GetCurrent();
}

std::int32_t TBWStruct::CursorIndex() const
{
    if (!currentNode_)
        return -1;
    if (!cursorIndexKnown_) {
        const std::int32_t stored = currentNode_->GetIndex();
        cursorIndex_ = descending_ ? LiveCount() - 1 - stored : stored;
        cursorIndexKnown_ = true;
    }
    return cursorIndex_;
}

void TBWStruct::PlaceCursor(TBWStructNode* node)
{
    currentNode_ = node;
    cursorIndex_ = -1;
    cursorIndexKnown_ = node == nullptr;
}

void TBWStruct::AdvancePastCurrent()
{
    if (!currentNode_)
        return;
    currentNode_ = Move(descending_ ? cmPrior : cmNext, 0);
    if (!currentNode_) {
        cursorIndex_ = -1;
        cursorIndexKnown_ = true;
    }
}

void TBWStruct::NoteInsertedAt(std::int32_t storedPosition)
{
    if (!currentNode_ || !cursorIndexKnown_)
        return;
    if (storedPosition < 0) {
        cursorIndexKnown_ = false;
        return;
    }
    const std::int32_t walkPosition = descending_ ? LiveCount() - 1 - storedPosition : storedPosition;
    if (walkPosition <= cursorIndex_)
        ++cursorIndex_;
}

bool TBWStruct::Locate(const TBWComparable* item)
{
    BeforeAccess();
    for (; currentNode_; StepCursor(cmNext))
        if (currentNode_->Item() == item)
            return true;
    return false;
}

std::int32_t TBWStruct::Count()
{
    BeforeAccess();
    return LiveCount();
}

bool TBWStruct::DeleteCurrent()
{
    if (!currentNode_)
        return false;
    currentNode_->Detach();
    return true;
}

bool TBWStruct::DeleteAt(std::int32_t index)
{
    GoTo(index);
    return DeleteCurrent();
}

TBWComparable* TBWStruct::Remove(TBWComparable* item)
{
    bool found = false;
    First();
    while (Locate(item)) {
        DeleteCurrent();
        found = true;
    }
    First();
    return found ? item : nullptr;
}

std::int32_t TBWStruct::IndexOf(const TBWComparable* item)
{
    First();
    return Locate(item) ? CursorIndex() : -1;
}

void TBWStruct::SetCount(std::int32_t) {}

void TBWStruct::Clear()
{
    Iterate([](TBWStructNode* node, std::int32_t) { node->Detach(); });
    currentNode_ = nullptr;
    DestroyOwnedObjects();
    storedCount_ = 0;
    searchKey_ = nullptr;
    cursorIndex_ = -1;
    cursorIndexKnown_ = true;
}

void TBWStruct::DestroyOwnedObjects()
{
    TBWObject* oldest = FirstOwned();
    if (!oldest)
        return;
    while (oldest->NextSibling())
        oldest = oldest->NextSibling();
    while (oldest) {
        TBWObject* newer = oldest->PreviousSibling();
        if (auto* node = dynamic_cast<TBWStructNode*>(oldest)) {
            // Here and not in the node's destructor: unlinking needs the
            // storage's own node class, which is gone by then.
            node->NotifyNodeEvent(necDestroying);
            node->Detach();
        }
        delete oldest;
        oldest = newer;
    }
}

void TBWStruct::Iterate(const NodeCallback& callback)
{
    if (callback)
        ForEachNode(callback);
    else if (OnNodeEvent)
        ForEachNode(OnNodeEvent);
}

void TBWStruct::CopyItemsTo(TBWStruct* destination, std::uint32_t flags)
{
    if (!destination)
        return;
    BeforeAccess();
    for (StepCursor(cmFirst); currentNode_; StepCursor(cmNext)) {
        if (!currentNode_->Accept(flags))
            continue;
        TBWComparable* item = currentNode_->Item();
        if (flags & cfCopyClones) {
            TBWComparable* copy = destination->NewItem();
            if (item)
                copy->Assign(*item);
            destination->Add(copy);
        } else {
            destination->Add(item);
        }
    }
}

void TBWStruct::EndUpdate()
{
    updating_ = false;
    Changed();
}

void TBWStruct::NodeAdded(TBWStructNode*)
{
    ++storedCount_;
}

void TBWStruct::NodeRemoved(TBWStructNode* node)
{
    --storedCount_;
    if (node == currentNode_)
        AdvancePastCurrent();
    else if (currentNode_)
        cursorIndexKnown_ = false;
}

void TBWStruct::BeforeAccess()
{
    if (OnBeforeAccess)
        OnBeforeAccess(this);
}

void TBWStruct::DoNodeEvent(TBWStructNode* node, std::int32_t code)
{
    if (OnNodeEvent)
        OnNodeEvent(node, code);
}
