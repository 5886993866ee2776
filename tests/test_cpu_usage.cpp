// The processor load meter: the NT formula with its special values, the
// measurement over a machine's idle-time records (the first tick already a
// load), a failed start, and the Windows 9x statistic with its errors.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include <unistd.h>

#include "FakeMachine.h"
#include "engine/Zarvo_CPUUsage.h"
#include "platform/Corvane_Routines.h"
#include "platform/simulated/SimulatedMachine.h"
#include "platform/win32/Win32.h"

using namespace torvex::engine;
using torvex::TObject;
namespace fs = std::filesystem;

namespace {

// An NT machine whose first processor's idle time follows a script.
class IdleMachine : public torvex::testing::FakeMachine {
public:
    explicit IdleMachine(fs::path folder) : FakeMachine(std::move(folder)) {
        versionFacts.major = 5;
        versionFacts.minor = 1;
        versionFacts.platformId = 2;
        systemFacts.processors = 2;
        exports["ntdll.dll"] = {"ZwQuerySystemInformation"};
        exports["kernel32.dll"] = {"GetModuleHandleA"};
    }
    bool hasRecords = true;
    std::deque<std::uint64_t> idle;
    std::uint64_t last = 0;
    int queries = 0;
    std::optional<std::uint64_t> firstProcessorIdleTime() override {
        ++queries;
        if (!hasRecords) return std::nullopt;
        if (!idle.empty()) {
            last = idle.front();
            idle.pop_front();
        }
        return last;
    }
};

class CPUUsageTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("torvex-cpuusage-" + std::to_string(::getpid()));
        fs::remove_all(folder);
        auto m = std::make_unique<IdleMachine>(folder);
        machine = m.get();
        torvex::platform::SetActiveMachine(std::move(m));
        torvex::platform::routines::InitializeRoutines();
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        fs::remove_all(folder);
    }
    fs::path folder;
    IdleMachine* machine = nullptr;
};

}  // namespace

TEST(CPUUsageFormula, IdleTimeOverTheIntervalGivesTheLoadRoundedHalfToEven) {
    EXPECT_EQ(LoadFromIdleTime(2500000, 1000), 75u);
    EXPECT_EQ(LoadFromIdleTime(10000000, 1000), 0u);
    EXPECT_EQ(LoadFromIdleTime(0, 1000), 100u);
    EXPECT_EQ(LoadFromIdleTime(2500000, 500), 50u);
    EXPECT_EQ(LoadFromIdleTime(3750000, 1000), 62u);   // 62.5
    EXPECT_EQ(LoadFromIdleTime(6250000, 1000), 38u);   // 37.5
    // More idle time than the interval (a late tick) wraps below zero.
    EXPECT_EQ(LoadFromIdleTime(12000000, 1000), 0xFFFFFFECu);
}

TEST_F(CPUUsageTest, FirstTickAlreadyCarriesTheLoadOfItsInterval) {
    // The start's own query, the sample taken at the start, then one per tick.
    machine->idle = {49990000000ull, 50000000000ull, 50002500000ull, 50008500000ull};
    TCorvaneCPUUsage usage;
    std::vector<std::uint32_t> values;
    usage.OnInterval = [&](TObject* sender, std::uint32_t v) {
        EXPECT_EQ(sender, static_cast<TObject*>(&usage));
        values.push_back(v);
    };
    EXPECT_FALSE(usage.Active());
    EXPECT_EQ(usage.Interval(), 1000u);
    usage.SetActive(true);
    ASSERT_TRUE(usage.Active());
    usage.Timer().Tick();
    usage.SetInterval(500);   // the next divisor is half a second: 0.6 s idle in it
    usage.Timer().Tick();
    EXPECT_EQ(values, (std::vector<std::uint32_t>{75, 0xFFFFFFECu}));
    usage.SetActive(false);
    EXPECT_FALSE(usage.Active());
    usage.Timer().Tick();
    EXPECT_EQ(values.size(), 2u);
}

