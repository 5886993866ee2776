// Real firmware: a Pentium III office PC's F0000h segment, its damaged
// twin, and dumps of four later machines' tables moved into a segment the
// way the live host's tables are. What the engine reports is checked
// against dmidecode's reading of the same structures; where the engine's
// own rules give something else, the difference is written next to the
// expectation.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>

#include "platform/machine/TextUtil.h"

#include "platform/host/HostFirmware.h"
#include "tests/SmbiosImages.h"

namespace torvex::testing {
namespace {

namespace fs = std::filesystem;
using engine::TSMBIOS;

fs::path Firmware() { return fs::path(TORVEX_REALDATA_DIR) / "firmware"; }

std::optional<Image> ReadFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    return Image{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A dump file holds the entry point at 0 and the structure table at 20h,
// the two pieces the kernel shows as smbios_entry_point and DMI.
std::optional<Image> RelocatedDump(const fs::path& file) {
    auto bytes = ReadFile(file);
    if (!bytes || bytes->size() < 0x20) return std::nullopt;
    Image entry(bytes->begin(), bytes->begin() + 0x20);
    Image table(bytes->begin() + 0x20, bytes->end());
    return platform::host::RelocateTables(entry, table);
}

// dmidecode's text, one block per structure: "Key: value" lines.
struct Block {
    int type = -1;
    std::map<std::string, std::string> fields;
    std::string get(const std::string& key) const {
        auto it = fields.find(key);
        return it == fields.end() ? "(missing)" : it->second;
    }
};

std::vector<Block> ParseDmidecode(const fs::path& file) {
    std::ifstream in(file);
    std::vector<Block> blocks;
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("Handle 0x", 0) == 0) {
            blocks.emplace_back();
            auto t = line.find("DMI type ");
            blocks.back().type = std::stoi(line.substr(t + 9));
        } else if (!blocks.empty() && line.size() > 1 && line[0] == '\t' && line[1] != '\t') {
            auto colon = line.find(':');
            if (colon == std::string::npos) continue;
            // Blanks around a string are dmidecode's raw bytes; the engine
            // trims them.
            blocks.back().fields[line.substr(1, colon - 1)] = platform::Trim(line.substr(colon + 1));
        }
    }
    return blocks;
}

// A string field numbered 0 makes dmidecode say "Not Specified", a number
// beyond the structure's strings "<BAD INDEX>"; the engine gives an empty
// text for both.
bool SameString(const std::string& engine, const std::string& dmidecode) {
    return engine == dmidecode || (engine.empty() && (dmidecode == "Not Specified" || dmidecode == "<BAD INDEX>"));
}

// dmidecode's name for a code where the engine's own table spells it
// differently, or has no name for it.
std::string EngineName(const std::string& dmidecode) {
    static const std::map<std::string, std::string> names = {
        {"FPM", "FastPageMode"}, {"Parity", ""},
        {"Laptop", "LapTop"}, {"All In One", "All in One"}, {"Sub Chassis", "SubChassis"},
        {"DB-25 male", "DB-25 pin male"}, {"DB-25 female", "DB-25 pin female"},
        {"DB-15 male", "DB-15 pin male"}, {"DB-15 female", "DB-15 pin female"},
        {"DB-9 male", "DB-9 pin male"}, {"DB-9 female", "DB-9 pin female"},
        {"Mini DIN", "Mini-DIN"}, {"Micro DIN", "Micro-DIN"}, {"Mini Jack (headphones)", "Mini-jack (headphones)"},
        {"On Board Sound Input From CD-ROM", "On Board Sound Input from CD-ROM"},
        {"IEEE 1394", "1394"}, {"Firewire (IEEE P1394)", "FireWire (IEEE P1394)"},
        {"Joystick Port", "Joy Stick Port"}, {"VLB", "VL-VESA"}, {"PCI-66", "PCI - 66MHz Capable"},
        {"AGP 2x", "AGP 2X"}, {"AGP 4x", "AGP 4X"}, {"Processor Card", "Processor Card Slot"},
        {"I/O Riser Card", "I/O Riser Card Slot"},
        {"2-way Set-associative", "2-way Set-Associative"}, {"4-way Set-associative", "4-way Set-Associative"},
        {"8-way Set-associative", "8-way Set-Associative"}, {"16-way Set-associative", "16-way Set-Associative"},
        {"12-way Set-associative", "12-way Set-Associative"}, {"24-way Set-associative", "24-way Set-Associative"},
        {"32-way Set-associative", "32-way Set-Associative"}, {"20-way Set-associative", "20-way Set-Associative"},
        {"AGP 8x", "AGP 8X"}, {"Multi-system", "Multi-system chassis"}, {"CompactPCI", "Compact PCI"},
        {"AdvancedTCA", "Advanced TCA"}, {"Blade Enclosing", "Blade Enclosure"},
        {"370-pin Socket", "370-pin socket"},
        // dmidecode 3.4 keeps the name an early edition of the standard
        // gave code 24h; the standard has long since called it LGA1155.
        {"Socket BGA1155", "Socket LGA1155"}};
    auto it = names.find(dmidecode);
    return it == names.end() ? dmidecode : it->second;
}

// "42 ns", "128 kB", "1 MB", "3400 MHz", "Unknown" -> the number (kB for sizes).
long Number(const std::string& text) {
    if (text == "Unknown" || text == "Not Installed" || text == "Not Determinable" || text == "Disabled" ||
        text == "No Module Installed")
        return 0;
    long n = std::atol(text.c_str());
    if (text.find(" MB") != std::string::npos) n *= 1024;
    if (text.find(" GB") != std::string::npos) n *= 1024 * 1024;
    return n;
}

// Where the engine's values differ from dmidecode's reading of the same
// structure, as "what: engine | dmidecode". The engine's own rules (the
// first structure of a single type, memory devices only without memory
// modules, its spellings of the names, UUID bytes in memory order, the
// highest SRAM bit, no entries without a designation) are applied to
// dmidecode's reading first.
class Comparison {
public:
    Comparison(const TSMBIOS& s, std::vector<Block> blocks) : s_(s), blocks_(std::move(blocks)) {}

