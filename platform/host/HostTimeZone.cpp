#include "platform/host/HostTimeZone.h"

#include "platform/machine/FileText.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace torvex::platform::host {

namespace {

namespace fs = std::filesystem;

std::uint32_t BigEndian32(std::string_view b, std::size_t at) {
    return (std::uint32_t(std::uint8_t(b[at])) << 24) | (std::uint32_t(std::uint8_t(b[at + 1])) << 16) |
           (std::uint32_t(std::uint8_t(b[at + 2])) << 8) | std::uint32_t(std::uint8_t(b[at + 3]));
}

class TzParser {
public:
    explicit TzParser(std::string_view s) : s_(s) {}

    bool name(std::string& out) {
        out.clear();
        if (at('<')) {
            ++pos_;
            while (pos_ < s_.size() && s_[pos_] != '>') out += s_[pos_++];
            if (!at('>')) return false;
            ++pos_;
        } else {
            while (pos_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[pos_]))) out += s_[pos_++];
        }
        return out.size() >= 3;
    }

    // [+-]hh[:mm[:ss]] in seconds.
    bool clock(long& seconds, int maxHours) {
        int sign = 1;
        if (at('+') || at('-')) sign = s_[pos_++] == '-' ? -1 : 1;
        long parts[3] = {0, 0, 0};
        for (int i = 0; i < 3; ++i) {
            if (i > 0) {
                if (!at(':')) break;
                ++pos_;
            }
            if (!digit()) return false;
            // A long run of digits saturates rather than overflows; the
            // range check below then refuses it.
            long n = 0;
            while (digit()) n = std::min(n * 10 + (s_[pos_++] - '0'), 1000000L);
            parts[i] = n;
        }
        if (parts[0] > maxHours || parts[1] > 59 || parts[2] > 59) return false;
        seconds = sign * (parts[0] * 3600 + parts[1] * 60 + parts[2]);
        return true;
    }

    bool number(int& n) {
        if (!digit()) return false;
        n = 0;
        while (digit()) n = std::min(n * 10 + (s_[pos_++] - '0'), 1000000);
        return true;
    }

    bool at(char c) const { return pos_ < s_.size() && s_[pos_] == c; }
    bool digit() const { return pos_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[pos_])); }
    bool done() const { return pos_ == s_.size(); }
    void skip() { ++pos_; }

private:
    std::string_view s_;
    std::size_t pos_ = 0;
};

bool Leap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

// The day of the year (0-based) as month and day.
void MonthDay(int year, int dayOfYear, int& month, int& day) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    month = 1;
    for (; month <= 12; ++month) {
        int n = days[month - 1] + (month == 2 && Leap(year));
        if (dayOfYear < n) break;
        dayOfYear -= n;
    }
    if (month > 12) month = 12, dayOfYear = 30;
    day = dayOfYear + 1;
}

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return days[month - 1] + (month == 2 && Leap(year));
}

// Days since 1 January 1970 of a date (proleptic Gregorian), and back.
long DaysFromCivil(int y, int m, int d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}
void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    d = int(doy - (153 * mp + 2) / 5 + 1);
    m = int(mp < 10 ? mp + 3 : mp - 9);
    y = int(yoe + era * 400 + (m <= 2));
}

bool Rule(TzParser& p, int year, TimeZoneTransition& t) {
    t = {};
    long day = 0;   // the rule's date in `year`, as days since 1970
    if (p.at('M')) {
        p.skip();
        int m = 0, w = 0, d = 0;
        if (!p.number(m) || !p.at('.')) return false;
        p.skip();
        if (!p.number(w) || !p.at('.')) return false;
        p.skip();
        if (!p.number(d)) return false;
        if (m < 1 || m > 12 || w < 1 || w > 5 || d > 6) return false;
        t.month = m;
        t.day = w;
        t.dayOfWeek = d;
        long first = DaysFromCivil(year, m, 1);
        int firstWeekday = int(((first % 7) + 11) % 7);   // 1 January 1970 was a Thursday
        int date = 1 + (d - firstWeekday + 7) % 7 + 7 * (w - 1);
        while (date > DaysInMonth(year, m)) date -= 7;
        day = first + date - 1;
    } else {
        bool julian = p.at('J');
        if (julian) p.skip();
        int n = 0;
        if (!p.number(n)) return false;
        // "Jn" counts 1-365 and never the 29th of February; "n" counts 0-365.
        int dayOfYear = julian ? n - 1 + (Leap(year) && n >= 60) : n;
        if (dayOfYear < 0 || dayOfYear > 365) return false;
        t.year = year;
        MonthDay(year, dayOfYear, t.month, t.day);
        day = DaysFromCivil(year, t.month, t.day);
    }
    long seconds = 2 * 3600;
    if (p.at('/')) {
        p.skip();
        if (!p.clock(seconds, 167)) return false;
    }
    // POSIX allows -167 to 167 hours ("M3.4.4/26" is Friday 02:00 after the
    // fourth Thursday). Windows' record holds a time of day, so such a rule
    // becomes the absolute date and time it gives in this year.
    if (seconds < 0 || seconds >= 86400) {
        long shift = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
        seconds -= shift * 86400;
        t = {};
        CivilFromDays(day + shift, t.year, t.month, t.day);
    }
    t.hour = int(seconds / 3600);
    t.minute = int(seconds / 60 % 60);
    t.second = int(seconds % 60);
    return true;
}

