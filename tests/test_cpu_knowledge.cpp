// What the processor's registers mean: names, caches, serial number, brand
// string and the clock measurement, without a machine around them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/cpu/CpuKnowledge.h"
#include "platform/simulated/CpuidDump.h"

using namespace torvex::cpu;

namespace {

const std::filesystem::path kDumps = std::filesystem::path(TORVEX_REALDATA_DIR) / "cpuid";

#define REQUIRE_DUMPS()                                                                          \
    if (!std::filesystem::is_directory(kDumps))                                                  \
    GTEST_SKIP() << "real CPUID dumps not found at " << kDumps.string()

CpuidFn FromDump(const std::string& file, std::vector<std::uint32_t>* asked = nullptr) {
    auto dump = std::make_shared<torvex::platform::CpuidDump>(
        torvex::platform::CpuidDump::Load(kDumps / file));
    return [dump, asked](std::uint32_t leaf) {
        if (asked) asked->push_back(leaf);
        const auto a = dump->answer(leaf);
        return Regs{a.eax, a.ebx, a.ecx, a.edx};
    };
}

Signature Sig(int family, int model, int brandIndex = 0, int type = 0) {
    Signature s;
    s.family = family;
    s.model = model;
    s.brandIndex = brandIndex;
    s.type = type;
    return s;
}

// Registers from the little-endian bytes of a descriptor list.
Regs Descriptors(std::initializer_list<std::uint8_t> bytes) {
    std::uint32_t words[4] = {0, 0, 0, 0};
    int i = 0;
    for (std::uint8_t b : bytes) {
        words[i / 4] |= std::uint32_t(b) << (8 * (i % 4));
        ++i;
    }
    return Regs{words[0], words[1], words[2], words[3]};
}

}  // namespace

// ------------------------------------------------------------------ clock normalisation

TEST(CpuClockNormalisation, MovesToTheNearestUsualEnding) {
    EXPECT_EQ(NormaliseMHz(498), 500);
    EXPECT_EQ(NormaliseMHz(733), 733);
    EXPECT_EQ(NormaliseMHz(865), 866);
    EXPECT_EQ(NormaliseMHz(995), 1000);   // a tie goes up
    EXPECT_EQ(NormaliseMHz(0), 0);
    EXPECT_EQ(NormaliseMHz(663), 666);
    EXPECT_EQ(NormaliseMHz(510), 520);    // a tie goes up
    EXPECT_EQ(NormaliseMHz(509), 500);
    EXPECT_EQ(NormaliseMHz(83), 80);
    EXPECT_EQ(NormaliseMHz(116), 120);
    EXPECT_EQ(NormaliseMHz(1715), 1720);
    EXPECT_EQ(NormaliseMHz(3066), 3066);
    EXPECT_EQ(NormaliseMHz(41), 33);
    EXPECT_EQ(NormaliseMHz(42), 50);      // 8 from 50, 9 from 33
}

TEST(CpuClockNormalisation, RoundsHalvesToEven) {
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(3.49), 3);
    EXPECT_EQ(RoundHalfEven(3.51), 4);
    EXPECT_EQ(RoundHalfEven(0.5), 0);
}

// ------------------------------------------------------------------ clock measurement

namespace {

// Counters driven by a virtual clock: each read moves time on by `step`
// nanoseconds; the time-stamp counter runs at `mhz` (which may change per
// round to simulate an unsteady clock).
class VirtualClock : public ClockSource {
public:
    VirtualClock(std::int64_t frequency, double mhz) : frequency_(frequency), mhz_(mhz) {}
    std::int64_t performanceFrequency() override { return frequency_; }
    std::int64_t performanceCounter() override {
        advance();
        return std::int64_t(nanoseconds_ * double(frequency_) / 1e9);
    }
    std::uint32_t timeStampLow() override {
        advance();
        return std::uint32_t(std::uint64_t(tsc_));
    }
    bool raisePriority() override {
        ++raised;
        if (!priorityReadable) return false;
        if (!unsteady.empty()) mhz_ = unsteady[std::size_t(raised - 1) % unsteady.size()];
        priority = 15;
        return true;
    }
    void restorePriority() override {
        ++restored;
        priority = 0;
    }

