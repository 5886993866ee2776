// The summary list: FormatSize and the memory rounding, the line-break
// rule, and the rows of the shipped PCs for every toggle state and edition.
// The expected rows are worked out by hand from each PC's facts (its
// machine.json, registry, processor dump and firmware tables) by the list's
// rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/EditionStrings.h"
#include "app/summary/ConsoleSummary.h"
#include "app/summary/SummaryList.h"
#include "components/QuentaSysDrive.h"
#include "components/QuentaSysInfo.h"
#include "components/QuentaSysProcessor.h"
#include "components/QuentaSysUninstall.h"
#include "engine/Zarvo_GUI.h"
#include "platform/Corvane_Startup.h"
#include "platform/machine/Machine.h"
#include "platform/simulated/SimulatedMachine.h"

using namespace torvex;
using summary::TSummaryRow;
using summary::TSummaryToggles;
namespace fs = std::filesystem;

namespace torvex::summary {
void PrintTo(const TSummaryRow& row, std::ostream* out) {
    *out << "[" << row.Caption << "] [" << row.Value << "] " << row.Image;
}
}  // namespace torvex::summary

namespace {

using Rows = std::vector<TSummaryRow>;

const TSummaryRow kBlank{"", "", -1};

// Builds the list as the window does on a freshly loaded PC.
Rows Build(const char* machine, TSummaryToggles toggles, const app::StringTable& strings = app::NorwegianStrings()) {
    platform::SetActiveMachine(
        platform::LoadSimulatedMachine(fs::path(TORVEX_SOURCE_DIR) / "machines" / machine,
                                       fs::path(::testing::TempDir()) / "summary-overlay" / machine));
    platform::SetResourceStrings(strings);
    platform::SetMessageBoxHook([](const std::string& text, const std::string&, unsigned) {
        ADD_FAILURE() << "message box: " << text;
        return 1;
    });
    platform::PlatformStartup();
    classes::TComponent form;
    auto& info = form.CreateComponent<engine::TCorvaneSystemInfo>();
    auto& sysInfo = form.CreateComponent<components::TQuentaSysInfo>();
    auto& drive = form.CreateComponent<components::TQuentaSysDrive>();
    auto& programs = form.CreateComponent<components::TQuentaSysUninstall>();
    auto& cpu = form.CreateComponent<components::TQuentaSysProcessor>();
    auto& win = form.CreateComponent<components::TQuentaSysWindows>();
    drive.SetAutoRetrieve(true);
    programs.SetAutoRetrieve(true);
    drive.Loaded();
    programs.Loaded();
    summary::TSummaryList list(info, cpu, win, drive, programs);
    Rows rows = list.Rows(toggles, summary::IsOldWindowsVersion(sysInfo.VersionWIN()));
    platform::PlatformShutdown();
    return rows;
}

std::string Show(const Rows& rows) {
    std::string text;
    for (const auto& r : rows) text += "\n  [" + r.Caption + "] [" + r.Value + "] " + std::to_string(r.Image);
    return text;
}

void Append(Rows& rows, const Rows& more) { rows.insert(rows.end(), more.begin(), more.end()); }

class SummaryListTest : public ::testing::Test {
protected:
    void TearDown() override {
        platform::SetMessageBoxHook({});
        platform::SetActiveMachine(nullptr);
    }
};

// The short list of a PC without detail rows: processor, memory, disk space,
// display, Windows.
Rows ShortList(const std::string& processor, const std::string& frequency, const std::string& memory,
               const std::string* type, const std::string& space, const std::string& adapter,
               const std::string& resolution, const std::string& windows, const std::string& networkSpace = "") {
    Rows r{{"Processor", processor, 9}};
    if (!frequency.empty()) r.push_back({"Frekvens", frequency, 13});
    r.push_back(kBlank);
    r.push_back({"Minne", memory, 8});
    if (type) r.push_back({"Type", *type, 8});
    Append(r, {kBlank, {"Harddiskplass", space, 19}});
    if (!networkSpace.empty()) r.push_back({"Plass på nettverksstasjon", networkSpace, 26});
    Append(r, {kBlank, {"Skjermkort", adapter, 1}, {"Aktuell skjermoppløsning", resolution, 1}, kBlank,
               {"Windowsversjon", windows, 15}});
    return r;
}

}  // namespace

TEST(SummaryFormat, FormatSizeAtItsLimits) {
    EXPECT_EQ(summary::FormatSize(0), "0 MB");
    EXPECT_EQ(summary::FormatSize(512LL * 1024 * 1024), "512 MB");
    EXPECT_EQ(summary::FormatSize(1073741823LL), "1024 MB");   // just under 1 GB
    EXPECT_EQ(summary::FormatSize(1073741824LL), "1.0 GB");
    EXPECT_EQ(summary::FormatSize(1536LL << 20), "1.5 GB");
    EXPECT_EQ(summary::FormatSize(9727LL << 20), "9.5 GB");
    EXPECT_EQ(summary::FormatSize(9728LL << 20), "10 GB");
    EXPECT_EQ(summary::FormatSize(10LL << 30), "10 GB");
    EXPECT_EQ(summary::FormatSize(40007761920LL), "37 GB");
    EXPECT_EQ(summary::FormatSize(2LL << 40), "2048 GB");
    // The edition's own unit texts.
    EXPECT_EQ(summary::FormatSize(1536LL << 20, " Mt", " Gt"), "1.5 Gt");
    EXPECT_EQ(summary::FormatSize(-1), "0 MB");
}

TEST(SummaryFormat, ALineBreakNeverSplitsARow) {
    EXPECT_EQ(summary::OneLine("Acme\r\nModel 7\n"), "Acme  Model 7 ");
    EXPECT_EQ(summary::OneLine("plain"), "plain");
    EXPECT_EQ(summary::OneLine(std::string("Intel(R) 2.40GHz\0\0", 18)), "Intel(R) 2.40GHz");
    EXPECT_EQ(summary::ConsoleLine({"Minne", "64 MB", 8}), "Minne\t64 MB");
    EXPECT_EQ(summary::ConsoleLine(kBlank), "");
    EXPECT_TRUE(summary::IsOldWindowsVersion("4.10"));
    EXPECT_TRUE(summary::IsOldWindowsVersion("4.0"));
    EXPECT_FALSE(summary::IsOldWindowsVersion("4.90"));
    EXPECT_FALSE(summary::IsOldWindowsVersion("5.0"));
}

