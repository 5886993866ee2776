// What a drive letter's volume tells about itself: the kind of drive and the
// facts GetVolumeInformation reports (Windows' own codes and flags).
#pragma once

#include <cstdint>
#include <string>

namespace torvex::platform {

struct VolumeFacts {
    // Windows' drive types: 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk.
    std::uint32_t driveType = 3;
    // False for a drive that has no medium in it: only the type is known.
    bool ready = true;
    std::string label;
    std::string fileSystem;            // "FAT32", "NTFS", "ext4" ...
    std::uint32_t serialNumber = 0;
    std::uint32_t maximumComponentLength = 255;
    std::uint32_t fileSystemFlags = 0; // FS_* bits
};

}  // namespace torvex::platform
