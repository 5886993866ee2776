// The optional system libraries bound at program start: process status,
// service control and network management.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <string>

#include <unistd.h>

#include "FakeMachine.h"
#include "platform/Corvane_AdvAPI.h"
#include "platform/Corvane_Binding.h"
#include "platform/Corvane_NetAPI32.h"
#include "platform/Corvane_PSAPI.h"
#include "platform/classes/SysUtils.h"
#include "platform/machine/Machine.h"

using namespace torvex;
using namespace torvex::platform;

namespace {

const std::set<std::string> kPsapi = {
    "EnumProcesses", "EnumProcessModules", "GetModuleBaseNameA", "GetModuleFileNameExA", "GetModuleInformation",
    "EmptyWorkingSet", "QueryWorkingSet", "InitializeProcessForWsWatch", "GetWsChanges", "GetMappedFileNameA",
    "EnumDeviceDrivers", "GetDeviceDriverBaseNameA", "GetDeviceDriverFileNameA", "GetProcessMemoryInfo"};

std::set<std::string> ServiceExports() {
    std::set<std::string> s;
    for (const char* both : {"ChangeServiceConfig", "CreateService", "EnumDependentServices", "EnumServicesStatus",
                             "GetServiceKeyName", "GetServiceDisplayName", "OpenSCManager", "OpenService",
                             "QueryServiceConfig", "QueryServiceLockStatus", "RegisterServiceCtrlHandler",
                             "StartServiceCtrlDispatcher", "StartService"}) {
        s.insert(std::string(both) + "A");
        s.insert(std::string(both) + "W");
    }
    for (const char* single : {"CloseServiceHandle", "ControlService", "DeleteService", "LockServiceDatabase",
                               "NotifyBootConfigStatus", "QueryServiceObjectSecurity", "QueryServiceStatus",
                               "SetServiceObjectSecurity", "SetServiceStatus", "UnlockServiceDatabase"})
        s.insert(single);
    return s;
}

const std::set<std::string> kNetapi = {
    "NetQueryDisplayInformation", "NetStatisticsGet", "NetWkstaGetInfo", "NetWkstaUserGetInfo", "NetUserEnum",
    "NetWkstaUserEnum", "NetWkstaTransportEnum", "NetServerTransportEnum", "NetUserGetInfo", "NetUserGetGroups",
    "NetUserGetLocalGroups", "NetGroupEnum", "NetLocalGroupEnum", "NetGroupGetUsers", "NetLocalGroupGetMembers",
    "NetServerEnum", "NetShareEnum", "NetShareDel", "NetSessionEnum", "NetSessionDel", "NetConnectionEnum",
    "NetFileEnum", "NetFileClose", "NetApiBufferFree", "NetApiBufferReallocate", "NetApiBufferSize",
    "NetScheduleJobEnum", "NetScheduleJobDel", "NetScheduleJobAdd", "NetScheduleJobGetInfo"};

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("torvex-binding-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        auto m = std::make_unique<torvex::testing::FakeMachine>(folder_);
        machine = m.get();
        machine->exports["kernel32.dll"] = {"GetVersionExA"};
        owned_ = std::move(m);
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    // Makes the machine active, as program start finds it.
    void Start() { SetActiveMachine(std::move(owned_)); }

    torvex::testing::FakeMachine* machine = nullptr;

private:
    std::filesystem::path folder_;
    std::unique_ptr<torvex::testing::FakeMachine> owned_;
};

}  // namespace

TEST_F(BindingTest, AnNtMachineBindsEveryEntryPoint) {
    machine->exports["psapi.dll"] = kPsapi;
    machine->exports["advapi32.dll"] = ServiceExports();
    machine->exports["netapi32.dll"] = kNetapi;
    Start();
    BindOptionalLibraries();
    EXPECT_TRUE(psapi::PSAPILoaded);
    EXPECT_TRUE(advapi::AdvAPILoaded);
    EXPECT_TRUE(netapi32::NetAPI32Loaded);
    EXPECT_NE(psapi::PSAPIHandle, nullptr);
    EXPECT_NE(psapi::GetProcessMemoryInfo, nullptr);
    EXPECT_NE(netapi32::NetScheduleJobGetInfo, nullptr);
    EXPECT_NE(advapi::UnlockServiceDatabase, nullptr);
    // The plain name is the ANSI form.
    EXPECT_NE(advapi::OpenSCManagerW, nullptr);
    EXPECT_EQ(advapi::OpenSCManager, advapi::OpenSCManagerA);
    EXPECT_EQ(advapi::StartServiceCtrlDispatcher, advapi::StartServiceCtrlDispatcherA);
    ReleaseOptionalLibraries();
    // Released: the network library is no longer loaded, and the units are unbound.
    EXPECT_EQ(win32::GetModuleHandleA("netapi32.dll"), nullptr);
    EXPECT_FALSE(advapi::AdvAPILoaded);
    EXPECT_EQ(netapi32::NetWkstaGetInfo, nullptr);
    // The process-status library stays for the whole run.
    EXPECT_NE(win32::GetModuleHandleA("psapi.dll"), nullptr);
}

