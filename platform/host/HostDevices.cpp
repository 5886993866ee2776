#include "platform/host/HostDevices.h"

#include <libudev.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <filesystem>

#include "platform/host/DeviceTables.h"
#include "platform/machine/FileText.h"

// The collection: what libudev and its hardware database know about the
// running system, as plain records for the pure rules (DeviceRules.cpp).

namespace torvex::platform::host {

namespace fs = std::filesystem;

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

std::string Str(const char* s) { return s ? s : ""; }

}  // namespace

std::vector<KernelDevice> CollectKernelDevices() {
    std::vector<KernelDevice> out;
    udev* u = udev_new();
    if (!u) {
        Trace("devices", "libudev: no context, no devices");
        return out;
    }
    udev_hwdb* hwdb = udev_hwdb_new(u);
    if (!hwdb) Trace("devices", "hardware database: missing, devices keep the kernel's own names");
    udev_enumerate* e = udev_enumerate_new(u);
    if (e) {
        for (const char* s : CollectedSubsystems()) udev_enumerate_add_match_subsystem(e, s);
        udev_enumerate_scan_devices(e);
        udev_list_entry* entry = udev_enumerate_get_list_entry(e);
        for (; entry; entry = udev_list_entry_get_next(entry)) {
            udev_device* dev = udev_device_new_from_syspath(u, udev_list_entry_get_name(entry));
            if (!dev) continue;
            KernelDevice k;
            k.syspath = Str(udev_device_get_syspath(dev));
            k.subsystem = Str(udev_device_get_subsystem(dev));
            k.devtype = Str(udev_device_get_devtype(dev));
            k.sysname = Str(udev_device_get_sysname(dev));
            k.driver = Str(udev_device_get_driver(dev));
            if (!CollectedRecord(k)) {
                udev_device_unref(dev);
                continue;
            }
            for (udev_list_entry* p = udev_device_get_properties_list_entry(dev); p; p = udev_list_entry_get_next(p))
                k.properties[Str(udev_list_entry_get_name(p))] = Str(udev_list_entry_get_value(p));
            for (const std::string& a : AttributesFor(k.subsystem, k.devtype)) {
                const char* v = udev_device_get_sysattr_value(dev, a.c_str());
                if (v) k.attributes[a] = Trim(v);
            }
            if (k.subsystem == "drm" && k.sysname.find('-') != std::string::npos) {
                FileRead edid = ReadWholeFile(fs::path(k.syspath) / "edid", 1u << 16);
                if (edid && !edid.text.empty()) k.attributes["edid"] = std::move(edid.text);
                else if (TraceEnabled() && k.attribute("status") == "connected")
                    Trace("devices", edid ? k.syspath + "/edid: empty, the monitor stays unnamed" : edid.reason);
            }
            if (k.subsystem == "acpi") {
                std::error_code ec;
                fs::path node = fs::canonical(fs::path(k.syspath) / "physical_node", ec);
                if (!ec) {
                    k.attributes["physical_node"] = node.string();
                    fs::path drv = fs::read_symlink(node / "driver", ec);
                    if (!ec) k.attributes["physical_node/driver"] = drv.filename().string();
                }
            }
            AddDatabaseNames(hwdb, k);
            out.push_back(std::move(k));
            udev_device_unref(dev);
        }
        udev_enumerate_unref(e);
    } else {
        Trace("devices", "libudev: cannot enumerate, no devices");
    }
    if (hwdb) udev_hwdb_unref(hwdb);
    udev_unref(u);
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
