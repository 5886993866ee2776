#include "engine/cpu/CpuKnowledge.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace torvex::cpu {

namespace {

// ------------------------------------------------------------------ tables

constexpr std::array<VendorRow, kVendorCount> kVendors{{
    {"GenuineIntel", "Intel", "Intel Corporation"},
    {"AuthenticAMD", "AMD", "Advanced Micro Devices"},
    {"CyrixInstead", "Cyrix", "Cyrix Corporation"},
    {"CentaurHauls", "IDT", "IDT/Centaur"},
    {"NexGenDriven", "NexGen", "NexGen Inc."},
    {"UMC UMC UMC ", "UMC", "United Microelectronics Corp"},
    {"RiseRiseRise", "Rise", "Rise Technology"},
}};

// A name-table row applies to a vendor, family and model range and, for a
// few processors that share a model number, to a level-2 size or clock.
enum class When {
    Always,
    L2Above,      // level2 > a
    L2Equals,     // level2 == a
    L2AtLeast,    // level2 >= a
    L2Below,      // level2 < a
    L2AtMost,     // level2 <= a
    MhzEither,    // mhz == a || mhz == b
    MhzAbove,     // mhz > a
    MhzAtLeast,   // mhz >= a
    MhzBelow,     // mhz < a
};

struct NameRow {
    int vendor, family, modelFrom, modelTo;
    When when;
    int a, b;
    const char* name;   // nullptr: the name follows the brand index
    const char* codeName;
    std::uint32_t transistors;
};

// The first row that applies wins, so a model's general row comes after its
// conditional ones. Code names are written as the processors' documentation
// of the time wrote them, some with "0,25µm", some with "0.25 µm".
constexpr NameRow kNames[] = {
    // Intel
    {1, 4, 0, 1, When::Always, 0, 0, "i80486DX", "P4", 1250000},
    {1, 4, 2, 2, When::Always, 0, 0, "i80486SX", "P23", 900000},
    {1, 4, 3, 3, When::Always, 0, 0, "i80486DX2", "P24", 1250000},
    {1, 4, 4, 4, When::Always, 0, 0, "i80486SL", "P23", 900000},
    {1, 4, 5, 5, When::Always, 0, 0, "i80486SX2", "P23", 900000},
    {1, 4, 7, 7, When::Always, 0, 0, "i80486DX2WB", "P24", 1250000},
    {1, 4, 8, 8, When::Always, 0, 0, "i80486DX4", "P24C", 1600000},
    {1, 4, 9, 9, When::Always, 0, 0, "i80486DX4WB", "P24C", 1600000},
    {1, 5, 0, 0, When::Always, 0, 0, "Pentium", "P5 (0,80µm)", 3100000},
    {1, 5, 1, 2, When::Always, 0, 0, "Pentium", "P54C (0,50µm)", 3100000},
    {1, 5, 3, 3, When::Always, 0, 0, "Pentium", "P24T", 0},
    {1, 5, 4, 4, When::Always, 0, 0, "Pentium MMX", "P55C (0,28µm)", 4500000},
    {1, 5, 5, 5, When::Always, 0, 0, "DX4", "", 0},
    {1, 5, 6, 6, When::Always, 0, 0, "Pentium", "P5", 0},
    {1, 5, 7, 7, When::Always, 0, 0, "Pentium", "P54C (0,35µm)", 3100000},
    {1, 5, 8, 8, When::Always, 0, 0, "Pentium MMX (mobile)", "Tillamook (0,25µm)", 4500000},
    {1, 5, 9, 15, When::Always, 0, 0, "Pentium", "", 0},
    {1, 6, 0, 0, When::Always, 0, 0, "Pentium Pro", "P6 (0.50 µm)", 5500000},
    {1, 6, 1, 1, When::Always, 0, 0, "Pentium Pro", "P6 (0.35 µm)", 5500000},
    {1, 6, 2, 2, When::Always, 0, 0, "Pentium II", "", 0},
    {1, 6, 3, 3, When::Always, 0, 0, "Pentium II", "Klamath (0.35 µm)", 7500000},
    {1, 6, 4, 4, When::Always, 0, 0, "Pentium II", "P55CT (P54 OverDrive)", 3100000},
    {1, 6, 5, 5, When::L2Above, 512, 0, "Pentium II Xeon", "Deschutes (0.25 µm)", 7500000},
    {1, 6, 5, 5, When::L2Equals, 0, 0, "Celeron", "Covington (0,25µm)", 7500000},
    {1, 6, 5, 5, When::Always, 0, 0, "Pentium II", "Deschutes (0,25µm)", 7500000},
    {1, 6, 6, 6, When::L2AtLeast, 256, 0, "Pentium II PE (mobile)", "Dixon (0.25 µm)", 27400000},
    {1, 6, 6, 6, When::L2Below, 256, 0, "Celeron A", "Mendocino (0.25 µm)", 19000000},
    {1, 6, 7, 7, When::L2Above, 512, 0, "Pentium III Xeon", "Tanner (0.25 µm)", 9500000},
    {1, 6, 7, 7, When::L2AtMost, 512, 0, "Pentium III", "Katmai (0.25 µm)", 9500000},
    {1, 6, 8, 8, When::Always, 0, 0, nullptr, "Coppermine (0.18 µm)", 28100000},
    {1, 6, 9, 15, When::Always, 0, 0, "Pentium II", "", 0},
    {1, 7, 0, 15, When::Always, 0, 0, nullptr, "", 0},
    {1, 8, 0, 15, When::Always, 0, 0, nullptr, "", 0},
    {1, 10, 0, 15, When::Always, 0, 0, "Pentium III Xeon", "", 0},
    {1, 15, 0, 15, When::Always, 0, 0, "Pentium 4", "", 0},
    // AMD
    {2, 4, 0, 0, When::Always, 0, 0, "Am486DX", "P4", 1250000},
    {2, 4, 3, 3, When::Always, 0, 0, "Am486DX2", "P24", 1250000},
    {2, 4, 7, 7, When::Always, 0, 0, "Am486DX2", "P24", 1250000},
    {2, 4, 8, 9, When::Always, 0, 0, "Am486DX4", "P24C", 1250000},
    {2, 4, 14, 15, When::Always, 0, 0, "Am5x86", "X5", 1600000},
    {2, 5, 0, 0, When::Always, 0, 0, "K5", "SSA5 (0.50-0.35 µm)", 4300000},
    {2, 5, 1, 3, When::Always, 0, 0, "K5-5k86 (PR120, PR133)", "5k86 (0.35 µm)", 4300000},
    {2, 5, 6, 6, When::Always, 0, 0, "K6", "K6 (0.30 µm)", 8800000},
    {2, 5, 7, 7, When::Always, 0, 0, "K6", "Little Foot (0.25 µm)", 8800000},
    {2, 5, 8, 8, When::Always, 0, 0, "K6-II", "Chomper (0.25 µm)", 9300000},
    {2, 5, 9, 9, When::Always, 0, 0, "K6-III", "Slarptooth (0.25 µm)", 21300000},
    {2, 5, 13, 13, When::Always, 0, 0, "K6-II+/K6-III+", "", 0},
    {2, 6, 1, 1, When::Always, 0, 0, "K7", "Athlon (0.25-0.18 µm)", 22000000},
    {2, 6, 2, 2, When::Always, 0, 0, "Athlon", "Athlon (0.25-0.18 µm)", 22000000},
    {2, 6, 3, 3, When::Always, 0, 0, "Duron", "Duron", 22000000},
    {2, 6, 7, 7, When::Always, 0, 0, "Duron", "Duron", 22000000},
    {2, 6, 4, 4, When::Always, 0, 0, "Athlon", "Athlon", 22000000},
    {2, 6, 6, 6, When::Always, 0, 0, "Athlon XP", "Athlon XP", 22000000},
    // Cyrix: the 486-class parts share model 0 and differ in their clock.
    {3, 4, 0, 0, When::MhzEither, 20, 66, "Cx486SLC/DLC", "M0.5", 600000},
    {3, 4, 0, 0, When::MhzEither, 33, 50, "Cx486S", "M0.6", 600000},
    {3, 4, 0, 0, When::MhzAbove, 66, 0, "Cx486DX/DX2/DX4", "M0.7", 1100000},
    {3, 4, 4, 4, When::Always, 0, 0, "Media GX", "Gx86", 24000000},
    {3, 4, 9, 9, When::Always, 0, 0, "5x86", "M0.9 or M1sc (0.65 µm)", 20000000},
    {3, 5, 2, 2, When::Always, 0, 0, "6x86 and 6x86L", "M1 (0.65 µm) and M1L (0.35 µm)", 30000000},
    {3, 5, 4, 4, When::Always, 0, 0, "MediaGXm", "GXm", 24000000},
    {3, 6, 0, 0, When::MhzAtLeast, 225, 0, "M-II (PR300-433)", "M2 (0.35-0.25 µm)", 65000000},
    {3, 6, 0, 0, When::MhzBelow, 225, 0, "6x86MX (PR166-266)", "M2 (0.35 µm)", 65000000},
    {3, 6, 5, 5, When::Always, 0, 0, "VIA Cyrix III", "", 0},
    // IDT/Centaur
    {4, 5, 4, 4, When::Always, 0, 0, "WinChip", "C6 (0.35 µm)", 54000000},
    {4, 5, 8, 8, When::Always, 0, 0, "WinChip 2x", "W2x (0.35-0.25 µm)", 59000000},
    {4, 5, 9, 9, When::Always, 0, 0, "WinChip 3", "W3 (0.25 µm)", 90000000},
    // NexGen
    {5, 5, 0, 0, When::Always, 0, 0, "Nx586", "Nx5x86 (0.50-0.44 µm)", 35000000},
    {5, 5, 6, 6, When::Always, 0, 0, "Nx686", "HA (0,50µm)", 60000000},
    // UMC: every family-4 part is the same die, named only for four models.
    {6, 4, 1, 1, When::Always, 0, 0, "U5D", "U5D and U5S", 12000000},
    {6, 4, 2, 2, When::Always, 0, 0, "U5S", "U5D and U5S", 12000000},
    {6, 4, 3, 3, When::Always, 0, 0, "U486DX2", "U5D and U5S", 12000000},
    {6, 4, 4, 4, When::Always, 0, 0, "U486SX2", "U5D and U5S", 12000000},
    {6, 4, 0, 15, When::Always, 0, 0, "", "U5D and U5S", 12000000},
    // Rise
    {7, 4, 0, 0, When::Always, 0, 0, "mP6", "mP6 (0.25-0.18 µm)", 36000000},
    {7, 4, 2, 2, When::Always, 0, 0, "mP6", "mP6 (0.25-0.18 µm)", 36000000},
};

bool Applies(const NameRow& row, int level2, int mhz) {
    switch (row.when) {
    case When::Always: return true;
    case When::L2Above: return level2 > row.a;
    case When::L2Equals: return level2 == row.a;
    case When::L2AtLeast: return level2 >= row.a;
    case When::L2Below: return level2 < row.a;
    case When::L2AtMost: return level2 <= row.a;
    case When::MhzEither: return mhz == row.a || mhz == row.b;
    case When::MhzAbove: return mhz > row.a;
    case When::MhzAtLeast: return mhz >= row.a;
    case When::MhzBelow: return mhz < row.a;
    }
    return false;
}

const char* NameByBrandIndex(int brandIndex) {
    switch (brandIndex) {
    case 0: return "Pentium III E";
    case 1: return "Celeron";
    case 2: return "Pentium III";
    case 3: return "Pentium III Xeon";
    case 8: return "Pentium 4";
    default: return "";
    }
}

constexpr std::uint32_t Bit(int n) { return std::uint32_t(1) << n; }

constexpr std::array<FeatureRow, kFeatureCount> kFeatures{{
    {"Built-In FPU", "FPU", FeatureSource::Standard, Bit(0)},
    {"Virtual Mode Extension", "VME", FeatureSource::Standard, Bit(1)},
    {"Debugging Extension", "DE", FeatureSource::Standard, Bit(2)},
    {"Page Size Extension", "PSE", FeatureSource::Standard, Bit(3)},
    {"Time Stamp Counter", "TSC", FeatureSource::Standard, Bit(4)},
    {"Model Specific Registers", "MSR", FeatureSource::Standard, Bit(5)},
    {"Physical Address Extension", "PAE", FeatureSource::Standard, Bit(6)},
    {"Machine Check Exception", "MCE", FeatureSource::Standard, Bit(7)},
    {"CMPXCHG8B Instruction Supported", "CX8", FeatureSource::Standard, Bit(8)},
    {"On-chip APIC Hardware Supported", "APIC", FeatureSource::Standard, Bit(9)},
    {"Fast System Call", "SEP", FeatureSource::Standard, Bit(11)},
    {"Memory Type Range Registers", "MTRR", FeatureSource::Standard, Bit(12)},
    {"Page Global Extension", "PGE", FeatureSource::Standard, Bit(13)},
    {"Machine Check Architecture", "MCA", FeatureSource::Standard, Bit(14)},
    {"Conditional Move Instruction Supported", "CMOV", FeatureSource::Standard, Bit(15)},
    {"Page Attribute Table", "PAT", FeatureSource::Standard, Bit(16)},
    {"36bit Page Size Extension", "PSE36", FeatureSource::Standard, Bit(17)},
    {"Processor serial number is present and enabled", "PSN", FeatureSource::Standard, Bit(18)},
    {"CLFLUSH Instruction Supported", "CLFSH", FeatureSource::Standard, Bit(19)},
    {"Debug Store", "DS", FeatureSource::Standard, Bit(21)},
    {"Thermal Monitor and Software Controlled Clock Facilities (ACPI)", "ACPI",
     FeatureSource::Standard, Bit(22)},
    {"Intel Architecture MMX technology supported", "MMX", FeatureSource::Standard, Bit(23)},
    {"Fast floating point save and restore", "FXSR", FeatureSource::Standard, Bit(24)},
    {"Streaming SIMD Extensions", "SSE", FeatureSource::Standard, Bit(25)},
    {"Streaming SIMD Extensions 2", "SSE2", FeatureSource::Standard, Bit(26)},
    {"Self-Snoop", "SS", FeatureSource::Standard, Bit(27)},
    {"Thermal Monitor supported", "TM", FeatureSource::Standard, Bit(29)},
    {"3D Now! Extensions", "_3DNOW", FeatureSource::Extended, Bit(31)},
    {"Enhanced 3D Now! Extensions", "EX_3DNOW", FeatureSource::Extended, Bit(30)},
    {"Enhanced MMX Extensions", "EX_MMX", FeatureSource::Extended, Bit(22) | Bit(24)},
}};

struct DescriptorRow {
    std::uint8_t descriptor;
    const char* text;
};

constexpr DescriptorRow kDescriptors[] = {
    {0x01, "Instruction TLB, 4K pages, 4-way set associative, 32 entries"},
    {0x02, "Instruction TLB, 4M pages, fully associative, 2 entries"},
    {0x03, "Data TLB, 4K pages, 4-way set associative, 64 entries"},
    {0x04, "Data TLB, 4M pages, 4-way set associative, 8 entries"},
    {0x06, "Instruction cache, 8K, 4-way set associative, 32 byte line size"},
    {0x08, "Instruction cache 16K, 4-way set associative, 32 byte line size"},
    {0x0A, "Data cache, 8K, 2-way set associative, 32 byte line size"},
    {0x0C, "Data cache, 16K, 4-way set associative, 32 byte line size"},
    {0x40, "No L2 cache (P6 family), or No L3 cache (Pentium 4 processor)"},
    {0x41, "Unified cache, 32 byte cache line,4-way set associative, 128K"},
    {0x42, "Unified cache, 32 byte cache line, 4-way set associative, 256K"},
    {0x43, "Unified cache, 32 byte cache line, 4-way set associative, 512K"},
    {0x44, "Unified cache, 32 byte cache line, 4-way set associative, 1M"},
    {0x45, "Unified cache, 32 byte cache line, 4-way set associative, 2M"},
    {0x50, "Instruction TLB, 4K, 2M or 4M pages, fully associative, 64 entries"},
    {0x51, "Instruction TLB, 4K, 2M or 4M pages, fully associative, 128 entries"},
    {0x52, "Instruction TLB, 4K, 2M or 4M pages, fully associative, 256 entries"},
    {0x5B, "Data TLB, 4K or 4M pages, fully associative, 64 entries"},
    {0x5C, "Data TLB, 4K or 4M pages, fully associative, 128 entries"},
    {0x5D, "Data TLB, 4K or 4M pages, fully associative, 256 entries"},
    {0x66, "Data cache, sectored, 64 byte cache line, 4 way set associative, 8K"},
    {0x67, "Data cache, sectored, 64 byte cache line, 4 way set associative, 16K"},
    {0x68, "Data cache, sectored, 64 byte cache line, 4 way set associative, 32K"},
    {0x70, "Instruction Trace cache, 8 way set associative, 12K uOps"},
    {0x71, "Instruction Trace cache, 8 way set associative, 16K uOps"},
    {0x72, "Instruction Trace cache, 8 way set associative, 32K uOps"},
    {0x79, "Unified cache, sectored, 64 byte cache line, 8 way set associative, 128K"},
    {0x7A, "Unified cache, sectored, 64 byte cache line, 8 way set associative, 256K"},
    {0x7B, "Unified cache, sectored, 64 byte cache line, 8 way set associative, 512K"},
    {0x7C, "Unified cache, sectored, 64 byte cache line, 8 way set associative, 1M"},
    {0x82, "Unified cache, 32 byte cache line, 8 way set associative, 256K"},
    {0x84, "Unified cache, 32 byte cache line, 8 way set associative, 1M"},
    {0x85, "Unified cache, 32 byte cache line, 8 way set associative, 2M"},
};

// Level-2 size in KB of a descriptor byte, -1 when the byte is no level-2
// descriptor (0x40 is one: "no level-2 cache").
int Level2Size(std::uint8_t descriptor) {
    switch (descriptor) {
    case 0x40: return 0;
    case 0x41: return 128;
    case 0x42: return 256;
    case 0x43: return 512;
    case 0x44: return 1024;
    case 0x45: return 2048;
    case 0x82: return 256;
    case 0x83: return 512;
    case 0x84: return 1024;
    case 0x85: return 2048;
    default: return -1;
    }
}

std::string Hex8(std::uint32_t value) {
    char buffer[9];
    std::snprintf(buffer, sizeof buffer, "%08X", value);
    return buffer;
}

void AppendRegister(std::string& text, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) text.push_back(char((value >> (8 * i)) & 0xFF));
}

