#include "base/platform/u_mountinfo.h"

#include <gtest/gtest.h>

namespace {

TEST(MountInfo, ParsesFieldsAcrossOptionalFieldsAndUndoesOctalEscapes)
{
    const std::vector<TMountEntry> entries = ParseMountInfo(
        "22 1 8:1 / / rw,relatime shared:1 - ext4 /dev/sda1 rw\n"
        "23 22 0:5 / /proc rw - proc proc rw\n"
        "24 22 8:17 / /media/ann/My\\040Disc\\134x rw shared:2 master:3 - vfat /dev/sdb1 rw\n"
        "25 22 0:40 / /mnt/nas rw - nfs4 nas:/export/music rw,vers=4.2\n"
        "26 22 8:1 /home/ann/My\\040Music /mnt/music rw - ext4 /dev/sda1 rw\n");
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].root, "/");
    EXPECT_EQ(entries[4].root, "/home/ann/My Music");
    EXPECT_EQ(entries[0].majorMinor, "8:1");
    EXPECT_EQ(entries[0].mountPoint, "/");
    EXPECT_EQ(entries[0].fsType, "ext4");
    EXPECT_EQ(entries[0].source, "/dev/sda1");
    EXPECT_EQ(entries[1].fsType, "proc");
    EXPECT_EQ(entries[2].mountPoint, "/media/ann/My Disc\\x");
    EXPECT_EQ(entries[2].fsType, "vfat");
    EXPECT_EQ(entries[2].source, "/dev/sdb1");
    EXPECT_EQ(entries[3].source, "nas:/export/music");
}

TEST(MountInfo, SkipsMalformedLinesWithoutReadingPastThem)
{
    const std::vector<TMountEntry> entries = ParseMountInfo(
        "\n"
        "garbage\n"
        "22 1 8:1 / / rw shared:1 ext4 /dev/sda1 rw\n"          // no separator
        "22 1 8:1 / / rw - ext4\n"                              // no source
        "22 1 8:1 / relative rw - ext4 /dev/sda1 rw\n"          // no absolute mount point
        "22 1 8:1 / /ok rw - ext4 /dev/sda1 rw\n"
        "22 1 8:1 / /end\\04 rw - ext4 /dev/sda1 rw");            // a cut escape stays
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].mountPoint, "/ok");
    EXPECT_EQ(entries[1].mountPoint, "/end\\04");
}

TEST(MountInfo, MountOfPathTakesTheLongestHolderAndTheLaterOnATie)
{
    const std::vector<TMountEntry> entries = ParseMountInfo(
        "1 0 8:1 / / rw - ext4 /dev/sda1 rw\n"
        "2 1 8:2 / /media rw - ext4 /dev/sda2 rw\n"
        "3 2 8:3 / /media/disc rw - iso9660 /dev/sr0 rw\n"
        "4 2 8:4 / /media/disc rw - udf /dev/sr1 rw\n");
    const struct {
        const char* path;
        const char* source;
    } cases[] = {
        {"/", "/dev/sda1"},
        {"/home/ann", "/dev/sda1"},
        {"/media", "/dev/sda2"},
        {"/mediax/file", "/dev/sda1"},
        {"/media/discs", "/dev/sda2"},
        {"/media/disc", "/dev/sr1"},
        {"/media/disc/track.mp3", "/dev/sr1"},
    };
    for (const auto& c : cases) {
        const TMountEntry* entry = MountOfPath(entries, c.path);
        ASSERT_NE(entry, nullptr) << c.path;
        EXPECT_EQ(entry->source, c.source) << c.path;
    }
    EXPECT_EQ(MountOfPath({}, "/home"), nullptr);
}

}  // namespace