struct WindowsZone {
    const char* tz;
    const char* key;
    const char* display;
    const char* std;
    const char* dlt;
};

constexpr WindowsZone kWindowsZones[] = {
    {"Europe/Oslo", "W. Europe Standard Time", "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", "W. Europe Standard Time", "W. Europe Daylight Time"},
    {"Europe/Stockholm", "W. Europe Standard Time", "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", "W. Europe Standard Time", "W. Europe Daylight Time"},
    {"Europe/Berlin", "W. Europe Standard Time", "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", "W. Europe Standard Time", "W. Europe Daylight Time"},
    {"Europe/Amsterdam", "W. Europe Standard Time", "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", "W. Europe Standard Time", "W. Europe Daylight Time"},
    {"Europe/Rome", "W. Europe Standard Time", "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", "W. Europe Standard Time", "W. Europe Daylight Time"},
    {"Europe/Vienna", "W. Europe Standard Time", "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", "W. Europe Standard Time", "W. Europe Daylight Time"},
    {"Europe/Zurich", "W. Europe Standard Time", "(GMT+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna", "W. Europe Standard Time", "W. Europe Daylight Time"},
    {"Europe/Copenhagen", "Romance Standard Time", "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris", "Romance Standard Time", "Romance Daylight Time"},
    {"Europe/Paris", "Romance Standard Time", "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris", "Romance Standard Time", "Romance Daylight Time"},
    {"Europe/Brussels", "Romance Standard Time", "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris", "Romance Standard Time", "Romance Daylight Time"},
    {"Europe/Madrid", "Romance Standard Time", "(GMT+01:00) Brussels, Copenhagen, Madrid, Paris", "Romance Standard Time", "Romance Daylight Time"},
    {"Europe/Helsinki", "FLE Standard Time", "(GMT+02:00) Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius", "FLE Standard Time", "FLE Daylight Time"},
    {"Europe/Kiev", "FLE Standard Time", "(GMT+02:00) Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius", "FLE Standard Time", "FLE Daylight Time"},
    {"Europe/Kyiv", "FLE Standard Time", "(GMT+02:00) Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius", "FLE Standard Time", "FLE Daylight Time"},
    {"Europe/Riga", "FLE Standard Time", "(GMT+02:00) Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius", "FLE Standard Time", "FLE Daylight Time"},
    {"Europe/Tallinn", "FLE Standard Time", "(GMT+02:00) Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius", "FLE Standard Time", "FLE Daylight Time"},
    {"Europe/Vilnius", "FLE Standard Time", "(GMT+02:00) Helsinki, Kyiv, Riga, Sofia, Tallinn, Vilnius", "FLE Standard Time", "FLE Daylight Time"},
    {"Europe/London", "GMT Standard Time", "(GMT) Greenwich Mean Time : Dublin, Edinburgh, Lisbon, London", "GMT Standard Time", "GMT Daylight Time"},
    {"Europe/Dublin", "GMT Standard Time", "(GMT) Greenwich Mean Time : Dublin, Edinburgh, Lisbon, London", "GMT Standard Time", "GMT Daylight Time"},
    {"Europe/Lisbon", "GMT Standard Time", "(GMT) Greenwich Mean Time : Dublin, Edinburgh, Lisbon, London", "GMT Standard Time", "GMT Daylight Time"},
    {"Atlantic/Reykjavik", "Greenwich Standard Time", "(GMT) Casablanca, Monrovia, Reykjavik", "Greenwich Standard Time", "Greenwich Daylight Time"},
    {"America/New_York", "Eastern Standard Time", "(GMT-05:00) Eastern Time (US & Canada)", "Eastern Standard Time", "Eastern Daylight Time"},
    {"America/Chicago", "Central Standard Time", "(GMT-06:00) Central Time (US & Canada)", "Central Standard Time", "Central Daylight Time"},
    {"America/Denver", "Mountain Standard Time", "(GMT-07:00) Mountain Time (US & Canada)", "Mountain Standard Time", "Mountain Daylight Time"},
    {"America/Los_Angeles", "Pacific Standard Time", "(GMT-08:00) Pacific Time (US & Canada)", "Pacific Standard Time", "Pacific Daylight Time"},
    {"Asia/Tokyo", "Tokyo Standard Time", "(GMT+09:00) Osaka, Sapporo, Tokyo", "Tokyo Standard Time", "Tokyo Daylight Time"},
    {"Etc/UTC", "UTC", "(GMT) Coordinated Universal Time", "Coordinated Universal Time", "Coordinated Universal Time"},
    {"UTC", "UTC", "(GMT) Coordinated Universal Time", "Coordinated Universal Time", "Coordinated Universal Time"},
    {"Etc/GMT", "UTC", "(GMT) Coordinated Universal Time", "Coordinated Universal Time", "Coordinated Universal Time"},
    {"Etc/Universal", "UTC", "(GMT) Coordinated Universal Time", "Coordinated Universal Time", "Coordinated Universal Time"},
};

