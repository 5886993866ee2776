#include "platform/host/HostDevices.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>
#include <unordered_map>

#include "platform/host/DeviceTables.h"
#include "platform/machine/FileText.h"

// The pure half of the host's devices: kernel records in, Windows devices
// and registry keys out. Nothing here touches the running system, so the
// rules build and are tested without libudev, over recorded machines.

namespace torvex::platform::host {

std::string KernelDevice::property(const std::string& name) const {
    auto it = properties.find(name);
    return it == properties.end() ? std::string() : it->second;
}

std::string KernelDevice::attribute(const std::string& name) const {
    auto it = attributes.find(name);
    return it == attributes.end() ? std::string() : it->second;
}

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

std::optional<std::uint32_t> ParseHex(std::string s) {
    s = Trim(s);
    if (StartsWith(s, "0x") || StartsWith(s, "0X")) s.erase(0, 2);
    if (s.empty() || s.size() > 8) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : s) {
        int d;
        if (c >= '0' && c <= '9') d = c - '0';
        else if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') d = c - 'A' + 10;
        else return std::nullopt;
        v = v << 4 | std::uint32_t(d);
    }
    return v;
}

std::optional<unsigned> ParseDecimal(const std::string& text) {
    std::string s = Trim(text);
    if (s.empty() || s.size() > 9) return std::nullopt;
    unsigned v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + unsigned(c - '0');
    }
    return v;
}

std::string Hex(std::uint32_t v, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, v);
    return buf;
}

// The middle part of Windows' instance ids: a short number that stands for
// the parent device, in lower-case hexadecimal.
std::string ParentHash(const std::string& text) {
    std::uint32_t h = 2166136261u;
    for (unsigned char c : text) {
        h ^= c;
        h *= 16777619u;
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "%x", h);
    return buf;
}

std::string ParentPath(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string() : path.substr(0, slash);
}

// A text as a part of a registry key name: no backslashes, blanks as "_".
std::string KeyPart(const std::string& text) {
    std::string r = Trim(text);
    for (char& c : r)
        if (c == '\\' || c == ' ' || c == '/' || static_cast<unsigned char>(c) < 0x20) c = '_';
    return r;
}

// Is bit n set in a kernel bitmap text: hexadecimal words of the machine's
// long, separated by blanks, most significant word first.
bool BitmapHas(const std::string& text, unsigned bit) {
    std::vector<std::string> words;
    std::string w;
    for (char c : text) {
        if (c == ' ' || c == '\n') {
            if (!w.empty()) words.push_back(w);
            w.clear();
        } else {
            w.push_back(c);
        }
    }
    if (!w.empty()) words.push_back(w);
    constexpr unsigned kBits = sizeof(long) * 8;
    unsigned index = bit / kBits;
    if (index >= words.size()) return false;
    const std::string& word = words[words.size() - 1 - index];
    unsigned long long v = std::strtoull(word.c_str(), nullptr, 16);
    return (v >> (bit % kBits)) & 1u;
}

HostDevice Make(const char* className) {
    HostDevice d;
    d.className = className;
    if (const SetupClass* c = FindSetupClass(className)) d.classGuid = c->guid;
    return d;
}

// ------------------------------------------------------------- the records

class Records {
public:
    explicit Records(const std::vector<KernelDevice>& list) : list_(list) {
        for (std::size_t i = 0; i < list.size(); ++i) byPath_[list[i].syspath] = i;
    }
    const KernelDevice* at(const std::string& path) const {
        auto it = byPath_.find(path);
        return it == byPath_.end() ? nullptr : &list_[it->second];
    }
    // The nearest recorded ancestor (not the device itself) in a subsystem.
    const KernelDevice* ancestor(const KernelDevice& d, const std::string& subsystem,
                                 const std::string& devtype = {}) const {
        for (std::string p = ParentPath(d.syspath); !p.empty(); p = ParentPath(p)) {
            const KernelDevice* a = at(p);
            if (a && a->subsystem == subsystem && (devtype.empty() || a->devtype == devtype)) return a;
        }
        return nullptr;
    }
    // The driver of the device or of its nearest ancestor that has one.
    std::string nearestDriver(const KernelDevice& d) const {
        if (!d.driver.empty()) return d.driver;
        for (std::string p = ParentPath(d.syspath); !p.empty(); p = ParentPath(p)) {
            const KernelDevice* a = at(p);
            if (a && !a->driver.empty()) return a->driver;
        }
        return {};
    }
    // The nearest recorded bus device (a PCI function, a USB device or
    // interface) that a device hangs off.
    const KernelDevice* busDevice(const KernelDevice& d) const {
        for (std::string p = ParentPath(d.syspath); !p.empty(); p = ParentPath(p)) {
            const KernelDevice* a = at(p);
            if (a && (a->subsystem == "pci" || a->subsystem == "usb")) return a;
        }
        return nullptr;
    }
    // Whether a network interface is the device's own. One further down,
    // behind another bus device (a card behind a bridge or root port, a USB
    // adapter behind its host controller), belongs to that device. A USB
    // device owns the interfaces of its own functions.
    bool ownsNetworkInterface(const KernelDevice& d) const {
        std::string prefix = d.syspath + "/";
        for (const KernelDevice& n : list_) {
            if (n.subsystem != "net" || !StartsWith(n.syspath, prefix)) continue;
            const KernelDevice* owner = busDevice(n);
            if (owner == &d) return true;
            if (owner && owner->devtype == "usb_interface" && d.devtype == "usb_device" &&
                ParentPath(owner->syspath) == d.syspath)
                return true;
        }
        return false;
    }
    const std::vector<KernelDevice>& all() const { return list_; }

private:
    const std::vector<KernelDevice>& list_;
    std::unordered_map<std::string, std::size_t> byPath_;
};

