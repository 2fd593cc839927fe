// The folders and file entries alive below an object of the model, listed
// or retired: what tests of the model's memory count.
#pragma once

#include <utility>

#include "model/u_bwfs.h"

// (folders, file entries) owned below owner, at any depth.
inline std::pair<int, int> LiveFoldersAndFiles(const TBWObject& owner)
{
    std::pair<int, int> live;
    for (TBWObject* owned = owner.FirstOwned(); owned; owned = owned->NextSibling()) {
        live.first += owned->InheritsFrom(TBWDirectory::StaticClass()) ? 1 : 0;
        live.second += owned->InheritsFrom(TBWFile::StaticClass()) ? 1 : 0;
        const std::pair<int, int> below = LiveFoldersAndFiles(*owned);
        live.first += below.first;
        live.second += below.second;
    }
    return live;
}
