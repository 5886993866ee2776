// The host's zone in Windows' shape must give the clock changes the system's
// own time zone database gives: zones whose "daylight" time lies behind
// standard time, and transition hours outside the day.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/host/HostTimeZone.h"

namespace fs = std::filesystem;
namespace host = torvex::platform::host;
using torvex::platform::TimeZoneTransition;

namespace {

// The UTC second at which a Windows transition happens in `year`; its time
// is in the local time it leaves, `offsetBefore` minutes east of UTC.
std::time_t Instant(const TimeZoneTransition& t, int year, int offsetBefore) {
    using namespace std::chrono;
    sys_days day;
    if (t.year != 0) {
        day = sys_days{std::chrono::year(t.year) / t.month / t.day};
    } else if (t.day == 5) {
        day = sys_days{std::chrono::year(year) / t.month / weekday_last{weekday(unsigned(t.dayOfWeek))}};
    } else {
        day = sys_days{std::chrono::year(year) / t.month / weekday(unsigned(t.dayOfWeek))[unsigned(t.day)]};
    }
    auto local = day.time_since_epoch() + hours(t.hour) + minutes(t.minute) + seconds(t.second);
    return std::time_t(duration_cast<seconds>(local).count()) - offsetBefore * 60;
}

// Minutes east of UTC at a moment, as the system's database gives them.
long SystemOffset(std::time_t at) {
    std::tm tm{};
    ::localtime_r(&at, &tm);
    return tm.tm_gmtoff / 60;
}

class SystemZone {
public:
    explicit SystemZone(const char* zone) {
        if (const char* tz = std::getenv("TZ")) saved_ = tz, had_ = true;
        ::setenv("TZ", zone, 1);
        ::tzset();
    }
    ~SystemZone() {
        if (had_)
            ::setenv("TZ", saved_.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::string saved_;
    bool had_ = false;
};

}  // namespace

TEST(HostTimeZoneTruth, DaylightBehindStandardIsSwappedIntoWindowsShape) {
    auto dublin = host::ParsePosixTz("IST-1GMT0,M10.5.0,M3.5.0/1", 2026);
    ASSERT_TRUE(dublin);
    EXPECT_EQ(dublin->bias, 0);
    EXPECT_EQ(dublin->standardBias, 0);
    EXPECT_EQ(dublin->daylightBias, -60);
    EXPECT_EQ(dublin->standardName, "GMT");
    EXPECT_EQ(dublin->daylightName, "IST");
    // Standard (GMT) from the last Sunday of October at 02:00 IST, daylight
    // (IST) from the last Sunday of March at 01:00 GMT.
    EXPECT_EQ(dublin->standardDate, (TimeZoneTransition{0, 10, 0, 5, 2, 0, 0, 0}));
    EXPECT_EQ(dublin->daylightDate, (TimeZoneTransition{0, 3, 0, 5, 1, 0, 0, 0}));
    auto named = host::NameHostTimeZone("Europe/Dublin", *dublin);
    EXPECT_EQ(named.keyName, "GMT Standard Time");
    EXPECT_EQ(named.rules.bias, 0);
}

TEST(HostTimeZoneTruth, HoursOutsideTheDayBecomeTheDateTheyReach) {
    // The fourth Thursday of March 2026 is the 26th: 26 hours later is
    // Friday the 27th at 02:00.
    auto jerusalem = host::ParsePosixTz("IST-2IDT,M3.4.4/26,M10.5.0", 2026);
    ASSERT_TRUE(jerusalem);
    EXPECT_EQ(jerusalem->daylightDate, (TimeZoneTransition{2026, 3, 0, 27, 2, 0, 0, 0}));
    EXPECT_EQ(jerusalem->standardDate, (TimeZoneTransition{0, 10, 0, 5, 2, 0, 0, 0}));
    // One hour before the last Sunday of March (29th): Saturday 23:00.
    auto nuuk = host::ParsePosixTz("<-02>2<-01>,M3.5.0/-1,M10.5.0/0", 2026);
    ASSERT_TRUE(nuuk);
    EXPECT_EQ(nuuk->daylightDate, (TimeZoneTransition{2026, 3, 0, 28, 23, 0, 0, 0}));
    EXPECT_EQ(nuuk->standardDate, (TimeZoneTransition{0, 10, 0, 5, 0, 0, 0, 0}));
    // The end of the first Saturday of September 2026 (5th): Sunday the 6th.
    auto santiago = host::ParsePosixTz("<-04>4<-03>,M9.1.6/24,M4.1.6/24", 2026);
    ASSERT_TRUE(santiago);
    EXPECT_EQ(santiago->daylightDate, (TimeZoneTransition{2026, 9, 0, 6, 0, 0, 0, 0}));
    EXPECT_EQ(santiago->standardDate, (TimeZoneTransition{2026, 4, 0, 5, 0, 0, 0, 0}));
    // Across the year's end, and the largest hours POSIX allows.
    auto late = host::ParsePosixTz("AAA0BBB,J1/-1,J365/167", 2026);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->daylightDate, (TimeZoneTransition{2025, 12, 0, 31, 23, 0, 0, 0}));
    EXPECT_EQ(late->standardDate, (TimeZoneTransition{2027, 1, 0, 6, 23, 0, 0, 0}));
    EXPECT_FALSE(host::ParsePosixTz("AAA0BBB,J1/168,J365", 2026));
}

TEST(HostTimeZoneTruth, ADozenZonesChangeWhenTheSystemsDatabaseSays) {
    const char* zones[] = {"Europe/Dublin",  "Asia/Jerusalem",     "America/Nuuk",     "America/Santiago",
                           "Europe/Oslo",    "America/New_York",   "Australia/Sydney", "Pacific/Auckland",
                           "Australia/Lord_Howe", "America/Havana", "Europe/London",   "Pacific/Chatham",
                           "Africa/Cairo",   "America/Scoresbysund"};
    int checked = 0;
    for (const char* zone : zones) {
        fs::path file = fs::path("/usr/share/zoneinfo") / zone;
        std::ifstream in(file, std::ios::binary);
        if (!in) continue;
        std::string bytes{std::istreambuf_iterator<char>(in), {}};
        auto footer = host::TzifFooter(bytes);
        ASSERT_TRUE(footer) << zone;
        for (int year : {2026, 2027}) {
            auto rules = host::ParsePosixTz(*footer, year);
            ASSERT_TRUE(rules) << zone << ": " << *footer;
            ASSERT_NE(rules->daylightDate.month, 0) << zone;
            const long standard = -rules->bias, daylight = -(rules->bias + rules->daylightBias);
            EXPECT_LT(rules->daylightBias, 0) << zone;
            SystemZone tz(zone);
            std::time_t toDaylight = Instant(rules->daylightDate, year, int(standard));
            std::time_t toStandard = Instant(rules->standardDate, year, int(daylight));
            EXPECT_EQ(SystemOffset(toDaylight - 1), standard) << zone << ' ' << year << " before daylight";
            EXPECT_EQ(SystemOffset(toDaylight), daylight) << zone << ' ' << year << " at daylight";
            EXPECT_EQ(SystemOffset(toStandard - 1), daylight) << zone << ' ' << year << " before standard";
            EXPECT_EQ(SystemOffset(toStandard), standard) << zone << ' ' << year << " at standard";
        }
        ++checked;
    }
    if (checked == 0) GTEST_SKIP() << "no time zone database at /usr/share/zoneinfo";
    EXPECT_GE(checked, 12);
}