std::uint32_t HighestBasicLeaf(const CpuidFn& cpuid) { return cpuid(0).eax; }
std::uint32_t HighestExtendedLeaf(const CpuidFn& cpuid) { return cpuid(0x80000000u).eax; }

}  // namespace

// ------------------------------------------------------------------ vendor

const VendorRow& VendorTableRow(int number) { return kVendors.at(std::size_t(number - 1)); }

std::string VendorSignature(const Regs& leaf0) {
    std::string text;
    AppendRegister(text, leaf0.ebx);
    AppendRegister(text, leaf0.edx);
    AppendRegister(text, leaf0.ecx);
    return text;
}

int VendorNumber(std::string_view signature) {
    for (int i = 0; i < kVendorCount; ++i)
        if (signature == kVendors[std::size_t(i)].signature) return i + 1;
    return 0;
}

// ------------------------------------------------------------------ signature

Signature DecodeSignature(const Regs& leaf1) {
    Signature s;
    s.stepping = int(leaf1.eax & 0xF);
    s.model = int((leaf1.eax >> 4) & 0xF);
    s.family = int((leaf1.eax >> 8) & 0xF);
    s.type = int((leaf1.eax >> 12) & 0x3);
    s.brandIndex = int(leaf1.ebx & 0xFF);
    return s;
}

