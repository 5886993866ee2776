// The simulated machine: facts, base machines, drives and the overlay, the
// virtual clock, and clear errors for broken machine folders.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "platform/simulated/SimulatedMachine.h"

namespace fs = std::filesystem;
using namespace torvex::platform;

namespace {

const fs::path kData = fs::path(TORVEX_SOURCE_DIR) / "tests" / "data" / "sim";

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir() {
        std::string tmpl = (fs::temp_directory_path() / "torvex-sim-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
        path_ = tmpl;
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void Write(const fs::path& p, const std::string& text) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}

// Every file below a folder with its content, to see that nothing changed.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        files[fs::relative(e.path(), dir).string()] = e.is_regular_file() ? Slurp(e.path()) : "<dir>";
    return files;
}

std::string RegText(Registry& r, RegRoot root, const char* key, const char* name) {
    RegKey* k = r.root(root).find(key);
    if (!k || !k->value(name)) return "<missing>";
    return k->value(name)->text();
}

}  // namespace

TEST(SimMachine, LoadsFactsRegistryAndProcessor) {
    TempDir overlay;
    auto m = SimulatedMachine::Load(kData / "base-pc", overlay.path());
    VersionFacts v = m->version();
    EXPECT_EQ(v.major, 4u);
    EXPECT_EQ(v.minor, 10u);
    EXPECT_EQ(v.build & 0xFFFF, 2222u);
    EXPECT_EQ(v.csdVersion, " A ");
    EXPECT_FALSE(v.extendedRecord);
    EXPECT_EQ(m->memoryStatus().totalPhys, 66666496u);
    EXPECT_EQ(m->computerName(), "TESTBASE");
    EXPECT_EQ(m->tempDirectory(), "C:\\WINDOWS\\TEMP\\");
    EXPECT_EQ(m->environment(), (std::vector<std::string>{"TEMP=C:\\WINDOWS\\TEMP", "windir=C:\\WINDOWS"}));
    EXPECT_EQ(m->ansiCodePage(), 1252u);

    // Both registry files, in file-name order, the REGEDIT4 text in UTF-8.
    Registry& r = m->registry();
    const char* cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    EXPECT_EQ(RegText(r, RegRoot::LocalMachine, cv, "RegisteredOwner"), "Test Øystein");
    std::vector<std::string> names;
    for (const auto& val : r.root(RegRoot::LocalMachine).find(cv)->values()) names.push_back(val.name);
    EXPECT_EQ(names, (std::vector<std::string>{"ProductName", "RegisteredOwner", "VersionNumber", "SubVersionNumber"}));
    EXPECT_NE(r.root(RegRoot::DynData).find("PerfStats\\StatData"), nullptr);

    EXPECT_TRUE(m->cpuidAvailable());
    EXPECT_EQ(m->cpuid(1, 0).eax, 0x673u);
    // A Pentium III has no brand-string leaves: it answers with leaf 3.
    EXPECT_EQ(m->cpuid(0x80000002, 0).ecx, 0x8EF18AEEu);

    // Libraries by any spelling of their name; kernel32's 16-bit helpers by ordinal.
    EXPECT_TRUE(m->hasLibrary("kernel32"));
    EXPECT_TRUE(m->hasLibrary("C:\\WINDOWS\\SYSTEM\\Kernel32.dll"));
    EXPECT_FALSE(m->hasLibrary("psapi.dll"));
    EXPECT_TRUE(m->hasExport("KERNEL32.DLL", "QT_Thunk"));
    EXPECT_FALSE(m->hasExport("kernel32", "GlobalMemoryStatusEx"));
    EXPECT_EQ(m->exportByOrdinal("kernel32", 35), "LoadLibrary16");
    EXPECT_EQ(m->exportByOrdinal("kernel32", 37), "GetProcAddress16");
    EXPECT_TRUE(m->hasExport("kernel32", m->exportByOrdinal("kernel32", 36)));
    EXPECT_EQ(m->exportByOrdinal("kernel32", 38), "");
    EXPECT_EQ(m->exportByOrdinal("psapi", 1), "");

    EXPECT_EQ(m->freeSystemResources(0), std::optional<std::uint16_t>(78));
    EXPECT_EQ(m->freeSystemResources(1), std::optional<std::uint16_t>(85));
    EXPECT_EQ(m->freeSystemResources(2), std::optional<std::uint16_t>(79));

    EXPECT_TRUE(m->shellOpen("http://www.example.no/"));
    EXPECT_EQ(m->shellOpenLog(), (std::vector<std::string>{"http://www.example.no/"}));
}