bool IsVirtual(const KernelDevice& d) { return d.syspath.find("/devices/virtual/") != std::string::npos; }

// ------------------------------------------------------------- PCI

std::optional<HostDevice> ClassifyPci(const KernelDevice& k, const Records& records) {
    std::uint32_t vendor = 0, device = 0, subVendor = 0, subDevice = 0, classCode = 0, revision = 0;
    std::string id = k.property("PCI_ID"), sub = k.property("PCI_SUBSYS_ID");
    std::size_t colon = id.find(':');
    if (colon != std::string::npos) {
        vendor = ParseHex(id.substr(0, colon)).value_or(0);
        device = ParseHex(id.substr(colon + 1)).value_or(0);
    } else {
        vendor = ParseHex(k.attribute("vendor")).value_or(0);
        device = ParseHex(k.attribute("device")).value_or(0);
    }
    colon = sub.find(':');
    if (colon != std::string::npos) {
        subVendor = ParseHex(sub.substr(0, colon)).value_or(0);
        subDevice = ParseHex(sub.substr(colon + 1)).value_or(0);
    } else {
        subVendor = ParseHex(k.attribute("subsystem_vendor")).value_or(0);
        subDevice = ParseHex(k.attribute("subsystem_device")).value_or(0);
    }
    if (!k.property("PCI_CLASS").empty())
        classCode = ParseHex(k.property("PCI_CLASS")).value_or(0);
    else
        classCode = ParseHex(k.attribute("class")).value_or(0);
    revision = ParseHex(k.attribute("revision")).value_or(0);
    if (vendor == 0 && device == 0) return std::nullopt;

    int base = int(classCode >> 16 & 0xFF), subClass = int(classCode >> 8 & 0xFF);
    const char* cls = PciSetupClass(base, subClass);
    // Devices with a class code of no known kind: a bound driver makes
    // them system devices, as their own drivers install them on Windows.
    if (!cls) cls = k.driver.empty() ? "Unknown" : "System";
    // Its own network interface makes the function a network adapter.
    if (records.ownsNetworkInterface(k)) cls = "Net";

    HostDevice d = Make(cls);
    d.enumerator = "PCI";
    std::string venDev = "VEN_" + Hex(vendor, 4) + "&DEV_" + Hex(device, 4);
    std::string subsys = "SUBSYS_" + Hex(subDevice << 16 | subVendor, 8);
    d.deviceId = venDev + "&" + subsys + "&REV_" + Hex(revision, 2);
    d.hardwareIds = {"PCI\\" + d.deviceId, "PCI\\" + venDev + "&" + subsys,
                     "PCI\\" + venDev + "&CC_" + Hex(classCode, 6),
                     "PCI\\" + venDev + "&CC_" + Hex(classCode >> 8, 4)};

    // "0000:00:1f.3": bus, device and function.
    std::string slot = k.property("PCI_SLOT_NAME").empty() ? k.sysname : k.property("PCI_SLOT_NAME");
    unsigned bus = 0, dev = 0, fn = 0, domain = 0;
    if (std::sscanf(slot.c_str(), "%x:%x:%x.%x", &domain, &bus, &dev, &fn) == 4) {
        char loc[96];
        std::snprintf(loc, sizeof loc, "PCI bus %u, device %u, function %u", bus, dev, fn);
        d.location = loc;
    }
    char inst[64];
    std::snprintf(inst, sizeof inst, "3&%s&0&%02X", ParentHash(ParentPath(k.syspath)).c_str(),
                  (dev << 3 | fn) & 0xFF);
    d.instance = inst;

    d.manufacturer = k.property("ID_VENDOR_FROM_DATABASE");
    d.description = k.property("ID_MODEL_FROM_DATABASE");
    if (d.description.empty()) d.description = k.property("ID_PCI_SUBCLASS_FROM_DATABASE");
    if (d.description.empty()) d.description = k.property("ID_PCI_CLASS_FROM_DATABASE");
    if (d.description.empty()) d.description = "PCI Device";
    d.service = k.driver;
    d.active = !k.driver.empty();
    return d;
}