// ------------------------------------------------------------------ names

NameEntry LookupName(int vendor, const Signature& signature, int level2KB, int mhz) {
    NameEntry entry;
    for (const NameRow& row : kNames) {
        if (row.vendor != vendor || row.family != signature.family) continue;
        if (signature.model < row.modelFrom || signature.model > row.modelTo) continue;
        if (!Applies(row, level2KB, mhz)) continue;
        entry.name = row.name ? row.name : NameByBrandIndex(signature.brandIndex);
        entry.codeName = row.codeName;
        entry.transistors = row.transistors;
        break;
    }
    if (vendor == kVendorIntel && signature.type == 1) entry.name += " OverDrive";
    return entry;
}

// ------------------------------------------------------------------ leaves

bool ExtendedLeafAvailable(std::uint32_t highestExtended, std::uint32_t leaf) {
    return highestExtended >= 0x80000000u && highestExtended <= 0x8000FFFFu &&
           leaf <= highestExtended;
}

std::string BrandString(const CpuidFn& cpuid) {
    if (!ExtendedLeafAvailable(HighestExtendedLeaf(cpuid), 0x80000004u)) return {};
    std::string text;
    for (std::uint32_t leaf = 0x80000002u; leaf <= 0x80000004u; ++leaf) {
        const Regs r = cpuid(leaf);
        AppendRegister(text, r.eax);
        AppendRegister(text, r.ebx);
        AppendRegister(text, r.ecx);
        AppendRegister(text, r.edx);
    }
    return text;
}

