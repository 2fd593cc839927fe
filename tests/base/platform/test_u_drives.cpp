#include "base/platform/u_drives.h"

#include <gtest/gtest.h>

#include <map>

#include "tests/support/fake_system.h"

namespace {

// A USB stick whose disk sysfs marks removable, a home partition that is not.
void WriteBlockDevices(const TFakeSystem& system)
{
    system.WriteFile("sys/devices/usb1/block/fakestick/removable", "1\n");
    system.MakeFolder("sys/devices/usb1/block/fakestick/fakestick1");
    system.MakeLink("sys/dev/block/8:17", "../../devices/usb1/block/fakestick/fakestick1");
    system.WriteFile("sys/devices/pci0/block/fakehome/removable", "0\n");
    system.MakeLink("sys/dev/block/8:2", "../../devices/pci0/block/fakehome");
}

void WriteLabels(const TFakeSystem& system)
{
    system.MakeLink("by-label/ROOT", "../../fakeroot");
    system.MakeLink("by-label/Home\\x20Data", "../../fakehome");
    system.MakeLink("by-label/STICK", "../../fakestick1");
    system.MakeLink("by-label/AUDIO_CD", "../../sr0");
    system.MakeLink("by-label/UNMOUNTED", "../../fakeother");
}

TEST(Drives, ListsRootThenVolumesWithKindsAndLabelsLeavingOutSystemMounts)
{
    TFakeSystem system;
    WriteBlockDevices(system);
    WriteLabels(system);
    system.WriteMountTable(
        TFakeSystem::MountLine("0:5", "/proc", "proc", "proc") +
        TFakeSystem::MountLine("0:26", "/sys/fs/cgroup", "cgroup2", "cgroup2") +
        TFakeSystem::MountLine("0:27", "/run/user/1000", "tmpfs", "tmpfs") +
        TFakeSystem::MountLine("0:28", "/dev/shm", "tmpfs", "tmpfs") +
        TFakeSystem::MountLine("8:5", "/boot/efi", "vfat", "/dev/fakeboot") +
        TFakeSystem::MountLine("0:29", "/srv/gvfs", "fuse.gvfsd-fuse", "gvfsd-fuse") +
        TFakeSystem::MountLine("8:2", "/home", "ext4", "/dev/fakehome") +
        TFakeSystem::MountLine("8:17", "/run/media/ann/STICK", "vfat", "/dev/fakestick1") +
        TFakeSystem::MountLine("11:0", "/media/ann/CD", "iso9660", "/dev/sr0") +
        TFakeSystem::MountLine("11:1", "/media/ann/DVD", "udf", "/dev/fakedvd") +
        TFakeSystem::MountLine("11:2", "/media/ann/DATA", "vfat", "/dev/sr1") +
        TFakeSystem::MountLine("0:50", "/mnt/nas", "nfs4", "nas:/export") +
        TFakeSystem::MountLine("0:51", "/mnt/share", "cifs", "//server/music") +
        TFakeSystem::MountLine("0:30", "/tmp", "tmpfs", "tmpfs") +
        TFakeSystem::MountLine("8:3", "/mnt/data", "ext4", "/dev/fakeold") +
        TFakeSystem::MountLine("8:33", "/media/ann/My\\040Disc", "vfat", "/dev/fakedisc") +
        TFakeSystem::MountLine("8:4", "/mnt/data", "ext4", "/dev/fakenew"));

    const std::vector<TBWDrive> expected = {
        {"/", dkFixed, "ROOT", "/dev/fakeroot"},
        {"/home/", dkFixed, "Home Data", "/dev/fakehome"},
        {"/run/media/ann/STICK/", dkRemovable, "STICK", "/dev/fakestick1"},
        {"/media/ann/CD/", dkOptical, "AUDIO_CD", "/dev/sr0"},
        {"/media/ann/DVD/", dkOptical, "", "/dev/fakedvd"},
        {"/media/ann/DATA/", dkOptical, "", "/dev/sr1"},
        {"/mnt/nas/", dkRemote, "", "nas:/export"},
        {"/mnt/share/", dkRemote, "", "//server/music"},
        {"/tmp/", dkRamDisk, "", "tmpfs"},
        {"/mnt/data/", dkFixed, "", "/dev/fakenew"},
        {"/media/ann/My Disc/", dkFixed, "", "/dev/fakedisc"},
    };
    EXPECT_EQ(ListDrives(PlatformSources()), expected);
}

TEST(Drives, TheUserIsShownRootHomeAndTheVolumesOfTheMediaPlacesOnly)
{
    TFakeSystem system;
    system.SetEnvironment("HOME", "/home/ann");
    WriteLabels(system);
    system.WriteMountTable(
        TFakeSystem::MountLine("8:2", "/home", "ext4", "/dev/fakehome") +
        TFakeSystem::MountLine("8:17", "/run/media/ann/STICK", "vfat", "/dev/fakestick1") +
        TFakeSystem::MountLine("11:0", "/media/ann/CD", "iso9660", "/dev/sr0") +
        TFakeSystem::MountLine("0:50", "/mnt/nas", "nfs4", "nas:/export") +
        TFakeSystem::MountLine("0:30", "/tmp", "tmpfs", "tmpfs") +
        // A container's and a sandbox's own mounts: bind mounts of
        // subfolders, RAM disks, devices mounted outside the media places.
        TFakeSystem::MountLine("8:2", "/mnt/music", "ext4", "/dev/fakehome", "/ann/Music") +
        TFakeSystem::MountLine("8:1", "/etc/hosts", "ext4", "/dev/fakeroot", "/containers/hosts") +
        TFakeSystem::MountLine("0:31", "/mnt/sandbox", "tmpfs", "tmpfs") +
        TFakeSystem::MountLine("0:32", "/opt/tools", "overlay", "overlay") +
        TFakeSystem::MountLine("8:6", "/srv/data", "ext4", "/dev/fakesrv"));
    const std::vector<TBWDrive> expected = {
        {"/", dkFixed, "ROOT", "/dev/fakeroot"},
        {"/home/", dkFixed, "Home Data", "/dev/fakehome"},
        {"/run/media/ann/STICK/", dkFixed, "STICK", "/dev/fakestick1"},
        {"/media/ann/CD/", dkOptical, "AUDIO_CD", "/dev/sr0"},
        {"/mnt/nas/", dkRemote, "", "nas:/export"},
    };
    EXPECT_EQ(ListUserDrives(PlatformSources()), expected);
}

TEST(Drives, AHomeOnTheRootFileSystemAddsNothing)
{
    TFakeSystem system;
    system.SetEnvironment("HOME", "/home/ann");
    system.WriteMountTable(TFakeSystem::MountLine("8:6", "/srv", "ext4", "/dev/fakesrv"));
    const std::vector<TBWDrive> expected = {{"/", dkFixed, "", "/dev/fakeroot"}};
    EXPECT_EQ(ListUserDrives(PlatformSources()), expected);
}

// The first blocks of a file system with its label at its place.
std::string FileSystemImage(std::size_t signatureAt, const std::string& signature, std::size_t labelAt,
                            const std::string& label)
{
    std::string image(40 * 1024, '\0');
    image.replace(signatureAt, signature.size(), signature);
    image.replace(labelAt, label.size(), label);
    return image;
}

// Without udev's label links a medium's label is read from its device; a
// fixed disk is never read, and a device that is no such file system gives
// no label.
TEST(Drives, AMediumUnnamedByTheLinksGivesTheLabelOfItsFileSystem)
{
    TFakeSystem system;
    system.WriteFile("dev/sr0", FileSystemImage(32768, std::string("\x01" "CD001", 6), 32768 + 40,
                                                "ROCK_CD1                        "));
    system.WriteFile("dev/sr1", FileSystemImage(32768, "garbage", 32768 + 40, "NOT_A_LABEL"));
    system.WriteFile("dev/fakestick1", FileSystemImage(82, "FAT32   ", 71, "MY STICK   "));
    system.WriteFile("dev/fakecard1", FileSystemImage(54, "FAT16   ", 43, "NO NAME    "));
    system.WriteFile("dev/fakehome", FileSystemImage(1024 + 56, "\x53\xEF", 1024 + 120, "home"));
    system.WriteFile("sys/devices/usb1/block/fakestick/removable", "1\n");
    system.MakeLink("sys/dev/block/8:17", "../../devices/usb1/block/fakestick");
    system.MakeLink("sys/dev/block/8:33", "../../devices/usb1/block/fakestick");
    system.WriteMountTable(TFakeSystem::MountLine("11:0", "/media/ann/CD1", "iso9660", "/dev/sr0") +
                           TFakeSystem::MountLine("11:1", "/media/ann/CD2", "iso9660", "/dev/sr1") +
                           TFakeSystem::MountLine("11:2", "/media/ann/CD3", "iso9660", "/dev/sr9") +
                           TFakeSystem::MountLine("8:17", "/media/ann/STICK", "vfat", "/dev/fakestick1") +
                           TFakeSystem::MountLine("8:33", "/media/ann/CARD", "vfat", "/dev/fakecard1") +
                           TFakeSystem::MountLine("8:2", "/mnt/home", "ext4", "/dev/fakehome"));
    std::map<std::string, std::string> labels;
    for (const TBWDrive& drive : ListDrives(PlatformSources()))
        labels[drive.root] = drive.label;
    EXPECT_EQ(labels["/media/ann/CD1/"], "ROCK_CD1");
    EXPECT_EQ(labels["/media/ann/CD2/"], "");
    EXPECT_EQ(labels["/media/ann/CD3/"], "");
    EXPECT_EQ(labels["/media/ann/STICK/"], "MY STICK");
    EXPECT_EQ(labels["/media/ann/CARD/"], "");
    EXPECT_EQ(labels["/mnt/home/"], "");
}

TEST(Drives, ACaptionIsTheMountPointWithTheLabelWhenThereIsOne)
{
    EXPECT_EQ(DriveCaption({"/", dkFixed, "", ""}), "/");
    EXPECT_EQ(DriveCaption({"/media/ann/STICK/", dkRemovable, "STICK", ""}), "/media/ann/STICK/ [STICK]");
}

TEST(Drives, RootIsListedEvenWithoutAMountTable)
{
    TFakeSystem system;
    const std::vector<TBWDrive> expected = {{"/", dkFixed, "", ""}};
    EXPECT_EQ(ListDrives(PlatformSources()), expected);
}

}  // namespace