// ------------------------------------------------------------- USB

struct UsbIds {
    std::uint32_t vendor = 0, product = 0, release = 0;
};

UsbIds UsbDeviceIds(const KernelDevice& k) {
    UsbIds ids;
    std::string product = k.property("PRODUCT");   // "46d/c52b/1201"
    unsigned v = 0, p = 0, r = 0;
    if (std::sscanf(product.c_str(), "%x/%x/%x", &v, &p, &r) == 3) {
        ids = {v, p, r};
    } else {
        ids.vendor = ParseHex(k.attribute("idVendor")).value_or(0);
        ids.product = ParseHex(k.attribute("idProduct")).value_or(0);
        ids.release = ParseHex(k.attribute("bcdDevice")).value_or(0);
    }
    return ids;
}

struct InterfaceIds {
    unsigned number = 0, cls = 0, sub = 0, proto = 0;
};

InterfaceIds UsbInterfaceIds(const KernelDevice& k) {
    InterfaceIds i;
    unsigned c = 0, s = 0, p = 0;
    if (std::sscanf(k.property("INTERFACE").c_str(), "%u/%u/%u", &c, &s, &p) == 3) {
        i.cls = c;
        i.sub = s;
        i.proto = p;
    } else {
        i.cls = ParseHex(k.attribute("bInterfaceClass")).value_or(0);
        i.sub = ParseHex(k.attribute("bInterfaceSubClass")).value_or(0);
        i.proto = ParseHex(k.attribute("bInterfaceProtocol")).value_or(0);
    }
    i.number = ParseHex(k.attribute("bInterfaceNumber")).value_or(0);
    // "1-1:1.2": the interface number follows the last dot.
    if (k.attribute("bInterfaceNumber").empty()) {
        std::size_t dot = k.sysname.rfind('.');
        if (dot != std::string::npos) i.number = ParseDecimal(k.sysname.substr(dot + 1)).value_or(0);
    }
    return i;
}

std::vector<const KernelDevice*> InterfacesOf(const KernelDevice& device, const Records& records) {
    std::vector<const KernelDevice*> r;
    for (const KernelDevice& k : records.all())
        if (k.subsystem == "usb" && k.devtype == "usb_interface" && ParentPath(k.syspath) == device.syspath)
            r.push_back(&k);
    std::sort(r.begin(), r.end(), [](const KernelDevice* a, const KernelDevice* b) { return a->sysname < b->sysname; });
    return r;
}

