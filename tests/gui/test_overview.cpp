// The overview window on the shipped PCs: which pages show and which one is
// active, the order in which pages are filled, what the filled pages say
// (expected values written from the machine folders), read-only checks,
// the device properties, the lock keys of the timer, the root's
// ShowOverview, and the report export against torvex-report's own file.
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <array>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "engine/Zarvo_GUI.h"
#include "overview/Corvane_Dialogs.h"
#include "overview/Zarvo_DetailDlg.h"
#include "overview/Zarvo_Overview.h"
#include "platform/Corvane_Startup.h"
#include "platform/machine/Machine.h"
#include "platform/win32/Win32User.h"
#include "tests/FakeMachine.h"

using namespace torvex;
using namespace torvex::overview;

namespace {

std::string Machines(const char* name) { return std::string(TORVEX_SOURCE_DIR) + "/machines/" + name; }

// Makes a shipped PC active, with the platform flags of a program start.
void UseMachine(const char* name) {
    platform::SetActiveMachine(platform::LoadSimulatedMachine(Machines(name)));
    platform::PlatformStartup();
}

std::string ReadBytes(const QString& path) {
    std::ifstream in(path.toStdString(), std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A window that notes the pages in the order they are filled.
class TWatchedOverview : public TfrmZarvo_Overview {
public:
    std::vector<int> filled;

protected:
    void FillPage(int page) override {
        filled.push_back(page);
        TfrmZarvo_Overview::FillPage(page);
    }
};

// Runs `inspect` on the modal window that `action` opens, then closes it.
template <class Action, class Inspect>
void WithModal(Action action, Inspect inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal) {
            seen = true;
            inspect(modal);
            modal->close();
        }
    });
    action();
    QVERIFY2(seen, "no modal window opened");
}


// What the pages of the overview show on one shipped PC, written by hand
// from its machine folder: machine.json, the registry files, the C: tree
// and cpuid.txt. An empty list is a PC that has none of the kind.
struct TPagesOfPC {
    const char* folder;
    // Machine: computer and user; the BIOS of the firmware's tables (none
    // on a board without them); the up time of the clock record.
    const char *machine, *user, *biosVendor, *biosVersion, *biosDate, *biosSize, *upTime;
    // Operating system; the temporary folder; the programs of the html
    // and mailto open commands that the C: tree holds (empty when it holds
    // none), the connection (dial-up when a connection is up).
    const char *osTab, *osName, *osVersion, *csd, *regUser, *regOrg, *productID;
    bool suites;
    const char *tempFolder, *browser, *mailClient, *connection;
    // CPU (cpuid.txt and the clock: the vendor's company, the code name
    // of the family and model) and memory.
    const char *cpuHead, *cpuVendor, *cpuCodeName, *cpuFMS, *physTotal, *pageTotal, *appAddress, *gdi;
    // Display: the display class key, its INFO values, the mode.
    const char *adapter, *chipset, *dac, *videoMemory, *metrics;
    int modes;
    // APM.
    const char *acStatus, *batteryStatus;
    // Media: Wave In, Wave Out, MIDI In, MIDI Out, AUX, Mixer; the MIDI
    // Out devices as name and driver version; the sound devices of the
    // media class.
    std::array<int, 6> media;
    std::vector<const char*> midiOut;
    std::vector<const char*> sound;
    // Network: the network class, the distinct NetBIOS card addresses,
    // the first address of the host name, Winsock, the IP helper's
    // adapters and DNS servers, the installed components.
    std::vector<const char*> adapters, macs;
    const char *firstIP, *wsDescription, *wsVersion, *wsStatus, *host, *domain;
    std::vector<const char*> tcpAdapters;
    // The first record: its address, type and DHCP flag; its address
    // rows (each of the five chains lists at least one entry, an empty
    // one where it names no server), its first local address and gateway.
    const char *adapterAddress, *adapterType;
    bool dhcp;
    int addressRows;
    const char *firstLocal, *gateway, *nodeType;
    std::vector<const char*> dns;
    int protocols;
    std::vector<const char*> clients;
    int services;
    // Devices: the devices the Configuration Manager lists (NT: the Enum
    // instances with a Control key), without the network protocol entry
    // and, on 9x, one of two devices with the same class and description
    // (two "Communications Port"s, two motherboard-resource entries); the
    // network class's node text with the card under it (no card: no node).
    int devices;
    const char *netClass, *netCard;
    // Printers: name and port.
    std::vector<std::pair<const char*, const char*>> printers;
    // Engines.
    const char *odbc, *bde, *dao, *ado, *directX;
    int directXDrivers;
    const char* aspi;
    int aspiDevices;
    // Drives: the letters, the selected one (the Windows folder's), its
    // type, serial number and capacity.
    const char *drives, *selectedDrive, *driveType, *serial, *capacity;
    // Time zone.
    const char *tzName, *tzBias, *tzStdBias, *tzDlBias;
    // Startup by tab: user folder, common folder, HKLM Run, HKCU Run,
    // RunOnce, WIN.INI; the first HKLM Run value.
    std::array<int, 6> startup;
    const char* firstMachineRun;
    // Software: the uninstall keys with a display name; one of them with
    // its uninstall command (empty when its key has none).
    int software;
    const char *someProduct, *someUninstall;
};

