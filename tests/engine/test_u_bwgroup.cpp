#include "engine/u_bwgroup.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <set>

#include "tests/engine/plain_links.h"

namespace {

std::vector<std::string> WordsOf(TBWChain* chain)
{
    std::vector<std::string> words;
    for (TBWComparable* item = chain->First(); item; item = chain->Next())
        words.push_back(static_cast<TBWGrpItString*>(item)->Word);
    return words;
}

std::vector<TBWComparable*> ObjectsOf(TBWGrpChString& index, const std::string& word)
{
    std::vector<TBWComparable*> objects;
    TBWChain* chain = index.FindOrAddWord(word)->Objects();
    for (TBWComparable* item = chain->First(); item; item = chain->Next())
        objects.push_back(item);
    return objects;
}

std::vector<std::string> AllWords(TBWGrpChString& index)
{
    std::vector<std::string> words;
    for (TBWComparable* item = index.First(); item; item = index.Next())
        words.push_back(static_cast<TBWGrpItString*>(item)->Word);
    return words;
}

// The links the plain walk gives, with Symmetric mirrored in walk order.
std::map<std::string, std::vector<std::string>> PlainLinks(TBWGrpChString& index)
{
    const std::vector<std::string> words = AllWords(index);
    const auto later = LinkEveryPair(words, index.MaxDistance);
    std::map<std::string, std::vector<std::string>> links;
    for (std::size_t a = 0; a < words.size(); ++a)
        for (std::uint32_t b : later[a]) {
            links[words[a]].push_back(words[b]);
            if (index.Symmetric)
                links[words[b]].push_back(words[a]);
        }
    return links;
}

}  // namespace

TEST(WordIndex, FilesAnObjectOnceUnderEachLongEnoughWord)
{
    TBWGrpChFilename index;
    TBWWordedComparable file, other;
    file.SetText("a abcd bc abcd");
    other.SetText("abcd xyz");
    index.AddObject(&file);
    index.AddObject(&other);
    TBWComparable notWorded;
    index.AddObject(&notWorded);  // ignored
    EXPECT_EQ(AllWords(index), (std::vector<std::string>{"abcd", "xyz"}));
    EXPECT_EQ(ObjectsOf(index, "abcd"), (std::vector<TBWComparable*>{&file, &other}));

    // Filed after the chain was read: in the list and the chain alike.
    TBWWordedComparable later;
    later.SetText("xyz abcd");
    index.AddObject(&later);
    const std::vector<TBWComparable*> all{&file, &other, &later};
    EXPECT_EQ(ObjectsOf(index, "abcd"), all);
    EXPECT_EQ(index.FindWord("abcd")->ObjectList(), all);
    EXPECT_EQ(index.FindWord("xyz")->ObjectList(), (std::vector<TBWComparable*>{&other, &later}));
}

TEST(WordIndex, IndexesOnlyTheChosenField)
{
    TBWGrpChFilename index;
    index.Field = 0;
    TBWWordedComparable file;
    file.SetText("Pink Floyd - Wish You Were Here");
    index.AddObject(&file);
    EXPECT_EQ(AllWords(index), (std::vector<std::string>{"floyd", "pink"}));
}

// Every word with its objects, in word order.
std::vector<std::pair<std::string, std::vector<TBWComparable*>>> Filed(TBWGrpChString& index)
{
    std::vector<std::pair<std::string, std::vector<TBWComparable*>>> filed;
    for (TBWComparable* item = index.First(); item; item = index.Next()) {
        const auto* entry = static_cast<TBWGrpItString*>(item);
        filed.emplace_back(entry->Word, entry->ObjectList());
    }
    return filed;
}

TEST(WordIndex, ObjectsFiledTogetherOnThreadsAreFiledAsOneByOne)
{
    // Enough objects for several blocks on several threads; words of every
    // script, repeated within a name, too short, and in other fields.
    std::mt19937 random(7);
    const std::vector<std::string> words{"Beyoncé", "Чайковский", "宇多田ヒカル", "Halo", "Halo", "ab", "Été",
                                         "озеро", "ファースト", "love", "x", "Love"};
    std::vector<std::unique_ptr<TBWWordedComparable>> made;
    for (int i = 0; i < 9000; ++i) {
        std::string text;
        for (int w = static_cast<int>(random() % 7); w > 0; --w)
            text += words[random() % words.size()] + (random() % 4 == 0 ? " - " : " ");
        made.push_back(std::make_unique<TBWWordedComparable>());
        made.back()->SetText(text + std::to_string(random() % 3000));
    }
    for (const std::int32_t field : {-1, 0, 1}) {
        TBWGrpChString oneByOne, together;
        for (TBWGrpChString* index : {&oneByOne, &together}) {
            index->Field = field;
            index->MinWordLength = 3;
        }
        // Filed before: the words met again get the new objects after theirs.
        for (TBWGrpChString* index : {&oneByOne, &together})
            index->AddWords(made.front().get());
        std::vector<TBWWordedComparable*> objects{made.front().get(), nullptr};  // filed again: once
        for (std::size_t i = 1; i < made.size(); ++i) {
            objects.push_back(made[i].get());
            oneByOne.AddWords(made[i].get());
        }
        together.AddWords(objects, 4);
        EXPECT_EQ(Filed(together), Filed(oneByOne)) << "field " << field;
        EXPECT_GT(oneByOne.Count(), 1000) << "field " << field;
    }
}