std::string SerialNumberText(std::uint32_t leaf1Eax, std::uint32_t leaf3Edx,
                             std::uint32_t leaf3Ecx) {
    std::string text;
    for (std::uint32_t value : {leaf1Eax, leaf3Edx, leaf3Ecx}) {
        const std::string hex = Hex8(value);
        if (!text.empty()) text += '-';
        text += hex.substr(0, 4);
        text += '-';
        text += hex.substr(4, 4);
    }
    return text;
}

// ------------------------------------------------------------------ features

const FeatureRow& FeatureTableRow(int index) { return kFeatures.at(std::size_t(index)); }

FeatureWords ReadFeatureWords(const CpuidFn& cpuid) {
    FeatureWords words;
    if (ExtendedLeafAvailable(HighestExtendedLeaf(cpuid), 0x80000001u))
        words.extended = cpuid(0x80000001u).edx;
    words.standard = cpuid(1).edx;
    return words;
}

bool FeatureSet(const FeatureRow& row, const FeatureWords& words) {
    const std::uint32_t word =
        row.source == FeatureSource::Standard ? words.standard : words.extended;
    return (word & row.mask) != 0;
}

// ------------------------------------------------------------------ caches

const char* DescriptorText(std::uint8_t descriptor) {
    for (const DescriptorRow& row : kDescriptors)
        if (row.descriptor == descriptor) return row.text;
    return nullptr;
}

