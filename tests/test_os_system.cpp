// The operating-system object: NT product data and suites, the service-pack
// hotfix, the environment limit, and the whole report on the shipped PCs.
#include <gtest/gtest.h>

#include "FakeMachine.h"
#include "engine/Zarvo_GUI.h"
#include "engine/Zarvo_OS.h"
#include "platform/Corvane_Routines.h"

using namespace torvex::engine;
using torvex::TStringList;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::testing::FakeMachine;
namespace fs = std::filesystem;

namespace {

class OperatingSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("torvex-os-system-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        auto m = std::make_unique<FakeMachine>(folder);
        machine = m.get();
        torvex::platform::SetActiveMachine(std::move(m));
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        fs::remove_all(folder);
    }
    void version(std::uint32_t major, std::uint32_t minor, std::uint32_t platform, const char* csd, bool extended,
                 std::uint16_t spMajor, std::uint16_t suites, std::uint8_t productType) {
        machine->versionFacts = {major, minor, 2195, platform, csd, extended, spMajor, 0, suites, productType};
        torvex::platform::routines::InitializeRoutines();
    }
    std::vector<std::string> section(const TStringList& report, const std::string& name) {
        std::vector<std::string> lines;
        int i = report.IndexOf("[" + name + "]");
        for (int k = i + 1; i >= 0 && k < report.Count() && report[k].rfind("[", 0) != 0; ++k) lines.push_back(report[k]);
        return lines;
    }

    fs::path folder;
    FakeMachine* machine = nullptr;
};

TEST_F(OperatingSystemTest, ProductTypeAndSuitesOfWindows2000) {
    // A domain controller with Enterprise and Terminal Services suites.
    version(5, 0, win32::VER_PLATFORM_WIN32_NT, "Service Pack 4", true, 4, 0x0002 | 0x0010, 2);
    TNTSpecific nt;
    nt.GetInfo();
    EXPECT_EQ(nt.ProductType(), ptAdvancedServer);
    EXPECT_EQ(nt.InstalledSuites(), (TNTSuites{suEnterprise, suTerminal}));
    EXPECT_EQ(nt.ServicePackMajorVersion(), 4);
    TStringList report;
    nt.Report(report);
    const std::vector<std::string> expected = {
        "[NT Specific]",
        "ProductType=Advanced Server",
        "Microsoft Small Business Server=0",
        "Windows 2000 Advanced Server=1",
        "Microsoft BackOffice Components=0",
        "Communications=0",
        "Terminal Services=1",
        "Microsoft Small Business Server with the restrictive client license in force=0",
        "Embedded NT=0",
        "Windows 2000 Datacenter Server=0",
        "ServicePackMajorVersion=4",
        "ServicePackMinorVersion=0"};
    ASSERT_EQ(report.Count(), int(expected.size()));
    for (int i = 0; i < report.Count(); ++i) EXPECT_EQ(report[i], expected[i]);

    version(5, 0, win32::VER_PLATFORM_WIN32_NT, "", true, 0, 0x0080, 3);
    TNTSpecific server;
    server.GetInfo();
    EXPECT_EQ(server.ProductType(), ptServer);
    EXPECT_EQ(server.InstalledSuites(), (TNTSuites{suDataCenter}));
}

