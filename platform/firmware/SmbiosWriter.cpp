#include "platform/firmware/SmbiosWriter.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <map>
#include <stdexcept>

#include "platform/machine/Machine.h"
#include "platform/machine/TextUtil.h"

namespace torvex::platform::firmware {

using nlohmann::json;

StructureBuilder::StructureBuilder(std::uint8_t type, std::uint16_t handle) {
    area_ = {type, 0, std::uint8_t(handle & 0xFF), std::uint8_t(handle >> 8)};
}

void StructureBuilder::word(std::uint16_t v) {
    byte(std::uint8_t(v));
    byte(std::uint8_t(v >> 8));
}

void StructureBuilder::dword(std::uint32_t v) {
    word(std::uint16_t(v));
    word(std::uint16_t(v >> 16));
}

void StructureBuilder::qword(std::uint64_t v) {
    dword(std::uint32_t(v));
    dword(std::uint32_t(v >> 32));
}

void StructureBuilder::string(const std::string& text) {
    if (text.empty()) {
        byte(0);
        return;
    }
    strings_.push_back(text);
    byte(std::uint8_t(strings_.size()));
}

void StructureBuilder::unnumberedString(const std::string& text) { strings_.push_back(text); }

void StructureBuilder::length(std::size_t length) { area_.resize(length, 0); }

std::vector<std::uint8_t> StructureBuilder::finish() const {
    std::vector<std::uint8_t> out = area_;
    out[1] = std::uint8_t(area_.size());
    for (const auto& s : strings_) {
        out.insert(out.end(), s.begin(), s.end());
        out.push_back(0);
    }
    if (strings_.empty()) out.push_back(0);
    out.push_back(0);
    return out;
}

std::uint8_t ChecksumOf(const std::uint8_t* data, std::size_t size) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum = std::uint8_t(sum + data[i]);
    return std::uint8_t(0x100 - sum);
}

