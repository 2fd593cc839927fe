#include "base/u_bwbaseclass.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "base/u_bwfunc.h"
#include "base/u_bwunicode.h"

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

namespace {

char AsciiLower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool IsWordByte(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
}

// The words of one text while they are gathered, reused from text to text
// so that a file's words cost the one allocation of their block.
struct TWordScratch {
    std::string chars;
    std::vector<std::int32_t> offsets;
    std::vector<std::int32_t> ends;

    void Clear()
    {
        chars.clear();
        offsets.assign(1, 0);
        ends.clear();
    }
    std::int32_t Count() const { return static_cast<std::int32_t>(offsets.size()) - 1; }
    void Add(std::string_view word)
    {
        chars += word;
        offsets.push_back(static_cast<std::int32_t>(chars.size()));
    }
    void EndField() { ends.push_back(Count() - 1); }
    TBWWords Words() const { return TBWWords(chars, offsets, ends); }
};

// A word just gathered at the end of the scratch's characters: taken, or,
// when it is "-" alone, the end of a field.
void TakeWord(TWordScratch& scratch, std::size_t start)
{
    const std::string_view word = std::string_view(scratch.chars).substr(start);
    if (word != "-") {
        scratch.offsets.push_back(static_cast<std::int32_t>(scratch.chars.size()));
        return;
    }
    scratch.chars.resize(start);
    if (scratch.Count() > 0)
        scratch.EndField();
}

void AddAsciiWords(std::string_view part, TWordScratch& scratch)
{
    std::size_t i = 0;
    while (i < part.size()) {
        if (!IsWordByte(AsciiLower(part[i]))) {
            ++i;
            continue;
        }
        const std::size_t start = i, at = scratch.chars.size();
        while (i < part.size() && IsWordByte(AsciiLower(part[i])))
            ++i;
        scratch.chars.append(part.substr(start, i - start));
        std::transform(scratch.chars.begin() + static_cast<std::ptrdiff_t>(at), scratch.chars.end(),
                       scratch.chars.begin() + static_cast<std::ptrdiff_t>(at), AsciiLower);
        TakeWord(scratch, at);
    }
}

void AddWordsOfEveryScript(std::string_view part, TWordScratch& scratch)
{
    thread_local std::string composed;
    std::size_t start = scratch.chars.size();
    bool inWord = false, composes = false;
    auto endWord = [&] {
        if (!inWord)
            return;
        if (composes) {
            composed.assign(scratch.chars, start);
            ComposeWord(composed);
            scratch.chars.replace(start, std::string::npos, composed);
        }
        TakeWord(scratch, start);
        inWord = composes = false;
    };
    WalkWordChars(
        part,
        [&](std::string_view folded, bool needsComposing) {
            if (!inWord)
                start = scratch.chars.size();
            inWord = true;
            composes = composes || needsComposing;
            scratch.chars.append(folded);
        },
        [&](char32_t) { endWord(); });
    endWord();
}

TWordScratch& Scratch()
{
    thread_local TWordScratch scratch;
    scratch.Clear();
    return scratch;
}

// A field that lost all its words goes, but the last one stays, so that a
// text of short words alone still has its one field.
void DropEmptyFields(std::vector<std::int32_t>& ends)
{
    if (ends.size() < 2)
        return;
    std::size_t kept = 0;
    for (std::size_t i = 0; i + 1 < ends.size(); ++i)
        if (ends[i] >= 0 && ends[i] < ends[i + 1])
            ends[kept++] = ends[i];
    ends[kept++] = ends.back();
    ends.resize(kept);
}

}  // namespace

// ----------------------------------------------------------------- TBWWords

TBWWords::TBWWords(std::string_view chars, std::span<const std::int32_t> offsets,
                   std::span<const std::int32_t> fieldEnds)
{
    const auto count = static_cast<std::int32_t>(offsets.size()) - 1;
    if (count <= 0 && fieldEnds.empty())
        return;
    const std::size_t numbers = kHeader + fieldEnds.size() + offsets.size();
    block_.reset(new std::int32_t[numbers + (chars.size() + 3) / 4]);
    block_[kCount] = count;
    block_[kFieldCount] = static_cast<std::int32_t>(fieldEnds.size());
    std::copy(fieldEnds.begin(), fieldEnds.end(), block_.get() + kHeader);
    std::copy(offsets.begin(), offsets.end(), block_.get() + kHeader + fieldEnds.size());
    std::memcpy(block_.get() + numbers, chars.data(), chars.size());
}

