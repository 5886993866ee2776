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

// A machine folder that replays a real PC's tables, next to the XP PC it
// is based on.
class ReplayedFirmware : public SimulatedFirmware {
protected:
    void SetUp() override {
        SimulatedFirmware::SetUp();
        folder = overlay.string() + "-replay";
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override {
        SimulatedFirmware::TearDown();
        fs::remove_all(folder);
    }
    void Facts(const std::string& firmware) {
        std::ofstream(folder / "machine.json")
            << R"({ "base": ")" << (Machines() / "winxp-pc").string() << R"(", "firmware": )" << firmware << " }";
    }
    std::string LoadError() {
        try {
            Use(folder);
        } catch (const platform::MachineError& e) {
            return e.what();
        }
        return "loaded";
    }
    // A dump file as dmidecode writes it, made from a description.
    void DumpFile(const fs::path& file, const nlohmann::json& d, std::size_t tableAt = 0x20) {
        auto t = platform::firmware::BuildTable(d, "test");
        Image image = platform::firmware::PlaceInSegment(t);
        Image dump(image.begin(), image.begin() + 0x1F);
        dump.resize(tableAt, 0);
        for (int i = 0; i < 4; ++i) dump[0x18 + i] = std::uint8_t(tableAt >> (8 * i));
        dump.insert(dump.end(), t.structures.begin(), t.structures.end());
        std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(dump.data()), std::streamsize(dump.size()));
    }
    fs::path folder;
};

TEST_F(ReplayedFirmware, ADumpFileIsMovedIntoTheSegment) {
    // The base PC's own description gives way to the replayed tables; its
    // texts, and the variant's, are still written.
    nlohmann::json d = DesktopDescription();
    d["system"]["manufacturer"] = "Müller GmbH";
    DumpFile(folder / "pc.dmibin", d, 0x40);
    Facts(R"({ "tables": "pc.dmibin", "smbios": { "texts": { "FE061h": "Müller BIOS" } } })");
    ASSERT_EQ(LoadError(), "loaded");
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.EntryPoint(), 0xF0000u);
    EXPECT_EQ(smbios.TableAddress(), 0xF0020u);
    EXPECT_EQ(smbios.Structures().size(), 20u);
    EXPECT_EQ(smbios.SystemManufacturer(), "Müller GmbH");
    EXPECT_EQ(smbios.ChassisModel(), "Mini Tower");
    const Image& image = smbios.Image();
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[0xE061])), "M\xFCller BIOS");
}

TEST_F(ReplayedFirmware, TheKernelsPairInAFolder) {
    auto t = platform::firmware::BuildTable(DesktopDescription(), "test");
    Image image = platform::firmware::PlaceInSegment(t);
    fs::create_directories(folder / "dmi");
    std::ofstream(folder / "dmi" / "smbios_entry_point", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), 0x1F);
    std::ofstream(folder / "dmi" / "DMI", std::ios::binary)
        .write(reinterpret_cast<const char*>(t.structures.data()), std::streamsize(t.structures.size()));
    Facts(R"({ "tables": "dmi" })");
    ASSERT_EQ(LoadError(), "loaded");
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.BIOSVendor(), "Award Software International, Inc.");
    EXPECT_EQ(smbios.MemorySlotCount(), 2);
}

TEST_F(ReplayedFirmware, ARealPcsDumpReplays) {
    fs::path real = fs::path(TORVEX_REALDATA_DIR) / "firmware" / "dell-poweredge-8450.dmibin";
    if (!fs::exists(real)) GTEST_SKIP() << "real firmware dumps not found at " << real.parent_path().string();
    fs::copy_file(real, folder / "8450.dmibin");
    Facts(R"({ "tables": "8450.dmibin" })");
    ASSERT_EQ(LoadError(), "loaded");
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.StructureCount(), 164);
    EXPECT_EQ(smbios.BIOSVendor(), "Intel Corporation");
    EXPECT_EQ(smbios.SystemModel(), "Dell PowerEdge 8450");
}

TEST_F(ReplayedFirmware, FaultsNameTheMember) {
    std::string json = (folder / "machine.json").string();
    Facts(R"({ "tables": "missing.dmibin" })");
    EXPECT_EQ(LoadError(), json + ": /firmware/tables: missing.dmibin is not in the machine folder");
    std::ofstream(folder / "junk.bin") << "JUNK, not a table";
    Facts(R"({ "tables": "junk.bin" })");
    EXPECT_EQ(LoadError(), json + ": /firmware/tables: " + (folder / "junk.bin").string() +
                               ": no SMBIOS entry point (\"_SM_\", \"_SM3_\" or \"_DMI_\") at its start");
    DumpFile(folder / "pc.dmibin", DesktopDescription(), 0x20);
    Facts(R"({ "tables": "pc.dmibin", "smbios": { "texts": { "F0030h": "over the tables" } } })");
    EXPECT_EQ(LoadError(), json + ": /firmware/smbios/texts/F0030h: the text overlaps the SMBIOS tables");
    EXPECT_EQ(FilesInOverlay(), 0u);
}

TEST_F(ReplayedFirmware, TextsTheFirmwareCannotHoldNameTheirMember) {
    std::string json = (folder / "machine.json").string();
    Facts(R"({ "smbios": { "version": "2.3", "bios": { "vendor": "Evil\u0000Vendor" } } })");
    EXPECT_EQ(LoadError(), json + ": /firmware/smbios/bios/vendor: the text contains a zero byte");
    Facts(R"({ "smbios": { "texts": { "FE061h": "Award BIOS \u2713" } } })");
    EXPECT_EQ(LoadError(), json + ": /firmware/smbios/texts/FE061h: the text has a character that code page 1252 lacks");
}

}  // namespace
}  // namespace torvex::testing