    std::vector<std::string> Run() {
        if (const Block* b = First(0)) {
            Text("BIOS Vendor", s_.BIOSVendor(), b->get("Vendor"));
            Text("BIOS Version", s_.BIOSVersion(), b->get("Version"));
            Text("BIOS Date", s_.BIOSDate(), b->get("Release Date"));
            Num("BIOS Size", s_.BIOSSize(), Number(b->get("ROM Size")));
        }
        if (const Block* b = First(1)) {
            Text("System Manufacturer", s_.SystemManufacturer(), b->get("Manufacturer"));
            Text("System Model", s_.SystemModel(), b->get("Product Name"));
            Text("System Version", s_.SystemVersion(), b->get("Version"));
            Text("System Serial", s_.SystemSerial(), b->get("Serial Number"));
            Text("System UUID", s_.SystemUUID(), MemoryOrderUuid(b->get("UUID")));
        }
        if (const Block* b = First(2)) {
            Text("Mainboard Manufacturer", s_.MainBoardManufacturer(), b->get("Manufacturer"));
            Text("Mainboard Model", s_.MainBoardModel(), b->get("Product Name"));
            Text("Mainboard Version", s_.MainBoardVersion(), b->get("Version"));
            Text("Mainboard Serial", s_.MainBoardSerial(), b->get("Serial Number"));
        }
        if (const Block* b = First(3)) {
            Text("Chassis Model", s_.ChassisModel(), EngineName(b->get("Type")));
            Text("Chassis Manufacturer", s_.ChassisManufacturer(), b->get("Manufacturer"));
            Text("Chassis Version", s_.ChassisVersion(), b->get("Version"));
            Text("Chassis Serial", s_.ChassisSerial(), b->get("Serial Number"));
        }
        if (const Block* b = First(4)) {
            Text("CPU Socket", s_.CPUSocket(), b->get("Socket Designation"));
            Text("CPU Manufacturer", s_.CPUManufacturer(), b->get("Manufacturer"));
            Text("CPU Version", s_.CPUVersion(), b->get("Version"));
            Text("CPU Upgrade", s_.CPUUpgrade(), EngineName(b->get("Upgrade")));
            // Legacy voltage bits list every voltage; the engine takes the
            // first of 5 V, 3.3 V, 2.9 V, as dmidecode lists them.
            std::string volts = b->get("Voltage");
            Text("CPU Voltage", Format("%1.1f V", {s_.CPUVoltage()}), volts.substr(0, volts.find(" V") + 2));
            Num("CPU External Clock", s_.CPUExternalClock(), Number(b->get("External Clock")));
            Num("CPU Clock", s_.CPUClock(), Number(b->get("Current Speed")));
        }
        auto modules = All(6);
        if (modules.empty()) Devices();
        else Num("MemorySlotCount", s_.MemorySlotCount(), long(modules.size()));
        for (std::size_t i = 0; i < modules.size() && i < std::size_t(s_.MemorySlotCount()); ++i) {
            const Block& b = *modules[i];
            auto m = s_.MemoryBank(int(i));
            std::string at = "Module " + std::to_string(i) + " ";
            Num(at + "speed in MHz", m.SpeedMHz, 0);
            Text(at + "socket", m.Socket, b.get("Socket Designation"));
            Num(at + "speed", m.Speed, Number(b.get("Current Speed")));
            Num(at + "size", long(m.Size) * 1024, Number(b.get("Installed Size")));
            std::string listed = b.get("Type"), types;
            for (std::size_t k; (k = listed.find("Burst EDO")) != std::string::npos;) listed.replace(k, 9, "BurstEDO");
            std::istringstream words(listed);
            for (std::string w; words >> w;) {
                std::string name = EngineName(w);
                if (!name.empty()) types += (types.empty() ? "" : ",") + name;
            }
            Text(at + "type", engine::MemoryTypeText(m.Types), types);
        }
        auto caches = All(7);
        Num("CacheCount", s_.CacheCount(), long(caches.size()));
        for (std::size_t i = 0; i < caches.size() && i < std::size_t(s_.CacheCount()); ++i) {
            const Block& b = *caches[i];
            auto c = s_.Cache(int(i));
            std::string at = "Cache " + std::to_string(i) + " ";
            Text(at + "designation", c.Designation, b.get("Socket Designation"));
            Num(at + "maximum", c.MaxSize, Number(b.get("Maximum Size")));
            Num(at + "installed", c.InstalledSize, Number(b.get("Installed Size")));
            // dmidecode lists every SRAM bit set; the engine keeps the highest.
            std::istringstream words(b.get("Installed SRAM Type"));
            std::string last;
            for (std::string w; words >> w;) last = (w == "Burst" && last == "Pipeline") ? "Pipeline Burst" : w;
            Text(at + "SRAM", engine::SRAMTypeName(c.SRAMType), last);
            Num(at + "speed", c.Speed, Number(b.get("Speed")));
            Text(at + "type", engine::CacheTypeName(c.CacheType), b.get("System Type"));
            Text(at + "associativity", engine::CacheAssociativityName(c.Associativity),
                 EngineName(b.get("Associativity")));
        }
        // Ports and slots without a designation are not listed.
        std::vector<const Block*> ports;
        for (const Block* b : All(8)) {
            std::string d = b->get("Internal Reference Designator");
            if (d != "Not Specified" && !d.empty()) ports.push_back(b);
        }
        Num("PortCount", s_.PortCount(), long(ports.size()));
        for (std::size_t i = 0; i < ports.size() && i < std::size_t(s_.PortCount()); ++i) {
            auto p = s_.Port(int(i));
            std::string at = "Port " + std::to_string(i) + " ";
            Text(at + "designator", p.Designator, ports[i]->get("Internal Reference Designator"));
            Text(at + "type", engine::PortTypeName(p.PortType), EngineName(ports[i]->get("Port Type")));
            Text(at + "connector", engine::ConnectorName(p.Connector),
                 EngineName(ports[i]->get("Internal Connector Type")));
        }
        std::vector<const Block*> slots;
        for (const Block* b : All(9)) {
            std::string d = b->get("Designation");
            if (d != "Not Specified" && !d.empty()) slots.push_back(b);
        }
        Num("SystemSlotCount", s_.SystemSlotCount(), long(slots.size()));
        for (std::size_t i = 0; i < slots.size() && i < std::size_t(s_.SystemSlotCount()); ++i) {
            auto sl = s_.SystemSlot(int(i));
            std::string at = "Slot " + std::to_string(i) + " ";
            Text(at + "designation", sl.Designation, slots[i]->get("Designation"));
            // dmidecode shows no ID for a slot type it has no ID rule for.
            if (slots[i]->get("ID") != "(missing)") Num(at + "id", sl.SlotID, std::atol(slots[i]->get("ID").c_str()));
            // dmidecode writes the bus width in front of the type: "32-bit PCI".
            std::string type = slots[i]->get("Type"), width;
            static const std::pair<const char*, const char*> widths[] = {
                {"8-bit ", "8 bit"}, {"16-bit ", "16 bit"}, {"32-bit ", "32 bit"}, {"64-bit ", "64 bit"},
                {"128-bit ", "128 bit"}, {"x1 ", "x1"}, {"x2 ", "x2"}, {"x4 ", "x4"}, {"x8 ", "x8"}, {"x12 ", "x12"},
                {"x16 ", "x16"}, {"x32 ", "x32"}};
            bool prefixed = false;
            for (const auto& [prefix, name] : widths)
                if (!prefixed && type.rfind(prefix, 0) == 0) {
                    width = name;
                    type = type.substr(std::strlen(prefix));
                    prefixed = true;
                }
            Text(at + "type", engine::SlotTypeName(sl.SlotType), EngineName(type));
            std::string engineWidth = engine::SlotDataBusName(sl.DataBus);
            if (prefixed) Text(at + "bus width", engineWidth, width);
            else if (engineWidth != "Other" && engineWidth != "Unknown") Text(at + "bus width", engineWidth, "Other or Unknown");
        }
        return differences_;
    }

private:
    // Without memory-module structures the memory devices are the modules:
    // the locator, the size, the clock, and the type bits that the form
    // factor and the type detail give.
    void Devices() {
        auto devices = All(17);
        Num("MemorySlotCount", s_.MemorySlotCount(), long(devices.size()));
        for (std::size_t i = 0; i < devices.size() && i < std::size_t(s_.MemorySlotCount()); ++i) {
            const Block& b = *devices[i];
            auto m = s_.MemoryBank(int(i));
            std::string at = "Device " + std::to_string(i) + " ";
            Text(at + "socket", m.Socket, b.get("Locator"));
            Num(at + "size", long(m.Size) * 1024, Number(b.get("Size")));
            Num(at + "speed", m.SpeedMHz, Number(b.get("Speed")));
            std::string form = b.get("Form Factor"), detail = " " + b.get("Type Detail") + " ";
            TMemoryTypesBuilder t;
            if (detail.find(" Other ") != std::string::npos) t.add("Other");
            if (detail.find(" Unknown ") != std::string::npos) t.add("Unknown");
            if (detail.find(" Fast-paged ") != std::string::npos) t.add("FastPageMode");
            if (detail.find(" EDO ") != std::string::npos) t.add("EDO");
            if (form == "SIMM") t.add("SIMM");
            if (form == "DIMM" || form == "SODIMM" || form == "FB-DIMM") t.add("DIMM");
            if (detail.find(" Synchronous ") != std::string::npos) t.add("SDRAM");
            Text(at + "type", engine::MemoryTypeText(m.Types), t.text);
        }
    }
    struct TMemoryTypesBuilder {
        std::string text;
        void add(const char* name) { text += (text.empty() ? "" : ",") + std::string(name); }
    };
    const Block* First(int type) const {
        for (const auto& b : blocks_)
            if (b.type == type) return &b;
        return nullptr;
    }
    std::vector<const Block*> All(int type) const {
        std::vector<const Block*> out;
        for (const auto& b : blocks_)
            if (b.type == type) out.push_back(&b);
        return out;
    }
    // dmidecode writes SMBIOS 2.6 and later UUIDs with the first three
    // fields as little-endian numbers; the engine writes the bytes as they
    // lie in memory, in upper case without dashes.
    std::string MemoryOrderUuid(const std::string& uuid) const {
        std::string hex;
        for (char c : uuid)
            if (c != '-') hex += char(std::toupper(static_cast<unsigned char>(c)));
        if (hex.size() != 32) return uuid;
        const std::string& v = s_.Version();
        int major = std::atoi(v.c_str());
        int minor = std::atoi(v.substr(v.find('.') + 1).c_str());
        if (major > 2 || (major == 2 && minor >= 6)) {
            auto swap = [&](std::size_t from, std::size_t bytes) {
                std::string part = hex.substr(from, bytes * 2), out;
                for (std::size_t k = bytes; k-- > 0;) out += part.substr(k * 2, 2);
                hex.replace(from, bytes * 2, out);
            };
            swap(0, 4);
            swap(8, 2);
            swap(12, 2);
        }
        return hex;
    }
    void Text(const std::string& what, const std::string& engine, const std::string& dmidecode) {
        ++checks_;
        if (!SameString(engine, dmidecode)) differences_.push_back(what + ": \"" + engine + "\" | \"" + dmidecode + "\"");
    }
    void Num(const std::string& what, long engine, long dmidecode) {
        ++checks_;
        if (engine != dmidecode)
            differences_.push_back(what + ": " + std::to_string(engine) + " | " + std::to_string(dmidecode));
    }
    const TSMBIOS& s_;
    std::vector<Block> blocks_;
    std::vector<std::string> differences_;

public:
    int checks_ = 0;   // values compared
};

class RealFirmware : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(Firmware()))
            GTEST_SKIP() << "real firmware dumps not found at " << Firmware().string();
    }
    void LoadSegment(const char* name) {
        auto image = ReadFile(Firmware() / name);
        ASSERT_TRUE(image) << name;
        ASSERT_EQ(image->size(), 65536u) << name;
        Decode(smbios, *image);
    }
    void LoadDump(const char* name) {
        auto image = RelocatedDump(Firmware() / name);
        ASSERT_TRUE(image) << name;
        Decode(smbios, *image);
    }
    std::vector<std::string> Differences(const std::string& stem) {
        if (std::getenv("TORVEX_SMBIOS_PRINT"))
            for (const auto& l : ReportOf(smbios)) std::cout << l << "\n";
        Comparison c(smbios, ParseDmidecode(Firmware() / (stem + ".dmidecode.txt")));
        auto differences = c.Run();
        checks = c.checks_;
        return differences;
    }
    TSMBIOS smbios;
    int checks = 0;
};

