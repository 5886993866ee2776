#include "engine/Zarvo_OS.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/Corvane_Registry.h"
#include "platform/Corvane_Routines.h"

namespace torvex::engine {

namespace routines = torvex::platform::routines;

const char* const kNegativeCurrencyPatterns[10] = {"($1.1)", "-$1.1",  "$-1.1",  "$1.1-",  "(1.1$)",
                                                   "-1.1$",  "1.1-$",  "1.1$-",  "-1.1 $", "-$ 1.1"};

// ---------------------------------------------------------------- date and time

namespace {

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : days[month - 1];
}

// Days from 30 December 1899 to a date of the Gregorian calendar.
long DaysOf(int year, int month, int day) {
    // Days since 1 March of year 0, the leap day last in each year.
    auto civil = [](long y, long m, long d) {
        y -= m <= 2;
        long era = (y >= 0 ? y : y - 399) / 400;
        long yoe = y - era * 400;
        long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
        long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
        return era * 146097 + doe;
    };
    return civil(year, month, day) - civil(1899, 12, 30);
}

void DateOf(long days, int& year, int& month, int& day, int& dayOfWeek) {
    long z = days - DaysOf(0, 3, 1);   // days since 1 March of year 0
    long era = (z >= 0 ? z : z - 146096) / 146097;
    long doe = z - era * 146097;
    long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    long y = yoe + era * 400;
    long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    long mp = (5 * doy + 2) / 153;
    day = int(doy - (153 * mp + 2) / 5 + 1);
    month = int(mp < 10 ? mp + 3 : mp - 9);
    year = int(y + (month <= 2));
    // 30 December 1899 was a Saturday.
    dayOfWeek = int(((days % 7) + 7 + 6) % 7);
}

const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

std::string LocaleText(win32::LCID locale, win32::LCTYPE item) {
    char buffer[255];
    int n = win32::GetLocaleInfoA(locale, item, buffer, sizeof buffer);
    return n > 0 ? std::string(buffer) : std::string();
}

// The user's locale names days and months; English where it gives none.
std::string DayName(int dayOfWeek, bool abbreviated) {
    // Windows counts the names from Monday, dayOfWeek from Sunday.
    int item = (dayOfWeek + 6) % 7;
    std::string name = LocaleText(win32::LOCALE_USER_DEFAULT,
                                  (abbreviated ? win32::LOCALE_SABBREVDAYNAME1 : win32::LOCALE_SDAYNAME1) + item);
    if (!name.empty()) return name;
    std::string english = kDayNames[dayOfWeek];
    return abbreviated ? english.substr(0, 3) : english;
}

std::string MonthName(int month, bool abbreviated) {
    std::string name = LocaleText(
        win32::LOCALE_USER_DEFAULT,
        (abbreviated ? win32::LOCALE_SABBREVMONTHNAME1 : win32::LOCALE_SMONTHNAME1) + win32::LCTYPE(month - 1));
    if (!name.empty()) return name;
    std::string english = kMonthNames[month - 1];
    return abbreviated ? english.substr(0, 3) : english;
}

}  // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second, int milliseconds) {
    double time = (hour * 3600000.0 + minute * 60000.0 + second * 1000.0 + milliseconds) / 86400000.0;
    return double(DaysOf(year, month, day)) + time;
}

