// The live host's facts, read from the text the kernel and the distribution
// write, and turned into Windows' figures. Pure functions over text, so that
// a captured /proc, /sys and /etc tree gives the same answers everywhere.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "platform/machine/Machine.h"

namespace torvex::platform::host {

// The whole 2 GB user range of the 32-bit personality, 0x10000-0x7FFEFFFF.
constexpr std::uint64_t kAppAddressSpace = 0x7FFE0000ull;

// /proc/meminfo -> the memory status record.
//   physical:  MemTotal, MemAvailable (kernels before 3.14 lack it: then
//              MemFree + Buffers + Cached, the estimate free(1) used);
//   page file: the commit limit and what is left of it (CommitLimit,
//              CommitLimit - Committed_AS, not below 0) - Windows' "page
//              file" figures are commit figures too;
//   virtual:   the 32-bit user range, all of it available (see the .cpp).
// Values the text lacks stay zero.
MemoryFacts ParseMeminfo(std::string_view text);

// The memory load as Windows computes it: the used share of physical memory
// in whole percent, rounded down.
std::uint32_t MemoryLoad(std::uint64_t totalPhys, std::uint64_t availPhys);

// KEY=value lines of os-release, with shell quoting and escapes undone.
std::map<std::string, std::string> ParseOsRelease(std::string_view text);

// The service-pack text of the version record: "Linux " + kernel release.
std::string ServicePackText(std::string_view kernelRelease);

// Processor level and revision as Windows derives them from the CPUID
// signature (leaf 1, EAX): level = family (base family + extended family
// when the base is 15), revision = model << 8 | stepping (the model with the
// extended model for families 6 and 15).
struct ProcessorLevel {
    std::uint16_t level = 0, revision = 0;
};
ProcessorLevel LevelFromSignature(std::uint32_t signature);

// The number of CPUs in a kernel CPU list ("0-3,6,8-9" -> 7); 0 when the
// text is not a list.
std::uint32_t CountCpuList(std::string_view list);

// The NetBIOS form of a host name, which GetComputerName returns on
// Windows: the first label, upper case, at most 15 characters.
std::string NetBiosName(std::string_view hostName);

struct PasswdEntry {
    std::string login, gecos, home;
    std::uint32_t uid = 0;
};
// The entry of a uid in /etc/passwd text.
std::optional<PasswdEntry> FindPasswdEntry(std::string_view passwd, std::uint32_t uid);
// The full name in a GECOS field: its first comma-separated part, trimmed.
std::string GecosFullName(std::string_view gecos);

}  // namespace torvex::platform::host
