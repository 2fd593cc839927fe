#include "base/u_bwbaseclass.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "base/u_bwfunc.h"
#include "base/u_bwtoken.h"

namespace {

// Records the order in which objects are freed.
std::vector<std::string>* freedLog = nullptr;

class TLoggedObject : public TBWObject {
public:
    TLoggedObject(TBWObject* owner, std::string name) : TBWObject(owner), name_(std::move(name)) {}
    ~TLoggedObject() override
    {
        if (freedLog)
            freedLog->push_back(name_);
    }

private:
    std::string name_;
};

class TKeyed : public TBWComparable {
    BW_CLASS(TKeyed)
public:
    using TBWComparable::TBWComparable;
    TBWKeyKind KeyKind(TBWKey key) const override { return static_cast<TBWKeyKind>(key); }
    std::string KeyText(TBWKey) const override { return text; }
    std::int64_t KeyInt(TBWKey) const override { return number; }
    TBWKey DefaultKey() const override { return kkInteger; }
    void Assign(const TBWComparable& source) override
    {
        const auto& keyed = dynamic_cast<const TKeyed&>(source);
        text = keyed.text;
        number = keyed.number;
    }

    std::string text;
    std::int64_t number = 0;
};
BW_IMPLEMENT_CLASS(TKeyed, TBWComparable)

class TDerivedKeyed : public TKeyed {
    BW_CLASS(TDerivedKeyed)
public:
    using TKeyed::TKeyed;
};
BW_IMPLEMENT_CLASS(TDerivedKeyed, TKeyed)

class TPlain : public TBWComparable {
    BW_CLASS(TPlain)
public:
    using TBWComparable::TBWComparable;
};
BW_IMPLEMENT_CLASS(TPlain, TBWComparable)

std::vector<const TBWObject*> OwnedList(const TBWObject& owner)
{
    std::vector<const TBWObject*> list;
    for (const TBWObject* o = owner.FirstOwned(); o; o = o->NextSibling())
        list.push_back(o);
    return list;
}

}  // namespace

TEST(OwnerList, NewestIsFirstAndFreeingGoesOldestFirst)
{
    std::vector<std::string> log;
    freedLog = &log;
    auto* owner = new TLoggedObject(nullptr, "owner");
    auto* a = new TLoggedObject(owner, "a");
    auto* b = new TLoggedObject(owner, "b");
    auto* c = new TLoggedObject(owner, "c");
    new TLoggedObject(b, "b1");
    EXPECT_EQ(OwnedList(*owner), (std::vector<const TBWObject*>{c, b, a}));
    delete owner;
    freedLog = nullptr;
    EXPECT_EQ(log, (std::vector<std::string>{"owner", "a", "b", "b1", "c"}));
}

TEST(OwnerList, FreeingAMiddleObjectJoinsItsNeighbours)
{
    TBWObject owner;
    auto* a = new TBWObject(&owner);
    auto* b = new TBWObject(&owner);
    auto* c = new TBWObject(&owner);
    delete b;
    EXPECT_EQ(OwnedList(owner), (std::vector<const TBWObject*>{c, a}));
    EXPECT_EQ(a->PreviousSibling(), c);
    delete c;
    delete a;
    EXPECT_EQ(owner.FirstOwned(), nullptr);
    auto* d = new TBWObject(&owner);  // the emptied list still takes new objects
    EXPECT_EQ(OwnedList(owner), (std::vector<const TBWObject*>{d}));
}

TEST(OwnerList, SerialsFollowConstructionOrder)
{
    TBWObject first, second;
    EXPECT_LT(first.Serial(), second.Serial());
}

TEST(Compare, OrdersByKeyKind)
{
    struct Case {
        TBWKeyKind kind;
        std::string a, b;
        std::int64_t x, y;
        int sign;
    };
    const Case cases[] = {
        {kkTextCase, "abc", "abd", 0, 0, -1},
        {kkTextCase, "abc", "ABC", 0, 0, 1},
        {kkTextCase, "ab", "abc", 0, 0, -1},
        {kkTextNoCase, "abc", "ABC", 0, 0, 0},
        {kkTextNoCase, "\xC9", "\xE9", 0, 0, -1},  // only a to z fold
        {kkInteger, "", "", 5, 7, -1},
        {kkInteger, "", "", INT64_MAX, INT64_MIN, 1},  // no overflow
        {kkInteger, "", "", 3, 3, 0},
    };
    for (const Case& c : cases) {
        TKeyed a, b;
        a.text = c.a;
        b.text = c.b;
        a.number = c.x;
        b.number = c.y;
        const int result = a.Compare(&b, c.kind);
        EXPECT_EQ((result > 0) - (result < 0), c.sign) << c.a << " vs " << c.b << " kind " << int(c.kind);
    }
}

