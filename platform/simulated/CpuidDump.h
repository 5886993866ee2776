// The register values of a real processor, read from a CPUID dump.
//
// The dump is the text a register-dumping tool writes: an optional header
// ("CPU Type : Intel Pentium III, 450 MHz (4.5 x 100)"), then per logical
// processor a section "------[ Logical CPU #n ]------" with lines
//
//     CPUID 00000001: 00000673-00000000-00000000-0387F9FF
//
// (leaf, then EAX-EBX-ECX-EDX in hex). The tools that wrote such dumps over
// the years vary the punctuation: a colon or none, registers separated by
// '-' or blanks, a tab before them, and a comment after them ("[GenuineIntel]").
// All of these are read. A file without sections is one processor. Only the
// first processor is used. A leaf listed several times in a row holds its
// sub-leaves 0, 1, 2 ... in that order.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/machine/Machine.h"

namespace torvex::platform {

class CpuidDump {
public:
    // Reads a dump; throws MachineError naming the file and line when a
    // CPUID line is malformed or the dump has no leaf 0.
    static CpuidDump Load(const std::filesystem::path& path);
    // The same from text already in memory; fileName is used in errors.
    static CpuidDump Parse(std::string_view text, const std::string& fileName);

    // The registers the processor returns for leaf/subLeaf. A leaf that the
    // dump lacks is answered as the real processor answers it: an Intel
    // processor returns its highest basic leaf's registers for a leaf above
    // its maximum basic leaf, and for an extended leaf above its maximum
    // extended leaf (every extended leaf when it has none); any other missing
    // leaf, and every missing leaf of other vendors, reads as zeros. A leaf
    // listed once ignores the sub-leaf (as leaves without sub-leaves do); a
    // sub-leaf beyond those listed reads as zeros.
    CpuidAnswer answer(std::uint32_t leaf, std::uint32_t subLeaf = 0) const;
    // True when the dump lists the leaf (any sub-leaf).
    bool lists(std::uint32_t leaf) const { return leaves_.count(leaf) != 0; }

    // The vendor string of leaf 0 ("GenuineIntel", "AuthenticAMD", ...).
    std::string vendor() const;
    std::uint32_t maxBasicLeaf() const;
    // nullopt when the dump lacks leaf 80000000h.
    std::optional<std::uint32_t> maxExtendedLeaf() const;

    // The header's "CPU Type" text and the clock it names in MHz ("450 MHz"),
    // nullopt when the header has none.
    const std::string& cpuType() const { return cpuType_; }
    std::optional<std::uint32_t> headerClockMhz() const { return headerClockMhz_; }

private:
    std::map<std::uint32_t, std::vector<CpuidAnswer>> leaves_;
    std::string cpuType_;
    std::optional<std::uint32_t> headerClockMhz_;
};

}  // namespace torvex::platform