std::string FormatDateTimePicture(const std::string& picture, TDateTime value) {
    long days = long(std::floor(value));
    long ms = std::lround((value - double(days)) * 86400000.0);
    if (ms >= 86400000) {
        ++days;
        ms -= 86400000;
    }
    int year, month, day, dow;
    DateOf(days, year, month, day, dow);
    int hour = int(ms / 3600000), minute = int(ms / 60000 % 60), second = int(ms / 1000 % 60);
    std::string out;
    for (std::size_t i = 0; i < picture.size();) {
        char c = picture[i];
        if (c == '\'') {
            std::size_t end = picture.find('\'', i + 1);
            out += picture.substr(i + 1, end == std::string::npos ? std::string::npos : end - i - 1);
            i = end == std::string::npos ? picture.size() : end + 1;
            continue;
        }
        std::size_t n = 1;
        while (i + n < picture.size() && picture[i + n] == c) ++n;
        char text[16];
        auto two = [&](int v) { std::snprintf(text, sizeof text, n >= 2 ? "%02d" : "%d", v); out += text; };
        switch (c) {
        case 'd':
            if (n >= 3) out += DayName(dow, n == 3);
            else two(day);
            break;
        case 'M':
            if (n >= 3) out += MonthName(month, n == 3);
            else two(month);
            break;
        case 'y':
            if (n >= 3) {
                std::snprintf(text, sizeof text, "%04d", year);
                out += text;
            } else {
                std::snprintf(text, sizeof text, n == 2 ? "%02d" : "%d", year % 100);
                out += text;
            }
            break;
        case 'H': two(hour); break;
        case 'h': two(hour % 12 == 0 ? 12 : hour % 12); break;
        case 'm': two(minute); break;
        case 's': two(second); break;
        case 't': {
            std::string mark = LocaleText(win32::LOCALE_USER_DEFAULT, hour < 12 ? win32::LOCALE_S1159 : win32::LOCALE_S2359);
            out += n == 1 ? mark.substr(0, 1) : mark;
            break;
        }
        default:
            out.append(n, c);
            break;
        }
        i += n;
    }
    return out;
}

std::string DateTimeToStr(TDateTime value) {
    std::string date = LocaleText(win32::LOCALE_USER_DEFAULT, win32::LOCALE_SSHORTDATE);
    std::string text = FormatDateTimePicture(date.empty() ? "M/d/yyyy" : date, value);
    if (value - std::floor(value) != 0) {
        std::string time = LocaleText(win32::LOCALE_USER_DEFAULT, win32::LOCALE_STIMEFORMAT);
        text += " " + FormatDateTimePicture(time.empty() ? "HH:mm:ss" : time, value);
    }
    return text;
}

TDateTime TransitionInstant(const win32::SYSTEMTIME& rule, int year) {
    if (rule.wMonth == 0 || rule.wMonth > 12) return 0;
    int day = rule.wDay;
    if (rule.wYear != 0) {
        year = rule.wYear;
    } else {
        int dowFirst = int((DaysOf(year, rule.wMonth, 1) % 7 + 7 + 6) % 7);   // 0 = Sunday
        int first = 1 + (int(rule.wDayOfWeek) - dowFirst + 7) % 7;
        int occurrence = rule.wDay < 1 ? 1 : rule.wDay > 5 ? 5 : rule.wDay;
        day = first + 7 * (occurrence - 1);
        // The fifth occurrence means the last, which a month may have only four of.
        while (day > DaysInMonth(year, rule.wMonth)) day -= 7;
    }
    if (day < 1 || day > DaysInMonth(year, rule.wMonth)) return 0;
    return EncodeDateTime(year, rule.wMonth, day, rule.wHour, rule.wMinute, rule.wSecond, rule.wMilliseconds);
}

// ---------------------------------------------------------------- registry helpers

namespace {

using platform::TRegistryReader;

// A value's bytes as stored, "" when it cannot be read.
std::string Bytes(const TRegistryReader& key, const char* name) {
    auto data = key.Data(name);
    return data ? std::string(data->begin(), data->end()) : std::string();
}

// The first n characters of a UTF-8 text (not bytes: "Västeuropa" is ten).
std::string Cut(const std::string& text, std::size_t n) {
    std::size_t at = 0;
    for (std::size_t count = 0; at < text.size() && count < n; ++count) {
        ++at;
        while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
    }
    return text.substr(0, at);
}

}  // namespace

// ---------------------------------------------------------------- TTimeZone