TEST_F(RealFirmware, TheOfficePcsSegmentAgreesWithDmidecode) {
    LoadSegment("optiplex-gx110.f000.bin");
    EXPECT_EQ(smbios.EntryPoint(), 0xF0430u);
    EXPECT_EQ(smbios.TableAddress(), 0xF0450u);
    EXPECT_EQ(smbios.Version(), "2.3");
    EXPECT_EQ(smbios.Structures().size(), 58u);
    EXPECT_EQ(Differences("optiplex-gx110"), std::vector<std::string>{});
    EXPECT_GE(checks, 60);
    EXPECT_EQ(smbios.SystemModel(), "OptiPlex GX110") << "trailing blanks trimmed";
    EXPECT_EQ(smbios.SystemUUID(), "44454C4C00B41036804580C04F475748");
    EXPECT_EQ(smbios.BIOSSize(), 512u);
    // The voltage byte has the 3.3 V and 2.9 V bits: the engine takes 3.3 V.
    EXPECT_DOUBLE_EQ(smbios.CPUVoltage(), 3.3);
    EXPECT_EQ(smbios.PortCount(), 12);
    EXPECT_EQ(smbios.SystemSlotCount(), 3);
    // This BIOS describes its memory with memory devices only.
    ASSERT_EQ(smbios.MemorySlotCount(), 2);
    EXPECT_EQ(smbios.MemoryBank(1).Socket, "DIMM_B");
    EXPECT_EQ(smbios.MemoryBank(1).Size, 256u);
    EXPECT_EQ(engine::MemoryTypeText(smbios.MemoryBank(1).Types), "DIMM,SDRAM");
    EXPECT_EQ(smbios.MemoryBank(1).SpeedMHz, 100);
    EXPECT_EQ(smbios.MemoryBank(0).Size, 0u) << "DIMM_A is empty";
    EXPECT_EQ(smbios.MemoryBank(0).SpeedMHz, 0) << "an empty socket has no speed";
}