// ---------------------------------------------------------------- short lists of every shipped PC

TEST_F(SummaryListTest, ShortListOfEveryShippedPC) {
    const std::string me = "1 x 128 MB DIMM,SDRAM", dc = "2 x 512 MB DIMM,SDRAM", xp = "2 x 256 MB DIMM,SDRAM";
    const std::string p4 = "              Intel(R) Pentium(R) 4 CPU 2.40GHz";
    // The XP PC's Z: is \\NAS-STUE\Fotos: 61,049,646 clusters of 4 KB
    // (238,475 MB, 233 GB), 23,712,140 free (92,625 MB, 90 GB).
    const std::string nas = "90 GB ledig av 233 GB";
    // The adapter's name is its device description, blanks and all. NT 4.0's
    // display driver is a legacy device without a driver key: no adapter
    // and no chip, an empty row.
    const std::string radeon = "RADEON 9600 Series   ";
    struct Case {
        const char* machine;
        Rows rows;
    } cases[] = {
        // Intel processors before the Pentium 4 have no brand string: the
        // engine's vendor and model name stand in.
        {"win95-pc", ShortList("Intel Pentium", "100 Mhz", "16 MB (1 MB ledig)", nullptr,
                               "153 MB ledig av 511 MB", "S3 Trio32/64 PCI", "800 x 600 - 8 bit", "  4.0")},
        {"win95osr2-pc", ShortList("AMD-K6tm w/ multimedia extensions", "233 Mhz", "32 MB (4 MB ledig)", nullptr,
                                   "2.0 GB ledig av 3.0 GB", "S3 Inc. ViRGE/DX PCI", "800 x 600 - 8 bit",
                                   "  B 4.0")},
        {"win98-pc", ShortList("Intel Celeron A", "400 Mhz", "64 MB (14 MB ledig)", nullptr,
                               "4.1 GB ledig av 6.0 GB", "NVIDIA RIVA TNT2 Model 64", "1024 x 768 - 16 bit",
                               "Microsoft Windows 98  4.10")},
        {"win98se-pc", ShortList("Intel Pentium III", "450 Mhz", "128 MB (61 MB ledig)", nullptr,
                                 "2.3 GB ledig av 4.0 GB", "Matrox Millennium G400 - English",
                                 "1024 x 768 - 16 bit", "Microsoft Windows 98  A  4.10")},
        // Without its network card the short list is that of win98se-pc.
        {"win98se-pc-nonet", ShortList("Intel Pentium III", "450 Mhz", "128 MB (61 MB ledig)", nullptr,
                                       "2.3 GB ledig av 4.0 GB", "Matrox Millennium G400 - English",
                                       "1024 x 768 - 16 bit", "Microsoft Windows 98  A  4.10")},
        {"winme-pc", ShortList("AMD Athlon(tm) Processor", "1000 Mhz", "256 MB (156 MB ledig)", &me,
                               "20 GB ledig av 28 GB", "NVIDIA GeForce2 MX/MX 400", "1152 x 864 - 32 bit",
                               "Microsoft Windows ME   4.90")},
        {"nt4-pc", ShortList("Intel Pentium Pro", "200 Mhz", "128 MB (59 MB ledig)", nullptr,
                             "1.6 GB ledig av 4.0 GB", "", "1280 x 1024 - 16 bit",
                             "Microsoft Windows NT Service Pack 6 4.0")},
        {"win2000-dc", ShortList("Intel Pentium III", "1000 Mhz", "1024 MB (594 MB ledig)", &dc,
                                 "20 GB ledig av 34 GB", "ATI RAGE XL PCI", "1024 x 768 - 16 bit",
                                 "Microsoft Windows 2000 Service Pack 4 5.0")},
        {"winxp-pc", ShortList(p4, "2400 Mhz", "512 MB (291 MB ledig)", &xp, "23 GB ledig av 37 GB", radeon, "1280 x 1024 - 32 bit",
                               "Microsoft Windows XP Service Pack 2 5.1", nas)},
        // The guest may not open the registration key with full access: no
        // product name.
        {"winxp-pc-guest", ShortList(p4, "2400 Mhz", "512 MB (291 MB ledig)", &xp, "23 GB ledig av 37 GB", radeon,
                                     "1280 x 1024 - 32 bit", " Service Pack 2 5.1", nas)},
    };
    for (const Case& c : cases) {
        Rows rows = Build(c.machine, {});
        EXPECT_EQ(rows, c.rows) << c.machine << Show(rows);
    }
}

// ---------------------------------------------------------------- every toggle state: Windows 98 and XP