namespace {

using Names = std::map<std::string, std::uint32_t>;

// The standard's names for the codes a description may spell out.
const Names kChassisTypes = {
    {"Other", 1}, {"Unknown", 2}, {"Desktop", 3}, {"Low Profile Desktop", 4}, {"Pizza Box", 5},
    {"Mini Tower", 6}, {"Tower", 7}, {"Portable", 8}, {"Laptop", 9}, {"Notebook", 10},
    {"Hand Held", 11}, {"Docking Station", 12}, {"All In One", 13}, {"Sub Notebook", 14},
    {"Space-saving", 15}, {"Lunch Box", 16}, {"Main Server Chassis", 17},
    {"Expansion Chassis", 18}, {"Sub Chassis", 19}, {"Bus Expansion Chassis", 20},
    {"Peripheral Chassis", 21}, {"RAID Chassis", 22}, {"Rack Mount Chassis", 23},
    {"Sealed-case PC", 24}, {"Multi-system", 25}, {"Tablet", 30}, {"Convertible", 31},
    {"Detachable", 32}, {"Mini PC", 35}};
const Names kUpgrades = {
    {"Other", 1}, {"Unknown", 2}, {"Daughter Board", 3}, {"ZIF Socket", 4},
    {"Replaceable Piggy Back", 5}, {"None", 6}, {"LIF Socket", 7}, {"Slot 1", 8}, {"Slot 2", 9},
    {"370-pin Socket", 10}, {"Slot A", 11}, {"Slot M", 12}, {"Socket 423", 13},
    {"Socket A (Socket 462)", 14}, {"Socket 478", 15}, {"Socket 754", 16}, {"Socket 940", 17},
    {"Socket 939", 18}, {"Socket mPGA604", 19}, {"Socket LGA771", 20}, {"Socket LGA775", 21},
    {"Socket S1", 22}, {"Socket AM2", 23}, {"Socket F (1207)", 24}, {"Socket LGA1366", 25}};
const Names kProcessorTypes = {{"Other", 1}, {"Unknown", 2}, {"Central Processor", 3},
                               {"Math Processor", 4}, {"DSP Processor", 5}, {"Video Processor", 6}};
const Names kWakeUp = {{"Other", 1}, {"Unknown", 2}, {"APM Timer", 3}, {"Modem Ring", 4},
                       {"LAN Remote", 5}, {"Power Switch", 6}, {"PCI PME#", 7},
                       {"AC Power Restored", 8}};
const Names kModuleTypeBits = {{"Other", 0}, {"Unknown", 1}, {"Standard", 2}, {"FPM", 3},
                               {"EDO", 4}, {"Parity", 5}, {"ECC", 6}, {"SIMM", 7},
                               {"DIMM", 8}, {"Burst EDO", 9}, {"SDRAM", 10}};
const Names kSramBits = {{"Other", 0}, {"Unknown", 1}, {"Non-Burst", 2}, {"Burst", 3},
                         {"Pipeline Burst", 4}, {"Synchronous", 5}, {"Asynchronous", 6}};
const Names kPortTypes = {
    {"None", 0x00}, {"Parallel Port XT/AT Compatible", 0x01}, {"Parallel Port PS/2", 0x02},
    {"Parallel Port ECP", 0x03}, {"Parallel Port EPP", 0x04}, {"Parallel Port ECP/EPP", 0x05},
    {"Serial Port XT/AT Compatible", 0x06}, {"Serial Port 16450 Compatible", 0x07},
    {"Serial Port 16550 Compatible", 0x08}, {"Serial Port 16550A Compatible", 0x09},
    {"SCSI Port", 0x0A}, {"MIDI Port", 0x0B}, {"Joystick Port", 0x0C}, {"Keyboard Port", 0x0D},
    {"Mouse Port", 0x0E}, {"SSA SCSI", 0x0F}, {"USB", 0x10}, {"Firewire (IEEE P1394)", 0x11},
    {"PCMCIA Type I", 0x12}, {"PCMCIA Type II", 0x13}, {"PCMCIA Type III", 0x14},
    {"Cardbus", 0x15}, {"Access Bus Port", 0x16}, {"SCSI II", 0x17}, {"SCSI Wide", 0x18},
    {"PC-98", 0x19}, {"PC-98-Hireso", 0x1A}, {"PC-H98", 0x1B}, {"Video Port", 0x1C},
    {"Audio Port", 0x1D}, {"Modem Port", 0x1E}, {"Network Port", 0x1F}, {"SATA", 0x20},
    {"SAS", 0x21}, {"8251 Compatible", 0xA0}, {"8251 FIFO Compatible", 0xA1}, {"Other", 0xFF}};
const Names kConnectors = {
    {"None", 0x00}, {"Centronics", 0x01}, {"Mini Centronics", 0x02}, {"Proprietary", 0x03},
    {"DB-25 male", 0x04}, {"DB-25 female", 0x05}, {"DB-15 male", 0x06}, {"DB-15 female", 0x07},
    {"DB-9 male", 0x08}, {"DB-9 female", 0x09}, {"RJ-11", 0x0A}, {"RJ-45", 0x0B},
    {"50 Pin MiniSCSI", 0x0C}, {"Mini DIN", 0x0D}, {"Micro DIN", 0x0E}, {"PS/2", 0x0F},
    {"Infrared", 0x10}, {"HP-HIL", 0x11}, {"Access Bus (USB)", 0x12}, {"SSA SCSI", 0x13},
    {"Circular DIN-8 male", 0x14}, {"Circular DIN-8 female", 0x15}, {"On Board IDE", 0x16},
    {"On Board Floppy", 0x17}, {"9 Pin Dual Inline (pin 10 cut)", 0x18},
    {"25 Pin Dual Inline (pin 26 cut)", 0x19}, {"50 Pin Dual Inline", 0x1A},
    {"68 Pin Dual Inline", 0x1B}, {"On Board Sound Input From CD-ROM", 0x1C},
    {"Mini Centronics Type-14", 0x1D}, {"Mini Centronics Type-26", 0x1E},
    {"Mini Jack (headphones)", 0x1F}, {"BNC", 0x20}, {"IEEE 1394", 0x21},
    {"SAS/SATA Plug Receptacle", 0x22}, {"PC-98", 0xA0}, {"PC-98 Hireso", 0xA1},
    {"PC-H98", 0xA2}, {"PC-98 Note", 0xA3}, {"PC-98 Full", 0xA4}, {"Other", 0xFF}};
const Names kSlotTypes = {
    {"Other", 0x01}, {"Unknown", 0x02}, {"ISA", 0x03}, {"MCA", 0x04}, {"EISA", 0x05},
    {"PCI", 0x06}, {"PC Card (PCMCIA)", 0x07}, {"VLB", 0x08}, {"Proprietary", 0x09},
    {"Processor Card", 0x0A}, {"Proprietary Memory Card", 0x0B}, {"I/O Riser Card", 0x0C},
    {"NuBus", 0x0D}, {"PCI-66", 0x0E}, {"AGP", 0x0F}, {"AGP 2x", 0x10}, {"AGP 4x", 0x11},
    {"PCI-X", 0x12}, {"AGP 8x", 0x13}, {"PC-98/C20", 0xA0}, {"PC-98/C24", 0xA1},
    {"PC-98/E", 0xA2}, {"PC-98/Local Bus", 0xA3}, {"PC-98/Card", 0xA4}, {"PCI Express", 0xA5},
    {"PCI Express x1", 0xA6}, {"PCI Express x2", 0xA7}, {"PCI Express x4", 0xA8},
    {"PCI Express x8", 0xA9}, {"PCI Express x16", 0xAA}};
const Names kBusWidths = {{"Other", 1},   {"Unknown", 2}, {"8 bit", 3},  {"16 bit", 4},
                          {"32 bit", 5},  {"64 bit", 6},  {"128 bit", 7}, {"x1", 8},
                          {"x2", 9},      {"x4", 10},     {"x8", 11},     {"x12", 12},
                          {"x16", 13},    {"x32", 14}};
const Names kSlotUsage = {{"Other", 1}, {"Unknown", 2}, {"Available", 3}, {"In Use", 4}};
const Names kSlotLength = {{"Other", 1}, {"Unknown", 2}, {"Short", 3}, {"Long", 4}};
const Names kCacheTypes = {{"Other", 1}, {"Unknown", 2}, {"Instruction", 3}, {"Data", 4},
                           {"Unified", 5}};
const Names kAssociativity = {
    {"Other", 1}, {"Unknown", 2}, {"Direct Mapped", 3}, {"2-way Set-Associative", 4},
    {"4-way Set-Associative", 5}, {"Fully Associative", 6}, {"8-way Set-Associative", 7},
    {"16-way Set-Associative", 8}, {"12-way Set-Associative", 9}, {"24-way Set-Associative", 10}};
const Names kErrorCorrection = {{"Other", 1}, {"Unknown", 2}, {"None", 3}, {"Parity", 4},
                                {"Single-bit ECC", 5}, {"Multi-bit ECC", 6}, {"CRC", 7}};
const Names kCacheLocation = {{"Internal", 0}, {"External", 1}, {"Unknown", 3}};
const Names kCacheMode = {{"Write Through", 0}, {"Write Back", 1},
                          {"Varies With Memory Address", 2}, {"Unknown", 3}};
const Names kArrayLocation = {{"Other", 1}, {"Unknown", 2}, {"System Board Or Motherboard", 3}};
const Names kArrayUse = {{"Other", 1}, {"Unknown", 2}, {"System Memory", 3}, {"Video Memory", 4}};
const Names kFormFactors = {{"Other", 1}, {"Unknown", 2}, {"SIMM", 3}, {"SIP", 4}, {"Chip", 5},
                            {"DIP", 6}, {"ZIP", 7}, {"Proprietary Card", 8}, {"DIMM", 9},
                            {"TSOP", 10}, {"Row Of Chips", 11}, {"RIMM", 12}, {"SODIMM", 13},
                            {"SRIMM", 14}, {"FB-DIMM", 15}};
const Names kDeviceTypes = {{"Other", 1}, {"Unknown", 2}, {"DRAM", 3}, {"EDRAM", 4},
                            {"VRAM", 5}, {"SRAM", 6}, {"RAM", 7}, {"ROM", 8}, {"Flash", 9},
                            {"EEPROM", 10}, {"FEPROM", 11}, {"EPROM", 12}, {"CDRAM", 13},
                            {"3DRAM", 14}, {"SDRAM", 15}, {"SGRAM", 16}, {"RDRAM", 17},
                            {"DDR", 18}, {"DDR2", 19}, {"DDR2 FB-DIMM", 20}, {"DDR3", 24},
                            {"DDR4", 26}, {"LPDDR3", 29}, {"LPDDR4", 30}};

// Reads a description and tells exactly where a value does not fit.
class Reader {
public:
    explicit Reader(std::string source) : source_(std::move(source)) {}

