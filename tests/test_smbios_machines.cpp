// The shipped simulated PCs and their firmware: the Windows 98 PC's Award
// BIOS read directly, the XP PC's AMI BIOS through the physical-memory
// section, and the same PC's guest account, which only gets there with the
// 16-bit dump program.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "engine/Zarvo_Common.h"
#include "platform/machine/Machine.h"
#include "platform/win32/Win32.h"
#include "tests/SmbiosImages.h"

namespace torvex::testing {
namespace {

namespace fs = std::filesystem;
using engine::TSMBIOS;

fs::path Machines() { return fs::path(TORVEX_SOURCE_DIR) / "machines"; }

class SimulatedFirmware : public ::testing::Test {
protected:
    void SetUp() override {
        overlay = fs::temp_directory_path() / ("torvex-smbios-overlay-" + std::to_string(::getpid()));
        fs::remove_all(overlay);
    }
    void TearDown() override {
        platform::SetActiveMachine(nullptr);
        fs::remove_all(overlay);
    }
    void Use(const fs::path& folder) {
        platform::SetActiveMachine(platform::LoadSimulatedMachine(folder, overlay));
    }
    std::size_t FilesInOverlay() const {
        std::size_t n = 0;
        if (fs::exists(overlay))
            for (const auto& e : fs::recursive_directory_iterator(overlay)) n += e.is_regular_file();
        return n;
    }
    fs::path overlay;
    TSMBIOS smbios;
};

TEST_F(SimulatedFirmware, TheWindows98PcHasAnAwardBiosOf1999) {
    Use(Machines() / "win98se-pc");
    ASSERT_EQ(platform::ActiveMachine().firmwareSegment()->access, platform::FirmwareSegment::Access::direct);
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.EntryPoint(), 0xF0800u);
    EXPECT_EQ(smbios.Version(), "2.2");
    EXPECT_EQ(smbios.BIOSVendor(), "Award Software International, Inc.");
    EXPECT_EQ(smbios.BIOSDate(), "12/28/99");
    EXPECT_EQ(smbios.BIOSSize(), 256u);
    EXPECT_EQ(smbios.MainBoardModel(), "440BX/ZX/DX - 82443BX/ZX/DX");
    EXPECT_EQ(smbios.SystemVersion(), "");
    EXPECT_EQ(smbios.CPUSocket(), "SLOT 1");
    EXPECT_EQ(smbios.CPUVersion(), "Pentium III");
    EXPECT_EQ(smbios.CPUUpgrade(), "Slot 1");
    EXPECT_DOUBLE_EQ(smbios.CPUVoltage(), 2.0);
    EXPECT_EQ(smbios.CPUClock(), 450);
    ASSERT_EQ(smbios.MemorySlotCount(), 3);
    EXPECT_EQ(smbios.MemoryBank(0).Size + smbios.MemoryBank(1).Size + smbios.MemoryBank(2).Size, 128u);
    EXPECT_EQ(engine::MemoryTypeText(smbios.MemoryBank(0).Types), "DIMM,SDRAM");
    EXPECT_EQ(smbios.PortCount(), 8) << "the two USB ports have no internal designator";
    EXPECT_EQ(smbios.SystemSlotCount(), 6);
    EXPECT_EQ(engine::SlotTypeName(smbios.SystemSlot(0).SlotType), "AGP 2X");
    EXPECT_EQ(engine::SlotDataBusName(smbios.SystemSlot(5).DataBus), "16 bit");

    // The BIOS texts a Windows 9x program reads at their fixed places.
    char name[64] = {};
    ASSERT_TRUE(win32::ReadLinearMemory(0xFE061, name, sizeof name - 1));
    EXPECT_STREQ(name, "Award Modular BIOS v4.51PG, An Energy Star Ally");
    char date[9] = {};
    ASSERT_TRUE(win32::ReadLinearMemory(0xFFFF5, date, 8));
    EXPECT_STREQ(date, "12/28/99");
}

TEST_F(SimulatedFirmware, TheXpPcMapsItsAmiBiosThroughTheSection) {
    Use(Machines() / "winxp-pc");
    ASSERT_EQ(platform::ActiveMachine().firmwareSegment()->access, platform::FirmwareSegment::Access::section);
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.EntryPoint(), 0xFB570u);
    EXPECT_EQ(smbios.Version(), "2.3");
    EXPECT_EQ(smbios.BIOSVendor(), "American Megatrends Inc.");
    EXPECT_EQ(smbios.MainBoardManufacturer(), "ASUSTeK Computer INC.");
    EXPECT_EQ(smbios.MainBoardModel(), "P4PE");
    EXPECT_EQ(smbios.ChassisModel(), "Desktop");
    EXPECT_EQ(smbios.CPUSocket(), "Socket 478");
    EXPECT_EQ(smbios.CPUUpgrade(), "Socket 478");
    EXPECT_DOUBLE_EQ(smbios.CPUVoltage(), 1.5);
    EXPECT_EQ(smbios.CPUExternalClock(), 133);
    EXPECT_EQ(smbios.CPUClock(), 2400);
    ASSERT_EQ(smbios.MemorySlotCount(), 3);
    EXPECT_EQ(smbios.MemoryBank(0).Size, 256u) << "the double-bank bit is not part of the size";
    EXPECT_EQ(smbios.PortCount(), 10);
    EXPECT_EQ(smbios.SystemSlotCount(), 7);
    EXPECT_EQ(engine::SlotTypeName(smbios.SystemSlot(0).SlotType), "AGP 4X");
    EXPECT_EQ(FilesInOverlay(), 0u);
}

TEST_F(SimulatedFirmware, TheGuestAccountGetsTheSameTablesFromTheDumpProgram) {
    Use(Machines() / "winxp-pc");
    smbios.GetInfo(1);
    std::vector<std::string> owner = ReportOf(smbios);

    Use(Machines() / "winxp-pc-guest");
    ASSERT_EQ(platform::ActiveMachine().firmwareSegment()->access, platform::FirmwareSegment::Access::dumpProgram);
    TSMBIOS guest;
    guest.GetInfo(1);
    EXPECT_EQ(guest.Image(), smbios.Image());
    EXPECT_EQ(ReportOf(guest), owner);
    EXPECT_EQ(FilesInOverlay(), 0u) << "the dump program and its output are deleted";
}

TEST_F(SimulatedFirmware, AFaultyFirmwareRecordStopsTheLoadNamingTheFileAndTheMember) {
    // Found when the machine loads, not at the first refresh, so that the
    // console program ends with an error instead of a report without tables.
    fs::path folder = overlay.string() + "-machine";
    fs::create_directories(folder);
    std::ofstream(folder / "machine.json") << R"({ "base": ")" << (Machines() / "winxp-pc").string() << R"(",
        "firmware": { "smbios": { "version": "2.3", "chassis": { "type": "Igloo" } } } })";
    std::string message;
    try {
        Use(folder);
    } catch (const platform::MachineError& e) {
        message = e.what();
    }
    fs::remove_all(folder);
    EXPECT_EQ(message, (folder / "machine.json").string() + ": /firmware/smbios/chassis/type: unknown name \"Igloo\"");
    EXPECT_EQ(FilesInOverlay(), 0u);
}

}  // namespace
}  // namespace torvex::testing