TEST(Compare, UnrelatedOrMissingOthersCompareEqual)
{
    TKeyed keyed;
    keyed.number = 5;
    TDerivedKeyed derived;
    derived.number = 9;
    TPlain plain;
    EXPECT_EQ(keyed.Compare(nullptr), 0);
    EXPECT_EQ(keyed.Compare(&plain), 0);
    EXPECT_LT(keyed.Compare(&derived), 0);      // a subclass of mine compares
    EXPECT_EQ(derived.Compare(&keyed), 0);      // my base class does not
    EXPECT_LT(CompareItems(&keyed, &derived, kDefaultKey), 0);
    TPlain other;
    EXPECT_EQ(plain.Compare(&other), 0);        // no keys overridden: equal
}

TEST(Clone, CopiesIntoTheSameClassAndOwner)
{
    TBWObject owner;
    auto* original = new TDerivedKeyed(&owner);
    original->text = "x";
    TBWComparable* copy = original->Clone();
    EXPECT_STREQ(copy->ClassName(), "TDerivedKeyed");
    EXPECT_EQ(copy->Owner(), &owner);
    EXPECT_EQ(static_cast<TKeyed*>(copy)->text, "x");
}

TEST(Clone, ClassesThatCannotCopyRaiseNamedErrors)
{
    TPlain plain;
    try {
        delete plain.Clone();
        FAIL() << "expected an error";
    } catch (const EBWClassError& error) {
        EXPECT_NE(std::string(error.what()).find("TPlain"), std::string::npos);
    }
    TBWComparable abstractBase;
    EXPECT_THROW(abstractBase.Assign(plain), EBWClassError);
}

// ------------------------------------------------------------ the matcher

namespace {

struct Worded : TBWWordedComparable {
    explicit Worded(const std::string& text) { SetText(text); }
};

std::vector<std::int32_t> EndsOf(const TBWWordedComparable& worded)
{
    return {worded.FieldEnds().begin(), worded.FieldEnds().end()};
}

}  // namespace

TEST(WordedComparable, NormalisesAndSplitsIntoFields)
{
    struct Case {
        std::string text;
        std::vector<std::string> words;
        std::vector<std::int32_t> ends;
    };
    const Case cases[] = {
        {"Track's Name (Live)", {"track", "s", "name", "live"}, {3}},
        {"Caf\xC3\xA9", {"cafe"}, {0}},
        {"rock_n_roll", {"rock", "n", "roll"}, {2}},
        {"Artist_-_Title", {"artist", "title"}, {0, 1}},
        {"A.B.C.", {"a", "b", "c"}, {2}},
        {"Artist - Title", {"artist", "title"}, {0, 1}},
        {"Artist-Title", {"artist-title"}, {0}},
        {"a - - b", {"a", "b"}, {0, 0, 1}},
        {"a b -", {"a", "b"}, {1, 1}},
        {"- a", {"a"}, {0}},
        {"!!!", {}, {}},
        {"AC/DC - Back In Black", {"ac", "dc", "back", "in", "black"}, {1, 4}},
    };
    for (const Case& c : cases) {
        Worded w(c.text);
        EXPECT_EQ(w.Words(), c.words) << c.text;
        EXPECT_EQ(EndsOf(w), c.ends) << c.text;
    }
}

namespace {

// The words as the matcher first defined them, step by step: lower case,
// every other byte a blank, then the blank-separated tokens.
void ReferenceWords(const std::string& text, std::vector<std::string>& words,
                    std::vector<std::int32_t>& ends)
{
    std::string lower = text;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    TBWToken tokens;
    tokens.SetText(RestrictChars(lower, CharSetOf(" -0123456789abcdefghijklmnopqrstuvwxyz"), false, ' '));
    for (std::string token = tokens.First(); !token.empty(); token = tokens.Next()) {
        if (token != "-")
            words.push_back(std::move(token));
        else if (!words.empty())
            ends.push_back(static_cast<std::int32_t>(words.size()) - 1);
    }
    if (!words.empty())
        ends.push_back(static_cast<std::int32_t>(words.size()) - 1);
}

}  // namespace

