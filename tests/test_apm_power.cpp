// Mains and battery state: the power status record in the engine's terms,
// and the live host's power supplies read from a replayed /sys tree.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "FakeMachine.h"
#include "engine/Zarvo_APM.h"
#include "platform/host/HostPower.h"
#include "platform/win32/Win32.h"

using namespace torvex::engine;
using torvex::TStringList;
using torvex::platform::PowerStatusFacts;
using torvex::platform::host::ReadPowerSupplies;
namespace fs = std::filesystem;

namespace {

class PoweredMachine : public torvex::testing::FakeMachine {
public:
    using FakeMachine::FakeMachine;
    std::optional<PowerStatusFacts> power;
    std::optional<PowerStatusFacts> powerStatus() override { return power; }
};

class APMTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("torvex-apm-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        auto m = std::make_unique<PoweredMachine>(folder);
        machine = m.get();
        torvex::platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        fs::remove_all(folder);
    }
    std::vector<std::string> Report(std::uint8_t line, std::uint8_t flag, std::uint8_t percent,
                                    std::uint32_t life, std::uint32_t full) {
        machine->power = PowerStatusFacts{line, flag, percent, life, full};
        TAPM apm;
        apm.GetInfo();
        TStringList lines;
        apm.Report(lines);
        return lines.ToVector();
    }
    fs::path folder;
    PoweredMachine* machine = nullptr;
};

TEST(BatteryFlags, SingleStatesOnlyCombinationsAreUnknown) {
    EXPECT_EQ(BatteryStatusOf(0), bsHigh);
    EXPECT_EQ(BatteryStatusOf(1), bsHigh);
    EXPECT_EQ(BatteryStatusOf(2), bsLow);
    EXPECT_EQ(BatteryStatusOf(4), bsCritical);
    EXPECT_EQ(BatteryStatusOf(8), bsCharging);
    EXPECT_EQ(BatteryStatusOf(128), bsNoBattery);
    EXPECT_EQ(BatteryStatusOf(9), bsUnknown);     // high and charging
    EXPECT_EQ(BatteryStatusOf(6), bsUnknown);
    EXPECT_EQ(BatteryStatusOf(255), bsUnknown);
    EXPECT_EQ(BatteryStatusText(bsNoBattery), "No Battery");
    EXPECT_EQ(PowerStatusText(psOffline), "Offline");
}

TEST_F(APMTest, DesktopWithoutBatteryWritesNoDurations) {
    EXPECT_EQ(Report(1, 128, 255, 0xFFFFFFFF, 0xFFFFFFFF),
              (std::vector<std::string>{"[Advanced Power Management]", "ACPowerStatus=Online",
                                        "BatteryChargeStatus=No Battery"}));
}

TEST_F(APMTest, ChargingLaptopWithHighChargeIsUnknown) {
    auto lines = Report(1, 9, 90, 0xFFFFFFFF, 0xFFFFFFFF);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[2], "BatteryChargeStatus=Unknown");
    // Unknown times are still written as durations when the charge is known.
    EXPECT_EQ(lines[3], "BattreyLifeFullTime=1 Century, 36 Years, 0 Months, 0 Weeks, 2 Days, 6 Hours, 28 Minutes, 15 Seconds.");
    EXPECT_EQ(lines[4], "BatteryLifeTime=1 Century, 36 Years, 0 Months, 0 Weeks, 2 Days, 6 Hours, 28 Minutes, 15 Seconds.");
}

TEST_F(APMTest, DurationsOnlyForAKnownPercentage) {
    auto full = Report(0, 1, 100, 7200, 10800);
    ASSERT_EQ(full.size(), 5u);
    EXPECT_EQ(full[1], "ACPowerStatus=Offline");
    EXPECT_EQ(full[2], "BatteryChargeStatus=High");
    EXPECT_EQ(full[3], "BattreyLifeFullTime=3 Hours, 0 Minutes, 0 Seconds.");
    EXPECT_EQ(full[4], "BatteryLifeTime=2 Hours, 0 Minutes, 0 Seconds.");
    EXPECT_EQ(Report(0, 1, 101, 7200, 10800).size(), 3u);
    EXPECT_EQ(Report(255, 255, 255, 7200, 10800)[1], "ACPowerStatus=Unknown");
    TAPM apm;
    machine->power = PowerStatusFacts{0, 2, 20, 600, 10800};
    apm.GetInfo();
    EXPECT_EQ(apm.ACPowerStatus(), psOffline);
    EXPECT_EQ(apm.BatteryChargeStatus(), bsLow);
    EXPECT_EQ(apm.BatteryLifePercent(), 20);
    EXPECT_EQ(apm.BatteryLifeTime(), 600u);
    EXPECT_EQ(apm.BatteryLifeFullTime(), 10800u);
}

