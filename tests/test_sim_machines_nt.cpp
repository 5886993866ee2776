// The NT-family PCs shipped in machines/: an NT 4.0 workstation brought to
// Service Pack 6a by the Q246009 fix, and a Windows 2000 Advanced Server
// domain controller. Each runs through the whole engine, and what the report
// says is what a PC of its kind holds. The expected values are worked out
// from each machine's own facts (version record, CPUID registers, clock,
// registry), not taken from a run.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include <unistd.h>

#include "engine/Zarvo_Devices.h"
#include "engine/Zarvo_GUI.h"
#include "engine/Zarvo_OS.h"
#include "platform/Corvane_Routines.h"
#include "platform/machine/Machine.h"
#include "platform/simulated/SimulatedMachine.h"

namespace fs = std::filesystem;
using torvex::TStringList;
using namespace torvex::engine;

namespace {

// The key=value lines of one report section, by key.
std::map<std::string, std::string> Section(const TStringList& report, const std::string& name) {
    std::map<std::string, std::string> values;
    int start = report.IndexOf("[" + name + "]");
    if (start < 0) return values;
    for (int i = start + 1; i < report.Count() && report[i].rfind("[", 0) != 0; ++i) {
        auto eq = report[i].find('=');
        if (eq != std::string::npos) values.emplace(report[i].substr(0, eq), report[i].substr(eq + 1));
    }
    return values;
}

struct NtPc {
    const char* folder;
    // classification
    const char* fullName;
    const char* csd;
    const char* version;
    const char* build;
    const char* productType;
    const char* advancedServerSuite;   // "Windows 2000 Advanced Server=" (the Enterprise suite)
    const char* servicePackMajor;      // only NT 5 fills it from the extended record
    // processor and memory
    const char* cpuName;
    const char* codeName;
    const char* frequency;
    const char* l1Data;
    const char* l1Code;
    const char* l2;
    const char* cacheDescription;
    const char* sse;
    const char* physTotal;
    // locale and time zone
    const char* languageId;
    const char* country;
    const char* shortDate;
    const char* zoneDisplay;
    const char* standardName;
    int bias;
    const char* standardStart;
    const char* daylightStart;
    const char* standardBias;
    const char* daylightBias;
    // machine, firmware and devices
    const char* computer;
    const char* biosCopyright;
    const char* biosDate;
    const char* smbiosVersion;
    const char* memorySlots;
    const char* deviceCount;
    const char* mains;   // NT 4.0 has no power management and knows nothing
    std::vector<std::pair<std::string, std::string>> devices;   // display name -> class description
    bool tapeDrive;
};

const std::vector<NtPc>& Pcs() {
    static const std::vector<NtPc> pcs = {
        // NT 4.0: "Service Pack 6" plus the installed Q246009 key is 6a. The
        // product type comes from ProductOptions ("WinNT"), the extended
        // record being read on NT 5 only. Pentium Pro 0x619 at 199.6 MHz:
        // leaf 2 holds 42h (256 KB L2), 0Ah and 06h (8 KB each), the last
        // described byte being 06h. US Central time, 1999: first Sunday of
        // April (the 4th), last Sunday of October (the 31st).
        {"nt4-pc", "Windows NT 4.x Service Pack 6a", "Service Pack 6a", "4.0", "1381", "Workstation", "0", "0",
         "Pentium Pro", "P6 (0.35 µm)", "200", "8", "8", "256",
         "Instruction cache, 8K, 4-way set associative, 32 byte line size", "0", "133681152",
         "$0409", "United States", "M/d/yy", "(GMT-06:00) Central Time (US & Canada)", "Central Standard Time", 360,
         "10/31/99 2:00:00 AM", "4/4/99 2:00:00 AM", "360", "300",
         "MPS Multiprocessor PC", "1.00.16.CS1", "04/21/98", "2.1", "8", "24", "Unknown",
         {{"HP C1537A (HP SureStore DAT24)", "Tape drives"},
          {"Adaptec AHA-294X/AHA-394X/AIC-78XX SCSI Controller", "SCSI and RAID controllers"},
          {"Matrox Millennium II", "Display adapters"},
          {"Crystal Audio System (CS4232)", "Sound, video and game controllers"},
          {"Intel 82557-based PRO Adapter", "Network adapters"},
          {"IBM DCAS-34330W", "Disk drives"},
          {"TOSHIBA CD-ROM XM-5701TA", "DVD/CD-ROM drives"},
          {"Floppy disk drive", "Floppy disk drives"},
          {"Beep", "Non-Plug and Play Drivers"}},
         true},
        // Windows 2000 domain controller: product type 2 is "Advanced
        // Server", suite mask 2 the Enterprise suite. Pentium III 0x68A with
        // brand index 2 at 997.6 MHz (998 rounds up to 1000): 82h (256 KB),
        // 08h and 0Ch (16 KB each). W. Europe time in 2003: last Sunday of
        // March (the 30th), last Sunday of October (the 26th); Central
        // Europe has the same rules but other names.
        {"win2000-dc", "Windows 2000 Service Pack 4", "Service Pack 4", "5.0", "2195", "Advanced Server", "1", "4",
         "Pentium III", "Coppermine (0.18 µm)", "1000", "16", "16", "256",
         "Data cache, 16K, 4-way set associative, 32 byte line size", "1", "1073168384",
         "$041D", "Sverige", "yyyy-MM-dd", "(GMT+01:00) Amsterdam, Berlin, Bern, Rom, Stockholm, Wien",
         "Västeuropa, normaltid", -60, "2003-10-26 03:00:00", "2003-03-30 02:00:00", "-60", "-120",
         "ACPI-multiprocessordator", "INTEL  - 1000814", "08/14/01", "2.3", "4", "38", "Online",
         {{"Adaptec AIC-7899 Ultra160 PCI SCSI-styrenhet", "SCSI- och RAID-styrenheter"},
          {"IBM IC35L036UWD210-0 SCSI Disk Device", "Diskenheter"},
          {"Intel(R) PRO/1000 T Server Adapter", "Nätverkskort"},
          {"Intel(R) PRO/100+ Management Adapter", "Nätverkskort"},
          {"ATI RAGE XL PCI", "Bildskärmskort"},
          {"MATSHITA CR-177", "DVD/CD-ROM-enheter"},
          {"ACPI-multiprocessordator", "Dator"}},
         false},
    };
    return pcs;
}

}  // namespace