    std::vector<double> unsteady;   // MHz per round, repeated
    bool priorityReadable = true;
    int raised = 0, restored = 0, priority = 0;
    double step = 37.0;             // nanoseconds per counter read
    double tsc_ = 4294960000.0;     // close to the 32-bit wrap

private:
    void advance() {
        nanoseconds_ += step;
        tsc_ += step * mhz_ / 1000.0;
    }
    std::int64_t frequency_;
    double mhz_;
    double nanoseconds_ = 0;
};

}  // namespace

TEST(CpuClockMeasurement, ASteadyClockStopsAfterThreeRounds) {
    // 3.579545 MHz is the ACPI power-management timer of the Windows PCs.
    VirtualClock clock(3579545, 733.3);
    const ClockMeasurement m = MeasureClock(clock);
    EXPECT_EQ(m.rounds, 3);
    EXPECT_NEAR(m.mhz, 733, 1);
    EXPECT_EQ(NormaliseMHz(m.mhz), 733);
    EXPECT_EQ(clock.raised, 3);
    EXPECT_EQ(clock.restored, 3);
    EXPECT_EQ(clock.priority, 0);
}

TEST(CpuClockMeasurement, ANanosecondCounterNeitherDividesByZeroNorMeasuresNoise) {
    // 1000 counts of a nanosecond counter are one microsecond; the round is
    // lengthened so that the clock is still measured to the MHz.
    VirtualClock clock(1000000000, 2394.0);
    const ClockMeasurement m = MeasureClock(clock);
    EXPECT_GE(m.rounds, 3);
    EXPECT_NEAR(m.mhz, 2394, 1);

    // A counter ten times faster than the sampling: 1000 counts are 0.1 µs.
    VirtualClock faster(10000000000LL, 498.0);
    faster.step = 3.0;
    const ClockMeasurement f = MeasureClock(faster);
    EXPECT_GE(f.rounds, 3);
    EXPECT_EQ(NormaliseMHz(f.mhz), 500);
}

TEST(CpuClockMeasurement, NoCounterGivesZero) {
    VirtualClock clock(0, 500.0);
    const ClockMeasurement m = MeasureClock(clock);
    EXPECT_EQ(m.mhz, 0);
    EXPECT_EQ(m.rounds, 0);
    EXPECT_EQ(clock.raised, 0);
}

TEST(CpuClockMeasurement, AnUnsteadyClockStopsAfterTwentyRounds) {
    VirtualClock clock(3579545, 500.0);
    clock.unsteady = {400.0, 500.0, 600.0};
    const ClockMeasurement m = MeasureClock(clock);
    EXPECT_EQ(m.rounds, 20);
    EXPECT_EQ(clock.raised, 20);
    EXPECT_NEAR(m.mhz, 493, 10);   // the average over all rounds
}

TEST(CpuClockMeasurement, ThreeRoundsAgreeWhenEachIsWithinThreeOfTheirSum) {
    // 499, 500, 501: S = 1500 and |3v - S| is 3 at most: done after three.
    VirtualClock edge(3579545, 500.0);
    edge.unsteady = {499.0, 500.0, 501.0};
    EXPECT_EQ(MeasureClock(edge).rounds, 3);
    // 499, 500, 502: S = 1501 and |3 x 499 - 1501| = 4: never steady, in any
    // rotation of the three.
    VirtualClock beyond(3579545, 500.0);
    beyond.unsteady = {499.0, 500.0, 502.0};
    EXPECT_EQ(MeasureClock(beyond).rounds, 20);
    // Steady from the second round on: the first round's value still counts
    // in the third round's sum, so the fourth round ends it.
    VirtualClock late(3579545, 500.0);
    late.unsteady = {490.0, 500.0, 500.0, 500.0, 500.0};
    EXPECT_EQ(MeasureClock(late).rounds, 4);
}

