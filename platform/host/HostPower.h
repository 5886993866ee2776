// Mains and battery of the live host, from the kernel's power supply class
// (<root>/sys/class/power_supply), in Windows' terms.
#pragma once

#include <filesystem>

#include "platform/machine/Machine.h"

namespace torvex::platform::host {

// Mains is online when a mains or USB supply says so; a PC without any
// supply reports mains online, and a PC without a system battery (batteries
// of a mouse or a headset do not count) "no battery", as Windows does on a
// desktop PC. A battery gives its charge in percent, its state as Windows'
// flags (high above 66 %, low below 33 %, critical below 5 %, charging) and,
// while it discharges, its remaining and full running times.
PowerStatusFacts ReadPowerSupplies(const std::filesystem::path& root);

}  // namespace torvex::platform::host