    [[noreturn]] void fail(const std::string& where, const std::string& what) const {
        throw MachineError(source_, 0, where + ": " + what);
    }

    std::string text(const json& obj, const std::string& key, const std::string& where) const {
        if (!obj.is_object() || !obj.contains(key)) return {};
        const json& v = obj.at(key);
        if (v.is_null()) return {};
        if (!v.is_string()) fail(where + "/" + key, "a text is expected");
        return v.get<std::string>();
    }

    // A text as the firmware holds it: machine.json is UTF-8, the firmware
    // keeps single bytes of code page 1252. A character the code page
    // lacks, a zero byte (it would end the text early and shift every
    // later string) and a text longer than a reader takes are refused.
    std::string firmwareBytes(const std::string& utf8, const std::string& at) const {
        if (utf8.find('\0') != std::string::npos) fail(at, "the text contains a zero byte");
        std::optional<std::string> bytes = Utf8ToCodePageExact(utf8, 1252);
        if (!bytes) fail(at, "the text has a character that code page 1252 lacks");
        if (bytes->size() > 255)
            fail(at, "the text takes " + std::to_string(bytes->size()) + " bytes; at most 255 fit");
        return *bytes;
    }
    std::string firmwareText(const json& obj, const std::string& key, const std::string& where) const {
        return firmwareBytes(text(obj, key, where), where + "/" + key);
    }

    // A number given as a JSON number, "0x1F", "1Fh" or decimal text.
    std::uint64_t number(const json& v, const std::string& where) const {
        if (v.is_number_unsigned()) return v.get<std::uint64_t>();
        if (v.is_number_integer()) {
            if (v.get<std::int64_t>() < 0) fail(where, "a negative number");
            return std::uint64_t(v.get<std::int64_t>());
        }
        if (v.is_string()) {
            std::string s = Trim(v.get<std::string>());
            int base = 10;
            if (s.size() > 2 && (s.rfind("0x", 0) == 0 || s.rfind("0X", 0) == 0)) {
                s = s.substr(2);
                base = 16;
            } else if (s.size() > 1 && (s.back() == 'h' || s.back() == 'H')) {
                s.pop_back();
                base = 16;
            }
            if (!s.empty()) {
                std::size_t used = 0;
                try {
                    std::uint64_t n = std::stoull(s, &used, base);
                    if (used == s.size()) return n;
                } catch (const std::exception&) {
                }
            }
        }
        fail(where, "a number is expected");
    }

    std::uint64_t number(const json& obj, const std::string& key, const std::string& where,
                         std::uint64_t fallback, std::uint64_t maximum) const {
        if (!obj.is_object() || !obj.contains(key) || obj.at(key).is_null()) return fallback;
        std::uint64_t n = number(obj.at(key), where + "/" + key);
        if (n > maximum) fail(where + "/" + key, "the number " + std::to_string(n) + " is too large");
        return n;
    }