namespace {

// The Windows 98 PC (OldWindows: no memory type, no network rows or
// network drives), composed in the list's order for a toggle state.
Rows Windows98(TSummaryToggles t) {
    const bool d = t.Detaljer;
    Rows r;
    if (d) r.push_back({"Hovedsystem", "ABIT ZM6", 0});
    r.push_back({"Processor", "Intel Celeron A", 9});
    r.push_back({"Frekvens", "400 Mhz", 13});
    if (d)
        Append(r, {{"Spenning", "2.0V", 11},
                   {"Sokkel", "SOCKET 370 (ZIF Socket)", 14},
                   {"Tid siden siste oppstart", "1 Hour, 5 Minutes, 5 Seconds.", 12},
                   {"Utvidelsesspor", "1 x ISA, 16 bit", 3},
                   {"Utvidelsesspor", "4 x PCI, 32 bit", 3},
                   {"Utvidelsesspor", "1 x AGP, 32 bit", 3}});
    Append(r, {kBlank, {"Minne", "64 MB (14 MB ledig)", 8}});
    if (d)
        // The sound card: no device has a location on Windows 98, so the
        // first multimedia device; its Swedish game port ("Spelport för
        // joystick") is not named GAME. No network rows (OldWindows). The
        // storage passes (Windows 98 files its floppy drive among the disk
        // drives).
        Append(r, {kBlank, {"Lydkort", "Creative Sound Blaster PCI128", 4}, kBlank,
                   {"Harddisk 0", "FUJITSU MPE3064AT", 19},
                   {"Harddisk 1", "GENERIC NEC  FLOPPY DISK", 19},
                   kBlank,
                   {"CD-ROM 0", "CREATIVE CD5233E", 20}});
    r.push_back(kBlank);
    if (!t.Partitioner) Append(r, {{"Harddiskplass", "4.1 GB ledig av 6.0 GB", 19}, kBlank});
    r.push_back({"Skjermkort", "NVIDIA RIVA TNT2 Model 64", 1});
    // VideoMemory 02000000h bytes.
    if (d) Append(r, {{"Grafikkminne", "32 MB ram", 8}, {"DirectX versjon", "6.02.0436", 1}});
    Append(r, {{"Aktuell skjermoppløsning", "1024 x 768 - 16 bit", 1}, kBlank});
    r.push_back({"Windowsversjon", "Microsoft Windows 98  4.10", 15});
    if (d)
        Append(r, {{"Registrert på", "Anna Lindqvist  Lindqvist Bokföring AB", 0},
                   kBlank,
                   {"Modem", "HSP56 MicroModem", 24},
                   kBlank,
                   {"Mus", "Standard PS/2-portmus", 23},
                   kBlank,
                   {"Tastatur", "Standardtangentbord (101/102 tangenter) eller Microsoft Natural Keyboard", 22},
                   // WIN.INI's device= names the one printer.
                   kBlank,
                   {"Standardskriver", "Canon BJC-4300", 7}});
    if (t.Partitioner)
        Append(r, {kBlank, {"Stasjon C   KONTOR", "4.1 GB ledig av 6.0 GB", 19}, kBlank,
                   {"Harddiskplass", "4.1 GB ledig av 6.0 GB", 19}});
    if (t.Programmer)
        Append(r, {kBlank,
                   {"Installerte programmer", "Programvareprodusent", 0},
                   {"Microsoft Office 97, Professional Edition", "", -1},
                   {"Torvex", "", -1}});
    return r;
}

// The Windows XP PC.
Rows WindowsXP(TSummaryToggles t) {
    const bool d = t.Detaljer;
    Rows r;
    if (d) r.push_back({"Hovedsystem", "System Manufacturer System Name", 0});
    r.push_back({"Processor", "              Intel(R) Pentium(R) 4 CPU 2.40GHz", 9});
    r.push_back({"Frekvens", "2400 Mhz", 13});
    if (d)
        Append(r, {{"Spenning", "1.5V", 11},
                   // The firmware's processor record names the socket and,
                   // as its upgrade, Socket 478 again.
                   {"Sokkel", "Socket 478 (Socket 478)", 14},
                   {"Tid siden siste oppstart", "1 Hour, 30 Minutes, 12 Seconds.", 12},
                   {"Utvidelsesspor", "6 x PCI, 32 bit", 3},
                   {"Utvidelsesspor", "1 x AGP 4X, 32 bit", 3}});
    Append(r, {kBlank, {"Minne", "512 MB (291 MB ledig)", 8}, {"Type", "2 x 256 MB DIMM,SDRAM", 8}});
    if (d)
        // The SoundMAX has a location; the game port is named so. The
        // Realtek is the one Net device; the host name resolves to the
        // adapters' addresses, the first 192.168.1.100; NetBIOS LANA 0 has
        // the card's address.
        Append(r, {kBlank,
                   {"Lydkort", "SoundMAX Integrated Digital Audio", 4},
                   {"Spilleport", "Standard Game Port", 5},
                   kBlank,
                   {"Nettverkskort", "Realtek RTL8139 Family PCI Fast Ethernet NIC", 17},
                   {"Lokalt maskinnavn", "STUE-PC", 12},
                   {"IP Adresse", "192.168.1.100", 12},
                   {"MAC Adresse", "00:11:2F:6B:0C:D4", 12},
                   kBlank,
                   {"Diskett 0", "Floppy disk drive", 18},
                   {"Harddisk 0", "Maxtor 6Y080L0", 19},
                   kBlank,
                   {"CD-ROM 0", "PLEXTOR DVDR   PX-708A", 20},
                   {"Båndstasjon 0", "HP C5683A SCSI Sequential Device", 21}});
    r.push_back(kBlank);
    if (!t.Partitioner)
        Append(r, {{"Harddiskplass", "23 GB ledig av 37 GB", 19},
                   {"Plass på nettverksstasjon", "90 GB ledig av 233 GB", 26},
                   kBlank});
    r.push_back({"Skjermkort", "RADEON 9600 Series   ", 1});
    // HardwareInformation.MemorySize 08000000h bytes; characters 4 to 102
    // of the DirectX version "4.09.00.0904".
    if (d) Append(r, {{"Grafikkminne", "128 MB ram", 8}, {"DirectX versjon", "9.00.0904", 1}});
    Append(r, {{"Aktuell skjermoppløsning", "1280 x 1024 - 32 bit", 1}, kBlank});
    r.push_back({"Windowsversjon", "Microsoft Windows XP Service Pack 2 5.1", 15});
    if (d)
        // No modem on this PC: neither its row nor its blank row.
        Append(r, {{"Registrert på", "Mette Sørensen  ", 0},
                   kBlank,
                   {"Mus", "PS/2 Compatible Mouse", 23},
                   kBlank,
                   {"Tastatur", "Standard 101/102-Key or Microsoft Natural PS/2 Keyboard", 22},
                   // Two printers in the spooler's order; WIN.INI's device=
                   // names the Canon.
                   kBlank,
                   {"Standardskriver", "Canon iP4000", 7},
                   {"Skriver", "Microsoft Office Document Image Writer", 7}});
    if (t.Partitioner)
        // C: labelled MAXTOR; Z: the NAS share labelled Fotos.
        Append(r, {kBlank,
                   {"Stasjon C   MAXTOR", "23 GB ledig av 37 GB", 19},
                   {"Stasjon Z   Fotos", "90 GB ledig av 233 GB", 26},
                   kBlank,
                   {"Harddiskplass", "23 GB ledig av 37 GB", 19},
                   {"Plass på nettverksstasjon", "90 GB ledig av 233 GB", 26}});
    if (t.Programmer)
        Append(r, {kBlank,
                   {"Installerte programmer", "Programvareprodusent", 0},
                   {"AVG 7.0", "GRISOFT, s.r.o.", -1},
                   {"Mozilla Firefox (1.0)", "Mozilla", -1},
                   {"J2SE Runtime Environment 1.4.2_06", "Sun Microsystems, Inc.", -1},
                   {"Adobe Reader 7.0", "Adobe Systems Incorporated", -1},
                   {"Nero 6 Ultra Edition", "Ahead Software AG", -1},
                   {"Skype 1.1", "Skype Technologies S.A.", -1},
                   {"Torvex", "", -1},
                   {"Windows XP Hotfix - KB873339", "Microsoft Corporation", -1},
                   {"Windows XP Hotfix - KB885835", "Microsoft Corporation", -1},
                   {"Windows XP Hotfix - KB888302", "Microsoft Corporation", -1},
                   // A display name and an uninstall command, no publisher.
                   {"Microsoft Compression Client Pack 1.0 for Windows XP", "", -1}});
    return r;
}

std::string Name(TSummaryToggles t) {
    return std::string(t.Programmer ? "R" : "-") + (t.Partitioner ? "P" : "-") + (t.Detaljer ? "D" : "-");
}

}  // namespace

