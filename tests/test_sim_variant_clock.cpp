// A variant machine with its own processor dump, and dumps with damaged
// section headers.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/machine/Machine.h"
#include "platform/simulated/CpuidDump.h"

namespace fs = std::filesystem;
using namespace torvex::platform;

namespace {

const char* kPentium4Dump =
    "------[ CPU Info ]------\n"
    "\n"
    "CPU Type           : Intel Pentium 4, 1600 MHz (16 x 100)\n"
    "\n"
    "------[ Logical CPU #0 ]------\n"
    "\n"
    "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
    "CPUID 00000001: 00000F24-00010809-00000000-3FEBFBFF\n"
    "CPUID 00000002: 665B5001-00000000-00000000-007B7040\n";

// Time-stamp counter cycles in one virtual second, in MHz.
double ClockMHz(Machine& m) {
    std::uint64_t before = m.timeStampCounter();
    m.sleep(1000);
    std::uint64_t after = m.timeStampCounter();
    return double(after - before) / 1e6;
}

class VariantClock : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("torvex-variant-clock-" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir / "variant");
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
    const std::string xp = std::string(TORVEX_SOURCE_DIR) + "/machines/winxp-pc";
};

TEST_F(VariantClock, AVariantWithItsOwnDumpRunsAtItsDumpsClock) {
    // The base runs at its own 2405.47 MHz.
    auto base = LoadSimulatedMachine(xp, dir / "overlay-base");
    EXPECT_NEAR(ClockMHz(*base), 2405.47, 0.01);

    std::ofstream(dir / "variant" / "machine.json") << "{ \"base\": \"" << xp << "\" }\n";
    std::ofstream(dir / "variant" / "cpuid.txt") << kPentium4Dump;
    auto variant = LoadSimulatedMachine(dir / "variant", dir / "overlay-variant");
    EXPECT_NEAR(ClockMHz(*variant), 1600.0, 0.01);

    // A clock of its own wins over the dump's header.
    std::ofstream(dir / "variant" / "machine.json")
        << "{ \"base\": \"" << xp << "\", \"processor\": { \"clockMHz\": 1594.2 } }\n";
    EXPECT_NEAR(ClockMHz(*LoadSimulatedMachine(dir / "variant", dir / "overlay-2")), 1594.2, 0.01);

    // Without a dump of its own, the variant keeps the base's processor and clock.
    fs::remove(dir / "variant" / "cpuid.txt");
    std::ofstream(dir / "variant" / "machine.json") << "{ \"base\": \"" << xp << "\" }\n";
    EXPECT_NEAR(ClockMHz(*LoadSimulatedMachine(dir / "variant", dir / "overlay-3")), 2405.47, 0.01);
}

TEST(SimCpuidDumpHeaders, OverlongProcessorNumbersAreLaterProcessors) {
    // The first section is read; a header naming processor 4444444444 (more
    // than an int holds) is a later one and ends it, as "#1" would.
    std::string dump = std::string(kPentium4Dump) +
                       "\n------[ Logical CPU #4444444444 ]------\n\n"
                       "CPUID 00000000: 00000001-11111111-22222222-33333333\n"
                       "CPUID Registers (CPU #99999999999999999999):\n"
                       "CPUID 00000001: 00000001-00000000-00000000-00000000\n";
    CpuidDump d = CpuidDump::Parse(dump, "cpuid.txt");
    EXPECT_EQ(d.answer(0, 0).ebx, 0x756E6547u);
    EXPECT_EQ(d.answer(1, 0).eax, 0x00000F24u);
    // Leading zeros are still processor 0.
    CpuidDump zero = CpuidDump::Parse(
        "CPUID Registers (CPU #0000000000000000000000):\nCPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n",
        "cpuid.txt");
    EXPECT_EQ(zero.answer(0, 0).eax, 2u);
}

}  // namespace