CacheFacts DecodeIntelDescriptors(const Regs& leaf2) {
    std::array<std::uint8_t, 16> bytes{};
    const std::uint32_t regs[4] = {leaf2.eax, leaf2.ebx, leaf2.ecx, leaf2.edx};
    for (int r = 0; r < 4; ++r)
        for (int i = 0; i < 4; ++i) bytes[std::size_t(r * 4 + i)] = std::uint8_t(regs[r] >> (8 * i));

    CacheFacts facts;
    // The first byte counts how often leaf 2 must be executed; it describes
    // no cache of level 2.
    for (std::size_t i = 1; i < bytes.size(); ++i) {
        const int size = Level2Size(bytes[i]);
        if (size >= 0) facts.level2 = size;
    }
    // Level 1 and the description look at every byte: the last recognised
    // one names the description.
    for (std::uint8_t b : bytes) {
        switch (b) {
        case 0x0A: facts.l1Data = 8; break;
        case 0x0C: facts.l1Data = 16; break;
        case 0x06: facts.l1Code = 8; break;
        case 0x08: facts.l1Code = 16; break;
        case 0x80: facts.level1 = 16; break;
        default: break;
        }
        if (const char* text = DescriptorText(b)) facts.intelDescription = text;
    }
    return facts;
}

CacheFacts ReadCaches(int vendor, const CpuidFn& cpuid) {
    CacheFacts facts;
    switch (vendor) {
    case kVendorIntel: {
        // A Pentium (highest basic leaf 1) answers leaf 2 with leaf 1's
        // registers, its signature and feature flags, which would read as
        // descriptors of caches it does not have.
        if (HighestBasicLeaf(cpuid) < 2) break;
        Regs regs = cpuid(2);
        const unsigned times = regs.eax & 0xFF;
        if (times == 0) {
            regs = Regs{};
        } else {
            for (unsigned i = 1; i < times; ++i) regs = cpuid(2);
        }
        facts = DecodeIntelDescriptors(regs);
        break;
    }
    case kVendorAMD: {
        if (!ExtendedLeafAvailable(HighestExtendedLeaf(cpuid), 0x80000005u)) break;
        const Regs r = cpuid(0x80000005u);
        facts.l1Data = int(r.ecx >> 24);
        facts.l1Code = int(r.edx >> 24);
        facts.level1 = facts.l1Data + facts.l1Code;
        break;
    }
    case kVendorCyrix: {
        if (!ExtendedLeafAvailable(HighestExtendedLeaf(cpuid), 0x80000005u)) break;
        const Regs r = cpuid(0x80000005u);
        for (int i = 0; i < 4; ++i)
            if (((r.ecx >> (8 * i)) & 0xFF) == 0x80) facts.level1 = 16;
        break;
    }
    default: break;
    }
    return facts;
}

