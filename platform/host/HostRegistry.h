// The registry of the live host: the keys Windows programs read, projected
// from the running system. Built once, held in memory, never written to
// disk.
#pragma once

#include <optional>
#include <string>

#include "platform/host/HostTimeZone.h"

#include "platform/machine/Registry.h"

namespace torvex::platform::host {

// What the projection is made from. An empty text is a fact the host does
// not have; its value is then left out, as on a PC that lacks it.
struct HostRegistryFacts {
    std::string productName;      // PRETTY_NAME of os-release
    std::string registeredOwner;  // full name from the password database, else login
    std::string productId;        // the machine id
    std::string csdVersion;       // "Linux <kernel release>"
    std::string computerName;     // NetBIOS form of the host name
    std::optional<HostTimeZone> timeZone;   // the local zone, listed under "Time Zones"
};

// Fills the registry with every projected key. Each area of the system has
// its own small projector, so that more keys (devices, time zones, ...) are
// added as further projectors.
void ProjectHostRegistry(Registry& registry, const HostRegistryFacts& facts);

}  // namespace torvex::platform::host