    // A code by its name or number.
    std::uint32_t code(const json& obj, const std::string& key, const std::string& where,
                       const Names& names, std::uint32_t fallback) const {
        if (!obj.is_object() || !obj.contains(key) || obj.at(key).is_null()) return fallback;
        const json& v = obj.at(key);
        if (v.is_string()) {
            const std::string text = v.get<std::string>();
            for (const auto& [name, value] : names)
                if (EqualsNoCase(name, text)) return value;
            if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])))
                fail(where + "/" + key, "unknown name \"" + text + "\"");
        }
        std::uint64_t n = number(v, where + "/" + key);
        if (n > 0xFF) fail(where + "/" + key, "the code " + std::to_string(n) + " is too large");
        return std::uint32_t(n);
    }

    // A set of bits given by their names (or bit numbers).
    std::uint32_t bits(const json& obj, const std::string& key, const std::string& where,
                       const Names& names, std::uint32_t fallback) const {
        if (!obj.is_object() || !obj.contains(key) || obj.at(key).is_null()) return fallback;
        const json& v = obj.at(key);
        if (!v.is_array()) fail(where + "/" + key, "a list of names is expected");
        std::uint32_t set = 0;
        for (std::size_t i = 0; i < v.size(); ++i) {
            std::string at = where + "/" + key + "/" + std::to_string(i);
            bool found = false;
            if (v[i].is_string())
                for (const auto& [name, bit] : names)
                    if (EqualsNoCase(name, v[i].get<std::string>())) {
                        set |= 1u << bit;
                        found = true;
                    }
            if (!found) {
                if (v[i].is_string() && !std::isdigit(static_cast<unsigned char>(
                                            v[i].get<std::string>().empty() ? 'x' : v[i].get<std::string>()[0])))
                    fail(at, "unknown name \"" + v[i].get<std::string>() + "\"");
                std::uint64_t b = number(v[i], at);
                if (b > 15) fail(at, "no such bit");
                set |= 1u << b;
            }
        }
        return set;
    }

    bool flag(const json& obj, const std::string& key, const std::string& where, bool fallback) const {
        if (!obj.is_object() || !obj.contains(key) || obj.at(key).is_null()) return fallback;
        if (!obj.at(key).is_boolean()) fail(where + "/" + key, "true or false is expected");
        return obj.at(key).get<bool>();
    }

    const json& list(const json& obj, const std::string& key, const std::string& where) const {
        static const json empty = json::array();
        if (!obj.contains(key) || obj.at(key).is_null()) return empty;
        if (!obj.at(key).is_array()) fail(where + "/" + key, "a list is expected");
        return obj.at(key);
    }

    const json& object(const json& obj, const std::string& key, const std::string& where) const {
        static const json none = json();
        if (!obj.contains(key) || obj.at(key).is_null()) return none;
        if (!obj.at(key).is_object()) fail(where + "/" + key, "an object is expected");
        return obj.at(key);
    }

private:
    std::string source_;
};

struct Version {
    int major = 0, minor = 0;
    bool atLeast(int ma, int mi) const { return major > ma || (major == ma && minor >= mi); }
};

// A size in KB as a cache size word: KB up to 7FFFh, else 64 KB units.
std::uint16_t CacheSizeWord(std::uint64_t kb) {
    if (kb <= 0x7FFF) return std::uint16_t(kb);
    std::uint64_t units = kb / 64;
    return std::uint16_t(0x8000 | std::min<std::uint64_t>(units, 0x7FFF));
}

// A module size in MB as the exponent byte of type 6; 7Fh: not installed.
std::uint8_t ModuleSizeByte(std::uint64_t mb) {
    if (mb == 0) return 0x7F;
    std::uint8_t n = 0;
    while ((std::uint64_t(1) << (n + 1)) <= mb && n < 0x7C) ++n;
    return n;
}

// "FE061h": a place in the segment as a machine file writes it.
std::string HexAddress(std::size_t offset) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%05zXh", offset + kSegmentBase);
    return buffer;
}

std::array<std::uint8_t, 16> ParseUuid(const Reader& r, const std::string& text, const std::string& where) {
    std::array<std::uint8_t, 16> out{};
    std::string hex;
    for (char c : text)
        if (c != '-') hex += c;
    if (hex.size() != 32) r.fail(where, "a UUID has 32 hexadecimal digits");
    for (int i = 0; i < 16; ++i) {
        try {
            std::size_t used = 0;
            out[i] = std::uint8_t(std::stoul(hex.substr(i * 2, 2), &used, 16));
            if (used != 2) throw std::invalid_argument("digit");
        } catch (const std::exception&) {
            r.fail(where, "a UUID has 32 hexadecimal digits");
        }
    }
    return out;
}

}  // namespace

