#include "base/u_bwbaseclass.h"

#include <algorithm>
#include <atomic>

#include "base/u_bwfunc.h"

namespace {

std::atomic<std::uint64_t> nextSerial{1};

unsigned char FoldAsciiUpper(unsigned char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

}  // namespace

bool TBWClass::InheritsFrom(const TBWClass& ancestor) const
{
    for (const TBWClass* c = this; c; c = c->parent_)
        if (c == &ancestor)
            return true;
    return false;
}

// ---------------------------------------------------------------- TBWObject

const TBWClass& TBWObject::StaticClass()
{
    static const TBWClass info("TBWObject", nullptr, &BWFactoryFor<TBWObject>);
    return info;
}

TBWObject::TBWObject(TBWObject* owner) : owner_(owner), serial_(nextSerial.fetch_add(1))
{
    if (!owner_)
        return;
    nextSibling_ = owner_->firstOwned_;
    if (nextSibling_)
        nextSibling_->previousSibling_ = this;
    else
        owner_->lastOwned_ = this;
    owner_->firstOwned_ = this;
}

TBWObject::~TBWObject()
{
    Detach();
    DeleteOwned();
}

void TBWObject::Changed()
{
    if (owner_)
        owner_->Changed();
}

void TBWObject::Detach()
{
    if (!owner_)
        return;
    if (owner_->firstOwned_ == this)
        owner_->firstOwned_ = nextSibling_;
    if (owner_->lastOwned_ == this)
        owner_->lastOwned_ = previousSibling_;
    if (previousSibling_)
        previousSibling_->nextSibling_ = nextSibling_;
    if (nextSibling_)
        nextSibling_->previousSibling_ = previousSibling_;
    nextSibling_ = previousSibling_ = nullptr;
    owner_ = nullptr;
}

void TBWObject::DeleteOwned()
{
    // Oldest first: the tail of the list, walking back to its head. Each
    // deleted object takes itself out of the list.
    TBWObject* object = lastOwned_;
    while (object && object->owner_ == this) {
        TBWObject* newer = object->previousSibling_;
        delete object;
        object = newer;
    }
    firstOwned_ = lastOwned_ = nullptr;
}

// ------------------------------------------------------------ TBWComparable

BW_IMPLEMENT_CLASS(TBWComparable, TBWObject)

std::int32_t CompareTexts(std::string_view a, std::string_view b, bool ignoreCase)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (ignoreCase) {
            x = FoldAsciiUpper(x);
            y = FoldAsciiUpper(y);
        }
        if (x != y)
            return static_cast<std::int32_t>(x) - static_cast<std::int32_t>(y);
    }
    return (a.size() > b.size()) - (a.size() < b.size());
}

std::int32_t TBWComparable::Compare(const TBWComparable* other, TBWKey key) const
{
    if (key == kDefaultKey)
        key = DefaultKey();
    if (!other || !other->InheritsFrom(ClassType()))
        return 0;
    switch (KeyKind(key)) {
    case kkTextCase:
        return CompareTexts(KeyText(key), other->KeyText(key), false);
    case kkTextNoCase:
        return CompareTexts(KeyText(key), other->KeyText(key), true);
    case kkInteger: {
        const std::int64_t mine = KeyInt(key), theirs = other->KeyInt(key);
        return (mine > theirs) - (mine < theirs);
    }
    }
    return 0;
}

void TBWComparable::Assign(const TBWComparable&)
{
    throw EBWClassError(std::string("Abstract method called: ") + ClassName() + " cannot be assigned");
}

TBWComparable* TBWComparable::Clone(TBWObject* newOwner) const
{
    TBWObject* created = ClassType().Create(newOwner ? newOwner : Owner());
    if (!created)
        throw EBWClassError(std::string("An instance of ") + ClassName() +
                            " should have been created but hasn't");
    if (!created->InheritsFrom(ClassType())) {
        const std::string message = std::string("The classtype ") + created->ClassName() +
                                    " is not in base class type " + ClassName();
        delete created;
        throw EBWClassError(message);
    }
    auto* copy = static_cast<TBWComparable*>(created);
    try {
        copy->Assign(*this);
    } catch (...) {
        delete copy;
        throw;
    }
    return copy;
}

std::int32_t CompareItems(const TBWComparable* a, const TBWComparable* b, TBWKey key)
{
    return a ? a->Compare(b, key) : 0;
}

// ------------------------------------------------------ TBWWordedComparable

BW_IMPLEMENT_CLASS(TBWWordedComparable, TBWComparable)

TBWKeyKind TBWWordedComparable::KeyKind(TBWKey key) const
{
    return key >= kFirstWordKey ? kkTextCase : TBWComparable::KeyKind(key);
}

