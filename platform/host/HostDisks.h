// The live host's drives in Windows' terms: each lettered volume's kind,
// network name, label, serial, file system and its features.
//
// Kinds: network file systems are remote drives (their share as the UNC
// name), a volume on a device the kernel marks removable is a removable
// drive, one on an optical drive (SCSI type 5, the sr driver) a CD-ROM
// drive, a tmpfs the user mounted a RAM disk, everything else fixed.
// Labels and UUIDs come from udev's database (/run/udev/data/b<maj>:<min>),
// else from blkid's cache (/run/blkid/blkid.tab). FAT and NTFS volumes have
// a serial of their own in their UUID; others take the UUID's first eight
// hex digits.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/host/HostDrives.h"
#include "platform/machine/DiskFacts.h"

namespace torvex::platform::host {

// What udev or blkid knows of a block device's file system.
struct VolumeIdentity {
    std::string label, uuid, type, version;   // version: "FAT32", "FAT16" for vfat
};
// Reads the identity of device major:minor below root; empty when neither
// udev nor blkid knows it.
VolumeIdentity ReadVolumeIdentity(const std::filesystem::path& root, unsigned major, unsigned minor);
// blkid.tab's entry for a device path or number.
VolumeIdentity ParseBlkidCache(std::string_view text, std::string_view device, unsigned major, unsigned minor);

// The serial Windows would show: FAT's "1A2B-3C4D" and NTFS's 64-bit
// number (its low 32 bits) as they are, else the UUID's first eight hex
// digits; 0 without a UUID.
std::uint32_t SerialFromUuid(std::string_view uuid, std::string_view fsType);
// "//server/share" (CIFS), "server:/export" (NFS), "user@host:path"
// (SSHFS, the user left out) -> "\\server\share"; "" for anything else.
std::string UncNameOf(std::string_view fsType, std::string_view source);
// The Windows name of a file system ("NTFS", "FAT32", "CDFS", "ext4" ...).
std::string WindowsFileSystemName(std::string_view fsType, const VolumeIdentity& identity);
// The volume flags in Windows' bits for a file system mounted with these
// super options.
std::uint32_t VolumeFlagsOf(std::string_view fsType, std::string_view superOptions);
// A tmpfs or ramfs at a place where a user mounts volumes (/mnt, /media,
// /run/media, /home, /srv): a RAM disk.
bool IsUserRamDisk(const MountEntry& mount);

// The drive's facts; nullopt for a letter without a drive.
std::optional<DriveFacts> HostDriveFacts(const std::filesystem::path& root, const DriveMap& map, char letter);

}  // namespace torvex::platform::host
