#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "platform/host/DeviceTables.h"
#include "platform/host/HostDevices.h"
#include "platform/machine/FileText.h"

// The kernel's device list read straight from /sys: only the subsystems the
// rules read are listed, and of each device only its uevent, its driver link
// and the attributes the rules name. Enumerating through libudev instead
// reads every device of a subsystem in full (terminals on no hardware
// included) and costs several thousand file opens per report. What udev
// itself adds (its database under /run/udev/data) is read for each kept
// device when a udev daemon keeps one.

namespace torvex::platform::host {

namespace fs = std::filesystem;

namespace {

// The target of a symbolic link; "" when it is none.
std::string LinkTarget(const fs::path& link) {
    char buf[4096];
    ssize_t n = ::readlink(link.c_str(), buf, sizeof buf);
    return n > 0 && std::size_t(n) < sizeof buf ? std::string(buf, std::size_t(n)) : std::string();
}

// A device's real directory from its entry in a bus or class listing (a
// link into /sys/devices, or, on old kernels, the directory itself), as a
// host path "/sys/devices/...". The listing directories are no links, so
// the link resolves lexically.
std::string DevicePath(const fs::path& sysDir, const std::string& listing, const std::string& name) {
    std::string target = LinkTarget(sysDir / listing / name);
    fs::path real = target.empty() ? fs::path(listing) / name : (fs::path(listing) / target).lexically_normal();
    std::string rel = real.generic_string();
    while (!rel.empty() && rel.back() == '/') rel.pop_back();
    if (rel.empty() || rel.front() == '/' || rel.compare(0, 3, "../") == 0) return {};
    return "/sys/" + rel;
}

// The database file udev keeps for a device: by device number, by network
// interface index, else by subsystem and name.
std::string UdevDatabaseId(const KernelDevice& k) {
    std::string major = k.property("MAJOR"), minor = k.property("MINOR");
    if (!major.empty() && major != "0" && !minor.empty())
        return (k.subsystem == "block" ? "b" : "c") + major + ":" + minor;
    std::string ifindex = k.property("IFINDEX");
    if (!ifindex.empty() && ifindex != "0") return "n" + ifindex;
    return "+" + k.subsystem + ":" + k.sysname;
}

// udev's database record of the device: its properties ("E:"), when it was
// set up ("I:"), its links ("S:") and tags ("G:", "Q:").
void AddUdevDatabase(const fs::path& dataDir, KernelDevice& k) {
    FileRead db = ReadWholeFile(dataDir / UdevDatabaseId(k), 1u << 20);
    if (!db) return;
    std::string links, tags, currentTags;
    ForEachLine(db.text, [&](std::string_view line, int) {
        if (line.size() < 2 || line[1] != ':') return true;
        std::string_view value = line.substr(2);
        switch (line[0]) {
            case 'E': {
                std::size_t eq = value.find('=');
                if (eq != std::string_view::npos && eq > 0)
                    k.properties[std::string(value.substr(0, eq))] = std::string(value.substr(eq + 1));
                break;
            }
            case 'I': k.properties["USEC_INITIALIZED"] = std::string(value); break;
            case 'S': links += (links.empty() ? "/dev/" : " /dev/") + std::string(value); break;
            case 'G': tags += ":" + std::string(value); break;
            case 'Q': currentTags += ":" + std::string(value); break;
            default: break;
        }
        return true;
    });
    if (!links.empty()) k.properties["DEVLINKS"] = links;
    if (!tags.empty()) k.properties["TAGS"] = tags + ":";
    if (!currentTags.empty()) k.properties["CURRENT_TAGS"] = currentTags + ":";
}

// The device's properties as udev shows them: the kernel's uevent (the node
// name under /dev), its path, subsystem and driver.
void ReadUevent(const fs::path& dir, KernelDevice& k) {
    FileRead uevent = ReadWholeFile(dir / "uevent", 1u << 16);
    if (!uevent) {
        if (TraceEnabled()) Trace("devices", uevent.reason);
        return;
    }
    for (const KeyValue& kv : ParseKeyValues(uevent.text, '=')) {
        // A line without a name is no property (and could not be saved).
        if (kv.key.empty()) continue;
        if (kv.key == "DEVNAME" && !kv.value.empty() && kv.value.front() != '/')
            k.properties[kv.key] = "/dev/" + kv.value;
        else
            k.properties[kv.key] = kv.value;
    }
}

// Devices sort by path, with RAID and mapped block devices last (they stand
// on the others), the order udev lists them in.
bool ListedBefore(const KernelDevice& a, const KernelDevice& b) {
    auto late = [](const std::string& p) {
        return p.find("/block/md") != std::string::npos || p.find("/block/dm-") != std::string::npos;
    };
    bool la = late(a.syspath), lb = late(b.syspath);
    if (la != lb) return lb;
    return std::strcmp(a.syspath.c_str(), b.syspath.c_str()) < 0;
}

}  // namespace

std::vector<KernelDevice> ReadSysfsDevices(const fs::path& root) {
    std::vector<KernelDevice> out;
    const fs::path sys = root / "sys";
    const fs::path udevData = root / "run/udev/data";
    std::error_code ec;
    bool haveDatabase = fs::is_directory(udevData, ec);
    std::vector<std::string> seen;
    for (const char* subsystem : CollectedSubsystems()) {
        for (const std::string& listing : {std::string("bus/") + subsystem + "/devices", std::string("class/") + subsystem}) {
            fs::directory_iterator it(sys / listing, ec), end;
            for (; !ec && it != end; it.increment(ec)) {
                std::string name = it->path().filename().string();
                if (name.empty() || name.front() == '.') continue;
                KernelDevice k;
                k.syspath = DevicePath(sys, listing, name);
                if (k.syspath.empty()) continue;
                k.subsystem = subsystem;
                if (!CollectedRecord(k)) continue;
                if (std::find(seen.begin(), seen.end(), k.syspath) != seen.end()) continue;
                seen.push_back(k.syspath);
                const fs::path dir = sys / k.syspath.substr(5);
                k.sysname = k.syspath.substr(k.syspath.rfind('/') + 1);
                std::replace(k.sysname.begin(), k.sysname.end(), '!', '/');
                ReadUevent(dir, k);
                k.properties["DEVPATH"] = k.syspath.substr(4);
                k.properties["SUBSYSTEM"] = k.subsystem;
                k.devtype = k.property("DEVTYPE");
                std::string driver = LinkTarget(dir / "driver");
                if (!driver.empty()) {
                    k.driver = fs::path(driver).filename().string();
                    k.properties["DRIVER"] = k.driver;
                }
                // Attributes below a folder ("device/model", "capabilities/key")
                // are not tried one by one when the folder is not there (a
                // loop device has no "device", an event node no "capabilities").
                std::string absentFolder;
                for (const std::string& a : AttributesFor(k.subsystem, k.devtype)) {
                    std::size_t slash = a.find('/');
                    if (slash != std::string::npos) {
                        std::string folder = a.substr(0, slash);
                        if (folder == absentFolder) continue;
                        if (::access((dir / folder).c_str(), F_OK) != 0) {
                            absentFolder = folder;
                            continue;
                        }
                    }
                    FileRead v = ReadWholeFile(dir / a, 1u << 16);
                    if (v) k.attributes[a] = Trim(v.text);
                }
                if (k.subsystem == "drm" && k.sysname.find('-') != std::string::npos) {
                    FileRead edid = ReadWholeFile(dir / "edid", 1u << 16);
                    if (edid && !edid.text.empty()) k.attributes["edid"] = std::move(edid.text);
                    else if (TraceEnabled() && k.attribute("status") == "connected")
                        Trace("devices", edid ? k.syspath + "/edid: empty, the monitor stays unnamed" : edid.reason);
                }
                if (k.subsystem == "acpi") {
                    // The device the firmware node stands for; its link is
                    // relative to the node's own (real) directory.
                    std::string node = LinkTarget(dir / "physical_node");
                    if (!node.empty()) {
                        std::string real = (fs::path(k.syspath) / node).lexically_normal().generic_string();
                        k.attributes["physical_node"] = real;
                        std::string drv = LinkTarget(sys / real.substr(5) / "driver");
                        if (!drv.empty()) k.attributes["physical_node/driver"] = fs::path(drv).filename().string();
                    }
                }
                if (haveDatabase) AddUdevDatabase(udevData, k);
                out.push_back(std::move(k));
            }
            ec.clear();
        }
    }
    std::sort(out.begin(), out.end(), ListedBefore);
    if (out.empty()) Trace("devices", (sys / "bus").string() + ", " + (sys / "class").string() + ": no devices");
    return out;
}

}  // namespace torvex::platform::host