TEST(WordIndex, LinksWordsWithinTheDistanceAndLengthDifference)
{
    TBWGrpChString index;
    for (const char* word : {"abcd", "abce", "xabcd", "abcdef", "zzzz"})
        index.FindOrAddWord(word);
    index.LinkSimilarWords({});
    EXPECT_EQ(WordsOf(index.FindOrAddWord("abcd")->SimilarWords()),
              (std::vector<std::string>{"abce", "xabcd"}));
    EXPECT_TRUE(WordsOf(index.FindOrAddWord("abce")->SimilarWords()).empty());  // only later words
    EXPECT_TRUE(WordsOf(index.FindOrAddWord("abcdef")->SimilarWords()).empty());

    index.Symmetric = true;
    index.LinkSimilarWords({});
    EXPECT_EQ(WordsOf(index.FindOrAddWord("abce")->SimilarWords()),
              (std::vector<std::string>{"abcd"}));
}

TEST(WordIndex, NoLinksAndNoProgressWhenLinkingIsOffOrThereIsOneWord)
{
    TBWGrpChString index;
    index.FindOrAddWord("abcd");
    index.FindOrAddWord("abce");
    index.LinkSimilarWords({});
    ASSERT_EQ(index.FindOrAddWord("abcd")->SimilarWords()->Count(), 1);

    int reports = 0;
    auto count = [&](TBWGrpChString&, std::uint64_t) { ++reports; };
    index.MaxDistance = 0;
    index.LinkSimilarWords(count);
    EXPECT_EQ(index.FindOrAddWord("abcd")->SimilarWords()->Count(), 0);

    TBWGrpChString single;
    single.FindOrAddWord("only");
    single.LinkSimilarWords(count);
    EXPECT_EQ(reports, 0);
}

TEST(WordIndex, LinksAreThoseOfTheWalkOverEveryPair)
{
    std::mt19937 random(99);
    for (std::int32_t distance = 1; distance <= 3; ++distance)
        for (bool symmetric : {false, true}) {
            TBWGrpChString index;
            index.MaxDistance = distance;
            index.Symmetric = symmetric;
            while (index.Count() < 600) {
                std::string word(3 + random() % 6, 'a');
                for (char& c : word)
                    c = "aeilnorst"[random() % 9];
                index.FindOrAddWord(word);
            }
            std::uint64_t pairs = 0;
            index.LinkSimilarWords([&](TBWGrpChString&, std::uint64_t more) { pairs += more; });
            EXPECT_EQ(pairs, 600ull * 599 / 2);

            auto expected = PlainLinks(index);
            const std::vector<TBWGrpItString*>& entries = index.LinkedEntries();
            ASSERT_EQ(entries.size(), 600u);
            for (std::uint32_t number = 0; number < entries.size(); ++number) {
                const std::string& word = entries[number]->Word;
                std::vector<std::string> byNumber;
                for (std::uint32_t similar : entries[number]->SimilarWordNumbers())
                    byNumber.push_back(entries[similar]->Word);
                ASSERT_EQ(entries[number]->SimilarWordNumbers().size(), index.SimilarWordNumbers(number).size());
                ASSERT_EQ(byNumber, expected[word]) << word << " distance " << distance << " symmetric " << symmetric;
                ASSERT_EQ(WordsOf(entries[number]->SimilarWords()), expected[word]) << word;
            }
        }
}

TEST(WordIndex, AStopDuringLinkingLeavesNoLinksAndALaterLinkingHoldsOnlyItsOwn)
{
    TBWGrpChString index;
    for (const char* word : {"abcd", "abce", "abcf"})
        index.FindOrAddWord(word);
    index.LinkSimilarWords({});
    ASSERT_EQ(WordsOf(index.FindOrAddWord("abcd")->SimilarWords()), (std::vector<std::string>{"abce", "abcf"}));

    // The engine answers a stop by throwing from the report.
    struct Stopped {};
    EXPECT_THROW(index.LinkSimilarWords([](TBWGrpChString&, std::uint64_t) { throw Stopped(); }), Stopped);
    EXPECT_TRUE(WordsOf(index.FindOrAddWord("abcd")->SimilarWords()).empty());
    EXPECT_TRUE(index.FindOrAddWord("abce")->SimilarWordNumbers().empty());

    index.LinkSimilarWords({});
    index.FindOrAddWord("abcc");  // after the linking: none of its own, in no other's list
    EXPECT_TRUE(WordsOf(index.FindOrAddWord("abcc")->SimilarWords()).empty());
    EXPECT_EQ(WordsOf(index.FindOrAddWord("abcd")->SimilarWords()), (std::vector<std::string>{"abce", "abcf"}));
}
