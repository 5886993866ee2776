// Drive letters of the live host, from mount listings as the kernel writes
// them.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "platform/host/HostDrives.h"

namespace {

using torvex::platform::host::DriveMap;
using torvex::platform::host::ParseMountInfo;

std::string Slurp(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A desktop in a container: overlay root, ext4 /home, an EFI partition, a
// tmpfs /tmp, NFS and CIFS shares, an SSHFS mount inside /home, a USB stick
// whose label has a space, a DVD, a second disk, snap images, the container
// runtime's bind-mounted files and a bind mount of a folder of /home.
DriveMap FixtureMap() {
    return DriveMap::FromMountInfo(
        Slurp(std::string(TORVEX_SOURCE_DIR) + "/tests/data/hostroot/proc/self/mountinfo"));
}

std::string Letters(const DriveMap& map) {
    std::string out;
    for (const auto& d : map.drives()) out += std::string(1, d.letter) + "=" + d.mountPoint + ";";
    return out;
}

TEST(HostDrives, MountInfoLinesDecodeEscapesAndOptionalFields) {
    auto entries = ParseMountInfo(
        "612 570 0:45 / / rw,relatime master:1 shared:7 - overlay overlay rw,lowerdir=/a\n"
        "630 612 8:17 /a\\134b /media/anna/USB\\040STICK rw - vfat /dev/sdb1 rw,utf8\n"
        "garbage line\n"
        "631 612 8:18 / relative rw - ext4 /dev/sdb2 rw\n");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].fsType, "overlay");
    EXPECT_EQ(entries[0].mountPoint, "/");
    EXPECT_EQ(entries[0].parentId, 570);
    EXPECT_EQ(entries[1].mountPoint, "/media/anna/USB STICK");
    EXPECT_EQ(entries[1].root, "/a\\b");
    EXPECT_EQ(entries[1].major, 8u);
    EXPECT_EQ(entries[1].minor, 17u);
    EXPECT_EQ(entries[1].source, "/dev/sdb1");
    EXPECT_EQ(entries[1].superOptions, "rw,utf8");
}

TEST(HostDrives, RealVolumesGetLettersInMountPointOrder) {
    DriveMap map = FixtureMap();
    // C: is the container's overlay root; tmpfs, proc, sysfs, cgroup, snap
    // images, the runtime's bound files and the bound projects folder have
    // no letter.
    EXPECT_EQ(Letters(map),
              "C=/;D=/boot/efi;E=/home;F=/home/anna/remote;G=/media/anna/DVD;"
              "H=/media/anna/USB STICK;I=/mnt/data;J=/mnt/nas;K=/mnt/share;");
    ASSERT_NE(map.drive('c'), nullptr);
    EXPECT_EQ(map.drive('C')->mount.fsType, "overlay");
    EXPECT_EQ(map.drive('L'), nullptr);
}

TEST(HostDrives, HostPathsAreWrittenWithTheLetterOfTheirVolume) {
    DriveMap map = FixtureMap();
    EXPECT_EQ(map.toWindows("/"), "C:\\");
    EXPECT_EQ(map.toWindows("/usr/lib"), "C:\\usr\\lib");
    EXPECT_EQ(map.toWindows("/home"), "E:\\");
    EXPECT_EQ(map.toWindows("/home/anna/Documents/letter.odt"), "E:\\anna\\Documents\\letter.odt");
    // The innermost mount wins: SSHFS inside /home.
    EXPECT_EQ(map.toWindows("/home/anna/remote/notes.txt"), "F:\\notes.txt");
    EXPECT_EQ(map.toWindows("/media/anna/USB STICK/DCIM/photo 1.jpg"),
              "H:\\DCIM\\photo 1.jpg");
    // A prefix that is not a whole path component is not the mount.
    EXPECT_EQ(map.toWindows("/homework/x"), "C:\\homework\\x");
    // Text-level clean-up before the look-up.
    EXPECT_EQ(map.toWindows("/home//anna/./tmp/../Music/"), "E:\\anna\\Music");
    EXPECT_EQ(map.toWindows("/home/../etc/passwd"), "C:\\etc\\passwd");
    EXPECT_EQ(map.toWindows("relative/path"), "");
    EXPECT_EQ(map.toWindows(""), "");
}

TEST(HostDrives, PathsOnUnletteredMountsStayReachable) {
    DriveMap map = FixtureMap();
    // The bound folder is on E:, at its place there.
    EXPECT_EQ(map.toWindows("/srv/projects/torvex/README.md"),
              "E:\\anna\\projects\\torvex\\README.md");
    // tmpfs and a bound file of an unlettered volume go through C:, and
    // lead back to the same host path.
    EXPECT_EQ(map.toWindows("/tmp/x.txt"), "C:\\tmp\\x.txt");
    EXPECT_EQ(map.toHost("C:\\tmp\\x.txt").value_or(""), "/tmp/x.txt");
    EXPECT_EQ(map.toWindows("/etc/hostname"), "C:\\etc\\hostname");
    EXPECT_EQ(map.toWindows("/snap/core22/1380/bin/ls"), "C:\\snap\\core22\\1380\\bin\\ls");
}