const std::vector<TPagesOfPC>& ShippedPCs() {
    static const std::vector<TPagesOfPC> pcs = {
        {.folder = "win95-pc",
         // No SMBIOS tables on the 1995 board: no BIOS record, a size of 0.
         // 2,417 s since boot.
         .machine = "JOHNSON", .user = "Mike", .biosVendor = "", .biosVersion = "", .biosDate = "",
         .biosSize = "0 KB", .upTime = "40 Minutes, 17 Seconds.",
         // Build 67109814 = 0x040003B6: 950 in the low word; no service-pack text.
         .osTab = "Windows 9x", .osName = "Windows 95", .osVersion = "Version: 4.0.950", .csd = "",
         .regUser = "Michael Johnson", .regOrg = "Johnson Family", .productID = "53593-111-1476893-13746",
         .suites = false,
         .tempFolder = "C:\\WINDOWS\\TEMP\\",
         .browser = "C:\\Program Files\\Plus!\\Microsoft Internet\\IEXPLORE.EXE",
         .mailClient = "C:\\Program Files\\Microsoft Exchange\\EXCHNG32.EXE", .connection = "None",
         // CPUID 525h: a P54C; 99.97 MHz.
         .cpuHead = "1 x Intel Pentium - 100 MHz", .cpuVendor = "Intel Corporation",
         .cpuCodeName = "P54C (0,50µm)", .cpuFMS = "Family 5  Model 2  Stepping 5",
         .physTotal = "16,384,000", .pageTotal = "85,798,912", .appAddress = "00400000 - 7FFEFFFF",
         .gdi = "GDI - 80% free",
         .adapter = "S3 Trio32/64 PCI", .chipset = "S3 Trio64", .dac = "S3 Trio Internal",
         .videoMemory = "1,048,576 B", .metrics = "800 x 600, 8 bit; 211 x 158 mm", .modes = 8,
         // An APM 1.0 BIOS that reports nothing.
         .acStatus = "<info not available>", .batteryStatus = "<info not available>",
         .media = {1, 1, 1, 2, 2, 1},
         .midiOut = {"Voyetra OPL3 FM Driver v4.0", "SB16 MIDI Out [330] v4.0"},
         .sound = {"Creative Labs Sound Blaster 16 Plug and Play", "Gameport Joystick"},
         // Two LANAs on the one NE2000: one address.
         .adapters = {"NE2000 Compatible", "Dial-Up Adapter"}, .macs = {"00:00:E8:4A:21:C7"},
         .firstIP = "192.168.0.37",
         .wsDescription = "Microsoft Windows Sockets Version 1.1.", .wsVersion = "1.1", .wsStatus = "Running.",
         // No IP helper library on Windows 95: no host name from it, no
         // adapter records, no DNS list.
         .host = "", .domain = "",
         .tcpAdapters = {}, .adapterAddress = "", .adapterType = "", .dhcp = false, .addressRows = 0,
         .firstLocal = "", .gateway = "", .nodeType = "Unknown",
         .dns = {}, .protocols = 3, .clients = {"Client for Microsoft Networks", "Client for NetWare Networks"},
         .services = 1,
         .devices = 30, .netClass = "Network adapters", .netCard = "NE2000 Compatible",
         .printers = {{"HP DeskJet 540", "LPT1:"}},
         // DAO350.DLL carries version 3.51.1608.0.
         .odbc = "Open Database Connectivity not found", .bde = "Borland Database Engine not found",
         .dao = "Microsoft Data Access Objects 3.51", .ado = "Microsoft ActiveX Data Objects not found",
         .directX = "Not installed.", .directXDrivers = 0,
         .aspi = "Adaptec ASPI not found", .aspiDevices = 0,
         // C: 32,695 clusters of 32 x 512 bytes.
         .drives = "ACD", .selectedDrive = "C:", .driveType = "Fixed", .serial = "2D4F-11E8",
         .capacity = "Capacity: 535,674,880 B",
         // The standard and daylight biases are totals: bias plus the rule's own.
         .tzName = "(GMT-05:00) Eastern Time (US & Canada)", .tzBias = "300 minutes", .tzStdBias = "300 minutes",
         .tzDlBias = "240 minutes",
         .startup = {0, 0, 2, 0, 1, 0}, .firstMachineRun = "SystemTray",
         .software = 5, .someProduct = "America Online 3.0", .someUninstall = "C:\\AOL30\\UNINSTAL.EXE"},
        {.folder = "win95osr2-pc",
         .machine = "KELLY", .user = "Sarah", .biosVendor = "Award Software International, Inc.",
         .biosVersion = "4.51 PG", .biosDate = "09/12/97",
         .biosSize = "128 KB", .upTime = "1 Hour, 28 Minutes, 32 Seconds.",
         // Build 67109975 = 0x04000457: 1111; " B" is OSR2's text.
         .osTab = "Windows 9x", .osName = "Windows 95", .osVersion = "Version: 4.0.1111", .csd = " B",
         .regUser = "Sarah Kelly", .regOrg = "", .productID = "25397-OEM-0031877-42512", .suites = false,
         .tempFolder = "C:\\WINDOWS\\TEMP\\",
         .browser = "C:\\Program Files\\Internet Explorer\\IEXPLORE.EXE",
         .mailClient = "C:\\Program Files\\Outlook Express\\msimn.exe", .connection = "None",
         // CPUID 562h: a K6 (model 6) at 233.31 MHz.
         .cpuHead = "1 x AMD K6 - 233 MHz", .cpuVendor = "Advanced Micro Devices",
         .cpuCodeName = "K6 (0.30 µm)", .cpuFMS = "Family 5  Model 6  Stepping 2",
         .physTotal = "33,161,216", .pageTotal = "118,751,232", .appAddress = "00400000 - 7FFEFFFF",
         .gdi = "GDI - 88% free",
         .adapter = "S3 Inc. ViRGE/DX PCI", .chipset = "S3 ViRGE/DX", .dac = "S3 ViRGE/DX Internal",
         .videoMemory = "2,097,152 B", .metrics = "800 x 600, 8 bit; 211 x 158 mm", .modes = 11,
         .acStatus = "<info not available>", .batteryStatus = "<info not available>",
         .media = {1, 1, 1, 2, 2, 1},
         .midiOut = {"Voyetra OPL3 FM Driver v4.3", "SB16 MIDI Out [330] v4.3"},
         .sound = {"Creative Labs Sound Blaster 16 Plug and Play", "Gameport Joystick"},
         .adapters = {"NE2000 Compatible", "Dial-Up Adapter"}, .macs = {"00:00:E8:4A:21:C7"},
         .firstIP = "192.168.0.37",
         .wsDescription = "Microsoft Windows Sockets Version 1.1.", .wsVersion = "1.1", .wsStatus = "Running.",
         .host = "", .domain = "",
         .tcpAdapters = {}, .adapterAddress = "", .adapterType = "", .dhcp = false, .addressRows = 0,
         .firstLocal = "", .gateway = "", .nodeType = "Unknown",
         .dns = {}, .protocols = 3, .clients = {"Client for Microsoft Networks", "Client for NetWare Networks"},
         .services = 1,
         .devices = 30, .netClass = "Network adapters", .netCard = "NE2000 Compatible",
         .printers = {{"HP DeskJet 540", "LPT1:"}},
         .odbc = "Open Database Connectivity not found", .bde = "Borland Database Engine not found",
         .dao = "Microsoft Data Access Objects 3.51", .ado = "Microsoft ActiveX Data Objects not found",
         .directX = "Not installed.", .directXDrivers = 0,
         .aspi = "Adaptec ASPI not found", .aspiDevices = 0,
         // FAT32: 782,331 clusters of 8 x 512 bytes.
         .drives = "ACD", .selectedDrive = "C:", .driveType = "Fixed", .serial = "3A17-0C5B",
         .capacity = "Capacity: 3,204,427,776 B",
         .tzName = "(GMT-05:00) Eastern Time (US & Canada)", .tzBias = "300 minutes", .tzStdBias = "300 minutes",
         .tzDlBias = "240 minutes",
         .startup = {0, 0, 2, 0, 1, 0}, .firstMachineRun = "SystemTray",
         // Works removed, Quicken 98 added.
         .software = 5, .someProduct = "Quicken 98", .someUninstall = "C:\\QUICKENW\\UNINSTALL.EXE"},
        {.folder = "win98-pc",
         .machine = "LINDQVIST", .user = "Anna", .biosVendor = "Award Software International, Inc.",
         .biosVersion = "6.00 PG", .biosDate = "01/25/99",
         .biosSize = "256 KB", .upTime = "1 Hour, 5 Minutes, 5 Seconds.",
         // Build 67766222 = 0x040A07CE: 1998.
         .osTab = "Windows 9x", .osName = "Windows 98", .osVersion = "Version: 4.10.1998", .csd = "",
         .regUser = "Anna Lindqvist", .regOrg = "Lindqvist Bokföring AB", .productID = "55274-OEM-0011903-00102",
         .suites = false,
         .tempFolder = "C:\\WINDOWS\\TEMP\\",
         .browser = "C:\\Program\\Internet Explorer\\iexplore.exe",
         .mailClient = "C:\\Program\\Outlook Express\\msimn.exe", .connection = "None",
         // CPUID 665h with 128 KB of level 2: a Celeron A; 401.2 MHz
         // sets to the 400 of the clock endings.
         .cpuHead = "1 x Intel Celeron A - 400 MHz", .cpuVendor = "Intel Corporation",
         .cpuCodeName = "Mendocino (0.25 µm)", .cpuFMS = "Family 6  Model 6  Stepping 5",
         .physTotal = "66,568,192", .pageTotal = "232,783,872", .appAddress = "00400000 - 7FFEFFFF",
         .gdi = "GDI - 86% free",
         .adapter = "NVIDIA RIVA TNT2 Model 64", .chipset = "RIVA TNT2 Model 64", .dac = "Integrated RAMDAC",
         .videoMemory = "33,554,432 B", .metrics = "1024 x 768, 16 bit; 270 x 203 mm", .modes = 36,
         .acStatus = "Online", .batteryStatus = "No Battery",
         .media = {1, 1, 1, 2, 1, 1},
         .midiOut = {"Creative Sound Blaster PCI128 v5.12", "Creative SB PCI128 MIDI Out v5.12"},
         .sound = {"Creative Sound Blaster PCI128", "Spelport för joystick"},
         .adapters = {"Realtek RTL8029(AS) PCI Ethernet NIC", "Fjärranslutningskort"}, .macs = {"00:40:05:3B:9E:12"},
         .firstIP = "192.168.1.20",
         .wsDescription = "WinSock 2.0", .wsVersion = "2.2", .wsStatus = "Running", .host = "lindqvist",
         .domain = "",
         .tcpAdapters = {"Realtek RTL8029(AS) PCI Ethernet NIC", "Fjärranslutningskort"},
         .adapterAddress = "00-40-05-3B-9E-12", .adapterType = "Ethernet", .dhcp = false,
         .addressRows = 5, .firstLocal = "192.168.1.20",
         .gateway = "192.168.1.1", .nodeType = "Broadcast", .dns = {"195.67.199.9", "195.67.199.10"}, .protocols = 1,
         .clients = {"Klient för Microsoft-nätverk"}, .services = 1,
         .devices = 30, .netClass = "Nätverkskort", .netCard = "Realtek RTL8029(AS) PCI Ethernet NIC",
         .printers = {{"Canon BJC-4300", "LPT1:"}},
         // ODBC32.DLL in the system folder: 3.520.4403.2.
         .odbc = "Open Database Connectivity 3.520.4403.2", .bde = "Borland Database Engine not found",
         .dao = "Microsoft Data Access Objects not found", .ado = "Microsoft ActiveX Data Objects not found",
         .directX = "Installed version: 4.06.02.0436", .directXDrivers = 0,
         .aspi = "Adaptec ASPI not found", .aspiDevices = 0,
         // 1,563,775 clusters of 8 x 512 bytes.
         .drives = "ACD", .selectedDrive = "C:", .driveType = "Fixed", .serial = "1E6B-2A90",
         .capacity = "Capacity: 6,405,222,400 B",
         .tzName = "(GMT+01:00) Amsterdam, Berlin, Bern, Rom, Stockholm, Wien", .tzBias = "-60 minutes",
         .tzStdBias = "-60 minutes", .tzDlBias = "-120 minutes",
         .startup = {0, 0, 4, 0, 0, 0}, .firstMachineRun = "ScanRegistry",
         .software = 2, .someProduct = "Microsoft Office 97, Professional Edition",
         .someUninstall = "C:\\Program\\Microsoft Office\\Office\\Setup\\Setup.exe"},
        {.folder = "winme-pc",
         .machine = "VIRTANEN", .user = "Matti", .biosVendor = "Award Software, Inc.",
         .biosVersion = "ASUS A7V ACPI BIOS Revision 1007", .biosDate = "11/06/2000",
         .biosSize = "256 KB", .upTime = "2 Hours, 2 Minutes, 22 Seconds.",
         // Build 73010104 = 0x045A0BB8: 3000; Me's text is one space. The
         // family name is spelt as the system's own table spells it.
         .osTab = "Windows 9x", .osName = "Windows Millenium Edition", .osVersion = "Version: 4.90.3000",
         .csd = " ", .regUser = "Matti Virtanen", .regOrg = "Kotona", .productID = "55661-OEM-0015412-28374",
         .suites = false,
         .tempFolder = "C:\\WINDOWS\\TEMP\\",
         .browser = "C:\\Ohjelmatiedostot\\Internet Explorer\\iexplore.exe",
         .mailClient = "C:\\Ohjelmatiedostot\\Outlook Express\\msimn.exe", .connection = "None",
         // CPUID 642h: a Thunderbird Athlon; 998.2 MHz sets to 1000.
         .cpuHead = "1 x AMD Athlon - 1000 MHz", .cpuVendor = "Advanced Micro Devices",
         .cpuCodeName = "Athlon", .cpuFMS = "Family 6  Model 4  Stepping 2",
         .physTotal = "267,894,784", .pageTotal = "1,073,217,536", .appAddress = "00400000 - 7FFEFFFF",
         .gdi = "GDI - 90% free",
         .adapter = "NVIDIA GeForce2 MX/MX 400", .chipset = "GeForce2 MX/MX 400", .dac = "Integrated RAMDAC",
         .videoMemory = "33,554,432 B", .metrics = "1152 x 864, 32 bit; 304 x 228 mm", .modes = 42,
         // Mains power, battery flag 128.
         .acStatus = "Online", .batteryStatus = "No Battery",
         .media = {1, 1, 1, 2, 0, 1},
         .midiOut = {"Microsoft GS Wavetable SW Synth v5.10", "C-Media MIDI Device v5.10"},
         .sound = {"C-Media CMI8738/C3DX PCI Audio Device", "Peliportin ohjain"},
         .adapters = {"Intel(R) PRO/100+ Management Adapter"}, .macs = {"00:D0:B7:1E:44:A9"},
         .firstIP = "192.168.1.34",
         .wsDescription = "WinSock 2.0", .wsVersion = "2.2", .wsStatus = "Running", .host = "virtanen",
         .domain = "koti",
         .tcpAdapters = {"Intel(R) PRO/100+ Management Adapter"}, .adapterAddress = "00-D0-B7-1E-44-A9",
         .adapterType = "Ethernet", .dhcp = true, .addressRows = 5, .firstLocal = "192.168.1.34",
         .gateway = "192.168.1.1", .nodeType = "Broadcast",
         .dns = {"193.229.0.40", "193.229.0.42"}, .protocols = 1, .clients = {"Microsoft-verkkojen asiakas"},
         .services = 1,
         .devices = 28, .netClass = "Verkkokortit", .netCard = "Intel(R) PRO/100+ Management Adapter",
         .printers = {{"EPSON Stylus COLOR 680", "LPT1:"}},
         .odbc = "Open Database Connectivity 3.520.4403.2", .bde = "Borland Database Engine not found",
         .dao = "Microsoft Data Access Objects not found", .ado = "Microsoft ActiveX Data Objects not found",
         .directX = "Installed version: 4.07.00.0700", .directXDrivers = 0,
         .aspi = "Adaptec ASPI not found", .aspiDevices = 0,
         // 1,831,347 clusters of 32 x 512 bytes.
         .drives = "ACD", .selectedDrive = "C:", .driveType = "Fixed", .serial = "2C41-17A3",
         .capacity = "Capacity: 30,004,789,248 B",
         .tzName = "(GMT+02:00) Helsinki, Riika, Tallinna", .tzBias = "-120 minutes", .tzStdBias = "-120 minutes",
         .tzDlBias = "-180 minutes",
         // Winamp's shortcut in the user's Käynnistys folder.
         .startup = {1, 0, 6, 0, 0, 0}, .firstMachineRun = "ScanRegistry",
         .software = 2, .someProduct = "Winamp (remove only)",
         .someUninstall = "\"C:\\Ohjelmatiedostot\\Winamp\\UninstWA.exe\""},
        {.folder = "win98se-pc",
         .machine = "HJEMME-PC", .user = "Bjørn", .biosVendor = "Award Software International, Inc.",
         .biosVersion = "4.51 PG", .biosDate = "12/28/99",
         .biosSize = "256 KB", .upTime = "30 Minutes, 43 Seconds.",
         .osTab = "Windows 9x", .osName = "Windows 98", .osVersion = "Version: 4.10.2222", .csd = " A ",
         .regUser = "Bjørn Haugen", .regOrg = "", .productID = "17987-OEM-0041846-29451", .suites = false,
         // Neither Internet Explorer nor Outlook Express is in the C: tree;
         // one dial-up connection is up.
         .tempFolder = "C:\\WINDOWS\\TEMP\\",
         .browser = "",
         .mailClient = "", .connection = "Dial-up",
         .cpuHead = "1 x Intel Pentium III - 450 MHz", .cpuVendor = "Intel Corporation",
         .cpuCodeName = "Katmai (0.25 µm)", .cpuFMS = "Family 6  Model 7  Stepping 3",
         .physTotal = "133,677,056", .pageTotal = "527,896,576", .appAddress = "00400000 - 7FFEFFFF",
         .gdi = "GDI - 85% free",
         .adapter = "Matrox Millennium G400 - English", .chipset = "MGA-G400", .dac = "Integrated RAMDAC",
         .videoMemory = "33,554,432 B", .metrics = "1024 x 768, 16 bit; 270 x 203 mm", .modes = 48,
         .acStatus = "Online", .batteryStatus = "No Battery",
         .media = {1, 1, 1, 2, 0, 1},
         .midiOut = {"SB Live! MIDI Synth v5.10", "SB Live! MIDI UART v5.10"},
         .sound = {"Creative SB Live! Value (WDM)", "Creative Gameport Joystick"},
         .adapters = {"3Com EtherLink 10/100 PCI For Complete PC Management NIC (3C905C-TX)"},
         .macs = {"00:04:76:A2:5C:31"},
         .firstIP = "192.168.0.10", .wsDescription = "WinSock 2.0", .wsVersion = "2.2", .wsStatus = "Running",
         .host = "hjemme-pc", .domain = "",
         .tcpAdapters = {"3Com EtherLink 10/100 PCI For Complete PC Management NIC (3C905C-TX)"},
         .adapterAddress = "00-04-76-A2-5C-31", .adapterType = "Ethernet", .dhcp = false,
         .addressRows = 5, .firstLocal = "192.168.0.10",
         .gateway = "192.168.0.1", .nodeType = "Broadcast", .dns = {"148.122.16.253"}, .protocols = 1,
         .clients = {"Klient for Microsoft-nettverk"}, .services = 0,
         .devices = 27, .netClass = "Nettverkskort",
         .netCard = "3Com EtherLink 10/100 PCI For Complete PC Management NIC (3C905C-TX)",
         .printers = {{"HP DeskJet 690C", "LPT1:"}},
         .odbc = "Open Database Connectivity 3.520.4403.2", .bde = "Borland Database Engine not found",
         .dao = "Microsoft Data Access Objects not found", .ado = "Microsoft ActiveX Data Objects not found",
         .directX = "Installed version: 4.07.00.0716", .directXDrivers = 0,
         .aspi = "Adaptec ASPI not found", .aspiDevices = 0,
         .drives = "ACDE", .selectedDrive = "C:", .driveType = "Fixed", .serial = "1A2B-3C4D",
         .capacity = "Capacity: 4,292,870,144 B",
         .tzName = "(GMT+01:00) Amsterdam, Berlin, Bern, Oslo, Roma, Stockholm, Wien", .tzBias = "-60 minutes",
         .tzStdBias = "-60 minutes", .tzDlBias = "-120 minutes",
         .startup = {2, 0, 6, 1, 0, 0}, .firstMachineRun = "ScanRegistry",
         .software = 7, .someProduct = "Winamp (remove only)",
         .someUninstall = "\"C:\\Programfiler\\Winamp\\UninstWA.exe\""},
        {.folder = "win98se-pc-nonet",
         // The 98 SE PC without its 3Com card: its device, its class key and
         // its adapter records are gone; TCP/IP and the client stay.
         .machine = "HJEMME-PC", .user = "Bjørn", .biosVendor = "Award Software International, Inc.",
         .biosVersion = "4.51 PG", .biosDate = "12/28/99",
         .biosSize = "256 KB", .upTime = "30 Minutes, 43 Seconds.",
         .osTab = "Windows 9x", .osName = "Windows 98", .osVersion = "Version: 4.10.2222", .csd = " A ",
         .regUser = "Bjørn Haugen", .regOrg = "", .productID = "17987-OEM-0041846-29451", .suites = false,
         .tempFolder = "C:\\WINDOWS\\TEMP\\",
         .browser = "",
         .mailClient = "", .connection = "Dial-up",
         .cpuHead = "1 x Intel Pentium III - 450 MHz", .cpuVendor = "Intel Corporation",
         .cpuCodeName = "Katmai (0.25 µm)", .cpuFMS = "Family 6  Model 7  Stepping 3",
         .physTotal = "133,677,056", .pageTotal = "527,896,576", .appAddress = "00400000 - 7FFEFFFF",
         .gdi = "GDI - 85% free",
         .adapter = "Matrox Millennium G400 - English", .chipset = "MGA-G400", .dac = "Integrated RAMDAC",
         .videoMemory = "33,554,432 B", .metrics = "1024 x 768, 16 bit; 270 x 203 mm", .modes = 48,
         .acStatus = "Online", .batteryStatus = "No Battery",
         .media = {1, 1, 1, 2, 0, 1},
         .midiOut = {"SB Live! MIDI Synth v5.10", "SB Live! MIDI UART v5.10"},
         .sound = {"Creative SB Live! Value (WDM)", "Creative Gameport Joystick"},
         // Without an adapter the host name resolves to the loopback address.
         .adapters = {}, .macs = {},
         .firstIP = "127.0.0.1", .wsDescription = "WinSock 2.0", .wsVersion = "2.2",
         .wsStatus = "Running",
         .host = "hjemme-pc", .domain = "",
         // The IP helper's server chain holds one empty entry when it names
         // no server: one blank line in the DNS list.
         .tcpAdapters = {}, .adapterAddress = "", .adapterType = "", .dhcp = false, .addressRows = 0, .firstLocal = "",
         .gateway = "", .nodeType = "Broadcast",
         .dns = {""}, .protocols = 1, .clients = {"Klient for Microsoft-nettverk"}, .services = 0,
         .devices = 26, .netClass = "Nettverkskort", .netCard = "",
         .printers = {{"HP DeskJet 690C", "LPT1:"}},
         .odbc = "Open Database Connectivity 3.520.4403.2", .bde = "Borland Database Engine not found",
         .dao = "Microsoft Data Access Objects not found", .ado = "Microsoft ActiveX Data Objects not found",
         .directX = "Installed version: 4.07.00.0716", .directXDrivers = 0,
         .aspi = "Adaptec ASPI not found", .aspiDevices = 0,
         .drives = "ACDE", .selectedDrive = "C:", .driveType = "Fixed", .serial = "1A2B-3C4D",
         .capacity = "Capacity: 4,292,870,144 B",
         .tzName = "(GMT+01:00) Amsterdam, Berlin, Bern, Oslo, Roma, Stockholm, Wien", .tzBias = "-60 minutes",
         .tzStdBias = "-60 minutes", .tzDlBias = "-120 minutes",
         .startup = {2, 0, 6, 1, 0, 0}, .firstMachineRun = "ScanRegistry",
         .software = 7, .someProduct = "Winamp (remove only)",
         .someUninstall = "\"C:\\Programfiler\\Winamp\\UninstWA.exe\""},
        {.folder = "winxp-pc",
         .machine = "STUE-PC", .user = "Mette", .biosVendor = "American Megatrends Inc.", .biosVersion = "1008.004",
         .biosDate = "04/08/2003",
         .biosSize = "512 KB", .upTime = "1 Hour, 30 Minutes, 12 Seconds.",
         // Product type 1: a workstation.
         .osTab = "Windows NT", .osName = "Windows XP - Workstation", .osVersion = "Version: 5.1.2600",
         .csd = "Service Pack 2", .regUser = "Mette Sørensen", .regOrg = "",
         .productID = "55274-OEM-0011903-00107", .suites = true,
         // The open commands name Internet Explorer and Outlook Express,
         // which the C: tree does not hold.
         .tempFolder = "C:\\Documents and Settings\\Mette\\Local Settings\\Temp\\",
         .browser = "",
         .mailClient = "", .connection = "None",
         // CPUID F27h: a Northwood; 2405.47 MHz sets to 2400.
         .cpuHead = "1 x Intel Pentium 4 - 2400 MHz", .cpuVendor = "Intel Corporation",
         .cpuCodeName = "", .cpuFMS = "Family 15  Model 2  Stepping 7",
         .physTotal = "536,330,240", .pageTotal = "1,312,567,296", .appAddress = "00010000 - 7FFEFFFF",
         .gdi = "GDI - 90% free",
         // NT's display: the device's description as its Enum key has it,
         // trailing blanks and all; chip, converter and memory of
         // HardwareInformation. NT has no free-resource figures: 90 each.
         .adapter = "RADEON 9600 Series   ", .chipset = "ATI RADEON 9600 AGP (0x4150)", .dac = "Internal DAC(400MHz)",
         .videoMemory = "134,217,728 B", .metrics = "1280 x 1024, 32 bit; 338 x 270 mm", .modes = 81,
         .acStatus = "Online", .batteryStatus = "No Battery",
         .media = {1, 1, 0, 1, 0, 1}, .midiOut = {"Microsoft GS Wavetable SW Synth v5.10"},
         .sound = {"SoundMAX Integrated Digital Audio", "Standard Game Port"},
         .adapters = {"Realtek RTL8139 Family PCI Fast Ethernet NIC"}, .macs = {"00:11:2F:6B:0C:D4"},
         .firstIP = "192.168.1.100",
         .wsDescription = "WinSock 2.0", .wsVersion = "2.2", .wsStatus = "Running", .host = "stue-pc", .domain = "",
         .tcpAdapters = {"Realtek RTL8139 Family PCI Fast Ethernet NIC", "1394 Net Adapter"},
         .adapterAddress = "00-11-2F-6B-0C-D4", .adapterType = "Ethernet", .dhcp = true,
         .addressRows = 5, .firstLocal = "192.168.1.100",
         .gateway = "192.168.1.1", .nodeType = "Broadcast", .dns = {"193.162.153.164", "194.239.134.83"},
         .protocols = 3,
         .clients = {"Client for Microsoft Networks", "Client Service for NetWare"}, .services = 2,
         .devices = 33, .netClass = "Network adapters", .netCard = "Realtek RTL8139 Family PCI Fast Ethernet NIC",
         .printers = {{"Canon iP4000", "USB001"},
                      {"Microsoft Office Document Image Writer", "Microsoft Document Imaging Writer Port:"}},
         .odbc = "Open Database Connectivity 3.525.1117.0", .bde = "Borland Database Engine 5.2.0.2",
         .dao = "Microsoft Data Access Objects not found", .ado = "Microsoft ActiveX Data Objects not found",
         .directX = "Installed version: 4.09.00.0904", .directXDrivers = 8,
         .aspi = "Adaptec ASPI not found", .aspiDevices = 0,
         // 9,767,520 clusters of 8 x 512 bytes.
         .drives = "ACDZ", .selectedDrive = "C:", .driveType = "Fixed", .serial = "6C8D-2F3A",
         .capacity = "Capacity: 40,007,761,920 B",
         .tzName = "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris", .tzBias = "-60 minutes",
         .tzStdBias = "-60 minutes", .tzDlBias = "-120 minutes",
         .startup = {1, 1, 5, 2, 0, 0}, .firstMachineRun = "SoundMAXPnP",
         // Flash Player's key names no uninstall command.
         .software = 12, .someProduct = "Macromedia Flash Player 7", .someUninstall = ""},
        {.folder = "winxp-pc-guest",
         // The XP PC under its limited guest account: the guest's own
         // profile and Run key (without Skype); the machine stays the same.
         .machine = "STUE-PC", .user = "Gæst", .biosVendor = "American Megatrends Inc.", .biosVersion = "1008.004",
         .biosDate = "04/08/2003",
         .biosSize = "512 KB", .upTime = "1 Hour, 30 Minutes, 12 Seconds.",
         .osTab = "Windows NT", .osName = "Windows XP - Workstation", .osVersion = "Version: 5.1.2600",
         .csd = "Service Pack 2", .regUser = "Mette Sørensen", .regOrg = "",
         .productID = "55274-OEM-0011903-00107", .suites = true,
         .tempFolder = "C:\\Documents and Settings\\Gæst\\Local Settings\\Temp\\",
         .browser = "",
         .mailClient = "", .connection = "None",
         .cpuHead = "1 x Intel Pentium 4 - 2400 MHz", .cpuVendor = "Intel Corporation",
         .cpuCodeName = "", .cpuFMS = "Family 15  Model 2  Stepping 7",
         .physTotal = "536,330,240", .pageTotal = "1,312,567,296", .appAddress = "00010000 - 7FFEFFFF",
         .gdi = "GDI - 90% free",
         .adapter = "RADEON 9600 Series   ", .chipset = "ATI RADEON 9600 AGP (0x4150)", .dac = "Internal DAC(400MHz)",
         .videoMemory = "134,217,728 B", .metrics = "1280 x 1024, 32 bit; 338 x 270 mm", .modes = 81,
         .acStatus = "Online", .batteryStatus = "No Battery",
         .media = {1, 1, 0, 1, 0, 1}, .midiOut = {"Microsoft GS Wavetable SW Synth v5.10"},
         .sound = {"SoundMAX Integrated Digital Audio", "Standard Game Port"},
         .adapters = {"Realtek RTL8139 Family PCI Fast Ethernet NIC"}, .macs = {"00:11:2F:6B:0C:D4"},
         .firstIP = "192.168.1.100",
         .wsDescription = "WinSock 2.0", .wsVersion = "2.2", .wsStatus = "Running", .host = "stue-pc", .domain = "",
         .tcpAdapters = {"Realtek RTL8139 Family PCI Fast Ethernet NIC", "1394 Net Adapter"},
         .adapterAddress = "00-11-2F-6B-0C-D4", .adapterType = "Ethernet", .dhcp = true,
         .addressRows = 5, .firstLocal = "192.168.1.100",
         .gateway = "192.168.1.1", .nodeType = "Broadcast", .dns = {"193.162.153.164", "194.239.134.83"},
         .protocols = 3,
         .clients = {"Client for Microsoft Networks", "Client Service for NetWare"}, .services = 2,
         .devices = 33, .netClass = "Network adapters", .netCard = "Realtek RTL8139 Family PCI Fast Ethernet NIC",
         .printers = {{"Canon iP4000", "USB001"},
                      {"Microsoft Office Document Image Writer", "Microsoft Document Imaging Writer Port:"}},
         .odbc = "Open Database Connectivity 3.525.1117.0", .bde = "Borland Database Engine 5.2.0.2",
         .dao = "Microsoft Data Access Objects not found", .ado = "Microsoft ActiveX Data Objects not found",
         .directX = "Installed version: 4.09.00.0904", .directXDrivers = 8,
         .aspi = "Adaptec ASPI not found", .aspiDevices = 0,
         .drives = "ACDZ", .selectedDrive = "C:", .driveType = "Fixed", .serial = "6C8D-2F3A",
         .capacity = "Capacity: 40,007,761,920 B",
         .tzName = "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris", .tzBias = "-60 minutes",
         .tzStdBias = "-60 minutes", .tzDlBias = "-120 minutes",
         // No startup shortcut of the guest's own; MSMSGS alone in its Run key.
         .startup = {0, 1, 5, 1, 0, 0}, .firstMachineRun = "SoundMAXPnP",
         // Flash Player's key names no uninstall command.
         .software = 12, .someProduct = "Macromedia Flash Player 7", .someUninstall = ""},
        {.folder = "nt4-pc",
         .machine = "CADSTATION2", .user = "dwalker", .biosVendor = "Intel Corporation",
         .biosVersion = "1.00.16.CS1", .biosDate = "04/21/98",
         // 277,385 s since boot.
         .biosSize = "256 KB", .upTime = "3 Days, 5 Hours, 3 Minutes, 5 Seconds.",
         // Service Pack 6 with the Q246009 fix: 6a.
         .osTab = "Windows NT", .osName = "Windows NT - Workstation", .osVersion = "Version: 4.0.1381",
         .csd = "Service Pack 6a", .regUser = "Dan Walker", .regOrg = "Brazos Valley Surveying, Inc.",
         .productID = "50036-270-0381274-85623", .suites = false,
         .tempFolder = "C:\\TEMP\\",
         .browser = "C:\\Program Files\\Plus!\\Microsoft Internet\\IEXPLORE.EXE",
         .mailClient = "C:\\Program Files\\Outlook Express\\msimn.exe", .connection = "None",
         // Two Pentium Pro (CPUID 619h) at 199.6 MHz.
         .cpuHead = "2 x Intel Pentium Pro - 200 MHz", .cpuVendor = "Intel Corporation",
         .cpuCodeName = "P6 (0.35 µm)", .cpuFMS = "Family 6  Model 1  Stepping 9",
         .physTotal = "133,681,152", .pageTotal = "301,346,816", .appAddress = "00010000 - 7FFEFFFF",
         .gdi = "GDI - 90% free",
         // The adapter is the display device whose driver key is a "0000"
         // one: NT 4.0's legacy Millennium II has no driver key, so none is
         // named, and its driver stores no HardwareInformation values.
         .adapter = "", .chipset = "", .dac = "", .videoMemory = "0 B",
         .metrics = "1280 x 1024, 16 bit; 338 x 270 mm", .modes = 33,
         // NT 4.0 has no power management.
         .acStatus = "<info not available>", .batteryStatus = "<info not available>",
         .media = {1, 1, 1, 2, 2, 1}, .midiOut = {"Crystal CS4232 FM Synthesis v4.0", "Crystal CS4232 MPU-401 v4.0"},
         .sound = {"Crystal Audio System (CS4232)"},
         .adapters = {"Intel 82557-based PRO Adapter"}, .macs = {"00:A0:C9:3E:71:0F"},
         .firstIP = "10.1.1.25", .wsDescription = "WinSock 2.0",
         .wsVersion = "2.2", .wsStatus = "Running", .host = "cadstation2", .domain = "eng.example.com",
         .tcpAdapters = {"Intel 82557-based PRO Adapter"}, .adapterAddress = "00-A0-C9-3E-71-0F",
         .adapterType = "Ethernet", .dhcp = false, .addressRows = 5, .firstLocal = "10.1.1.25",
         .gateway = "10.1.1.1", .nodeType = "Hybrid", .dns = {"10.1.1.5"},
         .protocols = 2, .clients = {"Client for Microsoft Networks"}, .services = 4,
         .devices = 24, .netClass = "Network adapters", .netCard = "Intel 82557-based PRO Adapter",
         .printers = {{"HP DesignJet 650C", "LPT1:"}, {"HP LaserJet 5N", "IP_192.168.10.20"}},
         .odbc = "Open Database Connectivity not found", .bde = "Borland Database Engine not found",
         .dao = "Microsoft Data Access Objects not found", .ado = "Microsoft ActiveX Data Objects not found",
         .directX = "Installed version: 4.03.00.1096", .directXDrivers = 0,
         // Adaptec's layer with the disk, the CD-ROM and the tape drive.
         .aspi = "Adaptec ASPI 4.60.0.1021", .aspiDevices = 3,
         // 1,048,568 clusters of 8 x 512 bytes.
         .drives = "ACD", .selectedDrive = "C:", .driveType = "Fixed", .serial = "5C0E-88F1",
         .capacity = "Capacity: 4,294,934,528 B",
         .tzName = "(GMT-06:00) Central Time (US & Canada)", .tzBias = "360 minutes", .tzStdBias = "360 minutes",
         .tzDlBias = "300 minutes",
         // Plotter Queue in dwalker's Startup folder, the Office bar in the
         // common one.
         .startup = {1, 1, 2, 0, 0, 0}, .firstMachineRun = "SystemTray",
         .software = 3, .someProduct = "AutoCAD R14",
         .someUninstall = "C:\\WINNT\\IsUninst.exe -f\"C:\\Program Files\\AutoCAD R14\\DeIsL1.isu\""},
        {.folder = "win2000-dc",
         .machine = "STHDC01", .user = "Administratör", .biosVendor = "Intel Corporation",
         .biosVersion = "STL20.86B.0034.P19.0108141534", .biosDate = "08/14/2001",
         // 5,531,234 s since boot: the units below the largest are all written.
         .biosSize = "1024 KB", .upTime = "2 Months, 0 Weeks, 2 Days, 0 Hours, 27 Minutes, 14 Seconds.",
         // Product type 2 (a domain controller) with the Enterprise suite.
         .osTab = "Windows NT", .osName = "Windows 2000 - Advanced Server", .osVersion = "Version: 5.0.2195",
         .csd = "Service Pack 4", .regUser = "IT-avdelningen", .regOrg = "Norrsken Logistik AB",
         .productID = "51876-335-4181453-05432", .suites = true,
         .tempFolder = "C:\\Documents and Settings\\Administratör\\Lokala inställningar\\Temp\\",
         .browser = "C:\\Program\\Internet Explorer\\iexplore.exe",
         .mailClient = "C:\\Program\\Outlook Express\\msimn.exe", .connection = "None",
         // Two Coppermines (CPUID 68Ah) at 997.6 MHz.
         .cpuHead = "2 x Intel Pentium III - 1000 MHz", .cpuVendor = "Intel Corporation",
         .cpuCodeName = "Coppermine (0.18 µm)", .cpuFMS = "Family 6  Model 8  Stepping 10",
         .physTotal = "1,073,168,384", .pageTotal = "2,618,388,480", .appAddress = "00010000 - 7FFEFFFF",
         .gdi = "GDI - 90% free",
         // MemorySize bytes 00,00,80,00: 8 MB.
         .adapter = "ATI RAGE XL PCI", .chipset = "ATI RAGE XL PCI (0x4752)", .dac = "Internal DAC(230MHz)",
         .videoMemory = "8,388,608 B", .metrics = "1024 x 768, 16 bit; 270 x 203 mm", .modes = 45,
         .acStatus = "Online", .batteryStatus = "No Battery",
         // A server without sound.
         .media = {0, 0, 0, 0, 0, 0}, .midiOut = {},
         .sound = {},
         .adapters = {"Intel(R) PRO/100+ Management Adapter", "Intel(R) PRO/1000 T Server Adapter"},
         .macs = {"00:02:B3:5C:18:E4", "00:02:B3:8A:40:17"},
         .firstIP = "192.168.10.2", .wsDescription = "WinSock 2.0", .wsVersion = "2.2", .wsStatus = "Running",
         .host = "sthdc01", .domain = "foretaget.local",
         .tcpAdapters = {"Intel(R) PRO/100+ Management Adapter", "Intel(R) PRO/1000 T Server Adapter",
                         "WAN (PPP/SLIP) Interface"},
         .adapterAddress = "00-02-B3-5C-18-E4", .adapterType = "Ethernet", .dhcp = false,
         .addressRows = 6, .firstLocal = "192.168.10.2",
         .gateway = "192.168.10.1", .nodeType = "Hybrid", .dns = {"192.168.10.2", "192.168.10.4"},
         // Windows 2000 names its components under Control\Network.
         .protocols = 2, .clients = {"Klient för Microsoft-nätverk"}, .services = 2,
         .devices = 38, .netClass = "Nätverkskort", .netCard = "Intel(R) PRO/1000 T Server Adapter",
         .printers = {{"HP LaserJet 4100 Lager", "IP_10.20.0.31"}},
         .odbc = "Open Database Connectivity not found", .bde = "Borland Database Engine not found",
         .dao = "Microsoft Data Access Objects not found", .ado = "Microsoft ActiveX Data Objects not found",
         .directX = "Installed version: 4.08.01.0881", .directXDrivers = 0, .aspi = "Adaptec ASPI not found",
         .aspiDevices = 0,
         // 2,096,474 clusters of 8 x 512 bytes.
         .drives = "ACDE", .selectedDrive = "C:", .driveType = "Fixed", .serial = "48E2-1D07",
         .capacity = "Capacity: 8,587,157,504 B",
         .tzName = "(GMT+01:00) Amsterdam, Berlin, Bern, Rom, Stockholm, Wien", .tzBias = "-60 minutes",
         .tzStdBias = "-60 minutes", .tzDlBias = "-120 minutes",
         .startup = {0, 0, 2, 0, 0, 0}, .firstMachineRun = "Synchronization Manager",
         .software = 3, .someProduct = "Torvex", .someUninstall = "C:\\Program\\Torvex\\unins000.exe"},
    };
    return pcs;
}

