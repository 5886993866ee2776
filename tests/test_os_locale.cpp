// Locale: the items of the system default locale on the five locales of the
// editions' countries and US English, the user's changes, the negative
// currency patterns, and the host's C library data in Windows' form.
#include <gtest/gtest.h>

#include <cstdlib>

#include "FakeMachine.h"
#include "engine/Zarvo_OS.h"
#include "platform/Corvane_Routines.h"
#include "platform/host/HostLocale.h"

using namespace torvex::engine;
using torvex::TStringList;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::testing::FakeMachine;
namespace fs = std::filesystem;
namespace host = torvex::platform::host;

namespace {

class LocaleTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("torvex-os-locale-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        auto m = std::make_unique<FakeMachine>(folder);
        machine = m.get();
        machine->versionFacts = {5, 1, 2600, win32::VER_PLATFORM_WIN32_NT, "Service Pack 2", true, 2, 0, 256, 1};
        torvex::platform::SetActiveMachine(std::move(m));
        torvex::platform::routines::InitializeRoutines();
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        fs::remove_all(folder);
    }
    void systemLocale(const char* hex) {
        machine->registry().root(RegRoot::LocalMachine).ensure("SYSTEM\\CurrentControlSet\\Control\\Nls\\Locale")
            .setValue(RegValue::String("", hex));
    }
    std::string line(const TStringList& report, const std::string& key) {
        int i = report.IndexOfName(key);
        return i < 0 ? "<missing>" : report.ValueFromIndex(i);
    }

    fs::path folder;
    FakeMachine* machine = nullptr;
};

struct Expected {
    const char* lcid;
    const char* shortDate;
    const char* negative;
    const char* positive;
    const char* shortOrder;
    const char* decimal;
    const char* intl;
    const char* timeSpecifier;
    const char* measure;
    const char* language;
};

TEST_F(LocaleTest, TheFiveLocalesInTheirOwnForm) {
    const Expected expected[] = {
        {"00000414", "dd.MM.yyyy", "-$1.1", "Prefix_One_Char_Separation", "D-M-Y", ",", "NOK", "24H", "Metric", "Norwegian (Bokmal)"},
        {"00000406", "dd-MM-yyyy", "-$1.1", "Prefix_One_Char_Separation", "D-M-Y", ",", "DKK", "24H", "Metric", "Danish"},
        {"0000041D", "yyyy-MM-dd", "-1.1 $", "Suffix_One_Char_Separation", "Y-M-D", ",", "SEK", "24H", "Metric", "Swedish"},
        {"0000040B", "d.M.yyyy", "-1.1 $", "Suffix_One_Char_Separation", "D-M-Y", ",", "EUR", "24H", "Metric", "Finnish"},
        {"00000409", "M/d/yyyy", "($1.1)", "Prefix_No_Separation", "M-D-Y", ".", "USD", "12H", "U.S.", "English"},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.lcid);
        systemLocale(e.lcid);
        TLocaleInfo locale;
        locale.GetInfo(win32::LOCALE_SYSTEM_DEFAULT);
        TStringList report;
        locale.Report(report);
        EXPECT_EQ(report[0], "[Locale]");
        EXPECT_EQ(report.Count(), 25);
        EXPECT_EQ(line(report, "ShortDateFormat"), e.shortDate);
        EXPECT_EQ(line(report, "NegativeCurrencyMode"), e.negative);
        EXPECT_EQ(line(report, "PositiveCurrencyMode"), e.positive);
        EXPECT_EQ(line(report, "ShortDateOrder"), e.shortOrder);
        EXPECT_EQ(line(report, "DecimalSeparator"), e.decimal);
        EXPECT_EQ(line(report, "IntlMonetarySymbol"), e.intl);
        EXPECT_EQ(line(report, "TimeFormatSpecifier"), e.timeSpecifier);
        EXPECT_EQ(line(report, "MeasurementSystem"), e.measure);
        EXPECT_EQ(line(report, "FullEnglishLanguageName"), e.language);
        EXPECT_EQ(line(report, "YearFormat"), "Four Digit");
    }
    // Norway and Finland group thousands with a no-break space.
    systemLocale("00000414");
    TLocaleInfo nb;
    nb.GetInfo(win32::LOCALE_SYSTEM_DEFAULT);
    EXPECT_EQ(nb.CurrencyThousandSeparator(), "\u00A0");
    EXPECT_EQ(nb.FullLocalizeLanguage(), "Norsk (bokmål)");
    EXPECT_EQ(nb.AbbreviateCountryCode(), "NOR");
    EXPECT_EQ(nb.CountryCode(), "47");
    EXPECT_EQ(nb.TimeFormat(), "HH:mm:ss");
    EXPECT_EQ(nb.TimeSeparator(), ":");
}

