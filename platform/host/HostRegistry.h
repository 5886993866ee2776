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
    std::string kernelType;       // "Multiprocessor Free" or "Uniprocessor Free"
    std::string computerName;     // NetBIOS form of the host name
    std::optional<HostTimeZone> timeZone;   // the local zone, listed under "Time Zones"
    // The hardware description: the machine type Windows names an x86 PC
    // with, and the firmware's version and date (/sys/class/dmi/id).
    std::string machineIdentifier;
    std::string biosVersion;
    std::string biosDate;         // as the kernel gives it, "MM/DD/YYYY"
    // The device tree comes from the kernel's device manager, which only
    // knows the running system: a replayed tree has no devices.
    bool liveDevices = true;
};

// Fills the registry with every projected key. Each area of the system has
// its own small projector, so that more keys (devices, time zones, ...) are
// added as further projectors.
void ProjectHostRegistry(Registry& registry, const HostRegistryFacts& facts);

// The kernel's kind as NT names its own: a kernel built for several
// processors ("#1 SMP PREEMPT ..." in /proc/sys/kernel/version) is
// "Multiprocessor Free", any other "Uniprocessor Free" (every released
// kernel is a free, not a checked, build). "" without a version text.
std::string KernelType(const std::string& kernelVersion);

// The firmware date as Windows keeps it, "MM/DD/YY"; a date in another form
// stays as it is.
std::string WindowsBiosDate(const std::string& kernelDate);

}  // namespace torvex::platform::host
