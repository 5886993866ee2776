// CPUID dumps: reading the formats real dumps come in, and answering leaves
// a dump lacks as the processor itself would.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/simulated/CpuidDump.h"

using torvex::platform::CpuidAnswer;
using torvex::platform::CpuidDump;
using torvex::platform::MachineError;

namespace {

// A Pentium 4 with extended leaves up to 80000004h and basic leaves up to 2.
const char* kPentium4 =
    "------[ CPU Info ]------\n"
    "\n"
    "CPU Type           : Intel Pentium 4, 1600 MHz (16 x 100)\n"
    "CPUID Manufacturer : GenuineIntel\n"
    "CPUID Revision     : 00000F24h\n"
    "\n"
    "------[ Logical CPU #0 ]------\n"
    "\n"
    "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
    "CPUID 00000001: 00000F24-00010809-00000000-3FEBFBFF\n"
    "CPUID 00000002: 665B5001-00000000-00000000-007B7040\n"
    "CPUID 80000000: 80000004-00000000-00000000-00000000\n"
    "CPUID 80000001: 00000000-00000000-00000000-00000000\n"
    "CPUID 80000002: 20202020-20202020-20202020-6E492020\n"
    "CPUID 80000003: 286C6574-50202952-69746E65-52286D75\n"
    "CPUID 80000004: 20342029-20555043-30362E31-007A4847\n"
    "\n"
    "------[ Logical CPU #1 ]------\n"
    "\n"
    "CPUID 00000000: 00000002-756E6547-6C65746E-49656E69\n"
    "CPUID 00000001: 00000F24-01010809-00000000-3FEBFBFF\n"
    "\n"
    "------[ MSR Registers ]------\n"
    "MSR 0000001B: 0000-0000-FEE0-0900\n";

// A Pentium III: no extended leaves at all.
const char* kPentium3 =
    "CPU Type           : Intel Pentium III, 450 MHz (4.5 x 100)\n"
    "------[ Logical CPU #0 ]------\n"
    "CPUID 00000000: 00000003-756E6547-6C65746E-49656E69\n"
    "CPUID 00000001: 00000673-00000000-00000000-0387F9FF\n"
    "CPUID 00000002: 03020101-00000000-00000000-0C040843\n"
    "CPUID 00000003: 00000000-00000000-8EF18AEE-0000D043\n";

// An Athlon in the older format without colon and with a comment.
const char* kAthlon =
    "CPUID 00000000 00000001-68747541-444D4163-69746E65 [AuthenticAMD]\n"
    "CPUID 00000001 00000612-00000000-00000000-0081F9FF\n"
    "CPUID 80000000 80000006-68747541-444D4163-69746E65\n"
    "CPUID 80000001 00000712-00000000-00000000-C0C1F9FF\n";

bool Same(const CpuidAnswer& a, const CpuidAnswer& b) {
    return a.eax == b.eax && a.ebx == b.ebx && a.ecx == b.ecx && a.edx == b.edx;
}

}  // namespace

TEST(SimCpuidDump, ReadsTheFirstProcessorAndTheHeaderClock) {
    CpuidDump d = CpuidDump::Parse(kPentium4, "p4.txt");
    EXPECT_EQ(d.vendor(), "GenuineIntel");
    EXPECT_EQ(d.maxBasicLeaf(), 2u);
    ASSERT_TRUE(d.maxExtendedLeaf());
    EXPECT_EQ(*d.maxExtendedLeaf(), 0x80000004u);
    // Logical CPU #1 has its own APIC id in EBX; CPU #0's answer counts.
    EXPECT_EQ(d.answer(1, 0).ebx, 0x00010809u);
    EXPECT_EQ(d.answer(0x80000004, 0).edx, 0x007A4847u);
    ASSERT_TRUE(d.headerClockMhz());
    EXPECT_EQ(*d.headerClockMhz(), 1600u);
    EXPECT_EQ(d.cpuType(), "Intel Pentium 4, 1600 MHz (16 x 100)");
    EXPECT_FALSE(d.lists(0x1B));   // an MSR line is no leaf
}

TEST(SimCpuidDump, IntelAnswersLeavesAboveItsMaximumWithTheHighestBasicLeaf) {
    CpuidDump p4 = CpuidDump::Parse(kPentium4, "p4.txt");
    CpuidAnswer leaf2 = p4.answer(2, 0);
    EXPECT_TRUE(Same(p4.answer(3, 0), leaf2));
    EXPECT_TRUE(Same(p4.answer(0x7FFFFFFF, 0), leaf2));
    EXPECT_TRUE(Same(p4.answer(0x80000005, 0), leaf2));
    EXPECT_TRUE(Same(p4.answer(0x80000008, 0), leaf2));

    // Without extended leaves every extended leaf, the brand string's
    // included, reads as the highest basic leaf.
    CpuidDump p3 = CpuidDump::Parse(kPentium3, "p3.txt");
    CpuidAnswer leaf3 = p3.answer(3, 0);
    EXPECT_EQ(leaf3.ecx, 0x8EF18AEEu);
    EXPECT_TRUE(Same(p3.answer(0x80000000, 0), leaf3));
    EXPECT_TRUE(Same(p3.answer(0x80000002, 0), leaf3));
    EXPECT_TRUE(Same(p3.answer(4, 0), leaf3));
    EXPECT_EQ(*p3.headerClockMhz(), 450u);
    EXPECT_FALSE(p3.maxExtendedLeaf());
}