const TPagesOfPC& PagesOf(const QString& folder) {
    for (const TPagesOfPC& pc : ShippedPCs())
        if (folder == pc.folder) return pc;
    qFatal("no table row for %s", qPrintable(folder));
}

QString S(const char* text) { return QString::fromUtf8(text); }

// A shipped PC made active, before the engine that reads it exists.
struct TActiveMachine {
    explicit TActiveMachine(const char* folder) { UseMachine(folder); }
};

// A window over the engine of a shipped PC, refreshed with every page.
struct TRefreshedOverview {
    TActiveMachine active;
    engine::TCorvaneSystemInfo info;
    TfrmZarvo_Overview window;
    explicit TRefreshedOverview(const char* folder) : active(folder) {
        window.SetSystemInfo(&info);
        window.SetPageMask(0xFFFF);
        window.cmRefresh();
    }
};

// The items of a check list the detail dialog shows for `action`.
template <class Action>
QStringList DetailItems(Action action) {
    QStringList items;
    WithModal(action, [&](QWidget* modal) {
        auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
        QVERIFY(dialog);
        for (int i = 0; i < dialog->clb()->count(); ++i) items << dialog->clb()->item(i)->text();
    });
    return items;
}

QStringList Texts(const std::vector<const char*>& list) {
    QStringList texts;
    for (const char* text : list) texts << S(text);
    return texts;
}

