// The network of a simulated PC, from the "network" record of its
// machine.json (see machines/README.md, "Network").
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/machine/Machine.h"

namespace torvex::platform {

struct SimulatedNetworkFacts {
    std::string hostName;   // "" : the computer name
    WinsockFacts winsock;
    std::vector<NetworkAdapterFacts> adapters;
    std::optional<NetworkParamsFacts> params;
    std::vector<NetBiosAdapterFacts> netBios;
    std::string source;      // machine.json, for the trace
    bool recorded = false;   // the machine has a "network" record

    // Says in the trace where an answer came from ("adapters", "params" ...).
    void traceAnswer(const char* what) const;
};

// The facts of the record; defaults when the machine has none. `source`
// names machine.json in messages; a fact of the wrong form throws
// MachineError naming its place ("/network/adapters/1/address: ...").
SimulatedNetworkFacts SimulatedNetwork(const nlohmann::json& facts, const std::string& source);

// "00-A0-C9-12-34-56" (or with colons) as bytes; "" is no address. nullopt
// when the text is not such an address of at most eight bytes.
std::optional<std::vector<std::uint8_t>> ParseHardwareAddress(const std::string& text);

}  // namespace torvex::platform