std::string TBWWordedComparable::KeyText(TBWKey key) const
{
    if (key < kFirstWordKey)
        return TBWComparable::KeyText(key);
    const std::size_t index = static_cast<std::size_t>(key - kFirstWordKey);
    return index < words_.size() ? words_[index] : std::string();
}

void TBWWordedComparable::Assign(const TBWComparable& source)
{
    if (const auto* worded = dynamic_cast<const TBWWordedComparable*>(&source)) {
        words_ = worded->words_;
        fieldEnds_ = worded->fieldEnds_;
    }
}

namespace {

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsWordByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// How many words (and field marks) a text holds: reserving them at once
// spares the growing of the word list, one allocation after another.
std::size_t WordStarts(std::string_view text)
{
    std::size_t count = 0;
    bool inWord = false;
    for (char c : text) {
        const bool wordByte = IsWordByte(AsciiLower(c));
        count += wordByte && !inWord;
        inWord = wordByte;
    }
    return count;
}

}  // namespace

void TBWWordedComparable::SetText(const std::string& text)
{
    words_.clear();
    fieldEnds_.clear();
    // One pass straight into the words: every file name added to the model
    // comes through here, so no normalised copy of the text is made.
    const std::string_view part = WordedPart(text);
    words_.reserve(WordStarts(part));
    std::size_t i = 0;
    while (i < part.size()) {
        if (!IsWordByte(AsciiLower(part[i]))) {
            ++i;
            continue;
        }
        const std::size_t start = i;
        while (i < part.size() && IsWordByte(AsciiLower(part[i])))
            ++i;
        const std::string_view word = part.substr(start, i - start);
        if (word != "-") {
            std::string& added = words_.emplace_back(word);
            std::transform(added.begin(), added.end(), added.begin(), AsciiLower);
        } else if (!words_.empty()) {
            fieldEnds_.push_back(static_cast<std::int32_t>(words_.size()) - 1);
        }
    }
    if (!words_.empty())
        fieldEnds_.push_back(static_cast<std::int32_t>(words_.size()) - 1);
}

void TBWWordedComparable::DropShortWords(std::int32_t minimumLength)
{
    if (minimumLength <= 0)
        return;
    // In place, since every file of a scan comes through here: the words
    // kept move to the front and each field end follows its last word
    // (-1 when none of the words before it is kept).
    std::size_t kept = 0;
    std::size_t nextEnd = 0;
    for (std::size_t i = 0; i < words_.size(); ++i) {
        if (static_cast<std::int32_t>(words_[i].size()) >= minimumLength) {
            if (kept != i)
                words_[kept] = std::move(words_[i]);
            ++kept;
        }
        for (; nextEnd < fieldEnds_.size() && fieldEnds_[nextEnd] == static_cast<std::int32_t>(i); ++nextEnd)
            fieldEnds_[nextEnd] = static_cast<std::int32_t>(kept) - 1;
    }
    words_.resize(kept);
    // The list lives as long as the file: it keeps no room for the words dropped.
    words_.shrink_to_fit();
    DropEmptyFields();
}

void TBWWordedComparable::DropEmptyFields()
{
    // A field that lost all its words goes, but the last one stays, so that
    // a text of short words alone still has its one field.
    if (fieldEnds_.size() < 2)
        return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i + 1 < fieldEnds_.size(); ++i)
        if (fieldEnds_[i] >= 0 && fieldEnds_[i] < fieldEnds_[i + 1])
            fieldEnds_[kept++] = fieldEnds_[i];
    fieldEnds_[kept++] = fieldEnds_.back();
    fieldEnds_.resize(kept);
}

std::string TBWWordedComparable::GetWord(std::int32_t index, std::int32_t field) const
{
    if (field >= FieldCount())
        return {};
    const std::int64_t position = static_cast<std::int64_t>(FieldStart(field)) + index;
    if (position < 0 || position >= static_cast<std::int64_t>(words_.size()))
        return {};
    return words_[static_cast<std::size_t>(position)];
}

