// The device list read from the registry of an NT-family and of a Windows 9x
// PC, as the engine root, the multimedia and the network categories use it.
#include <gtest/gtest.h>

#include <filesystem>

#include "FakeMachine.h"
#include "engine/Zarvo_Devices.h"
#include "platform/win32/Win32.h"

using torvex::TStringList;
using torvex::engine::DeviceClassOf;
using torvex::engine::TDevice;
using torvex::engine::TDevices;
using torvex::platform::RegKey;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::testing::FakeMachine;
namespace engine = torvex::engine;

namespace {

constexpr const char* kDisplayGuid = "{4D36E968-E325-11CE-BFC1-08002BE10318}";
constexpr const char* kNetGuid = "{4D36E972-E325-11CE-BFC1-08002BE10318}";

class DeviceListTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("torvex-devices-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder);
        auto m = std::make_unique<FakeMachine>(folder);
        machine = m.get();
        torvex::platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        std::filesystem::remove_all(folder);
    }
    RegKey& hklm() { return machine->registry().root(RegRoot::LocalMachine); }

    void MakeNT() { machine->versionFacts = {5, 1, 2600, win32::VER_PLATFORM_WIN32_NT, "Service Pack 2", true, 2, 0, 0x100, 1}; }
    void Make9x() { machine->versionFacts = {4, 10, 2222, win32::VER_PLATFORM_WIN32_WINDOWS, " A ", false}; }

    // An NT class key with its name, description and one driver key.
    void NTClass(const std::string& guid, const std::string& name, const std::string& description) {
        RegKey& c = hklm().ensure("SYSTEM\\CurrentControlSet\\Control\\Class\\" + guid);
        c.setValue(RegValue::String("Class", name));
        c.setValue(RegValue::String("", description));
        c.setValue(RegValue::String("Icon", "-5"));
    }
    // An NT device instance; started devices have their "Control" key.
    RegKey& NTDevice(const std::string& path, bool started = true) {
        RegKey& k = hklm().ensure("SYSTEM\\CurrentControlSet\\Enum\\" + path);
        if (started) k.ensure("Control");
        return k;
    }
    void Service(const std::string& name, const std::string& display, const std::string& group, int type) {
        RegKey& s = hklm().ensure("SYSTEM\\CurrentControlSet\\Services\\" + name);
        s.setValue(RegValue::String("DisplayName", display));
        s.setValue(RegValue::String("Group", group));
        s.setValue(RegValue::Dword("Type", std::uint32_t(type)));
    }
    std::vector<TDevice> Devices(TDevices& list) {
        std::vector<TDevice> r;
        for (int i = 0; i < list.DeviceCount(); ++i) {
            TDevice d;
            EXPECT_TRUE(list.GetDevice(i, d));
            r.push_back(d);
        }
        return r;
    }

    std::filesystem::path folder;
    FakeMachine* machine = nullptr;
};

TEST(DeviceClassTable, NamesFallUnderTheFirstEntryTheyBeginWith) {
    EXPECT_EQ(DeviceClassOf("Battery"), 0);
    EXPECT_EQ(DeviceClassOf("Computer"), 1);
    EXPECT_EQ(DeviceClassOf("display"), 3);       // letter case does not matter
    EXPECT_EQ(DeviceClassOf("NetTrans"), 21);     // begins with "Net"
    EXPECT_EQ(DeviceClassOf("NetService"), 21);
    EXPECT_EQ(DeviceClassOf("TapeDrive"), 33);    // found before "Tape"
    EXPECT_EQ(DeviceClassOf("TapeController"), 34);
    EXPECT_EQ(DeviceClassOf("HIDClass"), 8);
    EXPECT_EQ(DeviceClassOf("MEDIA"), 30);
    EXPECT_EQ(DeviceClassOf("USB"), 36);
    EXPECT_EQ(DeviceClassOf("Processor"), 24);    // no entry: Unknown
    EXPECT_EQ(DeviceClassOf("Bluetooth"), 24);
    EXPECT_EQ(DeviceClassOf(""), 24);
    EXPECT_STREQ(engine::DeviceClassName(24), "Unknown");
    EXPECT_STREQ(engine::DeviceClassName(37), "");
}

