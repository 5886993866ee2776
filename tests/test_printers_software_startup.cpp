// Printers, installed programs and startup programs through the engine, on
// machines built for each case.
#include <gtest/gtest.h>

#include "RoutinesMachine.h"
#include "engine/Zarvo_GUI.h"
#include "engine/Zarvo_Printers.h"
#include "engine/Zarvo_Software.h"
#include "engine/Zarvo_Startup.h"
#include "platform/win32/Win32Find.h"
#include "platform/win32/Win32Print.h"

using namespace torvex;
using namespace torvex::platform;
using torvex::testing::RoutinesTest;

namespace {

std::vector<std::string> Lines(const classes::TStringList& list) { return list.ToVector(); }

class PrinterCases : public RoutinesTest {
protected:
    void addPrinter(const std::string& name, const std::string& port) {
        auto& k = machine->key(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\" + name);
        k.setValue(RegValue::String("Port", port));
        k.setValue(RegValue::String("Printer Driver", name));
    }
    void defaultDevice(const std::string& line) {
        machine->writeFile("C:\\WINDOWS\\WIN.INI", "[windows]\r\nload=\r\ndevice=" + line + "\r\n");
    }
};

TEST_F(PrinterCases, PortsAndDefaultOnBothFamilies) {
    addPrinter("HP LaserJet 4", "LPT1:");
    addPrinter("Epson Stylus", "USB001");
    defaultDevice("Epson Stylus,winspool,USB001");
    for (std::uint32_t platformId : {2u, 1u}) {
        machine->versionFacts.platformId = platformId;
        machine->versionFacts.major = platformId == 2 ? 5 : 4;
        engine::TPrinters printers;
        printers.GetInfo();
        classes::TStringList report;
        printers.Report(report);
        // NT lists names only; the port comes from each printer's own record.
        EXPECT_EQ(Lines(report), (std::vector<std::string>{"[Printers]", "Count=2", "HP LaserJet 4 on LPT1:=0",
                                                            "Epson Stylus on USB001=1"}))
            << "platform " << platformId;
        EXPECT_EQ(printers.DefaultIndex(), 1);
    }
}

TEST_F(PrinterCases, DefaultNotInTheListOrNoPrinterAtAll) {
    defaultDevice("HP DeskJet 5550,winspool,USB001");
    engine::TPrinters printers;
    printers.GetInfo();
    classes::TStringList report;
    printers.Report(report);
    EXPECT_EQ(printers.DefaultIndex(), -1);
    EXPECT_EQ(Lines(report), (std::vector<std::string>{"[Printers]", "Count=0"}));

    addPrinter("Canon iP4000", "USB001");
    printers.GetInfo();
    EXPECT_EQ(printers.Names().Count(), 1);
    EXPECT_EQ(printers.DefaultIndex(), -1);
    // A second refresh replaces the lists, it does not add to them.
    printers.GetInfo();
    EXPECT_EQ(printers.Ports().Count(), 1);
}

TEST_F(PrinterCases, SpoolerBuffersAndHandles) {
    addPrinter("A", "LPT1:");
    win32::DWORD needed = 0, count = 7;
    EXPECT_FALSE(win32::EnumPrintersA(win32::PRINTER_ENUM_LOCAL, nullptr, 5, nullptr, 0, &needed, &count));
    EXPECT_EQ(win32::GetLastError(), static_cast<win32::DWORD>(win32::ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(needed, sizeof(win32::PRINTER_INFO_5A) + 2 + 6);
    EXPECT_FALSE(win32::EnumPrintersA(win32::PRINTER_ENUM_LOCAL, nullptr, 2, nullptr, 0, &needed, &count));
    EXPECT_EQ(win32::GetLastError(), win32::ERROR_INVALID_LEVEL);
    win32::HANDLE h = nullptr;
    char none[] = "Nobody";
    EXPECT_FALSE(win32::OpenPrinterA(none, &h, nullptr));
    EXPECT_FALSE(win32::ClosePrinter(reinterpret_cast<win32::HANDLE>(0x1234)));
    EXPECT_FALSE(win32::GetPrinterA(reinterpret_cast<win32::HANDLE>(0x1234), 5, nullptr, 0, &needed));
}

// A machine whose spooler answers itself (the live host's print server).
class SpoolerMachine : public torvex::testing::RoutinesMachine {
public:
    using RoutinesMachine::RoutinesMachine;
    SpoolerFacts facts;
    std::vector<ShortcutFile> shortcuts;
    std::string shortcutFolder;
    std::optional<SpoolerFacts> spooler() override { return facts; }
    std::vector<ShortcutFile> folderShortcuts(const std::string& folder) override {
        return EqualsNoCase(folder, shortcutFolder) ? shortcuts : std::vector<ShortcutFile>{};
    }
};

class MachineAnswers : public ::testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("torvex-pss-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder);
        auto m = std::make_unique<SpoolerMachine>(folder);
        machine = m.get();
        machine->versionFacts = {5, 1, 2600, 2, "Service Pack 2", true, 2, 0, 0x100, 1};
        SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        SetActiveMachine(nullptr);
        std::filesystem::remove_all(folder);
    }
    std::filesystem::path folder;
    SpoolerMachine* machine = nullptr;
};

TEST_F(MachineAnswers, SpoolerOrderConnectionsAndDefault) {
    machine->facts.printers = {{"zeta", "file:///tmp/z.prn", "", false},
                               {"alpha", "ipp://srv/printers/alpha", "", true}};
    machine->facts.defaultPrinter = "alpha";
    engine::TPrinters printers;
    printers.GetInfo();
    EXPECT_EQ(printers.Names().ToVector(), (std::vector<std::string>{"zeta", "alpha"}));
    EXPECT_EQ(printers.Ports().ToVector(), (std::vector<std::string>{"file:///tmp/z.prn", "ipp://srv/printers/alpha"}));
    EXPECT_EQ(printers.DefaultIndex(), 1);
    // Connections to other computers' printers are listed on NT only when asked for.
    win32::DWORD needed = 0, count = 0;
    std::vector<win32::BYTE> buffer(4096);
    ASSERT_TRUE(win32::EnumPrintersA(win32::PRINTER_ENUM_LOCAL, nullptr, 4, buffer.data(), 4096, &needed, &count));
    EXPECT_EQ(count, 1u);
    ASSERT_TRUE(win32::EnumPrintersA(win32::PRINTER_ENUM_DEFAULT, nullptr, 5, buffer.data(), 4096, &needed, &count));
    ASSERT_EQ(count, 1u);
    EXPECT_STREQ(reinterpret_cast<win32::PRINTER_INFO_5A*>(buffer.data())->pPrinterName, "alpha");
}

TEST_F(MachineAnswers, ShownShortcutsAreFoundAndResolvedLikeStoredOnes) {
    machine->folders[win32::CSIDL_STARTUP] = "C:\\Autostart";
    machine->shortcutFolder = "C:\\Autostart";
    machine->shortcuts = {{"Clock.lnk", "C:\\usr\\bin\\xclock", "-digital", "", ""},
                          {"Notes.lnk", "C:\\usr\\bin\\notes", "", "", ""}};
    machine->copyFile(std::filesystem::path(TORVEX_SOURCE_DIR) / "tests/data/routines/notes.lnk", "C:\\Autostart\\Notes.lnk");
    machine->writeFile("C:\\Autostart\\readme.txt", "x");
    engine::TStartup startup;
    startup.GetInfo();
    ASSERT_EQ(startup.Count(engine::ssUserStartup), 2);
    // A stored file wins over a shown one of the same name.
    EXPECT_EQ(startup.Name(engine::ssUserStartup, 0), "Notes");
    EXPECT_EQ(startup.Value(engine::ssUserStartup, 0), "C:\\WINDOWS\\NOTEPAD.EXE C:\\WINDOWS\\README.TXT");
    EXPECT_EQ(startup.Name(engine::ssUserStartup, 1), "Clock");
    EXPECT_EQ(startup.Value(engine::ssUserStartup, 1), "C:\\usr\\bin\\xclock -digital");
    EXPECT_EQ(startup.Count(engine::ssCommonStartup), 0);
}

class SoftwareCases : public RoutinesTest {
protected:
    RegKey& product(const std::string& id) {
        return machine->key(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + id);
    }
};

TEST_F(SoftwareCases, ProductsAndTheirUninstallCommandsStayPaired) {
    product("Winamp").setValue(RegValue::String("DisplayName", "Winamp"));
    product("Winamp").setValue(RegValue::String("UninstallString", "C:\\Program Files\\Winamp\\UninstWA.exe"));
    product("NoCommand").setValue(RegValue::String("DisplayName", "Readme Viewer"));
    product("{GUID-only}").setValue(RegValue::String("UninstallString", "MsiExec.exe /X{GUID-only}"));
    product("Winamp2").setValue(RegValue::String("DisplayName", "Winamp"));
    product("Winamp2").setValue(RegValue::Dword("UninstallString", 7));
    engine::TSoftware software;
    software.GetInfo();
    EXPECT_EQ(software.Products().ToVector(), (std::vector<std::string>{"Winamp", "Readme Viewer", "Winamp"}));
    // No command, or one that is no text, reads as empty at the same index.
    EXPECT_EQ(software.Uninstalls().ToVector(),
              (std::vector<std::string>{"C:\\Program Files\\Winamp\\UninstWA.exe", "", ""}));
    classes::TStringList report;
    software.Report(report);
    EXPECT_EQ(Lines(report), (std::vector<std::string>{"[Installed Software]", "Count=3", "Item1=Winamp",
                                                        "Item2=Readme Viewer", "Item3=Winamp", "Count=3",
                                                        "Item1=C:\\Program Files\\Winamp\\UninstWA.exe", "Item2=",
                                                        "Item3="}));
    software.GetInfo();
    EXPECT_EQ(software.Products().Count(), 3);
}

class StartupCases : public RoutinesTest {
protected:
    RegKey& run(RegRoot root, const char* key = "Run") {
        return machine->key(root, std::string("Software\\Microsoft\\Windows\\CurrentVersion\\") + key);
    }
};

TEST_F(StartupCases, SixSourcesInTheirOrder) {
    run(RegRoot::CurrentUser).setValue(RegValue::String("ICQ", "C:\\ICQ\\ICQ.exe -minimize"));
    run(RegRoot::LocalMachine).setValue(RegValue::String("SystemTray", "SysTray.Exe"));
    // A number where a command line belongs still names an entry.
    run(RegRoot::LocalMachine).setValue(RegValue::Dword("Odd", 1));
    run(RegRoot::CurrentUser, "RunOnce").setValue(RegValue::String("Setup", "C:\\SETUP\\FINISH.EXE"));
    run(RegRoot::LocalMachine, "RunOnce").setValue(RegValue::String("Setup", "C:\\SETUP\\FINISH.EXE"));
    machine->folders[win32::CSIDL_STARTUP] = "C:\\WINDOWS\\Start Menu\\Programs\\StartUp\\";
    machine->folders[win32::CSIDL_COMMON_STARTUP] = "C:\\WINDOWS\\All Users\\StartUp";
    machine->copyFile(dataFile("notes.lnk"), "C:\\WINDOWS\\Start Menu\\Programs\\StartUp\\Notes.lnk");
    machine->writeFile("C:\\WINDOWS\\All Users\\StartUp\\Broken.lnk", "not a shortcut");
    machine->writeFile("C:\\WINDOWS\\All Users\\StartUp\\desktop.ini", "[.ShellClassInfo]\r\n");
    machine->writeFile("C:\\WINDOWS\\WIN.INI",
                       "[windows]\r\nload=  TSRONE.EXE TSRTWO.EXE \r\nRUN=\r\nNullPort=None\r\n[other]\r\nrun=x.exe\r\n");
    engine::TStartup startup;
    startup.GetInfo();
    classes::TStringList report;
    startup.Report(report);
    EXPECT_EQ(Lines(report),
              (std::vector<std::string>{"[User Startup]", "Count=1",
                                        "Notes=C:\\WINDOWS\\NOTEPAD.EXE C:\\WINDOWS\\README.TXT", "[Common Startup]",
                                        "Count=1", "Broken= ", "[HKLM Run]", "Count=2", "SystemTray=SysTray.Exe",
                                        "Odd=", "[HKCU Run]", "Count=1", "ICQ=C:\\ICQ\\ICQ.exe -minimize",
                                        "[Run Once]", "Count=2", "Setup=C:\\SETUP\\FINISH.EXE",
                                        "Setup=C:\\SETUP\\FINISH.EXE"}));
    // WIN.INI's entries are counted and readable, never reported.
    EXPECT_EQ(startup.RunsCount(), 8);
    ASSERT_EQ(startup.Count(engine::ssWinIni), 1);
    EXPECT_EQ(startup.Name(engine::ssWinIni, 0), "load");
    EXPECT_EQ(startup.Value(engine::ssWinIni, 0), "TSRONE.EXETSRTWO.EXE");
    EXPECT_EQ(startup.Count(6), 0);
    EXPECT_EQ(startup.Value(6, 0), "");
    EXPECT_EQ(startup.Name(engine::ssHKCURun, 5), "");
    startup.GetInfo();
    EXPECT_EQ(startup.RunsCount(), 8);
}

TEST_F(StartupCases, FolderSearchPatterns) {
    machine->writeFile("C:\\Links\\A.LNK", "x");
    machine->writeFile("C:\\Links\\b.lnk.txt", "x");
    machine->writeFile("C:\\Links\\c.lnk", "x");
    std::vector<std::string> found;
    win32::WIN32_FIND_DATAA data{};
    win32::HANDLE h = win32::FindFirstFileA("C:\\Links\\*.lnk", &data);
    ASSERT_NE(h, win32::INVALID_HANDLE_VALUE);
    do found.push_back(data.cFileName);
    while (win32::FindNextFileA(h, &data));
    EXPECT_EQ(win32::GetLastError(), static_cast<win32::DWORD>(win32::ERROR_NO_MORE_FILES));
    EXPECT_TRUE(win32::FindClose(h));
    EXPECT_EQ(found, (std::vector<std::string>{"A.LNK", "c.lnk"}));
    EXPECT_EQ(win32::FindFirstFileA("C:\\Links\\*.exe", &data), win32::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win32::GetLastError(), static_cast<win32::DWORD>(win32::ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(win32::FindFirstFileA("C:\\Nowhere\\*.lnk", &data), win32::INVALID_HANDLE_VALUE);
    EXPECT_EQ(win32::GetLastError(), static_cast<win32::DWORD>(win32::ERROR_PATH_NOT_FOUND));
}

}  // namespace

namespace {

// The three categories on the shipped PCs, as the engine root refreshes and
// reports them.
class ShippedPcs : public ::testing::Test {
protected:
    std::vector<std::string> topic(const char* pc, int page) {
        overlay = std::filesystem::temp_directory_path() / ("torvex-pss-sim-" + std::to_string(::getpid()));
        SetActiveMachine(LoadSimulatedMachine(std::filesystem::path(TORVEX_SOURCE_DIR) / "machines" / pc, overlay));
        routines::InitializeRoutines();
        engine::TCorvaneSystemInfo info;
        info.SetExceptionMode(engine::emRaise);
        info.Refresh();
        classes::TStringList lines;
        engine::ReportPage(info, page, lines);
        return lines.ToVector();
    }
    void TearDown() override {
        SetActiveMachine(nullptr);
        std::filesystem::remove_all(overlay);
    }
    std::filesystem::path overlay;
};

TEST_F(ShippedPcs, Nt4WorkstationPortsAndAShortcutToAShare) {
    EXPECT_EQ(topic("nt4-pc", engine::OverviewPageByName("Printers")),
              (std::vector<std::string>{"[Printers]", "Count=2", "HP DesignJet 650C on LPT1:=0",
                                        "HP LaserJet 5N on IP_192.168.10.20=1"}));
    auto startup = topic("nt4-pc", engine::OverviewPageByName("Startup"));
    ASSERT_GE(startup.size(), 6u);
    EXPECT_EQ(startup[2], "Plotter Queue=\\\\CADSRV\\Tools\\plotq\\plotq.exe /min");
    EXPECT_EQ(startup[5], "Microsoft Office Shortcut Bar=C:\\Program Files\\Microsoft Office\\Office\\MSOFFICE.EXE ");
}

TEST_F(ShippedPcs, Windows98SecondEditionInItsOwnLanguage) {
    auto startup = topic("win98se-pc", engine::OverviewPageByName("Startup"));
    ASSERT_GE(startup.size(), 4u);
    EXPECT_EQ(startup[1], "Count=2");
    EXPECT_EQ(startup[2], "Microsoft Office Hurtigstart=C:\\Programfiler\\Microsoft Office\\Office\\OSA9.EXE -b -l");
    EXPECT_EQ(topic("win98se-pc", engine::OverviewPageByName("Printers")),
              (std::vector<std::string>{"[Printers]", "Count=1", "HP DeskJet 690C on LPT1:=1"}));
}

TEST_F(ShippedPcs, WindowsXpSoftwareAndDefaultPrinter) {
    auto software = topic("winxp-pc", engine::OverviewPageByName("Software"));
    // Branding keeps no display name: no program. Flash Player 7 left no
    // uninstall command: an empty one at its index.
    ASSERT_EQ(software.size(), 27u);
    EXPECT_EQ(software[1], "Count=12");
    EXPECT_EQ(software[13], "Item12=Macromedia Flash Player 7");
    EXPECT_EQ(software[14], "Count=12");
    EXPECT_EQ(software[17], "Item3=MsiExec.exe /I{7148F0A6-6813-11D6-A77B-00B0D0142060}");
    EXPECT_EQ(software[26], "Item12=");
    auto printers = topic("winxp-pc", engine::OverviewPageByName("Printers"));
    EXPECT_EQ(printers[2], "Canon iP4000 on USB001=1");
}

}  // namespace
