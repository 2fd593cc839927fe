#include "model/u_bwfolderlisting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "model/u_bwfs.h"
#include "tests/model/disk_tree.h"

namespace {

std::vector<std::string> Described(const TBWFolderListing& listing)
{
    std::vector<std::string> described;
    for (const TBWFolderEntry& entry : listing.entries)
        described.push_back(entry.name + ":" + std::to_string(entry.kind));
    return described;
}

// Folders three levels deep, a few files each, a link to a folder.
std::vector<std::string> MakeTree(const TDiskTree& tree)
{
    std::vector<std::string> folders = {tree.Path()};
    for (int a = 0; a < 4; ++a)
        for (int b = 0; b < 3; ++b)
            for (int c = 0; c < 3; ++c) {
                const std::string path = "A" + std::to_string(a) + "/b" + std::to_string(b) + "/C" + std::to_string(c);
                tree.WriteFile(path + "/song " + std::to_string(c) + ".mp3", "x");
                tree.WriteFile(path + "/.hidden.mp3", "x");
            }
    tree.MakeLink("A0/linked", tree.Path("A1"));
    for (int a = 0; a < 4; ++a) {
        const std::string top = tree.Path("A" + std::to_string(a) + "/");
        folders.push_back(top);
        for (int b = 0; b < 3; ++b) {
            folders.push_back(top + "b" + std::to_string(b) + "/");
            for (int c = 0; c < 3; ++c)
                folders.push_back(top + "b" + std::to_string(b) + "/C" + std::to_string(c) + "/");
        }
    }
    folders.push_back(tree.Path("A0/linked/"));
    folders.push_back(tree.Path("no such folder/"));
    return folders;
}

}  // namespace

// Whatever order the walk asks in, and however many threads read ahead,
// every listing is the one the folder gives when listed on its own.
TEST(ListingAhead, GivesEachFolderTheListingItGivesAlone)
{
    TDiskTree tree;
    std::vector<std::string> folders = MakeTree(tree);
    std::vector<std::vector<std::string>> alone;
    for (const std::string& folder : folders)
        alone.push_back(Described(ListFolder(folder)));
    EXPECT_EQ(alone[1], (std::vector<std::string>{"b0:2", "b1:2", "b2:2"}));

    std::mt19937 random(7);
    for (unsigned threads : {1u, 3u, 8u}) {
        for (int order = 0; order < 3; ++order) {
            std::vector<std::size_t> asked(folders.size());
            for (std::size_t i = 0; i < asked.size(); ++i)
                asked[i] = i;
            if (order == 1)
                std::reverse(asked.begin() + 1, asked.end());
            if (order == 2)
                std::shuffle(asked.begin() + 1, asked.end(), random);
            TBWListingAhead ahead(tree.Path(), threads);
            for (std::size_t i : asked)
                EXPECT_EQ(Described(ahead.Take(folders[i])), alone[i]) << folders[i] << " threads " << threads;
            // Taken already: the folder is listed again.
            EXPECT_EQ(Described(ahead.Take(folders[1])), alone[1]);
        }
    }
}

// More folders than may wait to be taken: the threads stop and start again
// as the walk takes them, and every folder is listed once, in full.
TEST(ListingAhead, AWalkOfMoreFoldersThanMayWaitGetsEveryListing)
{
    TDiskTree tree;
    std::vector<std::string> folders;
    for (int a = 0; a < 36; ++a)
        for (int b = 0; b < 32; ++b) {
            const std::string path = "f" + std::to_string(a) + "/g" + std::to_string(b) + "/";
            tree.WriteFile(path + "song.mp3", "x");
            folders.push_back(path);
        }
    TBWListingAhead ahead(tree.Path(), 4);
    ahead.Take(tree.Path());
    for (std::size_t i = 0; i < folders.size(); ++i) {
        if (i % 32 == 0) {
            EXPECT_EQ(ahead.Take(tree.Path(folders[i].substr(0, folders[i].find('/') + 1))).entries.size(), 32u);
        }
        EXPECT_EQ(Described(ahead.Take(tree.Path(folders[i]))), (std::vector<std::string>{"song.mp3:1"})) << folders[i];
    }
}

TEST(ListingAhead, GivenMasksTheFilesCarryTheFirstMaskThatTakesThem)
{
    TDiskTree tree;
    tree.WriteFile("a/One.OGG", "x");
    tree.WriteFile("a/two.mp3", "x");
    tree.WriteFile("a/three", "x");
    tree.WriteFile("a/sub/four.mp3", "x");
    const TBWFileMasks masks("*.mp3;*.ogg;*.*");
    EXPECT_EQ(masks.FirstTaking("One.OGG"), 1);
    EXPECT_EQ(masks.FirstTaking("three"), 2);
    EXPECT_EQ(TBWFileMasks("*.mp3").FirstTaking("One.OGG"), TBWFileMasks::kNone);
    EXPECT_EQ(TBWFileMasks(";;").FirstTaking("two.mp3"), TBWFileMasks::kNone);

    TBWListingAhead ahead(tree.Path(), 2, "*.mp3;*.ogg;*.*");
    for (const std::string folder : {"a/", "a/sub/"}) {
        const TBWFolderListing listing = ahead.Take(tree.Path(folder));
        EXPECT_EQ(listing.maskedWith, "*.mp3;*.ogg;*.*");
        for (const TBWFolderEntry& entry : listing.entries) {
            EXPECT_EQ(entry.mask, entry.kind == ekFile ? masks.FirstTaking(entry.name) : TBWFileMasks::kNone)
                << entry.name;
            EXPECT_EQ(entry.words.Count(), entry.kind == ekFile ? TBWFile::NameWords(entry.name).Count() : 0)
                << entry.name;
        }
    }
}

TEST(ListingAhead, AFolderThatCannotBeListedGivesNothing)
{
    const TBWFolderListing listing = ListFolder("/no/such/folder/");
    EXPECT_TRUE(listing.entries.empty());
    EXPECT_EQ(listing.state.st_ino, 0u);
}
