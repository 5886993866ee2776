#include "platform/host/HostLocale.h"

#include "platform/machine/FileText.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <vector>

namespace torvex::platform::host {

namespace {

// The published Windows locale ids of the languages a Western European PC
// meets most, with the names Windows gives them.
constexpr LcidEntry kLcids[] = {
    {0x007F, "C", "Invariant Language", "IVL", "Invariant Country", "IVC", "1"},
    {0x0406, "da_DK", "Danish", "DAN", "Denmark", "DNK", "45"},
    {0x0407, "de_DE", "German", "DEU", "Germany", "DEU", "49"},
    {0x0807, "de_CH", "German", "DES", "Switzerland", "CHE", "41"},
    {0x0C07, "de_AT", "German", "DEA", "Austria", "AUT", "43"},
    {0x0408, "el_GR", "Greek", "ELL", "Greece", "GRC", "30"},
    {0x0409, "en_US", "English", "ENU", "United States", "USA", "1"},
    {0x0809, "en_GB", "English", "ENG", "United Kingdom", "GBR", "44"},
    {0x0C09, "en_AU", "English", "ENA", "Australia", "AUS", "61"},
    {0x1009, "en_CA", "English", "ENC", "Canada", "CAN", "2"},
    {0x1809, "en_IE", "English", "ENI", "Ireland", "IRL", "353"},
    {0x0C0A, "es_ES", "Spanish", "ESN", "Spain", "ESP", "34"},
    {0x080A, "es_MX", "Spanish", "ESM", "Mexico", "MEX", "52"},
    {0x0425, "et_EE", "Estonian", "ETI", "Estonia", "EST", "372"},
    {0x040B, "fi_FI", "Finnish", "FIN", "Finland", "FIN", "358"},
    {0x0438, "fo_FO", "Faroese", "FOS", "Faroe Islands", "FRO", "298"},
    {0x040C, "fr_FR", "French", "FRA", "France", "FRA", "33"},
    {0x080C, "fr_BE", "French", "FRB", "Belgium", "BEL", "32"},
    {0x100C, "fr_CH", "French", "FRS", "Switzerland", "CHE", "41"},
    {0x040E, "hu_HU", "Hungarian", "HUN", "Hungary", "HUN", "36"},
    {0x040F, "is_IS", "Icelandic", "ISL", "Iceland", "ISL", "354"},
    {0x0410, "it_IT", "Italian", "ITA", "Italy", "ITA", "39"},
    {0x0411, "ja_JP", "Japanese", "JPN", "Japan", "JPN", "81"},
    {0x0412, "ko_KR", "Korean", "KOR", "Korea", "KOR", "82"},
    {0x0427, "lt_LT", "Lithuanian", "LTH", "Lithuania", "LTU", "370"},
    {0x0426, "lv_LV", "Latvian", "LVI", "Latvia", "LVA", "371"},
    {0x0414, "nb_NO", "Norwegian (Bokmal)", "NOR", "Norway", "NOR", "47"},
    {0x0414, "no_NO", "Norwegian (Bokmal)", "NOR", "Norway", "NOR", "47"},
    {0x0814, "nn_NO", "Norwegian (Nynorsk)", "NON", "Norway", "NOR", "47"},
    {0x0413, "nl_NL", "Dutch", "NLD", "Netherlands", "NLD", "31"},
    {0x0813, "nl_BE", "Dutch", "NLB", "Belgium", "BEL", "32"},
    {0x0415, "pl_PL", "Polish", "PLK", "Poland", "POL", "48"},
    {0x0416, "pt_BR", "Portuguese", "PTB", "Brazil", "BRA", "55"},
    {0x0816, "pt_PT", "Portuguese", "PTG", "Portugal", "PRT", "351"},
    {0x0419, "ru_RU", "Russian", "RUS", "Russia", "RUS", "7"},
    {0x041D, "sv_SE", "Swedish", "SVE", "Sweden", "SWE", "46"},
    {0x081D, "sv_FI", "Swedish", "SVF", "Finland", "FIN", "358"},
    {0x041F, "tr_TR", "Turkish", "TRK", "Turkey", "TUR", "90"},
    {0x0405, "cs_CZ", "Czech", "CSY", "Czech Republic", "CZE", "420"},
    {0x0804, "zh_CN", "Chinese", "CHS", "People's Republic of China", "CHN", "86"},
    {0x0404, "zh_TW", "Chinese", "CHT", "Taiwan", "TWN", "886"},
};

bool Open(int value) { return value == 127 || value < 0; }

// C library grouping bytes -> "3;0": the last size repeats, as in Windows'
// trailing ";0".
std::string Grouping(const std::string& bytes) {
    std::vector<int> sizes;
    for (char c : bytes) {
        int n = static_cast<unsigned char>(c);
        if (n == 0 || n >= 127) break;
        sizes.push_back(n);
    }
    while (sizes.size() > 1 && sizes[sizes.size() - 1] == sizes[sizes.size() - 2]) sizes.pop_back();
    if (sizes.empty()) return "0";
    std::string out;
    for (int n : sizes) out += std::to_string(n) + ";";
    return out + "0";
}

// Windows' negative currency modes 0-15 from the C library's symbol
// position, separation and sign position.
int NegativeCurrencyMode(int precedes, int separated, int signPosition) {
    bool prefix = precedes == 1;
    bool space = separated == 1 || separated == 2;
    if (Open(signPosition)) signPosition = 1;
    if (prefix && !space) {
        switch (signPosition) {
        case 0: return 0;    // ($1.1)
        case 2: return 3;    // $1.1-
        case 4: return 2;    // $-1.1
        default: return 1;   // -$1.1
        }
    }
    if (!prefix && !space) {
        switch (signPosition) {
        case 0: return 4;    // (1.1$)
        case 3: return 6;    // 1.1-$
        case 2:
        case 4: return 7;    // 1.1$-
        default: return 5;   // -1.1$
        }
    }
    if (!prefix) {
        switch (signPosition) {
        case 0: return 15;   // (1.1 $)
        case 3: return 13;   // 1.1- $
        case 2:
        case 4: return 10;   // 1.1 $-
        default: return 8;   // -1.1 $
        }
    }
    switch (signPosition) {
    case 0: return 14;   // ($ 1.1)
    case 2: return 11;   // $ 1.1-
    case 4: return 12;   // $ -1.1
    default: return 9;   // -$ 1.1
    }
}

// The first separator between the fields of a picture ("dd.MM.yyyy" -> ".").
std::string Separator(const std::string& picture, const char* fieldLetters) {
    std::size_t i = picture.find_first_of(fieldLetters);
    if (i == std::string::npos) return {};
    i = picture.find_first_not_of(fieldLetters, i);
    if (i == std::string::npos) return {};
    std::size_t end = picture.find_first_of(fieldLetters, i);
    std::string sep = picture.substr(i, end == std::string::npos ? std::string::npos : end - i);
    if (sep.size() >= 2 && sep.front() == '\'' && sep.back() == '\'') sep = sep.substr(1, sep.size() - 2);
    return sep;
}

// 0 month-day-year, 1 day-month-year, 2 year-month-day.
std::string Order(const std::string& picture) {
    // The day is "d" or "dd"; "ddd" and "dddd" name the weekday.
    std::size_t d = std::string::npos, m = picture.find('M'), y = picture.find('y');
    for (std::size_t i = 0; i < picture.size();) {
        std::size_t n = 1;
        while (i + n < picture.size() && picture[i + n] == picture[i]) ++n;
        if (picture[i] == 'd' && n <= 2) {
            d = i;
            break;
        }
        i += n;
    }
    if (y != std::string::npos && (m == std::string::npos || y < m) && (d == std::string::npos || y < d)) return "2";
    if (d != std::string::npos && m != std::string::npos && d < m) return "1";
    return "0";
}

std::string Convert(const std::string& f, bool dropTime, bool& hasAmPm) {
    std::string out, literal;
    auto flush = [&] {
        if (literal.empty()) return;
        bool letters = literal.find_first_of("dMyhHmstgaAbBpP") != std::string::npos;
        out += letters ? "'" + literal + "'" : literal;
        literal.clear();
    };
    auto emit = [&](const std::string& picture) {
        flush();
        out += picture;
    };
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] != '%' || i + 1 >= f.size()) {
            literal += f[i];
            continue;
        }
        char c = f[++i];
        while ((c == '-' || c == '_' || c == '0' || c == '^' || c == '#' || c == 'E' || c == 'O') && i + 1 < f.size())
            c = f[++i];
        switch (c) {
        case 'd': emit("dd"); break;
        case 'e': emit("d"); break;
        case 'm': emit("MM"); break;
        case 'b': case 'h': emit("MMM"); break;
        case 'B': emit("MMMM"); break;
        case 'a': emit("ddd"); break;
        case 'A': emit("dddd"); break;
        case 'Y': emit("yyyy"); break;
        case 'y': emit("yy"); break;
        case 'C': emit("yy"); break;
        case 'F': emit("yyyy-MM-dd"); break;
        case 'D': emit("MM/dd/yy"); break;
        case 'x': emit("dd/MM/yy"); break;
        case 'n': literal += ' '; break;
        case 't': literal += ' '; break;
        case '%': literal += '%'; break;
        case 'H': case 'k': case 'I': case 'l': case 'M': case 'S': case 'p': case 'P': case 'r': case 'R':
        case 'T': case 'X': case 'Z': case 'z': case 'c':
            if (dropTime) {
                // Drop the field and the separator written before it.
                while (!literal.empty() && (literal.back() == ':' || literal.back() == ' ')) literal.pop_back();
                break;
            }
            switch (c) {
            case 'H': emit("HH"); break;
            case 'k': emit("H"); break;
            case 'I': emit("hh"); break;
            case 'l': emit("h"); break;
            case 'M': emit("mm"); break;
            case 'S': emit("ss"); break;
            case 'p': case 'P': emit("tt"); hasAmPm = true; break;
            case 'R': emit("HH:mm"); break;
            case 'T': case 'X': emit("HH:mm:ss"); break;
            default: break;   // zone names and combined fields have no picture letter
            }
            break;
        default:
            break;
        }
    }
    flush();
    while (!out.empty() && (out.back() == ' ' || out.back() == ',')) out.pop_back();
    while (!out.empty() && out.front() == ' ') out.erase(out.begin());
    return out;
}

