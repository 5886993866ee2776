// The live host's drives in Windows' terms, over replayed files: network
// names, serials, file-system names and flags, labels from udev or blkid,
// removable and optical devices, and RAM disks the user mounted.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "platform/host/HostDisks.h"

using namespace torvex::platform;
using namespace torvex::platform::host;
namespace fs = std::filesystem;

namespace {

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

}  // namespace

TEST(HostDisks, SharesBecomeServerAndShareWithoutAnyUserName) {
    EXPECT_EQ(UncNameOf("cifs", "//nas/Fotos"), "\\\\nas\\Fotos");
    EXPECT_EQ(UncNameOf("nfs4", "files.lan:/srv/export/home/"), "\\\\files.lan\\srv\\export\\home");
    EXPECT_EQ(UncNameOf("fuse.sshfs", "anna@backup:/data"), "\\\\backup\\data");
    EXPECT_EQ(UncNameOf("fuse.sshfs", "anna@backup:"), "\\\\backup");
    EXPECT_EQ(UncNameOf("nfs", "[fd00::5]:/pub"), "\\\\fd00::5\\pub");
    EXPECT_EQ(UncNameOf("ext4", "/dev/sda1"), "");
    EXPECT_EQ(UncNameOf("cifs", "nas"), "");
}

TEST(HostDisks, FatAndNtfsKeepTheirOwnSerialOthersTakeTheUuidsStart) {
    EXPECT_EQ(SerialFromUuid("1A2B-3C4D", "vfat"), 0x1A2B3C4Du);
    EXPECT_EQ(SerialFromUuid("01D5A3B2C4E5F607", "ntfs"), 0xC4E5F607u);
    EXPECT_EQ(SerialFromUuid("3e6be9de-8139-4fa5-a9d3-9d1e2b8e0b1c", "ext4"), 0x3E6BE9DEu);
    EXPECT_EQ(SerialFromUuid("", "ext4"), 0u);
    EXPECT_EQ(SerialFromUuid("12-34", "ext4"), 0u);
}

TEST(HostDisks, FlagsAreTrueToTheFileSystemAndItsMountOptions) {
    const std::uint32_t cs = 0x1, cp = 0x2, uni = 0x4, acl = 0x8, comp = 0x10, quota = 0x20, sparse = 0x40;
    EXPECT_EQ(VolumeFlagsOf("ext4", "rw,relatime"), cs | cp | uni | acl | sparse);
    EXPECT_EQ(VolumeFlagsOf("ext4", "rw,noacl,usrquota"), cs | cp | uni | sparse | quota);
    EXPECT_EQ(VolumeFlagsOf("btrfs", "rw,compress=zstd:3,subvol=/@"), cs | cp | uni | acl | sparse | comp);
    EXPECT_EQ(VolumeFlagsOf("vfat", "rw,fmask=0022"), cp | uni);
    EXPECT_EQ(VolumeFlagsOf("cifs", "rw,vers=3.1.1"), cp | uni);
    EXPECT_EQ(VolumeFlagsOf("cifs", "rw,cifsacl"), cp | uni | acl);
    EXPECT_EQ(VolumeFlagsOf("iso9660", "ro"), uni);
    // An option that only begins like a quota option is none.
    EXPECT_EQ(VolumeFlagsOf("ext4", "rw,quotaless"), cs | cp | uni | acl | sparse);
    VolumeIdentity fat32{"", "", "vfat", "FAT32"};
    EXPECT_EQ(WindowsFileSystemName("vfat", fat32), "FAT32");
    EXPECT_EQ(WindowsFileSystemName("vfat", VolumeIdentity{}), "FAT");
    EXPECT_EQ(WindowsFileSystemName("iso9660", VolumeIdentity{}), "CDFS");
    EXPECT_EQ(WindowsFileSystemName("ext4", VolumeIdentity{}), "ext4");
}