TEST_F(SummaryListTest, EveryToggleStateOnWindows98AndXP) {
    for (int bits = 0; bits < 8; ++bits) {
        TSummaryToggles t{(bits & 1) != 0, (bits & 2) != 0, (bits & 4) != 0};
        Rows rows98 = Build("win98-pc", t);
        EXPECT_EQ(rows98, Windows98(t)) << "win98-pc " << Name(t) << Show(rows98);
        Rows rowsXP = Build("winxp-pc", t);
        EXPECT_EQ(rowsXP, WindowsXP(t)) << "winxp-pc " << Name(t) << Show(rowsXP);
    }
}

TEST_F(SummaryListTest, TheFourEditionsOnWindows98AndXP) {
    // Captions and unit texts of the short list, per edition.
    struct Edition {
        const char* code;
        const char *processor, *frequency, *memory, *mbFree, *type, *space, *freeOf, *windows;
    } editions[] = {
        {"da", "Processor", "Frekvens", "Hukommelse", " MB ledig", "Type", "Harddiskplads", " ledig af ",
         "Windowsversion"},
        {"no", "Processor", "Frekvens", "Minne", " MB ledig", "Type", "Harddiskplass", " ledig av ", "Windowsversjon"},
        {"sv", "Processor", "Frekvens", "Minne", " MB ledigt", "Typ", "Hårddiskutrymme", " ledigt av ",
         "Windowsversion"},
        {"fi", "Suoritin", "Taajuus", "Muisti", " MB vapaana", "Tyyppi", "Kiintolevytila", " vapaana / ",
         "Windows-versio"},
    };
    for (const Edition& e : editions) {
        auto table = *summary::EditionTableByCode(e.code);
        const std::string f = e.freeOf;
        Rows expected98{{e.processor, "Intel Celeron A", 9},
                        {e.frequency, "400 Mhz", 13},
                        kBlank,
                        {e.memory, std::string("64 MB (14") + e.mbFree + ")", 8},
                        kBlank,
                        {e.space, "4.1 GB" + f + "6.0 GB", 19},
                        kBlank,
                        {table[65200], "NVIDIA RIVA TNT2 Model 64", 1},
                        {table[65204], "1024 x 768 - 16 bit", 1},
                        kBlank,
                        {e.windows, "Microsoft Windows 98  4.10", 15}};
        Rows rows = Build("win98-pc", {}, table);
        EXPECT_EQ(rows, expected98) << e.code << Show(rows);
        Rows expectedXP{{e.processor, "              Intel(R) Pentium(R) 4 CPU 2.40GHz", 9},
                        {e.frequency, "2400 Mhz", 13},
                        kBlank,
                        {e.memory, std::string("512 MB (291") + e.mbFree + ")", 8},
                        {e.type, "2 x 256 MB DIMM,SDRAM", 8},
                        kBlank,
                        {e.space, "23 GB" + f + "37 GB", 19},
                        {table[65213], "90 GB" + f + "233 GB", 26},
                        kBlank,
                        {table[65200], "RADEON 9600 Series   ", 1},
                        {table[65204], "1280 x 1024 - 32 bit", 1},
                        kBlank,
                        {e.windows, "Microsoft Windows XP Service Pack 2 5.1", 15}};
        rows = Build("winxp-pc", {}, table);
        EXPECT_EQ(rows, expectedXP) << e.code << Show(rows);
        // The full lists differ from the Norwegian one in their captions
        // only: the same rows, values and icons.
        Rows full = Build("winxp-pc", {true, true, true}, table);
        Rows norwegian = WindowsXP({true, true, true});
        ASSERT_EQ(full.size(), norwegian.size()) << e.code;
        for (std::size_t i = 0; i < full.size(); ++i) {
            EXPECT_EQ(full[i].Image, norwegian[i].Image) << e.code << " row " << i;
            // Drive rows carry the edition's "free of" text in their value.
            if (norwegian[i].Caption == "Stasjon C   MAXTOR" || norwegian[i].Caption == "Harddiskplass")
                EXPECT_EQ(full[i].Value, "23 GB" + f + "37 GB") << e.code;
            else if (norwegian[i].Image == 26)
                EXPECT_EQ(full[i].Value, "90 GB" + f + "233 GB") << e.code;
            else if (norwegian[i].Caption == "Minne")
                EXPECT_EQ(full[i].Value, std::string("512 MB (291") + e.mbFree + ")") << e.code;
            else if (norwegian[i].Caption == "Grafikkminne")
                EXPECT_EQ(full[i].Value, "128" + table[65223]) << e.code;   // the edition's " MB ram"
            else if (norwegian[i].Caption == "Installerte programmer")
                EXPECT_EQ(full[i].Value, table[65215]) << e.code;   // the publisher column's heading
            else
                EXPECT_EQ(full[i].Value, norwegian[i].Value) << e.code << " row " << i;
        }
    }
}

