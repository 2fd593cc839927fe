#include "model/u_bwdigest.h"

#include <gtest/gtest.h>

#include <openssl/evp.h>

#include <cstdlib>
#include <string>

#include "model/u_bwfswin.h"
#include "tests/support/temp_tree.h"

namespace {

// MD5 straight from the crypto library, as a check on the unit's own use of it.
TBWDigest ReferenceMd5(const std::string& bytes)
{
    TBWDigest digest{};
    unsigned int size = 0;
    EVP_Digest(bytes.data(), bytes.size(), digest.data(), &size, EVP_md5(), nullptr);
    return digest;
}

// Made on first use, not while the program starts: the test of digests at
// exit needs the crypto library untouched until it runs.
const TBWDigest& EmptyInput()
{
    static const TBWDigest digest = ReferenceMd5("");
    return digest;
}

// Digests when it is freed, as the list manager does when it saves the
// lists at the program's end.
struct TDigestWhenFreed {
    ~TDigestWhenFreed()
    {
        if (Md5Of("") != EmptyInput())
            std::_Exit(3);
    }
};

}  // namespace

TEST(Md5, KnownValuesOfTheStandard)
{
    // RFC 1321, appendix A.5.
    EXPECT_EQ(Md5Of(""), EmptyInput());
    TBWMd5 pieces;
    pieces.Add("message ");
    pieces.Add("digest");
    const TBWDigest digest = pieces.Finish();
    const TBWDigest expected = {0xf9, 0x6b, 0x69, 0x7d, 0x7c, 0xb7, 0x93, 0x8d,
                                0x52, 0x5a, 0x2f, 0x31, 0xaa, 0xf1, 0x61, 0xd0};
    EXPECT_EQ(digest, expected);
}

TEST(Md5DeathTest, DigestsStillWorkWhileTheLastObjectsOfTheProgramAreFreed)
{
    // A fresh process, so this object is made before the library's first use
    // and freed after the exit handlers registered by that use.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static TDigestWhenFreed freedLast;
            Md5Of("first use");
            std::exit(0);
        },
        testing::ExitedWithCode(0), "");
}

TEST(DigestFileWindow, CoversTheWindowOnlyWhenItLiesWhollyInTheFile)
{
    struct Case {
        std::size_t size;
        std::uint64_t offset;
        std::uint32_t maxLength;
        std::size_t from, count;  // the bytes digested; count 0 = empty input
    };
    const Case cases[] = {
        // The model's window: bytes 65,536 to 131,071, or nothing at all.
        {0, DigestOffset, DigestLength, 0, 0},
        {100000, DigestOffset, DigestLength, 0, 0},
        {131071, DigestOffset, DigestLength, 0, 0},
        {131072, DigestOffset, DigestLength, 65536, 65536},
        {200000, DigestOffset, DigestLength, 65536, 65536},
        // The start is rounded down to the allocation granularity.
        {200000, 70000, DigestLength, 65536, 65536},
        {200000, 65535, DigestLength, 0, 65536},
        // A file shorter than maxLength is taken whole, wherever the window
        // starts; from 0 that fits.
        {1000, 0, DigestLength, 0, 1000},
        {1000, 500, DigestLength, 0, 1000},
        // No maxLength: the whole size, which fits only from 0.
        {200000, 0, 0, 0, 200000},
        {200000, DigestOffset, 0, 0, 0},
        // A window that crosses the end, and one past it.
        {150000, 131072, DigestLength, 0, 0},
        {150000, 300000, DigestLength, 0, 0},
    };
    TTempTree tree;
    for (const Case& c : cases) {
        const std::string bytes = PatternBytes(c.size, static_cast<unsigned>(c.size));
        const std::string path = tree.WriteFile("file.bin", bytes);
        const TBWDigest expected = c.count ? ReferenceMd5(bytes.substr(c.from, c.count)) : EmptyInput();
        EXPECT_EQ(DigestFileWindow(path, c.offset, c.maxLength), expected)
            << c.size << " bytes, offset " << c.offset << ", at most " << c.maxLength;
    }
}

TEST(DigestFileWindow, LengthOfABigFileIsItsSizeModulo4GiB)
{
    // Stored digests were made with the low 32 bits of the size: a file of
    // 4 GiB + 100 bytes has a window of 100 bytes.
    TTempTree tree;
    const std::string mark = PatternBytes(200, 7);
    const long long fourGiB = 1LL << 32;
    const std::string justOver = tree.WriteSparseFile("over.bin", fourGiB + 100, 65536, mark);
    EXPECT_EQ(DigestFileWindow(justOver, DigestOffset, DigestLength), ReferenceMd5(mark.substr(0, 100)));

    const std::string large = tree.WriteSparseFile("large.bin", fourGiB + 200000, 65536, mark);
    EXPECT_EQ(DigestFileWindow(large, DigestOffset, DigestLength),
              ReferenceMd5(mark + std::string(65536 - mark.size(), '\0')));
}

