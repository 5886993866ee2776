// The general routines on the shipped simulated PCs.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/machine/Machine.h"

#include "platform/Corvane_Routines.h"

using namespace torvex::platform;
using namespace torvex::platform::routines;

namespace {

class SimulatedPcs : public ::testing::Test {
protected:
    void load(const char* name) {
        overlay = std::filesystem::temp_directory_path() / ("torvex-routines-sim-" + std::to_string(::getpid()));
        SetActiveMachine(LoadSimulatedMachine(std::filesystem::path(TORVEX_SOURCE_DIR) / "machines" / name, overlay));
        InitializeRoutines();
    }
    void TearDown() override {
        SetActiveMachine(nullptr);
        std::filesystem::remove_all(overlay);
    }
    std::filesystem::path overlay;
};

TEST_F(SimulatedPcs, Windows98SecondEditionWithAModemOnline) {
    load("win98se-pc");
    EXPECT_EQ(OSVersion, osWin98SE);
    EXPECT_EQ(OSFullName, "Windows 98 Second Edition");
    EXPECT_EQ(ClassKey, "SYSTEM\\CurrentControlSet\\Services\\Class");
    EXPECT_EQ(GetDialupConnectionCount(), 1u);
    EXPECT_EQ(GetFileVersion("wnaspi32.dll"), "4.60.0.1021");
    EXPECT_EQ(GetFileVersion("C:\\WINDOWS\\SYSTEM\\ODBC32.DLL"), "3.520.4403.2");
    EXPECT_TRUE(DiskInDrive('C'));
    EXPECT_FALSE(DiskInDrive('A'));
    std::string startup = GetSpecialFolder(nullptr, win32::CSIDL_STARTUP);
    EXPECT_EQ(startup, "C:\\WINDOWS\\Start-meny\\Programmer\\Oppstart");
    std::string target, args;
    ResolveLink(startup + "\\Winamp.lnk", target, args);
    EXPECT_EQ(target, "C:\\Programfiler\\Winamp\\winamp.exe");
    EXPECT_EQ(args, "");
    // About 4 GB of 4 KB clusters, reported as at most 2 GB by Windows 98.
    win32::DWORD spc = 0, bps = 0, freeClusters = 0, total = 0;
    ASSERT_TRUE(win32::GetDiskFreeSpaceA("C:\\", &spc, &bps, &freeClusters, &total));
    EXPECT_EQ(static_cast<std::uint64_t>(total) * spc * bps, 0x7FFFF000ull);
}

TEST_F(SimulatedPcs, WindowsXpOffline) {
    load("winxp-pc");
    EXPECT_EQ(OSVersion, osWinXP);
    EXPECT_TRUE(IsNT);
    EXPECT_EQ(GetDialupConnectionCount(), 0u);
    EXPECT_EQ(GetFileVersion("ODBC32.dll"), "3.525.1117.0");
    TVersionInfo info;
    ASSERT_TRUE(GetFileVerInfo("C:\\WINDOWS\\system32\\ODBC32.dll", info));
    EXPECT_EQ(info.CompanyName, "Microsoft Corporation");
    win32::ULARGE_INTEGER avail{}, all{}, free{};
    ASSERT_TRUE(win32::GetDiskFreeSpaceExA("C:\\", &avail, &all, &free));
    EXPECT_EQ(all.QuadPart, 9767520ull * 4096);
    EXPECT_FALSE(ExeVersion.empty());
}

}  // namespace
