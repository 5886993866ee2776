// The processor category on simulated PCs: every recorded real processor,
// the measured clock, the report text and the error policy of its steps.
#include <gtest/gtest.h>

#include "platform/Corvane_Routines.h"

#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/Zarvo_CPU.h"
#include "engine/Zarvo_GUI.h"
#include "platform/machine/Machine.h"
#include "platform/simulated/SimulatedMachine.h"
#include "tests/FakeMachine.h"

namespace fs = std::filesystem;
using torvex::TStringList;
using torvex::engine::TCPU;
using namespace torvex::engine;

namespace {

const fs::path kDumps = fs::path(TORVEX_REALDATA_DIR) / "cpuid";
const fs::path kExpectations = fs::path(TORVEX_SOURCE_DIR) / "tests/data/cpu/realdata_expected.tsv";

#define REQUIRE_DUMPS()                                                                          \
    if (!fs::is_directory(kDumps))                                                               \
    GTEST_SKIP() << "real CPUID dumps not found at " << kDumps.string()

// A scratch folder per test, removed afterwards.
class ScratchFolder {
public:
    ScratchFolder() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        path_ = fs::temp_directory_path() /
                ("torvex-cpu-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    // The machines a test made active live in the folder: the next test
    // starts from the default machine again.
    ~ScratchFolder() {
        torvex::platform::SetActiveMachine(nullptr);
        torvex::platform::SetMessageBoxHook(nullptr);
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

struct MachineRecipe {
    std::string dump;                 // file in the dump folder
    double clockMHz = 0;              // 0: the dump header's clock
    long long performanceFrequency = -1;   // -1: the machine's default
    unsigned processors = 1;
};

// A Windows 98 SE PC with the given processor, made active.
void RunOn(const ScratchFolder& scratch, const MachineRecipe& recipe) {
    static int serial = 0;
    const fs::path folder = scratch.path() / ("pc" + std::to_string(++serial));
    fs::create_directories(folder);
    fs::create_symlink(kDumps / recipe.dump, folder / "cpuid.txt");
    std::ostringstream json;
    json << R"({"version": {"major": 4, "minor": 10, "build": 2222, "platformId": 1, "csdVersion": " A "},)"
         << R"( "systemInfo": {"processors": )" << recipe.processors << "}";
    if (recipe.clockMHz > 0) json << R"(, "processor": {"clockMHz": )" << recipe.clockMHz << "}";
    if (recipe.performanceFrequency >= 0)
        json << R"(, "clock": {"performanceFrequency": )" << recipe.performanceFrequency << "}";
    json << "}";
    std::ofstream(folder / "machine.json") << json.str();
    torvex::platform::SetActiveMachine(
        torvex::platform::SimulatedMachine::Load(folder, scratch.path() / "overlay"));
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return fields;
}

std::vector<std::string> ReportOf(const TCPU& cpu) {
    TStringList list;
    cpu.Report(list);
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
    return lines;
}

}  // namespace

// ------------------------------------------------------------------ real processors

TEST(CpuRealProcessors, EveryRecordedProcessorIsNamedAndSizedAsTheTablesSay) {
    REQUIRE_DUMPS();
    std::ifstream in(kExpectations);
    ASSERT_TRUE(in) << kExpectations;
    ScratchFolder scratch;
    std::set<std::string> covered;
    std::string line;
    int rows = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = Split(line);
        ASSERT_EQ(f.size(), 12u) << line;
        SCOPED_TRACE(f[0]);
        ++rows;
        covered.insert(f[0]);
        MachineRecipe recipe;
        recipe.dump = f[0];
        recipe.clockMHz = f[1].empty() ? 0 : std::stod(f[1]);
        RunOn(scratch, recipe);

        TCPU cpu;
        cpu.GetInfo();
        EXPECT_EQ(cpu.Frequency(), std::stoi(f[2]));
        EXPECT_EQ(cpu.VendorID(), f[3]);
        EXPECT_EQ(cpu.CodeName(), f[4]);
        EXPECT_EQ(cpu.Transistors(), std::stoi(f[5]));
        EXPECT_EQ(cpu.Cache().L1Data(), std::stoi(f[6]));
        EXPECT_EQ(cpu.Cache().L1Code(), std::stoi(f[7]));
        EXPECT_EQ(cpu.Cache().Level1(), std::stoi(f[8]));
        EXPECT_EQ(cpu.Cache().Level2(), std::stoi(f[9]));
        EXPECT_EQ(cpu.Cache().IntelDescription(), f[10]);
        // The vendor follows the file name's signature.
        const std::string vendorOfName = f[0].substr(0, 12);
        EXPECT_EQ(cpu.Vendor().empty(), false);
        if (vendorOfName == "GenuineIntel") {
            EXPECT_EQ(cpu.VendorEx(), "Intel Corporation");
        } else if (vendorOfName == "AuthenticAMD") {
            EXPECT_EQ(cpu.VendorEx(), "Advanced Micro Devices");
        }
    }
    EXPECT_EQ(rows, 80);
    // Every dump has its expectation.
    for (const auto& entry : fs::directory_iterator(kDumps))
        EXPECT_TRUE(covered.count(entry.path().filename().string())) << entry.path();
}

TEST(CpuRealProcessors, FeatureFlagsAgreeWithTheInstructionSetsTheRecorderSaw) {
    REQUIRE_DUMPS();
    // The recording program's header names the instruction sets it found
    // ("x86, MMX, 3DNow!, SSE"): a second opinion on four of the flags.
    ScratchFolder scratch;
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(kDumps)) {
        std::ifstream in(entry.path());
        std::string line, sets;
        while (std::getline(in, line))
            if (line.rfind("Instruction Set", 0) == 0) sets = line.substr(line.find(':') + 1) + ",";
        if (sets.empty()) continue;
        SCOPED_TRACE(entry.path().filename().string() + ":" + sets);
        auto has = [&](const std::string& name) { return sets.find(" " + name + ",") != std::string::npos; };
        RunOn(scratch, {entry.path().filename().string(), 100});
        TCPU cpu;
        cpu.GetInfo();
        EXPECT_EQ(cpu.Features().MMX(), has("MMX"));
        EXPECT_EQ(cpu.Features().SSE(), has("SSE"));
        EXPECT_EQ(cpu.Features().SSE2(), has("SSE2"));
        EXPECT_EQ(cpu.Features()._3DNOW(), has("3DNow!"));
        ++compared;
    }
    EXPECT_EQ(compared, 51);
}

TEST(CpuRealProcessors, OldIntelProcessorsShowNoBrandStringAndPentiumsNoCaches) {
    REQUIRE_DUMPS();
    ScratchFolder scratch;
    for (const char* dump : {"GenuineIntel0000617_P6_CPUID.txt", "GenuineIntel0000673_P3_Katmai_CPUID.txt",
                             "GenuineIntel0000543_P55C_CPUID.txt"}) {
        SCOPED_TRACE(dump);
        RunOn(scratch, {dump});
        TCPU cpu;
        cpu.GetInfo();
        EXPECT_EQ(cpu.BrandString(), "");
        // No enhanced flags from another leaf's registers either.
        EXPECT_FALSE(cpu.Features().EX_MMX());
        EXPECT_FALSE(cpu.Features()._3DNOW());
    }
    // The Pentium MMX: leaf 2 is not asked, so no invented level-1 cache.
    TCPU mmx;
    mmx.GetInfo();
    EXPECT_EQ(mmx.Cache().Level1(), 0);
    EXPECT_EQ(mmx.Cache().IntelDescription(), "");
    EXPECT_TRUE(mmx.Features().MMX());

    // A Pentium 4 has the leaves: 48 characters, leading blanks kept.
    RunOn(scratch, {"GenuineIntel0000F24_P4_Northwood_CPUID.txt"});
    TCPU p4;
    p4.GetInfo();
    ASSERT_EQ(p4.BrandString().size(), 48u);
    EXPECT_EQ(p4.BrandString().substr(0, 14), std::string(14, ' '));
    EXPECT_EQ(p4.BrandString().substr(14, 34),
              std::string("Intel(R) Pentium(R) 4 CPU 1.60GHz") + std::string(1, '\0'));
    EXPECT_TRUE(p4.Features().SSE2());
    EXPECT_FALSE(p4.Features().PSN());
    EXPECT_EQ(p4.SerialNumber(), "");
}

// ------------------------------------------------------------------ clock

TEST(CpuClock, MeasuredClocksAreMovedToTheirUsualEnding) {
    REQUIRE_DUMPS();
    ScratchFolder scratch;
    const std::map<double, int> cases = {{498, 500}, {733, 733}, {865, 866}, {995, 1000}, {663, 666}};
    for (const auto& [clock, reported] : cases) {
        SCOPED_TRACE(clock);
        RunOn(scratch, {"GenuineIntel0000673_P3_Katmai_CPUID.txt", clock});
        TCPU cpu;
        cpu.GetInfo();
        EXPECT_EQ(cpu.Frequency(), reported);
    }
    // The counter of the first PCs (1.19 MHz) and a nanosecond counter.
    for (long long frequency : {1193182LL, 1000000000LL}) {
        SCOPED_TRACE(frequency);
        RunOn(scratch, {"GenuineIntel0000673_P3_Katmai_CPUID.txt", 450, frequency});
        TCPU cpu;
        cpu.GetInfo();
        EXPECT_EQ(cpu.Frequency(), 450);
    }
}

TEST(CpuClock, WithoutAHighResolutionCounterTheClockIsZero) {
    REQUIRE_DUMPS();
    ScratchFolder scratch;
    RunOn(scratch, {"CyrixInstead0000600_MII_CPUID.txt", 250, 0});
    TCPU cpu;
    cpu.GetInfo();
    EXPECT_EQ(cpu.Frequency(), 0);
    // The Cyrix rows that look at the clock see 0: M-II needs 225 MHz.
    EXPECT_EQ(cpu.VendorID(), "6x86MX (PR166-266)");
}

// ------------------------------------------------------------------ report

TEST(CpuReport, ACoppermineReportsEverySectionInItsFormat) {
    REQUIRE_DUMPS();
    ScratchFolder scratch;
    RunOn(scratch, {"GenuineIntel0000683_P3_Coppermine_CPUID.txt", 0, -1, 2});
    TCPU cpu;
    cpu.GetInfo();
    const std::vector<std::string> r = ReportOf(cpu);
    ASSERT_EQ(r.size(), 1u + 11 + 1 + 4 + 1 + 30 + 1 + 5);
    const std::vector<std::string> head(r.begin(), r.begin() + 17);
    EXPECT_EQ(head, (std::vector<std::string>{
                        "[CPU]", "Count=2", "Frequency=733", "VendorID=Pentium III", "Vendor=Intel",
                        "Family=6", "Model=8", "Stepping=3", "CodeName=Coppermine (0.18 µm)",
                        "Transistors=28100000", "SerialNumber=0000-0683-0000-E4CA-6107-FB5A",
                        "FDIVBug=0", "[CPUID_CPUSIGNATURE]", "EAX=00000683", "EBX=00000002",
                        "ECX=00000000", "EDX=0387FBFF"}));
    EXPECT_EQ(r[17], "[CPU Features]");
    EXPECT_EQ(r[18], "Built-In FPU=1");
    EXPECT_EQ(r[35], "Processor serial number is present and enabled=1");
    EXPECT_EQ(r[37], "Debug Store=0");
    EXPECT_EQ(r[42], "Streaming SIMD Extensions 2=0");
    EXPECT_EQ(r[47], "Enhanced MMX Extensions=0");
    const std::vector<std::string> tail(r.end() - 6, r.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        "[CPU Cache]", "Level 1 Data Cache=16", "Level 1 Instruction Cache=16",
                        "Level 1 Unified Cache=0", "Level 2 Unified Cache=256",
                        "Intel Cache Description: Data cache, 16K, 4-way set associative, 32 byte line size"}));
    // Framing: no blank line, no blank around "=".
    for (const std::string& line : r) {
        EXPECT_FALSE(line.empty());
        EXPECT_EQ(line.find(" ="), std::string::npos) << line;
        EXPECT_EQ(line.find("= "), std::string::npos) << line;
    }
}