TEST_F(DeviceListTest, StartedNTDevicesWithTheirClassDriverAndService) {
    MakeNT();
    NTClass(kDisplayGuid, "Display", "Display adapters");
    RegKey& drv = hklm().ensure("SYSTEM\\CurrentControlSet\\Control\\Class\\" + std::string(kDisplayGuid) + "\\0000");
    drv.setValue(RegValue::String("DriverDate", "7-1-2001"));
    drv.setValue(RegValue::String("DriverVersion", "5.1.2600.0"));
    drv.setValue(RegValue::String("ProviderName", "Microsoft"));
    Service("mga64", "mga64", "Video", 1);
    RegKey& d = NTDevice("PCI\\VEN_102B&DEV_0525&SUBSYS_0338102B&REV_04\\4&2E75E8C9&0&0008");
    d.setValue(RegValue::String("ClassGUID", "{4d36e968-e325-11ce-bfc1-08002be10318}"));
    d.setValue(RegValue::String("DeviceDesc", "Matrox Millennium G400"));
    d.setValue(RegValue::String("Mfg", "Matrox"));
    d.setValue(RegValue::String("Service", "mga64"));
    d.setValue(RegValue::String("LocationInformation", "PCI bus 1, device 0, function 0"));
    // A doubled backslash in the driver value still finds the driver key.
    d.setValue(RegValue::String("Driver", std::string(kDisplayGuid) + "\\\\0000"));
    d.setValue(RegValue::String("HardwareID", "PCI\\VEN_102B&DEV_0525"));
    d.ensure("Device Parameters").setValue(RegValue::Dword("Rotation", 0));
    d.ensure("Device Parameters").setValue(RegValue::String("", "unnamed"));
    d.ensure("Device Parameters").setValue(RegValue::String("VideoID", "{ABC}"));

    TDevices list;
    list.GetInfo();
    ASSERT_EQ(list.DeviceCount(), 1);
    TDevice g;
    ASSERT_TRUE(list.GetDevice(0, g));
    EXPECT_EQ(g.ClassName, "Display");
    EXPECT_EQ(g.ClassDescription, "Display adapters");
    EXPECT_EQ(g.ClassIcon, "-5");
    EXPECT_EQ(g.ClassGUID, kDisplayGuid);   // upper-cased
    EXPECT_EQ(g.DisplayName(), "Matrox Millennium G400");
    EXPECT_EQ(g.Manufacturer, "Matrox");
    EXPECT_EQ(g.Location, "PCI bus 1, device 0, function 0");
    EXPECT_EQ(g.HardwareID, "PCI\\VEN_102B&DEV_0525");
    EXPECT_EQ(g.DeviceParameter, "{ABC}");   // first named text value
    EXPECT_EQ(g.DriverDate, "7-1-2001");
    EXPECT_EQ(g.DriverVersion, "5.1.2600.0");
    EXPECT_EQ(g.DriverProvider, "Microsoft");
    EXPECT_EQ(g.ServiceName, "mga64");
    EXPECT_EQ(g.ServiceGroup, "Video");
    EXPECT_EQ(g.ServiceType, 1);
    EXPECT_EQ(g.DeviceClass, engine::dcDisplay);
    EXPECT_EQ(g.RegistryKey,
              "\\SYSTEM\\CurrentControlSet\\Enum\\PCI\\VEN_102B&DEV_0525&SUBSYS_0338102B&REV_04\\4&2E75E8C9&0&0008");
    EXPECT_FALSE(list.GetDevice(1, g));
}

