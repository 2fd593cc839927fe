// The roots of the in-house class library: owned objects, comparables with
// numbered sort keys, and the worded comparable whose similarity score decides
// which files are duplicates. Every container, model object and result entry
// derives from these.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

class TBWObject;

// A class reference: lets a container or file list create items of whatever
// subclass it was given, and lets a comparison ask "is that one of mine".
class TBWClass {
public:
    using Factory = TBWObject* (*)(TBWObject* owner);

    TBWClass(const char* name, const TBWClass* parent, Factory factory)
        : name_(name), parent_(parent), factory_(factory) {}

    const char* Name() const { return name_; }
    const TBWClass* Parent() const { return parent_; }
    bool InheritsFrom(const TBWClass& ancestor) const;
    // The virtual constructor; none for abstract classes.
    TBWObject* Create(TBWObject* owner) const { return factory_ ? factory_(owner) : nullptr; }

private:
    const char* name_;
    const TBWClass* parent_;
    Factory factory_;
};

// Misuse of a class (a clone of the wrong class, copying into a class that
// cannot copy): the message names the classes involved.
class EBWClassError : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

template <class T>
TBWObject* BWFactoryFor(TBWObject* owner)
{
    if constexpr (std::is_abstract_v<T>)
        return nullptr;
    else
        return new T(owner);
}

// Gives a class its class reference. Use once in every class body, then
// BW_IMPLEMENT_CLASS(Self, Parent) once in its .cpp file.
#define BW_CLASS(Self)                                  \
public:                                                 \
    static const TBWClass& StaticClass();               \
    const TBWClass& ClassType() const override { return StaticClass(); }

