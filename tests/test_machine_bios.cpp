// The machine category: names, boot and up time, lock keys, the computer
// model from the device list, and the firmware's identification strings on
// both families of Windows.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>

#include <unistd.h>

#include "FakeMachine.h"
#include "engine/Zarvo_GUI.h"
#include "engine/Zarvo_Machine.h"
#include "platform/Corvane_Routines.h"
#include "platform/machine/Registry.h"
#include "platform/simulated/SimulatedMachine.h"
#include "platform/win32/Win32.h"

namespace fs = std::filesystem;
using namespace torvex;
using namespace torvex::engine;
using platform::RegRoot;
using platform::RegValue;

namespace {

class MachineFake : public torvex::testing::FakeMachine {
public:
    using FakeMachine::FakeMachine;

    std::uint64_t ticks = 0;
    platform::LocalTime now{2005, 3, 2, 15, 10, 30, 0, 0};
    std::optional<platform::FirmwareSegment> segment;
    std::map<int, bool> toggles;

    std::uint64_t millisecondsSinceStart() override { return ticks; }
    platform::LocalTime localTime() override { return now; }
    platform::LocalTime systemTime() override { return now; }
    std::optional<platform::FirmwareSegment> firmwareSegment() override { return segment; }
    std::optional<bool> keyToggled(int virtualKey) override {
        auto it = toggles.find(virtualKey);
        return it == toggles.end() ? false : it->second;
    }
    platform::RegKey& key(const std::string& path) {
        return registry().resolvedRoot(RegRoot::LocalMachine).ensure(path);
    }
};

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("torvex-machine-" + std::to_string(::getpid()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder_);
        auto m = std::make_unique<MachineFake>(folder_);
        machine = m.get();
        machine->versionFacts = {5, 1, 2600, 2, "Service Pack 2", true, 2, 0, 0x100, 1};
        platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        platform::SetActiveMachine(nullptr);
        platform::routines::InitializeRoutines();
        fs::remove_all(folder_);
    }
    // Makes the fake a Windows 98 SE PC whose firmware segment is readable.
    void MakeWindows98() {
        machine->versionFacts = {4, 10, 0x040A08AE, 1, " A ", false, 0, 0, 0, 0};
        platform::FirmwareSegment s;
        s.image.assign(0x10000, 0);
        s.access = platform::FirmwareSegment::Access::direct;
        machine->segment = s;
    }
    void Put(std::uint32_t address, const std::string& text) {
        std::memcpy(machine->segment->image.data() + (address - 0xF0000), text.data(), text.size());
    }
    void Start() { platform::routines::InitializeRoutines(); }

    MachineFake* machine = nullptr;

private:
    fs::path folder_;
};

const char* kDescription = "HARDWARE\\DESCRIPTION\\System";

TEST_F(MachineTest, UpTimeAndLastBootOfAServerRunningSixtyDays) {
    // 60 days are 5,184,000,000 ms: more than a 32-bit tick count holds, so
    // a count that wrapped would give 10 days and 17 hours.
    machine->ticks = 60ull * 86400 * 1000;
    Start();
    TMachine m;
    m.GetInfo(0);
    EXPECT_DOUBLE_EQ(double(m.SystemUpTime()), 5184000.0);
    TDateTime now = EncodeDateTime(2005, 3, 15, 10, 30, 0, 0);
    EXPECT_NEAR(m.LastBoot(), now - 60.0, 1e-9);
    TStringList report;
    m.Report(report);
    EXPECT_EQ(report[4], "System Up Time=1 Month, 4 Weeks, 1 Day, 0 Hours, 0 Minutes, 0 Seconds.");

    // Up time rounds to whole seconds in the report, and a fresh machine
    // reports its seconds alone.
    machine->ticks = 59'600;
    m.GetInfo(0);
    EXPECT_DOUBLE_EQ(double(m.SystemUpTime()), 59.6);
    TStringList again;
    m.Report(again);
    EXPECT_EQ(again[4], "System Up Time=1 Minute, 0 Seconds.");
}

TEST_F(MachineTest, ReportNamesTheMachineAndItsUserThenTheFirmware) {
    machine->ticks = 3661'000;
    Start();
    TMachine m;
    m.GetInfo(0);
    TStringList r;
    m.Report(r);
    ASSERT_GE(r.Count(), 6);
    EXPECT_EQ(r[0], "[Machine]");
    EXPECT_EQ(r[1], "Name=FAKE-PC");
    EXPECT_EQ(r[2], "User=tester");
    EXPECT_EQ(r[3].rfind("Last Boot=", 0), 0u) << r[3];
    EXPECT_EQ(r[4], "System Up Time=1 Hour, 1 Minute, 1 Second.");
    EXPECT_EQ(r[5], "Computer=");
    // The BIOS section closes the machine's report.
    ASSERT_GE(r.Count(), 5);
    EXPECT_EQ(r[r.Count() - 5], "[BIOS]");
    EXPECT_EQ(r[r.Count() - 1], "BIOS Extended info=");
}