// A failure while building ends the build at that row: the rows made
// before it stay with the caller, the failure passes on, and the next build
// starts afresh.
TEST_F(SummaryListTest, AFailureEndsTheBuildWhereItHappens) {
    platform::SetActiveMachine(platform::LoadSimulatedMachine(
        fs::path(TORVEX_SOURCE_DIR) / "machines" / "winxp-pc", fs::path(::testing::TempDir()) / "summary-fail"));
    platform::SetResourceStrings(app::NorwegianStrings());
    classes::TComponent form;
    auto& info = form.CreateComponent<engine::TCorvaneSystemInfo>();
    auto& drive = form.CreateComponent<components::TQuentaSysDrive>();
    auto& programs = form.CreateComponent<components::TQuentaSysUninstall>();
    auto& cpu = form.CreateComponent<components::TQuentaSysProcessor>();
    auto& win = form.CreateComponent<components::TQuentaSysWindows>();
    summary::TSummaryList list(info, cpu, win, drive, programs);
    Rows shown;
    auto failingSink = [&](const TSummaryRow& row) {
        if (row.Caption == "Minne") throw std::runtime_error("the memory row failed");
        shown.push_back(row);
    };
    EXPECT_THROW(list.BuildList({}, false, failingSink), std::runtime_error);
    EXPECT_EQ(shown, (Rows{{"Processor", "              Intel(R) Pentium(R) 4 CPU 2.40GHz", 9},
                           {"Frekvens", "2400 Mhz", 13},
                           kBlank}));
    Rows again = list.Rows({}, false);
    EXPECT_EQ(again.size(), 13u);   // with the network drives' row and the two display rows
    // The console summary prints what it made and says why it stopped.
    std::ostringstream out, err;
    EXPECT_TRUE(summary::PrintSummary({}, out, err));
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(out.str().substr(0, 10), "Processor\t");
    EXPECT_NE(out.str().find("\n\nMinne\t512 MB (291 MB ledig)\nType\t2 x 256 MB DIMM,SDRAM\n\n"), std::string::npos)
        << out.str();
}

// The drive rows go through the drive component: with one drive (C, which
// the component read when it was loaded) every build shows what was read
// then; with two (two fixed, or fixed and network), every build re-reads
// them all.
TEST_F(SummaryListTest, DriveRowsRereadOnlyWhenTheLetterChanges) {
    auto labelsOf = [](const char* machine, int builds) {
        auto pc = platform::SimulatedMachine::Load(fs::path(TORVEX_SOURCE_DIR) / "machines" / machine,
                                                   fs::path(::testing::TempDir()) / "summary-drives" / machine);
        platform::SimulatedMachine& ref = *pc;
        platform::SetActiveMachine(std::move(pc));
        platform::SetResourceStrings(app::NorwegianStrings());
        platform::PlatformStartup();
        classes::TComponent form;
        auto& info = form.CreateComponent<engine::TCorvaneSystemInfo>();
        auto& drive = form.CreateComponent<components::TQuentaSysDrive>();
        auto& programs = form.CreateComponent<components::TQuentaSysUninstall>();
        auto& cpu = form.CreateComponent<components::TQuentaSysProcessor>();
        auto& win = form.CreateComponent<components::TQuentaSysWindows>();
        drive.SetAutoRetrieve(true);
        drive.Loaded();
        summary::TSummaryList list(info, cpu, win, drive, programs);
        std::vector<std::string> captions;
        for (int b = 0; b < builds; ++b) {
            // Renamed behind the component's back before each build.
            ref.setVolumeLabel('C', "SYS" + std::to_string(b));
            for (const auto& row : list.Rows({false, true, false}, false))
                if (row.Image != -1 && row.Caption.rfind("Stasjon", 0) == 0) captions.push_back(row.Caption);
        }
        return captions;
    };
    // win98-pc has one fixed drive, C: labelled KONTOR.
    EXPECT_EQ(labelsOf("win98-pc", 2), (std::vector<std::string>{"Stasjon C   KONTOR", "Stasjon C   KONTOR"}));
    // The first build finds C selected since loading (read before the
    // first rename); from the second build on, C follows D (or Z) and is
    // re-read.
    EXPECT_EQ(labelsOf("win2000-dc", 2), (std::vector<std::string>{"Stasjon C   SYSTEM", "Stasjon D   DATA",
                                                                    "Stasjon C   SYS1", "Stasjon D   DATA"}));
    EXPECT_EQ(labelsOf("winxp-pc", 2), (std::vector<std::string>{"Stasjon C   MAXTOR", "Stasjon Z   Fotos",
                                                                  "Stasjon C   SYS1", "Stasjon Z   Fotos"}));
}

// ---------------------------------------------------------------- full lists of further PCs

// The Windows 2000 domain controller with every toggle pressed, worked out
// from its machine.json (firmware tables, clock, network, drives) and its
// registry (devices, display, DirectX, owner, printers, programs).
TEST_F(SummaryListTest, FullListOfTheWindows2000Server) {
    Rows expected{
        {"Hovedsystem", "Intel STL2", 0},
        {"Processor", "Intel Pentium III", 9},
        {"Frekvens", "1000 Mhz", 13},
        // 1.75 V is kept in the table as 18 tenths.
        {"Spenning", "1.8V", 11},
        // The first processor record.
        {"Sokkel", "CPU 1 (370-pin socket)", 14},
        // 5,531,234 s: 2 months of 31 days, 2 days, 27 minutes, 14 seconds;
        // the units between are written with 0.
        {"Tid siden siste oppstart", "2 Months, 0 Weeks, 2 Days, 0 Hours, 27 Minutes, 14 Seconds.", 12},
        // Slot type 5 before type 13.
        {"Utvidelsesspor", "4 x PCI, 32 bit", 3},
        {"Utvidelsesspor", "2 x PCI - 66MHz Capable, 64 bit", 3},
        kBlank,
        {"Minne", "1024 MB (594 MB ledig)", 8},
        {"Type", "2 x 512 MB DIMM,SDRAM", 8},
        // No sound device: only the section's blank row.
        kBlank,
        kBlank,
        // Two started Net devices (the 3Com has no Control key); the first
        // with a location is the PRO/100+. The host name resolves to the
        // adapters' addresses in chain order; LANA 0 is the PRO/100+.
        {"Nettverkskort", "Intel(R) PRO/100+ Management Adapter", 17},
        {"Lokalt maskinnavn", "STHDC01", 12},
        {"IP Adresse", "192.168.10.2", 12},
        {"MAC Adresse", "00:02:B3:5C:18:E4", 12},
        kBlank,
        {"Diskett 0", "Diskettenhet", 18},
        {"Harddisk 0", "IBM IC35L036UWD210-0 SCSI Disk Device", 19},
        {"Harddisk 1", "IBM IC35L036UWD210-0 SCSI Disk Device", 19},
        kBlank,
        {"CD-ROM 0", "MATSHITA CR-177", 20},
        kBlank,
        {"Skjermkort", "ATI RAGE XL PCI", 1},
        // HardwareInformation.MemorySize 00800000h.
        {"Grafikkminne", "8 MB ram", 8},
        // Characters 4 to 102 of "4.08.01.0881".
        {"DirectX versjon", "8.01.0881", 1},
        {"Aktuell skjermoppløsning", "1024 x 768 - 16 bit", 1},
        kBlank,
        {"Windowsversjon", "Microsoft Windows 2000 Service Pack 4 5.0", 15},
        {"Registrert på", "IT-avdelningen  Norrsken Logistik AB", 0},
        // No modem.
        kBlank,
        {"Mus", "PS/2-kompatibel mus", 23},
        kBlank,
        {"Tastatur", "Standardtangentbord 101/102 tangenter eller Microsoft Natural PS/2-tangentbord", 22},
        kBlank,
        {"Standardskriver", "HP LaserJet 4100 Lager", 7},
        // C: 2,096,474 clusters of 4 KB (8,189 MB), 1,387,220 free (5,418 MB);
        // D: 6,735,360 (26,310 MB), 3,902,117 free (15,242 MB).
        kBlank,
        {"Stasjon C   SYSTEM", "5.3 GB ledig av 8.0 GB", 19},
        {"Stasjon D   DATA", "15 GB ledig av 26 GB", 19},
        kBlank,
        {"Harddiskplass", "20 GB ledig av 34 GB", 19},
        kBlank,
        {"Installerte programmer", "Programvareprodusent", 0},
        {"Torvex", "", -1},
        {"Windows 2000 Snabbkorrigering - KB823980", "Microsoft Corporation", -1},
        {"Windows 2000 Snabbkorrigering - KB824146", "Microsoft Corporation", -1},
    };
    Rows rows = Build("win2000-dc", {true, true, true});
    EXPECT_EQ(rows, expected) << Show(rows);
}

