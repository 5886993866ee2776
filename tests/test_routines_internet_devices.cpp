// Connection type, proxy and dial-up connections; device-class values; the
// media test of a drive.
#include <gtest/gtest.h>

#include "RoutinesMachine.h"

using namespace torvex::platform::routines;
using torvex::classes::TStringList;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::testing::RoutinesTest;

namespace {

class Internet : public RoutinesTest {
protected:
    torvex::platform::RegKey& settings() {
        return machine->key(RegRoot::CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings");
    }
    void withRas(std::optional<std::uint32_t> connections) {
        machine->exports["rasapi32.dll"] = {"RasEnumConnectionsA"};
        machine->dialUp = connections;
    }
};

TEST_F(Internet, ProxyEnabledWithAServerIsALan) {
    settings().setValue(RegValue::Dword("ProxyEnable", 1));
    settings().setValue(RegValue::String("ProxyServer", "proxy.norvo.no:8080"));
    EXPECT_EQ(GetConnectionType(), 1);
    EXPECT_EQ(GetProxyServer(), "proxy.norvo.no:8080");

    // Windows 95 with the first browsers kept the switch as four raw bytes.
    settings().setValue(RegValue::Binary("ProxyEnable", {1, 0, 0, 0}));
    EXPECT_EQ(GetConnectionType(), 1);
    settings().setValue(RegValue::Binary("ProxyEnable", {0, 0, 0, 0}));
    EXPECT_EQ(GetConnectionType(), 0);
    settings().setValue(RegValue::Binary("ProxyEnable", {1}));
    EXPECT_EQ(GetConnectionType(), 1);
}

TEST_F(Internet, ProxyEnabledWithoutServerAndNoDialUpIsNone) {
    settings().setValue(RegValue::Dword("ProxyEnable", 1));
    settings().setValue(RegValue::String("ProxyServer", ""));
    withRas(0);
    EXPECT_EQ(GetConnectionType(), 0);
    EXPECT_EQ(GetProxyServer(), "");
    // With a modem connection up it is a dial-up.
    machine->dialUp = 1;
    EXPECT_EQ(GetConnectionType(), 2);
    // A proxy switched off does not count, however its server is set.
    settings().setValue(RegValue::Dword("ProxyEnable", 0));
    settings().setValue(RegValue::String("ProxyServer", "proxy:3128"));
    EXPECT_EQ(GetConnectionType(), 2);
    machine->dialUp = 0;
    EXPECT_EQ(GetConnectionType(), 0);
}

TEST_F(Internet, DialUpConnectionsAreCountedThroughTheRemoteAccessLibrary) {
    machine->dialUp = 3;
    EXPECT_EQ(GetDialupConnectionCount(), 0u) << "no rasapi32 on the machine";
    machine->exports["rasapi32.dll"] = {"RasDial"};
    EXPECT_EQ(GetDialupConnectionCount(), 0u) << "no RasEnumConnectionsA in it";
    withRas(3);
    EXPECT_EQ(GetDialupConnectionCount(), 3u);
    // More than the four records asked for: the library reports the buffer
    // too small and tells how many there are.
    withRas(6);
    EXPECT_EQ(GetDialupConnectionCount(), 6u);
    withRas(std::nullopt);
    EXPECT_EQ(GetDialupConnectionCount(), 0u);
    EXPECT_EQ(GetConnectionType(), 0);
}

TEST_F(Internet, RecordsOfTheWrongSizeAreRefused) {
    withRas(1);
    win32::RASCONNA records[2] = {};
    win32::DWORD size = sizeof records, count = 99;
    EXPECT_EQ(win32::RasEnumConnectionsA(records, &size, &count), 632u);
    records[0].dwSize = sizeof(win32::RASCONNA);
    EXPECT_EQ(win32::RasEnumConnectionsA(records, &size, &count), 0u);
    EXPECT_EQ(count, 1u);
    EXPECT_EQ(size, sizeof(win32::RASCONNA));
}

class DeviceClasses : public RoutinesTest {};

TEST_F(DeviceClasses, Windows9xReadsTheInstancesBelowTheClassName) {
    machine->versionFacts = {4, 10, 2222, 1, " A ", false, 0, 0, 0, 0};
    InitializeRoutines();
    const std::string net = "System\\CurrentControlSet\\Services\\Class\\Net";
    machine->key(RegRoot::LocalMachine, net + "\\0000").setValue(RegValue::String("DriverDesc", "NE2000 Compatible"));
    machine->key(RegRoot::LocalMachine, net + "\\0001").setValue(RegValue::String("DriverDesc", "Dial-Up Adapter"));
    machine->key(RegRoot::LocalMachine, net + "\\0002").setValue(RegValue::String("DriverDesc", "NE2000 Compatible"));
    machine->key(RegRoot::LocalMachine, net + "\\0003").setValue(RegValue::String("Other", "x"));
    TStringList list;
    EXPECT_EQ(GetClassDevices(ClassKey, "Net", "DriverDesc", list), "Net");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], "NE2000 Compatible");
    EXPECT_EQ(list[1], "Dial-Up Adapter");
}