TEST_F(RealFirmware, TheDamagedTwinDecodesWhatIsWhole) {
    LoadSegment("optiplex-gx110-bad-strings.f000.bin");
    EXPECT_EQ(smbios.EntryPoint(), 0xFAE30u);
    EXPECT_EQ(smbios.TableAddress(), 0xFAE50u);
    EXPECT_EQ(smbios.StructureCount(), 77);
    // Behind the BIOS structure and one more lies a structure of length 0:
    // the table is broken there, and the walk ends, as dmidecode's does.
    EXPECT_EQ(smbios.Structures().size(), 3u);
    EXPECT_EQ(Differences("optiplex-gx110-bad-strings"), std::vector<std::string>{})
        << "the version and date numbers point past the strings: empty where dmidecode says <BAD INDEX>";
    EXPECT_EQ(smbios.BIOSVendor(), "Dell Computer Corporation");
    EXPECT_EQ(smbios.BIOSVersion(), "");
    EXPECT_EQ(smbios.BIOSDate(), "");
    EXPECT_EQ(smbios.BIOSSize(), 512u);
    EXPECT_EQ(smbios.SystemManufacturer(), "") << "behind the broken structure";
    EXPECT_EQ(smbios.CacheCount(), 0);
    EXPECT_EQ(smbios.SystemSlotCount(), 0);
}

