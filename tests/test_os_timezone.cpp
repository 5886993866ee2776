// Time zone: the current rules, their display name from the registry's zone
// list, the transition instants of the current year, and the host's zone
// from its POSIX rule string.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "FakeMachine.h"
#include "engine/Zarvo_OS.h"
#include "platform/Corvane_Routines.h"
#include "platform/host/HostTimeZone.h"

using namespace torvex::engine;
using torvex::TStringList;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::testing::FakeMachine;
namespace fs = std::filesystem;
namespace host = torvex::platform::host;

namespace {

// A PC whose clock stands in a chosen year.
class ClockMachine : public FakeMachine {
public:
    using FakeMachine::FakeMachine;
    int year = 2023;
    torvex::platform::LocalTime localTime() override { return {year, 6, 4, 15, 12, 0, 0, 0}; }
};

std::vector<std::uint8_t> Record(int year, int month, int dayOfWeek, int day, int hour) {
    std::vector<std::uint8_t> b;
    for (int v : {year, month, dayOfWeek, day, hour, 0, 0, 0}) {
        b.push_back(std::uint8_t(v & 0xFF));
        b.push_back(std::uint8_t(v >> 8));
    }
    return b;
}

class TimeZoneTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("torvex-os-tz-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        auto m = std::make_unique<ClockMachine>(folder);
        machine = m.get();
        machine->versionFacts = {5, 1, 2600, win32::VER_PLATFORM_WIN32_NT, "Service Pack 2", true, 2, 0, 256, 1};
        torvex::platform::SetActiveMachine(std::move(m));
        torvex::platform::routines::InitializeRoutines();
    }
    void TearDown() override {
        torvex::platform::SetActiveMachine(nullptr);
        fs::remove_all(folder);
    }
    // The current rules where Windows keeps them, and optionally a matching
    // entry in the zone list.
    void currentRules(std::vector<std::uint8_t> standard, std::vector<std::uint8_t> daylight) {
        auto& key = machine->registry().root(RegRoot::LocalMachine).ensure(
            "SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation");
        key.setValue(RegValue::Dword("Bias", 0xFFFFFFC4u));
        key.setValue(RegValue::Dword("StandardBias", 0));
        key.setValue(RegValue::Dword("DaylightBias", 0xFFFFFFC4u));
        key.setValue(RegValue::String("StandardName", "Romance Standard Time"));
        key.setValue(RegValue::String("DaylightName", "Romance Daylight Time"));
        key.setValue(RegValue::Binary("StandardStart", standard));
        key.setValue(RegValue::Binary("DaylightStart", daylight));
    }
    void listedZone(const std::string& name, const std::string& display, const std::string& std,
                    const std::vector<std::uint8_t>& standard, const std::vector<std::uint8_t>& daylight,
                    std::size_t tziSize = 44) {
        auto& key = machine->registry().root(RegRoot::LocalMachine).ensure(
            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones\\" + name);
        key.setValue(RegValue::String("Display", display));
        key.setValue(RegValue::String("Std", std));
        key.setValue(RegValue::String("Dlt", "Romance Daylight Time"));
        std::vector<std::uint8_t> tzi = {0xC4, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0xC4, 0xFF, 0xFF, 0xFF};
        tzi.insert(tzi.end(), standard.begin(), standard.end());
        tzi.insert(tzi.end(), daylight.begin(), daylight.end());
        tzi.resize(tziSize);
        key.setValue(RegValue::Binary("TZI", tzi));
    }

    fs::path folder;
    ClockMachine* machine = nullptr;
};

TEST_F(TimeZoneTest, LastSundayOfMarchInAYearWithFourSundaysInMarch) {
    // March 2023 begins on a Wednesday: its Sundays are the 5th, 12th, 19th
    // and 26th, so "the fifth Sunday" is the 26th.
    currentRules(Record(0, 10, 0, 5, 3), Record(0, 3, 0, 5, 2));
    TTimeZone zone;
    zone.GetInfo();
    EXPECT_DOUBLE_EQ(zone.DaylightStart(), EncodeDateTime(2023, 3, 26, 2, 0, 0, 0));
    EXPECT_DOUBLE_EQ(zone.StandardStart(), EncodeDateTime(2023, 10, 29, 3, 0, 0, 0));
    EXPECT_EQ(zone.Bias(), -60);
    EXPECT_EQ(zone.StandardBias(), -60);
    EXPECT_EQ(zone.DaylightBias(), -120);
    EXPECT_EQ(zone.StandardName(), "Romance Standard Time");

    // March 2026 has five Sundays; the last is the 29th.
    machine->year = 2026;
    zone.GetInfo();
    EXPECT_DOUBLE_EQ(zone.DaylightStart(), EncodeDateTime(2026, 3, 29, 2, 0, 0, 0));
    // The first Sunday of a month and an absolute date are taken as written.
    win32::SYSTEMTIME first{0, 4, 0, 1, 2, 0, 0, 0};
    EXPECT_DOUBLE_EQ(TransitionInstant(first, 2026), EncodeDateTime(2026, 4, 5, 2, 0, 0, 0));
    win32::SYSTEMTIME absolute{2007, 3, 0, 11, 2, 0, 0, 0};
    EXPECT_DOUBLE_EQ(TransitionInstant(absolute, 2026), EncodeDateTime(2007, 3, 11, 2, 0, 0, 0));
}

TEST_F(TimeZoneTest, TheDisplayNameIsThatOfTheListedZoneWithEqualRulesAndNames) {
    currentRules(Record(0, 10, 0, 5, 3), Record(0, 3, 0, 5, 2));
    // A zone with other rules, one whose TZI has the wrong length and one
    // with another standard name do not match.
    listedZone("Other Standard Time", "(GMT+01:00) Other rules", "Romance Standard Time", Record(0, 10, 0, 4, 3),
               Record(0, 3, 0, 5, 2));
    listedZone("Short Standard Time", "(GMT+01:00) Short", "Romance Standard Time", Record(0, 10, 0, 5, 3),
               Record(0, 3, 0, 5, 2), 40);
    listedZone("Named Standard Time", "(GMT+01:00) Named", "Another Standard Time", Record(0, 10, 0, 5, 3),
               Record(0, 3, 0, 5, 2));
    TTimeZone zone;
    zone.GetInfo();
    EXPECT_EQ(zone.DisplayName(), "");
    listedZone("Romance Standard Time", "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris", "Romance Standard Time",
               Record(0, 10, 0, 5, 3), Record(0, 3, 0, 5, 2));
    zone.GetInfo();
    EXPECT_EQ(zone.DisplayName(), "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris");
}

TEST_F(TimeZoneTest, NamesAreComparedByCharactersNotBytes) {
    // 31 letters, 34 bytes in UTF-8: cut after 32 bytes the name would end
    // inside "ö" and match nothing.
    const std::string name = "V\u00e4steuropeisk sommartid, \u00c4lvsj\u00f6";
    currentRules(Record(0, 10, 0, 5, 3), Record(0, 3, 0, 5, 2));
    machine->registry().root(RegRoot::LocalMachine).find("SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation")
        ->setValue(RegValue::String("StandardName", name));
    listedZone("W. Europe Standard Time", "(GMT+01:00) Stockholm", name, Record(0, 10, 0, 5, 3),
               Record(0, 3, 0, 5, 2));
    TTimeZone zone;
    zone.GetInfo();
    EXPECT_EQ(zone.StandardName(), name);
    EXPECT_EQ(zone.DisplayName(), "(GMT+01:00) Stockholm");
}

TEST_F(TimeZoneTest, AZoneWithoutDaylightRulesReportsTheZeroDateTime) {
    currentRules(Record(0, 0, 0, 0, 0), Record(0, 0, 0, 0, 0));
    TTimeZone zone;
    zone.GetInfo();
    EXPECT_EQ(zone.DaylightStart(), 0);
    EXPECT_EQ(zone.StandardStart(), 0);
    EXPECT_EQ(zone.StandardBias(), 0);
    EXPECT_EQ(zone.Bias(), -60);
    TStringList report;
    zone.Report(report);
    // The user's short date of US English, the locale of a PC without one.
    ASSERT_EQ(report.Count(), 6);
    EXPECT_EQ(report[0], "[Time Zone]");
    EXPECT_EQ(report[1], "TimeZone=");
    EXPECT_EQ(report[2], "StdName=12/30/1899");
    EXPECT_EQ(report[3], "StdBias=0");
    EXPECT_EQ(report[4], "DlghtName=12/30/1899");
}

TEST_F(TimeZoneTest, TransitionTextsUseTheUsersShortDateAndLongTime) {
    currentRules(Record(0, 10, 0, 5, 3), Record(0, 3, 0, 5, 2));
    auto& intl = machine->registry().root(RegRoot::CurrentUser).ensure("Control Panel\\International");
    intl.setValue(RegValue::String("Locale", "00000414"));
    TTimeZone zone;
    zone.GetInfo();
    TStringList report;
    zone.Report(report);
    EXPECT_EQ(report[2], "StdName=29.10.2023 03:00:00");
    EXPECT_EQ(report[3], "StdBias=-60");
    EXPECT_EQ(report[4], "DlghtName=26.03.2023 02:00:00");
    EXPECT_EQ(report[5], "DlghtBias=-120");
    EXPECT_EQ(FormatDateTimePicture("h:mm:ss tt", EncodeDateTime(2023, 3, 26, 14, 5, 9, 0)), "2:05:09 ");
}

// ---------------------------------------------------------------- the host's zone

TEST(HostTimeZoneRules, PosixRuleStringsMapOntoWindowsRecords) {
    auto cet = host::ParsePosixTz("CET-1CEST,M3.5.0,M10.5.0/3", 2026);
    ASSERT_TRUE(cet);
    EXPECT_EQ(cet->bias, -60);
    EXPECT_EQ(cet->standardBias, 0);
    EXPECT_EQ(cet->daylightBias, -60);
    EXPECT_EQ(cet->standardName, "CET");
    EXPECT_EQ(cet->daylightName, "CEST");
    EXPECT_EQ(cet->daylightDate, (torvex::platform::TimeZoneTransition{0, 3, 0, 5, 2, 0, 0, 0}));
    EXPECT_EQ(cet->standardDate, (torvex::platform::TimeZoneTransition{0, 10, 0, 5, 3, 0, 0, 0}));

    // Without rules POSIX's default ones apply; an explicit daylight offset.
    auto est = host::ParsePosixTz("EST5EDT", 2026);
    ASSERT_TRUE(est);
    EXPECT_EQ(est->bias, 300);
    EXPECT_EQ(est->daylightDate, (torvex::platform::TimeZoneTransition{0, 3, 0, 2, 2, 0, 0, 0}));
    EXPECT_EQ(est->standardDate, (torvex::platform::TimeZoneTransition{0, 11, 0, 1, 2, 0, 0, 0}));
    auto lhi = host::ParsePosixTz("<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", 2026);
    ASSERT_TRUE(lhi);
    EXPECT_EQ(lhi->bias, -630);
    EXPECT_EQ(lhi->daylightBias, -30);
    EXPECT_EQ(lhi->standardName, "+1030");

    // No daylight time: both records stay empty.
    auto utc = host::ParsePosixTz("UTC0", 2026);
    ASSERT_TRUE(utc);
    EXPECT_EQ(utc->bias, 0);
    EXPECT_EQ(utc->daylightDate.month, 0);
    EXPECT_EQ(utc->standardDate.month, 0);

    // Julian days become dates of the year; "J60" is 1 March also in leap years.
    auto julian = host::ParsePosixTz("AAA3BBB,J60/1,300", 2024);
    ASSERT_TRUE(julian);
    EXPECT_EQ(julian->daylightDate, (torvex::platform::TimeZoneTransition{2024, 3, 0, 1, 1, 0, 0, 0}));
    EXPECT_EQ(julian->standardDate, (torvex::platform::TimeZoneTransition{2024, 10, 0, 27, 2, 0, 0, 0}));

    for (const char* bad : {"", "1CET", "CET", "CET-1CEST,M13.1.0,M10.5.0", "CET-1CEST,M3.5.0", "CET-1CEST,M3.5.0,M10.5.0x"})
        EXPECT_FALSE(host::ParsePosixTz(bad, 2026)) << bad;
}

// A TZif version 2 file: an empty version 1 block, a version 2 block with
// one type and the footer.
std::string Tzif(const std::string& footer, char version = '2') {
    auto header = [&] {
        std::string h = "TZif";
        h += version;
        h += std::string(15, '\0');
        const std::uint32_t counts[6] = {0, 0, 0, 0, 1, 4};   // isut isstd leap time type char
        for (std::uint32_t c : counts)
            for (int i = 3; i >= 0; --i) h += char((c >> (8 * i)) & 0xFF);
        return h;
    };
    std::string data = std::string("\x00\x00\x0e\x10\x00\x00", 6) + std::string("CET\0", 4);
    return header() + data + header() + data + "\n" + footer + "\n";
}

TEST(HostTimeZoneRules, TheRuleStringIsTheFooterOfAVersion2ZoneFile) {
    EXPECT_EQ(host::TzifFooter(Tzif("CET-1CEST,M3.5.0,M10.5.0/3")), "CET-1CEST,M3.5.0,M10.5.0/3");
    EXPECT_FALSE(host::TzifFooter(Tzif("CET-1", '\0')));
    std::string cut = Tzif("CET-1");
    EXPECT_FALSE(host::TzifFooter(cut.substr(0, cut.size() - 10)));
    EXPECT_FALSE(host::TzifFooter("not a zone file"));
    if (fs::exists("/usr/share/zoneinfo/Europe/Oslo")) {
        std::ifstream in("/usr/share/zoneinfo/Europe/Oslo", std::ios::binary);
        std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(host::TzifFooter(bytes), "CET-1CEST,M3.5.0,M10.5.0/3");
    }
}

TEST(HostTimeZoneRules, TheHostZoneIsListedSoThatItsDisplayNameIsFound) {
    fs::path root = fs::temp_directory_path() / "torvex-os-tz-host";
    fs::remove_all(root);
    fs::create_directories(root / "etc");
    fs::create_directories(root / "usr/share/zoneinfo/Europe");
    std::ofstream(root / "usr/share/zoneinfo/Europe/Oslo", std::ios::binary) << Tzif("CET-1CEST,M3.5.0,M10.5.0/3");
    fs::create_symlink("../usr/share/zoneinfo/Europe/Oslo", root / "etc/localtime");

    host::HostTimeZone zone = host::LoadHostTimeZone(root, nullptr, 2026);
    EXPECT_EQ(zone.keyName, "W. Europe Standard Time");
    EXPECT_EQ(zone.rules.standardName, "W. Europe Standard Time");
    EXPECT_EQ(host::TziBytes(zone.rules).size(), 44u);

    torvex::platform::SetActiveMachine(torvex::platform::CreateHostMachine(root));
    torvex::platform::routines::InitializeRoutines();
    TTimeZone tz;
    tz.GetInfo();
    EXPECT_EQ(tz.DisplayName(), "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna");
    EXPECT_EQ(tz.Bias(), -60);
    EXPECT_EQ(tz.DaylightBias(), -120);
    EXPECT_NE(tz.DaylightStart(), 0);

    // A zone without a Windows name keeps its own; no readable zone is UTC.
    EXPECT_EQ(host::NameHostTimeZone("America/Godthab", *host::ParsePosixTz("<-02>2<-01>,M3.5.0/-1,M10.5.0/0", 2026)).display,
              "(GMT-02:00) America/Godthab");
    fs::remove(root / "etc/localtime");
    EXPECT_EQ(host::LoadHostTimeZone(root, nullptr, 2026).keyName, "UTC");
    EXPECT_EQ(host::LoadHostTimeZone(root, "EST5EDT", 2026).rules.bias, 300);
    torvex::platform::SetActiveMachine(nullptr);
    fs::remove_all(root);
}

}  // namespace
