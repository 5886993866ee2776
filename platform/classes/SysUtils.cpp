#include "platform/classes/SysUtils.h"

#include <dlfcn.h>

#include "platform/machine/FileText.h"

#include <unicode/ucol.h>
#include <unicode/uloc.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace torvex::classes {

const TFormatSettings& DefaultFormatSettings() {
    static const TFormatSettings settings;
    return settings;
}

std::uint64_t TVarRec::bits() const {
    switch (kind_) {
        case Kind::Int32: return std::uint32_t(std::int32_t(int_));
        case Kind::UInt32: return std::uint32_t(uint_);
        case Kind::Int64: return std::uint64_t(int_);
        case Kind::UInt64: return uint_;
        default: return 0;
    }
}

namespace {

// A decimal number: 0.d1d2d3... x 10^exp, digits without leading zeros
// (empty for zero).
struct Decimal {
    bool negative = false;
    std::string digits;
    int exp = 0;
};

Decimal DecimalOf(std::uint64_t magnitude, bool negative) {
    Decimal d;
    d.negative = negative;
    if (magnitude == 0) return d;
    d.digits = std::to_string(magnitude);
    d.exp = int(d.digits.size());
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    return d;
}

Decimal DecimalOf(std::int64_t v) {
    std::uint64_t m = v < 0 ? std::uint64_t(0) - std::uint64_t(v) : std::uint64_t(v);
    return DecimalOf(m, v < 0);
}

// Eighteen significant digits, the precision of the extended type that the
// report formats were designed around; rounding happens on these digits.
Decimal DecimalOf(double v) {
    Decimal d;
    d.negative = std::signbit(v);
    if (v == 0 || !std::isfinite(v)) return d;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17e", std::fabs(v));
    // "d.ddddddddddddddddde+XX"
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
        if (std::isdigit(static_cast<unsigned char>(*p))) digits += *p;
    int e = (*p == 'e') ? std::atoi(p + 1) : 0;
    d.digits = digits;
    d.exp = e + 1;
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.exp = 0;
    return d;
}

// Rounds to `decimals` places after the point, halves away from zero.
void RoundDecimal(Decimal& d, int decimals) {
    if (d.digits.empty()) return;
    long keep = long(d.exp) + decimals;
    if (keep >= long(d.digits.size())) return;
    if (keep < 0) {
        d.digits.clear();
        d.exp = 0;
        return;
    }
    bool up = d.digits[std::size_t(keep)] >= '5';
    d.digits.resize(std::size_t(keep));
    if (up) {
        long i = keep - 1;
        while (i >= 0 && d.digits[std::size_t(i)] == '9') {
            d.digits.pop_back();
            --i;
        }
        if (i < 0) {
            d.digits = "1";
            d.exp += 1;
        } else {
            d.digits[std::size_t(i)]++;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
    if (d.digits.empty()) d.exp = 0;
}

// Rounds to `significant` digits in total.
void RoundSignificant(Decimal& d, int significant) {
    if (d.digits.empty()) return;
    RoundDecimal(d, significant - d.exp);
}

std::string IntegerPart(const Decimal& d) {
    if (d.exp <= 0 || d.digits.empty()) return "";
    std::string s = d.digits.substr(0, std::min<std::size_t>(d.digits.size(), std::size_t(d.exp)));
    if (int(s.size()) < d.exp) s.append(std::size_t(d.exp) - s.size(), '0');
    return s;
}

std::string FractionPart(const Decimal& d, int decimals) {
    std::string s;
    for (int i = 0; i < decimals; ++i) {
        int pos = d.exp + i;   // index into digits
        s += (pos >= 0 && pos < int(d.digits.size())) ? d.digits[std::size_t(pos)] : '0';
    }
    return s;
}

std::string Group(const std::string& integer, char separator) {
    if (!separator) return integer;
    std::string out;
    int n = int(integer.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separator;
        out += integer[std::size_t(i)];
    }
    return out;
}

std::string Fixed(Decimal d, int decimals, const TFormatSettings& fs, bool grouped) {
    RoundDecimal(d, decimals);
    std::string integer = IntegerPart(d);
    if (integer.empty()) integer = "0";
    if (grouped) integer = Group(integer, fs.ThousandSeparator);
    std::string out = (d.negative && !d.digits.empty()) ? "-" : "";
    out += integer;
    if (decimals > 0) {
        out += fs.DecimalSeparator;
        out += FractionPart(d, decimals);
    }
    return out;
}

// "%e": d.ddd...E+ddd with `precision` significant digits.
std::string Scientific(Decimal d, int precision, const TFormatSettings& fs) {
    if (precision < 1) precision = 1;
    if (precision > 18) precision = 18;
    RoundSignificant(d, precision);
    std::string digits = d.digits;
    digits.resize(std::size_t(precision), '0');
    int exponent = d.digits.empty() ? 0 : d.exp - 1;
    std::string out = (d.negative && !d.digits.empty()) ? "-" : "";
    out += digits[0];
    if (precision > 1) {
        out += fs.DecimalSeparator;
        out += digits.substr(1);
    }
    char buf[16];
    std::snprintf(buf, sizeof buf, "E%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return out + buf;
}

// "%g" and FloatToStr: the shorter of fixed and scientific, no trailing zeros.
std::string General(Decimal d, int precision, const TFormatSettings& fs) {
    if (precision < 1 || precision > 18) precision = 15;
    RoundSignificant(d, precision);
    if (d.digits.empty()) return "0";
    std::string out = d.negative ? "-" : "";
    if (d.exp > precision || d.exp < -3) {
        out += d.digits[0];
        if (d.digits.size() > 1) {
            out += fs.DecimalSeparator;
            out += d.digits.substr(1);
        }
        int exponent = d.exp - 1;
        out += 'E';
        if (exponent < 0) out += '-';
        out += std::to_string(std::abs(exponent));
        return out;
    }
    std::string integer = IntegerPart(d);
    out += integer.empty() ? "0" : integer;
    int decimals = int(d.digits.size()) - d.exp;
    if (decimals > 0) {
        out += fs.DecimalSeparator;
        out += FractionPart(d, decimals);
    }
    return out;
}

[[noreturn]] void InvalidFormat(std::string_view format) {
    throw EConvertError("Format '" + std::string(format) + "' invalid or incompatible with argument");
}

std::string ToHex(std::uint64_t v) {
    static const char kDigits[] = "0123456789ABCDEF";
    if (v == 0) return "0";
    std::string s;
    while (v) {
        s += kDigits[v & 0xF];
        v >>= 4;
    }
    std::reverse(s.begin(), s.end());
    return s;
}

std::string PadDigits(std::string digits, int precision) {
    if (precision > int(digits.size())) digits.insert(0, std::size_t(precision) - digits.size(), '0');
    return digits;
}

Decimal FloatArg(const TVarRec& a, std::string_view format) {
    switch (a.kind()) {
        case TVarRec::Kind::Float: return DecimalOf(a.asFloat());
        case TVarRec::Kind::Int32:
        case TVarRec::Kind::Int64: return DecimalOf(a.asInt());
        case TVarRec::Kind::UInt32:
        case TVarRec::Kind::UInt64: return DecimalOf(a.asUInt(), false);
        default: InvalidFormat(format);
    }
}

}  // namespace

std::string Format(std::string_view format, std::initializer_list<TVarRec> args,
                   const TFormatSettings& fs) {
    std::vector<const TVarRec*> list;
    for (const auto& a : args) list.push_back(&a);
    std::string out;
    std::size_t argIndex = 0;
    std::size_t i = 0;
    const std::size_t n = format.size();

    auto nextArg = [&]() -> const TVarRec& {
        if (argIndex >= list.size()) InvalidFormat(format);
        return *list[argIndex++];
    };
    auto readNumber = [&](int& value) -> bool {
        if (i < n && format[i] == '*') {
            const TVarRec& a = nextArg();
            if (!a.isInteger()) InvalidFormat(format);
            value = int(a.asInt());
            ++i;
            return true;
        }
        if (i < n && std::isdigit(static_cast<unsigned char>(format[i]))) {
            value = 0;
            while (i < n && std::isdigit(static_cast<unsigned char>(format[i])))
                value = value * 10 + (format[i++] - '0');
            return true;
        }
        return false;
    };

    while (i < n) {
        char c = format[i];
        if (c != '%') {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i < n && format[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        bool left = false;
        int width = -1, precision = -1;
        // An argument index: "%1:s".
        {
            std::size_t save = i;
            int number;
            if (readNumber(number) && i < n && format[i] == ':') {
                if (number < 0) InvalidFormat(format);
                argIndex = std::size_t(number);
                ++i;
            } else {
                // Not an index: parse again as flags and width. A "*" that was
                // consumed took an argument; give it back.
                if (save < n && format[save] == '*') --argIndex;
                i = save;
            }
        }
        if (i < n && format[i] == '-') {
            left = true;
            ++i;
        }
        readNumber(width);
        if (i < n && format[i] == '.') {
            ++i;
            if (!readNumber(precision)) precision = 0;
        }
        if (i >= n) InvalidFormat(format);
        char type = char(std::tolower(static_cast<unsigned char>(format[i++])));
        const TVarRec& a = nextArg();
        std::string text;
        switch (type) {
            case 'd':
            case 'u': {
                if (!a.isInteger()) InvalidFormat(format);
                std::string digits;
                bool negative = false;
                if (type == 'u' && a.isNegative()) {
                    digits = std::to_string(a.bits());
                } else if (a.isNegative()) {
                    negative = true;
                    digits = std::to_string(std::uint64_t(0) - std::uint64_t(a.asInt()));
                } else {
                    digits = std::to_string(a.kind() == TVarRec::Kind::Int32 ||
                                                    a.kind() == TVarRec::Kind::Int64
                                                ? std::uint64_t(a.asInt())
                                                : a.asUInt());
                }
                text = (negative ? "-" : "") + PadDigits(digits, precision);
                break;
            }
            case 'x':
                if (!a.isInteger()) InvalidFormat(format);
                text = PadDigits(ToHex(a.bits()), precision);
                break;
            case 's':
                if (a.kind() != TVarRec::Kind::Text) InvalidFormat(format);
                text = a.asText();
                if (precision >= 0 && std::size_t(precision) < text.size()) text.resize(std::size_t(precision));
                break;
            case 'f':
                text = Fixed(FloatArg(a, format), precision < 0 ? 2 : std::min(precision, 18), fs, false);
                break;
            case 'n':
                text = Fixed(FloatArg(a, format), precision < 0 ? 2 : std::min(precision, 18), fs, true);
                break;
            case 'e':
                text = Scientific(FloatArg(a, format), precision < 0 ? 15 : precision, fs);
                break;
            case 'g':
                text = General(FloatArg(a, format), precision < 0 ? 15 : precision, fs);
                break;
            default: InvalidFormat(format);
        }
        if (width > int(text.size())) {
            std::string pad(std::size_t(width) - text.size(), ' ');
            text = left ? text + pad : pad + text;
        }
        out += text;
    }
    return out;
}

namespace {

std::vector<std::string_view> SplitSections(std::string_view pattern) {
    std::vector<std::string_view> sections;
    std::size_t start = 0;
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        char c = pattern[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            sections.push_back(pattern.substr(start, i - start));
            start = i + 1;
        }
    }
    sections.push_back(pattern.substr(start));
    return sections;
}

std::string ApplySection(std::string_view section, Decimal d, bool writeSign,
                         const TFormatSettings& fs) {
    int digitCount = 0, decimalIndex = -1, firstDigit = 32767, lastDigit = 0;
    bool thousands = false;
    char quote = 0;
    for (char c : section) {
        if (quote) {
            if (c == quote) quote = 0;
            continue;
        }
        switch (c) {
            case '"':
            case '\'': quote = c; break;
            case '#': ++digitCount; break;
            case '0':
                firstDigit = std::min(firstDigit, digitCount);
                ++digitCount;
                lastDigit = digitCount;
                break;
            case '.':
                if (decimalIndex < 0) decimalIndex = digitCount;
                break;
            case ',': thousands = fs.ThousandSeparator != 0; break;
            default: break;
        }
    }
    if (decimalIndex < 0) decimalIndex = digitCount;
    int decimals = digitCount - decimalIndex;
    int forcedDecimals = std::max(0, lastDigit - decimalIndex);
    int forcedIntegers = std::max(0, decimalIndex - firstDigit);

    RoundDecimal(d, decimals);
    std::string integer = IntegerPart(d);
    if (int(integer.size()) < forcedIntegers)
        integer.insert(0, std::size_t(forcedIntegers) - integer.size(), '0');
    if (thousands) integer = Group(integer, fs.ThousandSeparator);
    std::string fraction = FractionPart(d, decimals);
    while (int(fraction.size()) > forcedDecimals && !fraction.empty() && fraction.back() == '0')
        fraction.pop_back();
    std::string number = (writeSign && d.negative && !d.digits.empty()) ? "-" : "";
    number += integer;
    if (!fraction.empty()) {
        number += fs.DecimalSeparator;
        number += fraction;
    }

    std::string out;
    bool numberWritten = false;
    quote = 0;
    for (char c : section) {
        if (quote) {
            if (c == quote)
                quote = 0;
            else
                out += c;
            continue;
        }
        switch (c) {
            case '"':
            case '\'': quote = c; break;
            case '0':
            case '#':
            case '.':
                if (!numberWritten) {
                    out += number;
                    numberWritten = true;
                }
                break;
            case ',': break;
            default: out += c;
        }
    }
    return out;
}

std::string FormatDecimal(std::string_view pattern, const Decimal& value,
                          const TFormatSettings& fs) {
    auto sections = SplitSections(pattern);
    bool isZero = value.digits.empty();
    if (isZero && sections.size() >= 3 && !sections[2].empty())
        return ApplySection(sections[2], value, false, fs);
    if (value.negative && !isZero && sections.size() >= 2 && !sections[1].empty())
        return ApplySection(sections[1], value, false, fs);
    return ApplySection(sections[0], value, true, fs);
}

}  // namespace

std::string FormatFloat(std::string_view pattern, double value, const TFormatSettings& fs) {
    return FormatDecimal(pattern, DecimalOf(value), fs);
}

std::string FormatFloat(std::string_view pattern, std::int64_t value, const TFormatSettings& fs) {
    return FormatDecimal(pattern, DecimalOf(value), fs);
}

std::string FormatFloat(std::string_view pattern, std::uint64_t value, const TFormatSettings& fs) {
    return FormatDecimal(pattern, DecimalOf(value, false), fs);
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::string FloatToStr(double value, const TFormatSettings& fs) {
    return General(DecimalOf(value), 15, fs);
}

std::string IntToHex(std::int32_t value, int digits) {
    return PadDigits(ToHex(std::uint32_t(value)), digits);
}
std::string IntToHex(std::uint32_t value, int digits) { return PadDigits(ToHex(value), digits); }
std::string IntToHex(std::int64_t value, int digits) {
    return PadDigits(ToHex(std::uint64_t(value)), digits);
}
std::string IntToHex(std::uint64_t value, int digits) { return PadDigits(ToHex(value), digits); }

std::int64_t StrToInt(std::string_view text) {
    std::string t = Trim(text);
    std::size_t i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == '-' || t[i] == '+')) negative = t[i++] == '-';
    bool hex = false;
    if (i < t.size() && t[i] == '$') {
        hex = true;
        ++i;
    } else if (i + 1 < t.size() && t[i] == '0' && (t[i + 1] == 'x' || t[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= t.size()) throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    std::uint64_t v = 0;
    for (; i < t.size(); ++i) {
        int digit;
        char c = t[i];
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else
            throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
        std::uint64_t base = hex ? 16 : 10;
        if (v > (UINT64_MAX - std::uint64_t(digit)) / base)
            throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
        v = v * base + std::uint64_t(digit);
    }
    if (!hex && v > (negative ? std::uint64_t(INT64_MAX) + 1 : std::uint64_t(INT64_MAX)))
        throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
    return negative ? std::int64_t(std::uint64_t(0) - v) : std::int64_t(v);
}

std::int64_t StrToIntDef(std::string_view text, std::int64_t fallback) {
    try {
        return StrToInt(text);
    } catch (const EConvertError&) {
        return fallback;
    }
}

namespace {

// ICU is loaded with the first comparison that needs it, not at start: its
// libraries and data are the largest part of a start-up, and a report that
// never sorts (or sorts only plain ASCII, see AnsiCompareText) never needs them.
#define TORVEX_ICU_STR2(x) #x
#define TORVEX_ICU_STR(x) TORVEX_ICU_STR2(x)

struct Icu {
    void* handle = nullptr;
    UCollator* (*open)(const char*, UErrorCode*) = nullptr;
    void (*close)(UCollator*) = nullptr;
    void (*setStrength)(UCollator*, UCollationStrength) = nullptr;
    UCollationResult (*collUtf8)(const UCollator*, const char*, int32_t, const char*, int32_t, UErrorCode*) = nullptr;
    const char* (*defaultLocale)() = nullptr;
    bool ok = false;
};

template <class F>
bool BindIcu(void* handle, F& entry, const char* name) {
    std::string symbol = std::string(name) + TORVEX_ICU_STR(U_ICU_VERSION_SUFFIX);
    entry = reinterpret_cast<F>(dlsym(handle, symbol.c_str()));
    return entry != nullptr;
}

const Icu& IcuLibrary() {
    static const Icu icu = [] {
        Icu i;
        i.handle = dlopen("libicui18n.so." TORVEX_ICU_STR(U_ICU_VERSION_MAJOR_NUM), RTLD_NOW | RTLD_LOCAL);
        if (!i.handle) {
            platform::Trace("collation", std::string("no ICU, plain letter order: ") + dlerror());
            return i;
        }
        i.ok = BindIcu(i.handle, i.open, "ucol_open") && BindIcu(i.handle, i.close, "ucol_close") &&
               BindIcu(i.handle, i.setStrength, "ucol_setStrength") &&
               BindIcu(i.handle, i.collUtf8, "ucol_strcollUTF8") &&
               BindIcu(i.handle, i.defaultLocale, "uloc_getDefault");
        if (!i.ok) platform::Trace("collation", "ICU lacks a collation entry point, plain letter order");
        return i;
    }();
    return icu;
}

struct CollatorCloser {
    void operator()(UCollator* c) const { IcuLibrary().close(c); }
};

std::string& CollationLocale() {
    static std::string locale;
    return locale;
}

UCollator* Collator() {
    const Icu& icu = IcuLibrary();
    if (!icu.ok) return nullptr;
    static std::unique_ptr<UCollator, CollatorCloser> collator;
    static std::string openedFor = "\x01";
    const std::string& wanted = CollationLocale();
    if (!collator || openedFor != wanted) {
        std::string name = wanted;
        if (name.empty()) {
            name = icu.defaultLocale();
            // The C locale maps to a collation that orders capitals apart from
            // small letters; the root collation matches what users expect.
            std::string lower = name;
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char ch) { return char(std::tolower(ch)); });
            if (lower.find("posix") != std::string::npos || lower == "c" || lower.rfind("c_", 0) == 0)
                name = "";
        }
        UErrorCode status = U_ZERO_ERROR;
        UCollator* c = icu.open(name.c_str(), &status);
        if (U_FAILURE(status)) {
            status = U_ZERO_ERROR;
            c = icu.open("", &status);
        }
        if (U_FAILURE(status)) return nullptr;
        // Secondary strength: letter case is ignored, accents are not.
        icu.setStrength(c, UCOL_SECONDARY);
        collator.reset(c);
        openedFor = wanted;
    }
    return collator.get();
}

// The root collation's order of the printable ASCII characters, space to
// tilde: blanks and punctuation, symbols, digits, then the letters, a
// capital weighing as its small letter.
constexpr unsigned char kRootAsciiRank[95] = {
    1,  7,  11, 23, 33, 24, 22, 10, 12, 13, 19, 27, 4,  3,  9,  20, 34, 35, 36, 37, 38, 39, 40, 41,
    42, 43, 6,  5,  28, 29, 30, 8,  18, 44, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58,
    59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 14, 21, 15, 26, 2,  25, 44, 45, 46, 47, 48, 49, 50,
    51, 52, 53, 54, 55, 56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67, 68, 69, 16, 31, 17, 32,
};

bool PrintableAscii(std::string_view s) {
    for (unsigned char ch : s)
        if (ch < 0x20 || ch > 0x7E) return false;
    return true;
}

// Whether the collation the user's locale selects orders printable ASCII as
// the root collation does, decided without loading ICU: the locale ICU
// takes from the process (LC_MESSAGES, else LC_ALL, LC_MESSAGES, LANG) is C,
// POSIX or English. Decided once, as ICU settles its default once.
bool UserCollationIsRootForAscii() {
    static const bool root = [] {
        const char* id = std::setlocale(LC_MESSAGES, nullptr);
        if (!id || std::strcmp(id, "C") == 0 || std::strcmp(id, "POSIX") == 0) {
            id = std::getenv("LC_ALL");
            if (!id) id = std::getenv("LC_MESSAGES");
            if (!id) id = std::getenv("LANG");
        }
        if (!id) return true;
        std::string name(id);
        name = name.substr(0, name.find_first_of(".@"));
        if (name == "C" || name == "POSIX" || name.find("POSIX") != std::string::npos) return true;
        return name.size() >= 2 && name.compare(0, 2, "en") == 0 && (name.size() == 2 || name[2] == '_' || name[2] == '-');
    }();
    return root;
}

}  // namespace

void SetCollationLocale(const std::string& locale) { CollationLocale() = locale; }

int AnsiCompareText(std::string_view a, std::string_view b) {
    // Texts of printable ASCII under a collation that orders them as the
    // root one does compare without ICU, whose libraries and data are a
    // large part of a report's start-up and memory.
    if (CollationLocale().empty() && PrintableAscii(a) && PrintableAscii(b) && UserCollationIsRootForAscii()) {
        std::size_t n = std::min(a.size(), b.size());
        for (std::size_t i = 0; i < n; ++i) {
            int x = kRootAsciiRank[static_cast<unsigned char>(a[i]) - 0x20];
            int y = kRootAsciiRank[static_cast<unsigned char>(b[i]) - 0x20];
            if (x != y) return x < y ? -1 : 1;
        }
        return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
    }
    if (UCollator* c = Collator()) {
        UErrorCode status = U_ZERO_ERROR;
        UCollationResult r = IcuLibrary().collUtf8(c, a.data(), int32_t(a.size()), b.data(),
                                                   int32_t(b.size()), &status);
        if (U_SUCCESS(status)) return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
    }
    // Without a collator: ASCII case-insensitive byte order.
    std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a[i]));
        int y = std::tolower(static_cast<unsigned char>(b[i]));
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

}  // namespace torvex::classes
