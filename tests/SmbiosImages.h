// Firmware images for the SMBIOS tests, written with the table writer and
// poked where a test needs a byte no writer would produce.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "engine/Zarvo_SMBIOS.h"
#include "platform/firmware/SmbiosWriter.h"

namespace torvex::testing {

using Image = std::vector<std::uint8_t>;

// A Pentium II desktop of 1998 with SMBIOS 2.3.
inline nlohmann::json DesktopDescription() {
    return nlohmann::json::parse(R"json({
      "version": "2.3",
      "bios": { "vendor": "Award Software International, Inc.", "version": "4.51 PG",
                "date": "03/16/99", "romSizeKB": 256 },
      "system": { "manufacturer": "Fjordtek", "product": "FT-440BX", "version": "1.0",
                  "serial": "FT9901234", "uuid": "00112233445566778899AABBCCDDEEFF" },
      "board": { "manufacturer": "Fjordtek", "product": "BX6", "version": "2.0", "serial": "B-77" },
      "chassis": { "manufacturer": "Fjordtek", "type": "Mini Tower", "version": "ATX",
                   "serial": "C-1", "assetTag": "INV-0042" },
      "processors": [ { "socket": "Slot 1", "manufacturer": "Intel", "version": "Pentium II",
                        "voltage": 2.0, "externalClock": 100, "maxSpeed": 500,
                        "currentSpeed": 450, "upgrade": "Slot 1" } ],
      "caches": [ { "designation": "Internal Cache", "level": 1, "maxSizeKB": 32,
                    "sram": ["Synchronous"], "type": "Data", "associativity": "4-way Set-Associative" },
                  { "designation": "External Cache", "level": 2, "maxSizeKB": 512,
                    "sram": ["Burst", "Pipeline Burst"], "speed": 10, "type": "Unified",
                    "associativity": "Direct Mapped" } ],
      "memoryModules": [ { "socket": "DIMM0", "speed": 10, "types": ["DIMM", "SDRAM"], "sizeMB": 128 },
                         { "socket": "DIMM1", "types": ["DIMM"], "sizeMB": 0 } ],
      "ports": [ { "internal": "PRIMARY IDE", "internalConnector": "On Board IDE", "type": "Other" },
                 { "internal": "COM1", "externalConnector": "DB-9 male",
                   "internalConnector": "9 Pin Dual Inline (pin 10 cut)",
                   "type": "Serial Port 16550A Compatible" },
                 { "internal": "", "external": "USB0", "externalConnector": "Access Bus (USB)", "type": "USB" },
                 { "internal": "LPT1", "internalConnector": "DB-25 female", "type": "Parallel Port ECP/EPP" } ],
      "slots": [ { "designation": "AGP", "type": "AGP", "busWidth": "32 bit", "id": 8 },
                 { "designation": "PCI1", "type": "PCI", "busWidth": "32 bit", "id": 1 },
                 { "designation": "ISA1", "type": "ISA", "busWidth": "16 bit", "id": 0 } ],
      "memoryDevices": [ { "locator": "DIMM0", "sizeMB": 128, "type": "SDRAM" } ]
    })json");
}

inline Image WriteImage(const nlohmann::json& description) {
    return platform::firmware::WriteSegmentImage(description, "test description");
}

// Offset in the image of a physical address.
inline std::size_t At(std::uint32_t physical) { return physical - 0xF0000; }

// The physical address of the first structure of a type in an image's
// table, found by the same walk a BIOS reader would do (for poking bytes).
inline std::uint32_t FindStructure(const Image& image, std::uint8_t type, int nth = 0) {
    std::size_t e = 0;
    while (e + 4 <= image.size() && std::string(image.begin() + long(e), image.begin() + long(e + 4)) != "_SM_") ++e;
    std::uint32_t t = image[e + 0x18] | image[e + 0x19] << 8 | image[e + 0x1A] << 16 | image[e + 0x1B] << 24;
    std::size_t p = At(t);
    while (p + 1 < image.size()) {
        if (image[p] == type && nth-- == 0) return std::uint32_t(0xF0000 + p);
        if (image[p] == 127) break;
        std::size_t q = p + image[p + 1];
        while (q + 1 < image.size() && (image[q] || image[q + 1])) ++q;
        p = q + 2;
    }
    return 0;
}

inline engine::TSMBIOS& Decode(engine::TSMBIOS& smbios, const Image& image) {
    smbios.SetImage(image);
    smbios.GetInfo(0);
    return smbios;
}

inline std::vector<std::string> ReportOf(const engine::TSMBIOS& smbios) {
    TStringList list;
    smbios.Report(list);
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
    return lines;
}

}  // namespace torvex::testing