TEST(CpuReport, AnAthlonHasNoSerialNumberAndSumsItsLevel1Caches) {
    REQUIRE_DUMPS();
    ScratchFolder scratch;
    RunOn(scratch, {"AuthenticAMD0000644_K7_Thunderbird_CPUID.txt"});
    TCPU cpu;
    cpu.GetInfo();
    const std::vector<std::string> r = ReportOf(cpu);
    EXPECT_EQ(r[10], "SerialNumber=");
    EXPECT_EQ(r[3], "VendorID=Athlon");
    EXPECT_EQ(r[4], "Vendor=AMD");
    EXPECT_EQ(r.back(), "Intel Cache Description: ");
    EXPECT_EQ(r[r.size() - 3], "Level 1 Unified Cache=128");
    EXPECT_EQ(r[r.size() - 2], "Level 2 Unified Cache=0");
    EXPECT_EQ(r[r.size() - 9], "3D Now! Extensions=1");
    EXPECT_EQ(r[r.size() - 8], "Enhanced 3D Now! Extensions=1");
    EXPECT_EQ(r[r.size() - 7], "Enhanced MMX Extensions=1");
}

TEST(CpuReport, ValuesPersistButOnlyAMatchChangesVendorEx) {
    REQUIRE_DUMPS();
    ScratchFolder scratch;
    TCPU cpu;
    RunOn(scratch, {"GenuineIntel0000683_P3_Coppermine_CPUID.txt"});
    cpu.GetInfo();
    // The same object on a processor without serial number and of an
    // unknown vendor: the company and serial number of the last one stay.
    const fs::path folder = scratch.path() / "unknown-pc";
    fs::create_directories(folder);
    std::ofstream(folder / "cpuid.txt") << "CPUID 00000000: 00000001-756E6547-54656E69-3638784D\n"
                                           "CPUID 00000001: 00000543-00000000-00000000-00000011\n";
    std::ofstream(folder / "machine.json")
        << R"({"version": {"major": 5, "minor": 1, "build": 2600, "platformId": 2}, "processor": {"clockMHz": 600}})";
    torvex::platform::SetActiveMachine(torvex::platform::SimulatedMachine::Load(folder, scratch.path() / "o"));
    cpu.GetInfo();
    EXPECT_EQ(cpu.Vendor(), "");
    EXPECT_EQ(cpu.VendorEx(), "Intel Corporation");
    EXPECT_EQ(cpu.SerialNumber(), "0000-0683-0000-E4CA-6107-FB5A");
    EXPECT_EQ(cpu.VendorID(), "");
    EXPECT_EQ(cpu.Cache().Level2(), 0);
    EXPECT_EQ(cpu.Frequency(), 600);
}

