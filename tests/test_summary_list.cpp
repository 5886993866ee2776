// The summary list: FormatSize and the memory rounding, the line-break
// rule, and the rows of the shipped PCs for every toggle state and edition.
// The expected rows are worked out by hand from each PC's facts (its
// machine.json, registry, processor dump and firmware tables) by the list's
// rules; rows of the display, multimedia, network and printer categories are
// not part of the engine yet and so not part of the lists.
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
// (the display rows' place), Windows.
Rows ShortList(const std::string& processor, const std::string& frequency, const std::string& memory,
               const std::string* type, const std::string& space, const std::string& windows) {
    Rows r{{"Processor", processor, 9}};
    if (!frequency.empty()) r.push_back({"Frekvens", frequency, 13});
    r.push_back(kBlank);
    r.push_back({"Minne", memory, 8});
    if (type) r.push_back({"Type", *type, 8});
    Append(r, {kBlank, {"Harddiskplass", space, 19}, kBlank, kBlank, {"Windowsversjon", windows, 15}});
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
    struct Case {
        const char* machine;
        Rows rows;
    } cases[] = {
        // Intel processors before the Pentium 4 have no brand string: the
        // engine's vendor and model name stand in.
        {"win95-pc", ShortList("Intel Pentium", "100 Mhz", "16 MB (1 MB ledig)", nullptr,
                               "153 MB ledig av 511 MB", "  4.0")},
        {"win95osr2-pc", ShortList("AMD-K6tm w/ multimedia extensions", "233 Mhz", "32 MB (4 MB ledig)", nullptr,
                                   "2.0 GB ledig av 3.0 GB", "  B 4.0")},
        {"win98-pc", ShortList("Intel Celeron A", "400 Mhz", "64 MB (14 MB ledig)", nullptr,
                               "4.1 GB ledig av 6.0 GB", "Microsoft Windows 98  4.10")},
        {"win98se-pc", ShortList("Intel Pentium III", "450 Mhz", "128 MB (61 MB ledig)", nullptr,
                                 "2.3 GB ledig av 4.0 GB", "Microsoft Windows 98  A  4.10")},
        {"winme-pc", ShortList("AMD Athlon(tm) Processor", "1000 Mhz", "256 MB (156 MB ledig)", &me,
                               "20 GB ledig av 28 GB", "Microsoft Windows ME   4.90")},
        {"nt4-pc", ShortList("Intel Pentium Pro", "200 Mhz", "128 MB (59 MB ledig)", nullptr,
                             "1.6 GB ledig av 4.0 GB", "Microsoft Windows NT Service Pack 6 4.0")},
        {"win2000-dc", ShortList("Intel Pentium III", "1000 Mhz", "1024 MB (594 MB ledig)", &dc,
                                 "20 GB ledig av 34 GB", "Microsoft Windows 2000 Service Pack 4 5.0")},
        {"winxp-pc", ShortList(p4, "2400 Mhz", "512 MB (291 MB ledig)", &xp, "23 GB ledig av 37 GB",
                               "Microsoft Windows XP Service Pack 2 5.1")},
        // The guest may not open the registration key with full access: no
        // product name.
        {"winxp-pc-guest", ShortList(p4, "2400 Mhz", "512 MB (291 MB ledig)", &xp, "23 GB ledig av 37 GB",
                                     " Service Pack 2 5.1")},
    };
    for (const Case& c : cases) {
        Rows rows = Build(c.machine, {});
        EXPECT_EQ(rows, c.rows) << c.machine << Show(rows);
    }
}
