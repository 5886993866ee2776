// How the SMBIOS decoder reads a firmware image: where it finds the entry
// point, how it walks the structures, how it takes strings and how it turns
// the codes into names and sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "tests/SmbiosImages.h"

namespace torvex::testing {
namespace {

using engine::TMemoryBank;
using engine::TSMBIOS;
using platform::firmware::PlaceInSegment;
using platform::firmware::StructureBuilder;

class SmbiosDecoding : public ::testing::Test {
protected:
    Image image = WriteImage(DesktopDescription());
    TSMBIOS smbios;
    TSMBIOS& decode() { return Decode(smbios, image); }
    std::uint8_t& byte(std::uint8_t type, std::size_t offset, int nth = 0) {
        std::uint32_t a = FindStructure(image, type, nth);
        EXPECT_NE(a, 0u) << "no structure of type " << int(type);
        return image[At(a) + offset];
    }
};

TEST_F(SmbiosDecoding, AWrittenDesktopDecodesCompletely) {
    decode();
    EXPECT_EQ(smbios.EntryPoint(), 0xF0000u);
    EXPECT_EQ(smbios.TableAddress(), 0xF0020u);
    EXPECT_EQ(smbios.Version(), "2.3");
    EXPECT_EQ(smbios.BIOSVendor(), "Award Software International, Inc.");
    EXPECT_EQ(smbios.BIOSVersion(), "4.51 PG");
    EXPECT_EQ(smbios.BIOSDate(), "03/16/99");
    EXPECT_EQ(smbios.BIOSSize(), 256u);
    EXPECT_EQ(smbios.SystemManufacturer(), "Fjordtek");
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");
    EXPECT_EQ(smbios.SystemVersion(), "1.0");
    EXPECT_EQ(smbios.SystemSerial(), "FT9901234");
    EXPECT_EQ(smbios.SystemUUID(), "00112233445566778899AABBCCDDEEFF");
    EXPECT_EQ(smbios.MainBoardModel(), "BX6");
    EXPECT_EQ(smbios.MainBoardSerial(), "B-77");
    EXPECT_EQ(smbios.ChassisModel(), "Mini Tower");
    EXPECT_EQ(smbios.ChassisManufacturer(), "Fjordtek");
    EXPECT_EQ(smbios.ChassisVersion(), "ATX");
    EXPECT_EQ(smbios.ChassisSerial(), "C-1");
    EXPECT_EQ(smbios.CPUSocket(), "Slot 1");
    EXPECT_EQ(smbios.CPUManufacturer(), "Intel");
    EXPECT_EQ(smbios.CPUVersion(), "Pentium II");
    EXPECT_EQ(smbios.CPUUpgrade(), "Slot 1");
    EXPECT_DOUBLE_EQ(smbios.CPUVoltage(), 2.0);
    EXPECT_EQ(smbios.CPUExternalClock(), 100);
    EXPECT_EQ(smbios.CPUClock(), 450);

    ASSERT_EQ(smbios.MemorySlotCount(), 2);
    EXPECT_EQ(smbios.MemoryBank(0).Socket, "DIMM0");
    EXPECT_EQ(smbios.MemoryBank(0).Size, 128u);
    EXPECT_EQ(smbios.MemoryBank(0).Speed, 10);
    EXPECT_EQ(engine::MemoryTypeText(smbios.MemoryBank(0).Types), "DIMM,SDRAM");
    EXPECT_EQ(smbios.MemoryBank(1).Size, 0u) << "size byte 7Fh: not installed";

    // The USB port has only an external designator: the engine reads the
    // internal one, finds it empty and drops the port.
    ASSERT_EQ(smbios.PortCount(), 3);
    EXPECT_EQ(smbios.Port(0).Designator, "PRIMARY IDE");
    EXPECT_EQ(engine::ConnectorName(smbios.Port(0).Connector), "On Board IDE");
    EXPECT_EQ(engine::PortTypeName(smbios.Port(0).PortType), "Other");
    EXPECT_EQ(engine::PortTypeName(smbios.Port(1).PortType), "Serial Port 16550A Compatible");
    EXPECT_EQ(engine::ConnectorName(smbios.Port(1).Connector), "9 Pin Dual Inline (pin 10 cut)");
    EXPECT_EQ(smbios.Port(2).Designator, "LPT1");
    EXPECT_EQ(engine::ConnectorName(smbios.Port(2).Connector), "DB-25 pin female");

    ASSERT_EQ(smbios.SystemSlotCount(), 3);
    EXPECT_EQ(engine::SlotTypeName(smbios.SystemSlot(0).SlotType), "AGP");
    EXPECT_EQ(smbios.SystemSlot(0).SlotID, 8);
    EXPECT_EQ(engine::SlotDataBusName(smbios.SystemSlot(2).DataBus), "16 bit");

    ASSERT_EQ(smbios.CacheCount(), 2);
    EXPECT_EQ(smbios.Cache(0).MaxSize, 32u);
    EXPECT_EQ(engine::SRAMTypeName(smbios.Cache(0).SRAMType), "Synchronous");
    EXPECT_EQ(engine::CacheTypeName(smbios.Cache(0).CacheType), "Data");
    EXPECT_EQ(engine::CacheAssociativityName(smbios.Cache(0).Associativity), "4-way Set-Associative");
    EXPECT_EQ(engine::SRAMTypeName(smbios.Cache(1).SRAMType), "Pipeline Burst") << "the highest bit set";
    EXPECT_EQ(smbios.Cache(1).Speed, 10);
    EXPECT_EQ(engine::CacheAssociativityName(smbios.Cache(1).Associativity), "Direct Mapped");
}

TEST_F(SmbiosDecoding, ReportListsEverythingButTheCaches) {
    decode();
    std::vector<std::string> expected = {
        "[SMBIOS]", "Version=2.3", "Start Address=F0000", "Structure Table Start Address=F0020",
        "Structure Table Count=20", "TableCount=19",
        "Table_0=BIOS Information (Type 0)", "Table_1=System Information (Type 1)",
        "Table_2=Base Board Information (Type 2)", "Table_3=System Enclosure or Chassis (Type 3)",
        "Table_4=Processor Information (Type 4)", "Table_5=Cache Information (Type 7)",
        "Table_6=Cache Information (Type 7)", "Table_7=Memory Module Information (Type 6)",
        "Table_8=Memory Module Information (Type 6)", "Table_9=Port Connector Information (Type 8)",
        "Table_10=Port Connector Information (Type 8)", "Table_11=Port Connector Information (Type 8)",
        "Table_12=Port Connector Information (Type 8)", "Table_13=System Slots (Type 9)",
        "Table_14=System Slots (Type 9)", "Table_15=System Slots (Type 9)",
        "Table_16=Physical Memory Array (Type 16)", "Table_17=Memory Device (Type 17)",
        "Table_18=System Boot Information (Type 32)", "Table_19=End-of-Table (Type 127)",
        "BIOS Vendor=Award Software International, Inc.", "BIOS Version=4.51 PG", "BIOS Date=03/16/99",
        "BIOS Size=256 K", "System Model=FT-440BX", "System Manufacturer=Fjordtek", "System Version=1.0",
        "System Serial=FT9901234", "System UUID=00112233445566778899AABBCCDDEEFF",
        "Mainboard Model=BX6", "Mainboard Manufacturer=Fjordtek", "Mainboard Version=2.0",
        "Mainboard Serial=B-77", "Chassis Model=Mini Tower", "Chassis Manufacturer=Fjordtek",
        "Chassis Version=ATX", "Chassis Serial=C-1", "CPU Socket=Slot 1", "CPU Upgrade Interface=Slot 1",
        "CPU Manufacturer=Intel", "CPU Version=Pentium II", "CPU Voltage=2.0 V", "CPU Clock=450 MHz",
        "CPU External Clock=100 MHz", "MemorySlotCount=2", "MemoryBank_0=DIMM0",
        "MemoryType_0=DIMM,SDRAM", "MemorySize_0=128 MB", "MemorySize_0=10 ns", "MemoryBank_1=DIMM1",
        "MemoryType_1=DIMM", "MemorySize_1=0 MB", "MemorySize_1=0 ns", "PortCount=3",
        "PortDesignator_0=PRIMARY IDE", "PortType_0=Other", "PortConnector_0=On Board IDE",
        "PortDesignator_1=COM1", "PortType_1=Serial Port 16550A Compatible",
        "PortConnector_1=9 Pin Dual Inline (pin 10 cut)", "PortDesignator_2=LPT1",
        "PortType_2=Parallel Port ECP/EPP", "PortConnector_2=DB-25 pin female", "SystemSlotCount=3",
        "SystemSlot_0=AGP", "SystemSlotDataBus_0=32 bit", "SystemSlot_1=PCI", "SystemSlotDataBus_1=32 bit",
        "SystemSlot_2=ISA", "SystemSlotDataBus_2=16 bit"};
    EXPECT_EQ(ReportOf(smbios), expected);
}

TEST_F(SmbiosDecoding, EntryPointAtAnUnalignedAddressIsAccepted) {
    auto table = platform::firmware::BuildTable(DesktopDescription(), "test");
    image = PlaceInSegment(table, 0xF4433, 0xF4460);
    decode();
    EXPECT_EQ(smbios.EntryPoint(), 0xF4433u);
    EXPECT_EQ(smbios.TableAddress(), 0xF4460u);
    EXPECT_EQ(smbios.BIOSVendor(), "Award Software International, Inc.");
    EXPECT_EQ(ReportOf(smbios)[2], "Start Address=F4433");
}

TEST_F(SmbiosDecoding, ALoneDmiAnchorPlacesTheEntryPointSixteenBytesEarlier) {
    auto table = platform::firmware::BuildTable(DesktopDescription(), "test");
    image = PlaceInSegment(table, 0xF8000, 0xF8040);
    // A legacy BIOS with only the "_DMI_" structure: nothing in front of it.
    std::fill(image.begin() + long(At(0xF8000)), image.begin() + long(At(0xF8010)), 0);
    decode();
    EXPECT_EQ(smbios.EntryPoint(), 0xF8000u);
    EXPECT_EQ(smbios.Version(), "0.0") << "the version is read where an \"_SM_\" entry keeps it";
    EXPECT_EQ(smbios.TableAddress(), 0xF8040u);
    EXPECT_EQ(smbios.Structures().size(), 20u);
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");
}

TEST_F(SmbiosDecoding, AStrayAnchorGivesWayToAValidEntryPoint) {
    auto table = platform::firmware::BuildTable(DesktopDescription(), "test");
    image = PlaceInSegment(table, 0xF9000, 0xF9020);
    // The word "_SM_" earlier in the segment, in the BIOS's own code: its
    // bytes do not sum to zero, so the real entry point behind it is taken.
    std::memcpy(image.data() + At(0xF0100), "_SM_ anchor text", 16);
    decode();
    EXPECT_EQ(smbios.EntryPoint(), 0xF9000u);
    EXPECT_EQ(smbios.BIOSVendor(), "Award Software International, Inc.");

    // With no valid entry point anywhere, the first anchor is taken: its
    // fields read as text, so there is no table to walk.
    image[At(0xF9000) + 4] ^= 0xFF;
    decode();
    EXPECT_EQ(smbios.EntryPoint(), 0xF0100u);
    EXPECT_TRUE(smbios.Structures().empty());
    EXPECT_EQ(smbios.BIOSVendor(), "");
}

TEST_F(SmbiosDecoding, ASegmentWithOnlyThe64BitEntryPoint) {
    auto table = platform::firmware::BuildTable(DesktopDescription(), "test");
    image = PlaceInSegment(table, 0xF0000, 0xF0040);
    std::fill(image.begin(), image.begin() + 0x20, 0);
    // "_SM3_", checksum, length 18h, version 3.2, docrev, revision 1,
    // reserved, maximum table size, 64-bit table address.
    std::uint8_t e[0x18] = {'_', 'S', 'M', '3', '_', 0, 0x18, 3, 2, 0, 1, 0};
    std::uint32_t size = std::uint32_t(table.structures.size());
    for (int i = 0; i < 4; ++i) e[0x0C + i] = std::uint8_t(size >> (8 * i));
    std::uint32_t address = 0xF0040;
    for (int i = 0; i < 4; ++i) e[0x10 + i] = std::uint8_t(address >> (8 * i));
    e[5] = platform::firmware::ChecksumOf(e, 0x18);
    std::memcpy(image.data() + 0x10, e, sizeof e);
    decode();
    EXPECT_EQ(smbios.EntryPoint(), 0xF0010u);
    EXPECT_EQ(smbios.Version(), "3.2");
    EXPECT_EQ(smbios.TableAddress(), 0xF0040u);
    EXPECT_EQ(smbios.Structures().size(), 20u) << "no count: the end-of-table structure ends the walk";
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");
    EXPECT_EQ(ReportOf(smbios)[3], "Structure Table Start Address=F0040");

    // A table above 4 GB lies outside the segment.
    image[0x10 + 0x14] = 1;
    image[0x10 + 5] = std::uint8_t(image[0x10 + 5] - 1);
    decode();
    EXPECT_EQ(smbios.EntryPoint(), 0xF0010u);
    EXPECT_TRUE(smbios.Structures().empty());
}

TEST_F(SmbiosDecoding, RomSizeByteSevenIs512K) {
    byte(0, 0x09) = 7;
    EXPECT_EQ(decode().BIOSSize(), 512u);
}

TEST_F(SmbiosDecoding, ProcessorVoltageEncodings) {
    struct Case {
        std::uint8_t byte;
        double volts;
    } cases[] = {{0x8F, 1.5}, {0x02, 3.3}, {0x01, 5.0}, {0x03, 5.0}, {0x04, 2.9}, {0x06, 3.3},
                 {0x80, 0.0}, {0xA1, 3.3}, {0x00, 0.0}, {0x08, 0.0}};
    for (const auto& c : cases) {
        byte(4, 0x11) = c.byte;
        EXPECT_NEAR(decode().CPUVoltage(), c.volts, 1e-9) << "voltage byte " << int(c.byte);
    }
    byte(4, 0x11) = 0x8F;
    decode();
    EXPECT_EQ(ReportOf(smbios)[47], "CPU Voltage=1.5 V");
}

TEST_F(SmbiosDecoding, MemoryModuleSizesAndTypes) {
    struct Case {
        std::uint8_t size;
        std::uint32_t mb;
    } sizes[] = {{0x7F, 0}, {0x7E, 0}, {0x7D, 0}, {0x00, 1}, {0x05, 32}, {0x85, 32},
                 {0xFF, 0}, {0x1F, 0x80000000u}, {0x20, 0}, {0x7C, 0}};
    for (const auto& c : sizes) {
        byte(6, 0x09) = c.size;
        EXPECT_EQ(decode().MemoryBank(0).Size, c.mb) << "size byte " << int(c.size);
    }
    auto types = [&](std::uint16_t word) {
        byte(6, 0x07) = std::uint8_t(word);
        byte(6, 0x08) = std::uint8_t(word >> 8);
        return engine::MemoryTypeText(decode().MemoryBank(0).Types);
    };
    EXPECT_EQ(types(0x0090), "EDO,SIMM");
    EXPECT_EQ(types(0x0020), "") << "bit 5 has no text";
    EXPECT_EQ(types(0xF800), "") << "bits above 10 are not memory types";
    EXPECT_EQ(types(0x07FF), "Other,Unknown,Standard,FastPageMode,EDO,ECC,SIMM,DIMM,BurstEDO,SDRAM");
}

TEST_F(SmbiosDecoding, StringsAreTakenByTheirNumbers) {
    // The system structure's strings are "Fjordtek", "FT-440BX", "1.0",
    // "FT9901234"; numbered 2, 1, 3, 3 the fields take them by number.
    byte(1, 0x04) = 2;
    byte(1, 0x05) = 1;
    byte(1, 0x07) = 3;
    decode();
    EXPECT_EQ(smbios.SystemManufacturer(), "FT-440BX");
    EXPECT_EQ(smbios.SystemModel(), "Fjordtek");
    EXPECT_EQ(smbios.SystemVersion(), "1.0");
    EXPECT_EQ(smbios.SystemSerial(), "1.0") << "two fields may share a string";

    // A field numbered 0 is empty; the others keep their own strings.
    byte(1, 0x05) = 0;
    decode();
    EXPECT_EQ(smbios.SystemModel(), "");
    EXPECT_EQ(smbios.SystemVersion(), "1.0");

    // A number beyond the set is empty and never reads into the next
    // structure (the board's strings follow right behind).
    byte(1, 0x06) = 5;
    byte(1, 0x07) = 0xFF;
    decode();
    EXPECT_EQ(smbios.SystemVersion(), "");
    EXPECT_EQ(smbios.SystemSerial(), "");
    EXPECT_EQ(smbios.MainBoardManufacturer(), "Fjordtek");
    EXPECT_EQ(smbios.MainBoardModel(), "BX6");
}

TEST_F(SmbiosDecoding, AStructureWithoutStringsGivesEmptyTexts) {
    // The board structure with its string set emptied: a field numbered 1
    // finds the set's end at once.
    std::uint32_t board = FindStructure(image, 2);
    std::size_t strings = At(board) + image[At(board) + 1];
    std::uint32_t chassis = FindStructure(image, 3);
    std::vector<std::uint8_t> rest(image.begin() + long(At(chassis)), image.begin() + long(At(chassis) + 0x200));
    image[strings] = 0;
    image[strings + 1] = 0;
    std::copy(rest.begin(), rest.end(), image.begin() + long(strings + 2));
    decode();
    EXPECT_EQ(smbios.MainBoardManufacturer(), "");
    EXPECT_EQ(smbios.MainBoardModel(), "");
    EXPECT_EQ(smbios.ChassisManufacturer(), "Fjordtek") << "the walk goes on behind the two zeros";
    EXPECT_EQ(smbios.ChassisSerial(), "C-1");
}

TEST_F(SmbiosDecoding, SurroundingBlanksAreTrimmedButCountForTheSequence) {
    nlohmann::json d = DesktopDescription();
    d["system"]["manufacturer"] = "  Fjordtek   ";
    image = WriteImage(d);
    decode();
    EXPECT_EQ(smbios.SystemManufacturer(), "Fjordtek");
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");
}

TEST_F(SmbiosDecoding, ChassisTypesAndTheLockBit) {
    struct Case {
        std::uint8_t type;
        const char* model;
    } cases[] = {{0x03, "Desktop"}, {0x09, "LapTop"}, {0x17, "Rack Mount Chassis"},
                 {0x18, "Sealed-case PC"}, {0x19, "Multi-system chassis"}, {0x1E, "Tablet"},
                 {0x23, "Mini PC"}, {0x24, "Stick PC"}, {0x25, ""}, {0x00, ""},
                 // Bit 7 says the chassis has a lock; the type is bits 0-6.
                 {0x83, "Desktop"}, {0x91, "Main Server Chassis"}, {0x97, "Rack Mount Chassis"},
                 {0xA3, "Mini PC"}, {0x80, ""}, {0xFF, ""}};
    for (const auto& c : cases) {
        byte(3, 0x05) = c.type;
        EXPECT_EQ(decode().ChassisModel(), c.model) << "chassis byte " << int(c.type);
    }
}

TEST_F(SmbiosDecoding, ProcessorUpgradeNames) {
    struct Case {
        std::uint8_t value;
        const char* name;
    } cases[] = {{0x04, "ZIF Socket"}, {0x09, "Slot 2"}, {0x0A, "370-pin socket"}, {0x0E, "Socket A (Socket 462)"},
                 {0x0F, "Socket 478"}, {0x15, "Socket LGA775"}, {0x24, "Socket LGA1155"},
                 {0x31, "Socket AM4"}, {0x40, "Socket LGA1700"}, {0x57, "Socket BGA2833"}, {0x58, ""},
                 {0xFF, ""}, {0x00, ""}, {0x06, "None"}};
    for (const auto& c : cases) {
        byte(4, 0x19) = c.value;
        EXPECT_EQ(decode().CPUUpgrade(), c.name) << "upgrade byte " << int(c.value);
    }
}

TEST_F(SmbiosDecoding, WithoutMemoryModulesTheMemoryDevicesAreTheModules) {
    nlohmann::json d = DesktopDescription();
    d.erase("memoryModules");
    d["memoryDevices"] = nlohmann::json::parse(R"([
        {"locator": "DIMM_A", "sizeMB": 256, "speed": 133, "formFactor": "DIMM", "type": "SDRAM", "detail": "0x0080"},
        {"locator": "DIMM_B", "sizeMB": 0, "formFactor": "DIMM", "type": "Unknown", "detail": "0x0004"},
        {"locator": "SIMM3", "sizeMB": 32, "formFactor": "SIMM", "type": "DRAM", "detail": "0x0200"},
        {"locator": "SODIMM1", "sizeMB": 2048, "speed": 1333, "formFactor": "SODIMM", "type": "DDR3", "detail": "0x0080"},
        {"locator": "U1", "sizeMB": 8, "formFactor": "Chip", "type": "DRAM", "detail": "0x0008"}])");
    image = WriteImage(d);
    decode();
    ASSERT_EQ(smbios.MemorySlotCount(), 5);
    TMemoryBank a = smbios.MemoryBank(0);
    EXPECT_EQ(a.Socket, "DIMM_A");
    EXPECT_EQ(a.Size, 256u);
    EXPECT_EQ(a.SpeedMHz, 133);
    EXPECT_EQ(engine::MemoryTypeText(a.Types), "DIMM,SDRAM");
    EXPECT_EQ(smbios.MemoryBank(1).Size, 0u) << "no module installed";
    EXPECT_EQ(engine::MemoryTypeText(smbios.MemoryBank(1).Types), "Unknown,DIMM");
    EXPECT_EQ(engine::MemoryTypeText(smbios.MemoryBank(2).Types), "EDO,SIMM");
    EXPECT_EQ(smbios.MemoryBank(3).Size, 2048u);
    EXPECT_EQ(engine::MemoryTypeText(smbios.MemoryBank(3).Types), "DIMM,SDRAM") << "a SODIMM is a DIMM";
    EXPECT_EQ(engine::MemoryTypeText(smbios.MemoryBank(4).Types), "FastPageMode");