TEST(WordedComparable, SplitsAsTheStepByStepRule)
{
    // ASCII text gives exactly these words; other scripts have tests of their own.
    const std::string bytes = std::string("aAzZ09-- ,./:_\t\x01\x7F@[`{") + '\0';
    std::mt19937 random(5);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        for (int n = random() % 12; n > 0; --n)
            text += bytes[random() % bytes.size()];
        std::vector<std::string> words;
        std::vector<std::int32_t> ends;
        ReferenceWords(text, words, ends);
        Worded w(text);
        ASSERT_EQ(w.Words(), words) << testing::PrintToString(text);
        ASSERT_EQ(EndsOf(w), ends) << testing::PrintToString(text);
    }
}

TEST(WordedComparable, CountsAndReadsWordsByField)
{
    Worded w("a b - - c d e");
    EXPECT_EQ(w.FieldCount(), 3);
    EXPECT_EQ(w.WordCount(), 5);
    EXPECT_EQ(w.WordCount(0), 2);
    EXPECT_EQ(w.WordCount(1), 0);
    EXPECT_EQ(w.WordCount(2), 3);
    EXPECT_EQ(w.WordCount(3), 0);
    EXPECT_EQ(w.GetWord(0, 2), "c");
    EXPECT_EQ(w.GetWord(1, -1), "b");
    EXPECT_EQ(w.GetWord(5, 1), "");  // past the list
    EXPECT_EQ(w.GetWord(0, 3), "");  // past the fields
    EXPECT_EQ(w.KeyText(kFirstWordKey + 4), "e");
    EXPECT_EQ(w.KeyKind(kFirstWordKey), kkTextCase);
    EXPECT_EQ(w.WordsText(), "[a,b,c,d,e]");
    EXPECT_EQ(Worded("").WordsText(), "[]");
}

TEST(WordedComparable, ReachesEveryWordOfALongText)
{
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "w" + std::to_string(i) + " ";
    Worded w(text);
    ASSERT_EQ(w.WordCount(), 300);
    EXPECT_EQ(w.GetWord(299), "w299");
    EXPECT_EQ(w.KeyText(kFirstWordKey + 256), "w256");
}

TEST(WordedComparable, DropShortWordsRemovesEmptiedFields)
{
    struct Case {
        std::string text;
        std::int32_t minimum;
        std::vector<std::string> words;
        std::vector<std::int32_t> ends;
    };
    const Case cases[] = {
        {"a - bb - ccc", 3, {"ccc"}, {0}},
        {"a - - b", 0, {"a", "b"}, {0, 0, 1}},
        {"a - - b", 1, {"a", "b"}, {0, 1}},
        {"a - bb", 5, {}, {-1}},
        {"xx yy - a - zz", 2, {"xx", "yy", "zz"}, {1, 2}},
        {"a - - b - cc dd", 2, {"cc", "dd"}, {1}},
        {"aa b - cc - d", 2, {"aa", "cc"}, {0, 1}},
    };
    for (const Case& c : cases) {
        Worded w(c.text);
        w.DropShortWords(c.minimum);
        EXPECT_EQ(w.Words(), c.words) << c.text << " min " << c.minimum;
        EXPECT_EQ(EndsOf(w), c.ends) << c.text << " min " << c.minimum;
    }
}