TEST_F(DeviceListTest, HardwareIdIsReadByTheKindOfItsValue) {
    MakeNT();
    NTClass(kNetGuid, "Net", "Network adapters");
    auto add = [&](const std::string& id, RegValue hw) {
        RegKey& k = NTDevice("PCI\\" + id + "\\0");
        k.setValue(RegValue::String("ClassGUID", kNetGuid));
        k.setValue(RegValue::String("DeviceDesc", id));
        hw.name = "HardwareID";
        k.setValue(std::move(hw));
    };
    // Two identifiers of a multi-text run together.
    add("MULTI", RegValue::MultiString("", {"PCI\\VEN_8086&DEV_1229&REV_08", "PCI\\VEN_8086&DEV_1229"}));
    add("BINARY", RegValue::Binary("", {'A', 'B', 0, 'C', 0, 0, 'D'}));
    add("DWORD", RegValue::Dword("", 7));
    // Longer than the buffer: the read fails.
    add("LONG", RegValue::MultiString("", {std::string(300, 'X')}));
    add("EXPAND", RegValue::String("", "PCI\\VEN_10EC", win32::REG_EXPAND_SZ));

    TDevices list;
    list.GetInfo();
    std::map<std::string, std::string> ids;
    for (const TDevice& d : Devices(list)) ids[d.Description] = d.HardwareID;
    ASSERT_EQ(ids.size(), 5u);
    EXPECT_EQ(ids["MULTI"], "PCI\\VEN_8086&DEV_1229&REV_08PCI\\VEN_8086&DEV_1229");
    EXPECT_EQ(ids["BINARY"], "ABC");
    EXPECT_EQ(ids["DWORD"], "");
    EXPECT_EQ(ids["LONG"], "");
    EXPECT_EQ(ids["EXPAND"], "PCI\\VEN_10EC");
}

TEST_F(DeviceListTest, NTClassNameLocationAndStartedRules) {
    MakeNT();
    // The GUID has no class key: the device's own "Class" names the class.
    RegKey& a = NTDevice("ROOT\\LEGACY_BEEP\\0000");
    a.setValue(RegValue::String("ClassGUID", "{8ECC055D-047F-11D1-A537-0000F8753ED1}"));
    a.setValue(RegValue::String("Class", "LegacyDriver"));
    a.setValue(RegValue::String("DeviceDesc", "Beep"));
    // Neither class key nor own class: left out.
    RegKey& b = NTDevice("ROOT\\NOCLASS\\0000");
    b.setValue(RegValue::String("ClassGUID", "{00000000-0000-0000-0000-000000000000}"));
    b.setValue(RegValue::String("DeviceDesc", "Nameless"));
    // A blank class name counts as none.
    RegKey& c = NTDevice("ROOT\\BLANK\\0000");
    c.setValue(RegValue::String("Class", "   "));
    c.setValue(RegValue::String("DeviceDesc", "Blank"));
    // Not started: no "Control" key.
    RegKey& d = NTDevice("ROOT\\STOPPED\\0000", false);
    d.setValue(RegValue::String("Class", "System"));
    d.setValue(RegValue::String("DeviceDesc", "Stopped"));
    // A class the table does not know.
    RegKey& e = NTDevice("ACPI\\GENUINEINTEL_-_X86_FAMILY_6_MODEL_8\\_0");
    e.setValue(RegValue::String("Class", "Processor"));
    e.setValue(RegValue::String("DeviceDesc", "Intel Pentium III processor"));
    e.setValue(RegValue::String("FriendlyName", "  "));
    // No location of its own: the bus driver's display name, and its group
    // until the device's own service replaces it.
    Service("ACPI", "Microsoft ACPI Driver", "Boot Bus Extender", 1);
    Service("intelppm", "Intel Processor Driver", "Extended Base", 1);
    e.setValue(RegValue::String("Service", "intelppm"));
    RegKey& f = NTDevice("ACPI\\PNP0C0C\\2&DABA3FF&0");
    f.setValue(RegValue::String("Class", "System"));
    f.setValue(RegValue::String("DeviceDesc", "ACPI Power Button"));

    TDevices list;
    list.GetInfo();
    std::map<std::string, TDevice> byName;
    for (const TDevice& x : Devices(list)) byName[x.DisplayName()] = x;
    ASSERT_EQ(byName.size(), 3u);
    EXPECT_EQ(byName.count("Nameless"), 0u);
    EXPECT_EQ(byName.count("Blank"), 0u);
    EXPECT_EQ(byName.count("Stopped"), 0u);
    EXPECT_EQ(byName["Beep"].ClassName, "LegacyDriver");
    EXPECT_EQ(byName["Beep"].ClassDescription, "");
    EXPECT_EQ(byName["Beep"].DeviceClass, engine::dcLegacyDriver);
    const TDevice& cpu = byName["Intel Pentium III processor"];   // blank friendly name
    EXPECT_EQ(cpu.DeviceClass, engine::dcUnknown);
    EXPECT_EQ(cpu.Location, "Microsoft ACPI Driver");
    EXPECT_EQ(cpu.ServiceName, "Intel Processor Driver");
    EXPECT_EQ(cpu.ServiceGroup, "Extended Base");
    const TDevice& button = byName["ACPI Power Button"];
    EXPECT_EQ(button.Location, "Microsoft ACPI Driver");
    EXPECT_EQ(button.ServiceGroup, "Boot Bus Extender");
    EXPECT_EQ(button.ServiceName, "");
}