#define BW_IMPLEMENT_CLASS(Self, Parent)                                       \
    const TBWClass& Self::StaticClass()                                        \
    {                                                                          \
        static const TBWClass info(#Self, &Parent::StaticClass(), &BWFactoryFor<Self>); \
        return info;                                                           \
    }

// An object with an owner and the list of objects it owns. Deleting an object
// takes it out of its owner's list and then deletes what it owns, oldest first.
class TBWObject {
public:
    explicit TBWObject(TBWObject* owner = nullptr);
    virtual ~TBWObject();
    TBWObject(const TBWObject&) = delete;
    TBWObject& operator=(const TBWObject&) = delete;

    static const TBWClass& StaticClass();
    virtual const TBWClass& ClassType() const { return StaticClass(); }
    const char* ClassName() const { return ClassType().Name(); }
    bool InheritsFrom(const TBWClass& ancestor) const { return ClassType().InheritsFrom(ancestor); }

    // A change notice; passed up the owner chain unless a subclass handles it.
    virtual void Changed();

    TBWObject* Owner() const { return owner_; }
    TBWObject* FirstOwned() const { return firstOwned_; }
    TBWObject* NextSibling() const { return nextSibling_; }
    TBWObject* PreviousSibling() const { return previousSibling_; }
    // Identity order: a number given at construction, increasing, never reused.
    std::uint64_t Serial() const { return serial_; }

private:
    void Detach();
    void DeleteOwned();

    TBWObject* owner_ = nullptr;
    TBWObject* firstOwned_ = nullptr;
    TBWObject* lastOwned_ = nullptr;  // the oldest owned object, where freeing starts
    TBWObject* nextSibling_ = nullptr;
    TBWObject* previousSibling_ = nullptr;
    std::uint64_t serial_;
};

// Kinds of a sort key.
enum TBWKeyKind : std::uint8_t {
    kkTextCase = 0,    // bytes compared as they are
    kkTextNoCase = 1,  // a to z folded to upper case, nothing else
    kkInteger = 2,
};

using TBWKey = std::int32_t;
constexpr TBWKey kDefaultKey = -1;

// An object that compares itself with another of its class on numbered keys.
class TBWComparable : public TBWObject {
    BW_CLASS(TBWComparable)
public:
    using TBWObject::TBWObject;

    virtual TBWKey DefaultKey() const { return 0; }
    virtual TBWKeyKind KeyKind(TBWKey) const { return kkInteger; }
    virtual std::string KeyText(TBWKey) const { return {}; }
    virtual std::int64_t KeyInt(TBWKey) const { return 0; }
    // Negative, 0 or positive. 0 when other is none or not of this object's
    // class (or a class derived from it).
    virtual std::int32_t Compare(const TBWComparable* other, TBWKey key = kDefaultKey) const;
    // Copies the state of source; classes that cannot copy raise an error.
    virtual void Assign(const TBWComparable& source);

    // A new object of the same class, owned by newOwner or else by this one's owner.
    TBWComparable* Clone(TBWObject* newOwner = nullptr) const;
};

// The comparison routine of the containers.
std::int32_t CompareItems(const TBWComparable* a, const TBWComparable* b, TBWKey key);

// Ordinal comparison: difference of the first differing bytes, else the sign
// of the difference of the lengths.
std::int32_t CompareTexts(std::string_view a, std::string_view b, bool ignoreCase);

// Word keys name one word of a worded comparable: key kFirstWordKey + i is word i.
constexpr TBWKey kFirstWordKey = 0x10000;

// The words of a text and the last word of each of its fields, in one block
// of memory: the model keeps them for every file, where a list of strings
// would cost several allocations and some two hundred bytes for the few
// words of a file name.
class TBWWords {
public:
    TBWWords() = default;
    // Word i is chars from offsets[i] to offsets[i + 1]; offsets[0] is 0.
    // A field end is the index of the field's last word, -1 before any word.
    TBWWords(std::string_view chars, std::span<const std::int32_t> offsets,
             std::span<const std::int32_t> fieldEnds);
    TBWWords(const TBWWords& other);
    TBWWords& operator=(const TBWWords& other);
    TBWWords(TBWWords&&) noexcept = default;
    TBWWords& operator=(TBWWords&&) noexcept = default;

    std::int32_t Count() const { return block_ ? block_[kCount] : 0; }
    std::int32_t FieldCount() const { return block_ ? block_[kFieldCount] : 0; }
    std::span<const std::int32_t> FieldEnds() const
    {
        return block_ ? std::span<const std::int32_t>(block_.get() + kHeader, FieldCount())
                      : std::span<const std::int32_t>();
    }
    std::int32_t FieldEnd(std::int32_t field) const { return block_[kHeader + field]; }

    // The words alone, found once for a loop that reads many: the scan's
    // scoring reads words millions of times.
    struct TView {
        const std::int32_t* offsets;
        const char* chars;
        std::string_view operator[](std::int32_t index) const
        {
            return {chars + offsets[index], static_cast<std::size_t>(offsets[index + 1] - offsets[index])};
        }
    };
    TView View() const
    {
        if (!block_)
            return {nullptr, nullptr};
        const std::int32_t* offsets = block_.get() + kHeader + block_[kFieldCount];
        return {offsets, reinterpret_cast<const char*>(offsets + block_[kCount] + 1)};
    }
    std::string_view operator[](std::int32_t index) const { return View()[index]; }

private:
    // The block: the word count, the field count, the field ends, the
    // word offsets (one more than the words) and then the bytes of the words.
    static constexpr std::int32_t kCount = 0, kFieldCount = 1, kHeader = 2;

    std::size_t BlockLength() const;

    std::unique_ptr<std::int32_t[]> block_;
};

// A text held as normalised words grouped in fields, scored against another
// as twice the matched words over all words.
class TBWWordedComparable : public TBWComparable {
    BW_CLASS(TBWWordedComparable)
public:
    using TBWComparable::TBWComparable;

    TBWKeyKind KeyKind(TBWKey key) const override;
    std::string KeyText(TBWKey key) const override;
    void Assign(const TBWComparable& source) override;

    // The part of a text whose words count: all of it here.
    virtual std::string_view WordedPart(std::string_view text) const { return text; }

    // Words are the runs of letters and digits of every script and "-" in
    // the worded part, folded (WalkWordChars): ASCII lower-cased, Latin
    // letters without diacritics, others case-folded and composed. Any
    // other character parts them; a run without blanks (a Japanese title)
    // is one word. A word that is "-" alone ends a field.
    void SetText(const std::string& text);
    // The words SetText gives a text whose worded part is part; a pure
    // function, so that they may be found on another thread.
    static TBWWords WordsOf(std::string_view part);
    // Words found by WordsOf.
    void SetWords(TBWWords words) { words_ = std::move(words); }
    // Short as WordLength counts: characters, and never a word with an
    // ideograph or a kana.
    void DropShortWords(std::int32_t minimumLength);

    std::int32_t FieldCount() const { return words_.FieldCount(); }
    // Inline: the scan's scoring asks for counts millions of times.
    std::int32_t WordCount(std::int32_t field = -1) const
    {
        if (field < 0)
            return words_.Count();
        if (field >= FieldCount())
            return 0;
        return std::max(0, words_.FieldEnd(field) - FieldStart(field) + 1);
    }
    std::string GetWord(std::int32_t index, std::int32_t field = -1) const;
    // A copy, for the few readers that want every word as a string.
    std::vector<std::string> Words() const;
    // The words as views, for loops that read many: word i of field f is
    // at FieldStart(f) + i.
    TBWWords::TView WordView() const { return words_.View(); }
    std::int32_t FieldStart(std::int32_t field) const { return field >= 1 ? words_.FieldEnd(field - 1) + 1 : 0; }
    std::span<const std::int32_t> FieldEnds() const { return words_.FieldEnds(); }

    // Greedy: each word of this field takes the first unused matching word of
    // the other's field; never undone, so not always the largest pairing.
    std::int32_t CountMatches(const TBWWordedComparable& other, std::int32_t field,
                              std::int32_t otherField, std::int32_t tolerance) const;
    double Similarity(const TBWWordedComparable* other, bool byField, bool anyFieldOrder,
                      std::int32_t tolerance) const;
    // Whether Similarity(...) >= threshold, giving the same answer without
    // scoring every field once one field decides it.
    bool SimilarAtLeast(const TBWWordedComparable& other, bool byField, bool anyFieldOrder,
                        std::int32_t tolerance, double threshold) const;
    std::string WordsText() const;

private:
    double FieldScore(const TBWWordedComparable& other, std::int32_t field,
                      std::int32_t otherField, std::int32_t tolerance) const;
    double SimilarityInOrder(const TBWWordedComparable& other, std::int32_t tolerance) const;
    double SimilarityAnyOrder(const TBWWordedComparable& other, std::int32_t tolerance) const;
    // A field score reaches threshold only when even all words matching would.
    bool FieldScoreAtLeast(const TBWWordedComparable& other, std::int32_t field,
                           std::int32_t otherField, std::int32_t tolerance, double threshold) const;
    bool AnyOrderAtLeast(const TBWWordedComparable& other, std::int32_t tolerance,
                         double threshold) const;

    TBWWords words_;
};
