// Real SMBIOS tables moved into an image of the firmware segment.
//
// Linux keeps the tables the firmware laid down as two pieces, the entry
// point and the structure table (/sys/firmware/dmi/tables/smbios_entry_point
// and DMI), and `dmidecode --dump-bin` writes the same two pieces into one
// file. Either way they are moved into a 64 KB image with an "_SM_" entry
// point at F0000h and the structures right behind it, so that a reader of
// the segment finds them where a BIOS of the time would have put them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace torvex::platform::firmware {

// An entry point ("_SM_", "_SM3_" or a bare "_DMI_") and its structure
// table moved into a segment image. Only whole structures are kept, as many
// as fit in front of the segment's last 256 bytes; the entry point counts
// the structures kept, which is the firmware's own count when all fit.
// nullopt when the entry point is none of these.
std::optional<std::vector<std::uint8_t>> RelocateTables(const std::vector<std::uint8_t>& entryPoint,
                                                        const std::vector<std::uint8_t>& table);

// The same for a `dmidecode --dump-bin` file: the entry point at offset 0,
// the table at the address the entry point gives (20h as dmidecode writes
// it). nullopt with `why` set when the file holds no usable tables.
std::optional<std::vector<std::uint8_t>> RelocateDumpFile(const std::vector<std::uint8_t>& file,
                                                          std::string& why);

}  // namespace torvex::platform::firmware
