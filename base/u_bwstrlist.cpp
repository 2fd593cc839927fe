#include "base/u_bwstrlist.h"

BW_IMPLEMENT_CLASS(TBWStrData, TBWComparable)

TBWKeyKind TBWStrData::KeyKind(TBWKey key) const
{
    return key == 0 ? kkTextCase : TBWComparable::KeyKind(key);
}

std::string TBWStrData::KeyText(TBWKey key) const
{
    return key == 0 ? Text : TBWComparable::KeyText(key);
}

std::int64_t TBWStrData::KeyInt(TBWKey key) const
{
    return key == 1 ? Value : TBWComparable::KeyInt(key);
}

BW_IMPLEMENT_CLASS(TBWStrList, TBWAVLTree)

TBWStrList::TBWStrList(TBWObject* owner) : TBWAVLTree(owner)
{
    SetItemClass(TBWStrData::StaticClass());
    SetSortKeys(0, {0});
    SetActiveKeys(0);
}

TBWStrData* TBWStrList::Find(const std::string& text)
{
    static_cast<TBWStrData*>(SearchKey())->Text = text;
    return static_cast<TBWStrData*>(TBWAVLTree::Find());
}

TBWStrData* TBWStrList::AddUnique(const std::string& text, std::int32_t value)
{
    static_cast<TBWStrData*>(SearchKey())->Text = text;
    return static_cast<TBWStrData*>(FindOrAdd([this, &text, value] {
        auto* entry = new TBWStrData(this);
        entry->Text = text;
        entry->Value = value;
        return entry;
    }));
}