void TTimeZone::GetInfo() {
    win32::TIME_ZONE_INFORMATION tz{};
    win32::GetTimeZoneInformation(&tz);
    std::string standardName = win32::TimeZoneNameText(tz.StandardName);
    std::string daylightName = win32::TimeZoneNameText(tz.DaylightName);

    std::string root = routines::IsNT ? "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Time Zones"
                                      : "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Time Zones";
    TRegistryReader zones(win32::HKEY_LOCAL_MACHINE, root);
    for (win32::DWORD index = 0; zones.IsOpen(); ++index) {
        char name[256];
        win32::DWORD size = sizeof name;
        if (win32::RegEnumKeyExA(zones.Handle(), index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
            win32::ERROR_SUCCESS)
            break;
        TRegistryReader zone(zones.Handle(), name);
        std::string tzi = Bytes(zone, "TZI");
        if (tzi.size() != 44) continue;
        std::int32_t bias, standardBias, daylightBias;
        win32::SYSTEMTIME standardDate, daylightDate;
        std::memcpy(&bias, tzi.data(), 4);
        std::memcpy(&standardBias, tzi.data() + 4, 4);
        std::memcpy(&daylightBias, tzi.data() + 8, 4);
        std::memcpy(&standardDate, tzi.data() + 12, 16);
        std::memcpy(&daylightDate, tzi.data() + 28, 16);
        auto same = [](const win32::SYSTEMTIME& a, const win32::SYSTEMTIME& b) {
            return std::memcmp(&a, &b, sizeof a) == 0;
        };
        if (bias == tz.Bias && standardBias == tz.StandardBias && daylightBias == tz.DaylightBias &&
            same(standardDate, tz.StandardDate) && same(daylightDate, tz.DaylightDate) &&
            Cut(zone.ReadText("Std"), 32) == standardName && Cut(zone.ReadText("Dlt"), 32) == daylightName) {
            FDisplayName = zone.ReadText("Display");
            break;
        }
    }

    FBias = tz.Bias;
    FStandardName = standardName;
    FDaylightName = daylightName;
    if (tz.StandardDate.wMonth != 0 && tz.DaylightDate.wMonth != 0) {
        win32::SYSTEMTIME now{};
        win32::GetLocalTime(&now);
        FDaylightStart = TransitionInstant(tz.DaylightDate, now.wYear);
        FStandardStart = TransitionInstant(tz.StandardDate, now.wYear);
        FStandardBias = tz.Bias + tz.StandardBias;
        FDaylightBias = tz.Bias + tz.DaylightBias;
    }
}

void TTimeZone::Report(TStringList& list) const {
    list.Add("[Time Zone]");
    list.Add("TimeZone=" + FDisplayName);
    // The keys say "Name"; their values are the transition instants.
    list.Add("StdName=" + DateTimeToStr(FStandardStart));
    list.Add(Format("StdBias=%d", {FStandardBias}));
    list.Add("DlghtName=" + DateTimeToStr(FDaylightStart));
    list.Add(Format("DlghtBias=%d", {FDaylightBias}));
}

void TTimeZone::PublishProperties(TPublished& p) const {
    TPersistent::PublishProperties(p);
    p.Add("DisplayName", FDisplayName);
    p.Add("StandardName", FStandardName);
    p.Add("DaylightName", FDaylightName);
    p.Add("DaylightStart", FDaylightStart);
    p.Add("StandardStart", FStandardStart);
    p.Add("Bias", FBias);
    p.Add("DaylightBias", FDaylightBias);
    p.Add("StandardBias", FStandardBias);
}

// ---------------------------------------------------------------- TNTSpecific

void TNTSpecific::GetInfo() {
    win32::OSVERSIONINFOA basic{};
    basic.dwOSVersionInfoSize = sizeof basic;
    if (win32::GetVersionExA(&basic) && basic.dwPlatformId == win32::VER_PLATFORM_WIN32_NT &&
        basic.dwMajorVersion == 5) {
        win32::OSVERSIONINFOEXA ex{};
        ex.dwOSVersionInfoSize = sizeof ex;
        if (win32::GetVersionExA(&ex)) {
            switch (ex.wProductType) {
            case win32::VER_NT_WORKSTATION: FProductType = ptWorkStation; break;
            case win32::VER_NT_DOMAIN_CONTROLLER: FProductType = ptAdvancedServer; break;
            case win32::VER_NT_SERVER: FProductType = ptServer; break;
            default: break;
            }
            FInstalledSuites.clear();
            for (int bit = 0; bit < 8; ++bit)
                if (ex.wSuiteMask & (1u << bit)) FInstalledSuites.insert(static_cast<TNTSuite>(bit));
            FServicePackMajorVersion = ex.wServicePackMajor;
            FServicePackMinorVersion = ex.wServicePackMinor;
        }
    }
    if (FProductType == ptUnknown) {
        TRegistryReader options(win32::HKEY_LOCAL_MACHINE, "\\System\\CurrentControlSet\\Control\\ProductOptions");
        std::string type = options.ReadText("ProductType");
        if (AnsiSameText(type, "WinNT")) FProductType = ptWorkStation;
        else if (AnsiSameText(type, "ServerNT")) FProductType = ptServer;
        else if (AnsiSameText(type, "LanmanNT")) FProductType = ptAdvancedServer;
    }
}

void TNTSpecific::Report(TStringList& list) const {
    static const char* const kTypes[] = {"Unknown", "Workstation", "Server", "Advanced Server"};
    static const char* const kSuites[] = {
        "Microsoft Small Business Server", "Windows 2000 Advanced Server", "Microsoft BackOffice Components",
        "Communications", "Terminal Services",
        "Microsoft Small Business Server with the restrictive client license in force", "Embedded NT",
        "Windows 2000 Datacenter Server"};
    list.Add("[NT Specific]");
    list.Add(std::string("ProductType=") + kTypes[FProductType]);
    for (int s = 0; s < 8; ++s)
        list.Add(Format("%s=%d", {kSuites[s], int(FInstalledSuites.count(static_cast<TNTSuite>(s)))}));
    list.Add(Format("ServicePackMajorVersion=%d", {int(FServicePackMajorVersion)}));
    list.Add(Format("ServicePackMinorVersion=%d", {int(FServicePackMinorVersion)}));
}

void TNTSpecific::PublishProperties(TPublished& p) const {
    TPersistent::PublishProperties(p);
    p.Add("ProductType", FProductType);
    // A set lists as its members' names in brackets.
    p.AddGetter("InstalledSuites", [this] {
        std::string text = "[";
        for (TNTSuite s : FInstalledSuites) {
            if (text.size() > 1) text += ",";
            text += EnumTypeInfo(static_cast<TNTSuite*>(nullptr)).IdentifierOf(s);
        }
        return text + "]";
    });
    p.Add("ServicePackMajorVersion", FServicePackMajorVersion);
    p.Add("ServicePackMinorVersion", FServicePackMinorVersion);
}

// ---------------------------------------------------------------- TInternet

void TInternet::GetInfo() {
    FDefaultBrowser = routines::GetDefaultBrowser();
    FDefaultMailClient = routines::GetDefaultMailClient();
    int type = routines::GetConnectionType();
    FConnectionType = type == 1 ? ctLAN : type == 2 ? ctDialup : ctNone;
    FProxyServer = routines::GetProxyServer();
}

void TInternet::Report(TStringList& list) const {
    static const char* const kConnections[] = {"None", "LAN", "Dialup"};
    list.Add("[Internet]");
    list.Add("DefaultBrowser=" + FDefaultBrowser);
    list.Add("DefaultmailClient=" + FDefaultMailClient);
    list.Add(std::string("Connection=") + kConnections[FConnectionType]);
    list.Add("ProxyServer=" + FProxyServer);
}

void TInternet::PublishProperties(TPublished& p) const {
    TPersistent::PublishProperties(p);
    p.Add("DefaultBrowser", FDefaultBrowser);
    p.Add("DefaultMailClient", FDefaultMailClient);
    p.Add("ConnectionType", FConnectionType);
    p.Add("ProxyServer", FProxyServer);
}

// ---------------------------------------------------------------- TLocaleInfo

namespace {

// The first character of an item as the ordinal of an enumeration with
// `count` values.
int FirstDigit(const std::string& text, int count) {
    if (text.empty() || text[0] < '0' || text[0] > '9')
        throw EConvertError("'" + text.substr(0, 1) + "' is not a valid integer value");
    int n = text[0] - '0';
    // A digit beyond the enumeration would name no value at all.
    if (n >= count) throw EConvertError("'" + text.substr(0, 1) + "' is out of range");
    return n;
}

}  // namespace

void TLocaleInfo::GetInfo(win32::LCID locale) {
    // One buffer for every item, as the items are read one after another.
    char buffer[255];
    auto item = [&](win32::LCTYPE type) {
        buffer[0] = '\0';
        if (win32::GetLocaleInfoA(locale, type, buffer, sizeof buffer) <= 0) buffer[0] = '\0';
        return std::string(buffer);
    };
    FFullLocalizeLanguage = item(win32::LOCALE_SLANGUAGE);
    FFullLanguageEnglishName = item(win32::LOCALE_SENGLANGUAGE);
    FAbbreviateLanguageName = item(win32::LOCALE_SABBREVLANGNAME);
    FCountryCode = item(win32::LOCALE_ICOUNTRY);
    FFullCountryCode = item(win32::LOCALE_SCOUNTRY);
    FAbbreviateCountryCode = item(win32::LOCALE_SABBREVCTRYNAME);
    FListSeparator = item(win32::LOCALE_SLIST);
    FMeasurementSystem = static_cast<TMeasureSystem>(FirstDigit(item(win32::LOCALE_IMEASURE), 2));
    FDecimalSeparator = item(win32::LOCALE_SDECIMAL);
    FNumberOfDecimalDigits = item(win32::LOCALE_IDIGITS);
    FLocalMonetarySymbol = item(win32::LOCALE_SCURRENCY);
    FInternationalMonetarySymbol = item(win32::LOCALE_SINTLSYMBOL);
    FCurrencyDecimalSeparator = item(win32::LOCALE_SMONDECIMALSEP);
    FCurrencyThousandSeparator = item(win32::LOCALE_SMONTHOUSANDSEP);
    FCurrencyDecimalDigits = item(win32::LOCALE_ICURRDIGITS);
    FPositiveCurrencyMode = static_cast<TPositiveCurrencyMode>(FirstDigit(item(win32::LOCALE_ICURRENCY), 4));
    FNegativeCurrencyMode = kNegativeCurrencyPatterns[FirstDigit(item(win32::LOCALE_INEGCURR), 10)];
    FDateSeparator = item(win32::LOCALE_SDATE);
    FTimeSeparator = item(win32::LOCALE_STIME);
    FTimeFormat = item(win32::LOCALE_STIMEFORMAT);
    FShortDateFormat = item(win32::LOCALE_SSHORTDATE);
    FShortDateOrder = static_cast<TDateOrder>(FirstDigit(item(win32::LOCALE_IDATE), 3));
    FLongDateOrder = static_cast<TDateOrder>(FirstDigit(item(win32::LOCALE_ILDATE), 3));
    FTimeFormatSpecifier = static_cast<TTimeFormat>(FirstDigit(item(win32::LOCALE_ITIME), 2));
    FYearFormat = static_cast<TYearFormat>(FirstDigit(item(win32::LOCALE_ICENTURY), 2));
}

void TLocaleInfo::Report(TStringList& list) const {
    static const char* const kPositive[] = {"Prefix_No_Separation", "Suffix_No_Separation",
                                            "Prefix_One_Char_Separation", "Suffix_One_Char_Separation"};
    static const char* const kOrders[] = {"M-D-Y", "D-M-Y", "Y-M-D"};
    list.Add("[Locale]");
    list.Add("AbbreviateCountryCode=" + FAbbreviateCountryCode);
    list.Add("AbbreviateLanguageCode=" + FAbbreviateLanguageName);
    list.Add("CountryCode=" + FCountryCode);
    list.Add("CurrencyDecimalDigits=" + FCurrencyDecimalDigits);
    list.Add("FullCountryCode=" + FFullCountryCode);
    list.Add("FullEnglishLanguageName=" + FFullLanguageEnglishName);
    list.Add("FullLocalizeLanguageName=" + FFullLocalizeLanguage);
    list.Add("IntlMonetarySymbol=" + FInternationalMonetarySymbol);
    list.Add("LocalMonetarySymbol=" + FLocalMonetarySymbol);
    list.Add(std::string("PositiveCurrencyMode=") + kPositive[FPositiveCurrencyMode]);
    list.Add("NegativeCurrencyMode=" + FNegativeCurrencyMode);
    list.Add("CurrencyDecimalSeparator=" + FCurrencyDecimalSeparator);
    list.Add("CurrencyThousandSeparator=" + FCurrencyThousandSeparator);
    list.Add("DecimalSeparator=" + FDecimalSeparator);
    list.Add("NumberOfDecimalDigits=" + FNumberOfDecimalDigits);
    list.Add("ListSeparator=" + FListSeparator);
    list.Add("DateSeparator=" + FDateSeparator);
    list.Add(std::string("LongDateOrder=") + kOrders[FLongDateOrder]);
    list.Add(std::string("ShortDateOrder=") + kOrders[FShortDateOrder]);
    list.Add("ShortDateFormat=" + FShortDateFormat);
    list.Add("TimeFormat=" + FTimeFormat);
    list.Add(std::string("TimeFormatSpecifier=") + (FTimeFormatSpecifier == H12 ? "12H" : "24H"));
    list.Add(std::string("YearFormat=") + (FYearFormat == TwoDigit ? "Two Digit" : "Four Digit"));
    list.Add(std::string("MeasurementSystem=") + (FMeasurementSystem == Metric ? "Metric" : "U.S."));
}

void TLocaleInfo::PublishProperties(TPublished& p) const {
    TPersistent::PublishProperties(p);
    p.Add("FullLocalizeLanguage", FFullLocalizeLanguage);
    p.Add("FullLanguageEnglishName", FFullLanguageEnglishName);
    p.Add("AbbreviateLanguageName", FAbbreviateLanguageName);
    p.Add("CountryCode", FCountryCode);
    p.Add("FullCountryCode", FFullCountryCode);
    p.Add("AbbreviateCountryCode", FAbbreviateCountryCode);
    p.Add("ListSeparator", FListSeparator);
    p.Add("MeasurementSystem", FMeasurementSystem);
    p.Add("DecimalSeparator", FDecimalSeparator);
    p.Add("NumberOfDecimalDigits", FNumberOfDecimalDigits);
    p.Add("LocalMonetarySymbol", FLocalMonetarySymbol);
    p.Add("InternationalMonetarySymbol", FInternationalMonetarySymbol);
    p.Add("CurrencyDecimalSeparator", FCurrencyDecimalSeparator);
    p.Add("CurrencyThousandSeparator", FCurrencyThousandSeparator);
    p.Add("CurrencyDecimalDigits", FCurrencyDecimalDigits);
    p.Add("PositiveCurrencyMode", FPositiveCurrencyMode);
    p.Add("NegativeCurrencyMode", FNegativeCurrencyMode);
    p.Add("DateSeparator", FDateSeparator);
    p.Add("TimeSeparator", FTimeSeparator);
    p.Add("TimeFormat", FTimeFormat);
    p.Add("ShortDateFormat", FShortDateFormat);
    p.Add("ShortDateOrder", FShortDateOrder);
    p.Add("LongDateOrder", FLongDateOrder);
    p.Add("TimeFormatSpecifier", FTimeFormatSpecifier);
    p.Add("YearFormat", FYearFormat);
}

// ---------------------------------------------------------------- TOperatingSystem

TOperatingSystem::TOperatingSystem()
    : FTimeZone(std::make_unique<TTimeZone>()),
      FEnvironment(std::make_unique<TStringList>()),
      FFolders(std::make_unique<TStringList>()),
      FNTSpecific(std::make_unique<TNTSpecific>()),
      FInternet(std::make_unique<TInternet>()),
      FLocaleInfo(std::make_unique<TLocaleInfo>()) {}

TOperatingSystem::~TOperatingSystem() = default;

void TOperatingSystem::GetInfo() {
    FFolders->Clear();
    GuardedCall(GetInfoLabel(*FTimeZone), FExceptionMode, &TTimeZone::GetInfo, *FTimeZone);
    GuardedCall(GetInfoLabel(*FNTSpecific), FExceptionMode, &TNTSpecific::GetInfo, *FNTSpecific);
    GuardedCall(GetInfoLabel(*FInternet), FExceptionMode, &TInternet::GetInfo, *FInternet);
    GuardedCall(GetInfoLabel(*FLocaleInfo), FExceptionMode,
                [this] { FLocaleInfo->GetInfo(win32::LOCALE_SYSTEM_DEFAULT); });

    win32::OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (win32::GetVersionExA(&info)) {
        FMajorVersion = static_cast<std::int32_t>(info.dwMajorVersion);
        FMinorVersion = static_cast<std::int32_t>(info.dwMinorVersion);
        FBuildNumber = static_cast<std::int32_t>(info.dwBuildNumber & 0xFFFF);
        if (info.dwPlatformId <= 2) FPlatform = static_cast<TOSPlatform>(info.dwPlatformId);
        FCSD = std::string(info.szCSDVersion, strnlen(info.szCSDVersion, sizeof info.szCSDVersion));
    }
    FVersion.clear();
    FRegisteredUser.clear();
    FRegisteredOrg.clear();
    FProductID.clear();
    ReadRegistry();

    FFolders->Add("Windows=" + routines::GetWinDir());
    FFolders->Add("System=" + routines::GetSysDir());
    char temp[win32::MAX_PATH] = {};
    win32::DWORD n = win32::GetTempPathA(win32::MAX_PATH, temp);
    FFolders->Add("Temp=" + std::string(temp, n < win32::MAX_PATH ? n : 0));
    AddSpecialFolders();

    std::string desktop = FFolders->Values("Desktop");
    auto slash = desktop.rfind('\\');
    std::string profile = slash == std::string::npos ? desktop : desktop.substr(0, slash);
    if (profile.size() > 255) profile = profile.substr(profile.size() - 255);
    FFolders->Add("Profile=" + profile);

    routines::GetEnvironment(*FEnvironment);
    FLanguageID = "$" + IntToHex(std::uint32_t(win32::GetSystemDefaultLangID()), 4);
}

void TOperatingSystem::ReadRegistry() {
    TRegistryReader key(win32::HKEY_LOCAL_MACHINE, routines::IsNT ? "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"
                                                               : "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    if (!key.IsOpen()) return;
    const char* versionValue = routines::IsNT ? "CurrentType" : "Version";
    if (key.HasValue(versionValue)) FVersion = key.ReadText(versionValue);
    if (key.HasValue("RegisteredOrganization")) FRegisteredOrg = key.ReadText("RegisteredOrganization");
    if (key.HasValue("RegisteredOwner")) FRegisteredUser = key.ReadText("RegisteredOwner");
    if (key.HasValue("ProductID")) FProductID = key.ReadText("ProductID");
    if (key.HasValue("ProductKey")) FProductKey = key.ReadText("ProductKey");
    if (key.HasValue("DVD_Region")) FDVDRegion = key.ReadText("DVD_Region");
    static const char* const kFolders[][2] = {{"CommonFiles=", "CommonFilesDir"}, {"ProgramFiles=", "ProgramFilesDir"},
                                              {"Device=", "DevicePath"},          {"OtherDevice=", "OtherDevicePath"},
                                              {"Media=", "MediaPath"},            {"Config=", "ConfigPath"},
                                              {"Wallpaper=", "WallPaperDir"}};
    // NT keeps these folders where Windows 95 does, not beside its own
    // version values: read there, a value the version key lacks would be
    // empty on every NT PC.
    TRegistryReader shared;
    if (routines::IsNT) shared.Open(win32::HKEY_LOCAL_MACHINE, "\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion");
    for (const auto& f : kFolders)
        FFolders->Add(std::string(f[0]) + (key.HasValue(f[1]) || !shared ? key.ReadText(f[1]) : shared.ReadText(f[1])));
    if (routines::IsNT) FCSD = routines::WithHotfixQ246009(FCSD);
}

void TOperatingSystem::AddSpecialFolders() {
    static const std::pair<const char*, int> kShellFolders[] = {
        {"AppData=", 0x1A},         {"CommonDesktopDir=", 0x19}, {"CommonAltStartUp=", 0x1E}, {"RecycleBin=", 0x0A},
        {"CommonPrograms=", 0x17},  {"CommonStartMenu=", 0x16},  {"CommonStartup=", 0x18},    {"CommonFavorites=", 0x1F},
        {"Cookies=", 0x21},         {"Controls=", 0x03},         {"Desktop=", 0x00},          {"DesktopDir=", 0x10},
        {"Favorites=", 0x06},       {"Drives=", 0x11},           {"Fonts=", 0x14},            {"History=", 0x22},
        {"Internet=", 0x01},        {"InternetCache=", 0x20},    {"NetWork=", 0x12},          {"NetHood=", 0x13},
        {"MyDocuments=", 0x05},     {"PrintHood=", 0x1B},        {"Printers=", 0x04},         {"Programs=", 0x02},
        {"Recent=", 0x08},          {"SendTo=", 0x09},           {"StartMenu=", 0x0B},        {"StartUp=", 0x07},
        {"Templates=", 0x15}};
    for (const auto& [key, csidl] : kShellFolders) FFolders->Add(key + routines::GetSpecialFolder(nullptr, csidl));
}

void TOperatingSystem::Report(TStringList& list) const {
    static const char* const kPlatforms[] = {"Windows 3.1x", "Windows 9x", "Windows NT"};
    list.Add("[Operating System]");
    list.Add(std::string("Platform=") + kPlatforms[FPlatform]);
    list.Add("VersionName=" + FVersion);
    list.Add(Format("Version=%d.%d", {FMajorVersion, FMinorVersion}));
    list.Add(Format("BuildNumber=%d", {FBuildNumber}));
    list.Add("CSD=" + FCSD);
    list.Add("ProductID=" + FProductID);
    list.Add("ProductKey=" + FProductKey);
    list.Add("RegUser=" + FRegisteredUser);
    list.Add("RegOrganization=" + FRegisteredOrg);
    list.Add("DVDRegion=" + FDVDRegion);
    FNTSpecific->Report(list);
    list.Add("[Environment]");
    list.AddStrings(*FEnvironment);
    list.Add("[Folders]");
    list.AddStrings(*FFolders);
    FTimeZone->Report(list);
    FInternet->Report(list);
    FLocaleInfo->Report(list);
}

void TOperatingSystem::PublishProperties(TPublished& p) const {
    TPersistent::PublishProperties(p);
    p.Add("ExceptionMode", FExceptionMode);
    p.Add("MajorVersion", FMajorVersion);
    p.Add("MinorVersion", FMinorVersion);
    p.Add("BuildNumber", FBuildNumber);
    p.Add("Platform", FPlatform);
    p.Add("Version", FVersion);
    p.Add("CSD", FCSD);
    p.Add("ProductID", FProductID);
    p.Add("ProductKey", FProductKey);
    p.Add("RegisteredUser", FRegisteredUser);
    p.Add("RegisteredOrg", FRegisteredOrg);
    p.Add("DVDRegion", FDVDRegion);
    p.Add("TimeZone", FTimeZone);
    p.Add("Environment", FEnvironment);
    p.Add("Folders", FFolders);
    p.Add("NTSpecific", FNTSpecific);
    p.Add("Internet", FInternet);
    p.Add("LocaleInfo", FLocaleInfo);
    p.Add("LanguageID", FLanguageID);
}

}  // namespace torvex::engine
