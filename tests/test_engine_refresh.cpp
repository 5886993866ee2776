// The engine root's refresh under its error policy, and the order of the
// whole report's categories.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeMachine.h"
#include "engine/Zarvo_GUI.h"
#include "platform/Corvane_Routines.h"
#include "platform/machine/Machine.h"
#include "platform/win32/Win32.h"

using namespace torvex;
using namespace torvex::engine;
namespace fs = std::filesystem;

namespace {

// A machine whose processor can be made to fail, and whose memory and up
// time change between refreshes.
class ChangingMachine : public torvex::testing::FakeMachine {
public:
    using FakeMachine::FakeMachine;
    bool failCpu = false;
    std::uint64_t ticks = 0;
    bool cpuidAvailable() override { return true; }
    platform::CpuidAnswer cpuid(std::uint32_t leaf, std::uint32_t) override {
        if (failCpu) throw std::runtime_error("no answer");
        if (leaf == 0) return {1, 0x756E6547, 0x6C65746E, 0x49656E69};
        if (leaf == 1) return {0x00000683, 0, 0, 0x0387FBFF};
        return {};
    }
    std::uint64_t millisecondsSinceStart() override { return ticks; }
};

struct Splash : TRefreshSplash {
    explicit Splash(int& alive) : alive_(alive) { ++alive_; }
    ~Splash() override { --alive_; }
    int& alive_;
};

class EngineRefresh : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("torvex-engine-refresh-" + std::to_string(::getpid()));
        auto m = std::make_unique<ChangingMachine>(folder);
        machine = m.get();
        machine->versionFacts = {5, 1, 2600, win32::VER_PLATFORM_WIN32_NT, "", true, 0, 0, 0, 1};
        machine->exports["kernel32.dll"] = {"GlobalMemoryStatusEx"};
        platform::SetActiveMachine(std::move(m));
        platform::routines::InitializeRoutines();
        platform::SetMessageBoxHook([this](const std::string& text, const std::string&, unsigned) {
            boxes.push_back(text);
            return win32::IDOK;
        });
        SetRefreshSplashFactory([this] { return std::make_unique<Splash>(alive); });
    }
    void TearDown() override {
        SetRefreshSplashFactory(nullptr);
        platform::SetMessageBoxHook(nullptr);
        platform::SetActiveMachine(nullptr);
        fs::remove_all(folder);
    }
    // One device, so that a refreshed device list shows.
    void AddDevice(const std::string& name) {
        auto& k = machine->registry().root(platform::RegRoot::LocalMachine)
                      .ensure("SYSTEM\\CurrentControlSet\\Enum\\ROOT\\" + name + "\\0000");
        k.ensure("Control");
        k.setValue(platform::RegValue::String("Class", "System"));
        k.setValue(platform::RegValue::String("DeviceDesc", name));
    }

    fs::path folder;
    ChangingMachine* machine = nullptr;
    std::vector<std::string> boxes;
    int alive = 0;
};

}  // namespace

TEST_F(EngineRefresh, UnderRaiseTheRefreshStopsAtTheFailingStep) {
    machine->memoryFacts.totalPhys = 256u << 20;
    machine->ticks = 60000;
    AddDevice("FIRST");
    TCorvaneSystemInfo info;
    info.SetExceptionMode(emRaise);
    info.Refresh();
    ASSERT_EQ(info.Memory().PhysicalTotal(), 256ll << 20);
    ASSERT_EQ(info.Devices().DeviceCount(), 1);
    ASSERT_EQ(info.CPU().Family(), 6);

    // Everything changes; the processor (step 2) fails.
    machine->memoryFacts.totalPhys = 512u << 20;
    machine->ticks = 120000;
    machine->failCpu = true;
    AddDevice("SECOND");
    std::string message;
    try {
        info.Refresh();
    } catch (const Exception& e) {
        message = e.Message();
    }
    EXPECT_EQ(message.rfind("TCPU.GetInfo: ", 0), 0u) << message;
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(alive, 0) << "the splash outlived the failed refresh";
    // Step 1 ran; Memory, OS, Machine and the later steps kept their values.
    EXPECT_EQ(info.Devices().DeviceCount(), 2);
    EXPECT_EQ(info.Memory().PhysicalTotal(), 256ll << 20);
    EXPECT_DOUBLE_EQ(double(info.Machine().SystemUpTime()), 60.0);

    // Under emMessage the same failure is one box and the rest is refreshed.
    info.SetExceptionMode(emMessage);
    info.Refresh();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("TCPU.GetInfo: ", 0), 0u) << boxes[0];
    EXPECT_EQ(info.Memory().PhysicalTotal(), 512ll << 20);
    EXPECT_DOUBLE_EQ(double(info.Machine().SystemUpTime()), 120.0);
    EXPECT_EQ(alive, 0);
}

TEST_F(EngineRefresh, TheWholeReportHasItsCategoriesInOrder) {
    AddDevice("FIRST");
    TCorvaneSystemInfo info;
    info.Refresh();
    TStringList report;
    info.Report(report);
    // The section that opens each category, in the report's order.
    const std::vector<std::string> opening{"[Machine]", "[Operating System]", "[CPU]", "[Memory]",
                                           "[Advanced Power Management]", "[Devices]"};
    std::vector<std::string> found;
    for (int i = 0; i < report.Count(); ++i)
        for (const auto& s : opening)
            if (report[i] == s) found.push_back(s);
    EXPECT_EQ(found, opening);
    EXPECT_EQ(report[0], ";" + info.About());
    EXPECT_EQ(report[1], "[Machine]");
    // Each category's sections follow its opening one: the machine's
    // firmware before the operating system, the processor's features
    // before memory, the time zone and locale inside the OS's part.
    auto at = [&](const std::string& s) { return report.IndexOf(s); };
    EXPECT_LT(at("[BIOS]"), at("[Operating System]"));
    EXPECT_LT(at("[Locale]"), at("[CPU]"));
    EXPECT_LT(at("[CPU Cache]"), at("[Memory]"));
    EXPECT_GT(at("[FIRST]"), at("[Devices]"));
}