std::optional<std::string> ReadBytes(const fs::path& file) { return ReadFileTraced(file, "time zone"); }

// The tz name in a path ".../zoneinfo/Europe/Oslo".
std::string ZoneNameOfPath(const std::string& path) {
    auto at = path.rfind("zoneinfo/");
    if (at == std::string::npos) return {};
    std::string name = path.substr(at + 9);
    for (const char* prefix : {"posix/", "right/"})
        if (name.rfind(prefix, 0) == 0) name.erase(0, std::strlen(prefix));
    return name;
}

TimeZoneFacts Utc() {
    TimeZoneFacts f;
    f.standardName = f.daylightName = "UTC";
    return f;
}

}  // namespace

std::optional<std::string> TzifFooter(std::string_view b) {
    constexpr std::size_t kHeader = 44;
    if (b.size() < kHeader || b.substr(0, 4) != "TZif" || b[4] < '2') return std::nullopt;
    auto blockSize = [&](std::size_t header, std::size_t timeSize) -> std::optional<std::size_t> {
        if (b.size() < header + kHeader) return std::nullopt;
        std::uint64_t isut = BigEndian32(b, header + 20), isstd = BigEndian32(b, header + 24),
                      leap = BigEndian32(b, header + 28), time = BigEndian32(b, header + 32),
                      type = BigEndian32(b, header + 36), chars = BigEndian32(b, header + 40);
        std::uint64_t size = time * timeSize + time + type * 6 + chars + leap * (timeSize + 4) + isstd + isut;
        if (size > b.size()) return std::nullopt;
        return static_cast<std::size_t>(size);
    };
    auto v1 = blockSize(0, 4);
    if (!v1) return std::nullopt;
    std::size_t second = kHeader + *v1;
    if (b.size() < second + kHeader || b.substr(second, 4) != "TZif") return std::nullopt;
    auto v2 = blockSize(second, 8);
    if (!v2) return std::nullopt;
    std::size_t footer = second + kHeader + *v2;
    if (footer >= b.size() || b[footer] != '\n') return std::nullopt;
    std::size_t end = b.find('\n', footer + 1);
    if (end == std::string_view::npos) return std::nullopt;
    return std::string(b.substr(footer + 1, end - footer - 1));
}