TBWWords::TBWWords(const TBWWords& other)
{
    *this = other;
}

TBWWords& TBWWords::operator=(const TBWWords& other)
{
    if (this == &other)
        return *this;
    if (!other.block_) {
        block_.reset();
        return *this;
    }
    const std::size_t length = other.BlockLength();
    block_.reset(new std::int32_t[length]);
    std::memcpy(block_.get(), other.block_.get(), length * sizeof(std::int32_t));
    return *this;
}

std::size_t TBWWords::BlockLength() const
{
    const std::size_t numbers = kHeader + block_[kFieldCount] + block_[kCount] + 1;
    const auto chars = static_cast<std::size_t>(block_[numbers - 1]);
    return numbers + (chars + 3) / 4;
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
    const std::int32_t index = key - kFirstWordKey;
    return index < words_.Count() ? std::string(words_[index]) : std::string();
}

void TBWWordedComparable::Assign(const TBWComparable& source)
{
    if (const auto* worded = dynamic_cast<const TBWWordedComparable*>(&source))
        words_ = worded->words_;
}

void TBWWordedComparable::SetText(const std::string& text)
{
    words_ = WordsOf(WordedPart(text));
}

TBWWords TBWWordedComparable::WordsOf(std::string_view part)
{
    // One pass straight into the words: every file name added to the model
    // comes through here, so no normalised copy of the text is made.
    TWordScratch& scratch = Scratch();
    if (IsAsciiText(part))
        AddAsciiWords(part, scratch);
    else
        AddWordsOfEveryScript(part, scratch);
    if (scratch.Count() > 0)
        scratch.EndField();
    return scratch.Words();
}

void TBWWordedComparable::DropShortWords(std::int32_t minimumLength)
{
    if (minimumLength <= 0)
        return;
    // Each field end follows its last word kept, -1 when none before it is.
    TWordScratch& scratch = Scratch();
    const std::span<const std::int32_t> ends = words_.FieldEnds();
    scratch.ends.assign(ends.begin(), ends.end());
    std::size_t nextEnd = 0;
    for (std::int32_t i = 0; i < words_.Count(); ++i) {
        if (WordLength(words_[i]) >= minimumLength)
            scratch.Add(words_[i]);
        for (; nextEnd < scratch.ends.size() && scratch.ends[nextEnd] == i; ++nextEnd)
            scratch.ends[nextEnd] = scratch.Count() - 1;
    }
    DropEmptyFields(scratch.ends);
    words_ = scratch.Words();
}

std::string TBWWordedComparable::GetWord(std::int32_t index, std::int32_t field) const
{
    if (field >= FieldCount())
        return {};
    const std::int64_t position = static_cast<std::int64_t>(FieldStart(field)) + index;
    if (position < 0 || position >= words_.Count())
        return {};
    return std::string(words_[static_cast<std::int32_t>(position)]);
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

    const TBWWords::TView words = words_.View(), otherWords = other.words_.View();
    auto matches = [&](std::string_view word, std::string_view candidate) {
        return tolerance <= 0 ? word == candidate : WithinEditDistance(word, candidate, tolerance);
    };
    std::int32_t count = 0;
    if (otherCount <= 64) {
        // The scan's innermost loop: used flags in one word, nothing allocated.
        std::uint64_t used = 0;
        for (std::int32_t i = 0; i < mine; ++i) {
            const std::string_view word = words[start + i];
            for (std::int32_t j = 0; j < otherCount; ++j)
                if (!(used >> j & 1) && matches(word, otherWords[otherStart + j])) {
                    used |= std::uint64_t{1} << j;
                    ++count;
                    break;
                }
        }
        return count;
    }
    std::vector<char> used(static_cast<std::size_t>(otherCount), 0);
    for (std::int32_t i = 0; i < mine; ++i)
        for (std::int32_t j = 0; j < otherCount; ++j)
            if (!used[j] && matches(words[start + i], otherWords[otherStart + j])) {
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

std::vector<std::string> TBWWordedComparable::Words() const
{
    std::vector<std::string> words;
    words.reserve(static_cast<std::size_t>(words_.Count()));
    for (std::int32_t i = 0; i < words_.Count(); ++i)
        words.emplace_back(words_[i]);
    return words;
}

std::string TBWWordedComparable::WordsText() const
{
    return JoinBracketed(Words());
}
