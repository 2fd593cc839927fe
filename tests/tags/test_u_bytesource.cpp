#include "tags/u_bytesource.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/u_bwstop.h"
#include "tags/u_binaryview.h"
#include "tags/ID3v1.h"
#include "tags/MPEGaudio.h"
#include "tests/support/tag_bytes.h"

namespace {

TEST(BinaryView, ReadsOutsideTheBytesGiveZerosOrNothing)
{
    const TBytes bytes = {0x12, 0x34, 0x56, 0x78};
    const TBinaryView view(bytes);
    EXPECT_EQ(view.u16le(0), 0x3412);
    EXPECT_EQ(view.u24be(1), 0x345678u);
    EXPECT_EQ(view.u32be(0), 0x12345678u);
    EXPECT_EQ(view.u64be(0), 0x1234567800000000u);
    EXPECT_EQ(view.u64le(0), 0x78563412u);
    EXPECT_EQ(view.u32le(2), 0x7856u);  // the two bytes past the end read as zero
    EXPECT_EQ(view.u32be(-1), 0x00123456u);
    EXPECT_EQ(view.u8(4), 0);
    EXPECT_EQ(view.u64le(INT64_MAX - 2), 0u);
    EXPECT_EQ(view.u16be(INT64_MIN), 0u);
    EXPECT_TRUE(view.sub(4, 1).empty());
    EXPECT_TRUE(view.sub(-1, 2).empty());
    EXPECT_EQ(view.sub(2, 100).size(), 2);
    EXPECT_EQ(view.chars(1, 2).size(), 2u);
}

TEST(BinaryView, FindsAndMatchesPatternsWithinTheBytes)
{
    const TBytes bytes = Bytes("xxXingyyXing");
    const TBinaryView view(bytes);
    EXPECT_EQ(view.find("Xing"), 2);
    EXPECT_EQ(view.find("Xing", 3), 8);
    EXPECT_EQ(view.find("Xing", 9), TBinaryView::npos);
    EXPECT_EQ(view.find("Xing", 100), TBinaryView::npos);
    EXPECT_TRUE(view.matches(8, "Xing"));
    EXPECT_FALSE(view.matches(10, "Xing"));  // runs past the end
}

TEST(ByteSource, WindowsAreZeroFilledPastTheEndAndRefusedBeforeTheStart)
{
    const TBytes bytes = {1, 2, 3};
    TMemorySource source{TBinaryView(bytes)};
    std::vector<std::uint8_t> buffer;
    EXPECT_EQ(source.ReadWindow(1, 4, buffer), 2);
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{2, 3, 0, 0}));
    EXPECT_EQ(source.ReadWindow(10, 2, buffer), 0);
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{0, 0}));
    // A buffer read into before holds nothing of its earlier bytes.
    EXPECT_EQ(source.ReadWindow(0, 3, buffer), 3);
    EXPECT_EQ(source.ReadWindow(-1, 2, buffer), -1);
    EXPECT_EQ(buffer, (std::vector<std::uint8_t>{0, 0}));
    // Read into, the bytes past the end keep what they held.
    std::vector<std::uint8_t> kept = {9, 9, 9, 9};
    EXPECT_EQ(source.ReadInto(1, kept), 2);
    EXPECT_EQ(kept, (std::vector<std::uint8_t>{2, 3, 9, 9}));
    EXPECT_EQ(source.ReadInto(-1, kept), -1);
    EXPECT_EQ(source.ReadInto(3, kept), 0);
    EXPECT_EQ(kept, (std::vector<std::uint8_t>{2, 3, 9, 9}));
}

// Stands for a file: its reads cost, and are counted.
class TCountedSource : public TMemorySource {
public:
    using TMemorySource::TMemorySource;
    bool InMemory() const override { return false; }
    int reads = 0;

protected:
    std::int64_t ReadAt(std::int64_t offset, std::span<std::uint8_t> buffer) override
    {
        ++reads;
        return TMemorySource::ReadAt(offset, buffer);
    }
};

TEST(ReadAheadSource, GivesTheSameBytesAsTheSourceItReads)
{
    TBytes bytes(3 * TReadAheadSource::kBlockSize + 17);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + i / 251);
    TMemorySource direct{TBinaryView(bytes)};
    TCountedSource inner{TBinaryView(bytes)};
    TReadAheadSource buffered(inner);
    const std::int64_t block = TReadAheadSource::kBlockSize;
    const std::pair<std::int64_t, std::int64_t> reads[] = {
        {0, 30},          {24, 100},           {block - 10, 20}, {block - 10, 5},    {5, 10},
        {0, 2 * block},   {block + 3, block},  {3 * block, 100}, {3 * block + 16, 4}, {-1, 4},
        {4 * block, 10},  {2 * block + 1, 0},
    };
    std::vector<std::uint8_t> expected;
    std::vector<std::uint8_t> got;
    for (const auto& [offset, count] : reads) {
        EXPECT_EQ(buffered.ReadWindow(offset, count, got), direct.ReadWindow(offset, count, expected)) << offset;
        EXPECT_EQ(got, expected) << offset << " " << count;
    }
}