std::string Langinfo(locale_t loc, nl_item item) {
    const char* s = nl_langinfo_l(item, loc);
    return s ? s : "";
}

int LanginfoByte(locale_t loc, nl_item item) {
    const char* s = nl_langinfo_l(item, loc);
    return s ? static_cast<signed char>(s[0]) : 127;
}

}  // namespace

std::optional<LcidEntry> LcidOfLocaleName(const std::string& full) {
    std::string name = full.substr(0, full.find_first_of(".@"));
    if (name.empty() || name == "C" || name == "POSIX") name = "C";
    for (const auto& e : kLcids)
        if (name == e.name) return e;
    return std::nullopt;
}

std::string WindowsDatePicture(const std::string& f, bool dropTime) {
    bool ampm = false;
    return Convert(f, dropTime, ampm);
}

std::string WindowsTimePicture(const std::string& f, const std::string& amPmFormat) {
    bool ampm = false;
    std::string fmt = f;
    // "%r" is the 12-hour clock in the locale's own form.
    for (std::size_t at; (at = fmt.find("%r")) != std::string::npos;) fmt.replace(at, 2, amPmFormat);
    return Convert(fmt, false, ampm);
}

std::map<std::uint32_t, std::string> WindowsLocaleItems(const LibcLocaleData& d, const LcidEntry& e) {
    std::map<std::uint32_t, std::string> items;
    char id[8];
    std::snprintf(id, sizeof id, "%04x", static_cast<unsigned>(e.lcid));
    std::string shortDate = WindowsDatePicture(d.dateFormat);
    std::string longDate = WindowsDatePicture(d.dateTimeFormat, true);
    if (longDate.empty()) longDate = shortDate;
    std::string time = WindowsTimePicture(d.timeFormat, d.timeFormatAmPm);
    bool twelveHour = time.find('h') != std::string::npos || time.find("tt") != std::string::npos;
    int frac = Open(d.fracDigits) ? 2 : d.fracDigits;

    items[0x01] = id;
    items[0x02] = d.languageName.empty() ? e.english : d.languageName;   // LOCALE_SLANGUAGE
    items[0x03] = e.abbrevLang;
    items[0x04] = d.languageName.empty() ? e.english : d.languageName;
    items[0x05] = d.telephonePrefix.empty() ? e.countryCode : d.telephonePrefix;
    items[0x06] = d.countryName.empty() ? e.country : d.countryName;
    items[0x07] = e.abbrevCountry;
    items[0x08] = items[0x06];
    items[0x0C] = d.decimalPoint == "," ? ";" : ",";
    items[0x0D] = d.measurement == 2 ? "1" : "0";
    items[0x0E] = d.decimalPoint;
    items[0x0F] = d.thousandsSep;
    items[0x10] = Grouping(d.grouping);
    items[0x11] = std::to_string(frac);
    items[0x12] = "1";
    items[0x13] = "0123456789";
    items[0x14] = d.currencySymbol;
    items[0x15] = d.intCurrSymbol.substr(0, 3);
    items[0x16] = d.monDecimalPoint;
    items[0x17] = d.monThousandsSep;
    items[0x18] = Grouping(d.monGrouping);
    items[0x19] = std::to_string(frac);
    items[0x1A] = std::to_string(frac);
    bool prefix = d.pCsPrecedes == 1;
    bool space = d.pSepBySpace == 1 || d.pSepBySpace == 2;
    items[0x1B] = std::to_string(prefix ? (space ? 2 : 0) : (space ? 3 : 1));
    items[0x1C] = std::to_string(NegativeCurrencyMode(d.nCsPrecedes, d.nSepBySpace, d.nSignPosn));
    items[0x1D] = Separator(shortDate, "dMy");
    items[0x1E] = Separator(time, "hHms");
    items[0x1F] = shortDate;
    items[0x20] = longDate;
    items[0x21] = Order(shortDate);
    items[0x22] = Order(longDate);
    items[0x23] = twelveHour ? "0" : "1";
    items[0x24] = shortDate.find("yyyy") != std::string::npos ? "1" : "0";
    items[0x25] = time.find("HH") != std::string::npos || time.find("hh") != std::string::npos ? "1" : "0";
    items[0x26] = shortDate.find("dd") != std::string::npos ? "1" : "0";
    items[0x27] = shortDate.find("MM") != std::string::npos ? "1" : "0";
    items[0x28] = d.am;
    items[0x29] = d.pm;
    // The day and month names of dates: Windows counts days from Monday
    // (LOCALE_SDAYNAME1), the C library from Sunday. Names the locale does
    // not give are left to the caller's own.
    for (int i = 0; i < 7; ++i) {
        int libc = (i + 1) % 7;
        if (!d.dayNames[libc].empty()) items[0x2A + i] = d.dayNames[libc];
        if (!d.abbrevDayNames[libc].empty()) items[0x31 + i] = d.abbrevDayNames[libc];
    }
    for (int i = 0; i < 12; ++i) {
        if (!d.monthNames[i].empty()) items[0x38 + i] = d.monthNames[i];
        if (!d.abbrevMonthNames[i].empty()) items[0x44 + i] = d.abbrevMonthNames[i];
    }
    items[0x50] = d.positiveSign;
    items[0x51] = d.negativeSign.empty() ? "-" : d.negativeSign;
    items[0x1001] = e.english;
    items[0x1002] = e.country;
    items[0x1003] = time;
    items[0x1004] = "65001";
    items[0x1009] = "1";
    items[0x100C] = std::to_string((d.firstWeekday + 5) % 7);
    items[0x100D] = d.firstWeekDays >= 7 ? "1" : d.firstWeekDays >= 4 ? "2" : "0";
    items[0x1010] = "1";
    if (TraceEnabled())
        for (const auto& [item, value] : items)
            if (value.empty()) {
                char what[96];
                std::snprintf(what, sizeof what, "item %02Xh of locale %04x: the C library's locale has no value for it",
                              unsigned(item), unsigned(e.lcid));
                Trace("locale", what);
            }
    return items;
}

