// How the SMBIOS decoder reads a firmware image: where it finds the entry
// point, how it walks the structures, how it takes strings and how it turns
// the codes into names and sizes.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/SmbiosImages.h"

namespace torvex::testing {
namespace {

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

TEST_F(SmbiosDecoding, TheFirstSmAnchorWinsOverLaterOnes) {
    auto table = platform::firmware::BuildTable(DesktopDescription(), "test");
    image = PlaceInSegment(table, 0xF9000, 0xF9020);
    // A stray "_SM_" text earlier in the segment is taken for the entry
    // point: its fields read zero, so there is no table to walk.
    std::memcpy(image.data() + At(0xF0100), "_SM_", 4);
    decode();
    EXPECT_EQ(smbios.EntryPoint(), 0xF0100u);
    EXPECT_TRUE(smbios.Structures().empty());
    EXPECT_EQ(smbios.BIOSVendor(), "");
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

TEST_F(SmbiosDecoding, StringsAreTakenInSequenceNotByNumber) {
    // The system structure numbers its strings 2, 1, 3, 4: the engine still
    // gives the first string to the manufacturer.
    byte(1, 0x04) = 2;
    byte(1, 0x05) = 1;
    decode();
    EXPECT_EQ(smbios.SystemManufacturer(), "Fjordtek");
    EXPECT_EQ(smbios.SystemModel(), "FT-440BX");

    // A field numbered 0 is empty and takes no string: the next field gets
    // the string the empty one would have had.
    byte(1, 0x05) = 0;
    decode();
    EXPECT_EQ(smbios.SystemModel(), "");
    EXPECT_EQ(smbios.SystemVersion(), "FT-440BX");
    EXPECT_EQ(smbios.SystemSerial(), "1.0");
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
                 {0x18, "Sealed-case PC"}, {0x19, ""}, {0x00, ""}, {0x83, ""}, {0x9F, ""}};
    for (const auto& c : cases) {
        byte(3, 0x05) = c.type;
        EXPECT_EQ(decode().ChassisModel(), c.model) << "chassis byte " << int(c.type);
    }
}

TEST_F(SmbiosDecoding, ProcessorUpgradeNames) {
    struct Case {
        std::uint8_t value;
        const char* name;
    } cases[] = {{0x04, "ZIF Socket"}, {0x09, "Slot 2"}, {0x0A, ""}, {0x00, ""}, {0x06, "None"}};
    for (const auto& c : cases) {
        byte(4, 0x19) = c.value;
        EXPECT_EQ(decode().CPUUpgrade(), c.name) << "upgrade byte " << int(c.value);
    }
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
                 {0x20, 0x22, "", "PC-98"},   // SATA and SAS/SATA plugs are newer than the tables
                 {0x21, 0x28, "", ""},
                 {0xA2, 0xA5, "Other", ""},   // A2h less 80h lands on "Other"
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
                 {0x11, 0x06, "AGP 4X", "64 bit"},     {0x12, 0x08, "", ""},
                 {0xA5, 0x00, "", ""},                 {0x00, 0x0D, "", ""},
                 {0x01, 0x02, "Other", "Unknown"}};
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

TEST_F(SmbiosDecoding, RecordsAreReadModulo256AndEmptyPastTheEnd) {
    decode();
    EXPECT_EQ(smbios.MemoryBank(256).Socket, "DIMM0");
    EXPECT_EQ(smbios.MemoryBank(257).Socket, "DIMM1");
    EXPECT_EQ(smbios.MemoryBank(2).Socket, "");
    EXPECT_EQ(smbios.Port(255).Designator, "");
    EXPECT_EQ(smbios.SystemSlot(-256).SlotID, 8);
    EXPECT_EQ(smbios.Cache(7).MaxSize, 0u);
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

TEST_F(SmbiosWalk, ZeroRunsAreSkippedOnceABiosStructureWasSeen) {
    std::vector<std::uint8_t> zeros(5, 0);
    Image im = Layout({Structure(0, 0, "Vendor"), zeros, Structure(1, 1, "Maker"), Structure(127, 2, "")}, 3);
    Decode(smbios, im);
    ASSERT_EQ(smbios.Structures().size(), 3u);
    EXPECT_EQ(smbios.Structures()[1].Type, 1);
    EXPECT_EQ(smbios.Structures()[1].Address, 0xF0020u + 13 + 5);
    EXPECT_EQ(smbios.SystemManufacturer(), "Maker");
    EXPECT_EQ(smbios.Structures()[2].Name, "End-of-Table");
}

TEST_F(SmbiosWalk, WithoutABiosStructureAZeroRunIsReadAsStructures) {
    std::vector<std::uint8_t> zeros(4, 0);
    Image im = Layout({Structure(1, 1, "Maker"), zeros, Structure(2, 2, "Board"), Structure(127, 3, "")}, 10);
    Decode(smbios, im);
    // The padding after the system structure is read as a structure of
    // type 0 with length 0; from there on zero runs are skipped.
    ASSERT_GE(smbios.Structures().size(), 3u);
    EXPECT_EQ(smbios.Structures()[1].Type, 0);
    EXPECT_EQ(smbios.Structures()[1].Length, 0);
    EXPECT_EQ(smbios.Structures()[2].Type, 2);
    EXPECT_EQ(smbios.MainBoardManufacturer(), "Board");
}

TEST_F(SmbiosWalk, TheCountAndTheLengthOfTheEntryPointEndTheWalk) {
    std::vector<std::vector<std::uint8_t>> parts = {Structure(0, 0, "A"), Structure(1, 1, "B"),
                                                    Structure(2, 2, "C"), Structure(127, 3, "")};
    Decode(smbios, Layout(parts, 2));
    EXPECT_EQ(smbios.Structures().size(), 2u);
    EXPECT_EQ(smbios.MainBoardManufacturer(), "");
    // Each structure here takes 8 bytes: a length of 17 lets the third start.
    Decode(smbios, Layout(parts, 4, 17));
    EXPECT_EQ(smbios.Structures().size(), 3u);
    Decode(smbios, Layout(parts, 4, 16));
    EXPECT_EQ(smbios.Structures().size(), 2u);
    Decode(smbios, Layout(parts, 100));
    EXPECT_EQ(smbios.Structures().size(), 4u) << "the end-of-table structure ends the walk";
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
