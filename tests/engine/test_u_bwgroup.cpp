#include "engine/u_bwgroup.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "base/u_bwfunc.h"

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

// The linking the index once did: every pair of entries through the tree's
// pair walk, one edit distance each.
std::map<std::string, std::vector<std::string>> LinkByWalkingEveryPair(TBWGrpChString& index)
{
    std::map<std::string, std::vector<std::string>> links;
    index.ForEachPair([&](TBWBTNode* a, TBWBTNode* b) {
        const std::string& x = static_cast<TBWGrpItString*>(a->Item())->Word;
        const std::string& y = static_cast<TBWGrpItString*>(b->Item())->Word;
        const auto difference = static_cast<std::int64_t>(x.size()) - static_cast<std::int64_t>(y.size());
        if (std::abs(difference) <= index.MaxDistance &&
            EditDistance(x, y, 1, 1, 1) <= index.MaxDistance) {
            links[x].push_back(y);
            if (index.Symmetric)
                links[y].push_back(x);
        }
    });
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
            while (index.Count() < 1500) {
                std::string word(3 + random() % 6, 'a');
                for (char& c : word)
                    c = "aeilnorst"[random() % 9];
                index.FindOrAddWord(word);
            }
            std::uint64_t pairs = 0;
            index.LinkSimilarWords([&](TBWGrpChString&, std::uint64_t more) { pairs += more; });
            EXPECT_EQ(pairs, 1500ull * 1499 / 2);

            auto expected = LinkByWalkingEveryPair(index);
            for (const std::string& word : AllWords(index))
                ASSERT_EQ(WordsOf(index.FindOrAddWord(word)->SimilarWords()), expected[word])
                    << word << " distance " << distance << " symmetric " << symmetric;
        }
}