TEST(HostDrives, WindowsPathsLeadToTheHostPath) {
    DriveMap map = FixtureMap();
    EXPECT_EQ(map.toHost("C:\\").value_or("?"), "/");
    EXPECT_EQ(map.toHost("c:").value_or("?"), "/");
    EXPECT_EQ(map.toHost("e:\\Anna\\Documents").value_or("?"), "/home/Anna/Documents");
    // A closing separator stays: only a folder answers to it.
    EXPECT_EQ(map.toHost("E:/anna/Documents/").value_or("?"), "/home/anna/Documents/");
    EXPECT_EQ(map.toHost("H:\\DCIM\\photo 1.jpg").value_or("?"),
              "/media/anna/USB STICK/DCIM/photo 1.jpg");
    // ".." stops at the drive's root: E: cannot reach /etc.
    EXPECT_EQ(map.toHost("E:\\anna\\..\\..\\..\\etc\\passwd").value_or("?"), "/home/etc/passwd");
    EXPECT_FALSE(map.toHost("L:\\file"));
    EXPECT_FALSE(map.toHost("E:anna"));
    EXPECT_FALSE(map.toHost("\\\\fileserver\\public"));
    EXPECT_FALSE(map.toHost("anna\\file"));
    EXPECT_FALSE(map.toHost(""));
    // Both directions agree for every drive.
    for (const auto& d : map.drives()) {
        std::string win = map.toWindows(d.mountPoint + (d.mountPoint == "/" ? "" : "/") + "a b/c");
        EXPECT_EQ(win, std::string(1, d.letter) + ":\\a b\\c");
        EXPECT_EQ(map.toHost(win).value_or("?"),
                  d.mountPoint + (d.mountPoint == "/" ? "" : "/") + "a b/c");
    }
}

TEST(HostDrives, LettersEndAtZ) {
    std::string text = "1 0 8:0 / / rw - ext4 /dev/sda1 rw\n";
    for (int i = 0; i < 30; ++i) {
        char mp[64];
        std::snprintf(mp, sizeof mp, "/mnt/disk%02d", i);
        text += std::to_string(10 + i) + " 1 65:" + std::to_string(i) + " / " + mp +
                " rw - ext4 /dev/sdx" + std::to_string(i) + " rw\n";
    }
    DriveMap map = DriveMap::FromMountInfo(text);
    ASSERT_EQ(map.drives().size(), 24u);   // C: to Z:
    EXPECT_EQ(map.drives().back().letter, 'Z');
    EXPECT_EQ(map.drives().back().mountPoint, "/mnt/disk22");
    // A volume past Z is still reachable through C:.
    EXPECT_EQ(map.toWindows("/mnt/disk23/file"), "C:\\mnt\\disk23\\file");
    EXPECT_EQ(map.toWindows("/mnt/disk22/file"), "Z:\\file");
}

TEST(HostDrives, OneLetterPerVolume) {
    DriveMap map = DriveMap::FromMountInfo(
        // btrfs root and /home are subvolumes of one file system: one drive.
        "30 1 0:32 /@ / rw - btrfs /dev/nvme0n1p2 rw,ssd,subvolid=256,subvol=/@\n"
        "31 30 0:32 /@home /home rw - btrfs /dev/nvme0n1p2 rw,ssd,subvolid=257,subvol=/@home\n"
        // A second btrfs disk only mounted as a subvolume is a drive.
        "32 30 0:40 /@data /data rw - btrfs /dev/sdb1 rw,subvolid=258,subvol=/@data\n"
        // ... but a folder of it bound elsewhere is not.
        "33 30 0:40 /@data/music /music rw - btrfs /dev/sdb1 rw,subvolid=258,subvol=/@data\n"
        // The same disk mounted twice is one drive, at the first mount point.
        "34 30 8:33 / /mnt/a rw - ext4 /dev/sdc1 rw\n"
        "35 30 8:33 / /mnt/b rw - ext4 /dev/sdc1 rw\n"
        // A NFS share mounted twice is two mapped drives, as on Windows.
        "36 30 0:60 / /net/one rw - nfs srv:/x rw\n"
        "37 30 0:61 / /net/two rw - nfs srv:/x rw\n");
    EXPECT_EQ(Letters(map), "C=/;D=/data;E=/mnt/a;F=/net/one;G=/net/two;");
    EXPECT_EQ(map.toWindows("/home/anna"), "C:\\home\\anna");
    EXPECT_EQ(map.toWindows("/music/song.ogg"), "D:\\music\\song.ogg");
    EXPECT_EQ(map.toWindows("/mnt/b/x"), "E:\\x");
}

TEST(HostDrives, HiddenMountsGetNoLetter) {
    DriveMap map = DriveMap::FromMountInfo(
        "1 0 8:0 / / rw - ext4 /dev/sda1 rw\n"
        "2 1 8:16 / /mnt rw - ext4 /dev/sdb1 rw\n"
        "3 2 8:32 / /mnt/inner rw - ext4 /dev/sdc1 rw\n"
        // A tmpfs mounted over /mnt later hides /mnt and everything below.
        "4 2 0:50 / /mnt rw - tmpfs tmpfs rw\n"
        "5 4 8:48 / /mnt/top rw - ext4 /dev/sdd1 rw\n");
    EXPECT_EQ(Letters(map), "C=/;D=/mnt/top;");
    EXPECT_EQ(map.toWindows("/mnt/inner/x"), "C:\\mnt\\inner\\x");
}

TEST(HostDrives, RootIsCEvenWithoutAListing) {
    for (const char* text : {"", "not a mount listing\n"}) {
        DriveMap map = DriveMap::FromMountInfo(text);
        ASSERT_EQ(map.drives().size(), 1u) << text;
        EXPECT_EQ(map.toWindows("/home/anna"), "C:\\home\\anna");
        EXPECT_EQ(map.toHost("C:\\home\\anna").value_or("?"), "/home/anna");
    }
    // A parent cycle in a damaged capture does not hang the walk.
    DriveMap cyclic = DriveMap::FromMountInfo(
        "1 2 8:0 / / rw - ext4 /dev/sda1 rw\n"
        "2 3 8:16 / /a rw - ext4 /dev/sdb1 rw\n"
        "3 2 8:32 / /b rw - ext4 /dev/sdc1 rw\n");
    EXPECT_EQ(cyclic.drives().front().letter, 'C');
}

}  // namespace