void ClassifyUsb(const KernelDevice& k, const Records& records, std::vector<HostDevice>& out) {
    if (k.devtype != "usb_device") return;
    UsbIds ids = UsbDeviceIds(k);
    std::string vidPid = "VID_" + Hex(ids.vendor, 4) + "&PID_" + Hex(ids.product, 4);
    char lowerIds[64];
    std::snprintf(lowerIds, sizeof lowerIds, "Vid_%04x&Pid_%04x", ids.vendor, ids.product);
    std::string product = Trim(k.attribute("product"));
    std::string dbModel = k.property("ID_MODEL_FROM_DATABASE");
    std::string dbVendor = k.property("ID_VENDOR_FROM_DATABASE");
    std::string instance = Trim(k.attribute("serial"));
    if (instance.empty() || instance.find_first_of("\\ &") != std::string::npos)
        instance = "5&" + ParentHash(ParentPath(k.syspath)) + "&0&" + k.sysname.substr(k.sysname.find_last_of("-.") + 1);

    // Root hubs: "usb1", "usb2" ...
    if (StartsWith(k.sysname, "usb")) {
        unsigned speed = ParseDecimal(k.attribute("speed")).value_or(12);
        HostDevice d = Make("USB");
        d.enumerator = "USB";
        d.deviceId = speed >= 5000 ? "ROOT_HUB30" : speed >= 480 ? "ROOT_HUB20" : "ROOT_HUB";
        d.instance = "4&" + ParentHash(ParentPath(k.syspath)) + "&0";
        d.description = "USB Root Hub";
        d.manufacturer = "(Standard USB Host Controller)";
        char rev[96];
        std::snprintf(rev, sizeof rev, "USB\\%s&VID%04X&PID%04X&REV%04X", d.deviceId.c_str(), ids.vendor,
                      ids.product, ids.release);
        d.hardwareIds = {rev, "USB\\" + d.deviceId};
        d.service = k.driver;
        d.active = !k.driver.empty();
        d.sourcePath = k.syspath;
        out.push_back(std::move(d));
        return;
    }

    std::vector<const KernelDevice*> interfaces = InterfacesOf(k, records);
    unsigned deviceClass = ParseHex(k.attribute("bDeviceClass")).value_or(0);
    // A recorded list without sysfs attributes still has udev's TYPE,
    // "class/subclass/protocol" of the device in decimal.
    unsigned typeClass = 0, typeSub = 0, typeProto = 0;
    if (k.attribute("bDeviceClass").empty() &&
        std::sscanf(k.property("TYPE").c_str(), "%u/%u/%u", &typeClass, &typeSub, &typeProto) == 3)
        deviceClass = typeClass;
    unsigned count = ParseDecimal(k.attribute("bNumInterfaces")).value_or(unsigned(interfaces.size()));
    bool hub = deviceClass == 0x09;
    bool composite = !hub && count > 1 && (deviceClass == 0x00 || deviceClass == 0xEF);

    HostDevice d;
    std::string service = k.driver;
    if (hub) {
        d = Make("USB");
        d.description = "Generic USB Hub";
    } else if (composite) {
        d = Make("USB");
        d.description = "USB Composite Device";
    } else {
        // One function: the device is that function.
        const KernelDevice* iface = interfaces.empty() ? nullptr : interfaces.front();
        InterfaceIds ii = iface ? UsbInterfaceIds(*iface) : InterfaceIds{0, deviceClass, 0, 0};
        std::string ifaceDriver = iface ? iface->driver : std::string();
        auto fn = UsbInterfaceClass(ii.cls, ii.sub, ii.proto, !ifaceDriver.empty());
        if (!fn) fn = UsbFunction{"USB", "USB Device"};
        if (records.ownsNetworkInterface(k)) fn = UsbFunction{"Net", "USB Network Adapter"};
        d = Make(fn->className);
        d.description = fn->description;
        service = ifaceDriver;
    }
    // The names lsusb shows, from the hardware database; else the device's own.
    if (!hub && !composite) {
        if (!dbModel.empty()) d.description = dbModel;
        else if (!product.empty()) d.description = product;
    }
    // Windows XP shows a USB device's own product text as its location.
    d.location = product;
    d.manufacturer = !dbVendor.empty() ? dbVendor : Trim(k.attribute("manufacturer"));
    d.enumerator = "USB";
    d.deviceId = vidPid;
    d.instance = instance;
    char rev[96];
    std::snprintf(rev, sizeof rev, "%s&Rev_%04x", lowerIds, ids.release);
    d.hardwareIds = {std::string("USB\\") + rev, std::string("USB\\") + lowerIds};
    d.service = service;
    d.active = !service.empty();
    d.sourcePath = k.syspath;
    out.push_back(std::move(d));

    if (!composite) return;
    for (const KernelDevice* iface : interfaces) {
        InterfaceIds ii = UsbInterfaceIds(*iface);
        auto fn = UsbInterfaceClass(ii.cls, ii.sub, ii.proto, !iface->driver.empty());
        if (!fn) continue;
        if (records.ownsNetworkInterface(*iface)) fn = UsbFunction{"Net", "USB Network Adapter"};
        HostDevice f = Make(fn->className);
        f.description = fn->description;
        if (f.className == "Net" && !dbModel.empty()) f.description = dbModel;
        f.manufacturer = d.manufacturer;
        f.enumerator = "USB";
        f.deviceId = vidPid + "&MI_" + Hex(ii.number, 2);
        f.instance = "6&" + ParentHash(k.syspath) + "&0&" + Hex(ii.number, 4);
        f.location = d.location;
        char mi[96];
        std::snprintf(mi, sizeof mi, "USB\\%s&Rev_%04x&MI_%02x", lowerIds, ids.release, ii.number);
        f.hardwareIds = {mi, std::string("USB\\") + lowerIds + "&MI_" + Hex(ii.number, 2)};
        f.service = iface->driver;
        f.active = !iface->driver.empty();
        f.sourcePath = iface->syspath;
        out.push_back(std::move(f));
    }
}

// ------------------------------------------------------------- storage

// A device behind a SCSI host: its bus place from the address
// "host:channel:target:lun" (none when the address has another form), its
// instance below its parent, and the driver that serves it.
void PlaceOnScsiBus(HostDevice& d, const std::string& address, const KernelDevice& k, const Records& records) {
    unsigned h = 0, c = 0, t = 0, l = 0;
    if (std::sscanf(address.c_str(), "%u:%u:%u:%u", &h, &c, &t, &l) == 4) {
        char loc[96];
        std::snprintf(loc, sizeof loc, "Bus Number %u, Target Id %u, LUN %u", c, t, l);
        d.location = loc;
    }
    d.instance = "4&" + ParentHash(ParentPath(k.syspath)) + "&0&" + KeyPart(k.sysname);
    d.service = records.nearestDriver(k);
    d.active = !d.service.empty();
}