TEST_F(DeviceListTest, ServiceWithoutTypeLosesItsDisplayName) {
    MakeNT();
    RegKey& s = hklm().ensure("SYSTEM\\CurrentControlSet\\Services\\i8042prt");
    s.setValue(RegValue::String("DisplayName", "i8042 Keyboard and PS/2 Mouse Port Driver"));
    s.setValue(RegValue::String("Group", "Keyboard Port"));
    RegKey& k = NTDevice("ACPI\\PNP0303\\4&1D401FB5&0");
    k.setValue(RegValue::String("Class", "Keyboard"));
    k.setValue(RegValue::String("DeviceDesc", "Standard 101/102-Key or Microsoft Natural PS/2 Keyboard"));
    k.setValue(RegValue::String("Service", "i8042prt"));
    k.setValue(RegValue::String("LocationInformation", "here"));
    TDevices list;
    list.GetInfo();
    TDevice d;
    ASSERT_TRUE(list.GetDevice(0, d));
    EXPECT_EQ(d.ServiceName, "");
    EXPECT_EQ(d.ServiceGroup, "Keyboard Port");
    EXPECT_EQ(d.ServiceType, 0);

    // With its type, a group that is no text fails the read as well: the
    // display name goes, the type stays.
    s.setValue(RegValue::Dword("Type", 1));
    s.setValue(RegValue::Dword("Group", 7));
    list.GetInfo();
    ASSERT_TRUE(list.GetDevice(0, d));
    EXPECT_EQ(d.ServiceName, "");
    EXPECT_EQ(d.ServiceType, 1);
    s.setValue(RegValue::String("Group", "Keyboard Port"));
    list.GetInfo();
    ASSERT_TRUE(list.GetDevice(0, d));
    EXPECT_EQ(d.ServiceName, "i8042 Keyboard and PS/2 Mouse Port Driver");
}

TEST_F(DeviceListTest, ListIsSortedByClassNameIgnoringCase) {
    MakeNT();
    const char* classes[] = {"USB", "Display", "mouse", "CDROM", "Keyboard", "DiskDrive", "Net"};
    int n = 0;
    for (const char* c : classes) {
        RegKey& k = NTDevice(std::string("ROOT\\DEV") + std::to_string(n) + "\\0000");
        k.setValue(RegValue::String("Class", c));
        k.setValue(RegValue::String("DeviceDesc", std::string("device ") + std::to_string(n++)));
    }
    TDevices list;
    list.GetInfo();
    std::vector<std::string> order;
    for (const TDevice& d : Devices(list)) order.push_back(d.ClassName);
    EXPECT_EQ(order, (std::vector<std::string>{"CDROM", "DiskDrive", "Display", "Keyboard", "mouse", "Net", "USB"}));

    // A second refresh frees the first records rather than adding to them.
    list.GetInfo();
    EXPECT_EQ(list.DeviceCount(), 7);
}

