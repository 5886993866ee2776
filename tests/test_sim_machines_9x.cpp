// The four shipped Windows 95-Me PCs seen through the whole engine: each is
// classified as its own Windows, runs its own processor at its own clock, and
// reports its memory, free resources, regional settings, time zone, devices,
// firmware texts and power supply as the machine folder describes them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#include "engine/Zarvo_GUI.h"
#include "platform/Corvane_Routines.h"
#include "platform/simulated/SimulatedMachine.h"

using namespace torvex::engine;
using torvex::TStringList;
namespace fs = std::filesystem;
namespace rt = torvex::platform::routines;

namespace {

struct NineXPc {
    const char* folder;
    // Classification
    rt::TOSVersion version;
    const char* osName;
    const char* osFullName;
    const char* csd;
    const char* buildNumber;
    // Processor
    const char* vendorId;
    const char* codeName;
    int frequency;
    int l1Data, l1Code, level1, level2;
    const char* intelDescription;
    const char* brand;   // up to the first zero character
    // Memory
    std::int64_t physicalTotal;
    int system, gdi, user;
    // Regional settings and time zone
    const char* languageId;
    const char* abbreviatedLanguage;
    const char* shortDateFormat;
    const char* monetarySymbol;
    const char* standardName;
    int bias;
    const char* zoneDisplay;
    const char* daylightStarts;
    const char* standardStarts;
    // Devices, firmware, power
    int deviceCount;
    const char* presentDevice;   // a display name in the device list ...
    int presentClass;            // ... and its device class
    const char* absentDevice;
    const char* biosName;
    const char* smbiosVersion;
    TPowerStatus mains;
    TBatteryStatus battery;
};

// Every figure below is read off the machine folders by hand: the version
// record and memory of machine.json, the CPUID registers of cpuid.txt against
// the processor name table, the registry's regional settings and TZI records
// (the transitions fall on the dates of the year the PC's clock stands in),
// and the Configuration Manager's device list less the network protocol and
// the entries that repeat a class and description.
const std::vector<NineXPc> kPcs = {
    {"win95-pc", rt::osWin95, "Windows 95", "Windows 95", "", "950",
     "Pentium", "P54C (0,50µm)", 100, 0, 0, 0, 0, "", "",
     16384000, 71, 80, 71,
     "$0409", "ENU", "M/d/yy", "$", "Eastern Standard Time", 300, "(GMT-05:00) Eastern Time (US & Canada)",
     "4/7/96 2:00:00 AM", "10/27/96 2:00:00 AM",
     30, "Sportster 28800 Internal", 17, "Communications Port (COM1)", "Award Modular BIOS v4.51PG, An Energy Star Ally",
     "", psUnknown, bsUnknown},
    {"win95osr2-pc", rt::osWin95OSR2, "Windows 95", "Windows 95 OSR2", " B", "1111",
     "K6", "K6 (0.30 µm)", 233, 32, 32, 64, 0, "", "AMD-K6tm w/ multimedia extensions",
     33161216, 84, 88, 84,
     "$0409", "ENU", "M/d/yy", "$", "Eastern Standard Time", 300, "(GMT-05:00) Eastern Time (US & Canada)",
     "4/6/97 2:00:00 AM", "10/26/97 2:00:00 AM",
     30, "S3 Inc. ViRGE/DX PCI", 3, "S3 Trio32/64 PCI", "Award Modular BIOS v4.51PG, An Energy Star Ally", "2.1",
     psUnknown, bsUnknown},
    {"win98-pc", rt::osWin98, "Windows 98", "Windows 98", "", "1998",
     "Celeron A", "Mendocino (0.25 µm)", 400, 16, 16, 0, 128,
     "Data cache, 16K, 4-way set associative, 32 byte line size", "",
     66568192, 79, 86, 79,
     "$041D", "SVE", "yyyy-MM-dd", "kr", "Västeuropa, normaltid", -60,
     "(GMT+01:00) Amsterdam, Berlin, Bern, Rom, Stockholm, Wien", "1999-03-28 02:00:00", "1999-10-31 03:00:00",
     30, "HSP56 MicroModem", 17, "Kommunikationsport (COM2)", "Award Modular BIOS v6.00PG, An Energy Star Ally", "2.1",
     psOnline, bsNoBattery},
    {"winme-pc", rt::osWinME, "Windows Millenium Edition", "Windows Millenium Edition", " ", "3000",
     "Athlon", "Athlon", 1000, 64, 64, 128, 0, "", "AMD Athlon(tm) Processor",
     267894784, 82, 90, 82,
     "$040B", "FIN", "d.M.yyyy", "mk", "FLE, normaaliaika", -120, "(GMT+02:00) Helsinki, Riika, Tallinna",
     "25.3.2001 3:00:00", "28.10.2001 4:00:00",
     28, "NVIDIA GeForce2 MX/MX 400", 3, "Tiedonsiirtoportti (COM2)", "Award Modular BIOS v6.00PG, An Energy Star Ally",
     "2.3", psOnline, bsNoBattery},
};

}  // namespace

