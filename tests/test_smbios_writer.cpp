// The table writer: what it lays down is what a BIOS of the version would
// lay down (checked with dmidecode where it is installed), and a
// description it cannot take is refused with the place of the fault.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/machine/Machine.h"
#include "tests/SmbiosImages.h"

namespace torvex::testing {
namespace {

namespace fs = std::filesystem;
using platform::firmware::BuildTable;

std::uint8_t Sum(const Image& image, std::size_t from, std::size_t count) {
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum = std::uint8_t(sum + image[from + i]);
    return sum;
}

TEST(SmbiosWriter, TheEntryPointIsWhole) {
    Image image = WriteImage(DesktopDescription());
    ASSERT_EQ(image.size(), 65536u);
    EXPECT_EQ(std::string(image.begin(), image.begin() + 4), "_SM_");
    EXPECT_EQ(std::string(image.begin() + 0x10, image.begin() + 0x15), "_DMI_");
    EXPECT_EQ(Sum(image, 0, 0x1F), 0) << "entry-point checksum";
    EXPECT_EQ(Sum(image, 0x10, 0x0F), 0) << "intermediate checksum";
    EXPECT_EQ(image[0x1E], 0x23) << "BCD revision";
    auto table = BuildTable(DesktopDescription(), "test");
    EXPECT_EQ(image[0x16] | image[0x17] << 8, int(table.structures.size()));
    EXPECT_EQ(image[0x1C] | image[0x1D] << 8, int(table.count));
}

TEST(SmbiosWriter, StructureLayoutsFollowTheVersion) {
    auto lengthOf = [](const char* version, std::uint8_t type) {
        nlohmann::json d = DesktopDescription();
        d["version"] = version;
        Image image = WriteImage(d);
        std::uint32_t a = FindStructure(image, type);
        return a ? int(image[At(a) + 1]) : -1;
    };
    EXPECT_EQ(lengthOf("2.0", 1), 0x08);
    EXPECT_EQ(lengthOf("2.0", 4), 0x1A);
    EXPECT_EQ(lengthOf("2.0", 16), -1) << "memory arrays came with 2.1";
    EXPECT_EQ(lengthOf("2.3", 1), 0x19);
    EXPECT_EQ(lengthOf("2.3", 4), 0x23);
    EXPECT_EQ(lengthOf("2.3", 17), 0x1B);
    EXPECT_EQ(lengthOf("2.4", 0), 0x18);
    EXPECT_EQ(lengthOf("2.6", 9), 0x11);
    EXPECT_EQ(lengthOf("2.6", 4), 0x28);

    // An SMBIOS 2.0 machine still decodes: its system structure simply
    // ends before the UUID, so it has none (the bytes behind it are its
    // strings).
    nlohmann::json d = DesktopDescription();
    d["version"] = "2.0";
    engine::TSMBIOS smbios;
    Decode(smbios, WriteImage(d));
    EXPECT_EQ(smbios.SystemSerial(), "FT9901234");
    EXPECT_EQ(smbios.SystemUUID(), "");
}

TEST(SmbiosWriter, DmidecodeReadsWhatWasDescribed) {
    const char* dmidecode = "/usr/sbin/dmidecode";
    if (!fs::exists(dmidecode)) GTEST_SKIP() << "dmidecode is not installed";
    Image image = WriteImage(DesktopDescription());
    // A dump file: the entry point at 0 and the table at 20h, as here.
    std::size_t length = image[0x16] | image[0x17] << 8;
    Image dump(image.begin(), image.begin() + long(0x20 + length));
    dump[0x18] = 0x20;
    dump[0x19] = dump[0x1A] = dump[0x1B] = 0;
    dump[0x15] = 0;
    dump[0x15] = platform::firmware::ChecksumOf(dump.data() + 0x10, 0x0F);
    dump[4] = 0;
    dump[4] = platform::firmware::ChecksumOf(dump.data(), 0x1F);
    fs::path file = fs::temp_directory_path() / ("torvex-smbios-writer-" + std::to_string(::getpid()) + ".bin");
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(dump.data()), std::streamsize(dump.size()));
    std::string output;
    if (FILE* p = ::popen((std::string(dmidecode) + " --from-dump " + file.string() + " 2>&1").c_str(), "r")) {
        std::array<char, 4096> buffer;
        std::size_t n;
        while ((n = std::fread(buffer.data(), 1, buffer.size(), p)) > 0) output.append(buffer.data(), n);
        ::pclose(p);
    }
    fs::remove(file);
    for (const char* line : {"SMBIOS 2.3 present.", "20 structures occupying", "Vendor: Award Software International, Inc.",
                             "Release Date: 03/16/99", "ROM Size: 256 kB", "Product Name: FT-440BX",
                             "UUID: 00112233-4455-6677-8899-aabbccddeeff", "Type: Mini Tower", "Asset Tag: INV-0042",
                             "Socket Designation: Slot 1", "Voltage: 2.0 V", "External Clock: 100 MHz",
                             "Current Speed: 450 MHz", "Upgrade: Slot 1", "Installed Size: 128 MB (Single-bank Connection)",
                             "Installed Size: Not Installed", "Type: DIMM SDRAM", "Internal Reference Designator: COM1",
                             "Port Type: Serial Port 16550A Compatible", "External Reference Designator: USB0",
                             "Designation: AGP", "Type: 32-bit AGP", "Installed SRAM Type: Burst Pipeline Burst",
                             "Associativity: Direct Mapped", "Size: 128 MB", "Locator: DIMM0", "End Of Table"})
        EXPECT_NE(output.find(line), std::string::npos) << "dmidecode does not say \"" << line << "\"\n" << output;
    EXPECT_EQ(output.find("Invalid"), std::string::npos) << output;
    EXPECT_EQ(output.find("BAD INDEX"), std::string::npos) << output;
}

TEST(SmbiosWriter, AFirmwareFromBeforeTheTablesHasItsTextsAlone) {
    nlohmann::json d = {{"texts", {{"FE061h", "Award Modular BIOS v4.51PG"}, {"FFFF5h", "07/28/95"}}}};
    std::vector<std::uint8_t> image = platform::firmware::WriteSegmentImage(d, "machines/x/firmware.json");
    ASSERT_EQ(image.size(), 0x10000u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[0xE061])), "Award Modular BIOS v4.51PG");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[0xFFF5])), "07/28/95");
    // No anchor anywhere: the decoder finds no tables.
    std::string bytes(image.begin(), image.end());
    EXPECT_EQ(bytes.find("_SM_"), std::string::npos);
    EXPECT_EQ(bytes.find("_DMI_"), std::string::npos);
    // A table member without a version is a mistake, not an old BIOS.
    d["bios"] = {{"vendor", "Award"}};
    EXPECT_THROW(platform::firmware::WriteSegmentImage(d, "machines/x/firmware.json"), platform::MachineError);
}