std::optional<HostDevice> ClassifyBlock(const KernelDevice& k, const Records& records) {
    if (k.devtype != "disk" || IsVirtual(k)) return std::nullopt;
    std::string type = Trim(k.attribute("device/type"));
    bool cdrom = StartsWith(k.sysname, "sr") || type == "5" || k.property("ID_CDROM") == "1";
    bool floppy = StartsWith(k.sysname, "fd");
    std::string vendor = Trim(k.attribute("device/vendor"));
    // A virtual disk's "vendor" is its bus's vendor number, no name.
    if (StartsWith(vendor, "0x")) vendor.clear();
    std::string model = Trim(k.attribute("device/model"));
    std::string rev = Trim(k.attribute("device/rev"));
    if (rev.empty()) rev = Trim(k.attribute("device/firmware_rev"));

    HostDevice d = Make(floppy ? "FloppyDisk" : cdrom ? "CDROM" : "DiskDrive");
    const KernelDevice* usb = records.ancestor(k, "usb", "usb_device");
    const KernelDevice* scsi = records.ancestor(k, "scsi", "scsi_device");
    std::string kind = cdrom ? "CdRom" : "Disk";
    if (floppy) {
        d.enumerator = "FDC";
        d.deviceId = "GENERIC_FLOPPY_DRIVE";
        d.hardwareIds = {"FDC\\GENERIC_FLOPPY_DRIVE", "GenFloppyDisk"};
        d.description = "Floppy disk drive";
        d.manufacturer = "(Standard floppy disk drives)";
    } else {
        if (usb) d.enumerator = "USBSTOR";
        else if (k.syspath.find("/ata") != std::string::npos) d.enumerator = "IDE";
        else d.enumerator = "SCSI";
        d.description = cdrom ? "CD-ROM Drive" : "Disk drive";
        d.manufacturer = cdrom ? "(Standard CD-ROM drives)" : "(Standard disk drives)";
        // The name lsblk shows in its MODEL column; a disk without one is
        // named after the controller it hangs off (a virtual disk).
        std::string name = model;
        if (!vendor.empty() && vendor != "ATA" && !model.empty() && !StartsWith(model, vendor))
            name = vendor + " " + model;
        if (name.empty()) {
            if (const KernelDevice* pci = records.ancestor(k, "pci"))
                name = pci->property("ID_MODEL_FROM_DATABASE");
        }
        d.friendlyName = name;
        std::string product = model.empty() ? name : model;
        if (d.enumerator == "IDE") {
            d.deviceId = kind + KeyPart(product) + "_" + KeyPart(rev);
        } else {
            d.deviceId = kind + "&Ven_" + KeyPart(vendor.substr(0, 8)) + "&Prod_" + KeyPart(product.substr(0, 16));
            if (!rev.empty()) d.deviceId += "&Rev_" + KeyPart(rev.substr(0, 4));
        }
        d.hardwareIds = {d.enumerator + "\\" + d.deviceId, cdrom ? "GenCdRom" : "GenDisk"};
    }
    PlaceOnScsiBus(d, scsi ? scsi->sysname : std::string(), k, records);
    return d;
}

std::optional<HostDevice> ClassifyScsi(const KernelDevice& k, const Records& records) {
    if (k.devtype != "scsi_device") return std::nullopt;
    std::string type = Trim(k.attribute("type"));
    const char* cls = type == "1" ? "TapeDrive" : type == "8" ? "MediumChanger" : nullptr;
    if (!cls) return std::nullopt;   // disks and CD-ROMs come with their block devices
    std::string vendor = Trim(k.attribute("vendor")), model = Trim(k.attribute("model"));
    HostDevice d = Make(cls);
    d.enumerator = "SCSI";
    d.deviceId = std::string(type == "1" ? "Sequential" : "Changer") + "&Ven_" + KeyPart(vendor) + "&Prod_" +
                 KeyPart(model);
    d.hardwareIds = {"SCSI\\" + d.deviceId, type == "1" ? "GenSequential" : "GenChanger"};
    d.friendlyName = vendor.empty() ? model : vendor + " " + model;
    d.description = type == "1" ? "Tape drive" : "Medium changer";
    d.manufacturer = vendor;
    PlaceOnScsiBus(d, k.sysname, k, records);
    return d;
}

// ------------------------------------------------------------- keyboards and mice

enum class InputKind { None, Keyboard, Mouse };