TEST_F(MachineTest, LockKeysFollowTheKeyboardState) {
    machine->toggles = {{0x14, true}, {0x90, false}, {0x91, true}};
    Start();
    TMachine m;
    m.GetInfo(0);
    EXPECT_TRUE(m.CapsLock());
    EXPECT_FALSE(m.NumLock());
    EXPECT_TRUE(m.ScrollLock());
    machine->toggles = {{0x90, true}};
    m.GetInfo(0);
    EXPECT_FALSE(m.CapsLock());
    EXPECT_TRUE(m.NumLock());
    EXPECT_FALSE(m.ScrollLock());
}

TEST_F(MachineTest, NtBiosStringsComeFromTheHardwareDescription) {
    // Windows XP joins the pieces of the version without a separator.
    platform::RegKey& k = machine->key(kDescription);
    k.setValue(RegValue::String("Identifier", "AT/AT COMPATIBLE"));
    k.setValue(RegValue::MultiString("SystemBiosVersion", {"ASUS - 42302e31", "BIOS Date: 04/08/03 15:20:31 Ver: 08.00.08"}));
    k.setValue(RegValue::String("SystemBiosDate", "04/08/03"));
    Start();
    TBIOS bios;
    bios.GetInfo();
    EXPECT_EQ(bios.Name(), "AT/AT COMPATIBLE");
    EXPECT_EQ(bios.Copyright(), "ASUS - 42302e31BIOS Date: 04/08/03 15:20:31 Ver: 08.00.08");
    EXPECT_EQ(bios.Date(), "04/08/03");
    EXPECT_EQ(bios.ExtendedInfo(), "");

    // Windows 2000 shows the first piece alone.
    machine->versionFacts = {5, 0, 2195, 2, "Service Pack 4", true, 4, 0, 0, 1};
    Start();
    bios.GetInfo();
    EXPECT_EQ(bios.Copyright(), "ASUS - 42302e31");

    // A value that has gone leaves its text as it was.
    k.removeValue("SystemBiosDate");
    k.removeValue("Identifier");
    bios.GetInfo();
    EXPECT_EQ(bios.Date(), "04/08/03");
    EXPECT_EQ(bios.Name(), "AT/AT COMPATIBLE");
}

TEST_F(MachineTest, NtBiosVersionIsReadAsAtMost255Bytes) {
    std::string longPiece(300, 'x');
    machine->key(kDescription).setValue(RegValue::MultiString("SystemBiosVersion", {longPiece, "second"}));
    Start();
    TBIOS bios;
    bios.GetInfo();
    EXPECT_EQ(bios.Copyright(), std::string(255, 'x'));
}

TEST_F(MachineTest, Windows9xReadsTheStringsFromTheFirmwareSegment) {
    MakeWindows98();
    Put(0xFE061, "Award Modular BIOS v4.51PG, An Energy Star Ally");
    Put(0xFE091, "Copyright (C) 1984-99, Award Software, Inc.");
    Put(0xFEC71, "12/28/1999-i440BX-ITE8671-2A69KS0DC-00");
    // The date is followed by a zero and the model byte.
    Put(0xFFFF5, std::string("12/28/99\0\xFC", 10));
    Start();
    TBIOS bios;
    bios.GetInfo();
    EXPECT_EQ(bios.Name(), "Award Modular BIOS v4.51PG, An Energy Star Ally");
    EXPECT_EQ(bios.Copyright(), "Copyright (C) 1984-99, Award Software, Inc.");
    EXPECT_EQ(bios.ExtendedInfo(), "12/28/1999-i440BX-ITE8671-2A69KS0DC-00");
    EXPECT_EQ(bios.Date(), "12/28/99");

    // A text without its zero ends with the segment; a name in the PC's
    // code page arrives as the program's text.
    Put(0xFFFF5, "ABCDEFGHIJK");
    Put(0xFE061, std::string("Sm\xF8rbr\xF8" "d BIOS\0", 14));
    bios.GetInfo();
    EXPECT_EQ(bios.Date(), "ABCDEFGHIJK");
    EXPECT_EQ(bios.Name(), "Sm\xC3\xB8rbr\xC3\xB8" "d BIOS");

    // A PC without a readable segment reads empty strings.
    machine->segment.reset();
    bios.GetInfo();
    EXPECT_EQ(bios.Name(), "");
    EXPECT_EQ(bios.Date(), "");
}