TEST(SimCpuidDump, OtherVendorsAnswerMissingLeavesWithZeros) {
    CpuidDump k7 = CpuidDump::Parse(kAthlon, "k7.txt");
    EXPECT_EQ(k7.vendor(), "AuthenticAMD");
    EXPECT_EQ(k7.answer(0x80000001, 0).edx, 0xC0C1F9FFu);
    EXPECT_TRUE(Same(k7.answer(2, 0), CpuidAnswer{}));
    EXPECT_TRUE(Same(k7.answer(0x80000002, 0), CpuidAnswer{}));
    EXPECT_TRUE(Same(k7.answer(0x80000007, 0), CpuidAnswer{}));
    EXPECT_FALSE(k7.headerClockMhz());
}

TEST(SimCpuidDump, RepeatedLeafLinesAreSubLeaves) {
    CpuidDump d = CpuidDump::Parse(
        "CPUID 00000000: 00000007-756E6547-6C65746E-49656E69\n"
        "CPUID 00000001: 00000590-00010200-00000000-0000237B\n"
        "CPUID 00000007: 00000001-00000080-00000000-00000000\t[SMEP]\n"
        "CPUID 00000007: 00000000-00000000-00000000-00000011\n",
        "quark.txt");
    EXPECT_EQ(d.answer(7, 0).ebx, 0x80u);
    EXPECT_EQ(d.answer(7, 1).edx, 0x11u);
    EXPECT_TRUE(Same(d.answer(7, 2), CpuidAnswer{}));
    // A leaf without sub-leaves ignores ECX.
    EXPECT_EQ(d.answer(1, 5).eax, 0x590u);
}

TEST(SimCpuidDump, AcceptsTheOtherSpellingsOfALine) {
    CpuidDump d = CpuidDump::Parse(
        "CPUID 00000000 : 00000001 746E6543 736C7561 48727561\r\n"
        "CPUID 00000001  \t0000067A-00000000-00000000-00803135 \r\n"
        "CPUID 80000000: 80000006-00000000-00000000-00000000     [NX]\r\n",
        "c3.txt");
    EXPECT_EQ(d.vendor(), "CentaurHauls");
    EXPECT_EQ(d.answer(1, 0).edx, 0x00803135u);
    EXPECT_EQ(*d.maxExtendedLeaf(), 0x80000006u);
}

TEST(SimCpuidDump, MalformedDumpsNameFileAndLine) {
    try {
        CpuidDump::Parse("CPUID 00000000: 00000001-68747541-444D4163-69746E65\n"
                         "\n"
                         "CPUID 00000001: 00000612-00000000-0081F9FF\n",
                         "broken.txt");
        FAIL() << "a line with three registers was accepted";
    } catch (const MachineError& e) {
        EXPECT_EQ(e.file(), "broken.txt");
        EXPECT_EQ(e.line(), 3);
    }
    try {
        CpuidDump::Parse("CPUID 00000001: 00000612-00000000-00000000-0081F9FZ\n", "junk.txt");
        FAIL() << "trailing junk was accepted";
    } catch (const MachineError& e) {
        EXPECT_EQ(e.line(), 1);
    }
    EXPECT_THROW(CpuidDump::Parse("CPU Type : Intel Pentium, 100 MHz\n", "empty.txt"), MachineError);
    EXPECT_THROW(CpuidDump::Load("/nonexistent/cpuid.txt"), MachineError);
}

// Every recorded dump reads, and its leaf 1 and vendor agree with the
// signature and vendor its file is named after.
TEST(SimCpuidDump, ReadsEveryRecordedDump) {
    std::filesystem::path dir = std::filesystem::path(TORVEX_REALDATA_DIR) / "cpuid";
    if (!std::filesystem::is_directory(dir)) GTEST_SKIP() << "no recorded CPUID dumps at " << dir;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::string name = entry.path().filename().string();
        if (name.size() < 20 || entry.path().extension() != ".txt") continue;
        SCOPED_TRACE(name);
        CpuidDump d = CpuidDump::Load(entry.path());
        EXPECT_EQ(d.vendor(), name.substr(0, 12));
        // The file name leaves out the processor-type bits (an OverDrive has 1).
        EXPECT_EQ(d.answer(1, 0).eax & ~0x3000u, std::stoul(name.substr(12, 7), nullptr, 16));
        ++files;
    }
    EXPECT_GT(files, 50);
}