TEST(SmbiosWriter, TextsAreStoredInCodePage1252) {
    nlohmann::json d = DesktopDescription();
    d["system"]["manufacturer"] = "Müller GmbH";
    d["oemStrings"] = {"Ærø Data – €"};
    d["texts"] = {{"FE061h", "Bjørn's BIOS"}, {"FE091h", "© 1999 Fjordtek"}};
    Image image = WriteImage(d);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[0xE061])), "Bj\xF8rn's BIOS");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&image[0xE091])), "\xA9 1999 Fjordtek");
    std::string bytes(image.begin(), image.end());
    EXPECT_NE(bytes.find("\xC6r\xF8 Data \x96 \x80"), std::string::npos);
    engine::TSMBIOS smbios;
    Decode(smbios, image);
    EXPECT_EQ(smbios.SystemManufacturer(), "Müller GmbH") << "read back as written";
}

TEST(SmbiosWriter, TextsTheFirmwareCannotHoldAreRefusedByMember) {
    auto message = [](nlohmann::json d) -> std::string {
        try {
            platform::firmware::WriteSegmentImage(d, "m/machine.json");
        } catch (const platform::MachineError& e) {
            return e.what();
        }
        return "accepted";
    };
    nlohmann::json d = DesktopDescription();
    d["board"]["manufacturer"] = "Łódź Boards";
    EXPECT_EQ(message(d), "m/machine.json: /board/manufacturer: the text has a character that code page 1252 lacks");
    d = DesktopDescription();
    d["bios"]["vendor"] = std::string("Evil\0Vendor", 11);
    EXPECT_EQ(message(d), "m/machine.json: /bios/vendor: the text contains a zero byte");
    d = DesktopDescription();
    d["oemStrings"] = {"fine", std::string(256, 'x')};
    EXPECT_EQ(message(d), "m/machine.json: /oemStrings/1: the text takes 256 bytes; at most 255 fit");
    d = DesktopDescription();
    d["system"]["product"] = std::string(255, 'x');
    EXPECT_EQ(message(d), "accepted");

    // Texts at fixed places: counted in bytes of the code page, with their
    // closing zero, and never over one another.
    nlohmann::json t = {{"texts", {{"FE061h", "Award Modular BIOS v4.51PG"}, {"FE091h", "Copyright"}}}};
    EXPECT_EQ(message(t), "accepted");
    t["texts"]["FE061h"] = "Ærø BIOS for Ærøskøbing Kommune, Ærø 4.51PG";   // 43 bytes in 1252, 50 in UTF-8
    EXPECT_EQ(message(t), "accepted");
    t["texts"]["FE061h"] = std::string(48, 'x');   // its zero byte lands on FE091h
    EXPECT_EQ(message(t), "m/machine.json: /texts/FE091h: the text overlaps the text at FE061h (with its closing zero byte)");
    t["texts"]["FE061h"] = std::string(47, 'x');
    EXPECT_EQ(message(t), "accepted");
    t["texts"]["FE061h"] = std::string("Evil\0Vendor", 11);
    EXPECT_EQ(message(t), "m/machine.json: /texts/FE061h: the text contains a zero byte");
    t["texts"]["FE061h"] = std::string(300, 'x');
    EXPECT_EQ(message(t), "m/machine.json: /texts/FE061h: the text takes 300 bytes; at most 255 fit");
    t["texts"]["FE061h"] = "Zoë ✓";
    EXPECT_EQ(message(t), "m/machine.json: /texts/FE061h: the text has a character that code page 1252 lacks");
}

