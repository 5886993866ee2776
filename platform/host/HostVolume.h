// The processors' idle time, for the desktop components' questions (the
// volumes answer through the drive facts of HostDisks.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>


namespace torvex::platform::host {

// The "cpu" line of /proc/stat: idle ticks of all processors as 100 ns
// units; nullopt when the text has no such line.
std::optional<std::uint64_t> IdleTimeFromProcStat(std::string_view text, long ticksPerSecond);

// Reads <root>/proc/stat once.
std::optional<std::uint64_t> HostProcessorIdleTime(const std::filesystem::path& root);

}  // namespace torvex::platform::host