    std::vector<std::string> report = ReportOf(smbios);
    auto at = std::find(report.begin(), report.end(), "MemorySlotCount=5");
    ASSERT_NE(at, report.end());
    EXPECT_EQ(std::vector<std::string>(at + 1, at + 5),
              (std::vector<std::string>{"MemoryBank_0=DIMM_A", "MemoryType_0=DIMM,SDRAM", "MemorySize_0=256 MB",
                                        "MemorySize_0=133 MHz"}));

    // Sizes in KB, and the unknown size.
    std::uint32_t device = FindStructure(image, 17, 0);
    image[At(device) + 0x0C] = 0x00;
    image[At(device) + 0x0D] = 0x88;   // 2048 KB
    decode();
    EXPECT_EQ(smbios.MemoryBank(0).Size, 2u);
    image[At(device) + 0x0C] = 0xFF;
    image[At(device) + 0x0D] = 0xFF;
    decode();
    EXPECT_EQ(smbios.MemoryBank(0).Size, 0u);
}

TEST_F(SmbiosDecoding, MemoryModulesWinOverMemoryDevices) {
    // The desktop has both: its modules are listed, its devices are not.
    decode();
    ASSERT_EQ(smbios.MemorySlotCount(), 2);
    EXPECT_EQ(smbios.MemoryBank(0).Socket, "DIMM0");
    EXPECT_EQ(smbios.MemoryBank(0).SpeedMHz, 0);
    EXPECT_EQ(smbios.MemoryBank(1).Socket, "DIMM1");
}

TEST_F(SmbiosDecoding, PortTypeAndConnectorCodes) {
    struct Case {
        std::uint8_t type, connector;
        const char* typeName;
        const char* connectorName;
    } cases[] = {{0xA0, 0xA0, "8251 Compatible", "PC-98"},
                 {0xA1, 0xA4, "8251 FIFO Compatible", "PC-98Full"},
                 {0xFF, 0xFF, "Other", "Other"},
                 {0x1F, 0x21, "Network Port", "1394"},
                 {0x20, 0x22, "SATA", "SAS/SATA Plug Receptacle"},
                 {0x21, 0x23, "SAS", "USB Type-C Receptacle"},
                 {0x23, 0x24, "Thunderbolt", ""},
                 {0x24, 0x28, "", ""},
                 {0xA2, 0xA5, "", ""},   // codes no standard names are nameless, not "Other"
                 {0x9F, 0x9F, "", ""},
                 {0xFE, 0xFE, "", ""},
                 {0xA3, 0x00, "", "None"}};
    for (const auto& c : cases) {
        byte(8, 0x08) = c.type;
        byte(8, 0x05) = c.connector;
        decode();
        EXPECT_EQ(engine::PortTypeName(smbios.Port(0).PortType), c.typeName) << "port type " << int(c.type);
        EXPECT_EQ(engine::ConnectorName(smbios.Port(0).Connector), c.connectorName)
            << "connector " << int(c.connector);
    }
}

TEST_F(SmbiosDecoding, SlotTypeAndBusWidthCodes) {
    struct Case {
        std::uint8_t type, width;
        const char* typeName;
        const char* widthName;
    } cases[] = {{0xA0, 0x07, "PC-98/C20", "128 bit"}, {0xA4, 0x01, "PC-98/Card", "Other"},
                 {0x11, 0x06, "AGP 4X", "64 bit"},     {0x12, 0x05, "PCI-X", "32 bit"},
                 {0x13, 0x08, "AGP 8X", "x1"},         {0x17, 0x0A, "M.2 Socket 3 (Mechanical Key M)", "x4"},
                 {0xA5, 0x0D, "PCI Express", "x16"},   {0xA6, 0x08, "PCI Express x1", "x1"},
                 {0xAA, 0x0E, "PCI Express x16", "x32"}, {0xB6, 0x0D, "PCI Express Gen 3 x16", "x16"},
                 {0xB7, 0x0F, "", ""},                 {0xC4, 0x0B, "PCI Express Gen 6 and Beyond", "x8"},
                 {0x30, 0x0C, "CXL Flexbus 1.0", "x12"}, {0x29, 0x09, "", "x2"},
                 {0x9F, 0x00, "", ""},                 {0xFF, 0x02, "", "Unknown"},
                 {0x00, 0x0D, "", "x16"},              {0x01, 0x02, "Other", "Unknown"}};
    for (const auto& c : cases) {
        byte(9, 0x05) = c.type;
        byte(9, 0x06) = c.width;
        decode();
        EXPECT_EQ(engine::SlotTypeName(smbios.SystemSlot(0).SlotType), c.typeName) << "slot type " << int(c.type);
        EXPECT_EQ(engine::SlotDataBusName(smbios.SystemSlot(0).DataBus), c.widthName) << "width " << int(c.width);
    }
}

TEST_F(SmbiosDecoding, EmptyDesignationsDropPortsAndSlots) {
    byte(9, 0x04) = 0;   // the AGP slot loses its designation
    decode();
    EXPECT_EQ(smbios.SystemSlotCount(), 2);
    EXPECT_EQ(engine::SlotTypeName(smbios.SystemSlot(0).SlotType), "PCI");
    EXPECT_EQ(smbios.PortCount(), 3) << "the port without designator is gone";
    for (int i = 0; i < smbios.PortCount(); ++i) EXPECT_NE(smbios.Port(i).Designator, "");
}

TEST_F(SmbiosDecoding, CacheSizesInKilobytesAndIn64KUnits) {
    auto sizes = [&](std::uint16_t max, std::uint16_t installed) {
        byte(7, 0x07) = std::uint8_t(max);
        byte(7, 0x08) = std::uint8_t(max >> 8);
        byte(7, 0x09) = std::uint8_t(installed);
        byte(7, 0x0A) = std::uint8_t(installed >> 8);
        decode();
        return std::make_pair(smbios.Cache(0).MaxSize, smbios.Cache(0).InstalledSize);
    };
    EXPECT_EQ(sizes(0x0200, 0x0000), std::make_pair(512u, 0u));
    EXPECT_EQ(sizes(0x8020, 0x8010), std::make_pair(2048u, 1024u));
    // 64 MB and more do not fit a 16-bit count of KB; they are kept whole.
    EXPECT_EQ(sizes(0x8400, 0xFFFF), std::make_pair(65536u, 0x7FFFu * 64));

    byte(7, 0x0D) = 0;
    byte(7, 0x0E) = 0;
    decode();
    EXPECT_EQ(engine::SRAMTypeName(smbios.Cache(0).SRAMType), "") << "no SRAM bit set";
    byte(7, 0x0D) = 0xC3;   // bits 0, 1, 6, 7
    decode();
    EXPECT_EQ(engine::SRAMTypeName(smbios.Cache(0).SRAMType), "Asynchronous");
}

TEST_F(SmbiosDecoding, CacheAssociativityCodes) {
    struct Case {
        std::uint8_t code;
        const char* name;
    } cases[] = {{0x01, "Other"}, {0x06, "Fully Associative"}, {0x07, "8-way Set-Associative"},
                 {0x08, "16-way Set-Associative"}, {0x09, "12-way Set-Associative"},
                 {0x0A, "24-way Set-Associative"}, {0x0B, "32-way Set-Associative"},
                 {0x0C, "48-way Set-Associative"}, {0x0D, "64-way Set-Associative"},
                 {0x0E, "20-way Set-Associative"}, {0x0F, ""}, {0x00, ""}};
    for (const auto& c : cases) {
        byte(7, 0x12) = c.code;
        decode();
        EXPECT_EQ(engine::CacheAssociativityName(smbios.Cache(0).Associativity), c.name) << "code " << int(c.code);
    }
}

TEST_F(SmbiosDecoding, OnlyTheFirstProcessorIsDescribed) {
    nlohmann::json d = DesktopDescription();
    d["processors"].push_back({{"socket", "Slot 2"}, {"manufacturer", "Other Vendor"}, {"version", "Second"},
                               {"voltage", 1.8}, {"externalClock", 133}, {"currentSpeed", 933},
                               {"upgrade", "Slot 2"}});
    image = WriteImage(d);
    decode();
    EXPECT_EQ(smbios.CPUSocket(), "Slot 1");
    EXPECT_EQ(smbios.CPUClock(), 450);
    int processors = 0;
    for (const auto& s : smbios.Structures()) processors += s.Type == 4;
    EXPECT_EQ(processors, 2);
}

TEST_F(SmbiosDecoding, ListsKeepEveryRecordAndAreEmptyOutside) {
    nlohmann::json d = DesktopDescription();
    d["caches"] = nlohmann::json::array();
    for (int i = 0; i < 300; ++i)
        d["caches"].push_back({{"designation", "L" + std::to_string(i)}, {"level", 1 + i % 3}, {"maxSizeKB", i}});
    image = WriteImage(d);
    decode();
    ASSERT_EQ(smbios.CacheCount(), 300);
    EXPECT_EQ(smbios.Cache(0).Designation, "L0");
    EXPECT_EQ(smbios.Cache(256).Designation, "L256") << "not the first record again";
    EXPECT_EQ(smbios.Cache(299).MaxSize, 299u);
    EXPECT_EQ(smbios.Cache(300).Designation, "");
    EXPECT_EQ(smbios.Cache(-1).Designation, "");
    EXPECT_EQ(smbios.MemoryBank(257).Socket, "");
    EXPECT_EQ(smbios.SystemSlot(-256).SlotID, 0);
}

// A table laid out by hand: structures separated by runs of zeros, as some
// BIOSes leave them, and entry-point counts that end the walk early.
class SmbiosWalk : public ::testing::Test {
protected:
    static std::vector<std::uint8_t> Structure(std::uint8_t type, std::uint16_t handle, const std::string& text) {
        StructureBuilder s(type, handle);
        s.string(text);
        return s.finish();
    }
    Image Layout(const std::vector<std::vector<std::uint8_t>>& parts, std::uint16_t count, std::uint16_t length = 0) {
        platform::firmware::SmbiosTable t;
        t.major = 2;
        t.minor = 3;
        for (const auto& p : parts) t.structures.insert(t.structures.end(), p.begin(), p.end());
        t.count = count;
        Image im = PlaceInSegment(t);
        if (length) {
            im[0x16] = std::uint8_t(length);
            im[0x17] = std::uint8_t(length >> 8);
        }
        return im;
    }
    TSMBIOS smbios;
};

TEST_F(SmbiosWalk, SeveralBiosStructuresInARowAreEachFound) {
    // A board BIOS followed by two add-in ROMs, then the system: each is a
    // structure of its own, and the system is still found behind them.
    Image im = Layout({Structure(0, 0, "Board BIOS"), Structure(0, 1, "SCSI ROM"), Structure(0, 2, "RAID ROM"),
                       Structure(1, 3, "Maker"), Structure(127, 4, "")},
                      5);
    Decode(smbios, im);
    ASSERT_EQ(smbios.Structures().size(), 5u);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(smbios.Structures()[i].Handle, i);
    EXPECT_EQ(smbios.BIOSVendor(), "Board BIOS") << "the first BIOS structure describes the board";
    EXPECT_EQ(smbios.SystemManufacturer(), "Maker");
}

TEST_F(SmbiosWalk, ABrokenStructureLengthEndsTheWalk) {
    // Zeros where a structure should start read as a structure of length 0,
    // which the standard does not allow: the table ends there.
    std::vector<std::uint8_t> zeros(5, 0);
    Image im = Layout({Structure(0, 0, "Vendor"), zeros, Structure(1, 1, "Maker"), Structure(127, 2, "")}, 4);
    Decode(smbios, im);
    ASSERT_EQ(smbios.Structures().size(), 1u);
    EXPECT_EQ(smbios.BIOSVendor(), "Vendor");
    EXPECT_EQ(smbios.SystemManufacturer(), "");
}

TEST_F(SmbiosWalk, TheCountAndTheLengthOfTheEntryPointEndTheWalk) {
    std::vector<std::vector<std::uint8_t>> parts = {Structure(0, 0, "A"), Structure(1, 1, "B"),
                                                    Structure(2, 2, "C"), Structure(127, 3, "")};
    Decode(smbios, Layout(parts, 2));
    EXPECT_EQ(smbios.Structures().size(), 2u);
    EXPECT_EQ(smbios.MainBoardManufacturer(), "");
    // Each structure here takes 8 bytes: the third is kept only when the
    // length holds all of it.
    Decode(smbios, Layout(parts, 4, 24));
    EXPECT_EQ(smbios.Structures().size(), 3u);
    EXPECT_EQ(smbios.MainBoardManufacturer(), "C");
    Decode(smbios, Layout(parts, 4, 23));
    EXPECT_EQ(smbios.Structures().size(), 2u);
    Decode(smbios, Layout(parts, 100));
    EXPECT_EQ(smbios.Structures().size(), 4u) << "the end-of-table structure ends the walk";
    EXPECT_EQ(ReportOf(smbios)[4], "Structure Table Count=4");
}

TEST_F(SmbiosWalk, SizesBeyondTheOldFieldsComeFromTheNewerOnes) {
    StructureBuilder bios(0, 0);
    bios.string("Vendor");
    bios.string("1.0");
    bios.word(0xE000);
    bios.string("01/01/2020");
    bios.byte(0xFF);   // 16 MB or more: see the word at 18h
    bios.qword(0);
    bios.word(0);
    for (int i = 0; i < 4; ++i) bios.byte(0);
    bios.word(0x0020);   // 32 MB
    StructureBuilder cache(7, 1);
    cache.string("L3");
    cache.word(0x0182);
    cache.word(0xFFFF);   // see the dwords at 13h and 17h
    cache.word(0xFFFF);
    cache.word(0x0002);
    cache.word(0x0002);
    cache.byte(0);
    cache.byte(5);
    cache.byte(5);
    cache.byte(0x08);
    cache.dword(0x80010000);   // 65536 units of 64 KB: 4 GB
    cache.dword(3 * 1024 * 1024);   // 3 GB in KB
    StructureBuilder device(17, 2);
    device.word(0x1000);
    device.word(0xFFFE);
    device.word(64);
    device.word(64);
    device.word(0x7FFF);   // see the dword at 1Ch
    device.byte(0x09);
    device.byte(0);
    device.string("DIMM 0");
    device.string("BANK 0");
    device.byte(0x1A);
    device.word(0x0080);
    device.word(3200);
    for (int i = 0; i < 4; ++i) device.string("");
    device.byte(2);
    device.dword(65536);   // 64 GB
    device.word(3200);
    Decode(smbios, Layout({bios.finish(), cache.finish(), device.finish(), Structure(127, 3, "")}, 4));
    EXPECT_EQ(smbios.BIOSVendor(), "Vendor");
    EXPECT_EQ(smbios.BIOSSize(), 32u * 1024);
    ASSERT_EQ(smbios.CacheCount(), 1);
    EXPECT_EQ(smbios.Cache(0).MaxSize, 4u * 1024 * 1024);
    EXPECT_EQ(smbios.Cache(0).InstalledSize, 3u * 1024 * 1024);
    ASSERT_EQ(smbios.MemorySlotCount(), 1);
    EXPECT_EQ(smbios.MemoryBank(0).Socket, "DIMM 0");
    EXPECT_EQ(smbios.MemoryBank(0).Size, 65536u);
    EXPECT_EQ(smbios.MemoryBank(0).SpeedMHz, 3200);

    // The ROM size in GB, and units the standard has not assigned.
    auto rom = [&](std::uint16_t extended) {
        std::vector<std::uint8_t> b = bios.finish();
        b[0x18] = std::uint8_t(extended);
        b[0x19] = std::uint8_t(extended >> 8);
        Decode(smbios, Layout({b, Structure(127, 3, "")}, 2));
        return smbios.BIOSSize();
    };
    EXPECT_EQ(rom(0x4002), 2u * 1024 * 1024);
    EXPECT_EQ(rom(0x8002), 16384u) << "an unknown unit keeps the byte's 16 MB";
}

TEST_F(SmbiosWalk, UnknownStructureTypesAreNamedUnknown) {
    Decode(smbios, Layout({Structure(0, 0, "A"), Structure(40, 1, ""), Structure(218, 2, "x"),
                           Structure(126, 3, ""), Structure(24, 4, ""), Structure(127, 5, "")},
                          6));
    ASSERT_EQ(smbios.Structures().size(), 6u);
    EXPECT_EQ(smbios.Structures()[1].Name, "Unknown");
    EXPECT_EQ(smbios.Structures()[2].Name, "Unknown");
    EXPECT_EQ(smbios.Structures()[3].Name, "Inactive");
    EXPECT_EQ(smbios.Structures()[4].Name, " Hardware Security");
}

}  // namespace
}  // namespace torvex::testing