TEST_F(DeviceClasses, NTFindsTheClassByItsClassValue) {
    InitializeRoutines();
    const std::string root = "SYSTEM\\CurrentControlSet\\Control\\Class";
    machine->key(RegRoot::LocalMachine, root + "\\{4D36E968-E325-11CE-BFC1-08002BE10318}")
        .setValue(RegValue::String("Class", "Display"));
    machine->key(RegRoot::LocalMachine, root + "\\{4D36E968-E325-11CE-BFC1-08002BE10318}\\0000")
        .setValue(RegValue::String("DriverDesc", "RAGE 128"));
    const std::string net = root + "\\{4D36E972-E325-11CE-BFC1-08002BE10318}";
    machine->key(RegRoot::LocalMachine, net).setValue(RegValue::String("Class", "net"));
    machine->key(RegRoot::LocalMachine, net + "\\0000").setValue(RegValue::String("DriverDesc", "3Com EtherLink XL"));
    machine->key(RegRoot::LocalMachine, net + "\\0001").setValue(RegValue::String("DriverDesc", "WAN Miniport (PPTP)"));
    TStringList list;
    EXPECT_EQ(GetClassDevices(ClassKey, "Net", "DriverDesc", list), "{4D36E972-E325-11CE-BFC1-08002BE10318}");
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list[0], "3Com EtherLink XL");
    EXPECT_EQ(list[1], "WAN Miniport (PPTP)");

    TStringList none;
    EXPECT_EQ(GetClassDevices(ClassKey, "Modem", "DriverDesc", none), "");
    EXPECT_EQ(none.Count(), 0);
}

class Drives : public RoutinesTest {};

TEST_F(Drives, MediaTestAsksTheDriveWithoutADialogAndRestoresTheErrorMode) {
    torvex::platform::DiskSpace c;
    c.sectorsPerCluster = 8;
    c.bytesPerSector = 512;
    c.totalClusters = 1000;
    c.freeClusters = 10;
    machine->disks['C'] = c;
    std::filesystem::create_directories(folder / "A");   // a floppy drive without a disk
    win32::SetErrorMode(0x8000);
    EXPECT_TRUE(DiskInDrive('C'));
    EXPECT_TRUE(DiskInDrive('c'));
    EXPECT_FALSE(DiskInDrive('A'));
    EXPECT_EQ(win32::GetLastError(), static_cast<win32::DWORD>(win32::ERROR_NOT_READY));
    EXPECT_FALSE(DiskInDrive('Q'));
    EXPECT_EQ(win32::SetErrorMode(0), 0x8000u);
}

TEST_F(Drives, Windows95FamilyReportsAtMost2GBInClusters) {
    torvex::platform::DiskSpace d;
    d.sectorsPerCluster = 64;   // 32 KB clusters
    d.bytesPerSector = 512;
    d.totalClusters = 250000;   // about 8 GB
    d.freeClusters = 200000;
    d.totalBytes = 250000ull * 32768;
    d.totalFreeBytes = d.freeBytesAvailable = 200000ull * 32768;
    machine->disks['D'] = d;
    win32::DWORD spc = 0, bps = 0, freeClusters = 0, total = 0;
    ASSERT_TRUE(win32::GetDiskFreeSpaceA("D:\\", &spc, &bps, &freeClusters, &total));
    EXPECT_EQ(total, 250000u);
    EXPECT_EQ(freeClusters, 200000u);
    machine->versionFacts = {4, 10, 2222, 1, " A ", false, 0, 0, 0, 0};
    ASSERT_TRUE(win32::GetDiskFreeSpaceA("D:\\", &spc, &bps, &freeClusters, &total));
    EXPECT_EQ(total, 65535u);
    EXPECT_EQ(freeClusters, 65535u);
    win32::ULARGE_INTEGER avail{}, all{}, free{};
    ASSERT_TRUE(win32::GetDiskFreeSpaceExA("D:\\DATA", &avail, &all, &free));
    EXPECT_EQ(all.QuadPart, 250000ull * 32768);
    EXPECT_FALSE(win32::GetDiskFreeSpaceA("\\\\server\\share\\", &spc, &bps, &freeClusters, &total));
}

}  // namespace