TEST(SimMachine, VariantOverridesItsBase) {
    TempDir overlay;
    auto m = SimulatedMachine::Load(kData / "variant-pc", overlay.path());
    EXPECT_EQ(m->computerName(), "TESTVARIANT");
    EXPECT_EQ(m->userName(), "Test");                      // from the base
    EXPECT_EQ(m->memoryStatus().availPhys, 20000000u);     // one field of a record
    EXPECT_EQ(m->memoryStatus().totalPhys, 66666496u);     // the rest of it inherited
    EXPECT_FALSE(m->hasLibrary("netapi32"));               // removed with null
    EXPECT_TRUE(m->hasLibrary("advapi32"));
    EXPECT_EQ(m->cpuid(1, 0).eax, 0x673u);                 // the base's dump

    Registry& r = m->registry();
    const char* cv = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";
    EXPECT_EQ(RegText(r, RegRoot::LocalMachine, cv, "RegisteredOwner"), "Variant");
    EXPECT_EQ(RegText(r, RegRoot::LocalMachine, cv, "SubVersionNumber"), " A ");
    EXPECT_EQ(r.root(RegRoot::LocalMachine).find("SOFTWARE\\Old"), nullptr);
    // The variant's value joins the key's end, the changed one keeps its place.
    const auto& values = r.root(RegRoot::LocalMachine).find(cv)->values();
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[1].name, "RegisteredOwner");
    EXPECT_EQ(values[4].name, "ProductId");

    // A user without administrative rights may only read the marked keys.
    EXPECT_TRUE(r.writeDenied(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows"));
    EXPECT_FALSE(r.writeDenied(RegRoot::LocalMachine, "SOFTWARE"));

    EXPECT_FALSE(m->shellOpen("mailto:post@example.dk"));
    EXPECT_EQ(m->shellOpenLog().size(), 1u);

    // Drives of the variant and of its base.
    EXPECT_TRUE(m->readPath("D:\\DATA\\NOTES.TXT"));
    EXPECT_TRUE(m->readPath("C:\\WINDOWS\\WIN.INI"));
}

TEST(SimMachine, WindowsPathsIgnoreLetterCaseAndStayOnTheirDrive) {
    TempDir overlay;
    auto m = SimulatedMachine::Load(kData / "base-pc", overlay.path());
    auto winIni = m->readPath("c:\\windows\\win.ini");
    ASSERT_TRUE(winIni);
    EXPECT_EQ(*winIni, kData / "base-pc" / "C" / "WINDOWS" / "WIN.INI");
    EXPECT_TRUE(m->readPath("C:/Program files/TEGNE/lesmeg.txt"));
    EXPECT_TRUE(m->readPath("C:\\WINDOWS\\SYSTEM\\..\\.\\WIN.INI"));
    EXPECT_TRUE(m->readPath("C:\\"));
    EXPECT_TRUE(m->readPath("C:\\WINDOWS\\"));
    // Trailing blanks and dots of a name are ignored; a closing separator
    // asks for a folder, which a file is not.
    EXPECT_TRUE(m->readPath("C:\\WINDOWS\\WIN.INI. "));
    EXPECT_FALSE(m->readPath("C:\\WINDOWS\\WIN.INI\\"));
    EXPECT_FALSE(m->readPath("C:\\WINDOWS\\WIN.INI /"));
    // ".." never climbs out of the drive into the machine folder.
    EXPECT_FALSE(m->readPath("C:\\..\\machine.json"));
    EXPECT_FALSE(m->readPath("C:\\WINDOWS\\NOSUCH.INI"));
    EXPECT_FALSE(m->readPath("E:\\"));
    EXPECT_FALSE(m->readPath("WIN.INI"));
    EXPECT_FALSE(m->readPath("\\\\SERVER\\share\\x"));
}

TEST(SimMachine, WritesGoToTheOverlayAndSurviveARestart) {
    TempDir overlay;
    const fs::path folder = kData / "base-pc";
    auto before = Snapshot(folder);
    {
        auto m = SimulatedMachine::Load(folder, overlay.path());
        // Nothing is created before the first write.
        EXPECT_TRUE(fs::is_empty(overlay.path()));
        auto target = m->writePath("c:\\windows\\Norvo.INI");
        ASSERT_TRUE(target);
        // The overlay mirrors the machine's own spelling of the folder.
        EXPECT_EQ(*target, overlay.path() / "C" / "WINDOWS" / "Norvo.INI");
        Write(*target, "[NorvoUtility]\r\nDetaljer=1\r\n");
        // A file of the machine is overridden, not changed.
        auto winIni = m->writePath("C:\\WINDOWS\\WIN.INI");
        ASSERT_TRUE(winIni);
        Write(*winIni, "[windows]\r\nload=NOTEPAD.EXE\r\n");
        EXPECT_EQ(*m->readPath("C:\\WINDOWS\\WIN.INI"), *winIni);
        EXPECT_FALSE(m->writePath("C:\\"));
        EXPECT_FALSE(m->writePath("relative.txt"));
    }
    auto again = SimulatedMachine::Load(folder, overlay.path());
    auto norvo = again->readPath("C:\\WINDOWS\\NORVO.INI");
    ASSERT_TRUE(norvo);
    EXPECT_EQ(Slurp(*norvo), "[NorvoUtility]\r\nDetaljer=1\r\n");
    EXPECT_EQ(Slurp(*again->readPath("C:\\WINDOWS\\WIN.INI")), "[windows]\r\nload=NOTEPAD.EXE\r\n");
    EXPECT_EQ(Snapshot(folder), before);
}

TEST(SimMachine, DefaultOverlayIsPerUserUnderTheStateDirectory) {
    TempDir state;
    const char* old = std::getenv("XDG_STATE_HOME");
    std::string saved = old ? old : "";
    setenv("XDG_STATE_HOME", state.path().c_str(), 1);
    auto m = SimulatedMachine::Load(kData / "base-pc");
    if (old) setenv("XDG_STATE_HOME", saved.c_str(), 1); else unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(m->overlay(), state.path() / "torvex" / "machines" / "base-pc");
    EXPECT_FALSE(fs::exists(state.path() / "torvex"));
    ASSERT_TRUE(m->writePath("C:\\TORVEX\\SystemInfo.txt"));
    EXPECT_TRUE(fs::is_directory(state.path() / "torvex" / "machines" / "base-pc" / "C" / "TORVEX"));
}

TEST(SimMachine, VirtualClockIsDeterministicAndMoves) {
    TempDir overlay;
    auto m = SimulatedMachine::Load(kData / "base-pc", overlay.path());
    LocalTime t = m->localTime();
    EXPECT_EQ(t.year, 2000);
    EXPECT_EQ(t.month, 3);
    EXPECT_EQ(t.day, 14);
    EXPECT_EQ(t.dayOfWeek, 2);   // a Tuesday
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.second, 58);
    LocalTime utc = m->systemTime();
    EXPECT_EQ(utc.hour, 22);     // one hour east of UTC
    EXPECT_EQ(utc.day, 14);

    std::uint64_t tick = m->millisecondsSinceStart();
    EXPECT_EQ(tick, 100000u);    // booted 100 seconds before the start
    m->sleep(2500);
    EXPECT_EQ(m->millisecondsSinceStart(), 102500u);
    t = m->localTime();          // past midnight into Wednesday the 15th
    EXPECT_EQ(t.day, 15);
    EXPECT_EQ(t.dayOfWeek, 3);
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.second, 0);
    EXPECT_EQ(t.milliseconds, 500);

    // The time-stamp counter runs at the processor clock, the performance
    // counter at its frequency; each reading moves time on by 1 microsecond.
    std::uint64_t tsc1 = m->timeStampCounter();
    std::uint64_t tsc2 = m->timeStampCounter();
    EXPECT_EQ(tsc2 - tsc1, 450u);
    std::uint64_t pc1 = m->performanceCounter();
    m->sleep(1000);
    std::uint64_t pc2 = m->performanceCounter();
    EXPECT_NEAR(double(pc2 - pc1), 1193182.0, 2.0);
    EXPECT_EQ(m->performanceFrequency(), 1193182u);
    // A busy wait on the counter ends.
    std::uint64_t startTsc = m->timeStampCounter();
    int spins = 0;
    while (m->timeStampCounter() - startTsc < 450u * 1000u) ++spins;
    EXPECT_EQ(spins, 999);
}