TEST(WordedComparable, SimilarityFollowsTheScoringRules)
{
    struct Case {
        std::string a, b;
        bool byField, anyOrder;
        std::int32_t tolerance;
        double expected;
    };
    const Case cases[] = {
        {"!!!", "...", false, false, 0, 0.0},       // no words: whole text 0
        {"!!!", "...", true, false, 0, 1.0},        // by field: 1
        {"!!!", "...", true, true, 0, 1.0},
        {"a - b", "a b", true, false, 0, 0.0},      // field counts differ
        {"b - a", "a - b", true, true, 0, 1.0},
        {"", "a - b", true, true, 0, 1.0},          // leading side without fields
        {"a - b", "", true, true, 0, 1.0},          // the side with fewer fields leads
        {"remix", "remixx", false, false, 0, 0.0},
        {"remix", "remixx", false, false, 1, 1.0},
        {"la la", "la", false, false, 0, 2.0 / 3},
        {"la", "la la", false, false, 0, 2.0 / 3},
        {"artist - song one", "artist - song two", true, false, 0, 0.5},
        {"artist - song one", "artist - song two", false, false, 0, 4.0 / 6},
        {"x - a b", "a b - x y", true, true, 0, 2.0 / 3},  // x finds x y
        {"Beatles - Yesterday", "beatles - yesterdy", true, false, 1, 1.0},
    };
    for (const Case& c : cases) {
        Worded a(c.a), b(c.b);
        EXPECT_DOUBLE_EQ(a.Similarity(&b, c.byField, c.anyOrder, c.tolerance), c.expected)
            << c.a << " | " << c.b << " byField " << c.byField << " any " << c.anyOrder
            << " t " << c.tolerance;
    }
    Worded a("a");
    EXPECT_EQ(a.Similarity(nullptr, false, false, 0), 0.0);
}

TEST(WordedComparable, MatchingIsGreedyNotBest)
{
    struct Case {
        std::string a, b;
        std::int32_t tolerance, matches;
    };
    const Case cases[] = {
        {"ab ac", "ac ab", 1, 2},
        {"ab ac", "ac ab", 0, 2},
        {"ab cc", "ac ab", 1, 1},  // ab takes ac first; cc is left with ab
        {"la la", "la", 0, 1},
        {"la", "la la", 0, 1},
    };
    for (const Case& c : cases) {
        Worded a(c.a), b(c.b);
        EXPECT_EQ(a.CountMatches(b, -1, -1, c.tolerance), c.matches) << c.a << " | " << c.b;
    }
}

TEST(WordedComparable, ACopyKeepsItsWordsWhenTheSourceChanges)
{
    Worded source("Artist - A Title Long Enough To Leave Any Short String Buffer"), copy("x");
    copy.Assign(source);
    source.SetText("other - words");
    source.DropShortWords(6);
    EXPECT_EQ(copy.Words(), (std::vector<std::string>{"artist", "a", "title", "long", "enough", "to", "leave",
                                                       "any", "short", "string", "buffer"}));
    EXPECT_EQ(EndsOf(copy), (std::vector<std::int32_t>{0, 10}));
    EXPECT_EQ(copy.GetWord(1, 1), "title");
    EXPECT_EQ(source.Words(), (std::vector<std::string>{}));
    EXPECT_EQ(EndsOf(source), (std::vector<std::int32_t>{-1}));
    copy.Assign(copy);
    EXPECT_EQ(copy.WordCount(1), 10);
}

TEST(WordedComparable, AssignCopiesWordsFromWordedSourcesOnly)
{
    Worded source("a - b"), target("x");
    target.Assign(source);
    EXPECT_EQ(target.Words(), source.Words());
    EXPECT_EQ(EndsOf(target), EndsOf(source));
    TPlain plain;
    target.Assign(plain);  // ignored
    EXPECT_EQ(target.WordCount(), 2);
    TBWObject owner;
    auto* clone = static_cast<TBWWordedComparable*>(source.Clone(&owner));
    EXPECT_EQ(clone->WordsText(), "[a,b]");
}

TEST(WordedComparable, SimilarAtLeastAgreesWithSimilarity)
{
    std::mt19937 random(3);
    auto text = [&] {
        std::string t;
        for (int w = random() % 7; w > 0; --w)
            t += random() % 4 == 0 ? "- " : std::string(1 + random() % 3, "abcd"[random() % 4]) + " ";
        return t;
    };
    const double thresholds[] = {0.0, 0.3, 0.5, 2.0 / 3, 0.8, 1.0};
    for (int i = 0; i < 4000; ++i) {
        Worded a(text()), b(text());
        for (bool byField : {false, true})
            for (bool anyOrder : {false, true})
                for (std::int32_t tolerance : {0, 1})
                    for (double threshold : thresholds)
                        ASSERT_EQ(a.SimilarAtLeast(b, byField, anyOrder, tolerance, threshold),
                                  a.Similarity(&b, byField, anyOrder, tolerance) >= threshold)
                            << a.WordsText() << " | " << b.WordsText() << " byField " << byField
                            << " any " << anyOrder << " t " << tolerance << " at " << threshold;
    }
}