TEST_F(OperatingSystemTest, NT4ReadsTheProductOptionsAndWindows9xHasNone) {
    version(4, 0, win32::VER_PLATFORM_WIN32_NT, "Service Pack 6", false, 0, 0, 0);
    auto& options = machine->registry().root(RegRoot::LocalMachine).ensure(
        "SYSTEM\\CurrentControlSet\\Control\\ProductOptions");
    for (auto [text, type] : {std::pair{"WinNT", ptWorkStation}, {"ServerNT", ptServer}, {"LanmanNT", ptAdvancedServer},
                              {"Terminal", ptUnknown}}) {
        options.setValue(RegValue::String("ProductType", text));
        TNTSpecific nt;
        nt.GetInfo();
        EXPECT_EQ(nt.ProductType(), type) << text;
        EXPECT_EQ(nt.ServicePackMajorVersion(), 0);
    }
    options.setValue(RegValue::String("ProductType", "WinNT"));
    version(4, 10, win32::VER_PLATFORM_WIN32_WINDOWS, " A ", false, 0, 0, 0);
    machine->registry().root(RegRoot::LocalMachine).find("SYSTEM\\CurrentControlSet\\Control")->removeChild("ProductOptions");
    TNTSpecific none;
    none.GetInfo();
    EXPECT_EQ(none.ProductType(), ptUnknown);
    EXPECT_TRUE(none.InstalledSuites().empty());
}

