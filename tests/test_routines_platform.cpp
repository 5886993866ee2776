// The running Windows is classified once at start, with its flags and names.
#include <gtest/gtest.h>

#include "RoutinesMachine.h"

using namespace torvex::platform::routines;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::testing::RoutinesTest;

namespace {

struct VersionCase {
    std::uint32_t platform, major, minor;
    const char* servicePack;
    TOSVersion expected;
    const char* name;
    const char* fullName;
};

class Classification : public RoutinesTest {
protected:
    void runAs(std::uint32_t platform, std::uint32_t major, std::uint32_t minor, const std::string& csd) {
        machine->versionFacts = {major, minor, 1000, platform, csd, false, 0, 0, 0, 0};
        InitializeRoutines();
    }
};

TEST_F(Classification, EveryWindowsKindByItsVersionAndServicePackText) {
    const VersionCase cases[] = {
        {1, 4, 0, "", osWin95, "Windows 95", "Windows 95"},
        {1, 4, 0, " A", osWin95, "Windows 95", "Windows 95"},
        {1, 4, 0, " B", osWin95OSR2, "Windows 95", "Windows 95 OSR2"},
        {1, 4, 0, "B", osWin95OSR2, "Windows 95", "Windows 95 OSR2"},
        {1, 4, 0, " C", osWin95, "Windows 95", "Windows 95"},
        {1, 4, 10, "", osWin98, "Windows 98", "Windows 98"},
        {1, 4, 10, " A ", osWin98SE, "Windows 98", "Windows 98 Second Edition"},
        {1, 4, 10, " B", osWin98, "Windows 98", "Windows 98"},
        {1, 4, 90, " ", osWinME, "Windows Millenium Edition", "Windows Millenium Edition"},
        {1, 4, 3, "", osUnknown, "", ""},
        {1, 5, 0, "", osUnknown, "", ""},
        {0, 3, 10, "", osUnknown, "", ""},
        {2, 3, 51, "Service Pack 5", osWinNT3, "Windows NT", "Windows NT 3.x Service Pack 5"},
        {2, 4, 0, "Service Pack 3", osWinNT4, "Windows NT", "Windows NT 4.x Service Pack 3"},
        {2, 5, 0, "Service Pack 4", osWin2000, "Windows 2000", "Windows 2000 Service Pack 4"},
        {2, 5, 1, "Service Pack 2", osWinXP, "Windows XP", "Windows XP Service Pack 2"},
        {2, 5, 1, "", osWinXP, "Windows XP", "Windows XP "},
        // Windows Server 2003 is 5.2: not XP.
        {2, 5, 2, "Service Pack 1", osWin2000, "Windows 2000", "Windows 2000 Service Pack 1"},
        {2, 6, 0, "Service Pack 1", osUnknown, "", ""},
        {2, 10, 0, "", osUnknown, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.platform) + " " + std::to_string(c.major) + "." + std::to_string(c.minor) +
                     " \"" + c.servicePack + "\"");
        runAs(c.platform, c.major, c.minor, c.servicePack);
        EXPECT_EQ(OSVersion, c.expected);
        EXPECT_EQ(OSName, c.name);
        EXPECT_EQ(OSFullName, c.fullName);
        std::string csd;
        EXPECT_EQ(ClassifyWindowsVersion(csd), c.expected);
        EXPECT_EQ(csd, c.servicePack);
    }
}

TEST_F(Classification, FlagsAndClassRootFollowTheKind) {
    runAs(1, 4, 10, " A ");
    EXPECT_TRUE(IsSE);
    EXPECT_FALSE(IsNT || IsWin95 || IsOSR2 || IsWin98 || IsME || IsWin2K || IsWinXP);
    EXPECT_EQ(ClassKey, "SYSTEM\\CurrentControlSet\\Services\\Class");

    runAs(2, 5, 0, "");
    EXPECT_TRUE(IsNT && IsWin2K);
    EXPECT_FALSE(IsWinXP || IsSE || IsWin95);
    EXPECT_EQ(ClassKey, "SYSTEM\\CurrentControlSet\\Control\\Class");

    runAs(2, 3, 51, "");
    EXPECT_TRUE(IsNT);
    EXPECT_FALSE(IsWin2K || IsWinXP);

    // An unknown NT is not flagged NT: its registry layout is not known.
    runAs(2, 6, 0, "");
    EXPECT_FALSE(IsNT);
    EXPECT_EQ(ClassKey, "SYSTEM\\CurrentControlSet\\Services\\Class");

    runAs(1, 4, 0, " B");
    EXPECT_TRUE(IsOSR2);
    EXPECT_FALSE(IsWin95);
}

