#include "platform/host/HostDevices.h"

#include <libudev.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <set>
#include <unordered_map>

namespace torvex::platform::host {

namespace fs = std::filesystem;

std::string KernelDevice::property(const std::string& name) const {
    auto it = properties.find(name);
    return it == properties.end() ? std::string() : it->second;
}

std::string KernelDevice::attribute(const std::string& name) const {
    auto it = attributes.find(name);
    return it == attributes.end() ? std::string() : it->second;
}

namespace {

// Windows' setup classes, as its class keys name and describe them.
constexpr SetupClass kSetupClasses[] = {
    {"Battery", "{72631E54-78A4-11D0-BCF7-00AA00B7B32A}", "Batteries"},
    {"Bluetooth", "{E0CBF06C-CD8B-4647-BB8A-263B43F0F974}", "Bluetooth Radios"},
    {"CDROM", "{4D36E965-E325-11CE-BFC1-08002BE10318}", "DVD/CD-ROM drives"},
    {"Computer", "{4D36E966-E325-11CE-BFC1-08002BE10318}", "Computer"},
    {"DiskDrive", "{4D36E967-E325-11CE-BFC1-08002BE10318}", "Disk drives"},
    {"Display", "{4D36E968-E325-11CE-BFC1-08002BE10318}", "Display adapters"},
    {"fdc", "{4D36E969-E325-11CE-BFC1-08002BE10318}", "Floppy disk controllers"},
    {"FloppyDisk", "{4D36E980-E325-11CE-BFC1-08002BE10318}", "Floppy disk drives"},
    {"hdc", "{4D36E96A-E325-11CE-BFC1-08002BE10318}", "IDE ATA/ATAPI controllers"},
    {"HIDClass", "{745A17A0-74D3-11D0-B6FE-00A0C90F57DA}", "Human Interface Devices"},
    {"1394", "{6BDD1FC1-810F-11D0-BEC7-08002BE2092F}", "IEEE 1394 Bus host controllers"},
    {"Image", "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}", "Imaging devices"},
    {"Infrared", "{6BDD1FC5-810F-11D0-BEC7-08002BE2092F}", "Infrared devices"},
    {"Keyboard", "{4D36E96B-E325-11CE-BFC1-08002BE10318}", "Keyboards"},
    {"MEDIA", "{4D36E96C-E325-11CE-BFC1-08002BE10318}", "Sound, video and game controllers"},
    {"MediumChanger", "{CE5939AE-EBDE-11D0-B181-0000F8753EC4}", "Medium Changers"},
    {"Modem", "{4D36E96D-E325-11CE-BFC1-08002BE10318}", "Modems"},
    {"Monitor", "{4D36E96E-E325-11CE-BFC1-08002BE10318}", "Monitors"},
    {"Mouse", "{4D36E96F-E325-11CE-BFC1-08002BE10318}", "Mice and other pointing devices"},
    {"MultiFunction", "{4D36E971-E325-11CE-BFC1-08002BE10318}", "Multifunction adapters"},
    {"MultiPortSerial", "{50906CB8-BA12-11D1-BF5D-0000F805F530}", "Multi-port serial adapters"},
    {"Net", "{4D36E972-E325-11CE-BFC1-08002BE10318}", "Network adapters"},
    {"Ports", "{4D36E978-E325-11CE-BFC1-08002BE10318}", "Ports (COM & LPT)"},
    {"Printer", "{4D36E979-E325-11CE-BFC1-08002BE10318}", "Printers"},
    {"Processor", "{50127DC3-0F36-415E-A6CC-4CB3BE910B65}", "Processors"},
    {"SCSIAdapter", "{4D36E97B-E325-11CE-BFC1-08002BE10318}", "SCSI and RAID controllers"},
    {"SmartCardReader", "{50DD5230-BA8A-11D1-BF5D-0000F805F530}", "Smart card readers"},
    {"System", "{4D36E97D-E325-11CE-BFC1-08002BE10318}", "System devices"},
    {"TapeDrive", "{6D807884-7D21-11CF-801C-08002BE10318}", "Tape drives"},
    {"Unknown", "{4D36E97E-E325-11CE-BFC1-08002BE10318}", "Other devices"},
    {"USB", "{36FC9E60-C465-11CF-8056-444553540000}", "Universal Serial Bus controllers"},
};

std::string Upper(std::string s) {
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string TrimText(const std::string& s) {
    std::size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    std::size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && s.compare(0, prefix.size(), prefix) == 0;
}

std::optional<std::uint32_t> ParseHex(std::string s) {
    s = TrimText(s);
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
    std::string s = TrimText(text);
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
    std::string r = TrimText(text);
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
    // Any record of a subsystem below a device path.
    const KernelDevice* below(const std::string& path, const std::string& subsystem) const {
        std::string prefix = path + "/";
        for (const KernelDevice& d : list_)
            if (d.subsystem == subsystem && StartsWith(d.syspath, prefix)) return &d;
        return nullptr;
    }
    const std::vector<KernelDevice>& all() const { return list_; }

private:
    const std::vector<KernelDevice>& list_;
    std::unordered_map<std::string, std::size_t> byPath_;
};

bool IsVirtual(const KernelDevice& d) { return d.syspath.find("/devices/virtual/") != std::string::npos; }

// ------------------------------------------------------------- PCI

struct PciClassRule {
    int base, sub;   // sub -1: any
    const char* className;
};
// Setup classes by PCI class code; the first matching rule wins.
constexpr PciClassRule kPciClasses[] = {
    {0x00, 0x01, "Display"},
    {0x01, 0x01, "hdc"},        {0x01, 0x02, "fdc"},       {0x01, 0x05, "hdc"},
    {0x01, 0x06, "hdc"},        {0x01, -1, "SCSIAdapter"},
    {0x02, -1, "Net"},
    {0x03, -1, "Display"},
    {0x04, -1, "MEDIA"},
    {0x05, -1, "System"},       {0x06, -1, "System"},
    {0x07, 0x00, "Ports"},      {0x07, 0x01, "Ports"},     {0x07, 0x02, "MultiPortSerial"},
    {0x07, 0x03, "Modem"},      {0x07, -1, "System"},
    {0x08, -1, "System"},
    {0x09, 0x00, "Keyboard"},   {0x09, 0x01, "Mouse"},     {0x09, 0x02, "Mouse"},
    {0x09, 0x04, "MEDIA"},      {0x09, -1, "HIDClass"},
    {0x0A, -1, "System"},
    {0x0B, -1, "Processor"},
    {0x0C, 0x00, "1394"},       {0x0C, 0x03, "USB"},       {0x0C, 0x04, "SCSIAdapter"},
    {0x0C, -1, "System"},
    {0x0D, 0x11, "Bluetooth"},  {0x0D, 0x00, "Infrared"},  {0x0D, -1, "Net"},
    {0x0E, -1, "System"},       {0x0F, -1, "System"},      {0x10, -1, "System"},
    {0x11, -1, "System"},       {0x12, -1, "System"},      {0x13, -1, "System"},
};

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
    const char* cls = nullptr;
    for (const PciClassRule& r : kPciClasses)
        if (r.base == base && (r.sub < 0 || r.sub == subClass)) {
            cls = r.className;
            break;
        }
    // Devices with a class code of no known kind: a bound driver makes
    // them system devices, as their own drivers install them on Windows.
    if (!cls) cls = k.driver.empty() ? "Unknown" : "System";
    // A network interface below it makes the function a network adapter.
    if (records.below(k.syspath, "net")) cls = "Net";

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

struct UsbFunction {
    const char* className;
    const char* description;
};

// The setup class and the name Windows gives a USB function by its
// interface class; nullopt for the data half of a communications function.
std::optional<UsbFunction> UsbInterfaceClass(unsigned cls, unsigned sub, unsigned proto, bool bound) {
    switch (cls) {
        case 0x01: return UsbFunction{"MEDIA", "USB Audio Device"};
        case 0x02:
            if (sub == 0x02) return UsbFunction{"Modem", "USB Modem"};
            return UsbFunction{"Net", "USB Network Adapter"};
        case 0x03:
        case 0x05: return UsbFunction{"HIDClass", "USB Human Interface Device"};
        case 0x06: return UsbFunction{"Image", "USB Still Image Device"};
        case 0x07: return UsbFunction{"USB", "USB Printing Support"};
        case 0x08: return UsbFunction{"USB", "USB Mass Storage Device"};
        case 0x09: return UsbFunction{"USB", "Generic USB Hub"};
        case 0x0A: return std::nullopt;
        case 0x0B: return UsbFunction{"SmartCardReader", "USB Smart Card Reader"};
        case 0x0E: return UsbFunction{"Image", "USB Video Device"};
        case 0x10: return UsbFunction{"MEDIA", "USB Audio/Video Device"};
        case 0xE0:
            if (sub == 0x01 && proto == 0x01) return UsbFunction{"Bluetooth", "Generic Bluetooth Radio"};
            break;
        default: break;
    }
    return bound ? UsbFunction{"USB", "USB Device"} : UsbFunction{"Unknown", "USB Device"};
}

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
    std::string product = TrimText(k.attribute("product"));
    std::string dbModel = k.property("ID_MODEL_FROM_DATABASE");
    std::string dbVendor = k.property("ID_VENDOR_FROM_DATABASE");
    std::string instance = TrimText(k.attribute("serial"));
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
        if (records.below(k.syspath, "net")) fn = UsbFunction{"Net", "USB Network Adapter"};
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
    d.manufacturer = !dbVendor.empty() ? dbVendor : TrimText(k.attribute("manufacturer"));
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
        if (records.below(iface->syspath, "net")) fn = UsbFunction{"Net", "USB Network Adapter"};
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
    std::string type = TrimText(k.attribute("device/type"));
    bool cdrom = StartsWith(k.sysname, "sr") || type == "5" || k.property("ID_CDROM") == "1";
    bool floppy = StartsWith(k.sysname, "fd");
    std::string vendor = TrimText(k.attribute("device/vendor"));
    // A virtual disk's "vendor" is its bus's vendor number, no name.
    if (StartsWith(vendor, "0x")) vendor.clear();
    std::string model = TrimText(k.attribute("device/model"));
    std::string rev = TrimText(k.attribute("device/rev"));
    if (rev.empty()) rev = TrimText(k.attribute("device/firmware_rev"));

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
    std::string type = TrimText(k.attribute("type"));
    const char* cls = type == "1" ? "TapeDrive" : type == "8" ? "MediumChanger" : nullptr;
    if (!cls) return std::nullopt;   // disks and CD-ROMs come with their block devices
    std::string vendor = TrimText(k.attribute("vendor")), model = TrimText(k.attribute("model"));
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
    d.friendlyName = TrimText(k.attribute("name"));
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

struct AcpiRule {
    const char* id;
    const char* className;
    const char* description;
    const char* manufacturer;
};
constexpr AcpiRule kAcpiDevices[] = {
    {"PNP0303", "Keyboard", "Standard 101/102-Key or Microsoft Natural PS/2 Keyboard", "(Standard keyboards)"},
    {"PNP030B", "Keyboard", "Standard 101/102-Key or Microsoft Natural PS/2 Keyboard", "(Standard keyboards)"},
    {"PNP0320", "Keyboard", "Standard 101/102-Key or Microsoft Natural PS/2 Keyboard", "(Standard keyboards)"},
    {"PNP0F03", "Mouse", "PS/2 Compatible Mouse", "(Standard mouse types)"},
    {"PNP0F0E", "Mouse", "PS/2 Compatible Mouse", "(Standard mouse types)"},
    {"PNP0F13", "Mouse", "PS/2 Compatible Mouse", "(Standard mouse types)"},
    {"PNP0500", "Ports", "Communications Port", "(Standard port types)"},
    {"PNP0501", "Ports", "Communications Port", "(Standard port types)"},
    {"PNP0400", "Ports", "Printer Port", "(Standard port types)"},
    {"PNP0401", "Ports", "ECP Printer Port", "(Standard port types)"},
    {"PNP0700", "fdc", "Standard floppy disk controller", "(Standard floppy disk controllers)"},
    {"PNP0A03", "System", "PCI bus", "(Standard system devices)"},
    {"PNP0A08", "System", "PCI bus", "(Standard system devices)"},
    {"PNP0000", "System", "Programmable interrupt controller", "(Standard system devices)"},
    {"PNP0003", "System", "Advanced programmable interrupt controller", "(Standard system devices)"},
    {"PNP0100", "System", "System timer", "(Standard system devices)"},
    {"PNP0103", "System", "High precision event timer", "(Standard system devices)"},
    {"PNP0200", "System", "Direct memory access controller", "(Standard system devices)"},
    {"PNP0B00", "System", "System CMOS/real time clock", "(Standard system devices)"},
    {"PNP0800", "System", "System speaker", "(Standard system devices)"},
    {"PNP0C04", "System", "Numeric data processor", "(Standard system devices)"},
    {"PNP0C01", "System", "System board", "(Standard system devices)"},
    {"PNP0C02", "System", "Motherboard resources", "(Standard system devices)"},
    {"PNP0C09", "System", "Microsoft ACPI-Compliant Embedded Controller", "(Standard system devices)"},
    {"PNP0C0B", "System", "ACPI Fan", "(Standard system devices)"},
    {"PNP0C0C", "System", "ACPI Power Button", "(Standard system devices)"},
    {"LNXPWRBN", "System", "ACPI Fixed Feature Button", "(Standard system devices)"},
    {"PNP0C0D", "System", "ACPI Lid", "(Standard system devices)"},
    {"PNP0C0E", "System", "ACPI Sleep Button", "(Standard system devices)"},
    {"LNXSLPBN", "System", "ACPI Sleep Button", "(Standard system devices)"},
    {"LNXTHERM", "System", "ACPI Thermal Zone", "(Standard system devices)"},
    {"PNP0C14", "System", "Microsoft Windows Management Interface for ACPI", "(Standard system devices)"},
    {"PNP0C0A", "Battery", "Microsoft ACPI-Compliant Control Method Battery", "Microsoft"},
    {"ACPI0003", "Battery", "Microsoft AC Adapter", "Microsoft"},
    {"ACPI0007", "Processor", "", ""},
    {"LNXCPU", "Processor", "", ""},
};

// Firmware nodes that are no devices of their own on Windows.
bool SkippedAcpiId(const std::string& id) {
    return id == "LNXSYSTM" || id == "LNXSYBUS" || id == "PNP0C0F" || id == "ACPI0010" || id == "LNXVIDEO" ||
           id == "LNXIOBAY" || id == "LNXDOCK";
}

std::optional<HostDevice> ClassifyAcpi(const KernelDevice& k, const Records& records,
                                       const HostDeviceContext& context) {
    // "acpi:PNP0A08:PNP0A03:": the device's own id, then the compatible ids.
    std::vector<std::string> ids;
    std::string hid = TrimText(k.attribute("hid"));
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
    for (const std::string& id : ids) {
        for (const AcpiRule& r : kAcpiDevices)
            if (id == r.id) {
                rule = &r;
                break;
            }
        if (rule) break;
    }
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
    if (TrimText(k.attribute("status")) != "connected") return std::nullopt;
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
            name = TrimText(name);
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

const SetupClass* FindSetupClass(const std::string& name) {
    std::string upper = Upper(name);
    for (const SetupClass& c : kSetupClasses)
        if (Upper(c.name) == upper) return &c;
    return nullptr;
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

// ------------------------------------------------------------- the live host

namespace {

std::string ReadFileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The sysfs attributes each subsystem's rules read.
const std::vector<std::string>& AttributesFor(const std::string& subsystem, const std::string& devtype) {
    static const std::vector<std::string> none;
    static const std::vector<std::string> pci = {"vendor", "device", "subsystem_vendor", "subsystem_device",
                                                 "class", "revision"};
    static const std::vector<std::string> usbDevice = {"idVendor", "idProduct", "bcdDevice", "product",
                                                       "manufacturer", "serial", "bNumInterfaces",
                                                       "bDeviceClass", "speed"};
    static const std::vector<std::string> usbInterface = {"bInterfaceNumber", "bInterfaceClass",
                                                          "bInterfaceSubClass", "bInterfaceProtocol"};
    static const std::vector<std::string> block = {"device/vendor", "device/model", "device/rev",
                                                   "device/firmware_rev", "device/type", "removable"};
    static const std::vector<std::string> scsi = {"type", "vendor", "model", "rev"};
    static const std::vector<std::string> input = {"name", "capabilities/ev", "capabilities/key",
                                                   "capabilities/rel", "capabilities/abs", "id/vendor",
                                                   "id/product"};
    static const std::vector<std::string> acpi = {"hid", "status"};
    static const std::vector<std::string> drm = {"status"};
    if (subsystem == "pci") return pci;
    if (subsystem == "usb") return devtype == "usb_device" ? usbDevice : usbInterface;
    if (subsystem == "block") return block;
    if (subsystem == "scsi") return scsi;
    if (subsystem == "input") return input;
    if (subsystem == "acpi") return acpi;
    if (subsystem == "drm") return drm;
    return none;
}

// Names from the hardware database, as udev's own database would hold
// them; filled here when no udev daemon has stored them.
void AddDatabaseNames(udev_hwdb* hwdb, KernelDevice& k) {
    if (!hwdb || !k.property("ID_MODEL_FROM_DATABASE").empty()) return;
    std::string key;
    if (k.subsystem == "pci") {
        key = k.property("MODALIAS");
    } else if (k.subsystem == "usb" && k.devtype == "usb_device") {
        UsbIds ids = UsbDeviceIds(k);
        char buf[32];
        std::snprintf(buf, sizeof buf, "usb:v%04Xp%04X", ids.vendor, ids.product);
        key = buf;
    }
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
    if (!u) return out;
    udev_hwdb* hwdb = udev_hwdb_new(u);
    udev_enumerate* e = udev_enumerate_new(u);
    if (e) {
        for (const char* s : {"pci", "usb", "block", "scsi", "input", "acpi", "drm", "hid", "tty", "net", "serio",
                              "virtio", "nvme"})
            udev_enumerate_add_match_subsystem(e, s);
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
            // Terminals on no hardware are many and say nothing.
            if (k.subsystem == "tty" && IsVirtual(k)) {
                udev_device_unref(dev);
                continue;
            }
            for (udev_list_entry* p = udev_device_get_properties_list_entry(dev); p; p = udev_list_entry_get_next(p))
                k.properties[Str(udev_list_entry_get_name(p))] = Str(udev_list_entry_get_value(p));
            for (const std::string& a : AttributesFor(k.subsystem, k.devtype)) {
                const char* v = udev_device_get_sysattr_value(dev, a.c_str());
                if (v) k.attributes[a] = TrimText(v);
            }
            if (k.subsystem == "drm") {
                std::string edid = ReadFileBytes(fs::path(k.syspath) / "edid");
                if (!edid.empty()) k.attributes["edid"] = edid;
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
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (StartsWith(line, "model name")) {
            std::size_t colon = line.find(':');
            if (colon != std::string::npos) c.processorName = TrimText(line.substr(colon + 1));
            break;
        }
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
