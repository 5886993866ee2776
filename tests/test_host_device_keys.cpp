// The live host fills its device keys only once a program looks at them or at
// a key on the way to them; other looks leave the kernel's device list unread.
#include <gtest/gtest.h>

#include <string>

#include "platform/machine/Machine.h"
#include "platform/machine/Registry.h"

namespace {

using namespace torvex::platform;

constexpr const char* kEnum = "SYSTEM\\CurrentControlSet\\Enum";
constexpr const char* kClass = "SYSTEM\\CurrentControlSet\\Control\\Class";

bool HasDeviceKeys(Machine& m) {
    RegKey& hklm = m.registry().root(RegRoot::LocalMachine);
    return hklm.find(kEnum) != nullptr && hklm.find(kClass) != nullptr;
}

TEST(HostDeviceKeysOnDemand, LooksElsewhereLeaveTheDeviceListUnread) {
    auto m = CreateHostMachine("/");
    EXPECT_FALSE(HasDeviceKeys(*m));
    for (const char* path : {"SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                             "SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation",
                             "SYSTEM\\CurrentControlSetX", "SYSTEM\\CurrentControlSet\\EnumX",
                             "SYSTEM\\CurrentControlSet\\Control\\ClassX", "SOFTWARE\\Microsoft",
                             "HARDWARE\\DESCRIPTION\\System"}) {
        m->prepareRegistryKey(RegRoot::LocalMachine, path);
        EXPECT_FALSE(HasDeviceKeys(*m)) << path;
    }
    // The same names below another root are not the device keys.
    m->prepareRegistryKey(RegRoot::CurrentUser, kEnum);
    EXPECT_FALSE(HasDeviceKeys(*m));
}

TEST(HostDeviceKeysOnDemand, KeysBelowOrOnTheWayFillThem) {
    // Below each device key, on the way to them (whose subkeys must list
    // Enum), and in any letter case.
    for (const char* path : {"SYSTEM\\CurrentControlSet\\Enum\\PCI", "SYSTEM\\CurrentControlSet\\Control\\Class",
                             "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters",
                             "system\\currentcontrolset", "SYSTEM\\CurrentControlSet\\Control", "SYSTEM", ""}) {
        auto m = CreateHostMachine("/");
        m->prepareRegistryKey(RegRoot::LocalMachine, path);
        EXPECT_TRUE(HasDeviceKeys(*m)) << '"' << path << '"';
    }
}

TEST(HostDeviceKeysOnDemand, ACapturedTreeHasNoLiveDevices) {
    // Only the running system has a kernel device list to read; a machine
    // replayed from a captured tree never projects this PC's devices.
    auto m = CreateHostMachine("/nonexistent-torvex-root");
    m->prepareRegistryKey(RegRoot::LocalMachine, kEnum);
    EXPECT_EQ(m->registry().root(RegRoot::LocalMachine).find(kEnum), nullptr);
}

}  // namespace
