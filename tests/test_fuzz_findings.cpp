// Inputs the fuzz targets found faults with (tests/data/fuzz), each kept as a
// regression test of the reader it broke.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/firmware/SmbiosRelocate.h"
#include "platform/host/HostPower.h"
#include "platform/host/HostTimeZone.h"

namespace fs = std::filesystem;

namespace {

// The fuzz targets' small file trees: "=== relative/path" starts a file,
// the lines after it are its content.
fs::path TreeOf(const std::string& input, const std::string& name) {
    fs::path root = fs::temp_directory_path() / ("torvex-fuzz-finding-" + std::to_string(::getpid())) / name;
    fs::remove_all(root);
    std::ofstream out;
    std::size_t start = 0;
    while (start < input.size()) {
        std::size_t nl = input.find('\n', start);
        std::string line = input.substr(start, nl == std::string::npos ? std::string::npos : nl - start);
        start = nl == std::string::npos ? input.size() : nl + 1;
        if (line.rfind("=== ", 0) == 0) {
            out.close();
            fs::path file = root / line.substr(4);
            fs::create_directories(file.parent_path());
            out.open(file, std::ios::binary);
        } else if (out.is_open()) {
            out << line << '\n';
        }
    }
    return root;
}

std::string Finding(const char* name) {
    std::ifstream in(fs::path(TORVEX_SOURCE_DIR) / "tests/data/fuzz" / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

// An entry point whose table length is shorter than one structure header
// keeps no structure, and the empty table was copied from a vector with no
// storage (undefined behaviour, reported only by the sanitizer build). The
// image must come out whole, with an entry point counting no structures.
TEST(FuzzFindings, AnEntryPointWithoutWholeStructuresGivesAnEmptyTable) {
    std::string input = Finding("smbios_sysfs-empty-table.bin");
    ASSERT_EQ(input.size(), 1669u);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(input.data());
    std::vector<std::uint8_t> entry(bytes + 1, bytes + 32), table(bytes + 32, bytes + input.size());
    auto image = torvex::platform::firmware::RelocateTables(entry, table);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->size(), 0x10000u);
    EXPECT_EQ(std::string(image->begin(), image->begin() + 4), "_SM_");
    EXPECT_EQ((*image)[0x1C] | (*image)[0x1D] << 8, 0);   // no structures
    EXPECT_EQ((*image)[0x16] | (*image)[0x17] << 8, 0);   // of no length
}

// Every power-supply attribute was read through a view of a destroyed copy:
// the types, states and numbers compared were whatever the freed memory held.
// Without a sanitizer the freed memory usually still holds the text, so this
// fails reliably only in the address-sanitizer build.
TEST(FuzzFindings, PowerSupplyAttributesAreReadFromTheFileNotFreedMemory) {
    std::string input = Finding("host_powersupply-attribute-read-after-free.txt");
    ASSERT_FALSE(input.empty());
    fs::path root = TreeOf(input, "power");
    auto facts = torvex::platform::host::ReadPowerSupplies(root);
    // One battery charging (the peripheral's own battery left out), at
    // 3000000 of 4400000: 68 %.
    EXPECT_EQ(facts.batteryFlag & 8, 8) << int(facts.batteryFlag);
    EXPECT_NE(facts.batteryFlag, 128);
    EXPECT_EQ(facts.batteryLifePercent, 68);
    fs::remove_all(root.parent_path());
}

// A zone rule whose offset has more digits than a long holds overflowed while
// being read (undefined behaviour; the wrapped value could pass the range
// check). It must simply be refused, as must an offset just past the range.
TEST(FuzzFindings, ZoneRuleOffsetsWithEndlessDigitsAreRefused) {
    using torvex::platform::host::ParsePosixTz;
    std::string input = Finding("host_tzrule-offset-overflow.txt");
    ASSERT_FALSE(input.empty());
    EXPECT_FALSE(ParsePosixTz(input, 2003));
    EXPECT_FALSE(ParsePosixTz("EST99999999999999999999999", 2003));
    EXPECT_FALSE(ParsePosixTz("EST5EDT,M3.2.0/99999999999999999999999,M11.1.0", 2003));
    EXPECT_FALSE(ParsePosixTz("EST5EDT,M99999999999.2.0,M11.1.0", 2003));
    EXPECT_TRUE(ParsePosixTz("EST5EDT,M3.2.0,M11.1.0", 2003));
}
