// The live host's run-time engines, SCSI layer and processor idle time in
// Windows' shape.
//
// The kernel's SCSI generic driver (sg) plays the ASPI layer: its version
// (/proc/scsi/sg/version) is the layer's, and the SCSI devices in sysfs are
// the devices it finds; each host and channel pair is one host adapter, in
// the kernel's order. unixODBC's driver manager library (libodbc.so.N...)
// is the ODBC driver manager, its version the library's. The idle time is
// that of cpu0 in /proc/stat, idle and I/O wait together, as NT's idle
// thread runs while a processor waits for a disk.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/machine/DiskFacts.h"

namespace torvex::platform::host {

// nullopt without the sg driver.
std::optional<AspiFacts> HostAspiLayer(const std::filesystem::path& root);
// "30536\t3.5.36 [20140603]" -> 3.5.36.0; nullopt when unreadable.
std::optional<FileVersionNumbers> SgDriverVersion(const std::filesystem::path& root);
// The driver manager's version from its library's file name
// ("libodbc.so.2.0.0" -> 2.0.0.0); nullopt when unixODBC is not installed.
std::optional<FileVersionNumbers> OdbcDriverManagerVersion(const std::filesystem::path& root);
// cpu0's idle time in 100-ns units from /proc/stat text (ticks per second
// as the kernel counts them); nullopt when the line is missing or damaged.
std::optional<std::uint64_t> Cpu0IdleTime(std::string_view procStat, long ticksPerSecond);

}  // namespace torvex::platform::host