// ------------------------------------------------------------------ properties

TEST(CpuProperties, ArePublishedInDeclarationOrder) {
    TCPU cpu;
    std::vector<std::string> names;
    for (const auto& p : cpu.GetPropList()) names.push_back(p.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"ExceptionMode", "Count", "VendorEx", "VendorID", "Frequency",
                                               "Family", "Stepping", "Model", "Features", "Cache",
                                               "SerialNumber", "FDIVBug", "CodeName"}));
    EXPECT_EQ(cpu.GetPropList()[0].Get().AsText(), "emMessage");

    names.clear();
    for (const auto& p : cpu.Features().GetPropList()) names.push_back(p.Name);
    ASSERT_EQ(names.size(), 30u);
    EXPECT_EQ(names.front(), "_3DNOW");
    EXPECT_EQ(names[3], "TM");
    EXPECT_EQ(names[12], "PSN");
    EXPECT_EQ(names.back(), "FPU");

    names.clear();
    for (const auto& p : cpu.Cache().GetPropList()) names.push_back(p.Name);
    EXPECT_EQ(names, (std::vector<std::string>{"L1Data", "L1Code", "Level1", "Level2", "IntelDescription"}));
}

// ------------------------------------------------------------------ error policy

namespace {

// A Coppermine whose feature leaf or cache leaf fails to answer.
class FailingProcessor : public torvex::testing::FakeMachine {
public:
    using FakeMachine::FakeMachine;
    bool failFeatures = false, failCache = false;
    bool cpuidAvailable() override { return true; }
    torvex::platform::CpuidAnswer cpuid(std::uint32_t leaf, std::uint32_t) override {
        if (leaf == 0) return {3, 0x756E6547, 0x6C65746E, 0x49656E69};
        if (leaf == 1) return {0x00000683, 2, 0, 0x0387FBFF};
        if (leaf == 2) {
            if (failCache) throw std::runtime_error("leaf 2 unreadable");
            return {0x03020101, 0, 0, 0x0C040882};
        }
        if (leaf == 0x80000000u) return {0x80000004u, 0, 0, 0};
        if (leaf == 0x80000001u && failFeatures) throw std::runtime_error("leaf 80000001h unreadable");
        return {};
    }
};

}  // namespace

