// The live host's devices in Windows' shape: kernel device records as udev
// shows them on a desktop PC (with a laptop's battery and touchpad), turned
// into Windows devices and projected into the registry that the device list
// reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "FakeMachine.h"
#include "engine/Zarvo_Devices.h"
#include "platform/host/HostDevices.h"
#include "platform/win32/Win32.h"

using torvex::engine::TDevice;
using torvex::engine::TDevices;
using torvex::platform::RegRoot;
using torvex::platform::host::ClassifyDevices;
using torvex::platform::host::HostDevice;
using torvex::platform::host::HostDeviceContext;
using torvex::platform::host::KernelDevice;
using torvex::platform::host::ProjectDevices;
using torvex::testing::FakeMachine;

namespace {

const std::string kPci = "/sys/devices/pci0000:00";
const std::string kAcpi = "/sys/devices/LNXSYSTM:00/LNXSYBUS:00";

KernelDevice Dev(std::string syspath, std::string subsystem, std::string devtype, std::string driver,
                 std::map<std::string, std::string> properties = {},
                 std::map<std::string, std::string> attributes = {}) {
    KernelDevice k;
    k.syspath = std::move(syspath);
    k.subsystem = std::move(subsystem);
    k.devtype = std::move(devtype);
    k.sysname = k.syspath.substr(k.syspath.rfind('/') + 1);
    k.driver = std::move(driver);
    k.properties = std::move(properties);
    k.attributes = std::move(attributes);
    return k;
}

KernelDevice PciDev(const std::string& slot, const std::string& id, const std::string& subsys,
                    const std::string& cls, const std::string& rev, const std::string& driver,
                    const std::string& vendorName, const std::string& modelName) {
    std::map<std::string, std::string> p = {{"PCI_ID", id}, {"PCI_SUBSYS_ID", subsys}, {"PCI_CLASS", cls},
                                            {"PCI_SLOT_NAME", "0000:" + slot}};
    if (!vendorName.empty()) p["ID_VENDOR_FROM_DATABASE"] = vendorName;
    if (!modelName.empty()) p["ID_MODEL_FROM_DATABASE"] = modelName;
    return Dev(kPci + "/0000:" + slot, "pci", "", driver, p, {{"revision", rev}});
}

std::string Edid(const std::string& name) {
    std::string e(128, '\0');
    const unsigned char header[8] = {0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0};
    std::copy(header, header + 8, e.begin());
    e[8] = char(0x10);   // "DEL"
    e[9] = char(0xAC);
    e[10] = char(0x65);  // product 4065h, low byte first
    e[11] = char(0x40);
    e[54 + 3] = char(0xFC);
    std::string text = name + "\n";
    text.resize(13, ' ');
    std::copy(text.begin(), text.end(), e.begin() + 54 + 5);
    return e;
}

// A desktop PC as the kernel lists it, with a laptop's battery and touchpad.
std::vector<KernelDevice> DesktopRecords() {
    std::vector<KernelDevice> r;
    r.push_back(PciDev("00:00.0", "8086:591F", "1028:07A1", "60000", "0x05", "", "Intel Corporation",
                       "Xeon E3-1200 v6/7th Gen Core Processor Host Bridge/DRAM Registers"));
    r.push_back(PciDev("00:02.0", "8086:5912", "1028:07A1", "30000", "0x04", "i915", "Intel Corporation",
                       "HD Graphics 630"));
    r.push_back(PciDev("00:14.0", "8086:A2AF", "1028:07A1", "C0330", "0x00", "xhci_hcd", "Intel Corporation",
                       "200 Series/Z370 Chipset Family USB 3.0 xHCI Controller"));
    r.push_back(PciDev("00:17.0", "8086:A282", "1028:07A1", "10601", "0x00", "ahci", "Intel Corporation",
                       "200 Series PCH SATA controller [AHCI mode]"));
    r.push_back(PciDev("00:1f.3", "8086:A2F0", "1028:07A1", "40300", "0x00", "snd_hda_intel",
                       "Intel Corporation", "200 Series PCH HD Audio"));
    r.push_back(PciDev("00:1f.4", "8086:A2A3", "1028:07A1", "C0500", "0x00", "i801_smbus",
                       "Intel Corporation", "200 Series/Z370 Chipset Family SMBus Controller"));
    r.push_back(PciDev("00:1f.6", "8086:15B8", "1028:07A1", "20000", "0x00", "e1000e", "Intel Corporation",
                       "Ethernet Connection (2) I219-V"));
    // A device the database has no model for.
    r.push_back(PciDev("00:08.0", "8086:1911", "1028:07A1", "88000", "0x00", "", "Intel Corporation", ""));
    r.back().properties["ID_PCI_SUBCLASS_FROM_DATABASE"] = "System peripheral";
    // Devices of no known kind, one run by a driver, one by none.
    r.push_back(PciDev("00:09.0", "1AF4:1045", "1AF4:1100", "FF0000", "0x01", "virtio-pci", "Red Hat, Inc.",
                       "Virtio 1.0 memory balloon"));
    r.push_back(PciDev("00:0a.0", "1AF4:1053", "1AF4:1100", "FF0000", "0x01", "", "Red Hat, Inc.",
                       "Virtio 1.0 socket"));
    r.push_back(Dev(kPci + "/0000:00:1f.6/net/eno1", "net", "", ""));

    // USB: the root hub, a receiver with keyboard and mouse, a stick.
    const std::string hc = kPci + "/0000:00:14.0";
    r.push_back(Dev(hc + "/usb1", "usb", "usb_device", "usb", {{"PRODUCT", "1d6b/2/510"}},
                    {{"speed", "480"}, {"bDeviceClass", "09"}, {"bNumInterfaces", " 1"}}));
    const std::string rx = hc + "/usb1/1-3";
    r.push_back(Dev(rx, "usb", "usb_device", "usb",
                    {{"PRODUCT", "46d/c52b/1211"},
                     {"ID_VENDOR_FROM_DATABASE", "Logitech, Inc."},
                     {"ID_MODEL_FROM_DATABASE", "Unifying Receiver"}},
                    {{"product", "USB Receiver"}, {"manufacturer", "Logitech"}, {"bNumInterfaces", " 3"},
                     {"bDeviceClass", "00"}}));
    const char* protocols[] = {"3/1/1", "3/1/2", "3/0/0"};
    for (int i = 0; i < 3; ++i) {
        std::string iface = rx + "/1-3:1." + std::to_string(i);
        r.push_back(Dev(iface, "usb", "usb_interface", "usbhid", {{"INTERFACE", protocols[i]}},
                        {{"bInterfaceNumber", "0" + std::to_string(i)}}));
    }
    const std::string kbdHid = rx + "/1-3:1.0/0003:046D:C52B.0001";
    r.push_back(Dev(kbdHid, "hid", "", "hid-generic", {{"HID_ID", "0003:0000046D:0000C52B"}}));
    r.push_back(Dev(kbdHid + "/input/input5", "input", "", "", {{"PRODUCT", "3/46d/c52b/111"}},
                    {{"name", "Logitech USB Receiver"},
                     {"capabilities/ev", "120013"},
                     {"capabilities/key", "1000000000007 ff9f207ac14057ff febeffdfffefffff fffffffffffffffe"}}));
    const std::string mouseHid = rx + "/1-3:1.1/0003:046D:C52B.0002";
    r.push_back(Dev(mouseHid, "hid", "", "hid-generic", {{"HID_ID", "0003:0000046D:0000C52B"}}));
    r.push_back(Dev(mouseHid + "/input/input6", "input", "", "", {},
                    {{"name", "Logitech USB Receiver Mouse"},
                     {"capabilities/ev", "17"},
                     {"capabilities/key", "ffff0000 0 0 0 0"},
                     {"capabilities/rel", "1943"},
                     {"capabilities/abs", "0"}}));
    // Consumer keys: neither keyboard nor mouse.
    r.push_back(Dev(rx + "/1-3:1.2/0003:046D:C52B.0003/input/input7", "input", "", "", {},
                    {{"name", "Logitech USB Receiver Consumer Control"},
                     {"capabilities/ev", "1f"},
                     {"capabilities/key", "3f000303ff 0 0 483ffff17aff32d"}}));

    const std::string stick = kPci + "/0000:00:14.0/usb2/2-1";
    r.push_back(Dev(stick, "usb", "usb_device", "usb",
                    {{"PRODUCT", "781/5567/100"},
                     {"ID_VENDOR_FROM_DATABASE", "SanDisk Corp."},
                     {"ID_MODEL_FROM_DATABASE", "Cruzer Blade"}},
                    {{"product", "Cruzer Blade"}, {"serial", "4C530001230523117433"}, {"bNumInterfaces", " 1"},
                     {"bDeviceClass", "00"}}));
    r.push_back(Dev(stick + "/2-1:1.0", "usb", "usb_interface", "usb-storage", {{"INTERFACE", "8/6/80"}},
                    {{"bInterfaceNumber", "00"}}));
    const std::string stickScsi = stick + "/2-1:1.0/host6/target6:0:0/6:0:0:0";
    r.push_back(Dev(stickScsi, "scsi", "scsi_device", "sd", {}, {{"type", "0"}}));
    r.push_back(Dev(stickScsi + "/block/sdb", "block", "disk", "", {},
                    {{"device/vendor", "SanDisk "}, {"device/model", "Cruzer Blade    "}, {"device/rev", "1.00"},
                     {"device/type", "0"}}));

    // SATA: a hard disk and a DVD writer.
    const std::string ata1 = kPci + "/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0";
    r.push_back(Dev(ata1, "scsi", "scsi_device", "sd", {}, {{"type", "0"}}));
    r.push_back(Dev(ata1 + "/block/sda", "block", "disk", "", {},
                    {{"device/vendor", "ATA     "}, {"device/model", "ST1000DM010-2EP1"}, {"device/rev", "CC43"},
                     {"device/type", "0"}}));
    r.push_back(Dev(ata1 + "/block/sda/sda1", "block", "partition", ""));
    const std::string ata2 = kPci + "/0000:00:17.0/ata2/host1/target1:0:0/1:0:0:0";
    r.push_back(Dev(ata2, "scsi", "scsi_device", "sr", {}, {{"type", "5"}}));
    r.push_back(Dev(ata2 + "/block/sr0", "block", "disk", "", {},
                    {{"device/vendor", "HL-DT-ST"}, {"device/model", "DVDRAM GH24NSD1 "}, {"device/rev", "LG00"},
                     {"device/type", "5"}}));
    r.push_back(Dev("/sys/devices/virtual/block/zram0", "block", "disk", ""));
    // A tape drive on a SCSI card.
    r.push_back(Dev(kPci + "/0000:00:1c.0/0000:02:00.0/host3/target3:0:5/3:0:5:0", "scsi", "scsi_device", "st",
                    {}, {{"type", "1"}, {"vendor", "HP      "}, {"model", "C1537A          "}}));

    // The monitor on the graphics card; a second output without one.
    r.push_back(Dev(kPci + "/0000:00:02.0/drm/card0", "drm", "drm_minor", ""));
    r.push_back(Dev(kPci + "/0000:00:02.0/drm/card0/card0-HDMI-A-1", "drm", "drm_connector", "", {},
                    {{"status", "connected"}, {"edid", Edid("DELL U2410")}}));
    r.push_back(Dev(kPci + "/0000:00:02.0/drm/card0/card0-DP-1", "drm", "drm_connector", "", {},
                    {{"status", "disconnected"}}));

    // Firmware devices.
    auto acpi = [&](const std::string& name, const std::string& alias, const std::string& driver,
                    std::map<std::string, std::string> attributes) {
        std::string hid = alias.substr(5, alias.find(':', 5) - 5);
        attributes["hid"] = hid;
        r.push_back(Dev(kAcpi + "/" + name, "acpi", "", driver, {{"MODALIAS", alias}}, attributes));
    };
    r.push_back(Dev("/sys/devices/LNXSYSTM:00", "acpi", "", "", {{"MODALIAS", "acpi:LNXSYSTM:"}},
                    {{"hid", "LNXSYSTM"}}));
    acpi("PNP0303:00", "acpi:PNP0303:", "",
         {{"status", "15"}, {"physical_node", "/sys/devices/pnp0/00:03"}, {"physical_node/driver", "i8042 kbd"}});
    acpi("SYN1219:00", "acpi:SYN1219:SYN1200:SYN0002:PNP0F13:", "",
         {{"status", "15"}, {"physical_node", "/sys/devices/pnp0/00:04"}, {"physical_node/driver", "i8042 aux"}});
    acpi("PNP0501:00", "acpi:PNP0501:", "",
         {{"physical_node", "/sys/devices/pnp0/00:05"}, {"physical_node/driver", "serial"}});
    r.push_back(Dev("/sys/devices/pnp0/00:05/tty/ttyS0", "tty", "", ""));
    acpi("PNP0C0C:00", "acpi:PNP0C0C:", "button", {});
    acpi("PNP0C0A:00", "acpi:PNP0C0A:", "battery", {{"status", "31"}});
    acpi("ACPI0003:00", "acpi:ACPI0003:", "ac", {});
    acpi("PNP0C0F:00", "acpi:PNP0C0F:", "", {});
    acpi("INT33A1:00", "acpi:INT33A1:PNP0D80:", "", {{"status", "0"}});
    acpi("ACPI0007:00", "acpi:ACPI0007:", "processor", {});
    acpi("ACPI0007:01", "acpi:ACPI0007:", "processor", {});
    acpi("PNP0A08:00", "acpi:PNP0A08:PNP0A03:", "", {{"physical_node", kPci}});
    acpi("INTC1000:00", "acpi:INTC1000:", "", {});   // nothing runs it
    // The PS/2 keyboard's input device: the firmware's keyboard already stands for it.
    r.push_back(Dev("/sys/devices/platform/i8042/serio0", "serio", "", "atkbd"));
    r.push_back(Dev("/sys/devices/platform/i8042/serio0/input/input3", "input", "", "", {},
                    {{"name", "AT Translated Set 2 keyboard"},
                     {"capabilities/ev", "120013"},
                     {"capabilities/key", "402000000 3803078f800d001 feffffdfffefffff fffffffffffffffe"}}));
    return r;
}

HostDeviceContext Context() {
    HostDeviceContext c;
    c.processors = 4;
    c.processorName = "Intel(R) Core(TM) i5-7500 CPU @ 3.40GHz";
    c.kernelRelease = "6.1.0-28-amd64";
    return c;
}

const HostDevice* Find(const std::vector<HostDevice>& all, const std::string& enumerator, const std::string& id) {
    for (const HostDevice& d : all)
        if (d.enumerator == enumerator && d.deviceId == id) return &d;
    return nullptr;
}

TEST(HostDeviceClassification, PciFunctionsByClassCodeWithWindowsHardwareIds) {
    auto all = ClassifyDevices(DesktopRecords(), Context());
    const HostDevice* gpu = Find(all, "PCI", "VEN_8086&DEV_5912&SUBSYS_07A11028&REV_04");
    ASSERT_NE(gpu, nullptr);
    EXPECT_EQ(gpu->className, "Display");
    EXPECT_EQ(gpu->classGuid, "{4D36E968-E325-11CE-BFC1-08002BE10318}");
    EXPECT_EQ(gpu->description, "HD Graphics 630");
    EXPECT_EQ(gpu->manufacturer, "Intel Corporation");
    EXPECT_EQ(gpu->location, "PCI bus 0, device 2, function 0");
    EXPECT_EQ(gpu->hardwareIds, (std::vector<std::string>{"PCI\\VEN_8086&DEV_5912&SUBSYS_07A11028&REV_04",
                                                           "PCI\\VEN_8086&DEV_5912&SUBSYS_07A11028",
                                                           "PCI\\VEN_8086&DEV_5912&CC_030000",
                                                           "PCI\\VEN_8086&DEV_5912&CC_0300"}));
    EXPECT_EQ(gpu->instance.substr(0, 2), "3&");
    EXPECT_EQ(gpu->instance.substr(gpu->instance.size() - 3), "&10");   // device 2, function 0
    EXPECT_EQ(gpu->service, "i915");
    EXPECT_TRUE(gpu->active);

    auto cls = [&](const std::string& id) {
        for (const HostDevice& d : all)
            if (d.enumerator == "PCI" && d.deviceId.find(id) != std::string::npos) return d.className;
        return std::string("(none)");
    };
    EXPECT_EQ(cls("DEV_A2AF"), "USB");
    EXPECT_EQ(cls("DEV_A282"), "hdc");
    EXPECT_EQ(cls("DEV_A2F0"), "MEDIA");
    EXPECT_EQ(cls("DEV_A2A3"), "System");
    EXPECT_EQ(cls("DEV_15B8"), "Net");
    EXPECT_EQ(cls("DEV_591F"), "System");
    // Without a driver the host bridge is there but not started.
    const HostDevice* bridge = Find(all, "PCI", "VEN_8086&DEV_591F&SUBSYS_07A11028&REV_05");
    ASSERT_NE(bridge, nullptr);
    EXPECT_FALSE(bridge->active);
    // No model in the database: the subclass names it.
    const HostDevice* peripheral = Find(all, "PCI", "VEN_8086&DEV_1911&SUBSYS_07A11028&REV_00");
    ASSERT_NE(peripheral, nullptr);
    EXPECT_EQ(peripheral->description, "System peripheral");
    EXPECT_EQ(peripheral->className, "System");
    EXPECT_EQ(cls("DEV_1045"), "System");
    EXPECT_EQ(cls("DEV_1053"), "Unknown");
}

TEST(HostDeviceClassification, UsbDevicesTheirFunctionsAndInputDevices) {
    auto all = ClassifyDevices(DesktopRecords(), Context());
    const HostDevice* hub = Find(all, "USB", "ROOT_HUB20");
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(hub->description, "USB Root Hub");
    EXPECT_EQ(hub->hardwareIds.front(), "USB\\ROOT_HUB20&VID1D6B&PID0002&REV0510");

    const HostDevice* rx = Find(all, "USB", "VID_046D&PID_C52B");
    ASSERT_NE(rx, nullptr);
    EXPECT_EQ(rx->description, "USB Composite Device");
    EXPECT_EQ(rx->className, "USB");
    EXPECT_EQ(rx->manufacturer, "Logitech, Inc.");
    EXPECT_EQ(rx->location, "USB Receiver");
    EXPECT_EQ(rx->hardwareIds, (std::vector<std::string>{"USB\\Vid_046d&Pid_c52b&Rev_1211", "USB\\Vid_046d&Pid_c52b"}));
    for (const char* mi : {"VID_046D&PID_C52B&MI_00", "VID_046D&PID_C52B&MI_01", "VID_046D&PID_C52B&MI_02"}) {
        const HostDevice* f = Find(all, "USB", mi);
        ASSERT_NE(f, nullptr) << mi;
        EXPECT_EQ(f->className, "HIDClass");
        EXPECT_EQ(f->description, "USB Human Interface Device");
        EXPECT_EQ(f->service, "usbhid");
    }
    const HostDevice* kbd = Find(all, "HID", "VID_046D&PID_C52B&MI_00");
    ASSERT_NE(kbd, nullptr);
    EXPECT_EQ(kbd->className, "Keyboard");
    EXPECT_EQ(kbd->description, "HID Keyboard Device");
    EXPECT_EQ(kbd->friendlyName, "Logitech USB Receiver");
    EXPECT_EQ(kbd->service, "hid-generic");
    const HostDevice* mouse = Find(all, "HID", "VID_046D&PID_C52B&MI_01");
    ASSERT_NE(mouse, nullptr);
    EXPECT_EQ(mouse->className, "Mouse");
    EXPECT_EQ(mouse->description, "HID-compliant mouse");
    EXPECT_EQ(Find(all, "HID", "VID_046D&PID_C52B&MI_02"), nullptr);   // consumer keys

    // A single-function device is its function, named as lsusb names it.
    const HostDevice* stick = Find(all, "USB", "VID_0781&PID_5567");
    ASSERT_NE(stick, nullptr);
    EXPECT_EQ(stick->className, "USB");
    EXPECT_EQ(stick->description, "Cruzer Blade");
    EXPECT_EQ(stick->instance, "4C530001230523117433");
    EXPECT_EQ(stick->service, "usb-storage");
}

TEST(HostDeviceClassification, DrivesMonitorsAndFirmwareDevices) {
    auto all = ClassifyDevices(DesktopRecords(), Context());
    const HostDevice* sda = Find(all, "IDE", "DiskST1000DM010-2EP1_CC43");
    ASSERT_NE(sda, nullptr);
    EXPECT_EQ(sda->className, "DiskDrive");
    EXPECT_EQ(sda->friendlyName, "ST1000DM010-2EP1");
    EXPECT_EQ(sda->location, "Bus Number 0, Target Id 0, LUN 0");
    EXPECT_EQ(sda->service, "sd");
    const HostDevice* dvd = Find(all, "IDE", "CdRomDVDRAM_GH24NSD1_LG00");
    ASSERT_NE(dvd, nullptr);
    EXPECT_EQ(dvd->className, "CDROM");
    EXPECT_EQ(dvd->friendlyName, "HL-DT-ST DVDRAM GH24NSD1");
    EXPECT_EQ(dvd->service, "sr");
    const HostDevice* usbDisk = Find(all, "USBSTOR", "Disk&Ven_SanDisk&Prod_Cruzer_Blade&Rev_1.00");
    ASSERT_NE(usbDisk, nullptr);
    EXPECT_EQ(usbDisk->friendlyName, "SanDisk Cruzer Blade");
    const HostDevice* tape = Find(all, "SCSI", "Sequential&Ven_HP&Prod_C1537A");
    ASSERT_NE(tape, nullptr);
    EXPECT_EQ(tape->className, "TapeDrive");
    EXPECT_EQ(tape->location, "Bus Number 0, Target Id 5, LUN 0");
    for (const HostDevice& d : all) {
        EXPECT_EQ(d.sourcePath.find("zram"), std::string::npos);
        EXPECT_EQ(d.sourcePath.find("sda1"), std::string::npos);
    }

    const HostDevice* monitor = Find(all, "DISPLAY", "DEL4065");
    ASSERT_NE(monitor, nullptr);
    EXPECT_EQ(monitor->className, "Monitor");
    EXPECT_EQ(monitor->friendlyName, "DELL U2410");
    EXPECT_EQ(monitor->location, "HDMI-A-1");
    EXPECT_EQ(monitor->service, "i915");
    EXPECT_EQ(std::count_if(all.begin(), all.end(), [](const HostDevice& d) { return d.className == "Monitor"; }), 1);

    const HostDevice* computer = Find(all, "ROOT", "ACPI_HAL");
    ASSERT_NE(computer, nullptr);
    EXPECT_EQ(&all.front(), computer);
    EXPECT_EQ(computer->description, "ACPI Multiprocessor PC");
    EXPECT_EQ(computer->className, "Computer");

    const HostDevice* ps2 = Find(all, "ACPI", "PNP0303");
    ASSERT_NE(ps2, nullptr);
    EXPECT_EQ(ps2->className, "Keyboard");
    EXPECT_EQ(ps2->service, "i8042 kbd");
    EXPECT_EQ(Find(all, "HID", "VID_0000&PID_0000"), nullptr);   // the PS/2 input device
    const HostDevice* pad = Find(all, "ACPI", "SYN1219");
    ASSERT_NE(pad, nullptr);
    EXPECT_EQ(pad->className, "Mouse");   // by its compatible id
    const HostDevice* com = Find(all, "ACPI", "PNP0501");
    ASSERT_NE(com, nullptr);
    EXPECT_EQ(com->friendlyName, "Communications Port (COM1)");
    EXPECT_EQ(Find(all, "ACPI", "PNP0C0F"), nullptr);
    EXPECT_EQ(Find(all, "ACPI", "INT33A1"), nullptr);   // not present
    EXPECT_EQ(Find(all, "ACPI", "LNXSYSTM"), nullptr);
    const HostDevice* unknown = Find(all, "ACPI", "INTC1000");
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->className, "Unknown");
    EXPECT_FALSE(unknown->active);
    const HostDevice* pciBus = Find(all, "ACPI", "PNP0A08");
    ASSERT_NE(pciBus, nullptr);
    EXPECT_TRUE(pciBus->active);
    const HostDevice* mains = Find(all, "ACPI", "ACPI0003");
    ASSERT_NE(mains, nullptr);
    EXPECT_EQ(mains->className, "Battery");
    const HostDevice* composite = Find(all, "ROOT", "COMPOSITE_BATTERY");
    ASSERT_NE(composite, nullptr);
    EXPECT_EQ(composite->description, "Microsoft Composite Battery");
    int processors = 0;
    for (const HostDevice& d : all)
        if (d.className == "Processor") {
            ++processors;
            EXPECT_EQ(d.description, "Intel(R) Core(TM) i5-7500 CPU @ 3.40GHz");
        }
    EXPECT_EQ(processors, 2);
}

