// The firmware segment of a simulated PC, from the "firmware" record of its
// machine.json (see machines/README.md).
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/machine/Machine.h"

namespace torvex::platform {

// The segment the machine's facts describe; nullopt when they have no
// "firmware" record. `source` names machine.json in messages; a record the
// writer cannot take throws MachineError naming the member. A file the
// record names is looked for in `folders` (the machine's, then its bases';
// none given: the folder of `source`).
std::optional<FirmwareSegment> SimulatedFirmware(const nlohmann::json& facts, const std::string& source,
                                                 const std::vector<std::filesystem::path>& folders = {});

}  // namespace torvex::platform