TEST(CpuErrorPolicy, AFailingStepIsReportedAndTheRestStillRuns) {
    ScratchFolder scratch;
    std::vector<std::string> messages;
    torvex::platform::SetMessageBoxHook([&](const std::string& text, const std::string& caption, unsigned) {
        messages.push_back(caption + "|" + text);
        return 1;
    });
    auto owned = std::make_unique<FailingProcessor>(scratch.path());
    FailingProcessor* machine = owned.get();
    torvex::platform::SetActiveMachine(std::move(owned));

    TCPU cpu;
    machine->failFeatures = true;
    cpu.GetInfo();   // emMessage after construction
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Error|TCPUFeatures.GetInfo: leaf 80000001h unreadable");
    // The steps after it still ran.
    EXPECT_EQ(cpu.Cache().Level2(), 256);
    EXPECT_EQ(cpu.VendorID(), "Pentium III");

    machine->failFeatures = false;
    machine->failCache = true;
    messages.clear();
    cpu.GetInfo();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Error|TCPUCache.GetInfo: leaf 2 unreadable");
    EXPECT_EQ(cpu.Cache().Level2(), 0);
    EXPECT_EQ(cpu.CodeName(), "Coppermine (0.18 µm)");
    EXPECT_TRUE(cpu.Features().SSE());

    messages.clear();
    cpu.SetExceptionMode(emSilent);
    EXPECT_NO_THROW(cpu.GetInfo());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(cpu.VendorID(), "Pentium III");

    cpu.SetExceptionMode(emRaise);
    try {
        cpu.GetInfo();
        FAIL() << "no exception";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "TCPUCache.GetInfo: leaf 2 unreadable");
    }
    EXPECT_TRUE(messages.empty());
}