namespace {

// The environment's locale as the C library loads it (its thirteen category
// files), loaded once for the name and the items both and again only when
// the variables naming it change; null when the locale named is not
// installed. Used under the lock by `use`.
struct EnvironmentLocaleCache {
    std::mutex mutex;
    locale_t loc = nullptr;
    std::optional<std::string> loadedFor;
};
EnvironmentLocaleCache& TheEnvironmentLocale() {
    static EnvironmentLocaleCache cache;
    return cache;
}

template <class F>
auto WithEnvironmentLocale(F use) {
    EnvironmentLocaleCache& c = TheEnvironmentLocale();
    std::string key;
    for (const char* var : {"LC_ALL", "LC_CTYPE", "LC_NUMERIC", "LC_TIME", "LC_COLLATE", "LC_MONETARY", "LC_MESSAGES",
                            "LC_PAPER", "LC_NAME", "LC_ADDRESS", "LC_TELEPHONE", "LC_MEASUREMENT",
                            "LC_IDENTIFICATION", "LANG", "LOCPATH"}) {
        const char* v = std::getenv(var);
        key += v ? std::string("=") + v : std::string("-");
        key += '\n';
    }
    std::lock_guard lock(c.mutex);
    if (c.loadedFor != key) {
        if (c.loc) freelocale(c.loc);
        c.loc = newlocale(LC_ALL_MASK, "", nullptr);
        c.loadedFor = key;
    }
    return use(c.loc);
}

}  // namespace