// ------------------------------------------------------------------ clock

std::int64_t RoundHalfEven(double value) {
    // nearbyint honours the current rounding mode, which is round-to-nearest-
    // even unless someone changed it; rounding by hand keeps it independent.
    const double floor = std::floor(value);
    const double diff = value - floor;
    std::int64_t result = std::int64_t(floor);
    if (diff > 0.5 || (diff == 0.5 && (result % 2) != 0)) ++result;
    return result;
}

int NormaliseMHz(int mhz) {
    static constexpr int kEndings[] = {0, 20, 33, 50, 60, 66, 80, 90, 100};
    if (mhz <= 0) return mhz;
    const int rest = mhz % 100;
    const int hundreds = mhz - rest;
    for (std::size_t i = 1; i < std::size(kEndings); ++i) {
        if (kEndings[i] > rest) {
            const int lower = kEndings[i - 1], upper = kEndings[i];
            return hundreds + (upper - rest <= rest - lower ? upper : lower);
        }
    }
    return mhz;   // not reached: every rest is below 100
}

ClockMeasurement MeasureClock(ClockSource& source) {
    ClockMeasurement result;
    const std::int64_t frequency = source.performanceFrequency();
    if (frequency <= 0) return result;

    // A round lasts 1000 counts, but never less than a millisecond. With a
    // fast counter (a nanosecond clock counts 1000 in one microsecond) the
    // elapsed time of 1000 counts would round to 0 or 1 µs, which divides by
    // zero or measures nothing; a millisecond keeps the rounding error of
    // the microseconds below 0.05 % on any counter. The 1.19 MHz timer of
    // the first PCs keeps its 1000 counts (0.84 ms); the 3.58 MHz power-
    // management timer counts 3580 instead of 1000 (1 ms instead of 0.28).
    const std::int64_t window = std::max<std::int64_t>(1000, (frequency + 999) / 1000);
    constexpr std::int64_t settle = 50;   // waits for a fresh count to start from

    std::uint64_t totalTicks = 0;
    std::uint64_t totalMicroseconds = 0;
    std::int64_t previous1 = 0, previous2 = 0;   // the MHz of the last two rounds
    for (int round = 1; round <= 20; ++round) {
        std::int64_t t0 = source.performanceCounter();
        const bool raised = source.raisePriority();
        std::int64_t t1;
        std::uint32_t s0, s1;
        // A counter that stops moving would hold the program here for good;
        // after this many readings (a quarter of a second or more on any
        // processor) the clock is given up as unmeasurable.
        constexpr long kMaxReadings = 10000000;
        long readings = 0;
        do {
            t1 = source.performanceCounter();
            s0 = source.timeStampLow();
        } while (t1 - t0 < settle && ++readings < kMaxReadings);
        t0 = t1;
        do {
            t1 = source.performanceCounter();
            s1 = source.timeStampLow();
        } while (t1 - t0 < window && ++readings < kMaxReadings);
        if (raised) source.restorePriority();
        if (readings >= kMaxReadings) return ClockMeasurement{};

        const std::uint32_t ticks = s1 - s0;   // wraps like the 32-bit counter
        const std::int64_t microseconds =
            RoundHalfEven(double(t1 - t0) * 100000.0 / (double(frequency) / 10.0));
        // The window makes this at least 1000; should a counter jump backwards
        // the round is worthless and left out rather than divided by.
        if (microseconds <= 0) continue;
        totalTicks += ticks;
        totalMicroseconds += std::uint64_t(microseconds);
        ++result.rounds;
        const std::int64_t current = RoundHalfEven(double(ticks) / double(microseconds));

        if (result.rounds >= 3) {
            const std::int64_t sum = current + previous1 + previous2;
            bool steady = true;
            for (std::int64_t v : {current, previous1, previous2})
                if (std::abs(3 * v - sum) > 3) steady = false;
            if (steady) break;
        }
        previous2 = previous1;
        previous1 = current;
    }
    if (totalMicroseconds > 0)
        result.mhz = int(RoundHalfEven(double(totalTicks) / double(totalMicroseconds)));
    return result;
}

// ------------------------------------------------------------------ flaw

bool DivisionFlawWith(long double (*divide)(long double x, long double y)) {
    // volatile keeps the compiler from folding the test into a constant: it
    // must run on the floating-point unit in question.
    volatile long double x = 4195835.0L;
    volatile long double y = 3145727.0L;
    const long double result = x - divide(x, y) * y;
    return result != 0.0L;
}

bool DivisionFlawPresent() {
    return DivisionFlawWith([](long double x, long double y) { return x / y; });
}

}  // namespace torvex::cpu
