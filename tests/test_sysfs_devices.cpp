// The kernel device list read straight from a /sys tree (tests/data/sysfs-host:
// a graphics function, a disk with a mapped volume over it, a serial port,
// a firmware node standing for it, a loopback interface, a virtual terminal,
// and udev's database for some of them).
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/host/HostDevices.h"

using torvex::platform::host::ClassifyDevices;
using torvex::platform::host::HostDevice;
using torvex::platform::host::HostDeviceContext;
using torvex::platform::host::KernelDevice;
using torvex::platform::host::ParseKernelDevices;
using torvex::platform::host::SaveKernelDevices;
using torvex::platform::host::ReadSysfsDevices;

namespace {

std::filesystem::path Tree() { return std::filesystem::path(TORVEX_SOURCE_DIR) / "tests/data/sysfs-host"; }

const KernelDevice* Find(const std::vector<KernelDevice>& list, const std::string& sysname) {
    for (const KernelDevice& k : list)
        if (k.sysname == sysname) return &k;
    return nullptr;
}

}  // namespace

// Which devices are listed, and in udev's order: by path, mapped block
// devices last, terminals on no hardware left out.
TEST(SysfsDevices, ListsTheCollectedSubsystemsInUdevOrder) {
    std::vector<KernelDevice> list = ReadSysfsDevices(Tree());
    std::vector<std::string> paths;
    for (const KernelDevice& k : list) paths.push_back(k.syspath);
    EXPECT_EQ(paths, (std::vector<std::string>{
                         "/sys/devices/LNXSYSTM:00/PNP0303:00",
                         "/sys/devices/pci0000:00/0000:00:02.0",
                         "/sys/devices/pci0000:00/0000:00:1f.2/ata1/host0/target0:0:0/0:0:0:0/block/sda",
                         "/sys/devices/pnp0/00:01/tty/ttyS0",
                         "/sys/devices/virtual/net/lo",
                         "/sys/devices/virtual/block/dm-0",
                     }));
    EXPECT_EQ(Find(list, "tty0"), nullptr);
}

// What a record holds: the uevent as udev shows it, the driver link, the
// attributes the rules read (trimmed, through the device link for a disk),
// the firmware node's device and udev's database.
TEST(SysfsDevices, RecordsHoldUeventDriverAttributesAndUdevDatabase) {
    std::vector<KernelDevice> list = ReadSysfsDevices(Tree());

    const KernelDevice* gpu = Find(list, "0000:00:02.0");
    ASSERT_NE(gpu, nullptr);
    EXPECT_EQ(gpu->subsystem, "pci");
    EXPECT_EQ(gpu->driver, "i915");
    EXPECT_EQ(gpu->property("DRIVER"), "i915");
    EXPECT_EQ(gpu->property("DEVPATH"), "/devices/pci0000:00/0000:00:02.0");
    EXPECT_EQ(gpu->property("SUBSYSTEM"), "pci");
    EXPECT_EQ(gpu->property("PCI_ID"), "8086:0166");
    EXPECT_EQ(gpu->attribute("vendor"), "0x8086");
    EXPECT_EQ(gpu->attribute("revision"), "0x09");
    EXPECT_EQ(gpu->property("ID_VENDOR_FROM_DATABASE"), "Intel Corporation");

    const KernelDevice* disk = Find(list, "sda");
    ASSERT_NE(disk, nullptr);
    EXPECT_EQ(disk->devtype, "disk");
    EXPECT_EQ(disk->driver, "");
    EXPECT_EQ(disk->property("DEVNAME"), "/dev/sda");
    EXPECT_EQ(disk->property("MAJOR"), "8");
    EXPECT_EQ(disk->attribute("device/model"), "Samsung SSD 850");
    EXPECT_EQ(disk->attribute("device/vendor"), "ATA");
    EXPECT_EQ(disk->attribute("removable"), "0");
    EXPECT_EQ(disk->attributes.count("device/firmware_rev"), 0u);
    EXPECT_EQ(disk->property("ID_MODEL"), "Samsung_SSD_850");
    EXPECT_EQ(disk->property("USEC_INITIALIZED"), "1234567");
    EXPECT_EQ(disk->property("DEVLINKS"), "/dev/disk/by-id/ata-Samsung_SSD_850 /dev/disk/by-path/pci-0000:00:1f.2-ata-1");
    EXPECT_EQ(disk->property("TAGS"), ":systemd:");

    const KernelDevice* mapped = Find(list, "dm-0");
    ASSERT_NE(mapped, nullptr);
    EXPECT_EQ(mapped->attribute("removable"), "0");
    EXPECT_EQ(mapped->attributes.size(), 1u);   // no "device" folder, so none of its attributes

    const KernelDevice* lo = Find(list, "lo");
    ASSERT_NE(lo, nullptr);
    EXPECT_EQ(lo->property("ID_NET_NAME"), "lo");

    const KernelDevice* node = Find(list, "PNP0303:00");
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->attribute("hid"), "PNP0303");
    EXPECT_EQ(node->attribute("physical_node"), "/sys/devices/pnp0/00:01");
    EXPECT_EQ(node->attribute("physical_node/driver"), "serial");

    // The rules take the records as the recorded lists: the graphics
    // function with its database name and driver.
    HostDeviceContext context;
    bool named = false;
    for (const HostDevice& d : ClassifyDevices(list, context))
        if (d.enumerator == "PCI") {
            named = true;
            EXPECT_EQ(d.className, "Display");
            EXPECT_EQ(d.service, "i915");
            EXPECT_NE(d.description.find("Integrated Graphics Controller"), std::string::npos) << d.description;
        }
    EXPECT_TRUE(named);
}

// A uevent line without a name ("=orphan" in the serial port's) is no
// property: the list saves and reads back whole.
TEST(SysfsDevices, NamelessUeventLinesAreSkippedAndTheListSaves) {
    std::vector<KernelDevice> list = ReadSysfsDevices(Tree());
    const KernelDevice* serial = Find(list, "ttyS0");
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(serial->properties.count(""), 0u);
    EXPECT_EQ(serial->property("DEVNAME"), "/dev/ttyS0");
    std::vector<KernelDevice> loaded = ParseKernelDevices(SaveKernelDevices(list), "saved");
    ASSERT_EQ(loaded.size(), list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(loaded[i].syspath, list[i].syspath);
        EXPECT_EQ(loaded[i].properties, list[i].properties) << list[i].syspath;
        EXPECT_EQ(loaded[i].attributes, list[i].attributes) << list[i].syspath;
    }
}

// A root without /sys lists nothing and does not fail.
TEST(SysfsDevices, MissingTreeListsNothing) {
    EXPECT_TRUE(ReadSysfsDevices(Tree() / "no-such-root").empty());
}
