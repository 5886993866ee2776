// What the host's device rules know about Windows: its setup classes, the
// class each PCI class code and USB interface class gets, the firmware
// (ACPI) device ids it names, and the sysfs attributes the rules read.
// Plain tables, so that knowledge is added as a row and not as code.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/host/HostDevices.h"

namespace torvex::platform::host {

// The setup class of a PCI function by its class code (base class, sub
// class); nullptr for a class code of no known kind.
const char* PciSetupClass(int base, int sub);

// The setup class and the name Windows gives a USB function by its
// interface class.
struct UsbFunction {
    const char* className;
    const char* description;
};
// nullopt for the data half of a communications function; a class of no
// known kind is a "USB Device" of class USB when a driver runs it, else of
// class Unknown.
std::optional<UsbFunction> UsbInterfaceClass(unsigned cls, unsigned sub, unsigned proto, bool bound);

// A firmware device id Windows knows by name.
struct AcpiRule {
    const char* id;
    const char* className;
    const char* description;
    const char* manufacturer;
};
const AcpiRule* FindAcpiRule(const std::string& id);
// Firmware nodes that are no devices of their own on Windows.
bool SkippedAcpiId(const std::string& id);

// The kernel subsystems whose devices the rules read.
const std::vector<const char*>& CollectedSubsystems();

// The sysfs attributes the rules read for a subsystem (and USB device type).
const std::vector<std::string>& AttributesFor(const std::string& subsystem, const std::string& devtype);

}  // namespace torvex::platform::host