// One data row per shipped PC of the table.
void AddShippedPCs() {
    QTest::addColumn<QString>("folder");
    for (const TPagesOfPC& pc : ShippedPCs()) QTest::newRow(pc.folder) << QString(pc.folder);
}

}  // namespace

class OverviewTest : public QObject {
    Q_OBJECT
private slots:
    void init() {
        // Error boxes of a refresh would wait for a click.
        platform::SetMessageBoxHook([](const std::string& text, const std::string&, unsigned) {
            qWarning("%s", text.c_str());
            return 1;
        });
        ResetReportState();
        SetSaveDialogRunner({});
    }

    void pageMaskShowsItsPagesAndActivatesTheLastVisible() {
        TfrmZarvo_Overview window;
        // As created: every page but About, the machine page active.
        QCOMPARE(window.PageMask(), std::uint16_t(0x7FFF));
        QVERIFY(!window.pc->isTabVisible(tsAbout));
        for (int page = 0; page < tsAbout; ++page) QVERIFY(window.pc->isTabVisible(page));
        QCOMPARE(window.pc->currentIndex(), int(tsWksta));
        QCOMPARE(window.pcMachine->currentIndex(), 0);
        QCOMPARE(window.lAboutVersion->text(), QString("Version 7.61"));
        QCOMPARE(window.lAboutTitle->text(), QString("Corvane System Information Component"));
        QVERIFY(!window.bReport->isVisibleTo(&window));

        window.SetPageMask(0x0005);
        QVERIFY(window.pc->isTabVisible(tsWksta));
        QVERIFY(!window.pc->isTabVisible(tsOS));
        QVERIFY(window.pc->isTabVisible(tsCPU));
        QCOMPARE(window.pc->currentIndex(), int(tsCPU));
        window.SetPageMask(0x1100);
        QCOMPARE(window.pc->currentIndex(), int(tsTZ));
        window.SetPageMask(0xFFFF);
        QCOMPARE(window.pc->currentIndex(), int(tsAbout));
        window.SetShowReportButton(true);
        QVERIFY(window.bReport->isVisibleTo(&window));
    }