TEST(HostDeviceClassification, MachineWithoutFirmwareTablesIsAStandardPC) {
    std::vector<KernelDevice> r = {PciDev("00:02.0", "1234:1111", "1AF4:1100", "30000", "0x02", "bochs-drm",
                                          "", "")};
    HostDeviceContext c;
    auto all = ClassifyDevices(r, c);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].description, "Standard PC");
    EXPECT_EQ(all[1].description, "PCI Device");
    EXPECT_EQ(all[1].manufacturer, "");
    EXPECT_EQ(Find(all, "ROOT", "COMPOSITE_BATTERY"), nullptr);
}

class HostDeviceProjection : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / "torvex-devices-host-projection";
        std::filesystem::remove_all(folder);
        auto m = std::make_unique<FakeMachine>(folder);
        machine = m.get();
        machine->versionFacts = {5, 1, 2600, win32::VER_PLATFORM_WIN32_NT, "Linux 6.1.0-28-amd64", true, 0, 0, 0x100, 1};
        torvex::platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder;
    FakeMachine* machine = nullptr;
};

TEST_F(HostDeviceProjection, DeviceListReadsTheProjectedTree) {
    auto all = ClassifyDevices(DesktopRecords(), Context());
    ProjectDevices(machine->registry(), all, Context());
    TDevices list;
    list.GetInfo();
    std::size_t started = std::count_if(all.begin(), all.end(), [](const HostDevice& d) { return d.active; });
    EXPECT_EQ(std::size_t(list.DeviceCount()), started);

    std::map<std::string, TDevice> byName;
    std::vector<std::string> classes;
    for (int i = 0; i < list.DeviceCount(); ++i) {
        TDevice d;
        list.GetDevice(i, d);
        byName[d.DisplayName()] = d;
        classes.push_back(d.ClassName);
    }
    EXPECT_TRUE(std::is_sorted(classes.begin(), classes.end(), [](const std::string& a, const std::string& b) {
        return torvex::AnsiCompareText(a, b) < 0;
    }));
    ASSERT_EQ(byName.count("HD Graphics 630"), 1u);
    const TDevice& gpu = byName["HD Graphics 630"];
    EXPECT_EQ(gpu.ClassDescription, "Display adapters");
    EXPECT_EQ(gpu.HardwareID,
              "PCI\\VEN_8086&DEV_5912&SUBSYS_07A11028&REV_04PCI\\VEN_8086&DEV_5912&SUBSYS_07A11028"
              "PCI\\VEN_8086&DEV_5912&CC_030000PCI\\VEN_8086&DEV_5912&CC_0300");
    EXPECT_EQ(gpu.DriverProvider, "Linux");
    EXPECT_EQ(gpu.DriverVersion, "6.1.0-28-amd64");
    EXPECT_EQ(gpu.ServiceName, "i915");
    EXPECT_EQ(gpu.ServiceType, 1);
    EXPECT_EQ(gpu.DeviceClass, torvex::engine::dcDisplay);
    EXPECT_EQ(byName.count("Xeon E3-1200 v6/7th Gen Core Processor Host Bridge/DRAM Registers"), 0u);
    EXPECT_EQ(byName["Communications Port (COM1)"].DeviceParameter, "COM1");
    EXPECT_EQ(byName["Intel(R) Core(TM) i5-7500 CPU @ 3.40GHz"].DeviceClass, torvex::engine::dcUnknown);
    EXPECT_EQ(byName["ACPI Multiprocessor PC"].DeviceClass, torvex::engine::dcComputer);
    EXPECT_EQ(byName["DELL U2410"].ClassDescription, "Monitors");
    EXPECT_EQ(byName["Ethernet Connection (2) I219-V"].DeviceClass, torvex::engine::dcNet);
    EXPECT_EQ(byName["200 Series PCH HD Audio"].DeviceClass, torvex::engine::dcMEDIA);
    EXPECT_EQ(byName["HP C1537A"].DeviceClass, torvex::engine::dcTapeDrive);
    EXPECT_EQ(byName["ST1000DM010-2EP1"].Location, "Bus Number 0, Target Id 0, LUN 0");
}

}  // namespace
