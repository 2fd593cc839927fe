// A hash index of model objects by name, kept beside a chain so that finding
// a file or a subdirectory by name costs one lookup instead of a walk, and
// listing a folder of n files stays linear. The directory and the file list
// of u_bwfs keep one each, up to date through their chains' node events.
#pragma once

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "base/u_bwbaseclass.h"

// Names are hashed with a to z folded, so that the one lookup of a name
// yields both its exact match and the names that differ from it only in case.
std::uint64_t FoldedNameHash(std::string_view name);

class TBWNameIndex {
public:
    void Add(std::string_view key, TBWObject* item);
    // Takes item out from under key; when it is not there (its name changed
    // behind the index's back), from wherever it is.
    void Remove(std::string_view key, TBWObject* item);
    // Files item under newKey, but only when it was filed under oldKey: an
    // object that is not listed stays out of the index.
    void Rename(std::string_view oldKey, std::string_view newKey, TBWObject* item);
    // Every item filed under a key that folds like key (and the rare ones
    // whose keys only share its hash), oldest object first. The caller
    // compares the names.
    std::vector<TBWObject*> Candidates(std::string_view key) const;

private:
    bool RemoveFrom(std::uint64_t hash, TBWObject* item);

    std::unordered_multimap<std::uint64_t, TBWObject*> entries_;
};
