// The host's device rules replayed over recorded real machines: device lists
// in the form `udevadm info --export-db` writes (tests/data/udev, sources in
// its README), read by the same reader that loads a saved list, and turned
// into Windows devices without the machine they came from.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host/HostDevices.h"
#include "platform/machine/Machine.h"

using torvex::platform::MachineError;
using torvex::platform::host::ClassifyDevices;
using torvex::platform::host::CollectKernelDevices;
using torvex::platform::host::HostDevice;
using torvex::platform::host::HostDeviceContext;
using torvex::platform::host::KernelDevice;
using torvex::platform::host::LoadKernelDevices;
using torvex::platform::host::ParseKernelDevices;
using torvex::platform::host::SaveKernelDevices;

namespace {

std::filesystem::path Recorded(const char* name) {
    return std::filesystem::path(TORVEX_SOURCE_DIR) / "tests/data/udev" / name;
}

struct Replay {
    std::vector<KernelDevice> records;
    std::vector<HostDevice> devices;

    explicit Replay(const char* name) : records(LoadKernelDevices(Recorded(name))) {
        HostDeviceContext context;
        context.processors = 4;
        context.processorName = "Recorded processor";
        devices = ClassifyDevices(records, context);
    }
    // The device made from the kernel device at a path below /sys/devices.
    const HostDevice* from(const std::string& path) const {
        for (const HostDevice& d : devices)
            if (d.sourcePath == "/sys/devices/" + path) return &d;
        return nullptr;
    }
    std::vector<std::string> classOf(const std::string& className) const {
        std::vector<std::string> paths;
        for (const HostDevice& d : devices)
            if (d.className == className) paths.push_back(d.sourcePath.substr(std::string("/sys/devices/").size()));
        return paths;
    }
};

bool SameRecords(const KernelDevice& a, const KernelDevice& b) {
    return a.syspath == b.syspath && a.subsystem == b.subsystem && a.devtype == b.devtype && a.sysname == b.sysname &&
           a.driver == b.driver && a.properties == b.properties && a.attributes == b.attributes;
}

}  // namespace

// A dump of udev's database reads as it stands: only the subsystems the rules
// read are kept, each record's subsystem, type, driver and name come from its
// lines, and the machine's devices come out in Windows' classes.
TEST(HostDeviceReplay, ThisMachinesDumpReadsAsItStands) {
    Replay r("this-machine.export-db");
    ASSERT_FALSE(r.records.empty());
    for (const KernelDevice& k : r.records) {
        EXPECT_NE(k.subsystem, "") << k.syspath;
        EXPECT_NE(k.subsystem, "platform") << k.syspath;   // not a subsystem the rules read
        EXPECT_FALSE(k.subsystem == "tty" && k.syspath.find("/virtual/") != std::string::npos) << k.syspath;
    }
    auto net = std::find_if(r.records.begin(), r.records.end(),
                            [](const KernelDevice& k) { return k.sysname == "0000:00:03.0"; });
    ASSERT_NE(net, r.records.end());
    EXPECT_EQ(net->subsystem, "pci");
    EXPECT_EQ(net->driver, "virtio-pci");
    EXPECT_EQ(net->property("PCI_ID"), "1AF4:1041");

    // The network card's interface hangs off its virtio device, which is no
    // bus device of its own: the interface is still the function's.
    const HostDevice* card = r.from("pci0000:00/0000:00:03.0");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->className, "Net");
    EXPECT_EQ(card->deviceId, "VEN_1AF4&DEV_1041&SUBSYS_10411AF4&REV_00");
    EXPECT_EQ(card->location, "PCI bus 0, device 3, function 0");
    EXPECT_EQ(r.classOf("Net"), std::vector<std::string>{"pci0000:00/0000:00:03.0"});
    const HostDevice* disk = r.from("pci0000:00/0000:00:02.0");
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->className, "SCSIAdapter");   // class 01 00: a SCSI storage controller
    EXPECT_EQ(r.devices.front().description, "ACPI Multiprocessor PC");
}

// This machine's list as the collection saved it (tools/torvex-devices):
// with the sysfs attributes and the hardware database's names that a udev
// dump lacks, it gives the devices the live host's report shows.
TEST(HostDeviceReplay, ThisMachinesSavedListGivesTheLiveDevices) {
    Replay r("this-machine.devices");
    const HostDevice* card = r.from("pci0000:00/0000:00:03.0");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->className, "Net");
    EXPECT_EQ(card->deviceId, "VEN_1AF4&DEV_1041&SUBSYS_10411AF4&REV_01");   // the revision is an attribute
    EXPECT_EQ(card->description, "Virtio 1.0 network device");
    const HostDevice* disk = r.from("pci0000:00/0000:00:02.0/virtio1/block/vda");
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->className, "DiskDrive");
    EXPECT_EQ(disk->deviceId, "Disk&Ven_&Prod_Virtio_1.0_block");
    EXPECT_EQ(disk->service, "virtio_blk");
    EXPECT_EQ(r.classOf("Net").size(), 1u);
}