TEST_F(RealFirmware, AServerWithThreeBiosStructuresInARow) {
    LoadDump("dell-poweredge-8450.dmibin");
    EXPECT_EQ(smbios.Version(), "2.1");
    EXPECT_EQ(smbios.StructureCount(), 164) << "the firmware's own count";
    EXPECT_EQ(smbios.Structures().size(), 164u);
    EXPECT_EQ(ReportOf(smbios)[4], "Structure Table Count=164");
    int bios = 0;
    for (const auto& st : smbios.Structures()) bios += st.Type == 0;
    EXPECT_EQ(bios, 3) << "the board's BIOS and two add-in ROMs";
    EXPECT_EQ(Differences("dell-poweredge-8450"), std::vector<std::string>{});
    EXPECT_GE(checks, 100);
    // Its BIOS fields use strings 3, 1 and 2.
    EXPECT_EQ(smbios.BIOSVendor(), "Intel Corporation");
    EXPECT_EQ(smbios.BIOSVersion(), "SABR1.86J.0012.P12.0103051047");
    EXPECT_EQ(smbios.BIOSDate(), "03/05/2001");
    EXPECT_EQ(smbios.SystemModel(), "Dell PowerEdge 8450");
    EXPECT_NE(smbios.MainBoardManufacturer(), "");
}