TEST_F(LocaleTest, TheLocaleSectionsKeysInTheirOrder) {
    systemLocale("00000414");
    TLocaleInfo locale;
    locale.GetInfo(win32::LOCALE_SYSTEM_DEFAULT);
    TStringList report;
    locale.Report(report);
    std::vector<std::string> keys;
    for (int i = 1; i < report.Count(); ++i) keys.push_back(report[i].substr(0, report[i].find('=')));
    EXPECT_EQ(report[0], "[Locale]");
    EXPECT_EQ(keys, (std::vector<std::string>{
                        "AbbreviateCountryCode", "AbbreviateLanguageCode", "CountryCode", "CurrencyDecimalDigits",
                        "FullCountryCode", "FullEnglishLanguageName", "FullLocalizeLanguageName",
                        "IntlMonetarySymbol", "LocalMonetarySymbol", "PositiveCurrencyMode",
                        "NegativeCurrencyMode", "CurrencyDecimalSeparator", "CurrencyThousandSeparator",
                        "DecimalSeparator", "NumberOfDecimalDigits", "ListSeparator", "DateSeparator",
                        "LongDateOrder", "ShortDateOrder", "ShortDateFormat", "TimeFormat",
                        "TimeFormatSpecifier", "YearFormat", "MeasurementSystem"}));
    // Each key is followed directly by its value.
    EXPECT_EQ(report[1], "AbbreviateCountryCode=NOR");
    EXPECT_EQ(report[3], "CountryCode=47");
}

