// The host's locale in Windows' terms: the process locale (LC_ALL, LANG),
// its Windows locale id from the published table, and each locale item
// converted from the C library's locale data into the Windows item's form
// ("%d.%m.%Y" -> "dd.MM.yyyy", sign and symbol positions -> the currency
// mode numbers, grouping bytes -> "3;0").
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>

namespace torvex::platform::host {

// What the C library knows of a locale, as nl_langinfo gives it. Numbers
// the locale leaves open hold 127 (CHAR_MAX), as the C library does.
struct LibcLocaleData {
    std::string decimalPoint, thousandsSep, grouping;
    std::string currencySymbol, intCurrSymbol, monDecimalPoint, monThousandsSep, monGrouping;
    int fracDigits = 127, pCsPrecedes = 127, pSepBySpace = 127, nCsPrecedes = 127, nSepBySpace = 127,
        nSignPosn = 127;
    std::string positiveSign, negativeSign;
    std::string dateFormat, timeFormat, timeFormatAmPm, dateTimeFormat, am, pm;
    int firstWeekday = 1;    // 1 = Sunday, 2 = Monday (week starting on a Sunday)
    int firstWeekDays = 7;   // days of the first week that must fall in the year
    int measurement = 1;     // 1 metric, 2 US
    std::string languageName, countryName, telephonePrefix;
    // Names from Sunday and from January, as the C library counts them.
    std::string dayNames[7], abbrevDayNames[7], monthNames[12], abbrevMonthNames[12];
};

// One row of the Windows locale table.
struct LcidEntry {
    std::uint32_t lcid;
    const char* name;          // "nb_NO"
    const char* english;       // "Norwegian (Bokmal)"
    const char* abbrevLang;    // "NOR"
    const char* country;       // "Norway"
    const char* abbrevCountry; // "NOR"
    const char* countryCode;   // "47"
};

// The Windows locale of a POSIX locale name ("nb_NO.UTF-8@euro" and "nb_NO"
// alike; "no_NO" is Norwegian Bokmal). C and POSIX are the invariant locale
// (007F). nullopt when Windows has no such locale.
std::optional<LcidEntry> LcidOfLocaleName(const std::string& name);

// strftime conversions to Windows picture letters: "%d.%m.%Y" ->
// "dd.MM.yyyy", "%I:%M:%S %p" -> "hh:mm:ss tt". Literal letters are quoted.
std::string WindowsDatePicture(const std::string& strftimeFormat, bool dropTime = false);
std::string WindowsTimePicture(const std::string& strftimeFormat, const std::string& amPmFormat);

// Every item the host answers, by item number.
std::map<std::uint32_t, std::string> WindowsLocaleItems(const LibcLocaleData& data, const LcidEntry& entry);

// The process locale: its name (LC_ALL, else LANG, else "C"; "C" when the
// named locale is not installed) and the C library's data for it.
std::string ProcessLocaleName();
LibcLocaleData ReadLibcLocale();

}  // namespace torvex::platform::host
