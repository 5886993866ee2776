// A laptop and a desktop as the kernel lays them out under /sys, replayed
// through the host backend into the machine and power categories: lock keys
// from the keyboard LEDs, up time from the boot clock, firmware texts from
// DMI, mains and battery from the power supplies.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

#include <stdlib.h>
#include <unistd.h>

#include "engine/Zarvo_APM.h"
#include "engine/Zarvo_Machine.h"
#include "platform/Corvane_Routines.h"
#include "platform/machine/Machine.h"

namespace fs = std::filesystem;
using namespace torvex;
using namespace torvex::engine;

namespace {

class HostPcTree : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "torvex-hostpc-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::copy(fs::path(TORVEX_SOURCE_DIR) / "tests/data/hostroot", root,
                 fs::copy_options::recursive | fs::copy_options::copy_symlinks);
    }
    void TearDown() override {
        platform::SetActiveMachine(nullptr);
        platform::routines::InitializeRoutines();
        std::error_code ec;
        fs::remove_all(root, ec);
    }
    void Put(const std::string& relative, const std::string& text) {
        fs::path p = root / relative;
        fs::create_directories(p.parent_path());
        std::ofstream(p) << text << "\n";
    }
    void Use() {
        platform::SetActiveMachine(platform::CreateHostMachine(root));
        platform::routines::InitializeRoutines();
    }
    fs::path root;
};

TEST_F(HostPcTree, LaptopOnBatteryWithCapsLockOnAndSixtyDaysUp) {
    // The kernel names each keyboard's LEDs after its input device.
    Put("sys/class/leds/input3::capslock/brightness", "1");
    Put("sys/class/leds/input3::numlock/brightness", "0");
    Put("sys/class/leds/input3::scrolllock/brightness", "0");
    Put("proc/uptime", "5184000.25 10000000.00");
    Put("sys/class/dmi/id/bios_vendor", "LENOVO");
    Put("sys/class/dmi/id/bios_version", "N2HET77W (1.60 )");
    Put("sys/class/dmi/id/bios_date", "02/06/2024");
    Put("sys/class/dmi/id/sys_vendor", "LENOVO");
    Put("sys/class/dmi/id/product_name", "20QDS3E200");
    Put("sys/class/dmi/id/board_vendor", "LENOVO");
    Put("sys/class/dmi/id/board_name", "20QDS3E200");
    Put("sys/class/dmi/id/chassis_type", "10");
    Put("sys/class/power_supply/AC/type", "Mains");
    Put("sys/class/power_supply/AC/online", "0");
    Put("sys/class/power_supply/BAT0/type", "Battery");
    Put("sys/class/power_supply/BAT0/status", "Discharging");
    Put("sys/class/power_supply/BAT0/capacity", "80");
    Put("sys/class/power_supply/BAT0/energy_now", "40000000");
    Put("sys/class/power_supply/BAT0/energy_full", "50000000");
    Put("sys/class/power_supply/BAT0/power_now", "8000000");
    Use();

    TMachine m;
    m.GetInfo(1);
    EXPECT_TRUE(m.CapsLock());
    EXPECT_FALSE(m.NumLock());
    EXPECT_FALSE(m.ScrollLock());
    // 60 days: more than a 32-bit count of milliseconds holds.
    EXPECT_NEAR(double(m.SystemUpTime()), 5184000.25, 0.001);
    EXPECT_EQ(m.BIOS().Copyright(), "N2HET77W (1.60 )");
    EXPECT_EQ(m.BIOS().Date(), "02/06/24");
    // What every user may read of DMI: no serial numbers.
    EXPECT_EQ(m.SMBIOS().SystemManufacturer(), "LENOVO");
    EXPECT_EQ(m.SMBIOS().SystemModel(), "20QDS3E200");
    EXPECT_EQ(m.SMBIOS().BIOSVendor(), "LENOVO");
    EXPECT_EQ(m.SMBIOS().SystemSerial(), "");
    TStringList report;
    m.Report(report);
    EXPECT_NE(report.IndexOf("System Up Time=1 Month, 4 Weeks, 1 Day, 0 Hours, 0 Minutes, 0 Seconds."), -1);

    TAPM apm;
    apm.GetInfo();
    EXPECT_EQ(apm.ACPowerStatus(), psOffline);
    EXPECT_EQ(apm.BatteryChargeStatus(), bsHigh);
    EXPECT_EQ(apm.BatteryLifePercent(), 80);
    EXPECT_EQ(apm.BatteryLifeTime(), 18000u);       // 40 Wh at 8 W
    EXPECT_EQ(apm.BatteryLifeFullTime(), 22500u);   // 50 Wh at 8 W
}

TEST_F(HostPcTree, DesktopWithoutLedsBatteryOrDmi) {
    // A server console: no keyboard LEDs, no power supplies, no DMI.
    Use();
    TMachine m;
    m.GetInfo(1);
    EXPECT_FALSE(m.CapsLock());
    EXPECT_FALSE(m.NumLock());
    EXPECT_FALSE(m.ScrollLock());
    EXPECT_NEAR(double(m.SystemUpTime()), 93412.57, 0.001);
    EXPECT_EQ(m.BIOS().Copyright(), "");
    EXPECT_EQ(m.BIOS().Date(), "");
    EXPECT_EQ(m.SMBIOS().EntryPoint(), 0u);
    EXPECT_EQ(m.SMBIOS().SystemModel(), "");
    // The device tree is the running system's alone: a replayed tree has
    // none, so no model is named from this PC's devices.
    EXPECT_EQ(m.Computer(), "");

    TAPM apm;
    apm.GetInfo();
    EXPECT_EQ(apm.ACPowerStatus(), psOnline);
    EXPECT_EQ(apm.BatteryChargeStatus(), bsNoBattery);
    TStringList report;
    apm.Report(report);
    EXPECT_EQ(report.Count(), 3);   // no running times without a battery
}

}  // namespace