TEST(NineXShippedPcs, EachPcReportsItsOwnWindowsProcessorMemoryRegionDevicesAndFirmware) {
    const fs::path machines = fs::path(TORVEX_SOURCE_DIR) / "machines";
    const fs::path overlay = fs::temp_directory_path() / ("torvex-9x-pcs-" + std::to_string(::getpid()));
    for (const NineXPc& pc : kPcs) {
        SCOPED_TRACE(pc.folder);
        torvex::platform::SetActiveMachine(
            torvex::platform::SimulatedMachine::Load(machines / pc.folder, overlay / pc.folder));
        rt::InitializeRoutines();

        // The classification and its flags: exactly one family flag is set.
        EXPECT_EQ(rt::OSVersion, pc.version);
        EXPECT_FALSE(rt::IsNT);
        EXPECT_EQ(rt::IsWin95, pc.version == rt::osWin95);
        EXPECT_EQ(rt::IsOSR2, pc.version == rt::osWin95OSR2);
        EXPECT_EQ(rt::IsWin98, pc.version == rt::osWin98);
        EXPECT_FALSE(rt::IsSE);
        EXPECT_EQ(rt::IsME, pc.version == rt::osWinME);
        EXPECT_EQ(rt::OSName, pc.osName);
        EXPECT_EQ(rt::OSFullName, pc.osFullName);
        EXPECT_EQ(rt::ClassKey, "SYSTEM\\CurrentControlSet\\Services\\Class");

        TCorvaneSystemInfo info;
        info.SetExceptionMode(emRaise);
        info.Refresh();
        TStringList report;
        info.Report(report);

        EXPECT_EQ(info.OS().CSD(), pc.csd);
        EXPECT_EQ(report.Values("Platform"), "Windows 9x");
        EXPECT_EQ(report.Values("BuildNumber"), pc.buildNumber);

        const TCPU& cpu = info.CPU();
        EXPECT_EQ(cpu.VendorID(), pc.vendorId);
        EXPECT_EQ(cpu.CodeName(), pc.codeName);
        EXPECT_EQ(cpu.Frequency(), pc.frequency);
        EXPECT_EQ(cpu.Cache().L1Data(), pc.l1Data);
        EXPECT_EQ(cpu.Cache().L1Code(), pc.l1Code);
        EXPECT_EQ(cpu.Cache().Level1(), pc.level1);
        EXPECT_EQ(cpu.Cache().Level2(), pc.level2);
        EXPECT_EQ(cpu.Cache().IntelDescription(), pc.intelDescription);
        // A brand string keeps its trailing zeros; a processor without one
        // (highest extended leaf below 80000004h) has none at all.
        if (*pc.brand) {
            EXPECT_EQ(cpu.BrandString().size(), 48u);
            EXPECT_STREQ(cpu.BrandString().c_str(), pc.brand);
        } else {
            EXPECT_EQ(cpu.BrandString(), "");
        }

        const TMemory& memory = info.Memory();
        EXPECT_EQ(memory.PhysicalTotal(), pc.physicalTotal);
        EXPECT_EQ(rt::TotalPhysicalMemory, std::uint32_t(pc.physicalTotal));
        EXPECT_EQ(memory.Resources().System(), pc.system);
        EXPECT_EQ(memory.Resources().GDI(), pc.gdi);
        EXPECT_EQ(memory.Resources().User(), pc.user);
        EXPECT_EQ(memory.MinAppAddress(), 0x400000);

        const TOperatingSystem& os = info.OS();
        EXPECT_EQ(os.LanguageID(), pc.languageId);
        EXPECT_EQ(os.LocaleInfo().AbbreviateLanguageName(), pc.abbreviatedLanguage);
        EXPECT_EQ(os.LocaleInfo().ShortDateFormat(), pc.shortDateFormat);
        EXPECT_EQ(os.LocaleInfo().LocalMonetarySymbol(), pc.monetarySymbol);
        EXPECT_EQ(os.TimeZone().StandardName(), pc.standardName);
        EXPECT_EQ(os.TimeZone().Bias(), pc.bias);
        EXPECT_EQ(os.TimeZone().StandardBias(), pc.bias);
        EXPECT_EQ(os.TimeZone().DaylightBias(), pc.bias - 60);
        EXPECT_EQ(os.TimeZone().DisplayName(), pc.zoneDisplay);
        EXPECT_EQ(report.Values("DlghtName"), pc.daylightStarts);
        EXPECT_EQ(report.Values("StdName"), pc.standardStarts);

        const TDevices& devices = info.Devices();
        EXPECT_EQ(devices.DeviceCount(), pc.deviceCount);
        bool present = false;
        for (int i = 0; i < devices.DeviceCount(); ++i) {
            TDevice d;
            ASSERT_TRUE(devices.GetDevice(i, d));
            std::string shown = d.FriendlyName.empty() ? d.Description : d.FriendlyName;
            EXPECT_NE(shown, pc.absentDevice);
            // The network protocol is no device of its own on Windows 9x.
            EXPECT_NE(d.Description, "TCP/IP");
            if (shown == pc.presentDevice) {
                present = true;
                EXPECT_EQ(d.DeviceClass, pc.presentClass);
            }
        }
        EXPECT_TRUE(present) << pc.presentDevice;

        EXPECT_EQ(info.Machine().BIOS().Name(), pc.biosName);
        EXPECT_EQ(info.Machine().SMBIOS().Version(), pc.smbiosVersion);
        EXPECT_EQ(info.APM().ACPowerStatus(), pc.mains);
        EXPECT_EQ(info.APM().BatteryChargeStatus(), pc.battery);
    }
    torvex::platform::SetActiveMachine(nullptr);
    fs::remove_all(overlay);
}