TEST_F(LocaleTest, TheUsersChangesApplyToTheUsersLocaleOnly) {
    systemLocale("00000414");
    auto& intl = machine->registry().root(RegRoot::CurrentUser).ensure("Control Panel\\International");
    intl.setValue(RegValue::String("Locale", "00000414"));
    intl.setValue(RegValue::String("sShortDate", "dd.MM.yy"));
    intl.setValue(RegValue::String("iNegCurr", "9"));
    TLocaleInfo locale;
    locale.GetInfo(win32::LOCALE_SYSTEM_DEFAULT);
    EXPECT_EQ(locale.ShortDateFormat(), "dd.MM.yy");
    EXPECT_EQ(locale.NegativeCurrencyMode(), "-$ 1.1");
    // The century follows the user's picture; the day and month keep their
    // leading zeros.
    EXPECT_EQ(locale.YearFormat(), TwoDigit);
    char buffer[32];
    EXPECT_GT(win32::GetLocaleInfoA(0x0414, win32::LOCALE_ICENTURY | win32::LOCALE_NOUSEROVERRIDE, buffer, 32), 0);
    EXPECT_STREQ(buffer, "1");
    EXPECT_GT(win32::GetLocaleInfoA(0x0414, win32::LOCALE_IDAYLZERO, buffer, 32), 0);
    EXPECT_STREQ(buffer, "1");
    intl.setValue(RegValue::String("sShortDate", "d.M.yy"));
    EXPECT_GT(win32::GetLocaleInfoA(0x0414, win32::LOCALE_IMONLZERO, buffer, 32), 0);
    EXPECT_STREQ(buffer, "0");
    intl.setValue(RegValue::String("sShortDate", "dd.MM.yy"));
    EXPECT_GT(win32::GetLocaleInfoA(0x0414, win32::LOCALE_SSHORTDATE | win32::LOCALE_NOUSEROVERRIDE, buffer, 32), 0);
    EXPECT_STREQ(buffer, "dd.MM.yyyy");
    // Another locale keeps its own items.
    locale.GetInfo(0x041D);
    EXPECT_EQ(locale.ShortDateFormat(), "yyyy-MM-dd");
    // Buffer rules: the size asked for, and a buffer too small.
    EXPECT_EQ(win32::GetLocaleInfoA(0x041D, win32::LOCALE_SSHORTDATE, nullptr, 0), 11);
    EXPECT_EQ(win32::GetLocaleInfoA(0x041D, win32::LOCALE_SSHORTDATE, buffer, 5), 0);
    EXPECT_EQ(win32::GetLastError(), static_cast<win32::DWORD>(win32::ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(win32::GetLocaleInfoA(0x0C0A, win32::LOCALE_SSHORTDATE, buffer, 32), 0);
}

TEST_F(LocaleTest, AnEnumeratedItemThatIsNotADigitFailsItsStepOnly) {
    systemLocale("00000406");
    auto& intl = machine->registry().root(RegRoot::CurrentUser).ensure("Control Panel\\International");
    intl.setValue(RegValue::String("Locale", "00000406"));
    intl.setValue(RegValue::String("iMeasure", "x"));
    TLocaleInfo locale;
    EXPECT_THROW(locale.GetInfo(win32::LOCALE_SYSTEM_DEFAULT), torvex::EConvertError);
    intl.setValue(RegValue::String("iMeasure", "7"));   // beyond Metric and US
    EXPECT_THROW(locale.GetInfo(win32::LOCALE_SYSTEM_DEFAULT), torvex::EConvertError);

    // Inside the operating-system object the locale step fails alone.
    TOperatingSystem os;
    os.SetExceptionMode(emSilent);
    os.GetInfo();
    EXPECT_EQ(os.LanguageID(), "$0406");
    EXPECT_EQ(os.Version(), "");
    EXPECT_EQ(os.MajorVersion(), 5);
}

// ---------------------------------------------------------------- the host

host::LibcLocaleData Norwegian() {
    host::LibcLocaleData d;
    d.decimalPoint = ",";
    d.thousandsSep = "\u202F";
    d.grouping = "\x03\x03";
    d.currencySymbol = "kr";
    d.intCurrSymbol = "NOK ";
    d.monDecimalPoint = ",";
    d.monThousandsSep = "\u202F";
    d.monGrouping = "\x03\x03";
    d.fracDigits = 2;
    d.pCsPrecedes = 1;
    d.pSepBySpace = 1;
    d.nCsPrecedes = 1;
    d.nSepBySpace = 1;
    d.nSignPosn = 4;
    d.negativeSign = "-";
    d.dateFormat = "%d. %b %Y";
    d.timeFormat = "%H:%M:%S";
    d.timeFormatAmPm = "";
    d.dateTimeFormat = "%a %d. %b %Y kl. %H.%M %z";
    d.firstWeekday = 2;
    d.firstWeekDays = 4;
    d.measurement = 1;
    d.languageName = "norsk bokmål";
    d.countryName = "Norge";
    d.telephonePrefix = "47";
    return d;
}

TEST(HostLocaleItems, TheCLibrarysDataInWindowsForm) {
    auto nb = host::LcidOfLocaleName("nb_NO.UTF-8");
    ASSERT_TRUE(nb);
    EXPECT_EQ(nb->lcid, 0x0414u);
    EXPECT_EQ(host::LcidOfLocaleName("no_NO")->lcid, 0x0414u);
    EXPECT_EQ(host::LcidOfLocaleName("sv_FI.UTF-8@euro")->lcid, 0x081Du);
    EXPECT_EQ(host::LcidOfLocaleName("C.UTF-8")->lcid, 0x007Fu);
    EXPECT_EQ(host::LcidOfLocaleName("POSIX")->lcid, 0x007Fu);
    EXPECT_FALSE(host::LcidOfLocaleName("xx_YY.UTF-8"));

    auto items = host::WindowsLocaleItems(Norwegian(), *nb);
    EXPECT_EQ(items[0x1F], "dd. MMM yyyy");
    EXPECT_EQ(items[0x1D], ". ");
    EXPECT_EQ(items[0x21], "1");
    EXPECT_EQ(items[0x1003], "HH:mm:ss");
    EXPECT_EQ(items[0x23], "1");
    EXPECT_EQ(items[0x1B], "2");    // kr 1,00
    EXPECT_EQ(items[0x1C], "12");   // kr -1,00
    EXPECT_EQ(items[0x10], "3;0");
    EXPECT_EQ(items[0x15], "NOK");
    EXPECT_EQ(items[0x0C], ";");
    EXPECT_EQ(items[0x100C], "0");   // Monday
    EXPECT_EQ(items[0x100D], "2");   // the first four-day week
    EXPECT_EQ(items[0x03], "NOR");
    EXPECT_EQ(items[0x1001], "Norwegian (Bokmal)");
    EXPECT_EQ(items[0x02], "norsk bokmål");
    EXPECT_EQ(items[0x01], "0414");

    // US English: the twelve-hour clock, the month first, the pattern "-$1.1".
    host::LibcLocaleData us;
    us.decimalPoint = ".";
    us.thousandsSep = ",";
    us.grouping = "\x03\x03";
    us.currencySymbol = "$";
    us.intCurrSymbol = "USD ";
    us.fracDigits = 2;
    us.pCsPrecedes = 1;
    us.pSepBySpace = 0;
    us.nCsPrecedes = 1;
    us.nSepBySpace = 0;
    us.nSignPosn = 1;
    us.dateFormat = "%m/%d/%Y";
    us.timeFormat = "%r";
    us.timeFormatAmPm = "%I:%M:%S %p";
    us.am = "AM";
    us.pm = "PM";
    us.measurement = 2;
    auto enUS = host::WindowsLocaleItems(us, *host::LcidOfLocaleName("en_US.UTF-8"));
    EXPECT_EQ(enUS[0x1F], "MM/dd/yyyy");
    EXPECT_EQ(enUS[0x1003], "hh:mm:ss tt");
    EXPECT_EQ(enUS[0x23], "0");
    EXPECT_EQ(enUS[0x21], "0");
    EXPECT_EQ(enUS[0x1B], "0");
    EXPECT_EQ(enUS[0x1C], "1");
    EXPECT_EQ(enUS[0x0D], "1");
    EXPECT_EQ(enUS[0x100C], "6");   // Sunday
    // The C locale: "%a %b %e ..." has the month before the day; the weekday
    // name is no day.
    host::LibcLocaleData c;
    c.dateFormat = "%m/%d/%y";
    c.dateTimeFormat = "%a %b %e %H:%M:%S %Y";
    c.timeFormat = "%H:%M:%S";
    auto invariant = host::WindowsLocaleItems(c, *host::LcidOfLocaleName("C"));
    EXPECT_EQ(invariant[0x20], "ddd MMM d yyyy");
    EXPECT_EQ(invariant[0x22], "0");
    EXPECT_EQ(invariant[0x1F], "MM/dd/yy");
    EXPECT_EQ(invariant[0x24], "0");

    // Letters between the fields are quoted; time fields leave the long date.
    // As Windows writes it: "d' de 'MMMM' de 'yyyy".
    EXPECT_EQ(host::WindowsDatePicture("%e de %B de %Y"), "d' de 'MMMM' de 'yyyy");
    EXPECT_EQ(host::WindowsDatePicture("%A %e %B %Y %H:%M:%S", true), "dddd d MMMM yyyy");
    EXPECT_EQ(host::WindowsDatePicture("%F"), "yyyy-MM-dd");
}

TEST(HostLocaleItems, ALocaleThatIsNotInstalledIsNotTheOneInUse) {
    // The C library then works in "C"; naming the locale all the same would
    // pair a German locale id with the C library's English items.
    const char* saved = std::getenv("LC_ALL");
    std::string keep = saved ? saved : "";
    ::setenv("LC_ALL", "xx_YY.UTF-8", 1);
    EXPECT_EQ(host::ProcessLocaleName(), "C");
    ::setenv("LC_ALL", "C.UTF-8", 1);
    EXPECT_EQ(host::ProcessLocaleName(), "C.UTF-8");
    if (saved)
        ::setenv("LC_ALL", keep.c_str(), 1);
    else
        ::unsetenv("LC_ALL");
}

}  // namespace
