// Drives, the ASPI layer, run-time libraries and the processor's idle time,
// in the terms the Win32 calls give them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvex::platform {

// The kind of a drive, as GetDriveType answers: 0 unknown, 1 no such root,
// 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk.
enum class DriveKind : std::uint32_t { unknown = 0, noRoot = 1, removable = 2, fixed = 3, remote = 4, cdrom = 5, ramDisk = 6 };

// What GetVolumeInformation reports for a drive with a medium in it, with
// the volume flags in Windows' bits (FILE_CASE_SENSITIVE_SEARCH 0x1,
// FILE_CASE_PRESERVED_NAMES 0x2, FILE_UNICODE_ON_DISK 0x4,
// FILE_PERSISTENT_ACLS 0x8, FILE_FILE_COMPRESSION 0x10,
// FILE_VOLUME_QUOTAS 0x20, FILE_SUPPORTS_SPARSE_FILES 0x40,
// FILE_SUPPORTS_REPARSE_POINTS 0x80, FILE_VOLUME_IS_COMPRESSED 0x8000,
// FILE_SUPPORTS_OBJECT_IDS 0x10000, FILE_SUPPORTS_ENCRYPTION 0x20000).
struct VolumeInfo {
    std::string label;
    std::uint32_t serial = 0;
    std::uint32_t maxComponentLength = 255;
    std::uint32_t flags = 0;
    std::string fileSystem;
};

// One drive letter: its kind, the network name it stands for (a mapped
// share, "\\server\share"; "" for a local drive) and, when a medium is in
// it and the volume answers, its volume information.
struct DriveFacts {
    DriveKind kind = DriveKind::fixed;
    std::string uncName;
    std::optional<VolumeInfo> volume;
};

// One device on a SCSI bus as the ASPI layer finds it: the device-type
// answer, then what a test-unit-ready and an inquiry command return (status
// 1 completed, 4 error; a pending request stays 0 until it completes).
struct AspiDevice {
    std::uint8_t hostAdapter = 0, target = 0, lun = 0;
    std::uint8_t deviceType = 0;          // peripheral device type (0 disk, 1 tape, 5 CD-ROM ...)
    std::uint8_t testUnitReadyStatus = 1;
    std::uint8_t inquiryStatus = 1;
    bool neverCompletes = false;          // requests to it stay pending
    // The inquiry's data from byte 8: vendor (8), product (16), revision
    // (4), vendor-specific (20), blank-padded as devices send them.
    std::string vendor, product, revision, vendorSpecific;
};

// The ASPI layer ("wnaspi32.dll"): its host adapters and their devices.
struct AspiFacts {
    std::uint8_t hostAdapters = 0;
    std::vector<AspiDevice> devices;
};

// A library's file version (major, minor, release, build).
using FileVersionNumbers = std::array<std::uint16_t, 4>;

}  // namespace torvex::platform
