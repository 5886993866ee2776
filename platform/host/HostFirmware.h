// The host's firmware segment, as a Windows program would find it at
// F0000h-FFFFFh.
//
// Linux does not let a program read the BIOS area, but the kernel keeps the
// SMBIOS tables it found: /sys/firmware/dmi/tables/smbios_entry_point and
// DMI (readable by root). They are moved into a 64 KB image with an "_SM_"
// entry point at F0000h and the structures right behind it, also for
// SMBIOS 3 firmware, which has only the 64-bit "_SM3_" entry point. Without
// access to the tables, the image is written from what /sys/class/dmi/id
// shows every user (no serial numbers, no UUID); without any DMI the image
// is empty and holds no entry point.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include "platform/firmware/SmbiosRelocate.h"
#include "platform/machine/Machine.h"

namespace torvex::platform::host {

// The segment image below root ("/" normally); reachable through the
// physical-memory section, as for an administrator.
FirmwareSegment HostFirmwareSegment(const std::filesystem::path& root);

// Moving real tables into a segment image (shared with simulated PCs that
// replay a real PC's tables).
using firmware::RelocateTables;

// The image written from the files of a /sys/class/dmi/id folder; nullopt
// when the folder does not exist.
std::optional<std::vector<std::uint8_t>> ImageFromDmiId(const std::filesystem::path& folder);

}  // namespace torvex::platform::host
