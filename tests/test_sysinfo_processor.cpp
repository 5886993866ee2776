// The system-information object's processor identification: vendor,
// signature, feature flags, and the brand string of AMD processors.
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "FakeMachine.h"
#include "components/QuentaSysInfo.h"

using torvex::components::TQuentaCPUInfoObject;
using torvex::testing::FakeMachine;
namespace fs = std::filesystem;

namespace {

class CpuMachine : public FakeMachine {
public:
    using FakeMachine::FakeMachine;
    bool hasCpuid = true;
    std::map<std::uint32_t, torvex::platform::CpuidAnswer> leaves;
    bool cpuidAvailable() override { return hasCpuid; }
    torvex::platform::CpuidAnswer cpuid(std::uint32_t leaf, std::uint32_t) override {
        auto it = leaves.find(leaf);
        return it == leaves.end() ? torvex::platform::CpuidAnswer{} : it->second;
    }
};

std::uint32_t Text4(const char* s) {
    std::uint32_t v = 0;
    std::memcpy(&v, s, 4);
    return v;
}

class ProcessorInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / "torvex-sysinfo-cpu";
        auto m = std::make_unique<CpuMachine>(folder);
        machine = m.get();
        torvex::platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        fs::remove_all(folder);
    }
    void vendor(const char* v) { machine->leaves[0] = {1, Text4(v), Text4(v + 8), Text4(v + 4)}; }
    void brand(const char* text) {
        char b[48] = {};
        std::strncpy(b, text, 48);
        for (std::uint32_t i = 0; i < 3; ++i)
            machine->leaves[0x80000002 + i] = {Text4(b + 16 * i), Text4(b + 16 * i + 4), Text4(b + 16 * i + 8),
                                               Text4(b + 16 * i + 12)};
    }
    fs::path folder;
    CpuMachine* machine = nullptr;
};

TEST_F(ProcessorInfoTest, AnAMDProcessorNamesItselfAndShowsItsExtendedFlags) {
    vendor("AuthenticAMD");
    machine->leaves[1] = {0x58C, 0, 0, 0x008021BF};   // K6-2: family 5, model 8, stepping 12
    machine->leaves[0x80000000] = {0x80000005, 0, 0, 0};
    machine->leaves[0x80000001] = {0x58C, 0, 0, 0x80000800 | 0x008021BF};
    brand("AMD-K6(tm) 3D processor");
    TQuentaCPUInfoObject cpu;
    EXPECT_EQ(cpu.IDString(), "AuthenticAMD");
    EXPECT_EQ(cpu.Family(), 5);
    EXPECT_EQ(cpu.Model(), 8);
    EXPECT_EQ(cpu.Stepping(), 12);
    EXPECT_TRUE(cpu.FPU());
    EXPECT_TRUE(cpu.MMX());
    EXPECT_TRUE(cpu.CMP_XCHG_8B());
    EXPECT_FALSE(cpu.Cond_MOVE_Instruct());
    EXPECT_TRUE(cpu.AMD3DNow());
    EXPECT_TRUE(cpu.SysCallAndSysRet());
    EXPECT_EQ(cpu.CPUName(), "AMD-K6(tm) 3D processor");
    EXPECT_TRUE(cpu.ExistCPUInfo());
}

TEST_F(ProcessorInfoTest, OnlyAProcessorWithTheBrandLeavesGivesAName) {
    // An answer outside the extended range (here another leaf's registers)
    // names no brand leaves, though it passes a signed comparison.
    vendor("AuthenticAMD");
    machine->leaves[1] = {0x501, 0, 0, 0x000001BF};
    machine->leaves[0x80000000] = {0x00000501, 0, 0, 0};
    brand("garbage");
    TQuentaCPUInfoObject cpu;
    EXPECT_EQ(cpu.CPUName(), "");
    // Intel processors never have the name read here.
    vendor("GenuineIntel");
    machine->leaves[0x80000000] = {0x80000004, 0, 0, 0};
    brand("Intel(R) Pentium(R) 4 CPU 2.40GHz");
    TQuentaCPUInfoObject intel;
    EXPECT_EQ(intel.IDString(), "GenuineIntel");
    EXPECT_EQ(intel.CPUName(), "");
    EXPECT_FALSE(intel.AMD3DNow());
    // Without the identification instruction everything stays empty.
    machine->hasCpuid = false;
    TQuentaCPUInfoObject none;
    EXPECT_EQ(none.IDString(), "");
    EXPECT_EQ(none.Family(), 0);
    EXPECT_FALSE(none.FPU());
    EXPECT_FALSE(none.ExistCPUInfo());
}

}  // namespace
