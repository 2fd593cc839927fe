#include "engine/u_bwgroup.h"

BW_IMPLEMENT_CLASS(TBWGroupItem, TBWComparable)

TBWGroupItem::TBWGroupItem(TBWObject* owner) : TBWComparable(owner) {}

void TBWGroupItem::AddObject(TBWComparable* object)
{
    objectList_.push_back(object);
    if (objects_)
        objects_->Add(object);
}

TBWChain* TBWGroupItem::Objects() const
{
    if (!objects_) {
        objects_ = new TBWChain(const_cast<TBWGroupItem*>(this));
        for (TBWComparable* object : objectList_)
            objects_->Add(object);
    }
    return objects_;
}

BW_IMPLEMENT_CLASS(TBWGroup, TBWAVLTree)

TBWGroup::TBWGroup(TBWObject* owner) : TBWAVLTree(owner)
{
    SetItemClass(TBWGroupItem::StaticClass());
}

BW_IMPLEMENT_CLASS(TBWGrpItString, TBWGroupItem)

TBWGrpItString::TBWGrpItString(TBWObject* owner) : TBWGroupItem(owner) {}

TBWChain* TBWGrpItString::SimilarWords() const
{
    if (!similarWords_)
        similarWords_ = new TBWChain(const_cast<TBWGrpItString*>(this));
    if (linkedBy_ && !similarWordsFilled_) {
        similarWordsFilled_ = true;
        for (std::uint32_t similar : SimilarWordNumbers())
            similarWords_->Add(linkedBy_->LinkedEntries()[similar]);
    }
    return similarWords_;
}

std::span<const std::uint32_t> TBWGrpItString::SimilarWordNumbers() const
{
    if (!linkedBy_)
        return {};
    return linkedBy_->SimilarWordNumbers(number_);
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
    linkedEntries_.clear();
    similarWords_ = TWordLinks();
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
        TBWGrpItString* entry = FindOrAddWord(word);
        if (entry->ObjectList().empty() || entry->ObjectList().back() != object)
            entry->AddObject(object);
    }
}

void TBWGrpChString::LinkSimilarWords(const ProgressEvent& progress)
{
    linkedEntries_.clear();
    similarWords_ = TWordLinks();
    std::vector<std::string> words;
    for (TBWComparable* item = First(); item; item = Next()) {
        auto* entry = static_cast<TBWGrpItString*>(item);
        if (entry->similarWordsFilled_)
            entry->similarWords_->Clear();
        entry->similarWordsFilled_ = false;
        entry->linkedBy_ = nullptr;  // until the links are there: a report may end the linking
        linkedEntries_.push_back(entry);
        words.push_back(entry->Word);
    }
    std::uint64_t reported = 0;
    TWordLinks later = TSimilarWordLinker::LinkLaterWords(words, MaxDistance, [&](std::uint64_t done) {
        if (progress)
            progress(*this, done - reported);
        reported = done;
    });
    similarWords_ = Symmetric ? later.Mirrored() : std::move(later);
    for (std::uint32_t number = 0; number < linkedEntries_.size(); ++number) {
        linkedEntries_[number]->linkedBy_ = this;
        linkedEntries_[number]->number_ = number;
    }
}

BW_IMPLEMENT_CLASS(TBWGrpChFilename, TBWGrpChString)

void TBWGrpChFilename::AddObject(TBWObject* object)
{
    AddWords(dynamic_cast<TBWWordedComparable*>(object));
}