TEST_F(Classification, HotfixQ246009MakesServicePack6a) {
    auto& hotfix = machine->key(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009");
    hotfix.setValue(RegValue::Dword("Installed", 1));
    runAs(2, 4, 0, "Service Pack 6");
    EXPECT_EQ(OSFullName, "Windows NT 4.x Service Pack 6a");
    std::string csd;
    ClassifyWindowsVersion(csd);
    EXPECT_EQ(csd, "Service Pack 6a");

    // Only service pack 6 is mended by it.
    runAs(2, 4, 0, "Service Pack 5");
    EXPECT_EQ(OSFullName, "Windows NT 4.x Service Pack 5");

    hotfix.setValue(RegValue::Dword("Installed", 0));
    runAs(2, 4, 0, "Service Pack 6");
    EXPECT_EQ(OSFullName, "Windows NT 4.x Service Pack 6");

    // A text is not the hotfix's integer mark.
    hotfix.setValue(RegValue::String("Installed", "1"));
    runAs(2, 4, 0, "Service Pack 6");
    EXPECT_EQ(OSFullName, "Windows NT 4.x Service Pack 6");

    hotfix.removeValue("Installed");
    runAs(2, 4, 0, "Service Pack 6");
    EXPECT_EQ(OSFullName, "Windows NT 4.x Service Pack 6");

    machine->key(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix").removeChild("Q246009");
    runAs(2, 4, 0, "Service Pack 6");
    EXPECT_EQ(OSFullName, "Windows NT 4.x Service Pack 6");
}

TEST_F(Classification, ServicePackTextOfWindows9xIsNotMendedByTheHotfix) {
    machine->key(RegRoot::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009")
        .setValue(RegValue::Dword("Installed", 1));
    std::string csd;
    machine->versionFacts = {4, 10, 2222, 1, "Service Pack 6", false, 0, 0, 0, 0};
    EXPECT_EQ(ClassifyWindowsVersion(csd), osWin98);
    EXPECT_EQ(csd, "Service Pack 6");
}

class StartUpNames : public RoutinesTest {};

TEST_F(StartUpNames, MachineNameUserProfileMemoryAndOwnVersion) {
    machine->computer = "kontor";
    machine->folders[0x00] = "C:\\Documents and Settings\\Kari\\Skrivebord";
    machine->memoryFacts.totalPhys = 256ull << 20;
    InitializeRoutines();
    EXPECT_EQ(MachineName, "KONTOR");
    EXPECT_EQ(UserName, "tester");
    EXPECT_EQ(ProfilePath, "C:\\Documents and Settings\\Kari");
    EXPECT_EQ(TotalPhysicalMemory, 256u << 20);
    // The program's executable is no Windows file: it answers with the
    // version it was built as, in four parts.
    std::string expected = torvex::platform::ProgramVersion();
    while (std::count(expected.begin(), expected.end(), '.') < 3) expected += ".0";
    EXPECT_EQ(ExeVersion, expected);
    EXPECT_NE(ExeVersion, "0.0.0.0");

    // The registry's name wins over the call's.
    machine->key(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName")
        .setValue(RegValue::String("ComputerName", "Stue-pc"));
    InitializeRoutines();
    EXPECT_EQ(MachineName, "STUE-PC");
    EXPECT_EQ(GetMachine(), "Stue-pc");
    // A value of another kind names nothing: the call's name stays.
    machine->key(RegRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName")
        .setValue(RegValue::Dword("ComputerName", 7));
    EXPECT_EQ(GetMachine(), machine->computer);
}

TEST_F(StartUpNames, MemoryAbove4GBIsHeldAsTheClippedFigure) {
    machine->memoryFacts.totalPhys = 6ull << 30;
    InitializeRoutines();
    EXPECT_EQ(TotalPhysicalMemory, 0xFFFFFFFFu);
}

TEST_F(StartUpNames, ProfileKeepsTheLast255CharactersAndNeedsADesktop) {
    // The longest desktop path a shell folder holds (259 characters).
    std::string deep = "C:\\" + std::string(254, 'p');
    machine->folders[0x00] = deep + "\\D";
    InitializeRoutines();
    EXPECT_EQ(ProfilePath, "\\" + std::string(254, 'p'));

    machine->folders[0x00] = "";
    InitializeRoutines();
    EXPECT_EQ(ProfilePath, "");
}

TEST_F(StartUpNames, BitTest) {
    EXPECT_TRUE(IsBitOn(0x80000000u, 31));
    EXPECT_FALSE(IsBitOn(0x7FFFFFFFu, 31));
    EXPECT_TRUE(IsBitOn(0x10, 4));
    EXPECT_FALSE(IsBitOn(0x10, 3));
    EXPECT_FALSE(IsBitOn(0xFFFFFFFFu, 32));
    EXPECT_FALSE(IsBitOn(0xFFFFFFFFu, -1));
}

}  // namespace
