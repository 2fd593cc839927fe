#include "model/u_mplio.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <deque>
#include <string>
#include <vector>

#include "tests/support/temp_tree.h"
#include "tests/support/mpl_bytes.h"

namespace {

void WriteGolden(TMplIO& io)
{
    const std::int32_t root = io.WriteDir("@Golden/", 1, {});
    const std::vector<std::int32_t> volumes = {io.WriteDir("CD1", 0, GoldenFiles())};
    io.WriteChildOffsets(root, volumes);
}

std::int32_t WordAt(const std::string& bytes, std::size_t at)
{
    std::uint32_t word = 0;
    for (int i = 3; i >= 0; --i)
        word = (word << 8) | static_cast<std::uint8_t>(bytes[at + static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(word);
}

// Every directory and file the reader reaches from the root record.
struct TReach {
    int dirs = 0;
    int files = 0;
};

TReach ReachAll(TMplIO& io)
{
    TReach reach;
    std::deque<std::int32_t> pending = {0};
    while (!pending.empty()) {
        const std::int32_t offset = pending.front();
        pending.pop_front();
        ++reach.dirs;
        reach.files += static_cast<int>(io.ReadFiles(offset).size());
        for (const TMplDirEntry& dir : io.ReadSubDirs(offset))
            pending.push_back(dir.recordOffset);
    }
    return reach;
}

}  // namespace

TEST(MplWriter, WritesTheGoldenFileByteForByte)
{
    TMplIO io;
    WriteGolden(io);
    std::string bytes;
    ASSERT_TRUE(io.FileBytes(bytes));
    EXPECT_EQ(bytes, TestDataFile("model/golden.mpl"));
}

TEST(MplWriter, LaysOutOneVolumeWithOneFileAsTwoRecords)
{
    TMplIO io;
    const std::int32_t root = io.WriteDir("@L/", 1, {});
    TMplFileRecord file;
    file.name = "a.mp3";
    const std::vector<std::int32_t> volume = {io.WriteDir("V", 0, {{file}})};
    io.WriteChildOffsets(root, volume);
    EXPECT_EQ(io.Records().size(), 16u + 4 + 16 + 56);
    EXPECT_EQ(volume[0], 20);
    EXPECT_EQ(WordAt(io.Records(), 16), 20);
    // The root's name is the first text of the pool.
    EXPECT_EQ(WordAt(io.Records(), 4), 0);
}

TEST(MplWriter, StoresEachTextOnceWithRegardToCase)
{
    TMplIO io;
    const std::int32_t rock = io.WriteString("Rock");
    EXPECT_EQ(rock, 0);
    EXPECT_EQ(io.WriteString("Rock"), rock);
    EXPECT_NE(io.WriteString("rock"), rock);
    EXPECT_EQ(io.WriteString(""), -1);
    EXPECT_EQ(io.Strings(), PoolEntry("Rock") + PoolEntry("rock"));

    TMplIO golden;
    WriteGolden(golden);
    const std::string& records = golden.Records();
    const std::size_t first = 20 + 16, second = first + 56;
    EXPECT_EQ(WordAt(records, first + 24), WordAt(records, second + 24)) << "one artist entry";
    EXPECT_EQ(WordAt(records, second + 28), -1) << "empty album";
}

TEST(MplWriter, KeepsTheReservedHeaderBytesOfTheLastRead)
{
    std::string file = TestDataFile("model/golden.mpl");
    file[2] = '\xAB';
    file[3] = '\xCD';
    TMplIO io;
    io.LoadFromBytes(file);
    io.Clear();
    WriteGolden(io);
    std::string bytes;
    ASSERT_TRUE(io.FileBytes(bytes));
    EXPECT_EQ(bytes.substr(0, 4), std::string("\x5C\x03\xAB\xCD"));
}

TEST(MplReader, ReadsTheGoldenFileBack)
{
    TMplIO io;
    ASSERT_EQ(io.LoadFromBytes(TestDataFile("model/golden.mpl")), msLoaded);
    EXPECT_EQ(io.ReadSubDirs(0), (std::vector<TMplDirEntry>{{"CD1", 20}}));
    EXPECT_EQ(io.ReadFiles(20), GoldenFiles());
    EXPECT_TRUE(io.ReadFiles(0).empty());
    EXPECT_TRUE(io.ReadSubDirs(20).empty());
}

TEST(MplReader, AnswersALoadStateForEveryKindOfFile)
{
    const std::string golden = TestDataFile("model/golden.mpl");
    auto with = [&golden](std::size_t at, char byte) {
        std::string bytes = golden;
        bytes[at] = byte;
        return bytes;
    };
    auto sizes = [&golden](std::int64_t records, std::int64_t strings) {
        return golden.substr(0, 8) + Words({records, strings}) + golden.substr(16);
    };
    const struct {
        const char* what;
        std::string bytes;
        TMplState state;
    } cases[] = {
        {"empty file", "", msMissing},
        {"first byte wrong, version right", with(0, 'X'), msBadMagic},
        {"first byte and version wrong", with(1, 2).replace(0, 1, "X"), msBadMagic},
        {"version 2", with(1, 2), msBadVersion},
        {"a byte of the pool changed", with(golden.size() - 1, 'X'), msBadDigest},
        {"a byte of the records changed", with(40, 9), msBadDigest},
        {"a byte of the digest changed", with(20, 0), msBadDigest},
        {"only the magic", "\x5C", msBadDigest},
        {"header cut short", golden.substr(0, 20), msBadDigest},
        {"sections cut short", golden.substr(0, golden.size() - 1), msBadDigest},
        {"negative records size", sizes(-1, 112), msBadDigest},
        {"negative pool size", sizes(148, -112), msBadDigest},
        {"sizes beyond the file", sizes(0x7FFFFFFF, 0x7FFFFFFF), msBadDigest},
        {"extra bytes after the pool", golden + "trailing bytes", msLoaded},
        {"no sections at all", SealedList("", ""), msLoaded},
        {"the golden file", golden, msLoaded},
    };
    for (const auto& test : cases) {
        TMplIO io;
        EXPECT_EQ(io.LoadFromBytes(test.bytes), test.state) << test.what;
        if (test.state != msLoaded) {
            EXPECT_FALSE(io.HasRecords()) << test.what;
        }
    }
}

TEST(MplReader, TrailingBytesChangeNeitherTheTreeNorTheDigest)
{
    TMplIO io;
    ASSERT_EQ(io.LoadFromBytes(TestDataFile("model/golden.mpl") + std::string(100, '\xFF')), msLoaded);
    EXPECT_EQ(io.ReadFiles(20), GoldenFiles());
}

TEST(MplReader, FilesOnDiskThatAreMissingOrNotFilesCountAsMissing)
{
    TTempTree folder;
    TMplIO io;
    EXPECT_EQ(io.LoadFromFile(folder.Path("none.mpl")), msMissing);
    EXPECT_EQ(io.LoadFromFile(folder.Path()), msMissing);
    folder.WriteFile("empty.mpl", "");
    EXPECT_EQ(io.LoadFromFile(folder.Path("empty.mpl")), msMissing);
    ASSERT_EQ(::mkfifo(folder.Path("pipe.mpl").c_str(), 0600), 0);
    EXPECT_EQ(io.LoadFromFile(folder.Path("pipe.mpl")), msMissing) << "never opened, so never waited on";
}

TEST(MplReader, SavedFilesLoadAndAFailedSaveKeepsTheOldFile)
{
    TTempTree folder;
    TMplIO io;
    WriteGolden(io);
    ASSERT_TRUE(io.SaveToFile(folder.Path("list.mpl")));
    EXPECT_EQ(folder.ReadFile("list.mpl"), TestDataFile("model/golden.mpl"));
    TMplIO reader;
    EXPECT_EQ(reader.LoadFromFile(folder.Path("list.mpl")), msLoaded);

    // A folder in the way of the file makes the rename fail, also for root.
    folder.WriteFile("blocked.mpl/keep", "");
    io.Clear();
    io.WriteDir("@Other/", 0, {});
    EXPECT_FALSE(io.SaveToFile(folder.Path("blocked.mpl")));
    EXPECT_EQ(folder.Names(""), (std::vector<std::string>{"blocked.mpl", "list.mpl"})) << "no temporary file left";
    EXPECT_FALSE(io.Records().empty()) << "the sections stay in memory";
}

TEST(MplReader, ReadsStringsWithinThePoolOnly)
{
    const std::string strings = PoolEntry("Alpha") + PoolEntry(std::string("Be\0ta", 5)) + Words({-5}) +
                                PoolEntry("Caf\xE9") + PoolEntry("Caf\xC3\xA9") + Words({1000}) + "xy";
    TMplIO io;
    ASSERT_EQ(io.LoadFromBytes(SealedList(Words({0, -1, 0, 0}), strings)), msLoaded);
    const struct {
        std::int32_t offset;
        std::string text;
    } cases[] = {
        {0, "Alpha"},
        {9, "Be"},                // ends at the zero byte
        {18, ""},                 // negative length
        {22, "Caf\xC3\xA9"},      // Windows-1252 taken over into UTF-8
        {30, "Caf\xC3\xA9"},      // UTF-8 kept
        {39, ""},                 // length runs past the pool
        {-1, ""},
        {2, ""},                  // inside an entry: the length read there runs past the pool
        {static_cast<std::int32_t>(strings.size()) - 2, ""},  // fewer than 4 bytes left
        {0x7FFFFFFF, ""},
    };
    for (const auto& test : cases)
        EXPECT_EQ(io.ReadString(test.offset), test.text) << "offset " << test.offset;
}

TEST(MplReader, DamagedRecordsGiveWhatIsWholeAndNeverLoop)
{
    const std::string name = PoolEntry("d");
    auto head = [](std::int64_t subDirs, std::int64_t files) { return Words({0, 0, subDirs, files}); };
    const struct {
        const char* what;
        std::string records;
        int dirs;
    } cases[] = {
        {"child pointing back at the root", head(1, 0) + Words({0}), 1},
        {"child pointing at itself", head(1, 0) + Words({20}) + head(1, 0) + Words({20}), 2},
        {"child naming its parent", head(1, 0) + Words({20}) + head(1, 0) + Words({0}), 2},
        {"child before its parent", head(1, 0) + Words({36}) + head(0, 0) + head(1, 0) + Words({20}), 2},
        {"two parents, one child", head(2, 0) + Words({24, 44}) + head(1, 0) + Words({64}) + head(1, 0) +
                                       Words({64}) + head(0, 0),
         4},
        {"one child named twice", head(2, 0) + Words({24, 24}) + head(0, 0), 2},
        {"child past the records", head(1, 0) + Words({1000}), 1},
        {"child off the four-byte grid", head(1, 0) + Words({22}) + Words({0}) + head(0, 0), 1},
        {"child head cut short", head(1, 0) + Words({20}) + Words({0, 0}), 1},
        {"huge subdirectory count", head(0x7FFFFFFF, 0), 1},
        {"negative subdirectory count", head(-1, 0), 1},
        {"huge file count", head(0, 0x7FFFFFFF), 1},
        {"negative file count", head(0, -3), 1},
        {"root head cut short", Words({0, 0}), 1},
    };
    for (const auto& test : cases) {
        TMplIO io;
        ASSERT_EQ(io.LoadFromBytes(SealedList(test.records, name)), msLoaded) << test.what;
        const TReach reach = ReachAll(io);
        EXPECT_EQ(reach.dirs, test.dirs) << test.what;
        EXPECT_EQ(reach.files, 0) << test.what;
    }
}

TEST(MplReader, ARecordReadAgainKeepsItsChildren)
{
    const std::string records = Words({0, 0, 1, 0, 20}) + Words({0, 0, 0, 0});
    TMplIO io;
    ASSERT_EQ(io.LoadFromBytes(SealedList(records, "")), msLoaded);
    EXPECT_EQ(io.ReadSubDirs(0).size(), 1u);
    EXPECT_EQ(io.ReadSubDirs(0).size(), 1u) << "a directory refreshed reads its children again";
}

TEST(MplReader, FileRecordsCutShortGiveNoFiles)
{
    const std::string records = Words({0, 0, 0, 2}) + std::string(56 + 55, '\0');
    TMplIO io;
    ASSERT_EQ(io.LoadFromBytes(SealedList(records, "")), msLoaded);
    EXPECT_TRUE(io.ReadFiles(0).empty());
}