InputKind KindOfInput(const KernelDevice& k) {
    if (k.property("ID_INPUT_KEYBOARD") == "1") return InputKind::Keyboard;
    if (k.property("ID_INPUT_MOUSE") == "1" || k.property("ID_INPUT_TOUCHPAD") == "1") return InputKind::Mouse;
    if (!k.property("ID_INPUT").empty()) return InputKind::None;   // udev has judged it
    std::string ev = k.attribute("capabilities/ev"), key = k.attribute("capabilities/key");
    // A keyboard has every key from Escape to S (codes 1-31).
    if (BitmapHas(ev, 1)) {
        bool all = true;
        for (unsigned code = 1; code <= 31 && all; ++code) all = BitmapHas(key, code);
        if (all) return InputKind::Keyboard;
    }
    constexpr unsigned kBtnLeft = 0x110, kBtnToolFinger = 0x145;
    std::string rel = k.attribute("capabilities/rel"), abs = k.attribute("capabilities/abs");
    if (BitmapHas(ev, 2) && BitmapHas(rel, 0) && BitmapHas(rel, 1) && BitmapHas(key, kBtnLeft))
        return InputKind::Mouse;
    if (BitmapHas(ev, 3) && BitmapHas(abs, 0) && BitmapHas(abs, 1) &&
        (BitmapHas(key, kBtnToolFinger) || BitmapHas(key, kBtnLeft)))
        return InputKind::Mouse;
    return InputKind::None;
}

std::optional<HostDevice> ClassifyInput(const KernelDevice& k, const Records& records, bool acpiCoversPs2) {
    if (!StartsWith(k.sysname, "input") || IsVirtual(k)) return std::nullopt;
    InputKind kind = KindOfInput(k);
    if (kind == InputKind::None) return std::nullopt;
    // PS/2 devices are the firmware's keyboard and mouse devices.
    if (acpiCoversPs2 && records.ancestor(k, "serio")) return std::nullopt;
    bool keyboard = kind == InputKind::Keyboard;
    HostDevice d = Make(keyboard ? "Keyboard" : "Mouse");
    d.description = keyboard ? "HID Keyboard Device" : "HID-compliant mouse";
    d.manufacturer = keyboard ? "(Standard keyboards)" : "Microsoft";
    d.friendlyName = Trim(k.attribute("name"));
    d.enumerator = "HID";
    std::string ids;
    if (const KernelDevice* hid = records.ancestor(k, "hid")) {
        unsigned bus = 0, v = 0, p = 0;
        if (std::sscanf(hid->property("HID_ID").c_str(), "%x:%x:%x", &bus, &v, &p) == 3)
            ids = "VID_" + Hex(v, 4) + "&PID_" + Hex(p, 4);
    }
    if (ids.empty()) {
        unsigned v = ParseHex(k.attribute("id/vendor")).value_or(0);
        unsigned p = ParseHex(k.attribute("id/product")).value_or(0);
        ids = "VID_" + Hex(v, 4) + "&PID_" + Hex(p, 4);
    }
    if (const KernelDevice* iface = records.ancestor(k, "usb", "usb_interface")) {
        const KernelDevice* dev = records.ancestor(*iface, "usb", "usb_device");
        if (dev && ParseDecimal(dev->attribute("bNumInterfaces")).value_or(1) > 1)
            ids += "&MI_" + Hex(UsbInterfaceIds(*iface).number, 2);
    }
    d.deviceId = ids;
    d.hardwareIds = {"HID\\" + ids, keyboard ? "HID_DEVICE_SYSTEM_KEYBOARD" : "HID_DEVICE_SYSTEM_MOUSE"};
    d.instance = "7&" + ParentHash(ParentPath(k.syspath)) + "&0&" + KeyPart(k.sysname);
    d.service = records.nearestDriver(k);
    d.active = !d.service.empty();
    return d;
}

// ------------------------------------------------------------- firmware (ACPI) devices

