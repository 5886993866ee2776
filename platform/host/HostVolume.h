// The host's volumes as drive letters see them, and the processors' idle
// time, for the desktop components' questions.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/host/HostDrives.h"
#include "platform/machine/VolumeFacts.h"

namespace torvex::platform::host {

// The kind, label and file system of a lettered volume; nullopt for a
// letter without a volume. The label comes from the udev links in
// <root>/dev/disk/by-label that lead to the volume's device; a volume
// without one has no label.
std::optional<VolumeFacts> HostVolumeFacts(const DriveMap& map, char letter, const std::filesystem::path& root);

// The "cpu" line of /proc/stat: idle ticks of all processors as 100 ns
// units; nullopt when the text has no such line.
std::optional<std::uint64_t> IdleTimeFromProcStat(std::string_view text, long ticksPerSecond);

// Reads <root>/proc/stat once.
std::optional<std::uint64_t> HostProcessorIdleTime(const std::filesystem::path& root);

}  // namespace torvex::platform::host