TEST_F(OperatingSystemTest, ServicePack6BecomesSixAOnlyWithTheHotfixInstalled) {
    version(4, 0, win32::VER_PLATFORM_WIN32_NT, "Service Pack 6", false, 0, 0, 0);
    auto& current = machine->registry().root(RegRoot::LocalMachine).ensure("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    current.setValue(RegValue::String("CurrentType", "Uniprocessor Free"));
    current.setValue(RegValue::String("RegisteredOwner", "Ole"));
    TOperatingSystem os;
    os.GetInfo();
    EXPECT_EQ(os.CSD(), "Service Pack 6");
    EXPECT_EQ(os.Version(), "Uniprocessor Free");
    EXPECT_EQ(os.RegisteredUser(), "Ole");
    EXPECT_EQ(os.Platform(), opWinNT);
    auto& hotfix = current.ensure("Hotfix\\Q246009");
    hotfix.setValue(RegValue::Dword("Installed", 0));
    os.GetInfo();
    EXPECT_EQ(os.CSD(), "Service Pack 6");
    // A text "1" is not the hotfix's mark, for the version classification
    // and this category alike.
    hotfix.setValue(RegValue::String("Installed", "1"));
    os.GetInfo();
    EXPECT_EQ(os.CSD(), "Service Pack 6");
    hotfix.setValue(RegValue::Dword("Installed", 1));
    os.GetInfo();
    EXPECT_EQ(os.CSD(), "Service Pack 6a");
}

TEST_F(OperatingSystemTest, TheSectionsLinesInOrderAndWhatARefreshEmpties) {
    version(5, 0, win32::VER_PLATFORM_WIN32_NT, "Service Pack 4", true, 4, 0, 1);
    auto& current = machine->registry().root(RegRoot::LocalMachine).ensure("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion");
    current.setValue(RegValue::String("CurrentType", "Uniprocessor Free"));
    current.setValue(RegValue::String("RegisteredOwner", "Ole"));
    current.setValue(RegValue::String("RegisteredOrganization", "Lund & Co"));
    current.setValue(RegValue::String("ProductID", "51873-OEM-0012345-67890"));
    current.setValue(RegValue::String("ProductKey", "ABCDE-FGHIJ"));
    current.setValue(RegValue::String("DVD_Region", "2"));
    TOperatingSystem os;
    os.GetInfo();
    TStringList report;
    os.Report(report);
    EXPECT_EQ(report[0], "[Operating System]");
    EXPECT_EQ(section(report, "Operating System"),
              (std::vector<std::string>{"Platform=Windows NT", "VersionName=Uniprocessor Free", "Version=5.0",
                                        "BuildNumber=2195", "CSD=Service Pack 4",
                                        "ProductID=51873-OEM-0012345-67890", "ProductKey=ABCDE-FGHIJ",
                                        "RegUser=Ole", "RegOrganization=Lund & Co", "DVDRegion=2"}));

    // Step 3 empties the version name, the registration and the product id
    // before they are read again; the product key and the DVD region are
    // only overwritten when present. An unknown platform id keeps the
    // platform.
    for (const char* gone : {"CurrentType", "RegisteredOwner", "RegisteredOrganization", "ProductID", "ProductKey",
                             "DVD_Region"})
        current.removeValue(gone);
    machine->versionFacts.platformId = 7;
    machine->versionFacts.csdVersion = std::string(200, 'x');   // the record holds 127 and its zero
    os.GetInfo();
    TStringList again;
    os.Report(again);
    EXPECT_EQ(section(again, "Operating System"),
              (std::vector<std::string>{"Platform=Windows NT", "VersionName=", "Version=5.0", "BuildNumber=2195",
                                        "CSD=" + std::string(127, 'x'), "ProductID=", "ProductKey=ABCDE-FGHIJ",
                                        "RegUser=", "RegOrganization=", "DVDRegion=2"}));
}

TEST_F(OperatingSystemTest, TheEnvironmentListsOnlyEntriesEndingWithinTheFirst4096Bytes) {
    version(5, 1, win32::VER_PLATFORM_WIN32_NT, "", true, 0, 0, 1);
    // 40 entries of 100 bytes (99 characters and the zero) fill 4000 bytes;
    // the next one of 100 bytes would end at byte 4100.
    for (int i = 0; i < 41; ++i) {
        char name[8];
        std::snprintf(name, sizeof name, "V%02d=", i);
        machine->env.push_back(name + std::string(95, 'x'));
    }
    TOperatingSystem os;
    os.GetInfo();
    EXPECT_EQ(os.Environment().Count(), 40);
    EXPECT_EQ(os.Environment()[39].substr(0, 4), "V39=");
}

TEST_F(OperatingSystemTest, FoldersEndWithTheProfileOfTheDesktop) {
    version(5, 1, win32::VER_PLATFORM_WIN32_NT, "", true, 0, 0, 1);
    machine->registry().root(RegRoot::CurrentUser)
        .ensure("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders")
        .setValue(RegValue::String("Desktop", "C:\\Documents and Settings\\Kari\\Skrivebord"));
    TOperatingSystem os;
    os.GetInfo();
    const TStringList& f = os.Folders();
    ASSERT_EQ(f.Count(), 3 + 29 + 1);   // no registry key: only the directories, shell folders and profile
    EXPECT_EQ(f[0], "Windows=C:\\WINDOWS");
    EXPECT_EQ(f[2], "Temp=C:\\WINDOWS\\TEMP\\");
    EXPECT_EQ(f[3].substr(0, 8), "AppData=");
    EXPECT_EQ(f.Values("Desktop"), "C:\\Documents and Settings\\Kari\\Skrivebord");
    EXPECT_EQ(f[f.Count() - 1], "Profile=C:\\Documents and Settings\\Kari");
}

TEST_F(OperatingSystemTest, NtFindsTheProgramFoldersWhereWindowsKeepsThem) {
    // NT keeps its version values in "Windows NT\CurrentVersion" but the
    // program and media folders in "Windows\CurrentVersion", as Windows 95.
    version(5, 0, win32::VER_PLATFORM_WIN32_NT, "Service Pack 4", true, 4, 0, 1);
    auto& lm = machine->registry().root(RegRoot::LocalMachine);
    lm.ensure("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion")
        .setValue(RegValue::String("RegisteredOwner", "Sven"));
    torvex::platform::RegKey& shared = lm.ensure("SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    shared.setValue(RegValue::String("ProgramFilesDir", "C:\\Program"));
    shared.setValue(RegValue::String("MediaPath", "C:\\WINNT\\Media"));
    TOperatingSystem os;
    os.GetInfo();
    EXPECT_EQ(os.Folders().Values("ProgramFiles"), "C:\\Program");
    EXPECT_EQ(os.Folders().Values("Media"), "C:\\WINNT\\Media");
    EXPECT_EQ(os.Folders().Values("Config"), "");
    // A value beside the version values still wins.
    lm.ensure("SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion")
        .setValue(RegValue::String("MediaPath", "D:\\Ljud"));
    os.GetInfo();
    EXPECT_EQ(os.Folders().Values("Media"), "D:\\Ljud");
}

// ---------------------------------------------------------------- the shipped PCs

class ShippedOperatingSystem : public ::testing::Test {
protected:
    void load(const char* name) {
        torvex::platform::SetActiveMachine(
            torvex::platform::LoadSimulatedMachine(fs::path(TORVEX_SOURCE_DIR) / "machines" / name));
        torvex::platform::routines::InitializeRoutines();
    }
    void TearDown() override { torvex::platform::SetActiveMachine(nullptr); }
};

TEST_F(ShippedOperatingSystem, Windows98SecondEditionInNorway) {
    load("win98se-pc");
    TOperatingSystem os;
    os.GetInfo();
    TStringList report;
    os.Report(report);
    EXPECT_EQ(report[0], "[Operating System]");
    EXPECT_EQ(report[1], "Platform=Windows 9x");
    EXPECT_EQ(report.Values("Version"), "4.10");
    EXPECT_EQ(report.Values("BuildNumber"), "2222");
    EXPECT_EQ(report.Values("CSD"), " A ");
    EXPECT_EQ(report.Values("ProductType"), "Unknown");
    EXPECT_EQ(os.LanguageID(), "$0414");
    EXPECT_EQ(os.TimeZone().DisplayName(), "(GMT+01:00) Amsterdam, Berlin, Bern, Oslo, Roma, Stockholm, Wien");
    // The PC's clock stands in November 2000; March 2000 had four Sundays.
    EXPECT_EQ(report.Values("DlghtName"), "26.03.2000 02:00:00");
    EXPECT_EQ(report.Values("StdName"), "29.10.2000 03:00:00");
    EXPECT_EQ(report.Values("ShortDateFormat"), "dd.MM.yyyy");
    // The owner changed the thousands separator to a plain space; the
    // currency's stays the locale's no-break space.
    char thousands[8];
    ASSERT_GT(win32::GetLocaleInfoA(win32::LOCALE_USER_DEFAULT, win32::LOCALE_STHOUSAND, thousands, 8), 0);
    EXPECT_STREQ(thousands, " ");
    EXPECT_EQ(os.LocaleInfo().CurrencyThousandSeparator(), "\u00A0");
    EXPECT_EQ(os.LocaleInfo().FullCountryCode(), "Norge");
    for (const char* s : {"[NT Specific]", "[Environment]", "[Folders]", "[Time Zone]", "[Internet]", "[Locale]"})
        EXPECT_GE(report.IndexOf(s), 0) << s;
}

TEST_F(ShippedOperatingSystem, WindowsXPInDenmarkThroughTheEngineRoot) {
    load("winxp-pc");
    TCorvaneSystemInfo info;
    info.SetExceptionMode(emRaise);
    EXPECT_EQ(info.OS().ExceptionMode(), emRaise);
    info.OS().GetInfo();
    TStringList page;
    ReportPage(info, 12, page);
    ASSERT_EQ(page.Count(), 6);
    EXPECT_EQ(page[1], "TimeZone=(GMT+01:00) Brussels, Copenhagen, Madrid, Paris");
    EXPECT_EQ(page[2], "StdName=30-10-2005 03:00:00");
    EXPECT_EQ(page[4], "DlghtName=27-03-2005 02:00:00");
    TStringList os;
    ReportPage(info, 1, os);
    EXPECT_EQ(os[1], "Platform=Windows NT");
    EXPECT_EQ(os.Values("Version"), "5.1");
    EXPECT_EQ(os.Values("CSD"), "Service Pack 2");
    EXPECT_EQ(os.Values("ProductType"), "Workstation");
    EXPECT_EQ(os.Values("ServicePackMajorVersion"), "2");
    EXPECT_EQ(os.Values("FullEnglishLanguageName"), "Danish");
    EXPECT_EQ(os.Values("NegativeCurrencyMode"), "-$1.1");
    EXPECT_EQ(info.OS().LanguageID(), "$0406");
}

}  // namespace