SmbiosTable BuildTable(const json& d, const std::string& source) {
    Reader r(source);
    if (!d.is_object()) r.fail("/", "the description is not a JSON object");
    std::string vtext = r.text(d, "version", "");
    Version v;
    {
        std::size_t dot = vtext.find('.');
        try {
            if (dot == std::string::npos) throw std::invalid_argument("no dot");
            v.major = std::stoi(vtext.substr(0, dot));
            v.minor = std::stoi(vtext.substr(dot + 1));
        } catch (const std::exception&) {
            r.fail("/version", "a version such as \"2.3\" is required");
        }
        if (v.major < 2 || v.major > 3 || v.minor < 0 || v.minor > 255)
            r.fail("/version", "SMBIOS versions 2.0 to 3.x can be written");
    }

    std::vector<std::vector<std::uint8_t>> out;
    std::uint16_t handle = 0;
    auto add = [&](const StructureBuilder& b) { out.push_back(b.finish()); };

    // Type 0: BIOS.
    if (const json& b = r.object(d, "bios", ""); b.is_object()) {
        StructureBuilder s(0, handle++);
        s.string(r.firmwareText(b, "vendor", "/bios"));
        s.string(r.firmwareText(b, "version", "/bios"));
        s.word(std::uint16_t(r.number(b, "startSegment", "/bios", 0xE000, 0xFFFF)));
        s.string(r.firmwareText(b, "date", "/bios"));
        std::uint64_t kb = r.number(b, "romSizeKB", "/bios", 128, 16384);
        s.byte(std::uint8_t(kb < 64 ? 0 : std::min<std::uint64_t>(kb / 64 - 1, 0xFF)));
        s.qword(r.number(b, "characteristics", "/bios", 0x7FCB9E80ull, ~0ull));
        if (v.atLeast(2, 4)) {
            s.word(std::uint16_t(r.number(b, "characteristicsExtension", "/bios", 0x0301, 0xFFFF)));
            s.byte(0xFF);
            s.byte(0xFF);
            s.byte(0xFF);
            s.byte(0xFF);
        } else if (v.atLeast(2, 1)) {
            s.word(std::uint16_t(r.number(b, "characteristicsExtension", "/bios", 0x0001, 0xFFFF)));
        }
        add(s);
    }

    // Type 1: system.
    if (const json& y = r.object(d, "system", ""); y.is_object()) {
        StructureBuilder s(1, handle++);
        s.string(r.firmwareText(y, "manufacturer", "/system"));
        s.string(r.firmwareText(y, "product", "/system"));
        s.string(r.firmwareText(y, "version", "/system"));
        s.string(r.firmwareText(y, "serial", "/system"));
        if (v.atLeast(2, 1)) {
            std::string uuid = r.text(y, "uuid", "/system");
            std::array<std::uint8_t, 16> bytes{};
            if (!uuid.empty()) bytes = ParseUuid(r, uuid, "/system/uuid");
            for (auto byte : bytes) s.byte(byte);
            s.byte(std::uint8_t(r.code(y, "wakeUp", "/system", kWakeUp, 6)));
        }
        if (v.atLeast(2, 4)) {
            s.string(r.firmwareText(y, "sku", "/system"));
            s.string(r.firmwareText(y, "family", "/system"));
        }
        add(s);
    }

    // Type 2: base board.
    if (const json& b = r.object(d, "board", ""); b.is_object()) {
        StructureBuilder s(2, handle++);
        s.string(r.firmwareText(b, "manufacturer", "/board"));
        s.string(r.firmwareText(b, "product", "/board"));
        s.string(r.firmwareText(b, "version", "/board"));
        s.string(r.firmwareText(b, "serial", "/board"));
        add(s);
    }

    // Type 3: chassis.
    if (const json& c = r.object(d, "chassis", ""); c.is_object()) {
        StructureBuilder s(3, handle++);
        s.string(r.firmwareText(c, "manufacturer", "/chassis"));
        std::uint8_t type = std::uint8_t(r.code(c, "type", "/chassis", kChassisTypes, 3));
        if (r.flag(c, "lock", "/chassis", false)) type |= 0x80;
        s.byte(type);
        s.string(r.firmwareText(c, "version", "/chassis"));
        s.string(r.firmwareText(c, "serial", "/chassis"));
        s.string(r.firmwareText(c, "assetTag", "/chassis"));
        if (v.atLeast(2, 1)) {
            s.byte(3);   // boot-up, power supply and thermal state: safe
            s.byte(3);
            s.byte(3);
            s.byte(3);   // security: none
        }
        if (v.atLeast(2, 3)) {
            s.dword(0);   // OEM-defined
            s.byte(0);    // height unspecified
            s.byte(1);    // power cords
            s.byte(0);    // no contained elements
            s.byte(3);
        }
        add(s);
    }

    // Caches come after the processors in the table, but the processors
    // name their handles, so the handles are handed out first.
    const json& caches = r.list(d, "caches", "");
    const json& processors = r.list(d, "processors", "");
    std::uint16_t firstCache = std::uint16_t(handle + processors.size());
    std::map<int, std::uint16_t> cacheByLevel;
    for (std::size_t i = 0; i < caches.size(); ++i) {
        int level = int(r.number(caches[i], "level", "/caches/" + std::to_string(i), 1, 8));
        if (!cacheByLevel.count(level)) cacheByLevel[level] = std::uint16_t(firstCache + i);
    }
    auto cacheHandle = [&](int level) -> std::uint16_t {
        auto it = cacheByLevel.find(level);
        return it == cacheByLevel.end() ? 0xFFFF : it->second;
    };

    // Type 4: processors.
    for (std::size_t i = 0; i < processors.size(); ++i) {
        const json& p = processors[i];
        std::string at = "/processors/" + std::to_string(i);
        if (!p.is_object()) r.fail(at, "an object is expected");
        StructureBuilder s(4, handle++);
        s.string(r.firmwareText(p, "socket", at));
        s.byte(std::uint8_t(r.code(p, "type", at, kProcessorTypes, 3)));
        s.byte(std::uint8_t(r.number(p, "family", at, 2, 0xFF)));
        s.string(r.firmwareText(p, "manufacturer", at));
        s.qword(r.number(p, "id", at, 0, ~0ull));
        s.string(r.firmwareText(p, "version", at));
        std::uint8_t voltage = 0;
        if (p.contains("voltage")) {
            const json& vv = p.at("voltage");
            if (!vv.is_number()) r.fail(at + "/voltage", "volts are expected");
            double volts = vv.get<double>();
            long tenths = std::lround(volts * 10);
            if (tenths < 0 || tenths > 0x7F) r.fail(at + "/voltage", "volts from 0 to 12.7");
            voltage = std::uint8_t(0x80 | tenths);
        } else if (p.contains("voltages")) {
            const json& list = r.list(p, "voltages", at);
            for (std::size_t k = 0; k < list.size(); ++k) {
                if (!list[k].is_number()) r.fail(at + "/voltages/" + std::to_string(k), "volts are expected");
                double volts = list[k].get<double>();
                if (std::fabs(volts - 5.0) < 0.01) voltage |= 1;
                else if (std::fabs(volts - 3.3) < 0.01) voltage |= 2;
                else if (std::fabs(volts - 2.9) < 0.01) voltage |= 4;
                else r.fail(at + "/voltages/" + std::to_string(k), "legacy voltages are 5, 3.3 and 2.9");
            }
        }
        s.byte(voltage);
        s.word(std::uint16_t(r.number(p, "externalClock", at, 0, 0xFFFF)));
        s.word(std::uint16_t(r.number(p, "maxSpeed", at, 0, 0xFFFF)));
        s.word(std::uint16_t(r.number(p, "currentSpeed", at, 0, 0xFFFF)));
        s.byte(std::uint8_t(r.number(p, "status", at, 0x41, 0xFF)));
        s.byte(std::uint8_t(r.code(p, "upgrade", at, kUpgrades, 2)));
        if (v.atLeast(2, 1)) {
            s.word(cacheHandle(1));
            s.word(cacheHandle(2));
            s.word(cacheHandle(3));
        }
        if (v.atLeast(2, 3)) {
            s.string(r.firmwareText(p, "serial", at));
            s.string(r.firmwareText(p, "assetTag", at));
            s.string(r.firmwareText(p, "partNumber", at));
        }
        if (v.atLeast(2, 5)) {
            s.byte(std::uint8_t(r.number(p, "cores", at, 1, 0xFF)));
            s.byte(std::uint8_t(r.number(p, "cores", at, 1, 0xFF)));
            s.byte(std::uint8_t(r.number(p, "threads", at, 1, 0xFF)));
            s.word(0x0004);   // 64-bit capable
        }
        add(s);
    }

    // Type 7: caches (their handles were handed out above).
    handle = firstCache;
    for (std::size_t i = 0; i < caches.size(); ++i) {
        const json& c = caches[i];
        std::string at = "/caches/" + std::to_string(i);
        if (!c.is_object()) r.fail(at, "an object is expected");
        StructureBuilder s(7, handle++);
        s.string(r.firmwareText(c, "designation", at));
        std::uint16_t config = std::uint16_t(r.number(c, "level", at, 1, 8) - 1);
        if (r.flag(c, "socketed", at, false)) config |= 0x08;
        config |= std::uint16_t(r.code(c, "location", at, kCacheLocation, 0) << 5);
        if (r.flag(c, "enabled", at, true)) config |= 0x80;
        config |= std::uint16_t(r.code(c, "mode", at, kCacheMode, 1) << 8);
        s.word(config);
        std::uint64_t maxKb = r.number(c, "maxSizeKB", at, 0, 0x7FFFull * 64);
        s.word(CacheSizeWord(maxKb));
        s.word(CacheSizeWord(r.number(c, "installedSizeKB", at, maxKb, 0x7FFFull * 64)));
        s.word(std::uint16_t(r.bits(c, "supportedSram", at, kSramBits, 0x0002)));
        s.word(std::uint16_t(r.bits(c, "sram", at, kSramBits, 0x0002)));
        if (v.atLeast(2, 1)) {
            s.byte(std::uint8_t(r.number(c, "speed", at, 0, 0xFF)));
            s.byte(std::uint8_t(r.code(c, "errorCorrection", at, kErrorCorrection, 2)));
            s.byte(std::uint8_t(r.code(c, "type", at, kCacheTypes, 2)));
            s.byte(std::uint8_t(r.code(c, "associativity", at, kAssociativity, 2)));
        }
        add(s);
    }

    // Type 6: memory modules.
    const json& modules = r.list(d, "memoryModules", "");
    for (std::size_t i = 0; i < modules.size(); ++i) {
        const json& m = modules[i];
        std::string at = "/memoryModules/" + std::to_string(i);
        if (!m.is_object()) r.fail(at, "an object is expected");
        StructureBuilder s(6, handle++);
        s.string(r.firmwareText(m, "socket", at));
        s.byte(std::uint8_t(r.number(m, "banks", at, 0xFF, 0xFF)));
        s.byte(std::uint8_t(r.number(m, "speed", at, 0, 0xFF)));
        s.word(std::uint16_t(r.bits(m, "types", at, kModuleTypeBits, 0x0002)));
        std::uint64_t mb = r.number(m, "sizeMB", at, 0, 1ull << 40);
        std::uint8_t size = ModuleSizeByte(mb);
        bool doubleBank = r.flag(m, "doubleBank", at, false);
        s.byte(std::uint8_t(size | (doubleBank && mb ? 0x80 : 0)));
        std::uint8_t enabled = size;
        if (m.contains("enabledSizeMB")) enabled = ModuleSizeByte(r.number(m, "enabledSizeMB", at, 0, 1ull << 40));
        s.byte(std::uint8_t(enabled | (doubleBank && mb ? 0x80 : 0)));
        s.byte(0);   // no errors
        add(s);
    }

    // Type 8: ports.
    const json& ports = r.list(d, "ports", "");
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const json& p = ports[i];
        std::string at = "/ports/" + std::to_string(i);
        if (!p.is_object()) r.fail(at, "an object is expected");
        StructureBuilder s(8, handle++);
        s.string(r.firmwareText(p, "internal", at));
        s.byte(std::uint8_t(r.code(p, "internalConnector", at, kConnectors, 0)));
        s.string(r.firmwareText(p, "external", at));
        s.byte(std::uint8_t(r.code(p, "externalConnector", at, kConnectors, 0)));
        s.byte(std::uint8_t(r.code(p, "type", at, kPortTypes, 0xFF)));
        add(s);
    }

    // Type 9: slots.
    const json& slots = r.list(d, "slots", "");
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const json& sl = slots[i];
        std::string at = "/slots/" + std::to_string(i);
        if (!sl.is_object()) r.fail(at, "an object is expected");
        StructureBuilder s(9, handle++);
        s.string(r.firmwareText(sl, "designation", at));
        s.byte(std::uint8_t(r.code(sl, "type", at, kSlotTypes, 6)));
        s.byte(std::uint8_t(r.code(sl, "busWidth", at, kBusWidths, 5)));
        s.byte(std::uint8_t(r.code(sl, "usage", at, kSlotUsage, 3)));
        s.byte(std::uint8_t(r.code(sl, "length", at, kSlotLength, 4)));
        s.word(std::uint16_t(r.number(sl, "id", at, i + 1, 0xFFFF)));
        s.byte(std::uint8_t(r.number(sl, "characteristics", at, 0x0C, 0xFF)));
        if (v.atLeast(2, 1)) s.byte(std::uint8_t(r.number(sl, "characteristics2", at, 0x01, 0xFF)));
        if (v.atLeast(2, 6)) {
            s.word(0);
            s.byte(0);
            s.byte(0);
        }
        add(s);
    }

    // Type 11: OEM strings: a count, then the strings themselves.
    const json& oem = r.list(d, "oemStrings", "");
    if (!oem.empty()) {
        StructureBuilder s(11, handle++);
        s.byte(std::uint8_t(oem.size()));
        for (std::size_t i = 0; i < oem.size(); ++i) {
            std::string at = "/oemStrings/" + std::to_string(i);
            if (!oem[i].is_string() || oem[i].get<std::string>().empty()) r.fail(at, "a non-empty text is expected");
            s.unnumberedString(r.firmwareBytes(oem[i].get<std::string>(), at));
        }
        add(s);
    }

    // Types 16 and 17: the memory array and its devices (SMBIOS 2.1 on).
    const json& devices = r.list(d, "memoryDevices", "");
    const json& array = r.object(d, "memoryArray", "");
    if (v.atLeast(2, 1) && (array.is_object() || !devices.empty())) {
        std::uint16_t arrayHandle = handle++;
        StructureBuilder a(16, arrayHandle);
        json none = json::object();
        const json& ar = array.is_object() ? array : none;
        a.byte(std::uint8_t(r.code(ar, "location", "/memoryArray", kArrayLocation, 3)));
        a.byte(std::uint8_t(r.code(ar, "use", "/memoryArray", kArrayUse, 3)));
        a.byte(std::uint8_t(r.code(ar, "errorCorrection", "/memoryArray", kErrorCorrection, 3)));
        std::uint64_t maxMb = r.number(ar, "maxCapacityMB", "/memoryArray", 0, 0x3FFFFF);
        a.dword(std::uint32_t(maxMb * 1024));
        a.word(0xFFFE);   // no error information
        a.word(std::uint16_t(r.number(ar, "devices", "/memoryArray", devices.size(), 0xFFFF)));
        add(a);
        for (std::size_t i = 0; i < devices.size(); ++i) {
            const json& m = devices[i];
            std::string at = "/memoryDevices/" + std::to_string(i);
            if (!m.is_object()) r.fail(at, "an object is expected");
            StructureBuilder s(17, handle++);
            s.word(arrayHandle);
            s.word(0xFFFE);
            s.word(std::uint16_t(r.number(m, "totalWidth", at, 64, 0xFFFF)));
            s.word(std::uint16_t(r.number(m, "dataWidth", at, 64, 0xFFFF)));
            std::uint64_t mb = r.number(m, "sizeMB", at, 0, 0x7FFF);
            s.word(std::uint16_t(mb));
            s.byte(std::uint8_t(r.code(m, "formFactor", at, kFormFactors, 9)));
            s.byte(0);
            s.string(r.firmwareText(m, "locator", at));
            s.string(r.firmwareText(m, "bank", at));
            s.byte(std::uint8_t(r.code(m, "type", at, kDeviceTypes, mb ? 15 : 2)));
            s.word(std::uint16_t(r.number(m, "detail", at, 0x0080, 0xFFFF)));
            if (v.atLeast(2, 3)) {
                s.word(std::uint16_t(r.number(m, "speed", at, 0, 0xFFFF)));
                s.string(r.firmwareText(m, "manufacturer", at));
                s.string(r.firmwareText(m, "serial", at));
                s.string(r.firmwareText(m, "assetTag", at));
                s.string(r.firmwareText(m, "partNumber", at));
            }
            if (v.atLeast(2, 6)) s.byte(mb ? 1 : 0);
            add(s);
        }
    }

    // Type 32 from SMBIOS 2.3 on, then the end of the table.
    if (v.atLeast(2, 3)) {
        StructureBuilder s(32, handle++);
        for (int i = 0; i < 6; ++i) s.byte(0);
        s.byte(0);   // no errors detected
        add(s);
    }
    add(StructureBuilder(127, handle++));

    SmbiosTable t;
    t.major = std::uint8_t(v.major);
    t.minor = std::uint8_t(v.minor);
    for (const auto& s : out) {
        t.structures.insert(t.structures.end(), s.begin(), s.end());
        t.largestStructure = std::max<std::uint16_t>(t.largestStructure, std::uint16_t(s.size()));
    }
    t.count = std::uint16_t(out.size());
    return t;
}

