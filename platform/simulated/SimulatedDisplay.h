// The screen device and the multimedia devices of a simulated PC, from the
// "display" and "media" records of its machine.json (see machines/README.md).
#pragma once

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "platform/machine/Machine.h"

namespace torvex::platform {

// nullopt when the facts have no such record. `source` names machine.json in
// messages; a record that cannot be used throws MachineError naming the
// member ("/display/modes/3: ...").
std::optional<DisplayFacts> SimulatedDisplay(const nlohmann::json& facts, const std::string& source);
std::optional<MediaFacts> SimulatedMedia(const nlohmann::json& facts, const std::string& source);

}  // namespace torvex::platform