std::int32_t TBWWordedComparable::CountMatches(const TBWWordedComparable& other,
                                               std::int32_t field, std::int32_t otherField,
                                               std::int32_t tolerance) const
{
    const std::int32_t mine = WordCount(field), otherCount = other.WordCount(otherField);
    if (mine == 0 || otherCount == 0)
        return 0;
    const std::int32_t start = field < 0 ? 0 : FieldStart(field);
    const std::int32_t otherStart = otherField < 0 ? 0 : other.FieldStart(otherField);

    auto matches = [&](const std::string& word, const std::string& candidate) {
        return tolerance <= 0 ? word == candidate : WithinEditDistance(word, candidate, tolerance);
    };
    std::int32_t count = 0;
    if (otherCount <= 64) {
        // The scan's innermost loop: used flags in one word, nothing allocated.
        std::uint64_t used = 0;
        for (std::int32_t i = 0; i < mine; ++i)
            for (std::int32_t j = 0; j < otherCount; ++j)
                if (!(used >> j & 1) && matches(words_[start + i], other.words_[otherStart + j])) {
                    used |= std::uint64_t{1} << j;
                    ++count;
                    break;
                }
        return count;
    }
    std::vector<char> used(static_cast<std::size_t>(otherCount), 0);
    for (std::int32_t i = 0; i < mine; ++i)
        for (std::int32_t j = 0; j < otherCount; ++j)
            if (!used[j] && matches(words_[start + i], other.words_[otherStart + j])) {
                used[j] = 1;
                ++count;
                break;
            }
    return count;
}

double TBWWordedComparable::FieldScore(const TBWWordedComparable& other, std::int32_t field,
                                       std::int32_t otherField, std::int32_t tolerance) const
{
    const std::int32_t total = WordCount(field) + other.WordCount(otherField);
    if (total == 0)
        return 1.0;
    return 2.0 * CountMatches(other, field, otherField, tolerance) / total;
}

double TBWWordedComparable::SimilarityInOrder(const TBWWordedComparable& other,
                                              std::int32_t tolerance) const
{
    if (FieldCount() != other.FieldCount())
        return 0.0;
    double result = 1.0;
    for (std::int32_t i = 0; i < FieldCount(); ++i)
        result = std::min(result, FieldScore(other, i, i, tolerance));
    return result;
}

double TBWWordedComparable::SimilarityAnyOrder(const TBWWordedComparable& other,
                                               std::int32_t tolerance) const
{
    if (FieldCount() > other.FieldCount())
        return other.SimilarityAnyOrder(*this, tolerance);
    double result = 1.0;
    for (std::int32_t i = 0; i < FieldCount(); ++i) {
        double best = 0.0;
        for (std::int32_t j = 0; j < other.FieldCount(); ++j)
            best = std::max(best, FieldScore(other, i, j, tolerance));
        result = std::min(result, best);
    }
    return result;
}

double TBWWordedComparable::Similarity(const TBWWordedComparable* other, bool byField,
                                       bool anyFieldOrder, std::int32_t tolerance) const
{
    if (!other)
        return 0.0;
    if (!byField) {
        const std::int32_t total = WordCount() + other->WordCount();
        return total == 0 ? 0.0 : 2.0 * CountMatches(*other, -1, -1, tolerance) / total;
    }
    return anyFieldOrder ? SimilarityAnyOrder(*other, tolerance)
                         : SimilarityInOrder(*other, tolerance);
}

bool TBWWordedComparable::FieldScoreAtLeast(const TBWWordedComparable& other, std::int32_t field,
                                            std::int32_t otherField, std::int32_t tolerance,
                                            double threshold) const
{
    const std::int32_t mine = WordCount(field), theirs = other.WordCount(otherField);
    if (mine + theirs > 0 && 2.0 * std::min(mine, theirs) / (mine + theirs) < threshold)
        return false;
    return FieldScore(other, field, otherField, tolerance) >= threshold;
}

bool TBWWordedComparable::AnyOrderAtLeast(const TBWWordedComparable& other, std::int32_t tolerance,
                                          double threshold) const
{
    if (FieldCount() > other.FieldCount())
        return other.AnyOrderAtLeast(*this, tolerance, threshold);
    for (std::int32_t i = 0; i < FieldCount(); ++i) {
        bool found = false;
        for (std::int32_t j = 0; j < other.FieldCount() && !found; ++j)
            found = FieldScoreAtLeast(other, i, j, tolerance, threshold);
        if (!found)
            return false;
    }
    return FieldCount() > 0 || 1.0 >= threshold;
}

bool TBWWordedComparable::SimilarAtLeast(const TBWWordedComparable& other, bool byField,
                                         bool anyFieldOrder, std::int32_t tolerance,
                                         double threshold) const
{
    if (!byField)
        return WordCount() + other.WordCount() == 0
                   ? 0.0 >= threshold
                   : FieldScoreAtLeast(other, -1, -1, tolerance, threshold);
    if (anyFieldOrder)
        return AnyOrderAtLeast(other, tolerance, threshold);
    if (FieldCount() != other.FieldCount())
        return 0.0 >= threshold;
    for (std::int32_t i = 0; i < FieldCount(); ++i)
        if (!FieldScoreAtLeast(other, i, i, tolerance, threshold))
            return false;
    return FieldCount() > 0 || 1.0 >= threshold;
}

std::string TBWWordedComparable::WordsText() const
{
    return JoinBracketed(words_);
}