TEST_F(MachineTest, OnlyTheFullRefreshReadsTheFirmwareTablesAgain) {
    MakeWindows98();
    Start();
    TMachine m;
    m.GetInfo(1);
    EXPECT_EQ(m.SMBIOS().EntryPoint(), 0u);
    // The tables appear: a quick refresh does not look, a full one does.
    const std::string anchor = "_SM_";
    Put(0xF0800, anchor);
    m.GetInfo(0);
    EXPECT_EQ(m.SMBIOS().EntryPoint(), 0u);
    m.GetInfo(1);
    EXPECT_EQ(m.SMBIOS().EntryPoint(), 0xF0800u);
}

// The shipped PCs, through the engine root.
class MachineOnShippedPcTest : public ::testing::Test {
protected:
    void Load(const char* name) {
        fs::path dir = fs::path(TORVEX_SOURCE_DIR) / "machines" / name;
        overlay_ = fs::temp_directory_path() / ("torvex-machine-shipped-" + std::to_string(::getpid()));
        platform::SetActiveMachine(platform::SimulatedMachine::Load(dir, overlay_ / name));
        platform::routines::InitializeRoutines();
    }
    void TearDown() override {
        platform::SetActiveMachine(nullptr);
        platform::routines::InitializeRoutines();
        fs::remove_all(overlay_);
    }
    fs::path overlay_;
};

TEST_F(MachineOnShippedPcTest, WindowsXpNamesItsComputerAndReportsTheMachineFirst) {
    Load("winxp-pc");
    TCorvaneSystemInfo info;
    info.SetExceptionMode(emRaise);
    // The machine keeps its own mode.
    EXPECT_EQ(info.Machine().ExceptionMode(), emMessage);
    EXPECT_EQ(info.Machine().Computer(), "ACPI Uniprocessor PC");
    info.Refresh();
    // Up 5,412 s when the program started; the refresh itself takes a
    // little of the machine's time (the processor clock is measured).
    EXPECT_GE(double(info.Machine().SystemUpTime()), 5412.0);
    EXPECT_LT(double(info.Machine().SystemUpTime()), 5422.0);
    EXPECT_EQ(info.Machine().BIOS().Date(), "04/08/03");
    EXPECT_FALSE(info.Machine().SMBIOS().Version().empty());
    // InitialKeyboardIndicators 2: Num Lock on.
    EXPECT_TRUE(info.Machine().NumLock());
    EXPECT_FALSE(info.Machine().CapsLock());

    TStringList all;
    info.Report(all);
    ASSERT_GE(all.Count(), 3);
    EXPECT_EQ(all[1], "[Machine]");
    EXPECT_EQ(all[6], "Computer=ACPI Uniprocessor PC");
    TStringList page;
    ReportPage(info, OverviewPageByName("Machine"), page);
    EXPECT_EQ(page[0], "[Machine]");
    EXPECT_NE(page.IndexOf("[BIOS]"), -1);
}

TEST_F(MachineOnShippedPcTest, Windows98HasNoComputerDeviceButItsFirmwareStrings) {
    Load("win98se-pc");
    TMachine m;
    EXPECT_EQ(m.Computer(), "");
    m.GetInfo(1);
    EXPECT_EQ(m.BIOS().Name(), "Award Modular BIOS v4.51PG, An Energy Star Ally");
    EXPECT_EQ(m.BIOS().Date(), "12/28/99");
    EXPECT_EQ(m.Name(), "HJEMME-PC");
    EXPECT_NEAR(double(m.SystemUpTime()), 1843.0, 0.01);
}

TEST_F(MachineOnShippedPcTest, TheServerUpSixtyFourDaysKeepsItsTrueBootTime) {
    // Up 5,531,234 s: the 32-bit tick count wrapped after 49.7 days and
    // reads only 14 days.
    Load("win2000-dc");
    EXPECT_LT(win32::GetTickCount(), 15u * 86400 * 1000);
    TMachine m;
    m.GetInfo(0);
    EXPECT_NEAR(double(m.SystemUpTime()), 5531234.0, 0.01);
    TStringList r;
    m.Report(r);
    // Started 2003-11-20 09:15:42, Swedish short date and time.
    EXPECT_EQ(r[3], "Last Boot=2003-09-17 08:48:28");
    EXPECT_EQ(r[4], "System Up Time=2 Months, 0 Weeks, 2 Days, 0 Hours, 27 Minutes, 14 Seconds.");
}

}  // namespace