std::optional<HostDevice> ClassifyAcpi(const KernelDevice& k, const Records& records,
                                       const HostDeviceContext& context) {
    // "acpi:PNP0A08:PNP0A03:": the device's own id, then the compatible ids.
    std::vector<std::string> ids;
    std::string hid = Trim(k.attribute("hid"));
    if (!hid.empty()) ids.push_back(hid);
    std::string alias = k.property("MODALIAS");
    if (StartsWith(alias, "acpi:")) {
        std::size_t p = 5;
        while (p < alias.size()) {
            std::size_t e = alias.find(':', p);
            std::string id = alias.substr(p, e == std::string::npos ? std::string::npos : e - p);
            if (!id.empty() && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
            if (e == std::string::npos) break;
            p = e + 1;
        }
    }
    if (ids.empty() || SkippedAcpiId(ids.front())) return std::nullopt;
    // A firmware device that is not present (status bit 0 clear) is none.
    if (auto status = ParseDecimal(k.attribute("status")); status && (*status & 1u) == 0) return std::nullopt;

    const AcpiRule* rule = nullptr;
    for (const std::string& id : ids)
        if ((rule = FindAcpiRule(id))) break;
    std::string service = k.driver;
    if (service.empty()) service = k.attribute("physical_node/driver");
    // The root bridges carry the PCI bus, which the kernel runs itself.
    if (service.empty() && (ids.front() == "PNP0A03" || ids.front() == "PNP0A08") &&
        !k.attribute("physical_node").empty())
        service = "pci";
    // A device of no known kind that a driver runs is a system device;
    // one that nothing runs stays unknown, as on Windows.
    HostDevice d = Make(rule ? rule->className : service.empty() ? "Unknown" : "System");
    d.description = rule ? rule->description : service.empty() ? "Unknown device" : "ACPI device " + ids.front();
    d.manufacturer = rule ? rule->manufacturer : "";
    if (d.className == "Processor") d.description = context.processorName;
    d.enumerator = "ACPI";
    d.deviceId = KeyPart(ids.front());
    std::size_t colon = k.sysname.rfind(':');
    std::string number = colon == std::string::npos ? "0" : k.sysname.substr(colon + 1);
    d.instance = "4&" + ParentHash(ParentPath(k.syspath)) + "&" +
                 std::to_string(ParseDecimal(number).value_or(0));
    for (const std::string& id : ids) d.hardwareIds.push_back("ACPI\\" + id);
    if (!ids.empty()) d.hardwareIds.push_back("*" + ids.front());

    d.service = service;
    d.active = !d.service.empty();

    // A serial port is named after the terminal the kernel gives it.
    if (d.className == "Ports" && d.description == "Communications Port") {
        std::string node = k.attribute("physical_node");
        if (!node.empty()) {
            for (const KernelDevice& t : records.all()) {
                if (t.subsystem != "tty" || !StartsWith(t.syspath, node + "/")) continue;
                if (auto n = ParseDecimal(t.sysname.substr(std::min<std::size_t>(4, t.sysname.size())));
                    n && StartsWith(t.sysname, "ttyS")) {
                    std::string com = "COM" + std::to_string(*n + 1);
                    d.friendlyName = "Communications Port (" + com + ")";
                    d.parameters.emplace_back("PortName", com);
                }
                break;
            }
        }
    }
    return d;
}

// ------------------------------------------------------------- monitors

std::optional<HostDevice> ClassifyMonitor(const KernelDevice& k, const Records& records) {
    // Connectors are "card0-HDMI-A-1"; the card itself has no status.
    std::size_t dash = k.sysname.find('-');
    if (!StartsWith(k.sysname, "card") || dash == std::string::npos) return std::nullopt;
    if (Trim(k.attribute("status")) != "connected") return std::nullopt;
    const std::string& edid = k.attribute("edid");
    static const unsigned char kHeader[8] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    if (edid.size() < 128 || std::memcmp(edid.data(), kHeader, 8) != 0) return std::nullopt;
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(edid[i]); };
    unsigned mfg = unsigned(byte(8)) << 8 | byte(9);
    char pnp[4] = {char('@' + (mfg >> 10 & 31)), char('@' + (mfg >> 5 & 31)), char('@' + (mfg & 31)), 0};
    unsigned product = unsigned(byte(11)) << 8 | byte(10);
    std::string name;
    for (std::size_t off = 54; off + 18 <= 126; off += 18) {
        if (byte(off) == 0 && byte(off + 1) == 0 && byte(off + 3) == 0xFC) {
            for (std::size_t i = off + 5; i < off + 18 && byte(i) != 0x0A; ++i) name.push_back(char(byte(i)));
            name = Trim(name);
            break;
        }
    }
    HostDevice d = Make("Monitor");
    d.enumerator = "DISPLAY";
    d.deviceId = std::string(pnp) + Hex(product, 4);
    d.instance = "5&" + ParentHash(ParentPath(k.syspath)) + "&0&" + KeyPart(k.sysname.substr(dash + 1));
    d.hardwareIds = {"MONITOR\\" + d.deviceId};
    d.description = "Plug and Play Monitor";
    d.friendlyName = name;
    d.manufacturer = "(Standard monitor types)";
    d.location = k.sysname.substr(dash + 1);
    d.service = records.nearestDriver(k);
    d.active = !d.service.empty();
    return d;
}

}  // namespace

std::string ServiceKeyName(const std::string& driver) { return KeyPart(driver); }

std::string HardwareDatabaseKey(const KernelDevice& k) {
    if (k.subsystem == "pci") return k.property("MODALIAS");
    if (k.subsystem == "usb" && k.devtype == "usb_device") {
        UsbIds ids = UsbDeviceIds(k);
        char buf[32];
        std::snprintf(buf, sizeof buf, "usb:v%04Xp%04X", ids.vendor, ids.product);
        return buf;
    }
    return {};
}