TEST(SimNtMachines, EachPcReportsItsWindowsProcessorLocaleZoneFirmwareAndDevices) {
    const fs::path overlay = fs::temp_directory_path() / ("torvex-nt-pcs-" + std::to_string(::getpid()));
    for (const NtPc& pc : Pcs()) {
        SCOPED_TRACE(pc.folder);
        torvex::platform::SetActiveMachine(torvex::platform::SimulatedMachine::Load(
            fs::path(TORVEX_SOURCE_DIR) / "machines" / pc.folder, overlay / pc.folder));
        torvex::platform::routines::InitializeRoutines();
        EXPECT_TRUE(torvex::platform::routines::IsNT);
        EXPECT_EQ(torvex::platform::routines::OSFullName, pc.fullName);

        TCorvaneSystemInfo info;
        info.SetExceptionMode(emRaise);
        info.Refresh();
        TStringList report;
        info.Report(report);

        auto os = Section(report, "Operating System");
        EXPECT_EQ(os["Platform"], "Windows NT");
        EXPECT_EQ(os["Version"], pc.version);
        EXPECT_EQ(os["BuildNumber"], pc.build);
        EXPECT_EQ(os["CSD"], pc.csd);
        EXPECT_FALSE(os["ProductID"].empty());
        EXPECT_FALSE(os["RegUser"].empty());
        auto nt = Section(report, "NT Specific");
        EXPECT_EQ(nt["ProductType"], pc.productType);
        EXPECT_EQ(nt["Windows 2000 Advanced Server"], pc.advancedServerSuite);
        EXPECT_EQ(nt["Windows 2000 Datacenter Server"], "0");
        EXPECT_EQ(nt["ServicePackMajorVersion"], pc.servicePackMajor);

        auto cpu = Section(report, "CPU");
        EXPECT_EQ(cpu["Count"], "2");
        EXPECT_EQ(cpu["Frequency"], pc.frequency);
        EXPECT_EQ(cpu["Vendor"], "Intel");
        EXPECT_EQ(cpu["VendorID"], pc.cpuName);
        EXPECT_EQ(cpu["CodeName"], pc.codeName);
        auto cache = Section(report, "CPU Cache");
        EXPECT_EQ(cache["Level 1 Data Cache"], pc.l1Data);
        EXPECT_EQ(cache["Level 1 Instruction Cache"], pc.l1Code);
        EXPECT_EQ(cache["Level 2 Unified Cache"], pc.l2);
        EXPECT_GE(report.IndexOf(std::string("Intel Cache Description: ") + pc.cacheDescription), 0);
        EXPECT_EQ(Section(report, "CPU Features")["Streaming SIMD Extensions"], pc.sse);
        // The environment NT gave the program names the same processors.
        auto env = Section(report, "Environment");
        EXPECT_EQ(env["NUMBER_OF_PROCESSORS"], cpu["Count"]);
        EXPECT_EQ(env["PROCESSOR_IDENTIFIER"], "x86 Family " + cpu["Family"] + " Model " + cpu["Model"] +
                                                   " Stepping " + cpu["Stepping"] + ", GenuineIntel");
        EXPECT_EQ(env["OS"], "Windows_NT");

        auto memory = Section(report, "Memory");
        EXPECT_EQ(memory["PhysMemTotal"], pc.physTotal);
        EXPECT_EQ(memory["MaxAppAddress"], "7FFEFFFF");
        EXPECT_EQ(int(info.Memory().Resources().System()), 90);   // NT has no 16-bit USER heap to ask

        EXPECT_EQ(info.OS().LanguageID(), pc.languageId);
        auto locale = Section(report, "Locale");
        EXPECT_EQ(locale["FullCountryCode"], pc.country);
        EXPECT_EQ(locale["ShortDateFormat"], pc.shortDate);
        EXPECT_EQ(info.OS().TimeZone().StandardName(), pc.standardName);
        EXPECT_EQ(info.OS().TimeZone().Bias(), pc.bias);
        auto zone = Section(report, "Time Zone");
        EXPECT_EQ(zone["TimeZone"], pc.zoneDisplay);
        EXPECT_EQ(zone["StdName"], pc.standardStart);
        EXPECT_EQ(zone["DlghtName"], pc.daylightStart);
        EXPECT_EQ(zone["StdBias"], pc.standardBias);
        EXPECT_EQ(zone["DlghtBias"], pc.daylightBias);

        auto machine = Section(report, "Machine");
        EXPECT_EQ(machine["Name"], torvex::platform::ActiveMachine().computerName());
        EXPECT_EQ(machine["Computer"], pc.computer);
        // Outside XP the BIOS version is the first string of the multi-string.
        auto bios = Section(report, "BIOS");
        EXPECT_EQ(bios["BIOS name"], "AT/AT COMPATIBLE");
        EXPECT_EQ(bios["BIOS Copyright"], pc.biosCopyright);
        EXPECT_EQ(bios["BIOS Date"], pc.biosDate);
        auto smbios = Section(report, "SMBIOS");
        EXPECT_EQ(smbios["Version"], pc.smbiosVersion);
        EXPECT_EQ(smbios["MemorySlotCount"], pc.memorySlots);
        EXPECT_EQ(smbios["CPU Manufacturer"], "Intel");

        EXPECT_EQ(Section(report, "Advanced Power Management")["ACPowerStatus"], pc.mains);

        EXPECT_EQ(Section(report, "Devices")["Count"], pc.deviceCount);
        for (const auto& [name, classDescription] : pc.devices) {
            SCOPED_TRACE(name);
            EXPECT_EQ(Section(report, name)["Class Name"], classDescription);
        }
        bool tape = false;
        for (int i = 0; i < info.Devices().DeviceCount(); ++i) {
            TDevice d;
            ASSERT_TRUE(info.Devices().GetDevice(i, d));
            if (d.DeviceClass == DeviceClassOf("TapeDrive")) tape = true;
            // A device whose driver never started has no "Control" key and
            // is not listed.
            EXPECT_EQ(d.RegistryKey.find("LEGACY_QIC117"), std::string::npos);
            EXPECT_EQ(d.RegistryKey.find("VEN_10B7"), std::string::npos);
        }
        EXPECT_EQ(tape, pc.tapeDrive);
    }
    torvex::platform::SetActiveMachine(nullptr);
    fs::remove_all(overlay);
}