std::optional<TimeZoneFacts> ParsePosixTz(std::string_view tz, int year) {
    TzParser p(tz);
    TimeZoneFacts f;
    long stdOffset = 0;
    if (!p.name(f.standardName) || !p.clock(stdOffset, 24)) return std::nullopt;
    f.bias = int(stdOffset / 60);
    if (p.done()) {
        f.daylightName = f.standardName;
        return f;
    }
    if (!p.name(f.daylightName)) return std::nullopt;
    long dstOffset = stdOffset - 3600;
    if (!p.done() && !p.at(',') && !p.clock(dstOffset, 24)) return std::nullopt;
    f.daylightBias = int((dstOffset - stdOffset) / 60);
    std::string rules = p.done() ? ",M3.2.0,M11.1.0" : "";   // POSIX's default rules
    TzParser r(rules.empty() ? tz : std::string_view(rules));
    TzParser& q = rules.empty() ? p : r;
    if (!q.at(',')) return std::nullopt;
    q.skip();
    if (!Rule(q, year, f.daylightDate) || !q.at(',')) return std::nullopt;
    q.skip();
    if (!Rule(q, year, f.standardDate) || !q.done()) return std::nullopt;
    // A zone whose "daylight" time lies behind its standard time (Ireland:
    // "IST-1GMT0,M10.5.0,M3.5.0/1", standard time in summer) is the other
    // way round for Windows, whose daylight bias always moves the clock
    // forward: GMT is its standard time from October, IST its daylight time
    // from March. Each rule's hour is in the time it leaves, in both shapes.
    if (f.daylightBias > 0) {
        f.bias += f.daylightBias;
        f.daylightBias = -f.daylightBias;
        std::swap(f.standardName, f.daylightName);
        std::swap(f.standardDate, f.daylightDate);
    }
    return f;
}

HostTimeZone NameHostTimeZone(const std::string& tzName, TimeZoneFacts rules) {
    for (const auto& z : kWindowsZones)
        if (tzName == z.tz) {
            rules.standardName = z.std;
            rules.daylightName = z.dlt;
            return {z.key, z.display, rules};
        }
    HostTimeZone zone;
    zone.keyName = tzName.empty() ? rules.standardName : tzName;
    int offset = -rules.bias;
    char text[32];
    if (offset == 0)
        std::snprintf(text, sizeof text, "(GMT) ");
    else
        std::snprintf(text, sizeof text, "(GMT%c%02d:%02d) ", offset < 0 ? '-' : '+', std::abs(offset) / 60,
                      std::abs(offset) % 60);
    zone.display = text + zone.keyName;
    zone.rules = std::move(rules);
    return zone;
}

std::vector<std::uint8_t> TziBytes(const TimeZoneFacts& r) {
    std::vector<std::uint8_t> out;
    auto put32 = [&](std::int32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(std::uint32_t(v) >> (8 * i)));
    };
    auto put16 = [&](int v) {
        out.push_back(std::uint8_t(v & 0xFF));
        out.push_back(std::uint8_t((v >> 8) & 0xFF));
    };
    auto putTime = [&](const TimeZoneTransition& t) {
        for (int v : {t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds}) put16(v);
    };
    put32(r.bias);
    put32(r.standardBias);
    put32(r.daylightBias);
    putTime(r.standardDate);
    putTime(r.daylightDate);
    return out;
}

HostTimeZone LoadHostTimeZone(const fs::path& root, const char* tzEnv, int year) {
    fs::path zoneinfo = root / "usr/share/zoneinfo";
    std::string name;
    std::optional<std::string> footer;
    if (tzEnv && *tzEnv) {
        std::string tz = tzEnv;
        if (tz[0] == ':') tz.erase(0, 1);
        fs::path file = !tz.empty() && tz[0] == '/' ? root / tz.substr(1) : zoneinfo / tz;
        // No such zone file: TZ holds a POSIX rule itself, no fault.
        FileRead read;
        if (!tz.empty()) read = ReadWholeFile(file);
        if (!tz.empty() && read) {
            footer = TzifFooter(read.text);
            name = tz[0] == '/' ? ZoneNameOfPath(tz) : tz;
        } else {
            footer = tz;   // a POSIX rule string itself
        }
    } else {
        fs::path local = root / "etc/localtime";
        std::error_code ec;
        fs::path target = fs::read_symlink(local, ec);
        if (!ec) name = ZoneNameOfPath(target.string());
        if (name.empty())
            if (auto text = ReadBytes(root / "etc/timezone")) {
                name = *text;
                while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
            }
        if (auto bytes = ReadBytes(local)) footer = TzifFooter(*bytes);
    }
    std::optional<TimeZoneFacts> rules = footer ? ParsePosixTz(*footer, year) : std::nullopt;
    if (!rules && TraceEnabled())
        Trace("time zone", footer ? "rule \"" + *footer + "\": unparsable, the zone is taken as UTC"
                                  : std::string("no rule found, the zone is taken as UTC"));
    if (!rules && name.empty()) name = "UTC";
    return NameHostTimeZone(name, rules.value_or(Utc()));
}

}  // namespace torvex::platform::host