TEST(CpuErrorPolicy, AProcessorWithoutTheIdentificationInstructionLeavesEverythingEmpty) {
    ScratchFolder scratch;
    auto machine = std::make_unique<torvex::testing::FakeMachine>(scratch.path());
    machine->systemFacts.processors = 1;
    torvex::platform::SetActiveMachine(std::move(machine));
    TCPU cpu;
    cpu.GetInfo();
    EXPECT_EQ(cpu.Count(), 1);
    EXPECT_EQ(cpu.Frequency(), 0);
    EXPECT_EQ(cpu.Vendor(), "");
    EXPECT_EQ(cpu.VendorEx(), "");
    EXPECT_EQ(cpu.VendorID(), "");
    EXPECT_EQ(cpu.Family(), 0);
    EXPECT_FALSE(cpu.Features().FPU());
    EXPECT_EQ(cpu.Cache().Level1(), 0);
    EXPECT_EQ(cpu.BrandString(), "");
    const std::vector<std::string> r = ReportOf(cpu);
    EXPECT_EQ(r[13], "EAX=00000000");
}

// ------------------------------------------------------------------ engine root

TEST(CpuInTheEngine, TheRootRefreshesAndReportsItsProcessor) {
    const fs::path machines = fs::path(TORVEX_SOURCE_DIR) / "machines";
    ScratchFolder scratch;
    // The two shipped PCs: a Pentium III Katmai whose clock runs at 451.03
    // MHz, a Pentium 4 Northwood at 2405.47 MHz.
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"win98se-pc", {"Frequency=450", "VendorID=Pentium III", "CodeName=Katmai (0.25 µm)",
                        "SerialNumber=0000-0673-0000-D043-8EF1-8AEE", "Level 2 Unified Cache=512"}},
        {"winxp-pc", {"Frequency=2400", "VendorID=Pentium 4", "CodeName=", "SerialNumber=",
                      "Level 2 Unified Cache=0"}},
    };
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(name);
        torvex::platform::SetActiveMachine(
            torvex::platform::SimulatedMachine::Load(machines / name, scratch.path() / name));
        // The platform flags of this PC, as its program computes them at start.
        torvex::platform::routines::InitializeRoutines();
        TCorvaneSystemInfo info;
        info.SetExceptionMode(emSilent);
        EXPECT_EQ(info.CPU().ExceptionMode(), emSilent);
        info.Refresh();
        TStringList report;
        info.Report(report);
        const int section = report.IndexOf("[CPU]");
        ASSERT_GT(section, 0);
        for (const std::string& line : expected) EXPECT_GE(report.IndexOf(line), section) << line;

        // The overview's CPU page writes the same sections without the banner.
        TStringList page;
        ReportPage(info, OverviewPageByName("CPU"), page);
        ASSERT_GT(page.Count(), 0);
        EXPECT_EQ(page[0], "[CPU]");
        // The same lines as in the whole report, where the processor's
        // sections stand among the others.
        ASSERT_LE(section + page.Count(), report.Count());
        for (int i = 0; i < page.Count(); ++i) EXPECT_EQ(page[i], report[section + i]);
    }
}