TEST(SimNtMachines, WithoutTheHotfixKeyTheWorkstationStaysAtServicePack6) {
    // The same workstation before the 6a fix: the variant deletes the key.
    const fs::path scratch = fs::temp_directory_path() / ("torvex-nt4-sp6-" + std::to_string(::getpid()));
    fs::create_directories(scratch / "pc" / "registry");
    {
        std::ofstream json(scratch / "pc" / "machine.json");
        json << R"({"base": ")" << (fs::path(TORVEX_SOURCE_DIR) / "machines" / "nt4-pc").string() << R"("})";
        std::ofstream reg(scratch / "pc" / "registry" / "90-nofix.reg", std::ios::binary);
        reg << "REGEDIT4\r\n\r\n"
               "[-HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Hotfix\\Q246009]\r\n";
    }
    torvex::platform::SetActiveMachine(torvex::platform::SimulatedMachine::Load(scratch / "pc", scratch / "overlay"));
    torvex::platform::routines::InitializeRoutines();
    EXPECT_EQ(torvex::platform::routines::OSFullName, "Windows NT 4.x Service Pack 6");
    TOperatingSystem os;
    os.SetExceptionMode(emRaise);
    os.GetInfo();
    EXPECT_EQ(os.CSD(), "Service Pack 6");
    torvex::platform::SetActiveMachine(nullptr);
    fs::remove_all(scratch);
}