TEST(CpuClockMeasurement, ACounterThatStandsStillGivesZeroInsteadOfHanging) {
    class Stuck : public VirtualClock {
    public:
        Stuck() : VirtualClock(3579545, 500.0) {}
        std::int64_t performanceCounter() override { return 12345; }
    } clock;
    const ClockMeasurement m = MeasureClock(clock);
    EXPECT_EQ(m.mhz, 0);
    EXPECT_EQ(clock.raised, clock.restored);
}

TEST(CpuClockMeasurement, AnUnreadablePriorityIsNeitherRaisedNorRestored) {
    VirtualClock clock(1193182, 166.0);
    clock.priorityReadable = false;
    const ClockMeasurement m = MeasureClock(clock);
    EXPECT_EQ(NormaliseMHz(m.mhz), 166);
    EXPECT_EQ(clock.restored, 0);
}

// ------------------------------------------------------------------ name table

TEST(CpuNameTable, CoppermineTakesItsNameFromTheBrandIndex) {
    NameEntry e = LookupName(kVendorIntel, Sig(6, 8, 2), 256, 733);
    EXPECT_EQ(e.name, "Pentium III");
    EXPECT_EQ(e.codeName, "Coppermine (0.18 µm)");
    EXPECT_EQ(e.transistors, 28100000u);
    e = LookupName(kVendorIntel, Sig(6, 8, 2, 1), 256, 733);
    EXPECT_EQ(e.name, "Pentium III OverDrive");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 8, 0), 256, 733).name, "Pentium III E");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 8, 1), 128, 700).name, "Celeron");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 8, 3), 256, 733).name, "Pentium III Xeon");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 8, 5), 256, 733).name, "");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(8, 3, 8), 0, 1500).name, "Pentium 4");
    // The micro sign is the one character of the table outside ASCII.
    EXPECT_EQ(LookupName(kVendorIntel, Sig(5, 4), 0, 200).codeName, "P55C (0,28\xC2\xB5m)");
}

TEST(CpuNameTable, DeschutesIsToldApartByItsLevel2Cache) {
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 5), 0, 266).name, "Celeron");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 5), 0, 266).codeName, "Covington (0,25µm)");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 5), 512, 333).name, "Pentium II");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 5), 512, 333).codeName, "Deschutes (0,25µm)");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 5), 1024, 450).name, "Pentium II Xeon");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 5), 1024, 450).codeName, "Deschutes (0.25 µm)");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 6), 256, 400).name, "Pentium II PE (mobile)");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 6), 128, 300).name, "Celeron A");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 7), 512, 500).name, "Pentium III");
    EXPECT_EQ(LookupName(kVendorIntel, Sig(6, 7), 1024, 500).name, "Pentium III Xeon");
}

TEST(CpuNameTable, CyrixModelZeroDependsOnTheClock) {
    NameEntry e = LookupName(kVendorCyrix, Sig(4, 0), 0, 25);
    EXPECT_EQ(e.name, "");
    EXPECT_EQ(e.codeName, "");
    EXPECT_EQ(e.transistors, 0u);
    e = LookupName(kVendorCyrix, Sig(4, 0), 0, 100);
    EXPECT_EQ(e.name, "Cx486DX/DX2/DX4");
    EXPECT_EQ(e.transistors, 1100000u);
    EXPECT_EQ(LookupName(kVendorCyrix, Sig(4, 0), 0, 66).name, "Cx486SLC/DLC");
    EXPECT_EQ(LookupName(kVendorCyrix, Sig(4, 0), 0, 50).name, "Cx486S");
    EXPECT_EQ(LookupName(kVendorCyrix, Sig(4, 0), 0, 0).name, "");   // no counter
    EXPECT_EQ(LookupName(kVendorCyrix, Sig(6, 0), 0, 225).name, "M-II (PR300-433)");
    EXPECT_EQ(LookupName(kVendorCyrix, Sig(6, 0), 0, 200).name, "6x86MX (PR166-266)");
}