// The Finnish Windows Me PC with every toggle pressed: not OldWindows, so
// the memory type and the network rows are there.
TEST_F(SummaryListTest, FullListOfTheWindowsMePC) {
    Rows expected{
        {"Hovedsystem", "System Manufacturer System Name", 0},
        {"Processor", "AMD Athlon(tm) Processor", 9},
        {"Frekvens", "1000 Mhz", 13},
        {"Spenning", "1.7V", 11},
        {"Sokkel", "Socket A (ZIF Socket)", 14},
        // 7,342 s since the start.
        {"Tid siden siste oppstart", "2 Hours, 2 Minutes, 22 Seconds.", 12},
        // Five PCI slots and one AGP 4X, in the type order (5 before 16).
        {"Utvidelsesspor", "5 x PCI, 32 bit", 3},
        {"Utvidelsesspor", "1 x AGP 4X, 32 bit", 3},
        kBlank,
        {"Minne", "256 MB (156 MB ledig)", 8},
        {"Type", "1 x 128 MB DIMM,SDRAM", 8},
        kBlank,
        // No location on the 9x family: the first multimedia device; the
        // Finnish game port ("Peliportin ohjain") is not named GAME.
        {"Lydkort", "C-Media CMI8738/C3DX PCI Audio Device", 4},
        kBlank,
        {"Nettverkskort", "Intel(R) PRO/100+ Management Adapter", 17},
        {"Lokalt maskinnavn", "VIRTANEN", 12},
        {"IP Adresse", "192.168.1.34", 12},
        {"MAC Adresse", "00:D0:B7:1E:44:A9", 12},
        kBlank,
        // The floppy drive is filed among the disk drives.
        {"Harddisk 0", "IBM-DTLA-307030", 19},
        {"Harddisk 1", "GENERIC NEC  FLOPPY DISK", 19},
        kBlank,
        {"CD-ROM 0", "TOSHIBA DVD-ROM SD-M1612", 20},
        kBlank,
        {"Skjermkort", "NVIDIA GeForce2 MX/MX 400", 1},
        // VideoMemory 02000000h.
        {"Grafikkminne", "32 MB ram", 8},
        // Characters 4 to 102 of "4.07.00.0700".
        {"DirectX versjon", "7.00.0700", 1},
        {"Aktuell skjermoppløsning", "1152 x 864 - 32 bit", 1},
        kBlank,
        {"Windowsversjon", "Microsoft Windows ME   4.90", 15},
        {"Registrert på", "Matti Virtanen  Kotona", 0},
        kBlank,
        {"Mus", "PS/2-yhteensopiva hiiri", 23},
        kBlank,
        {"Tastatur", "Vakionäppäimistö (101/102 näppäintä) tai Microsoft Natural Keyboard", 22},
        kBlank,
        {"Standardskriver", "EPSON Stylus COLOR 680", 7},
        // C: 1,831,347 clusters of 16 KB (28,614 MB), 1,302,551 free
        // (20,352 MB).
        kBlank,
        {"Stasjon C   KOTI", "20 GB ledig av 28 GB", 19},
        kBlank,
        {"Harddiskplass", "20 GB ledig av 28 GB", 19},
        kBlank,
        {"Installerte programmer", "Programvareprodusent", 0},
        {"Winamp (remove only)", "", -1},
        {"Torvex", "", -1},
    };
    Rows rows = Build("winme-pc", {true, true, true});
    EXPECT_EQ(rows, expected) << Show(rows);
}