TEST(SimMachine, NtMachineWithoutExtrasHasNo16BitModuleAndNoDump) {
    TempDir dir;
    Write(dir.path() / "nt" / "machine.json",
          R"({"version": {"major": 5, "minor": 1, "build": 2600, "platformId": 2, "extendedRecord": true,
                          "servicePackMajor": 2, "csdVersion": "Service Pack 2"},
              "clock": {"start": "2004-08-25T10:00:00", "performanceFrequency": 0}})");
    auto m = SimulatedMachine::Load(dir.path() / "nt", dir.path() / "overlay");
    EXPECT_FALSE(m->freeSystemResources(0));
    EXPECT_FALSE(m->cpuidAvailable());
    EXPECT_EQ(m->cpuid(0, 0).ebx, 0u);
    EXPECT_EQ(m->performanceFrequency(), 0u);
    EXPECT_EQ(m->performanceCounter(), 0u);
    EXPECT_TRUE(m->version().extendedRecord);
    EXPECT_EQ(m->version().servicePackMajor, 2);
    EXPECT_FALSE(m->hasLibrary("kernel32"));
}

TEST(SimMachine, PowerRecordDescribesMainsAndBattery) {
    TempDir dir;
    const std::string version = R"("version": {"major": 4, "minor": 90, "build": 73010104, "platformId": 1})";
    Write(dir.path() / "desktop" / "machine.json", "{" + version + "}");
    Write(dir.path() / "laptop" / "machine.json",
          "{" + version + R"(, "power": {"acLineStatus": 0, "batteryFlag": 1, "batteryLifePercent": 87,
                                        "batteryLifeTime": 7140, "batteryFullLifeTime": -1}})");
    // A desktop says nothing; the layer then answers mains without battery.
    EXPECT_FALSE(SimulatedMachine::Load(dir.path() / "desktop", dir.path() / "o1")->powerStatus());
    auto p = SimulatedMachine::Load(dir.path() / "laptop", dir.path() / "o2")->powerStatus();
    ASSERT_TRUE(p);
    EXPECT_EQ(p->acLineStatus, 0);
    EXPECT_EQ(p->batteryFlag, 1);
    EXPECT_EQ(p->batteryLifePercent, 87);
    EXPECT_EQ(p->batteryLifeTime, 7140u);
    EXPECT_EQ(p->batteryFullLifeTime, 0xFFFFFFFFu);
}