TEST_F(CPUUsageTest, AStartWithoutIdleRecordsLeavesItInactiveAndSilent) {
    machine->hasRecords = false;
    TCorvaneCPUUsage usage;
    int events = 0;
    usage.OnInterval = [&](TObject*, std::uint32_t) { ++events; };
    usage.SetActive(true);
    EXPECT_FALSE(usage.Active());
    usage.Timer().Tick();
    EXPECT_EQ(events, 0);
}

TEST(CPUUsage9x, KernelStatisticIsTheValueAndItsErrorsReachTheCaller) {
    fs::path overlay = fs::temp_directory_path() / ("torvex-cpuusage9x-" + std::to_string(::getpid()));
    torvex::platform::SetActiveMachine(
        torvex::platform::SimulatedMachine::Load(fs::path(TORVEX_SOURCE_DIR) / "machines/win98se-pc", overlay));
    torvex::platform::routines::InitializeRoutines();
    {
        TCorvaneCPUUsage usage;
        std::vector<std::uint32_t> values;
        usage.OnInterval = [&](TObject*, std::uint32_t v) { values.push_back(v); };
        usage.SetActive(true);
        ASSERT_TRUE(usage.Active());
        usage.Timer().Tick();
        EXPECT_EQ(values, std::vector<std::uint32_t>{7});
        // A statistic that cannot be read delivers all ones.
        win32::HKEY h = nullptr;
        ASSERT_EQ(win32::RegOpenKeyExA(win32::HKEY_DYN_DATA, "PerfStats\\StatData", 0, win32::KEY_ALL_ACCESS, &h), 0);
        win32::RegDeleteValueA(h, "KERNEL\\CPUUsage");
        win32::RegCloseKey(h);
        usage.Timer().Tick();
        EXPECT_EQ(values.back(), 0xFFFFFFFFu);
        // Without the start value the start cannot read its size.
        ASSERT_EQ(win32::RegOpenKeyExA(win32::HKEY_DYN_DATA, "PerfStats\\StartStat", 0, win32::KEY_ALL_ACCESS, &h), 0);
        win32::RegDeleteValueA(h, "KERNEL\\CPUUsage");
        win32::RegCloseKey(h);
        try {
            usage.SetActive(true);
            FAIL() << "no error";
        } catch (const torvex::classes::Exception& e) {
            EXPECT_EQ(e.Message(), "Unable to read performance data");
        }
        ASSERT_EQ(win32::RegDeleteKeyA(win32::HKEY_DYN_DATA, "PerfStats\\StartStat"), 0);
        try {
            usage.SetActive(true);
            FAIL() << "no error";
        } catch (const torvex::classes::Exception& e) {
            EXPECT_EQ(e.Message(), "Unable to start performance monitoring");
        }
    }
    torvex::platform::SetActiveMachine(nullptr);
    fs::remove_all(overlay);
}

TEST(CPUUsageSimulated, TheXpPcRunsAtItsLoad) {
    fs::path overlay = fs::temp_directory_path() / ("torvex-cpuusagexp-" + std::to_string(::getpid()));
    torvex::platform::SetActiveMachine(
        torvex::platform::SimulatedMachine::Load(fs::path(TORVEX_SOURCE_DIR) / "machines/winxp-pc", overlay));
    torvex::platform::routines::InitializeRoutines();
    {
        TCorvaneCPUUsage usage;
        std::vector<std::uint32_t> values;
        usage.OnInterval = [&](TObject*, std::uint32_t v) { values.push_back(v); };
        usage.SetActive(true);
        ASSERT_TRUE(usage.Active());
        for (int i = 0; i < 3; ++i) {
            win32::Sleep(1000);
            usage.Timer().Tick();
        }
        EXPECT_EQ(values, (std::vector<std::uint32_t>{12, 12, 12}));
    }
    torvex::platform::SetActiveMachine(nullptr);
    fs::remove_all(overlay);
}