// win98se-pc after its network card went: Windows 98 SE is OldWindows, so
// the list has no memory type and no network rows whether or not a card is
// there; its game port is named so, and it has a modem.
TEST_F(SummaryListTest, FullListOfTheWindows98SEPCWithAndWithoutNetwork) {
    Rows expected{
        {"Hovedsystem", "Intel Corporation 440BX/ZX/DX - 82443BX/ZX/DX", 0},
        {"Processor", "Intel Pentium III", 9},
        {"Frekvens", "450 Mhz", 13},
        {"Spenning", "2.0V", 11},
        {"Sokkel", "SLOT 1 (Slot 1)", 14},
        // 1,843 s since the start.
        {"Tid siden siste oppstart", "30 Minutes, 43 Seconds.", 12},
        {"Utvidelsesspor", "1 x ISA, 16 bit", 3},
        {"Utvidelsesspor", "4 x PCI, 32 bit", 3},
        {"Utvidelsesspor", "1 x AGP 2X, 32 bit", 3},
        kBlank,
        {"Minne", "128 MB (61 MB ledig)", 8},
        kBlank,
        // No location on the 9x family: the first multimedia device is the
        // sound card.
        {"Lydkort", "Creative SB Live! Value (WDM)", 4},
        {"Spilleport", "Creative Gameport Joystick", 5},
        kBlank,
        {"Harddisk 0", "IBM-DJNA-371350", 19},
        {"Harddisk 1", "GENERIC NEC  FLOPPY DISK", 19},
        kBlank,
        {"CD-ROM 0", "LG CD-ROM CRD-8482B", 20},
        kBlank,
        {"Skjermkort", "Matrox Millennium G400 - English", 1},
        {"Grafikkminne", "32 MB ram", 8},
        // Characters 4 to 102 of "4.07.00.0716".
        {"DirectX versjon", "7.00.0716", 1},
        {"Aktuell skjermoppløsning", "1024 x 768 - 16 bit", 1},
        kBlank,
        {"Windowsversjon", "Microsoft Windows 98  A  4.10", 15},
        // No company: the owner and two blanks.
        {"Registrert på", "Bjørn Haugen  ", 0},
        kBlank,
        {"Modem", "U.S. Robotics 56K Voice EXT PnP", 24},
        kBlank,
        {"Mus", "Standard PS/2-portmus", 23},
        kBlank,
        {"Tastatur", "Standard 101/102-taster eller Microsoft Natural Keyboard", 22},
        kBlank,
        {"Standardskriver", "HP DeskJet 690C", 7},
        // C: only (D: is the CD-ROM, E: a RAM drive): 1,048,064 clusters of
        // 4 KB (4,094 MB), 611,420 free (2,388 MB).
        kBlank,
        {"Stasjon C   IBM_13GB", "2.3 GB ledig av 4.0 GB", 19},
        kBlank,
        {"Harddiskplass", "2.3 GB ledig av 4.0 GB", 19},
        kBlank,
        // Uninstall keys without a display name and an uninstall command
        // (the address book, Internet Explorer's quiet entry ...) are not
        // programs.
        {"Installerte programmer", "Programvareprodusent", 0},
        {"Winamp (remove only)", "", -1},
        {"WinZip", "", -1},
        {"Adobe Acrobat 4.0", "", -1},
        {"ICQ", "", -1},
        {"Norton AntiVirus 2000", "Symantec Corporation", -1},
        {"Microsoft Office 2000 Small Business", "Microsoft Corporation", -1},
        {"Torvex", "", -1},
    };
    Rows rows = Build("win98se-pc-nonet", {true, true, true});
    EXPECT_EQ(rows, expected) << Show(rows);
    // With its card the full list is the same: no network rows on
    // OldWindows, and a network card is no storage device.
    rows = Build("win98se-pc", {true, true, true});
    EXPECT_EQ(rows, expected) << "win98se-pc" << Show(rows);
}

// The NT 4.0 workstation with every toggle pressed: OldWindows (no memory
// type, no network rows); its display driver is a legacy device without a
// driver key, so the adapter row is empty and the video memory not stated.
TEST_F(SummaryListTest, FullListOfTheNT4Workstation) {
    Rows expected{
        {"Hovedsystem", "Intel Corporation PR440FX", 0},
        {"Processor", "Intel Pentium Pro", 9},
        {"Frekvens", "200 Mhz", 13},
        {"Spenning", "3.3V", 11},
        {"Sokkel", "CPU 1 (ZIF Socket)", 14},
        // 277,385 s: 3 days, 5 hours, 3 minutes, 5 seconds.
        {"Tid siden siste oppstart", "3 Days, 5 Hours, 3 Minutes, 5 Seconds.", 12},
        {"Utvidelsesspor", "2 x ISA, 16 bit", 3},
        {"Utvidelsesspor", "4 x PCI, 32 bit", 3},
        kBlank,
        {"Minne", "128 MB (59 MB ledig)", 8},
        kBlank,
        {"Lydkort", "Crystal Audio System (CS4232)", 4},
        kBlank,
        {"Diskett 0", "Floppy disk drive", 18},
        {"Harddisk 0", "IBM DCAS-34330W", 19},
        kBlank,
        {"CD-ROM 0", "TOSHIBA CD-ROM XM-5701TA", 20},
        {"Båndstasjon 0", "HP C1537A (HP SureStore DAT24)", 21},
        kBlank,
        {"Skjermkort", "", 1},
        {"Grafikkminne", "(ikke oppgitt)", 8},
        // Characters 4 to 102 of "4.03.00.1096".
        {"DirectX versjon", "3.00.1096", 1},
        {"Aktuell skjermoppløsning", "1280 x 1024 - 16 bit", 1},
        kBlank,
        {"Windowsversjon", "Microsoft Windows NT Service Pack 6 4.0", 15},
        {"Registrert på", "Dan Walker  Brazos Valley Surveying, Inc.", 0},
        kBlank,
        {"Mus", "Microsoft PS/2 Port Mouse", 23},
        kBlank,
        {"Tastatur", "Standard 101/102-Key or Microsoft Natural Keyboard", 22},
        // The spooler's order; WIN.INI's device= names the second.
        kBlank,
        {"Skriver", "HP DesignJet 650C", 7},
        {"Standardskriver", "HP LaserJet 5N", 7},
        // C: 1,048,568 clusters of 4 KB (4,095 MB), 412,397 free (1,610 MB).
        kBlank,
        {"Stasjon C   CAD_SYS", "1.6 GB ledig av 4.0 GB", 19},
        kBlank,
        {"Harddiskplass", "1.6 GB ledig av 4.0 GB", 19},
        kBlank,
        {"Installerte programmer", "Programvareprodusent", 0},
        {"AutoCAD R14", "", -1},
        {"Microsoft Office 97, Professional Edition", "", -1},
        {"Torvex", "", -1},
    };
    Rows rows = Build("nt4-pc", {true, true, true});
    EXPECT_EQ(rows, expected) << Show(rows);
}