    void pagesAreFilledInTheirOrderAndOnlyWhenVisible() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TWatchedOverview window;
        window.SetSystemInfo(&info);
        window.SetPageMask(0xFFFF);
        window.cmRefresh();
        QCOMPARE(window.filled, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 9, 13, 14}));
        window.filled.clear();
        window.SetPageMask((1 << tsPrinters) | (1 << tsTZ) | (1 << tsDevices));
        window.FillPages();
        QCOMPARE(window.filled, (std::vector<int>{8, 12, 9}));
    }

    void win98sePagesShowTheMachineFolder() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        // machine.json: computer and user; the firmware image: Award 4.51 PG.
        QCOMPARE(window.lMachine->text(), QString("HJEMME-PC"));
        QCOMPARE(window.lUser->text(), QString("Bjørn"));
        QCOMPARE(window.lBIOSVendor->text(), QString("Award Software International, Inc."));
        QCOMPARE(window.lBIOSVersion->text(), QString("4.51 PG"));
        QCOMPARE(window.lBIOSDate->text(), QString("12/28/99"));
        QCOMPARE(window.lBIOSSize->text(), QString("256 KB"));
        QCOMPARE(window.lUpTime->text(), QString("30 Minutes, 43 Seconds."));
        QVERIFY(window.tvSMBIOS->findItems("Type 127: End-of-Table", Qt::MatchRecursive).size() == 1);
        // Version 4.10, build 0x040A08AE: 2222 in the low word; " A " is SE's
        // service-pack text.
        QCOMPARE(window.pc->tabText(tsOS), QString("Windows 9x"));
        QCOMPARE(window.lOSName->text(), QString("Windows 98"));
        QCOMPARE(window.lOSVersion->text(), QString("Version: 4.10.2222"));
        QCOMPARE(window.lRegUser->text(), QString("Bjørn Haugen"));
        QVERIFY(!window.bSuites->isEnabled());
        QVERIFY(window.lvFolders->findItems("Windows", Qt::MatchExactly).size() == 1);
        QCOMPARE(window.lvFolders->findItems("Windows", Qt::MatchExactly).first()->text(1), QString("C:\\WINDOWS"));
        // cpuid.txt: a Katmai at 450 MHz.
        QCOMPARE(window.lCPUHead->text(), QString("1 x Intel Pentium III - 450 MHz"));
        QCOMPARE(window.lCPUFMS->text(), QString("Family 6  Model 7  Stepping 3"));
        QCOMPARE(window.clbFeatures->item(0)->text(), QString("Built-In FPU"));
        QCOMPARE(window.clbFeatures->item(0)->checkState(), Qt::Checked);
        // machine.json memory: 133,677,056 bytes of RAM.
        QCOMPARE(window.lPhysTotal->text(), QString("133,677,056"));
        QCOMPARE(window.lAppAddress->text(), QString("00400000 - 7FFEFFFF"));
        QCOMPARE(window.lGDI->text().left(6), QString("GDI - "));
        // A desktop on mains power without a battery.
        QCOMPARE(window.lACStatus->text(), QString("Online"));
        QCOMPARE(window.lBatteryStatus->text(), QString("No Battery"));
        QCOMPARE(window.lRemainLife->text(), QString("<info not available>"));
        QCOMPARE(window.lTZName->text(), QString("(GMT+01:00) Amsterdam, Berlin, Bern, Oslo, Roma, Stockholm, Wien"));
        QCOMPARE(window.lTZStdBias->text(), QString("-60 minutes"));
        // TimeZoneInformation: the last Sunday of October at 3:00 in 2000.
        QCOMPARE(window.lTZStdStart->text(), QString("29.10.2000 03:00:00"));
        // The device tree: the computer, the classes in sorted order.
        QTreeWidgetItem* root = window.Tree->topLevelItem(0);
        QCOMPARE(root->text(0), QString("HJEMME-PC"));
        QCOMPARE(root->child(0)->text(0), QString("CD-ROM"));
        QCOMPARE(root->child(0)->child(0)->text(0), QString("LG CD-ROM CRD-8482B"));
        int devices = 0;
        for (int i = 0; i < root->childCount(); ++i) devices += root->child(i)->childCount();
        QCOMPARE(devices, info.Devices().DeviceCount());
    }

    void aZoneWithoutDaylightTimeHasNoTransitions() {
        // A machine with nothing in its registry: bias 0, no transitions.
        QTemporaryDir folder;
        auto machine = std::make_unique<testing::FakeMachine>(folder.path().toStdString());
        machine->versionFacts.major = 5;
        machine->versionFacts.minor = 1;
        machine->versionFacts.platformId = 2;
        platform::SetActiveMachine(std::move(machine));
        platform::PlatformStartup();
        engine::TCorvaneSystemInfo info;
        info.SetExceptionMode(engine::emSilent);
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        QCOMPARE(window.lTZStdStart->text(), QString("none"));
        QCOMPARE(window.lTZDlStart->text(), QString("none"));
        QCOMPARE(window.lTZBias->text(), QString("0 minutes"));
        QCOMPARE(window.lMachine->text(), QString("FAKE-PC"));
    }

    void ntPagesNameTheProductAndTheSuites() {
        UseMachine("nt4-pc");
        {
            engine::TCorvaneSystemInfo info;
            TfrmZarvo_Overview window;
            window.SetSystemInfo(&info);
            window.cmRefresh();
            QCOMPARE(window.lMachine->text(), QString("CADSTATION2"));
            QCOMPARE(window.pc->tabText(tsOS), QString("Windows NT"));
            QCOMPARE(window.lOSVersion->text(), QString("Version: 4.0.1381"));
            // Service Pack 6 with the Q246009 fix installed.
            QCOMPARE(window.lOSCSD->text(), QString("Service Pack 6a"));
            QCOMPARE(window.lRegUser->text(), QString("Dan Walker"));
            QCOMPARE(window.lTZName->text(), QString("(GMT-06:00) Central Time (US & Canada)"));
            QCOMPARE(window.lCPUHead->text().left(4), QString("2 x "));
            // NT 4.0 has no power management.
            QCOMPARE(window.lACStatus->text(), QString("<info not available>"));
            QVERIFY(!window.bSuites->isEnabled());
        }
        UseMachine("win2000-dc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        // Product type 2 (domain controller), suite mask 2 (Enterprise).
        QCOMPARE(window.lOSName->text(), QString("Windows 2000 - Advanced Server"));
        QCOMPARE(window.lUser->text(), QString("Administratör"));
        QVERIFY(window.bSuites->isEnabled());
        WithModal([&] { window.cmNTSpec(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Installed Suites"));
            QCOMPARE(dialog->Page(), int(TdlgZarvo_Detail::pgCheckBox));
            QCOMPARE(dialog->clb()->count(), 8);
            QCOMPARE(dialog->clb()->item(1)->text(), QString("Enterprise"));
            QCOMPARE(dialog->clb()->item(1)->checkState(), Qt::Checked);
            QCOMPARE(dialog->clb()->item(0)->checkState(), Qt::Unchecked);
        });
        WithModal([&] { window.cmEnvironment(); }, [&](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Environment"));
            QCOMPARE(dialog->lv()->topLevelItemCount(), info.OS().Environment().Count());
            QVERIFY(dialog->lv()->topLevelItemCount() > 0);
        });
    }

    // Display, media, network, printers, engines, drives, startup and
    // software of the Norwegian 98 SE PC, as its machine folder holds them.
    void win98seCategoryPagesShowTheMachineFolder() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();

        // Display: Class\Display\0000 and its INFO key, machine.json's
        // "display" record.
        QCOMPARE(window.lAdapter->text(), QString("Matrox Millennium G400 - English"));
        QCOMPARE(window.lChipset->text(), QString("MGA-G400"));
        QCOMPARE(window.lDAC->text(), QString("Integrated RAMDAC"));
        QCOMPARE(window.lVideoMemory->text(), QString("33,554,432 B"));   // dword:02000000
        QCOMPARE(window.lTechnology->text(), QString("Raster Display"));
        QCOMPARE(window.lMetrics->text(), QString("1024 x 768, 16 bit; 270 x 203 mm"));
        QCOMPARE(window.lPixels->text(), QString("width 36, height 36, diagonal 51"));
        QCOMPARE(window.lFontRes->text(), QString("96 dpi"));
        for (QPushButton* b : {window.bModes, window.bCurve, window.bLine, window.bPolygon, window.bRaster,
                               window.bText})
            QVERIFY(b->isEnabled());
        WithModal([&] { window.cmModes(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Supported Video Modes"));
            QCOMPARE(dialog->clb()->count(), 48);
            QCOMPARE(dialog->clb()->item(0)->text(), QString("640 x 480 - 8 bit"));
            QCOMPARE(dialog->clb()->item(47)->text(), QString("1600 x 1200 - 32 bit"));
            for (int i = 0; i < 48; ++i) QCOMPARE(dialog->clb()->item(i)->checkState(), Qt::Checked);
        });
        // TEXTCAPS 0x7807: the three precisions, underlines, strikeouts,
        // raster and vector fonts; the section's heading is no capability.
        WithModal([&] { window.bText->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Text Capabilities"));
            QListWidget* clb = dialog->clb();
            QCOMPARE(clb->count(), 16);
            QCOMPARE(clb->item(0)->text(), QString("Capable of Character Output Precision"));
            QCOMPARE(clb->item(0)->checkState(), Qt::Checked);
            QCOMPARE(clb->item(3)->text(), QString("Supports 90 Degree Character Rotation"));
            QCOMPARE(clb->item(3)->checkState(), Qt::Unchecked);
            QCOMPARE(clb->item(10)->text(), QString("Supports Italics"));
            QCOMPARE(clb->item(10)->checkState(), Qt::Unchecked);
            QCOMPARE(clb->item(11)->text(), QString("Supports Underlines"));
            QCOMPARE(clb->item(11)->checkState(), Qt::Checked);
            QCOMPARE(clb->item(15)->checkState(), Qt::Unchecked);
            // Read-only like every check list.
            clb->item(3)->setCheckState(Qt::Checked);
            QCOMPARE(clb->item(3)->checkState(), Qt::Unchecked);
        });
        // RASTERCAPS 0x3E99: blocks (1) yes, banding (2) and palette (0x100) no.
        WithModal([&] { window.bRaster->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Raster Capabilities"));
            QCOMPARE(dialog->clb()->count(), 11);
            QCOMPARE(dialog->clb()->item(0)->text(), QString("Requires Banding"));
            QCOMPARE(dialog->clb()->item(0)->checkState(), Qt::Unchecked);
            QCOMPARE(dialog->clb()->item(1)->checkState(), Qt::Checked);
            QCOMPARE(dialog->clb()->item(7)->text(), QString("Palette Based"));
            QCOMPARE(dialog->clb()->item(7)->checkState(), Qt::Unchecked);
        });
        WithModal([&] { window.bCurve->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Curve Capabilities"));
            QCOMPARE(dialog->clb()->count(), 9);   // CURVECAPS 0x01FF: all nine
            QCOMPARE(dialog->clb()->item(8)->text(), QString("Rounded Rectangles"));
            QCOMPARE(dialog->clb()->item(8)->checkState(), Qt::Checked);
        });

        // Media: the wave-out device listed twice in machine.json is one.
        QCOMPARE(window.tvMedia->topLevelItemCount(), 6);
        const char* groups[] = {"Wave In", "Wave Out", "MIDI In", "MIDI Out", "AUX", "Mixer"};
        const int counts[] = {1, 1, 1, 2, 0, 1};
        for (int g = 0; g < 6; ++g) {
            QCOMPARE(window.tvMedia->topLevelItem(g)->text(0), QString(groups[g]));
            QCOMPARE(window.tvMedia->topLevelItem(g)->childCount(), counts[g]);
        }
        QCOMPARE(window.tvMedia->topLevelItem(3)->child(1)->text(0), QString("SB Live! MIDI UART v5.10"));
        QCOMPARE(window.lvSound->topLevelItemCount(), 2);
        QCOMPARE(window.lvSound->topLevelItem(0)->text(0), QString("Creative SB Live! Value (WDM)"));
        QCOMPARE(window.lvSound->topLevelItem(1)->text(0), QString("Creative Gameport Joystick"));

        // Network: one 3Com card, its address, TCP/IP and the Norwegian client.
        QCOMPARE(window.lbAdapters->count(), 1);
        QCOMPARE(window.lbAdapters->item(0)->text(),
                 QString("3Com EtherLink 10/100 PCI For Complete PC Management NIC (3C905C-TX)"));
        QCOMPARE(window.lbMAC->item(0)->text(), QString("00:04:76:A2:5C:31"));
        QCOMPARE(window.lbIP->item(0)->text(), QString("192.168.0.10"));
        QCOMPARE(window.lWSDescription->text(), QString("WinSock 2.0"));
        QCOMPARE(window.lWSVersion->text(), QString("2.2"));
        QCOMPARE(window.lWSStatus->text(), QString("Running"));
        QCOMPARE(window.lHost->text(), QString("hjemme-pc"));
        QCOMPARE(window.lNodeType->text(), QString("Broadcast"));   // nodeType 1
        QCOMPARE(window.lbDNS->count(), 1);
        QCOMPARE(window.lbDNS->item(0)->text(), QString("148.122.16.253"));
        QCOMPARE(window.cbAdapters->count(), 1);
        QCOMPARE(window.cbAdapters->currentIndex(), 0);
        QCOMPARE(window.lAdapterAddress->text(), QString("00-04-76-A2-5C-31"));
        QCOMPARE(window.lAdapterType->text(), QString("Ethernet"));
        QVERIFY(!window.cbxDHCP->isChecked());
        // One row per entry; the IP helper's lists hold one empty entry where
        // there is no server.
        QCOMPARE(window.lvAddresses->topLevelItemCount(), 5);
        QCOMPARE(window.lvAddresses->topLevelItem(2)->text(0), QString("DHCP Server"));
        QCOMPARE(window.lvAddresses->topLevelItem(2)->text(1), QString());
        QCOMPARE(window.lvAddresses->topLevelItem(4)->text(0), QString("Secondary WINS Server"));
        QCOMPARE(window.lvAddresses->topLevelItem(0)->text(0), QString("Local"));
        QCOMPARE(window.lvAddresses->topLevelItem(0)->text(1), QString("192.168.0.10"));
        QCOMPARE(window.lvAddresses->topLevelItem(0)->text(2), QString("255.255.255.0"));
        QCOMPARE(window.lvAddresses->topLevelItem(1)->text(0), QString("Gateway"));
        QCOMPARE(window.lvAddresses->topLevelItem(1)->text(1), QString("192.168.0.1"));
        QVERIFY(window.bProto->isEnabled());
        WithModal([&] { window.bCli->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Clients"));
            QCOMPARE(dialog->clb()->count(), 1);
            QCOMPARE(dialog->clb()->item(0)->text(), QString("Klient for Microsoft-nettverk"));
            QCOMPARE(dialog->clb()->item(0)->checkState(), Qt::Checked);
        });
        WithModal([&] { window.bServ->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Services"));
            QCOMPARE(dialog->clb()->count(), 0);
        });

        // Printers: the one printer of Control\Print\Printers.
        QCOMPARE(window.lvPrinters->topLevelItemCount(), 1);
        QCOMPARE(window.lvPrinters->topLevelItem(0)->text(0), QString("HP DeskJet 690C"));
        QCOMPARE(window.lvPrinters->topLevelItem(0)->text(1), QString("LPT1:"));

        // Engines: ODBC and DirectX 6.1 (4.07.00.0716) without drivers.
        QCOMPARE(window.lODBC->text(), QString("Open Database Connectivity 3.520.4403.2"));
        QCOMPARE(window.lBDE->text(), QString("Borland Database Engine not found"));
        QCOMPARE(window.lDAO->text(), QString("Microsoft Data Access Objects not found"));
        QCOMPARE(window.lADO->text(), QString("Microsoft ActiveX Data Objects not found"));
        QCOMPARE(window.lDirectX->text(), QString("Installed version: 4.07.00.0716"));
        QCOMPARE(window.lvDirectX->topLevelItemCount(), 0);
        QCOMPARE(window.lASPI->text(), QString("Adaptec ASPI not found"));
        QCOMPARE(window.lvASPI->topLevelItemCount(), 0);

        // Drives A, C, D, E; C holds C:\WINDOWS and is selected. diskSpace C:
        // 1,048,064 clusters of 8 x 512 bytes, 611,420 free: 41.66 % used.
        QCOMPARE(window.cbDrive->count(), 4);
        QCOMPARE(window.cbDrive->itemText(0), QString("A:"));
        QCOMPARE(window.cbDrive->currentText(), QString("C:"));
        QCOMPARE(window.lDriveType->text(), QString("Fixed"));
        QCOMPARE(window.lSerial->text(), QString("1A2B-3C4D"));
        QCOMPARE(window.lCapacity->text(), QString("Capacity: 4,292,870,144 B"));
        QCOMPARE(window.lFreeSpace->text(), QString("Free space: 2,504,376,320 B"));
        QCOMPARE(window.lBytesPerSector->text(), QString("Bytes/sector: 512"));
        QCOMPARE(window.lSectorsPerCluster->text(), QString("Sector/cluster: 8"));
        // The old cluster call of Windows 98 counts at most 2 GB: 524,287
        // clusters of 4 KB; the byte figures come from the extended call.
        QCOMPARE(window.lFreeClusters->text(), QString("Free clusters: 524,287"));
        QCOMPARE(window.lTotalClusters->text(), QString("Total clusters: 524,287"));
        QCOMPARE(window.gDriveUsed->value(), 42);
        QCOMPARE(window.clbDriveFlags->count(), 12);
        QCOMPARE(window.clbDriveFlags->item(0)->text(), QString("Case Is Preserved"));
        QCOMPARE(window.clbDriveFlags->item(0)->checkState(), Qt::Checked);
        QCOMPARE(window.clbDriveFlags->item(1)->checkState(), Qt::Unchecked);   // FAT32 keeps no case
        QCOMPARE(window.clbDriveFlags->item(2)->checkState(), Qt::Checked);
        QCOMPARE(info.Disk().Drive(), std::string("C:"));
        // The CD: 311,020 clusters of 2048 bytes, none free.
        window.cbDrive->setCurrentIndex(2);
        QCOMPARE(info.Disk().Drive(), std::string("D:"));
        QCOMPARE(window.lDriveType->text(), QString("CDROM"));
        QCOMPARE(window.lCapacity->text(), QString("Capacity: 636,968,960 B"));
        QCOMPARE(window.lFreeSpace->text(), QString("Free space: 0 B"));
        QCOMPARE(window.gDriveUsed->value(), 100);
        // The floppy drive without a disk: zero figures, an empty gauge.
        window.cbDrive->setCurrentIndex(0);
        QCOMPARE(window.lDriveType->text(), QString("Removable"));
        QCOMPARE(window.lCapacity->text(), QString("Capacity: 0 B"));
        QCOMPARE(window.lFreeClusters->text(), QString("Free clusters: 0"));
        QCOMPARE(window.lBytesPerSector->text(), QString("Bytes/sector: 0"));
        QCOMPARE(window.gDriveUsed->value(), 0);
        for (int i = 0; i < window.clbDriveFlags->count(); ++i)
            QCOMPARE(window.clbDriveFlags->item(i)->checkState(), Qt::Unchecked);

        // Startup, tab by tab: the user's Oppstart folder, the empty common
        // one, six HKLM Run values, ICQ in HKCU Run, nothing else.
        QCOMPARE(window.tcStartup->currentIndex(), 0);
        QCOMPARE(window.lvStartup->topLevelItemCount(), 2);
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(0), QString("Microsoft Office Hurtigstart"));
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(1),
                 QString("C:\\Programfiler\\Microsoft Office\\Office\\OSA9.EXE -b -l"));
        const int startupCounts[] = {2, 0, 6, 1, 0, 0};
        for (int tab = 0; tab < 6; ++tab) {
            window.tcStartup->setCurrentIndex(tab);
            QCOMPARE(window.lvStartup->topLevelItemCount(), startupCounts[tab]);
        }
        window.tcStartup->setCurrentIndex(2);
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(0), QString("ScanRegistry"));
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(1), QString("C:\\WINDOWS\\scanregw.exe /autorun"));
        QCOMPARE(window.lvStartup->topLevelItem(5)->text(0), QString("Norton Auto-Protect"));
        window.tcStartup->setCurrentIndex(3);
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(0), QString("ICQ"));
        QCOMPARE(window.lvStartup->topLevelItem(0)->text(1), QString("C:\\Programfiler\\ICQ\\ICQ.exe -minimize"));

        // Software: the uninstall keys with a display name and a string.
        QCOMPARE(window.lvSoftware->topLevelItemCount(), 7);
        QCOMPARE(window.lvSoftware->topLevelItem(0)->text(0), QString("Winamp (remove only)"));
        QCOMPARE(window.lvSoftware->topLevelItem(0)->text(1), QString("\"C:\\Programfiler\\Winamp\\UninstWA.exe\""));
        QCOMPARE(window.lvSoftware->topLevelItem(1)->text(0), QString("WinZip"));
        QCOMPARE(window.lvSoftware->topLevelItem(1)->text(1), QString("C:\\PROGRA~1\\WINZIP\\WINZIP32.EXE /uninstall"));
        // A refresh refills the lists rather than adding to them.
        window.cmRefresh();
        QCOMPARE(window.lvSoftware->topLevelItemCount(), 7);
        QCOMPARE(window.lvPrinters->topLevelItemCount(), 1);
        QCOMPARE(window.tvMedia->topLevelItemCount(), 6);
        QCOMPARE(window.lbAdapters->count(), 1);
        QCOMPARE(window.cbDrive->count(), 4);
    }

    // The XP PC: NT's display values, two TCP/IP adapters, the engines with
    // their DirectX drivers, a network drive.
    void xpCategoryPagesShowTheMachineFolder() {
        UseMachine("winxp-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        QCOMPARE(window.lChipset->text(), QString("ATI RADEON 9600 AGP (0x4150)"));
        QCOMPARE(window.lVideoMemory->text(), QString("134,217,728 B"));
        QCOMPARE(window.lVideoBIOS->text(), QString("ATI RADEON 9600 BIOSBK-ATI VER008.011.005.032\n06/30/03"));
        QCOMPARE(window.lMetrics->text(), QString("1280 x 1024, 32 bit; 338 x 270 mm"));

        QCOMPARE(window.cbAdapters->count(), 2);
        QCOMPARE(window.cbAdapters->itemText(0), QString("Realtek RTL8139 Family PCI Fast Ethernet NIC"));
        QVERIFY(window.cbxDHCP->isChecked());
        QCOMPARE(window.lvAddresses->topLevelItemCount(), 5);
        QCOMPARE(window.lvAddresses->topLevelItem(2)->text(0), QString("DHCP Server"));
        QCOMPARE(window.lvAddresses->topLevelItem(2)->text(1), QString("192.168.1.1"));
        QCOMPARE(window.lbDNS->count(), 2);
        QCOMPARE(window.lbDNS->item(1)->text(), QString("194.239.134.83"));
        window.cbAdapters->setCurrentIndex(1);
        QCOMPARE(window.lAdapterType->text(), QString("Other"));   // type 144
        QCOMPARE(window.lAdapterAddress->text(), QString());
        QVERIFY(!window.cbxDHCP->isChecked());
        QCOMPARE(window.lvAddresses->topLevelItemCount(), 5);
        QCOMPARE(window.lvAddresses->topLevelItem(0)->text(1), QString("169.254.25.129"));
        QCOMPARE(window.lvAddresses->topLevelItem(0)->text(2), QString("255.255.0.0"));
        QCOMPARE(window.lvAddresses->topLevelItem(1)->text(1), QString());
        WithModal([&] { window.bProto->click(); }, [](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Protocols"));
            QCOMPARE(dialog->clb()->count(), 3);
            QCOMPARE(dialog->clb()->item(0)->text(), QString("Internet Protocol (TCP/IP)"));
        });

        QCOMPARE(window.lvPrinters->topLevelItemCount(), 2);
        QCOMPARE(window.lvPrinters->topLevelItem(0)->text(0), QString("Canon iP4000"));
        QCOMPARE(window.lvPrinters->topLevelItem(0)->text(1), QString("USB001"));

        QCOMPARE(window.lBDE->text(), QString("Borland Database Engine 5.2.0.2"));
        QCOMPARE(window.lDirectX->text(), QString("Installed version: 4.09.00.0904"));
        // Three Direct3D drivers, one synthesizer, four DirectPlay services.
        QCOMPARE(window.lvDirectX->topLevelItemCount(), 8);
        QCOMPARE(window.lvDirectX->topLevelItem(0)->text(0),
                 QString("Microsoft Direct3D Hardware acceleration through Direct3D HAL"));
        QCOMPARE(window.lvDirectX->topLevelItem(0)->text(1), QString("Direct3D"));
        QCOMPARE(window.lvDirectX->topLevelItem(3)->text(0), QString("Microsoft Synthesizer"));
        QCOMPARE(window.lvDirectX->topLevelItem(3)->text(1), QString("DirectMusic"));
        QCOMPARE(window.lvDirectX->topLevelItem(7)->text(1), QString("DirectPlay"));

        QCOMPARE(window.cbDrive->count(), 4);
        QCOMPARE(window.cbDrive->currentText(), QString("C:"));
        QCOMPARE(window.clbDriveFlags->item(1)->checkState(), Qt::Checked);   // NTFS: case sensitive
        window.cbDrive->setCurrentIndex(3);
        QCOMPARE(window.lDriveType->text(), QString("Remote"));
        QCOMPARE(window.lUNC->text(), QString("\\\\NAS-STUE\\Fotos\\"));
        QCOMPARE(window.lSerial->text(), QString("0E41-77B2"));
    }

    // Every page on every shipped PC, against the table of
    // TPagesOfPC: one row per machine folder.

    // A PC added to machines/ needs its row.
    void theTableHasARowForEveryShippedPC() {
        QStringList shipped = QDir(S(TORVEX_SOURCE_DIR) + "/machines").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QStringList rows;
        for (const TPagesOfPC& pc : ShippedPCs()) rows << S(pc.folder);
        shipped.sort();
        rows.sort();
        QCOMPARE(rows, shipped);
    }

    void machineAndOperatingSystemPages_data() { AddShippedPCs(); }
    void machineAndOperatingSystemPages() {
        QFETCH(QString, folder);
        const TPagesOfPC& pc = PagesOf(folder);
        TRefreshedOverview o(pc.folder);
        TfrmZarvo_Overview& w = o.window;
        QCOMPARE(w.lMachine->text(), S(pc.machine));
        QCOMPARE(w.lUser->text(), S(pc.user));
        QCOMPARE(w.lBIOSVendor->text(), S(pc.biosVendor));
        QCOMPARE(w.lBIOSVersion->text(), S(pc.biosVersion));
        QCOMPARE(w.lBIOSDate->text(), S(pc.biosDate));
        QCOMPARE(w.lBIOSSize->text(), S(pc.biosSize));
        QCOMPARE(w.lUpTime->text(), S(pc.upTime));
        // A board without tables lists none; one with them ends with type 127.
        const bool tables = *pc.biosVendor != '\0';
        QCOMPARE(w.tvSMBIOS->findItems("Type 127: End-of-Table", Qt::MatchRecursive).size(), tables ? 1 : 0);

        QCOMPARE(w.pc->tabText(tsOS), S(pc.osTab));
        QCOMPARE(w.lOSName->text(), S(pc.osName));
        QCOMPARE(w.lOSVersion->text(), S(pc.osVersion));
        QCOMPARE(w.lOSCSD->text(), S(pc.csd));
        QCOMPARE(w.lRegUser->text(), S(pc.regUser));
        QCOMPARE(w.lRegOrg->text(), S(pc.regOrg));
        QCOMPARE(w.lProductID->text(), S(pc.productID));
        QCOMPARE(w.bSuites->isEnabled(), pc.suites);
        // Only folders with a location are listed; Windows is always one.
        for (int i = 0; i < w.lvFolders->topLevelItemCount(); ++i)
            QVERIFY(!w.lvFolders->topLevelItem(i)->text(1).trimmed().isEmpty());
        QCOMPARE(w.lvFolders->findItems("Windows", Qt::MatchExactly).size(), 1);
        const auto temp = w.lvFolders->findItems("Temp", Qt::MatchExactly);
        QCOMPARE(temp.size(), 1);
        QCOMPARE(temp.first()->text(1), S(pc.tempFolder));
        QCOMPARE(w.lBrowser->text(), S(pc.browser));
        QCOMPARE(w.lMailClient->text(), S(pc.mailClient));
        QCOMPARE(w.lConnection->text(), S(pc.connection));
        QCOMPARE(w.lProxy->text(), QString());
        QVERIFY(w.lvLocale->topLevelItemCount() > 0);
    }

    void cpuAndMemoryPages_data() { AddShippedPCs(); }
    void cpuAndMemoryPages() {
        QFETCH(QString, folder);
        const TPagesOfPC& pc = PagesOf(folder);
        TRefreshedOverview o(pc.folder);
        TfrmZarvo_Overview& w = o.window;
        QCOMPARE(w.lCPUHead->text(), S(pc.cpuHead));
        QCOMPARE(w.lCPUVendor->text(), S(pc.cpuVendor));
        QCOMPARE(w.lCPUCodeName->text(), S(pc.cpuCodeName));
        QCOMPARE(w.lCPUFMS->text(), S(pc.cpuFMS));
        // Every PC here has its floating-point unit built in.
        QCOMPARE(w.clbFeatures->item(0)->text(), QString("Built-In FPU"));
        QCOMPARE(w.clbFeatures->item(0)->checkState(), Qt::Checked);
        QCOMPARE(w.lPhysTotal->text(), S(pc.physTotal));
        QCOMPARE(w.lPageTotal->text(), S(pc.pageTotal));
        QCOMPARE(w.lVirtTotal->text(), S(pc.osTab) == "Windows NT" ? QString("2,147,352,576")
                                                                    : QString("2,143,289,344"));
        QCOMPARE(w.lAppAddress->text(), S(pc.appAddress));
        QCOMPARE(w.lPageSize->text(), QString("4,096"));
        QCOMPARE(w.lAllocGran->text(), QString("65,536"));
        QCOMPARE(w.lGDI->text(), S(pc.gdi));
    }

    void displayAndPowerPages_data() { AddShippedPCs(); }
    void displayAndPowerPages() {
        QFETCH(QString, folder);
        const TPagesOfPC& pc = PagesOf(folder);
        TRefreshedOverview o(pc.folder);
        TfrmZarvo_Overview& w = o.window;
        QCOMPARE(w.lAdapter->text(), S(pc.adapter));
        QCOMPARE(w.lChipset->text(), S(pc.chipset));
        QCOMPARE(w.lDAC->text(), S(pc.dac));
        QCOMPARE(w.lVideoMemory->text(), S(pc.videoMemory));
        QCOMPARE(w.lTechnology->text(), QString("Raster Display"));
        QCOMPARE(w.lMetrics->text(), S(pc.metrics));
        QCOMPARE(w.lFontRes->text(), QString("96 dpi"));
        QCOMPARE(DetailItems([&] { w.cmModes(); }).size(), pc.modes);

        QCOMPARE(w.lACStatus->text(), S(pc.acStatus));
        QCOMPARE(w.lBatteryStatus->text(), S(pc.batteryStatus));
        // No PC here knows its battery's times.
        QCOMPARE(w.lFullLife->text(), QString("<info not available>"));
        QCOMPARE(w.lRemainLife->text(), QString("<info not available>"));
    }

    void mediaPage_data() { AddShippedPCs(); }
    void mediaPage() {
        QFETCH(QString, folder);
        const TPagesOfPC& pc = PagesOf(folder);
        TRefreshedOverview o(pc.folder);
        TfrmZarvo_Overview& w = o.window;
        QCOMPARE(w.tvMedia->topLevelItemCount(), 6);
        for (int g = 0; g < 6; ++g) QCOMPARE(w.tvMedia->topLevelItem(g)->childCount(), pc.media[std::size_t(g)]);
        QStringList midiOut;
        for (int i = 0; i < w.tvMedia->topLevelItem(3)->childCount(); ++i)
            midiOut << w.tvMedia->topLevelItem(3)->child(i)->text(0);
        QCOMPARE(midiOut, Texts(pc.midiOut));
        QStringList sound;
        for (int i = 0; i < w.lvSound->topLevelItemCount(); ++i) sound << w.lvSound->topLevelItem(i)->text(0);
        QCOMPARE(sound, Texts(pc.sound));
    }

    void networkPage_data() { AddShippedPCs(); }
    void networkPage() {
        QFETCH(QString, folder);
        const TPagesOfPC& pc = PagesOf(folder);
        TRefreshedOverview o(pc.folder);
        TfrmZarvo_Overview& w = o.window;
        QStringList adapters;
        for (int i = 0; i < w.lbAdapters->count(); ++i) adapters << w.lbAdapters->item(i)->text();
        QCOMPARE(adapters, Texts(pc.adapters));
        QVERIFY(w.lbIP->count() > 0);
        QCOMPARE(w.lbIP->item(0)->text(), S(pc.firstIP));
        QStringList macs;
        for (int i = 0; i < w.lbMAC->count(); ++i) macs << w.lbMAC->item(i)->text();
        QCOMPARE(macs, Texts(pc.macs));
        QCOMPARE(w.lWSDescription->text(), S(pc.wsDescription));
        QCOMPARE(w.lWSVersion->text(), S(pc.wsVersion));
        QCOMPARE(w.lWSStatus->text(), S(pc.wsStatus));
        QCOMPARE(w.lHost->text(), S(pc.host));
        QCOMPARE(w.lDomain->text(), S(pc.domain));
        QStringList dns;
        for (int i = 0; i < w.lbDNS->count(); ++i) dns << w.lbDNS->item(i)->text();
        QCOMPARE(dns, Texts(pc.dns));

        QStringList records;
        for (int i = 0; i < w.cbAdapters->count(); ++i) records << w.cbAdapters->itemText(i);
        QCOMPARE(records, Texts(pc.tcpAdapters));
        QCOMPARE(w.lAdapterAddress->text(), S(pc.adapterAddress));
        QCOMPARE(w.lAdapterType->text(), S(pc.adapterType));
        QCOMPARE(w.cbxDHCP->isChecked(), pc.dhcp);
        QCOMPARE(w.lNodeType->text(), S(pc.nodeType));
        QCOMPARE(w.lvAddresses->topLevelItemCount(), pc.addressRows);
        if (pc.addressRows > 0) {
            QCOMPARE(w.lvAddresses->topLevelItem(0)->text(0), QString("Local"));
            QCOMPARE(w.lvAddresses->topLevelItem(0)->text(1), S(pc.firstLocal));
            const auto gateways = w.lvAddresses->findItems("Gateway", Qt::MatchExactly);
            QCOMPARE(gateways.size(), 1);
            QCOMPARE(gateways.first()->text(1), S(pc.gateway));
        }

        QCOMPARE(DetailItems([&] { w.cmProto(); }).size(), pc.protocols);
        QCOMPARE(DetailItems([&] { w.cmCli(); }), Texts(pc.clients));
        QCOMPARE(DetailItems([&] { w.cmServ(); }).size(), pc.services);
    }

    void devicesPage_data() { AddShippedPCs(); }
    void devicesPage() {
        QFETCH(QString, folder);
        const TPagesOfPC& pc = PagesOf(folder);
        TRefreshedOverview o(pc.folder);
        TfrmZarvo_Overview& w = o.window;
        QCOMPARE(w.Tree->topLevelItemCount(), 1);
        QTreeWidgetItem* root = w.Tree->topLevelItem(0);
        QCOMPARE(root->text(0), S(pc.machine));
        int devices = 0;
        QTreeWidgetItem* netClass = nullptr;
        for (int i = 0; i < root->childCount(); ++i) {
            QTreeWidgetItem* node = root->child(i);
            QVERIFY2(node->childCount() > 0, qPrintable(node->text(0)));
            devices += node->childCount();
            if (node->text(0) == S(pc.netClass)) netClass = node;
        }
        QCOMPARE(devices, pc.devices);
        if (*pc.netCard) {
            QVERIFY2(netClass, pc.netClass);
            // The order within a class is not defined.
            bool found = false;
            for (int i = 0; i < netClass->childCount(); ++i)
                found = found || netClass->child(i)->text(0) == S(pc.netCard);
            QVERIFY2(found, pc.netCard);
        } else {
            QVERIFY2(!netClass, pc.netClass);
        }
    }

    void printersAndEnginesPages_data() { AddShippedPCs(); }
    void printersAndEnginesPages() {
        QFETCH(QString, folder);
        const TPagesOfPC& pc = PagesOf(folder);
        TRefreshedOverview o(pc.folder);
        TfrmZarvo_Overview& w = o.window;
        QCOMPARE(w.lvPrinters->topLevelItemCount(), int(pc.printers.size()));
        for (std::size_t i = 0; i < pc.printers.size(); ++i) {
            QCOMPARE(w.lvPrinters->topLevelItem(int(i))->text(0), S(pc.printers[i].first));
            QCOMPARE(w.lvPrinters->topLevelItem(int(i))->text(1), S(pc.printers[i].second));
        }
        QCOMPARE(w.lODBC->text(), S(pc.odbc));
        QCOMPARE(w.lBDE->text(), S(pc.bde));
        QCOMPARE(w.lDAO->text(), S(pc.dao));
        QCOMPARE(w.lADO->text(), S(pc.ado));
        QCOMPARE(w.lDirectX->text(), S(pc.directX));
        QCOMPARE(w.lvDirectX->topLevelItemCount(), pc.directXDrivers);
        QCOMPARE(w.lASPI->text(), S(pc.aspi));
        QCOMPARE(w.lvASPI->topLevelItemCount(), pc.aspiDevices);
    }

    void drivesAndTimeZonePages_data() { AddShippedPCs(); }
    void drivesAndTimeZonePages() {
        QFETCH(QString, folder);
        const TPagesOfPC& pc = PagesOf(folder);
        TRefreshedOverview o(pc.folder);
        TfrmZarvo_Overview& w = o.window;
        QString letters;
        for (int i = 0; i < w.cbDrive->count(); ++i) letters += w.cbDrive->itemText(i).left(1);
        QCOMPARE(letters, S(pc.drives));
        QCOMPARE(w.cbDrive->currentText(), S(pc.selectedDrive));
        QCOMPARE(w.lDriveType->text(), S(pc.driveType));
        QCOMPARE(w.lSerial->text(), S(pc.serial));
        QCOMPARE(w.lCapacity->text(), S(pc.capacity));
        QCOMPARE(w.lBytesPerSector->text(), QString("Bytes/sector: 512"));
        // The floppy drive, empty on every PC: zero figures.
        w.cbDrive->setCurrentIndex(0);
        QCOMPARE(w.lDriveType->text(), QString("Removable"));
        QCOMPARE(w.lCapacity->text(), QString("Capacity: 0 B"));
        QCOMPARE(w.gDriveUsed->value(), 0);

        QCOMPARE(w.lTZName->text(), S(pc.tzName));
        QCOMPARE(w.lTZBias->text(), S(pc.tzBias));
        QCOMPARE(w.lTZStdBias->text(), S(pc.tzStdBias));
        QCOMPARE(w.lTZDlBias->text(), S(pc.tzDlBias));
        // Every zone here changes its clock twice a year.
        QVERIFY(w.lTZStdStart->text() != "none");
        QVERIFY(w.lTZDlStart->text() != "none");
    }

    void startupAndSoftwarePages_data() { AddShippedPCs(); }
    void startupAndSoftwarePages() {
        QFETCH(QString, folder);
        const TPagesOfPC& pc = PagesOf(folder);
        TRefreshedOverview o(pc.folder);
        TfrmZarvo_Overview& w = o.window;
        for (int tab = 0; tab < 6; ++tab) {
            w.tcStartup->setCurrentIndex(tab);
            QVERIFY2(w.lvStartup->topLevelItemCount() == pc.startup[std::size_t(tab)],
                     qPrintable(QString("tab %1: %2").arg(tab).arg(w.lvStartup->topLevelItemCount())));
        }
        w.tcStartup->setCurrentIndex(2);
        QCOMPARE(w.lvStartup->topLevelItem(0)->text(0), S(pc.firstMachineRun));
        QCOMPARE(w.lvSoftware->topLevelItemCount(), pc.software);
        const auto products = w.lvSoftware->findItems(S(pc.someProduct), Qt::MatchExactly);
        QCOMPARE(products.size(), 1);
        QCOMPARE(products.first()->text(1), S(pc.someUninstall));
    }

    // The load meter drives the gauge through the class library's timer,
    // ticking from the event loop: 9x reads the kernel statistic (7 in
    // the 98 SE PC's dynamic data), NT the idle time (the XP PC runs at 12 %).
    void theLoadMeterFeedsTheGauge() {
        UseMachine("win98se-pc");
        {
            engine::TCorvaneSystemInfo info;
            TfrmZarvo_Overview window;
            window.SetSystemInfo(&info);
            window.cmRefresh();
            QVERIFY(window.CPUUsage->Active());
            QCOMPARE(window.CPUUsage->Interval(), 1000u);
            QVERIFY(!window.gCPU->isEnabled());
            QTRY_VERIFY_WITH_TIMEOUT(window.gCPU->isEnabled(), 15000);
            QCOMPARE(window.gCPU->value(), 7);
            window.close();
            QVERIFY(!window.CPUUsage->Active());
        }
        UseMachine("winxp-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        // The deadlines are generous: a sanitizer build on a busy machine
        // ticks late. The waits of the event loop pass on the PC's own clock: from the
        // second tick on (the first also covers the refresh) the gauge shows
        // its load. A tick comes a little after its second while the load
        // is taken over the nominal interval, so it may read a little low.
        QTRY_VERIFY_WITH_TIMEOUT(window.gCPU->isEnabled(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(window.gCPU->value() >= 8 && window.gCPU->value() <= 12, 15000);
        // Out-of-range values from the meter are clamped.
        window.CPUUsageInterval(-3);
        QCOMPARE(window.gCPU->value(), 0);
        window.CPUUsageInterval(250);
        QCOMPARE(window.gCPU->value(), 100);
    }

    // Pictures of every page for looking at: run alone under a display
    // server with TORVEX_SCREENSHOT_DIR set (the machine is the layer's own
    // setting, TORVEX_MACHINE or the host). The window keeps its fixed size
    // on every page.
    void screenshotsOfEveryPage() {
        const QString dir = qEnvironmentVariable("TORVEX_SCREENSHOT_DIR");
        if (dir.isEmpty()) QSKIP("TORVEX_SCREENSHOT_DIR not set");
        platform::PlatformStartup();
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.SetPageMask(0xFFFF);
        window.SetShowReportButton(true);
        window.cmRefresh();
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::qWait(2500);   // two ticks of the load meter
        for (int page = 0; page < kPageCount; ++page) {
            window.pc->setCurrentIndex(page);
            QTest::qWait(50);
            QPixmap shot = window.grab();
            QCOMPARE(window.size(), QSize(399, 509));
            QVERIFY(shot.save(QString("%1/page%2.png").arg(dir).arg(page, 2, 10, QChar('0'))));
        }
        auto inner = [&](QTabWidget* tabs, int page, const char* name) {
            window.pc->setCurrentIndex(page);
            for (int i = 1; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QTest::qWait(50);
                QVERIFY(window.grab().save(QString("%1/%2-%3.png").arg(dir, name).arg(i)));
            }
            tabs->setCurrentIndex(0);
        };
        inner(window.pcMachine, tsWksta, "machine");
        inner(window.pcOS, tsOS, "os");
        inner(window.pcNetwork, tsNetwork, "network");
        inner(window.findChild<QTabWidget*>("pcEngines"), tsEngines, "engines");
    }

    void checksCannotBeChangedByClicks() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        window.show();
        window.pc->setCurrentIndex(tsCPU);
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        // The first unset feature, clicked on its box, stays unset; a set one
        // stays set.
        for (int i = 0; i < window.clbFeatures->count(); ++i) {
            QListWidgetItem* item = window.clbFeatures->item(i);
            Qt::CheckState before = item->checkState();
            item->setCheckState(before == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            QCOMPARE(item->checkState(), before);
        }
        window.pc->setCurrentIndex(tsNetwork);
        window.pcNetwork->setCurrentIndex(2);
        QTest::qWait(10);
        QVERIFY(!window.cbxProxy->isChecked());
        QTest::mouseClick(window.cbxProxy, Qt::LeftButton, {}, QPoint(6, window.cbxProxy->height() / 2));
        QVERIFY(!window.cbxProxy->isChecked());
        window.cbxDNS->setChecked(true);
        QTest::mouseClick(window.cbxDNS, Qt::LeftButton, {}, QPoint(6, window.cbxDNS->height() / 2));
        QVERIFY(window.cbxDNS->isChecked());
    }

    void devicePropertiesOfTheSelectedDevice() {
        UseMachine("nt4-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        QTreeWidgetItem* root = window.Tree->topLevelItem(0);
        window.Tree->setCurrentItem(root->child(0));
        QVERIFY(!window.bProps->isEnabled());
        QTreeWidgetItem* device = root->child(0)->child(0);
        window.Tree->setCurrentItem(device);
        QVERIFY(window.bProps->isEnabled());
        engine::TDevice record;
        QVERIFY(info.Devices().GetDevice(0, record));
        WithModal([&] { window.cmProps(); }, [&](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->Title(), QString("Device Properties"));
            QTreeWidget* lv = dialog->lv();
            QCOMPARE(lv->topLevelItemCount(), 13);
            const char* names[] = {"Device Name", "Class Name", "Class Description", "Class GUID",
                                   "Manufacturer", "Location", "HardwareID", "Registry info",
                                   "Driver Version", "Driver Date", "Driver Provider", "Service Name",
                                   "Service Group"};
            for (int i = 0; i < 13; ++i) QCOMPARE(lv->topLevelItem(i)->text(0), QString(names[i]));
            QCOMPARE(lv->topLevelItem(0)->text(1), QString("TOSHIBA CD-ROM XM-5701TA"));
            QCOMPARE(lv->topLevelItem(2)->text(1), root->child(0)->text(0));
            QCOMPARE(lv->topLevelItem(3)->text(1), QString("{4D36E965-E325-11CE-BFC1-08002BE10318}"));
            QCOMPARE(lv->topLevelItem(11)->text(1), QString::fromStdString(record.ServiceName));
        });
    }

    void aServiceWithoutDisplayNameShowsItsKeyName() {
        // nt4-pc with the CD-ROM's service key stripped of its DisplayName.
        QTemporaryDir copy;
        std::filesystem::path folder = copy.path().toStdString() + "/nt4-pc";
        std::filesystem::copy(Machines("nt4-pc"), folder, std::filesystem::copy_options::recursive);
        std::string reg = ReadBytes(QString::fromStdString((folder / "registry/50-devices.reg").string()));
        const std::string line = "\"DisplayName\"=\"Cdrom\"\r\n";
        std::size_t at = reg.find(line);
        QVERIFY(at != std::string::npos);
        reg.erase(at, line.size());
        std::ofstream((folder / "registry/50-devices.reg").string(), std::ios::binary | std::ios::trunc) << reg;
        platform::SetActiveMachine(platform::LoadSimulatedMachine(folder));
        platform::PlatformStartup();
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        QTreeWidgetItem* cdrom = window.Tree->topLevelItem(0)->child(0)->child(0);
        QCOMPARE(cdrom->text(0), QString("TOSHIBA CD-ROM XM-5701TA"));
        window.Tree->setCurrentItem(cdrom);
        WithModal([&] { window.cmProps(); }, [&](QWidget* modal) {
            auto* dialog = qobject_cast<TdlgZarvo_Detail*>(modal);
            QVERIFY(dialog);
            QCOMPARE(dialog->lv()->topLevelItem(11)->text(1), QString("Cdrom"));
        });
    }

    void timerShowsTheLockKeysAndTheLoad() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.cmRefresh();
        platform::ActiveMachine().setKeyToggled(win32::VK_CAPITAL, true);
        platform::ActiveMachine().setKeyToggled(win32::VK_NUMLOCK, false);
        window.CPUUsageInterval(37);
        QCOMPARE(window.pCapsLock->palette().color(QPalette::Window), QColor(0x00, 0xFF, 0x00));
        QCOMPARE(window.pNumLock->palette().color(QPalette::Window), QColor(0xC0, 0xC0, 0xC0));
        QCOMPARE(window.gCPU->value(), 37);
        QCOMPARE(window.lPhysTotal->text(), QString("133,677,056"));
    }

    void usedSpaceGauge() {
        QCOMPARE(UsedSpacePercent(0, 0), 0);   // no medium
        QCOMPARE(UsedSpacePercent(1000, 250), 75);
        QCOMPARE(UsedSpacePercent(3, 1), 67);
        QCOMPARE(UsedSpacePercent(3, 2), 33);
        QCOMPARE(DeviceClassImage(engine::dcUSB), 20);
        QCOMPARE(DeviceClassImage(engine::dcNet), 15);
        QCOMPARE(DeviceClassImage(99), 0);
    }

    void showOverviewRunsTheWindowOverTheRoot() {
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        engine::SetOverviewShower({});
        QVERIFY_THROWS_EXCEPTION(Exception, info.ShowOverview());
        InstallOverview();
        WithModal([&] { info.ShowOverview(); }, [](QWidget* modal) {
            auto* window = qobject_cast<TfrmZarvo_Overview*>(modal);
            QVERIFY(window);
            QCOMPARE(window->PageMask(), std::uint16_t(0xFFFF));
            QVERIFY(window->pc->isTabVisible(tsAbout));
            QVERIFY(window->bReport->isVisible());
            QCOMPARE(window->lMachine->text(), QString("HJEMME-PC"));
        });
        QApplication::processEvents();
        for (QWidget* w : QApplication::topLevelWidgets()) QVERIFY(!qobject_cast<TfrmZarvo_Overview*>(w));
        engine::SetOverviewShower({});
    }

    // "Current Topic" writes what torvex-report -o writes for the topic,
    // byte for byte: CR LF, code page 1252, no byte-order mark.
    void currentTopicEqualsTheConsoleExport_data() {
        QTest::addColumn<int>("page");
        QTest::addColumn<QString>("topic");
        QTest::addColumn<QString>("suggested");
        QTest::newRow("devices") << int(tsDevices) << "Devices" << "Devices.txt";
        QTest::newRow("time zone") << int(tsTZ) << "Time Zone" << "Time Zone.txt";
        QTest::newRow("operating system") << int(tsOS) << "Operating System" << "Windows 9x.txt";
        QTest::newRow("software") << int(tsSoftware) << "Software" << "Software.txt";
        QTest::newRow("startup") << int(tsStartup) << "Startup" << "Startup.txt";
    }
    void currentTopicEqualsTheConsoleExport() {
        QFETCH(int, page);
        QFETCH(QString, topic);
        QFETCH(QString, suggested);
        QTemporaryDir out;
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.SetPageMask(0xFFFF);
        window.cmRefresh();
        window.pc->setCurrentIndex(page);
        QString mine = out.filePath("overview.txt");
        QString asked;
        SetSaveDialogRunner([&](const TSaveDialogRequest& request) {
            asked = request.suggestedName;
            TSaveDialogAnswer answer;
            answer.accepted = true;
            answer.fileName = mine;
            return answer;
        });
        window.cmReportCurrent();
        QCOMPARE(asked, suggested);
        QString theirs = out.filePath("report.txt");
        QProcess report;
        report.start(TORVEX_REPORT_EXE, {"--machine", QString::fromStdString(Machines("win98se-pc")), "--topic",
                                         topic, "-o", theirs});
        QVERIFY(report.waitForFinished(60000));
        QCOMPARE(report.exitCode(), 0);
        std::string bytes = ReadBytes(mine);
        QCOMPARE(bytes, ReadBytes(theirs));
        QVERIFY(bytes.rfind(";Corvane System Information Component 7.61\r\n", 0) == 0);
        QVERIFY(bytes.find("\n") == bytes.find("\r\n") + 1);
        QVERIFY(bytes.compare(0, 3, "\xEF\xBB\xBF") != 0);
        // No LF without its CR.
        for (std::size_t at = bytes.find('\n'); at != std::string::npos; at = bytes.find('\n', at + 1))
            QVERIFY(at > 0 && bytes[at - 1] == '\r');
        if (page == tsOS) {
            // "Bjørn Haugen" in code page 1252: ø is one byte, F8.
            QVERIFY(bytes.find("RegUser=Bj\xF8rn Haugen\r\n") != std::string::npos);
        }
        SetSaveDialogRunner({});
    }

    void exportsRememberTheDirectoryAndCancelWritesNothing() {
        QTemporaryDir out;
        UseMachine("win98se-pc");
        engine::TCorvaneSystemInfo info;
        TfrmZarvo_Overview window;
        window.SetSystemInfo(&info);
        window.SetPageMask(0xFFFF);
        window.cmRefresh();
        std::vector<TSaveDialogRequest> requests;
        TSaveDialogAnswer next;
        SetSaveDialogRunner([&](const TSaveDialogRequest& request) {
            requests.push_back(request);
            return next;
        });
        // Cancelled: nothing written, the list empty.
        next.accepted = false;
        next.fileName = "SystemInfo.txt";
        window.cmReportAll();
        QCOMPARE(window.ReportList().Count(), 0);
        QCOMPARE(requests.back().title, QString("Select file"));
        QCOMPARE(requests.back().filter, QString("All Files (*)"));
        QCOMPARE(requests.back().suggestedName, QString("SystemInfo.txt"));
        QCOMPARE(requests.back().directory, FirstReportDirectory());
        // Accepted: every category, the banner first.
        next.accepted = true;
        next.fileName = out.filePath("all.txt");
        window.cmReportAll();
        std::string bytes = ReadBytes(out.filePath("all.txt"));
        QVERIFY(bytes.rfind(";Corvane System Information Component 7.61\r\n[Machine]\r\n", 0) == 0);
        QCOMPARE(ReportDirectory(), out.path());
        // The next dialog starts where the last one saved.
        next.fileName = out.filePath("about.txt");
        window.pc->setCurrentIndex(tsAbout);
        window.cmReportCurrent();
        QCOMPARE(requests.back().directory, out.path());
        QCOMPARE(requests.back().suggestedName, QString("About.txt"));
        QCOMPARE(ReadBytes(out.filePath("about.txt")), std::string(";Corvane System Information Component 7.61\r\n"));
        // A dialog that fails raises its extended error in hexadecimal.
        next.accepted = false;
        next.errorCode = 0x3002;
        try {
            window.cmReportAll();
            QFAIL("no error raised");
        } catch (const Exception& error) {
            QCOMPARE(QString(error.what()), QString("GetFileSaveDlg.CommDlgExtendedError = 3002"));
        }
        // A file that cannot be written raises the file-creation error with
        // the file's name; the file already there stays as it was.
        next = {};
        next.accepted = true;
        next.fileName = out.filePath("missing/folder/report.txt");
        QVERIFY_THROWS_EXCEPTION(EFCreateError, window.cmReportAll());
        try {
            window.cmReportAll();
        } catch (const EFCreateError& error) {
            QVERIFY(QString(error.what()).contains("missing/folder/report.txt"));
        }
        SetSaveDialogRunner({});
    }

    void theToolkitDialogAsksAsTheSystemOneDid() {
        QTemporaryDir out;
        QString directory = out.path();
        QString name = "SystemInfo.txt";
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            seen = true;
            QCOMPARE(dialog->windowTitle(), QString("Select file"));
            QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptSave);
            QCOMPARE(dialog->defaultSuffix(), QString());
            QVERIFY(!dialog->testOption(QFileDialog::DontConfirmOverwrite));
            QCOMPARE(dialog->nameFilters(), QStringList{"All Files (*)"});
            QCOMPARE(QDir(dialog->directory()).absolutePath(), QDir(out.path()).absolutePath());
            dialog->reject();
        });
        bool accepted = GetFileSaveDlg(nullptr, directory, name, "Select file", "All Files|*.*");
        QVERIFY(seen);
        QVERIFY(!accepted);
        // A cancel keeps the suggestion; a bare name has no directory.
        QCOMPARE(name, QString("SystemInfo.txt"));
        QCOMPARE(directory, QString());
    }
};

QTEST_MAIN(OverviewTest)
#include "test_overview.moc"