TEST(CpuNameTable, UnknownCombinationsGiveNoEntry) {
    EXPECT_EQ(LookupName(0, Sig(6, 8, 2), 256, 733).name, "");
    EXPECT_EQ(LookupName(kVendorAMD, Sig(6, 8), 0, 1800).codeName, "");
    EXPECT_EQ(LookupName(kVendorAMD, Sig(6, 8), 0, 1800).transistors, 0u);
    // An OverDrive without a row still says what it is.
    EXPECT_EQ(LookupName(kVendorIntel, Sig(4, 6, 0, 1), 0, 66).name, " OverDrive");
    // UMC names only four of its family-4 models but knows the die.
    EXPECT_EQ(LookupName(6, Sig(4, 7), 0, 33).name, "");
    EXPECT_EQ(LookupName(6, Sig(4, 7), 0, 33).codeName, "U5D and U5S");
    EXPECT_EQ(LookupName(6, Sig(4, 2), 0, 33).name, "U5S");
}

TEST(CpuVendorTable, MatchesTheTwelveCharactersExactly) {
    EXPECT_EQ(VendorNumber("GenuineIntel"), 1);
    EXPECT_EQ(VendorNumber("RiseRiseRise"), 7);
    EXPECT_EQ(VendorNumber("genuineintel"), 0);
    EXPECT_EQ(VendorNumber("GenuineTMx86"), 0);
    // UMC's signature ends in a blank: three "UMC " make the twelve.
    EXPECT_EQ(VendorNumber(VendorSignature(Regs{0, 0x20434D55, 0x20434D55, 0x20434D55})), 6);
    EXPECT_STREQ(VendorTableRow(6).company, "United Microelectronics Corp");
}

// ------------------------------------------------------------------ caches

TEST(CpuCaches, IntelDescriptorsGiveSizesAndTheLastKnownText) {
    // 0x43 (512 KB level 2) and 0x0C (16 KB level-1 data) together.
    CacheFacts c = DecodeIntelDescriptors(Descriptors({0x01, 0x43, 0x00, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0x0C}));
    EXPECT_EQ(c.level2, 512);
    EXPECT_EQ(c.l1Data, 16);
    EXPECT_EQ(c.l1Code, 0);
    EXPECT_EQ(c.intelDescription, "Data cache, 16K, 4-way set associative, 32 byte line size");

    // A later level-2 descriptor overrides an earlier one; 0x40 means none.
    c = DecodeIntelDescriptors(Descriptors({0x01, 0x44, 0x40, 0x0A, 0x06, 0x80}));
    EXPECT_EQ(c.level2, 0);
    EXPECT_EQ(c.l1Data, 8);
    EXPECT_EQ(c.l1Code, 8);
    EXPECT_EQ(c.level1, 16);
    EXPECT_EQ(c.intelDescription, "Instruction cache, 8K, 4-way set associative, 32 byte line size");

    // The repeat count is no level-2 descriptor, even when it looks like one,
    // but it is read for the description like the other bytes.
    c = DecodeIntelDescriptors(Descriptors({0x41}));
    EXPECT_EQ(c.level2, 0);
    EXPECT_EQ(c.intelDescription, "Unified cache, 32 byte cache line,4-way set associative, 128K");

    // 0x83 has a size but no text.
    c = DecodeIntelDescriptors(Descriptors({0x01, 0x83}));
    EXPECT_EQ(c.level2, 512);
    EXPECT_EQ(c.intelDescription, "Instruction TLB, 4K pages, 4-way set associative, 32 entries");
}

TEST(CpuCaches, IntelLeaf2IsRepeatedAsItsCountSaysAndZeroCountMeansNothing) {
    int calls = 0;
    CpuidFn cpuid = [&](std::uint32_t leaf) {
        if (leaf == 0) return Regs{2, 0, 0, 0};
        if (leaf != 2) return Regs{};
        ++calls;
        // The first answer asks for three executions; the last one counts.
        return calls < 3 ? Regs{0x00430003, 0, 0, 0} : Regs{0x00420003, 0, 0, 0x0C};
    };
    CacheFacts c = ReadCaches(kVendorIntel, cpuid);
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(c.level2, 256);
    EXPECT_EQ(c.l1Data, 16);

    CpuidFn zeroCount = [](std::uint32_t leaf) {
        return leaf == 0 ? Regs{2, 0, 0, 0} : Regs{0x43430C00, 0x0C, 0x0C, 0x0C};
    };
    c = ReadCaches(kVendorIntel, zeroCount);
    EXPECT_EQ(c.level2, 0);
    EXPECT_EQ(c.l1Data, 0);
    EXPECT_EQ(c.intelDescription, "");
}