TEST(NineXShippedPcs, TheLibrariesFollowTheWindowsRelease) {
    const fs::path machines = fs::path(TORVEX_SOURCE_DIR) / "machines";
    const fs::path overlay = fs::temp_directory_path() / ("torvex-9x-libs-" + std::to_string(::getpid()));
    struct Expect {
        const char* folder;
        bool diskFreeSpaceEx;   // from OSR2 on
        bool ipHelper;          // from Windows 98 on
    };
    for (const Expect& e : {Expect{"win95-pc", false, false}, Expect{"win95osr2-pc", true, false},
                            Expect{"win98-pc", true, true}, Expect{"winme-pc", true, true}}) {
        SCOPED_TRACE(e.folder);
        auto m = torvex::platform::SimulatedMachine::Load(machines / e.folder, overlay / e.folder);
        EXPECT_EQ(m->hasExport("kernel32", "GetDiskFreeSpaceExA"), e.diskFreeSpaceEx);
        EXPECT_EQ(m->hasLibrary("iphlpapi"), e.ipHelper);
        // None of them has the NT-only pieces; all have the 16-bit helpers.
        EXPECT_FALSE(m->hasExport("kernel32", "GlobalMemoryStatusEx"));
        EXPECT_FALSE(m->hasLibrary("psapi"));
        EXPECT_EQ(m->exportByOrdinal("kernel32", 37), "GetProcAddress16");
        EXPECT_TRUE(m->hasExport("kernel32", "QT_Thunk"));
        EXPECT_EQ(m->performanceFrequency(), 1193182u);
    }
    fs::remove_all(overlay);
}

TEST(NineXShippedPcs, TheMailClientOfAnUnquotedCommandIsTheProgramAlone) {
    // "...\EXCHNG32.EXE /mailurl:%1": shortened from its end, the command
    // names the program once the blank before "/" is reached; the blank is
    // no part of the program's name.
    const fs::path overlay = fs::temp_directory_path() / ("torvex-9x-mail-" + std::to_string(::getpid()));
    torvex::platform::SetActiveMachine(torvex::platform::SimulatedMachine::Load(
        fs::path(TORVEX_SOURCE_DIR) / "machines" / "win95-pc", overlay));
    rt::InitializeRoutines();
    EXPECT_EQ(rt::GetDefaultMailClient(), "C:\\Program Files\\Microsoft Exchange\\EXCHNG32.EXE");
    torvex::platform::SetActiveMachine(nullptr);
    rt::InitializeRoutines();
    fs::remove_all(overlay);
}