TEST(SmbiosWriter, AFaultyDescriptionIsRefusedWithItsPlace) {
    auto message = [](nlohmann::json d) -> std::string {
        try {
            platform::firmware::WriteSegmentImage(d, "machines/x/firmware.json");
        } catch (const platform::MachineError& e) {
            EXPECT_EQ(e.file(), "machines/x/firmware.json");
            return e.what();
        }
        return "accepted";
    };
    nlohmann::json d = DesktopDescription();
    d["chassis"]["type"] = "Igloo";
    EXPECT_EQ(message(d), "machines/x/firmware.json: /chassis/type: unknown name \"Igloo\"");
    d = DesktopDescription();
    d.erase("version");
    EXPECT_EQ(message(d), "machines/x/firmware.json: /version: a version such as \"2.3\" is required for the tables");
    d = DesktopDescription();
    d["memoryModules"][1]["types"] = {"DIMM", "Holographic"};
    EXPECT_EQ(message(d), "machines/x/firmware.json: /memoryModules/1/types/1: unknown name \"Holographic\"");
    d = DesktopDescription();
    d["system"]["uuid"] = "0011";
    EXPECT_EQ(message(d), "machines/x/firmware.json: /system/uuid: a UUID has 32 hexadecimal digits");
    d = DesktopDescription();
    d["processors"][0]["voltage"] = 14.0;
    EXPECT_EQ(message(d), "machines/x/firmware.json: /processors/0/voltage: volts from 0 to 12.7");
    d = DesktopDescription();
    d["ports"][0]["type"] = 300;
    EXPECT_EQ(message(d), "machines/x/firmware.json: /ports/0/type: the code 300 is too large");
    d = DesktopDescription();
    d["bios"]["vendor"] = 7;
    EXPECT_EQ(message(d), "machines/x/firmware.json: /bios/vendor: a text is expected");
    d = DesktopDescription();
    d["oemStrings"] = nlohmann::json::array();
    for (int i = 0; i < 255; ++i) d["oemStrings"].push_back(std::string(255, 'x'));
    EXPECT_EQ(message(d), "machines/x/firmware.json: /entryPoint: the structure table does not fit in the firmware segment");
    d = DesktopDescription();
    d["entryPoint"] = "F0040h";
    d["table"] = "F0030h";
    EXPECT_EQ(message(d), "machines/x/firmware.json: /entryPoint: the structure table overlaps the entry point");
    d = DesktopDescription();
    d["entryPoint"] = "F4433h";
    EXPECT_EQ(message(d), "accepted");
}

}  // namespace
}  // namespace torvex::testing
