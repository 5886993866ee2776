// Memory on the Windows 9x family, NT 4.0 and Windows 2000/XP.
#include <gtest/gtest.h>

#include "FakeMachine.h"
#include "engine/Zarvo_Memory.h"
#include "platform/Corvane_Routines.h"

using namespace torvex::engine;
using torvex::TStringList;
using torvex::testing::FakeMachine;

namespace {

class MemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("torvex-memory-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        auto m = std::make_unique<FakeMachine>(folder);
        machine = m.get();
        machine->memoryFacts = {37, 6ull << 30, 5ull << 30, 9ull << 30, 8ull << 30, 0x7FFE0000, 0x7FE00000};
        machine->systemFacts.pageSize = 4096;
        machine->systemFacts.minAppAddress = 0x10000;
        machine->systemFacts.maxAppAddress = 0x7FFEFFFF;
        machine->systemFacts.allocationGranularity = 0x10000;
        torvex::platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        std::filesystem::remove_all(folder);
    }
    void windows98(bool withUser16 = true) {
        machine->versionFacts = {4, 10, 0x040A08AE, win32::VER_PLATFORM_WIN32_WINDOWS, " A ", false, 0, 0, 0, 0};
        machine->exports["kernel32.dll"] = {"LoadLibrary16", "FreeLibrary16", "GetProcAddress16", "QT_Thunk"};
        machine->ordinals["kernel32.dll"] = {{35, "LoadLibrary16"}, {36, "FreeLibrary16"}, {37, "GetProcAddress16"}};
        if (withUser16) {
            // Three different figures, so that swapped selectors show.
            machine->resources[0] = 71;   // system
            machine->resources[1] = 83;   // GDI
            machine->resources[2] = 64;   // user
        }
        torvex::platform::routines::InitializeRoutines();
    }
    void windows(std::uint32_t major, std::uint32_t minor, std::uint32_t build, bool hasStatusEx) {
        machine->versionFacts = {major, minor, build, win32::VER_PLATFORM_WIN32_NT, "", major >= 5, 0, 0, 0, 1};
        machine->exports["kernel32.dll"] = {};
        if (hasStatusEx) machine->exports["kernel32.dll"].insert("GlobalMemoryStatusEx");
        torvex::platform::routines::InitializeRoutines();
    }

    std::filesystem::path folder;
    FakeMachine* machine = nullptr;
};

TEST_F(MemoryTest, Windows9xAsksTheSixteenBitUserModuleAndStaysBelowFourGigabytes) {
    windows98();
    TMemory memory;
    memory.GetInfo();
    EXPECT_EQ(memory.Resources().System(), 71);
    EXPECT_EQ(memory.Resources().GDI(), 83);
    EXPECT_EQ(memory.Resources().User(), 64);
    EXPECT_EQ(memory.PhysicalTotal(), 0xFFFFFFFFll);
    EXPECT_EQ(memory.PageFileFree(), 0xFFFFFFFFll);
    EXPECT_EQ(memory.VirtualTotal(), 0x7FFE0000ll);
    EXPECT_EQ(memory.MemoryLoad(), 37);
}

TEST_F(MemoryTest, AMissingUserModuleIsReportedAndTheMemoryStatusStillRead) {
    windows98(false);
    std::vector<std::string> boxes;
    torvex::platform::SetMessageBoxHook([&](const std::string& text, const std::string& caption, unsigned) {
        boxes.push_back(caption + ": " + text);
        return win32::IDOK;
    });
    TMemory memory;
    memory.GetInfo();
    torvex::platform::SetMessageBoxHook(nullptr);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Error: TResources.GetInfo: Can't load USER.EXE!");
    EXPECT_EQ(memory.PageSize(), 4096);
    EXPECT_EQ(memory.Resources().System(), 0);

    memory.SetExceptionMode(emRaise);
    EXPECT_THROW(memory.GetInfo(), std::exception);
}

TEST_F(MemoryTest, NtFamilyReportsNinetyPercentFreeResources) {
    windows(4, 0, 1381, false);
    TMemory memory;
    memory.GetInfo();
    EXPECT_EQ(memory.Resources().System(), 90);
    EXPECT_EQ(memory.Resources().GDI(), 90);
    EXPECT_EQ(memory.Resources().User(), 90);
    // NT 4.0 still uses the 32-bit record.
    EXPECT_EQ(memory.PhysicalTotal(), 0xFFFFFFFFll);
}

TEST_F(MemoryTest, Windows2000AndLaterReportMoreThanFourGigabytes) {
    windows(5, 1, 2600, true);
    TMemory memory;
    memory.GetInfo();
    EXPECT_EQ(memory.PhysicalTotal(), 6ll << 30);
    EXPECT_EQ(memory.PhysicalFree(), 5ll << 30);
    EXPECT_EQ(memory.PageFileTotal(), 9ll << 30);

    // Without the extended call every amount and the load read 0.
    windows(5, 0, 2195, false);
    TMemory without;
    without.GetInfo();
    EXPECT_EQ(without.PhysicalTotal(), 0);
    EXPECT_EQ(without.VirtualFree(), 0);
    EXPECT_EQ(without.MemoryLoad(), 0);
    EXPECT_EQ(without.PageSize(), 4096);
}

TEST_F(MemoryTest, ReportWritesPlainBytesAndTheAddressRangeInHexadecimal) {
    windows(5, 1, 2600, true);
    TMemory memory;
    memory.GetInfo();
    TStringList report;
    memory.Report(report);
    std::vector<std::string> lines;
    for (int i = 0; i < report.Count(); ++i) lines.push_back(report[i]);
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "[Memory]", "PhysMemTotal=6442450944", "PhysMemFree=5368709120",
                         "PageFileTotal=9663676416", "PageFileFree=8589934592", "VirtMemTotal=2147352576",
                         "VirtMemFree=2145386496", "AllocGranularity=65536", "MinAppAddress=10000",
                         "MaxAppAddress=7FFEFFFF", "PageSize=4096"}));
}

}  // namespace