// A desktop's wireless card sits behind a PCI Express root port: the card is
// the network adapter, the root port a system device.
TEST(HostDeviceReplay, DesktopCardBehindARootPortIsTheOnlyAdapterThere) {
    Replay r("dell-optiplex-9020-aio.export-db");
    std::vector<std::string> net = r.classOf("Net");
    std::sort(net.begin(), net.end());
    EXPECT_EQ(net, (std::vector<std::string>{"pci0000:00/0000:00:19.0", "pci0000:00/0000:00:1c.0/0000:01:00.0"}));
    const HostDevice* port = r.from("pci0000:00/0000:00:1c.0");
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(port->className, "System");
    EXPECT_EQ(port->service, "pcieport");
    const HostDevice* card = r.from("pci0000:00/0000:00:1c.0/0000:01:00.0");
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->service, "wl");
    EXPECT_EQ(card->location, "PCI bus 1, device 0, function 0");
    // The rest of the machine as lspci names it.
    EXPECT_EQ(r.from("pci0000:00/0000:00:02.0")->className, "Display");
    EXPECT_EQ(r.from("pci0000:00/0000:00:14.0")->className, "USB");
    EXPECT_EQ(r.from("pci0000:00/0000:00:1f.2")->description, "82801 SATA Controller [RAID mode]");
}

// A laptop with two cards behind root ports and a USB WiMAX adapter behind
// the EHCI controller: the adapter is a network adapter of its own, and
// neither the controller, the hub between them nor the root ports are.
TEST(HostDeviceReplay, LaptopUsbAdapterBelongsToItselfNotItsHostController) {
    Replay r("dell-vostro-v131.export-db");
    std::vector<std::string> net = r.classOf("Net");
    std::sort(net.begin(), net.end());
    EXPECT_EQ(net, (std::vector<std::string>{"pci0000:00/0000:00:1c.1/0000:05:00.0",
                                             "pci0000:00/0000:00:1c.3/0000:09:00.0",
                                             "pci0000:00/0000:00:1d.0/usb2/2-1/2-1.5"}));
    const HostDevice* controller = r.from("pci0000:00/0000:00:1d.0");
    ASSERT_NE(controller, nullptr);
    EXPECT_EQ(controller->className, "USB");
    for (const char* port : {"pci0000:00/0000:00:1c.1", "pci0000:00/0000:00:1c.3"}) {
        ASSERT_NE(r.from(port), nullptr) << port;
        EXPECT_EQ(r.from(port)->className, "System") << port;
    }
    const HostDevice* hub = r.from("pci0000:00/0000:00:1d.0/usb2/2-1");
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(hub->description, "Generic USB Hub");
    const HostDevice* wimax = r.from("pci0000:00/0000:00:1d.0/usb2/2-1/2-1.5");
    ASSERT_NE(wimax, nullptr);
    EXPECT_EQ(wimax->enumerator, "USB");
    EXPECT_EQ(wimax->deviceId, "VID_8087&PID_07D9");
    EXPECT_EQ(wimax->service, "i2400m_usb");
    // The Bluetooth radio (device class E0h) is one function; the camera
    // (class EFh, two interfaces) a composite device with a video function.
    EXPECT_EQ(r.from("pci0000:00/0000:00:1a.0/usb1/1-1/1-1.4")->className, "Bluetooth");
    EXPECT_EQ(r.from("pci0000:00/0000:00:1a.0/usb1/1-1/1-1.5")->description, "USB Composite Device");
    EXPECT_EQ(r.from("pci0000:00/0000:00:1a.0/usb1/1-1/1-1.5/1-1.5:1.0")->className, "Image");
}

