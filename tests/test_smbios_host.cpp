// The live host's firmware segment, from a replayed /sys tree: the
// kernel's tables moved into the segment (SMBIOS 2 and 3, tables too large
// for it), the image written from /sys/class/dmi/id when the tables are
// closed to the user, and a machine without any DMI.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "platform/host/HostFirmware.h"
#include "platform/machine/Machine.h"
#include "tests/SmbiosImages.h"

namespace torvex::testing {
namespace {

namespace fs = std::filesystem;
using engine::TSMBIOS;
using platform::firmware::BuildTable;
using platform::firmware::ChecksumOf;
using platform::firmware::SmbiosTable;

fs::path Fixtures() { return fs::path(TORVEX_SOURCE_DIR) / "tests/data/smbios"; }

nlohmann::json Laptop() {
    std::ifstream in(Fixtures() / "laptop.json");
    return nlohmann::json::parse(in);
}

void Write(const fs::path& file, const Image& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The 31-byte entry point a BIOS leaves, with the table somewhere in high
// memory, as the kernel shows it in smbios_entry_point.
Image SmEntryPoint(const SmbiosTable& t) {
    Image e(0x1F, 0);
    std::memcpy(e.data(), "_SM_", 4);
    e[5] = 0x1F;
    e[6] = t.major;
    e[7] = t.minor;
    std::memcpy(e.data() + 0x10, "_DMI_", 5);
    std::uint16_t length = std::uint16_t(t.structures.size());
    e[0x16] = std::uint8_t(length);
    e[0x17] = std::uint8_t(length >> 8);
    std::uint32_t address = 0xDAE9C000;
    for (int i = 0; i < 4; ++i) e[0x18 + i] = std::uint8_t(address >> (8 * i));
    e[0x1C] = std::uint8_t(t.count);
    e[0x1D] = std::uint8_t(t.count >> 8);
    e[0x15] = ChecksumOf(e.data() + 0x10, 0x0F);
    e[4] = ChecksumOf(e.data(), 0x1F);
    return e;
}

// The 24-byte SMBIOS 3 entry point: no structure count, a 64-bit address.
Image Sm3EntryPoint(const SmbiosTable& t, std::uint32_t maxSize) {
    Image e(0x18, 0);
    std::memcpy(e.data(), "_SM3_", 5);
    e[6] = 0x18;
    e[7] = t.major;
    e[8] = t.minor;
    e[0x0A] = 1;
    for (int i = 0; i < 4; ++i) e[0x0C + i] = std::uint8_t(maxSize >> (8 * i));
    std::uint64_t address = 0x7AE2C000ull;
    for (int i = 0; i < 8; ++i) e[0x10 + i] = std::uint8_t(address >> (8 * i));
    e[5] = ChecksumOf(e.data(), 0x18);
    return e;
}

class HostFirmware : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("torvex-smbios-host-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root);
        fs::create_directories(root);
    }
    void TearDown() override {
        platform::SetActiveMachine(nullptr);
        fs::remove_all(root);
    }
    void KernelTables(const Image& entry, const Image& table) {
        Write(root / "sys/firmware/dmi/tables/smbios_entry_point", entry);
        Write(root / "sys/firmware/dmi/tables/DMI", table);
    }
    TSMBIOS& DecodeHost() {
        auto segment = platform::host::HostFirmwareSegment(root);
        EXPECT_EQ(segment.image.size(), 65536u);
        EXPECT_EQ(segment.access, platform::FirmwareSegment::Access::section);
        return Decode(smbios, segment.image);
    }
    fs::path root;
    TSMBIOS smbios;
};

TEST_F(HostFirmware, TheKernelsTablesAreMovedBehindAnEntryPointAtF0000) {
    SmbiosTable t = BuildTable(Laptop(), "laptop.json");
    KernelTables(SmEntryPoint(t), t.structures);
    DecodeHost();
    EXPECT_EQ(smbios.EntryPoint(), 0xF0000u);
    EXPECT_EQ(smbios.TableAddress(), 0xF0020u);
    EXPECT_EQ(smbios.Version(), "2.6");
    EXPECT_EQ(smbios.Structures().size(), t.count);
    EXPECT_EQ(smbios.BIOSVendor(), "Nordbok");
    EXPECT_EQ(smbios.BIOSVersion(), "6NET84WW (1.45 )") << "inner blanks stay";
    EXPECT_EQ(smbios.BIOSSize(), 8192u);
    EXPECT_EQ(smbios.SystemModel(), "NB-510 Reise");
    EXPECT_EQ(smbios.SystemSerial(), "R9-0AB12");
    EXPECT_EQ(smbios.SystemUUID(), "1B2C3D4E5F60718293A4B5C6D7E8F901");
    EXPECT_EQ(smbios.ChassisModel(), "Notebook");
    EXPECT_EQ(smbios.CPUVersion(), "Intel(R) Core(TM) i7 CPU Q 720 @ 1.60GHz");
    EXPECT_DOUBLE_EQ(smbios.CPUVoltage(), 1.0);
    EXPECT_EQ(smbios.CPUUpgrade(), "Other");
    // A laptop of 2010 describes its memory as devices only.
    ASSERT_EQ(smbios.MemorySlotCount(), 2);
    EXPECT_EQ(smbios.MemoryBank(0).Socket, "DIMM 1");
    EXPECT_EQ(smbios.MemoryBank(0).Size, 4096u);
    EXPECT_EQ(smbios.MemoryBank(0).SpeedMHz, 1333);
    EXPECT_EQ(engine::MemoryTypeText(smbios.MemoryBank(0).Types), "DIMM,SDRAM");
    EXPECT_EQ(smbios.MemoryBank(1).Size, 0u);
    EXPECT_EQ(smbios.PortCount(), 3) << "the monitor port has only an external designator";
    ASSERT_EQ(smbios.SystemSlotCount(), 2);
    EXPECT_EQ(engine::SlotTypeName(smbios.SystemSlot(0).SlotType), "PCI Express");
    EXPECT_EQ(engine::SlotTypeName(smbios.SystemSlot(1).SlotType), "PC Card (PCMCIA)");
    ASSERT_EQ(smbios.CacheCount(), 2);
    EXPECT_EQ(smbios.Cache(1).MaxSize, 6144u);
    EXPECT_EQ(engine::CacheAssociativityName(smbios.Cache(1).Associativity), "12-way Set-Associative");
}

TEST_F(HostFirmware, AnSmbios3TableKeepsItsVersion) {
    nlohmann::json d = Laptop();
    d["version"] = "3.0";
    SmbiosTable t = BuildTable(d, "laptop.json");
    KernelTables(Sm3EntryPoint(t, std::uint32_t(t.structures.size())), t.structures);
    DecodeHost();
    EXPECT_EQ(smbios.Version(), "3.0");
    EXPECT_EQ(smbios.StructureCount(), t.count) << "counted while moving: SMBIOS 3 gives no count";
    EXPECT_EQ(smbios.Structures().size(), t.count);
    EXPECT_EQ(smbios.Structures().back().Type, 127);
    EXPECT_EQ(smbios.SystemModel(), "NB-510 Reise");
    EXPECT_EQ(ReportOf(smbios)[1], "Version=3.0");
}

TEST_F(HostFirmware, ATableLargerThanTheSegmentKeepsTheWholeStructuresThatFit) {
    nlohmann::json d = Laptop();
    d["slots"] = nlohmann::json::array();
    // Long designations, so that the slots that fit stay below the 256 an
    // 8-bit count can tell.
    for (int i = 0; i < 250; ++i)
        d["slots"].push_back({{"designation", "Slot " + std::to_string(1000 + i) + std::string(241, '.')},
                              {"type", "PCI"},
                              {"id", i}});
    SmbiosTable t = BuildTable(d, "big.json");
    ASSERT_GT(t.structures.size(), 65536u);
    // SMBIOS 3 is the only way to a table this large.
    d["version"] = "3.0";
    t = BuildTable(d, "big.json");
    KernelTables(Sm3EntryPoint(t, std::uint32_t(t.structures.size())), t.structures);
    DecodeHost();
    EXPECT_GT(smbios.SystemSlotCount(), 200);
    EXPECT_LT(smbios.SystemSlotCount(), 250);
    for (int i = 0; i < smbios.SystemSlotCount(); ++i)
        ASSERT_EQ(smbios.SystemSlot(i).Designation.size(), 250u) << "slot " << i << " was cut";
    // The structures that fit are counted; nothing is added behind them.
    EXPECT_EQ(smbios.Structures().back().Name, "System Slots");
    EXPECT_EQ(smbios.Structures().size(), smbios.StructureCount());
    // Behind the table the segment's last 256 bytes stay free, so that
    // every string of the table can be read.
    const Image& image = smbios.Image();
    std::size_t end = 0x20 + smbios.TableLength();
    EXPECT_LE(end + 256, image.size());
}

TEST_F(HostFirmware, DamagedKernelTablesKeepWhatIsWhole) {
    SmbiosTable t = BuildTable(Laptop(), "laptop.json");
    Image cut(t.structures.begin(), t.structures.begin() + 300);   // in the middle of a structure
    KernelTables(SmEntryPoint(t), cut);
    DecodeHost();
    EXPECT_EQ(smbios.BIOSVendor(), "Nordbok");
    EXPECT_LT(smbios.Structures().size(), t.count);
    EXPECT_EQ(smbios.Structures().size(), smbios.StructureCount()) << "the whole structures before the cut";
    EXPECT_LE(smbios.TableLength(), 300u);

    KernelTables(Image{'J', 'U', 'N', 'K'}, t.structures);
    DecodeHost();
    EXPECT_EQ(smbios.EntryPoint(), 0u) << "an unknown entry point and no /sys/class/dmi/id: no DMI";
}

TEST_F(HostFirmware, WithoutTheTablesTheImageHoldsWhatEveryUserSees) {
    // The fixture is only read; the tree holds no firmware tables.
    auto segment = platform::host::HostFirmwareSegment(Fixtures() / "desktop-dmi-id");
    Decode(smbios, segment.image);
    EXPECT_EQ(smbios.BIOSVendor(), "American Megatrends Inc.");
    EXPECT_EQ(smbios.BIOSVersion(), "1.40");
    EXPECT_EQ(smbios.BIOSDate(), "05/12/2011");
    EXPECT_EQ(smbios.SystemManufacturer(), "Fjordtek Data AS");
    EXPECT_EQ(smbios.SystemModel(), "FT-7000 Kontor");
    EXPECT_EQ(smbios.SystemVersion(), "Rev 2");
    EXPECT_EQ(smbios.MainBoardModel(), "FT7-MB");
    EXPECT_EQ(smbios.ChassisModel(), "Mini Tower");
    EXPECT_EQ(smbios.ChassisVersion(), "");
    // Serial numbers and the UUID are root's only, even where the files
    // happen to be readable.
    EXPECT_EQ(smbios.SystemSerial(), "");
    EXPECT_EQ(smbios.MainBoardSerial(), "");
    EXPECT_EQ(smbios.ChassisSerial(), "");
    EXPECT_EQ(smbios.SystemUUID(), std::string(32, '0'));
}

TEST_F(HostFirmware, WithoutAnyDmiEverythingStaysEmptyAndNoErrorIsRaised) {
    auto segment = platform::host::HostFirmwareSegment(root);
    EXPECT_EQ(segment.image, Image(65536, 0));
    platform::SetActiveMachine(platform::CreateHostMachine(root));
    EXPECT_NO_THROW(smbios.GetInfo(1));
    EXPECT_EQ(smbios.EntryPoint(), 0u);
    EXPECT_TRUE(smbios.Structures().empty());
    EXPECT_EQ(smbios.SystemModel(), "");
    EXPECT_EQ(ReportOf(smbios)[2], "Start Address=0");
}

TEST_F(HostFirmware, TheHostMachineOffersTheTablesThroughThePhysicalMemorySection) {
    SmbiosTable t = BuildTable(Laptop(), "laptop.json");
    KernelTables(SmEntryPoint(t), t.structures);
    platform::SetActiveMachine(platform::CreateHostMachine(root));
    smbios.GetInfo(1);
    EXPECT_EQ(smbios.EntryPoint(), 0xF0000u);
    EXPECT_EQ(smbios.SystemModel(), "NB-510 Reise");
    EXPECT_EQ(smbios.BIOSDate(), "07/28/2010");
}

}  // namespace
}  // namespace torvex::testing
