// Time zone over the active machine. A machine that does not answer the
// rules itself keeps them where Windows does, in the registry key
// TimeZoneInformation that the Date/Time control panel writes.
#include "platform/win32/Win32TimeZone.h"

#include <algorithm>
#include <cstring>

#include "platform/machine/FileText.h"
#include "platform/machine/Machine.h"

namespace win32 {

namespace {

using torvex::platform::ActiveMachine;
using torvex::platform::RegKey;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;
using torvex::platform::TimeZoneFacts;
using torvex::platform::TimeZoneTransition;

std::int32_t DwordOf(const RegKey& key, const char* name) {
    const RegValue* v = key.value(name);
    if (!v || v->data.size() < 4) return 0;
    std::uint32_t n = 0;
    std::memcpy(&n, v->data.data(), 4);
    return static_cast<std::int32_t>(n);
}

std::string TextOf(const RegKey& key, const char* name) {
    const RegValue* v = key.value(name);
    return v ? v->text() : std::string();
}

TimeZoneTransition TransitionOf(const RegKey& key, const char* name) {
    TimeZoneTransition t;
    const RegValue* v = key.value(name);
    if (!v || v->data.size() < 16) return t;
    std::uint16_t w[8];
    std::memcpy(w, v->data.data(), 16);
    t = {w[0], w[1], w[2], w[3], w[4], w[5], w[6], w[7]};
    return t;
}

std::optional<TimeZoneFacts> FromRegistry() {
    RegKey* key = ActiveMachine().registry().root(RegRoot::LocalMachine).find(
        "SYSTEM\\CurrentControlSet\\Control\\TimeZoneInformation");
    if (!key) return std::nullopt;
    TimeZoneFacts f;
    f.bias = DwordOf(*key, "Bias");
    f.standardBias = DwordOf(*key, "StandardBias");
    f.daylightBias = DwordOf(*key, "DaylightBias");
    f.standardName = TextOf(*key, "StandardName");
    f.daylightName = TextOf(*key, "DaylightName");
    f.standardDate = TransitionOf(*key, "StandardStart");
    f.daylightDate = TransitionOf(*key, "DaylightStart");
    return f;
}

void PutName(WCHAR (&out)[32], const std::string& utf8) {
    std::u16string wide = torvex::platform::Utf8ToUtf16(utf8);
    std::memset(out, 0, sizeof out);
    std::copy_n(wide.begin(), std::min<std::size_t>(wide.size(), 31), out);
}

SYSTEMTIME ToSystemTime(const TimeZoneTransition& t) {
    auto w = [](int v) { return static_cast<WORD>(v); };
    return {w(t.year), w(t.month), w(t.dayOfWeek), w(t.day), w(t.hour), w(t.minute), w(t.second), w(t.milliseconds)};
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Day of week (0 = Sunday) of a date in the Gregorian calendar.
int DayOfWeek(int y, int m, int d) {
    static const int t[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (m < 3) y -= 1;
    return (y + y / 4 - y / 100 + y / 400 + t[m - 1] + d) % 7;
}

// Minutes since the start of the year of the transition in that year.
long TransitionMinute(const TimeZoneTransition& t, int year) {
    int day = t.day;
    if (t.year == 0) {
        int first = 1 + (t.dayOfWeek - DayOfWeek(year, t.month, 1) + 7) % 7;
        day = first + 7 * (std::clamp(t.day, 1, 5) - 1);
        while (day > DaysInMonth(year, t.month)) day -= 7;
    }
    long days = day - 1;
    for (int m = 1; m < t.month; ++m) days += DaysInMonth(year, m);
    return days * 1440 + t.hour * 60 + t.minute;
}

}  // namespace

std::string TimeZoneNameText(const WCHAR (&name)[32]) {
    std::size_t length = 0;
    while (length < 32 && name[length]) ++length;
    return torvex::platform::Utf16ToUtf8(std::u16string_view(name, length));
}

DWORD GetTimeZoneInformation(TIME_ZONE_INFORMATION* info) {
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return TIME_ZONE_ID_INVALID;
    }
    auto& machine = ActiveMachine();
    std::optional<TimeZoneFacts> facts = machine.timeZone();
    if (!facts) facts = FromRegistry();
    TimeZoneFacts f = facts.value_or(TimeZoneFacts{});
    std::memset(info, 0, sizeof *info);
    info->Bias = f.bias;
    info->StandardBias = f.standardBias;
    info->DaylightBias = f.daylightBias;
    PutName(info->StandardName, f.standardName);
    PutName(info->DaylightName, f.daylightName);
    info->StandardDate = ToSystemTime(f.standardDate);
    info->DaylightDate = ToSystemTime(f.daylightDate);
    if (f.standardDate.month < 1 || f.standardDate.month > 12 || f.daylightDate.month < 1 ||
        f.daylightDate.month > 12)
        return TIME_ZONE_ID_UNKNOWN;

    // Compared in local standard time of this year, as the rules are written.
    torvex::platform::LocalTime now = machine.localTime();
    long minute = TransitionMinute({now.year, now.month, 0, now.day, now.hour, now.minute, 0, 0}, now.year);
    long toDaylight = TransitionMinute(f.daylightDate, now.year);
    long toStandard = TransitionMinute(f.standardDate, now.year);
    bool daylight = toDaylight < toStandard ? (minute >= toDaylight && minute < toStandard)
                                            : (minute >= toDaylight || minute < toStandard);
    return daylight ? TIME_ZONE_ID_DAYLIGHT : TIME_ZONE_ID_STANDARD;
}

}  // namespace win32
