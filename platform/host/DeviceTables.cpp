#include "platform/host/DeviceTables.h"

#include <cctype>

namespace torvex::platform::host {

namespace {

// Windows' setup classes, as its class keys name and describe them.
//   name                GUID                                       description
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

struct PciClassRule {
    int base, sub;   // sub -1: any
    const char* className;
};
// Setup classes by PCI class code; the first matching rule wins.
//   base  sub   class
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

struct UsbClassRule {
    int cls, sub, proto;   // -1: any
    const char* className;     // nullptr: no device of its own
    const char* description;
};
// Setup classes and names by USB interface class; the first matching rule wins.
//   class sub   proto  setup class   description
constexpr UsbClassRule kUsbClasses[] = {
    {0x01, -1, -1,     "MEDIA",           "USB Audio Device"},
    {0x02, 0x02, -1,   "Modem",           "USB Modem"},
    {0x02, -1, -1,     "Net",             "USB Network Adapter"},
    {0x03, -1, -1,     "HIDClass",        "USB Human Interface Device"},
    {0x05, -1, -1,     "HIDClass",        "USB Human Interface Device"},
    {0x06, -1, -1,     "Image",           "USB Still Image Device"},
    {0x07, -1, -1,     "USB",             "USB Printing Support"},
    {0x08, -1, -1,     "USB",             "USB Mass Storage Device"},
    {0x09, -1, -1,     "USB",             "Generic USB Hub"},
    {0x0A, -1, -1,     nullptr,           nullptr},   // the data half of a communications function
    {0x0B, -1, -1,     "SmartCardReader", "USB Smart Card Reader"},
    {0x0E, -1, -1,     "Image",           "USB Video Device"},
    {0x10, -1, -1,     "MEDIA",           "USB Audio/Video Device"},
    {0xE0, 0x01, 0x01, "Bluetooth",       "Generic Bluetooth Radio"},
};

// Firmware device ids Windows names.
//   id         setup class  description                                  manufacturer
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

// Firmware ids that are no devices of their own on Windows.
//   id
constexpr const char* kSkippedAcpiIds[] = {
    "LNXSYSTM", "LNXSYBUS", "PNP0C0F", "ACPI0010", "LNXVIDEO", "LNXIOBAY", "LNXDOCK",
};

bool SameNoCase(const char* a, const std::string& b) {
    std::size_t i = 0;
    for (; a[i] && i < b.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return !a[i] && i == b.size();
}

}  // namespace

const SetupClass* FindSetupClass(const std::string& name) {
    for (const SetupClass& c : kSetupClasses)
        if (SameNoCase(c.name, name)) return &c;
    return nullptr;
}

const char* PciSetupClass(int base, int sub) {
    for (const PciClassRule& r : kPciClasses)
        if (r.base == base && (r.sub < 0 || r.sub == sub)) return r.className;
    return nullptr;
}

std::optional<UsbFunction> UsbInterfaceClass(unsigned cls, unsigned sub, unsigned proto, bool bound) {
    for (const UsbClassRule& r : kUsbClasses) {
        if (r.cls != int(cls) || (r.sub >= 0 && r.sub != int(sub)) || (r.proto >= 0 && r.proto != int(proto)))
            continue;
        if (!r.className) return std::nullopt;
        return UsbFunction{r.className, r.description};
    }
    return bound ? UsbFunction{"USB", "USB Device"} : UsbFunction{"Unknown", "USB Device"};
}

const AcpiRule* FindAcpiRule(const std::string& id) {
    for (const AcpiRule& r : kAcpiDevices)
        if (id == r.id) return &r;
    return nullptr;
}

bool SkippedAcpiId(const std::string& id) {
    for (const char* s : kSkippedAcpiIds)
        if (id == s) return true;
    return false;
}

const std::vector<const char*>& CollectedSubsystems() {
    //   subsystem
    static const std::vector<const char*> subsystems = {
        "pci", "usb", "block", "scsi", "input", "acpi", "drm", "hid", "tty", "net", "serio", "virtio", "nvme",
    };
    return subsystems;
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

}  // namespace torvex::platform::host
