#include "engine/u_bwgroup.h"

#include <vector>

#include "engine/SimilarWordLinker.h"

BW_IMPLEMENT_CLASS(TBWGroupItem, TBWComparable)

TBWGroupItem::TBWGroupItem(TBWObject* owner) : TBWComparable(owner), objects_(new TBWChain(this)) {}

BW_IMPLEMENT_CLASS(TBWGroup, TBWAVLTree)

TBWGroup::TBWGroup(TBWObject* owner) : TBWAVLTree(owner)
{
    SetItemClass(TBWGroupItem::StaticClass());
}

BW_IMPLEMENT_CLASS(TBWGrpItString, TBWGroupItem)

TBWGrpItString::TBWGrpItString(TBWObject* owner)
    : TBWGroupItem(owner), similarWords_(new TBWChain(this))
{
}

BW_IMPLEMENT_CLASS(TBWGrpChString, TBWGroup)

TBWGrpChString::TBWGrpChString(TBWObject* owner) : TBWGroup(owner)
{
    SetItemClass(TBWGrpItString::StaticClass());
    SetSortKeys(0, {0});
    SetActiveKeys(0);
}

TBWGrpItString* TBWGrpChString::FindOrAddWord(const std::string& word)
{
    auto [place, added] = byWord_.try_emplace(word, nullptr);
    if (added) {
        auto* entry = new TBWGrpItString(this);
        entry->Word = word;
        Add(entry);
        place->second = entry;
    }
    return place->second;
}

TBWGrpItString* TBWGrpChString::FindWord(const std::string& word) const
{
    const auto found = byWord_.find(word);
    return found == byWord_.end() ? nullptr : found->second;
}

void TBWGrpChString::Clear()
{
    byWord_.clear();
    TBWGroup::Clear();
}

void TBWGrpChString::AddWords(TBWWordedComparable* object)
{
    if (!object)
        return;
    const std::int32_t count = object->WordCount(Field);
    for (std::int32_t i = 0; i < count; ++i) {
        const std::string word = object->GetWord(i, Field);
        if (static_cast<std::int32_t>(word.size()) < MinWordLength)
            continue;
        TBWChain* objects = FindOrAddWord(word)->Objects();
        const TBWChainNode* last = objects->Tail();
        if (!last || last->Item() != object)
            objects->Add(object);
    }
}

void TBWGrpChString::LinkSimilarWords(const ProgressEvent& progress)
{
    std::vector<TBWGrpItString*> entries;
    std::vector<std::string> words;
    for (TBWComparable* item = First(); item; item = Next()) {
        auto* entry = static_cast<TBWGrpItString*>(item);
        entry->SimilarWords()->Clear();
        entries.push_back(entry);
        words.push_back(entry->Word);
    }
    if (MaxDistance <= 0)
        return;

    std::uint64_t reported = 0;
    const auto links = SimilarWordLinker::LinkLaterWords(words, MaxDistance, [&](std::uint64_t done) {
        if (progress)
            progress(*this, done - reported);
        reported = done;
    });
    // Later words are appended in ascending order; with Symmetric an earlier
    // word reaches a word's list before that word's own later ones, so every
    // list ends up in word order, as a walk over every pair leaves it.
    for (std::size_t i = 0; i < entries.size(); ++i)
        for (std::uint32_t j : links[i]) {
            entries[i]->SimilarWords()->Add(entries[j]);
            if (Symmetric)
                entries[j]->SimilarWords()->Add(entries[i]);
        }
}

BW_IMPLEMENT_CLASS(TBWGrpChFilename, TBWGrpChString)

void TBWGrpChFilename::AddObject(TBWObject* object)
{
    AddWords(dynamic_cast<TBWWordedComparable*>(object));
}
