// The live host's devices in the shape Windows enumerates them.
//
// Three steps, so that the rules can be checked without the machine that
// runs the checks (DeviceTables.cpp holds what the rules know, DeviceRules.cpp
// the pure steps 2 and 3, DeviceRecords.cpp the list as text; only this
// header's step 1, in HostDevices.cpp and SysfsDevices.cpp, reads the system):
//  1. CollectKernelDevices reads what the kernel and udev know (/sys, udev's
//     database, the hardware database for the names lspci and lsusb show)
//     into plain records. Only this step touches the running system.
//  2. ClassifyDevices turns those records into Windows devices: the setup
//     class and class GUID that fit, names, manufacturer, bus location, the
//     hardware ids in Windows' form built from the real bus ids, the bound
//     kernel driver as the service. A pure function.
//  3. ProjectDevices writes the devices into the registry: the Enum tree
//     (a started device - one bound to a driver - has its "Control" key),
//     the class keys and the service keys. A pure function.
// The host's device tree is built once per process (HostDevices()).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/host/HostRegistry.h"
#include "platform/machine/Registry.h"

namespace torvex::platform::host {

// A device as the kernel and udev show it.
struct KernelDevice {
    std::string syspath;     // "/sys/devices/pci0000:00/0000:00:03.0"
    std::string subsystem;   // "pci", "usb", "block", "input", "acpi", "drm", "scsi", "tty", "net"
    std::string devtype;     // "usb_device", "usb_interface", "disk", "scsi_device", ...
    std::string sysname;     // "0000:00:03.0", "sda", "input3"
    std::string driver;      // the driver bound to it, "" when none
    // udev's properties (the uevent and, where udev adds them, the hardware
    // database's ID_VENDOR_FROM_DATABASE, ID_MODEL_FROM_DATABASE, ...).
    std::map<std::string, std::string> properties;
    // The sysfs attributes the classification reads, by name relative to
    // the device ("revision", "device/model", "capabilities/key", "edid").
    // "physical_node" is the resolved device path an ACPI device stands
    // for, "physical_node/driver" that device's driver.
    std::map<std::string, std::string> attributes;

    std::string property(const std::string& name) const;
    std::string attribute(const std::string& name) const;
};

// Facts about the host that name some devices.
struct HostDeviceContext {
    unsigned processors = 1;       // the computer device: uni- or multiprocessor
    std::string processorName;     // each processor's description
    std::string kernelRelease;     // the drivers' version
};

// One device as Windows keeps it under HKLM\SYSTEM\CurrentControlSet\Enum.
struct HostDevice {
    std::string enumerator;    // "PCI", "USB", "HID", "ACPI", "SCSI", "IDE", "USBSTOR", "DISPLAY", "ROOT"
    std::string deviceId;      // "VEN_8086&DEV_0D57&SUBSYS_00000000&REV_01"
    std::string instance;      // "3&2411e6fe&0&00"
    std::string className;     // setup class: "Display", "Net", "MEDIA", ...
    std::string classGuid;     // "{4D36E968-E325-11CE-BFC1-08002BE10318}"
    std::string friendlyName;
    std::string description;
    std::string manufacturer;
    std::string location;
    std::vector<std::string> hardwareIds;
    std::string service;       // the bound kernel driver
    bool active = false;       // bound to a driver
    std::vector<std::pair<std::string, std::string>> parameters;   // "Device Parameters" texts
    std::string sourcePath;    // the kernel device it was made from
};

// A setup class of Windows: name, GUID, the description Device Manager shows.
struct SetupClass {
    const char* name;
    const char* guid;
    const char* description;
};
// The class of that name (compared without letter case); nullptr if none.
const SetupClass* FindSetupClass(const std::string& name);
// The name of the service key a kernel driver is projected to.
std::string ServiceKeyName(const std::string& driver);

// The Windows devices the records make, in record order, with the computer
// device first.
std::vector<HostDevice> ClassifyDevices(const std::vector<KernelDevice>& records,
                                        const HostDeviceContext& context);

// Writes the devices, their classes and their services into the registry.
void ProjectDevices(Registry& registry, const std::vector<HostDevice>& devices,
                    const HostDeviceContext& context);

// The hardware database's lookup key of a device ("pci:v...", "usb:v...p...");
// "" when it has none.
std::string HardwareDatabaseKey(const KernelDevice& k);

// Whether the collection keeps a record: one of the subsystems the rules
// read, and no terminal on no hardware.
bool CollectedRecord(const KernelDevice& k);

// The device list as text and back (the form `udevadm info --export-db`
// writes, with subsystem, type, name, driver and attributes added), so that
// a machine's devices can be recorded and the rules replayed over them. The
// reader also takes a dump of udev's database as it stands, keeping the
// records the collection would keep. A line it cannot read throws
// MachineError naming the file and line.
std::string SaveKernelDevices(const std::vector<KernelDevice>& devices);
std::vector<KernelDevice> ParseKernelDevices(std::string_view text, const std::string& fileName);
std::vector<KernelDevice> LoadKernelDevices(const std::filesystem::path& file);

// The devices of the subsystems the rules read, straight from <root>/sys
// (and udev's database under <root>/run/udev/data where a udev daemon keeps
// one), in udev's order; no names from the hardware database.
std::vector<KernelDevice> ReadSysfsDevices(const std::filesystem::path& root);
// What the running system has: its /sys with the hardware database's names.
std::vector<KernelDevice> CollectKernelDevices();
// The live host's devices, collected and classified once per process.
const std::vector<HostDevice>& HostDevices();

// The projector of the host registry: the live host's device tree.
void ProjectHostDevices(Registry& registry, const HostRegistryFacts& facts);

}  // namespace torvex::platform::host