TEST(DigestFileWindow, WhatIsNoReadableRegularFileGivesTheDigestOfEmptyInput)
{
    TTempTree tree;
    const std::string bytes = PatternBytes(200000);
    const std::string file = tree.WriteFile("song.mp3", bytes);
    tree.MakeFifo("fifo.mp3");
    tree.MakeFolder("folder.mp3");
    tree.MakeLink("dangling.mp3", tree.Path("gone.mp3"));
    tree.MakeLink("linked.mp3", file);

    // A FIFO is refused without waiting for a writer.
    EXPECT_EQ(DigestFileWindow(tree.Path("fifo.mp3"), 0, DigestLength), EmptyInput());
    EXPECT_EQ(DigestFileWindow(tree.Path("folder.mp3"), 0, DigestLength), EmptyInput());
    EXPECT_EQ(DigestFileWindow(tree.Path("dangling.mp3"), 0, DigestLength), EmptyInput());
    EXPECT_EQ(DigestFileWindow(tree.Path("missing.mp3"), 0, DigestLength), EmptyInput());
    EXPECT_EQ(DigestFileWindow("/dev/zero", 0, DigestLength), EmptyInput());
    // A link to a regular file is read through.
    EXPECT_EQ(DigestFileWindow(tree.Path("linked.mp3"), DigestOffset, DigestLength),
              ReferenceMd5(bytes.substr(65536, 65536)));
}

TEST(DigestFileWindow, FileEntriesDigestTheModelsWindowOnceOnFirstRequest)
{
    TTempTree tree;
    const std::string bytes = PatternBytes(200000);
    tree.WriteFile("music/song.mp3", bytes);
    tree.WriteFile("music/short.mp3", PatternBytes(100000));
    TBWDirWin music;
    music.SetName(tree.Path("music"));
    TBWFile* song = music.Files()->FindByName("song.mp3");
    TBWFile* shortOne = music.Files()->FindByName("short.mp3");
    ASSERT_NE(song, nullptr);
    ASSERT_NE(shortOne, nullptr);

    EXPECT_EQ(song->GetDigest(), ReferenceMd5(bytes.substr(65536, 65536)));
    EXPECT_EQ(shortOne->GetDigest(), EmptyInput());
    EXPECT_EQ(shortOne->DigestHex(), "d41d8cd98f00b204e9800998ecf8427e");
    // Read once: a change on disk afterwards is not seen.
    tree.WriteFile("music/song.mp3", PatternBytes(200000, 9));
    EXPECT_EQ(song->GetDigest(), ReferenceMd5(bytes.substr(65536, 65536)));
}

TEST(LookAtContentPart, TheWindowWhereItLiesInTheFileElseTheWholeFile)
{
    struct Case {
        std::size_t size;
        bool wholeFile;
        std::uint64_t length;
        std::size_t from;  // where the bytes looked at start
    };
    const Case cases[] = {
        {200000, false, 65536, 65536},
        {131072, false, 65536, 65536},
        {131071, true, 131071, 0},
        {1000, true, 1000, 0},
        {0, true, 0, 0},
    };
    TTempTree tree;
    for (const Case& c : cases) {
        const std::string bytes = PatternBytes(c.size, static_cast<unsigned>(c.size));
        const std::string path = tree.WriteFile("file.bin", bytes);
        const std::optional<TBWContentPart> part = LookAtContentPart(path, DigestOffset, DigestLength, 100);
        ASSERT_TRUE(part) << c.size;
        EXPECT_EQ(part->wholeFile, c.wholeFile) << c.size;
        EXPECT_EQ(part->length, c.length) << c.size;
        // The look covers the first bytes of the part: the same bytes
        // elsewhere in a file of another size look the same.
        const std::size_t looked = std::min<std::size_t>(100, c.size);
        std::string moved = bytes.substr(c.from, looked);
        if (!c.wholeFile)
            moved = std::string(65536, 'x') + moved + std::string(70000, 'y');
        const std::string other = tree.WriteFile("other.bin", moved);
        const std::optional<TBWContentPart> same = LookAtContentPart(other, DigestOffset, DigestLength, 100);
        ASSERT_TRUE(same) << c.size;
        EXPECT_EQ(same->startHash, part->startHash) << c.size;
    }
    tree.MakeFolder("folder.mp3");
    EXPECT_FALSE(LookAtContentPart(tree.Path("folder.mp3"), DigestOffset, DigestLength, 100));
    EXPECT_FALSE(LookAtContentPart(tree.Path("missing.mp3"), DigestOffset, DigestLength, 100));
}