// The reads a header walk makes of an MP3 file: its start, the tag at its
// end, then the audio just after the tag at its start. Each came with a
// block of its own, so the start was read twice.
TEST(ReadAheadSource, KeepsTheStartReadWhileTheEndIsLookedAt)
{
    TBytes bytes(8 * TReadAheadSource::kBlockSize);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i % 253);
    TCountedSource inner{TBinaryView(bytes)};
    TReadAheadSource buffered(inner);
    std::vector<std::uint8_t> got;
    const auto end = static_cast<std::int64_t>(bytes.size());
    for (const auto& [offset, count] : {std::pair<std::int64_t, std::int64_t>{0, 10}, {end - 128, 128}, {758, 4}})
        EXPECT_EQ(buffered.ReadWindow(offset, count, got), count);
    EXPECT_EQ(got, (std::vector<std::uint8_t>{758 % 253, 759 % 253, 760 % 253, 761 % 253}));
    EXPECT_EQ(inner.reads, 2);
}

// Files are opened without the kernel's read-ahead: a walk through records
// that go on past the block (Ogg pages, ASF objects) read one small block
// after another, each a wait for the disk.
TEST(ReadAheadSource, AWalkThroughTheFileReadsEverLongerBlocks)
{
    TBytes bytes(2 * TReadAheadSource::kLongestBlock);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i % 251);
    TCountedSource inner{TBinaryView(bytes)};
    TMemorySource direct{TBinaryView(bytes)};
    TReadAheadSource buffered(inner);
    std::vector<std::uint8_t> got;
    std::vector<std::uint8_t> expected;
    constexpr std::int64_t kRecord = 1000;
    for (std::int64_t offset = 0; offset < static_cast<std::int64_t>(bytes.size()); offset += kRecord) {
        buffered.ReadWindow(offset, kRecord, got);
        direct.ReadWindow(offset, kRecord, expected);
        ASSERT_EQ(got, expected) << offset;
    }
    EXPECT_LE(inner.reads, 9);
    // A look elsewhere reads a small block again.
    const int before = inner.reads;
    EXPECT_EQ(buffered.ReadWindow(100, 4, got), 4);
    EXPECT_EQ(buffered.ReadWindow(100 + TReadAheadSource::kBlockSize, 4, got), 4);
    EXPECT_EQ(inner.reads, before + 2);
}

class TempFolder : public testing::Test {
protected:
    void SetUp() override
    {
        folder_ = std::filesystem::temp_directory_path() /
                  ("corvella_tags_" + std::to_string(::getpid()) + "_" +
                   testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path folder_;
};

TEST_F(TempFolder, OnlyReadableRegularFilesOpen)
{
    TFileSource source;
    EXPECT_FALSE(source.Open((folder_ / "missing.mp3").string()));
    EXPECT_FALSE(source.Open(folder_.string()));
    std::ofstream(folder_ / "empty.mp3").close();
    EXPECT_TRUE(source.Open((folder_ / "empty.mp3").string()));
    EXPECT_EQ(source.Size(), 0);
}

// A blocking open would wait for a writer for ever.
TEST_F(TempFolder, AFifoNamedLikeAudioIsRefusedAtOnce)
{
    const std::filesystem::path fifo = folder_ / "stream.mp3";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    TFileSource source;
    EXPECT_FALSE(source.Open(fifo.string()));
    TMPEGaudio mpeg;
    EXPECT_FALSE(mpeg.LoadFile(fifo.string()));
    EXPECT_EQ(mpeg.FileLength(), 0);
    EXPECT_FALSE(mpeg.ID3v2().Exists());
}

TEST_F(TempFolder, AStopRequestEndsAReadOfTheThreadThatWasAskedToStop)
{
    const std::filesystem::path path = folder_ / "long.mp3";
    std::ofstream(path) << std::string(1 << 20, 'x');
    std::atomic<bool> stop{false};
    const TBWStopScope scope(stop);
    TFileSource source;
    ASSERT_TRUE(source.Open(path.string()));
    std::vector<std::uint8_t> buffer;
    EXPECT_EQ(source.ReadWindow(0, 1 << 20, buffer), 1 << 20);
    stop = true;
    EXPECT_THROW(source.ReadWindow(0, 1 << 20, buffer), TBWStopped);
    // Readers let it pass, so that nothing half-read is taken for the file.
    TMPEGaudio mpeg;
    EXPECT_THROW(mpeg.LoadFile(path.string()), TBWStopped);
}

TEST_F(TempFolder, ReadsBeyondFourGigabytes)
{
    // A sparse file: no disk space is used for the hole before the tag.
    const std::filesystem::path path = folder_ / "huge.mp3";
    const std::int64_t size = (std::int64_t{5} << 30) + 77;
    const TBytes tag = ID3v1Tag("Far away", "", "", "", Filled(30), 0);
    const int descriptor = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(descriptor, 0);
    ASSERT_EQ(::ftruncate(descriptor, size), 0);
    ASSERT_EQ(::pwrite(descriptor, tag.data(), tag.size(), size - 128), 128);
    ::close(descriptor);

    TID3v1 id3v1;
    ASSERT_TRUE(id3v1.LoadFile(path.string()));
    EXPECT_EQ(id3v1.Title(), "Far away");
}

}  // namespace