std::vector<std::uint8_t> PlaceInSegment(const SmbiosTable& table, std::uint32_t entryPoint,
                                         std::uint32_t tableAddress) {
    if (entryPoint < kSegmentBase || entryPoint + 0x1F > kSegmentBase + kSegmentSize)
        throw std::invalid_argument("the entry point lies outside the firmware segment");
    if (tableAddress < kSegmentBase ||
        tableAddress + table.structures.size() + kStringReadReach > kSegmentBase + kSegmentSize)
        throw std::invalid_argument("the structure table does not fit in the firmware segment");
    if (tableAddress < entryPoint + 0x1F && tableAddress + table.structures.size() > entryPoint)
        throw std::invalid_argument("the structure table overlaps the entry point");

    std::vector<std::uint8_t> image(kSegmentSize, 0);
    // An empty table has no storage to copy from.
    if (!table.structures.empty())
        std::memcpy(image.data() + (tableAddress - kSegmentBase), table.structures.data(),
                    table.structures.size());
    std::uint8_t* e = image.data() + (entryPoint - kSegmentBase);
    std::memcpy(e, "_SM_", 4);
    e[5] = 0x1F;
    e[6] = table.major;
    e[7] = table.minor;
    e[8] = std::uint8_t(table.largestStructure);
    e[9] = std::uint8_t(table.largestStructure >> 8);
    std::memcpy(e + 0x10, "_DMI_", 5);
    std::uint16_t length = std::uint16_t(table.structures.size());
    e[0x16] = std::uint8_t(length);
    e[0x17] = std::uint8_t(length >> 8);
    for (int i = 0; i < 4; ++i) e[0x18 + i] = std::uint8_t(tableAddress >> (8 * i));
    e[0x1C] = std::uint8_t(table.count);
    e[0x1D] = std::uint8_t(table.count >> 8);
    e[0x1E] = std::uint8_t(((table.major % 10) << 4) | (table.minor % 10));
    e[0x15] = ChecksumOf(e + 0x10, 0x0F);
    e[4] = ChecksumOf(e, 0x1F);
    return image;
}