// The Windows 95 PC of 1996 with every toggle pressed: its BIOS has no
// SMBIOS tables, so the main system, voltage and socket rows show what the
// engine holds (empty texts, 0 volts) and no slot rows; no DirectX key.
TEST_F(SummaryListTest, FullListOfTheWindows95PC) {
    Rows expected{
        {"Hovedsystem", " ", 0},
        {"Processor", "Intel Pentium", 9},
        {"Frekvens", "100 Mhz", 13},
        {"Spenning", "0.0V", 11},
        {"Sokkel", " ()", 14},
        // 2,417 s since the start.
        {"Tid siden siste oppstart", "40 Minutes, 17 Seconds.", 12},
        kBlank,
        {"Minne", "16 MB (1 MB ledig)", 8},
        kBlank,
        {"Lydkort", "Creative Labs Sound Blaster 16 Plug and Play", 4},
        {"Spilleport", "Gameport Joystick", 5},
        kBlank,
        {"Harddisk 0", "QUANTUM FIREBALL1080A", 19},
        {"Harddisk 1", "GENERIC NEC  FLOPPY DISK", 19},
        kBlank,
        {"CD-ROM 0", "MITSUMI CD-ROM FX400E!A", 20},
        kBlank,
        {"Skjermkort", "S3 Trio32/64 PCI", 1},
        // VideoMemory 00100000h: 1 MB, odd, so 2.
        {"Grafikkminne", "2 MB ram", 8},
        {"Aktuell skjermoppløsning", "800 x 600 - 8 bit", 1},
        kBlank,
        {"Windowsversjon", "  4.0", 15},
        {"Registrert på", "Michael Johnson  Johnson Family", 0},
        kBlank,
        {"Modem", "Sportster 28800 Internal", 24},
        kBlank,
        {"Mus", "Standard PS/2 Port Mouse", 23},
        kBlank,
        {"Tastatur", "Standard 101/102-Key or Microsoft Natural Keyboard", 22},
        kBlank,
        {"Standardskriver", "HP DeskJet 540", 7},
        // C: without a label: 32,695 clusters of 16 KB (510 MB), 9,811
        // free (153 MB).
        kBlank,
        {"Stasjon C", "153 MB ledig av 511 MB", 19},
        kBlank,
        {"Harddiskplass", "153 MB ledig av 511 MB", 19},
        kBlank,
        {"Installerte programmer", "Programvareprodusent", 0},
        {"Microsoft Internet Explorer 3.0", "", -1},
        {"Microsoft Works 4.0", "", -1},
        {"Torvex", "", -1},
        {"WinZip", "", -1},
        {"America Online 3.0", "", -1},
    };
    Rows rows = Build("win95-pc", {true, true, true});
    EXPECT_EQ(rows, expected) << Show(rows);
}

// The OSR2 variant of the Windows 95 PC with every toggle pressed: still
// OldWindows (no memory type, no network rows), but its BIOS carries SMBIOS
// 2.1 tables, so the main system, voltage, socket and slot rows are filled.
TEST_F(SummaryListTest, FullListOfTheWindows95OSR2PC) {
    Rows expected{
        {"Hovedsystem", "ASUSTeK Computer INC. TX97", 0},
        // An AMD processor: the brand string of leaves 80000002h..80000004h.
        {"Processor", "AMD-K6tm w/ multimedia extensions", 9},
        // 233 ends in 33, one of the normal endings.
        {"Frekvens", "233 Mhz", 13},
        {"Spenning", "3.3V", 11},
        {"Sokkel", "Socket 7 (ZIF Socket)", 14},
        // 5,312 s since the start.
        {"Tid siden siste oppstart", "1 Hour, 28 Minutes, 32 Seconds.", 12},
        // ISA (type 2) before PCI (type 5), whatever the table order.
        {"Utvidelsesspor", "3 x ISA, 16 bit", 3},
        {"Utvidelsesspor", "4 x PCI, 32 bit", 3},
        kBlank,
        // 33,161,216 bytes: 31 MB, odd, so 32; 4,416 KB free rounds to 4 MB.
        {"Minne", "32 MB (4 MB ledig)", 8},
        kBlank,
        {"Lydkort", "Creative Labs Sound Blaster 16 Plug and Play", 4},
        {"Spilleport", "Gameport Joystick", 5},
        kBlank,
        // The larger Quantum takes the base disk's place in the
        // Configuration Manager's list, ahead of the floppy.
        {"Harddisk 0", "QUANTUM FIREBALL ST3.2A", 19},
        {"Harddisk 1", "GENERIC NEC  FLOPPY DISK", 19},
        kBlank,
        {"CD-ROM 0", "MITSUMI CD-ROM FX400E!A", 20},
        kBlank,
        {"Skjermkort", "S3 Inc. ViRGE/DX PCI", 1},
        // VideoMemory 00200000h.
        {"Grafikkminne", "2 MB ram", 8},
        {"Aktuell skjermoppløsning", "800 x 600 - 8 bit", 1},
        kBlank,
        // No product name on Windows 95; the service-pack text is " B".
        {"Windowsversjon", "  B 4.0", 15},
        {"Registrert på", "Sarah Kelly  ", 0},
        kBlank,
        {"Modem", "Sportster 28800 Internal", 24},
        kBlank,
        {"Mus", "Standard PS/2 Port Mouse", 23},
        kBlank,
        {"Tastatur", "Standard 101/102-Key or Microsoft Natural Keyboard", 22},
        kBlank,
        {"Standardskriver", "HP DeskJet 540", 7},
        // C: FAT32, 782,331 clusters of 4 KB (3,055 MB), 519,004 free
        // (2,027 MB).
        kBlank,
        {"Stasjon C   FAMILIE", "2.0 GB ledig av 3.0 GB", 19},
        kBlank,
        {"Harddiskplass", "2.0 GB ledig av 3.0 GB", 19},
        kBlank,
        // Works is removed; Quicken came last.
        {"Installerte programmer", "Programvareprodusent", 0},
        {"Microsoft Internet Explorer 3.0", "", -1},
        {"Torvex", "", -1},
        {"WinZip", "", -1},
        {"America Online 3.0", "", -1},
        {"Quicken 98", "", -1},
    };
    Rows rows = Build("win95osr2-pc", {true, true, true});
    EXPECT_EQ(rows, expected) << Show(rows);
}

// The XP PC from its guest account: the guest may not open the DirectX key
// or the registration key with full access, so there is no DirectX row, no
// product name and no owner; everything else is the owner's full list.
TEST_F(SummaryListTest, FullListOfTheXPGuest) {
    Rows expected;
    for (const TSummaryRow& row : WindowsXP({true, true, true})) {
        if (row.Caption == "DirectX versjon") continue;
        if (row.Caption == "Windowsversjon")
            expected.push_back({"Windowsversjon", " Service Pack 2 5.1", 15});
        else if (row.Caption == "Registrert på")
            expected.push_back({"Registrert på", "  ", 0});
        else
            expected.push_back(row);
    }
    Rows rows = Build("winxp-pc-guest", {true, true, true});
    EXPECT_EQ(rows, expected) << Show(rows);
}
