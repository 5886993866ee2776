// The firmware segment of a simulated PC, from the "firmware" record of its
// machine.json (see machines/README.md).
#pragma once

#include <filesystem>
#include <optional>

#include <nlohmann/json.hpp>

#include "platform/machine/Machine.h"

namespace torvex::platform {

// The segment the machine's facts describe; nullopt when they have no
// "firmware" record. `source` names machine.json in messages; a record the
// writer cannot take throws MachineError naming the member.
std::optional<FirmwareSegment> SimulatedFirmware(const nlohmann::json& facts, const std::string& source);

}  // namespace torvex::platform