TEST_F(DeviceListTest, Windows9xReadsTheConfigurationManagersHardwareKeys) {
    Make9x();
    RegKey& dyn = machine->registry().root(RegRoot::DynData).ensure("Config Manager\\Enum");
    const char* keys[] = {"PCI\\VEN_1274&DEV_1371&SUBSYS_13711274&REV_06\\BUS_00&DEV_0B&FUNC_00",
                          "Network\\MSTCP\\0000",
                          "ROOT\\*PNP0000\\0000",    // same class and description as the next
                          "ROOT\\*PNP0000\\0001",
                          "ROOT\\MISSING\\0000",     // no Enum key
                          "PCI\\VEN_8086&DEV_7190\\BUS_00&DEV_00&FUNC_00"};
    int n = 0;
    for (const char* k : keys) {
        char node[16];
        std::snprintf(node, sizeof node, "C29A%04X", n++);
        dyn.ensure(node).setValue(RegValue::String("HardwareKey", k));
    }
    // Windows 9x keeps class data under the class name; the GUID key links to it.
    RegKey& root = hklm().ensure("System\\CurrentControlSet\\Services\\Class");
    RegKey& mediaGuid = root.ensure("{4D36E96C-E325-11CE-BFC1-08002BE10318}");
    mediaGuid.setValue(RegValue::String("Class", "MEDIA"));
    mediaGuid.setValue(RegValue::String("Link", "MEDIA"));
    root.ensure("MEDIA").setValue(RegValue::String("", "Sound, video and game controllers"));
    root.ensure("MEDIA").setValue(RegValue::String("Icon", "-1"));
    root.ensure("MEDIA\\0000").setValue(RegValue::String("DriverDate", " 4-23-1999"));
    RegKey& sysGuid = root.ensure("{4D36E97D-E325-11CE-BFC1-08002BE10318}");
    sysGuid.setValue(RegValue::String("Class", "System"));
    sysGuid.setValue(RegValue::String("Link", "NOWHERE"));   // broken link: nothing more

    RegKey& enumKey = hklm().ensure("Enum");
    RegKey& audio = enumKey.ensure(keys[0]);
    audio.setValue(RegValue::String("Class", "MEDIA"));
    audio.setValue(RegValue::String("ClassGUID", "{4d36e96c-e325-11ce-bfc1-08002be10318}"));
    audio.setValue(RegValue::String("DeviceDesc", "Creative AudioPCI (ES1371,ES1373) (WDM)"));
    audio.setValue(RegValue::String("Driver", "MEDIA\\0000"));
    audio.setValue(RegValue::String("HardwareID", "PCI\\VEN_1274&DEV_1371"));
    enumKey.ensure("Network\\MSTCP\\0000").setValue(RegValue::String("Class", "NetTrans"));
    for (int i = 2; i <= 3; ++i) {
        RegKey& pic = enumKey.ensure(keys[i]);
        pic.setValue(RegValue::String("Class", "System"));
        pic.setValue(RegValue::String("DeviceDesc", "Programmable interrupt controller"));
    }
    RegKey& bridge = enumKey.ensure(keys[5]);
    bridge.setValue(RegValue::String("Class", "System"));
    bridge.setValue(RegValue::String("ClassGUID", "{4D36E97D-E325-11CE-BFC1-08002BE10318}"));
    bridge.setValue(RegValue::String("DeviceDesc", "Intel 82443BX Pentium(r) II Processor to PCI bridge"));
    // No "Control" key anywhere: Windows 9x has no such test.

    TDevices list;
    list.GetInfo();
    std::vector<TDevice> all = Devices(list);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].ClassName, "MEDIA");
    EXPECT_EQ(all[0].ClassDescription, "Sound, video and game controllers");
    EXPECT_EQ(all[0].ClassIcon, "-1");
    EXPECT_EQ(all[0].DriverDate, " 4-23-1999");
    EXPECT_EQ(all[0].DeviceClass, engine::dcMEDIA);
    EXPECT_EQ(all[0].RegistryKey, std::string("\\Enum\\") + keys[0]);
    EXPECT_EQ(all[0].Location, "");   // no fallback on Windows 9x
    int pics = 0;
    for (const TDevice& d : all) {
        EXPECT_NE(d.ClassName, "NetTrans");
        if (d.Description == "Programmable interrupt controller") ++pics;
        if (d.ClassGUID == "{4D36E97D-E325-11CE-BFC1-08002BE10318}") {
            EXPECT_EQ(d.ClassName, "System");
            EXPECT_EQ(d.ClassDescription, "");
        }
    }
    EXPECT_EQ(pics, 1);
}

