// The machines shipped in machines/: each loads, and each holds what a PC of
// its kind really has.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/simulated/SimulatedMachine.h"

namespace fs = std::filesystem;
using namespace torvex::platform;

namespace {

const fs::path kMachines = fs::path(TORVEX_SOURCE_DIR) / "machines";

fs::path Overlay(const std::string& name) {
    return fs::temp_directory_path() / ("torvex-shipped-" + std::to_string(::getpid())) / name;
}

std::string Text(Registry& r, RegRoot root, const char* key, const char* name) {
    RegKey* k = r.resolvedRoot(root).find(key);
    if (!k || !k->value(name)) return "<missing>";
    return k->value(name)->text();
}

std::string ProcessorBrand(Machine& m) {
    std::string brand;
    for (std::uint32_t leaf = 0x80000002; leaf <= 0x80000004; ++leaf) {
        CpuidAnswer a = m.cpuid(leaf, 0);
        for (std::uint32_t reg : {a.eax, a.ebx, a.ecx, a.edx})
            for (int i = 0; i < 4; ++i) brand += char((reg >> (8 * i)) & 0xFF);
    }
    return brand.c_str();
}

}  // namespace

TEST(SimShippedMachines, EveryMachineFolderLoadsAndIsConsistent) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(kMachines)) {
        if (!fs::exists(entry.path() / "machine.json")) continue;
        SCOPED_TRACE(entry.path().string());
        auto m = SimulatedMachine::Load(entry.path(), Overlay(entry.path().filename().string()));
        EXPECT_FALSE(m->computerName().empty());
        EXPECT_FALSE(m->userName().empty());
        // The folders the machine names exist on its drives.
        EXPECT_TRUE(m->readPath(m->windowsDirectory() + "\\WIN.INI"));
        EXPECT_TRUE(m->readPath(m->systemDirectory()));
        EXPECT_TRUE(m->readPath(m->tempDirectory()));
        EXPECT_TRUE(m->readPath(m->moduleFileName()));
        EXPECT_TRUE(m->hasLibrary("kernel32"));
        EXPECT_TRUE(m->hasExport("advapi32", "OpenSCManagerA"));
        // The computer name agrees with the registry's.
        Registry& r = m->registry();
        const char* key = m->version().platformId == 2 ? "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName"
                                                      : "System\\CurrentControlSet\\control\\ComputerName\\ComputerName";
        EXPECT_EQ(Text(r, RegRoot::LocalMachine, key, "ComputerName"), m->computerName());
        // The time-stamp counter runs at the processor clock the dump's header names.
        if (m->cpuidAvailable() && m->cpuidDump()->headerClockMhz()) {
            double mhz = *m->cpuidDump()->headerClockMhz();
            std::uint64_t t1 = m->timeStampCounter();
            m->sleep(1);
            std::uint64_t t2 = m->timeStampCounter();
            EXPECT_NEAR(double(t2 - t1) / 1001.0, mhz, mhz * 0.01);
        }
        ++count;
    }
    EXPECT_GE(count, 3);
    fs::remove_all(Overlay(""));
    // The two PCs this folder started with are Intel machines.
    for (const char* name : {"win98se-pc", "winxp-pc"}) {
        auto m = SimulatedMachine::Load(kMachines / name, Overlay(name));
        ASSERT_TRUE(m->cpuidAvailable()) << name;
        EXPECT_EQ(m->cpuidDump()->vendor(), "GenuineIntel") << name;
    }
    fs::remove_all(Overlay(""));
}

