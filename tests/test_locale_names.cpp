// Dates name their days and months in the locale's language, and the
// 12-hour clock reads as a person reads it.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "engine/Zarvo_OS.h"
#include "platform/host/HostLocale.h"
#include "platform/machine/Machine.h"

namespace fs = std::filesystem;
namespace host = torvex::platform::host;
using namespace torvex::engine;

namespace {

class SavedVariable {
public:
    explicit SavedVariable(const char* name) : name_(name) {
        if (const char* v = std::getenv(name)) value_ = v;
    }
    ~SavedVariable() {
        if (value_)
            ::setenv(name_, value_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> value_;
};

}  // namespace

TEST(LocaleNames, TheHostsNamesBecomeWindowsDayAndMonthItems) {
    host::LibcLocaleData d;
    const char* days[] = {"søndag", "mandag", "tirsdag", "onsdag", "torsdag", "fredag", "lørdag"};
    const char* months[] = {"januar", "februar", "mars", "april", "mai", "juni",
                            "juli", "august", "september", "oktober", "november", "desember"};
    const char* shortDays[] = {"sø.", "ma.", "ti.", "on.", "to.", "fr.", "lø."};
    for (int i = 0; i < 7; ++i) d.dayNames[i] = days[i], d.abbrevDayNames[i] = shortDays[i];
    for (int i = 0; i < 12; ++i) d.monthNames[i] = months[i], d.abbrevMonthNames[i] = std::string(months[i]).substr(0, 3) + ".";
    auto items = host::WindowsLocaleItems(d, *host::LcidOfLocaleName("nb_NO.UTF-8"));
    // Windows counts from Monday: SDAYNAME1 is Monday, SDAYNAME7 Sunday.
    EXPECT_EQ(items.at(0x2A), "mandag");
    EXPECT_EQ(items.at(0x30), "søndag");
    EXPECT_EQ(items.at(0x31), "ma.");
    EXPECT_EQ(items.at(0x37), "sø.");
    EXPECT_EQ(items.at(0x38), "januar");
    EXPECT_EQ(items.at(0x43), "desember");
    EXPECT_EQ(items.at(0x4F), "des.");
    // A locale without names leaves the items out.
    auto none = host::WindowsLocaleItems(host::LibcLocaleData{}, *host::LcidOfLocaleName("C"));
    EXPECT_EQ(none.count(0x38), 0u);
}

TEST(LocaleNames, ANorwegianHostWritesNorwegianDates) {
    if (!fs::exists("/usr/share/i18n/locales/nb_NO") || !fs::exists("/usr/bin/localedef"))
        GTEST_SKIP() << "no locale sources or localedef to make nb_NO.UTF-8 with";
    fs::path dir = fs::temp_directory_path() / ("torvex-locale-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::string make = "/usr/bin/localedef -i nb_NO -f UTF-8 '" + (dir / "nb_NO.UTF-8").string() + "' 2>/dev/null";
    if (std::system(make.c_str()) != 0 || !fs::exists(dir / "nb_NO.UTF-8")) {
        fs::remove_all(dir);
        GTEST_SKIP() << "localedef could not make nb_NO.UTF-8";
    }
    {
        SavedVariable locpath("LOCPATH"), all("LC_ALL"), lang("LANG");
        ::setenv("LOCPATH", dir.c_str(), 1);
        ::setenv("LC_ALL", "nb_NO.UTF-8", 1);
        host::LibcLocaleData d = host::ReadLibcLocale();
        EXPECT_EQ(d.abbrevMonthNames[11], "des.");
        EXPECT_EQ(d.dayNames[2], "tirsdag");

        torvex::platform::SetActiveMachine(torvex::platform::CreateHostMachine("/"));
        TDateTime day = EncodeDateTime(2026, 12, 8, 14, 5, 0, 0);
        EXPECT_EQ(FormatDateTimePicture("dd. MMM yyyy", day), "08. des. 2026");
        EXPECT_EQ(FormatDateTimePicture("dddd d. MMMM yyyy", day), "tirsdag 8. desember 2026");
        EXPECT_EQ(FormatDateTimePicture("ddd", day), "ti.");
        torvex::platform::SetActiveMachine(nullptr);
    }
    fs::remove_all(dir);
}

TEST(LocaleNames, TwelveHourClockReadsTwelveAtNoonAndMidnight) {
    // No locale names needed: the English fallback and the hour alone.
    EXPECT_EQ(FormatDateTimePicture("h:mm", EncodeDateTime(2026, 12, 8, 0, 5, 0, 0)), "12:05");
    EXPECT_EQ(FormatDateTimePicture("h:mm", EncodeDateTime(2026, 12, 8, 12, 5, 0, 0)), "12:05");
    EXPECT_EQ(FormatDateTimePicture("hh:mm", EncodeDateTime(2026, 12, 8, 13, 5, 0, 0)), "01:05");
    EXPECT_EQ(FormatDateTimePicture("h:mm", EncodeDateTime(2026, 12, 8, 11, 59, 0, 0)), "11:59");
    EXPECT_EQ(FormatDateTimePicture("H:mm", EncodeDateTime(2026, 12, 8, 0, 5, 0, 0)), "0:05");
}