// A composite mobile broadband modem: its network function (interface 6)
// is the adapter; the composite device and the xHCI controller are not.
TEST(HostDeviceReplay, CompositeModemsNetworkFunctionIsTheAdapter) {
    Replay r("lenovo-t430s.export-db");
    const HostDevice* mbim = r.from("pci0000:00/0000:00:14.0/usb3/3-4/3-4:1.6");
    ASSERT_NE(mbim, nullptr);
    EXPECT_EQ(mbim->className, "Net");
    EXPECT_EQ(mbim->deviceId, "VID_0BDB&PID_1926&MI_06");
    EXPECT_EQ(mbim->service, "cdc_mbim");
    const HostDevice* modem = r.from("pci0000:00/0000:00:14.0/usb3/3-4");
    ASSERT_NE(modem, nullptr);
    EXPECT_EQ(modem->description, "USB Composite Device");
    EXPECT_EQ(r.from("pci0000:00/0000:00:14.0")->className, "USB");
    EXPECT_EQ(r.from("pci0000:00/0000:00:19.0")->className, "Net");
    EXPECT_EQ(r.from("pci0000:00/0000:00:1c.1")->className, "System");
    EXPECT_EQ(r.from("pci0000:00/0000:00:1c.1/0000:03:00.0")->className, "Net");
}

// The saved form keeps every record whole, attributes with any bytes in them
// (an EDID block) included, and the rules give the same devices after a
// round trip.
TEST(HostDeviceReplay, SavedListLoadsBackToTheSameRecordsAndDevices) {
    std::vector<KernelDevice> recorded = LoadKernelDevices(Recorded("lenovo-t430s.export-db"));
    KernelDevice monitor;
    monitor.syspath = "/sys/devices/pci0000:00/0000:00:02.0/drm/card0/card0-LVDS-1";
    monitor.subsystem = "drm";
    monitor.sysname = "card0-LVDS-1";
    monitor.attributes["status"] = "connected";
    monitor.attributes["edid"] = std::string("\x00\xFF\xFF\xFF\xFF\xFF\xFF\x00\\x41\n\r", 14) + std::string(114, '\x7F');
    recorded.push_back(monitor);

    std::string saved = SaveKernelDevices(recorded);
    std::vector<KernelDevice> loaded = ParseKernelDevices(saved, "saved");
    ASSERT_EQ(loaded.size(), recorded.size());
    for (std::size_t i = 0; i < recorded.size(); ++i)
        EXPECT_TRUE(SameRecords(recorded[i], loaded[i])) << recorded[i].syspath;
    EXPECT_EQ(loaded.back().attributes.at("edid"), monitor.attributes.at("edid"));

    HostDeviceContext context;
    auto before = ClassifyDevices(recorded, context), after = ClassifyDevices(loaded, context);
    ASSERT_EQ(before.size(), after.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(before[i].className, after[i].className);
        EXPECT_EQ(before[i].deviceId, after[i].deviceId);
        EXPECT_EQ(before[i].instance, after[i].instance);
    }
}

// What this machine's collection gives can be saved and loaded back whole.
TEST(HostDeviceReplay, LiveCollectionSurvivesARoundTrip) {
    std::vector<KernelDevice> live = CollectKernelDevices();
    if (live.empty()) GTEST_SKIP() << "udev shows no devices here";
    std::vector<KernelDevice> loaded = ParseKernelDevices(SaveKernelDevices(live), "live");
    ASSERT_EQ(loaded.size(), live.size());
    for (std::size_t i = 0; i < live.size(); ++i) EXPECT_TRUE(SameRecords(live[i], loaded[i])) << live[i].syspath;
}

// A damaged list is refused with the file and line named.
TEST(HostDeviceReplay, DamagedListsNameTheirFileAndLine) {
    auto refusal = [](const std::string& text) -> std::string {
        try {
            ParseKernelDevices(text, "broken.export-db");
        } catch (const MachineError& e) {
            return e.what();
        }
        return "accepted";
    };
    EXPECT_EQ(refusal("P: /devices/pci0000:00/0000:00:00.0\nE: SUBSYSTEM=pci\nthis is no record line\n"),
              "broken.export-db:3: unparsable: not a \"X: value\" line");
    EXPECT_EQ(refusal("E: SUBSYSTEM=pci\n"), "broken.export-db:1: unparsable: a line before the first \"P:\"");
    EXPECT_EQ(refusal("P: /devices/x\nU: pci\nA: vendor=\\q\n"),
              "broken.export-db:3: unparsable: bad escape in attribute vendor");
    EXPECT_EQ(refusal("P: /devices/x\nE: =pci\n"), "broken.export-db:2: unparsable: no name=value");
    EXPECT_EQ(refusal("P: devices/x\n"), "broken.export-db:1: unparsable: device path");
    EXPECT_THROW(LoadKernelDevices(Recorded("no-such-machine.export-db")), MachineError);
    // Blank lines, comments and udev's other lines (links, node, tags) pass.
    EXPECT_EQ(refusal("# recorded\n\nP: /devices/x\nN: sda\nS: disk/by-id/x\nL: 0\nU: block\n\n"), "accepted");
}
