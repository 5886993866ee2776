// The desktop components: the retrieve frame and its events, the change
// record and the log, the property listing, the drive, installed-programs,
// processor, Windows and network components, on shipped PCs, a machine in
// code and the host's layer.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "components/QuentaSysDrive.h"
#include "components/QuentaSysProcessor.h"
#include "components/QuentaSysUninstall.h"
#include "platform/host/HostVolume.h"
#include "platform/machine/Machine.h"
#include "platform/simulated/SimulatedMachine.h"
#include "platform/win32/Win32.h"

using namespace torvex;
using namespace torvex::components;
namespace fs = std::filesystem;

namespace {

class ComponentsTest : public ::testing::Test {
protected:
    platform::SimulatedMachine& load(const char* name) {
        auto m = platform::SimulatedMachine::Load(fs::path(TORVEX_SOURCE_DIR) / "machines" / name,
                                                  fs::path(::testing::TempDir()) / "components-overlay" / name);
        auto& ref = *m;
        platform::SetActiveMachine(std::move(m));
        return ref;
    }
    void TearDown() override { platform::SetActiveMachine(nullptr); }
};

// A component whose refresh step counts, to watch the frame's protocol.
class TCountingComponent : public TQuentaSysBaseComponent {
public:
    using TQuentaSysBaseComponent::TQuentaSysBaseComponent;
    int refreshed = 0;
    std::vector<std::string>* trace = nullptr;

protected:
    void DoRefresh() override {
        ++refreshed;
        if (trace) trace->push_back("step");
    }
};

std::vector<std::string> Listed(const TQuentaSysObject& object, bool withTypes) {
    classes::TStringList list;
    if (withTypes)
        object.GetPropertyListWithTypes("", list);
    else
        object.GetPropertyList("", list);
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i) lines.push_back(list[i]);
    return lines;
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

// ---------------------------------------------------------------- frame

TEST_F(ComponentsTest, RetrieveFrameEventsAndAutoRetrieveAfterLoading) {
    load("winxp-pc");
    std::vector<std::string> trace;
    TCountingComponent plain, automatic;
    plain.trace = &trace;
    plain.OnRefresh = [&](classes::TObject&) { trace.push_back("before"); };
    plain.OnAfterRefresh = [&](classes::TObject&) {
        trace.push_back(plain.Retrieved() ? "after, retrieved" : "after, not retrieved");
    };
    // Loading without AutoRetrieve reads nothing.
    plain.Loaded();
    EXPECT_FALSE(plain.Retrieved());
    EXPECT_EQ(plain.refreshed, 0);
    plain.Refresh();
    EXPECT_EQ(trace, (std::vector<std::string>{"before", "step", "after, retrieved"}));

    automatic.SetAutoRetrieve(true);
    EXPECT_FALSE(automatic.Retrieved());
    automatic.Loaded();
    EXPECT_TRUE(automatic.Retrieved());
    EXPECT_EQ(automatic.refreshed, 1);

    // A handler's exception passes to the caller, and the component is not
    // marked retrieved.
    TCountingComponent failing;
    failing.OnRefresh = [](classes::TObject&) { throw classes::Exception("handler failed"); };
    EXPECT_THROW(failing.Refresh(), classes::Exception);
    EXPECT_FALSE(failing.Retrieved());
    EXPECT_EQ(failing.refreshed, 0);
}

TEST_F(ComponentsTest, ChangeRecordUndoCommitAndLogLines) {
    load("winxp-pc");
    TQuentaSysDrive drive;
    TQuentaSysLog log;
    std::vector<std::string> logged;
    log.OnLog = [&](classes::TObject& sender, const std::string& d, const std::string& o, const std::string& n,
                    TDateTime) {
        EXPECT_EQ(&sender, &log);
        logged.push_back(d + "|" + o + "|" + n);
    };
    drive.SetSysLog(&log);
    TQuentaSysDriveObject& facts = drive.Drive();

    // A then back: nothing pending, committing logs nothing.
    facts.RegisterChange("Disk:Label", "A", "B");
    facts.RegisterChange("Disk:Label", "B", "A");
    EXPECT_TRUE(facts.Changes().Pending().empty());
    facts.CommitChange("Disk:Label");
    EXPECT_TRUE(logged.empty());
    EXPECT_EQ(log.Lines().Count(), 0);

    // A, B, C: one entry from A to C; committed once, then gone.
    facts.RegisterChange("Disk:Label", "A", "B");
    facts.RegisterChange("Disk:Label", "B", "C");
    ASSERT_EQ(facts.Changes().Pending().size(), 1u);
    EXPECT_EQ(facts.Changes().Pending()[0].NewValue, "C");
    facts.CommitChange("Disk:Label");
    facts.CommitChange("Disk:Label");
    EXPECT_EQ(logged, (std::vector<std::string>{"Disk:Label|A|C"}));
    ASSERT_EQ(log.Lines().Count(), 1);
    // description ":" old " - " new " " and the machine's date and time
    EXPECT_EQ(log.Lines()[0].rfind("Disk:Label:A - C 03", 0), 0u) << log.Lines()[0];

    // The log goes away: the component keeps working without one.
    {
        TQuentaSysLog shortLived;
        drive.SetSysLog(&shortLived);
    }
    EXPECT_EQ(drive.SysLog(), nullptr);
    facts.RegisterChange("Disk:Label", "X", "Y");
    EXPECT_NO_THROW(facts.CommitChange("Disk:Label"));
}

TEST_F(ComponentsTest, PropertyListingWithAndWithoutTypesRecursionAndCollections) {
    load("nt4-pc");
    TQuentaSysProcessor cpu;
    cpu.Refresh();
    auto plain = Listed(cpu.Processor(), false);
    auto typed = Listed(cpu.Processor(), true);
    ASSERT_EQ(plain.size(), typed.size());
    EXPECT_EQ(plain[0], "Count = 2");
    EXPECT_EQ(typed[0], "Count: Byte = 2");
    EXPECT_TRUE(Contains(plain, "IDString = GenuineIntel"));
    EXPECT_TRUE(Contains(typed, "IDString: string = GenuineIntel"));
    // A Pentium Pro: a floating-point unit, no MMX.
    EXPECT_TRUE(Contains(typed, "FPU: Boolean = True"));
    EXPECT_TRUE(Contains(typed, "MMX: Boolean = False"));
    // The processors collection, by recursion: its items one by one.
    EXPECT_TRUE(Contains(plain, "ProcessorsInfo.Item[0].VendorIdentifier = GenuineIntel"));
    EXPECT_TRUE(Contains(plain, "ProcessorsInfo.Item[1].VendorIdentifier = GenuineIntel"));

    TQuentaSysNetwork net;
    net.Refresh();
    auto lines = Listed(net.Network(), false);
    // String lists as comma text, nested protocol objects by recursion.
    EXPECT_TRUE(Contains(lines, "ConnectedResources = ")) << ::testing::PrintToString(lines);
    EXPECT_TRUE(Contains(lines, "ComputerName = CADSTATION2"));
    EXPECT_TRUE(Contains(lines, "NetworkCards.Item[0].Description = Intel 82557-based PRO Adapter"));
    EXPECT_TRUE(Contains(lines, "NetworkCards.Item[0].TCPIP.Installed = True"));

    // Sets and characters name their own types.
    TQuentaSysDrive drive;
    drive.Refresh();
    auto driveLines = Listed(drive.Drive(), true);
    EXPECT_TRUE(Contains(driveLines, "Drive: Char = C"));
    // C: is NTFS, case-sensitive, case-preserving, Unicode, with ACLs and
    // compression (the drive record of nt4-pc's machine.json).
    EXPECT_TRUE(Contains(driveLines,
                         "Options: TQuentaSysFileSystemOptions = [fsCaseIsPreserved,fsCaseSensitive,"
                         "fsSupportsUnicode,fsPersistentACLs,fsSupportsCompression]"))
        << ::testing::PrintToString(driveLines);
    EXPECT_TRUE(Contains(driveLines, "VolumeLabel: string = CAD_SYS")) << ::testing::PrintToString(driveLines);
    EXPECT_TRUE(Contains(driveLines, "DriveType: TQuentaSysDriveType = dtFixed"));
}

// ---------------------------------------------------------------- drive

TEST_F(ComponentsTest, DriveSelectionAndTheSameLetterNotReread) {
    auto& pc = load("winxp-pc");
    TQuentaSysDrive drive;
    EXPECT_FALSE(drive.Retrieved());
    EXPECT_EQ(drive.Drive().Drive(), 'C');
    drive.Refresh();
    EXPECT_EQ(drive.Drive().DriveType(), dtFixed);
    // 9,767,520 clusters of 8 x 512 bytes, 6,102,244 free.
    EXPECT_EQ(drive.Drive().DiskSize(), 9767520LL * 4096);
    EXPECT_EQ(drive.Drive().DiskFree(), 6102244LL * 4096);
    // The volume of the drive record: label MAXTOR, serial 6C8D-2F3A.
    EXPECT_EQ(drive.Drive().SerialNumber(), "6C8D-2F3A");
    EXPECT_EQ(drive.Drive().VolumeLabel(), "MAXTOR");
    EXPECT_EQ(drive.Drive().FileSystem(), "NTFS");

    // A label given behind the component's back is not seen while C stays
    // selected ...
    ASSERT_TRUE(pc.setVolumeLabel('C', "SYSTEM"));
    drive.Drive().SetDrive('C');
    EXPECT_EQ(drive.Drive().VolumeLabel(), "MAXTOR");
    // ... another letter and back re-reads.
    drive.Drive().SetDrive('Q');
    EXPECT_EQ(drive.Drive().DriveType(), dtNoRootDir);
    EXPECT_EQ(drive.Drive().DiskSize(), -1);
    EXPECT_EQ(drive.Drive().DiskFree(), -1);
    EXPECT_EQ(drive.Drive().SerialNumber(), "");
    drive.Drive().SetDrive('c');   // "c" selects C
    EXPECT_EQ(drive.Drive().Drive(), 'C');
    EXPECT_EQ(drive.Drive().VolumeLabel(), "SYSTEM");
    // Not a letter: the current folder's drive (the Windows directory's).
    drive.Drive().SetDrive('Q');
    drive.Drive().SetDrive('1');
    EXPECT_EQ(drive.Drive().Drive(), 'C');
}

// A machine in code whose volume has a serial number and flags.
class VolumeMachine : public platform::Machine {
public:
    std::string description() const override { return "volumes"; }
    unsigned ansiCodePage() override { return 1252; }
    platform::VersionFacts version() override { return {5, 1, 2600, 2}; }
    platform::SystemInfoFacts systemInfo() override { return {}; }
    platform::MemoryFacts memoryStatus() override { return {}; }
    std::string computerName() override { return "V"; }
    std::string userName() override { return "v"; }
    std::string windowsDirectory() override { return "D:\\WINNT"; }
    std::string systemDirectory() override { return "D:\\WINNT\\system32"; }
    std::string tempDirectory() override { return "D:\\TEMP\\"; }
    std::string moduleFileName() override { return "D:\\T.EXE"; }
    std::vector<std::string> environment() override { return {}; }
    platform::LocalTime localTime() override { return {}; }
    platform::LocalTime systemTime() override { return {}; }
    std::uint64_t millisecondsSinceStart() override { return 0; }
    std::uint64_t performanceFrequency() override { return 0; }
    std::uint64_t performanceCounter() override { return 0; }
    std::uint64_t timeStampCounter() override { return 0; }
    void sleep(std::uint32_t) override {}
    bool hasLibrary(const std::string&) override { return false; }
    bool hasExport(const std::string&, const std::string&) override { return false; }
    std::string exportByOrdinal(const std::string&, std::uint16_t) override { return {}; }
    platform::Registry& registry() override { return registry_; }
    std::optional<fs::path> readPath(const std::string&) override { return std::nullopt; }
    std::optional<fs::path> writePath(const std::string&) override { return std::nullopt; }
    bool cpuidAvailable() override { return false; }
    platform::CpuidAnswer cpuid(std::uint32_t, std::uint32_t) override { return {}; }
    std::optional<std::uint16_t> freeSystemResources(std::uint16_t) override { return std::nullopt; }
    bool shellOpen(const std::string&) override { return false; }
    std::optional<platform::DiskSpace> diskFreeSpace(char letter) override {
        if (letter != 'D' && letter != 'N') return std::nullopt;
        platform::DiskSpace s;
        s.sectorsPerCluster = 8;
        s.bytesPerSector = 512;
        s.totalClusters = 1000;
        s.freeClusters = 250;
        s.totalBytes = 4096000;
        s.totalFreeBytes = s.freeBytesAvailable = 1024000;
        return s;
    }
    std::optional<platform::DriveFacts> drive(char letter) override {
        platform::DriveFacts d;
        if (letter == 'D') {
            platform::VolumeInfo v;
            v.label = "DATA";
            v.fileSystem = "NTFS";
            v.serial = 0x1A2B3C4D;
            v.flags = 0x2 | 0x4 | 0x8 | 0x10 | 0x20;
            d.volume = v;
            return d;
        }
        if (letter == 'A') {   // a floppy drive without a disk
            d.kind = platform::DriveKind::removable;
            return d;
        }
        return std::nullopt;
    }

private:
    platform::Registry registry_;
};

TEST_F(ComponentsTest, DriveSerialOptionsAndAFloppyWithoutDisk) {
    platform::SetActiveMachine(std::make_unique<VolumeMachine>());
    TQuentaSysDrive drive;
    drive.Drive().SetDrive('D');
    EXPECT_EQ(drive.Drive().SerialNumber(), "1A2B-3C4D");
    EXPECT_EQ(drive.Drive().VolumeLabel(), "DATA");
    EXPECT_EQ(drive.Drive().FileSystem(), "NTFS");
    EXPECT_EQ(drive.Drive().SectorsPerCluster(), 8u);
    EXPECT_EQ(TQuentaSysDriveObject::OptionsText(drive.Drive().Options()),
              "[fsCaseIsPreserved,fsSupportsUnicode,fsPersistentACLs,fsSupportsCompression,fsSupportsQuotas]");
    drive.Drive().SetDrive('A');
    EXPECT_EQ(drive.Drive().DriveType(), dtFloppy);
    EXPECT_EQ(drive.Drive().DiskSize(), -1);
    EXPECT_EQ(drive.Drive().VolumeLabel(), "");
    EXPECT_EQ(drive.Drive().FileSystem(), "");
    EXPECT_EQ(drive.Drive().SerialNumber(), "");
    // This machine keeps no labels: the rename is refused with the system's
    // reason and stays pending.
    drive.Drive().SetDrive('D');
    EXPECT_THROW(drive.Drive().SetVolumeLabel("NEW"), EOSError);
    EXPECT_TRUE(drive.Drive().Changes().HasChange("Disk:Label"));
    EXPECT_EQ(drive.Drive().VolumeLabel(), "DATA");
}

TEST_F(ComponentsTest, RenamingAVolumeOnASimulatedPCStaysInMemory) {
    load("win98se-pc");
    TQuentaSysDrive drive;
    TQuentaSysLog log;
    drive.SetSysLog(&log);
    drive.Refresh();
    drive.Drive().SetVolumeLabel("ARBEID");
    EXPECT_EQ(drive.Drive().VolumeLabel(), "ARBEID");
    ASSERT_EQ(log.Lines().Count(), 1);
    // From the label of the drive record to the new one.
    EXPECT_EQ(log.Lines()[0].rfind("Disk:Label:IBM_13GB - ARBEID ", 0), 0u) << log.Lines()[0];
    EXPECT_TRUE(drive.Drive().Changes().Pending().empty());
    // The same label again changes nothing and logs nothing.
    drive.Drive().SetVolumeLabel("ARBEID");
    EXPECT_EQ(log.Lines().Count(), 1);
    // A fresh load of the machine folder has its own label again: nothing
    // was written.
    load("win98se-pc");
    TQuentaSysDrive again;
    again.Refresh();
    EXPECT_EQ(again.Drive().VolumeLabel(), "IBM_13GB");
}

TEST_F(ComponentsTest, TheHostNeverRelabelsADisk) {
    platform::SetActiveMachine(platform::CreateHostMachine());
    char label[256] = {};
    ASSERT_TRUE(win32::GetVolumeInformationA("C:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    std::string before = label;
    TQuentaSysDrive drive;
    drive.Refresh();
    EXPECT_EQ(drive.Drive().DriveType(), dtFixed);
    EXPECT_THROW(drive.Drive().SetVolumeLabel(before + "X"), EOSError);
    EXPECT_EQ(win32::GetLastError(), win32::DWORD(win32::ERROR_ACCESS_DENIED));
    ASSERT_TRUE(win32::GetVolumeInformationA("C:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(std::string(label), before);
}

// ---------------------------------------------------------------- installed programs

TEST_F(ComponentsTest, InstalledProgramsInRegistryOrderWithDuplicatesAndWithoutUpdates) {
    auto& pc = load("win98se-pc");
    auto& uninstallKey =
        pc.registry().root(platform::RegRoot::LocalMachine).ensure("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    // An update entry without an uninstall command, and a second Winamp.
    uninstallKey.ensure("Q123456").setValue(platform::RegValue::String("DisplayName", "Hotfix Q123456"));
    auto& second = uninstallKey.ensure("Winamp2");
    second.setValue(platform::RegValue::String("DisplayName", "Winamp (remove only)"));
    second.setValue(platform::RegValue::String("UninstallString", "C:\\Winamp2\\uninst.exe"));

    TQuentaSysUninstall programs;
    programs.SetAutoRetrieve(true);
    programs.Loaded();
    TQuentaUninstallInfo& list = programs.Uninstall();
    std::vector<std::string> names;
    for (int i = 0; i < list.Count(); ++i) names.push_back(list[i].ProgramName());
    // Keys without both names (AddressBook, DirectDrawEx, MPlayer2,
    // SchedulingAgent, Q123456) are left out; the order is the registry's.
    std::vector<std::string> expected;
    for (auto* key : {"IE40", "Winamp", "WinZip", "Adobe Acrobat 4.0", "ICQ", "Norton AntiVirus",
                      "{00010409-78E1-11D2-B60F-006097C998E7}", "Torvex", "Winamp2"}) {
        auto* k = uninstallKey.find(key);
        ASSERT_NE(k, nullptr) << key;
        if (k->value("DisplayName") && k->value("UninstallString")) expected.push_back(k->value("DisplayName")->text());
    }
    EXPECT_EQ(names, expected);
    EXPECT_EQ(list[list.Count() - 1].SubKey(), "Winamp2");
    EXPECT_EQ(list[list.Count() - 3].Publisher(), "Microsoft Corporation");
    // Reading again gives the same list, not a doubled one.
    programs.Refresh();
    EXPECT_EQ(list.Count(), int(expected.size()));
}

TEST_F(ComponentsTest, InstalledProgramsWriteBackOnlyPendingChangesInMemory) {
    auto& pc = load("win98se-pc");
    TQuentaSysUninstall programs;
    programs.Refresh();
    TQuentaUninstallInfo& list = programs.Uninstall();
    ASSERT_GE(list.Count(), 4);
    std::vector<std::string> logged;
    list.SetOnChange([&](const std::string& d, const std::string& o, const std::string& n, TDateTime) {
        logged.push_back(d + "|" + o + "|" + n);
    });
    // Item 3 changed and back: nothing to write.
    std::string publisher = list[3].Publisher();
    list[3].Set(TQuentaUninstallItem::fPublisher, "Someone Else");
    list[3].Set(TQuentaUninstallItem::fPublisher, publisher);
    EXPECT_TRUE(list.Changes().Pending().empty());
    // Item 1's version changed: written to its key, logged once.
    list[1].Set(TQuentaUninstallItem::fVersion, "9.99");
    EXPECT_EQ(list.Changes().Pending().size(), 1u);
    list.WriteBack();
    EXPECT_EQ(logged, (std::vector<std::string>{"Uninstall[1]:Version||9.99"}));
    auto* key = pc.registry().root(platform::RegRoot::LocalMachine)
                    .find("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + list[1].SubKey());
    ASSERT_NE(key, nullptr);
    ASSERT_NE(key->value("DisplayVersion"), nullptr);
    EXPECT_EQ(key->value("DisplayVersion")->text(), "9.99");
    EXPECT_TRUE(list.Changes().Pending().empty());
    // Assigning a collection copies its items.
    TQuentaSysUninstall copy;
    copy.SetUninstall(list);
    EXPECT_EQ(copy.Uninstall().Count(), list.Count());
    EXPECT_EQ(copy.Uninstall()[1].Version(), "9.99");
}

TEST_F(ComponentsTest, AGuestWritesNothingBack) {
    auto& pc = load("winxp-pc-guest");
    auto& key = pc.registry().root(platform::RegRoot::LocalMachine)
                    .ensure("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool");
    key.setValue(platform::RegValue::String("DisplayName", "Tool"));
    key.setValue(platform::RegValue::String("UninstallString", "tool /remove"));
    TQuentaSysUninstall programs;
    programs.Refresh();
    TQuentaUninstallInfo& list = programs.Uninstall();
    int tool = -1;
    for (int i = 0; i < list.Count(); ++i)
        if (list[i].SubKey() == "Tool") tool = i;
    ASSERT_GE(tool, 0);
    list[tool].Set(TQuentaUninstallItem::fPublisher, "Me");
    list.WriteBack();
    EXPECT_EQ(key.value("Publisher"), nullptr);
    EXPECT_EQ(list.Changes().Pending().size(), 1u);
}

// ---------------------------------------------------------------- processor, Windows, network

TEST_F(ComponentsTest, ProcessorLoadOnNTTakesASecondOfTheSimulatedClockOnly) {
    auto& pc = load("winxp-pc");
    pc.sleep(10);   // the PC has been idle for a moment before
    TQuentaSysProcessor cpu;
    auto realStart = std::chrono::steady_clock::now();
    std::uint64_t virtualStart = pc.elapsedNanoseconds();
    cpu.Refresh();
    auto realTime = std::chrono::steady_clock::now() - realStart;
    std::uint64_t virtualTime = pc.elapsedNanoseconds() - virtualStart;
    EXPECT_GE(virtualTime, 1000000000u);
    EXPECT_LT(virtualTime, 1010000000u);
    EXPECT_LT(realTime, std::chrono::milliseconds(500));
    EXPECT_EQ(cpu.Processor().Count(), 1);
    // The simulated processor idles whenever the program sleeps.
    EXPECT_LE(cpu.Processor().ProcessorUsage(), 1);
    // An Intel processor: no name from the component.
    EXPECT_EQ(cpu.Processor().IDString(), "GenuineIntel");
    EXPECT_EQ(cpu.Processor().CPUName(), "");
    EXPECT_EQ(cpu.Processor().Family(), 15);
}

TEST_F(ComponentsTest, ProcessorOnWindows9xReadsTheDynamicDataCounter) {
    load("win98-pc");
    TQuentaSysProcessor cpu;
    cpu.Refresh();
    EXPECT_EQ(cpu.Processor().Count(), 1);
    EXPECT_EQ(cpu.Processor().ProcessorUsage(), 4);   // StatData's KERNEL\CPUUsage
}

TEST_F(ComponentsTest, ProcessorIdleTimeOfTheHostFromProcStat) {
    const char* stat = "cpu  4705 356 584 3699176 23 0 0 0 0 0\ncpu0 1393 28 177 924804 7 0 0 0 0 0\n";
    EXPECT_EQ(platform::host::IdleTimeFromProcStat(stat, 100), 3699176ull * 100000);
    EXPECT_EQ(platform::host::IdleTimeFromProcStat("cpu0 1 2 3 4\n", 100), std::nullopt);
    EXPECT_EQ(platform::host::IdleTimeFromProcStat("cpu  1 2 3 x\n", 100), std::nullopt);
    // On the live host the measurement runs in real time.
    platform::SetActiveMachine(platform::CreateHostMachine());
    TQuentaSysProcessor cpu;
    auto start = std::chrono::steady_clock::now();
    cpu.Refresh();
    auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(900));
    EXPECT_GE(cpu.Processor().Count(), 1);
    EXPECT_LE(cpu.Processor().ProcessorUsage(), 100);
}

TEST_F(ComponentsTest, WindowsVersionAndRegistrationAndAGuestWithoutWriteRights) {
    load("winxp-pc");
    TQuentaSysWindows win;
    win.Refresh();
    EXPECT_EQ(win.Windows().ProductName(), "Microsoft Windows XP");
    EXPECT_EQ(win.Windows().CSDVersion(), "Service Pack 2");
    EXPECT_EQ(win.Windows().MajorVersion(), 5u);
    EXPECT_EQ(win.Windows().MinorVersion(), 1u);
    EXPECT_EQ(win.Windows().BuildNumber(), 2600u);
    EXPECT_FALSE(win.Windows().RegisteredOwner().empty());
    EXPECT_EQ(win.Windows().InstallDate(), "");

    load("winxp-pc-guest");
    TQuentaSysWindows guest;
    guest.Refresh();
    EXPECT_EQ(guest.Windows().MajorVersion(), 5u);
    EXPECT_EQ(guest.Windows().ProductName(), "");
    EXPECT_EQ(guest.Windows().RegisteredOwner(), "");
}

TEST_F(ComponentsTest, NetworkCardsProtocolsHiddenCardsAndNoDoubling) {
    auto& pc = load("nt4-pc");
    auto& cards = pc.registry().root(platform::RegRoot::LocalMachine)
                      .ensure("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards");
    auto& hidden = cards.ensure("2");
    hidden.setValue(platform::RegValue::String("Description", "RAS Async Adapter"));
    hidden.setValue(platform::RegValue::Dword("Hidden", 1));
    TQuentaSysNetwork net;
    net.Refresh();
    net.Refresh();
    const auto& n = net.Network();
    EXPECT_EQ(n.ComputerName(), "CADSTATION2");
    EXPECT_EQ(n.UserName(), pc.userName());
    ASSERT_EQ(n.NetworkCards().Count(), 1);
    const TQuentaNetworkCard& card = n.NetworkCards().Items(0);
    EXPECT_EQ(card.Description, "Intel 82557-based PRO Adapter");
    EXPECT_TRUE(card.TCPIP().Installed);
    // Raw bytes: the multi-string keeps its zero separators.
    EXPECT_EQ(card.TCPIP().IPAddress, std::string("192.168.10.57\0\0", 15));
    EXPECT_EQ(n.ConnectedResources().Count(), 0);
}
