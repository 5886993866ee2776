// The system-information object on the Norwegian Windows 98 SE PC, the
// Windows XP PC with its guest account, and the live host.
#include <gtest/gtest.h>

#include <map>

#include "components/QuentaSysInfo.h"
#include "platform/Corvane_Routines.h"
#include "platform/machine/Machine.h"

using torvex::components::TQuentaSysInfo;
namespace fs = std::filesystem;

namespace {

class SysInfoTest : public ::testing::Test {
protected:
    void load(const char* name) {
        torvex::platform::SetActiveMachine(
            torvex::platform::LoadSimulatedMachine(fs::path(TORVEX_SOURCE_DIR) / "machines" / name));
        torvex::platform::routines::InitializeRoutines();
    }
    void TearDown() override { torvex::platform::SetActiveMachine(nullptr); }
};

TEST_F(SysInfoTest, AComponentThatAFormOwnsAndWhosePropertiesAreListed) {
    load("win98se-pc");
    torvex::classes::TComponent form;
    TQuentaSysInfo& info = form.CreateComponent<TQuentaSysInfo>();
    EXPECT_EQ(info.Owner(), &form);
    // Listing reads the system: the values are those of this PC.
    std::map<std::string, std::string> listed;
    for (const auto& prop : info.GetPropList()) listed[prop.Name] = prop.Get().AsText();
    EXPECT_EQ(listed["VersionWIN"], "4.10");
    EXPECT_EQ(listed["FreeGdiRes"], "85 %");
    EXPECT_EQ(listed["BuildNumber"], "2222");
    EXPECT_EQ(listed["PlusAvailable"], "True");
    EXPECT_EQ(listed["ProcessorInfo"], "(TQuentaCPUInfoObject)");
}

TEST_F(SysInfoTest, Windows98SecondEdition) {
    load("win98se-pc");
    TQuentaSysInfo info;
    EXPECT_EQ(info.VersionWIN(), "4.10");
    EXPECT_EQ(info.Platform(), "Windows 95");
    EXPECT_EQ(info.BuildNumber(), 2222);
    // The 16-bit heaps' own percentages.
    EXPECT_EQ(info.FreeSysRes(), "78 %");
    EXPECT_EQ(info.FreeGdiRes(), "85 %");
    EXPECT_EQ(info.FreeUsrRes(), "78 %");
    EXPECT_EQ(info.MemoryLoaded(), "52 %");
    EXPECT_EQ(info.MemPhysTotal(), 133677056 / 1024);
    EXPECT_EQ(info.WinSysPath(), "C:\\WINDOWS\\SYSTEM");
    EXPECT_EQ(info.TempPath(), "C:\\WINDOWS\\TEMP\\");
    EXPECT_EQ(info.ProcessorType(), "Intel Pentium");
    EXPECT_EQ(info.ProcessorNumber(), 1);
    EXPECT_EQ(info.DefaultLanguageID(), 0x0414);
    EXPECT_EQ(info.DefaultLanguageString(), "Norsk (bokmål)");
    EXPECT_EQ(info.TimeZone(), "W. Europe Standard Time");
    EXPECT_EQ(info.TimeZoneDiff(), -60);
    // Windows 98 has the desktop extensions built in.
    EXPECT_TRUE(info.PlusAvailable());
    EXPECT_TRUE(info.FontSmoothing());
    EXPECT_TRUE(info.DragFullWindows());
    EXPECT_FALSE(info.SnapToDefaultButton());
    EXPECT_EQ(info.ScreenSaverDelay(), 10);
    EXPECT_EQ(info.ScreenWidth(), 1024);
    EXPECT_EQ(info.ScreenHeight(), 768);
    EXPECT_EQ(info.ColorDepth(), 16);
    EXPECT_EQ(info.ScreenPPi(), 96);
    EXPECT_EQ(info.LocaleShortDateFormat(), "dd.MM.yyyy");
    EXPECT_EQ(info.LocaleThousand(), " ");
    EXPECT_EQ(info.LocaleCurrencySymbol(), "kr");
    EXPECT_EQ(info.LocaleFirstDayOfWeek(), "0");
    EXPECT_EQ(info.AllPrinters().CommaText(), "\"HP DeskJet 690C\"");
    EXPECT_GE(info.AllFonts().IndexOf("MS Sans Serif"), 0);
    EXPECT_EQ(info.AllFonts().IndexOf("Arial Bold"), -1);
    EXPECT_EQ(info.Environment().Values("windir"), "C:\\WINDOWS");
    // A processor without the extended leaves has no name here.
    EXPECT_EQ(info.ProcessorInfo().IDString(), "GenuineIntel");
    EXPECT_EQ(info.ProcessorInfo().Family(), 6);
    EXPECT_TRUE(info.ProcessorInfo().MMX());
    EXPECT_EQ(info.ProcessorInfo().CPUName(), "");
}

TEST_F(SysInfoTest, Windows98WritesChangeThePCsSettings) {
    load("win98se-pc");
    TQuentaSysInfo info;
    // The keyboard state array: Num Lock starts on (the user's indicators).
    EXPECT_TRUE(info.NumLockState());
    EXPECT_FALSE(info.CapsLockState());
    info.SetCapsLockState(true);
    info.SetNumLockState(false);
    EXPECT_TRUE(info.CapsLockState());
    EXPECT_FALSE(info.NumLockState());
    info.SetKeyboardDelay(3);
    info.SetKeyboardSpeed(12);
    EXPECT_EQ(info.KeyboardDelay(), 3);
    EXPECT_EQ(info.KeyboardSpeed(), 12);
    info.SetWarningBeep(false);
    EXPECT_FALSE(info.WarningBeep());
    info.SetWindowAnimation(false);
    EXPECT_FALSE(info.WindowAnimation());
    info.SetLocaleShortDateFormat("dd.MM.yy");
    EXPECT_EQ(info.LocaleShortDateFormat(), "dd.MM.yy");
    // Only the NT family has the default-button snap.
    info.SetSnapToDefaultButton(true);
    EXPECT_FALSE(info.SnapToDefaultButton());
    // A fresh copy of the PC has its own settings again.
    load("win98se-pc");
    TQuentaSysInfo fresh;
    EXPECT_FALSE(fresh.CapsLockState());
    EXPECT_EQ(fresh.LocaleShortDateFormat(), "dd.MM.yyyy");
}

TEST_F(SysInfoTest, WindowsXP) {
    load("winxp-pc");
    TQuentaSysInfo info;
    EXPECT_EQ(info.VersionWIN(), "5.1");
    EXPECT_EQ(info.Platform(), "Windows NT");
    // No 16-bit heaps on NT: zero with the blank and the percent sign.
    EXPECT_EQ(info.FreeSysRes(), "0 %");
    EXPECT_EQ(info.FreeGdiRes(), "0 %");
    EXPECT_EQ(info.FreeUsrRes(), "0 %");
    // Font smoothing is on, and still reads false without the extension query.
    EXPECT_FALSE(info.PlusAvailable());
    EXPECT_FALSE(info.FontSmoothing());
    EXPECT_TRUE(info.SnapToDefaultButton());
    EXPECT_EQ(info.CurrentUser(), "Mette");
    EXPECT_EQ(info.Computername(), "STUE-PC");
    EXPECT_EQ(info.DefaultLanguageString(), "Dansk");
    EXPECT_EQ(info.TimeZone(), "Romance Standard Time");
    EXPECT_EQ(info.ScreenWidth(), 1280);
    EXPECT_EQ(info.ColorDepth(), 32);
    EXPECT_EQ(info.ScreenPPi(), 96);
    EXPECT_EQ(info.AllPrinters().CommaText(), "\"Canon iP4000\",\"Microsoft Office Document Image Writer\"");
    EXPECT_EQ(info.AllFonts()[0], "Arial");
    EXPECT_EQ(info.LocaleShortDateFormat(), "dd-MM-yyyy");
    EXPECT_EQ(info.LocaleNegativeCurrencyFormat(), "12");
    EXPECT_NE(info.RegisteredOwner(), "(Unknown)");
    EXPECT_EQ(info.ProcessorInfo().Family(), 15);

    // Lock keys are pressed and released on NT.
    bool caps = info.CapsLockState();
    info.SetCapsLockState(!caps);
    EXPECT_EQ(info.CapsLockState(), !caps);
    info.SetCapsLockState(!caps);   // already so: no key press
    EXPECT_EQ(info.CapsLockState(), !caps);
}

TEST_F(SysInfoTest, AGuestCannotOpenTheRegistrationWithFullAccess) {
    load("winxp-pc-guest");
    TQuentaSysInfo info;
    EXPECT_EQ(info.RegisteredOwner(), "(Unknown)");
    EXPECT_EQ(info.RegisteredCompany(), "(Unknown)");
    EXPECT_EQ(info.VersionWIN(), "5.1");
}

TEST_F(SysInfoTest, AnItemTheSystemDoesNotKnowReadsHallo) {
    load("win98se-pc");
    // A user locale whose national language tables are not installed.
    win32::HKEY key = nullptr;
    ASSERT_EQ(win32::RegOpenKeyExA(win32::HKEY_CURRENT_USER, "Control Panel\\International", 0, win32::KEY_ALL_ACCESS, &key),
              win32::ERROR_SUCCESS);
    const char locale[] = "00000C0A";
    win32::RegSetValueExA(key, "Locale", 0, win32::REG_SZ, reinterpret_cast<const win32::BYTE*>(locale), sizeof locale);
    win32::RegCloseKey(key);
    TQuentaSysInfo info;
    EXPECT_EQ(info.LocaleCalendarType(), "Hallo");
    EXPECT_EQ(info.LocaleNegativeNumberFormat(), "Hallo");
}

TEST_F(SysInfoTest, TheHostsSettingsAreReadAndNeverChanged) {
    fs::path root = fs::temp_directory_path() / "torvex-sysinfo-host";
    fs::remove_all(root);
    fs::create_directories(root / "etc");
    torvex::platform::SetActiveMachine(torvex::platform::CreateHostMachine(root));
    torvex::platform::routines::InitializeRoutines();
    TQuentaSysInfo info;
    // No display below this root: the screen reads zero.
    EXPECT_EQ(info.ScreenWidth(), 0);
    EXPECT_EQ(info.ColorDepth(), 0);
    bool num = info.NumLockState();
    info.SetNumLockState(!num);
    EXPECT_EQ(info.NumLockState(), num);
    int delay = info.KeyboardDelay();
    info.SetKeyboardDelay(delay == 3 ? 0 : 3);
    EXPECT_EQ(info.KeyboardDelay(), delay);
    std::string date = info.LocaleShortDateFormat();
    info.SetLocaleShortDateFormat("yy");
    EXPECT_EQ(info.LocaleShortDateFormat(), date);
    EXPECT_EQ(info.FreeSysRes(), "0 %");
    // Sorted, as the lister shows them; no server gives no printers at once.
    auto fonts = info.AllFonts();
    for (int i = 1; i < fonts.Count(); ++i) EXPECT_LE(torvex::classes::AnsiCompareText(fonts[i - 1], fonts[i]), 0);
    if (!fs::exists("/run/cups/cups.sock") && !std::getenv("CUPS_SERVER")) {
        EXPECT_EQ(info.AllPrinters().Count(), 0);
    }
    torvex::platform::SetDisplayFacts(torvex::platform::ScreenFacts{1920, 1080, 32, 1, 96});
    EXPECT_EQ(info.ScreenWidth(), 1920);
    EXPECT_EQ(info.ColorDepth(), 32);
    torvex::platform::SetDisplayFacts(std::nullopt);
    torvex::platform::SetActiveMachine(nullptr);
    fs::remove_all(root);
}

}  // namespace