std::string ProcessLocaleName() {
    // A locale that is named but not installed is not the one in use: the
    // C library then works in "C", and so do the items read from it.
    if (!WithEnvironmentLocale([](locale_t loc) { return loc != nullptr; })) return "C";
    for (const char* var : {"LC_ALL", "LANG"})
        if (const char* v = std::getenv(var); v && *v) return v;
    return "C";
}

LibcLocaleData ReadLibcLocale() {
    return WithEnvironmentLocale([](locale_t environment) {
        LibcLocaleData d;
        locale_t own = environment ? nullptr : newlocale(LC_ALL_MASK, "C", nullptr);
        locale_t loc = own ? own : environment;
        if (!loc) return d;
        d.decimalPoint = Langinfo(loc, RADIXCHAR);
        d.thousandsSep = Langinfo(loc, THOUSEP);
        d.grouping = Langinfo(loc, GROUPING);
        d.currencySymbol = Langinfo(loc, __CURRENCY_SYMBOL);
        d.intCurrSymbol = Langinfo(loc, __INT_CURR_SYMBOL);
        d.monDecimalPoint = Langinfo(loc, __MON_DECIMAL_POINT);
        d.monThousandsSep = Langinfo(loc, __MON_THOUSANDS_SEP);
        d.monGrouping = Langinfo(loc, __MON_GROUPING);
        d.fracDigits = LanginfoByte(loc, __FRAC_DIGITS);
        d.pCsPrecedes = LanginfoByte(loc, __P_CS_PRECEDES);
        d.pSepBySpace = LanginfoByte(loc, __P_SEP_BY_SPACE);
        d.nCsPrecedes = LanginfoByte(loc, __N_CS_PRECEDES);
        d.nSepBySpace = LanginfoByte(loc, __N_SEP_BY_SPACE);
        d.nSignPosn = LanginfoByte(loc, __N_SIGN_POSN);
        d.positiveSign = Langinfo(loc, __POSITIVE_SIGN);
        d.negativeSign = Langinfo(loc, __NEGATIVE_SIGN);
        d.dateFormat = Langinfo(loc, D_FMT);
        d.timeFormat = Langinfo(loc, T_FMT);
        d.timeFormatAmPm = Langinfo(loc, T_FMT_AMPM);
        d.dateTimeFormat = Langinfo(loc, D_T_FMT);
        d.am = Langinfo(loc, AM_STR);
        d.pm = Langinfo(loc, PM_STR);
        d.firstWeekday = LanginfoByte(loc, _NL_TIME_FIRST_WEEKDAY);
        d.firstWeekDays = LanginfoByte(loc, _NL_TIME_WEEK_1STWEEK);
        d.measurement = LanginfoByte(loc, _NL_MEASUREMENT_MEASUREMENT);
        d.languageName = Langinfo(loc, _NL_ADDRESS_LANG_NAME);
        d.countryName = Langinfo(loc, _NL_ADDRESS_COUNTRY_NAME);
        d.telephonePrefix = Langinfo(loc, _NL_TELEPHONE_INT_PREFIX);
        for (int i = 0; i < 7; ++i) {
            d.dayNames[i] = Langinfo(loc, nl_item(DAY_1 + i));
            d.abbrevDayNames[i] = Langinfo(loc, nl_item(ABDAY_1 + i));
        }
        for (int i = 0; i < 12; ++i) {
            d.monthNames[i] = Langinfo(loc, nl_item(MON_1 + i));
            d.abbrevMonthNames[i] = Langinfo(loc, nl_item(ABMON_1 + i));
        }
        if (own) freelocale(own);
        return d;
    });
}

}  // namespace torvex::platform::host