TEST_F(APMTest, AMachineThatSaysNothingIsADesktopOnMains) {
    machine->power.reset();
    TAPM apm;
    apm.GetInfo();
    EXPECT_EQ(apm.ACPowerStatus(), psOnline);
    EXPECT_EQ(apm.BatteryChargeStatus(), bsNoBattery);
    EXPECT_EQ(apm.BatteryLifePercent(), 255);
}

// ------------------------------------------------------------- the host

class HostPowerTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() /
               ("torvex-power-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root);
        fs::create_directories(root / "sys/class/power_supply");
    }
    void TearDown() override { fs::remove_all(root); }
    void Supply(const std::string& name, std::map<std::string, std::string> attrs) {
        fs::path d = root / "sys/class/power_supply" / name;
        fs::create_directories(d);
        for (const auto& [k, v] : attrs) std::ofstream(d / k) << v << "\n";
    }
    fs::path root;
};

TEST_F(HostPowerTest, DesktopWithoutSuppliesIsOnMainsWithoutBattery) {
    PowerStatusFacts f = ReadPowerSupplies(root);
    EXPECT_EQ(f.acLineStatus, 1);
    EXPECT_EQ(f.batteryFlag, 128);
    EXPECT_EQ(f.batteryLifePercent, 255);
    EXPECT_EQ(f.batteryLifeTime, 0xFFFFFFFFu);
    // A wireless mouse's battery is no system battery.
    Supply("hidpp_battery_0", {{"type", "Battery"}, {"scope", "Device"}, {"capacity", "40"}, {"status", "Discharging"}});
    EXPECT_EQ(ReadPowerSupplies(root).batteryFlag, 128);
    // Nothing at all under /sys: the same.
    EXPECT_EQ(ReadPowerSupplies(root / "nowhere").acLineStatus, 1);
}

TEST_F(HostPowerTest, LaptopDischargingOnBattery) {
    Supply("AC", {{"type", "Mains"}, {"online", "0"}});
    Supply("BAT0", {{"type", "Battery"}, {"present", "1"}, {"status", "Discharging"}, {"capacity", "50"},
                    {"energy_now", "25000000"}, {"energy_full", "50000000"}, {"power_now", "10000000"}});
    PowerStatusFacts f = ReadPowerSupplies(root);
    EXPECT_EQ(f.acLineStatus, 0);
    EXPECT_EQ(f.batteryLifePercent, 50);
    EXPECT_EQ(f.batteryFlag, 0);              // between low and high
    EXPECT_EQ(f.batteryLifeTime, 9000u);      // 25 Wh at 10 W
    EXPECT_EQ(f.batteryFullLifeTime, 18000u);
}

TEST_F(HostPowerTest, LaptopChargingOnMains) {
    Supply("ADP1", {{"type", "Mains"}, {"online", "1"}});
    Supply("BAT1", {{"type", "Battery"}, {"status", "Charging"}, {"charge_now", "3800000"},
                    {"charge_full", "4000000"}, {"current_now", "1500000"}});
    PowerStatusFacts f = ReadPowerSupplies(root);
    EXPECT_EQ(f.acLineStatus, 1);
    EXPECT_EQ(f.batteryLifePercent, 95);
    EXPECT_EQ(f.batteryFlag, 9);              // high and charging
    EXPECT_EQ(f.batteryLifeTime, 0xFFFFFFFFu);
    Supply("BAT1", {{"charge_now", "100000"}, {"status", "Discharging"}});
    Supply("ADP1", {{"online", "0"}});
    f = ReadPowerSupplies(root);
    EXPECT_EQ(f.batteryLifePercent, 3);
    EXPECT_EQ(f.batteryFlag, 4);              // critical
    EXPECT_EQ(f.batteryLifeTime, 240u);       // 0.1 Ah at 1.5 A
}

}  // namespace
