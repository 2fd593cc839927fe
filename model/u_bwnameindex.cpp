#include "model/u_bwnameindex.h"

#include <algorithm>

std::uint64_t FoldedNameHash(std::string_view name)
{
    // FNV-1a over the bytes, a to z taken as A to Z.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        if (byte >= 'a' && byte <= 'z')
            byte = static_cast<unsigned char>(byte - 'a' + 'A');
        hash = (hash ^ byte) * 0x100000001b3ull;
    }
    return hash;
}

void TBWNameIndex::Add(std::string_view key, TBWObject* item)
{
    entries_.emplace(FoldedNameHash(key), item);
}

void TBWNameIndex::Remove(std::string_view key, TBWObject* item)
{
    if (RemoveFrom(FoldedNameHash(key), item))
        return;
    const auto stale = std::find_if(entries_.begin(), entries_.end(),
                                    [item](const auto& entry) { return entry.second == item; });
    if (stale != entries_.end())
        entries_.erase(stale);
}

void TBWNameIndex::Rename(std::string_view oldKey, std::string_view newKey, TBWObject* item)
{
    if (RemoveFrom(FoldedNameHash(oldKey), item))
        Add(newKey, item);
}

std::vector<TBWObject*> TBWNameIndex::Candidates(std::string_view key) const
{
    std::vector<TBWObject*> found;
    const auto [first, last] = entries_.equal_range(FoldedNameHash(key));
    for (auto entry = first; entry != last; ++entry)
        found.push_back(entry->second);
    std::sort(found.begin(), found.end(),
              [](const TBWObject* a, const TBWObject* b) { return a->Serial() < b->Serial(); });
    return found;
}

bool TBWNameIndex::RemoveFrom(std::uint64_t hash, TBWObject* item)
{
    const auto [first, last] = entries_.equal_range(hash);
    for (auto entry = first; entry != last; ++entry) {
        if (entry->second == item) {
            entries_.erase(entry);
            return true;
        }
    }
    return false;
}
