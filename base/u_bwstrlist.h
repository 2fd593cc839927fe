// The string pool index: each distinct text once, with a number attached (the
// Mp3 List writer keeps the offset of the text's one stored copy there).
// Texts differing in case are different entries.
#pragma once

#include <cstdint>
#include <string>

#include "base/u_bwavltree.h"

class TBWStrData : public TBWComparable {
    BW_CLASS(TBWStrData)
public:
    using TBWComparable::TBWComparable;

    // Key 0: Text, case-sensitive; key 1: Value.
    TBWKeyKind KeyKind(TBWKey key) const override;
    std::string KeyText(TBWKey key) const override;
    std::int64_t KeyInt(TBWKey key) const override;

    std::string Text;
    std::int32_t Value = 0;
};

// Owns its entries: Clear frees them.
class TBWStrList : public TBWAVLTree {
    BW_CLASS(TBWStrList)
public:
    explicit TBWStrList(TBWObject* owner = nullptr);

    // The entry of text; a new one with value when there is none (an
    // existing entry keeps its first value).
    TBWStrData* AddUnique(const std::string& text, std::int32_t value);
    TBWStrData* Find(const std::string& text);
    using TBWAVLTree::Find;
};