TEST_F(DeviceListTest, AnNTDevicesOwnLocationIsNeverReplacedByItsBusDriver) {
    MakeNT();
    NTClass("{4D36E96C-E325-11CE-BFC1-08002BE10318}", "MEDIA", "Sound, video and game controllers");
    // The enumerator "PCI" is also a service's name: the bus driver.
    Service("PCI", "PCI Bus Driver", "Boot Bus Extender", 1);
    Service("es1371", "Creative AudioPCI (WDM)", "", 1);
    RegKey& own = NTDevice("PCI\\VEN_1274&DEV_1371&SUBSYS_13711274&REV_06\\3&61AAA01&0&58");
    own.setValue(RegValue::String("ClassGUID", "{4D36E96C-E325-11CE-BFC1-08002BE10318}"));
    own.setValue(RegValue::String("DeviceDesc", "Creative AudioPCI"));
    own.setValue(RegValue::String("LocationInformation", "PCI bus 0, device 11, function 0"));
    own.setValue(RegValue::String("Service", "es1371"));
    // Its neighbour without one takes the bus driver's name.
    RegKey& bare = NTDevice("PCI\\VEN_8086&DEV_7190&SUBSYS_00000000&REV_03\\3&61AAA01&0&00");
    bare.setValue(RegValue::String("ClassGUID", "{4D36E96C-E325-11CE-BFC1-08002BE10318}"));
    bare.setValue(RegValue::String("DeviceDesc", "Bridge"));

    TDevices list;
    list.GetInfo();
    std::map<std::string, TDevice> byName;
    for (const TDevice& x : Devices(list)) byName[x.DisplayName()] = x;
    ASSERT_EQ(byName.size(), 2u);
    EXPECT_EQ(byName["Creative AudioPCI"].Location, "PCI bus 0, device 11, function 0");
    EXPECT_EQ(byName["Creative AudioPCI"].ServiceName, "Creative AudioPCI (WDM)");
    EXPECT_EQ(byName["Creative AudioPCI"].ServiceGroup, "");
    EXPECT_EQ(byName["Bridge"].Location, "PCI Bus Driver");
    EXPECT_EQ(byName["Bridge"].ServiceGroup, "Boot Bus Extender");
}

TEST_F(DeviceListTest, Windows9xKeepsTheFirstOfADuplicatedDeviceThatComesFirst) {
    Make9x();
    // The duplicated device is the first record the list keeps.
    RegKey& dyn = machine->registry().root(RegRoot::DynData).ensure("Config Manager\\Enum");
    const char* keys[] = {"ROOT\\*PNP0000\\0000", "ROOT\\*PNP0000\\0001", "ROOT\\*PNP0100\\0000"};
    int n = 0;
    for (const char* k : keys) {
        char node[16];
        std::snprintf(node, sizeof node, "C29A%04X", n++);
        dyn.ensure(node).setValue(RegValue::String("HardwareKey", k));
    }
    RegKey& enumKey = hklm().ensure("Enum");
    for (int i = 0; i < 2; ++i) {
        RegKey& pic = enumKey.ensure(keys[i]);
        pic.setValue(RegValue::String("Class", "System"));
        pic.setValue(RegValue::String("DeviceDesc", "Programmable interrupt controller"));
    }
    RegKey& timer = enumKey.ensure(keys[2]);
    timer.setValue(RegValue::String("Class", "System"));
    timer.setValue(RegValue::String("DeviceDesc", "System timer"));

    TDevices list;
    list.GetInfo();
    std::vector<TDevice> all = Devices(list);
    ASSERT_EQ(all.size(), 2u);
    int pics = 0;
    for (const TDevice& d : all)
        if (d.Description == "Programmable interrupt controller") {
            ++pics;
            EXPECT_EQ(d.RegistryKey, std::string("\\Enum\\") + keys[0]);
        }
    EXPECT_EQ(pics, 1);
}

TEST_F(DeviceListTest, ReportWritesOneSectionPerDevice) {
    MakeNT();
    NTClass(kNetGuid, "Net", "Network adapters");
    RegKey& k = NTDevice("PCI\\VEN_8086&DEV_100E\\3&61AAA01&0&18");
    k.setValue(RegValue::String("ClassGUID", kNetGuid));
    k.setValue(RegValue::String("DeviceDesc", "Intel(R) PRO/1000 MT Desktop Adapter"));
    k.setValue(RegValue::String("FriendlyName", "Intel(R) PRO/1000 MT Desktop Adapter #2 "));
    k.setValue(RegValue::String("Driver", std::string(kNetGuid) + "\\0001"));
    TDevices list;
    list.GetInfo();
    TStringList lines;
    lines.Add("before");
    list.Report(lines);
    std::vector<std::string> expected = {
        "before",
        "[Devices]",
        "Count=1",
        "[Intel(R) PRO/1000 MT Desktop Adapter #2 ]",   // not trimmed
        "Class Name=Network adapters",
        std::string("Class GUID=") + kNetGuid,
        "Manufacturer=",
        "Location=",
        "Hardware ID=",
        std::string("Registry Info=") + kNetGuid + "\\0001",
        "Driver Date=",
        "Driver Version=",
        "Driver Provider=",
        "Service Name=",
        "Service Group=",
    };
    EXPECT_EQ(lines.ToVector(), expected);
}