TEST_F(RealFirmware, ALaptopWithAnUnusedString) {
    LoadDump("dell-latitude-d500.dmibin");
    EXPECT_EQ(Differences("dell-latitude-d500"), std::vector<std::string>{});
    EXPECT_GE(checks, 60);
    EXPECT_EQ(smbios.ChassisSerial(), "5QK2X31") << "string 3, behind an unused string 2";
    EXPECT_EQ(smbios.ChassisModel(), "Portable");
}

TEST_F(RealFirmware, AChassisWithALock) {
    LoadDump("dell-poweredge-2450.dmibin");
    EXPECT_EQ(Differences("dell-poweredge-2450"), std::vector<std::string>{});
    EXPECT_GE(checks, 60);
    EXPECT_EQ(smbios.ChassisModel(), "Main Server Chassis") << "the type byte is 91h: lock bit and 11h";
}

TEST_F(RealFirmware, AVirtualMachineWithHundredsOfRecords) {
    LoadDump("vmware-virtual-platform.dmibin");
    EXPECT_EQ(smbios.Version(), "2.7");
    EXPECT_EQ(smbios.Structures().size(), 620u);
    EXPECT_EQ(Differences("vmware-virtual-platform"), std::vector<std::string>{});
    EXPECT_GE(checks, 1000);
    EXPECT_EQ(smbios.CacheCount(), 256);
    EXPECT_EQ(smbios.Cache(255).Designation, "L2");
    EXPECT_EQ(smbios.Cache(256).Designation, "");
    EXPECT_EQ(smbios.SystemSlotCount(), 7);
    EXPECT_EQ(smbios.MemorySlotCount(), 15) << "its memory modules, not its 128 memory devices";
}

