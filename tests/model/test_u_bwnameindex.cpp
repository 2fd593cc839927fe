#include "model/u_bwnameindex.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using Objects = std::vector<TBWObject*>;

struct Made {
    TBWObject* Make()
    {
        objects.push_back(std::make_unique<TBWObject>());
        return objects.back().get();
    }
    std::vector<std::unique_ptr<TBWObject>> objects;
};

}  // namespace

TEST(NameIndex, CandidatesAreTheNamesThatFoldAlikeOldestFirst)
{
    Made made;
    TBWObject* first = made.Make();
    TBWObject* second = made.Make();
    TBWObject* other = made.Make();
    TBWNameIndex index;
    index.Add("Song.mp3", second);
    index.Add("song.MP3", first);
    index.Add("other.mp3", other);
    EXPECT_EQ(index.Candidates("SONG.mp3"), (Objects{first, second}));
    EXPECT_EQ(index.Candidates("other.mp3"), Objects{other});
    EXPECT_TRUE(index.Candidates("song.mp4").empty());
    EXPECT_TRUE(index.Candidates("").empty());
}

TEST(NameIndex, RemoveFindsAnItemFiledUnderAnotherName)
{
    Made made;
    TBWObject* a = made.Make();
    TBWObject* b = made.Make();
    TBWNameIndex index;
    index.Add("a", a);
    index.Add("b", b);
    index.Remove("renamed behind its back", a);
    EXPECT_TRUE(index.Candidates("a").empty());
    index.Remove("b", a);  // not filed any more: nothing happens
    EXPECT_EQ(index.Candidates("b"), Objects{b});
}

TEST(NameIndex, RenameMovesOnlyWhatWasFiled)
{
    Made made;
    TBWObject* listed = made.Make();
    TBWObject* unlisted = made.Make();
    TBWNameIndex index;
    index.Add("old", listed);
    index.Rename("old", "new", listed);
    index.Rename("x", "new", unlisted);
    EXPECT_TRUE(index.Candidates("old").empty());
    EXPECT_EQ(index.Candidates("NEW"), Objects{listed});
}