TEST_F(BindingTest, MissingLibrariesAndExportsAreNormal) {
    // A Windows 98 PC: no process-status library, no service control, and a
    // network library without the workstation call.
    machine->exports["advapi32.dll"] = {"RegOpenKeyExA"};
    machine->exports["netapi32.dll"] = {"NetApiBufferFree", "Netbios"};
    Start();
    EXPECT_NO_THROW(BindOptionalLibraries());
    EXPECT_FALSE(psapi::PSAPILoaded);
    EXPECT_EQ(psapi::PSAPIHandle, nullptr);
    EXPECT_EQ(psapi::EnumProcesses, nullptr);
    EXPECT_FALSE(advapi::AdvAPILoaded);
    EXPECT_NE(advapi::AdvAPIHandle, nullptr);
    EXPECT_EQ(advapi::OpenSCManager, nullptr);
    EXPECT_FALSE(netapi32::NetAPI32Loaded);
    EXPECT_NE(netapi32::NetApiBufferFree, nullptr);
    EXPECT_EQ(netapi32::NetWkstaGetInfo, nullptr);
    // Nothing was bound, so nothing is released: the libraries stay loaded.
    EXPECT_NO_THROW(ReleaseOptionalLibraries());
    EXPECT_NE(win32::GetModuleHandleA("netapi32.dll"), nullptr);
}

TEST_F(BindingTest, TheServiceFlagFollowsTheAnsiOpenCall) {
    machine->exports["advapi32.dll"] = {"OpenSCManagerA"};
    Start();
    EXPECT_TRUE(advapi::BindAdvAPI());
    EXPECT_EQ(advapi::OpenSCManagerW, nullptr);
    advapi::ReleaseAdvAPI();

    auto wideFolder = std::filesystem::temp_directory_path() / ("torvex-binding-wide-" + std::to_string(::getpid()));
    auto wideOnly = std::make_unique<torvex::testing::FakeMachine>(wideFolder);
    wideOnly->exports["advapi32.dll"] = {"OpenSCManagerW"};
    SetActiveMachine(std::move(wideOnly));
    EXPECT_FALSE(advapi::BindAdvAPI());
    EXPECT_NE(advapi::OpenSCManagerW, nullptr);
    std::filesystem::remove_all(wideFolder);
}

TEST_F(BindingTest, ALoadedLibraryIsTakenAsItIs) {
    machine->exports["netapi32.dll"] = kNetapi;
    Start();
    win32::HMODULE already = win32::LoadLibraryA("NETAPI32");
    ASSERT_NE(already, nullptr);
    EXPECT_TRUE(netapi32::BindNetAPI32());
    EXPECT_EQ(netapi32::NetAPI32Handle, already);
}

TEST_F(BindingTest, AFailingReleaseRaisesTheUnloadError) {
    machine->exports["advapi32.dll"] = ServiceExports();
    machine->exports["netapi32.dll"] = kNetapi;
    Start();
    BindOptionalLibraries();
    // Someone else freed the libraries: the release finds them gone.
    ASSERT_TRUE(win32::FreeLibrary(advapi::AdvAPIHandle));
    ASSERT_TRUE(win32::FreeLibrary(netapi32::NetAPI32Handle));
    try {
        advapi::ReleaseAdvAPI();
        FAIL() << "no error";
    } catch (const classes::Exception& e) {
        EXPECT_EQ(e.Message(), "Unload Error: ADVAPI32.DLL (00000000)");
    }
    EXPECT_FALSE(advapi::AdvAPILoaded);
    try {
        ReleaseOptionalLibraries();   // the service unit is unbound by now
        FAIL() << "no error";
    } catch (const classes::Exception& e) {
        EXPECT_EQ(e.Message(), "Unload Error: netapi32.dll (00000000)");
    }
}

TEST(BindingText, HandleIsWrittenAsEightHexDigits) {
    auto handle = reinterpret_cast<win32::HMODULE>(std::uintptr_t(0x10020000u));
    EXPECT_EQ(UnloadErrorText("Unload Error: psapi.dll (", handle), "Unload Error: psapi.dll (10020000)");
    EXPECT_EQ(UnloadErrorText("Unload Error: netapi32.dll (", reinterpret_cast<win32::HMODULE>(std::uintptr_t(0xAB))),
              "Unload Error: netapi32.dll (000000AB)");
}

namespace {

// Starts the program on one of the shipped simulated PCs.
void StartOn(const char* name) {
    auto overlay = std::filesystem::temp_directory_path() / ("torvex-binding-overlay-" + std::to_string(::getpid()));
    SetActiveMachine(LoadSimulatedMachine(std::string(TORVEX_SOURCE_DIR) + "/machines/" + name, overlay));
}

}  // namespace

TEST(BindingOnSimulatedPCs, WindowsXpHasAllThreeLibraries) {
    StartOn("winxp-pc");
    BindOptionalLibraries();
    EXPECT_TRUE(psapi::PSAPILoaded);
    EXPECT_TRUE(advapi::AdvAPILoaded);
    EXPECT_TRUE(netapi32::NetAPI32Loaded);
    EXPECT_EQ(advapi::OpenSCManager, advapi::OpenSCManagerA);
    EXPECT_NO_THROW(ReleaseOptionalLibraries());
}

TEST(BindingOnSimulatedPCs, Windows98StartsWithoutProcessStatus) {
    StartOn("win98se-pc");
    EXPECT_NO_THROW(BindOptionalLibraries());
    EXPECT_FALSE(psapi::PSAPILoaded);
    EXPECT_EQ(psapi::PSAPIHandle, nullptr);
    EXPECT_EQ(psapi::EnumProcesses, nullptr);
    EXPECT_NO_THROW(ReleaseOptionalLibraries());
}
