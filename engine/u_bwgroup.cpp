#include "engine/u_bwgroup.h"

#include <array>

#include "engine/u_workthreads.h"

BW_IMPLEMENT_CLASS(TBWGroupItem, TBWComparable)

TBWGroupItem::TBWGroupItem(TBWObject* owner) : TBWComparable(owner) {}

void TBWGroupItem::AddObject(TBWComparable* object)
{
    objectList_.push_back(object);
    if (objects_)
        objects_->Add(object);
}

void TBWGroupItem::AddObjects(std::vector<TBWComparable*>&& objects)
{
    if (objects_)
        for (TBWComparable* object : objects)
            objects_->Add(object);
    if (objectList_.empty())
        objectList_ = std::move(objects);
    else
        objectList_.insert(objectList_.end(), objects.begin(), objects.end());
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

template <class Visit>
void TBWGrpChString::ForEachIndexedWord(const TBWWordedComparable& object, const Visit& visit) const
{
    const std::int32_t count = object.WordCount(Field);
    if (count == 0)
        return;  // Field may be beyond the object's fields
    const std::int32_t from = Field < 0 ? 0 : object.FieldStart(Field);
    const std::int32_t end = from + count;
    const TBWWords::TView words = object.WordView();
    for (std::int32_t i = from; i < end; ++i)
        if (static_cast<std::int32_t>(words[i].size()) >= MinWordLength)
            visit(words[i], i);
}

void TBWGrpChString::AddWords(TBWWordedComparable* object)
{
    if (!object)
        return;
    ForEachIndexedWord(*object, [&](std::string_view word, std::int32_t) {
        TBWGrpItString* entry = FindOrAddWord(std::string(word));
        if (entry->ObjectList().empty() || entry->ObjectList().back() != object)
            entry->AddObject(object);
    });
}

namespace {

// Each word belongs to one part by its hash, so that the parts are filled
// on threads without sharing a table.
constexpr std::size_t kWordParts = 64;

std::size_t WordPartOf(std::string_view word)
{
    return std::hash<std::string_view>{}(word) % kWordParts;
}

// A word of an object: the object's place among those filed, the word's
// among its words.
struct TOccurrence {
    std::uint32_t object;
    std::int32_t word;
};
using TOccurrencesByPart = std::array<std::vector<TOccurrence>, kWordParts>;

// The words of one part in the order they first come, each with its
// objects in order, each once.
struct TPartWords {
    std::vector<std::string_view> words;
    std::vector<std::vector<TBWComparable*>> objects;
};
using TWordsByPart = std::array<TPartWords, kWordParts>;

// The words of the occurrences found in blocks of objects, part by part on
// threads.
TWordsByPart WordsOf(std::span<TBWWordedComparable* const> objects, const std::vector<TOccurrencesByPart>& found,
                     unsigned threads)
{
    TWordsByPart parts;
    ForEachIndexOnThreads(kWordParts, threads, [&](std::size_t part) {
        TPartWords& own = parts[part];
        std::unordered_map<std::string_view, std::uint32_t> numberOf;
        for (const TOccurrencesByPart& block : found)
            for (const TOccurrence& occurrence : block[part]) {
                TBWWordedComparable* object = objects[occurrence.object];
                const std::string_view word = object->WordView()[occurrence.word];
                const auto [at, added] = numberOf.try_emplace(word, static_cast<std::uint32_t>(own.words.size()));
                if (added) {
                    own.words.push_back(word);
                    own.objects.emplace_back();
                }
                std::vector<TBWComparable*>& filed = own.objects[at->second];
                if (filed.empty() || filed.back() != object)
                    filed.push_back(object);
            }
    });
    return parts;
}

}  // namespace

void TBWGrpChString::AddWords(std::span<TBWWordedComparable* const> objects, unsigned threads)
{
    constexpr std::size_t kBlock = 1 << 12;
    const std::size_t blocks = (objects.size() + kBlock - 1) / kBlock;
    std::vector<TOccurrencesByPart> found(blocks);
    ForEachIndexOnThreads(blocks, threads, [&](std::size_t block) {
        for (std::size_t place = block * kBlock; place < std::min(objects.size(), (block + 1) * kBlock); ++place)
            if (objects[place])
                ForEachIndexedWord(*objects[place], [&](std::string_view word, std::int32_t at) {
                    found[block][WordPartOf(word)].push_back({static_cast<std::uint32_t>(place), at});
                });
    });
    for (TPartWords& part : WordsOf(objects, found, threads))
        for (std::size_t w = 0; w < part.words.size(); ++w) {
            TBWGrpItString* entry = FindOrAddWord(std::string(part.words[w]));
            std::vector<TBWComparable*>& filed = part.objects[w];
            if (!entry->ObjectList().empty() && entry->ObjectList().back() == filed.front())
                filed.erase(filed.begin());  // filed last before, as AddWords leaves it
            entry->AddObjects(std::move(filed));
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