TEST(CpuCaches, AmdAddsItsTwoLevel1CachesAndCyrixLooksForByte80) {
    CpuidFn amd = [](std::uint32_t leaf) {
        if (leaf == 0x80000000u) return Regs{0x80000006u, 0, 0, 0};
        if (leaf == 0x80000005u) return Regs{0, 0, 0x40020140, 0x20020140};
        return Regs{};
    };
    CacheFacts c = ReadCaches(kVendorAMD, amd);
    EXPECT_EQ(c.l1Data, 64);
    EXPECT_EQ(c.l1Code, 32);
    EXPECT_EQ(c.level1, 96);
    EXPECT_EQ(c.level2, 0);
    EXPECT_EQ(c.intelDescription, "");

    CpuidFn cyrix = [](std::uint32_t leaf) {
        if (leaf == 0x80000000u) return Regs{0x80000005u, 0, 0, 0};
        if (leaf == 0x80000005u) return Regs{0, 0, 0x00800000, 0};
        return Regs{};
    };
    c = ReadCaches(kVendorCyrix, cyrix);
    EXPECT_EQ(c.level1, 16);
    EXPECT_EQ(c.l1Data, 0);

    // Other vendors: nothing is read at all.
    int calls = 0;
    CpuidFn counted = [&](std::uint32_t) { ++calls; return Regs{0x80000005u, 0, 0x80808080, 0}; };
    c = ReadCaches(4, counted);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(c.level1, 0);
}

TEST(CpuCaches, APentiumIsNotAskedForLeaf2) {
    REQUIRE_DUMPS();
    // The Pentium MMX answers leaf 2 with leaf 1's registers 00000543 ...
    // 008003BF: read as descriptors they would claim a 16 KB level-1 cache
    // (0x80) and an instruction TLB (0x03 is the last known byte).
    std::vector<std::uint32_t> asked;
    const CacheFacts c = ReadCaches(kVendorIntel, FromDump("GenuineIntel0000543_P55C_CPUID.txt", &asked));
    EXPECT_EQ(std::count(asked.begin(), asked.end(), 2u), 0);
    EXPECT_EQ(c.level1, 0);
    EXPECT_EQ(c.level2, 0);
    EXPECT_EQ(c.intelDescription, "");
    // What it would have said: the fault this guards against is real.
    const auto dump = torvex::platform::CpuidDump::Load(kDumps / "GenuineIntel0000543_P55C_CPUID.txt");
    const auto leaf2 = dump.answer(2);
    const CacheFacts wrong = DecodeIntelDescriptors(Regs{leaf2.eax, leaf2.ebx, leaf2.ecx, leaf2.edx});
    EXPECT_EQ(wrong.level1, 16);

    // The Pentium Pro has leaf 2 and gets its caches.
    const CacheFacts pro = ReadCaches(kVendorIntel, FromDump("GenuineIntel0000617_P6_CPUID.txt"));
    EXPECT_EQ(pro.level2, 256);
    EXPECT_EQ(pro.l1Data, 8);
    EXPECT_EQ(pro.l1Code, 8);
}

// ------------------------------------------------------------------ brand string

