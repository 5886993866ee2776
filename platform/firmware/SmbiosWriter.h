// Writes SMBIOS tables into an image of the firmware segment F0000h-FFFFFh.
//
// A simulated PC describes its firmware in a readable JSON text (BIOS,
// system, board, chassis, processors, memory, ports, slots, caches); the
// writer turns it into the structures a BIOS of that SMBIOS version lays
// down, with an "_SM_" entry point (and its "_DMI_" part) in front. The live
// host uses the same pieces to write what the kernel tells every user.
//
// Texts are UTF-8 in the description and code page 1252 in the segment; a
// text with a character outside the code page, a zero byte or more than
// 255 bytes is refused, as is a fixed-place text overlapping another.
//
// Description (every member optional unless said otherwise; enumerations
// take their SMBIOS names or numbers, "A0h" style hexadecimal accepted):
//   { "version": "2.3",                 required: the SMBIOS version
//     "entryPoint": "F0430h",           where the "_SM_" anchor lies (F0000h)
//     "table": "F0450h",                where the structures start (anchor+20h)
//     "bios": { "vendor", "version", "date", "romSizeKB": 256,
//               "startSegment": "E000h", "characteristics": "0x7FCB9E80" },
//     "system": { "manufacturer", "product", "version", "serial",
//                 "uuid": "32 hex digits in memory order", "wakeUp": "Power Switch",
//                 "sku", "family" },
//     "board": { "manufacturer", "product", "version", "serial" },
//     "chassis": { "manufacturer", "type": "Mini Tower", "lock": false,
//                  "version", "serial", "assetTag" },
//     "processors": [ { "socket", "type": "Central Processor", "family": 17,
//                       "manufacturer", "id": "0x0383F9FF00000686", "version",
//                       "voltage": 1.6 | "voltages": [5.0, 3.3, 2.9],
//                       "externalClock", "maxSpeed", "currentSpeed",
//                       "status": "0x41", "upgrade": "Slot 1",
//                       "serial", "assetTag", "partNumber", "cores", "threads" } ],
//     "memoryModules": [ { "socket", "banks": "0x01", "speed": 60,
//                          "types": ["EDO", "SIMM"], "sizeMB": 32,
//                          "enabledSizeMB", "doubleBank": false } ],
//     "caches": [ { "designation", "level": 1, "enabled": true, "socketed": false,
//                   "location": "Internal", "mode": "Write Back",
//                   "maxSizeKB", "installedSizeKB", "supportedSram": ["Burst"],
//                   "sram": ["Pipeline Burst"], "speed": 0,
//                   "errorCorrection": "Single-bit ECC", "type": "Unified",
//                   "associativity": "4-way Set-Associative" } ],
//     "ports": [ { "internal", "internalConnector", "external",
//                  "externalConnector", "type" } ],
//     "slots": [ { "designation", "type": "PCI", "busWidth": "32 bit",
//                  "usage": "Available", "length": "Long", "id": 1,
//                  "characteristics": "0x0C", "characteristics2": "0x01" } ],
//     "memoryArray": { "location": "System Board Or Motherboard", "use": "System Memory",
//                      "errorCorrection": "None", "maxCapacityMB", "devices" },
//     "memoryDevices": [ { "locator", "bank", "sizeMB", "formFactor": "DIMM",
//                          "type": "SDRAM", "detail": "0x0080", "speed",
//                          "totalWidth": 64, "dataWidth": 64, "manufacturer",
//                          "serial", "assetTag", "partNumber" } ],
//     "oemStrings": [ "..." ],
//     "texts": { "FE061h": "BIOS name", "FFFF5h": "12/28/99" } }   texts at fixed places
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

namespace torvex::platform::firmware {

constexpr std::uint32_t kSegmentBase = 0xF0000;
constexpr std::size_t kSegmentSize = 0x10000;
// A string is only read when 255 bytes after its start still lie in the
// segment, so tables placed in the segment keep this much room at the end.
constexpr std::size_t kStringReadReach = 256;

// One structure under construction: the formatted area, then its strings.
class StructureBuilder {
public:
    StructureBuilder(std::uint8_t type, std::uint16_t handle);

    void byte(std::uint8_t v) { area_.push_back(v); }
    void word(std::uint16_t v);
    void dword(std::uint32_t v);
    void qword(std::uint64_t v);
    // Adds a string and writes its number at the current place; an empty
    // text writes 0 and adds nothing.
    void string(const std::string& text);
    // Adds a string whose number the structure does not hold in a field.
    void unnumberedString(const std::string& text);
    // Pads or cuts the formatted area to `length` bytes.
    void length(std::size_t length);

    // Type, length, handle, the area, the strings and the double zero.
    std::vector<std::uint8_t> finish() const;

private:
    std::vector<std::uint8_t> area_;
    std::vector<std::string> strings_;
};

// Structures ready to be placed: the SMBIOS version and the table bytes.
struct SmbiosTable {
    std::uint8_t major = 0, minor = 0;
    std::vector<std::uint8_t> structures;
    std::uint16_t count = 0;
    std::uint16_t largestStructure = 0;
};

// The structures a description describes. `source` names the description
// in messages. Throws MachineError naming the source and the member.
SmbiosTable BuildTable(const nlohmann::json& description, const std::string& source);

// A 64 KB image with the entry point at entryPoint and the table at table
// (physical addresses). The table must fit in front of the last
// kStringReadReach bytes; throws std::invalid_argument otherwise.
std::vector<std::uint8_t> PlaceInSegment(const SmbiosTable& table,
                                         std::uint32_t entryPoint = kSegmentBase,
                                         std::uint32_t tableAddress = kSegmentBase + 0x20);

// Description to image in one step. Throws MachineError.
std::vector<std::uint8_t> WriteSegmentImage(const nlohmann::json& description,
                                            const std::string& source);

// Writes the description's "texts" (each converted to code page 1252 and
// closed by a zero byte) into an image whose bytes [lo, hi) hold the
// tables. Throws MachineError naming the text that cannot be placed.
void PlaceTexts(std::vector<std::uint8_t>& image, const nlohmann::json& description, std::size_t lo,
                std::size_t hi, const std::string& source);

// The checksum byte that makes the bytes sum to zero.
std::uint8_t ChecksumOf(const std::uint8_t* data, std::size_t size);

}  // namespace torvex::platform::firmware