TEST(HostDisks, BlkidCacheIsFoundByPathOrNumber) {
    std::string tab =
        "<device DEVNO=\"0x0801\" TIME=\"1.2\" LABEL=\"USB STICK\" UUID=\"1A2B-3C4D\" TYPE=\"vfat\">/dev/sda1</device>\n"
        "<device DEVNO=\"0x0802\" UUID=\"3e6be9de-8139\" TYPE=\"ext4\">/dev/sda2</device>\n"
        "<device DEVNO=\"0x0803\" LABEL=\"broken\n";
    EXPECT_EQ(ParseBlkidCache(tab, "/dev/sda1", 0, 0).label, "USB STICK");
    auto byNumber = ParseBlkidCache(tab, "", 8, 2);
    EXPECT_EQ(byNumber.uuid, "3e6be9de-8139");
    EXPECT_EQ(byNumber.type, "ext4");
    EXPECT_EQ(ParseBlkidCache(tab, "/dev/sda3", 8, 3).label, "");
}

TEST(HostDisks, ReplayedStickCdAndRamDiskGetTheirKindsLabelsAndSerials) {
    fs::path root = fs::temp_directory_path() / ("torvex-hostdisks-" + std::to_string(::getpid()));
    fs::remove_all(root);
    Write(root / "sys/dev/block/8:17/partition", "1\n");
    Write(root / "sys/dev/block/8:17/../removable", "1\n");
    Write(root / "sys/dev/block/11:0/removable", "1\n");
    Write(root / "sys/dev/block/11:0/device/type", "5\n");
    Write(root / "run/udev/data/b8:17",
          "S:disk/by-label/FOTO\nE:ID_FS_LABEL=FOTO\nE:ID_FS_UUID=5E1F-0C2A\nE:ID_FS_TYPE=vfat\nE:ID_FS_VERSION=FAT32\n");
    Write(root / "run/udev/data/b11:0", "E:ID_FS_LABEL=UBUNTU_24_04\nE:ID_FS_UUID=2024-04-23-11-54-21-00\nE:ID_FS_TYPE=iso9660\n");
    std::string mountinfo =
        "27 1 254:0 / / rw,relatime - ext4 /dev/vda rw\n"
        "40 27 8:17 / /media/anna/FOTO rw - vfat /dev/sdb1 rw,fmask=0022\n"
        "41 27 11:0 / /media/anna/UBUNTU ro - iso9660 /dev/sr0 ro\n"
        "42 27 0:50 / /mnt/ram rw - tmpfs tmpfs rw,size=1048576k\n"
        "43 27 0:51 / /dev/shm rw - tmpfs tmpfs rw\n"
        "44 27 0:52 / /mnt/nas rw - cifs //nas/Fotos rw,vers=3.0\n";
    DriveMap map = DriveMap::FromMountInfo(mountinfo);
    // /dev/shm is the system's, /mnt/ram the user's RAM disk.
    std::string letters;
    for (const auto& d : map.drives()) letters += std::string(1, d.letter) + "=" + d.mountPoint + ";";
    EXPECT_EQ(letters, "C=/;D=/media/anna/FOTO;E=/media/anna/UBUNTU;F=/mnt/nas;G=/mnt/ram;");

    auto stick = HostDriveFacts(root, map, 'D');
    ASSERT_TRUE(stick && stick->volume);
    EXPECT_EQ(stick->kind, DriveKind::removable);
    EXPECT_EQ(stick->volume->label, "FOTO");
    EXPECT_EQ(stick->volume->serial, 0x5E1F0C2Au);
    EXPECT_EQ(stick->volume->fileSystem, "FAT32");
    EXPECT_EQ(stick->volume->maxComponentLength, 255u);

    auto cd = HostDriveFacts(root, map, 'E');
    ASSERT_TRUE(cd && cd->volume);
    EXPECT_EQ(cd->kind, DriveKind::cdrom);
    EXPECT_EQ(cd->volume->fileSystem, "CDFS");
    EXPECT_EQ(cd->volume->serial, 0x20240423u);

    auto nas = HostDriveFacts(root, map, 'F');
    ASSERT_TRUE(nas);
    EXPECT_EQ(nas->kind, DriveKind::remote);
    EXPECT_EQ(nas->uncName, "\\\\nas\\Fotos");

    auto ram = HostDriveFacts(root, map, 'G');
    ASSERT_TRUE(ram);
    EXPECT_EQ(ram->kind, DriveKind::ramDisk);
    auto c = HostDriveFacts(root, map, 'C');
    ASSERT_TRUE(c && c->volume);
    EXPECT_EQ(c->kind, DriveKind::fixed);
    EXPECT_EQ(c->volume->serial, 0u);   // nothing known of its identity
    EXPECT_FALSE(HostDriveFacts(root, map, 'H'));
    fs::remove_all(root);
}