TEST_F(DeviceListTest, EmptyRegistryGivesAnEmptyList) {
    MakeNT();
    TDevices list;
    list.GetInfo();
    EXPECT_EQ(list.DeviceCount(), 0);
    TStringList lines;
    list.Report(lines);
    EXPECT_EQ(lines.ToVector(), (std::vector<std::string>{"[Devices]", "Count=0"}));
    Make9x();
    list.GetInfo();
    EXPECT_EQ(list.DeviceCount(), 0);
}

}  // namespace

// The shipped PCs' device trees, as their owners' Device Manager lists them.
namespace {

std::vector<TDevice> MachineDevices(const char* folder) {
    torvex::platform::SetActiveMachine(
        torvex::platform::LoadSimulatedMachine(std::filesystem::path(TORVEX_SOURCE_DIR) / "machines" / folder));
    TDevices list;
    list.GetInfo();
    std::vector<TDevice> r;
    for (int i = 0; i < list.DeviceCount(); ++i) {
        TDevice d;
        list.GetDevice(i, d);
        r.push_back(d);
    }
    torvex::platform::SetActiveMachine(nullptr);
    return r;
}

int CountClass(const std::vector<TDevice>& all, std::uint8_t cls) {
    int n = 0;
    for (const TDevice& d : all) n += d.DeviceClass == cls;
    return n;
}

TEST(ShippedMachineDevices, WindowsXPPC) {
    auto all = MachineDevices("winxp-pc");
    EXPECT_EQ(all.size(), 33u);
    for (std::uint8_t cls : {engine::dcComputer, engine::dcDisplay, engine::dcMEDIA, engine::dcNet, engine::dcFDC,
                             engine::dcFloppyDisk, engine::dcDiskDrive, engine::dcCDROM, engine::dcKeyboard,
                             engine::dcMouse, engine::dcMonitor, engine::dcTapeDrive, engine::dcSCSIAdapter,
                             engine::dcUSB, engine::dcSystem})
        EXPECT_GE(CountClass(all, cls), 1) << engine::DeviceClassName(cls);
    EXPECT_EQ(CountClass(all, engine::dcComputer), 1);
    EXPECT_EQ(CountClass(all, engine::dcMEDIA), 2);   // sound and game port
    for (const TDevice& d : all) {
        EXPECT_NE(d.DeviceParameter, "COM2");          // the port switched off
        if (d.DeviceClass == engine::dcTapeDrive) {
            EXPECT_EQ(d.ServiceName, "4mm DAT Media tape drive driver");
            EXPECT_EQ(d.ClassDescription, "Tape drives");
        }
        if (d.DeviceClass == engine::dcComputer) {
            EXPECT_EQ(d.DisplayName(), "ACPI Uniprocessor PC");
        }
    }
}

TEST(ShippedMachineDevices, Windows98SEPC) {
    auto all = MachineDevices("win98se-pc");
    EXPECT_EQ(all.size(), 27u);
    EXPECT_EQ(CountClass(all, engine::dcModem), 1);
    EXPECT_EQ(CountClass(all, engine::dcMEDIA), 2);
    int motherboard = 0, ports = 0;
    for (const TDevice& d : all) {
        motherboard += d.Description == "Hovedkortressurser";
        ports += d.Description == "Kommunikasjonsport";
        EXPECT_NE(d.ClassName, "NetTrans");
    }
    // Listed twice by the configuration manager, once here; the second
    // serial port has the first one's class and description and goes too.
    EXPECT_EQ(motherboard, 1);
    EXPECT_EQ(ports, 1);
}

}  // namespace
