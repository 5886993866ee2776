#include "platform/host/HostDevices.h"

#include <libudev.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "platform/host/DeviceTables.h"
#include "platform/machine/FileText.h"

// The collection: the kernel's devices (SysfsDevices.cpp) with the names
// the hardware database gives them, as plain records for the pure rules
// (DeviceRules.cpp).

namespace torvex::platform::host {

namespace {

// Names from the hardware database, as udev's own database would hold
// them; filled here when no udev daemon has stored them.
void AddDatabaseNames(udev_hwdb* hwdb, KernelDevice& k) {
    if (!hwdb || !k.property("ID_MODEL_FROM_DATABASE").empty()) return;
    std::string key = HardwareDatabaseKey(k);
    if (key.empty()) return;
    udev_list_entry* entry = udev_hwdb_get_properties_list_entry(hwdb, key.c_str(), 0);
    for (; entry; entry = udev_list_entry_get_next(entry)) {
        const char* name = udev_list_entry_get_name(entry);
        const char* value = udev_list_entry_get_value(entry);
        if (name && value && k.properties.find(name) == k.properties.end()) k.properties[name] = value;
    }
}

}  // namespace

std::vector<KernelDevice> CollectKernelDevices() {
    std::vector<KernelDevice> out = ReadSysfsDevices("/");
    if (out.empty()) return out;
    udev* u = udev_new();
    udev_hwdb* hwdb = u ? udev_hwdb_new(u) : nullptr;
    if (!hwdb) Trace("devices", "hardware database: missing, devices keep the kernel's own names");
    for (KernelDevice& k : out) AddDatabaseNames(hwdb, k);
    if (hwdb) udev_hwdb_unref(hwdb);
    if (u) udev_unref(u);
    return out;
}

namespace {

HostDeviceContext LiveContext() {
    HostDeviceContext c;
    long n = sysconf(_SC_NPROCESSORS_CONF);
    c.processors = n > 0 ? unsigned(n) : 1;
    if (auto cpuinfo = ReadFileTraced("/proc/cpuinfo", "devices")) {
        for (const KeyValue& kv : ParseKeyValues(*cpuinfo, ':'))
            if (kv.key == "model name") {
                c.processorName = kv.value;
                break;
            }
        if (c.processorName.empty()) Trace("devices", "/proc/cpuinfo: no \"model name\", processors unnamed");
    }
    utsname u{};
    if (uname(&u) == 0) c.kernelRelease = u.release;
    return c;
}

const HostDeviceContext& LiveContextOnce() {
    static const HostDeviceContext c = LiveContext();
    return c;
}

}  // namespace

const std::vector<HostDevice>& HostDevices() {
    static const std::vector<HostDevice> devices = ClassifyDevices(CollectKernelDevices(), LiveContextOnce());
    return devices;
}

void ProjectHostDevices(Registry& registry, const HostRegistryFacts& facts) {
    if (!facts.liveDevices) return;
    ProjectDevices(registry, HostDevices(), LiveContextOnce());
}

}  // namespace torvex::platform::host