TEST(CpuBrandString, OldIntelProcessorsHaveNone) {
    REQUIRE_DUMPS();
    // Each answers leaf 80000000h with a basic leaf's EAX: 03020101h (leaf 2
    // of the P6), the signature (Pentium), 0 (leaf 3 of the Pentium III). Read
    // anyway, the leaves would give binary bytes with zeros in them.
    for (const char* file : {"GenuineIntel0000617_P6_CPUID.txt", "GenuineIntel0000543_P55C_CPUID.txt",
                             "GenuineIntel0000525_P54C_CPUID.txt", "GenuineIntel0000673_P3_Katmai_CPUID.txt",
                             "GenuineIntel0000660_P2_Mendocino_CPUID.txt"}) {
        std::vector<std::uint32_t> asked;
        EXPECT_EQ(BrandString(FromDump(file, &asked)), "") << file;
        EXPECT_EQ(std::count(asked.begin(), asked.end(), 0x80000002u), 0) << file;
    }
    // 03020101h would pass a signed comparison with 80000004h.
    EXPECT_FALSE(ExtendedLeafAvailable(0x03020101u, 0x80000004u));
    EXPECT_FALSE(ExtendedLeafAvailable(0x80000003u, 0x80000004u));
    EXPECT_TRUE(ExtendedLeafAvailable(0x80000004u, 0x80000004u));
    EXPECT_TRUE(ExtendedLeafAvailable(0x8000FFFFu, 0x80000004u));
    EXPECT_FALSE(ExtendedLeafAvailable(0x80010000u, 0x80000004u));
    EXPECT_FALSE(ExtendedLeafAvailable(0xFFFFFFFFu, 0x80000004u));
}

TEST(CpuBrandString, IsKeptWholeWithLeadingBlanksAndTrailingZeros) {
    REQUIRE_DUMPS();
    const std::string p4 = BrandString(FromDump("GenuineIntel0000F24_P4_Northwood_CPUID.txt"));
    ASSERT_EQ(p4.size(), 48u);
    EXPECT_EQ(p4.substr(0, 14), std::string(14, ' '));
    EXPECT_EQ(p4.find("Intel(R) Pentium(R) 4 CPU 1.60GHz"), 14u);
    EXPECT_EQ(p4.back(), '\0');

    const std::string k5 = BrandString(FromDump("AuthenticAMD0000534_K5_CPUID.txt"));
    ASSERT_EQ(k5.size(), 48u);
    EXPECT_EQ(k5.substr(0, 20), "AMD-K5(tm) Processor");
    EXPECT_EQ(k5.substr(20), std::string(28, '\0'));
}

// ------------------------------------------------------------------ serial number, features

TEST(CpuSerialNumber, SixBlocksOfFourUpperCaseDigits) {
    EXPECT_EQ(SerialNumberText(0x00000683, 0x0000E4CA, 0x6107FB5A), "0000-0683-0000-E4CA-6107-FB5A");
    EXPECT_EQ(SerialNumberText(0, 0, 0), "0000-0000-0000-0000-0000-0000");
    EXPECT_EQ(SerialNumberText(0xFFFFFFFF, 0xabcdef01, 0x10), "FFFF-FFFF-ABCD-EF01-0000-0010");
}