TEST(SimShippedMachines, Windows98SecondEdition) {
    auto m = SimulatedMachine::Load(kMachines / "win98se-pc", Overlay("98"));
    VersionFacts v = m->version();
    EXPECT_EQ(v.platformId, 1u);
    EXPECT_EQ(v.major, 4u);
    EXPECT_EQ(v.minor, 10u);
    EXPECT_EQ(v.build, 0x040A08AEu);   // 9x keeps major and minor in the high word
    EXPECT_EQ(v.csdVersion, " A ");
    EXPECT_FALSE(v.extendedRecord);

    Registry& r = m->registry();
    const char* cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, cv, "ProductName"), "Microsoft Windows 98");
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, cv, "VersionNumber"), "4.10.2222");
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, cv, "SubVersionNumber"), " A ");
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, cv, "RegisteredOwner"), "Bjørn Haugen");
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\DirectX", "Version"), "4.07.00.0716");
    EXPECT_EQ(r.root(RegRoot::LocalMachine).find("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"), nullptr);
    EXPECT_EQ(Text(r, RegRoot::ClassesRoot, "htmlfile\\shell\\open\\command", ""),
              "\"C:\\Programfiler\\Internet Explorer\\iexplore.exe\" -nohome");
    EXPECT_EQ(Text(r, RegRoot::CurrentUser, "Control Panel\\International", "Locale"), "00000414");
    // The dynamic data of Windows 9x: counters and the devices present.
    RegKey* stat = r.root(RegRoot::DynData).find("PerfStats\\StatData");
    ASSERT_NE(stat, nullptr);
    ASSERT_NE(stat->value("KERNEL\\CPUUsage"), nullptr);
    EXPECT_EQ(stat->value("KERNEL\\CPUUsage")->data.size(), 4u);
    RegKey* enumKey = r.root(RegRoot::DynData).find("Config Manager\\Enum");
    ASSERT_NE(enumKey, nullptr);
    int devices = 0;
    for (const auto& dev : enumKey->children()) {
        std::string hw = dev->value("HardwareKey") ? dev->value("HardwareKey")->text() : "";
        SCOPED_TRACE(hw);
        EXPECT_NE(r.root(RegRoot::LocalMachine).find("Enum\\" + hw), nullptr);
        ++devices;
    }
    EXPECT_GE(devices, 10);
    // Each device class GUID links to its class by name.
    RegKey* display = r.root(RegRoot::LocalMachine)
                          .find("System\\CurrentControlSet\\Services\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}");
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->value("Link")->text(), "Display");
    // A time zone record is 44 bytes.
    RegKey* zone = r.root(RegRoot::LocalMachine).find(std::string(cv) + "\\Time Zones\\W. Europe Standard Time");
    ASSERT_NE(zone, nullptr);
    EXPECT_EQ(zone->value("TZI")->data.size(), 44u);

    // Windows 98: no process-status library, no GlobalMemoryStatusEx, the
    // 16-bit helpers and free resources.
    EXPECT_FALSE(m->hasLibrary("psapi"));
    EXPECT_TRUE(m->hasLibrary("netapi32"));
    EXPECT_FALSE(m->hasExport("kernel32", "GlobalMemoryStatusEx"));
    EXPECT_EQ(m->exportByOrdinal("kernel32", 35), "LoadLibrary16");
    EXPECT_EQ(m->exportByOrdinal("kernel32", 36), "FreeLibrary16");
    EXPECT_EQ(m->exportByOrdinal("kernel32", 37), "GetProcAddress16");
    EXPECT_TRUE(m->hasExport("kernel32", "QT_Thunk"));
    EXPECT_EQ(m->freeSystemResources(0), std::optional<std::uint16_t>(78));
    EXPECT_EQ(m->freeSystemResources(1), std::optional<std::uint16_t>(85));
    EXPECT_EQ(m->freeSystemResources(2), std::optional<std::uint16_t>(78));
    EXPECT_EQ(m->performanceFrequency(), 1193182u);

    // A Pentium III has no brand string: those leaves read as its leaf 3.
    EXPECT_EQ(m->cpuid(1, 0).eax, 0x673u);
    EXPECT_EQ(m->cpuid(0x80000000, 0).ecx, m->cpuid(3, 0).ecx);
    fs::remove_all(Overlay("98"));
}

