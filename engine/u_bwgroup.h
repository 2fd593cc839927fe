// The word index of a scan: every word of at least a minimum length with the
// files whose words contain it, and the similar words of each word. The
// engine compares two files only when they share a word or similar words.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "base/u_bwavltree.h"
#include "base/u_bwchain.h"

// An entry of a group: the objects filed under it, in the order they came.
class TBWGroupItem : public TBWComparable {
    BW_CLASS(TBWGroupItem)
public:
    explicit TBWGroupItem(TBWObject* owner = nullptr);

    TBWChain* Objects() const { return objects_; }

private:
    TBWChain* objects_;  // owned through the owner list
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

    // Other entries of the same index.
    TBWChain* SimilarWords() const { return similarWords_; }

    std::string Word;

private:
    TBWChain* similarWords_;  // owned through the owner list
};

class TBWGrpChString : public TBWGroup {
    BW_CLASS(TBWGrpChString)
public:
    // Reports word pairs dealt with while similar words are linked: the
    // number of pairs since the last report. All reports of one linking add
    // up to n(n-1)/2 for n words.
    using ProgressEvent = std::function<void(TBWGrpChString& sender, std::uint64_t pairs)>;

    explicit TBWGrpChString(TBWObject* owner = nullptr);

    void AddObject(TBWObject*) override {}
    // Files object under each of its words in Field that is long enough,
    // once per word.
    void AddWords(TBWWordedComparable* object);
    TBWGrpItString* FindOrAddWord(const std::string& word);
    // The entry of word; none when it is not indexed.
    TBWGrpItString* FindWord(const std::string& word) const;
    // Rebuilds every entry's similar words: the later words (and with
    // Symmetric the earlier ones too) within MaxDistance, in word order.
    void LinkSimilarWords(const ProgressEvent& progress);

    void Clear() override;

    std::int32_t MinWordLength = 3;
    // The largest edit distance and length difference of similar words;
    // 0 or less turns linking off.
    std::int32_t MaxDistance = 1;
    bool Symmetric = false;
    // The field whose words are indexed; -1 all fields.
    std::int32_t Field = -1;

private:
    // Beside the tree: a scan looks a word up once per file that has it.
    std::unordered_map<std::string, TBWGrpItString*> byWord_;
};

// The index of audio files the engine builds.
class TBWGrpChFilename : public TBWGrpChString {
    BW_CLASS(TBWGrpChFilename)
public:
    using TBWGrpChString::TBWGrpChString;

    // Files worded objects (files); anything else is ignored.
    void AddObject(TBWObject* object) override;
};