TEST(CpuFeatures, FlagsComeFromTheirBitsInReportOrder) {
    // The whole section for a Coppermine's EDX 0387FBFF (bits 0-9, 11-18,
    // 23-25) with an extended EDX of bits 31 (3DNow!) and 22 (AMD's MMX
    // extensions): every key in its place, every flag from its own bit.
    FeatureWords w;
    w.standard = 0x0387FBFF;
    w.extended = (1u << 31) | (1u << 22);
    const std::vector<std::pair<std::string, bool>> expected{
        {"Built-In FPU", true},
        {"Virtual Mode Extension", true},
        {"Debugging Extension", true},
        {"Page Size Extension", true},
        {"Time Stamp Counter", true},
        {"Model Specific Registers", true},
        {"Physical Address Extension", true},
        {"Machine Check Exception", true},
        {"CMPXCHG8B Instruction Supported", true},
        {"On-chip APIC Hardware Supported", true},
        {"Fast System Call", true},
        {"Memory Type Range Registers", true},
        {"Page Global Extension", true},
        {"Machine Check Architecture", true},
        {"Conditional Move Instruction Supported", true},
        {"Page Attribute Table", true},
        {"36bit Page Size Extension", true},
        {"Processor serial number is present and enabled", true},
        {"CLFLUSH Instruction Supported", false},
        {"Debug Store", false},
        {"Thermal Monitor and Software Controlled Clock Facilities (ACPI)", false},
        {"Intel Architecture MMX technology supported", true},
        {"Fast floating point save and restore", true},
        {"Streaming SIMD Extensions", true},
        {"Streaming SIMD Extensions 2", false},
        {"Self-Snoop", false},
        {"Thermal Monitor supported", false},
        {"3D Now! Extensions", true},
        {"Enhanced 3D Now! Extensions", false},
        {"Enhanced MMX Extensions", true},
    };
    ASSERT_EQ(kFeatureCount, int(expected.size()));
    for (int i = 0; i < kFeatureCount; ++i) {
        EXPECT_EQ(FeatureTableRow(i).reportKey, expected[std::size_t(i)].first) << "row " << i;
        EXPECT_EQ(FeatureSet(FeatureTableRow(i), w), expected[std::size_t(i)].second) << expected[std::size_t(i)].first;
    }
    // The complement: every standard flag off with EDX's other bits, and
    // AMD's FXSR bit alone counts as enhanced MMX.
    w.standard = ~0x0387FBFFu;
    w.extended = 1u << 24;
    for (int i = 0; i < kFeatureCount; ++i) {
        bool flag = FeatureSet(FeatureTableRow(i), w);
        if (i < 27) {
            EXPECT_EQ(flag, !expected[std::size_t(i)].second) << expected[std::size_t(i)].first;
        }
    }
    EXPECT_FALSE(FeatureSet(FeatureTableRow(27), w));
    EXPECT_FALSE(FeatureSet(FeatureTableRow(28), w));
    EXPECT_TRUE(FeatureSet(FeatureTableRow(29), w));
    // Each standard flag from its own bit of EDX and from no other.
    const int bits[27] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 12, 13, 14, 15, 16, 17, 18, 19, 21, 22, 23, 24, 25, 26, 27, 29};
    for (int i = 0; i < 27; ++i) {
        w.standard = 1u << bits[i];
        w.extended = 0;
        for (int row = 0; row < kFeatureCount; ++row)
            EXPECT_EQ(FeatureSet(FeatureTableRow(row), w), row == i) << "bit " << bits[i] << ", row " << row;
    }
    // The extended flags from bits 31 and 30 of the extended EDX.
    w.standard = 0;
    w.extended = 1u << 30;
    EXPECT_FALSE(FeatureSet(FeatureTableRow(27), w));
    EXPECT_TRUE(FeatureSet(FeatureTableRow(28), w));
}

TEST(CpuFeatures, AnIntelProcessorWithoutExtendedLeavesHasNoExtendedFlags) {
    // A Pentium III answers 80000001h with leaf 3, whose ECX and EDX are
    // halves of its serial number: any bit pattern at all.
    CpuidFn p3 = [](std::uint32_t leaf) {
        if (leaf == 1) return Regs{0x00000673, 0, 0, 0x0387F9FF};
        return Regs{0, 0, 0x8EF18AEE, 0xC1400000};   // leaf 3 for anything above
    };
    const FeatureWords w = ReadFeatureWords(p3);
    EXPECT_EQ(w.standard, 0x0387F9FFu);
    EXPECT_EQ(w.extended, 0u);
}

TEST(CpuDivisionTest, ASoundUnitHasNoFlawAndAFlawedOneIsFound) {
    EXPECT_FALSE(DivisionFlawPresent());
    // The real unit's quotient passes; a flawed Pentium's (4195835 / 3145727
    // = 1.333739068902037589 instead of 1.333820449136241002) is found, and
    // so is any quotient off in its last bits.
    EXPECT_FALSE(DivisionFlawWith([](long double x, long double y) { return x / y; }));
    EXPECT_TRUE(DivisionFlawWith([](long double, long double) { return 1.333739068902037589L; }));
    EXPECT_TRUE(DivisionFlawWith([](long double x, long double y) { return x / y * (1.0L + 1e-15L); }));
}