void PlaceTexts(std::vector<std::uint8_t>& image, const json& description, std::size_t lo, std::size_t hi,
                const std::string& source) {
    Reader r(source);
    // Texts the BIOS keeps at fixed places (its name, copyright, the BIOS
    // identification and the date at FFFF5h), each ended by a zero byte.
    if (description.is_object() && description.contains("texts")) {
        const json& texts = description.at("texts");
        if (!texts.is_object()) r.fail("/texts", "an object of addresses and texts is expected");
        std::vector<std::pair<std::size_t, std::size_t>> taken;   // [from, to) of each text placed
        for (const auto& [address, text] : texts.items()) {
            std::string at = "/texts/" + address;
            std::uint32_t a = std::uint32_t(r.number(json(address), at));
            if (!text.is_string()) r.fail(at, "a text is expected");
            std::string bytes = r.firmwareBytes(text.get<std::string>(), at);
            if (a < kSegmentBase || a + bytes.size() + 1 > kSegmentBase + kSegmentSize)
                r.fail(at, "the text does not lie in the firmware segment");
            std::size_t o = a - kSegmentBase, end = o + bytes.size() + 1;   // with its zero byte
            if (o < hi && end > lo) r.fail(at, "the text overlaps the SMBIOS tables");
            for (const auto& [from, to] : taken)
                if (o < to && end > from)
                    r.fail(at, "the text overlaps the text at " + HexAddress(from) + " (with its closing zero byte)");
            taken.emplace_back(o, end);
            std::memcpy(image.data() + o, bytes.data(), bytes.size());
            image[o + bytes.size()] = 0;
        }
    }
}

