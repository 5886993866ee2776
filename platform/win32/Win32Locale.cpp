// National language support over the active machine.
//
// Windows carries the locales' own items in its national language tables
// (the same on every PC of a version) and keeps the user's changes in
// HKEY_CURRENT_USER\Control Panel\International, the system locale under
// HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Nls\Locale. A machine
// without Windows' tables (the live host) answers its one locale itself.
#include "platform/win32/Win32Locale.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <utility>

#include "platform/machine/Machine.h"

namespace win32 {

namespace {

using torvex::platform::ActiveMachine;
using torvex::platform::RegKey;
using torvex::platform::RegRoot;
using torvex::platform::RegValue;

using Items = std::map<LCTYPE, const char*>;

// The items all five Western locales share.
const Items& CommonItems() {
    static const Items items = {
        {LOCALE_SGROUPING, "3;0"},     {LOCALE_IDIGITS, "2"},        {LOCALE_ILZERO, "1"},
        {LOCALE_SNATIVEDIGITS, "0123456789"},
        {LOCALE_SMONGROUPING, "3;0"},  {LOCALE_ICURRDIGITS, "2"},    {LOCALE_IINTLCURRDIGITS, "2"},
        {LOCALE_ICENTURY, "1"},        {LOCALE_ITLZERO, "1"},        {LOCALE_IDAYLZERO, "1"},
        {LOCALE_IMONLZERO, "1"},       {LOCALE_SPOSITIVESIGN, ""},   {LOCALE_SNEGATIVESIGN, "-"},
        {LOCALE_ICALENDARTYPE, "1"},   {LOCALE_INEGNUMBER, "1"},     {LOCALE_IDEFAULTANSICODEPAGE, "1252"},
    };
    return items;
}

// The national language tables of the Western European editions and US
// English. Separators that Windows writes as a no-break space keep it.
const std::map<LCID, Items>& Tables() {
    static const std::map<LCID, Items> tables = {
        {0x0409,
         {{LOCALE_SLANGUAGE, "English (United States)"}, {LOCALE_SENGLANGUAGE, "English"},
          {LOCALE_SABBREVLANGNAME, "ENU"}, {LOCALE_SNATIVELANGNAME, "English"}, {LOCALE_ICOUNTRY, "1"},
          {LOCALE_SCOUNTRY, "United States"}, {LOCALE_SENGCOUNTRY, "United States"},
          {LOCALE_SABBREVCTRYNAME, "USA"}, {LOCALE_SNATIVECTRYNAME, "United States"},
          {LOCALE_IDEFAULTCODEPAGE, "437"}, {LOCALE_SLIST, ","}, {LOCALE_IMEASURE, "1"},
          {LOCALE_SDECIMAL, "."}, {LOCALE_STHOUSAND, ","}, {LOCALE_SCURRENCY, "$"}, {LOCALE_SINTLSYMBOL, "USD"},
          {LOCALE_SMONDECIMALSEP, "."}, {LOCALE_SMONTHOUSANDSEP, ","}, {LOCALE_ICURRENCY, "0"},
          {LOCALE_INEGCURR, "0"}, {LOCALE_SDATE, "/"}, {LOCALE_STIME, ":"}, {LOCALE_SSHORTDATE, "M/d/yyyy"},
          {LOCALE_SLONGDATE, "dddd, MMMM dd, yyyy"}, {LOCALE_IDATE, "0"}, {LOCALE_ILDATE, "0"},
          {LOCALE_ITIME, "0"}, {LOCALE_ITLZERO, "0"}, {LOCALE_S1159, "AM"}, {LOCALE_S2359, "PM"},
          {LOCALE_STIMEFORMAT, "h:mm:ss tt"}, {LOCALE_IFIRSTDAYOFWEEK, "6"}, {LOCALE_IFIRSTWEEKOFYEAR, "0"}}},
        {0x0406,
         {{LOCALE_SLANGUAGE, "Dansk"}, {LOCALE_SENGLANGUAGE, "Danish"}, {LOCALE_SABBREVLANGNAME, "DAN"},
          {LOCALE_SNATIVELANGNAME, "dansk"}, {LOCALE_ICOUNTRY, "45"}, {LOCALE_SCOUNTRY, "Danmark"},
          {LOCALE_SENGCOUNTRY, "Denmark"}, {LOCALE_SABBREVCTRYNAME, "DNK"}, {LOCALE_SNATIVECTRYNAME, "Danmark"},
          {LOCALE_IDEFAULTCODEPAGE, "850"}, {LOCALE_SLIST, ";"}, {LOCALE_IMEASURE, "0"},
          {LOCALE_SDECIMAL, ","}, {LOCALE_STHOUSAND, "."}, {LOCALE_SCURRENCY, "kr"}, {LOCALE_SINTLSYMBOL, "DKK"},
          {LOCALE_SMONDECIMALSEP, ","}, {LOCALE_SMONTHOUSANDSEP, "."}, {LOCALE_ICURRENCY, "2"},
          {LOCALE_INEGCURR, "12"}, {LOCALE_SDATE, "-"}, {LOCALE_STIME, ":"}, {LOCALE_SSHORTDATE, "dd-MM-yyyy"},
          {LOCALE_SLONGDATE, "d. MMMM yyyy"}, {LOCALE_IDATE, "1"}, {LOCALE_ILDATE, "1"}, {LOCALE_ITIME, "1"},
          {LOCALE_S1159, ""}, {LOCALE_S2359, ""}, {LOCALE_STIMEFORMAT, "HH:mm:ss"},
          {LOCALE_IFIRSTDAYOFWEEK, "0"}, {LOCALE_IFIRSTWEEKOFYEAR, "2"}}},
        {0x0414,
         {{LOCALE_SLANGUAGE, "Norsk (bokmål)"}, {LOCALE_SENGLANGUAGE, "Norwegian (Bokmal)"},
          {LOCALE_SABBREVLANGNAME, "NOR"}, {LOCALE_SNATIVELANGNAME, "norsk (bokmål)"}, {LOCALE_ICOUNTRY, "47"},
          {LOCALE_SCOUNTRY, "Norge"}, {LOCALE_SENGCOUNTRY, "Norway"}, {LOCALE_SABBREVCTRYNAME, "NOR"},
          {LOCALE_SNATIVECTRYNAME, "Norge"}, {LOCALE_IDEFAULTCODEPAGE, "850"}, {LOCALE_SLIST, ";"},
          {LOCALE_IMEASURE, "0"}, {LOCALE_SDECIMAL, ","}, {LOCALE_STHOUSAND, "\u00A0"}, {LOCALE_SCURRENCY, "kr"},
          {LOCALE_SINTLSYMBOL, "NOK"}, {LOCALE_SMONDECIMALSEP, ","}, {LOCALE_SMONTHOUSANDSEP, "\u00A0"},
          {LOCALE_ICURRENCY, "2"}, {LOCALE_INEGCURR, "12"}, {LOCALE_SDATE, "."}, {LOCALE_STIME, ":"},
          {LOCALE_SSHORTDATE, "dd.MM.yyyy"}, {LOCALE_SLONGDATE, "d. MMMM yyyy"}, {LOCALE_IDATE, "1"},
          {LOCALE_ILDATE, "1"}, {LOCALE_ITIME, "1"}, {LOCALE_S1159, ""}, {LOCALE_S2359, ""},
          {LOCALE_STIMEFORMAT, "HH:mm:ss"}, {LOCALE_IFIRSTDAYOFWEEK, "0"}, {LOCALE_IFIRSTWEEKOFYEAR, "2"}}},
        {0x041D,
         {{LOCALE_SLANGUAGE, "Svenska"}, {LOCALE_SENGLANGUAGE, "Swedish"}, {LOCALE_SABBREVLANGNAME, "SVE"},
          {LOCALE_SNATIVELANGNAME, "svenska"}, {LOCALE_ICOUNTRY, "46"}, {LOCALE_SCOUNTRY, "Sverige"},
          {LOCALE_SENGCOUNTRY, "Sweden"}, {LOCALE_SABBREVCTRYNAME, "SWE"}, {LOCALE_SNATIVECTRYNAME, "Sverige"},
          {LOCALE_IDEFAULTCODEPAGE, "850"}, {LOCALE_SLIST, ";"}, {LOCALE_IMEASURE, "0"},
          {LOCALE_SDECIMAL, ","}, {LOCALE_STHOUSAND, "\u00A0"}, {LOCALE_SCURRENCY, "kr"},
          {LOCALE_SINTLSYMBOL, "SEK"}, {LOCALE_SMONDECIMALSEP, ","}, {LOCALE_SMONTHOUSANDSEP, "."},
          {LOCALE_ICURRENCY, "3"}, {LOCALE_INEGCURR, "8"}, {LOCALE_SDATE, "-"}, {LOCALE_STIME, ":"},
          {LOCALE_SSHORTDATE, "yyyy-MM-dd"}, {LOCALE_SLONGDATE, "'den 'd MMMM yyyy"}, {LOCALE_IDATE, "2"},
          {LOCALE_ILDATE, "1"}, {LOCALE_ITIME, "1"}, {LOCALE_S1159, ""}, {LOCALE_S2359, ""},
          {LOCALE_STIMEFORMAT, "HH:mm:ss"}, {LOCALE_IFIRSTDAYOFWEEK, "0"}, {LOCALE_IFIRSTWEEKOFYEAR, "2"}}},
        {0x040B,
         {{LOCALE_SLANGUAGE, "suomi"}, {LOCALE_SENGLANGUAGE, "Finnish"}, {LOCALE_SABBREVLANGNAME, "FIN"},
          {LOCALE_SNATIVELANGNAME, "suomi"}, {LOCALE_ICOUNTRY, "358"}, {LOCALE_SCOUNTRY, "Suomi"},
          {LOCALE_SENGCOUNTRY, "Finland"}, {LOCALE_SABBREVCTRYNAME, "FIN"}, {LOCALE_SNATIVECTRYNAME, "Suomi"},
          {LOCALE_IDEFAULTCODEPAGE, "850"}, {LOCALE_SLIST, ";"}, {LOCALE_IMEASURE, "0"},
          {LOCALE_SDECIMAL, ","}, {LOCALE_STHOUSAND, "\u00A0"}, {LOCALE_SCURRENCY, "€"},
          {LOCALE_SINTLSYMBOL, "EUR"}, {LOCALE_SMONDECIMALSEP, ","}, {LOCALE_SMONTHOUSANDSEP, "\u00A0"},
          {LOCALE_ICURRENCY, "3"}, {LOCALE_INEGCURR, "8"}, {LOCALE_SDATE, "."}, {LOCALE_STIME, ":"},
          {LOCALE_SSHORTDATE, "d.M.yyyy"}, {LOCALE_SLONGDATE, "d. MMMM'ta 'yyyy"}, {LOCALE_IDATE, "1"},
          {LOCALE_ILDATE, "1"}, {LOCALE_ITIME, "1"}, {LOCALE_S1159, ""}, {LOCALE_S2359, ""},
          {LOCALE_STIMEFORMAT, "H:mm:ss"}, {LOCALE_IFIRSTDAYOFWEEK, "0"}, {LOCALE_IFIRSTWEEKOFYEAR, "2"}}},
    };
    return tables;
}

// The control panel's value name of each user setting.
const std::map<LCTYPE, const char*>& UserSettingNames() {
    static const std::map<LCTYPE, const char*> names = {
        {LOCALE_ICOUNTRY, "iCountry"},        {LOCALE_SCOUNTRY, "sCountry"},
        {LOCALE_SLIST, "sList"},              {LOCALE_IMEASURE, "iMeasure"},
        {LOCALE_SDECIMAL, "sDecimal"},        {LOCALE_STHOUSAND, "sThousand"},
        {LOCALE_SGROUPING, "sGrouping"},      {LOCALE_IDIGITS, "iDigits"},
        {LOCALE_ILZERO, "iLZero"},            {LOCALE_SNATIVEDIGITS, "sNativeDigits"},
        {LOCALE_SCURRENCY, "sCurrency"},      {LOCALE_SMONDECIMALSEP, "sMonDecimalSep"},
        {LOCALE_SMONTHOUSANDSEP, "sMonThousandSep"}, {LOCALE_SMONGROUPING, "sMonGrouping"},
        {LOCALE_ICURRDIGITS, "iCurrDigits"},  {LOCALE_ICURRENCY, "iCurrency"},
        {LOCALE_INEGCURR, "iNegCurr"},        {LOCALE_SDATE, "sDate"},
        {LOCALE_STIME, "sTime"},              {LOCALE_SSHORTDATE, "sShortDate"},
        {LOCALE_SLONGDATE, "sLongDate"},      {LOCALE_IDATE, "iDate"},
        {LOCALE_ITIME, "iTime"},              {LOCALE_ITLZERO, "iTLZero"},
        {LOCALE_S1159, "s1159"},              {LOCALE_S2359, "s2359"},
        {LOCALE_SPOSITIVESIGN, "sPositiveSign"}, {LOCALE_SNEGATIVESIGN, "sNegativeSign"},
        {LOCALE_STIMEFORMAT, "sTimeFormat"},  {LOCALE_ICALENDARTYPE, "iCalendarType"},
        {LOCALE_IFIRSTDAYOFWEEK, "iFirstDayOfWeek"}, {LOCALE_IFIRSTWEEKOFYEAR, "iFirstWeekOfYear"},
        {LOCALE_INEGNUMBER, "iNegNumber"},
    };
    return names;
}

constexpr const char* kInternational = "Control Panel\\International";

std::optional<LCID> HexLocale(const RegKey* key, const char* name) {
    if (!key) return std::nullopt;
    const RegValue* v = key->value(name);
    if (!v) return std::nullopt;
    std::string text = v->text();
    if (text.empty()) return std::nullopt;
    char* end = nullptr;
    unsigned long n = std::strtoul(text.c_str(), &end, 16);
    if (!end || *end || n == 0) return std::nullopt;
    return static_cast<LCID>(n & 0xFFFF);
}

LCID UserLocale() {
    auto& m = ActiveMachine();
    if (auto id = m.localeId()) return *id;
    auto& r = m.registry();
    if (auto id = HexLocale(r.root(RegRoot::CurrentUser).find(kInternational), "Locale")) return *id;
    return GetSystemDefaultLCID();
}

LCID Resolve(LCID locale) {
    LCID id = locale & 0xFFFF;
    if (id == LOCALE_SYSTEM_DEFAULT) return GetSystemDefaultLCID();
    if (id == LOCALE_USER_DEFAULT || id == 0) return UserLocale();
    return id;
}

std::optional<std::string> Item(LCID locale, LCTYPE type) {
    bool noOverride = (type & LOCALE_NOUSEROVERRIDE) != 0;
    type &= ~LOCALE_NOUSEROVERRIDE;
    LCID id = Resolve(locale);
    auto& m = ActiveMachine();
    if (m.localeId()) return m.localeItem(id, type);

    if (!noOverride && id == UserLocale()) {
        auto name = UserSettingNames().find(type);
        RegKey* intl = m.registry().root(RegRoot::CurrentUser).find(kInternational);
        if (name != UserSettingNames().end() && intl)
            if (const RegValue* v = intl->value(name->second)) return v->text();
        // The century and leading-zero items follow the user's short date
        // picture, so that "M/d/yy" is not paired with a four-digit year.
        if (intl && (type == LOCALE_ICENTURY || type == LOCALE_IDAYLZERO || type == LOCALE_IMONLZERO))
            if (const RegValue* v = intl->value("sShortDate")) {
                const char* field = type == LOCALE_ICENTURY ? "yyyy" : type == LOCALE_IDAYLZERO ? "dd" : "MM";
                return std::string(v->text().find(field) != std::string::npos ? "1" : "0");
            }
    }
    auto table = Tables().find(id);
    if (table == Tables().end()) return std::nullopt;
    if (auto it = table->second.find(type); it != table->second.end()) return std::string(it->second);
    if (auto it = CommonItems().find(type); it != CommonItems().end()) return std::string(it->second);
    if (type == LOCALE_ILANGUAGE) {
        char text[8];
        std::snprintf(text, sizeof text, "%04x", static_cast<unsigned>(id));
        return std::string(text);
    }
    return std::nullopt;
}

}  // namespace

int GetLocaleInfoA(LCID locale, LCTYPE type, LPSTR buffer, int size) {
    std::optional<std::string> item = Item(locale, type);
    if (!item || size < 0 || (size > 0 && !buffer)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    int need = static_cast<int>(item->size()) + 1;
    if (size == 0) return need;
    if (size < need) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, item->c_str(), static_cast<std::size_t>(need));
    return need;
}

BOOL SetLocaleInfoA(LCID locale, LCTYPE type, LPCSTR data) {
    (void)locale;   // Windows changes the user's settings whatever the id
    auto name = UserSettingNames().find(type);
    if (!data || name == UserSettingNames().end()) {
        SetLastError(ERROR_INVALID_FLAGS);
        return FALSE;
    }
    auto& m = ActiveMachine();
    if (!m.acceptsSettingChanges()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // The user's settings are kept for the user's locale: the first change
    // fixes that locale in the key, as the control panel does.
    RegKey& intl = m.registry().root(RegRoot::CurrentUser).ensure(kInternational);
    if (!intl.value("Locale")) {
        char text[12];
        std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(UserLocale()));
        intl.setValue(RegValue::String("Locale", text));
    }
    intl.setValue(RegValue::String(name->second, data));
    return TRUE;
}

LCID GetSystemDefaultLCID() {
    auto& m = ActiveMachine();
    if (auto id = m.localeId()) return *id;
    auto& r = m.registry();
    if (auto id = HexLocale(r.root(RegRoot::LocalMachine).find("SYSTEM\\CurrentControlSet\\Control\\Nls\\Locale"), ""))
        return *id;
    if (auto id = HexLocale(r.root(RegRoot::Users).find(std::string(".DEFAULT\\") + kInternational), "Locale"))
        return *id;
    if (auto id = HexLocale(r.root(RegRoot::CurrentUser).find(kInternational), "Locale")) return *id;
    return 0x0409;
}

LCID GetUserDefaultLCID() { return UserLocale(); }
LCID GetThreadLocale() { return UserLocale(); }
LANGID GetSystemDefaultLangID() { return LANGIDFROMLCID(GetSystemDefaultLCID()); }
LANGID GetUserDefaultLangID() { return LANGIDFROMLCID(GetUserDefaultLCID()); }

DWORD VerLanguageNameA(DWORD language, LPSTR buffer, DWORD size) {
    std::string name = Item(language & 0xFFFF, LOCALE_SLANGUAGE | LOCALE_NOUSEROVERRIDE).value_or("Language Neutral");
    if (buffer && size > 0) {
        std::size_t n = std::min<std::size_t>(name.size(), size - 1);
        std::memcpy(buffer, name.data(), n);
        buffer[n] = '\0';
        return static_cast<DWORD>(n);
    }
    return static_cast<DWORD>(name.size());
}

}  // namespace win32