TEST_F(RealFirmware, FourLaterMachinesMovedAsTheHostsTablesAre) {
    LoadDump("gigabyte-ga-ma74gmt-s2.dmibin");
    EXPECT_EQ(smbios.Version(), "2.4");
    EXPECT_EQ(Differences("gigabyte-ga-ma74gmt-s2"), std::vector<std::string>{});
    EXPECT_GE(checks, 100);
    EXPECT_EQ(smbios.MemorySlotCount(), 4);
    EXPECT_EQ(engine::MemoryTypeText(smbios.MemoryBank(2).Types), "Other,Unknown,EDO");
    EXPECT_EQ(smbios.MemoryBank(2).Size, 1024u);
    EXPECT_EQ(smbios.CPUSocket(), "Socket M2");

    LoadDump("lenovo-thinkpad-w510.dmibin");
    EXPECT_EQ(smbios.Version(), "2.6");
    EXPECT_EQ(Differences("lenovo-thinkpad-w510"), std::vector<std::string>{})
        << "the media-card and smart-card slots have ID 4, which dmidecode does not show for type Other";
    EXPECT_GE(checks, 100);
    EXPECT_EQ(smbios.SystemUUID(), "EE55F001507B11CB89B7B3FC67FDC149") << "bytes in memory order";
    EXPECT_EQ(smbios.SystemSlot(1).SlotID, 4);

    LoadDump("msi-ms-7816.dmibin");
    EXPECT_EQ(smbios.Version(), "2.8");
    EXPECT_EQ(Differences("msi-ms-7816"),
              (std::vector<std::string>{
                  // Sixteen bytes of FFh mean "no UUID" to dmidecode; the
                  // engine writes the bytes.
                  "System UUID: \"FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF\" | \"Not Present\"",
              }));
    EXPECT_GE(checks, 100);
    EXPECT_EQ(smbios.BIOSSize(), 16384u) << "ROM size byte FFh: 256 x 64 K";

    LoadDump("lenovo-thinkpad-t480.dmibin");
    EXPECT_EQ(smbios.Version(), "3.0") << "a table with only an \"_SM3_\" entry point keeps its version";
    EXPECT_EQ(Differences("lenovo-thinkpad-t480"), std::vector<std::string>{});
    EXPECT_GE(checks, 60);
    EXPECT_EQ(smbios.Structures().back().Type, 127);
}

}  // namespace
}  // namespace torvex::testing