std::vector<std::uint8_t> WriteSegmentImage(const json& description, const std::string& source) {
    Reader r(source);
    // A BIOS from before SMBIOS (1995 and earlier) has its texts and no
    // tables: a description without a version writes the texts alone.
    std::vector<std::uint8_t> image;
    std::size_t lo = 0, hi = 0;   // the bytes the entry point and the table take
    if (description.is_object() && !description.contains("version")) {
        for (const auto& [member, value] : description.items())
            if (member != "texts") r.fail("/version", "a version such as \"2.3\" is required for the tables");
        image.assign(kSegmentSize, 0);
    } else {
        SmbiosTable t = BuildTable(description, source);
        std::uint32_t entry = std::uint32_t(r.number(description, "entryPoint", "", kSegmentBase, 0xFFFFF));
        std::uint32_t table = std::uint32_t(r.number(description, "table", "", entry + 0x20, 0xFFFFF));
        try {
            image = PlaceInSegment(t, entry, table);
        } catch (const std::invalid_argument& e) {
            r.fail("/entryPoint", e.what());
        }
        lo = std::min(entry, table) - kSegmentBase;
        hi = std::max<std::size_t>(entry + 0x1F, table + t.structures.size()) - kSegmentBase;
    }

    PlaceTexts(image, description, lo, hi, source);
    return image;
}

}  // namespace torvex::platform::firmware