TEST(SimMachine, BrokenFoldersNameFileAndLineAndWriteNothing) {
    TempDir dir;
    const fs::path overlay = dir.path() / "overlay";
    auto expectError = [&](const fs::path& folder, const std::string& file, int line, const std::string& text) {
        SCOPED_TRACE(folder.string());
        try {
            SimulatedMachine::Load(folder, overlay);
            ADD_FAILURE() << "loaded";
        } catch (const MachineError& e) {
            EXPECT_EQ(fs::path(e.file()).filename().string(), file) << e.what();
            EXPECT_EQ(e.line(), line) << e.what();
            EXPECT_NE(std::string(e.what()).find(text), std::string::npos) << e.what();
        }
    };
    const std::string version = R"("version": {"major": 5, "minor": 1, "build": 2600, "platformId": 2})";
    auto machine = [&](const std::string& name, const std::string& json) {
        Write(dir.path() / name / "machine.json", json);
        return dir.path() / name;
    };

    expectError(dir.path() / "absent", "absent", 0, "no machine folder");
    fs::create_directories(dir.path() / "empty");
    expectError(dir.path() / "empty", "machine.json", 0, "missing machine.json");
    expectError(machine("badjson", "{\n  " + version + ",\n  \"computerName\": \"X\"\n  \"userName\": \"Y\"\n}\n"),
                "machine.json", 4, "bad JSON");
    expectError(machine("notobject", "[1, 2]"), "machine.json", 1, "one JSON object");
    expectError(machine("noversion", "{}"), "machine.json", 0, "\"version\"");
    expectError(machine("wrongtype", "{\n" + version + ",\n\"memory\": {\n  \"totalPhys\": \"lots\"\n}}"),
                "machine.json", 4, "\"memory.totalPhys\"");
    expectError(machine("negative", "{\n" + version + ",\n\"memory\": {\"totalPhys\": -1}}"),
                "machine.json", 3, "\"memory.totalPhys\"");
    expectError(machine("typo", "{\n" + version + ",\n\"systemInfo\": {\n\"processers\": 2}}"), "machine.json", 4,
                "unknown field");
    expectError(machine("badclock", "{" + version + ",\n\"clock\": {\"start\": \"2001-02-30 10:00:00\"}}"),
                "machine.json", 2, "\"clock.start\"");
    expectError(machine("badenv", "{" + version + ",\n\"environment\": [\"A=1\",\n \"NOVALUE\"]}"),
                "machine.json", 2, "\"environment.1\"");
    expectError(machine("badordinal", "{" + version +
                                          ",\n\"libraries\": {\"kernel32.dll\": {\"ordinals\": {\"0\": \"X\"}}}}"),
                "machine.json", 2, "ordinal");

    expectError(machine("oddname", "{" + version + ",\n\"libraries\": {\"OLD~1/X.DLL\":\n {\"exprots\": []}}}"),
                "machine.json", 3, "unknown field");

    fs::path badReg = machine("badreg", "{" + version + "}");
    Write(badReg / "registry" / "10-ok.reg", "REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n");
    Write(badReg / "registry" / "20-bad.reg", "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"X\"=dword:zz\r\n");
    expectError(badReg, "20-bad.reg", 4, "dword");

    fs::path badCpu = machine("badcpu", "{" + version + "}");
    Write(badCpu / "cpuid.txt", "CPUID 00000000: 00000001-68747541-444D4163-69746E65\nCPUID 00000001: 612\n");
    expectError(badCpu, "cpuid.txt", 2, "four registers");

    fs::path readOnly = machine("readonly", "{" + version + ",\n\"readOnlyKeys\": [\"HKEY_LOCAL_MACHINE\\\\NOPE\"]}");
    expectError(readOnly, "machine.json", 2, "no key");

    expectError(machine("badpower", "{" + version + ",\n\"power\": {\"acLineStatus\": 0,\n \"batteryLifeTime\": -5}}"),
                "machine.json", 3, "\"power.batteryLifeTime\"");
    expectError(machine("powertypo", "{" + version + ",\n\"power\": {\"batteryPercent\": 50}}"), "machine.json", 2,
                "unknown field");

    // A variant with a broken base names the base's file.
    machine("loop-a", R"({"base": "../loop-b"})");
    machine("loop-b", R"({"base": "../loop-a"})");
    expectError(dir.path() / "loop-a", "machine.json", 0, "loop");
    machine("orphan", R"({"base": "../nowhere", "computerName": "X"})");
    expectError(dir.path() / "orphan", "machine.json", 0, "nowhere");
    machine("child", "{\"base\": \"../wrongtype\"}");
    expectError(dir.path() / "child", "machine.json", 4, "memory.totalPhys");

    EXPECT_FALSE(fs::exists(overlay));
}
