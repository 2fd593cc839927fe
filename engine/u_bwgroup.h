// The word index of a scan: every word of at least a minimum length with the
// files whose words contain it, and the similar words of each word. The
// engine compares two files only when they share a word or similar words.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/u_bwavltree.h"
#include "base/u_bwchain.h"
#include "engine/u_similarwordlinker.h"

class TBWGrpChString;

// An entry of a group: the objects filed under it, in the order they came.
class TBWGroupItem : public TBWComparable {
    BW_CLASS(TBWGroupItem)
public:
    explicit TBWGroupItem(TBWObject* owner = nullptr);

    // Files object under the entry, after the others.
    void AddObject(TBWComparable* object);
    void AddObjects(std::vector<TBWComparable*>&& objects);
    const std::vector<TBWComparable*>& ObjectList() const { return objectList_; }
    // The same objects as a chain to read, made when first asked for: a
    // scan files millions of objects, and a caller that reads the list
    // never pays a node for each. The first call changes the entry and is
    // not to race with another.
    TBWChain* Objects() const;

private:
    std::vector<TBWComparable*> objectList_;
    mutable TBWChain* objects_ = nullptr;  // owned through the owner list
};

// A tree of group entries. Objects are filed through AddObject; the tree's
// own Add inserts entries and is not the way to file an object.
class TBWGroup : public TBWAVLTree {
    BW_CLASS(TBWGroup)
public:
    explicit TBWGroup(TBWObject* owner = nullptr);

    virtual void AddObject(TBWObject* object) = 0;
};

// A word entry. Its keys are all the word, compared byte for byte.
class TBWGrpItString : public TBWGroupItem {
    BW_CLASS(TBWGrpItString)
public:
    explicit TBWGrpItString(TBWObject* owner = nullptr);

    TBWKeyKind KeyKind(TBWKey) const override { return kkTextCase; }
    std::string KeyText(TBWKey) const override { return Word; }

    // Other entries of the same index. The chain is made and filled from
    // the index's links when first asked for after a linking, so a caller
    // that reads the links by number never pays a chain or a node per link;
    // the first call changes the entry and is not to race with another.
    TBWChain* SimilarWords() const;
    // The numbers of the same entries in the index's LinkedEntries.
    std::span<const std::uint32_t> SimilarWordNumbers() const;

    std::string Word;

private:
    friend class TBWGrpChString;

    mutable TBWChain* similarWords_ = nullptr;  // owned through the owner list
    // The index that linked this entry, and the entry's number there; no
    // index before a linking.
    const TBWGrpChString* linkedBy_ = nullptr;
    std::uint32_t number_ = 0;
    mutable bool similarWordsFilled_ = false;
};

class TBWGrpChString : public TBWGroup {
    BW_CLASS(TBWGrpChString)
public:
    // Reports word pairs dealt with while similar words are linked: the
    // number of pairs since the last report, 0 while the words are prepared.
    // All reports of one linking add up to n(n-1)/2 for n words.
    using ProgressEvent = std::function<void(TBWGrpChString& sender, std::uint64_t pairs)>;

    explicit TBWGrpChString(TBWObject* owner = nullptr);

    void AddObject(TBWObject*) override {}
    // Files object under each of its words in Field that is long enough,
    // once per word.
    void AddWords(TBWWordedComparable* object);
    // The same for each of objects in turn, with the words read and looked
    // up on threads (0: one per processor): a scan files millions of words.
    void AddWords(std::span<TBWWordedComparable* const> objects, unsigned threads);
    TBWGrpItString* FindOrAddWord(const std::string& word);
    // The entry of word; none when it is not indexed.
    TBWGrpItString* FindWord(const std::string& word) const;
    // Rebuilds every entry's similar words: the later words (and with
    // Symmetric the earlier ones too) within MaxDistance, in word order.
    // The links hold until the next linking or Clear; words added meanwhile
    // have none.
    void LinkSimilarWords(const ProgressEvent& progress);
    // The entries in word order at the last linking, by their number.
    const std::vector<TBWGrpItString*>& LinkedEntries() const { return linkedEntries_; }
    // The numbers of the similar words of the entry numbered word, in word
    // order: what its SimilarWords chain holds, without the chain.
    std::span<const std::uint32_t> SimilarWordNumbers(std::uint32_t word) const { return similarWords_[word]; }

    void Clear() override;

    std::int32_t MinWordLength = 3;
    // The largest edit distance and length difference of similar words;
    // 0 or less turns linking off.
    std::int32_t MaxDistance = 1;
    bool Symmetric = false;
    // The field whose words are indexed; -1 all fields.
    std::int32_t Field = -1;

private:
    // The words of object that are filed: in Field, long enough; each with
    // its place among the object's words.
    template <class Visit>
    void ForEachIndexedWord(const TBWWordedComparable& object, const Visit& visit) const;

    // Beside the tree: a scan looks a word up once per file that has it.
    std::unordered_map<std::string, TBWGrpItString*> byWord_;
    std::vector<TBWGrpItString*> linkedEntries_;
    TWordLinks similarWords_;
};

// The index of audio files the engine builds.
class TBWGrpChFilename : public TBWGrpChString {
    BW_CLASS(TBWGrpChFilename)
public:
    using TBWGrpChString::TBWGrpChString;

    // Files worded objects (files); anything else is ignored.
    void AddObject(TBWObject* object) override;
};