std::vector<HostDevice> ClassifyDevices(const std::vector<KernelDevice>& list, const HostDeviceContext& context) {
    Records records(list);
    std::vector<HostDevice> out;

    bool acpi = std::any_of(list.begin(), list.end(), [](const KernelDevice& k) { return k.subsystem == "acpi"; });
    // The machine itself: Windows names it after its hardware abstraction.
    HostDevice computer = Make("Computer");
    computer.enumerator = "ROOT";
    computer.deviceId = "ACPI_HAL";
    computer.instance = "0000";
    if (acpi) {
        bool mp = context.processors > 1;
        computer.description = mp ? "ACPI Multiprocessor PC" : "ACPI Uniprocessor PC";
        computer.hardwareIds = {mp ? "acpiapic_mp" : "acpiapic_up"};
    } else {
        computer.deviceId = "PCI_HAL";
        computer.description = "Standard PC";
        computer.hardwareIds = {"e_isa_up"};
    }
    computer.manufacturer = "(Standard computers)";
    computer.active = true;
    out.push_back(computer);

    bool battery = false;
    for (const KernelDevice& k : list) {
        std::optional<HostDevice> d;
        if (k.subsystem == "pci") d = ClassifyPci(k, records);
        else if (k.subsystem == "usb") ClassifyUsb(k, records, out);
        else if (k.subsystem == "block") d = ClassifyBlock(k, records);
        else if (k.subsystem == "scsi") d = ClassifyScsi(k, records);
        else if (k.subsystem == "input") d = ClassifyInput(k, records, acpi);
        else if (k.subsystem == "acpi") d = ClassifyAcpi(k, records, context);
        else if (k.subsystem == "drm") d = ClassifyMonitor(k, records);
        if (!d) continue;
        if (d->sourcePath.empty()) d->sourcePath = k.syspath;
        if (d->className == "Battery" && d->description != "Microsoft AC Adapter" && d->active) battery = true;
        out.push_back(std::move(*d));
    }
    // Windows joins the batteries into one that reports their sum.
    if (battery) {
        HostDevice c = Make("Battery");
        c.enumerator = "ROOT";
        c.deviceId = "COMPOSITE_BATTERY";
        c.instance = "0000";
        c.description = "Microsoft Composite Battery";
        c.manufacturer = "Microsoft";
        c.hardwareIds = {"COMPOSITE_BATTERY"};
        c.service = "battery";
        c.active = true;
        out.push_back(c);
    }
    return out;
}

void ProjectDevices(Registry& registry, const std::vector<HostDevice>& devices, const HostDeviceContext& context) {
    RegKey& control = registry.root(RegRoot::LocalMachine).ensure("SYSTEM\\CurrentControlSet");
    RegKey& enumKey = control.ensure("Enum");
    RegKey& classRoot = control.ensure("Control\\Class");
    RegKey& services = control.ensure("Services");
    std::map<std::string, int> driversPerClass;

    for (const HostDevice& d : devices) {
        if (d.enumerator.empty() || d.deviceId.empty() || d.instance.empty()) continue;
        RegKey& key = enumKey.ensure(KeyPart(d.enumerator)).ensure(KeyPart(d.deviceId)).ensure(KeyPart(d.instance));
        auto text = [&key](const char* name, const std::string& value) {
            if (!value.empty()) key.setValue(RegValue::String(name, value));
        };
        text("ClassGUID", d.classGuid);
        text("Class", d.className);
        text("DeviceDesc", d.description);
        text("FriendlyName", d.friendlyName);
        text("Mfg", d.manufacturer);
        text("LocationInformation", d.location);
        if (!d.hardwareIds.empty()) key.setValue(RegValue::MultiString("HardwareID", d.hardwareIds));
        text("Service", ServiceKeyName(d.service));
        if (!d.parameters.empty()) {
            RegKey& params = key.ensure("Device Parameters");
            for (const auto& [name, value] : d.parameters) params.setValue(RegValue::String(name, value));
        }
        if (!d.classGuid.empty()) {
            const SetupClass* c = FindSetupClass(d.className);
            RegKey& cls = classRoot.ensure(d.classGuid);
            if (!cls.value("Class")) {
                cls.setValue(RegValue::String("Class", d.className));
                cls.setValue(RegValue::String("", c ? c->description : d.className));
            }
            if (d.active) {
                int n = driversPerClass[d.classGuid]++;
                char sub[8];
                std::snprintf(sub, sizeof sub, "%04d", n);
                RegKey& drv = cls.ensure(sub);
                drv.setValue(RegValue::String("DriverDesc", d.description));
                drv.setValue(RegValue::String("ProviderName", "Linux"));
                if (!context.kernelRelease.empty())
                    drv.setValue(RegValue::String("DriverVersion", context.kernelRelease));
                if (!d.hardwareIds.empty()) drv.setValue(RegValue::String("MatchingDeviceId", d.hardwareIds.front()));
                key.setValue(RegValue::String("Driver", d.classGuid + "\\" + sub));
            }
        }
        if (!d.service.empty()) {
            RegKey& s = services.ensure(ServiceKeyName(d.service));
            if (!s.value("Type")) {
                s.setValue(RegValue::String("DisplayName", d.service));
                s.setValue(RegValue::Dword("Type", 1));   // a kernel driver
            }
        }
        // Windows gives a started device its "Control" key.
        if (d.active) key.ensure("Control");
    }
}

}  // namespace torvex::platform::host