TEST(SimShippedMachines, WindowsXpServicePack2) {
    auto m = SimulatedMachine::Load(kMachines / "winxp-pc", Overlay("xp"));
    VersionFacts v = m->version();
    EXPECT_EQ(v.platformId, 2u);
    EXPECT_EQ(v.major, 5u);
    EXPECT_EQ(v.minor, 1u);
    EXPECT_EQ(v.build, 2600u);
    EXPECT_EQ(v.csdVersion, "Service Pack 2");
    EXPECT_TRUE(v.extendedRecord);
    EXPECT_EQ(v.servicePackMajor, 2);
    EXPECT_EQ(v.productType, 1);

    Registry& r = m->registry();
    const char* nt = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, nt, "ProductName"), "Microsoft Windows XP");
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, nt, "CurrentVersion"), "5.1");
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, nt, "CurrentBuildNumber"), "2600");
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, nt, "CSDVersion"), "Service Pack 2");
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, nt, "RegisteredOwner"), "Mette Sørensen");
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\DirectX", "Version"), "4.09.00.0904");
    EXPECT_EQ(Text(r, RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\ProductOptions", "ProductType"),
              "WinNT");
    EXPECT_NE(r.root(RegRoot::LocalMachine).find(std::string(nt) + "\\Hotfix\\KB873339"), nullptr);
    // Wide texts of the export arrive as UTF-8.
    const RegValue* devicePath =
        r.root(RegRoot::LocalMachine).find("SOFTWARE\\Microsoft\\Windows\\CurrentVersion")->value("DevicePath");
    ASSERT_NE(devicePath, nullptr);
    EXPECT_EQ(devicePath->type, 2u);
    EXPECT_EQ(devicePath->text(), "%SystemRoot%\\inf");
    const RegValue* bios = r.root(RegRoot::LocalMachine).find("HARDWARE\\DESCRIPTION\\System")->value("SystemBiosVersion");
    ASSERT_NE(bios, nullptr);
    EXPECT_EQ(bios->type, 7u);
    EXPECT_EQ(std::string(bios->data.begin(), bios->data.end()),
              std::string("ASUS - 42302e31\0BIOS Date: 04/08/03 10:12:24 Ver: 08.00.08\0\0", 60));
    // Every active device names a class that Windows defines.
    RegKey* pci = r.root(RegRoot::LocalMachine).find("SYSTEM\\CurrentControlSet\\Enum\\PCI");
    ASSERT_NE(pci, nullptr);
    for (const auto& device : pci->children())
        for (const auto& instance : device->children()) {
            SCOPED_TRACE(device->name());
            std::string guid = instance->value("ClassGUID")->text();
            EXPECT_NE(r.root(RegRoot::LocalMachine).find("SYSTEM\\CurrentControlSet\\Control\\Class\\" + guid), nullptr);
            EXPECT_NE(instance->child("Control"), nullptr);
        }

    EXPECT_TRUE(m->hasExport("psapi", "EnumProcesses"));
    EXPECT_TRUE(m->hasExport("netapi32", "NetWkstaGetInfo"));
    EXPECT_TRUE(m->hasExport("kernel32", "GlobalMemoryStatusEx"));
    EXPECT_FALSE(m->hasExport("kernel32", "QT_Thunk"));
    EXPECT_EQ(m->exportByOrdinal("kernel32", 35), "");
    EXPECT_FALSE(m->freeSystemResources(0));
    EXPECT_EQ(ProcessorBrand(*m), "              Intel(R) Pentium(R) 4 CPU 2.40GHz");
    // The owner is an administrator; the guest of the variant is not.
    EXPECT_FALSE(r.writeDenied(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\DirectX"));
    fs::remove_all(Overlay("xp"));

    auto guest = SimulatedMachine::Load(kMachines / "winxp-pc-guest", Overlay("guest"));
    EXPECT_EQ(guest->userName(), "Gæst");
    EXPECT_TRUE(guest->registry().writeDenied(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\DirectX"));
    EXPECT_FALSE(guest->registry().writeDenied(RegRoot::CurrentUser, "Software\\Microsoft"));
    RegKey* run = guest->registry().root(RegRoot::CurrentUser).find("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(run->value("Skype"), nullptr);
    EXPECT_NE(run->value("MSMSGS"), nullptr);
    fs::remove_all(Overlay("guest"));
}
